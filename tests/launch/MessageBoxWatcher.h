#pragma once
// Finds the message boxes a thread shows, from a thread of its own: reads each box's caption and
// text, then dismisses it with OK, so that the code under test can go on.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct SeenMessageBox {
    std::wstring caption;
    std::wstring text;
};

class MessageBoxWatcher {
public:
    // Watches the windows of the calling thread.
    MessageBoxWatcher();
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    // Stops watching and returns every box seen, in order.
    std::vector<SeenMessageBox> Stop();

private:
    void Watch();

    DWORD m_threadId;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::vector<SeenMessageBox> m_seen;
    std::thread m_thread;
};
