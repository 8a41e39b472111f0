#pragma once
// The standard controls the program binds to template items.
#include "framework/Wnd.h"

class CButton : public CWnd {};

class CStatic : public CWnd {};
