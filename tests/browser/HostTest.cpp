// The browser host with Wine's real WebBrowser control, created from a dialog template item:
// the control's site, its host UI handler answers, and the control's events reaching a window's
// event sink map. Wine has no HTML engine here, so the control raises no events of its own: the
// tests raise them on the sink the site advised on the control's DWebBrowserEvents2 connection
// point, with exactly the arguments the control sends.
#include <exdisp.h>
#include <exdispid.h>
#include <mshtmhst.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/LoginApp.h"
#include "browser/CustomControlSite.h"
#include "browser/CustomOccManager.h"
#include "browser/WebBrowser2.h"
#include "framework/Dialog.h"
#include "login/ImpIDispatch.h"
#include "tests/browser/FakeBrowser.h"
#include "tests/browser/HostTestSupport.h"

namespace {

class CHostDlg : public CDialog {
public:
    explicit CHostDlg(UINT id) : CDialog(id) {}
    CWebBrowser2 m_browser;
    int nDoc = 0, nNav = 0, nBefore = 0;
    IDispatch* pDisp = nullptr;
    VARIANT* pUrl = nullptr;
    std::wstring strUrl;
    VARIANT* before[5] = {};
    BOOL bCancelSeen = -1;
    BOOL bSetCancel = FALSE;

    void OnDocumentComplete(LPDISPATCH d, VARIANT* url) {
        ++nDoc;
        Record(d, url);
    }
    void OnNavigateComplete2(LPDISPATCH d, VARIANT* url) {
        ++nNav;
        Record(d, url);
    }
    void OnBeforeNavigate2(LPDISPATCH d, VARIANT* url, VARIANT* flags, VARIANT* frame,
                           VARIANT* post, VARIANT* headers, BOOL* cancel) {
        ++nBefore;
        Record(d, url);
        VARIANT* args[] = {url, flags, frame, post, headers};
        std::copy(std::begin(args), std::end(args), before);
        bCancelSeen = *cancel;
        if (bSetCancel) *cancel = TRUE;
    }

protected:
    void Record(LPDISPATCH d, VARIANT* url) {
        pDisp = d;
        pUrl = url;
        strUrl = url && url->vt == VT_BSTR && url->bstrVal ? url->bstrVal : L"";
    }
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, 1000, m_browser); }
    DECLARE_EVENTSINK_MAP()
};

BEGIN_EVENTSINK_MAP(CHostDlg, CDialog)
    ON_EVENT(CHostDlg, 1000, 259, OnDocumentComplete, VTS_DISPATCH VTS_PVARIANT)
    ON_EVENT(CHostDlg, 1000, 252, OnNavigateComplete2, VTS_DISPATCH VTS_PVARIANT)
    ON_EVENT(CHostDlg, 1000, 250, OnBeforeNavigate2,
             VTS_DISPATCH VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PBOOL)
END_EVENTSINK_MAP()

class BrowserHost : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test_browser::InstallHost(); }
};

}  // namespace

TEST_F(BrowserHost, TemplateItemBecomesTheRealControlInACustomSite) {
    CHostDlg dlg(9100);
    ASSERT_TRUE(dlg.Create(9100, nullptr));
    HWND hHost = ::GetDlgItem(dlg.m_hWnd, 1000);
    ASSERT_NE(hHost, nullptr) << "the item's host window carries its id";
    EXPECT_EQ(dlg.m_browser.m_hWnd, hHost) << "DDX_Control binds the wrapper to the host window";
    EXPECT_FALSE(dlg.m_browser.IsWindowVisible()) << "WS_CHILD only: created hidden";
    EXPECT_EQ(::GetWindow(::GetDlgItem(dlg.m_hWnd, 1001), GW_HWNDNEXT), hHost) << "template order";
    EXPECT_EQ(::GetWindow(hHost, GW_HWNDNEXT), ::GetDlgItem(dlg.m_hWnd, 1002));
    RECT rc{};
    ::GetClientRect(hHost, &rc);
    RECT expected{0, 17, 200, 167};
    MapDialogRect(dlg.m_hWnd, &expected);
    EXPECT_EQ(rc.right, expected.right - expected.left);
    EXPECT_EQ(rc.bottom, expected.bottom - expected.top);

    IUnknown* pControl = dlg.m_browser.GetControlUnknown();
    ASSERT_NE(pControl, nullptr) << "Wine's WebBrowser was created";
    ComPtr<IWebBrowser2> browser;
    EXPECT_EQ(pControl->QueryInterface(IID_IWebBrowser2, browser.PutVoid()), S_OK);
    auto* pSite = dynamic_cast<CCustomControlSite*>(COleControlSite::FromHostWindow(hHost));
    ASSERT_NE(pSite, nullptr) << "the installed manager made the site";

    // The control asks its client site for the handler, as the browser does.
    ComPtr<IOleObject> ole;
    ASSERT_EQ(pControl->QueryInterface(IID_IOleObject, ole.PutVoid()), S_OK);
    ComPtr<IOleClientSite> clientSite;
    ASSERT_EQ(ole->GetClientSite(clientSite.Put()), S_OK);
    ASSERT_TRUE(clientSite);
    test_browser::ExpectFixedHostAnswers(clientSite.Get());

    // Navigate through InvokeHelper: the real control takes the address and four empty VARIANTs.
    VARIANT empty;
    VariantInit(&empty);
    EXPECT_EQ(dlg.m_browser.Navigate(L"about:blank", &empty, &empty, &empty, &empty), S_OK);
    ComPtr<IDispatch> document = dlg.m_browser.get_Document();
    (void)document;  // no HTML engine: whatever Wine answers, nothing may crash

    // Moving the host window moves and sizes the control with it.
    EXPECT_TRUE(dlg.m_browser.MoveWindow(56, 17, 631, 446, TRUE));
    ComPtr<IOleWindow> inplace;
    HWND hControl = nullptr;
    if (SUCCEEDED(pControl->QueryInterface(IID_IOleInPlaceObject, inplace.PutVoid())) && inplace &&
        SUCCEEDED(inplace->GetWindow(&hControl)) && hControl) {
        RECT rcControl{};
        ::GetWindowRect(hControl, &rcControl);
        EXPECT_EQ(rcControl.right - rcControl.left, 631);
        EXPECT_EQ(rcControl.bottom - rcControl.top, 446);
        EXPECT_EQ(::GetAncestor(hControl, GA_PARENT), hHost);
    } else {
        ADD_FAILURE() << "the control has no in-place window";
    }
    dlg.DestroyWindow();
    EXPECT_EQ(dlg.m_browser.m_hWnd, nullptr);
}

TEST_F(BrowserHost, ControlEventsReachTheEventSinkMapIntact) {
    CHostDlg dlg(9100);
    ASSERT_TRUE(dlg.Create(9100, nullptr));
    IUnknown* pControl = dlg.m_browser.GetControlUnknown();
    ASSERT_NE(pControl, nullptr);
    ComPtr<IDispatch> sink = test_browser::AdvisedSink(pControl);
    ASSERT_TRUE(sink) << "the site connected a sink to DWebBrowserEvents2";
    ComPtr<IDispatch> window;
    pControl->QueryInterface(IID_IDispatch, window.PutVoid());  // the control passes itself

    fake::EventArgs doc(fake::EventArgs::kNavigateComplete, window.Get(), L"http://127.0.0.1/a.htm");
    EXPECT_EQ(fake::Raise(sink.Get(), DISPID_DOCUMENTCOMPLETE, doc), S_OK);
    EXPECT_EQ(dlg.nDoc, 1);
    EXPECT_EQ(dlg.pDisp, window.Get());
    EXPECT_EQ(dlg.pUrl, &doc.url) << "the handler gets the address VARIANT the control passed";
    EXPECT_EQ(dlg.strUrl, L"http://127.0.0.1/a.htm");

    fake::EventArgs nav(fake::EventArgs::kNavigateComplete, window.Get(), L"http://127.0.0.1/b.htm");
    EXPECT_EQ(fake::Raise(sink.Get(), DISPID_NAVIGATECOMPLETE2, nav), S_OK);
    EXPECT_EQ(dlg.nNav, 1);
    EXPECT_EQ(dlg.strUrl, L"http://127.0.0.1/b.htm");

    for (BOOL set : {FALSE, TRUE}) {
        dlg.bSetCancel = set;
        fake::EventArgs before(fake::EventArgs::kBeforeNavigate, window.Get(), L"http://127.0.0.1/c.htm");
        EXPECT_EQ(fake::Raise(sink.Get(), DISPID_BEFORENAVIGATE2, before), S_OK);
        EXPECT_EQ(dlg.bCancelSeen, FALSE);
        VARIANT* expected[] = {&before.url, &before.flags, &before.frame, &before.post, &before.headers};
        for (int i = 0; i < 5; ++i) EXPECT_EQ(dlg.before[i], expected[i]) << "argument " << i;
        EXPECT_EQ(before.cancel, set ? VARIANT_TRUE : VARIANT_FALSE) << "the flag comes back to the control";
    }
    EXPECT_EQ(dlg.nBefore, 2);

    // What the map refuses never reaches a handler.
    fake::EventArgs bad(fake::EventArgs::kNavigateComplete, window.Get(), L"http://127.0.0.1/d.htm");
    DISPPARAMS one{&bad.rgvarg[1], nullptr, 1, 0};
    EXPECT_EQ(sink->Invoke(DISPID_DOCUMENTCOMPLETE, IID_NULL, 0, DISPATCH_METHOD, &one, nullptr, nullptr, nullptr),
              DISP_E_BADPARAMCOUNT);
    bad.rgvarg[0] = bad.url;  // the address by value
    DISPPARAMS byValue = bad.Params();
    EXPECT_EQ(sink->Invoke(DISPID_DOCUMENTCOMPLETE, IID_NULL, 0, DISPATCH_METHOD, &byValue, nullptr, nullptr, nullptr),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(dlg.nDoc, 1);
    EXPECT_EQ(sink->Invoke(DISPID_STATUSTEXTCHANGE, IID_NULL, 0, DISPATCH_METHOD, &byValue, nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    dlg.DestroyWindow();
}

TEST_F(BrowserHost, SavedStateFromTheDialogInitRecordIsLoadedElseInitNew) {
    fake::Registration reg(fake::CLSID_FakeControl);
    {
        CHostDlg dlg(9101);
        ASSERT_TRUE(dlg.Create(9101, nullptr));
        fake::Browser* control = reg.Last();
        ASSERT_NE(control, nullptr);
        const std::vector<BYTE> expected{0x34, 0x12, 0x78, 0x56, 0xBC, 0x9A, 0xF0, 0xDE};
        EXPECT_EQ(control->m_loaded, expected);
        EXPECT_FALSE(control->m_bInitNew);
        EXPECT_TRUE(control->m_site) << "client site set";
        EXPECT_EQ(control->m_hWndParent, dlg.m_browser.m_hWnd) << "activated in its host window";
        dlg.m_browser.MoveWindow(5, 6, 70, 40, TRUE);
        EXPECT_EQ(control->m_rcObject.right - control->m_rcObject.left, 70) << "resized with the host";
        EXPECT_EQ(control->m_rcObject.bottom - control->m_rcObject.top, 40);
        dlg.DestroyWindow();
        EXPECT_FALSE(control->m_site) << "the site lets go of the control with the window";
    }
    {
        CHostDlg dlg(9102);
        ASSERT_TRUE(dlg.Create(9102, nullptr));
        ASSERT_NE(reg.Last(), nullptr);
        EXPECT_FALSE(reg.Last()->m_bLoadCalled);
        EXPECT_TRUE(reg.Last()->m_bInitNew);
        dlg.DestroyWindow();
    }
    {
        reg.SetLoadResult(E_FAIL);
        CHostDlg dlg(9101);
        ASSERT_TRUE(dlg.Create(9101, nullptr));
        ASSERT_NE(reg.Last(), nullptr);
        EXPECT_TRUE(reg.Last()->m_bLoadCalled);
        EXPECT_TRUE(reg.Last()->m_bInitNew) << "state the control refuses: it starts new";
        dlg.DestroyWindow();
    }
}
