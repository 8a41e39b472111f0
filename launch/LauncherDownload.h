#pragma once
// The game launch: make sure the client launcher lies next to the program, then start it.
#include <windows.h>

#include "framework/String.h"

// Starts the client launcher with the pending launch argument, downloading the launcher first
// when it is missing. When the download fails nothing is started and the program stays where it
// is; only a file error is shown to the user.
void LaunchGame();

// Fetches pszUrl (HTTP GET) into strTargetPath. The body goes to a file beside the target first
// and takes the target's name only once it has arrived whole, so a failed download never leaves
// something at strTargetPath. True when the file is in place; a file error has been reported to
// the user when it returns false for that reason.
bool DownloadLauncher(const wchar_t* pszUrl, const CString& strTargetPath);

// The size of the one read buffer, from the body bytes available first: WinINet often reports
// only what the first packet brought, sometimes nothing at all.
DWORD DownloadChunkSize(DWORD dwFirstAvailable);
