#include "login/LaunchArgument.h"

#include <windows.h>

#include <cwchar>
#include <utility>

#include "app/LoginApp.h"
#include "framework/TextConversion.h"

void SetLaunchArgument(const wchar_t* text) {
    theApp.m_strLaunchArgument = text ? NarrowText(text) : CStringA();
}
