// The login panel's own part: its set-up over the main window and its window handlers. The panel
// is a second top-level window laid exactly over the main window; its background is the colour
// key, which the system makes invisible and click-through, so only the browser and the two
// buttons are seen, floating over the main window's face.
#include "app/LoginActiveDlg.h"

#include "BuildSettings.h"
#include "app/LoginDlg.h"
#include "res/resource.h"
#include "skin/ConfirmDlg.h"

namespace {

// Run-time geometry in the panel's client pixels, which are PNG 155's pixels: the browser fills
// the face's dark frame, the buttons sit at the frame's upper-right corner.
constexpr RECT kBrowserRect = {560, 177, 560 + 631, 177 + 446};
// Taller than the 39-pixel frame it paints: the area below still takes clicks.
constexpr RECT kMinimizeRect = {1173, 137, 1173 + 39, 137 + 75};
constexpr RECT kCloseRect = {1208, 115, 1208 + 54, 115 + 54};

constexpr int kQuitCode = 16;

BOOL MoveTo(CWnd& wnd, const RECT& rc) {
    return wnd.MoveWindow(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
}

}  // namespace

CLoginActiveDlg::CLoginActiveDlg(CLoginDlg* pMainDlg) : m_pMainDlg(pMainDlg) {}

// The window has gone with its owner by now; the anchor map is freed without undoing its
// connections (the page that held them is gone too).
CLoginActiveDlg::~CLoginActiveDlg() { m_brushKey.DeleteObject(); }

void CLoginActiveDlg::DoDataExchange(CDataExchange* pDX) {
    CDialogEx::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_EXPLORER, m_browser);
    DDX_Control(pDX, IDC_BTN_MINIMIZE, m_btnMinimize);
    DDX_Control(pDX, IDC_BTN_CLOSE, m_btnClose);
}

BOOL CLoginActiveDlg::OnInitDialog() {
    CDialogEx::OnInitDialog();

    m_background.m_hWnd = m_hWnd;
    m_brushKey.Attach(::CreateSolidBrush(m_clrKey));

    // Every pixel of exactly the key colour vanishes and lets the mouse through to the main
    // window; everything else stays fully opaque.
    const LONG exStyle = ::GetWindowLongW(m_hWnd, GWL_EXSTYLE);
    if (!(exStyle & WS_EX_LAYERED)) ::SetWindowLongW(m_hWnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    const UpdateLayeredTool* tool = UpdateLayeredTool::GetInstance();
    if (tool && tool->m_pfnSetLayeredWindowAttributes)
        tool->m_pfnSetLayeredWindowAttributes(m_hWnd, m_clrKey, 255, LWA_COLORKEY | LWA_ALPHA);

    MoveTo(m_browser, kBrowserRect);

    VARIANT empty;
    ::VariantInit(&empty);
    // The page's click binding hands the panel's own IDispatch out as the anchors' event sink,
    // from the first document on.
    EnableAutomation();
    m_strLoginUrl = L"http://" LOGIN_PAGE_HOST L"/vorn2/login/index.php";
    m_browser.Navigate(m_strLoginUrl.c_str(), &empty, &empty, &empty, &empty);
    // Kept hidden until the first navigation has completed, so the face shows through meanwhile.
    m_browser.ShowWindow(SW_HIDE);

    InitButtons();
    ::VariantClear(&empty);
    return TRUE;
}

void CLoginActiveDlg::InitButtons() {
    m_btnMinimize.StartGdiPlus();
    m_btnClose.StartGdiPlus();
    // Each set-up brings its button to the top: the close button ends up above the minimise
    // button, and both above the browser.
    m_btnMinimize.SetPngImage(IDB_PNG_MINIMIZE);
    m_btnClose.SetPngImage(IDB_PNG_CLOSE);
    MoveTo(m_btnMinimize, kMinimizeRect);
    MoveTo(m_btnClose, kCloseRect);
}

void CLoginActiveDlg::OnMove(int /*x*/, int /*y*/) {
    // Only the leader drags: the follower's own move must not bounce back.
    if (!::IsWindow(m_hWnd) || !m_pMainDlg || !::IsWindow(m_pMainDlg->m_hWnd)) return;
    if (m_pMainDlg->m_bMainWindowLeads) return;
    RECT main{}, panel{};
    m_pMainDlg->GetWindowRect(&main);
    GetWindowRect(&panel);
    m_pMainDlg->MoveWindow(panel.left, panel.top, main.right - main.left, main.bottom - main.top,
                           TRUE);
}

LRESULT CLoginActiveDlg::OnNcHitTest(POINT /*point*/) {
    // Reached only on pixels of no child that are not key-coloured.
    if (m_pMainDlg) m_pMainDlg->m_bMainWindowLeads = FALSE;
    return Default() == HTCLIENT ? HTCAPTION : HTNOWHERE;
}

HBRUSH CLoginActiveDlg::OnCtlColor(CDC* /*pDC*/, CWnd* /*pWnd*/, UINT /*nCtlColor*/) {
    // The dialog's own background included: all of it becomes the invisible key colour.
    return m_brushKey;
}

void CLoginActiveDlg::OnBnClickedMinimize() {
    if (!m_pMainDlg) return;
    // The panel goes with its owner and comes back when the owner is restored. Windows hides
    // owned windows as part of minimising; Wine does so only for a minimise command given to the
    // active window, and the active window here is the panel. Hiding them first, the way the
    // system does, gives the same result on both.
    ::ShowOwnedPopups(m_pMainDlg->m_hWnd, FALSE);
    m_pMainDlg->ShowWindow(SW_MINIMIZE);
}

void CLoginActiveDlg::OnBnClickedClose() {
    CConfirmDlg dlg;
    if (dlg.DoModal() == IDOK) ::PostQuitMessage(kQuitCode);
}
