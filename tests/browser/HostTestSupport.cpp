#include "tests/browser/HostTestSupport.h"

#include <exdisp.h>
#include <mshtmhst.h>
#include <ocidl.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "app/LoginApp.h"
#include "browser/CustomOccManager.h"
#include "login/ImpIDispatch.h"

namespace test_browser {

void InstallHost() {
    static CCustomOccManager manager;
    AfxEnableControlContainer(&manager);
    if (!theApp.m_pScriptBridge) theApp.m_pScriptBridge = std::make_unique<CImpIDispatch>();
}

void ExpectFixedHostAnswers(IOleClientSite* pClientSite) {
    ComPtr<IDocHostUIHandler> handler;
    ASSERT_EQ(pClientSite->QueryInterface(IID_IDocHostUIHandler, handler.PutVoid()), S_OK);
    ASSERT_TRUE(handler);
    ComPtr<IUnknown> a, b;
    handler->QueryInterface(IID_IUnknown, a.PutVoid());
    pClientSite->QueryInterface(IID_IUnknown, b.PutVoid());
    EXPECT_EQ(a.Get(), b.Get()) << "the handler shares the site's identity";

    DOCHOSTUIINFO info{};
    info.cbSize = 12345;  // left as the caller set it
    OLECHAR css[] = L"css";
    info.pchHostCss = css;
    info.dwFlags = 0xFFFF0000;
    info.dwDoubleClick = 7;
    EXPECT_EQ(handler->GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.dwFlags, 0xCu) << "no 3-D border, no scroll bars";
    EXPECT_EQ(info.dwDoubleClick, static_cast<DWORD>(DOCHOSTUIDBLCLK_DEFAULT));
    EXPECT_EQ(info.cbSize, 12345u);
    EXPECT_EQ(info.pchHostCss, css);
    EXPECT_EQ(info.pchHostNS, nullptr);

    POINT pt{10, 10};
    MSG msg{};
    const HRESULT notImpl = E_NOTIMPL;
    struct Case {
        const char* what;
        HRESULT actual;
        HRESULT expected;
    } cases[] = {
        {"ShowContextMenu", handler->ShowContextMenu(CONTEXT_MENU_DEFAULT, &pt, nullptr, nullptr), S_OK},
        {"ShowUI", handler->ShowUI(DOCHOSTUITYPE_BROWSE, nullptr, nullptr, nullptr, nullptr), S_OK},
        {"HideUI", handler->HideUI(), S_OK},
        {"UpdateUI", handler->UpdateUI(), S_OK},
        {"EnableModeless", handler->EnableModeless(TRUE), notImpl},
        {"OnDocWindowActivate", handler->OnDocWindowActivate(TRUE), notImpl},
        {"OnFrameWindowActivate", handler->OnFrameWindowActivate(TRUE), notImpl},
        {"ResizeBorder", handler->ResizeBorder(nullptr, nullptr, TRUE), notImpl},
        {"TranslateAccelerator", handler->TranslateAccelerator(&msg, nullptr, 0), S_FALSE},
        {"GetOptionKeyPath", handler->GetOptionKeyPath(nullptr, 0), notImpl},
        {"GetDropTarget", handler->GetDropTarget(nullptr, nullptr), notImpl},
        {"TranslateUrl", handler->TranslateUrl(0, nullptr, nullptr), notImpl},
        {"FilterDataObject", handler->FilterDataObject(nullptr, nullptr), notImpl},
    };
    for (const Case& c : cases) EXPECT_EQ(c.actual, c.expected) << c.what;

    // window.external: the one script bridge, one reference per request.
    CImpIDispatch* bridge = theApp.m_pScriptBridge.get();
    ASSERT_NE(bridge, nullptr);
    const ULONG before = bridge->m_cRef;
    IDispatch* first = nullptr;
    IDispatch* second = nullptr;
    EXPECT_EQ(handler->GetExternal(&first), S_OK);
    EXPECT_EQ(handler->GetExternal(&second), S_OK);
    EXPECT_EQ(first, static_cast<IDispatch*>(bridge));
    EXPECT_EQ(second, first);
    EXPECT_EQ(bridge->m_cRef, before + 2);
    if (first) first->Release();
    if (second) second->Release();
    EXPECT_EQ(bridge->m_cRef, before);
}

ComPtr<IDispatch> AdvisedSink(IUnknown* pControl) {
    ComPtr<IDispatch> sink;
    ComPtr<IConnectionPointContainer> container;
    ComPtr<IConnectionPoint> point;
    ComPtr<IEnumConnections> connections;
    if (FAILED(pControl->QueryInterface(IID_IConnectionPointContainer, container.PutVoid())) || !container ||
        FAILED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.Put())) || !point ||
        FAILED(point->EnumConnections(connections.Put())) || !connections)
        return sink;
    CONNECTDATA data{};
    ULONG fetched = 0;
    // Wine's enumerator hands the sink back without adding a reference of its own, so the sink
    // in CONNECTDATA is not released here: that would take away one of the site's references
    // and free it while the control still holds it. (Where Next does add one, a test leaks it.)
    if (connections->Next(1, &data, &fetched) == S_OK && fetched == 1 && data.pUnk)
        data.pUnk->QueryInterface(IID_IDispatch, sink.PutVoid());
    return sink;
}

}  // namespace test_browser

namespace {
// A crash ends the test program with a message instead of waiting on Wine's debugger.
LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info) {
    fprintf(stderr, "crash: exception 0x%08lx at %p\n", info->ExceptionRecord->ExceptionCode,
            info->ExceptionRecord->ExceptionAddress);
    fflush(stderr);
    ExitProcess(3);
}
const LPTOP_LEVEL_EXCEPTION_FILTER kPrevious = SetUnhandledExceptionFilter(ReportCrash);
}  // namespace
