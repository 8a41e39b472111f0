// The callback route. Wine has no HTML engine, so the browser's events are raised here with
// exactly the arguments the WebBrowser control passes: the window or frame as an IDispatch, and
// the address as a VARIANT of VT_BYREF|VT_VARIANT pointing at a VT_BSTR. The panel's browser is a
// plain hidden child window of a test window; the launch is the real one, observed through the
// command line the stand-in client launcher records.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/LoginActiveDlg.h"
#include "app/LoginApp.h"
#include "login/ImpIDispatch.h"
#include "tests/login/HandoffSupport.h"

using namespace login_test;

namespace {

const IID kElementEvents = {0x3050F60F, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};

// The other by-reference arguments of BeforeNavigate2 as the control fills them: flags, a null
// target frame, post data pointing at an empty variant, null headers.
struct BeforeNavigateArguments {
    BeforeNavigateArguments() {
        VariantInit(&flags);
        flags.vt = VT_I4;
        VariantInit(&frame);
        frame.vt = VT_BSTR;
        VariantInit(&postDataInner);
        VariantInit(&postData);
        postData.vt = VT_BYREF | VT_VARIANT;
        postData.pvarVal = &postDataInner;
        VariantInit(&headers);
        headers.vt = VT_BSTR;
    }
    BeforeNavigateArguments(const BeforeNavigateArguments&) = delete;
    BeforeNavigateArguments& operator=(const BeforeNavigateArguments&) = delete;
    VARIANT flags, frame, postDataInner, postData, headers;
};

// An address as the control hands it to NavigateComplete2.
class BrowserAddress {
public:
    explicit BrowserAddress(const std::wstring& url) {
        VariantInit(&m_inner);
        m_inner.vt = VT_BSTR;
        m_inner.bstrVal = SysAllocStringLen(url.data(), static_cast<UINT>(url.size()));
        VariantInit(&m_outer);
        m_outer.vt = VT_BYREF | VT_VARIANT;
        m_outer.pvarVal = &m_inner;
    }
    ~BrowserAddress() { VariantClear(&m_inner); }
    BrowserAddress(const BrowserAddress&) = delete;
    BrowserAddress& operator=(const BrowserAddress&) = delete;
    VARIANT* ByReference() { return &m_outer; }  // as the control passes it
    VARIANT* Inner() { return &m_inner; }        // as the event sink table hands it on

private:
    VARIANT m_inner;
    VARIANT m_outer;
};

class CallbackWatch : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(GetACP(), 936u) << "the tests expect the code page of a Chinese Windows";
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        m_panel.EnableAutomation();
        m_hwndTop = CreateWindowExW(0, L"STATIC", L"callback watch test", WS_POPUP, 0, 0, 300, 200,
                                    nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_hwndTop, nullptr);
        ShowWindow(m_hwndTop, SW_SHOWNOACTIVATE);
        m_hwndBrowser = CreateWindowExW(0, L"STATIC", L"browser", WS_CHILD, 10, 10, 100, 50,
                                        m_hwndTop, nullptr, nullptr, nullptr);
        ASSERT_NE(m_hwndBrowser, nullptr);
        m_panel.m_browser.m_hWnd = m_hwndBrowser;
        ClearLaunchRecord();
        TakeQuitMessage();
        theApp.m_strLaunchArgument = "earlier argument";
    }
    void TearDown() override {
        m_panel.m_browser.m_hWnd = nullptr;
        if (m_hwndTop) DestroyWindow(m_hwndTop);
        TakeQuitMessage();
        m_panel.m_mapAnchorConnections.clear();
        CoUninitialize();
    }
    bool BrowserVisible() const { return IsWindowVisible(m_hwndBrowser) != FALSE; }

    ScopedWorkDir m_dir;
    CLoginActiveDlg m_panel{nullptr};
    HWND m_hwndTop = nullptr;
    HWND m_hwndBrowser = nullptr;
    // Stand-ins for the top-level window's and a frame's IDispatch (the handler does not use them).
    CImpIDispatch m_topWindow;
    CImpIDispatch m_frame;
};

}  // namespace

TEST_F(CallbackWatch, CallbackAddressesStartTheLauncherWithTheWholeAddress) {
    struct Case {
        const char* what;
        std::wstring url;
        bool callback;
    };
    const Case cases[] = {
        {"callback", L"http://login.example/pavix/codeCallback.htm?code=A1b2", true},
        {"callback inside another address's query",
         L"http://other.example/go?next=http%3A//x/&to=http://x/pavix/codeCallback.htm?code=9", true},
        {"bare mark", L"pavix/codeCallback.htm?code=", true},
        {"with needCode", L"http://h/pavix/codeCallback.htm?code=1&needCode=1", false},
        {"needCode before the mark", L"http://h/?needCode=0#pavix/codeCallback.htm?code=1", false},
        {"first word in capitals", L"http://h/PAVIX/codeCallback.htm?code=1", false},
        {"file name in other case", L"http://h/pavix/CodeCallback.htm?code=1", false},
        {"query name in other case", L"http://h/pavix/codeCallback.htm?Code=1", false},
        {"no code value sign", L"http://h/pavix/codeCallback.htm?code", false},
        {"page address", L"http://h/vorn2/login/index.php", false},
        {"about:blank", L"about:blank", false},
        {"empty", L"", false},
        {"NUL inside", std::wstring(L"http://h/") + L'\0' + L"pavix/codeCallback.htm?code=1", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearLaunchRecord();
        theApp.m_strLaunchArgument = "earlier argument";
        TestAnchor anchor(L"a", kElementEvents, false, 3);
        ASSERT_TRUE(ConnectAnchor(m_panel, L"x", anchor, kElementEvents));

        BrowserAddress address(c.url);
        m_panel.OnNavigateComplete2(&m_topWindow, address.ByReference());

        if (c.callback) {
            const std::string url(c.url.begin(), c.url.end());  // plain ASCII
            const auto record = WaitForLaunchRecord();
            ASSERT_TRUE(record) << "the stand-in client launcher recorded no command line";
            EXPECT_EQ(*record, ExpectedCommandLine(url)) << "no space before the address";
            EXPECT_EQ(theApp.m_strLaunchArgument, url);
            EXPECT_EQ(TakeQuitMessage(), 16);
            EXPECT_TRUE(m_panel.m_mapAnchorConnections.empty());
            EXPECT_EQ(anchor.UnadviseCalls(), 1);
            EXPECT_FALSE(anchor.Connected());
        } else {
            EXPECT_EQ(theApp.m_strLaunchArgument, "earlier argument");
            EXPECT_FALSE(TakeQuitMessage()) << "nothing launched";
            EXPECT_FALSE(WaitForLaunchRecord(0)) << "nothing launched";
            EXPECT_EQ(m_panel.m_mapAnchorConnections.size(), 1u);
            EXPECT_EQ(anchor.UnadviseCalls(), 0);
            EXPECT_TRUE(anchor.Connected());
            m_panel.DisconnectAnchors();
        }
    }
}

// The address also counts when it arrives without the by-reference wrapper (as the event sink
// table hands it on); anything that is not an address is ignored without harm.
TEST_F(CallbackWatch, AddressFormsAndNonAddresses) {
    const std::wstring url = L"http://h/pavix/codeCallback.htm?code=plain";
    BrowserAddress address(url);
    m_panel.OnNavigateComplete2(&m_topWindow, address.Inner());
    const auto record = WaitForLaunchRecord();
    ASSERT_TRUE(record);
    EXPECT_EQ(*record, ExpectedCommandLine(std::string(url.begin(), url.end())));
    EXPECT_EQ(TakeQuitMessage(), 16);

    theApp.m_strLaunchArgument = "earlier argument";
    VARIANT number;
    VariantInit(&number);
    number.vt = VT_I4;
    number.lVal = 5;
    VARIANT nullString;
    VariantInit(&nullString);
    nullString.vt = VT_BSTR;
    VARIANT refToNumber;
    VariantInit(&refToNumber);
    refToNumber.vt = VT_BYREF | VT_VARIANT;
    refToNumber.pvarVal = &number;
    VARIANT empty;
    VariantInit(&empty);
    VARIANT* const others[] = {nullptr, &empty, &number, &nullString, &refToNumber};
    for (VARIANT* v : others) m_panel.OnNavigateComplete2(nullptr, v);
    EXPECT_EQ(theApp.m_strLaunchArgument, "earlier argument");
    EXPECT_FALSE(TakeQuitMessage());
}

// Every completed navigation shows the hidden browser, of the page or of a frame, callback or not.
TEST_F(CallbackWatch, CompletedNavigationsShowTheBrowser) {
    ASSERT_FALSE(BrowserVisible());
    BrowserAddress page(L"http://h/vorn2/login/index.php");
    m_panel.OnNavigateComplete2(&m_topWindow, page.ByReference());
    EXPECT_TRUE(BrowserVisible()) << "the first completed navigation shows the browser";

    ShowWindow(m_hwndBrowser, SW_HIDE);
    BrowserAddress frame(L"http://h/vorn2/login/frame.php");
    m_panel.OnNavigateComplete2(&m_frame, frame.ByReference());
    EXPECT_TRUE(BrowserVisible()) << "a frame's completed navigation shows it too";

    m_panel.OnNavigateComplete2(&m_frame, frame.ByReference());
    EXPECT_TRUE(BrowserVisible()) << "an already visible browser stays visible";

    ShowWindow(m_hwndBrowser, SW_HIDE);
    BrowserAddress callback(L"http://h/pavix/codeCallback.htm?code=7");
    m_panel.OnNavigateComplete2(&m_frame, callback.ByReference());
    EXPECT_TRUE(BrowserVisible()) << "a callback's navigation shows it as well";
    EXPECT_TRUE(WaitForLaunchRecord());
    EXPECT_EQ(TakeQuitMessage(), 16);
}

// A callback after an AppLogin overwrites the pending argument with the address.
TEST_F(CallbackWatch, CallbackAfterAppLoginOverwritesTheArgument) {
    m_panel.OnAppLogin(L"{\"uid\":\"1\",\"token\":\"t\",\"server_id\":\"2\",\"other\":\"o\",\"sign\":\"s\"}");
    ASSERT_TRUE(WaitForLaunchRecord());
    EXPECT_EQ(theApp.m_strLaunchArgument, " ,id^1,auth_key^t&2&o&s,pid^kovra");
    TakeQuitMessage();

    ClearLaunchRecord();
    BrowserAddress callback(L"https://h/pavix/codeCallback.htm?code=after");
    m_panel.OnNavigateComplete2(&m_topWindow, callback.ByReference());
    const auto record = WaitForLaunchRecord();
    ASSERT_TRUE(record);
    EXPECT_EQ(*record, ExpectedCommandLine("https://h/pavix/codeCallback.htm?code=after"));
    EXPECT_EQ(theApp.m_strLaunchArgument, "https://h/pavix/codeCallback.htm?code=after");
    EXPECT_EQ(TakeQuitMessage(), 16);
}

// Before a navigation nothing happens: it goes ahead, and even a callback address is only looked
// at once it has completed.
TEST_F(CallbackWatch, BeforeNavigateChangesNothing) {
    BrowserAddress url(L"http://h/pavix/codeCallback.htm?code=early");
    BeforeNavigateArguments args;
    BOOL cancel = FALSE;
    m_panel.OnBeforeNavigate2(&m_topWindow, url.ByReference(), &args.flags, &args.frame,
                              &args.postData, &args.headers, &cancel);
    EXPECT_EQ(cancel, FALSE);
    EXPECT_EQ(theApp.m_strLaunchArgument, "earlier argument");
    EXPECT_FALSE(TakeQuitMessage());
    EXPECT_FALSE(BrowserVisible()) << "only a completed navigation shows the browser";
    EXPECT_EQ(url.Inner()->vt, VT_BSTR);
}

// Through the panel's event sink table, with the argument lists the control raises the two
// events with: the handler sees the address and leaves the cancel flag alone.
TEST_F(CallbackWatch, BrowserEventsReachTheHandlersThroughThePanelsSinkTable) {
    constexpr UINT kBrowserId = 1000;
    BrowserAddress url(L"http://h/pavix/codeCallback.htm?code=evt");

    // BeforeNavigate2 (250): window, address, flags, target frame, post data, headers, cancel.
    BeforeNavigateArguments args;
    VARIANT byRef[4] = {};
    VARIANT* inner[4] = {&args.flags, &args.frame, &args.postData, &args.headers};
    for (int i = 0; i < 4; ++i) {
        byRef[i].vt = VT_BYREF | VT_VARIANT;
        byRef[i].pvarVal = inner[i];
    }
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT before[7];
    for (VARIANT& v : before) VariantInit(&v);
    before[6].vt = VT_DISPATCH;
    before[6].pdispVal = &m_topWindow;
    before[5] = *url.ByReference();
    before[4] = byRef[0];
    before[3] = byRef[1];
    before[2] = byRef[2];
    before[1] = byRef[3];
    before[0].vt = VT_BYREF | VT_BOOL;
    before[0].pboolVal = &cancel;
    DISPPARAMS beforeParams{before, nullptr, 7, 0};
    EXPECT_EQ(m_panel.OnEvent(kBrowserId, 250, &beforeParams, nullptr), S_OK);
    EXPECT_EQ(cancel, VARIANT_FALSE) << "the navigation goes ahead";
    EXPECT_EQ(theApp.m_strLaunchArgument, "earlier argument");
    EXPECT_FALSE(BrowserVisible());

    // NavigateComplete2 (252): window, address.
    VARIANT complete[2];
    VariantInit(&complete[1]);
    complete[1].vt = VT_DISPATCH;
    complete[1].pdispVal = &m_frame;
    complete[0] = *url.ByReference();
    DISPPARAMS completeParams{complete, nullptr, 2, 0};
    EXPECT_EQ(m_panel.OnEvent(kBrowserId, 252, &completeParams, nullptr), S_OK);
    EXPECT_TRUE(BrowserVisible());
    const auto record = WaitForLaunchRecord();
    ASSERT_TRUE(record) << "the stand-in client launcher recorded no command line";
    EXPECT_EQ(*record, ExpectedCommandLine("http://h/pavix/codeCallback.htm?code=evt"));
    EXPECT_EQ(TakeQuitMessage(), 16);
}
