// The login panel as click sink of the page's anchors: after each completed document it connects
// itself to every anchor whose href it does not hold yet, and records the connection in its
// anchor registry (undone by DisconnectAnchors once the login result has been handed on).
#include <mshtml.h>

#include <string>

#include "app/LoginActiveDlg.h"
#include "framework/Connection.h"

namespace {
// The address an event passes by reference, as text (empty when it is not a string).
CString AddressText(const VARIANT* URL) {
    if (!URL) return {};
    const VARIANT* v = URL;
    if (v->vt == (VT_VARIANT | VT_BYREF) && v->pvarVal) v = v->pvarVal;
    if (v->vt == VT_BSTR && v->bstrVal) return CString(v->bstrVal, SysStringLen(v->bstrVal));
    if (v->vt == (VT_BSTR | VT_BYREF) && v->pbstrVal && *v->pbstrVal)
        return CString(*v->pbstrVal, SysStringLen(*v->pbstrVal));
    return {};
}
}  // namespace

void CLoginActiveDlg::OnDocumentComplete(LPDISPATCH /*pDisp*/, VARIANT* URL) {
    if (AddressText(URL).find(L"about:blank") != CString::npos) return;

    // The control's top-level document, also when a frame completed.
    ComPtr<IDispatch> docDisp = m_browser.get_Document();
    ComPtr<IHTMLDocument2> document = docDisp.As<IHTMLDocument2>(IID_IHTMLDocument2);
    if (!document) return;
    ComPtr<IHTMLElementCollection> all;
    if (FAILED(document->get_all(all.Put())) || !all) return;
    long length = 0;
    if (FAILED(all->get_length(&length))) return;

    IDispatch* pSink = GetIDispatch(FALSE);
    if (!pSink) return;
    for (long i = 0; i < length; ++i) {
        VARIANT index;
        VariantInit(&index);
        index.vt = VT_UINT;
        index.uintVal = static_cast<UINT>(i);
        VARIANT none;
        VariantInit(&none);
        ComPtr<IDispatch> element;
        if (FAILED(all->item(index, none, element.Put())) || !element) continue;
        ComPtr<IHTMLAnchorElement> anchor = element.As<IHTMLAnchorElement>(IID_IHTMLAnchorElement);
        if (!anchor) continue;

        BSTR bstrHref = nullptr;
        CString href;
        if (SUCCEEDED(anchor->get_href(&bstrHref)) && bstrHref)
            href.assign(bstrHref, SysStringLen(bstrHref));
        SysFreeString(bstrHref);
        // Only the first anchor with a given href is connected.
        if (m_mapAnchorConnections.count(href)) continue;

        // No lasting reference on the panel: the connection must not keep it alive.
        DWORD dwCookie = 0;
        if (!AfxConnectionAdvise(anchor.Get(), DIID_HTMLElementEvents2, pSink, FALSE, &dwCookie))
            continue;  // tried again with the next completed document
        ComPtr<IUnknown> unknown = anchor.As<IUnknown>(IID_IUnknown);
        m_mapAnchorConnections.emplace(href, AnchorConnection{unknown, DIID_HTMLElementEvents2, dwCookie, href});
    }
}

// The click goes on: the browser follows the link as usual.
void CLoginActiveDlg::OnElementClick(LPDISPATCH /*pEvtObj*/) {}
