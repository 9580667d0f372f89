// The hidden dialog in the test's own process, with the clock set: the timed
// shut-down and its dialog, and the remote poll against a card whose device
// lacks its interface.
#include <gtest/gtest.h>
#include <stdio.h>
#include <algorithm>
#include <functional>
#include "CardState.h"
#include "ScheduleMessages.h"
#include "ScheduleStore.h"
#include "ScheduleTestTime.h"
#include "ScheduleTrayDlg.h"
#include "Seams.h"
#include "TestSupport.h"

namespace {

const BOOL g_ownCard = SetEnvironmentVariableA("ORVIX_CARD", "timewarden_dialog_test");

// Boxes seen by the hook, which keeps each one up for a while and pumps
// meanwhile, as a real box's own message loop does.
std::vector<std::string> g_boxes;
DWORD g_boxPumpMs = 0;
int RecordBox(HWND, LPCSTR text, LPCSTR caption, UINT flags)
{
    g_boxes.push_back(std::string(caption) + "|" + text);
    if (g_boxPumpMs)
        ts::PumpFor(g_boxPumpMs);
    return FwDefaultAnswer(flags);
}

// What the test does with the shut-down dialog once it is up.
std::function<void(HWND)> g_onShutdownDialog;
int g_shutdownDialogs = 0;
void CALLBACK DriveShutdownDialog(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dlg = NULL;
    while ((dlg = FindWindowExA(NULL, dlg, "#32770", "Dialog")) != NULL) {
        DWORD pid = 0;
        GetWindowThreadProcessId(dlg, &pid);
        if (pid == GetCurrentProcessId() && IsWindowEnabled(dlg) && GetDlgItem(dlg, 1012))
            break;
    }
    if (!dlg || GetPropA(dlg, "seen"))
        return;
    SetPropA(dlg, "seen", (HANDLE)1);
    g_shutdownDialogs++;
    if (g_onShutdownDialog)
        g_onShutdownDialog(dlg);
}

int Count(HWND dlg, int id) { return (int)SendDlgItemMessageA(dlg, id, CB_GETCOUNT, 0, 0); }
int Selected(HWND dlg, int id) { return (int)SendDlgItemMessageA(dlg, id, CB_GETCURSEL, 0, 0); }
void Select(HWND dlg, int id, int index) { SendDlgItemMessageA(dlg, id, CB_SETCURSEL, index, 0); }
void PressOk(HWND dlg) { PostMessageA(dlg, WM_COMMAND, IDOK, 0); }

class TrayDialog : public testing::Test {
protected:
    void SetUp() override
    {
        CardReset();
        dir_ = ts::FreshTempDir("timewarden-dialog");
        power_ = dir_ + "power.log";
        SetEnvironmentVariableA("ORVIX_POWER_LOG", power_.c_str());
        g_boxes.clear();
        g_boxPumpMs = 0;
        g_shutdownDialogs = 0;
        g_onShutdownDialog = nullptr;
        previousHook_ = FwSetMessageBoxHook(RecordBox);
        driver_ = SetTimer(NULL, 0, 50, DriveShutdownDialog);
    }

    void TearDown() override
    {
        KillTimer(NULL, driver_);
        if (dlg_.GetSafeHwnd()) {
            dlg_.OnExit();
            dlg_.DestroyWindow();
        }
        FwSetMessageBoxHook(previousHook_);
        SetEnvironmentVariableA("ORVIX_POWER_LOG", NULL);
        CardFailCall("QueryDevice", 0);
    }

    void Open() { ASSERT_TRUE(dlg_.Create(CScheduleTrayDlg::IDD)); }

    void ChooseTimedShutdown() { dlg_.SendMessage(WM_COMMAND, ID_TRAY_TIMED_SHUTDOWN, 0); }
    void Tick(time_t now)
    {
        clock_.Set(now);
        dlg_.SendMessage(WM_TIMER, TIMER_TIMED_SHUTDOWN, 0);
    }
    long Shutdowns()
    {
        std::vector<std::string> lines = ts::ReadLines(power_);
        return (long)std::count(lines.begin(), lines.end(), "ExitWindowsEx 0xd 0x0");
    }

    std::string dir_, power_;
    FixedClock clock_{LocalTime(2024, 12, 15, 10, 3, 20)};
    CScheduleTrayDlg dlg_;
    FwMessageBoxHook previousHook_ = NULL;
    UINT_PTR driver_ = 0;
};

}  // namespace

TEST_F(TrayDialog, TheShutdownDialogOffersThirtyDaysWithTheCurrentTimeSelected)
{
    Open();
    g_onShutdownDialog = [](HWND dlg) {
        EXPECT_EQ(12, Count(dlg, 1012));
        EXPECT_EQ(30, Count(dlg, 1013));
        EXPECT_EQ(24, Count(dlg, 1014));
        EXPECT_EQ(60, Count(dlg, 1015));
        EXPECT_EQ(11, Selected(dlg, 1012));
        EXPECT_EQ(14, Selected(dlg, 1013));
        EXPECT_EQ(10, Selected(dlg, 1014));
        EXPECT_EQ(3, Selected(dlg, 1015));
        Select(dlg, 1012, 0);  // January, in December
        PressOk(dlg);
    };
    ChooseTimedShutdown();
    EXPECT_EQ(1, g_shutdownDialogs);
    ASSERT_EQ(1u, g_boxes.size());
    EXPECT_NE(std::string::npos, g_boxes[0].find("|您所设置的时间小于当前时间，请重新设置！"));
    EXPECT_FALSE(dlg_.IsShutdownArmed()) << "refused, so the next choice asks again";

    g_onShutdownDialog = [](HWND dlg) { PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0); };
    ChooseTimedShutdown();
    EXPECT_EQ(2, g_shutdownDialogs);
    EXPECT_FALSE(dlg_.IsShutdownArmed());
    EXPECT_EQ(0, Shutdowns());
}

TEST_F(TrayDialog, ATargetInTheCurrentMinuteShutsDownAtOnceAndChoosingAgainDisarms)
{
    Open();
    g_onShutdownDialog = PressOk;
    ChooseTimedShutdown();
    EXPECT_TRUE(dlg_.IsShutdownArmed());
    EXPECT_EQ(1, Shutdowns());
    Tick(LocalTime(2024, 12, 15, 10, 4, 20));
    EXPECT_EQ(1, Shutdowns()) << "the same minute twice";
    HMENU popup = GetSubMenu(GetMenu(dlg_.GetSafeHwnd()), 0);
    ASSERT_TRUE(popup != NULL);
    dlg_.SendMessage(WM_INITMENUPOPUP, (WPARAM)popup, 0);
    EXPECT_TRUE(GetMenuState(popup, ID_TRAY_TIMED_SHUTDOWN, MF_BYCOMMAND) & MF_CHECKED);

    ChooseTimedShutdown();
    EXPECT_EQ(1, g_shutdownDialogs) << "disarming asks nothing";
    EXPECT_FALSE(dlg_.IsShutdownArmed());
    dlg_.SendMessage(WM_INITMENUPOPUP, (WPARAM)popup, 0);
    EXPECT_FALSE(GetMenuState(popup, ID_TRAY_TIMED_SHUTDOWN, MF_BYCOMMAND) & MF_CHECKED);
}

TEST_F(TrayDialog, ALateTickStillShutsDownOnceForItsMinute)
{
    Open();
    g_onShutdownDialog = [](HWND dlg) {
        Select(dlg, 1015, 5);
        PressOk(dlg);
    };
    ChooseTimedShutdown();
    ASSERT_TRUE(dlg_.IsShutdownArmed());
    EXPECT_EQ(0, Shutdowns());
    Tick(LocalTime(2024, 12, 15, 10, 4, 30));
    EXPECT_EQ(0, Shutdowns());
    Tick(LocalTime(2024, 12, 15, 10, 6, 31));
    EXPECT_EQ(1, Shutdowns());
    Tick(LocalTime(2024, 12, 15, 10, 7, 31));
    EXPECT_EQ(1, Shutdowns());
}

TEST_F(TrayDialog, ACardWithoutItsDeviceInterfaceIsReportedOnceAndLeaksNothing)
{
    CardFailCall("QueryDevice", -1);
    g_boxPumpMs = 1000;
    Open();
    EXPECT_EQ(1, dlg_.GetDeviceCount());
    ts::PumpFor(3000);
    ASSERT_EQ(1u, g_boxes.size());
    EXPECT_NE(std::string::npos, g_boxes[0].find("|Failed IVampDevice creation"));
    EXPECT_EQ(1, CardLiveObjects()) << "only the enumerator the dialog holds";
    dlg_.OnExit();
    dlg_.DestroyWindow();
    EXPECT_EQ(0, CardLiveObjects());
}

TEST_F(TrayDialog, WhileArmedAnyForwardedKeyShutsDown)
{
    ts::WithTestWindow([&](HWND main) {
        SetWindowTextA(main, MAIN_PROGRAM_CAPTION);
        Open();
        g_onShutdownDialog = [](HWND dlg) {
            Select(dlg, 1015, 30);
            PressOk(dlg);
        };
        ChooseTimedShutdown();
        ASSERT_TRUE(dlg_.IsShutdownArmed());
        EXPECT_EQ(0, Shutdowns());
        CardPressKey(13);
        EXPECT_TRUE(ts::PumpUntil([&] { return Shutdowns() == 1; }, 3000));
    });
}

TEST(TrayIcon, TheTooltipKeepsItsTerminatorAndWholeCharacters)
{
    ts::WithTestWindow([](HWND hwnd) {
        CTrayIcon icon(IDS_TRAY_TITLE);
        EXPECT_STREQ(SCHEDULER_WINDOW_CAPTION, icon.Data().szTip);
        EXPECT_EQ(129u, icon.Data().uID);
        EXPECT_EQ((DWORD)NOTIFYICONDATAA_V1_SIZE, icon.Data().cbSize);
        icon.SetNotificationWnd(CWnd::FromHandle(hwnd), WM_TRAY_NOTIFY);
        HICON hicon = LoadIcon(NULL, IDI_APPLICATION);
        // One ASCII byte and 31 two-byte characters fill the 63 bytes; the
        // 32nd character would have overwritten the terminator.
        std::string tip = "x";
        for (int i = 0; i < 40; i++)
            tip += "时";
        EXPECT_TRUE(icon.SetIcon(hicon, tip.c_str()));
        EXPECT_EQ(tip.substr(0, 63), icon.Data().szTip);
        std::string shifted = "xy" + tip.substr(1);
        EXPECT_TRUE(icon.SetIcon(hicon, shifted.c_str()));
        EXPECT_EQ(shifted.substr(0, 62), icon.Data().szTip) << "half a character dropped";
        EXPECT_TRUE(icon.SetIcon(0));
        EXPECT_TRUE(icon.SetIcon(0)) << "nothing to remove";
    });
}
