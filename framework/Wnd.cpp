#include "framework/Wnd.h"

#include <utility>

#include "framework/Dialog.h"
#include "framework/OleControl.h"
#include "framework/WinApp.h"

namespace {
// The property that binds a window to its object.
constexpr wchar_t kObjectProp[] = L"Launcher.CWnd";
}  // namespace

// While a dialog is being created, the first window made on the thread is bound to the object
// waiting in the application object, so that it sees WM_NCCREATE, WM_CREATE and WM_SETFONT too.
LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam) {
    CWinApp* app = AfxGetApp();
    HHOOK hook = app ? app->m_hHookCbt : nullptr;
    if (code == HCBT_CREATEWND && app && app->m_pWndInit) {
        CWnd* pWnd = std::exchange(app->m_pWndInit, nullptr);
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        pWnd->Attach(hWnd);
        pWnd->m_pfnSuper = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::WndProc)));
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

void CWnd::HookWindowCreate(CWnd* pWnd) {
    CWinApp* app = AfxGetApp();
    if (!app) return;
    app->m_pWndInit = pWnd;
    if (!app->m_hHookCbt)
        app->m_hHookCbt = SetWindowsHookExW(WH_CBT, AfxCbtFilterHook, nullptr, GetCurrentThreadId());
}

void CWnd::UnhookWindowCreate() {
    CWinApp* app = AfxGetApp();
    if (!app) return;
    app->m_pWndInit = nullptr;
    if (HHOOK hook = std::exchange(app->m_hHookCbt, nullptr)) UnhookWindowsHookEx(hook);
}

CWnd::CWnd() = default;

CWnd::~CWnd() {
    // A bound window outlives its object: it gets its own procedure back.
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) UnsubclassWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    return hWnd ? static_cast<CWnd*>(GetPropW(hWnd, kObjectProp)) : nullptr;
}

void CWnd::Attach(HWND hWnd) {
    m_hWnd = hWnd;
    SetPropW(hWnd, kObjectProp, this);
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (m_hWnd || !::IsWindow(hWnd) || FromHandlePermanent(hWnd)) return FALSE;
    Attach(hWnd);
    PreSubclassWindow();
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::WndProc)));
    return TRUE;
}

HWND CWnd::UnsubclassWindow() {
    HWND hWnd = std::exchange(m_hWnd, nullptr);
    if (!hWnd) return nullptr;
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hWnd, GWLP_WNDPROC)) == &CWnd::WndProc && m_pfnSuper)
        SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    if (GetPropW(hWnd, kObjectProp) == this) RemovePropW(hWnd, kObjectProp);
    m_pfnSuper = nullptr;
    return hWnd;
}

BOOL CWnd::DestroyWindow() { return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE; }

LRESULT CALLBACK CWnd::WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (!pWnd) return ::DefWindowProcW(hWnd, message, wParam, lParam);
    CurrentMsg saved = std::exchange(pWnd->m_current, CurrentMsg{message, wParam, lParam});
    LRESULT result = pWnd->WindowProc(message, wParam, lParam);
    pWnd->m_current = saved;
    if (message == WM_NCDESTROY) {
        // The window is gone: unbind, and end the program's run when it was the main window.
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hWnd, GWLP_WNDPROC)) == &CWnd::WndProc)
            SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pWnd->m_pfnSuper));
        RemovePropW(hWnd, kObjectProp);
        pWnd->m_hWnd = nullptr;
        pWnd->m_pfnSuper = nullptr;
        pWnd->m_tempWrappers.clear();
        CWinApp* app = AfxGetApp();
        if (app && app->m_pMainWnd == pWnd) PostQuitMessage(0);
        pWnd->PostNcDestroy();
    }
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) OnOleControlsDestroy();
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
    return result;
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    // Owner-draw reflection: the child's own object draws it.
    if (message == WM_DRAWITEM && lParam) {
        auto* dis = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
        if (dis->CtlType != ODT_MENU) {
            CWnd* pChild = FromHandlePermanent(dis->hwndItem);
            if (pChild && pChild != this) {
                pChild->DrawItem(dis);
                *pResult = TRUE;
                return true;
            }
        }
    }
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e) {
            if (message < e->nMessage || message > e->nLastMessage) continue;
            if (message == WM_COMMAND && (HIWORD(wParam) != e->nCode || LOWORD(wParam) != e->nID))
                continue;
            *pResult = e->pfn(this, message, wParam, lParam);
            return true;
        }
    }
    return false;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

void CWnd::DrawItem(LPDRAWITEMSTRUCT) {}

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}
const AFX_MSGMAP* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

void CWnd::OnOleControlsDestroy() {
    // Controls are closed while their host windows still exist.
    if (m_pCtrlCont) m_pCtrlCont->DestroyControls();
    m_pCtrlCont.reset();
}

// ---- window operations -------------------------------------------------------------------------
BOOL CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
    return ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}
BOOL CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint) {
    return MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left,
                      lpRect->bottom - lpRect->top, bRepaint);
}
BOOL CWnd::ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }
void CWnd::GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
void CWnd::GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
DWORD CWnd::GetStyle() const { return static_cast<DWORD>(GetWindowLongW(m_hWnd, GWL_STYLE)); }
DWORD CWnd::GetExStyle() const { return static_cast<DWORD>(GetWindowLongW(m_hWnd, GWL_EXSTYLE)); }

namespace {
BOOL ModifyLong(HWND hWnd, int nIndex, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    DWORD dwOld = static_cast<DWORD>(GetWindowLongW(hWnd, nIndex));
    DWORD dwNew = (dwOld & ~dwRemove) | dwAdd;
    if (dwOld == dwNew) return FALSE;
    SetWindowLongW(hWnd, nIndex, static_cast<LONG>(dwNew));
    if (nFlags)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}
}  // namespace

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    return ModifyLong(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}
BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    return ModifyLong(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}
BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
    return ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx, cy,
                          nFlags);
}
void CWnd::InvalidateRect(LPCRECT lpRect, BOOL bErase) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
void CWnd::Invalidate(BOOL bErase) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
void CWnd::SetWindowTextW(LPCWSTR lpszString) { ::SetWindowTextW(m_hWnd, lpszString); }

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
    RECT rcArea{}, rcCenter{};
    if (GetStyle() & WS_CHILD) {
        ::GetClientRect(::GetParent(m_hWnd), &rcArea);
        rcCenter = rcArea;
    } else {
        HWND hCenter = pAlternateOwner ? pAlternateOwner->m_hWnd : ::GetWindow(m_hWnd, GW_OWNER);
        if (hCenter && (!::IsWindowVisible(hCenter) || ::IsIconic(hCenter))) hCenter = nullptr;
        MONITORINFO mi{};
        mi.cbSize = sizeof(mi);
        GetMonitorInfoW(MonitorFromWindow(hCenter ? hCenter : m_hWnd, MONITOR_DEFAULTTONEAREST), &mi);
        rcArea = mi.rcWork;
        if (hCenter)
            ::GetWindowRect(hCenter, &rcCenter);
        else
            rcCenter = rcArea;
    }
    RECT rc{};
    ::GetWindowRect(m_hWnd, &rc);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    int x = (rcCenter.left + rcCenter.right) / 2 - w / 2;
    int y = (rcCenter.top + rcCenter.bottom) / 2 - h / 2;
    // Keep the window inside the area where it can.
    if (x + w > rcArea.right) x = rcArea.right - w;
    if (x < rcArea.left) x = rcArea.left;
    if (y + h > rcArea.bottom) y = rcArea.bottom - h;
    if (y < rcArea.top) y = rcArea.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CWnd* CWnd::WrapHandle(HWND hWnd) const {
    if (!hWnd) return nullptr;
    if (CWnd* pWnd = FromHandlePermanent(hWnd)) return pWnd;
    std::unique_ptr<CWnd>& slot = m_tempWrappers[hWnd];
    if (!slot) {
        slot = std::make_unique<CWnd>();
        slot->m_hWnd = hWnd;  // not bound: the wrapper never touches the window's procedure
    }
    return slot.get();
}

CWnd* CWnd::GetDlgItem(int nID) const { return WrapHandle(::GetDlgItem(m_hWnd, nID)); }
int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
LRESULT CWnd::SendMessageW(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}
BOOL CWnd::PostMessageW(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
}
HDC CWnd::GetDC() { return ::GetDC(m_hWnd); }
HDC CWnd::GetWindowDC() { return ::GetWindowDC(m_hWnd); }
int CWnd::ReleaseDC(HDC hDC) { return ::ReleaseDC(m_hWnd, hDC); }

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

// ---- default handlers --------------------------------------------------------------------------
void CWnd::OnMove(int, int) { Default(); }
LRESULT CWnd::OnNcHitTest(POINT) { return Default(); }
HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }
void CWnd::OnPaint() { Default(); }
HCURSOR CWnd::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnMouseMove(UINT, POINT) { Default(); }
void CWnd::OnLButtonDown(UINT, POINT) { Default(); }
void CWnd::OnLButtonUp(UINT, POINT) { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }

// ---- OLE controls ------------------------------------------------------------------------------
COleControlContainer* CWnd::GetControlContainer() {
    if (!m_pCtrlCont) {
        COccManager* pManager = AfxGetOccManager();
        if (!pManager || !m_hWnd) return nullptr;
        m_pCtrlCont.reset(pManager->CreateContainer(this));
    }
    return m_pCtrlCont.get();
}

BOOL CWnd::CreateControl(REFCLSID clsid, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                         CWnd* pParentWnd, UINT nID, IStream* pPersist, BOOL, BSTR) {
    if (m_hWnd || !pParentWnd) return FALSE;
    COleControlContainer* pCont = pParentWnd->GetControlContainer();
    if (!pCont) return FALSE;
    COleControlSite* pSite = pCont->CreateControl(clsid, lpszWindowName, dwStyle, rect, nID, pPersist);
    return pSite && SubclassWindow(pSite->m_hWnd);
}

COleControlSite* CWnd::GetControlSite() const { return COleControlSite::FromHostWindow(m_hWnd); }

IUnknown* CWnd::GetControlUnknown() const {
    COleControlSite* pSite = GetControlSite();
    return pSite ? pSite->GetControlUnknown() : nullptr;
}

HRESULT CWnd::InvokeHelperV(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                            const BYTE* pbParamInfo, VARIANT* rgArgs, UINT cArgs) {
    COleControlSite* pSite = GetControlSite();
    if (!pSite) return E_UNEXPECTED;
    return pSite->InvokeHelperV(dwDispID, wFlags, vtRet, pvRet, pbParamInfo, rgArgs, cArgs);
}

BOOL AfxPreTranslateMessage(MSG* pMsg) {
    const bool bKey = pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST;
    for (HWND hWnd = pMsg->hwnd; hWnd;) {
        if (bKey) {
            if (COleControlSite* pSite = COleControlSite::FromHostWindow(hWnd))
                if (pSite->TranslateAccelerator(pMsg)) return TRUE;
        }
        if (CWnd* pWnd = CWnd::FromHandlePermanent(hWnd))
            if (pWnd->PreTranslateMessage(pMsg)) return TRUE;
        if (!(GetWindowLongW(hWnd, GWL_STYLE) & WS_CHILD)) break;
        hWnd = ::GetParent(hWnd);
    }
    return FALSE;
}
