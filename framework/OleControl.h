#pragma once
// OLE control containment: the manager the application installs, the container a window gets
// for its controls, and the site each control talks to.
//
// Each control lives in a host window of its own: a child of the dialog carrying the template
// item's id, style and rectangle, with the control in-place active inside it. Moving, showing or
// hiding that window (through the CWnd bound to it by DDX_Control) therefore applies to the
// control, and the control is resized with it.
//
// The site answers the control's calls as a plain, always-active, user-mode container, and
// connects itself to the control's default event interface: events go to the owning window's
// event sink map, under the control's id.
#include <memory>
#include <vector>

#include "framework/CmdTarget.h"
#include "framework/ComPtr.h"

class CWnd;
class COleControlContainer;
class COleControlSite;

class COccManager {
public:
    COccManager() = default;
    virtual ~COccManager() = default;
    COccManager(const COccManager&) = delete;
    COccManager& operator=(const COccManager&) = delete;

    virtual COleControlContainer* CreateContainer(CWnd* pWnd);
    // A new site for a control of pCtrlCont (null: the control cannot be created). The container
    // owns the site's first reference.
    virtual COleControlSite* CreateSite(COleControlContainer* pCtrlCont);
};

// Installs pOccManager (kept by the application object; null: a plain manager the application
// object owns). Windows created afterwards can hold OLE controls.
void AfxEnableControlContainer(COccManager* pOccManager = nullptr);
// The installed manager, or null.
COccManager* AfxGetOccManager();

class COleControlContainer {
public:
    explicit COleControlContainer(CWnd* pWnd);
    virtual ~COleControlContainer();
    COleControlContainer(const COleControlContainer&) = delete;
    COleControlContainer& operator=(const COleControlContainer&) = delete;

    // Creates a control in a new host window (rect in the window's client pixels). pPersist: the
    // control's saved state (IPersistStreamInit::Load), else it starts new (InitNew).
    COleControlSite* CreateControl(REFCLSID clsid, LPCWSTR lpszWindowName, DWORD dwStyle,
                                   const RECT& rect, UINT nID, IStream* pPersist);
    // Closes every control and gives up the sites (on the window's WM_DESTROY).
    void DestroyControls();
    COleControlSite* FindSite(UINT nID) const;

    CWnd* m_pWnd;
    std::vector<COleControlSite*> m_sites;  // one reference each
};

class COleControlSite : public CCmdTarget {
public:
    explicit COleControlSite(COleControlContainer* pCtrlCont);
    ~COleControlSite() override;

    HRESULT CreateControl(REFCLSID clsid, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                          UINT nID, IStream* pPersist);
    void DestroyControl();

    // The site of a control host window, or null.
    static COleControlSite* FromHostWindow(HWND hWnd);

    // Automation of the control; rgArgs in caller's order. See CWnd::InvokeHelper.
    HRESULT InvokeHelperV(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                          const BYTE* pbParamInfo, VARIANT* rgArgs, UINT cArgs);
    // Offers a keyboard message to the in-place active control. TRUE: it took it.
    BOOL TranslateAccelerator(MSG* pMsg);
    IUnknown* GetControlUnknown() const { return m_pObject.Get(); }
    // The sink the site connects to the control's event interface.
    IDispatch* GetEventSink();

    COleControlContainer* m_pCtrlCont;
    HWND m_hWnd = nullptr;  // the host window
    UINT m_nID = 0;
    ComPtr<IUnknown> m_pObject;
    ComPtr<IOleObject> m_pOleObject;
    ComPtr<IOleInPlaceObject> m_pInPlaceObject;
    IID m_iidEvents = IID_NULL;
    DWORD m_dwEventSink = 0;

protected:
    DECLARE_INTERFACE_MAP()

private:
    static LRESULT CALLBACK HostWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    void SetObjectRects();
    void ConnectEvents();

    struct Parts;  // the nested interface implementations
    std::unique_ptr<Parts> m_pParts;
};
