// The harness runs the tests as a player's Chinese Windows would: ANSI code page 936.
#include <windows.h>

#include <gtest/gtest.h>

TEST(Harness, ThreadAnsiCodePageIsGbk) {
    CPINFOEXW info{};
    ASSERT_TRUE(GetCPInfoExW(CP_THREAD_ACP, 0, &info));
    EXPECT_EQ(info.CodePage, 936u) << "LC_ALL given to Wine decides the ANSI code page";
}
