// The baseline of the start-up benchmark: the least a program can do to show what the launcher
// shows first, one empty layered top-level window of the launcher's size, centred, with a
// taskbar button. Runs until it is closed or ended.
#include <windows.h>

namespace {
LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}
}  // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = hInstance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"BareLayeredWindow";
    RegisterClassW(&wc);
    constexpr int kWidth = 1334, kHeight = 725;
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    HWND hwnd = CreateWindowExW(WS_EX_LAYERED | WS_EX_APPWINDOW, wc.lpszClassName, L"Bare layered",
                                WS_POPUP, work.left + (work.right - work.left - kWidth) / 2,
                                work.top + (work.bottom - work.top - kHeight) / 2, kWidth, kHeight,
                                nullptr, nullptr, hInstance, nullptr);
    if (!hwnd) return 1;
    SetLayeredWindowAttributes(hwnd, 0, 255, LWA_ALPHA);
    ShowWindow(hwnd, SW_SHOW);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
