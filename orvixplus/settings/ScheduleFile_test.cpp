#include <gtest/gtest.h>
#include <stdio.h>
#include <string>
#include <vector>
#include "ScheduleFile.h"
#include "ScheduleTestTime.h"
#include "TestSupport.h"

namespace {

std::string ReadBytes(const std::string& path)
{
    std::string bytes;
    if (FILE* f = fopen(path.c_str(), "rb")) {
        char buffer[256];
        size_t n;
        while ((n = fread(buffer, 1, sizeof(buffer), f)) > 0)
            bytes.append(buffer, n);
        fclose(f);
    }
    return bytes;
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_TRUE(f != NULL);
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

}  // namespace

TEST(ScheduleFile, RoundTripIsRawLittleEndianRecords)
{
    std::string path = ts::FreshTempDir("schedfile") + SCHEDULE_FILE_NAME;
    ScheduleRecord records[2] = {Entry(0x01020304, 60, SCHEDULE_REPEAT_ONCE, 1),
                                 Entry(1170000000, 3, 2)};
    records[1].nSource = SCHEDULE_SOURCE_SVIDEO;
    records[1].nAfterAction = SCHEDULE_AFTER_SHUTDOWN;
    ASSERT_TRUE(WriteScheduleFile(path.c_str(), records, 2));

    std::string bytes = ReadBytes(path);
    ASSERT_EQ(72u, bytes.size());
    EXPECT_EQ(std::string("\x04\x03\x02\x01\x3c\0\0\0\x08\0\0\0", 12), bytes.substr(0, 12));
    EXPECT_EQ(std::string("\x01\0\0\0", 4), bytes.substr(32, 4));

    std::vector<ScheduleRecord> loaded;
    ASSERT_TRUE(ReadScheduleFile(path.c_str(), loaded));
    ASSERT_EQ(2u, loaded.size());
    EXPECT_EQ(0, memcmp(records, loaded.data(), sizeof(records)));
    // No temporary file is left behind.
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((path + ".tmp").c_str()));
}

TEST(ScheduleFile, EmptyPartialAndMissingFiles)
{
    std::string dir = ts::FreshTempDir("schedfile");
    std::string path = dir + SCHEDULE_FILE_NAME;
    ASSERT_TRUE(WriteScheduleFile(path.c_str(), NULL, 0));
    EXPECT_EQ(0u, ReadBytes(path).size());
    std::vector<ScheduleRecord> loaded(3);
    EXPECT_TRUE(ReadScheduleFile(path.c_str(), loaded));
    EXPECT_TRUE(loaded.empty());

    // 40 bytes: one record and four bytes that are not a record.
    ScheduleRecord record = Entry(1170000000, 90, SCHEDULE_REPEAT_DAILY);
    WriteBytes(path, std::string((const char*)&record, sizeof(record)) + "junk");
    ASSERT_TRUE(ReadScheduleFile(path.c_str(), loaded));
    ASSERT_EQ(1u, loaded.size());
    EXPECT_EQ(90, loaded[0].nDuration);

    // Nothing to read: the caller's records stay as they were.
    EXPECT_FALSE(ReadScheduleFile((dir + "absent.she").c_str(), loaded));
    EXPECT_FALSE(ReadScheduleFile(NULL, loaded));
    EXPECT_EQ(1u, loaded.size());
}

TEST(ScheduleFile, FailedSaveKeepsTheOldFile)
{
    std::string dir = ts::FreshTempDir("schedfile");
    std::string path = dir + SCHEDULE_FILE_NAME;
    ScheduleRecord old = Entry(1170000000, 60, SCHEDULE_REPEAT_ONCE);
    ASSERT_TRUE(WriteScheduleFile(path.c_str(), &old, 1));
    std::string before = ReadBytes(path);
    ScheduleRecord fresh[2] = {Entry(1180000000, 30, 1), Entry(1190000000, 30, 2)};

    // The new file cannot be written.
    ASSERT_TRUE(CreateDirectoryA((path + ".tmp").c_str(), NULL));
    EXPECT_FALSE(WriteScheduleFile(path.c_str(), fresh, 2));
    EXPECT_EQ(before, ReadBytes(path));
    RemoveDirectoryA((path + ".tmp").c_str());

    // The new file is written but cannot replace the old one, held open
    // by a reader that shares neither writing nor deleting.
    HANDLE hReader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL,
                                 OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, hReader);
    EXPECT_FALSE(WriteScheduleFile(path.c_str(), fresh, 2));
    CloseHandle(hReader);
    EXPECT_EQ(before, ReadBytes(path));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((path + ".tmp").c_str()));

    // Another program is writing its own new file (the other program sharing
    // the schedule saves at the same moment): ours must not write into it.
    HANDLE hOther = CreateFileA((path + ".tmp").c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, hOther);
    DWORD dwDone = 0;
    ASSERT_TRUE(WriteFile(hOther, &old, sizeof(old), &dwDone, NULL));
    EXPECT_FALSE(WriteScheduleFile(path.c_str(), fresh, 2));
    ScheduleRecord others[2] = {};
    SetFilePointer(hOther, 0, NULL, FILE_BEGIN);
    ReadFile(hOther, others, sizeof(others), &dwDone, NULL);
    CloseHandle(hOther);
    EXPECT_EQ(sizeof(old), dwDone);
    EXPECT_EQ(0, memcmp(&old, &others[0], sizeof(old)));
    EXPECT_EQ(before, ReadBytes(path));
    DeleteFileA((path + ".tmp").c_str());

    // No folder to write in at all.
    EXPECT_FALSE(WriteScheduleFile((dir + "missing\\" SCHEDULE_FILE_NAME).c_str(), fresh, 2));
    EXPECT_FALSE(WriteScheduleFile(NULL, fresh, 2));
}
