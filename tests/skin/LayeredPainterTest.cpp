// The layered window painter: a real top-level window over a blue one on the harness's display,
// painted with the launcher's face; what the screen then shows is read back.
#include <gtest/gtest.h>

#include <cstdlib>

#include "res/resource.h"
#include "skin/LayeredPngPainter.h"
#include "tests/skin/SkinTestSupport.h"

namespace {

const wchar_t kClass[] = L"SkinPainterTestWindow";

// A plain pop-up window of a solid colour, destroyed with the object.
class TestWindow {
public:
    TestWindow(RECT rc, COLORREF color, DWORD exStyle = 0) {
        static bool registered = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = DefWindowProcW;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = kClass;
            return RegisterClassW(&wc) != 0;
        }();
        (void)registered;
        m_brush = CreateSolidBrush(color);
        m_hWnd = CreateWindowExW(exStyle | WS_EX_TOPMOST, kClass, L"", WS_POPUP | WS_VISIBLE, rc.left, rc.top,
                                 rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        SetClassLongPtrW(m_hWnd, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(m_brush));
        InvalidateRect(m_hWnd, nullptr, TRUE);
        UpdateWindow(m_hWnd);
    }
    ~TestWindow() {
        DestroyWindow(m_hWnd);
        DeleteObject(m_brush);
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND Get() const { return m_hWnd; }

private:
    HWND m_hWnd = nullptr;
    HBRUSH m_brush = nullptr;
};

RECT WindowRect(HWND hWnd) {
    RECT rc{};
    GetWindowRect(hWnd, &rc);
    return rc;
}

std::string Describe(RECT rc) {
    return "(" + std::to_string(rc.left) + "," + std::to_string(rc.top) + ")-(" + std::to_string(rc.right) + "," +
           std::to_string(rc.bottom) + ")";
}

class LayeredPainter : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureGdiPlus(); }
};

TEST(UpdateLayeredToolTest, OneInstanceWithUser32sFunctions) {
    UpdateLayeredTool* first = UpdateLayeredTool::GetInstance();
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, UpdateLayeredTool::GetInstance());
    EXPECT_NE(nullptr, first->m_hUser32);
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "UpdateLayeredWindow")),
              reinterpret_cast<void*>(first->m_pfnUpdateLayeredWindow));
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetLayeredWindowAttributes")),
              reinterpret_cast<void*>(first->m_pfnSetLayeredWindowAttributes));
}

TEST_F(LayeredPainter, FaceReplacesTheWindowAtItsCornerWithAlpha) {
    TestWindow below({20, 20, 1500, 880}, RGB(0, 0, 255));
    TestWindow win({60, 70, 260, 170}, RGB(0, 255, 0));
    PumpMessages(200);

    CLayeredPngPainter painter;
    painter.m_hWnd = win.Get();
    ASSERT_TRUE(painter.m_png.Load(MAKEINTRESOURCEW(IDB_PNG_FACE), GetModuleHandleW(nullptr)));
    painter.Paint();
    PumpMessages(300);

    EXPECT_TRUE(GetWindowLongW(win.Get(), GWL_EXSTYLE) & WS_EX_LAYERED);
    const RECT rc = WindowRect(win.Get());
    EXPECT_EQ(Describe(RECT{60, 70, 60 + 1334, 70 + 725}), Describe(rc));

    // The screen against the face over blue: a fully transparent pixel shows the blue window
    // below, opaque pixels show the face, and a pixel of the soft rim shows the face's
    // premultiplied colour plus what lies below in proportion. An X server without a compositor
    // (the harness's Xvfb) has nothing to blend with: Wine shows the rim over black there, which
    // still tells a lost or unmultiplied alpha from a right one.
    Pixels face = DrawImagePixels(painter.m_png.m_pImage.get());
    std::vector<POINT> probes = {{0, 0}, {1333, 724}, {875, 400}, {300, 300}, {1000, 150}};
    int rim = 0;
    for (int y = 0; y < face.height && rim < 6; y += 37) {
        for (int x = 0; x < face.width && rim < 6; ++x) {
            const int a = Pixels::Alpha(face.At(x, y));
            if (a > 60 && a < 200) {
                probes.push_back({x, y});
                ++rim;
                x += 200;
            }
        }
    }
    ASSERT_EQ(6, rim) << "the face has no soft rim to look at";
    int blended = 0;
    for (POINT p : probes) {
        const uint32_t px = face.At(p.x, p.y);
        const int a = Pixels::Alpha(px);
        const int r = (px >> 16) & 0xFF, g = (px >> 8) & 0xFF, b = px & 0xFF;  // premultiplied
        const COLORREF got = ScreenPixel(rc.left + p.x, rc.top + p.y);
        const COLORREF overBlue = RGB(r, g, b + (255 - a)), overBlack = RGB(r, g, b);
        auto distance = [](COLORREF u, COLORREF v) {
            return std::abs(GetRValue(u) - GetRValue(v)) + std::abs(GetGValue(u) - GetGValue(v)) +
                   std::abs(GetBValue(u) - GetBValue(v));
        };
        const bool asBlend = distance(got, overBlue) <= 12;
        blended += asBlend && a != 0 && a != 255;
        EXPECT_TRUE(asBlend || (a != 0 && distance(got, overBlack) <= 12))
            << "at " << p.x << "," << p.y << " alpha " << a << ": expected " << Hex(overBlue)
            << (a != 0 && a != 255 ? " (or " + Hex(overBlack) + " without a compositor)" : "")
            << ", screen shows " << Hex(got);
    }
    std::printf("soft rim pixels blended with the window below: %d of %d\n", blended, rim);
}

TEST_F(LayeredPainter, WithoutAnImageNothingChanges) {
    TestWindow win({60, 70, 260, 170}, RGB(0, 255, 0));
    PumpMessages(100);
    const LONG exStyle = GetWindowLongW(win.Get(), GWL_EXSTYLE);
    const COLORREF before = ScreenPixel(100, 100);

    CLayeredPngPainter painter;
    painter.m_hWnd = win.Get();
    EXPECT_FALSE(painter.m_png.Load(MAKEINTRESOURCEW(IDB_CONFIRM_BACKGROUND), GetModuleHandleW(nullptr)));
    painter.Paint();
    PumpMessages(100);

    EXPECT_EQ(exStyle, GetWindowLongW(win.Get(), GWL_EXSTYLE));
    EXPECT_EQ(Describe(RECT{60, 70, 260, 170}), Describe(WindowRect(win.Get())));
    EXPECT_EQ(Hex(before), Hex(ScreenPixel(100, 100)));
}

TEST_F(LayeredPainter, AWindowThatIsLayeredAlreadyKeepsItsStyle) {
    TestWindow win({60, 70, 260, 170}, RGB(0, 255, 0), WS_EX_LAYERED | WS_EX_TOOLWINDOW);
    const LONG exStyle = GetWindowLongW(win.Get(), GWL_EXSTYLE);
    CLayeredPngPainter painter;
    painter.m_hWnd = win.Get();
    ASSERT_TRUE(painter.m_png.Load(MAKEINTRESOURCEW(IDB_PNG_CLOSE), GetModuleHandleW(nullptr)));
    painter.Paint();
    EXPECT_EQ(exStyle, GetWindowLongW(win.Get(), GWL_EXSTYLE));
    EXPECT_EQ(Describe(RECT{60, 70, 60 + 54, 70 + 216}), Describe(WindowRect(win.Get())));
}

TEST_F(LayeredPainter, AWindowThatIsGoneIsLeftAlone) {
    CLayeredPngPainter painter;
    ASSERT_TRUE(painter.m_png.Load(MAKEINTRESOURCEW(IDB_PNG_CLOSE), GetModuleHandleW(nullptr)));
    painter.Paint();  // no window at all
    HWND gone;
    {
        TestWindow win({60, 70, 260, 170}, RGB(0, 255, 0));
        gone = win.Get();
    }
    painter.m_hWnd = gone;
    painter.Paint();
    EXPECT_FALSE(IsWindow(gone));
}

}  // namespace
