// window.external as page script sees it: Wine's real JScript engine calls the bridge (added as
// the named item "external", as the browser's engine sees it), and direct IDispatch calls pin
// down each slot. The panel behind the bridge is real; what reaches its AppLogin handler is read
// back from "log.txt" (non-JSON text: logged, nothing launched) or from the command line the
// stand-in client launcher recorded.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "app/LoginActiveDlg.h"
#include "app/LoginApp.h"
#include "login/ImpIDispatch.h"
#include "tests/login/HandoffSupport.h"
#include "tests/login/ScriptHost.h"

using namespace login_test;

namespace {

constexpr SCODE kNoSuchMember = static_cast<SCODE>(0x800A01B6);  // "doesn't support this property"

class ScriptBridge : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(GetACP(), 936u) << "the tests expect the code page of a Chinese Windows";
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ClearLaunchRecord();
        TakeQuitMessage();
    }
    void TearDown() override {
        TakeQuitMessage();
        CoUninitialize();
    }
    std::string Log() const { return ReadBytes(m_dir.Path() + L"\\log.txt"); }

    ScopedWorkDir m_dir;
    CLoginActiveDlg m_panel{nullptr};
    CImpIDispatch m_bridge;
};

VARIANT StringArg(const wchar_t* text) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(text);
    return v;
}

}  // namespace

// Page-style script through the engine: the text arrives unchanged, "xxyyzz" reads "Wibble",
// calling it as a method gives nothing, a name starting with "App" is the login method.
TEST_F(ScriptBridge, PageScriptReachesTheLoginHandlerThroughTheEngine) {
    m_bridge.m_pPanel = &m_panel;
    ScriptHost host;
    ASSERT_TRUE(host.Ready()) << "JScript engine: hr=0x" << std::hex << host.CreationError();
    ReportSink sink;
    ASSERT_EQ(host.AddNamedItem(L"external", &m_bridge), S_OK);
    ASSERT_EQ(host.AddNamedItem(L"host", &sink), S_OK);

    const ScriptRun run = host.Run(
        L"window_text = 'not json: \u5f20\u4e09 & , ^ \"q\" \\\\ \\t end';\n"
        L"external.AppLogin(window_text);\n"
        L"host.report(external.xxyyzz);\n"
        L"host.report(external.xxyyzz());\n"
        L"host.report(typeof external.xxyyzz());\n"
        L"external.AppLogin(external.xxyyzz);\n"
        L"external.Apple(1, 'second');\n"
        L"host.report(external.AppLogin('third'));\n");
    ASSERT_EQ(run.hr, S_OK) << "script error 0x" << std::hex << run.errorScode;

    // Each call of the login method wrote its text as log line 1 (none of them is JSON).
    EXPECT_EQ(Printable(Log()),
              Printable("not json: \xD5\xC5\xC8\xFD & , ^ \"q\" \\ \t end\r\n"
                        "Wibble\r\n"
                        "second\r\n"
                        "third\r\n"));

    ASSERT_EQ(sink.reports.size(), 4u);
    EXPECT_EQ(sink.reports[0].vt, VT_BSTR);
    EXPECT_STREQ(sink.reports[0].vt == VT_BSTR ? sink.reports[0].bstrVal : L"?", L"Wibble");
    EXPECT_EQ(sink.reports[1].vt, VT_EMPTY) << "xxyyzz() called as a method gives no value";
    EXPECT_STREQ(sink.reports[2].vt == VT_BSTR ? sink.reports[2].bstrVal : L"?", L"undefined");
    EXPECT_EQ(sink.reports[3].vt, VT_EMPTY) << "AppLogin returns no value";
    EXPECT_FALSE(WaitForLaunchRecord(0)) << "nothing may be launched for non-JSON text";
    EXPECT_FALSE(TakeQuitMessage());
}

// A whole login through the engine: the payload becomes the client launcher's command line.
TEST_F(ScriptBridge, PageScriptLoginStartsTheClientLauncher) {
    m_bridge.m_pPanel = &m_panel;
    ScriptHost host;
    ASSERT_TRUE(host.Ready()) << "JScript engine: hr=0x" << std::hex << host.CreationError();
    ASSERT_EQ(host.AddNamedItem(L"external", &m_bridge), S_OK);

    const ScriptRun run = host.Run(
        L"var result = '{\"uid\":\"1001\",\"token\":\"t0k\",\"server_id\":\"12\","
        L"\"other\":\"\",\"sign\":\"5ig\"}';\n"
        L"external.AppLogin(result);\n");
    ASSERT_EQ(run.hr, S_OK) << "script error 0x" << std::hex << run.errorScode;

    const auto record = WaitForLaunchRecord();
    ASSERT_TRUE(record) << "the stand-in client launcher recorded no command line";
    EXPECT_EQ(*record, ExpectedCommandLine(" ,id^1001,auth_key^t0k&12&&5ig,pid^kovra"));
    EXPECT_EQ(TakeQuitMessage(), 16);
}

// Names the bridge does not know are script errors; calls without a usable argument are ignored.
TEST_F(ScriptBridge, UnknownNamesFailAndUnusableArgumentsAreIgnored) {
    m_bridge.m_pPanel = &m_panel;
    ScriptHost host;
    ASSERT_TRUE(host.Ready()) << "JScript engine: hr=0x" << std::hex << host.CreationError();
    ASSERT_EQ(host.AddNamedItem(L"external", &m_bridge), S_OK);

    const wchar_t* const unknown[] = {
        L"external.foo('x');", L"external.appLogin('x');", L"external.XXYYZZ();",
        L"external.ap('x');",  L"external.xx();",          L"external.Ap('x');",
    };
    for (const wchar_t* script : unknown) {
        const ScriptRun run = host.Run(script);
        EXPECT_EQ(run.hr, static_cast<HRESULT>(0x80020101)) << "script: " << testing::PrintToString(std::wstring(script));
        EXPECT_EQ(run.errorScode, kNoSuchMember) << "script: " << testing::PrintToString(std::wstring(script));
    }

    const wchar_t* const ignored[] = {
        L"external.AppLogin();",       L"external.AppLogin(42);",   L"external.AppLogin(null);",
        L"external.AppLogin({a: 1});", L"external.AppLogin(true);", L"external.AppLogin(undefined);",
    };
    for (const wchar_t* script : ignored) {
        const ScriptRun run = host.Run(script);
        EXPECT_EQ(run.hr, S_OK) << "script: " << testing::PrintToString(std::wstring(script));
    }
    // Reading a name the object does not know gives undefined, as for any missing property.
    ReportSink sink;
    ASSERT_EQ(host.AddNamedItem(L"host", &sink), S_OK);
    const ScriptRun reads = host.Run(
        L"host.report(typeof external.XXYYZZ); host.report(typeof external.xx);"
        L"host.report(typeof external.foo);");
    ASSERT_EQ(reads.hr, S_OK) << "script error 0x" << std::hex << reads.errorScode;
    ASSERT_EQ(sink.reports.size(), 3u);
    for (const VARIANT& v : sink.reports)
        EXPECT_STREQ(v.vt == VT_BSTR ? v.bstrVal : L"?", L"undefined");

    EXPECT_EQ(Log(), "") << "no call above may reach the login handler";
    EXPECT_FALSE(WaitForLaunchRecord(0));
}

// The text is passed whole, NULs and lone surrogates included: the handler sees every code unit.
TEST_F(ScriptBridge, TextIsPassedWholeThroughTheEngine) {
    m_bridge.m_pPanel = &m_panel;
    ScriptHost host;
    ASSERT_TRUE(host.Ready()) << "JScript engine: hr=0x" << std::hex << host.CreationError();
    ASSERT_EQ(host.AddNamedItem(L"external", &m_bridge), S_OK);

    const ScriptRun run = host.Run(L"external.AppLogin('a\\u0000b\\ud800c\\udc00d');");
    ASSERT_EQ(run.hr, S_OK) << "script error 0x" << std::hex << run.errorScode;
    // Lone surrogates cannot be held by the code page: each becomes its default character.
    EXPECT_EQ(Printable(Log()), Printable(std::string("a\0b?c?d\r\n", 9)));
}

// ---- the slots, called directly ----------------------------------------------------------------

TEST_F(ScriptBridge, AnswersOnlyIDispatchAndCountsWithoutFreeing) {
    void* p = &m_bridge;
    EXPECT_EQ(m_bridge.QueryInterface(IID_IUnknown, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(m_bridge.m_cRef, 0u);
    p = nullptr;
    ASSERT_EQ(m_bridge.QueryInterface(IID_IDispatch, &p), S_OK);
    EXPECT_EQ(p, static_cast<IDispatch*>(&m_bridge));
    EXPECT_EQ(m_bridge.m_cRef, 1u);
    p = &m_bridge;
    EXPECT_EQ(m_bridge.QueryInterface(IID_IClassFactory, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);

    EXPECT_EQ(m_bridge.AddRef(), 2u);
    EXPECT_EQ(m_bridge.Release(), 1u);
    EXPECT_EQ(m_bridge.Release(), 0u);
    EXPECT_EQ(m_bridge.Release(), 0xFFFFFFFFu) << "below zero the count wraps; nothing is freed";
    EXPECT_EQ(m_bridge.AddRef(), 0u);

    // Still usable after the count reached 0.
    LPOLESTR name = const_cast<LPOLESTR>(L"xxyyzz");
    DISPID id = 0;
    EXPECT_EQ(m_bridge.GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
    EXPECT_EQ(id, 12345);
    VARIANT result;
    VariantInit(&result);
    DISPPARAMS none{};
    EXPECT_EQ(m_bridge.Invoke(12345, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                              nullptr),
              S_OK);
    ASSERT_EQ(result.vt, VT_BSTR);
    EXPECT_STREQ(result.bstrVal, L"Wibble");
    VariantClear(&result);

    UINT count = 77;
    EXPECT_EQ(m_bridge.GetTypeInfoCount(&count), E_NOTIMPL);
    EXPECT_EQ(count, 77u);
    ITypeInfo* info = reinterpret_cast<ITypeInfo*>(&m_bridge);
    EXPECT_EQ(m_bridge.GetTypeInfo(0, 0, &info), E_NOTIMPL);
    EXPECT_EQ(info, reinterpret_cast<ITypeInfo*>(&m_bridge));
}

// Names match by their first three characters, case-sensitively, half and full width alike, in
// the locale the caller gives.
TEST_F(ScriptBridge, NameLookUpUsesTheFirstThreeCharacters) {
    struct Case {
        const wchar_t* name;
        DISPID id;
    };
    const Case cases[] = {
        {L"xxyyzz", 12345},   {L"xxyQ", 12345},   {L"xxy", 12345},   {L"\uFF58\uFF58\uFF59", 12345},
        {L"AppLogin", 10001}, {L"Apple", 10001},  {L"App", 10001},   {L"\uFF21pp", 10001},
        {L"ap", -1},          {L"appLogin", -1},  {L"XXYYZZ", -1},   {L"xx", -1},
        {L"A", -1},           {L"", -1},          {L"foo", -1},      {L"Ap", -1},
    };
    const LCID locales[] = {0, LOCALE_USER_DEFAULT, 0x804, 0x409};
    for (LCID lcid : locales) {
        for (const Case& c : cases) {
            LPOLESTR name = const_cast<LPOLESTR>(c.name);
            DISPID id = 0;
            const HRESULT hr = m_bridge.GetIDsOfNames(IID_NULL, &name, 1, lcid, &id);
            EXPECT_EQ(id, c.id) << "name " << testing::PrintToString(std::wstring(c.name))
                                << " lcid 0x" << std::hex << lcid;
            EXPECT_EQ(hr, c.id == -1 ? DISP_E_UNKNOWNNAME : S_OK)
                << "name " << testing::PrintToString(std::wstring(c.name));
        }
    }

    // A short name right before memory that cannot be read: the comparison must stop at its end.
    // (Should it not, the process ends at once instead of waiting for a debugger.)
    {
        const LPTOP_LEVEL_EXCEPTION_FILTER previous =
            SetUnhandledExceptionFilter([](EXCEPTION_POINTERS*) -> LONG {
                std::fputs("GetIDsOfNames read past the end of a short name\n", stderr);
                std::fflush(stderr);
                TerminateProcess(GetCurrentProcess(), 3);
                return EXCEPTION_EXECUTE_HANDLER;
            });
        SYSTEM_INFO system;
        GetSystemInfo(&system);
        const SIZE_T page = system.dwPageSize;
        auto* block = static_cast<BYTE*>(
            VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        ASSERT_NE(block, nullptr);
        DWORD old = 0;
        ASSERT_TRUE(VirtualProtect(block + page, page, PAGE_NOACCESS, &old));
        for (const wchar_t* shortName : {L"x", L"A", L"xx", L"Ap"}) {
            const size_t bytes = (std::wcslen(shortName) + 1) * sizeof(wchar_t);
            auto* name = reinterpret_cast<wchar_t*>(block + page - bytes);
            std::memcpy(name, shortName, bytes);
            DISPID id = 0;
            EXPECT_EQ(m_bridge.GetIDsOfNames(IID_NULL, &name, 1, 0, &id), DISP_E_UNKNOWNNAME);
            EXPECT_EQ(id, -1);
        }
        VirtualFree(block, 0, MEM_RELEASE);
        SetUnhandledExceptionFilter(previous);
    }

    // Several names in one call: each gets its id, also after an unknown one.
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"AppLogin"), const_cast<LPOLESTR>(L"foo"),
                        const_cast<LPOLESTR>(L"xxyyzz"), nullptr};
    DISPID ids[4] = {0, 0, 0, 0};
    EXPECT_EQ(m_bridge.GetIDsOfNames(IID_NULL, names, 4, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(std::vector<DISPID>(ids, ids + 4), (std::vector<DISPID>{10001, -1, 12345, -1}));
    DISPID two[2] = {0, 0};
    EXPECT_EQ(m_bridge.GetIDsOfNames(IID_NULL, names + 2, 1, 0x804, two), S_OK);
    LPOLESTR known[] = {names[2], names[0]};
    EXPECT_EQ(m_bridge.GetIDsOfNames(IID_NULL, known, 2, 0, two), S_OK);
    EXPECT_EQ(std::vector<DISPID>(two, two + 2), (std::vector<DISPID>{12345, 10001}));
    EXPECT_EQ(m_bridge.GetIDsOfNames(IID_NULL, nullptr, 1, 0, two), E_INVALIDARG);
}

// Invoke answers S_OK to everything, and only the method call with a string argument reaches the
// handler, and only once the panel is set.
TEST_F(ScriptBridge, InvokeServesOnlyWhatItIsMeantFor) {
    VARIANT text = StringArg(L"before the panel");
    DISPPARAMS one{&text, nullptr, 1, 0};
    EXCEPINFO excep{};
    excep.scode = 0x1234;
    UINT argErr = 99;
    EXPECT_EQ(m_bridge.Invoke(10001, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &one,
                              nullptr, &excep, &argErr),
              S_OK);
    EXPECT_FALSE(FileExists(m_dir.Path() + L"\\log.txt")) << "AppLogin before the panel is set";

    m_bridge.m_pPanel = &m_panel;
    struct Case {
        const char* what;
        DISPID id;
        WORD flags;
        VARTYPE vt;  // VT_ILLEGAL: no DISPPARAMS at all; VT_EMPTY with cArgs 0: no argument
        UINT cArgs;
        bool reachesHandler;
    };
    const Case cases[] = {
        {"method, string", 10001, DISPATCH_METHOD, VT_BSTR, 1, true},
        {"method and get, string", 10001, DISPATCH_METHOD | DISPATCH_PROPERTYGET, VT_BSTR, 1, true},
        {"string by reference", 10001, DISPATCH_METHOD, VT_BYREF | VT_BSTR, 1, true},
        {"property get only", 10001, DISPATCH_PROPERTYGET, VT_BSTR, 1, false},
        {"property put", 10001, DISPATCH_PROPERTYPUT, VT_BSTR, 1, false},
        {"no DISPPARAMS", 10001, DISPATCH_METHOD, VT_ILLEGAL, 0, false},
        {"no argument", 10001, DISPATCH_METHOD, VT_EMPTY, 0, false},
        {"number", 10001, DISPATCH_METHOD, VT_I4, 1, false},
        {"null", 10001, DISPATCH_METHOD, VT_NULL, 1, false},
        {"object", 10001, DISPATCH_METHOD, VT_DISPATCH, 1, false},
        {"other id", 4711, DISPATCH_METHOD, VT_BSTR, 1, false},
        {"xxyyzz as method", 12345, DISPATCH_METHOD, VT_BSTR, 1, false},
    };
    BSTR byRef = SysAllocString(L"by reference");
    for (const Case& c : cases) {
        const std::string before = Log();
        VARIANT arg;
        VariantInit(&arg);
        arg.vt = c.vt;
        if (c.vt == VT_BSTR) arg.bstrVal = text.bstrVal;
        if (c.vt == (VT_BYREF | VT_BSTR)) arg.pbstrVal = &byRef;
        if (c.vt == VT_I4) arg.lVal = 7;
        if (c.vt == VT_DISPATCH) arg.pdispVal = &m_bridge;
        DISPPARAMS params{&arg, nullptr, c.cArgs, 0};
        VARIANT result;
        VariantInit(&result);
        EXPECT_EQ(m_bridge.Invoke(c.id, IID_NULL, 0x804, c.flags,
                                  c.vt == VT_ILLEGAL ? nullptr : &params, &result, &excep, &argErr),
                  S_OK)
            << c.what;
        EXPECT_EQ(result.vt, VT_EMPTY) << c.what << ": no result value";
        const std::string added = Log().substr(before.size());
        const std::string expected =
            !c.reachesHandler ? "" : c.vt == VT_BSTR ? "before the panel\r\n" : "by reference\r\n";
        EXPECT_EQ(added, expected) << c.what;
    }
    SysFreeString(byRef);

    // A null BSTR is the empty string.
    VARIANT nullText;
    VariantInit(&nullText);
    nullText.vt = VT_BSTR;
    DISPPARAMS nullParams{&nullText, nullptr, 1, 0};
    const std::string before = Log();
    EXPECT_EQ(m_bridge.Invoke(10001, IID_NULL, 0, DISPATCH_METHOD, &nullParams, nullptr, nullptr,
                              nullptr),
              S_OK);
    EXPECT_EQ(Log().substr(before.size()), "\r\n");

    // The last argument the script passed is the one used (rgvarg[0]).
    VARIANT two[2] = {StringArg(L"last"), StringArg(L"first")};
    DISPPARAMS twoParams{two, nullptr, 2, 0};
    const std::string beforeTwo = Log();
    EXPECT_EQ(m_bridge.Invoke(10001, IID_NULL, 0, DISPATCH_METHOD, &twoParams, nullptr, nullptr,
                              nullptr),
              S_OK);
    EXPECT_EQ(Log().substr(beforeTwo.size()), "last\r\n");
    VariantClear(&two[0]);
    VariantClear(&two[1]);

    // "xxyyzz" without a result variant, or without the get bit, does nothing.
    DISPPARAMS none{};
    EXPECT_EQ(m_bridge.Invoke(12345, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, nullptr, nullptr,
                              nullptr),
              S_OK);
    EXPECT_EQ(excep.scode, 0x1234) << "exception information is never written";
    EXPECT_EQ(argErr, 99u) << "the argument error index is never written";
    VariantClear(&text);
    EXPECT_FALSE(WaitForLaunchRecord(0));
}
