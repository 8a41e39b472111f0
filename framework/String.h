#pragma once
// Text types of the framework: wide text inside the program, narrow (ANSI code page) text at its
// edges. Plain standard strings; the program needs nothing more of a string class.
#include <string>

using CString = std::wstring;
using CStringA = std::string;
