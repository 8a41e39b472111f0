#pragma once
// Gives a top-level window a PNG face with per-pixel alpha through UpdateLayeredWindow.
#include <windows.h>

#include "skin/GdiPlusPng.h"

// user32's layered-window functions, looked up by name once per process so that the program
// still starts where they are missing. The one instance lives until the process ends.
class UpdateLayeredTool {
public:
    using PFN_UpdateLayeredWindow = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                                  BLENDFUNCTION*, DWORD);
    using PFN_SetLayeredWindowAttributes = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

    // The one instance, created on first use; null only when it cannot be allocated.
    static UpdateLayeredTool* GetInstance();

    virtual ~UpdateLayeredTool();
    UpdateLayeredTool(const UpdateLayeredTool&) = delete;
    UpdateLayeredTool& operator=(const UpdateLayeredTool&) = delete;

    HMODULE m_hUser32 = nullptr;
    PFN_UpdateLayeredWindow m_pfnUpdateLayeredWindow = nullptr;
    PFN_SetLayeredWindowAttributes m_pfnSetLayeredWindowAttributes = nullptr;

private:
    UpdateLayeredTool() = default;
    static UpdateLayeredTool* s_pInstance;
};

// A PNG resource paired with the window it becomes the face of.
class CLayeredPngPainter {
public:
    // Replaces the whole content of m_hWnd by the image, alpha included, keeping the window's
    // top-left corner; makes the window layered first. Does nothing without an image or window.
    void Paint();

    CGdiPlusPngResource m_png;
    HWND m_hWnd = nullptr;
};
