#pragma once
// A control site that also answers the hosted browser's request for IDocHostUIHandler: no 3-D
// border, no scroll bars, no context menu, no browser menus or toolbars, every key left to the
// control, and the script bridge as window.external.
#include <mshtmhst.h>

#include "framework/OleControl.h"

class CCustomControlSite : public COleControlSite {
public:
    explicit CCustomControlSite(COleControlContainer* pCtrlCont);
    ~CCustomControlSite() override;

    // Shares the site's identity and count: QueryInterface, AddRef and Release go to the site.
    class XDocHostUIHandler : public IDocHostUIHandler {
    public:
        explicit XDocHostUIHandler(CCustomControlSite* pThis) : m_pThis(pThis) {}
        STDMETHODIMP QueryInterface(REFIID riid, void** ppvObj) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;
        STDMETHODIMP ShowContextMenu(DWORD dwID, POINT* ppt, IUnknown* pcmdtReserved,
                                     IDispatch* pdispReserved) override;
        STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* pInfo) override;
        STDMETHODIMP ShowUI(DWORD dwID, IOleInPlaceActiveObject* pActiveObject,
                            IOleCommandTarget* pCommandTarget, IOleInPlaceFrame* pFrame,
                            IOleInPlaceUIWindow* pDoc) override;
        STDMETHODIMP HideUI() override;
        STDMETHODIMP UpdateUI() override;
        STDMETHODIMP EnableModeless(BOOL fEnable) override;
        STDMETHODIMP OnDocWindowActivate(BOOL fActivate) override;
        STDMETHODIMP OnFrameWindowActivate(BOOL fActivate) override;
        STDMETHODIMP ResizeBorder(LPCRECT prcBorder, IOleInPlaceUIWindow* pUIWindow,
                                  BOOL fRameWindow) override;
        STDMETHODIMP TranslateAccelerator(LPMSG lpMsg, const GUID* pguidCmdGroup,
                                          DWORD nCmdID) override;
        STDMETHODIMP GetOptionKeyPath(LPOLESTR* pchKey, DWORD dw) override;
        STDMETHODIMP GetDropTarget(IDropTarget* pDropTarget, IDropTarget** ppDropTarget) override;
        STDMETHODIMP GetExternal(IDispatch** ppDispatch) override;
        STDMETHODIMP TranslateUrl(DWORD dwTranslate, OLECHAR* pchURLIn,
                                  OLECHAR** ppchURLOut) override;
        STDMETHODIMP FilterDataObject(IDataObject* pDO, IDataObject** ppDORet) override;

    private:
        CCustomControlSite* m_pThis;  // the owning site
    };
    XDocHostUIHandler m_xDocHostUIHandler;

protected:
    DECLARE_INTERFACE_MAP()
};
