#include "framework/CmdTarget.h"

namespace {
// External names are ASCII; script engines may spell them in any case.
bool NameEquals(const char* ascii, LPCOLESTR name) {
    for (; *ascii && *name; ++ascii, ++name) {
        wchar_t a = static_cast<unsigned char>(*ascii), b = *name;
        if (a >= L'a' && a <= L'z') a -= 32;
        if (b >= L'a' && b <= L'z') b -= 32;
        if (a != b) return false;
    }
    return *ascii == 0 && *name == 0;
}
}  // namespace

CCmdTarget::CCmdTarget() : m_xDispatch(this) {}
CCmdTarget::~CCmdTarget() = default;

void CCmdTarget::EnableAutomation() { m_bAutomation = true; }

IDispatch* CCmdTarget::GetIDispatch(BOOL bAddRef) {
    if (!m_bAutomation) return nullptr;
    if (bAddRef) ExternalAddRef();
    return &m_xDispatch;
}

const AFX_DISPMAP* CCmdTarget::GetThisDispatchMap() {
    static const AFX_DISPMAP_ENTRY entries[] = {{nullptr, 0, nullptr}};
    static const AFX_DISPMAP map = {nullptr, entries};
    return &map;
}
const AFX_DISPMAP* CCmdTarget::GetDispatchMap() const { return GetThisDispatchMap(); }

const AFX_EVENTSINKMAP* CCmdTarget::GetThisEventSinkMap() {
    static const AFX_EVENTSINKMAP_ENTRY entries[] = {{0, 0, nullptr}};
    static const AFX_EVENTSINKMAP map = {nullptr, entries};
    return &map;
}
const AFX_EVENTSINKMAP* CCmdTarget::GetEventSinkMap() const { return GetThisEventSinkMap(); }

const AFX_INTERFACEMAP* CCmdTarget::GetThisInterfaceMap() {
    static const AFX_INTERFACEMAP_ENTRY entries[] = {
        {&IID_IDispatch, [](CCmdTarget* p) -> IUnknown* { return &p->m_xDispatch; }},
        {nullptr, nullptr}};
    static const AFX_INTERFACEMAP map = {nullptr, entries};
    return &map;
}
const AFX_INTERFACEMAP* CCmdTarget::GetInterfaceMap() const { return GetThisInterfaceMap(); }

HRESULT CCmdTarget::InternalQueryInterface(REFIID iid, void** ppvObj) {
    if (!ppvObj) return E_POINTER;
    *ppvObj = nullptr;
    const bool bUnknown = IsEqualIID(iid, IID_IUnknown);
    // IUnknown is the first part found, most derived map first, so the identity never changes.
    for (const AFX_INTERFACEMAP* map = GetInterfaceMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_INTERFACEMAP_ENTRY* e = map->lpEntries; e->piid; ++e) {
            if (!bUnknown && !IsEqualIID(*e->piid, iid)) continue;
            IUnknown* part = e->pfnGetPart(this);
            // The automation part exists only once automation is enabled.
            if (!part || (part == &m_xDispatch && !m_bAutomation)) continue;
            *ppvObj = part;
            InternalAddRef();
            return S_OK;
        }
    }
    return E_NOINTERFACE;
}

ULONG CCmdTarget::InternalAddRef() { return ++m_dwRef; }

ULONG CCmdTarget::InternalRelease() {
    if (m_dwRef == 0) return 0;  // released more often than referenced: leave the object alone
    ULONG n = --m_dwRef;
    if (n == 0) OnFinalRelease();
    return n;
}

HRESULT CCmdTarget::ExternalQueryInterface(REFIID iid, void** ppvObj) {
    return InternalQueryInterface(iid, ppvObj);
}
ULONG CCmdTarget::ExternalAddRef() { return InternalAddRef(); }
ULONG CCmdTarget::ExternalRelease() { return InternalRelease(); }

void CCmdTarget::OnFinalRelease() { delete this; }

DISPID CCmdTarget::FindDispatchName(LPCOLESTR name) const {
    if (!name) return DISPID_UNKNOWN;
    for (const AFX_DISPMAP* map = GetDispatchMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_DISPMAP_ENTRY* e = map->lpEntries; e->pfnInvoke; ++e)
            if (NameEquals(e->lpszName, name)) return e->lDispID;
    }
    return DISPID_UNKNOWN;
}

namespace {
// Handlers run inside calls from the control or the page's script: an exception must not unwind
// into their code, so it ends as a failure result of the call.
template <class Invoker>
HRESULT GuardedInvoke(Invoker pfnInvoke, CCmdTarget* pTarget, DISPPARAMS* pDispParams,
                      UINT* puArgErr) noexcept {
    try {
        return pfnInvoke(pTarget, pDispParams, puArgErr);
    } catch (...) {
        return E_UNEXPECTED;
    }
}
}  // namespace

HRESULT CCmdTarget::InvokeDispatch(DISPID dispid, WORD wFlags, DISPPARAMS* pDispParams,
                                   VARIANT* /*pVarResult*/, UINT* puArgErr) {
    for (const AFX_DISPMAP* map = GetDispatchMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_DISPMAP_ENTRY* e = map->lpEntries; e->pfnInvoke; ++e) {
            if (e->lDispID != dispid) continue;
            // Every entry is a method.
            if (!(wFlags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
            return GuardedInvoke(e->pfnInvoke, this, pDispParams, puArgErr);
        }
    }
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT CCmdTarget::OnEvent(UINT idCtrl, DISPID dispid, DISPPARAMS* pDispParams, UINT* puArgErr) {
    for (const AFX_EVENTSINKMAP* map = GetEventSinkMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_EVENTSINKMAP_ENTRY* e = map->lpEntries; e->pfnInvoke; ++e)
            if (e->nCtrlID == idCtrl && e->dispid == dispid)
                return GuardedInvoke(e->pfnInvoke, this, pDispParams, puArgErr);
    }
    return DISP_E_MEMBERNOTFOUND;
}

// ---- XDispatch ---------------------------------------------------------------------------------
STDMETHODIMP CCmdTarget::XDispatch::QueryInterface(REFIID riid, void** ppv) {
    return m_pThis->ExternalQueryInterface(riid, ppv);
}
STDMETHODIMP_(ULONG) CCmdTarget::XDispatch::AddRef() { return m_pThis->ExternalAddRef(); }
STDMETHODIMP_(ULONG) CCmdTarget::XDispatch::Release() { return m_pThis->ExternalRelease(); }

STDMETHODIMP CCmdTarget::XDispatch::GetTypeInfoCount(UINT* pctinfo) {
    if (!pctinfo) return E_POINTER;
    *pctinfo = 0;
    return S_OK;
}
STDMETHODIMP CCmdTarget::XDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) {
    if (ppTInfo) *ppTInfo = nullptr;
    return E_NOTIMPL;
}
STDMETHODIMP CCmdTarget::XDispatch::GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames,
                                                  LCID, DISPID* rgDispId) {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (!rgszNames || !rgDispId || cNames == 0) return E_INVALIDARG;
    // Methods take no named arguments: every name after the first is unknown.
    HRESULT hr = S_OK;
    for (UINT i = 0; i < cNames; ++i) {
        rgDispId[i] = i == 0 ? m_pThis->FindDispatchName(rgszNames[0]) : DISPID_UNKNOWN;
        if (rgDispId[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}
STDMETHODIMP CCmdTarget::XDispatch::Invoke(DISPID dispIdMember, REFIID riid, LCID, WORD wFlags,
                                           DISPPARAMS* pDispParams, VARIANT* pVarResult,
                                           EXCEPINFO*, UINT* puArgErr) {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    return m_pThis->InvokeDispatch(dispIdMember, wFlags, pDispParams, pVarResult, puArgErr);
}
