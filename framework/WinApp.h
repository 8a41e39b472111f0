#pragma once
// The application object and the program's entry.
#include <windows.h>

#include <memory>

class CWnd;
class COccManager;

class CWinApp {
public:
    explicit CWinApp(const wchar_t* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The whole start-up; returning FALSE ends the program without a message loop of its own.
    virtual BOOL InitInstance();
    // The process exit code: the code of the last quit message the program's loops saw.
    virtual int ExitInstance();

    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    const wchar_t* m_pszAppName = nullptr;
    DWORD m_dwRestartManagerSupportFlags = 0;
    // Set by the modal loops when they end on a quit message.
    int m_nQuitCode = 0;

    // The control-container manager installed by AfxEnableControlContainer (not owned), and the
    // plain one made when none is given.
    COccManager* m_pOccManager = nullptr;
    std::unique_ptr<COccManager> m_pDefaultOccManager;
    // Window creation in progress: the object that the next window created on this thread is
    // bound to, and the hook that binds it.
    CWnd* m_pWndInit = nullptr;
    HHOOK m_hHookCbt = nullptr;
};

// Called by the program's own wWinMain with its one application object.
int AfxWinMain(CWinApp& app, HINSTANCE hInstance, LPWSTR lpCmdLine, int nCmdShow);

// The application object of this process (the one passed to AfxWinMain or constructed first).
CWinApp* AfxGetApp();

// Resources live in the executable itself.
HINSTANCE AfxGetResourceHandle();
HINSTANCE AfxFindResourceHandle(LPCWSTR name, LPCWSTR type);
