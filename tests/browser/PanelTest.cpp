// The login panel built from its real template 132, as the main window creates it.
// LoginPanelHost: with Wine's real WebBrowser control, the browser's events on the panel's sink.
// PageClickBinding: with a stand-in control whose Document is a test document model, since Wine
// has no HTML engine to load one; the stand-in raises DocumentComplete on the panel's sink as the
// control does, and its anchors' connection points count advises and can refuse them.
#include <exdispid.h>
#include <mshtmdid.h>

#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "BuildSettings.h"
#include "app/LoginActiveDlg.h"
#include "app/LoginDlg.h"
#include "browser/CustomControlSite.h"
#include "browser/WebBrowser2.h"
#include "framework/Connection.h"
#include "res/resource.h"
#include "tests/browser/FakeBrowser.h"
#include "tests/browser/HostTestSupport.h"

namespace {

std::set<CString> Keys(const CLoginActiveDlg& panel) {
    std::set<CString> keys;
    for (const auto& [key, entry] : panel.m_mapAnchorConnections) keys.insert(key);
    return keys;
}

ULONG CountOf(IUnknown* p) {
    p->AddRef();
    return p->Release();
}

}  // namespace

TEST(LoginPanelHost, BrowserEventsReachThePanelThroughItsSink) {
    test_browser::InstallHost();
    CLoginDlg main;
    CLoginActiveDlg panel(&main);
    ASSERT_TRUE(panel.Create(IDD_LOGIN_PANEL, nullptr));
    IUnknown* pControl = panel.m_browser.GetControlUnknown();
    ASSERT_NE(pControl, nullptr) << "item 1000 is Wine's WebBrowser";
    ASSERT_NE(dynamic_cast<CCustomControlSite*>(panel.m_browser.GetControlSite()), nullptr);
    ComPtr<IOleObject> ole;
    ComPtr<IOleClientSite> clientSite;
    ASSERT_EQ(pControl->QueryInterface(IID_IOleObject, ole.PutVoid()), S_OK);
    ASSERT_EQ(ole->GetClientSite(clientSite.Put()), S_OK);
    test_browser::ExpectFixedHostAnswers(clientSite.Get());

    ComPtr<IDispatch> sink = test_browser::AdvisedSink(pControl);
    ASSERT_TRUE(sink) << "the panel's sink is advised on DWebBrowserEvents2";
    ComPtr<IDispatch> window;
    pControl->QueryInterface(IID_IDispatch, window.PutVoid());

    EXPECT_FALSE(panel.m_browser.IsWindowVisible()) << "hidden until a navigation completes";
    fake::EventArgs before(fake::EventArgs::kBeforeNavigate, window.Get(), L"http://127.0.0.1:1/index.php");
    EXPECT_EQ(fake::Raise(sink.Get(), DISPID_BEFORENAVIGATE2, before), S_OK);
    EXPECT_EQ(before.cancel, VARIANT_FALSE) << "navigation goes on";
    fake::EventArgs nav(fake::EventArgs::kNavigateComplete, window.Get(), L"http://127.0.0.1:1/index.php");
    EXPECT_EQ(fake::Raise(sink.Get(), DISPID_NAVIGATECOMPLETE2, nav), S_OK);
    EXPECT_TRUE(panel.m_browser.IsWindowVisible()) << "the first completed navigation shows the browser";
    fake::EventArgs blank(fake::EventArgs::kNavigateComplete, window.Get(), L"about:blank");
    EXPECT_EQ(fake::Raise(sink.Get(), DISPID_DOCUMENTCOMPLETE, blank), S_OK);
    EXPECT_TRUE(panel.m_mapAnchorConnections.empty());
    // The real control has no document here: the scan finds nothing and says nothing.
    fake::EventArgs page(fake::EventArgs::kNavigateComplete, window.Get(), L"http://127.0.0.1:1/index.php");
    EXPECT_EQ(fake::Raise(sink.Get(), DISPID_DOCUMENTCOMPLETE, page), S_OK);
    EXPECT_TRUE(panel.m_mapAnchorConnections.empty());
    panel.DestroyWindow();
}

class PageClickBinding : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        test_browser::InstallHost();
        s_reg = std::make_unique<fake::Registration>(CLSID_WebBrowserControl);
        s_main = std::make_unique<CLoginDlg>();
        s_panel = std::make_unique<CLoginActiveDlg>(s_main.get());
        s_panel->Create(IDD_LOGIN_PANEL, nullptr);
    }
    static void TearDownTestSuite() {
        s_panel.reset();
        s_main.reset();
        s_reg.reset();
    }
    void SetUp() override {
        ASSERT_NE(s_panel->m_hWnd, nullptr);
        control = s_reg->Last();
        ASSERT_NE(control, nullptr) << "the panel's item 1000 is the stand-in";
        ASSERT_TRUE(control->m_sink) << "the panel's sink is advised on the stand-in's events";
        s_panel->DisconnectAnchors();
        ASSERT_TRUE(s_panel->m_mapAnchorConnections.empty());
        document = fake::Make<fake::Document>();
        document->m_all = fake::Make<fake::Collection>();
        control->m_document = ComPtr<IDispatch>(static_cast<IHTMLDocument2*>(document.Get()));
    }
    void TearDown() override {
        if (s_panel) s_panel->DisconnectAnchors();
        if (control) control->m_document.Reset();
    }

    ComPtr<fake::Anchor> AddAnchor(std::optional<std::wstring> href) {
        ComPtr<fake::Anchor> a = fake::Make<fake::Anchor>(std::move(href));
        document->m_all->m_elements.emplace_back(static_cast<IHTMLAnchorElement*>(a.Get()));
        return a;
    }
    void AddElement() {
        ComPtr<fake::Element> e = fake::Make<fake::Element>();
        document->m_all->m_elements.emplace_back(e.Get());
    }
    HRESULT Complete(const wchar_t* address) {
        fake::EventArgs args(fake::EventArgs::kNavigateComplete, control->m_sink.Get(), address);
        return fake::Raise(control->m_sink.Get(), DISPID_DOCUMENTCOMPLETE, args);
    }

    static inline std::unique_ptr<fake::Registration> s_reg;
    static inline std::unique_ptr<CLoginDlg> s_main;
    static inline std::unique_ptr<CLoginActiveDlg> s_panel;
    fake::Browser* control = nullptr;
    ComPtr<fake::Document> document;
};

TEST_F(PageClickBinding, PanelNavigatesTheControlToTheLoginPageOnce) {
    EXPECT_EQ(control->m_nNavigate, 1);
    EXPECT_EQ(control->m_strNavigateUrl, L"http://" LOGIN_PAGE_HOST L"/vorn2/login/index.php");
    const std::vector<VARTYPE> vts{VT_BSTR, VT_BYREF | VT_VARIANT, VT_BYREF | VT_VARIANT,
                                   VT_BYREF | VT_VARIANT, VT_BYREF | VT_VARIANT};
    EXPECT_EQ(control->m_navigateVts, vts);
}

TEST_F(PageClickBinding, PageWithoutAnchorsLeavesTheRegistryEmpty) {
    AddElement();
    AddElement();
    const int reads = control->m_nDocumentReads;
    EXPECT_EQ(Complete(L"http://127.0.0.1:1/login.htm"), S_OK);
    EXPECT_TRUE(s_panel->m_mapAnchorConnections.empty());
    EXPECT_EQ(control->m_nDocumentReads, reads + 1);
    // Each position is asked for as VT_UINT i, with an empty second argument.
    const std::vector<std::pair<VARTYPE, VARTYPE>> vts(2, {VARTYPE(VT_UINT), VARTYPE(VT_EMPTY)});
    EXPECT_EQ(document->m_all->m_itemVts, vts);
    EXPECT_EQ(document->m_all->m_itemIndices, (std::vector<long>{0, 1}));
}

TEST_F(PageClickBinding, FirstAnchorPerHrefIsConnectedWithoutHoldingThePanel) {
    IDispatch* panelDispatch = s_panel->GetIDispatch(FALSE);
    ASSERT_NE(panelDispatch, nullptr) << "automation is enabled before the first navigation";
    const ULONG panelCount = CountOf(panelDispatch);
    auto first = AddAnchor(L"http://127.0.0.1:1/a");
    AddElement();
    auto duplicate = AddAnchor(L"http://127.0.0.1:1/a");
    auto other = AddAnchor(L"http://127.0.0.1:1/b");
    EXPECT_EQ(Complete(L"http://127.0.0.1:1/login.htm"), S_OK);

    EXPECT_EQ(Keys(*s_panel), (std::set<CString>{L"http://127.0.0.1:1/a", L"http://127.0.0.1:1/b"}));
    EXPECT_EQ(first->m_nConnected, 1);
    EXPECT_EQ(duplicate->m_nAdviseCalls, 0) << "a later anchor with a registered href is skipped";
    EXPECT_EQ(other->m_nConnected, 1);
    const AnchorConnection& entry = s_panel->m_mapAnchorConnections.at(L"http://127.0.0.1:1/a");
    ComPtr<IUnknown> firstUnknown;
    first->QueryInterface(IID_IUnknown, firstUnknown.PutVoid());
    EXPECT_EQ(entry.pElement.Get(), firstUnknown.Get());
    EXPECT_TRUE(IsEqualIID(entry.iidEvents, DIID_HTMLElementEvents2));
    EXPECT_EQ(entry.dwCookie, first->m_dwLastCookie);
    EXPECT_EQ(entry.strHref, L"http://127.0.0.1:1/a");
    // The connection took its reference on the sink and the advise gave it back.
    EXPECT_EQ(CountOf(panelDispatch), panelCount);
    EXPECT_EQ(first->m_sink.Get(), panelDispatch) << "the sink is the panel's own IDispatch";

    // DisconnectAnchors undoes exactly these connections with the recorded cookies.
    s_panel->DisconnectAnchors();
    EXPECT_EQ(first->m_nConnected, 0);
    EXPECT_EQ(other->m_nConnected, 0);
    EXPECT_EQ(CountOf(panelDispatch), panelCount);

    // A page that goes away while still connected releases the connection's reference on the
    // sink, which the advise had given back: the count drops below the panel's own, and the
    // panel object must stay (its owner deletes it, not its COM count).
    {
        auto passing = fake::Make<fake::Anchor>(L"http://127.0.0.1:1/gone");
        DWORD cookie = 0;
        ASSERT_TRUE(AfxConnectionAdvise(static_cast<IHTMLAnchorElement*>(passing.Get()),
                                        DIID_HTMLElementEvents2, panelDispatch, FALSE, &cookie));
    }
    EXPECT_EQ(s_panel->GetIDispatch(FALSE), panelDispatch);
    DISPID id = 0;
    std::wstring name = L"HTMLELEMENTEVENTS2_ONCLICK";
    LPOLESTR names[] = {name.data()};
    EXPECT_EQ(panelDispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK) << "still answers";
}

TEST_F(PageClickBinding, AnchorsWithoutHrefShareTheEmptyKey) {
    auto a = AddAnchor(std::nullopt);
    auto b = AddAnchor(std::nullopt);
    auto c = AddAnchor(L"");
    EXPECT_EQ(Complete(L"http://127.0.0.1:1/login.htm"), S_OK);
    EXPECT_EQ(Keys(*s_panel), (std::set<CString>{L""}));
    EXPECT_EQ(a->m_nConnected, 1);
    EXPECT_EQ(b->m_nAdviseCalls + c->m_nAdviseCalls, 0);
}

TEST_F(PageClickBinding, RefusedConnectionIsTriedAgainAndTheSamePageAddsNothing) {
    auto refusing = AddAnchor(L"http://127.0.0.1:1/r");
    refusing->m_nRefuse = 1;
    auto plain = AddAnchor(L"http://127.0.0.1:1/s");
    EXPECT_EQ(Complete(L"http://127.0.0.1:1/login.htm"), S_OK);
    EXPECT_EQ(Keys(*s_panel), (std::set<CString>{L"http://127.0.0.1:1/s"})) << "nothing recorded for a refusal";
    EXPECT_EQ(refusing->m_nAdviseCalls, 1);

    // The same page completes again (a frame, or a reload) without a disconnect.
    EXPECT_EQ(Complete(L"http://127.0.0.1:1/login.htm"), S_OK);
    EXPECT_EQ(Keys(*s_panel), (std::set<CString>{L"http://127.0.0.1:1/r", L"http://127.0.0.1:1/s"}));
    EXPECT_EQ(refusing->m_nAdviseCalls, 2);
    EXPECT_EQ(plain->m_nAdviseCalls, 1) << "registered hrefs are not connected twice";
    EXPECT_EQ(Complete(L"http://127.0.0.1:1/frame.htm"), S_OK);
    EXPECT_EQ(refusing->m_nAdviseCalls + plain->m_nAdviseCalls, 3);
}

TEST_F(PageClickBinding, AboutBlankIsNotScanned) {
    auto a = AddAnchor(L"http://127.0.0.1:1/a");
    const int reads = control->m_nDocumentReads;
    for (const wchar_t* address : {L"about:blank", L"res://ieframe.dll/about:blank#frame"}) {
        EXPECT_EQ(Complete(address), S_OK);
        EXPECT_TRUE(s_panel->m_mapAnchorConnections.empty()) << address;
    }
    EXPECT_EQ(control->m_nDocumentReads, reads) << "the document is not even read";
    EXPECT_EQ(a->m_nAdviseCalls, 0);
    EXPECT_EQ(Complete(L"http://127.0.0.1:1/About:Blank"), S_OK) << "the match is case-sensitive";
    EXPECT_EQ(a->m_nConnected, 1);
}

TEST_F(PageClickBinding, FailedElementRequestsAndMissingDocumentsAreSkipped) {
    auto a1 = AddAnchor(L"http://127.0.0.1:1/1");
    auto a2 = AddAnchor(L"http://127.0.0.1:1/2");
    document->m_all->m_elements.emplace_back();  // yields nothing
    auto a3 = AddAnchor(L"http://127.0.0.1:1/3");
    document->m_all->m_failAt = {1};
    EXPECT_EQ(Complete(L"http://127.0.0.1:1/login.htm"), S_OK);
    EXPECT_EQ(Keys(*s_panel), (std::set<CString>{L"http://127.0.0.1:1/1", L"http://127.0.0.1:1/3"}));
    EXPECT_EQ(a2->m_nAdviseCalls, 0);
    s_panel->DisconnectAnchors();

    document->m_bNoDocument2 = true;
    EXPECT_EQ(Complete(L"http://127.0.0.1:1/login.htm"), S_OK);
    EXPECT_EQ(document->m_nAllReads, 1) << "a document without IHTMLDocument2 is not walked";
    control->m_document.Reset();
    EXPECT_EQ(Complete(L"http://127.0.0.1:1/login.htm"), S_OK);
    EXPECT_TRUE(s_panel->m_mapAnchorConnections.empty());
}

TEST_F(PageClickBinding, ClickOnAConnectedAnchorReachesThePanelsClickMethod) {
    auto a = AddAnchor(L"http://127.0.0.1:1/a");
    EXPECT_EQ(Complete(L"http://127.0.0.1:1/login.htm"), S_OK);
    ASSERT_TRUE(a->m_sink);
    ComPtr<fake::Element> eventObject = fake::Make<fake::Element>();
    EXPECT_EQ(a->Click(eventObject.Get()), S_OK) << "dispatch id -600 is in the panel's dispatch map";
    // The same entry checks what it is given.
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXPECT_EQ(a->m_sink->Invoke(DISPID_HTMLELEMENTEVENTS2_ONCLICK, IID_NULL, 0, DISPATCH_METHOD, &none,
                                nullptr, nullptr, nullptr),
              DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(a->m_sink->Invoke(DISPID_HTMLELEMENTEVENTS2_ONMOUSEOVER, IID_NULL, 0, DISPATCH_METHOD, &none,
                                nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    DISPID id = 0;
    std::wstring name = L"HTMLELEMENTEVENTS2_ONCLICK";
    LPOLESTR names[] = {name.data()};
    EXPECT_EQ(a->m_sink->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
    EXPECT_EQ(id, DISPID_HTMLELEMENTEVENTS2_ONCLICK);
}
