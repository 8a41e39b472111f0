#include "skin/ConfirmDlg.h"

#include "framework/WinApp.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CConfirmDlg, CDialogEx)
    ON_BN_CLICKED(IDC_CONFIRM_OK, &CDialog::OnOK)
    ON_BN_CLICKED(IDC_CONFIRM_CANCEL, &CDialog::OnCancel)
    ON_WM_PAINT()
    ON_WM_CLOSE()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CConfirmDlg::CConfirmDlg() : CDialogEx(IDD_CONFIRM_DIALOG, nullptr) {}

CConfirmDlg::~CConfirmDlg() { m_bmpBackground.DeleteObject(); }

void CConfirmDlg::DoDataExchange(CDataExchange* pDX) {
    CDialogEx::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_CONFIRM_OK, m_btnOk);
    DDX_Control(pDX, IDC_CONFIRM_CANCEL, m_btnCancel);
    DDX_Control(pDX, IDC_CONFIRM_TITLE, m_stTitle);
    DDX_Control(pDX, IDC_CONFIRM_MESSAGE, m_stMessage);
}

BOOL CConfirmDlg::OnInitDialog() {
    CDialogEx::OnInitDialog();

    LPCWSTR face = MAKEINTRESOURCEW(IDB_CONFIRM_BACKGROUND);
    m_bmpBackground.Attach(LoadBitmapW(AfxFindResourceHandle(face, RT_BITMAP), face));

    m_btnOk.StartGdiPlus();
    m_btnOk.SetPngImage(IDB_PNG_CONFIRM_OK);
    m_btnCancel.StartGdiPlus();
    m_btnCancel.SetPngImage(IDB_PNG_CONFIRM_CANCEL);

    MoveWindow(0, 0, 256, 110, TRUE);
    CenterWindow();
    // Each button window reaches to the dialog's right edge: a click right of the confirm image
    // confirms, and the cancel button, set up last, lies above the confirm button from x 140 on.
    m_btnOk.MoveWindow(40, 72, 256, 26, TRUE);
    m_btnCancel.MoveWindow(140, 72, 256, 26, TRUE);

    m_fontTitle.CreatePointFont(120, L"Arial");
    m_stTitle.SendMessageW(WM_SETFONT, reinterpret_cast<WPARAM>(m_fontTitle.GetSafeHandle()), TRUE);
    m_stTitle.SetWindowTextW(L"关闭游戏");
    m_stMessage.SetWindowTextW(L"确定要退出游戏吗?");
    m_stTitle.MoveWindow(79, 10, 100, 30, TRUE);
    m_stMessage.MoveWindow(28, 34, 200, 66, TRUE);
    return TRUE;
}

void CConfirmDlg::OnPaint() {
    CPaintDC dc(this);
    if (m_bmpBackground.GetSafeHandle()) {
        CDC memDC;
        memDC.CreateCompatibleDC(&dc);
        HGDIOBJ hOld = memDC.SelectObject(m_bmpBackground);
        BITMAP bm{};
        m_bmpBackground.GetBitmap(&bm);
        RECT rc{};
        GetClientRect(&rc);
        dc.StretchBlt(0, 0, rc.right - rc.left, rc.bottom - rc.top, &memDC, 0, 0, bm.bmWidth, bm.bmHeight,
                      SRCCOPY);
        memDC.SelectObject(hOld);
    }
    CDialogEx::OnPaint();
}

HBRUSH CConfirmDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    HBRUSH hbr = CDialogEx::OnCtlColor(pDC, pWnd, nCtlColor);
    const int id = pWnd ? pWnd->GetDlgCtrlID() : 0;
    if (id != IDC_CONFIRM_TITLE && id != IDC_CONFIRM_MESSAGE) return hbr;

    // The text floats over the face: the static's background is the dialog's own pixels under it.
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(RGB(255, 255, 255));
    RECT rc{};
    pWnd->GetWindowRect(&rc);
    MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
    HDC hdcDialog = GetDC();
    BitBlt(pDC->GetSafeHdc(), 0, 0, rc.right - rc.left, rc.bottom - rc.top, hdcDialog, rc.left, rc.top,
           SRCCOPY);
    ReleaseDC(hdcDialog);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}
