#pragma once
// Hosts Wine's real JScript engine the way the browser does for a page: named items added as
// visible globals, script text parsed and run at once in the connected state. Lets tests run
// page-style script against the launcher's window.external object.
#include <windows.h>
#include <activscp.h>

#include <map>
#include <string>
#include <vector>

#include "framework/ComPtr.h"

namespace login_test {

// The engine's answer for one run of script text.
struct ScriptRun {
    HRESULT hr = E_FAIL;        // ParseScriptText's result (SCRIPT_E_REPORTED after a script error)
    SCODE errorScode = S_OK;    // the error the engine reported to the site (S_OK: none)
    std::wstring error;         // its description, when the engine gave one
};

class ScriptHost : public IActiveScriptSite {
public:
    ScriptHost();
    ~ScriptHost();
    ScriptHost(const ScriptHost&) = delete;
    ScriptHost& operator=(const ScriptHost&) = delete;

    // False when the engine could not be created (the reason is in CreationError()).
    bool Ready() const { return static_cast<bool>(m_parse); }
    HRESULT CreationError() const { return m_hrCreate; }

    // Makes `object` the global `name` of the scripts (the browser adds external this way).
    HRESULT AddNamedItem(const wchar_t* name, IDispatch* object);
    ScriptRun Run(const std::wstring& script);

    // IUnknown (the host lives on the test's stack: no counting)
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    // IActiveScriptSite
    STDMETHODIMP GetLCID(LCID* plcid) override;
    STDMETHODIMP GetItemInfo(LPCOLESTR pstrName, DWORD dwReturnMask, IUnknown** ppiunkItem,
                             ITypeInfo** ppti) override;
    STDMETHODIMP GetDocVersionString(BSTR* pbstrVersion) override;
    STDMETHODIMP OnScriptTerminate(const VARIANT* pvarResult, const EXCEPINFO* pexcepinfo) override;
    STDMETHODIMP OnStateChange(SCRIPTSTATE ssScriptState) override;
    STDMETHODIMP OnScriptError(IActiveScriptError* pscripterror) override;
    STDMETHODIMP OnEnterScript() override;
    STDMETHODIMP OnLeaveScript() override;

private:
    HRESULT m_hrCreate = E_FAIL;
    ComPtr<IActiveScript> m_script;
    ComPtr<IActiveScriptParse> m_parse;
    std::map<std::wstring, IDispatch*> m_items;
    SCODE m_lastScode = S_OK;
    std::wstring m_lastError;
};

// A second global for the scripts: `host.report(v)` records every value it is given, so a test can
// see what the script read from external, exactly as the engine handed it on.
class ReportSink : public IDispatch {
public:
    ReportSink() = default;
    ~ReportSink();
    ReportSink(const ReportSink&) = delete;
    ReportSink& operator=(const ReportSink&) = delete;

    // The values of report(...) calls in order (copies of the first argument; VT_EMPTY for none).
    std::vector<VARIANT> reports;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO*, UINT*) override;
};

}  // namespace login_test
