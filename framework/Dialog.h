#pragma once
// Dialogs from templates in the executable's resources. The dialog manager runs the window; the
// framework's modal loop replaces DialogBox so that a quit message can end the modal run.
// Items of a template whose class is a class id ("{...}") are OLE controls: the framework takes
// them out of the template before the dialog manager sees it and creates them itself (see
// framework/OleControl.h).
#include <vector>

#include "framework/DialogTemplate.h"
#include "framework/Wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

// Binds template item nIDC to rControl (once): the item's window is subclassed into the object,
// which runs its PreSubclassWindow. For an OLE control item the object is bound to the control's
// host window.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

class CDialog : public CWnd {
public:
    CDialog() = default;  // modeless: the template id is given to Create
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr)
        : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}
    ~CDialog() override;

    // Modeless creation from template nIDTemplate.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    // The modal run. Returns the EndDialog result; -1 when the window cannot be created, and -1
    // when the loop ends on a quit message, which is then posted again with the same code (and
    // recorded in AfxGetApp()->m_nQuitCode) so that enclosing loops end too.
    INT_PTR DoModal();
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();
    // IDOK and IDCANCEL commands (Enter, Esc and the close request as the dialog manager turns
    // them into commands) end the modal run with that result.
    virtual void OnOK();
    virtual void OnCancel();

    BOOL PreTranslateMessage(MSG* pMsg) override;

    UINT m_nIDTemplate = 0;
    CWnd* m_pParentWnd = nullptr;

protected:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND CreateFromTemplate(HWND hWndParent);
    BOOL HandleInitDialog();

    DECLARE_MESSAGE_MAP()

private:
    int m_nModalResult = -1;
    bool m_bModal = false;
    bool m_bEndModal = false;
    // OLE control items split off the template, created at WM_INITDIALOG.
    std::vector<DlgOleItem> m_oleItems;
};

// The class library's extended dialog; the program needs nothing beyond CDialog.
class CDialogEx : public CDialog {
public:
    using CDialog::CDialog;
};
