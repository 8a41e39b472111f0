#include "launch/GameStart.h"

#include <windows.h>


namespace {
// UTF-16 to the thread's ANSI code page; unrepresentable characters become its default character.
CStringA ToThreadAnsi(const CString& text) {
    CStringA narrow;
    if (text.empty()) return narrow;
    const int length = static_cast<int>(text.size());
    const int size =
        WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    narrow.resize(static_cast<size_t>(size));
    WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), length, narrow.data(), size, nullptr,
                        nullptr);
    return narrow;
}
}  // namespace

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
    const CStringA commandLine = ToThreadAnsi(quotedPath) + ToThreadAnsi(argument ? argument : L"");
    // WinExec's results up to 31 are error codes; above that the process is running.
    if (WinExec(commandLine.c_str(), SW_SHOW) <= 31)
        MessageBoxW(nullptr, L"启动游戏失败，请重新启动！", L"【启动失败】", MB_OK);
    PostQuitMessage(16);
}
