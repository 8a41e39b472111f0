#pragma once
// The window wrapper through which the login panel drives the WebBrowser control: the control's
// host window operations plus its automation.
#include "framework/ComPtr.h"
#include "framework/Wnd.h"

// {8856F961-340A-11D0-A96B-00C04FD705A2}
inline constexpr CLSID CLSID_WebBrowserControl = {
    0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};

class CWebBrowser2 : public CWnd {
public:
    CWebBrowser2() = default;
    ~CWebBrowser2() override = default;

    // Creates the control as a child of pParentWnd; lpszClassName and pContext are not used.
    virtual BOOL Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                        const RECT& rect, CWnd* pParentWnd, UINT nID,
                        CCreateContext* pContext = nullptr);

    // Navigate (dispatch id 104): the address and four optional arguments by reference.
    HRESULT Navigate(LPCWSTR URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData,
                     VARIANT* Headers);
    // Document (dispatch id 203): the current top-level document, or null.
    ComPtr<IDispatch> get_Document();

    static constexpr DISPID kDispIdNavigate = 104;
    static constexpr DISPID kDispIdDocument = 203;
};
