#pragma once
// The real BrimlowLogin.exe as a separate process, seen from outside as a player's desktop sees
// it: its top-level windows, their rectangles, and real mouse and keyboard input (SendInput).
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace apptest {

// Polls pred every 20 ms until it holds or ms have passed; true when it held.
bool WaitFor(const std::function<bool()>& pred, DWORD ms);

// The visible top-level windows of process pid.
std::vector<HWND> VisibleTopLevelWindows(DWORD pid);

RECT WindowRectOf(HWND hwnd);
// A child's rectangle in its parent's client coordinates.
RECT ChildRectInParent(HWND child);
std::string Describe(const RECT& rc);  // "(l, t, w x h)"

// Real input through the system's input queue.
void MouseMoveTo(int x, int y);
void MouseDown();
void MouseUp();
void ClickAt(int x, int y);
// Presses at (x, y), moves by (dx, dy) in steps and releases.
void DragBy(int x, int y, int dx, int dy);
// Makes hwnd the foreground window (keyboard input goes there); false when it would not become it.
bool Activate(HWND hwnd);
void PressKey(WORD vk);
// Alt held while vk is pressed.
void PressAltKey(WORD vk);

class LauncherProcess {
public:
    // exe: the launcher, started in its own folder.
    explicit LauncherProcess(std::wstring exe);
    ~LauncherProcess();  // ends the process if it still runs
    LauncherProcess(const LauncherProcess&) = delete;
    LauncherProcess& operator=(const LauncherProcess&) = delete;

    // Starts it and waits until the main window and the panel are visible. False on failure,
    // with the reason in Error().
    bool Start(DWORD timeoutMs = 20000);
    // True when the process has ended within ms; its exit code then in ExitCode().
    bool WaitForExit(DWORD ms);
    bool Running() const;
    DWORD ExitCode() const;
    DWORD Pid() const { return m_pi.dwProcessId; }
    HANDLE Process() const { return m_pi.hProcess; }
    const std::string& Error() const { return m_error; }

    // A visible top-level window of the process other than the main window and the panel (the
    // confirmation dialog, a message box), or null.
    HWND OtherWindow() const;

    HWND m_hMain = nullptr;   // titled "Brimlow0.1折", taskbar button
    HWND m_hPanel = nullptr;  // owned by the main window, carries the browser and the buttons

private:
    std::wstring m_exe;
    PROCESS_INFORMATION m_pi{};
    std::string m_error;
};

}  // namespace apptest
