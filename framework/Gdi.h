#pragma once
// Owning wrappers of the GDI objects the program uses. Each deletes what it holds when it goes,
// or earlier by DeleteObject/DeleteDC; Attach adopts a handle, Detach gives it up.
#include <windows.h>

#include <utility>

class CWnd;

template <class H>
class CGdiObjectT {
public:
    CGdiObjectT() = default;
    ~CGdiObjectT() { DeleteObject(); }
    CGdiObjectT(const CGdiObjectT&) = delete;
    CGdiObjectT& operator=(const CGdiObjectT&) = delete;

    BOOL Attach(H h) {
        DeleteObject();
        m_hObject = h;
        return h != nullptr;
    }
    H Detach() { return std::exchange(m_hObject, nullptr); }
    BOOL DeleteObject() {
        H h = std::exchange(m_hObject, nullptr);
        return h ? ::DeleteObject(h) : FALSE;
    }
    H GetSafeHandle() const { return m_hObject; }
    operator H() const { return m_hObject; }

protected:
    H m_hObject = nullptr;
};

class CBrush : public CGdiObjectT<HBRUSH> {
public:
    BOOL CreateSolidBrush(COLORREF crColor) { return Attach(::CreateSolidBrush(crColor)); }
};

class CFont : public CGdiObjectT<HFONT> {
public:
    // nPointSize in tenths of a point, for the screen (or pDC's device when given).
    BOOL CreatePointFont(int nPointSize, LPCWSTR lpszFaceName, HDC hDC = nullptr);
};

class CBitmap : public CGdiObjectT<HBITMAP> {
public:
    // The bitmap's description (size, depth); 0 when there is none.
    int GetBitmap(BITMAP* pBitmap) const {
        return m_hObject ? ::GetObjectW(m_hObject, sizeof(BITMAP), pBitmap) : 0;
    }
};

// A device context, owned (created by CreateCompatibleDC: deleted) or borrowed (constructed from a
// handle: left alone).
class CDC {
public:
    CDC() = default;
    explicit CDC(HDC hDC) : m_hDC(hDC) {}
    virtual ~CDC() { DeleteDC(); }
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();
    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    HGDIOBJ SelectObject(HGDIOBJ hObject) { return ::SelectObject(m_hDC, hObject); }
    int SetBkMode(int nBkMode) { return ::SetBkMode(m_hDC, nBkMode); }
    COLORREF SetTextColor(COLORREF crColor) { return ::SetTextColor(m_hDC, crColor); }
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop) {
        return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc, dwRop);
    }
    BOOL StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                    int nSrcWidth, int nSrcHeight, DWORD dwRop) {
        return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc,
                            ySrc, nSrcWidth, nSrcHeight, dwRop);
    }
    BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }

    HDC m_hDC = nullptr;

protected:
    bool m_bOwned = false;  // created here: DeleteDC
};

// BeginPaint/EndPaint of a window's WM_PAINT.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps{};

private:
    HWND m_hWnd;
};

// GetDC/ReleaseDC of a window's client area.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC() override;

private:
    HWND m_hWnd;
};
