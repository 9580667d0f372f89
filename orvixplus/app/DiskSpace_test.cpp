// Room on a drive, usable folders and the size a recording will take.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "DiskSpace.h"
#include "RecordEstimate.h"
#include "TestSupport.h"

namespace {

struct SeamVariable {
    explicit SeamVariable(const char* value) { SetEnvironmentVariableA("ORVIX_DISK_FREE_MB", value); }
    ~SeamVariable() { SetEnvironmentVariableA("ORVIX_DISK_FREE_MB", NULL); }
};

// What each query was last asked about ("" when it was not asked).
std::string g_clustersAsked, g_spaceExAsked;

// A drive of 4 KB clusters, 60 GB of which 4 GB are free: past 32 bits of bytes.
BOOL g_answers = TRUE;
BOOL WINAPI BigDriveClusters(LPCSTR path, LPDWORD sectorsPerCluster, LPDWORD bytesPerSector,
                             LPDWORD freeClusters, LPDWORD totalClusters)
{
    g_clustersAsked = path ? path : "(null)";
    *sectorsPerCluster = 8;
    *bytesPerSector = 512;
    *freeClusters = 0x100000;
    *totalClusters = 0xF00000;
    return g_answers;
}

// 300 MB free, 100 MB of them the caller's.
BOOL WINAPI QuotaSpaceEx(LPCSTR path, PULARGE_INTEGER caller, PULARGE_INTEGER total, PULARGE_INTEGER free)
{
    g_spaceExAsked = path ? path : "(null)";
    caller->QuadPart = 100ULL << 20;
    total->QuadPart = 1000ULL << 20;
    free->QuadPart = 300ULL << 20;
    return TRUE;
}

}  // namespace

TEST(DiskSpace, WithoutThe64BitQueryTheRootsClustersGiveTotalAndFreeAndRecordingsTheFreeSpace)
{
    const DiskSpaceQueries clustersOnly = {NULL, &BigDriveClusters};
    SetDiskSpaceQueries(&clustersOnly);
    ULONGLONG total = 0, caller = 7, free = 0, room = 0;
    EXPECT_TRUE(GetDiskSpace("D:\\rec\\", &total, &caller, &free));
    EXPECT_EQ(61440u, total);
    EXPECT_EQ(4096u, free);
    EXPECT_EQ(7u, caller) << "the cluster query tells no share of the caller's";
    // The cluster query takes nothing but a drive's root.
    EXPECT_EQ("D:\\", g_clustersAsked);
    EXPECT_TRUE(GetDiskSpace("e:\\", &total, NULL, NULL));
    EXPECT_EQ("e:\\", g_clustersAsked);
    EXPECT_TRUE(GetDiskSpace("\\\\server\\share\\rec\\day\\", &total, NULL, NULL));
    EXPECT_EQ("\\\\server\\share\\", g_clustersAsked);
    EXPECT_TRUE(GetDiskSpace("\\\\server\\share", &total, NULL, NULL));
    EXPECT_EQ("\\\\server\\share\\", g_clustersAsked);
    EXPECT_TRUE(GetRecordingRoom("D:\\rec\\", &room));
    EXPECT_EQ(4096u, room);
    g_answers = FALSE;
    EXPECT_FALSE(GetRecordingRoom("D:\\rec\\", &room));
    g_answers = TRUE;

    // Where the 64-bit query is there, it alone is asked, about the folder
    // itself, and a recording gets the caller's share.
    const DiskSpaceQueries both = {&QuotaSpaceEx, &BigDriveClusters};
    SetDiskSpaceQueries(&both);
    g_clustersAsked.clear();
    caller = 7;
    EXPECT_TRUE(GetDiskSpace("D:\\rec\\", &total, &caller, &free));
    EXPECT_EQ("D:\\rec\\", g_spaceExAsked);
    EXPECT_EQ("", g_clustersAsked);
    EXPECT_EQ(1000u, total);
    EXPECT_EQ(100u, caller);
    EXPECT_EQ(300u, free);
    EXPECT_TRUE(GetRecordingRoom("D:\\rec\\", &room));
    EXPECT_EQ(100u, room);
    SetDiskSpaceQueries(NULL);
}

TEST(DiskSpace, TheSeamGivesEachDriveItsSpaceOrAFailingQuery)
{
    SeamVariable seam("C=99;*=5242880;e=fail");
    ULONGLONG total = 0, caller = 0, free = 0;
    ASSERT_TRUE(GetDiskSpace("C:\\rec\\", &total, &caller, &free));
    EXPECT_EQ(99u, caller);
    EXPECT_EQ(99u, free);
    ASSERT_TRUE(GetDiskSpace("c:\\", NULL, &caller, NULL));
    EXPECT_EQ(99u, caller) << "drive letters without case";
    // 5 TB: more than 32 bits of bytes.
    ASSERT_TRUE(GetDiskSpace("D:\\video\\", NULL, &caller, NULL));
    EXPECT_EQ(5242880u, caller);
    ASSERT_TRUE(GetDiskSpace("\\\\server\\share\\", NULL, &caller, NULL));
    EXPECT_EQ(5242880u, caller);
    caller = 7;
    EXPECT_FALSE(GetDiskSpace("E:\\", &total, &caller, &free));
    EXPECT_EQ(7u, caller) << "a failed query leaves the outputs alone";
}

TEST(DiskSpace, TheSeamFileIsReadAtEveryQuery)
{
    std::string dir = ts::FreshTempDir("diskspace");
    std::string file = dir + "space.txt";
    SeamVariable seam(("@" + file).c_str());
    auto write = [&](const char* text) {
        FILE* f = fopen(file.c_str(), "wb");
        ASSERT_TRUE(f != NULL);
        fputs(text, f);
        fclose(f);
    };
    ULONGLONG caller = 0;
    write("*=500");
    ASSERT_TRUE(GetDiskSpace("C:\\", NULL, &caller, NULL));
    EXPECT_EQ(500u, caller);
    write("*=fail");
    EXPECT_FALSE(GetDiskSpace("C:\\", NULL, &caller, NULL));
}

TEST(DiskSpace, WithoutTheSeamTheFolderItselfIsAsked)
{
    std::string dir = ts::FreshTempDir("diskspace");
    ULONGLONG total = 0, caller = 0, free = 0;
    ASSERT_TRUE(GetDiskSpace(dir.c_str(), &total, &caller, &free));
    EXPECT_GT(total, 0u);
    EXPECT_LE(free, total);
    EXPECT_LE(caller, total);
    EXPECT_FALSE(GetDiskSpace((dir + "missing\\").c_str(), &total, &caller, &free));
    EXPECT_FALSE(GetDiskSpace(NULL, &total, &caller, &free));
}

TEST(DiskSpace, AFolderIsUsableWhenItIsAVisibleDirectoryOnAFixedDrive)
{
    std::string dir = ts::FreshTempDir("usablefolder");
    ASSERT_EQ('\\', dir.back());
    // Stored folders end in a backslash; typed ones may not.
    EXPECT_TRUE(IsUsableFolder(dir.c_str(), FALSE, FALSE));
    EXPECT_TRUE(IsUsableFolder(dir.substr(0, dir.size() - 1).c_str(), FALSE, FALSE));
    EXPECT_FALSE(IsUsableFolder((dir + "\\").c_str(), FALSE, FALSE)) << "an empty last part";
    std::string upper = dir;
    for (char& c : upper)
        c = (char)toupper((unsigned char)c);
    EXPECT_TRUE(IsUsableFolder(upper.c_str(), FALSE, FALSE));

    std::string hidden = dir + "hidden\\";
    ASSERT_TRUE(CreateDirectoryA(hidden.c_str(), NULL));
    ASSERT_TRUE(SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_FALSE(IsUsableFolder(hidden.c_str(), FALSE, FALSE));
    EXPECT_TRUE(IsUsableFolder(hidden.c_str(), TRUE, FALSE));

    std::string file = dir + "plain.txt";
    FILE* f = fopen(file.c_str(), "wb");
    ASSERT_TRUE(f != NULL);
    fclose(f);
    EXPECT_FALSE(IsUsableFolder((file + "\\").c_str(), TRUE, TRUE));
    EXPECT_FALSE(IsUsableFolder((dir + "missing\\").c_str(), TRUE, TRUE));
    EXPECT_FALSE(IsUsableFolder("", TRUE, TRUE));
    EXPECT_FALSE(IsUsableFolder("relative", TRUE, TRUE));

    EXPECT_TRUE(IsDriveRoot("C:\\"));
    EXPECT_TRUE(IsUsableFolder("c:\\", FALSE, FALSE));
    EXPECT_FALSE(IsDriveRoot("C:\\windows\\"));
    EXPECT_FALSE(IsDriveRoot("1:\\"));
}

TEST(DiskSpace, AFolderIsHandedOnWithExactlyOneBackslash)
{
    EXPECT_STREQ("C:\\rec\\", WithOneTrailingBackslash("C:\\rec"));
    EXPECT_STREQ("C:\\rec\\", WithOneTrailingBackslash("C:\\rec\\"));
    EXPECT_STREQ("C:\\rec\\", WithOneTrailingBackslash("C:\\rec\\\\"));
    EXPECT_STREQ("C:\\", WithOneTrailingBackslash("C:\\"));
}

TEST(RecordEstimate, FollowsTheEncoderPresetsIn64Bits)
{
    EXPECT_DOUBLE_EQ(2700.0, EstimateRecordingMB(5, 2, 3600));  // DVD-PAL, standard
    EXPECT_DOUBLE_EQ(7200.0, EstimateRecordingMB(5, 3, 7200));  // DVD-PAL, high, 2 h
    // AVI for most of a day: far past what 32 bits of kbit hold.
    EXPECT_DOUBLE_EQ(54000.0 * 86399 / 8000, EstimateRecordingMB(8, 1, 86399));
    EXPECT_DOUBLE_EQ(0.0, EstimateRecordingMB(9, 1, 3600));
    EXPECT_DOUBLE_EQ(0.0, EstimateRecordingMB(0, 4, 3600));

    EXPECT_EQ(0, ScheduledSeconds(86400));
    EXPECT_EQ(5, ScheduledSeconds(86405));
    EXPECT_EQ(3, ScheduledSeconds(3));

    EXPECT_FALSE(RoomForRecording(99, 0.0));
    EXPECT_TRUE(RoomForRecording(100, 0.0));
    EXPECT_FALSE(RoomForRecording(3000, 7200.0));
    EXPECT_TRUE(RoomForRecording(7200, 7200.0));
    // A recording of a whole number of megabytes fits a drive with exactly
    // that much room.
    EXPECT_TRUE(RoomForRecording(2700, EstimateRecordingMB(5, 2, 3600)));
    EXPECT_FALSE(RoomForRecording(2699, EstimateRecordingMB(5, 2, 3600)));
    EXPECT_TRUE(EstimateRecordingMB(5, 2, 3600) <= 2700);
}
