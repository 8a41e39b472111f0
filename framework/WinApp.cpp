#include "framework/WinApp.h"

#include "framework/OleControl.h"

namespace {
// The one application object; CWinApp's constructor records it, as the entry needs it before
// anything else exists.
CWinApp*& CurrentApp() {
    static CWinApp* app = nullptr;
    return app;
}
}  // namespace

CWinApp::CWinApp(const wchar_t* appName) : m_pszAppName(appName) {
    if (!CurrentApp()) CurrentApp() = this;
}

CWinApp::~CWinApp() {
    if (CurrentApp() == this) CurrentApp() = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return m_nQuitCode; }

CWinApp* AfxGetApp() { return CurrentApp(); }

HINSTANCE AfxGetResourceHandle() { return GetModuleHandleW(nullptr); }

HINSTANCE AfxFindResourceHandle(LPCWSTR, LPCWSTR) { return AfxGetResourceHandle(); }

int AfxWinMain(CWinApp& app, HINSTANCE hInstance, LPWSTR, int) {
    app.m_hInstance = hInstance;
    CurrentApp() = &app;
    // A dialog-based program lives inside InitInstance (its modal main window): no loop of the
    // framework's own follows, whatever InitInstance returns.
    app.InitInstance();
    return app.ExitInstance();
}
