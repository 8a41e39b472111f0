#include "tests/launch/MessageBoxWatcher.h"

#include <algorithm>

namespace {
std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

std::wstring TextOf(HWND hwnd) {
    wchar_t text[1024] = {};
    GetWindowTextW(hwnd, text, 1024);
    return text;
}

// A message box is a dialog whose text sits in a Static control (the icon's Static has none).
std::wstring BoxText(HWND box) {
    std::wstring found;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM param) -> BOOL {
            auto& out = *reinterpret_cast<std::wstring*>(param);
            if (ClassOf(child) == L"Static") {
                const std::wstring text = TextOf(child);
                if (!text.empty()) {
                    out = text;
                    return FALSE;
                }
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

std::vector<HWND> VisibleDialogsOf(DWORD threadId) {
    std::vector<HWND> dialogs;
    EnumThreadWindows(
        threadId,
        [](HWND hwnd, LPARAM param) -> BOOL {
            if (IsWindowVisible(hwnd) && ClassOf(hwnd) == L"#32770")
                reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}
}  // namespace

MessageBoxWatcher::MessageBoxWatcher() : m_threadId(GetCurrentThreadId()) {
    m_thread = std::thread([this] { Watch(); });
}

MessageBoxWatcher::~MessageBoxWatcher() { Stop(); }

std::vector<SeenMessageBox> MessageBoxWatcher::Stop() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    std::lock_guard lock(m_mutex);
    return m_seen;
}

void MessageBoxWatcher::Watch() {
    std::vector<HWND> handled;
    while (!m_stop) {
        // Forget boxes that are gone, so that a later box with a reused handle counts again.
        std::erase_if(handled, [](HWND h) { return !IsWindow(h); });
        for (HWND box : VisibleDialogsOf(m_threadId)) {
            if (std::find(handled.begin(), handled.end(), box) != handled.end()) continue;
            handled.push_back(box);
            {
                std::lock_guard lock(m_mutex);
                m_seen.push_back({TextOf(box), BoxText(box)});
            }
            PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        }
        Sleep(20);
    }
}
