// The TV wall and the channel scan in OrvixPlus.exe: a cable list with gaps
// on the card's stations, the dwell shortened by the timer divisor, the wall
// driven by the remote key and by messages as the user's clicks and keys
// give them; a scan that the program's close interrupts.
#include <gtest/gtest.h>
#include <windows.h>
#include "CardCtl.h"
#include "TvProgramRun.h"
#include "TvWallFolder.h"
#include <algorithm>
#include <string>
#include <vector>

namespace {

const BOOL g_ownCard = SetEnvironmentVariableA("ORVIX_CARD", "orvixplus_tvwall_test");
const UINT kToggleScanMessage = WM_USER + 605;

HWND FindWall() { return FindWindowA("MultiPicWindow", "多画面浏览"); }

class TvWallProgram : public tv::ProgramRun {
protected:
    void SetUp() override
    {
        ProgramRun::SetUp();
        ASSERT_TRUE(MakeFolder("orvixplus-wall", true));
    }

    // The cable list as given, current channel 1; 2 x 2 cells, 3 s a step.
    void WriteFiles(bool withChannels)
    {
        ASSERT_TRUE(tvwall::WriteWallFiles(dir_, withChannels));
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
    static bool HasGreenText(HWND cell)
    {
        RECT rc;
        GetWindowRect(cell, &rc);
        RECT strip = {rc.right - 100, rc.top, rc.right, rc.top + 25};
        for (DWORD px : tv::ScreenPixels(strip))
            if ((px & 0xFFFFFF) == 0x0FFA19)
                return true;
        return false;
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
    WriteFiles(true);
    divisor_ = 1;  // the real dwell: nothing steps while the test acts
    ASSERT_TRUE(StartAndWait());
    const UINT ways[] = {0, 1, 2};
    for (UINT way : ways) {
        SCOPED_TRACE(way);
        Remote(23);
        HWND wall = FindWall();
        ASSERT_TRUE(wall != NULL);
        SendMessageA(wall, WM_CLOSE, 0, 0);
        SendMessageA(wall, WM_SYSCOMMAND, SC_CLOSE, 0);
        Sync();
        EXPECT_TRUE(IsWindow(wall));
        if (way == 0)
            PostMessageA(wall, WM_KEYDOWN, VK_ESCAPE, 1);
        else
            PostMessageA(GetDlgItem(wall, way == 1 ? 0x3000 : 0x3001), BM_CLICK, 0, 0);
        ASSERT_TRUE(ts::PumpUntil([&] { return FindWall() == NULL; }, 3000));
        Sync();
        EXPECT_TRUE(IsWindowVisible(main_));
        EXPECT_TRUE(IsWindowVisible(video_));
    }
    // The remote key while the wall shows leaves it too.
    Remote(23);
    ASSERT_TRUE(FindWall() != NULL);
    Remote(23);
    EXPECT_TRUE(ts::PumpUntil([&] { return FindWall() == NULL; }, 3000));
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
    EXPECT_EQ(0u, child_.Wait(2000));
    EXPECT_LT(GetTickCount() - t0, 2000u);
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
