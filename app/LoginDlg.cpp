#include "app/LoginDlg.h"

#include "app/LoginActiveDlg.h"
#include "app/LoginApp.h"
#include "login/ImpIDispatch.h"
#include "res/resource.h"

CLoginDlg::CLoginDlg() : CDialogEx(IDD_LOGIN_DIALOG, nullptr) {
    const LPCWSTR icon = MAKEINTRESOURCEW(IDR_MAINFRAME);
    m_hIcon = LoadIconW(AfxFindResourceHandle(icon, RT_GROUP_ICON), icon);
}

// The panel object outlives its window (destroyed with this one); the application deletes it.
CLoginDlg::~CLoginDlg() = default;

void CLoginDlg::DoDataExchange(CDataExchange* pDX) { CDialogEx::DoDataExchange(pDX); }

BOOL CLoginDlg::OnInitDialog() {
    CDialogEx::OnInitDialog();

    // No caption: the text is what the taskbar button and task switching show.
    SetWindowTextW(L"Brimlow0.1折");
    m_background.m_hWnd = m_hWnd;
    SendMessageW(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageW(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    // The panel is a pop-up: with this window as parent it becomes its owner, so the system
    // minimises, restores and destroys it together with this window. Its initialisation already
    // starts the navigation to the login page.
    m_pLoginPanel = std::make_unique<CLoginActiveDlg>(this);
    m_pLoginPanel->Create(IDD_LOGIN_PANEL, this);
    m_pLoginPanel->ShowWindow(SW_SHOWNORMAL);
    // From here on the page's AppLogin calls reach the panel.
    if (theApp.m_pScriptBridge) theApp.m_pScriptBridge->m_pPanel = m_pLoginPanel.get();

    ModifyStyle(WS_CAPTION, 0);

    if (!m_background.m_png.Load(MAKEINTRESOURCEW(IDB_PNG_FACE), AfxGetResourceHandle()))
        return TRUE;
    const int w = m_background.m_png.GetWidth();
    const int h = m_background.m_png.GetHeight();
    MoveWindow(0, 0, w, h, TRUE);
    CenterWindow(nullptr);

    RECT rc{};
    GetWindowRect(&rc);
    m_pLoginPanel->MoveWindow(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);

    m_background.Paint();
    return TRUE;
}

void CLoginDlg::OnPaint() {
    // The face is the layered content pushed by the painter; only the minimised icon is drawn.
    if (!IsIconic()) return;
    CPaintDC dc(this);
    SendMessageW(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    const int cxIcon = GetSystemMetrics(SM_CXICON);
    const int cyIcon = GetSystemMetrics(SM_CYICON);
    RECT rc{};
    GetClientRect(&rc);
    const int x = (rc.right - rc.left - cxIcon + 1) / 2;
    const int y = (rc.bottom - rc.top - cyIcon + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CLoginDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

int CLoginDlg::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    return CDialogEx::OnCreate(lpCreateStruct) == -1 ? -1 : 0;
}

LRESULT CLoginDlg::OnNcHitTest(POINT /*point*/) {
    m_bMainWindowLeads = TRUE;
    // Any visible pixel of the face drags the pair; fully transparent ones are not hit at all.
    const LRESULT hit = Default();
    return hit == HTCLIENT ? HTCAPTION : hit;
}

void CLoginDlg::OnTimer(UINT_PTR /*nIDEvent*/) {}

void CLoginDlg::OnMove(int /*x*/, int /*y*/) {
    // Only the leader drags: the follower's own move must not bounce back.
    if (!::IsWindow(m_hWnd) || !m_bMainWindowLeads) return;
    if (!m_pLoginPanel || !::IsWindow(m_pLoginPanel->m_hWnd)) return;
    RECT main{}, panel{};
    GetWindowRect(&main);
    m_pLoginPanel->GetWindowRect(&panel);
    m_pLoginPanel->MoveWindow(main.left, main.top, panel.right - panel.left,
                              panel.bottom - panel.top, TRUE);
}

void CLoginDlg::OnShowWindow(BOOL bShow, UINT /*nStatus*/) {
    Default();
    // TRUE acts as SW_SHOWNORMAL, FALSE as SW_HIDE.
    if (m_pLoginPanel && ::IsWindow(m_pLoginPanel->m_hWnd)) m_pLoginPanel->ShowWindow(bShow);
}

void CLoginDlg::OnClose() { EndDialog(1); }

LRESULT CLoginDlg::OnWindowPosChanged(WPARAM /*wParam*/, LPARAM lParam) {
    const LRESULT result = Default();
    // The panel was shown while this window was still hidden. Windows keeps an owned window above
    // its owner whatever the order of showing; Wine's X11 side stacks the later-shown owner on top
    // and buries the panel (raising it in Z-order does not reach X there). Showing the panel again
    // once this window is up puts it back on top; where the order was right it changes nothing.
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
    if (pos && (pos->flags & SWP_SHOWWINDOW) && m_pLoginPanel && ::IsWindow(m_pLoginPanel->m_hWnd)) {
        ::ShowWindow(m_pLoginPanel->m_hWnd, SW_HIDE);
        ::ShowWindow(m_pLoginPanel->m_hWnd, SW_SHOWNA);
    }
    return result;
}
