#include "app/LoginApp.h"

#include <commctrl.h>

#include "app/LoginActiveDlg.h"
#include "app/LoginDlg.h"
#include "browser/CustomOccManager.h"
#include "login/ImpIDispatch.h"
#include "skin/GdiPlus.h"

CLoginApp theApp;

CLoginApp::CLoginApp() : CWinApp(nullptr) {
    m_dwRestartManagerSupportFlags = 1;  // restart support only
}

CLoginApp::~CLoginApp() = default;

BOOL CLoginApp::InitInstance() {
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof(icc);
    icc.dwICC = ICC_WIN95_CLASSES;
    ::InitCommonControlsEx(&icc);

    CWinApp::InitInstance();

    // Every control site is then ours: the browser gets the host UI handler, which hands page
    // script the bridge as window.external. Both exist before any window holds a control.
    if (!m_pCustomOccManager) m_pCustomOccManager = std::make_unique<CCustomOccManager>();
    m_pScriptBridge = std::make_unique<CImpIDispatch>();
    AfxEnableControlContainer(m_pCustomOccManager.get());

    // Never shut down: the images stay usable until the process ends.
    Gdiplus::GdiplusStartupInput gdiplusStartupInput;
    Gdiplus::GdiplusStartup(&m_gdiplusToken, &gdiplusStartupInput, nullptr);

    {
        CLoginDlg dlg;
        m_pMainWnd = &dlg;
        // The whole interactive life of the program. -1: the window could not be created, or
        // the run ended on a quit message (a launch, or a confirmed exit). In the second case the
        // quit message is pending again, and it ends the box's own loop at once, so the box stays
        // only when there never was a window.
        const INT_PTR nResponse = dlg.DoModal();
        if (nResponse == -1)
            ::MessageBoxW(nullptr, L"启动游戏失败，请重新启动！", L"【启动失败】", MB_OK);

        // The panel before the bridge that points at it; the main window object last.
        if (m_pScriptBridge) m_pScriptBridge->m_pPanel = nullptr;
        dlg.m_pLoginPanel.reset();
        m_pScriptBridge.reset();
        m_pMainWnd = nullptr;
    }
    return FALSE;
}

int CLoginApp::ExitInstance() { return CWinApp::ExitInstance(); }
