#pragma once
// Conversions between the program's UTF-16 text and narrow text in a code page, with flags 0 and
// the code page's own default character for what it cannot hold. A text longer than the system
// calls can count (INT_MAX units) is refused with std::length_error rather than cut.
#include <windows.h>

#include <string_view>

#include "framework/String.h"

CStringA NarrowText(std::wstring_view text, UINT codePage = CP_THREAD_ACP);
CString WideText(std::string_view text, UINT codePage = CP_THREAD_ACP);
