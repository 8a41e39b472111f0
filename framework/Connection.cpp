#include "framework/Connection.h"

#include <ocidl.h>

#include "framework/ComPtr.h"

namespace {
ComPtr<IConnectionPoint> FindPoint(IUnknown* pUnkSrc, REFIID iid) {
    ComPtr<IConnectionPoint> point;
    if (!pUnkSrc) return point;
    ComPtr<IConnectionPointContainer> container;
    if (FAILED(pUnkSrc->QueryInterface(IID_IConnectionPointContainer, container.PutVoid())) || !container)
        return point;
    if (FAILED(container->FindConnectionPoint(iid, point.Put()))) point.Reset();
    return point;
}
}  // namespace

BOOL AfxConnectionAdvise(IUnknown* pUnkSrc, REFIID iid, IUnknown* pUnkSink, BOOL bRefCount,
                         DWORD* pdwCookie) {
    if (!pUnkSink || !pdwCookie) return FALSE;
    ComPtr<IConnectionPoint> point = FindPoint(pUnkSrc, iid);
    if (!point) return FALSE;
    DWORD cookie = 0;
    if (FAILED(point->Advise(pUnkSink, &cookie))) return FALSE;
    *pdwCookie = cookie;
    // The source holds its reference until unadvise; give it back now.
    if (!bRefCount) pUnkSink->Release();
    return TRUE;
}

BOOL AfxConnectionUnadvise(IUnknown* pUnkSrc, REFIID iid, IUnknown* pUnkSink, BOOL bRefCount,
                           DWORD dwCookie) {
    if (!pUnkSink) return FALSE;
    ComPtr<IConnectionPoint> point = FindPoint(pUnkSrc, iid);
    if (!point) return FALSE;
    // The source releases the sink as the connection ends: restore the reference given back.
    if (!bRefCount) pUnkSink->AddRef();
    if (SUCCEEDED(point->Unadvise(dwCookie))) return TRUE;
    if (!bRefCount) pUnkSink->Release();
    return FALSE;
}
