#include "framework/TextConversion.h"

#include <climits>
#include <stdexcept>

namespace {
int CheckedLength(size_t length) {
    if (length > static_cast<size_t>(INT_MAX)) throw std::length_error("text too long to convert");
    return static_cast<int>(length);
}
}  // namespace

CStringA NarrowText(std::wstring_view text, UINT codePage) {
    CStringA narrow;
    if (text.empty()) return narrow;
    const int length = CheckedLength(text.size());
    const int size =
        WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) throw std::length_error("text cannot be converted");
    narrow.resize(static_cast<size_t>(size));
    WideCharToMultiByte(codePage, 0, text.data(), length, narrow.data(), size, nullptr, nullptr);
    return narrow;
}

CString WideText(std::string_view text, UINT codePage) {
    CString wide;
    if (text.empty()) return wide;
    const int length = CheckedLength(text.size());
    const int size = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    if (size <= 0) throw std::length_error("text cannot be converted");
    wide.resize(static_cast<size_t>(size));
    MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), size);
    return wide;
}
