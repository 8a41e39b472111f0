// The exit confirmation run modally, answered by real clicks and keys from a second thread
// (input goes through the X server like a player's) while the dialog's own thread runs DoModal.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

#include "res/resource.h"
#include "skin/ConfirmDlg.h"
#include "skin/LayeredPngPainter.h"
#include "tests/skin/SkinTestSupport.h"

namespace {

// The dialog window the GUI thread shows: a visible 256 x 110 window of that thread.
HWND FindDialog(DWORD guiThread) {
    HWND found = nullptr;
    EnumThreadWindows(
        guiThread,
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            RECT rc{};
            GetWindowRect(hWnd, &rc);
            if (IsWindowVisible(hWnd) && rc.right - rc.left == 256 && rc.bottom - rc.top == 110) {
                *reinterpret_cast<HWND*>(lParam) = hWnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Runs DoModal on this thread while `act` runs on another with the dialog's window once shown.
INT_PTR RunConfirm(const std::function<void(HWND)>& act) {
    const DWORD gui = GetCurrentThreadId();
    std::atomic<bool> stop{false}, timedOut{false};
    std::thread driver([&] {
        HWND dlg = nullptr;
        for (int i = 0; i < 500 && !dlg && !stop; ++i) {
            Sleep(10);
            dlg = FindDialog(gui);
        }
        if (!dlg) return;
        Sleep(400);  // painted and settled
        act(dlg);
        // Never leave the test hanging: a dialog still there after a while is closed, and the
        // run reports -2 rather than what the close gives.
        for (int i = 0; i < 300 && !stop; ++i) Sleep(10);
        if (!stop && IsWindow(dlg)) {
            timedOut = true;
            PostMessageW(dlg, WM_CLOSE, 0, 0);
        }
    });
    CConfirmDlg dlg;
    const INT_PTR result = dlg.DoModal();
    stop = true;
    driver.join();
    return timedOut ? -2 : result;
}

void ClickAt(HWND dlg, int x, int y) {
    RECT rc{};
    GetWindowRect(dlg, &rc);
    MouseMoveTo(rc.left + x, rc.top + y);
    Sleep(60);
    MouseButton(true);
    Sleep(30);
    MouseButton(false);
}

class ConfirmDlg : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureGdiPlus(); }
    void TearDown() override { MouseMoveTo(5, 5); }
};

TEST_F(ConfirmDlg, ClicksOnTheRowOfButtonsAnswer) {
    struct Case {
        int x, y;
        INT_PTR expected;
        const char* what;
    } cases[] = {
        {76, 85, IDOK, "on the 确定 image"},       {114, 72, IDOK, "just right of 确定"},
        {139, 97, IDOK, "up to the 取消 image"},    {176, 85, IDCANCEL, "on the 取消 image"},
        {214, 80, IDCANCEL, "just right of 取消"},  {255, 90, IDCANCEL, "at the dialog's right edge"},
    };
    for (const Case& c : cases) {
        const INT_PTR result = RunConfirm([&](HWND dlg) { ClickAt(dlg, c.x, c.y); });
        EXPECT_EQ(c.expected, result) << "click at " << c.x << "," << c.y << " (" << c.what << ")";
    }
}

TEST_F(ConfirmDlg, EscapeEnterAndCloseRequests) {
    // A click on the face first: the dialog then has the keyboard.
    EXPECT_EQ(IDCANCEL, RunConfirm([](HWND dlg) {
                  ClickAt(dlg, 12, 50);
                  Sleep(100);
                  KeyPress(VK_ESCAPE);
              })) << "Escape";
    EXPECT_EQ(IDOK, RunConfirm([](HWND dlg) {
                  ClickAt(dlg, 12, 50);
                  Sleep(100);
                  KeyPress(VK_RETURN);
              })) << "Enter";
    EXPECT_EQ(IDCANCEL, RunConfirm([](HWND dlg) { PostMessageW(dlg, WM_CLOSE, 0, 0); })) << "WM_CLOSE";
}

std::wstring FaceName(HFONT font, LOGFONTW* out = nullptr) {
    LOGFONTW lf{};
    if (!font || !GetObjectW(font, sizeof lf, &lf)) return L"(no font)";
    if (out) *out = lf;
    return lf.lfFaceName;
}

std::string Narrow(const std::wstring& s) {
    std::string out;
    for (wchar_t c : s) out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

TEST_F(ConfirmDlg, LayoutTextsAndFonts) {
    struct Seen {
        RECT dlg{}, title{}, message{}, ok{}, cancel{};
        std::wstring titleText, messageText, titleFace, titleFaceAfterRepaints, dialogFace;
        LOGFONTW titleFont{}, dialogFont{};
        COLORREF faceBehindMessage = 0, bitmapBehindMessage = 0;
        int whiteInTitle = 0;
        bool okAboveStatics = false, cancelAboveOk = false;
    } seen;

    RunConfirm([&](HWND dlg) {
        auto rectOf = [&](int id) {
            RECT rc{};
            GetWindowRect(GetDlgItem(dlg, id), &rc);
            MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&rc), 2);
            return rc;
        };
        GetWindowRect(dlg, &seen.dlg);
        seen.title = rectOf(IDC_CONFIRM_TITLE);
        seen.message = rectOf(IDC_CONFIRM_MESSAGE);
        seen.ok = rectOf(IDC_CONFIRM_OK);
        seen.cancel = rectOf(IDC_CONFIRM_CANCEL);
        wchar_t buf[64];
        GetDlgItemTextW(dlg, IDC_CONFIRM_TITLE, buf, 64);
        seen.titleText = buf;
        GetDlgItemTextW(dlg, IDC_CONFIRM_MESSAGE, buf, 64);
        seen.messageText = buf;
        auto fontOf = [](HWND w) { return reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0)); };
        seen.titleFace = FaceName(fontOf(GetDlgItem(dlg, IDC_CONFIRM_TITLE)), &seen.titleFont);
        seen.dialogFace = FaceName(fontOf(dlg), &seen.dialogFont);

        // Z-order: cancel over confirm over the texts.
        HWND ok = GetDlgItem(dlg, IDC_CONFIRM_OK), cancel = GetDlgItem(dlg, IDC_CONFIRM_CANCEL);
        seen.cancelAboveOk = GetWindow(dlg, GW_CHILD) == cancel && GetWindow(cancel, GW_HWNDNEXT) == ok;
        seen.okAboveStatics = true;
        for (HWND w = GetWindow(ok, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
            seen.okAboveStatics &= w != ok && w != cancel;

        // The texts float over the face: the bitmap's pixels show in the message's empty part,
        // and the title is drawn in white.
        HBITMAP bmp = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_CONFIRM_BACKGROUND));
        HDC mem = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(mem, bmp);
        seen.bitmapBehindMessage = GetPixel(mem, 33, 60);
        SelectObject(mem, old);
        DeleteDC(mem);
        DeleteObject(bmp);
        seen.faceBehindMessage = ScreenPixel(seen.dlg.left + 33, seen.dlg.top + 60);
        for (int y = 10; y < 40; ++y)
            for (int x = 79; x < 179; ++x)
                seen.whiteInTitle += ScreenPixel(seen.dlg.left + x, seen.dlg.top + y) == RGB(255, 255, 255);

        // Repaint everything a few times: the title keeps its font.
        for (int i = 0; i < 3; ++i) {
            RedrawWindow(dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            Sleep(50);
        }
        seen.titleFaceAfterRepaints = FaceName(fontOf(GetDlgItem(dlg, IDC_CONFIRM_TITLE)));
        PostMessageW(dlg, WM_CLOSE, 0, 0);
    });

    const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(256, seen.dlg.right - seen.dlg.left);
    EXPECT_EQ(110, seen.dlg.bottom - seen.dlg.top);
    EXPECT_NEAR((cx - 256) / 2, seen.dlg.left, 1) << "centred on a " << cx << "-pixel screen";
    EXPECT_NEAR((cy - 110) / 2, seen.dlg.top, 40) << "centred on a " << cy << "-pixel screen (work area)";
    auto same = [](RECT r, int x, int y, int w, int h) {
        return r.left == x && r.top == y && r.right - r.left == w && r.bottom - r.top == h;
    };
    EXPECT_TRUE(same(seen.title, 79, 10, 100, 30));
    EXPECT_TRUE(same(seen.message, 28, 34, 200, 66));
    EXPECT_TRUE(same(seen.ok, 40, 72, 256, 26));
    EXPECT_TRUE(same(seen.cancel, 140, 72, 256, 26));
    EXPECT_TRUE(seen.cancelAboveOk);
    EXPECT_TRUE(seen.okAboveStatics);

    EXPECT_TRUE(seen.titleText == L"关闭游戏") << Narrow(seen.titleText);
    EXPECT_TRUE(seen.messageText == L"确定要退出游戏吗?") << Narrow(seen.messageText);
    EXPECT_EQ("Arial", Narrow(seen.titleFace));
    EXPECT_EQ("Arial", Narrow(seen.titleFaceAfterRepaints));
    EXPECT_EQ(-16, seen.titleFont.lfHeight) << "12 points at 96 dots per inch";
    // The dialog manager makes the template's font (Wine leaves out its character set, which the
    // template test below reads from the resource itself).
    EXPECT_TRUE(seen.dialogFace == L"宋体") << Narrow(seen.dialogFace);
    EXPECT_EQ(400, seen.dialogFont.lfWeight);

    EXPECT_EQ(Hex(seen.bitmapBehindMessage), Hex(seen.faceBehindMessage)) << "no grey fill behind the message";
    EXPECT_GT(seen.whiteInTitle, 20) << "white pixels of the title";
}

// Reads a string-or-ordinal field of an extended dialog template; returns the text, if any.
std::wstring TemplateString(const WORD*& p) {
    std::wstring out;
    if (*p == 0xFFFF) {
        p += 2;
    } else {
        while (*p) out += static_cast<wchar_t>(*p++);
        ++p;
    }
    return out;
}

TEST(ConfirmDlgTemplate, StyleFontAndItemsInOrder) {
    HRSRC hRes = FindResourceW(nullptr, MAKEINTRESOURCEW(IDD_CONFIRM_DIALOG), RT_DIALOG);
    ASSERT_TRUE(hRes);
    const auto* base = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, hRes)));
    const auto* w = reinterpret_cast<const WORD*>(base);
    ASSERT_EQ(1, w[0]);
    ASSERT_EQ(0xFFFF, w[1]) << "an extended template";
    const DWORD exStyle = *reinterpret_cast<const DWORD*>(base + 8);
    const DWORD style = *reinterpret_cast<const DWORD*>(base + 12);
    EXPECT_EQ(0u, exStyle);
    EXPECT_EQ(static_cast<DWORD>(WS_POPUP | WS_VISIBLE | WS_SYSMENU | DS_SETFONT | DS_3DLOOK), style);
    const WORD items = *reinterpret_cast<const WORD*>(base + 16);
    ASSERT_EQ(4, items);
    const WORD* p = reinterpret_cast<const WORD*>(base + 26);
    TemplateString(p);  // menu
    TemplateString(p);  // class
    EXPECT_TRUE(TemplateString(p).empty()) << "no title";
    EXPECT_EQ(10, p[0]) << "points";
    EXPECT_EQ(400, p[1]) << "weight";
    const auto* italicCharset = reinterpret_cast<const BYTE*>(p + 2);
    EXPECT_EQ(0, italicCharset[0]);
    EXPECT_EQ(134, italicCharset[1]) << "GB2312";
    p += 3;
    EXPECT_TRUE(TemplateString(p) == L"宋体");

    struct Item {
        DWORD id;
        WORD cls;  // 0x80 button, 0x82 static
        DWORD style, exStyle;
        const wchar_t* text;
    } const want[] = {
        {IDC_CONFIRM_TITLE, 0x82, WS_CHILD | WS_VISIBLE | WS_GROUP | SS_CENTER, WS_EX_TRANSPARENT, L"Static"},
        {IDC_CONFIRM_OK, 0x80, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, L"Button1"},
        {IDC_CONFIRM_CANCEL, 0x80, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, L"Button2"},
        {IDC_CONFIRM_MESSAGE, 0x82, WS_CHILD | WS_VISIBLE | WS_GROUP | SS_CENTER, WS_EX_TRANSPARENT,
         L"确定要退出游戏吗？"},
    };
    for (const Item& it : want) {
        SCOPED_TRACE("item " + std::to_string(it.id));
        const BYTE* b = reinterpret_cast<const BYTE*>(p);
        b = base + ((b - base + 3) & ~3);  // items are DWORD-aligned
        const DWORD itemEx = *reinterpret_cast<const DWORD*>(b + 4);
        const DWORD itemStyle = *reinterpret_cast<const DWORD*>(b + 8);
        const DWORD id = *reinterpret_cast<const DWORD*>(b + 20);
        EXPECT_EQ(it.id, id);
        EXPECT_EQ(it.style, itemStyle);
        EXPECT_EQ(it.exStyle, itemEx);
        p = reinterpret_cast<const WORD*>(b + 24);
        EXPECT_EQ(0xFFFF, p[0]);
        EXPECT_EQ(it.cls, p[1]);
        p += 2;
        EXPECT_TRUE(TemplateString(p) == it.text);
        p += 1 + *p / 2;  // creation data: its size in bytes, then the data
    }
}

// Documentation: with SKIN_SCREENSHOT_HOLD_MS set, shows the face alone for that long, then the
// dialog over it for as long again, for `import -window root` from outside (tools/skin-shots.sh).
TEST_F(ConfirmDlg, HoldForScreenshot) {
    const char* hold = std::getenv("SKIN_SCREENSHOT_HOLD_MS");
    if (!hold) GTEST_SKIP() << "SKIN_SCREENSHOT_HOLD_MS not set";
    const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    HWND face = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, (cx - 1334) / 2, (cy - 725) / 2, 100,
                                100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    CLayeredPngPainter painter;
    painter.m_hWnd = face;
    ASSERT_TRUE(painter.m_png.Load(MAKEINTRESOURCEW(IDB_PNG_FACE), GetModuleHandleW(nullptr)));
    painter.Paint();
    const DWORD ms = static_cast<DWORD>(std::atoi(hold));
    PumpMessages(ms);  // the face alone
    RunConfirm([&](HWND dlg) {
        RECT rc{};
        GetWindowRect(dlg, &rc);
        MouseMoveTo(rc.left + 70, rc.top + 84);  // hovering 确定
        Sleep(ms);
        PostMessageW(dlg, WM_CLOSE, 0, 0);
    });
    DestroyWindow(face);
}

}  // namespace
