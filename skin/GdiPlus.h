#pragma once
// GDI+ with its C++ wrapper classes. Its headers use unqualified min and max, which windows.h
// does not define under NOMINMAX; give them the standard ones inside the GDI+ namespace.
#include <windows.h>
#include <objidl.h>

#include <algorithm>

namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus

#include <gdiplus.h>
