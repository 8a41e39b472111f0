#pragma once
// The control-container manager the application installs: every control site it makes is a
// CCustomControlSite, so the browser control gets the program's host UI handler.
#include "framework/OleControl.h"

class CCustomOccManager : public COccManager {
public:
    CCustomOccManager() = default;
    ~CCustomOccManager() override = default;

    COleControlSite* CreateSite(COleControlContainer* pCtrlCont) override;
};
