#pragma once
// The skinned exit confirmation: a frameless 256 x 110 dialog whose face is a bitmap, with white
// texts floating over it and two PNG buttons carrying the captions in their images.
// DoModal gives IDOK after the confirm button, IDCANCEL after cancel, Esc or a close request.
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "skin/PngButton.h"

class CConfirmDlg : public CDialogEx {
public:
    CConfirmDlg();
    ~CConfirmDlg() override;

    CPngButton m_btnOk;
    CPngButton m_btnCancel;
    CBitmap m_bmpBackground;
    CStatic m_stTitle;
    CStatic m_stMessage;
    CFont m_fontTitle;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnPaint();
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

    DECLARE_MESSAGE_MAP()
};
