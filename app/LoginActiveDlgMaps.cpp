// The login panel's class tables: its window messages, the browser's events, the click method the
// page's anchors call, and the interface those anchors are connected through.
#include <mshtmdid.h>
#include <mshtml.h>

#include "app/LoginActiveDlg.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CLoginActiveDlg, CDialogEx)
    ON_WM_MOVE()
    ON_WM_NCHITTEST()
    ON_WM_CTLCOLOR()
    ON_BN_CLICKED(IDC_BTN_MINIMIZE, &CLoginActiveDlg::OnBnClickedMinimize)
    ON_BN_CLICKED(IDC_BTN_CLOSE, &CLoginActiveDlg::OnBnClickedClose)
END_MESSAGE_MAP()

// The browser control's events: DocumentComplete (259), NavigateComplete2 (252),
// BeforeNavigate2 (250).
BEGIN_EVENTSINK_MAP(CLoginActiveDlg, CDialogEx)
    ON_EVENT(CLoginActiveDlg, IDC_EXPLORER, 259, OnDocumentComplete, VTS_DISPATCH VTS_PVARIANT)
    ON_EVENT(CLoginActiveDlg, IDC_EXPLORER, 252, OnNavigateComplete2, VTS_DISPATCH VTS_PVARIANT)
    ON_EVENT(CLoginActiveDlg, IDC_EXPLORER, 250, OnBeforeNavigate2,
             VTS_DISPATCH VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PBOOL)
END_EVENTSINK_MAP()

// What a connected anchor calls on a click.
BEGIN_DISPATCH_MAP(CLoginActiveDlg, CDialogEx)
    DISP_FUNCTION_ID(CLoginActiveDlg, "HTMLELEMENTEVENTS2_ONCLICK", DISPID_HTMLELEMENTEVENTS2_ONCLICK,
                     OnElementClick, VT_EMPTY, VTS_DISPATCH)
END_DISPATCH_MAP()

// Anchors are connected through HTMLElementEvents2, answered by the panel's automation IDispatch.
BEGIN_INTERFACE_MAP(CLoginActiveDlg, CDialogEx)
    INTERFACE_PART(CLoginActiveDlg, DIID_HTMLElementEvents2, Dispatch)
END_INTERFACE_MAP()
