#pragma once
// The application object: start-up and the process-wide state shared by the login hand-off.
#include <memory>

#include "framework/String.h"
#include "framework/WinApp.h"

class CCustomOccManager;
class CImpIDispatch;

class CLoginApp : public CWinApp {
public:
    CLoginApp();
    ~CLoginApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    ULONG_PTR m_gdiplusToken = 0;
    // The control-container manager, installed by InitInstance for the rest of the process.
    std::unique_ptr<CCustomOccManager> m_pCustomOccManager;
    // The one object page script sees as window.external; created before the main window and
    // deleted after its modal run, whatever its COM count says.
    std::unique_ptr<CImpIDispatch> m_pScriptBridge;
    // The pending launch argument, in the GUI thread's ANSI code page.
    CStringA m_strLaunchArgument;
};

extern CLoginApp theApp;
