#pragma once
// CWnd: a C++ object bound to a window. The framework's window procedure finds the object through
// a window property and routes each message through the object's message map (most derived class
// first); whatever no entry takes goes to DefWindowProc, i.e. the window's original procedure.
#include <windows.h>

#include <array>
#include <map>
#include <memory>
#include <type_traits>

#include "framework/CmdTarget.h"
#include "framework/Gdi.h"

class CDataExchange;
class COleControlContainer;
class COleControlSite;
struct CCreateContext;

class CWnd;
// One message map entry. Window messages match nMessage..nLastMessage; WM_COMMAND entries also
// match the notification code and control id.
struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nLastMessage;
    UINT nCode;
    UINT nID;
    LRESULT (*pfn)(CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam);
};
struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;  // ends with an entry whose pfn is null
};

class CWnd : public CCmdTarget {
public:
    CWnd();
    ~CWnd() override;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object bound to hWnd by SubclassWindow or creation, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // Binds the object to an existing window (its procedure is replaced by the framework's).
    BOOL SubclassWindow(HWND hWnd);
    HWND UnsubclassWindow();
    virtual void PreSubclassWindow() {}
    virtual BOOL DestroyWindow();

    // Window operations the program uses.
    BOOL MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    BOOL MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    void GetWindowRect(LPRECT lpRect) const;
    void GetClientRect(LPRECT lpRect) const;
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
    void Invalidate(BOOL bErase = TRUE);
    void SetWindowTextW(LPCWSTR lpszString);
    // Centres the window over pAlternateOwner, else over its owner when that is visible, else on
    // the work area of its monitor (a child window: in its parent's client area).
    void CenterWindow(CWnd* pAlternateOwner = nullptr);
    // The object of a child window: the bound one if there is one, else a wrapper kept by this
    // window until it is destroyed.
    CWnd* GetDlgItem(int nID) const;
    int GetDlgCtrlID() const;
    LRESULT SendMessageW(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessageW(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    HDC GetDC();
    HDC GetWindowDC();
    int ReleaseDC(HDC hDC);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // Message processing. Default() is the default processing of the message being handled.
    LRESULT Default();
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Reached through the parent's WM_DRAWITEM for an owner-drawn child bound to this object.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    virtual void DoDataExchange(CDataExchange*) {}
    virtual void PostNcDestroy() {}
    // Windows belong to their C++ owners: the COM count reaching zero (a page dropping the last
    // connection to the window's IDispatch, say) never deletes the object.
    void OnFinalRelease() override {}

    // OLE control hosting. A control lives in a host child window that carries the item's id
    // and rectangle; a CWnd bound to that window drives the control.
    BOOL CreateControl(REFCLSID clsid, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, UINT nID, IStream* pPersist = nullptr,
                       BOOL bStorage = FALSE, BSTR bstrLicKey = nullptr);
    IUnknown* GetControlUnknown() const;
    COleControlSite* GetControlSite() const;
    // The container of the OLE controls this window holds (created on first use, when a control
    // container manager is installed).
    COleControlContainer* GetControlContainer();

    // Automation of the hosted control. Arguments by C++ type: LPCWSTR/BSTR (VTS_BSTR),
    // VARIANT* (VTS_PVARIANT), IDispatch* (VTS_DISPATCH), long/int (VTS_I4). vtRet VT_DISPATCH
    // hands a counted IDispatch* to the caller. Failures are returned, never thrown.
    template <class... Args>
    HRESULT InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                         const BYTE* pbParamInfo, Args... args);
    template <class... Args>
    HRESULT InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                         const char* pbParamInfo, Args... args) {
        return InvokeHelper(dwDispID, wFlags, vtRet, pvRet,
                            reinterpret_cast<const BYTE*>(pbParamInfo), args...);
    }
    // rgArgs in caller's order (first argument first).
    HRESULT InvokeHelperV(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                          const BYTE* pbParamInfo, VARIANT* rgArgs, UINT cArgs);

    // Default handlers: each does the default processing of its message.
    void OnMove(int x, int y);
    LRESULT OnNcHitTest(POINT point);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnTimer(UINT_PTR nIDEvent);
    void OnShowWindow(BOOL bShow, UINT nStatus);
    void OnClose();
    void OnMouseMove(UINT nFlags, POINT point);
    void OnLButtonDown(UINT nFlags, POINT point);
    void OnLButtonUp(UINT nFlags, POINT point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    BOOL OnEraseBkgnd(CDC* pDC);

    // A wrapper object for a window that has no bound object, kept until this window goes.
    CWnd* WrapHandle(HWND hWnd) const;

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // Subclasses the window about to be created by this thread (dialog creation), so that the
    // object sees its first messages. No effect without an application object.
    static void HookWindowCreate(CWnd* pWnd);
    static void UnhookWindowCreate();

protected:
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    void OnOleControlsDestroy();
    void Attach(HWND hWnd);
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    friend LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam);

    WNDPROC m_pfnSuper = nullptr;
    std::unique_ptr<COleControlContainer> m_pCtrlCont;

private:
    struct CurrentMsg {
        UINT message = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
    };
    CurrentMsg m_current;
    mutable std::map<HWND, std::unique_ptr<CWnd>> m_tempWrappers;
};

// Walks from the message's window up to its top-level window, offering the message to each bound
// object's PreTranslateMessage and to hosted controls' accelerators. TRUE: the message is done.
BOOL AfxPreTranslateMessage(MSG* pMsg);

namespace afx {
struct InvokeArgs {
    VARIANT v{};
    bool owned = false;  // a BSTR made here
    void Set(LPCWSTR s) { v.vt = VT_BSTR; v.bstrVal = SysAllocString(s); owned = true; }
    void Set(VARIANT* p) { v.vt = VT_VARIANT | VT_BYREF; v.pvarVal = p; }
    void Set(IDispatch* p) { v.vt = VT_DISPATCH; v.pdispVal = p; }
    void Set(long n) { v.vt = VT_I4; v.lVal = n; }
    void Set(int n) { Set(static_cast<long>(n)); }
    ~InvokeArgs() { if (owned) SysFreeString(v.bstrVal); }
};
}  // namespace afx

template <class... Args>
HRESULT CWnd::InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                           const BYTE* pbParamInfo, Args... args) {
    std::array<afx::InvokeArgs, sizeof...(Args) + 1> packed;  // +1: never a zero-sized array
    std::size_t i = 0;
    ((packed[i++].Set(args)), ...);
    std::array<VARIANT, sizeof...(Args) + 1> rg{};
    for (std::size_t k = 0; k < sizeof...(Args); ++k) rg[k] = packed[k].v;
    return InvokeHelperV(dwDispID, wFlags, vtRet, pvRet, pbParamInfo, rg.data(),
                         static_cast<UINT>(sizeof...(Args)));
}

// ---- message map macros ------------------------------------------------------------------------
#define DECLARE_MESSAGE_MAP()                          \
protected:                                             \
    static const AFX_MSGMAP* GetThisMessageMap();      \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                         \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                  \
        using ThisClass = theClass;                                                    \
        using TheBaseClass = baseClass;                                                \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                  \
    {0, 0, 0, 0, nullptr}                                                                  \
    }                                                                                      \
    ;                                                                                      \
    static_assert(std::is_base_of_v<TheBaseClass, ThisClass>);                             \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, _messageEntries}; \
    return &messageMap;                                                                    \
    }

#define AFX_MSG_ENTRY(msg, body) \
    {msg, msg, 0, 0, [](CWnd* pWnd, UINT, WPARAM wParam, LPARAM lParam) -> LRESULT { \
         [[maybe_unused]] ThisClass* pThis = static_cast<ThisClass*>(pWnd);           \
         (void)wParam; (void)lParam;                                                  \
         body }},

#define AFX_LPARAM_POINT(l) POINT{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))}

#define ON_WM_MOVE() \
    AFX_MSG_ENTRY(WM_MOVE, pThis->OnMove(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))); return 0;)
#define ON_WM_NCHITTEST() \
    AFX_MSG_ENTRY(WM_NCHITTEST, return pThis->OnNcHitTest(AFX_LPARAM_POINT(lParam));)
#define ON_WM_PAINT() AFX_MSG_ENTRY(WM_PAINT, pThis->OnPaint(); return 0;)
#define ON_WM_QUERYDRAGICON() \
    AFX_MSG_ENTRY(WM_QUERYDRAGICON, return reinterpret_cast<LRESULT>(pThis->OnQueryDragIcon());)
#define ON_WM_CREATE() \
    AFX_MSG_ENTRY(WM_CREATE, return pThis->OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam));)
#define ON_WM_TIMER() AFX_MSG_ENTRY(WM_TIMER, pThis->OnTimer(static_cast<UINT_PTR>(wParam)); return 0;)
#define ON_WM_SHOWWINDOW() \
    AFX_MSG_ENTRY(WM_SHOWWINDOW, pThis->OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam)); return 0;)
#define ON_WM_CLOSE() AFX_MSG_ENTRY(WM_CLOSE, pThis->OnClose(); return 0;)
#define ON_WM_MOUSEMOVE() \
    AFX_MSG_ENTRY(WM_MOUSEMOVE, pThis->OnMouseMove(static_cast<UINT>(wParam), AFX_LPARAM_POINT(lParam)); return 0;)
#define ON_WM_LBUTTONDOWN() \
    AFX_MSG_ENTRY(WM_LBUTTONDOWN, pThis->OnLButtonDown(static_cast<UINT>(wParam), AFX_LPARAM_POINT(lParam)); return 0;)
#define ON_WM_LBUTTONUP() \
    AFX_MSG_ENTRY(WM_LBUTTONUP, pThis->OnLButtonUp(static_cast<UINT>(wParam), AFX_LPARAM_POINT(lParam)); return 0;)
#define ON_WM_SETCURSOR()                                                                   \
    AFX_MSG_ENTRY(WM_SETCURSOR, return pThis->OnSetCursor(pThis->WrapHandle(reinterpret_cast<HWND>(wParam)), \
                                                          LOWORD(lParam), HIWORD(lParam));)
#define ON_WM_ERASEBKGND()                                          \
    AFX_MSG_ENTRY(WM_ERASEBKGND, CDC dc(reinterpret_cast<HDC>(wParam)); \
                  return pThis->OnEraseBkgnd(&dc);)
// Every WM_CTLCOLOR* message, the dialog's own (WM_CTLCOLORDLG) included; nCtlColor is CTLCOLOR_*.
#define ON_WM_CTLCOLOR()                                                                         \
    {WM_CTLCOLORMSGBOX, WM_CTLCOLORSTATIC, 0, 0,                                                 \
     [](CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {                     \
         ThisClass* pThis = static_cast<ThisClass*>(pWnd);                                       \
         CDC dc(reinterpret_cast<HDC>(wParam));                                                  \
         return reinterpret_cast<LRESULT>(pThis->OnCtlColor(                                     \
             &dc, pThis->WrapHandle(reinterpret_cast<HWND>(lParam)), message - WM_CTLCOLORMSGBOX)); \
     }},
// LRESULT memberFxn(WPARAM, LPARAM)
#define ON_MESSAGE(message, memberFxn)                                            \
    {message, message, 0, 0, [](CWnd* pWnd, UINT, WPARAM wParam, LPARAM lParam) -> LRESULT { \
         return (static_cast<ThisClass*>(pWnd)->*(memberFxn))(wParam, lParam);   \
     }},
// void memberFxn(), written &CClass::OnSomething.
#define ON_COMMAND(id, memberFxn)                                                 \
    {WM_COMMAND, WM_COMMAND, 0, static_cast<UINT>(id),                            \
     [](CWnd* pWnd, UINT, WPARAM, LPARAM) -> LRESULT {                            \
         (static_cast<ThisClass*>(pWnd)->*(memberFxn))();                         \
         return 0;                                                                \
     }},
#define ON_BN_CLICKED(id, memberFxn) ON_COMMAND(id, memberFxn)
