#pragma once
// Connection-point advise and unadvise between an event source and a sink.
#include <objbase.h>

// Connects pUnkSink to pUnkSrc's connection point for iid; the cookie goes to *pdwCookie.
// With bRefCount FALSE the connection keeps no lasting reference on the sink (the reference the
// source takes is given back), so a sink may connect itself without keeping itself alive.
BOOL AfxConnectionAdvise(IUnknown* pUnkSrc, REFIID iid, IUnknown* pUnkSink, BOOL bRefCount,
                         DWORD* pdwCookie);
// Ends the connection dwCookie. With bRefCount FALSE the reference the source gives up on the
// sink is added back first (and dropped again when the source refuses).
BOOL AfxConnectionUnadvise(IUnknown* pUnkSrc, REFIID iid, IUnknown* pUnkSink, BOOL bRefCount,
                           DWORD dwCookie);
