// window.external: an IDispatch written out by hand, without a type library, because the page
// needs only two names. Page script is untrusted input, so Invoke looks at what it is given
// (argument count, argument type) before it uses it and never lets a failure escape into the
// script engine: every call answers S_OK.
#include "login/ImpIDispatch.h"

#include <utility>

#include "app/LoginActiveDlg.h"

namespace {

// Names are told apart by their first three characters only, compared case-sensitively and
// without regard to half- or full-width forms, in the caller's locale. Tried in table order.
constexpr int kNameMatchLength = 3;

struct DispatchName {
    const wchar_t* name;
    DISPID id;
};
constexpr DispatchName kDispatchNames[] = {
    {L"xxyyzz", CImpIDispatch::kDispIdWibble},
    {L"AppLogin", CImpIDispatch::kDispIdAppLogin},
};

DISPID LookUpName(const wchar_t* name, LCID lcid) {
    // A shorter name must not make the comparison read past its terminator.
    if (name == nullptr) return DISPID_UNKNOWN;
    for (int i = 0; i < kNameMatchLength; ++i)
        if (name[i] == L'\0') return DISPID_UNKNOWN;
    for (const DispatchName& entry : kDispatchNames) {
        if (CompareStringW(lcid, NORM_IGNOREWIDTH, entry.name, kNameMatchLength, name,
                           kNameMatchLength) == CSTR_EQUAL)
            return entry.id;
    }
    return DISPID_UNKNOWN;
}

// The string argument of a call, kept whole (a BSTR may hold NULs). False for anything that is
// not a string: such a call is ignored.
bool ArgumentText(const VARIANTARG& arg, CString& text) {
    BSTR bstr = nullptr;
    if (arg.vt == VT_BSTR)
        bstr = arg.bstrVal;
    else if (arg.vt == (VT_BYREF | VT_BSTR) && arg.pbstrVal != nullptr)
        bstr = *arg.pbstrVal;
    else
        return false;
    // A null BSTR is the empty string.
    text.assign(bstr ? bstr : L"", bstr ? SysStringLen(bstr) : 0);
    return true;
}

}  // namespace

STDMETHODIMP CImpIDispatch::QueryInterface(REFIID riid, void** ppvObject) {
    if (ppvObject == nullptr) return E_POINTER;
    *ppvObject = nullptr;
    // Only IDispatch: the page's engine never asks for anything else of external.
    if (!IsEqualIID(riid, IID_IDispatch)) return E_NOINTERFACE;
    *ppvObject = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CImpIDispatch::AddRef() { return ++m_cRef; }

STDMETHODIMP_(ULONG) CImpIDispatch::Release() { return --m_cRef; }

STDMETHODIMP CImpIDispatch::GetTypeInfoCount(UINT* /*pctinfo*/) { return E_NOTIMPL; }

STDMETHODIMP CImpIDispatch::GetTypeInfo(UINT /*iTInfo*/, LCID /*lcid*/, ITypeInfo** /*ppTInfo*/) {
    return E_NOTIMPL;
}

STDMETHODIMP CImpIDispatch::GetIDsOfNames(REFIID /*riid*/, LPOLESTR* rgszNames, UINT cNames,
                                          LCID lcid, DISPID* rgDispId) {
    if (cNames > 0 && (rgszNames == nullptr || rgDispId == nullptr)) return E_INVALIDARG;
    HRESULT hr = S_OK;
    // Every name gets its id, also after an unknown one.
    for (UINT i = 0; i < cNames; ++i) {
        rgDispId[i] = LookUpName(rgszNames[i], lcid);
        if (rgDispId[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

STDMETHODIMP CImpIDispatch::Invoke(DISPID dispIdMember, REFIID /*riid*/, LCID /*lcid*/,
                                   WORD wFlags, DISPPARAMS* pDispParams, VARIANT* pVarResult,
                                   EXCEPINFO* /*pExcepInfo*/, UINT* /*puArgErr*/) {
    switch (dispIdMember) {
    case kDispIdWibble:
        if ((wFlags & DISPATCH_PROPERTYGET) && pVarResult != nullptr) {
            VariantInit(pVarResult);
            pVarResult->vt = VT_BSTR;
            pVarResult->bstrVal = SysAllocString(L"Wibble");
        }
        break;
    case kDispIdAppLogin: {
        if (!(wFlags & DISPATCH_METHOD) || m_pPanel == nullptr) break;
        // Positional arguments arrive last first: rgvarg[0] is the last one the script passed.
        if (pDispParams == nullptr || pDispParams->cArgs == 0 || pDispParams->rgvarg == nullptr)
            break;
        try {
            CString text;
            if (ArgumentText(pDispParams->rgvarg[0], text)) m_pPanel->OnAppLogin(std::move(text));
        } catch (...) {
            // Out of memory on a huge payload, or anything else: the page's call still returns
            // normally; nothing may unwind into the script engine.
        }
        break;
    }
    default:
        break;
    }
    return S_OK;
}
