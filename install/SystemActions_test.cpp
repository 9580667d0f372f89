#include <gtest/gtest.h>
#include "SystemActions.h"
#include "TestSupport.h"

TEST(SystemActions, OnlyWindows98CountsAsWindows98)
{
    EXPECT_TRUE(IsWindows98Version(VER_PLATFORM_WIN32_WINDOWS, 4, 10));
    EXPECT_FALSE(IsWindows98Version(VER_PLATFORM_WIN32_WINDOWS, 4, 0));    // 95
    EXPECT_FALSE(IsWindows98Version(VER_PLATFORM_WIN32_WINDOWS, 4, 90));   // Me
    EXPECT_FALSE(IsWindows98Version(VER_PLATFORM_WIN32_NT, 4, 10));
    EXPECT_FALSE(IsWindows98Version(VER_PLATFORM_WIN32_NT, 5, 1));
    EXPECT_FALSE(IsWindows98());   // the test prefix is an NT-family Windows
}

TEST(SystemActions, RestartAsksForAForcedReboot)
{
    std::string log = ts::FreshTempDir("restart") + "power.log";
    SetEnvironmentVariableA("ORVIX_POWER_LOG", log.c_str());
    BOOL ok = RestartWindows();
    SetEnvironmentVariableA("ORVIX_POWER_LOG", NULL);
    EXPECT_TRUE(ok);
    EXPECT_EQ(std::vector<std::string>{"ExitWindowsEx 0x6 0x0"}, ts::ReadLines(log));
}
