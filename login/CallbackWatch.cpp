// The second road of the login result: the page navigates to a callback address carrying a code,
// and that whole address is what the client launcher gets. Every completed navigation, of the
// page or of any of its frames, is examined; the first one also uncovers the browser, which the
// panel keeps hidden while the first page loads.
#include <string_view>

#include "app/LoginActiveDlg.h"
#include "launch/LauncherDownload.h"
#include "login/LaunchArgument.h"

namespace {

// Both searched for case-sensitively, anywhere in the address.
constexpr std::wstring_view kCallbackMark = L"pavix/codeCallback.htm?code=";
constexpr std::wstring_view kNeedCodeMark = L"needCode=";

// The address the browser passed: a string, possibly behind references to variants (the control
// hands it as VT_BYREF|VT_VARIANT pointing at a VT_BSTR). Kept whole, NULs included. Anything
// else gives the empty text.
CString AddressText(const VARIANT* url) {
    // A few levels at most; a cycle of references cannot hold the loop.
    for (int depth = 0; url != nullptr && url->vt == (VT_BYREF | VT_VARIANT) && depth < 4; ++depth)
        url = url->pvarVal;
    if (url == nullptr) return CString();
    BSTR bstr = nullptr;
    if (url->vt == VT_BSTR)
        bstr = url->bstrVal;
    else if (url->vt == (VT_BYREF | VT_BSTR) && url->pbstrVal != nullptr)
        bstr = *url->pbstrVal;
    if (bstr == nullptr) return CString();
    return CString(bstr, SysStringLen(bstr));
}

// An address with a NUL in it is no callback: the command line would carry only its first part.
bool IsCallbackAddress(std::wstring_view address) {
    return address.find(kCallbackMark) != std::wstring_view::npos &&
           address.find(kNeedCodeMark) == std::wstring_view::npos &&
           address.find(L'\0') == std::wstring_view::npos;
}

}  // namespace

void CLoginActiveDlg::OnNavigateComplete2(LPDISPATCH /*pDisp*/, VARIANT* URL) {
    if (!m_browser.IsWindowVisible()) m_browser.ShowWindow(SW_SHOW);

    const CString address = AddressText(URL);
    if (!IsCallbackAddress(address)) return;
    SetLaunchArgument(address.c_str());
    LaunchGame();
    // Whatever the launch achieved, the page's links no longer need watching.
    DisconnectAnchors();
}

void CLoginActiveDlg::OnBeforeNavigate2(LPDISPATCH /*pDisp*/, VARIANT* /*URL*/,
                                        VARIANT* /*Flags*/, VARIANT* /*TargetFrameName*/,
                                        VARIANT* /*PostData*/, VARIANT* /*Headers*/,
                                        BOOL* /*Cancel*/) {
    // Every navigation goes ahead; the result is looked at only once it has completed.
}
