// The road of a timed recording through the whole product, in the program
// folder that Scenario_test.sh laid out as dist/ inside a prefix of the
// scenario's own: Timewarden in the tray, an entry added in OrvixPlus's
// schedule window, Timewarden launching OrvixPlus for it, the recording, the
// stand-by and the wake timer, the remote, the recording played back and
// snapped, and Wavetrap recording the station's sound.
//
// Both programs run on one schedule clock moved by ORVIX_SCHEDULE_CLOCK_OFFSET,
// so that the entry's minute comes less than a minute after it is set.
#include <gtest/gtest.h>
#include <windows.h>
#include <winternl.h>
#include <math.h>
#include <stdio.h>
#include <time.h>
#include <algorithm>
#include <functional>
#include <set>
#include "CardCtl.h"
#include "ScheduleAddRes.h"
#include "ScheduleMessages.h"
#include "ScheduleRecord.h"
#include "ScheduleTestTime.h"
#include "TimewardenProbe.h"
#include "TvProgramRun.h"
#include "StationPicture.h"
#include "TvStations.h"
#include "WavetrapTestSupport.h"

namespace {

const BOOL g_ownCard = SetEnvironmentVariableA("ORVIX_CARD", "scenario_test");

// The cable channels of the scenario, with the stations on them.
const int kStartChannel = 1, kRecordChannel = 4, kRemoteNextChannel = 2, kRemoteTypedChannel = 12;
const double kStartMHz = 49.75, kRecordMHz = 77.25, kNextMHz = 57.75, kTypedMHz = 159.25;

std::string Folder()
{
    char text[MAX_PATH] = "";
    DWORD n = GetEnvironmentVariableA("ORVIX_SCENARIO_FOLDER", text, sizeof(text));
    return n && n < sizeof(text) ? std::string(text) : std::string();
}

std::string Bytes(const void* p, size_t n) { return std::string((const char*)p, n); }

// The tuner's line in the card's log for a frequency.
std::string TunerWrite(double mhz)
{
    return "I2CWrite C0: " + tv::TunerBytesText(mhz);
}

int CountLines(const std::vector<std::string>& lines, const std::string& prefix)
{
    return (int)std::count_if(lines.begin(), lines.end(),
                              [&](const std::string& l) { return l.compare(0, prefix.size(), prefix) == 0; });
}

// What another process was started as: its image and its command line, read
// from its process parameters.
bool ProcessStartedAs(DWORD pid, std::wstring* image, std::wstring* commandLine)
{
    typedef NTSTATUS(WINAPI * QueryFn)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    QueryFn query = (QueryFn)(void*)GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess");
    HANDLE h = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!query || !h)
        return false;
    PROCESS_BASIC_INFORMATION info = {};
    PEB peb = {};
    RTL_USER_PROCESS_PARAMETERS params = {};
    SIZE_T got = 0;
    bool ok = query(h, ProcessBasicInformation, &info, sizeof(info), NULL) == 0 &&
              ReadProcessMemory(h, info.PebBaseAddress, &peb, sizeof(peb), &got) &&
              ReadProcessMemory(h, peb.ProcessParameters, &params, sizeof(params), &got);
    auto text = [&](const UNICODE_STRING& s, std::wstring* out) {
        out->assign(s.Length / sizeof(WCHAR), L'\0');
        return !s.Length || ReadProcessMemory(h, s.Buffer, &(*out)[0], s.Length, &got);
    };
    ok = ok && text(params.ImagePathName, image) && text(params.CommandLine, commandLine);
    CloseHandle(h);
    return ok;
}

std::string Narrow(const std::wstring& w)
{
    char text[1024] = "";
    WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, text, sizeof(text), NULL, NULL);
    return text;
}

class Scenario : public tv::ProgramRun {
protected:
    void SetUp() override
    {
        folder_ = Folder();
        if (folder_.empty())
            GTEST_SKIP() << "run by Scenario_test.sh in a program folder of its own";
        ProgramRun::SetUp();
        ASSERT_EQ(NULL, tw::FindScheduler()) << "another Timewarden is running";
        dir_ = folder_;
        boxLog_ = dir_ + "boxes.log";
        power_ = dir_ + "power.log";
        ReadSkin();
        ASSERT_FALSE(buttons_.empty()) << "no skin in " << dir_;
    }

    void TearDown() override
    {
        for (HWND w : {tv::FindMainWindow(), tw::FindScheduler()}) {
            DWORD pid = 0;
            if (w && GetWindowThreadProcessId(w, &pid) && pid)
                if (HANDLE h = OpenProcess(PROCESS_TERMINATE, FALSE, pid)) {
                    TerminateProcess(h, 1);
                    CloseHandle(h);
                }
        }
        if (timewarden_.Running())
            timewarden_.Kill();
        ProgramRun::TearDown();
    }

    // The programs' clock: the real one moved by the offset both are given.
    time_t Clock() const { return time(NULL) + offset_; }

    std::vector<std::string> Env() const
    {
        char offset[32];
        snprintf(offset, sizeof(offset), "%lld", (long long)offset_);
        return {"ORVIX_MSGBOX_LOG=" + boxLog_, "ORVIX_POWER_LOG=" + power_,
                std::string("ORVIX_SCHEDULE_CLOCK_OFFSET=") + offset};
    }

    // A remote key, pressed once the card has handed out the one before. The
    // keys are pressed from here rather than by starting cardctl for each:
    // a loaded machine can take longer to start a process than Timewarden
    // waits between the digits of one number.
    void PressRemote(int key)
    {
        ASSERT_TRUE(ts::PumpUntil([] { return CardCtl_PendingKey() == 0; }, 20000)) << "a key stayed unread";
        ASSERT_TRUE(CardCtl_PressKey(key));
    }

    bool WaitTuned(double mhz, DWORD ms = 20000)
    {
        return ts::PumpUntil([&] { return fabs(CardCtl_TunedFrequency() - mhz) < 0.01; }, ms);
    }

    ::testing::AssertionResult Shows(const std::string& station, double limit = 45.0)
    {
        return scenario::WindowShows(video_, station, limit);
    }

    std::string Schedule() { return tv::ReadFileBytes(dir_ + "schedulefile.she"); }

    // What a failed step's message adds: the boxes, the clock, the files and
    // the card's last calls.
    std::string Diagnosis()
    {
        ts::CaptureToBmp(NULL, "scenario-failure.bmp");
        std::string text = "\n  clock - entry: " + std::to_string((long long)(Clock() - added_.tStart)) +
                           " s, schedulefile.she " + std::to_string(Schedule().size()) + " bytes";
        for (const std::string& b : Boxes())
            text += "\n  box: " + ts::Gbk(b);
        for (const std::string& p : ts::ReadLines(power_))
            text += "\n  power: " + p;
        std::vector<std::string> log = CardLogLines();
        // Timewarden's remote poll fills the log; the tuner's lines are told.
        for (const std::string& line : log)
            if (line.compare(0, 3, "I2C") == 0)
                text += "\n  card: " + line;
        return text;
    }

    std::string folder_, power_;
    time_t offset_ = 0;
    ts::ChildProcess timewarden_;
    ScheduleRecord later_ = {}, added_ = {};
};

// Runs one step under its name; the scenario stops at the first that fails.
#define STEP(name, ...)                                   \
    do {                                                  \
        SCOPED_TRACE(name);                               \
        [&]() __VA_ARGS__();                              \
        if (HasFailure())                                 \
            FAIL() << "the scenario stopped at " << name; \
    } while (0)

}  // namespace

TEST_F(Scenario, ATimedRecordingFromTheScheduleWindowToThePlayerAndWavetrap)
{
    // The entry's minute lies about 50 s of the programs' clock after the
    // moment it is set, a few seconds from now; the list already holds a
    // later entry, the one the wake timer is armed for.
    time_t now = time(NULL);
    time_t firstDue = (now / 60 + 3) * 60;
    offset_ = firstDue - 58 - now;
    later_ = Entry(firstDue + 7200, 600, SCHEDULE_REPEAT_ONCE);
    later_.nSource = SCHEDULE_SOURCE_CABLE;
    later_.nMode = SCHEDULE_MODE_VIEW;
    {
        FILE* f = fopen((dir_ + "schedulefile.she").c_str(), "wb");
        ASSERT_TRUE(f != NULL);
        fwrite(&later_, sizeof(later_), 1, f);
        fclose(f);
    }
    CardCtl_ClearLog();
    HWND scheduler = NULL;

    STEP("step 1: Timewarden starts hidden in the tray", {
        ASSERT_TRUE(timewarden_.Start("\"" + dir_ + "Timewarden.exe\"", Env(), dir_));
        ASSERT_TRUE(ts::PumpUntil([&] {
            scheduler = tw::FindScheduler();
            return scheduler && tw::ModifyTrayIcon(scheduler);
        }, 20000)) << "no window \"" SCHEDULER_WINDOW_CAPTION "\" with its tray icon";
        EXPECT_FALSE(IsWindowVisible(scheduler));
        EXPECT_TRUE(ts::ReadLines(power_).empty());
    });

    STEP("step 2: a timed recording is set in OrvixPlus's schedule window", {
        ASSERT_TRUE(StartAndWait(Env())) << "OrvixPlus did not come up";
        ASSERT_TRUE(WaitTuned(kStartMHz)) << "not on the saved cable channel";
        Click("TIMED_RECORD");
        HWND wnd = NULL;
        ASSERT_TRUE(ts::PumpUntil([&] {
            wnd = FindWindowA("ScheduleWnd", NULL);
            return wnd && IsWindowVisible(wnd);
        }, 15000)) << "no schedule window";
        HWND add = GetDlgItem(wnd, 4240);
        ASSERT_TRUE(add != NULL);
        PostMessageA(wnd, WM_COMMAND, MAKEWPARAM(4240, BN_CLICKED), (LPARAM)add);
        HWND dlg = NULL;
        ASSERT_TRUE(ts::PumpUntil([&] {
            dlg = FindWindowA("#32770", "Schedule - Add");
            return dlg && IsWindowVisible(dlg);
        }, 30000)) << "no Schedule - Add dialog";

        // The next minute that still lies 40 s ahead, as a once entry must.
        time_t due = (Clock() + 44 + 59) / 60 * 60;
        struct tm t = *localtime(&due);
        time_t opened = Clock();
        struct tm today = *localtime(&opened);
        auto click = [&](int id) { SendMessageA(GetDlgItem(dlg, id), BM_CLICK, 0, 0); };
        auto choose = [&](int id, int index) {
            ASSERT_EQ(index, (int)SendMessageA(GetDlgItem(dlg, id), CB_SETCURSEL, index, 0)) << id;
        };
        click(IDC_SCHEDADD_SOURCE_CABLE);
        choose(IDC_SCHEDADD_CABLE_LIST, kRecordChannel - SCHEDULE_FIRST_CABLE_CHANNEL);
        click(IDC_SCHEDADD_ONCE);
        click(IDC_SCHEDADD_RECORD);
        choose(IDC_SCHEDADD_YEAR, t.tm_year - today.tm_year);
        choose(IDC_SCHEDADD_MONTH, t.tm_mon);
        choose(IDC_SCHEDADD_DAY, t.tm_mday - 1);
        choose(IDC_SCHEDADD_HOUR, t.tm_hour);
        choose(IDC_SCHEDADD_MINUTE, t.tm_min);
        // The shortest length: nothing chosen but the dialog's least.
        choose(IDC_SCHEDADD_LENGTH_HOURS, 0);
        choose(IDC_SCHEDADD_LENGTH_MINUTES, 0);
        choose(IDC_SCHEDADD_LENGTH_SECONDS, 0);
        choose(IDC_SCHEDADD_AFTER_LIST, SCHEDULE_AFTER_STANDBY);
        ASSERT_EQ(BST_CHECKED, (int)SendMessageA(GetDlgItem(dlg, IDC_SCHEDADD_DELETE_AFTER), BM_GETCHECK, 0, 0));
        ASSERT_GE(due - Clock(), 40) << "too slow to set the entry in time";
        PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_SCHEDADD_CONFIRM, BN_CLICKED),
                     (LPARAM)GetDlgItem(dlg, IDC_SCHEDADD_CONFIRM));

        added_ = Entry(due, 3, SCHEDULE_REPEAT_ONCE, 1);
        added_.nTvChannel = 8;
        added_.nCableChannel = kRecordChannel;
        added_.nSource = SCHEDULE_SOURCE_CABLE;
        added_.nAfterAction = SCHEDULE_AFTER_STANDBY;
        std::string want = Bytes(&later_, sizeof(later_)) + Bytes(&added_, sizeof(added_));
        ASSERT_TRUE(ts::PumpUntil([&] { return Schedule() == want; }, 15000))
            << "schedulefile.she holds " << Schedule().size() << " bytes, not the two entries";
        EXPECT_TRUE(Boxes().empty()) << ts::Gbk(Boxes()[0]);
        Click("CLOSE");
        ASSERT_EQ(0u, child_.Wait(15000)) << "OrvixPlus did not close";
        ASSERT_LT(Clock(), due - 20) << "closed too late for the launch";
        EXPECT_EQ(want, Schedule()) << "the schedule changed as OrvixPlus closed";
    });

    DWORD pid = 0;
    STEP("step 3: Timewarden launches OrvixPlus, which records the entry", {
        // Timewarden knows the entry only from its reload on 459: it started
        // with the later entry alone.
        ASSERT_TRUE(ts::PumpUntil([&] {
            main_ = tv::FindMainWindow();
            return main_ && IsWindowVisible(main_);
        }, (DWORD)(added_.tStart - Clock() + 30) * 1000)) << "Timewarden did not launch OrvixPlus" << Diagnosis();
        video_ = tv::FindVideoWindow();
        EXPECT_EQ(72u, Schedule().size()) << "the entry left before it ran" << Diagnosis();
        ASSERT_LT(Clock(), (time_t)added_.tStart + 20) << "launched after the entry's due window";
        GetWindowThreadProcessId(main_, &pid);
        std::wstring image, commandLine;
        ASSERT_TRUE(ProcessStartedAs(pid, &image, &commandLine));
        EXPECT_EQ("\"" + dir_ + "\\OrvixPlus.exe\" ant", Narrow(commandLine));
        EXPECT_EQ(0, lstrcmpiA((dir_ + "OrvixPlus.exe").c_str(), Narrow(image).c_str())) << Narrow(image);

        // The run: the entry's channel, a growing cap00.mpg, the user's
        // channel again; the frequencies as the card saw them.
        std::string file = dir_ + "cap00.mpg";
        DWORD switched = 0, restored = 0, grownLast = 0, lastSize = 0;
        std::set<double> seen;
        // Timewarden's remote poll fills the card's log within seconds: its
        // tuner lines are taken as they come.
        std::vector<std::string> writes;
        auto takeWrites = [&] {
            for (const std::string& line : CardTakeLogLines())
                if (line.compare(0, 12, "I2CWrite C0:") == 0)
                    writes.push_back(line);
        };
        CardCtl_ClearLog();
        ASSERT_TRUE(ts::PumpUntil([&] {
            takeWrites();
            double f = CardCtl_TunedFrequency();
            seen.insert(f);
            DWORD size = tv::FileSize(file);
            if (size != (DWORD)-1 && size > lastSize) {
                lastSize = size;
                grownLast = GetTickCount();
            }
            if (!switched && fabs(f - kRecordMHz) < 0.01)
                switched = GetTickCount();
            if (switched && !restored && fabs(f - kStartMHz) < 0.01)
                restored = GetTickCount();
            return restored != 0;
        }, 60000)) << "the run did not switch to " << kRecordMHz << " MHz and back" << Diagnosis()
            << "\n  tuned: " << ::testing::PrintToString(seen) << ", cap00.mpg " << lastSize << " bytes";
        double seconds = (restored - switched) / 1000.0;
        EXPECT_GE(seconds, 3.0) << "the entry's 3 s were not recorded";
        EXPECT_LT(seconds, 9.0);
        ts::PumpFor(1500);
        takeWrites();
        EXPECT_EQ(lastSize, tv::FileSize(file)) << "still recording after the run";
        EXPECT_LE(grownLast, restored + 500);
        std::string mpg = tv::ReadFileBytes(file);
        ASSERT_GT(mpg.size(), 20000u);
        EXPECT_EQ(std::string("\0\0\1\xBA", 4), mpg.substr(0, 4)) << "not an MPEG program stream";
        EXPECT_GE(CountLines(writes, TunerWrite(kRecordMHz)), 1) << "no tuner write for the entry's channel";
        EXPECT_GE(CountLines(writes, TunerWrite(kStartMHz)), 1) << "no tuner write for the user's channel";
        EXPECT_TRUE(Shows("Harbour News")) << "the user's channel is not back";
        // The run dropped its once entry and saved the list.
        EXPECT_EQ(Bytes(&later_, sizeof(later_)), Schedule());

        // Stand-by ten seconds after OrvixPlus asked, at the end of the run.
        DWORD standby = 0;
        ASSERT_TRUE(ts::PumpUntil([&] {
            std::vector<std::string> lines = ts::ReadLines(power_);
            if (std::find(lines.begin(), lines.end(), "SetSystemPowerState 1 0") == lines.end())
                return false;
            standby = GetTickCount();
            return true;
        }, 20000)) << "no stand-by" << Diagnosis();
        EXPECT_NEAR(10.0, (standby - restored) / 1000.0, 2.5);
        // The system announces the suspend: the wake timer is armed 120 s
        // before the later entry.
        SendMessageA(scheduler, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
        std::vector<std::string> power = ts::ReadLines(power_);
        ASSERT_EQ(2u, power.size());
        EXPECT_EQ("SetWaitableTimer " + tw::UtcText(later_.tStart - 120) + " 1", power[1]);
        EXPECT_TRUE(Boxes().empty()) << ts::Gbk(Boxes()[0]);
        ASSERT_TRUE(IsWindow(main_)) << "OrvixPlus ended";
    });

    STEP("step 4: the remote reaches OrvixPlus through Timewarden", {
        PressRemote(14);
        EXPECT_TRUE(WaitTuned(kNextMHz)) << "remote channel up did not tune channel " << kRemoteNextChannel;
        EXPECT_TRUE(Shows("Valley Sports"));
        // Timewarden starts a number at its first digit tick, 100 ms after
        // the digit was read, and adds what comes in the next second: the
        // second digit follows the first as a user's thumb would.
        PressRemote(1);
        ASSERT_TRUE(ts::PumpUntil([] { return CardCtl_PendingKey() == 0; }, 20000));
        ts::PumpFor(300);
        PressRemote(2);
        EXPECT_TRUE(WaitTuned(kTypedMHz)) << "the digits did not tune channel " << kRemoteTypedChannel;
        EXPECT_TRUE(Shows("Cable Shopping"));
    });

    STEP("step 5: the recording opens in the player and a snapshot is taken", {
        PressRemote(26);
        HWND dialog = NULL;
        ASSERT_TRUE(ts::PumpUntil([&] { return (dialog = tv::FindOpenFileDialog(pid, main_)) != NULL; }, 15000))
            << "no open-file dialog";
        ASSERT_TRUE(tv::ChooseInOpenFileDialog(dialog, dir_ + "cap00.mpg"));
        // The recording is of the entry's channel: its station plays.
        EXPECT_TRUE(Shows("Pearl Drama")) << "the played file's picture";
        PressRemote(30);
        std::string bmp = dir_ + "cap00.bmp";
        ASSERT_TRUE(ts::PumpUntil([&] { return tv::FileSize(bmp) != (DWORD)-1 && tv::FileSize(bmp) > 54; }, 10000))
            << "no snapshot";
        SIZE size = {};
        std::vector<DWORD> pixels;
        ASSERT_TRUE(ts::PumpUntil([&] { return !(pixels = tv::BitmapPixels(bmp, &size)).empty(); }, 5000));
        ASSERT_GT(size.cx, tv::kGridX);
        ASSERT_GT(size.cy, tv::kGridY);
        std::vector<DWORD> grid;
        for (int j = 0; j < tv::kGridY; ++j)
            for (int i = 0; i < tv::kGridX; ++i) {
                POINT p = tv::GridPoint(i, j, size.cx, size.cy);
                grid.push_back(pixels[(size_t)p.y * size.cx + p.x]);
            }
        scenario::Closest c = scenario::ClosestPicture(tv::PictureSet({640, 480}, size.cx, size.cy), grid);
        EXPECT_EQ("Pearl Drama", c.name) << "the snapshot (distance " << c.distance << ", " << size.cx << " x "
                                         << size.cy << ")";
        EXPECT_LT(c.distance, 45.0);
        PressRemote(21);
        EXPECT_TRUE(Shows("Cable Shopping")) << "no live TV after the playback";
        // The power key closes OrvixPlus through Timewarden.
        PressRemote(18);
        EXPECT_TRUE(ts::PumpUntil([] { return tv::FindMainWindow() == NULL; }, 20000)) << "OrvixPlus stayed";
        EXPECT_TRUE(Boxes().empty()) << ts::Gbk(Boxes()[0]);
    });

    STEP("step 6: Wavetrap, registered with regsvr32, records the station's sound", {
        ts::ChildProcess regsvr;
        ASSERT_TRUE(regsvr.Start("regsvr32 /s \"" + dir_ + "Wavetrap.dll\""));
        ASSERT_EQ(0u, regsvr.Wait(30000)) << "regsvr32 failed";
        char server[MAX_PATH] = "";
        LONG size = sizeof(server);
        ASSERT_EQ(ERROR_SUCCESS, RegQueryValueA(HKEY_CLASSES_ROOT,
                                                "CLSID\\{4AE129E0-0C56-40D4-96D9-DACFC8663A9F}\\InprocServer32",
                                                server, &size));
        EXPECT_EQ(0, lstrcmpiA((dir_ + "Wavetrap.dll").c_str(), server)) << server;
        ts::ChildProcess client;
        ASSERT_TRUE(client.Start("\"" + dir_ + "WavetrapClient.exe\" record wav 5 \"" + dir_ + "take\"", {}, dir_));
        ASSERT_EQ(0u, client.Wait(40000)) << "the client failed";
        wt::WavFile w = wt::ReadWav(dir_ + "take.wav");
        ASSERT_TRUE(w.ok) << w.error;
        EXPECT_EQ(w.fileSize - 44, w.dataSize);
        EXPECT_EQ(44100u, w.rate);
        EXPECT_EQ(2, w.channels);
        EXPECT_EQ(16, w.bits);
        double seconds = w.dataSize / 176400.0;
        EXPECT_GT(seconds, 3.5);
        EXPECT_LT(seconds, 5.5);
        EXPECT_EQ(wt::StationTone(tv::StationNamed("Cable Shopping").pattern), wt::StrongestTone(w.samples, 44100));
    });
    PostMessageA(scheduler, WM_COMMAND, 32775, 0);
    EXPECT_EQ(0u, timewarden_.Wait(20000)) << "Timewarden did not exit";
}
