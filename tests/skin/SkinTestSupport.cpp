#include "tests/skin/SkinTestSupport.h"

#include <cstdio>

void EnsureGdiPlus() {
    static ULONG_PTR token = 0;
    if (token) return;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
}

Pixels DrawImagePixels(Gdiplus::Image* image) {
    Pixels out;
    if (!image) return out;
    out.width = static_cast<int>(image->GetWidth());
    out.height = static_cast<int>(image->GetHeight());
    if (out.width <= 0 || out.height <= 0) return out;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = out.width;
    bi.bmiHeader.biHeight = -out.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, dib);
    {
        Gdiplus::Graphics g(dc);
        g.DrawImage(image, 0, 0, out.width, out.height);
    }
    GdiFlush();
    const auto* p = static_cast<const uint32_t*>(bits);
    out.bgra.assign(p, p + static_cast<size_t>(out.width) * out.height);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(dib);
    return out;
}

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return c;
}

COLORREF WindowPixel(HWND hWnd, int x, int y) {
    HDC dc = GetWindowDC(hWnd);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hWnd, dc);
    return c;
}

void PumpMessages(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done()) return true;
        if (GetTickCount64() >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void MouseMoveTo(int x, int y) {
    // Absolute coordinates: pixel = coordinate * screen size / 65536, rounded down.
    INPUT in{};
    in.type = INPUT_MOUSE;
    const LONGLONG cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    in.mi.dx = static_cast<LONG>((x * 65536LL + cx - 1) / cx);
    in.mi.dy = static_cast<LONG>((y * 65536LL + cy - 1) / cy);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof(in));
}

void MouseButton(bool down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof(in));
}

void KeyPress(WORD vk) {
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

std::string Hex(COLORREF c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
    return buf;
}
