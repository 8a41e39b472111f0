#include "skin/PngButton.h"

#include <commctrl.h>

#include "framework/WinApp.h"
#include "skin/GdiPlusPng.h"

BEGIN_MESSAGE_MAP(CPngButton, CButton)
    ON_WM_MOUSEMOVE()
    ON_MESSAGE(WM_MOUSEHOVER, &CPngButton::OnMouseHover)
    ON_MESSAGE(WM_MOUSELEAVE, &CPngButton::OnMouseLeave)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_SETCURSOR()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CPngButton::CPngButton() = default;

CPngButton::~CPngButton() {
    m_pImage.reset();
    ReleaseSurface();
}

void CPngButton::ReleaseSurface() {
    m_pGraphics.reset();
    if (m_hSurfaceDC) ::ReleaseDC(m_hSurfaceWnd, m_hSurfaceDC);
    m_hSurfaceDC = nullptr;
    m_hSurfaceWnd = nullptr;
}

void CPngButton::StartGdiPlus() {
    Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback, background thread, codecs
    if (Gdiplus::GdiplusStartup(&m_gdiplusToken, &input, nullptr) != Gdiplus::Ok)
        MessageBoxW(nullptr, L"Initialize GDI+ library failed", L"Error", MB_ICONERROR);
}

void CPngButton::SetPngImage(UINT id) {
    m_pImage = LoadPngImage(AfxGetResourceHandle(), id);
    m_nWidth = GetImageWidth(m_pImage.get());
    m_nHeight = GetImageHeight(m_pImage.get());
    m_nFrameHeight = m_nHeight / 4;
    // One frame's size, and on top of the siblings: a button set up later covers an earlier one.
    SetWindowPos(nullptr, 0, 0, m_nWidth, m_nFrameHeight, SWP_NOMOVE);

    ReleaseSurface();
    m_hSurfaceWnd = m_hWnd;
    m_hSurfaceDC = ::GetWindowDC(m_hWnd);
    if (m_hSurfaceDC) m_pGraphics = GdipNew<Gdiplus::Graphics>(m_hSurfaceDC);
}

void CPngButton::PreSubclassWindow() {
    ModifyStyle(0, BS_OWNERDRAW);
    CButton::PreSubclassWindow();
}

LRESULT CPngButton::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // A double click is a second press: it gives a second click rather than a double-click
    // notification.
    if (message == WM_LBUTTONDBLCLK) message = WM_LBUTTONDOWN;
    return CButton::DefWindowProc(message, wParam, lParam);
}

void CPngButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
    if (!m_pGraphics || !m_pImage) return;
    int frame = 0;
    if (lpDrawItemStruct->itemState & ODS_SELECTED)
        frame = 2;
    else if (m_bHover)
        frame = 1;
    // Only the frame-sized top left is painted, over what is there: transparent parts of the strip
    // show the parent, and a button made larger by its owner keeps the rest unpainted.
    m_pGraphics->DrawImage(m_pImage.get(), Gdiplus::Rect(0, 0, m_nWidth, m_nFrameHeight), 0,
                           frame * m_nFrameHeight, m_nWidth, m_nFrameHeight, Gdiplus::UnitPixel);
}

void CPngButton::OnMouseMove(UINT nFlags, POINT point) {
    if (!m_bTracking) {
        TRACKMOUSEEVENT tme{};
        tme.cbSize = sizeof(tme);
        tme.dwFlags = TME_HOVER | TME_LEAVE;
        tme.hwndTrack = m_hWnd;
        tme.dwHoverTime = 1;
        m_bTracking = _TrackMouseEvent(&tme);
    }
    CButton::OnMouseMove(nFlags, point);
}

LRESULT CPngButton::OnMouseHover(WPARAM, LPARAM) {
    m_bHover = TRUE;
    InvalidateRect(nullptr, TRUE);
    return 0;
}

LRESULT CPngButton::OnMouseLeave(WPARAM, LPARAM) {
    m_bTracking = FALSE;
    m_bHover = FALSE;
    InvalidateRect(nullptr, TRUE);
    return 0;
}

void CPngButton::OnLButtonDown(UINT nFlags, POINT point) {
    InvalidateRect(nullptr, TRUE);
    CButton::OnLButtonDown(nFlags, point);
}

void CPngButton::OnLButtonUp(UINT nFlags, POINT point) {
    InvalidateRect(nullptr, TRUE);
    CButton::OnLButtonUp(nFlags, point);
}

BOOL CPngButton::OnSetCursor(CWnd*, UINT, UINT) {
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return TRUE;
}

BOOL CPngButton::OnEraseBkgnd(CDC*) { return TRUE; }
