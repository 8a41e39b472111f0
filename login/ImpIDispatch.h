#pragma once
// window.external as the login page sees it.
#include <oaidl.h>

class CLoginActiveDlg;

class CImpIDispatch : public IDispatch {
public:
    CImpIDispatch() = default;
    virtual ~CImpIDispatch() = default;

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

    LONG m_cRef = 0;
    CLoginActiveDlg* m_pPanel = nullptr;
};
