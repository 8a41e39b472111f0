#include "tests/app/LauncherProcess.h"

#include <cstdio>
#include <utility>

namespace apptest {

bool WaitFor(const std::function<bool()>& pred, DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    for (;;) {
        if (pred()) return true;
        if (GetTickCount64() >= end) return false;
        Sleep(20);
    }
}

std::vector<HWND> VisibleTopLevelWindows(DWORD pid) {
    struct Search {
        DWORD pid;
        std::vector<HWND> found;
    } search{pid, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            if (owner == s->pid && IsWindowVisible(hwnd)) s->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

RECT WindowRectOf(HWND hwnd) {
    RECT rc{};
    GetWindowRect(hwnd, &rc);
    return rc;
}

RECT ChildRectInParent(HWND child) {
    RECT rc = WindowRectOf(child);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

std::string Describe(const RECT& rc) {
    char text[80];
    std::snprintf(text, sizeof text, "(%ld, %ld, %ld x %ld)", rc.left, rc.top, rc.right - rc.left,
                  rc.bottom - rc.top);
    return text;
}

namespace {

void SendMouse(DWORD flags, int x = 0, int y = 0) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
        in.mi.dx = MulDiv(x, 65535, cx - 1);
        in.mi.dy = MulDiv(y, 65535, cy - 1);
    }
    SendInput(1, &in, sizeof in);
}

void SendKey(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
}

}  // namespace

void MouseMoveTo(int x, int y) {
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y);
    Sleep(40);
}

void MouseDown() {
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(60);
}

void MouseUp() {
    SendMouse(MOUSEEVENTF_LEFTUP);
    Sleep(60);
}

void ClickAt(int x, int y) {
    MouseMoveTo(x, y);
    MouseDown();
    MouseUp();
}

void DragBy(int x, int y, int dx, int dy) {
    MouseMoveTo(x, y);
    MouseDown();
    constexpr int kSteps = 10;
    for (int i = 1; i <= kSteps; ++i) MouseMoveTo(x + dx * i / kSteps, y + dy * i / kSteps);
    Sleep(100);
    MouseUp();
    Sleep(200);
}

bool Activate(HWND hwnd) {
    return WaitFor([&] {
        SetForegroundWindow(hwnd);
        return GetForegroundWindow() == hwnd;
    }, 3000);
}

void PressKey(WORD vk) {
    SendKey(vk, false);
    Sleep(30);
    SendKey(vk, true);
    Sleep(100);
}

void PressAltKey(WORD vk) {
    SendKey(VK_MENU, false);
    Sleep(30);
    PressKey(vk);
    SendKey(VK_MENU, true);
    Sleep(100);
}

LauncherProcess::LauncherProcess(std::wstring exe) : m_exe(std::move(exe)) {}

LauncherProcess::~LauncherProcess() {
    if (m_pi.hProcess) {
        if (Running()) {
            TerminateProcess(m_pi.hProcess, 99);
            WaitForSingleObject(m_pi.hProcess, 5000);
        }
        CloseHandle(m_pi.hProcess);
        CloseHandle(m_pi.hThread);
    }
}

bool LauncherProcess::Start(DWORD timeoutMs) {
    std::wstring dir = m_exe.substr(0, m_exe.find_last_of(L"\\/"));
    std::wstring cmd = L"\"" + m_exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    if (!CreateProcessW(m_exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        dir.c_str(), &si, &m_pi)) {
        m_error = "CreateProcess failed, error " + std::to_string(GetLastError());
        return false;
    }
    const bool up = WaitFor(
        [&] {
            m_hMain = m_hPanel = nullptr;
            for (HWND hwnd : VisibleTopLevelWindows(m_pi.dwProcessId)) {
                wchar_t title[64] = {};
                GetWindowTextW(hwnd, title, 64);
                if (std::wstring(title) == L"Brimlow0.1折") m_hMain = hwnd;
            }
            if (!m_hMain) return false;
            for (HWND hwnd : VisibleTopLevelWindows(m_pi.dwProcessId))
                if (GetWindow(hwnd, GW_OWNER) == m_hMain && GetDlgItem(hwnd, 1005)) m_hPanel = hwnd;
            return m_hPanel != nullptr;
        },
        timeoutMs);
    if (!up) {
        m_error = Running() ? "the main window and the panel did not both show"
                            : "the process ended with code " + std::to_string(ExitCode());
        return false;
    }
    // The start-up ends with the main window activated; input sent before that may go astray.
    WaitFor([&] { return GetForegroundWindow() == m_hMain; }, 3000);
    // The main window shows the panel once more after it is up itself (under Wine without a
    // window manager the hide in between takes about 2 s): wait until the start-up has gone idle
    // and the panel's buttons are on screen again.
    WaitForInputIdle(m_pi.hProcess, 8000);
    WaitFor([&] { return IsWindowVisible(GetDlgItem(m_hPanel, 1005)) != FALSE; }, 8000);
    Sleep(500);
    return true;
}

bool LauncherProcess::WaitForExit(DWORD ms) {
    return WaitForSingleObject(m_pi.hProcess, ms) == WAIT_OBJECT_0;
}

bool LauncherProcess::Running() const {
    return m_pi.hProcess && WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD LauncherProcess::ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(m_pi.hProcess, &code);
    return code;
}

HWND LauncherProcess::OtherWindow() const {
    for (HWND hwnd : VisibleTopLevelWindows(m_pi.dwProcessId))
        if (hwnd != m_hMain && hwnd != m_hPanel) return hwnd;
    return nullptr;
}

}  // namespace apptest
