#include <gtest/gtest.h>
#include "DriverFiles.h"
#include "InstallTestFixtures.h"

using namespace installtest;

TEST(DriverFiles, CopiesOnlyWhatIsMissingAndCountsOnlyRealCopies)
{
    Folders f;
    f.InstallAll();
    DeleteFileA(f.Target(3).c_str());
    DeleteFileA(f.Target(6).c_str());
    DeleteFileA((f.program + g_driverFiles[6].source).c_str());

    DriverCopyResult r = CopyDriverFiles(f.windows, f.program);
    EXPECT_EQ(1, r.copied);
    EXPECT_EQ(1, r.failed);
    for (int i = 0; i < g_driverFileCount; i++) {
        std::string expected = i == 3 ? "new Drivers\\34dd.dll" : i == 6 ? "<missing>" : "old";
        EXPECT_EQ(expected, ReadTextFile(f.Target(i))) << g_driverFiles[i].target;
    }
}

// A Windows folder longer than a short buffer must still give whole paths.
TEST(DriverFiles, LongWindowsFolderWithTrailingBackslash)
{
    Folders f(std::string(90, 'w'));
    DriverCopyResult r = CopyDriverFiles(f.windows + "\\", f.program);
    EXPECT_EQ(18, r.copied);
    EXPECT_EQ("new Drivers\\PhTvTune.sys",
              ReadTextFile(f.windows + "\\system32\\drivers\\PhTvTune.sys"));
}
