// Timed runs in OrvixPlus.exe itself: the schedule file is written before the
// start (or while it runs, followed by Timewarden's notice), the program's
// schedule clock is moved (ORVIX_SCHEDULE_CLOCK_OFFSET) so that its entries
// fall due a moment after the start, its check comes every half second
// (ORVIX_TIMER_DIVISOR), and a stand-in for Timewarden's hidden window logs
// what the program posts to it.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>
#include <math.h>
#include <time.h>
#include "CardCtl.h"
#include "RecordProgramRun.h"
#include "ScheduleTestTime.h"
#include "TvStations.h"

namespace {

const BOOL g_ownCard = SetEnvironmentVariableA("ORVIX_CARD", "orvixplus_schedrun_test");
const char kStubCaption[] = "KESTOR ORVIX Schedule";

// An entry on the channels the card's stations sit on.
ScheduleRecord RunEntry(time_t start, LONG duration, LONG repeat, LONG source, LONG mode,
                        LONG after, LONG deleteFlag = 0)
{
    return Entry(start, duration, repeat, deleteFlag, source, mode, after, 3, 5);
}

bool TunedTo(double mhz)
{
    return fabs(CardCtl_TunedFrequency() - mhz) < 0.07;
}

class ScheduledRun : public tv::RecordRun {
protected:
    void SetUp() override
    {
        RecordRun::SetUp();
        ASSERT_EQ(NULL, FindWindowA("#32770", kStubCaption)) << "another scheduler window shows";
        ASSERT_TRUE(MakeRecordFolder("orvixplus-schedrun"));
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
        RecordRun::TearDown();
        if (HWND stub = FindWindowA("#32770", kStubCaption))
            PostMessageA(stub, WM_CLOSE, 0, 0);
        stub_.Wait(10000);
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

    // An antenna list on "Pearl Drama" (channel 3) and a cable list on
    // "Cable Shopping" (channel 5), watched on the antenna.
    void WatchAntennaWithCableStored()
    {
        ASSERT_TRUE(tv::WriteChannelFile(dir_ + "OrvixPlusChannels.chl", 3, 5,
                                         {tv::MakeChannel(3, "Pearl Drama", 77.25)},
                                         {tv::MakeChannel(5, "Cable Shopping", 159.25)}));
        settings_.nInputSource = 1;
        settings_.nTunerList = 1;
    }

    // The program's clock starts a second before the entries' minute and
    // its schedule check comes every 500 ms: the entries are taken as soon
    // as the program is up, or as soon as the minute begins. The due window
    // lasts 20 s, longer than the slowest start.
    bool StartAndWait(std::vector<std::string> env = {})
    {
        char offset[32];
        snprintf(offset, sizeof(offset), "%lld", (long long)(due_ - 1 - time(NULL)));
        env.push_back(std::string("ORVIX_SCHEDULE_CLOCK_OFFSET=") + offset);
        env.push_back("ORVIX_TIMER_DIVISOR=10");
        return RecordRun::StartAndWait(env);
    }

    // Timewarden saved the file: the running program reads it again. Cases
    // that look at the program before the run, or set a failure for the
    // run's graph, hand over their entries this way once they are ready.
    void Reschedule(const std::vector<ScheduleRecord>& entries)
    {
        WriteSchedule(entries);
        PostMessageA(main_, WM_COMMAND, 1125, 0);
    }

    // Half a minute of silence played through the open-file dialog: a file
    // without a picture, quick to write. TRUE once the program plays it.
    bool PlaySilence()
    {
        const DWORD rate = 8000, bytes = 30 * rate;  // 8-bit mono
        const DWORD header[] = {mmioFOURCC('R', 'I', 'F', 'F'), 36 + bytes, mmioFOURCC('W', 'A', 'V', 'E'),
                                mmioFOURCC('f', 'm', 't', ' '), 16, MAKELONG(WAVE_FORMAT_PCM, 1), rate,
                                rate, MAKELONG(1, 8), mmioFOURCC('d', 'a', 't', 'a'), bytes};
        std::string wav((const char*)header, sizeof(header));
        wav.append(bytes, '\x80');
        std::string path = dir_ + "silence.wav";
        FILE* f = fopen(path.c_str(), "wb");
        if (!f || fwrite(wav.data(), 1, wav.size(), f) != wav.size() || fclose(f) != 0)
            return false;
        PostMessageA(main_, WM_USER + 109, 0, 26);
        HWND dialog = NULL;
        return ts::PumpUntil([&] { return (dialog = tv::FindOpenFileDialog(child_.Pid(), main_)) != NULL; },
                             10000) &&
               tv::ChooseInOpenFileDialog(dialog, path) &&
               ts::PumpUntil([&] { return ButtonEnabled("STOP_MOVIE"); }, 5000);
    }

    // The input the settings window's device page shows: 0 TV, 1 Composite, 2 S-Video.
    int SettingsInput()
    {
        HWND prop = FindWindowA("Orvix Plus Prop", "属性页");
        DWORD_PTR r = (DWORD_PTR)-1;
        SendMessageTimeoutA(GetDlgItem(GetDlgItem(GetDlgItem(prop, 8000), 5004), 4102), CB_GETCURSEL,
                            0, 0, SMTO_NORMAL, 5000, &r);
        return (int)r;
    }

    // Long enough for several schedule checks.
    void PumpChecks() { ts::PumpFor(2000); }

    // The program can run a timed entry only over a live preview.
    bool PreviewMissing() { return BoxesWith("没有注册") > 0; }

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

    std::string stubLog_, scheduleAtStart_;
    time_t due_ = 0;
    ts::ChildProcess stub_;
};

}  // namespace

TEST_F(ScheduledRun, ADailyViewingDuringPlaybackTunesOnlyItsChannelRunsOnceKeepsItsEntryAndAsksForStandby)
{
    WatchAntennaWithCableStored();
    WriteSchedule({});
    ASSERT_TRUE(StartAndWait());
    if (PreviewMissing()) {
        Close();
        GTEST_SKIP() << "no preview here";
    }
    ASSERT_TRUE(ts::PumpUntil([] { return TunedTo(77.25); }, 5000)) << "not on the antenna channel";
    ASSERT_TRUE(PlaySilence()) << "the file does not play";
    CardCtl_ClearLog();
    Reschedule({RunEntry(due_, 3, SCHEDULE_REPEAT_DAILY, SCHEDULE_SOURCE_CABLE, SCHEDULE_MODE_VIEW,
                         SCHEDULE_AFTER_STANDBY)});

    // The playback stops for the entry's channel: the user's is not tuned
    // on the way.
    ASSERT_TRUE(ts::PumpUntil([] { return TunedTo(159.25); }, 10000)) << "the run did not start";
    for (const std::string& line : CardLogLines()) {
        if (line.compare(0, 13, "I2CWrite C0: ") == 0) {
            EXPECT_EQ(13u, line.find(tv::TunerBytesText(159.25))) << line;
        }
    }
    ASSERT_TRUE(WaitPosted("1127")) << "the run did not end";
    EXPECT_TRUE(ts::PumpUntil([] { return TunedTo(77.25); }, 3000)) << "the antenna is not tuned again";
    // Nothing was removed at the start: the only save is the run's end.
    EXPECT_EQ((std::vector<std::string>{"459", "1127"}), Posted());
    EXPECT_EQ(scheduleAtStart_, tv::ReadFileBytes(dir_ + "schedulefile.she"));
    // The next checks fall in the same window: the entry does not run again.
    PumpChecks();
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
    WriteSchedule({RunEntry(due_, 4, SCHEDULE_REPEAT_ONCE, SCHEDULE_SOURCE_TV, SCHEDULE_MODE_VIEW,
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
    PumpChecks();
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

TEST_F(ScheduledRun, ACompositeRunShowsInTheSettingsTheScheduleButtonEndsItAndItsWindowReloadsAndGoes)
{
    // A long viewing whose start is seen by the saved removal of its entry.
    WriteSchedule({RunEntry(due_, 40, SCHEDULE_REPEAT_ONCE, SCHEDULE_SOURCE_COMPOSITE, SCHEDULE_MODE_VIEW,
                            SCHEDULE_AFTER_STANDBY, 1)});
    ASSERT_TRUE(StartAndWait());
    if (PreviewMissing()) {
        Close();
        GTEST_SKIP() << "no preview here";
    }
    ASSERT_TRUE(WaitPosted("459")) << "the run did not start";
    EXPECT_TRUE(ts::PumpUntil([&] { return SettingsInput() == 1; }, 3000))
        << "the settings show input " << SettingsInput();
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
    // The run ends at once, with its after-action, before the window opens;
    // the user's tuner is back in the settings too.
    EXPECT_TRUE(WaitPosted("1127", 5000));
    EXPECT_EQ((std::vector<std::string>{"459", "459", "1127"}), Posted());
    EXPECT_TRUE(ts::PumpUntil([&] { return SettingsInput() == 0; }, 3000))
        << "the settings show input " << SettingsInput();
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

TEST_F(ScheduledRun, ADailyCableRecordingRecordsItsLengthThenRetunesTheAntennaAndKeepsItsEntry)
{
    WatchAntennaWithCableStored();
    WriteSchedule({});
    ASSERT_TRUE(StartAndWait({"ORVIX_DISK_FREE_MB=*=5000"}));
    if (PreviewMissing()) {
        Close();
        GTEST_SKIP() << "no preview here";
    }
    ASSERT_TRUE(ts::PumpUntil([] { return TunedTo(77.25); }, 5000)) << "not on the antenna channel";
    Reschedule({RunEntry(due_, 5, SCHEDULE_REPEAT_DAILY, SCHEDULE_SOURCE_CABLE, SCHEDULE_MODE_RECORD,
                         SCHEDULE_AFTER_STANDBY)});

    // The run tunes the cable station and records into the next free file.
    ASSERT_TRUE(Grows(recDir_ + "cap00.mpg", 20000)) << "no growing cap00.mpg";
    DWORD started = GetTickCount();
    EXPECT_TRUE(TunedTo(159.25)) << "not on the cable station";
    std::string size;
    EXPECT_TRUE(ts::PumpUntil([&] {
        size = LabelText("timer_filesize");
        return size.find("Size: ") == 0;
    }, 3000)) << "no size while recording: " << size;

    // On the sixth tick it ends: the recording stops, the antenna channel
    // comes back, the list is saved unchanged and stand-by is asked for.
    ASSERT_TRUE(WaitPosted("1127", 15000)) << "the run did not end";
    DWORD lasted = GetTickCount() - started;
    EXPECT_GE(lasted, 4000u) << "the run ended early";
    EXPECT_TRUE(ts::PumpUntil([] { return TunedTo(77.25); }, 3000)) << "the antenna is not tuned again";
    EXPECT_EQ((std::vector<std::string>{"459", "1127"}), Posted());
    EXPECT_EQ(scheduleAtStart_, tv::ReadFileBytes(dir_ + "schedulefile.she"));
    DWORD stopped = tv::FileSize(recDir_ + "cap00.mpg");
    EXPECT_TRUE(PictureMoves()) << "no live picture after the run";

    // Nothing more runs in the entry's due window.
    PumpChecks();
    EXPECT_EQ(stopped, tv::FileSize(recDir_ + "cap00.mpg")) << "still recording";
    EXPECT_EQ(std::vector<std::string>{"cap00.mpg"}, Files(recDir_, "*.mpg"));
    EXPECT_EQ(2u, Posted().size());
    EXPECT_TRUE(Boxes().empty()) << ts::Gbk(Boxes()[0]);
    Close();
    EXPECT_EQ(scheduleAtStart_, tv::ReadFileBytes(dir_ + "schedulefile.she"));
}

TEST_F(ScheduledRun, ARecordingThatFailsToStartOrIsTooLargeForTheDiskDoesNotRunItsLength)
{
    // Both fall due in one window. The first is small enough, but its
    // recording graph cannot be built. The second, DVD-PAL at quality 3 for
    // two hours, needs 7200 MB; 3000 are free.
    WatchAntennaWithCableStored();
    settings_.nRecordFormat = 5;
    settings_.nRecordQuality = 3;
    WriteSchedule({});
    ASSERT_TRUE(StartAndWait({"ORVIX_DISK_FREE_MB=*=3000"}));
    if (PreviewMissing()) {
        Close();
        GTEST_SKIP() << "no preview here";
    }
    ASSERT_TRUE(ts::PumpUntil([] { return TunedTo(77.25); }, 5000)) << "not on the antenna channel";
    // The next graph built is the recording one: a filter of its chain is
    // refused.
    ASSERT_EQ(1, CardCtl_FailCall("VideoInvert.Create", 1));
    Reschedule({RunEntry(due_, 5, SCHEDULE_REPEAT_DAILY, SCHEDULE_SOURCE_CABLE,
                         SCHEDULE_MODE_RECORD, SCHEDULE_AFTER_STANDBY),
                RunEntry(due_, 7200, SCHEDULE_REPEAT_DAILY, SCHEDULE_SOURCE_CABLE,
                         SCHEDULE_MODE_RECORD, SCHEDULE_AFTER_SHUTDOWN)});

    // The first: the failed start ends the run at once, with the channel
    // back, the list saved and the after-action.
    ASSERT_TRUE(ts::PumpUntil([&] { return BoxesWith("error\t录制不成功!\t") == 1; }, 20000))
        << "the first entry did not start";
    DWORD failed = GetTickCount();
    ASSERT_TRUE(WaitPosted("1127", 10000));
    EXPECT_LT(GetTickCount() - failed, 3000u) << "the failed run counted its length";
    EXPECT_EQ((std::vector<std::string>{"459", "1127"}), Posted());

    // The second: one box, and the user's channel, files and list stay.
    ASSERT_TRUE(ts::PumpUntil([&] { return BoxesWith("error\t录制的磁盘空间不足\t") == 1; }, 10000));
    Sync();
    EXPECT_TRUE(ts::PumpUntil([] { return TunedTo(77.25); }, 3000)) << "the antenna is not tuned again";
    EXPECT_EQ((std::vector<std::string>{"459", "1127"}), Posted());
    EXPECT_TRUE(Files(recDir_, "*.mpg").empty());
    EXPECT_TRUE(PictureMoves()) << "no live picture after the failed start";

    // Neither is taken again in the window. The boxes are the refused
    // filter's (the graph says which component it could not create), the
    // failed start's and the disk's, one each.
    PumpChecks();
    std::vector<std::string> boxes = Boxes();
    ASSERT_EQ(3u, boxes.size());
    EXPECT_EQ(0u, boxes[0].find("Orvix Plus\t没有注册 Brinmarch Video Invert Filter 组件\t")) << ts::Gbk(boxes[0]);
    EXPECT_EQ(0u, boxes[1].find("error\t录制不成功!\t")) << ts::Gbk(boxes[1]);
    EXPECT_EQ(0u, boxes[2].find("error\t录制的磁盘空间不足\t")) << ts::Gbk(boxes[2]);
    EXPECT_EQ(2u, Posted().size());
    EXPECT_TRUE(Files(recDir_, "*.mpg").empty());
    Close();
    EXPECT_EQ(scheduleAtStart_, tv::ReadFileBytes(dir_ + "schedulefile.she"));
    EXPECT_EQ(0, CardCtl_LiveObjects());
}
