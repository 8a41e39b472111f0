#include "tests/login/ScriptHost.h"

namespace login_test {
namespace {

// mingw's uuid library lacks some of these ids; they are fixed by the engine's interfaces.
const CLSID kClsidJScript = {0xF414C260, 0x6AC0, 0x11CF, {0xB6, 0xD1, 0x00, 0xAA, 0x00, 0xBB, 0xBB, 0x58}};
const IID kIidActiveScript = {0xBB1A2AE1, 0xA4F9, 0x11CF, {0x8F, 0x20, 0x00, 0x80, 0x5F, 0x2C, 0xD0, 0x64}};
const IID kIidActiveScriptSite = {0xDB01A1E3, 0xA42B, 0x11CF, {0x8F, 0x20, 0x00, 0x80, 0x5F, 0x2C, 0xD0, 0x64}};
#ifdef _WIN64
const IID kIidActiveScriptParse = {0xC7EF7658, 0xE1EE, 0x480E, {0x97, 0xEA, 0xD5, 0x2C, 0xB4, 0xD7, 0x6D, 0x17}};
#else
const IID kIidActiveScriptParse = {0xBB1A2AE2, 0xA4F9, 0x11CF, {0x8F, 0x20, 0x00, 0x80, 0x5F, 0x2C, 0xD0, 0x64}};
#endif

}  // namespace

ScriptHost::ScriptHost() {
    m_hrCreate = CoCreateInstance(kClsidJScript, nullptr, CLSCTX_INPROC_SERVER, kIidActiveScript,
                                  m_script.PutVoid());
    if (FAILED(m_hrCreate)) return;
    m_hrCreate = m_script->SetScriptSite(this);
    if (FAILED(m_hrCreate)) return;
    ComPtr<IActiveScriptParse> parse = m_script.As<IActiveScriptParse>(kIidActiveScriptParse);
    if (!parse) {
        m_hrCreate = E_NOINTERFACE;
        return;
    }
    m_hrCreate = parse->InitNew();
    if (FAILED(m_hrCreate)) return;
    m_hrCreate = m_script->SetScriptState(SCRIPTSTATE_CONNECTED);
    if (SUCCEEDED(m_hrCreate)) m_parse = parse;
}

ScriptHost::~ScriptHost() {
    if (m_script) m_script->Close();
}

HRESULT ScriptHost::AddNamedItem(const wchar_t* name, IDispatch* object) {
    if (!m_script) return E_UNEXPECTED;
    m_items[name] = object;
    return m_script->AddNamedItem(name, SCRIPTITEM_ISVISIBLE);
}

ScriptRun ScriptHost::Run(const std::wstring& script) {
    ScriptRun run;
    m_lastError.clear();
    m_lastScode = S_OK;
    if (!m_parse) return run;
    EXCEPINFO excep{};
    run.hr = m_parse->ParseScriptText(script.c_str(), nullptr, nullptr, nullptr, 0, 0,
                                      SCRIPTTEXT_ISVISIBLE, nullptr, &excep);
    run.error = m_lastError;
    run.errorScode = m_lastScode;
    if (run.error.empty() && excep.bstrDescription) run.error = excep.bstrDescription;
    SysFreeString(excep.bstrSource);
    SysFreeString(excep.bstrDescription);
    SysFreeString(excep.bstrHelpFile);
    return run;
}

STDMETHODIMP ScriptHost::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, kIidActiveScriptSite)) {
        *ppv = static_cast<IActiveScriptSite*>(this);
        return S_OK;
    }
    return E_NOINTERFACE;
}

STDMETHODIMP ScriptHost::GetLCID(LCID* plcid) {
    if (!plcid) return E_POINTER;
    *plcid = GetUserDefaultLCID();
    return S_OK;
}

STDMETHODIMP ScriptHost::GetItemInfo(LPCOLESTR pstrName, DWORD dwReturnMask,
                                     IUnknown** ppiunkItem, ITypeInfo** ppti) {
    if (ppiunkItem) *ppiunkItem = nullptr;
    if (ppti) *ppti = nullptr;
    if (dwReturnMask & SCRIPTINFO_ITYPEINFO) return TYPE_E_ELEMENTNOTFOUND;
    auto it = m_items.find(pstrName ? pstrName : L"");
    if (it == m_items.end() || !ppiunkItem) return TYPE_E_ELEMENTNOTFOUND;
    // Handed out as the item itself, with the reference the caller will release.
    it->second->AddRef();
    *ppiunkItem = it->second;
    return S_OK;
}

STDMETHODIMP ScriptHost::GetDocVersionString(BSTR* pbstrVersion) {
    if (pbstrVersion) *pbstrVersion = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP ScriptHost::OnScriptTerminate(const VARIANT*, const EXCEPINFO*) { return S_OK; }
STDMETHODIMP ScriptHost::OnStateChange(SCRIPTSTATE) { return S_OK; }

STDMETHODIMP ScriptHost::OnScriptError(IActiveScriptError* pscripterror) {
    EXCEPINFO excep{};
    if (pscripterror && SUCCEEDED(pscripterror->GetExceptionInfo(&excep))) {
        m_lastScode = excep.scode;
        m_lastError = excep.bstrDescription ? excep.bstrDescription : L"";
        SysFreeString(excep.bstrSource);
        SysFreeString(excep.bstrDescription);
        SysFreeString(excep.bstrHelpFile);
    } else {
        m_lastScode = E_FAIL;
    }
    return S_OK;
}

STDMETHODIMP ScriptHost::OnEnterScript() { return S_OK; }
STDMETHODIMP ScriptHost::OnLeaveScript() { return S_OK; }

ReportSink::~ReportSink() {
    for (VARIANT& v : reports) VariantClear(&v);
}

STDMETHODIMP ReportSink::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
        *ppv = static_cast<IDispatch*>(this);
        return S_OK;
    }
    return E_NOINTERFACE;
}

STDMETHODIMP ReportSink::GetTypeInfoCount(UINT* pctinfo) {
    if (pctinfo) *pctinfo = 0;
    return S_OK;
}

STDMETHODIMP ReportSink::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
        ids[i] = (names[i] && std::wstring(names[i]) == L"report") ? 1 : DISPID_UNKNOWN;
        if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

STDMETHODIMP ReportSink::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                VARIANT* result, EXCEPINFO*, UINT*) {
    if (id != 1 || !(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
    VARIANT copy;
    VariantInit(&copy);
    if (params && params->cArgs > 0) VariantCopy(&copy, &params->rgvarg[params->cArgs - 1]);
    reports.push_back(copy);
    if (result) VariantInit(result);
    return S_OK;
}

}  // namespace login_test
