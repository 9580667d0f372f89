// The TV wall and the channel scan in OrvixPlus.exe: a cable list with gaps
// on the card's stations, the dwell and the scan's settle shortened by the
// timer divisor, the wall driven by the remote key and by messages as the
// user's clicks and keys give them; scans run to their end, stopped by the
// button and interrupted by the program's close. The card's log shows every
// tuner write; cells are compared with the card's own pictures.
#include <gtest/gtest.h>
#include <windows.h>
#include <math.h>
#include "Bandatlas.h"
#include "CardCtl.h"
#include "CardState.h"
#include "TvProgramRun.h"
#include "TvStations.h"
#include "TvWallFolder.h"
#include <algorithm>
#include <string>
#include <vector>

namespace {

const BOOL g_ownCard = SetEnvironmentVariableA("ORVIX_CARD", "orvixplus_tvwall_test");
const UINT kToggleScanMessage = WM_USER + 605;

HWND FindWall() { return FindWindowA("MultiPicWindow", "多画面浏览"); }

bool TunedTo(double mhz)
{
    return fabs(CardCtl_TunedFrequency() - mhz) < 0.07;
}

// The channel file as it is on disk: the lists' records by number.
struct ChannelFile {
    ChannelFileHeader header = {};
    std::string airBytes;
    std::vector<ChannelRecord> cable;
    bool whole = false;

    explicit ChannelFile(const std::string& path)
    {
        std::string data = tv::ReadFileBytes(path);
        if (data.size() < sizeof header)
            return;
        memcpy(&header, data.data(), sizeof header);
        size_t air = (size_t)header.nCountAir * sizeof(ChannelRecord);
        size_t total = sizeof header + air + (size_t)header.nCountCable * sizeof(ChannelRecord);
        if (header.nCountAir < 0 || header.nCountCable < 0 || data.size() != total)
            return;
        airBytes = data.substr(sizeof header, air);
        for (int i = 0; i < header.nCountCable; ++i) {
            ChannelRecord r;
            memcpy(&r, data.data() + sizeof header + air + i * sizeof r, sizeof r);
            cable.push_back(r);
        }
        std::sort(cable.begin(), cable.end(),
                  [](const ChannelRecord& a, const ChannelRecord& b) { return a.nNumber < b.nNumber; });
        whole = true;
    }
};

// The country's cable plan and which of its entries the card has a station on.
std::vector<double> CablePlan()
{
    std::vector<double> plan;
    if (const CountryFrequencyTable* t = getFrequencyTableFromCountryCode(86))
        for (int n = t->nCableFirst; n <= t->nCableLast; ++n)
            plan.push_back(t->pCableFrequencies[n - t->nCableFirst] * 0.000001);
    return plan;
}

std::vector<double> StationsAmong(const std::vector<double>& mhz)
{
    std::vector<double> found;
    CardStation st;
    for (double f : mhz)
        if (CardStationAt(f, &st))
            found.push_back(f);
    return found;
}

// The antenna list the scans must leave alone: numbers in buckets of their
// own, so the store writes them back in this order.
std::vector<ChannelRecord> AirChannels()
{
    return {tv::MakeChannel(5, "Summit Music", 192.25), tv::MakeChannel(20, "Harbour News", 49.75, 1),
            tv::MakeChannel(40, "Lantern Kids", 168.25)};
}

std::vector<ChannelRecord> WallChannels()
{
    std::vector<ChannelRecord> cable;
    for (const tvwall::Station& st : tvwall::kChannels) {
        ChannelRecord r;
        MakeChannelRecord(&r, st.number, (int)lround(st.mhz * 1000000), 1);
        cable.push_back(r);
    }
    return cable;
}

class TvWallProgram : public tv::ProgramRun {
protected:
    void SetUp() override
    {
        ProgramRun::SetUp();
        ASSERT_TRUE(MakeFolder("orvixplus-wall", true));
    }

    // The cable list as given, current channel 1 unless told; 2 x 2 cells,
    // 3 s a step.
    void WriteFiles(bool withChannels, int current = 1)
    {
        ASSERT_TRUE(tvwall::WriteWallFiles(dir_, withChannels));
        if (withChannels) {
            ASSERT_TRUE(tv::WriteChannelFile(dir_ + "OrvixPlusChannels.chl", 1, current, {}, WallChannels()));
        }
    }
    // The wall's cells (480 x 384 each on the test screen), by index.
    static std::vector<HWND> Cells(HWND wall)
    {
        std::vector<std::pair<int, HWND>> found;
        for (HWND c = GetWindow(wall, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            RECT rc;
            GetWindowRect(c, &rc);
            if (rc.right - rc.left == 480)
                found.push_back({(rc.top / 2) * 10000 + rc.left, c});
        }
        std::sort(found.begin(), found.end());
        std::vector<HWND> cells;
        for (auto& f : found)
            cells.push_back(f.second);
        return cells;
    }
    // The cell that holds the renderer's window, -1 for none.
    static int LiveCell(const std::vector<HWND>& cells)
    {
        for (size_t i = 0; i < cells.size(); i++)
            if (GetWindow(cells[i], GW_CHILD))
                return (int)i;
        return -1;
    }
    bool StartAndWait()
    {
        return ProgramRun::StartAndWait({"ORVIX_TIMER_DIVISOR=" + std::to_string(divisor_)});
    }
    void Close()
    {
        PostMessageA(main_, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(0u, child_.Wait(5000));
    }
    // The cell's "Channel%d" at its top right. The screen shows the text's
    // green smoothed into the picture (measured: 0x008001 and darker over
    // the colour bars' black and blue, hardly a pixel of 0x0FFA19 itself),
    // so clearly green pixels are counted.
    static bool HasGreenText(HWND cell)
    {
        RECT rc;
        GetWindowRect(cell, &rc);
        RECT strip = {rc.right - 200, rc.top, rc.right, rc.top + 30};
        int green = 0;
        for (DWORD px : tv::ScreenPixels(strip)) {
            int r = (px >> 16) & 0xFF, g = (px >> 8) & 0xFF, b = px & 0xFF;
            green += g >= 100 && 2 * r < g && 2 * b < g;
        }
        return green >= 10;
    }

    int divisor_ = 10;
};

}  // namespace

TEST_F(TvWallProgram, TheCycleVisitsEveryChannelThenTheStartChannelPlaysAgain)
{
    WriteFiles(true);
    ASSERT_TRUE(StartAndWait());
    Remote(23);
    HWND wall = FindWall();
    ASSERT_TRUE(wall != NULL);
    EXPECT_TRUE(IsWindowVisible(wall));
    EXPECT_FALSE(IsWindowVisible(main_));
    EXPECT_FALSE(IsWindowVisible(video_));
    EXPECT_EQ(0, GetWindowLongPtr(wall, GWL_STYLE) & WS_CAPTION);
    EXPECT_TRUE(GetWindowLongPtr(wall, GWL_EXSTYLE) & WS_EX_TOPMOST);

    // The live cell holds the renderer's window; the cell left keeps a
    // picture with its channel.
    std::vector<HWND> cells;
    for (HWND c = GetWindow(wall, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT rc;
        GetWindowRect(c, &rc);
        if (rc.right - rc.left == 480)
            cells.push_back(c);
    }
    ASSERT_EQ(4u, cells.size());
    auto live = [&]() {
        int n = -1;
        for (size_t i = 0; i < cells.size(); i++)
            if (GetWindow(cells[i], GW_CHILD))
                n = (int)i;
        return n;
    };
    EXPECT_GE(live(), 0);
    bool sawPicture = ts::PumpUntil([&] {
        for (HWND c : cells)
            if (!GetWindow(c, GW_CHILD) && HasGreenText(c))
                return true;
        return false;
    }, 3000);
    EXPECT_TRUE(sawPicture);

    // Six channels at 300 ms a step: the wall ends by itself.
    ASSERT_TRUE(ts::PumpUntil([&] { return FindWall() == NULL; }, 8000));
    Sync();
    EXPECT_TRUE(IsWindowVisible(main_));
    EXPECT_TRUE(IsWindowVisible(video_));
    // The renderer is back in the video window.
    EXPECT_TRUE(GetWindow(video_, GW_CHILD) != NULL);
    Close();
}

TEST_F(TvWallProgram, CloseRequestsAreIgnoredAndEscapeOrTheButtonsLeave)
{
    WriteFiles(true, 3);
    divisor_ = 1;  // the real dwell: nothing steps while the test acts
    ASSERT_TRUE(StartAndWait());
    // Escape and "离开" give the start channel (3), "设定" and Enter the one
    // the wall shows (its first, 1), which is then the start of the next.
    struct Way {
        UINT key, button;
        double mhz;
    };
    const Way ways[] = {{VK_ESCAPE, 0, 77.25}, {0, 0x3001, 77.25}, {0, 0x3000, 49.75}, {VK_RETURN, 0, 49.75}};
    for (const Way& way : ways) {
        SCOPED_TRACE(way.key + way.button);
        Remote(23);
        HWND wall = FindWall();
        ASSERT_TRUE(wall != NULL);
        SendMessageA(wall, WM_CLOSE, 0, 0);
        SendMessageA(wall, WM_SYSCOMMAND, SC_CLOSE, 0);
        Sync();
        EXPECT_TRUE(IsWindow(wall));
        if (way.key)
            PostMessageA(wall, WM_KEYDOWN, way.key, 1);
        else
            PostMessageA(GetDlgItem(wall, way.button), BM_CLICK, 0, 0);
        ASSERT_TRUE(ts::PumpUntil([&] { return FindWall() == NULL; }, 3000));
        Sync();
        EXPECT_TRUE(IsWindowVisible(main_));
        EXPECT_TRUE(IsWindowVisible(video_));
        EXPECT_TRUE(ts::PumpUntil([&] { return TunedTo(way.mhz); }, 3000)) << CardCtl_TunedFrequency();
    }
    // The remote key while the wall shows leaves it too.
    Remote(23);
    ASSERT_TRUE(FindWall() != NULL);
    Remote(23);
    EXPECT_TRUE(ts::PumpUntil([&] { return FindWall() == NULL; }, 3000));
    Close();
}

// The leave's tune answers what is sent to the program meanwhile: the wall
// key that comes then opens a wall of its own, which leaves to its own start
// channel, the one the leave had just tuned.
TEST_F(TvWallProgram, AWallOpenedWhileTheLeaveTunesLeavesToItsOwnStartChannel)
{
    WriteFiles(true, 3);
    divisor_ = 1;  // the real dwell: nothing steps while the test acts
    ASSERT_TRUE(StartAndWait());
    Remote(23);
    HWND wall = FindWall();
    ASSERT_TRUE(wall != NULL);
    ASSERT_TRUE(ts::PumpUntil([] { return TunedTo(49.75); }, 3000));
    PostMessageA(wall, WM_KEYDOWN, VK_ESCAPE, 1);
    ASSERT_TRUE(ts::PumpUntil([] { return TunedTo(77.25); }, 3000)) << CardCtl_TunedFrequency();
    // At once, inside the tune's waits.
    SendNotifyMessageA(main_, WM_USER + 109, 0, 23);
    ASSERT_TRUE(ts::PumpUntil([&] { return (wall = FindWall()) != NULL; }, 3000));
    Sync();
    EXPECT_TRUE(TunedTo(49.75)) << "the new wall's first cell: " << CardCtl_TunedFrequency();
    PostMessageA(GetDlgItem(wall, 0x3001), BM_CLICK, 0, 0);  // "离开"
    ASSERT_TRUE(ts::PumpUntil([&] { return FindWall() == NULL; }, 3000));
    Sync();
    EXPECT_TRUE(ts::PumpUntil([] { return TunedTo(77.25); }, 3000)) << CardCtl_TunedFrequency();
    EXPECT_TRUE(IsWindowVisible(main_));
    EXPECT_TRUE(IsWindowVisible(video_));
    Close();
}

TEST_F(TvWallProgram, AListWithoutChannelsOpensNothing)
{
    WriteFiles(false);
    ASSERT_TRUE(StartAndWait());
    Remote(23);
    EXPECT_EQ(NULL, FindWall());
    EXPECT_TRUE(IsWindowVisible(main_));
    EXPECT_TRUE(IsWindowVisible(video_));
    // Back in TV viewing: the wall can be asked for again without harm.
    Remote(23);
    EXPECT_EQ(NULL, FindWall());
    Close();
}

TEST_F(TvWallProgram, ClosingDuringAScanEndsTheWorkerAndSavesTheFiles)
{
    divisor_ = 1;  // the real settle
    WriteFiles(true);
    std::string before = tv::ReadFileBytes(dir_ + "OrvixPlusChannels.chl");
    ASSERT_TRUE(StartAndWait());
    DWORD_PTR r;
    SendMessageTimeoutA(main_, kToggleScanMessage, 0, 0, SMTO_NORMAL, 5000, &r);
    ts::PumpFor(700);  // inside the second channel's settle
    DWORD t0 = GetTickCount();
    // The close the program's own close paths post (the skin's CLOSE button
    // is refused while a scan runs).
    PostMessageA(main_, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(0u, child_.Wait(ts::Scaled(2000)));
    EXPECT_LT(GetTickCount() - t0, ts::Scaled(2000));
    // A worker left running would have kept the card's objects alive (or
    // crashed the exit).
    EXPECT_EQ(0, CardCtl_LiveObjects());
    // The settings window took the finds so far in place of the scanned
    // list: the file is written whole, with no more records than before.
    std::string after = tv::ReadFileBytes(dir_ + "OrvixPlusChannels.chl");
    ASSERT_GE(after.size(), 16u);
    int count = *(const int*)(after.data() + 12);
    EXPECT_EQ(16u + 48u * (size_t)count, after.size());
    EXPECT_LE(count, *(const int*)(before.data() + 12));
    EXPECT_EQ(684u, tv::FileSize(dir_ + "OrvixPlusData.dat"));
}

TEST_F(TvWallProgram, TheCellLeftKeepsItsStationsPictureAndNumberAtEveryStep)
{
    divisor_ = 5;  // 600 ms a step
    WriteFiles(true);
    ASSERT_TRUE(StartAndWait());
    Remote(23);
    HWND wall = FindWall();
    ASSERT_TRUE(wall != NULL);
    std::vector<HWND> cells = Cells(wall);
    ASSERT_EQ(4u, cells.size());
    RECT rc;
    GetClientRect(cells[0], &rc);
    // The cell shows the frame the card drew at the capture size, stretched.
    const SIZE capture = {640, 480};
    std::vector<std::vector<DWORD>> pictures;
    for (const tvwall::Station& st : tvwall::kChannels) {
        CardStation cs;
        ASSERT_TRUE(CardStationAt(st.mhz, &cs)) << st.mhz;
        pictures.push_back(tv::ExpectedGrid(tv::StationSource(cs), capture, rc.right, rc.bottom));
    }
    // Step j shows the j-th stored channel live; the cell it leaves keeps
    // that channel's picture.
    int live = LiveCell(cells), step = 0, checked = 0;
    ASSERT_EQ(0, live);
    while (FindWall() && step < 6) {
        int now = LiveCell(cells);
        if (now >= 0 && now != live) {
            std::vector<DWORD> shown;
            double own = 255;
            ts::PumpUntil([&] {
                shown = tv::ScreenGrid(cells[live]);
                own = tv::GridDistance(shown, pictures[step]);
                return own < 45.0;
            }, 400);
            EXPECT_LT(own, 45.0) << "cell " << live << ", channel " << tvwall::kChannels[step].number;
            for (size_t k = 0; k < pictures.size(); ++k) {
                if ((int)k != step) {
                    EXPECT_GT(tv::GridDistance(shown, pictures[k]), own) << "looks like channel " << k;
                }
            }
            EXPECT_TRUE(ts::PumpUntil([&] { return HasGreenText(cells[live]); }, 300)) << "cell " << live;
            if (checked == 0)
                ts::CaptureToBmp(wall, "orvixplus_tvwall_step.bmp");
            ++checked;
            ++step;
            live = now;
        }
        ts::PumpFor(10);
    }
    // The last channel's step ends the wall instead of leaving a cell.
    EXPECT_EQ(5, checked);
    EXPECT_TRUE(ts::PumpUntil([&] { return FindWall() == NULL; }, 3000));
    Close();
}

TEST_F(TvWallProgram, StepsComeAfterTheRealDwellAndADoubleClickTunesTheCellsChannel)
{
    divisor_ = 1;
    WriteFiles(true, 3);
    ASSERT_TRUE(StartAndWait());
    ASSERT_TRUE(ts::PumpUntil([] { return TunedTo(77.25); }, 5000));
    Remote(23);
    HWND wall = FindWall();
    ASSERT_TRUE(wall != NULL);
    std::vector<HWND> cells = Cells(wall);
    ASSERT_EQ(4u, cells.size());
    int live = LiveCell(cells);
    ASSERT_EQ(0, live);
    std::vector<DWORD> stepAt;
    ts::PumpUntil([&] {
        int now = LiveCell(cells);
        if (now >= 0 && now != live) {
            stepAt.push_back(GetTickCount());
            live = now;
        }
        return stepAt.size() >= 2;
    }, 10000);
    ASSERT_EQ(2u, stepAt.size());
    EXPECT_NEAR(3000.0, (double)(stepAt[1] - stepAt[0]), 300.0);
    EXPECT_TRUE(ts::PumpUntil([] { return TunedTo(77.25); }, 1000)) << "the third channel is live";

    // A cell that has shown no channel yet sends nothing.
    PostMessageA(cells[3], WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 20));
    Sync();
    EXPECT_TRUE(FindWall() != NULL);
    // Cell 0 keeps channel 1: its double click leaves the wall on it, not on
    // the start channel.
    PostMessageA(cells[0], WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 20));
    ASSERT_TRUE(ts::PumpUntil([] { return FindWall() == NULL; }, 3000));
    EXPECT_TRUE(ts::PumpUntil([] { return TunedTo(49.75); }, 3000)) << CardCtl_TunedFrequency();
    Sync();
    EXPECT_TRUE(IsWindowVisible(video_));
    EXPECT_TRUE(IsWindowVisible(main_));
    // TV viewing again: a number tunes at once.
    RemoteNumber(5);
    EXPECT_TRUE(ts::PumpUntil([] { return TunedTo(111.25); }, 3000));
    Close();
}

TEST_F(TvWallProgram, AScanOfTheCableListWritesEveryPlanFrequencyAndStoresTheStationsFound)
{
    std::vector<double> plan = CablePlan();
    std::vector<double> stations = StationsAmong(plan);
    ASSERT_EQ(98u, plan.size());
    ASSERT_EQ(9u, stations.size());
    WriteFiles(true);
    ASSERT_TRUE(tv::WriteChannelFile(dir_ + "OrvixPlusChannels.chl", 5, 1, AirChannels(), WallChannels()));
    ChannelFile before(dir_ + "OrvixPlusChannels.chl");
    ASSERT_TRUE(before.whole);
    ASSERT_TRUE(StartAndWait());
    CardCtl_ClearLog();
    tv::TunerWatch tuner;
    Click("SCAN_CHANNELS");
    // The whole plan, then the file the end of the scan saves.
    bool ended = tuner.PollUntil([&] {
        if (tuner.Count() < plan.size())
            return false;
        ChannelFile now(dir_ + "OrvixPlusChannels.chl");
        return now.whole && now.cable.size() == stations.size();
    }, 40000);
    ASSERT_TRUE(ended) << tuner.Count() << " of " << plan.size() << " frequencies";
    ASSERT_EQ(plan.size(), tuner.Count());
    for (size_t i = 0; i < plan.size(); ++i)
        EXPECT_NEAR(plan[i], tuner.Mhz()[i], 0.07) << "write " << i;
    // The tuner ends on the first channel found.
    EXPECT_TRUE(ts::PumpUntil([&] { return TunedTo(stations[0]); }, 3000));

    ChannelFile after(dir_ + "OrvixPlusChannels.chl");
    ASSERT_EQ(stations.size(), after.cable.size());
    for (size_t i = 0; i < stations.size(); ++i) {
        const ChannelRecord& r = after.cable[i];
        EXPECT_EQ((int)i + 1, r.nNumber);
        EXPECT_EQ("Channel" + std::to_string(i + 1), std::string(r.szName));
        EXPECT_NEAR(stations[i], r.fFrequency, 0.001);
        EXPECT_EQ(0, r.nSkip);
        EXPECT_EQ(1, r.nFlag);
    }
    EXPECT_EQ(before.airBytes, after.airBytes);
    EXPECT_EQ(before.header.nCurrentAir, after.header.nCurrentAir);

    // Back in TV viewing: a channel number tunes the new list.
    Sync();
    RemoteNumber(2);
    EXPECT_TRUE(ts::PumpUntil([&] { return TunedTo(stations[1]); }, 3000));
    Close();
    EXPECT_EQ(before.airBytes, ChannelFile(dir_ + "OrvixPlusChannels.chl").airBytes);
}

TEST_F(TvWallProgram, StoppingAScanEndsItWithinOneStepAndKeepsTheFindsSoFar)
{
    divisor_ = 1;  // the real settle
    std::vector<double> plan = CablePlan();
    WriteFiles(true);
    ASSERT_TRUE(tv::WriteChannelFile(dir_ + "OrvixPlusChannels.chl", 5, 1, AirChannels(), WallChannels()));
    ChannelFile before(dir_ + "OrvixPlusChannels.chl");
    ASSERT_TRUE(StartAndWait());
    CardCtl_ClearLog();
    tv::TunerWatch tuner;
    Click("SCAN_CHANNELS");
    ASSERT_TRUE(tuner.PollUntil([&] { return tuner.Count() >= 5; }, 10000));
    tuner.PollUntil([] { return false; }, 150);  // inside a settle
    size_t atClick = tuner.Count();
    DWORD clicked = GetTickCount();
    PostMessageA(main_, WM_COMMAND, MAKEWPARAM(buttons_["SCAN_CHANNELS"].id, BN_CLICKED), 0);
    tuner.PollUntil([] { return false; }, 1500);
    // At most the write under way when the click came, and nothing after
    // the settle the stop waits for.
    EXPECT_LE(tuner.Count(), atClick + 1);
    for (size_t i = atClick; i < tuner.Count(); ++i)
        EXPECT_LT(tuner.SeenAt()[i] - clicked, 400u + 200u) << "write " << i;
    size_t walked = tuner.Count();
    ASSERT_LE(walked, plan.size());
    for (size_t i = 0; i < walked; ++i)
        EXPECT_NEAR(plan[i], tuner.Mhz()[i], 0.07) << "write " << i;
    std::vector<double> finds = StationsAmong(std::vector<double>(plan.begin(), plan.begin() + walked));
    ASSERT_FALSE(finds.empty());
    EXPECT_TRUE(TunedTo(finds[0])) << "the first find";

    // The stop ends the scan as its end does: every find so far, the last
    // step's included, in place of the scanned list; the other list as it was.
    Sync();
    ChannelFile stopped(dir_ + "OrvixPlusChannels.chl");
    ASSERT_TRUE(stopped.whole);
    ASSERT_EQ(finds.size(), stopped.cable.size());
    for (size_t i = 0; i < finds.size(); ++i)
        EXPECT_NEAR(finds[i], stopped.cable[i].fFrequency, 0.001);
    EXPECT_EQ(before.airBytes, stopped.airBytes);

    // TV viewing again: the button starts a new scan from the plan's start.
    CardCtl_ClearLog();
    tv::TunerWatch again;
    Click("SCAN_CHANNELS");
    EXPECT_TRUE(again.PollUntil([&] { return again.Count() >= 2; }, 5000));
    ASSERT_GE(again.Count(), 1u);
    EXPECT_NEAR(plan[0], again.Mhz()[0], 0.07);
    Click("SCAN_CHANNELS");
    Close();
    EXPECT_EQ(before.airBytes, ChannelFile(dir_ + "OrvixPlusChannels.chl").airBytes);
}
