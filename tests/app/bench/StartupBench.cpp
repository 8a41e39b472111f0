// Start-up figures of the launcher against a bare layered window, measured in the same run:
// the time from CreateProcess until a visible layered top-level window of the process exists
// (for the launcher: its main window, whose face is pushed before it is first shown), the time
// until a pixel of the face reads back non-black from the screen, and the private memory
// (PrivateUsage) of each program two seconds after it showed. Prints figures; asserts nothing.
//   startup_bench.exe [runs]     (BrimlowLogin.exe and bare_layered_window.exe lie beside it)
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::wstring Beside(const wchar_t* name) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + name;
}

struct Find {
    DWORD pid;
    const wchar_t* title;
    HWND found;
};

// A visible layered top-level window of the process with the given title.
HWND ShownLayeredWindow(DWORD pid, const wchar_t* title) {
    Find f{pid, title, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            auto* f = reinterpret_cast<Find*>(lParam);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            if (owner != f->pid || !IsWindowVisible(hwnd)) return TRUE;
            if (!(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED)) return TRUE;
            wchar_t text[64] = {};
            GetWindowTextW(hwnd, text, 64);
            if (std::wcscmp(text, f->title) != 0) return TRUE;
            f->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&f));
    return f.found;
}

// A pixel of the face as the screen shows it (the display below is black where nothing is).
bool FacePainted(HWND hwnd, POINT at) {
    RECT rc{};
    GetWindowRect(hwnd, &rc);
    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    const COLORREF c = GetPixel(screen, rc.left + at.x, rc.top + at.y);
    ReleaseDC(nullptr, screen);
    return c != CLR_INVALID && c != 0;
}

struct Sample {
    double shownMs = -1;    // visible layered window
    double paintedMs = -1;  // face pixel read back (launcher only)
    SIZE_T privateBytes = 0;
    SIZE_T workingSet = 0;
    SIZE_T pagefile = 0;
};

double Ms(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER freq) {
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(freq.QuadPart);
}

Sample RunOnce(const std::wstring& exe, const wchar_t* title, bool checkFace) {
    Sample s;
    LARGE_INTEGER freq, t0, t;
    QueryPerformanceFrequency(&freq);
    const std::wstring dir = exe.substr(0, exe.find_last_of(L"\\/"));
    std::wstring cmd = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    QueryPerformanceCounter(&t0);
    if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi))
        return s;
    HWND hwnd = nullptr;
    for (;;) {
        QueryPerformanceCounter(&t);
        if (Ms(t0, t, freq) > 20000 || WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) break;
        if (!hwnd && (hwnd = ShownLayeredWindow(pi.dwProcessId, title)) != nullptr) s.shownMs = Ms(t0, t, freq);
        if (hwnd && !checkFace) break;
        if (hwnd && FacePainted(hwnd, POINT{320, 460})) {
            s.paintedMs = Ms(t0, t, freq);
            break;
        }
        if (hwnd && Ms(t0, t, freq) - s.shownMs > 3000) break;  // the DC does not read back
        Sleep(1);
    }
    if (hwnd) {
        Sleep(2000);
        PROCESS_MEMORY_COUNTERS_EX pmc{};
        pmc.cb = sizeof pmc;
        if (GetProcessMemoryInfo(pi.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc))
        {
            s.privateBytes = pmc.PrivateUsage;
            s.workingSet = pmc.WorkingSetSize;
            s.pagefile = pmc.PagefileUsage;
        }
    }
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    Sleep(300);
    return s;
}

void Report(const char* what, std::vector<double> v) {
    v.erase(std::remove(v.begin(), v.end(), -1.0), v.end());
    if (v.empty()) {
        std::printf("  %-44s n/a\n", what);
        return;
    }
    std::sort(v.begin(), v.end());
    std::printf("  %-44s median %7.1f ms  min %7.1f  max %7.1f  (%zu runs)\n", what, v[v.size() / 2],
                v.front(), v.back(), v.size());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int runs = argc > 1 ? _wtoi(argv[1]) : 7;
    const std::wstring launcher = Beside(L"BrimlowLogin.exe");
    const std::wstring bare = Beside(L"bare_layered_window.exe");
    // One unmeasured start of each: the first start of a program pays for the disk cache.
    RunOnce(launcher, L"Brimlow0.1折", false);
    RunOnce(bare, L"Bare layered", false);

    std::vector<double> launcherShown, launcherPainted, bareShown;
    SIZE_T launcherPrivate = 0, barePrivate = 0;
    Sample launcherLast, bareLast;
    for (int i = 0; i < runs; ++i) {
        const Sample l = RunOnce(launcher, L"Brimlow0.1折", true);
        const Sample b = RunOnce(bare, L"Bare layered", false);
        launcherShown.push_back(l.shownMs);
        launcherPainted.push_back(l.paintedMs);
        bareShown.push_back(b.shownMs);
        launcherPrivate = std::max(launcherPrivate, l.privateBytes);
        barePrivate = std::max(barePrivate, b.privateBytes);
        launcherLast = l;
        bareLast = b;
    }
    std::printf("start-up, process start until shown (alternating runs):\n");
    Report("BrimlowLogin: main window layered + visible", launcherShown);
    Report("BrimlowLogin: face pixel read back", launcherPainted);
    Report("bare program: layered window visible", bareShown);
    std::printf("private memory (PrivateUsage), 2 s after showing, largest of the runs:\n");
    std::printf("  BrimlowLogin %8.1f MiB\n  bare program %8.1f MiB\n", launcherPrivate / 1048576.0,
                barePrivate / 1048576.0);
    std::printf("  (last run: working set %.1f / %.1f MiB, pagefile usage %.1f / %.1f MiB)\n",
                launcherLast.workingSet / 1048576.0, bareLast.workingSet / 1048576.0,
                launcherLast.pagefile / 1048576.0, bareLast.pagefile / 1048576.0);
    return 0;
}
