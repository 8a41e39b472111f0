#pragma once
// window.external as the login page sees it.
#include <oaidl.h>

class CLoginActiveDlg;

class CImpIDispatch : public IDispatch {
public:
    // The page's vocabulary.
    static constexpr DISPID kDispIdWibble = 12345;    // property "xxyyzz"
    static constexpr DISPID kDispIdAppLogin = 10001;  // method "AppLogin"

    CImpIDispatch() = default;
    virtual ~CImpIDispatch() = default;
    CImpIDispatch(const CImpIDispatch&) = delete;
    CImpIDispatch& operator=(const CImpIDispatch&) = delete;

    // IUnknown; the count never frees the object (its owner deletes it).
    STDMETHODIMP QueryInterface(REFIID riid, void** ppvObject) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
    STDMETHODIMP GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                               DISPID* rgDispId) override;
    STDMETHODIMP Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                        DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                        UINT* puArgErr) override;

    // Unsigned, so that a count released below zero wraps instead of overflowing.
    ULONG m_cRef = 0;
    CLoginActiveDlg* m_pPanel = nullptr;
};
