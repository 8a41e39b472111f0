#pragma once
// Reading dialog templates: the OLE control items are split off before the dialog manager sees
// the template, and their saved state is found in the template's dialog-init resource.
#include <windows.h>

#include <vector>

struct DlgOleItem {
    CLSID clsid;
    UINT nID;
    DWORD dwStyle;
    DWORD dwExStyle;
    RECT rcDlgUnits;  // left, top, right, bottom in dialog units
    UINT nIDPrev;     // the item before it in the template (0: none), for the Z-order
    bool bHasPrev;
};

struct DlgTemplateSplit {
    std::vector<BYTE> bytes;  // the template without OLE items (DWORD-aligned storage)
    std::vector<DlgOleItem> oleItems;
};

// Splits a DLGTEMPLATE or DLGTEMPLATEEX of cb bytes. False when the template is malformed.
bool SplitDialogTemplate(const void* pTemplate, size_t cb, DlgTemplateSplit& out);

// The saved state for control nCtrlID in the dialog-init resource (type 240) of template
// nIDTemplate: the data of its record with message 0x0376 (load from a stream). Empty if none.
std::vector<BYTE> FindDlgInitStream(HINSTANCE hInst, UINT nIDTemplate, UINT nCtrlID);
