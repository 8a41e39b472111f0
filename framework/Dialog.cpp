#include "framework/Dialog.h"

#include <shlwapi.h>

#include "framework/ComPtr.h"
#include "framework/OleControl.h"
#include "framework/WinApp.h"

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd || !pDX || !pDX->m_pDlgWnd) return;  // bound once, on the first exchange
    if (HWND hWnd = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC)) rControl.SubclassWindow(hWnd);
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::~CDialog() {
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) ::DestroyWindow(m_hWnd);
}

HWND CDialog::CreateFromTemplate(HWND hWndParent) {
    LPCWSTR name = MAKEINTRESOURCEW(m_nIDTemplate);
    HINSTANCE hInst = AfxFindResourceHandle(name, RT_DIALOG);
    HRSRC hRes = FindResourceW(hInst, name, RT_DIALOG);
    HGLOBAL hGlobal = hRes ? LoadResource(hInst, hRes) : nullptr;
    const void* pTemplate = hGlobal ? LockResource(hGlobal) : nullptr;
    if (!pTemplate) return nullptr;
    DlgTemplateSplit split;
    if (!SplitDialogTemplate(pTemplate, SizeofResource(hInst, hRes), split)) return nullptr;
    m_oleItems = std::move(split.oleItems);

    HookWindowCreate(this);
    HWND hWnd = CreateDialogIndirectParamW(
        hInst, reinterpret_cast<LPCDLGTEMPLATEW>(split.bytes.data()), hWndParent,
        &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    UnhookWindowCreate();
    m_oleItems.clear();
    return hWnd;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG || !lParam) return FALSE;
    auto* pDlg = reinterpret_cast<CDialog*>(lParam);
    if (!FromHandlePermanent(hWnd)) {
        // No application object to hook the creation: bind now.
        pDlg->Attach(hWnd);
        pDlg->m_pfnSuper = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::WndProc)));
    }
    return pDlg->HandleInitDialog();
}

BOOL CDialog::HandleInitDialog() {
    // The OLE control items, in template order, each placed in the Z-order (and so the tab
    // order) where the template has it. A control that cannot be created is left out; the rest
    // of the dialog goes on.
    if (!m_oleItems.empty()) {
        if (COleControlContainer* pCont = GetControlContainer()) {
            HINSTANCE hInst = AfxFindResourceHandle(MAKEINTRESOURCEW(m_nIDTemplate), RT_DIALOG);
            for (const DlgOleItem& item : m_oleItems) {
                RECT rc = item.rcDlgUnits;
                MapDialogRect(m_hWnd, &rc);
                std::vector<BYTE> state = FindDlgInitStream(hInst, m_nIDTemplate, item.nID);
                ComPtr<IStream> stream;
                if (!state.empty())
                    stream = ComPtr<IStream>::Attach(
                        SHCreateMemStream(state.data(), static_cast<UINT>(state.size())));
                COleControlSite* pSite =
                    pCont->CreateControl(item.clsid, nullptr, item.dwStyle, rc, item.nID, stream.Get());
                if (!pSite) continue;
                HWND hAfter = item.bHasPrev ? ::GetDlgItem(m_hWnd, static_cast<int>(item.nIDPrev)) : HWND_TOP;
                if (hAfter)
                    ::SetWindowPos(pSite->m_hWnd, hAfter, 0, 0, 0, 0,
                                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            }
        }
        m_oleItems.clear();
    }
    return OnInitDialog();
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    if (m_hWnd) return FALSE;
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParentWnd;
    m_bModal = false;
    return CreateFromTemplate(pParentWnd ? pParentWnd->m_hWnd : nullptr) != nullptr;
}

INT_PTR CDialog::DoModal() {
    if (m_hWnd) return -1;
    CWinApp* app = AfxGetApp();
    // The owner: the given parent, else the application's main window (not this one).
    HWND hOwner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!hOwner && app && app->m_pMainWnd && app->m_pMainWnd != this) hOwner = app->m_pMainWnd->m_hWnd;
    if (hOwner && !::IsWindow(hOwner)) hOwner = nullptr;
    if (hOwner) hOwner = GetAncestor(hOwner, GA_ROOT);

    m_bModal = true;
    m_bEndModal = false;
    m_nModalResult = -1;
    HWND hWnd = CreateFromTemplate(hOwner);
    if (!hWnd || !m_hWnd) {
        m_bModal = false;
        return -1;
    }
    bool bEnableOwner = false;
    if (hOwner && ::IsWindowEnabled(hOwner)) {
        EnableWindow(hOwner, FALSE);
        bEnableOwner = true;
    }
    if (!m_bEndModal && !IsWindowVisible()) ShowWindow(SW_SHOWNORMAL);

    bool bQuit = false;
    int nQuitCode = 0;
    while (!m_bEndModal && m_hWnd) {
        MSG msg;
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            bQuit = true;
            nQuitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (!AfxPreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    m_bModal = false;

    if (bEnableOwner) EnableWindow(hOwner, TRUE);
    if (m_hWnd) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (hOwner && ::GetActiveWindow() == m_hWnd) SetActiveWindow(hOwner);
        ::DestroyWindow(m_hWnd);
    }
    if (bQuit) {
        // Posted after the window is gone, so that this code is the one the next loop sees.
        if (app) app->m_nQuitCode = nQuitCode;
        PostQuitMessage(nQuitCode);
        return -1;
    }
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult) {
    m_nModalResult = nResult;
    if (m_bModal) {
        m_bEndModal = true;
        if (m_hWnd) ::PostMessageW(m_hWnd, WM_NULL, 0, 0);  // wakes the loop
    } else if (m_hWnd) {
        ::EndDialog(m_hWnd, nResult);
    }
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() { EndDialog(IDOK); }
void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::PreTranslateMessage(MSG* pMsg) { return m_hWnd && IsDialogMessageW(m_hWnd, pMsg); }
