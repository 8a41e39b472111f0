// Dialogs from templates on the real dialog manager under Wine: the modal run's results, the quit
// message, message map routing, control binding and owner-draw reflection.
#include <functional>

#include <gtest/gtest.h>

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/WinApp.h"

namespace {

CWinApp testApp;  // the framework keeps its per-process state on the application object

constexpr UINT kTemplate = 9001;
constexpr UINT WM_TEST_END = WM_APP + 1;  // wParam: the result to end with
constexpr UINT WM_TEST_SUM = WM_APP + 2;

class COwnerButton : public CButton {
public:
    int nPreSubclass = 0;
    int nDraw = 0;
    void PreSubclassWindow() override { ++nPreSubclass; }
    void DrawItem(LPDRAWITEMSTRUCT) override { ++nDraw; }
};

class CTestDlg : public CDialog {
public:
    explicit CTestDlg(UINT id = kTemplate) : CDialog(id) {}
    std::function<void(CTestDlg&)> onInit;
    int nCreate = 0;
    int nClicked = 0;
    UINT nLastCtlColor = 0xFFFF;
    int nLastCtlId = -1;
    CBrush brush;
    COwnerButton m_btn;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, 1101, m_btn); }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        brush.CreateSolidBrush(RGB(1, 2, 3));
        if (onInit) onInit(*this);
        return TRUE;
    }
    int OnCreate(LPCREATESTRUCT cs) {
        ++nCreate;
        return CDialog::OnCreate(cs);
    }
    HBRUSH OnCtlColor(CDC*, CWnd* pWnd, UINT nCtlColor) {
        nLastCtlColor = nCtlColor;
        nLastCtlId = pWnd ? pWnd->GetDlgCtrlID() : -1;
        return brush;
    }
    void OnClicked() { ++nClicked; }
    LRESULT OnTestEnd(WPARAM wParam, LPARAM) {
        EndDialog(static_cast<int>(wParam));
        return 0;
    }
    LRESULT OnTestSum(WPARAM wParam, LPARAM lParam) { return static_cast<LRESULT>(wParam + lParam); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestDlg, CDialog)
    ON_WM_CREATE()
    ON_WM_CTLCOLOR()
    ON_BN_CLICKED(1101, &CTestDlg::OnClicked)
    ON_MESSAGE(WM_TEST_END, &CTestDlg::OnTestEnd)
    ON_MESSAGE(WM_TEST_SUM, &CTestDlg::OnTestSum)
END_MESSAGE_MAP()

// Drops quit messages a test left behind.
void DrainQuit() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
}

}  // namespace

TEST(Dialog, DoModalReturnsTheEndDialogResult) {
    CTestDlg dlg;
    dlg.onInit = [](CTestDlg& d) { d.PostMessageW(WM_TEST_END, 42); };
    EXPECT_EQ(dlg.DoModal(), 42);
    EXPECT_EQ(dlg.m_hWnd, nullptr) << "the window is destroyed after the run";
    EXPECT_EQ(dlg.m_btn.m_hWnd, nullptr) << "the bound child lets go of its destroyed window";
}

TEST(Dialog, CommandsAndKeysEndTheRunAsTheDialogManagerGivesThem) {
    struct Case {
        const char* what;
        std::function<void(CTestDlg&)> act;
        INT_PTR expected;
    } cases[] = {
        {"IDOK command", [](CTestDlg& d) { d.PostMessageW(WM_COMMAND, IDOK); }, IDOK},
        {"close request", [](CTestDlg& d) { d.PostMessageW(WM_CLOSE); }, IDCANCEL},
        {"Escape on a button",
         [](CTestDlg& d) { ::PostMessageW(::GetDlgItem(d.m_hWnd, IDOK), WM_KEYDOWN, VK_ESCAPE, 0); },
         IDCANCEL},
    };
    for (const Case& c : cases) {
        CTestDlg dlg;
        dlg.onInit = c.act;
        EXPECT_EQ(dlg.DoModal(), c.expected) << c.what;
    }
}

TEST(Dialog, QuitMessageEndsTheRunWithMinusOneAndIsPostedAgain) {
    DrainQuit();
    CTestDlg dlg;
    dlg.onInit = [](CTestDlg&) { PostQuitMessage(7); };
    testApp.m_nQuitCode = 0;
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_EQ(testApp.m_nQuitCode, 7);
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "quit is pending again";
    EXPECT_EQ(msg.wParam, 7u);
}

TEST(Dialog, QuitPendingBeforeTheRunEndsItAtOnce) {
    DrainQuit();
    PostQuitMessage(16);
    CTestDlg dlg;
    EXPECT_EQ(dlg.DoModal(), -1);
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 16u);
}

TEST(Dialog, MissingTemplateGivesMinusOne) {
    CTestDlg dlg(4242);
    EXPECT_EQ(dlg.DoModal(), -1);
    CTestDlg modeless(4242);
    EXPECT_FALSE(modeless.Create(4242, nullptr));
}

TEST(Dialog, DestroyedMainWindowPostsQuitZero) {
    DrainQuit();
    CTestDlg dlg;
    testApp.m_pMainWnd = &dlg;
    dlg.onInit = [](CTestDlg& d) { d.PostMessageW(WM_TEST_END, 1); };
    EXPECT_EQ(dlg.DoModal(), 1);
    testApp.m_pMainWnd = nullptr;
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
}

TEST(Dialog, MessageMapRoutesEntriesAndReturnsTheirResults) {
    CTestDlg dlg;
    ASSERT_TRUE(dlg.Create(kTemplate, nullptr));
    EXPECT_EQ(dlg.nCreate, 1) << "WM_CREATE reaches the object: it is bound from creation on";
    EXPECT_EQ(dlg.SendMessageW(WM_TEST_SUM, 2, 3), 5);

    // Every WM_CTLCOLOR* goes to OnCtlColor, the dialog's own background included.
    HDC hdc = ::GetDC(dlg.m_hWnd);
    LRESULT r = dlg.SendMessageW(WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(hdc),
                                 reinterpret_cast<LPARAM>(dlg.m_hWnd));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(r), dlg.brush.GetSafeHandle());
    EXPECT_EQ(dlg.nLastCtlColor, static_cast<UINT>(CTLCOLOR_DLG));
    HWND hStatic = ::GetDlgItem(dlg.m_hWnd, 1102);
    r = dlg.SendMessageW(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(hStatic));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(r), dlg.brush.GetSafeHandle());
    EXPECT_EQ(dlg.nLastCtlColor, static_cast<UINT>(CTLCOLOR_STATIC));
    EXPECT_EQ(dlg.nLastCtlId, 1102);
    ::ReleaseDC(dlg.m_hWnd, hdc);

    HWND hButton = ::GetDlgItem(dlg.m_hWnd, 1101);
    dlg.SendMessageW(WM_COMMAND, MAKEWPARAM(1101, BN_CLICKED), reinterpret_cast<LPARAM>(hButton));
    EXPECT_EQ(dlg.nClicked, 1);
    dlg.SendMessageW(WM_COMMAND, MAKEWPARAM(1101, BN_DOUBLECLICKED), reinterpret_cast<LPARAM>(hButton));
    EXPECT_EQ(dlg.nClicked, 1) << "another notification code is not a click";
    EXPECT_TRUE(dlg.DestroyWindow());
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST(Dialog, BoundButtonRunsPreSubclassAndDrawsThroughReflection) {
    CTestDlg dlg;
    ASSERT_TRUE(dlg.Create(kTemplate, nullptr));
    HWND hButton = ::GetDlgItem(dlg.m_hWnd, 1101);
    EXPECT_EQ(dlg.m_btn.m_hWnd, hButton);
    EXPECT_EQ(dlg.m_btn.nPreSubclass, 1);
    EXPECT_EQ(CWnd::FromHandlePermanent(hButton), &dlg.m_btn);
    EXPECT_EQ(dlg.GetDlgItem(1101), &dlg.m_btn);
    CWnd* pStatic = dlg.GetDlgItem(1102);
    ASSERT_NE(pStatic, nullptr);
    EXPECT_EQ(pStatic->m_hWnd, ::GetDlgItem(dlg.m_hWnd, 1102));
    EXPECT_EQ(CWnd::FromHandlePermanent(pStatic->m_hWnd), nullptr) << "a wrapper does not bind";

    const int before = dlg.m_btn.nDraw;
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = 1101;
    dis.hwndItem = hButton;
    EXPECT_EQ(dlg.SendMessageW(WM_DRAWITEM, 1101, reinterpret_cast<LPARAM>(&dis)), TRUE);
    EXPECT_EQ(dlg.m_btn.nDraw, before + 1);
    dlg.DestroyWindow();
}
