#include <gtest/gtest.h>
#include "DriverFiles.h"
#include "TestSupport.h"
#include <stdio.h>

namespace {

void WriteFile(const std::string& path, const std::string& text)
{
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_TRUE(f != NULL) << path;
    fputs(text.c_str(), f);
    fclose(f);
}

std::string ReadFile(const std::string& path)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return "<missing>";
    std::string text;
    char buf[256];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0)
        text.append(buf, n);
    fclose(f);
    return text;
}

// A Windows folder with the target folders and a program folder whose Drivers
// folder holds a placeholder for every file.
struct Folders {
    std::string windows, program;
    explicit Folders(const std::string& windowsName = "windows")
    {
        std::string root = ts::FreshTempDir("drivers");
        windows = root + windowsName;
        program = root + "prog\\";
        CreateDirectoryA(windows.c_str(), NULL);
        for (const char* sub : { "\\system32", "\\system32\\drivers", "\\inf", "\\system" })
            CreateDirectoryA((windows + sub).c_str(), NULL);
        CreateDirectoryA(program.c_str(), NULL);
        CreateDirectoryA((program + "Drivers").c_str(), NULL);
        for (int i = 0; i < g_driverFileCount; i++)
            WriteFile(program + g_driverFiles[i].source, std::string("new ") + g_driverFiles[i].source);
    }
    std::string Target(int i) const { return windows + g_driverFiles[i].target; }
};

}  // namespace

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
    for (int i = 0; i < g_driverFileCount; i++)
        WriteFile(f.Target(i), "old");
    DeleteFileA(f.Target(4).c_str());
    DeleteFileA(f.Target(16).c_str());

    DriverCopyResult r = CopyDriverFiles(f.windows, f.program);
    EXPECT_EQ(2, r.copied);
    EXPECT_EQ(0, r.failed);
    for (int i = 0; i < g_driverFileCount; i++) {
        std::string expected = (i == 4 || i == 16) ? std::string("new ") + g_driverFiles[i].source : "old";
        EXPECT_EQ(expected, ReadFile(f.Target(i))) << g_driverFiles[i].target;
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
    EXPECT_EQ("<missing>", ReadFile(f.windows + "\\system32\\34ds.dll"));
}

TEST(DriverFiles, LongWindowsFolderAndTrailingBackslashGiveTheRightTargets)
{
    Folders f(std::string(90, 'w'));
    DriverCopyResult r = CopyDriverFiles(f.windows + "\\", f.program);
    EXPECT_EQ(g_driverFileCount, r.copied);
    EXPECT_EQ("new Drivers\\PhTvTune.sys", ReadFile(f.windows + "\\system32\\drivers\\PhTvTune.sys"));
}

TEST(DriverFiles, FoldersOfThisProcess)
{
    std::string windows, program;
    ASSERT_TRUE(GetWindowsFolder(windows));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((windows + "\\system32").c_str()));
    ASSERT_TRUE(GetProgramFolder(program));
    EXPECT_EQ(ts::ExeDir(), program);
}
