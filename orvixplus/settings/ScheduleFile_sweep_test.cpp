// schedulefile.she damaged every way the sweep knows and read by OrvixPlus's
// schedule list, then checked by the rules and the rows that use what it
// read; and the file under two programs saving it at once, killed in the
// middle of their saves.
#include <gtest/gtest.h>
#include <string.h>
#include "FileSweep.h"
#include "ScheduleFile.h"
#include "ScheduleList.h"
#include "ScheduleSaverRecords.h"
#include "ScheduleTestTime.h"
#include "ScheduleWnd.h"
#include "TestSupport.h"

namespace {

std::string Bytes(const void* p, size_t n)
{
    return std::string((const char*)p, n);
}

// One entry of each kind, as the schedule window writes them.
std::string ValidScheduleFile()
{
    time_t base = LocalTime(2026, 3, 2, 20, 0);
    ScheduleRecord records[6] = {
        Entry(base, 3600, SCHEDULE_REPEAT_ONCE, 1), Entry(base + 7200, 60, SCHEDULE_REPEAT_DAILY),
        Entry(base + 86400, 1800, 3), Entry(base - 600, 3, SCHEDULE_REPEAT_ONCE),
        Entry(base + 300, 90, 0), Entry(base + 40000, 5400, SCHEDULE_REPEAT_DAILY, 1)};
    records[1].nSource = SCHEDULE_SOURCE_CABLE;
    records[2].nSource = SCHEDULE_SOURCE_SVIDEO;
    records[3].nAfterAction = SCHEDULE_AFTER_STANDBY;
    records[4].nMode = SCHEDULE_MODE_VIEW;
    return Bytes(records, sizeof(records));
}

}  // namespace

TEST(ScheduleFileSweep, DamagedFilesLoadAsTheirWholeRecords)
{
    std::string valid = ValidScheduleFile();
    std::vector<size_t> fields;
    for (size_t at = 0; at < valid.size(); at += 4)
        fields.push_back(at);
    ts::FileSweep sweep(valid, 0x5E5u);
    sweep.Truncations().Int32Fields(fields);
    // Times the run-time cannot break down, around the ends of the clock.
    for (LONG t : {(LONG)0x80000000, (LONG)-1, (LONG)0x7FFFFFFF, (LONG)0x7FFFFF00}) {
        std::string bytes = valid;
        for (size_t at = 0; at < bytes.size(); at += 36)
            memcpy(&bytes[at], &t, 4);
        sweep.Add("every start " + std::to_string(t), bytes);
    }
    sweep.Add("1000 records", [&] {
        std::string many;
        for (int i = 0; i < 167; i++)
            many += valid;
        return many.substr(0, 36000);
    }());
    sweep.RandomBytes(10000 - (int)sweep.Count());
    ASSERT_GE(sweep.Count(), 10000u);

    std::string dir = ts::FreshTempDir("schedsweep");
    std::string other = dir + "OrvixPlusChannels.chl";
    ts::WriteWholeFile(other, std::string(16, '\0'));
    std::string path = dir + SCHEDULE_FILE_NAME;
    const time_t base = LocalTime(2026, 3, 2, 20, 0, 5);
    FixedClock clock(base);
    // Most cases are read from memory, every 25th from the disk.
    ts::MemoryFiles memory;
    ts::CaseFile file(memory, path, 25);
    std::vector<std::string> failures = sweep.Run([&](const ts::SweepCase& c) -> std::string {
        if (!file.Put(c))
            return "scratch file not written";
        CScheduleList list;
        if (!list.Load(path.c_str()))
            return "an existing file did not load";
        size_t whole = c.bytes.size() / sizeof(ScheduleRecord);
        if ((size_t)list.GetCount() != whole)
            return "loaded " + std::to_string(list.GetCount()) + " of " + std::to_string(whole) +
                   " whole records";
        for (int i = 0; i < list.GetCount(); i++) {
            const CScheduleItem* item = list.GetAt(i);
            if (memcmp(&item->m_record, c.bytes.data() + i * 36, 36) != 0)
                return "record " + std::to_string(i) + " differs from the file";
            // What the schedule window shows of it, and the collision test of
            // the Add dialog against the loaded entries.
            CString texts[8];
            FormatScheduleRow(item->m_record, texts);
            list.HasConflict(item);
        }
        // The due checks of a five-second tick, and the clean-up after a run.
        for (time_t now : {base, base + 3600, base + 86400 * 7}) {
            clock.Set(now);
            list.FindDueItem();
        }
        list.RemoveFinishedOnceItems();
        clock.Set(base);
        return "";
    });
    for (const std::string& f : failures)
        ADD_FAILURE() << f;
    EXPECT_EQ(std::string(16, '\0'), ts::ReadWholeFile(other));
    sweep.Report("schedulefile.she");
}

// Two programs save the schedule at once, again and again; each is killed at
// random moments of its saves and started again. Whenever the file is read,
// and after every kill, it is one whole save of one of them.
TEST(ScheduleFileSave, TwoSaversKilledMidSaveLeaveAWholeFile)
{
    std::string dir = ts::FreshTempDir("schedsave");
    std::string path = dir + SCHEDULE_FILE_NAME;
    std::vector<ScheduleRecord> first;
    for (int i = 0; i < SaverRecordCount(1); i++)
        first.push_back(SaverRecord(9, 1, i));
    ASSERT_TRUE(WriteScheduleFile(path.c_str(), first.data(), first.size()));
    std::string saver = ts::ExeDir() + "schedule_saver.exe";

    auto check = [&](const char* when) {
        std::string problem = CheckSaverFile(ts::ReadWholeFile(path));
        EXPECT_EQ("", problem) << when;
        return problem.empty();
    };
    // Waits until this saver's own save is in the file: it is then saving.
    auto saving = [&](int id) {
        return ts::PumpUntil([&] {
            std::string bytes = ts::ReadWholeFile(path);
            ScheduleRecord r;
            if (bytes.size() < sizeof(r))
                return false;
            memcpy(&r, bytes.data(), sizeof(r));
            return r.nTvChannel == 1 + id;
        }, 10000);
    };

    ts::ChildProcess savers[2];
    for (int id = 0; id < 2; id++)
        ASSERT_TRUE(savers[id].Start("\"" + saver + "\" \"" + path + "\" " + std::to_string(id)));
    uint32_t rng = 0x1234567u;
    int kills = 0;
    for (int round = 0; round < 10; round++) {
        int id = round % 2;
        ASSERT_TRUE(saving(id)) << "saver " << id << " never saved";
        for (int reads = 0; reads < 20; reads++)
            if (!check("while both save"))
                return;
        rng = rng * 1103515245u + 12345u;
        Sleep((rng >> 16) % 15);
        savers[id].Kill();
        kills++;
        if (!check("after a kill"))
            return;
        ASSERT_TRUE(savers[id].Start("\"" + saver + "\" \"" + path + "\" " + std::to_string(id)));
    }
    for (ts::ChildProcess& s : savers)
        s.Kill();
    check("after the last kill");
    EXPECT_EQ(10, kills);

    // The lock a killed saver held is taken over: a later save goes through.
    ts::ChildProcess last;
    ASSERT_TRUE(last.Start("\"" + saver + "\" \"" + path + "\" 1 25"));
    EXPECT_EQ(0u, last.Wait(30000));
    std::string bytes = ts::ReadWholeFile(path);
    EXPECT_EQ("", CheckSaverFile(bytes));
    std::vector<ScheduleRecord> want;
    for (int i = 0; i < SaverRecordCount(25); i++)
        want.push_back(SaverRecord(1, 25, i));
    EXPECT_EQ(Bytes(want.data(), want.size() * sizeof(ScheduleRecord)), bytes);
}
