#include "login/LaunchArgument.h"

#include <windows.h>

#include <cwchar>
#include <utility>

#include "app/LoginApp.h"

void SetLaunchArgument(const wchar_t* text) {
    CStringA narrow;
    const int length = text ? static_cast<int>(std::wcslen(text)) : 0;
    if (length > 0) {
        const int size =
            WideCharToMultiByte(CP_THREAD_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
        narrow.resize(static_cast<size_t>(size));
        WideCharToMultiByte(CP_THREAD_ACP, 0, text, length, narrow.data(), size, nullptr, nullptr);
    }
    theApp.m_strLaunchArgument = std::move(narrow);
}
