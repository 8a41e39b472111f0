#include "browser/CustomControlSite.h"

#include "app/LoginApp.h"
#include "login/ImpIDispatch.h"

CCustomControlSite::CCustomControlSite(COleControlContainer* pCtrlCont)
    : COleControlSite(pCtrlCont), m_xDocHostUIHandler(this) {}

CCustomControlSite::~CCustomControlSite() = default;

BEGIN_INTERFACE_MAP(CCustomControlSite, COleControlSite)
    INTERFACE_PART(CCustomControlSite, IID_IDocHostUIHandler, DocHostUIHandler)
END_INTERFACE_MAP()

using XHandler = CCustomControlSite::XDocHostUIHandler;

STDMETHODIMP XHandler::QueryInterface(REFIID riid, void** ppvObj) {
    return m_pThis->ExternalQueryInterface(riid, ppvObj);
}
STDMETHODIMP_(ULONG) XHandler::AddRef() { return m_pThis->ExternalAddRef(); }
STDMETHODIMP_(ULONG) XHandler::Release() { return m_pThis->ExternalRelease(); }

// No context menu of the browser's own.
STDMETHODIMP XHandler::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) { return S_OK; }

// A frameless page without scroll bars; cbSize and the host's CSS and namespace stay as given.
STDMETHODIMP XHandler::GetHostInfo(DOCHOSTUIINFO* pInfo) {
    if (!pInfo) return E_POINTER;
    pInfo->dwFlags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO;
    pInfo->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    return S_OK;
}

// The browser shows no menus or toolbars of its own.
STDMETHODIMP XHandler::ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*,
                              IOleInPlaceFrame*, IOleInPlaceUIWindow*) {
    return S_OK;
}
STDMETHODIMP XHandler::HideUI() { return S_OK; }
STDMETHODIMP XHandler::UpdateUI() { return S_OK; }
STDMETHODIMP XHandler::EnableModeless(BOOL) { return E_NOTIMPL; }
STDMETHODIMP XHandler::OnDocWindowActivate(BOOL) { return E_NOTIMPL; }
STDMETHODIMP XHandler::OnFrameWindowActivate(BOOL) { return E_NOTIMPL; }
STDMETHODIMP XHandler::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return E_NOTIMPL; }

// Every key goes on to the page.
STDMETHODIMP XHandler::TranslateAccelerator(LPMSG, const GUID*, DWORD) { return S_FALSE; }

STDMETHODIMP XHandler::GetOptionKeyPath(LPOLESTR*, DWORD) { return E_NOTIMPL; }
STDMETHODIMP XHandler::GetDropTarget(IDropTarget*, IDropTarget**) { return E_NOTIMPL; }

// window.external: the one script bridge, one reference per request.
STDMETHODIMP XHandler::GetExternal(IDispatch** ppDispatch) {
    if (!ppDispatch) return E_POINTER;
    IDispatch* pBridge = theApp.m_pScriptBridge.get();
    if (pBridge) pBridge->AddRef();
    *ppDispatch = pBridge;
    return S_OK;
}

STDMETHODIMP XHandler::TranslateUrl(DWORD, OLECHAR*, OLECHAR**) { return E_NOTIMPL; }
STDMETHODIMP XHandler::FilterDataObject(IDataObject*, IDataObject**) { return E_NOTIMPL; }
