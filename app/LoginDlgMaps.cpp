// The main window's class tables: its window messages; it hosts no controls, so its event sink
// map is empty.
#include "app/LoginDlg.h"

BEGIN_MESSAGE_MAP(CLoginDlg, CDialogEx)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_CREATE()
    ON_WM_NCHITTEST()
    ON_WM_TIMER()
    ON_WM_MOVE()
    ON_WM_SHOWWINDOW()
    ON_WM_CLOSE()
    ON_MESSAGE(WM_WINDOWPOSCHANGED, &CLoginDlg::OnWindowPosChanged)
END_MESSAGE_MAP()

BEGIN_EVENTSINK_MAP(CLoginDlg, CDialogEx)
END_EVENTSINK_MAP()
