// The login hand-off inside the running program: the program's own start-up (theApp.InitInstance)
// runs in this test process with its real windows, and once they exist the login result arrives
// the way the browser control would bring it:
//  - AppLogin: page script's call on window.external, i.e. on the object that the panel's control
//    site hands out from IDocHostUIHandler::GetExternal (reached as the control reaches it: its
//    client site, queried for the host UI handler), with the flags and argument that a script
//    engine uses;
//  - the callback: NavigateComplete2 delivered to the event sink that the site advised on the
//    control's DWebBrowserEvents2 connection point (Wine's real WebBrowser object hands it back),
//    with the arguments the control passes.
// Wine has no HTML engine here, so no page can make these calls itself. Each run starts the
// stand-in client launcher (copied next to this test as kovra_vornbt_launch.exe), which records
// its exact command line, and the modal run must end on the quit message.
// Each case runs in a process of its own (the start-up runs once per process).
#include <exdisp.h>
#include <exdispid.h>
#include <mshtmhst.h>
#include <ocidl.h>

#include <string>

#include <gtest/gtest.h>

#include "app/LoginActiveDlg.h"
#include "app/LoginApp.h"
#include "app/LoginDlg.h"
#include "framework/ComPtr.h"
#include "login/ImpIDispatch.h"

namespace {

std::wstring ModuleDir() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    return path.substr(0, path.find_last_of(L"\\/"));
}

std::string Narrow(const std::wstring& w) {
    std::string s(w.size() * 2 + 1, '\0');
    const int n = WideCharToMultiByte(CP_THREAD_ACP, 0, w.c_str(), static_cast<int>(w.size()),
                                      s.data(), static_cast<int>(s.size()), nullptr, nullptr);
    s.resize(n > 0 ? n : 0);
    return s;
}

// The command line the program gives the client launcher: its quoted path, then the argument.
std::string ExpectedCommandLine(const std::string& argument) {
    std::wstring dir = ModuleDir();
    for (wchar_t& c : dir)
        if (c == L'\\') c = L'/';
    std::string line = "\"";
    line.append(Narrow(dir)).append("/kovra_vornbt_launch.exe\"").append(argument);
    return line;
}

std::wstring RecordPath() { return ModuleDir() + L"\\kovra_vornbt_launch.cmdline"; }

std::string ReadRecord() {
    HANDLE h = CreateFileW(RecordPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "(no record)";
    std::string bytes(GetFileSize(h, nullptr), '\0');
    DWORD read = 0;
    ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(h);
    bytes.resize(read);
    return bytes;
}

// What the delivery saw, filled in on the GUI thread during the modal run.
struct Delivery {
    enum class Kind { AppLogin, Callback } kind = Kind::AppLogin;
    std::wstring text;  // the JSON payload or the callback address
    bool delivered = false;
    bool externalIsBridge = false;
    bool browserHiddenBefore = false;
    bool browserVisibleAfter = false;
    bool iconsSet = false;  // the main window's big and small icon
    HRESULT hr = E_FAIL;
    std::string failure;
};
Delivery g_delivery;
UINT_PTR g_deliveryTimer = 0;
UINT_PTR g_watchdogTimer = 0;

CLoginActiveDlg* RunningPanel() {
    auto* main = static_cast<CLoginDlg*>(theApp.m_pMainWnd);
    if (!main || !::IsWindow(main->m_hWnd) || !::IsWindowVisible(main->m_hWnd)) return nullptr;
    CLoginActiveDlg* panel = main->m_pLoginPanel.get();
    return panel && ::IsWindowVisible(panel->m_hWnd) ? panel : nullptr;
}

void DeliverAppLogin(CLoginActiveDlg* panel, Delivery& d) {
    IUnknown* control = panel->m_browser.GetControlUnknown();
    if (!control) { d.failure = "the panel holds no browser control"; return; }
    ComPtr<IOleObject> ole = ComPtr<IUnknown>(control).As<IOleObject>(IID_IOleObject);
    ComPtr<IOleClientSite> site;
    if (!ole || FAILED(ole->GetClientSite(site.Put())) || !site) { d.failure = "no client site"; return; }
    ComPtr<IDocHostUIHandler> handler = site.As<IDocHostUIHandler>(IID_IDocHostUIHandler);
    if (!handler) { d.failure = "the site answers no IDocHostUIHandler"; return; }
    ComPtr<IDispatch> external;
    if (FAILED(handler->GetExternal(external.Put())) || !external) { d.failure = "GetExternal gave nothing"; return; }
    d.externalIsBridge = external.Get() == static_cast<IDispatch*>(theApp.m_pScriptBridge.get());

    // As the script engine calls external.AppLogin(text).
    LPOLESTR name = const_cast<LPOLESTR>(L"AppLogin");
    DISPID id = DISPID_UNKNOWN;
    d.hr = external->GetIDsOfNames(IID_NULL, &name, 1, 0, &id);
    if (FAILED(d.hr)) { d.failure = "AppLogin not found"; return; }
    VARIANT arg;
    arg.vt = VT_BSTR;
    arg.bstrVal = SysAllocStringLen(d.text.data(), static_cast<UINT>(d.text.size()));
    DISPPARAMS params{&arg, nullptr, 1, 0};
    VARIANT result;
    VariantInit(&result);
    d.hr = external->Invoke(id, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params,
                            &result, nullptr, nullptr);
    VariantClear(&result);
    VariantClear(&arg);
    d.delivered = true;
}

void DeliverCallback(CLoginActiveDlg* panel, Delivery& d) {
    IUnknown* control = panel->m_browser.GetControlUnknown();
    if (!control) { d.failure = "the panel holds no browser control"; return; }
    ComPtr<IConnectionPointContainer> cpc =
        ComPtr<IUnknown>(control).As<IConnectionPointContainer>(IID_IConnectionPointContainer);
    ComPtr<IConnectionPoint> cp;
    if (!cpc || FAILED(cpc->FindConnectionPoint(DIID_DWebBrowserEvents2, cp.Put())) || !cp) {
        d.failure = "no DWebBrowserEvents2 connection point";
        return;
    }
    ComPtr<IEnumConnections> connections;
    CONNECTDATA cd{};
    if (FAILED(cp->EnumConnections(connections.Put())) || !connections ||
        connections->Next(1, &cd, nullptr) != S_OK || !cd.pUnk) {
        d.failure = "the site advised no event sink";
        return;
    }
    // Wine's enumerator gives no reference of its own with the sink: take one, do not adopt.
    ComPtr<IUnknown> sinkUnknown(cd.pUnk);
    ComPtr<IDispatch> sink = sinkUnknown.As<IDispatch>(IID_IDispatch);
    ComPtr<IDispatch> window = ComPtr<IUnknown>(control).As<IDispatch>(IID_IDispatch);
    if (!sink || !window) { d.failure = "sink or control without IDispatch"; return; }

    // NavigateComplete2(pDisp, URL) as the control raises it: arguments in reverse order, the
    // address by reference to a variant holding the BSTR, no result, no named arguments.
    VARIANT url;
    url.vt = VT_BSTR;
    url.bstrVal = SysAllocStringLen(d.text.data(), static_cast<UINT>(d.text.size()));
    VARIANT args[2];
    args[1].vt = VT_DISPATCH;
    args[1].pdispVal = window.Get();
    args[0].vt = VT_BYREF | VT_VARIANT;
    args[0].pvarVal = &url;
    DISPPARAMS params{args, nullptr, 2, 0};
    d.browserHiddenBefore = !panel->m_browser.IsWindowVisible();
    d.hr = sink->Invoke(DISPID_NAVIGATECOMPLETE2, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr,
                        nullptr, nullptr);
    d.browserVisibleAfter = panel->m_browser.IsWindowVisible() != FALSE;
    VariantClear(&url);
    d.delivered = true;
}

void CALLBACK OnDeliveryTimer(HWND, UINT, UINT_PTR, DWORD) {
    CLoginActiveDlg* panel = RunningPanel();
    if (!panel) return;  // the windows are not up yet
    KillTimer(nullptr, g_deliveryTimer);
    HWND main = theApp.m_pMainWnd->m_hWnd;
    g_delivery.iconsSet = SendMessageW(main, WM_GETICON, ICON_BIG, 0) != 0 &&
                          SendMessageW(main, WM_GETICON, ICON_SMALL, 0) != 0;
    if (g_delivery.kind == Delivery::Kind::AppLogin)
        DeliverAppLogin(panel, g_delivery);
    else
        DeliverCallback(panel, g_delivery);
    // Without a launch nothing would end the run: end it with a code the test tells apart.
    if (!g_delivery.delivered) PostQuitMessage(99);
}

void CALLBACK OnWatchdog(HWND, UINT, UINT_PTR, DWORD) {
    KillTimer(nullptr, g_watchdogTimer);
    g_delivery.failure += " (the run did not end by itself)";
    PostQuitMessage(98);
}

// Runs the program's start-up with one delivery; returns InitInstance's result.
BOOL RunStartUp(Delivery::Kind kind, std::wstring text) {
    SetCurrentDirectoryW(ModuleDir().c_str());  // log.txt goes here
    DeleteFileW(RecordPath().c_str());
    g_delivery = Delivery{};
    g_delivery.kind = kind;
    g_delivery.text = std::move(text);
    g_deliveryTimer = SetTimer(nullptr, 0, 100, OnDeliveryTimer);
    g_watchdogTimer = SetTimer(nullptr, 0, 30000, OnWatchdog);
    const BOOL result = theApp.InitInstance();
    KillTimer(nullptr, g_deliveryTimer);
    KillTimer(nullptr, g_watchdogTimer);
    return result;
}

std::string WaitForRecord() {
    for (int i = 0; i < 200 && GetFileAttributesW(RecordPath().c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(50);
    return ReadRecord();
}

void ExpectRunEndedOnTheQuitMessage(BOOL result) {
    EXPECT_FALSE(result) << "InitInstance returns FALSE";
    EXPECT_EQ(theApp.m_nQuitCode, 16) << g_delivery.failure;
    EXPECT_EQ(theApp.m_pScriptBridge, nullptr) << "the bridge is deleted after the modal run";
    EXPECT_EQ(theApp.m_pMainWnd, nullptr);
    EXPECT_EQ(FindWindowW(nullptr, L"【启动失败】"), nullptr) << "no failure box left";
}

TEST(Handoff, AppLoginThroughTheSitesExternalStartsTheLauncherAndEndsTheRun) {
    const BOOL result = RunStartUp(
        Delivery::Kind::AppLogin,
        LR"({"uid":"1001","token":"tok","server_id":"12","other":"","sign":"sig"})");
    ASSERT_TRUE(g_delivery.delivered) << g_delivery.failure;
    EXPECT_TRUE(g_delivery.externalIsBridge) << "GetExternal hands out theApp.m_pScriptBridge";
    EXPECT_TRUE(g_delivery.iconsSet) << "icon 128 as the main window's big and small icon";
    EXPECT_EQ(g_delivery.hr, S_OK);
    ExpectRunEndedOnTheQuitMessage(result);
    EXPECT_EQ(WaitForRecord(), ExpectedCommandLine(" ,id^1001,auth_key^tok&12&&sig,pid^kovra"));
}

TEST(Handoff, CallbackNavigationThroughTheEventSinkStartsTheLauncherAndEndsTheRun) {
    const std::wstring address = L"http://127.0.0.1:18480/pavix/codeCallback.htm?code=ab12";
    const BOOL result = RunStartUp(Delivery::Kind::Callback, address);
    ASSERT_TRUE(g_delivery.delivered) << g_delivery.failure;
    EXPECT_EQ(g_delivery.hr, S_OK);
    EXPECT_TRUE(g_delivery.browserHiddenBefore) << "hidden until the first completed navigation";
    EXPECT_TRUE(g_delivery.browserVisibleAfter) << "shown by the first completed navigation";
    ExpectRunEndedOnTheQuitMessage(result);
    EXPECT_EQ(WaitForRecord(), ExpectedCommandLine(Narrow(address)));
}

}  // namespace
