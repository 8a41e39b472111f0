#pragma once
// Shared steps of the browser host tests.
#include <oleidl.h>

#include "framework/ComPtr.h"

namespace test_browser {
// Installs the program's control-container manager and gives the application its script bridge,
// as the start-up does.
void InstallHost();
// The host UI handler the client site answers, checked operation by operation.
void ExpectFixedHostAnswers(IOleClientSite* pClientSite);
// The sink the site advised on the control's DWebBrowserEvents2 connection point (null if none).
ComPtr<IDispatch> AdvisedSink(IUnknown* pControl);
}  // namespace test_browser
