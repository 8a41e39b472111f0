#include "framework/OleControl.h"

#include <ocidl.h>
#include <olectl.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "framework/Connection.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"

namespace {
constexpr wchar_t kHostClass[] = L"LauncherOleControlHost";
constexpr wchar_t kSiteProp[] = L"Launcher.COleControlSite";

// Pixels to the HIMETRIC units controls measure themselves in.
SIZEL PixelsToHimetric(int cx, int cy) {
    HDC hdc = GetDC(nullptr);
    SIZEL s{MulDiv(cx, 2540, GetDeviceCaps(hdc, LOGPIXELSX)),
            MulDiv(cy, 2540, GetDeviceCaps(hdc, LOGPIXELSY))};
    ReleaseDC(nullptr, hdc);
    return s;
}

// The default source interface of a control, from its class information.
IID FindEventInterface(IUnknown* pObject) {
    IID iid = IID_NULL;
    ComPtr<IProvideClassInfo2> info2;
    if (SUCCEEDED(pObject->QueryInterface(IID_IProvideClassInfo2, info2.PutVoid())) && info2 &&
        SUCCEEDED(info2->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &iid)) && !IsEqualIID(iid, IID_NULL))
        return iid;
    iid = IID_NULL;
    ComPtr<IProvideClassInfo> info;
    ComPtr<ITypeInfo> classInfo;
    if (FAILED(pObject->QueryInterface(IID_IProvideClassInfo, info.PutVoid())) || !info ||
        FAILED(info->GetClassInfo(classInfo.Put())) || !classInfo)
        return iid;
    TYPEATTR* attr = nullptr;
    if (FAILED(classInfo->GetTypeAttr(&attr)) || !attr) return iid;
    for (UINT i = 0; i < attr->cImplTypes && IsEqualIID(iid, IID_NULL); ++i) {
        INT flags = 0;
        HREFTYPE ref = 0;
        ComPtr<ITypeInfo> sourceInfo;
        TYPEATTR* sourceAttr = nullptr;
        if (SUCCEEDED(classInfo->GetImplTypeFlags(i, &flags)) &&
            (flags & (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) ==
                (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE) &&
            SUCCEEDED(classInfo->GetRefTypeOfImplType(i, &ref)) &&
            SUCCEEDED(classInfo->GetRefTypeInfo(ref, sourceInfo.Put())) && sourceInfo &&
            SUCCEEDED(sourceInfo->GetTypeAttr(&sourceAttr)) && sourceAttr) {
            iid = sourceAttr->guid;
            sourceInfo->ReleaseTypeAttr(sourceAttr);
        }
    }
    classInfo->ReleaseTypeAttr(attr);
    return iid;
}
}  // namespace

// ---- manager -----------------------------------------------------------------------------------
COleControlContainer* COccManager::CreateContainer(CWnd* pWnd) { return new COleControlContainer(pWnd); }

COleControlSite* COccManager::CreateSite(COleControlContainer* pCtrlCont) {
    return new COleControlSite(pCtrlCont);
}

void AfxEnableControlContainer(COccManager* pOccManager) {
    CWinApp* app = AfxGetApp();
    if (!app) return;
    if (!pOccManager) {
        if (!app->m_pDefaultOccManager) app->m_pDefaultOccManager = std::make_unique<COccManager>();
        pOccManager = app->m_pDefaultOccManager.get();
    }
    app->m_pOccManager = pOccManager;
    // Controls are created, activated and scripted through OLE on this (the GUI) thread; it stays
    // initialised for the rest of the process. A second call only adds a count.
    OleInitialize(nullptr);
}

COccManager* AfxGetOccManager() {
    CWinApp* app = AfxGetApp();
    return app ? app->m_pOccManager : nullptr;
}

// ---- container ---------------------------------------------------------------------------------
COleControlContainer::COleControlContainer(CWnd* pWnd) : m_pWnd(pWnd) {}

COleControlContainer::~COleControlContainer() { DestroyControls(); }

COleControlSite* COleControlContainer::CreateControl(REFCLSID clsid, LPCWSTR lpszWindowName,
                                                     DWORD dwStyle, const RECT& rect, UINT nID,
                                                     IStream* pPersist) {
    COccManager* pManager = AfxGetOccManager();
    COleControlSite* pSite = pManager ? pManager->CreateSite(this) : nullptr;
    if (!pSite) return nullptr;
    if (FAILED(pSite->CreateControl(clsid, lpszWindowName, dwStyle, rect, nID, pPersist))) {
        pSite->DestroyControl();
        pSite->ExternalRelease();
        return nullptr;
    }
    m_sites.push_back(pSite);
    return pSite;
}

void COleControlContainer::DestroyControls() {
    std::vector<COleControlSite*> sites;
    sites.swap(m_sites);
    for (COleControlSite* pSite : sites) {
        pSite->DestroyControl();
        pSite->ExternalRelease();
    }
}

COleControlSite* COleControlContainer::FindSite(UINT nID) const {
    for (COleControlSite* pSite : m_sites)
        if (pSite->m_nID == nID) return pSite;
    return nullptr;
}

// ---- the site's interfaces ---------------------------------------------------------------------
struct COleControlSite::Parts {
    // One of the site's interfaces: it shares the site's identity and count.
    template <class I>
    class SitePart : public I {
    public:
        explicit SitePart(COleControlSite* p) : m_pThis(p) {}
        STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
            return m_pThis->ExternalQueryInterface(riid, ppv);
        }
        STDMETHODIMP_(ULONG) AddRef() override { return m_pThis->ExternalAddRef(); }
        STDMETHODIMP_(ULONG) Release() override { return m_pThis->ExternalRelease(); }

    protected:
        COleControlSite* m_pThis;
    };

    class XOleClientSite : public SitePart<IOleClientSite> {
    public:
        using SitePart::SitePart;
        STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
        STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** ppmk) override {
            if (ppmk) *ppmk = nullptr;
            return E_NOTIMPL;
        }
        STDMETHODIMP GetContainer(IOleContainer** ppContainer) override {
            if (ppContainer) *ppContainer = nullptr;
            return E_NOINTERFACE;
        }
        STDMETHODIMP ShowObject() override { return S_OK; }
        STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
        STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
    };

    class XOleIPSite : public SitePart<IOleInPlaceSite> {
    public:
        using SitePart::SitePart;
        STDMETHODIMP GetWindow(HWND* phwnd) override {
            if (!phwnd) return E_POINTER;
            *phwnd = m_pThis->m_hWnd;
            return S_OK;
        }
        STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
        STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
        STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
        STDMETHODIMP OnUIActivate() override { return S_OK; }
        STDMETHODIMP GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                      LPRECT lprcPosRect, LPRECT lprcClipRect,
                                      LPOLEINPLACEFRAMEINFO lpFrameInfo) override {
            if (!ppFrame || !ppDoc || !lprcPosRect || !lprcClipRect || !lpFrameInfo) return E_POINTER;
            *ppFrame = &m_pThis->m_pParts->frame;
            (*ppFrame)->AddRef();
            *ppDoc = nullptr;
            ::GetClientRect(m_pThis->m_hWnd, lprcPosRect);
            *lprcClipRect = *lprcPosRect;
            lpFrameInfo->fMDIApp = FALSE;
            lpFrameInfo->hwndFrame = GetAncestor(m_pThis->m_hWnd, GA_ROOT);
            lpFrameInfo->haccel = nullptr;
            lpFrameInfo->cAccelEntries = 0;
            return S_OK;
        }
        STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
        STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
        STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
        STDMETHODIMP DiscardUndoState() override { return S_OK; }
        STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
        STDMETHODIMP OnPosRectChange(LPCRECT lprcPosRect) override {
            if (lprcPosRect && m_pThis->m_pInPlaceObject)
                m_pThis->m_pInPlaceObject->SetObjectRects(lprcPosRect, lprcPosRect);
            return S_OK;
        }
    };

    class XOleControlSite : public SitePart<IOleControlSite> {
    public:
        using SitePart::SitePart;
        STDMETHODIMP OnControlInfoChanged() override { return S_OK; }
        STDMETHODIMP LockInPlaceActive(BOOL) override { return S_OK; }
        STDMETHODIMP GetExtendedControl(IDispatch** ppDisp) override {
            if (ppDisp) *ppDisp = nullptr;
            return E_NOTIMPL;
        }
        STDMETHODIMP TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
        STDMETHODIMP TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
        STDMETHODIMP OnFocus(BOOL) override { return S_OK; }
        STDMETHODIMP ShowPropertyFrame() override { return E_NOTIMPL; }
    };

    // The ambient properties: a plain container in user mode.
    class XAmbientProps : public SitePart<IDispatch> {
    public:
        using SitePart::SitePart;
        STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override {
            if (!pctinfo) return E_POINTER;
            *pctinfo = 0;
            return S_OK;
        }
        STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** pp) override {
            if (pp) *pp = nullptr;
            return E_NOTIMPL;
        }
        STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
            return E_NOTIMPL;
        }
        STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD wFlags, DISPPARAMS*,
                            VARIANT* pVarResult, EXCEPINFO*, UINT*) override {
            if (!(wFlags & DISPATCH_PROPERTYGET) || !pVarResult) return DISP_E_MEMBERNOTFOUND;
            VariantInit(pVarResult);
            switch (dispid) {
            case DISPID_AMBIENT_USERMODE:
            case DISPID_AMBIENT_SUPPORTSMNEMONICS:
            case DISPID_AMBIENT_AUTOCLIP:
                pVarResult->vt = VT_BOOL;
                pVarResult->boolVal = VARIANT_TRUE;
                return S_OK;
            case DISPID_AMBIENT_UIDEAD:
            case DISPID_AMBIENT_SHOWGRABHANDLES:
            case DISPID_AMBIENT_SHOWHATCHING:
            case DISPID_AMBIENT_MESSAGEREFLECT:
                pVarResult->vt = VT_BOOL;
                pVarResult->boolVal = VARIANT_FALSE;
                return S_OK;
            case DISPID_AMBIENT_LOCALEID:
                pVarResult->vt = VT_I4;
                pVarResult->lVal = static_cast<LONG>(GetUserDefaultLCID());
                return S_OK;
            default:
                return DISP_E_MEMBERNOTFOUND;
            }
        }
    };

    // The frame the control is in-place active in: it offers no menus, tools or status line.
    class XOleIPFrame : public SitePart<IOleInPlaceFrame> {
    public:
        using SitePart::SitePart;
        STDMETHODIMP GetWindow(HWND* phwnd) override {
            if (!phwnd) return E_POINTER;
            *phwnd = GetAncestor(m_pThis->m_hWnd, GA_ROOT);
            return S_OK;
        }
        STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
        STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
        STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
        STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
        STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
        STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
        STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
        STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
        STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
        STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
        STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }
    };

    // The sink connected to the control's event interface: events go to the event sink map of
    // the window that holds the control, under the control's id.
    class XEventSink : public SitePart<IDispatch> {
    public:
        using SitePart::SitePart;
        STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
            if (!ppv) return E_POINTER;
            if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
                (!IsEqualIID(m_pThis->m_iidEvents, IID_NULL) && IsEqualIID(riid, m_pThis->m_iidEvents))) {
                *ppv = static_cast<IDispatch*>(this);
                AddRef();
                return S_OK;
            }
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override {
            if (!pctinfo) return E_POINTER;
            *pctinfo = 0;
            return S_OK;
        }
        STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** pp) override {
            if (pp) *pp = nullptr;
            return E_NOTIMPL;
        }
        STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
            return E_NOTIMPL;
        }
        STDMETHODIMP Invoke(DISPID dispid, REFIID riid, LCID, WORD, DISPPARAMS* pDispParams,
                            VARIANT*, EXCEPINFO*, UINT* puArgErr) override {
            if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
            COleControlContainer* pCont = m_pThis->m_pCtrlCont;
            if (!pCont || !pCont->m_pWnd) return DISP_E_MEMBERNOTFOUND;
            // A handler may end the dialog; the site stays alive until the call returns.
            m_pThis->ExternalAddRef();
            HRESULT hr = pCont->m_pWnd->OnEvent(m_pThis->m_nID, dispid, pDispParams, puArgErr);
            m_pThis->ExternalRelease();
            return hr;
        }
    };

    explicit Parts(COleControlSite* p)
        : clientSite(p), ipSite(p), controlSite(p), ambient(p), frame(p), eventSink(p) {}
    XOleClientSite clientSite;
    XOleIPSite ipSite;
    XOleControlSite controlSite;
    XAmbientProps ambient;
    XOleIPFrame frame;
    XEventSink eventSink;
};


BEGIN_INTERFACE_MAP(COleControlSite, CCmdTarget)
    {&IID_IOleClientSite, [](CCmdTarget* t) -> IUnknown* { return &static_cast<COleControlSite*>(t)->m_pParts->clientSite; }},
    {&IID_IOleInPlaceSite, [](CCmdTarget* t) -> IUnknown* { return &static_cast<COleControlSite*>(t)->m_pParts->ipSite; }},
    {&IID_IOleWindow, [](CCmdTarget* t) -> IUnknown* { return &static_cast<COleControlSite*>(t)->m_pParts->ipSite; }},
    {&IID_IOleControlSite, [](CCmdTarget* t) -> IUnknown* { return &static_cast<COleControlSite*>(t)->m_pParts->controlSite; }},
    {&IID_IDispatch, [](CCmdTarget* t) -> IUnknown* { return &static_cast<COleControlSite*>(t)->m_pParts->ambient; }},
    {&IID_IOleInPlaceFrame, [](CCmdTarget* t) -> IUnknown* { return &static_cast<COleControlSite*>(t)->m_pParts->frame; }},
    {&IID_IOleInPlaceUIWindow, [](CCmdTarget* t) -> IUnknown* { return &static_cast<COleControlSite*>(t)->m_pParts->frame; }},
END_INTERFACE_MAP()

// ---- site --------------------------------------------------------------------------------------
COleControlSite::COleControlSite(COleControlContainer* pCtrlCont)
    : m_pCtrlCont(pCtrlCont), m_pParts(std::make_unique<Parts>(this)) {}

COleControlSite::~COleControlSite() { DestroyControl(); }

COleControlSite* COleControlSite::FromHostWindow(HWND hWnd) {
    return hWnd ? static_cast<COleControlSite*>(GetPropW(hWnd, kSiteProp)) : nullptr;
}

IDispatch* COleControlSite::GetEventSink() { return &m_pParts->eventSink; }

LRESULT CALLBACK COleControlSite::HostWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetPropW(hWnd, kSiteProp, cs->lpCreateParams);
    }
    COleControlSite* pSite = FromHostWindow(hWnd);
    switch (message) {
    case WM_SIZE:
        if (pSite) pSite->SetObjectRects();
        break;
    case WM_NCDESTROY:
        RemovePropW(hWnd, kSiteProp);
        if (pSite && pSite->m_hWnd == hWnd) pSite->m_hWnd = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcW(hWnd, message, wParam, lParam);
}

void COleControlSite::SetObjectRects() {
    if (!m_pInPlaceObject || !m_hWnd) return;
    RECT rc{};
    ::GetClientRect(m_hWnd, &rc);
    m_pInPlaceObject->SetObjectRects(&rc, &rc);
}

HRESULT COleControlSite::CreateControl(REFCLSID clsid, LPCWSTR lpszWindowName, DWORD dwStyle,
                                       const RECT& rect, UINT nID, IStream* pPersist) {
    CWnd* pWnd = m_pCtrlCont ? m_pCtrlCont->m_pWnd : nullptr;
    if (!pWnd || !pWnd->m_hWnd || m_hWnd) return E_UNEXPECTED;
    HINSTANCE hInst = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExW(hInst, kHostClass, &wc)) {
        wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &COleControlSite::HostWndProc;
        wc.hInstance = hInst;
        wc.lpszClassName = kHostClass;
        wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        if (!RegisterClassExW(&wc)) return HRESULT_FROM_WIN32(GetLastError());
    }
    m_nID = nID;
    m_hWnd = CreateWindowExW(0, kHostClass, lpszWindowName,
                             (dwStyle | WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS),
                             rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                             pWnd->m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)),
                             hInst, this);
    if (!m_hWnd) return HRESULT_FROM_WIN32(GetLastError());

    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                  IID_IUnknown, m_pObject.PutVoid());
    if (FAILED(hr) || !m_pObject) return FAILED(hr) ? hr : E_FAIL;
    m_pOleObject = m_pObject.As<IOleObject>(IID_IOleObject);
    if (!m_pOleObject) return E_NOINTERFACE;

    DWORD misc = 0;
    m_pOleObject->GetMiscStatus(DVASPECT_CONTENT, &misc);
    IOleClientSite* pClientSite = &m_pParts->clientSite;
    if (misc & OLEMISC_SETCLIENTSITEFIRST) m_pOleObject->SetClientSite(pClientSite);

    // The saved state when the control takes it; a fresh start otherwise.
    if (ComPtr<IPersistStreamInit> persist = m_pObject.As<IPersistStreamInit>(IID_IPersistStreamInit)) {
        HRESULT hrLoad = E_FAIL;
        if (pPersist) hrLoad = persist->Load(pPersist);
        if (FAILED(hrLoad)) persist->InitNew();
    }
    if (!(misc & OLEMISC_SETCLIENTSITEFIRST)) m_pOleObject->SetClientSite(pClientSite);

    ConnectEvents();

    RECT rc{};
    ::GetClientRect(m_hWnd, &rc);
    SIZEL extent = PixelsToHimetric(rc.right, rc.bottom);
    m_pOleObject->SetExtent(DVASPECT_CONTENT, &extent);
    m_pOleObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, pClientSite, 0, m_hWnd, &rc);
    m_pInPlaceObject = m_pObject.As<IOleInPlaceObject>(IID_IOleInPlaceObject);
    SetObjectRects();
    return S_OK;
}

void COleControlSite::ConnectEvents() {
    m_iidEvents = FindEventInterface(m_pObject.Get());
    if (IsEqualIID(m_iidEvents, IID_NULL)) return;
    // Without a lasting reference: the control already holds the site as its client site.
    if (!AfxConnectionAdvise(m_pObject.Get(), m_iidEvents, &m_pParts->eventSink, FALSE, &m_dwEventSink))
        m_dwEventSink = 0;
}

void COleControlSite::DestroyControl() {
    // Keeps the site alive while the control lets go of it.
    ExternalAddRef();
    if (m_pObject && m_dwEventSink) {
        AfxConnectionUnadvise(m_pObject.Get(), m_iidEvents, &m_pParts->eventSink, FALSE, m_dwEventSink);
        m_dwEventSink = 0;
    }
    m_pInPlaceObject.Reset();
    if (m_pOleObject) {
        m_pOleObject->Close(OLECLOSE_NOSAVE);
        m_pOleObject->SetClientSite(nullptr);
    }
    m_pOleObject.Reset();
    m_pObject.Reset();
    if (HWND hWnd = std::exchange(m_hWnd, nullptr)) {
        RemovePropW(hWnd, kSiteProp);
        if (::IsWindow(hWnd)) ::DestroyWindow(hWnd);
    }
    // No OnFinalRelease from here: the owner's own release ends the site.
    --m_dwRef;
}

BOOL COleControlSite::TranslateAccelerator(MSG* pMsg) {
    ComPtr<IOleInPlaceActiveObject> active =
        m_pObject.As<IOleInPlaceActiveObject>(IID_IOleInPlaceActiveObject);
    return active && active->TranslateAccelerator(pMsg) == S_OK;
}

HRESULT COleControlSite::InvokeHelperV(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                                       const BYTE* pbParamInfo, VARIANT* rgArgs, UINT cArgs) {
    ComPtr<IDispatch> disp = m_pObject.As<IDispatch>(IID_IDispatch);
    if (!disp) return E_NOINTERFACE;
    // The described parameters must be what is passed.
    const size_t nParams = pbParamInfo ? std::strlen(reinterpret_cast<const char*>(pbParamInfo)) : 0;
    if (nParams != cArgs) return DISP_E_BADPARAMCOUNT;
    std::vector<VARIANT> reversed(cArgs);
    for (UINT i = 0; i < cArgs; ++i) {
        const BYTE code = pbParamInfo[i];
        const VARTYPE vt = static_cast<VARTYPE>((code & 0x3F) | ((code & 0x40) ? VT_BYREF : 0));
        if (rgArgs[i].vt != vt) return DISP_E_TYPEMISMATCH;
        reversed[cArgs - 1 - i] = rgArgs[i];
    }
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS dp{reversed.data(), nullptr, cArgs, 0};
    if (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        dp.rgdispidNamedArgs = &put;
        dp.cNamedArgs = 1;
    }
    VARIANT result;
    VariantInit(&result);
    HRESULT hr = disp->Invoke(dwDispID, IID_NULL, LOCALE_USER_DEFAULT, wFlags, &dp,
                              vtRet == VT_EMPTY ? nullptr : &result, nullptr, nullptr);
    if (FAILED(hr) || vtRet == VT_EMPTY || !pvRet) {
        VariantClear(&result);
        return hr;
    }
    if (result.vt != vtRet) {
        HRESULT hrChange = VariantChangeType(&result, &result, 0, vtRet);
        if (FAILED(hrChange)) {
            VariantClear(&result);
            return hrChange;
        }
    }
    switch (vtRet) {
    case VT_DISPATCH: *static_cast<IDispatch**>(pvRet) = result.pdispVal; break;  // passes the reference
    case VT_BSTR: *static_cast<BSTR*>(pvRet) = result.bstrVal; break;
    case VT_I4: *static_cast<long*>(pvRet) = result.lVal; break;
    case VT_BOOL: *static_cast<BOOL*>(pvRet) = result.boolVal != VARIANT_FALSE; break;
    default: VariantClear(&result); return DISP_E_TYPEMISMATCH;
    }
    return hr;
}
