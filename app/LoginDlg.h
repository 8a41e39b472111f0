#pragma once
// The main window: a frameless layered window whose face is PNG 155, carrying the login panel.
#include <memory>

#include "framework/Dialog.h"
#include "skin/LayeredPngPainter.h"

class CLoginActiveDlg;

class CLoginDlg : public CDialogEx {
public:
    CLoginDlg();
    ~CLoginDlg() override;

    HICON m_hIcon = nullptr;
    // TRUE after the main window was hit-tested last, FALSE after the panel was.
    BOOL m_bMainWindowLeads = FALSE;
    // Created by OnInitDialog; the application deletes it after the modal run, before the
    // script bridge that points at it.
    std::unique_ptr<CLoginActiveDlg> m_pLoginPanel;
    CLayeredPngPainter m_background;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}

    void OnPaint();
    HCURSOR OnQueryDragIcon();
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    LRESULT OnNcHitTest(POINT point);
    void OnTimer(UINT_PTR nIDEvent);
    void OnMove(int x, int y);
    void OnShowWindow(BOOL bShow, UINT nStatus);
    void OnClose();
    LRESULT OnWindowPosChanged(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
    DECLARE_EVENTSINK_MAP()
};
