#pragma once
// An owner-drawn push button painted from a PNG strip of four equal frames stacked vertically:
// normal, hovered, pressed, and a fourth that is never shown. No caption (captions are in the
// image), no background erase (transparent parts show the parent), the hand cursor.
#include <memory>

#include "framework/Controls.h"
#include "skin/GdiPlus.h"

class CPngButton : public CButton {
public:
    CPngButton();
    ~CPngButton() override;

    // Starts GDI+ for this button's images; a failure is shown in a message box, and the button
    // then simply draws nothing.
    void StartGdiPlus();
    // Takes PNG resource `id` as the strip and resizes the button to one frame, bringing it to
    // the top of its siblings. Call once, after the button is bound to its window.
    void SetPngImage(UINT id);

    ULONG_PTR m_gdiplusToken = 0;
    std::unique_ptr<Gdiplus::Image> m_pImage;
    // Draws on the button's whole-window DC, which is kept as long as the surface.
    std::unique_ptr<Gdiplus::Graphics> m_pGraphics;
    BOOL m_bTracking = FALSE;
    BOOL m_bHover = FALSE;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nFrameHeight = 0;

protected:
    void PreSubclassWindow() override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    void OnMouseMove(UINT nFlags, POINT point);
    LRESULT OnMouseHover(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    void OnLButtonDown(UINT nFlags, POINT point);
    void OnLButtonUp(UINT nFlags, POINT point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    BOOL OnEraseBkgnd(CDC* pDC);

    DECLARE_MESSAGE_MAP()

private:
    void ReleaseSurface();
    HWND m_hSurfaceWnd = nullptr;
    HDC m_hSurfaceDC = nullptr;
};
