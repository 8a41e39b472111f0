#pragma once
// Stand-ins for the parts Wine cannot supply here (it has no HTML engine): a browser control that
// is created through the ordinary control containment (registered as a class object of this
// process) and raises its events the way the real control does, and an HTML document model with
// anchors whose connection points count and can refuse advises. Every call they take is one the
// real control or document makes or answers, with the same arguments.
#include <exdisp.h>
#include <mshtml.h>
#include <ocidl.h>

#include <optional>
#include <string>
#include <vector>

#include "framework/ComPtr.h"
#include "tests/browser/HtmlStubs.h"

namespace fake {

// {0B1E6A3C-2F47-4D59-8C1E-7A2B9D3E4F51}: the fake control's own class id.
inline constexpr CLSID CLSID_FakeControl = {
    0x0B1E6A3C, 0x2F47, 0x4D59, {0x8C, 0x1E, 0x7A, 0x2B, 0x9D, 0x3E, 0x4F, 0x51}};

// Builds the arguments of the browser's events as it sends them (reversed, by reference).
struct EventArgs {
    std::vector<VARIANT> rgvarg;
    VARIANT url{}, flags{}, frame{}, post{}, postInner{}, headers{};
    VARIANT_BOOL cancel = VARIANT_FALSE;
    enum Kind { kNavigateComplete, kBeforeNavigate };
    // kNavigateComplete (NavigateComplete2, DocumentComplete): window, address.
    // kBeforeNavigate: window, address, flags, frame, post data, headers, cancel.
    EventArgs(Kind kind, IDispatch* pWindow, const wchar_t* address);
    DISPPARAMS Params() { return {rgvarg.data(), nullptr, static_cast<UINT>(rgvarg.size()), 0}; }
    EventArgs(const EventArgs&) = delete;
    EventArgs& operator=(const EventArgs&) = delete;
    ~EventArgs();
};

// Invoke as the control raises an event: DISPATCH_METHOD, IID_NULL, no result, no exception info.
HRESULT Raise(IDispatch* pSink, DISPID dispid, EventArgs& args);

class Browser;

// A class object registered for this process while it lives.
class Registration {
public:
    explicit Registration(REFCLSID clsid);
    ~Registration();
    Registration(const Registration&) = delete;
    Registration& operator=(const Registration&) = delete;
    // The control made most recently (the site holds its own references).
    Browser* Last() const;
    // What IPersistStreamInit::Load answers on the controls made from now on.
    void SetLoadResult(HRESULT hr);

private:
    struct Factory;
    Factory* m_pFactory;
    DWORD m_dwCookie = 0;
};

class Browser : public IOleObject,
                public IOleInPlaceObject,
                public IPersistStreamInit,
                public IDispatch,
                public IConnectionPointContainer,
                public IConnectionPoint,
                public IProvideClassInfo2 {
public:
    Browser() = default;
    virtual ~Browser() = default;

    // Test state.
    ComPtr<IOleClientSite> m_site;
    ComPtr<IDispatch> m_sink;  // the advised DWebBrowserEvents2 sink
    int m_nAdvise = 0;
    std::vector<BYTE> m_loaded;
    bool m_bLoadCalled = false, m_bInitNew = false;
    HRESULT m_hrLoad = S_OK;
    RECT m_rcObject{};
    HWND m_hWndParent = nullptr;
    int m_nNavigate = 0;
    std::wstring m_strNavigateUrl;
    std::vector<VARTYPE> m_navigateVts;
    ComPtr<IDispatch> m_document;
    int m_nDocumentReads = 0;

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_cRef; }
    STDMETHODIMP_(ULONG) Release() override;
    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* pClientSite) override;
    STDMETHODIMP GetClientSite(IOleClientSite** ppClientSite) override;
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD) override { return S_OK; }
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP DoVerb(LONG iVerb, LPMSG, IOleClientSite*, LONG, HWND hwndParent, LPCRECT lprcPosRect) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID*) override { return E_NOTIMPL; }
    STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    STDMETHODIMP SetExtent(DWORD, SIZEL*) override { return S_OK; }
    STDMETHODIMP GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    STDMETHODIMP GetMiscStatus(DWORD, DWORD* pdwStatus) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }
    // IOleWindow / IOleInPlaceObject
    STDMETHODIMP GetWindow(HWND* phwnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP InPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP UIDeactivate() override { return S_OK; }
    STDMETHODIMP SetObjectRects(LPCRECT lprcPosRect, LPCRECT) override;
    STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }
    // IPersistStreamInit
    STDMETHODIMP GetClassID(CLSID*) override { return E_NOTIMPL; }
    STDMETHODIMP IsDirty() override { return S_FALSE; }
    STDMETHODIMP Load(LPSTREAM pStm) override;
    STDMETHODIMP Save(LPSTREAM, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    STDMETHODIMP InitNew() override;
    // IDispatch: Navigate (104) and Document (203)
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                        DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO*, UINT*) override;
    // IConnectionPointContainer / IConnectionPoint for DWebBrowserEvents2
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) override;
    STDMETHODIMP GetConnectionInterface(IID* pIID) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer**) override { return E_NOTIMPL; }
    STDMETHODIMP Advise(IUnknown* pUnkSink, DWORD* pdwCookie) override;
    // Also IOleObject::Unadvise, which the site never calls.
    STDMETHODIMP Unadvise(DWORD dwCookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }
    // IProvideClassInfo2
    STDMETHODIMP GetClassInfo(ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetGUID(DWORD dwGuidKind, GUID* pGUID) override;

private:
    ULONG m_cRef = 1;
    HWND m_hWnd = nullptr;  // the control's window inside the host
};

// ---- document model ----------------------------------------------------------------------------

// An element that is no anchor.
class Element : public IDispatch {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_cRef; }
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
    virtual ~Element() = default;

private:
    ULONG m_cRef = 1;
};

// An anchor with an href (none: get_href answers an empty BSTR, as for <a> without one) and a
// connection point for HTMLElementEvents2.
class Anchor : public StubHTMLAnchorElement, public IConnectionPointContainer, public IConnectionPoint {
public:
    explicit Anchor(std::optional<std::wstring> href) : m_href(std::move(href)) {}
    virtual ~Anchor() = default;

    std::optional<std::wstring> m_href;
    int m_nRefuse = 0;  // advises still to refuse
    int m_nAdviseCalls = 0;
    int m_nConnected = 0;
    DWORD m_dwLastCookie = 0;
    ComPtr<IDispatch> m_sink;  // the sink as HTMLElementEvents2
    ULONG RefCount() const { return m_cRef; }
    // A click as the document delivers it: -600 with the event object.
    HRESULT Click(IDispatch* pEventObj);

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_cRef; }
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
    STDMETHODIMP get_href(BSTR* p) override;
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) override;
    STDMETHODIMP GetConnectionInterface(IID* pIID) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer**) override { return E_NOTIMPL; }
    STDMETHODIMP Advise(IUnknown* pUnkSink, DWORD* pdwCookie) override;
    STDMETHODIMP Unadvise(DWORD dwCookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

private:
    ULONG m_cRef = 1;
};

class Collection : public StubHTMLElementCollection {
public:
    std::vector<ComPtr<IDispatch>> m_elements;  // null: item() yields nothing
    std::vector<long> m_failAt;                 // item() fails at these positions
    std::vector<std::pair<VARTYPE, VARTYPE>> m_itemVts;  // what item() was given
    std::vector<long> m_itemIndices;
    virtual ~Collection() = default;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_cRef; }
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
    STDMETHODIMP get_length(LONG* p) override;
    STDMETHODIMP item(VARIANT name, VARIANT index, IDispatch** pdisp) override;

private:
    ULONG m_cRef = 1;
};

class Document : public StubHTMLDocument2 {
public:
    ComPtr<Collection> m_all;
    bool m_bNoDocument2 = false;  // answers as a non-HTML document would
    int m_nAllReads = 0;
    virtual ~Document() = default;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_cRef; }
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
    STDMETHODIMP get_all(IHTMLElementCollection** p) override;

private:
    ULONG m_cRef = 1;
};

// Adopts the first reference of a new test object.
template <class T, class... A>
ComPtr<T> Make(A&&... args) {
    return ComPtr<T>::Attach(new T(std::forward<A>(args)...));
}

}  // namespace fake
