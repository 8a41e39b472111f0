#pragma once
// Helpers of the skin tests: GDI+ for the test process, pixels read back from images, windows
// and the screen, the message loop, and real mouse and keyboard input.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "skin/GdiPlus.h"

// Starts GDI+ once for the test process.
void EnsureGdiPlus();

// An image drawn unscaled into a 32-bit top-down buffer: premultiplied BGRA, one uint32 a pixel.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> bgra;
    uint32_t At(int x, int y) const { return bgra[static_cast<size_t>(y) * width + x]; }
    static BYTE Alpha(uint32_t p) { return static_cast<BYTE>(p >> 24); }
};
Pixels DrawImagePixels(Gdiplus::Image* image);

// What the screen shows at (x, y), in screen coordinates.
COLORREF ScreenPixel(int x, int y);
// What a window's own surface holds at (x, y) of its window rectangle.
COLORREF WindowPixel(HWND hWnd, int x, int y);

// Runs the thread's message loop for `ms` milliseconds.
void PumpMessages(DWORD ms);
// Runs the message loop until `done` holds or `ms` milliseconds passed; whether it held.
bool PumpUntil(const std::function<bool()>& done, DWORD ms);

// Real input through SendInput (Wine passes it through the X server like a user's).
void MouseMoveTo(int x, int y);
void MouseButton(bool down);
void KeyPress(WORD vk);

std::string Hex(COLORREF c);
