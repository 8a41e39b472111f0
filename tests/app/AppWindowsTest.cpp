// The real BrimlowLogin.exe under Wine and Xvfb, driven from outside with real input: its two
// windows, their places, dragging, minimising, and the ways it ends or refuses to end.
#include <gtest/gtest.h>

#include "tests/app/LauncherProcess.h"

using namespace apptest;

namespace {

constexpr int kFaceWidth = 1334;
constexpr int kFaceHeight = 725;

std::wstring LauncherPath() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"BrimlowLogin.exe";
}

POINT TopLeft(HWND hwnd) {
    const RECT rc = WindowRectOf(hwnd);
    return {rc.left, rc.top};
}

bool AtCorner(HWND hwnd, POINT corner) {
    const POINT p = TopLeft(hwnd);
    return p.x == corner.x && p.y == corner.y;
}

std::string Where(HWND hwnd) { return Describe(WindowRectOf(hwnd)); }

class LauncherWindows : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_launcher.Start()) << m_launcher.Error();
        m_origin = TopLeft(m_launcher.m_hMain);
    }

    // A point of the main window's client area, in screen coordinates.
    POINT At(int x, int y) const { return {m_origin.x + x, m_origin.y + y}; }

    // Clicks the panel's close button and waits for the confirmation; null when none showed.
    HWND OpenConfirmation() {
        const POINT p = At(1208 + 27, 115 + 27);
        ClickAt(p.x, p.y);
        HWND dlg = nullptr;
        WaitFor([&] { return (dlg = m_launcher.OtherWindow()) != nullptr; }, 5000);
        // Input sent before the dialog's buttons are up would go astray.
        if (dlg) WaitFor([&] { return IsWindowVisible(GetDlgItem(dlg, 1009)) != FALSE; }, 3000);
        Sleep(300);
        return dlg;
    }

    void ExpectStillRunningAsBefore(const char* after) {
        Sleep(500);
        EXPECT_TRUE(m_launcher.Running()) << after;
        EXPECT_TRUE(IsWindowVisible(m_launcher.m_hMain)) << after;
        EXPECT_TRUE(IsWindowVisible(m_launcher.m_hPanel)) << after;
        EXPECT_EQ(m_launcher.OtherWindow(), nullptr) << "a window appeared " << after;
    }

    LauncherProcess m_launcher{LauncherPath()};
    POINT m_origin{};
};

TEST_F(LauncherWindows, TwoWindowsOfTheFaceSizeCentredAtTheSameCorner) {
    HWND main = m_launcher.m_hMain, panel = m_launcher.m_hPanel;
    const RECT rcMain = WindowRectOf(main), rcPanel = WindowRectOf(panel);
    EXPECT_EQ(rcMain.right - rcMain.left, kFaceWidth) << Describe(rcMain);
    EXPECT_EQ(rcMain.bottom - rcMain.top, kFaceHeight) << Describe(rcMain);
    EXPECT_EQ(Describe(rcPanel), Describe(rcMain)) << "the panel lies exactly on the main window";

    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int expectLeft = work.left + (work.right - work.left - kFaceWidth) / 2;
    const int expectTop = work.top + (work.bottom - work.top - kFaceHeight) / 2;
    EXPECT_LE(std::abs(rcMain.left - expectLeft), 1) << "left " << rcMain.left << ", centred " << expectLeft;
    EXPECT_LE(std::abs(rcMain.top - expectTop), 1) << "top " << rcMain.top << ", centred " << expectTop;

    wchar_t title[64] = {};
    GetWindowTextW(main, title, 64);
    EXPECT_STREQ(title, L"Brimlow0.1折");
    EXPECT_NE(GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0) << "taskbar button";
    EXPECT_EQ(GetWindowLongW(main, GWL_STYLE) & WS_CAPTION, 0) << "no caption";
    EXPECT_NE(GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_LAYERED, 0) << "face pushed with alpha";
    EXPECT_EQ(GetWindow(panel, GW_OWNER), main);

    EXPECT_NE(GetWindowLongW(panel, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(panel, &key, &alpha, &flags));
    EXPECT_EQ(key, RGB(255, 255, 0)) << std::hex << "key " << key;
    EXPECT_EQ(alpha, 255);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY | LWA_ALPHA));
}

TEST_F(LauncherWindows, PanelItemsAtTheirPlacesBrowserHiddenBeforeAnyNavigation) {
    struct Item {
        int id;
        RECT rc;  // in the panel's client pixels
        bool visible;
    };
    const Item items[] = {
        {1000, {560, 177, 560 + 631, 177 + 446}, false},
        {1006, {1173, 137, 1173 + 39, 137 + 75}, true},
        {1005, {1208, 115, 1208 + 54, 115 + 54}, true},
    };
    for (const Item& item : items) {
        HWND child = GetDlgItem(m_launcher.m_hPanel, item.id);
        ASSERT_NE(child, nullptr) << "item " << item.id;
        EXPECT_EQ(Describe(ChildRectInParent(child)), Describe(item.rc)) << "item " << item.id;
        EXPECT_EQ(IsWindowVisible(child) != FALSE, item.visible) << "item " << item.id;
    }
    // Each button's set-up brings it to the top: close over minimise over browser.
    std::vector<int> order;
    for (HWND c = GetWindow(m_launcher.m_hPanel, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        order.push_back(GetDlgCtrlID(c));
    const std::vector<int> expected = {1005, 1006, 1000};
    EXPECT_EQ(order, expected);
}

// What the screen shows, read back from the desktop: the buttons lie above the face, and the
// panel's key-coloured background lets the face show through.
TEST_F(LauncherWindows, ScreenShowsTheButtonsOverTheFaceAndNoKeyColour) {
    struct Probe {
        const char* what;
        POINT at;  // in the launcher's client pixels
        bool (*expect)(COLORREF);
    };
    const Probe probes[] = {
        {"the close button's red disc", {1208 + 27, 115 + 10},
         [](COLORREF c) { return GetRValue(c) > 150 && GetGValue(c) < 170; }},
        {"the minimise button's blue disc", {1173 + 8, 137 + 19},
         [](COLORREF c) { return GetBValue(c) > 120 && GetRValue(c) < 120; }},
        {"the face's dark frame where the hidden browser sits", {560 + 300, 177 + 200},
         [](COLORREF c) { return GetRValue(c) < 60 && GetGValue(c) < 60; }},
        {"the face's castle hill under the panel's key colour", {320, 460},
         [](COLORREF c) { return c != RGB(255, 255, 0); }},
    };
    HDC screen = GetDC(nullptr);
    for (const Probe& p : probes) {
        const POINT at = At(p.at.x, p.at.y);
        const COLORREF c = GetPixel(screen, at.x, at.y);
        EXPECT_TRUE(p.expect(c)) << p.what << ": screen pixel (" << int(GetRValue(c)) << ", "
                                 << int(GetGValue(c)) << ", " << int(GetBValue(c)) << ")";
    }
    ReleaseDC(nullptr, screen);
}

TEST_F(LauncherWindows, DraggingTheFaceMovesBothWindowsToTheSameCorner) {
    // The castle hill: opaque face, no panel child above it.
    const POINT p = At(320, 460);
    DragBy(p.x, p.y, 60, 40);
    const POINT corner{m_origin.x + 60, m_origin.y + 40};
    EXPECT_TRUE(WaitFor([&] { return AtCorner(m_launcher.m_hMain, corner) && AtCorner(m_launcher.m_hPanel, corner); }, 8000))
        << "main " << Where(m_launcher.m_hMain) << ", panel " << Where(m_launcher.m_hPanel)
        << ", expected corner " << corner.x << "," << corner.y;
}

TEST_F(LauncherWindows, MovingThePanelAfterItsHitTestDragsTheMainWindow) {
    // As a press on the panel does: its hit test makes it the leader, then it moves.
    const POINT p = At(320, 460);
    SendMessageW(m_launcher.m_hPanel, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    const POINT corner{m_origin.x - 50, m_origin.y + 30};
    SetWindowPos(m_launcher.m_hPanel, nullptr, corner.x, corner.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(WaitFor([&] { return AtCorner(m_launcher.m_hMain, corner); }, 8000))
        << "main " << Where(m_launcher.m_hMain) << ", panel " << Where(m_launcher.m_hPanel);
    EXPECT_TRUE(AtCorner(m_launcher.m_hPanel, corner)) << Where(m_launcher.m_hPanel);
}

TEST_F(LauncherWindows, MovingThePanelAfterTheMainWindowsHitTestLeavesTheMainWindow) {
    const POINT p = At(320, 460);
    SendMessageW(m_launcher.m_hMain, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    const POINT corner{m_origin.x + 70, m_origin.y - 20};
    SetWindowPos(m_launcher.m_hPanel, nullptr, corner.x, corner.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitFor([&] { return AtCorner(m_launcher.m_hPanel, corner); }, 8000))
        << Where(m_launcher.m_hPanel);
    Sleep(300);
    EXPECT_TRUE(AtCorner(m_launcher.m_hMain, m_origin))
        << "main " << Where(m_launcher.m_hMain) << " should stay at " << m_origin.x << "," << m_origin.y;
}

TEST_F(LauncherWindows, MinimiseButtonMinimisesAndRestoringBringsPanelAndBrowserBack) {
    HWND browser = GetDlgItem(m_launcher.m_hPanel, 1000);
    // Stands in for the first completed navigation, which Wine's missing HTML engine never reports.
    ShowWindow(browser, SW_SHOW);
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(browser) != FALSE; }, 2000));
    const RECT before = WindowRectOf(m_launcher.m_hPanel);

    const POINT p = At(1173 + 19, 137 + 19);
    ClickAt(p.x, p.y);
    EXPECT_TRUE(WaitFor([&] { return IsIconic(m_launcher.m_hMain) && !IsWindowVisible(m_launcher.m_hPanel); }, 8000))
        << "iconic " << IsIconic(m_launcher.m_hMain) << ", panel visible " << IsWindowVisible(m_launcher.m_hPanel);
    EXPECT_FALSE(IsWindowVisible(browser));

    // What the taskbar button does.
    PostMessageW(m_launcher.m_hMain, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsIconic(m_launcher.m_hMain) && IsWindowVisible(m_launcher.m_hPanel) && IsWindowVisible(browser); }, 8000))
        << "iconic " << IsIconic(m_launcher.m_hMain) << ", panel visible " << IsWindowVisible(m_launcher.m_hPanel)
        << ", browser visible " << IsWindowVisible(browser);
    EXPECT_EQ(Where(m_launcher.m_hPanel), Describe(before));
    EXPECT_EQ(Where(m_launcher.m_hMain), Describe(before));
}

TEST_F(LauncherWindows, CloseThenConfirmEndsWithQuitCode16AndNoBoxLeft) {
    HWND dlg = OpenConfirmation();
    ASSERT_NE(dlg, nullptr) << "no confirmation after the close button";
    const RECT rc = WindowRectOf(dlg);
    EXPECT_EQ(rc.right - rc.left, 256) << Describe(rc);
    EXPECT_EQ(rc.bottom - rc.top, 110) << Describe(rc);
    ClickAt(rc.left + 40 + 37, rc.top + 72 + 13);  // "确定"
    // A box left on screen would keep the process alive.
    ASSERT_TRUE(m_launcher.WaitForExit(10000))
        << "still running; window on screen: " << (m_launcher.OtherWindow() != nullptr);
    EXPECT_EQ(m_launcher.ExitCode(), 16u);
}

TEST_F(LauncherWindows, CloseThenCancelOrEscapeKeepsTheLauncher) {
    struct Answer {
        const char* name;
        void (*answer)(const RECT& dialog);
    };
    const Answer answers[] = {
        {"取消", [](const RECT& rc) { ClickAt(rc.left + 140 + 37, rc.top + 72 + 13); }},
        {"Escape", [](const RECT&) { PressKey(VK_ESCAPE); }},
    };
    for (const Answer& a : answers) {
        HWND dlg = OpenConfirmation();
        ASSERT_NE(dlg, nullptr) << "no confirmation before " << a.name;
        a.answer(WindowRectOf(dlg));
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(dlg) || !IsWindowVisible(dlg); }, 8000))
            << "the confirmation stayed after " << a.name;
        ExpectStillRunningAsBefore(a.name);
    }
}

TEST_F(LauncherWindows, AltF4OnTheMainWindowEndsAtOnce) {
    ASSERT_TRUE(Activate(m_launcher.m_hMain)) << "the main window did not become the foreground window";
    PressAltKey(VK_F4);
    EXPECT_TRUE(m_launcher.WaitForExit(5000))
        << "still running; window on screen: " << (m_launcher.OtherWindow() != nullptr);
}

TEST_F(LauncherWindows, EnterEscapeAndAltF4InThePanelDoNothing) {
    ASSERT_TRUE(Activate(m_launcher.m_hPanel)) << "the panel did not become the foreground window";
    PressKey(VK_RETURN);
    ExpectStillRunningAsBefore("after Enter in the panel");
    PressKey(VK_ESCAPE);
    ExpectStillRunningAsBefore("after Escape in the panel");
    PressAltKey(VK_F4);
    ExpectStillRunningAsBefore("after Alt+F4 in the panel");
}

TEST_F(LauncherWindows, EnterAndEscapeOnTheMainWindowDoNothing) {
    ASSERT_TRUE(Activate(m_launcher.m_hMain)) << "the main window did not become the foreground window";
    PressKey(VK_RETURN);
    ExpectStillRunningAsBefore("after Enter on the main window");
    PressKey(VK_ESCAPE);
    ExpectStillRunningAsBefore("after Escape on the main window");
}

}  // namespace
