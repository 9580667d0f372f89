// Timed runs in OrvixPlus.exe itself: the schedule file is written before the
// start, the program's schedule clock is moved (ORVIX_SCHEDULE_CLOCK_OFFSET)
// so that its entries fall due a moment after the start, and a stand-in for
// Timewarden's hidden window logs what the program posts to it.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <time.h>
#include "CardCtl.h"
#include "ScheduleTestTime.h"
#include "SettingsRecord.h"
#include "TvProgramFolder.h"

namespace {

const BOOL g_ownCard = SetEnvironmentVariableA("ORVIX_CARD", "orvixplus_schedrun_test");
const DWORD kStartMs = 30000;
const char kStubCaption[] = "KESTOR ORVIX Schedule";

// An entry on the channels the card's stations sit on.
ScheduleRecord RunEntry(time_t start, LONG duration, LONG repeat, LONG source, LONG mode,
                        LONG after, LONG deleteFlag = 0)
{
    ScheduleRecord r = Entry(start, duration, repeat, deleteFlag);
    r.nTvChannel = 3;
    r.nCableChannel = 5;
    r.nSource = source;
    r.nMode = mode;
    r.nAfterAction = after;
    return r;
}

class ScheduledRun : public testing::Test {
protected:
    void SetUp() override
    {
        CardCtl_Reset();
        ASSERT_EQ(NULL, tv::FindMainWindow()) << "another OrvixPlus is running";
        ASSERT_EQ(NULL, FindWindowA("#32770", kStubCaption)) << "another scheduler window shows";
        dir_ = tv::MakeProgramFolder("orvixplus-schedrun");
        ASSERT_FALSE(dir_.empty());
        boxLog_ = dir_ + "boxes.log";
        stubLog_ = dir_ + "scheduler.log";
        ASSERT_TRUE(stub_.Start("\"" + ts::ExeDir() + "scheduler_window_stub.exe\" \"" + stubLog_ + "\""));
        ASSERT_TRUE(ts::PumpUntil([] { return FindWindowA("#32770", kStubCaption) != NULL; }, 15000));
        // The entries fall due at the start of a minute of the program's
        // clock, which begins a little before it.
        time_t now = time(NULL);
        due_ = (now / 60 + 2) * 60;
    }

    void TearDown() override
    {
        if (child_.Running())
            child_.Kill();
        if (HWND stub = FindWindowA("#32770", kStubCaption))
            PostMessageA(stub, WM_CLOSE, 0, 0);
        stub_.Wait(10000);
        CardCtl_Reset();
    }

    void WriteSchedule(const std::vector<ScheduleRecord>& entries)
    {
        FILE* f = fopen((dir_ + "schedulefile.she").c_str(), "wb");
        ASSERT_TRUE(f != NULL);
        if (!entries.empty())
            fwrite(entries.data(), sizeof(ScheduleRecord), entries.size(), f);
        fclose(f);
        scheduleAtStart_ = tv::ReadFileBytes(dir_ + "schedulefile.she");
    }

    // The program's clock starts 3 s before the entries' minute: its first
    // check, 5 s after the start, lies inside the due window.
    bool StartAndWait()
    {
        char offset[32];
        snprintf(offset, sizeof(offset), "%lld", (long long)(due_ - 3 - time(NULL)));
        std::vector<std::string> env = {"ORVIX_MSGBOX_LOG=" + boxLog_,
                                        std::string("ORVIX_SCHEDULE_CLOCK_OFFSET=") + offset};
        if (!child_.Start("\"" + dir_ + "OrvixPlus.exe\"", env, dir_))
            return false;
        ts::PumpUntil([&] {
            main_ = tv::FindMainWindow();
            return main_ && IsWindowVisible(main_);
        }, kStartMs);
        return main_ && IsWindowVisible(main_);
    }

    // The program can run a timed entry only over a live preview.
    bool PreviewMissing()
    {
        for (const std::string& b : ts::ReadLines(boxLog_))
            if (b.find("没有注册") != std::string::npos)
                return true;
        return false;
    }

    std::vector<std::string> Posted() { return ts::ReadLines(stubLog_); }

    bool WaitPosted(const std::string& id, DWORD ms = 25000)
    {
        return ts::PumpUntil([&] {
            for (const std::string& line : Posted())
                if (line == id)
                    return true;
            return false;
        }, ms);
    }

    void Close()
    {
        PostMessageA(main_, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(0u, child_.Wait(5000));
    }

    std::string dir_, boxLog_, stubLog_, scheduleAtStart_;
    time_t due_ = 0;
    ts::ChildProcess child_, stub_;
    HWND main_ = NULL;
};

}  // namespace

TEST_F(ScheduledRun, ADailyViewingRunsOnceInItsWindowKeepsItsEntryAndAsksForStandby)
{
    WriteSchedule({RunEntry(due_, 3, SCHEDULE_REPEAT_DAILY, SCHEDULE_SOURCE_CABLE, SCHEDULE_MODE_VIEW,
                         SCHEDULE_AFTER_STANDBY)});
    ASSERT_TRUE(StartAndWait());
    if (PreviewMissing()) {
        Close();
        GTEST_SKIP() << "no preview here";
    }
    ASSERT_TRUE(WaitPosted("1127")) << "the run did not end";
    // Nothing was removed at the start: the only save is the run's end.
    EXPECT_EQ((std::vector<std::string>{"459", "1127"}), Posted());
    EXPECT_EQ(scheduleAtStart_, tv::ReadFileBytes(dir_ + "schedulefile.she"));
    // The next check falls in the same window: the entry does not run again.
    ts::PumpFor(6000);
    EXPECT_EQ((std::vector<std::string>{"459", "1127"}), Posted());
    EXPECT_TRUE(child_.Running());
    Close();
    EXPECT_EQ(scheduleAtStart_, tv::ReadFileBytes(dir_ + "schedulefile.she"));
}

TEST_F(ScheduledRun, AOnceEntryLeavesTheFileAndAnEntryDueMeanwhileDropsOnlyItself)
{
    // Both fall due in one window: the second comes while the first runs.
    ScheduleRecord daily = RunEntry(due_, 3, SCHEDULE_REPEAT_DAILY, SCHEDULE_SOURCE_CABLE,
                                    SCHEDULE_MODE_VIEW, SCHEDULE_AFTER_STANDBY);
    WriteSchedule({RunEntry(due_, 9, SCHEDULE_REPEAT_ONCE, SCHEDULE_SOURCE_TV, SCHEDULE_MODE_VIEW,
                            SCHEDULE_AFTER_SHUTDOWN, 1),
                   daily});
    ASSERT_TRUE(StartAndWait());
    if (PreviewMissing()) {
        Close();
        GTEST_SKIP() << "no preview here";
    }
    ASSERT_TRUE(WaitPosted("1128")) << "the run did not end";
    // The once entry's removal is saved at its start, the list again at the
    // end; the daily entry, dropped during the run, stays and is not taken
    // again in this window.
    EXPECT_EQ((std::vector<std::string>{"459", "459", "1128"}), Posted());
    EXPECT_EQ(std::string((const char*)&daily, sizeof(daily)),
              tv::ReadFileBytes(dir_ + "schedulefile.she"));
    ts::PumpFor(6000);
    EXPECT_EQ(3u, Posted().size());
    Close();
}

TEST_F(ScheduledRun, AfterActionOneEndsTheProgramWithItsFilesSaved)
{
    WriteSchedule({RunEntry(due_, 3, SCHEDULE_REPEAT_DAILY, SCHEDULE_SOURCE_CABLE, SCHEDULE_MODE_VIEW,
                         SCHEDULE_AFTER_CLOSE)});
    ASSERT_TRUE(StartAndWait());
    if (PreviewMissing()) {
        Close();
        GTEST_SKIP() << "no preview here";
    }
    EXPECT_EQ(0u, child_.Wait(25000)) << "the program did not close itself";
    EXPECT_EQ(684u, tv::FileSize(dir_ + SETTINGS_FILE_NAME));
    EXPECT_GT(tv::FileSize(dir_ + "OrvixPlusChannels.chl"), 16u);
    EXPECT_EQ(scheduleAtStart_, tv::ReadFileBytes(dir_ + "schedulefile.she"));
    EXPECT_EQ((std::vector<std::string>{"459"}), Posted());
    EXPECT_EQ(0, CardCtl_LiveObjects());
}

TEST_F(ScheduledRun, TheScheduleButtonEndsARunAndItsWindowReloadsWithTheFileAndGoesWhenClosed)
{
    // A long viewing whose start is seen by the saved removal of its entry.
    WriteSchedule({RunEntry(due_, 40, SCHEDULE_REPEAT_ONCE, SCHEDULE_SOURCE_CABLE, SCHEDULE_MODE_VIEW,
                            SCHEDULE_AFTER_STANDBY, 1)});
    ASSERT_TRUE(StartAndWait());
    if (PreviewMissing()) {
        Close();
        GTEST_SKIP() << "no preview here";
    }
    ASSERT_TRUE(WaitPosted("459")) << "the run did not start";
    // "TIMED_RECORD" by its element id.
    int id = 0;
    std::string ini = dir_ + "skins\\elegance\\skin.ini";
    for (int n = 1; n < 100 && !id; ++n) {
        char key[16], value[256];
        snprintf(key, sizeof(key), "Button%d", n);
        if (!GetPrivateProfileStringA("ShapeButtonInfo", key, "", value, sizeof(value), ini.c_str()))
            break;
        if (strncmp(value, "TIMED_RECORD,", 13) == 0)
            id = 4999 + n;
    }
    ASSERT_NE(0, id);
    PostMessageA(main_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    // The run ends at once, with its after-action, before the window opens.
    EXPECT_TRUE(WaitPosted("1127", 5000));
    EXPECT_EQ((std::vector<std::string>{"459", "459", "1127"}), Posted());
    EXPECT_EQ(0u, tv::FileSize(dir_ + "schedulefile.she"));
    HWND wnd = NULL;
    ASSERT_TRUE(ts::PumpUntil([&] {
        wnd = FindWindowA("ScheduleWnd", NULL);
        return wnd && IsWindowVisible(wnd);
    }, 10000));
    HWND list = GetDlgItem(wnd, 4246);
    ASSERT_TRUE(list != NULL);
    EXPECT_EQ(0, (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));

    // Timewarden saved two entries: the main window reloads and the rows follow.
    WriteSchedule({RunEntry(due_ + 7200, 60, SCHEDULE_REPEAT_DAILY, SCHEDULE_SOURCE_TV,
                            SCHEDULE_MODE_RECORD, SCHEDULE_AFTER_NOTHING),
                   RunEntry(due_ + 9000, 60, SCHEDULE_REPEAT_ONCE, SCHEDULE_SOURCE_CABLE,
                            SCHEDULE_MODE_VIEW, SCHEDULE_AFTER_NOTHING)});
    PostMessageA(main_, WM_COMMAND, 1125, 0);
    EXPECT_TRUE(ts::PumpUntil([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 2; }, 5000));

    // A second press gives a new window in place of the first.
    PostMessageA(main_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    EXPECT_TRUE(ts::PumpUntil([&] { return !IsWindow(wnd); }, 5000));
    ASSERT_TRUE(ts::PumpUntil([&] {
        wnd = FindWindowA("ScheduleWnd", NULL);
        return wnd && IsWindowVisible(wnd);
    }, 10000));
    EXPECT_EQ(2, (int)SendMessageA(GetDlgItem(wnd, 4246), LVM_GETITEMCOUNT, 0, 0));

    // Its Cancel hides it and the main window deletes it.
    PostMessageA(wnd, WM_COMMAND, 4245, 0);
    EXPECT_TRUE(ts::PumpUntil([&] { return !IsWindow(wnd); }, 5000));
    EXPECT_TRUE(child_.Running());
    Close();
}
