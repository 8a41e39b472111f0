#include "browser/WebBrowser2.h"

BOOL CWebBrowser2::Create(LPCWSTR, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                          CWnd* pParentWnd, UINT nID, CCreateContext*) {
    return CreateControl(CLSID_WebBrowserControl, lpszWindowName, dwStyle, rect, pParentWnd, nID,
                         nullptr, FALSE, nullptr);
}

HRESULT CWebBrowser2::Navigate(LPCWSTR URL, VARIANT* Flags, VARIANT* TargetFrameName,
                               VARIANT* PostData, VARIANT* Headers) {
    static const BYTE parms[] = VTS_BSTR VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT;
    return InvokeHelper(kDispIdNavigate, DISPATCH_METHOD, VT_EMPTY, nullptr, parms, URL, Flags,
                        TargetFrameName, PostData, Headers);
}

ComPtr<IDispatch> CWebBrowser2::get_Document() {
    IDispatch* pDocument = nullptr;
    if (FAILED(InvokeHelper(kDispIdDocument, DISPATCH_PROPERTYGET, VT_DISPATCH, &pDocument,
                            static_cast<const BYTE*>(nullptr))))
        return nullptr;
    return ComPtr<IDispatch>::Attach(pDocument);
}
