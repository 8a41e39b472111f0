#pragma once
// Starting the game's client launcher, which lies next to the program's own executable.
#include "framework/String.h"

// The file name of the client launcher, next to the program.
inline constexpr wchar_t kLauncherFileName[] = L"kovra_vornbt_launch.exe";

// The directory of the program's own executable, "/" as separator, no trailing "/".
CString GetModuleDir();

// The directory part of an executable's path, as GetModuleDir gives it: every "\" becomes "/",
// and the text before the last "/" is returned (empty when there is none).
CString GetDirOfPath(CString path);

// Runs "<dir>/kovra_vornbt_launch.exe" followed directly by argument (it brings its own leading
// separator, if any), tells the user when that fails, and posts the quit message with code 16
// either way.
void StartLauncher(const wchar_t* argument);
