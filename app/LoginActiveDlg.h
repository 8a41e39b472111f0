#pragma once
// The login panel: a colour-keyed pop-up laid over the main window, carrying the browser with the
// channel's login page and the minimise and close buttons. Its operations are spread by concern:
//   app/LoginActiveDlg.cpp        construction, initialisation, window handlers
//   app/LoginActiveDlgMaps.cpp    message, event sink, dispatch and interface maps
//   login/AppLogin.cpp            OnAppLogin
//   login/CallbackWatch.cpp       OnNavigateComplete2, OnBeforeNavigate2
//   browser/PageClickBinding.cpp  OnDocumentComplete, OnElementClick
//   browser/AnchorConnections.cpp DisconnectAnchors
#include <map>

#include "browser/AnchorConnection.h"
#include "browser/WebBrowser2.h"
#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "framework/String.h"
#include "skin/LayeredPngPainter.h"
#include "skin/PngButton.h"

class CLoginDlg;

class CLoginActiveDlg : public CDialogEx {
public:
    explicit CLoginActiveDlg(CLoginDlg* pMainDlg);
    ~CLoginActiveDlg() override;

    // Login hand-off
    void OnAppLogin(CString text);
    void OnNavigateComplete2(LPDISPATCH pDisp, VARIANT* URL);
    void OnBeforeNavigate2(LPDISPATCH pDisp, VARIANT* URL, VARIANT* Flags, VARIANT* TargetFrameName,
                           VARIANT* PostData, VARIANT* Headers, BOOL* Cancel);
    // Page click binding
    void OnDocumentComplete(LPDISPATCH pDisp, VARIANT* URL);
    void OnElementClick(LPDISPATCH pEvtObj);
    void DisconnectAnchors();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    void InitButtons();

    void OnMove(int x, int y);
    LRESULT OnNcHitTest(POINT point);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnBnClickedMinimize();
    void OnBnClickedClose();

    DECLARE_MESSAGE_MAP()
    DECLARE_EVENTSINK_MAP()
    DECLARE_DISPATCH_MAP()
    DECLARE_INTERFACE_MAP()

public:
    CLayeredPngPainter m_background;
    CBrush m_brushKey;
    COLORREF m_clrKey = RGB(255, 255, 0);
    CLoginDlg* m_pMainDlg;
    CString m_strLoginUrl;
    CWebBrowser2 m_browser;
    CPngButton m_btnMinimize;
    CPngButton m_btnClose;
    // Click connections on the page's anchors, by href (ordered by UTF-16 code units).
    std::map<CString, AnchorConnection> m_mapAnchorConnections;
};
