#include "framework/Gdi.h"

#include <cstdlib>
#include <cwchar>

#include "framework/Wnd.h"

BOOL CFont::CreatePointFont(int nPointSize, LPCWSTR lpszFaceName, HDC hDC) {
    HDC hdc = hDC ? hDC : ::GetDC(nullptr);
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    // Tenths of a point to device pixels; negative: the character height, not the cell height.
    lf.lfHeight = -std::abs(MulDiv(GetDeviceCaps(hdc, LOGPIXELSY), nPointSize, 720));
    if (lpszFaceName) wcsncpy(lf.lfFaceName, lpszFaceName, LF_FACESIZE - 1);
    if (!hDC) ::ReleaseDC(nullptr, hdc);
    return Attach(CreateFontIndirectW(&lf));
}

BOOL CDC::CreateCompatibleDC(CDC* pDC) {
    DeleteDC();
    m_hDC = ::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr);
    m_bOwned = m_hDC != nullptr;
    return m_bOwned;
}

BOOL CDC::DeleteDC() {
    HDC hdc = std::exchange(m_hDC, nullptr);
    const bool owned = std::exchange(m_bOwned, false);
    return hdc && owned ? ::DeleteDC(hdc) : FALSE;
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd) { m_hDC = BeginPaint(m_hWnd, &m_ps); }

CPaintDC::~CPaintDC() {
    EndPaint(m_hWnd, &m_ps);
    m_hDC = nullptr;
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr) { m_hDC = ::GetDC(m_hWnd); }

CClientDC::~CClientDC() {
    if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
    m_hDC = nullptr;
}
