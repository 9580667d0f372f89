#include <gtest/gtest.h>
#include "DriverFiles.h"
#include "TestSupport.h"
#include "InstallTestFixtures.h"
#include <string.h>

using namespace installtest;

TEST(DriverFiles, TableHoldsEveryFileOnceFromTheDriversFolder)
{
    ASSERT_EQ(18, g_driverFileCount);
    for (int i = 0; i < g_driverFileCount; i++) {
        EXPECT_EQ(0, strncmp(g_driverFiles[i].source, "Drivers\\", 8)) << i;
        EXPECT_EQ('\\', g_driverFiles[i].target[0]) << i;
        for (int j = 0; j < i; j++)
            EXPECT_STRNE(g_driverFiles[i].target, g_driverFiles[j].target);
    }
}

TEST(DriverFiles, CopiesOnlyMissingFilesAndLeavesPresentOnesAlone)
{
    Folders f;
    f.InstallAll();
    DeleteFileA(f.Target(4).c_str());
    DeleteFileA(f.Target(16).c_str());

    DriverCopyResult r = CopyDriverFiles(f.windows, f.program);
    EXPECT_EQ(2, r.copied);
    EXPECT_EQ(0, r.failed);
    for (int i = 0; i < g_driverFileCount; i++) {
        std::string expected = (i == 4 || i == 16) ? std::string("new ") + g_driverFiles[i].source : "old";
        EXPECT_EQ(expected, ReadTextFile(f.Target(i))) << g_driverFiles[i].target;
    }

    r = CopyDriverFiles(f.windows, f.program);
    EXPECT_EQ(0, r.copied);
    EXPECT_EQ(0, r.failed);
}

TEST(DriverFiles, MissingSourceOrTargetFolderCountsAsFailureNotAsCopy)
{
    Folders f;
    DeleteFileA((f.program + "Drivers\\34ds.dll").c_str());
    RemoveDirectoryA((f.windows + "\\system").c_str());

    DriverCopyResult r = CopyDriverFiles(f.windows, f.program);
    EXPECT_EQ(15, r.copied);
    EXPECT_EQ(3, r.failed);   // 34ds.dll and the two files of the missing folder
    EXPECT_EQ("<missing>", ReadTextFile(f.windows + "\\system32\\34ds.dll"));
}

TEST(DriverFiles, LongWindowsFolderAndTrailingBackslashGiveTheRightTargets)
{
    Folders f(std::string(90, 'w'));
    DriverCopyResult r = CopyDriverFiles(f.windows + "\\", f.program);
    EXPECT_EQ(g_driverFileCount, r.copied);
    EXPECT_EQ("new Drivers\\PhTvTune.sys", ReadTextFile(f.windows + "\\system32\\drivers\\PhTvTune.sys"));
}

TEST(DriverFiles, FoldersOfThisProcess)
{
    std::string windows, program;
    ASSERT_TRUE(GetWindowsFolder(windows));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((windows + "\\system32").c_str()));
    ASSERT_TRUE(GetProgramFolder(program));
    EXPECT_EQ(ts::ExeDir(), program);
}
