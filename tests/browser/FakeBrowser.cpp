#include "tests/browser/FakeBrowser.h"

#include <exdispid.h>
#include <olectl.h>

#include <algorithm>
#include <initializer_list>

namespace fake {

// ---- events ------------------------------------------------------------------------------------
namespace {
VARIANT ByRef(VARIANT* p) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_VARIANT | VT_BYREF;
    v.pvarVal = p;
    return v;
}
VARIANT Disp(IDispatch* p) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_DISPATCH;
    v.pdispVal = p;
    return v;
}
}  // namespace

EventArgs::EventArgs(Kind kind, IDispatch* pWindow, const wchar_t* address) {
    for (VARIANT* v : {&url, &flags, &frame, &post, &postInner, &headers}) VariantInit(v);
    url.vt = VT_BSTR;
    url.bstrVal = SysAllocString(address);
    if (kind == kNavigateComplete) {
        rgvarg.resize(2);
        rgvarg[1] = Disp(pWindow);
        rgvarg[0] = ByRef(&url);
        return;
    }
    flags.vt = VT_I4;
    frame.vt = VT_BSTR;  // null: no target frame
    post.vt = VT_VARIANT | VT_BYREF;
    post.pvarVal = &postInner;
    headers.vt = VT_BSTR;
    rgvarg.resize(7);
    rgvarg[6] = Disp(pWindow);
    rgvarg[5] = ByRef(&url);
    rgvarg[4] = ByRef(&flags);
    rgvarg[3] = ByRef(&frame);
    rgvarg[2] = ByRef(&post);
    rgvarg[1] = ByRef(&headers);
    VariantInit(&rgvarg[0]);
    rgvarg[0].vt = VT_BOOL | VT_BYREF;
    rgvarg[0].pboolVal = &cancel;
}

EventArgs::~EventArgs() { VariantClear(&url); }

HRESULT Raise(IDispatch* pSink, DISPID dispid, EventArgs& args) {
    DISPPARAMS dp = args.Params();
    return pSink->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &dp, nullptr,
                         nullptr, nullptr);
}

// ---- registration ------------------------------------------------------------------------------
struct Registration::Factory : IClassFactory {
    ULONG cRef = 1;
    ComPtr<Browser> last;
    HRESULT hrLoad = S_OK;
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++cRef; }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG n = --cRef;
        if (!n) delete this;
        return n;
    }
    STDMETHODIMP CreateInstance(IUnknown* pOuter, REFIID riid, void** ppv) override {
        if (pOuter) return CLASS_E_NOAGGREGATION;
        last = Make<Browser>();
        last->m_hrLoad = hrLoad;
        return last->QueryInterface(riid, ppv);
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
    virtual ~Factory() = default;
};

Registration::Registration(REFCLSID clsid) : m_pFactory(new Factory) {
    CoRegisterClassObject(clsid, m_pFactory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &m_dwCookie);
}
Registration::~Registration() {
    if (m_dwCookie) CoRevokeClassObject(m_dwCookie);
    m_pFactory->Release();
}
Browser* Registration::Last() const { return m_pFactory->last.Get(); }
void Registration::SetLoadResult(HRESULT hr) { m_pFactory->hrLoad = hr; }

// ---- browser -----------------------------------------------------------------------------------
STDMETHODIMP Browser::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleObject)) *ppv = static_cast<IOleObject*>(this);
    else if (IsEqualIID(riid, IID_IOleInPlaceObject) || IsEqualIID(riid, IID_IOleWindow)) *ppv = static_cast<IOleInPlaceObject*>(this);
    else if (IsEqualIID(riid, IID_IPersistStreamInit)) *ppv = static_cast<IPersistStreamInit*>(this);
    else if (IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, IID_IWebBrowser2)) *ppv = static_cast<IDispatch*>(this);
    else if (IsEqualIID(riid, IID_IConnectionPointContainer)) *ppv = static_cast<IConnectionPointContainer*>(this);
    else if (IsEqualIID(riid, IID_IProvideClassInfo2) || IsEqualIID(riid, IID_IProvideClassInfo)) *ppv = static_cast<IProvideClassInfo2*>(this);
    else return E_NOINTERFACE;
    AddRef();
    return S_OK;
}
STDMETHODIMP_(ULONG) Browser::Release() {
    ULONG n = --m_cRef;
    if (!n) {
        if (m_hWnd) DestroyWindow(m_hWnd);
        delete this;
    }
    return n;
}

STDMETHODIMP Browser::SetClientSite(IOleClientSite* pClientSite) {
    m_site = ComPtr<IOleClientSite>(pClientSite);
    return S_OK;
}
STDMETHODIMP Browser::GetClientSite(IOleClientSite** pp) {
    *pp = m_site.Get();
    if (*pp) (*pp)->AddRef();
    return S_OK;
}
STDMETHODIMP Browser::GetMiscStatus(DWORD, DWORD* pdwStatus) {
    *pdwStatus = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT |
                 OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;
    return S_OK;
}
STDMETHODIMP Browser::DoVerb(LONG, LPMSG, IOleClientSite*, LONG, HWND hwndParent, LPCRECT lprcPosRect) {
    // In-place activation in a window of its own inside the host, as the browser does.
    m_hWndParent = hwndParent;
    if (!m_hWnd && hwndParent && lprcPosRect)
        m_hWnd = CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, lprcPosRect->left,
                                 lprcPosRect->top, lprcPosRect->right - lprcPosRect->left,
                                 lprcPosRect->bottom - lprcPosRect->top, hwndParent, nullptr,
                                 nullptr, nullptr);
    return S_OK;
}
STDMETHODIMP Browser::GetWindow(HWND* phwnd) {
    *phwnd = m_hWnd;
    return m_hWnd ? S_OK : E_FAIL;
}
STDMETHODIMP Browser::SetObjectRects(LPCRECT lprcPosRect, LPCRECT) {
    m_rcObject = *lprcPosRect;
    if (m_hWnd)
        MoveWindow(m_hWnd, lprcPosRect->left, lprcPosRect->top, lprcPosRect->right - lprcPosRect->left,
                   lprcPosRect->bottom - lprcPosRect->top, TRUE);
    return S_OK;
}
STDMETHODIMP Browser::Load(LPSTREAM pStm) {
    m_bLoadCalled = true;
    BYTE buf[256];
    ULONG got = 0;
    while (SUCCEEDED(pStm->Read(buf, sizeof(buf), &got)) && got) m_loaded.insert(m_loaded.end(), buf, buf + got);
    return m_hrLoad;
}
STDMETHODIMP Browser::InitNew() {
    m_bInitNew = true;
    return S_OK;
}

STDMETHODIMP Browser::Invoke(DISPID dispid, REFIID, LCID, WORD wFlags, DISPPARAMS* dp,
                             VARIANT* pVarResult, EXCEPINFO*, UINT*) {
    if (dispid == 104 && (wFlags & DISPATCH_METHOD)) {
        ++m_nNavigate;
        m_navigateVts.clear();
        for (UINT i = dp->cArgs; i-- > 0;) m_navigateVts.push_back(dp->rgvarg[i].vt);
        if (dp->cArgs == 5 && dp->rgvarg[4].vt == VT_BSTR) m_strNavigateUrl = dp->rgvarg[4].bstrVal;
        return S_OK;
    }
    if (dispid == 203 && (wFlags & DISPATCH_PROPERTYGET) && pVarResult) {
        ++m_nDocumentReads;
        VariantInit(pVarResult);
        pVarResult->vt = VT_DISPATCH;
        pVarResult->pdispVal = m_document.Get();
        if (pVarResult->pdispVal) pVarResult->pdispVal->AddRef();
        return S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
}

STDMETHODIMP Browser::FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) {
    if (!IsEqualIID(riid, DIID_DWebBrowserEvents2)) {
        *ppCP = nullptr;
        return CONNECT_E_NOCONNECTION;
    }
    *ppCP = this;
    AddRef();
    return S_OK;
}
STDMETHODIMP Browser::GetConnectionInterface(IID* pIID) {
    *pIID = DIID_DWebBrowserEvents2;
    return S_OK;
}
STDMETHODIMP Browser::Advise(IUnknown* pUnkSink, DWORD* pdwCookie) {
    ++m_nAdvise;
    if (m_sink) return CONNECT_E_ADVISELIMIT;
    if (FAILED(pUnkSink->QueryInterface(DIID_DWebBrowserEvents2, m_sink.PutVoid())) || !m_sink)
        return CONNECT_E_CANNOTCONNECT;
    *pdwCookie = 1;
    return S_OK;
}
STDMETHODIMP Browser::Unadvise(DWORD dwCookie) {
    if (dwCookie != 1 || !m_sink) return CONNECT_E_NOCONNECTION;
    m_sink.Reset();
    return S_OK;
}
STDMETHODIMP Browser::GetGUID(DWORD dwGuidKind, GUID* pGUID) {
    if (dwGuidKind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
    *pGUID = DIID_DWebBrowserEvents2;
    return S_OK;
}

// ---- document model ----------------------------------------------------------------------------
STDMETHODIMP Element::QueryInterface(REFIID riid, void** ppv) {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
        *ppv = this;
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}
STDMETHODIMP_(ULONG) Element::Release() {
    ULONG n = --m_cRef;
    if (!n) delete this;
    return n;
}

STDMETHODIMP Anchor::QueryInterface(REFIID riid, void** ppv) {
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, IID_IHTMLAnchorElement))
        *ppv = static_cast<IHTMLAnchorElement*>(this);
    else if (IsEqualIID(riid, IID_IConnectionPointContainer))
        *ppv = static_cast<IConnectionPointContainer*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}
STDMETHODIMP_(ULONG) Anchor::Release() {
    ULONG n = --m_cRef;
    if (!n) delete this;
    return n;
}
STDMETHODIMP Anchor::get_href(BSTR* p) {
    *p = m_href ? SysAllocString(m_href->c_str()) : nullptr;
    return S_OK;
}
STDMETHODIMP Anchor::FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) {
    if (!IsEqualIID(riid, DIID_HTMLElementEvents2)) {
        *ppCP = nullptr;
        return CONNECT_E_NOCONNECTION;
    }
    *ppCP = this;
    AddRef();
    return S_OK;
}
STDMETHODIMP Anchor::GetConnectionInterface(IID* pIID) {
    *pIID = DIID_HTMLElementEvents2;
    return S_OK;
}
// As a document's connection point: the sink must answer the event interface; the connection
// holds that reference until unadvise.
STDMETHODIMP Anchor::Advise(IUnknown* pUnkSink, DWORD* pdwCookie) {
    ++m_nAdviseCalls;
    if (m_nRefuse > 0) {
        --m_nRefuse;
        return CONNECT_E_CANNOTCONNECT;
    }
    if (m_sink) return CONNECT_E_ADVISELIMIT;
    if (FAILED(pUnkSink->QueryInterface(DIID_HTMLElementEvents2, m_sink.PutVoid())) || !m_sink)
        return CONNECT_E_CANNOTCONNECT;
    ++m_nConnected;
    *pdwCookie = m_dwLastCookie = 0x100 + static_cast<DWORD>(m_nAdviseCalls);
    return S_OK;
}
STDMETHODIMP Anchor::Unadvise(DWORD dwCookie) {
    if (!m_sink || dwCookie != m_dwLastCookie) return CONNECT_E_NOCONNECTION;
    m_sink.Reset();
    --m_nConnected;
    return S_OK;
}
HRESULT Anchor::Click(IDispatch* pEventObj) {
    if (!m_sink) return E_UNEXPECTED;
    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_DISPATCH;
    arg.pdispVal = pEventObj;
    DISPPARAMS dp{&arg, nullptr, 1, 0};
    return m_sink->Invoke(-600, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &dp, nullptr, nullptr, nullptr);
}

STDMETHODIMP Collection::QueryInterface(REFIID riid, void** ppv) {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, IID_IHTMLElementCollection)) {
        *ppv = static_cast<IHTMLElementCollection*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}
STDMETHODIMP_(ULONG) Collection::Release() {
    ULONG n = --m_cRef;
    if (!n) delete this;
    return n;
}
STDMETHODIMP Collection::get_length(LONG* p) {
    *p = static_cast<LONG>(m_elements.size());
    return S_OK;
}
STDMETHODIMP Collection::item(VARIANT name, VARIANT index, IDispatch** pdisp) {
    m_itemVts.emplace_back(name.vt, index.vt);
    *pdisp = nullptr;
    if (name.vt != VT_UINT) return E_INVALIDARG;
    const long i = static_cast<long>(name.uintVal);
    m_itemIndices.push_back(i);
    if (std::find(m_failAt.begin(), m_failAt.end(), i) != m_failAt.end()) return E_FAIL;
    if (i < 0 || i >= static_cast<long>(m_elements.size())) return S_OK;
    *pdisp = m_elements[i].Get();
    if (*pdisp) (*pdisp)->AddRef();
    return S_OK;
}

STDMETHODIMP Document::QueryInterface(REFIID riid, void** ppv) {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        (!m_bNoDocument2 && IsEqualIID(riid, IID_IHTMLDocument2))) {
        *ppv = static_cast<IHTMLDocument2*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}
STDMETHODIMP_(ULONG) Document::Release() {
    ULONG n = --m_cRef;
    if (!n) delete this;
    return n;
}
STDMETHODIMP Document::get_all(IHTMLElementCollection** p) {
    ++m_nAllReads;
    *p = m_all.Get();
    if (*p) (*p)->AddRef();
    return S_OK;
}

}  // namespace fake
