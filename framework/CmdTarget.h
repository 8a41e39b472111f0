#pragma once
// CCmdTarget: the COM side of the program's objects. Three class tables hang off it:
//  - the dispatch map: the object's own automation IDispatch (enabled by EnableAutomation), methods
//    found by external name and dispatch id;
//  - the event sink map: events of hosted controls, found by control id and dispatch id;
//  - the interface map: which interface ids QueryInterface answers, and with which nested object.
// The tables are static arrays of captureless lambdas and template instances, built by the macros
// below in each class's own scope (so handlers may be protected), and chained to the base class's.
//
// Handler parameters are described by VTS_ strings, as the class library does; the macros check
// them against the handler's C++ parameter types at compile time, and the invoker checks each
// argument's vt at run time: a wrong count or type is answered with DISP_E_BADPARAMCOUNT or
// DISP_E_TYPEMISMATCH and the handler is not called.
#include <objbase.h>
#include <oaidl.h>

#include <cstddef>
#include <tuple>
#include <type_traits>
#include <utility>

// One character per parameter: the low six bits are the VARTYPE, 0x40 marks "by reference".
#define VTS_NONE ""
#define VTS_I4 "\x03"
#define VTS_BSTR "\x08"
#define VTS_DISPATCH "\x09"
#define VTS_BOOL "\x0B"
#define VTS_VARIANT "\x0C"
#define VTS_PBOOL "\x4B"
#define VTS_PVARIANT "\x4C"

class CCmdTarget;

// Invokes one table entry's handler with the arguments as the caller sent them (rgvarg reversed).
using AFX_DISPINVOKE = HRESULT (*)(CCmdTarget* pTarget, DISPPARAMS* pDispParams, UINT* puArgErr);

struct AFX_DISPMAP_ENTRY {
    const char* lpszName;  // external name (ASCII), matched without regard to case
    DISPID lDispID;
    AFX_DISPINVOKE pfnInvoke;
};
struct AFX_DISPMAP {
    const AFX_DISPMAP* (*pfnGetBaseMap)();
    const AFX_DISPMAP_ENTRY* lpEntries;  // ends with an entry whose pfnInvoke is null
};

struct AFX_EVENTSINKMAP_ENTRY {
    UINT nCtrlID;
    DISPID dispid;
    AFX_DISPINVOKE pfnInvoke;
};
struct AFX_EVENTSINKMAP {
    const AFX_EVENTSINKMAP* (*pfnGetBaseMap)();
    const AFX_EVENTSINKMAP_ENTRY* lpEntries;  // ends with an entry whose pfnInvoke is null
};

struct AFX_INTERFACEMAP_ENTRY {
    const IID* piid;
    IUnknown* (*pfnGetPart)(CCmdTarget* pTarget);  // the nested object answering piid
};
struct AFX_INTERFACEMAP {
    const AFX_INTERFACEMAP* (*pfnGetBaseMap)();
    const AFX_INTERFACEMAP_ENTRY* lpEntries;  // ends with an entry whose piid is null
};

class CCmdTarget {
public:
    CCmdTarget();
    virtual ~CCmdTarget();
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // Gives the object its automation IDispatch, driven by the dispatch map.
    void EnableAutomation();
    // The object's own IDispatch (null before EnableAutomation); with bAddRef FALSE no reference
    // is added.
    IDispatch* GetIDispatch(BOOL bAddRef);

    // COM identity through the interface map. The count starts at 1 (the owner's reference);
    // when it drops to 0 OnFinalRelease runs.
    HRESULT InternalQueryInterface(REFIID iid, void** ppvObj);
    ULONG InternalAddRef();
    ULONG InternalRelease();
    HRESULT ExternalQueryInterface(REFIID iid, void** ppvObj);
    ULONG ExternalAddRef();
    ULONG ExternalRelease();
    virtual void OnFinalRelease();

    // Automation through the dispatch map.
    DISPID FindDispatchName(LPCOLESTR name) const;
    HRESULT InvokeDispatch(DISPID dispid, WORD wFlags, DISPPARAMS* pDispParams, VARIANT* pVarResult,
                           UINT* puArgErr);
    // An event of hosted control idCtrl, routed through the event sink map. DISP_E_MEMBERNOTFOUND
    // when no entry takes it.
    HRESULT OnEvent(UINT idCtrl, DISPID dispid, DISPPARAMS* pDispParams, UINT* puArgErr);

protected:
    static const AFX_DISPMAP* GetThisDispatchMap();
    virtual const AFX_DISPMAP* GetDispatchMap() const;
    static const AFX_EVENTSINKMAP* GetThisEventSinkMap();
    virtual const AFX_EVENTSINKMAP* GetEventSinkMap() const;
    static const AFX_INTERFACEMAP* GetThisInterfaceMap();
    virtual const AFX_INTERFACEMAP* GetInterfaceMap() const;

    // The automation IDispatch; it shares the object's identity and count.
    class XDispatch : public IDispatch {
    public:
        explicit XDispatch(CCmdTarget* pThis) : m_pThis(pThis) {}
        STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;
        STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
        STDMETHODIMP GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
        STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                   DISPID* rgDispId) override;
        STDMETHODIMP Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                            DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                            UINT* puArgErr) override;

    private:
        // Nested parts reach their owner through this pointer: offsetof on a class with virtual
        // functions is not portable C++.
        CCmdTarget* m_pThis;
    };
    XDispatch m_xDispatch;

    ULONG m_dwRef = 1;
    bool m_bAutomation = false;
};

// ---- argument conversion for the tables ------------------------------------------------------
namespace afx {

template <class F>
struct MemberFn;
template <class C, class R, class... A>
struct MemberFn<R (C::*)(A...)> {
    using Class = C;
    using Ret = R;
    using Args = std::tuple<A...>;
    static constexpr std::size_t arity = sizeof...(A);
};

// The VTS code that stands for a C++ parameter type (0 when the type is not supported).
template <class T>
constexpr char VtsCode() {
    if constexpr (std::is_same_v<T, IDispatch*>) return '\x09';
    else if constexpr (std::is_same_v<T, VARIANT*>) return '\x4C';
    else if constexpr (std::is_same_v<T, BOOL*>) return '\x4B';
    else if constexpr (std::is_same_v<T, BSTR> || std::is_same_v<T, LPCOLESTR>) return '\x08';
    else return 0;
}

template <class Tuple, std::size_t... I>
constexpr bool VtsMatch(const char* vts, std::index_sequence<I...>) {
    std::size_t n = 0;
    while (vts[n]) ++n;
    if (n != sizeof...(I)) return false;
    return ((vts[I] == VtsCode<std::tuple_element_t<I, Tuple>>()) && ...);
}

// True when the VTS string describes exactly the handler's parameters.
template <class F>
constexpr bool VtsMatches(const char* vts) {
    using M = MemberFn<F>;
    return VtsMatch<typename M::Args>(vts, std::make_index_sequence<M::arity>{});
}

// One argument, taken out of its VARIANT with a vt check.
template <class T>
struct Arg;
template <>
struct Arg<IDispatch*> {
    IDispatch* value = nullptr;
    bool Load(VARIANT& v) {
        if (v.vt == VT_DISPATCH) { value = v.pdispVal; return true; }
        if (v.vt == (VT_DISPATCH | VT_BYREF) && v.ppdispVal) { value = *v.ppdispVal; return true; }
        if (v.vt == VT_EMPTY || v.vt == VT_NULL) { value = nullptr; return true; }
        return false;
    }
    IDispatch* Get() { return value; }
    void Store() {}
};
template <>
struct Arg<VARIANT*> {
    VARIANT* value = nullptr;
    bool Load(VARIANT& v) {
        if (v.vt != (VT_VARIANT | VT_BYREF) || !v.pvarVal) return false;
        value = v.pvarVal;
        return true;
    }
    VARIANT* Get() { return value; }
    void Store() {}
};
// A by-reference VARIANT_BOOL reaches a BOOL* handler through a copy, written back afterwards.
template <>
struct Arg<BOOL*> {
    VARIANT_BOOL* target = nullptr;
    BOOL value = FALSE;
    bool Load(VARIANT& v) {
        if (v.vt != (VT_BOOL | VT_BYREF) || !v.pboolVal) return false;
        target = v.pboolVal;
        value = *target != VARIANT_FALSE;
        return true;
    }
    BOOL* Get() { return &value; }
    void Store() { *target = value ? VARIANT_TRUE : VARIANT_FALSE; }
};
template <>
struct Arg<BSTR> {
    BSTR value = nullptr;
    bool Load(VARIANT& v) {
        if (v.vt == VT_BSTR) { value = v.bstrVal; return true; }
        if (v.vt == (VT_BSTR | VT_BYREF) && v.pbstrVal) { value = *v.pbstrVal; return true; }
        return false;
    }
    BSTR Get() { return value; }
    void Store() {}
};
template <>
struct Arg<LPCOLESTR> : Arg<BSTR> {};

template <auto pfn, std::size_t... I>
HRESULT CallMember(CCmdTarget* pTarget, DISPPARAMS* dp, UINT* puArgErr, std::index_sequence<I...>) {
    using M = MemberFn<decltype(pfn)>;
    std::tuple<Arg<std::tuple_element_t<I, typename M::Args>>...> args;
    // rgvarg holds the arguments last to first.
    UINT bad = 0;
    bool ok = true;
    ((ok = ok && (std::get<I>(args).Load(dp->rgvarg[dp->cArgs - 1 - I]) ||
                  (bad = dp->cArgs - 1 - I, false))),
     ...);
    if (!ok) {
        if (puArgErr) *puArgErr = bad;
        return DISP_E_TYPEMISMATCH;
    }
    (static_cast<typename M::Class*>(pTarget)->*pfn)(std::get<I>(args).Get()...);
    (std::get<I>(args).Store(), ...);
    return S_OK;
}

// The invoker of one table entry: checks the argument count and types, then calls the handler.
template <auto pfn>
HRESULT Invoke(CCmdTarget* pTarget, DISPPARAMS* dp, UINT* puArgErr) {
    using M = MemberFn<decltype(pfn)>;
    static_assert(std::is_void_v<typename M::Ret>, "table handlers return nothing");
    DISPPARAMS none{};
    if (!dp) dp = &none;
    if (dp->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
    if (dp->cArgs != M::arity) return DISP_E_BADPARAMCOUNT;
    if (M::arity != 0 && !dp->rgvarg) return DISP_E_BADPARAMCOUNT;
    return CallMember<pfn>(pTarget, dp, puArgErr, std::make_index_sequence<M::arity>{});
}

}  // namespace afx

// ---- dispatch map ------------------------------------------------------------------------------
#define DECLARE_DISPATCH_MAP()                            \
protected:                                                \
    static const AFX_DISPMAP* GetThisDispatchMap();       \
    const AFX_DISPMAP* GetDispatchMap() const override;

#define BEGIN_DISPATCH_MAP(theClass, baseClass)                                          \
    const AFX_DISPMAP* theClass::GetDispatchMap() const { return GetThisDispatchMap(); } \
    const AFX_DISPMAP* theClass::GetThisDispatchMap() {                                  \
        using ThisClass = theClass;                                                      \
        using TheBaseClass = baseClass;                                                  \
        static const AFX_DISPMAP_ENTRY _dispatchEntries[] = {

// vtRetVal must be VT_EMPTY: every dispatch method of the program returns nothing.
#define DISP_FUNCTION_ID(theClass, szExternalName, dispid, pfnMember, vtRetVal, vtsParams)        \
    {szExternalName, dispid, [] {                                                                 \
         static_assert((vtRetVal) == VT_EMPTY, "dispatch methods return nothing");                 \
         static_assert(afx::VtsMatches<decltype(&theClass::pfnMember)>(vtsParams),                 \
                       "VTS parameters do not match " #pfnMember);                                 \
         return &afx::Invoke<&theClass::pfnMember>;                                                \
     }()},

#define END_DISPATCH_MAP()                                                                  \
    {nullptr, 0, nullptr}                                                                   \
    }                                                                                       \
    ;                                                                                       \
    static_assert(std::is_base_of_v<TheBaseClass, ThisClass>);                              \
    static const AFX_DISPMAP dispatchMap = {&TheBaseClass::GetThisDispatchMap, _dispatchEntries}; \
    return &dispatchMap;                                                                    \
    }

// ---- event sink map ----------------------------------------------------------------------------
#define DECLARE_EVENTSINK_MAP()                              \
protected:                                                   \
    static const AFX_EVENTSINKMAP* GetThisEventSinkMap();    \
    const AFX_EVENTSINKMAP* GetEventSinkMap() const override;

#define BEGIN_EVENTSINK_MAP(theClass, baseClass)                                                 \
    const AFX_EVENTSINKMAP* theClass::GetEventSinkMap() const { return GetThisEventSinkMap(); } \
    const AFX_EVENTSINKMAP* theClass::GetThisEventSinkMap() {                                    \
        using ThisClass = theClass;                                                              \
        using TheBaseClass = baseClass;                                                          \
        static const AFX_EVENTSINKMAP_ENTRY _eventsinkEntries[] = {

// pfnHandler may be written plain (OnDocumentComplete) or qualified (CMyDlg::OnDocumentComplete).
#define ON_EVENT(theClass, id, dispid, pfnHandler, vtsParams)                                      \
    {id, dispid, [] {                                                                              \
         static_assert(afx::VtsMatches<decltype(&theClass::pfnHandler)>(vtsParams),                 \
                       "VTS parameters do not match " #pfnHandler);                                 \
         return &afx::Invoke<&theClass::pfnHandler>;                                                \
     }()},

#define END_EVENTSINK_MAP()                                                                        \
    {0, 0, nullptr}                                                                                \
    }                                                                                              \
    ;                                                                                              \
    static_assert(std::is_base_of_v<TheBaseClass, ThisClass>);                                     \
    static const AFX_EVENTSINKMAP eventsinkMap = {&TheBaseClass::GetThisEventSinkMap, _eventsinkEntries}; \
    return &eventsinkMap;                                                                          \
    }

// ---- interface map -----------------------------------------------------------------------------
#define DECLARE_INTERFACE_MAP()                               \
protected:                                                    \
    static const AFX_INTERFACEMAP* GetThisInterfaceMap();     \
    const AFX_INTERFACEMAP* GetInterfaceMap() const override;

#define BEGIN_INTERFACE_MAP(theClass, baseClass)                                                 \
    const AFX_INTERFACEMAP* theClass::GetInterfaceMap() const { return GetThisInterfaceMap(); } \
    const AFX_INTERFACEMAP* theClass::GetThisInterfaceMap() {                                    \
        using ThisClass = theClass;                                                              \
        using TheBaseClass = baseClass;                                                          \
        static const AFX_INTERFACEMAP_ENTRY _interfaceEntries[] = {

// iid is answered by the member m_x<localClass> (Dispatch: the automation IDispatch).
#define INTERFACE_PART(theClass, iid, localClass)                                  \
    {&(iid), [](CCmdTarget* pTarget) -> IUnknown* {                                \
         return &static_cast<theClass*>(pTarget)->m_x##localClass;                 \
     }},

#define END_INTERFACE_MAP()                                                                          \
    {nullptr, nullptr}                                                                               \
    }                                                                                                \
    ;                                                                                                \
    static_assert(std::is_base_of_v<TheBaseClass, ThisClass>);                                       \
    static const AFX_INTERFACEMAP interfaceMap = {&TheBaseClass::GetThisInterfaceMap, _interfaceEntries}; \
    return &interfaceMap;                                                                            \
    }
