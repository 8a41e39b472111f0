#include "skin/LayeredPngPainter.h"

#include <new>

namespace {

// Scoped GDI handles of one paint.
class WindowDC {
public:
    explicit WindowDC(HWND hWnd) : m_hWnd(hWnd), m_hDC(::GetDC(hWnd)) {}
    ~WindowDC() { if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC Get() const { return m_hDC; }

private:
    HWND m_hWnd;
    HDC m_hDC;
};

// A memory DC with a bitmap selected into it; the bitmap is put back out before both are freed.
class MemoryDC {
public:
    MemoryDC(HDC hRef, HBITMAP hBitmap) : m_hDC(CreateCompatibleDC(hRef)), m_hBitmap(hBitmap) {
        if (m_hDC && m_hBitmap) m_hOld = SelectObject(m_hDC, m_hBitmap);
    }
    ~MemoryDC() {
        if (m_hDC) {
            if (m_hOld) SelectObject(m_hDC, m_hOld);
            DeleteDC(m_hDC);
        }
        if (m_hBitmap) DeleteObject(m_hBitmap);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC Get() const { return m_hDC; }

private:
    HDC m_hDC;
    HBITMAP m_hBitmap;
    HGDIOBJ m_hOld = nullptr;
};

}  // namespace

UpdateLayeredTool* UpdateLayeredTool::s_pInstance = nullptr;

UpdateLayeredTool* UpdateLayeredTool::GetInstance() {
    if (s_pInstance) return s_pInstance;
    s_pInstance = new (std::nothrow) UpdateLayeredTool();
    if (!s_pInstance) return nullptr;
    s_pInstance->m_hUser32 = LoadLibraryW(L"User32.DLL");
    if (s_pInstance->m_hUser32) {
        s_pInstance->m_pfnUpdateLayeredWindow = reinterpret_cast<PFN_UpdateLayeredWindow>(
            reinterpret_cast<void*>(GetProcAddress(s_pInstance->m_hUser32, "UpdateLayeredWindow")));
        s_pInstance->m_pfnSetLayeredWindowAttributes = reinterpret_cast<PFN_SetLayeredWindowAttributes>(
            reinterpret_cast<void*>(GetProcAddress(s_pInstance->m_hUser32, "SetLayeredWindowAttributes")));
    }
    return s_pInstance;
}

UpdateLayeredTool::~UpdateLayeredTool() {
    if (m_hUser32) FreeLibrary(m_hUser32);
}

void CLayeredPngPainter::Paint() {
    if (!m_png.m_pImage || !IsWindow(m_hWnd)) return;

    WindowDC screen(m_hWnd);
    RECT rc{};
    GetWindowRect(m_hWnd, &rc);
    const int w = m_png.GetWidth();
    const int h = m_png.GetHeight();
    MemoryDC memory(screen.Get(), CreateCompatibleBitmap(screen.Get(), w, h));
    {
        Gdiplus::Graphics graphics(memory.Get());
        const Gdiplus::Point corners[3] = {{0, 0}, {w, 0}, {0, h}};
        graphics.DrawImage(m_png.m_pImage.get(), corners, 3);
    }

    const LONG exStyle = GetWindowLongW(m_hWnd, GWL_EXSTYLE);
    if (!(exStyle & WS_EX_LAYERED)) SetWindowLongW(m_hWnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);

    UpdateLayeredTool* tool = UpdateLayeredTool::GetInstance();
    if (tool && tool->m_pfnUpdateLayeredWindow) {
        POINT dst{rc.left, rc.top};
        SIZE size{w, h};
        POINT src{0, 0};
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        tool->m_pfnUpdateLayeredWindow(m_hWnd, screen.Get(), &dst, &size, memory.Get(), &src, 0, &blend,
                                       ULW_ALPHA);
    }
}
