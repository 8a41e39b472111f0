#include "app/LoginApp.h"

#include "login/ImpIDispatch.h"

CLoginApp theApp;

CLoginApp::CLoginApp() : CWinApp(nullptr) {
    m_dwRestartManagerSupportFlags = 1;  // restart support only
}

CLoginApp::~CLoginApp() = default;

BOOL CLoginApp::InitInstance() {
    // The start-up sequence is built with the main window.
    return FALSE;
}

int CLoginApp::ExitInstance() { return CWinApp::ExitInstance(); }
