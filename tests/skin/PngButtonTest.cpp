// The PNG button under real mouse input: a dialog with two buttons drawn from test strips whose
// four frames are red, green, blue and grey; what the button window shows is read back.
#include <gtest/gtest.h>

#include "framework/Dialog.h"
#include "skin/PngButton.h"
#include "tests/skin/SkinTestIds.h"
#include "tests/skin/SkinTestSupport.h"

namespace {

const COLORREF kFrame[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(128, 128, 128)};

class CButtonTestDlg : public CDialog {
public:
    CButtonTestDlg() : CDialog(IDT_BUTTON_DIALOG) {}
    CPngButton m_btnOne;
    CPngButton m_btnTwo;
    int m_nClicksOne = 0;
    int m_nClicksTwo = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, IDT_BUTTON_ONE, m_btnOne);
        DDX_Control(pDX, IDT_BUTTON_TWO, m_btnTwo);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        m_btnOne.StartGdiPlus();
        m_btnOne.SetPngImage(IDT_STRIP4);
        m_btnTwo.StartGdiPlus();
        m_btnTwo.SetPngImage(IDT_STRIP75);
        return TRUE;
    }
    void OnClickOne() { ++m_nClicksOne; }
    void OnClickTwo() { ++m_nClicksTwo; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CButtonTestDlg, CDialog)
    ON_BN_CLICKED(IDT_BUTTON_ONE, &CButtonTestDlg::OnClickOne)
    ON_BN_CLICKED(IDT_BUTTON_TWO, &CButtonTestDlg::OnClickTwo)
END_MESSAGE_MAP()

RECT ScreenRect(HWND hWnd) {
    RECT rc{};
    GetWindowRect(hWnd, &rc);
    return rc;
}

int FrameShown(HWND hButton) {
    const COLORREF c = WindowPixel(hButton, 20, 9);
    for (int i = 0; i < 4; ++i)
        if (c == kFrame[i]) return i;
    return -1;
}

class PngButton : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureGdiPlus();
        MouseMoveTo(5, 5);
        ASSERT_TRUE(m_dlg.Create(IDT_BUTTON_DIALOG));
        m_dlg.MoveWindow(300, 200, 400, 200);
        m_dlg.ShowWindow(SW_SHOW);
        PumpMessages(300);
    }
    void TearDown() override {
        m_dlg.DestroyWindow();
        MouseMoveTo(5, 5);
        PumpMessages(50);
    }
    // Moves the pointer to (x, y) of the button's window and lets the messages run.
    void PointAt(HWND hButton, int x, int y) {
        const RECT rc = ScreenRect(hButton);
        MouseMoveTo(rc.left + x, rc.top + y);
        PumpMessages(30);
        MouseMoveTo(rc.left + x + 1, rc.top + y);  // a second move: the first one arms tracking
    }
    bool WaitForFrame(HWND hButton, int frame) {
        return PumpUntil([&] { return FrameShown(hButton) == frame; }, 3000);
    }
    CButtonTestDlg m_dlg;
};

TEST_F(PngButton, FollowsTheMouseThroughNormalHoverAndPressedFrames) {
    HWND b = m_dlg.m_btnOne.m_hWnd;
    EXPECT_TRUE(WaitForFrame(b, 0)) << "before the pointer comes: frame " << FrameShown(b);

    PointAt(b, 20, 9);
    EXPECT_TRUE(WaitForFrame(b, 1)) << "hovered: frame " << FrameShown(b);
    EXPECT_TRUE(m_dlg.m_btnOne.m_bHover);

    MouseButton(true);
    EXPECT_TRUE(WaitForFrame(b, 2)) << "pressed: frame " << FrameShown(b);
    MouseButton(false);
    EXPECT_TRUE(PumpUntil([&] { return m_dlg.m_nClicksOne == 1; }, 2000)) << "clicks " << m_dlg.m_nClicksOne;
    EXPECT_TRUE(WaitForFrame(b, 1)) << "released, still hovered: frame " << FrameShown(b);

    MouseMoveTo(5, 5);
    EXPECT_TRUE(WaitForFrame(b, 0)) << "left: frame " << FrameShown(b);
    EXPECT_FALSE(m_dlg.m_btnOne.m_bHover);
    EXPECT_FALSE(m_dlg.m_btnOne.m_bTracking);

    // Coming back arms tracking again.
    PointAt(b, 20, 9);
    EXPECT_TRUE(WaitForFrame(b, 1)) << "hovered again: frame " << FrameShown(b);
}

TEST_F(PngButton, IsOneFrameLargeWithFramesAQuarterOfTheStrip) {
    struct Case {
        CPngButton* button;
        int width, height, frameHeight;
    } cases[] = {{&m_dlg.m_btnOne, 40, 160, 40}, {&m_dlg.m_btnTwo, 40, 75, 18}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.width, c.button->m_nWidth);
        EXPECT_EQ(c.height, c.button->m_nHeight);
        EXPECT_EQ(c.frameHeight, c.button->m_nFrameHeight);
        const RECT rc = ScreenRect(c.button->m_hWnd);
        EXPECT_EQ(c.width, rc.right - rc.left);
        EXPECT_EQ(c.frameHeight, rc.bottom - rc.top);
        EXPECT_TRUE(c.button->GetStyle() & BS_OWNERDRAW);
    }
    // Set up last, the second button is first in the Z-order.
    EXPECT_EQ(m_dlg.m_btnTwo.m_hWnd, GetWindow(m_dlg.m_hWnd, GW_CHILD));
    // The 75-pixel strip: frame 0 is its red top 18 rows.
    EXPECT_TRUE(PumpUntil([&] { return WindowPixel(m_dlg.m_btnTwo.m_hWnd, 20, 9) == kFrame[0]; }, 2000));
}

TEST_F(PngButton, ADoubleClickIsTwoClicks) {
    HWND b = m_dlg.m_btnOne.m_hWnd;
    PointAt(b, 20, 20);
    PumpMessages(100);
    for (int i = 0; i < 2; ++i) {
        MouseButton(true);
        MouseButton(false);
    }
    PumpUntil([&] { return m_dlg.m_nClicksOne >= 2; }, 2000);
    PumpMessages(200);
    EXPECT_EQ(2, m_dlg.m_nClicksOne);
}

TEST_F(PngButton, ShowsTheHandCursor) {
    PointAt(m_dlg.m_btnOne.m_hWnd, 20, 20);
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    EXPECT_TRUE(PumpUntil(
        [&] {
            CURSORINFO ci{};
            ci.cbSize = sizeof ci;
            return GetCursorInfo(&ci) && ci.hCursor == hand;
        },
        2000));
}

TEST_F(PngButton, AnEnlargedButtonPaintsOneFrameAndTakesClicksEverywhere) {
    HWND b = m_dlg.m_btnOne.m_hWnd;
    POINT at{0, 0};
    MapWindowPoints(b, m_dlg.m_hWnd, &at, 1);
    m_dlg.m_btnOne.MoveWindow(at.x, at.y, 160, 40, TRUE);
    PumpMessages(200);
    EXPECT_TRUE(WaitForFrame(b, 0));
    const COLORREF outside = WindowPixel(b, 120, 20);
    for (COLORREF f : kFrame) EXPECT_NE(Hex(f), Hex(outside)) << "painted beyond its frame";

    PointAt(b, 130, 20);
    MouseButton(true);
    MouseButton(false);
    EXPECT_TRUE(PumpUntil([&] { return m_dlg.m_nClicksOne == 1; }, 2000)) << "clicks " << m_dlg.m_nClicksOne;
}

TEST_F(PngButton, TransparentPixelsLeaveWhatIsBelowExactly) {
    // On the login panel the parent's pixels are the colour key: a transparent pixel of a strip
    // that changed them even slightly would show as a fringe around the button.
    HWND b = m_dlg.m_btnTwo.m_hWnd;
    const COLORREF below = WindowPixel(m_dlg.m_hWnd, 5, 5);
    m_dlg.m_btnTwo.SetPngImage(IDT_STRIP_EDGE);
    m_dlg.m_btnTwo.InvalidateRect(nullptr, TRUE);
    PumpMessages(200);
    // Pixel for pixel: the image's own edge is not blended with what lies below either.
    for (int x : {0, 1, 19})
        EXPECT_EQ(Hex(RGB(255, 0, 0)), Hex(WindowPixel(b, x, 20))) << "opaque column " << x;
    for (int y : {0, 39})
        EXPECT_EQ(Hex(RGB(255, 0, 0)), Hex(WindowPixel(b, 10, y))) << "opaque row " << y;
    for (int x : {20, 21, 30, 39})
        EXPECT_EQ(Hex(below), Hex(WindowPixel(b, x, 20))) << "transparent column " << x;
}

TEST_F(PngButton, AMissingStripLeavesTheButtonBlank) {
    m_dlg.m_btnTwo.SetPngImage(9999);
    EXPECT_EQ(nullptr, m_dlg.m_btnTwo.m_pImage);
    EXPECT_EQ(0, m_dlg.m_btnTwo.m_nFrameHeight);
    m_dlg.m_btnTwo.MoveWindow(200, 10, 40, 40, TRUE);
    PumpMessages(200);
    for (COLORREF f : kFrame) EXPECT_NE(Hex(f), Hex(WindowPixel(m_dlg.m_btnTwo.m_hWnd, 20, 9)));
}

}  // namespace
