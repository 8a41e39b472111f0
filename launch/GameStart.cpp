#include "launch/GameStart.h"

#include <windows.h>

#include "framework/TextConversion.h"



CString GetDirOfPath(CString path) {
    for (wchar_t& c : path)
        if (c == L'\\') c = L'/';
    const size_t slash = path.rfind(L'/');
    return slash == CString::npos ? CString() : path.substr(0, slash);
}

CString GetModuleDir() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return GetDirOfPath(CString(path, length));
}

void StartLauncher(const wchar_t* argument) {
    const CString quotedPath = L"\"" + GetModuleDir() + L"/" + kLauncherFileName + L"\"";
    const CStringA commandLine = NarrowText(quotedPath) + NarrowText(argument ? argument : L"");
    // WinExec's results up to 31 are error codes; above that the process is running.
    if (WinExec(commandLine.c_str(), SW_SHOW) <= 31)
        MessageBoxW(nullptr, L"启动游戏失败，请重新启动！", L"【启动失败】", MB_OK);
    PostQuitMessage(16);
}
