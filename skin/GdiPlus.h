#pragma once
// GDI+ with its C++ wrapper classes. Its headers use unqualified min and max, which windows.h
// does not define under NOMINMAX; give them the standard ones inside the GDI+ namespace.
#include <windows.h>
#include <objidl.h>

#include <algorithm>
#include <memory>
#include <new>
#include <utility>

namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus

#include <gdiplus.h>

// A new GDI+ wrapper object (Image, Graphics, ...). Their memory comes from GdipAlloc, which
// reports failure with null rather than an exception; placing the object here keeps that case
// defined. Deleting the result runs the wrapper's destructor and gives the memory back (GdipFree).
template <class T, class... Args>
std::unique_ptr<T> GdipNew(Args&&... args) {
    void* mem = Gdiplus::DllExports::GdipAlloc(sizeof(T));
    if (!mem) return nullptr;
    return std::unique_ptr<T>(::new (mem) T(std::forward<Args>(args)...));
}

// An image's size in pixels; 0 for no image or a failed query.
int GetImageWidth(Gdiplus::Image* image);
int GetImageHeight(Gdiplus::Image* image);
