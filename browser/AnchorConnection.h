#pragma once
// One click connection of the login panel on a page anchor, as its anchor registry records it.
#include <windows.h>

#include "framework/ComPtr.h"
#include "framework/String.h"

struct AnchorConnection {
    ComPtr<IUnknown> pElement;  // the connected anchor; held until the entry is removed
    IID iidEvents{};            // the connection's event interface
    DWORD dwCookie = 0;         // what the advise returned; needed to undo it
    CString strHref;            // the anchor's href, the same text as the entry's key
};
