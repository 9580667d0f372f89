// The Schedule - Add dialog run modally from its real template, driven from
// inside its loop by clicks and selections, and read back through the edit
// item of a schedule list.
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include "ScheduleAddDlg.h"
#include "ScheduleAddRes.h"
#include "ScheduleTestDriver.h"
#include "ScheduleTestTime.h"
#include "TestSupport.h"

using namespace schedtest;

namespace {

const UINT kTemplate = 132;
const int kLeftOpen = 77;

struct DrivenDlg : CScheduleAddDlg {
    DrivenDlg(CScheduleList* pList) : CScheduleAddDlg(NULL, kTemplate, pList) {}
    bool Ending() const { return m_bEndModal != FALSE; }
};

// Runs the dialog; act works on it from inside the loop. A dialog that act
// did not end is ended with kLeftOpen.
int RunModal(DrivenDlg& dlg, const std::function<void(HWND)>& act)
{
    ModalDriver::Arm([&] {
        if (!dlg.m_hWnd)
            return false;
        act(dlg.m_hWnd);
        if (!dlg.Ending())
            dlg.EndDialog(kLeftOpen);
        return true;
    });
    int rc = dlg.DoModal();
    ModalDriver::Disarm();
    return rc;
}

std::string ItemText(HWND hDlg, int id, int index)
{
    char text[64] = "";
    SendDlgItemMessageA(hDlg, id, CB_GETLBTEXT, (WPARAM)index, (LPARAM)text);
    return text;
}

int Count(HWND hDlg, int id)
{
    return (int)SendDlgItemMessageA(hDlg, id, CB_GETCOUNT, 0, 0);
}

bool Checked(HWND hDlg, int id)
{
    return IsDlgButtonChecked(hDlg, id) == BST_CHECKED;
}

// Wednesday, 11 March 2026.
const time_t kWednesday = LocalTime(2026, 3, 11, 10, 20, 30);

class ScheduleAddDlgTest : public testing::Test {
protected:
    ScheduleAddDlgTest() : clock_(kWednesday) {}
    void SetUp() override
    {
        memset(&list_.m_editItem.m_record, 0x5a, sizeof(ScheduleRecord));
    }
    // The schedule window's presets for a new entry.
    void PresetNew(CScheduleAddDlg& dlg)
    {
        dlg.m_nRepeatChoice = CScheduleAddDlg::REPEAT_ONCE;
        dlg.m_bDeleteAfterRun = 1;
        dlg.m_nSourceChoice = SCHEDULE_SOURCE_CABLE;
        dlg.m_nModeChoice = SCHEDULE_MODE_RECORD;
    }
    const ScheduleRecord& Result() const { return list_.m_editItem.m_record; }
    FixedClock clock_;
    CScheduleList list_;
    ts::MessageBoxRecorder boxes_;
};

TEST_F(ScheduleAddDlgTest, ListsOfferTheirRangesAndSelectThePresets)
{
    DrivenDlg dlg(&list_);
    PresetNew(dlg);
    dlg.m_nDuration = 2 * 3600 + 5 * 60 + 9;
    EXPECT_EQ(kLeftOpen, RunModal(dlg, [](HWND h) {
        EXPECT_EQ(2, Count(h, IDC_SCHEDADD_YEAR));
        EXPECT_EQ("2026", ItemText(h, IDC_SCHEDADD_YEAR, 0));
        EXPECT_EQ("2027", ItemText(h, IDC_SCHEDADD_YEAR, 1));
        EXPECT_EQ(0, Selected(h, IDC_SCHEDADD_YEAR));
        EXPECT_EQ(12, Count(h, IDC_SCHEDADD_MONTH));
        EXPECT_EQ(2, Selected(h, IDC_SCHEDADD_MONTH));
        EXPECT_EQ(31, Count(h, IDC_SCHEDADD_DAY));
        EXPECT_EQ(10, Selected(h, IDC_SCHEDADD_DAY));
        EXPECT_EQ(24, Count(h, IDC_SCHEDADD_HOUR));
        EXPECT_EQ(10, Selected(h, IDC_SCHEDADD_HOUR));
        EXPECT_EQ(60, Count(h, IDC_SCHEDADD_MINUTE));
        EXPECT_EQ(20, Selected(h, IDC_SCHEDADD_MINUTE));
        EXPECT_EQ(2, Selected(h, IDC_SCHEDADD_LENGTH_HOURS));
        EXPECT_EQ(5, Selected(h, IDC_SCHEDADD_LENGTH_MINUTES));
        EXPECT_EQ(9, Selected(h, IDC_SCHEDADD_LENGTH_SECONDS));
        EXPECT_EQ(7, Count(h, IDC_SCHEDADD_WEEKDAY));
        EXPECT_EQ("WED", ItemText(h, IDC_SCHEDADD_WEEKDAY, Selected(h, IDC_SCHEDADD_WEEKDAY)));
        for (int id : {IDC_SCHEDADD_TV_LIST, IDC_SCHEDADD_CABLE_LIST}) {
            EXPECT_EQ(125, Count(h, id));
            EXPECT_EQ("1", ItemText(h, id, 0));
            EXPECT_EQ("125", ItemText(h, id, 124));
        }
        EXPECT_EQ(7, Selected(h, IDC_SCHEDADD_TV_LIST));      // channel 8
        EXPECT_EQ(12, Selected(h, IDC_SCHEDADD_CABLE_LIST));  // channel 13
        ASSERT_EQ(4, Count(h, IDC_SCHEDADD_AFTER_LIST));
        EXPECT_EQ("Nothing to do", ItemText(h, IDC_SCHEDADD_AFTER_LIST, 0));
        EXPECT_EQ("ORVIX shut-down", ItemText(h, IDC_SCHEDADD_AFTER_LIST, 1));
        EXPECT_EQ("Entering the Stand-by mode", ItemText(h, IDC_SCHEDADD_AFTER_LIST, 2));
        EXPECT_EQ("PC shut-down", ItemText(h, IDC_SCHEDADD_AFTER_LIST, 3));
        EXPECT_EQ(0, Selected(h, IDC_SCHEDADD_AFTER_LIST));
        EXPECT_TRUE(Checked(h, IDC_SCHEDADD_ONCE));
        EXPECT_TRUE(Checked(h, IDC_SCHEDADD_SOURCE_CABLE));
        EXPECT_TRUE(Checked(h, IDC_SCHEDADD_RECORD));
        EXPECT_TRUE(Checked(h, IDC_SCHEDADD_DELETE_AFTER));
        EXPECT_TRUE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
    }));

    // A future entry: three years with its own in the middle.
    DrivenDlg future(&list_);
    PresetNew(future);
    future.m_timeStart = CTime(LocalTime(2027, 1, 5, 6, 0));
    EXPECT_EQ(kLeftOpen, RunModal(future, [](HWND h) {
        ASSERT_EQ(3, Count(h, IDC_SCHEDADD_YEAR));
        EXPECT_EQ("2026", ItemText(h, IDC_SCHEDADD_YEAR, 0));
        EXPECT_EQ("2028", ItemText(h, IDC_SCHEDADD_YEAR, 2));
        EXPECT_EQ(1, Selected(h, IDC_SCHEDADD_YEAR));
    }));
}

TEST_F(ScheduleAddDlgTest, RadioButtonsEnableTheirListsAndTheBoxKeepsItsCheck)
{
    DrivenDlg dlg(&list_);
    PresetNew(dlg);
    EXPECT_EQ(kLeftOpen, RunModal(dlg, [](HWND h) {
        const int dates[] = {IDC_SCHEDADD_YEAR, IDC_SCHEDADD_MONTH, IDC_SCHEDADD_DAY};
        // Cable preset: only the cable list and its label.
        EXPECT_FALSE(Enabled(h, IDC_SCHEDADD_TV_LIST));
        EXPECT_FALSE(Enabled(h, IDC_SCHEDADD_TV_LABEL));
        EXPECT_TRUE(Enabled(h, IDC_SCHEDADD_CABLE_LIST));
        EXPECT_TRUE(Enabled(h, IDC_SCHEDADD_DELETE_AFTER));
        EXPECT_FALSE(Enabled(h, IDC_SCHEDADD_WEEKDAY));

        Click(h, IDC_SCHEDADD_WEEKLY);
        EXPECT_TRUE(Checked(h, IDC_SCHEDADD_WEEKLY));
        EXPECT_FALSE(Checked(h, IDC_SCHEDADD_ONCE));
        for (int id : dates)
            EXPECT_FALSE(Enabled(h, id));
        EXPECT_TRUE(Enabled(h, IDC_SCHEDADD_WEEKDAY));
        EXPECT_FALSE(Enabled(h, IDC_SCHEDADD_DELETE_AFTER));
        EXPECT_TRUE(Checked(h, IDC_SCHEDADD_DELETE_AFTER));

        Click(h, IDC_SCHEDADD_DAILY);
        for (int id : dates)
            EXPECT_FALSE(Enabled(h, id));
        EXPECT_FALSE(Enabled(h, IDC_SCHEDADD_WEEKDAY));
        EXPECT_FALSE(Enabled(h, IDC_SCHEDADD_DELETE_AFTER));

        Click(h, IDC_SCHEDADD_ONCE);
        for (int id : dates)
            EXPECT_TRUE(Enabled(h, id));
        EXPECT_FALSE(Enabled(h, IDC_SCHEDADD_WEEKDAY));
        EXPECT_TRUE(Enabled(h, IDC_SCHEDADD_DELETE_AFTER));
        EXPECT_TRUE(Checked(h, IDC_SCHEDADD_DELETE_AFTER));

        Click(h, IDC_SCHEDADD_SOURCE_TV);
        EXPECT_TRUE(Enabled(h, IDC_SCHEDADD_TV_LIST));
        EXPECT_TRUE(Enabled(h, IDC_SCHEDADD_TV_LABEL));
        EXPECT_FALSE(Enabled(h, IDC_SCHEDADD_CABLE_LIST));
        EXPECT_FALSE(Enabled(h, IDC_SCHEDADD_CABLE_LABEL));
        Click(h, IDC_SCHEDADD_SOURCE_COMPOSITE);
        EXPECT_FALSE(Enabled(h, IDC_SCHEDADD_TV_LIST));
        EXPECT_FALSE(Enabled(h, IDC_SCHEDADD_CABLE_LIST));
        EXPECT_FALSE(Enabled(h, IDC_SCHEDADD_CABLE_LABEL));
        Click(h, IDC_SCHEDADD_SOURCE_CABLE);
        EXPECT_TRUE(Enabled(h, IDC_SCHEDADD_CABLE_LIST));
        EXPECT_TRUE(Enabled(h, IDC_SCHEDADD_CABLE_LABEL));
        EXPECT_FALSE(Enabled(h, IDC_SCHEDADD_TV_LIST));
    }));

    // Weekly or daily presets leave the box disabled from the start.
    DrivenDlg daily(&list_);
    daily.m_nRepeatChoice = CScheduleAddDlg::REPEAT_DAILY;
    EXPECT_EQ(kLeftOpen, RunModal(daily, [](HWND h) { EXPECT_FALSE(Enabled(h, IDC_SCHEDADD_DELETE_AFTER)); }));
}

TEST_F(ScheduleAddDlgTest, ConfirmationWritesTheChoicesIntoTheEditItem)
{
    // Weekly, made on a Wednesday, for Fridays: the date shown stays the start.
    DrivenDlg weekly(&list_);
    PresetNew(weekly);
    EXPECT_EQ(IDOK, RunModal(weekly, [](HWND h) {
        Click(h, IDC_SCHEDADD_WEEKLY);
        Select(h, IDC_SCHEDADD_WEEKDAY, 5);
        Click(h, IDC_SCHEDADD_SOURCE_TV);
        Select(h, IDC_SCHEDADD_TV_LIST, 41);
        Select(h, IDC_SCHEDADD_CABLE_LIST, 0);
        Click(h, IDC_SCHEDADD_VIEW);
        Select(h, IDC_SCHEDADD_LENGTH_HOURS, 0);
        Select(h, IDC_SCHEDADD_LENGTH_MINUTES, 0);
        Select(h, IDC_SCHEDADD_LENGTH_SECONDS, 0);
        Select(h, IDC_SCHEDADD_AFTER_LIST, 1);
        Click(h, IDC_SCHEDADD_CONFIRM);
    }));
    EXPECT_EQ(5, Result().nRepeat);
    EXPECT_EQ(LocalTime(2026, 3, 11, 10, 20, 0), (time_t)Result().tStart);
    EXPECT_EQ(3, Result().nDuration) << "0:0:0";
    EXPECT_EQ(SCHEDULE_SOURCE_TV, Result().nSource);
    EXPECT_EQ(42, Result().nTvChannel);
    EXPECT_EQ(1, Result().nCableChannel);
    EXPECT_EQ(SCHEDULE_MODE_VIEW, Result().nMode);
    EXPECT_EQ(SCHEDULE_AFTER_CLOSE, Result().nAfterAction);
    EXPECT_EQ(1, Result().bDeleteAfterRun) << "the box kept its check while disabled";
    EXPECT_TRUE(boxes_.Calls().empty());

    DrivenDlg daily(&list_);
    PresetNew(daily);
    EXPECT_EQ(IDOK, RunModal(daily, [](HWND h) {
        Click(h, IDC_SCHEDADD_DAILY);
        Select(h, IDC_SCHEDADD_LENGTH_SECONDS, 4);
        Select(h, IDC_SCHEDADD_LENGTH_MINUTES, 0);
        Select(h, IDC_SCHEDADD_LENGTH_HOURS, 0);
        Click(h, IDC_SCHEDADD_CONFIRM);
    }));
    EXPECT_EQ(SCHEDULE_REPEAT_DAILY, Result().nRepeat);
    EXPECT_EQ(4, Result().nDuration) << "0:0:4";
    EXPECT_EQ(13, Result().nCableChannel);
    EXPECT_EQ(SCHEDULE_MODE_RECORD, Result().nMode);

    // Once, on 31 April: cut to the month's last day, not carried into May.
    DrivenDlg once(&list_);
    PresetNew(once);
    EXPECT_EQ(IDOK, RunModal(once, [](HWND h) {
        Select(h, IDC_SCHEDADD_YEAR, 1);
        Select(h, IDC_SCHEDADD_MONTH, 3);
        Select(h, IDC_SCHEDADD_DAY, 30);
        Select(h, IDC_SCHEDADD_HOUR, 23);
        Select(h, IDC_SCHEDADD_MINUTE, 59);
        Click(h, IDC_SCHEDADD_DELETE_AFTER);
        Click(h, IDC_SCHEDADD_CONFIRM);
    }));
    EXPECT_EQ(SCHEDULE_REPEAT_ONCE, Result().nRepeat);
    EXPECT_EQ(LocalTime(2027, 4, 30, 23, 59, 0), (time_t)Result().tStart);
    EXPECT_EQ(0, Result().bDeleteAfterRun);

    // 30 February of a common year becomes the 28th.
    DrivenDlg february(&list_);
    PresetNew(february);
    EXPECT_EQ(IDOK, RunModal(february, [](HWND h) {
        Select(h, IDC_SCHEDADD_MONTH, 1);
        Select(h, IDC_SCHEDADD_DAY, 29);
        Click(h, IDC_SCHEDADD_CONFIRM);
    }));
    EXPECT_EQ(LocalTime(2026, 2, 28, 10, 20, 0), (time_t)Result().tStart);
}

TEST_F(ScheduleAddDlgTest, PresetsOutsideTheirListsAreKept)
{
    // A damaged entry being edited: nobody touched these lists.
    DrivenDlg dlg(&list_);
    PresetNew(dlg);
    dlg.m_nTvChannel = 130;
    dlg.m_nCableChannel = 0;
    dlg.m_nAfterAction = 7;
    EXPECT_EQ(IDOK, RunModal(dlg, [](HWND h) {
        EXPECT_EQ(CB_ERR, Selected(h, IDC_SCHEDADD_TV_LIST));
        Click(h, IDC_SCHEDADD_CONFIRM);
    }));
    EXPECT_EQ(130, Result().nTvChannel);
    EXPECT_EQ(0, Result().nCableChannel);
    EXPECT_EQ(7, Result().nAfterAction);
}

TEST_F(ScheduleAddDlgTest, ShutdownWarnsAndStandbyGivesWayToAnEntrySoonAfter)
{
    DrivenDlg shutdown(&list_);
    PresetNew(shutdown);
    EXPECT_EQ(IDOK, RunModal(shutdown, [](HWND h) {
        Select(h, IDC_SCHEDADD_AFTER_LIST, 3);
        Click(h, IDC_SCHEDADD_CONFIRM);
    }));
    EXPECT_EQ(SCHEDULE_AFTER_SHUTDOWN, Result().nAfterAction);
    ASSERT_EQ(1u, boxes_.Calls().size());
    EXPECT_EQ(SCHEDULE_SHUTDOWN_WARNING, boxes_.Calls()[0].text);
    EXPECT_EQ((UINT)MB_OK, boxes_.Calls()[0].flags & 0xf);

    // A once entry ending 22:00; another once entry 9 and then 10 minutes later.
    auto standby = [&](LONG repeatChoice, time_t otherStart, LONG otherRepeat) {
        boxes_.Clear();
        list_.RemoveAll();
        CScheduleItem other(Entry(otherStart, 600, otherRepeat));
        list_.Add(&other);
        DrivenDlg dlg(&list_);
        PresetNew(dlg);
        dlg.m_nRepeatChoice = repeatChoice;
        dlg.m_timeStart = CTime(LocalTime(2026, 3, 11, 21, 0));
        dlg.m_nDuration = 3600;
        dlg.m_nAfterAction = SCHEDULE_AFTER_STANDBY;
        EXPECT_EQ(IDOK, RunModal(dlg, [](HWND h) { Click(h, IDC_SCHEDADD_CONFIRM); }));
        return Result().nAfterAction;
    };
    EXPECT_EQ(SCHEDULE_AFTER_NOTHING, standby(CScheduleAddDlg::REPEAT_ONCE, LocalTime(2026, 3, 11, 22, 9), 8));
    ASSERT_EQ(1u, boxes_.Calls().size());
    EXPECT_EQ(SCHEDULE_STANDBY_CANCELLED, boxes_.Calls()[0].text);
    EXPECT_EQ(SCHEDULE_AFTER_STANDBY, standby(CScheduleAddDlg::REPEAT_ONCE, LocalTime(2026, 3, 11, 22, 10), 8));
    EXPECT_TRUE(boxes_.Calls().empty());
    // A daily entry against a weekly one at 22:05 on its own start date.
    EXPECT_EQ(SCHEDULE_AFTER_NOTHING, standby(CScheduleAddDlg::REPEAT_DAILY, LocalTime(2026, 2, 2, 22, 5), 1));
}

TEST_F(ScheduleAddDlgTest, CancelWritesNothingAndNoListKeepsTheDialogOpen)
{
    ScheduleRecord before = Result();
    DrivenDlg dlg(&list_);
    PresetNew(dlg);
    EXPECT_EQ(IDCANCEL, RunModal(dlg, [](HWND h) {
        Select(h, IDC_SCHEDADD_TV_LIST, 3);
        Click(h, IDCANCEL);
    }));
    EXPECT_EQ(0, memcmp(&before, &Result(), sizeof(before)));

    DrivenDlg orphan(NULL);
    PresetNew(orphan);
    EXPECT_EQ(kLeftOpen, RunModal(orphan, [&](HWND h) {
        Click(h, IDC_SCHEDADD_CONFIRM);
        EXPECT_FALSE(orphan.Ending());
    }));
}

// The stand-by test's rows that the dialog cases above do not reach.
TEST(ScheduleStandbyWindow, WeekdayEntriesCompareOnTheOtherEntrysDate)
{
    const time_t end = LocalTime(2026, 3, 11, 22, 0);   // a Wednesday
    // Weekly on Wednesday against a once entry on another Wednesday.
    EXPECT_TRUE(CScheduleAddDlg::StartsSoonAfter(end, 3, Entry(LocalTime(2026, 3, 18, 22, 9), 60, 8)));
    EXPECT_FALSE(CScheduleAddDlg::StartsSoonAfter(end, 3, Entry(LocalTime(2026, 3, 19, 22, 5), 60, 8)))
        << "a Thursday";
    // Same weekday: the window's end is open, a daily entry's closed.
    EXPECT_FALSE(CScheduleAddDlg::StartsSoonAfter(end, 3, Entry(LocalTime(2026, 3, 4, 22, 9), 60, 3)));
    EXPECT_TRUE(CScheduleAddDlg::StartsSoonAfter(end, 3, Entry(LocalTime(2026, 3, 4, 22, 8), 60, 3)));
    EXPECT_TRUE(CScheduleAddDlg::StartsSoonAfter(end, 3, Entry(LocalTime(2026, 1, 1, 22, 9), 60, 7)));
    EXPECT_FALSE(CScheduleAddDlg::StartsSoonAfter(end, 3, Entry(LocalTime(2026, 3, 5, 22, 1), 60, 4)));
    // Once against weekly: only when the end falls on that weekday.
    EXPECT_TRUE(CScheduleAddDlg::StartsSoonAfter(end, 8, Entry(LocalTime(2025, 6, 1, 22, 5), 60, 3)));
    EXPECT_FALSE(CScheduleAddDlg::StartsSoonAfter(end, 8, Entry(LocalTime(2025, 6, 1, 22, 5), 60, 2)));
    EXPECT_FALSE(CScheduleAddDlg::StartsSoonAfter(end, 8, Entry(LocalTime(2025, 6, 1, 21, 59), 60, 7)));
}

}  // namespace
