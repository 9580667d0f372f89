// Timewarden's schedule list dialog in the test's own process with the clock
// set: the Schedule - Add dialog driven from inside its modal loop, the file
// read back byte for byte, OrvixPlus stood in for by a window of its caption.
#include <gtest/gtest.h>
#include <stdio.h>
#include <vector>
#include "ScheduleAddRes.h"
#include "ScheduleFile.h"
#include "ScheduleListDlg.h"
#include "ScheduleMessages.h"
#include "ScheduleRows.h"
#include "ScheduleStore.h"
#include "ScheduleTestDriver.h"
#include "ScheduleTestTime.h"
#include "Seams.h"
#include "TestSupport.h"

namespace {

using schedtest::ModalDriver;

std::vector<std::string> g_boxes;
int RecordBox(HWND, LPCSTR text, LPCSTR, UINT flags)
{
    g_boxes.push_back(text);
    return FwDefaultAnswer(flags);
}

std::vector<ScheduleRecord> FileRecords()
{
    std::vector<ScheduleRecord> out;
    FILE* f = fopen(g_strScheduleFile, "rb");
    if (!f)
        return out;
    ScheduleRecord r;
    while (fread(&r, sizeof(r), 1, f) == 1)
        out.push_back(r);
    fclose(f);
    return out;
}

// OrvixPlus's side: every 1125, and how many entries the file held then.
int g_changed = 0;
std::vector<size_t> g_fileSizesAtChange;
LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND && LOWORD(wParam) == ID_SCHEDULE_CHANGED) {
        g_changed++;
        g_fileSizesAtChange.push_back(FileRecords().size());
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND FindAddDialog()
{
    HWND dlg = FindWindowA("#32770", "Schedule - Add");
    return dlg && IsWindowVisible(dlg) ? dlg : NULL;
}

// One step for the driver: when the Add dialog is up, act() on it, then
// press the button.
std::function<bool()> OnAddDialog(std::function<void(HWND)> act, int button)
{
    return [act, button]() {
        HWND dlg = FindAddDialog();
        if (!dlg)
            return false;
        if (act)
            act(dlg);
        schedtest::Click(dlg, button);
        return true;
    };
}

class ScheduleListTest : public testing::Test {
protected:
    void SetUp() override
    {
        g_boxes.clear();
        g_changed = 0;
        g_fileSizesAtChange.clear();
        previous_ = FwSetMessageBoxHook(RecordBox);
        g_strScheduleFile = (ts::FreshTempDir("schedule-list") + SCHEDULE_FILE_NAME).c_str();
        g_pScheduleList = new CScheduleList;
        ASSERT_TRUE(dlg_.Create(IDD_SCHEDULE_LIST, NULL));
        dlg_.ShowWindow(SW_SHOW);
    }
    void TearDown() override
    {
        ModalDriver::Disarm();
        dlg_.DestroyWindow();
        if (main_)
            DestroyWindow(main_);
        delete g_pScheduleList;
        g_pScheduleList = NULL;
        FwSetMessageBoxHook(previous_);
    }
    void StartMain()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = MainProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "schedule list test main";
        RegisterClassA(&wc);
        main_ = CreateWindowA(wc.lpszClassName, "Orvix Plus", WS_POPUP, 0, 0, 10, 10, NULL, NULL, wc.hInstance, NULL);
    }
    void Add(std::function<void(HWND)> act = nullptr, int button = IDC_SCHEDADD_CONFIRM)
    {
        ModalDriver::Arm(OnAddDialog(act, button));
        dlg_.OnAdd();
    }
    int Rows() { return dlg_.List().GetItemCount(); }
    void SelectRows(std::initializer_list<int> rows)
    {
        for (int i = 0; i < Rows(); i++)
            dlg_.List().SetItemState(i, 0, LVIS_SELECTED);
        for (int r : rows)
            dlg_.List().SetItemState(r, LVIS_SELECTED, LVIS_SELECTED);
    }

    FixedClock clock_{LocalTime(2030, 5, 6, 10, 20, 30)};
    CScheduleListDlg dlg_;
    HWND main_ = NULL;
    FwMessageBoxHook previous_ = NULL;
};

TEST_F(ScheduleListTest, SetAppendsTheRecordAndTellsOrvixPlusUnlessItIsTheSame)
{
    StartMain();
    Add();
    std::vector<ScheduleRecord> file = FileRecords();
    ASSERT_EQ(1u, file.size());
    ASSERT_EQ(1, g_pScheduleList->GetCount());
    EXPECT_EQ(0, memcmp(&file[0], &g_pScheduleList->GetAt(0)->m_record, sizeof(ScheduleRecord)));
    EXPECT_EQ(LocalTime(2030, 5, 6, 10, 20, 0), file[0].tStart);
    EXPECT_EQ(SCHEDULE_REPEAT_ONCE, file[0].nRepeat);
    EXPECT_EQ(SCHEDULE_SOURCE_CABLE, file[0].nSource);
    EXPECT_EQ(SCHEDULE_MODE_RECORD, file[0].nMode);
    EXPECT_EQ(1, file[0].bDeleteAfterRun);
    EXPECT_EQ(1, g_changed);
    EXPECT_EQ(1, Rows());

    Add();
    ASSERT_EQ(1u, g_boxes.size());
    EXPECT_EQ(SCHEDULE_SAME_TEXT, g_boxes[0]);
    EXPECT_EQ(1u, FileRecords().size());
    EXPECT_EQ(1, g_changed);
}

TEST_F(ScheduleListTest, OnceEntriesNeedOrvixPlusWhenTheyAreClose)
{
    // 30 seconds ahead: too late for Timewarden to start OrvixPlus.
    Add([](HWND dlg) { schedtest::Select(dlg, IDC_SCHEDADD_MINUTE, 21); });
    ASSERT_EQ(1u, g_boxes.size());
    EXPECT_EQ(SCHEDULE_LAUNCH_FIRST_TEXT, g_boxes[0]);
    EXPECT_EQ(0, g_pScheduleList->GetCount());
    // In the past: dropped without a word.
    Add();
    EXPECT_EQ(1u, g_boxes.size());
    EXPECT_EQ(0, g_pScheduleList->GetCount());
    // Far enough ahead: kept.
    Add([](HWND dlg) { schedtest::Select(dlg, IDC_SCHEDADD_MINUTE, 30); });
    EXPECT_EQ(1, g_pScheduleList->GetCount());
}

TEST_F(ScheduleListTest, ACancelledSetLeavesTheNextOneWorking)
{
    StartMain();
    Add(nullptr, IDCANCEL);
    EXPECT_EQ(0, g_pScheduleList->GetCount());
    EXPECT_EQ(NULL, g_pScheduleAddDlg);
    Add();
    EXPECT_EQ(1, g_pScheduleList->GetCount());
}

TEST_F(ScheduleListTest, EditReplacesAndAReloadMeanwhileLeavesNoDuplicate)
{
    StartMain();
    AddScheduleEntry(Entry(LocalTime(2030, 5, 7, 8, 0), 600, SCHEDULE_REPEAT_DAILY));
    AddScheduleEntry(Entry(LocalTime(2030, 5, 8, 9, 0), 600, SCHEDULE_REPEAT_ONCE));
    dlg_.SaveAndNotify();
    dlg_.RefillList();
    ASSERT_EQ(2, Rows());

    // Two rows selected: nothing.
    SelectRows({0, 1});
    dlg_.OnEdit();
    EXPECT_EQ(NULL, FindAddDialog());

    // The first entry edited while OrvixPlus reloads the file (459): the
    // entry read back is the one replaced.
    SelectRows({0});
    ModalDriver::Arm(OnAddDialog([](HWND dlg) {
        LoadScheduleFile();
        schedtest::Select(dlg, IDC_SCHEDADD_HOUR, 11);
    }, IDC_SCHEDADD_CONFIRM));
    dlg_.OnEdit();
    std::vector<ScheduleRecord> file = FileRecords();
    ASSERT_EQ(2u, file.size());
    EXPECT_EQ(LocalTime(2030, 5, 8, 9, 0), file[0].tStart);
    // The edited entry is at the end with its new hour.
    EXPECT_EQ(11, CTime((time_t)file[1].tStart).GetHour());
    EXPECT_EQ(SCHEDULE_REPEAT_DAILY, file[1].nRepeat);

    // Cancelled: the entry moves to the end, the file rewritten.
    SelectRows({0});
    ModalDriver::Arm(OnAddDialog(nullptr, IDCANCEL));
    dlg_.OnEdit();
    file = FileRecords();
    ASSERT_EQ(2u, file.size());
    EXPECT_EQ(LocalTime(2030, 5, 8, 9, 0), file[1].tStart);
    EXPECT_EQ(2, Rows());
}

TEST_F(ScheduleListTest, DeleteAndDeleteAllAndTheRefillDropsFinishedOnceEntries)
{
    StartMain();
    AddScheduleEntry(Entry(LocalTime(2030, 5, 7, 8, 0), 600, SCHEDULE_REPEAT_DAILY));
    AddScheduleEntry(Entry(LocalTime(2030, 5, 6, 9, 0), 600, SCHEDULE_REPEAT_ONCE, 1));   // ran already
    AddScheduleEntry(Entry(LocalTime(2030, 5, 9, 9, 0), 600, SCHEDULE_REPEAT_ONCE, 1));
    AddScheduleEntry(Entry(LocalTime(2030, 5, 10, 9, 0), 90000, SCHEDULE_REPEAT_SUNDAY));
    dlg_.SendMessage(WM_COMMAND, ID_SCHEDULE_CHANGED, 0);
    ASSERT_EQ(3, Rows());
    EXPECT_EQ("01:00:00", std::string(dlg_.List().GetItemText(2, 2)));
    SelectRows({0, 2});
    dlg_.OnDelete();
    EXPECT_EQ(1, Rows());
    // OrvixPlus hears of each deleted row, the file one entry shorter each time.
    EXPECT_EQ((std::vector<size_t>{2, 1}), g_fileSizesAtChange);
    std::vector<ScheduleRecord> file = FileRecords();
    ASSERT_EQ(1u, file.size());
    EXPECT_EQ(LocalTime(2030, 5, 9, 9, 0), file[0].tStart);
    dlg_.OnDeleteAll();
    EXPECT_EQ(0, Rows());
    EXPECT_TRUE(FileRecords().empty());
}

TEST(ScheduleRows, ValuesOutsideTheirTablesShowAsNumbers)
{
    ScheduleRecord r = Entry(LocalTime(2030, 5, 6, 7, 8), 25 * 3600, 12);
    r.nSource = 9;
    r.nMode = -1;
    r.nAfterAction = 4;
    EXPECT_EQ("01:00:00", std::string(ScheduleRowText(r, 2)));
    EXPECT_EQ("9", std::string(ScheduleRowText(r, 3)));
    EXPECT_EQ("0", std::string(ScheduleRowText(r, 4)));
    EXPECT_EQ("12", std::string(ScheduleRowText(r, 5)));
    EXPECT_EQ("-1", std::string(ScheduleRowText(r, 6)));
    EXPECT_EQ("4", std::string(ScheduleRowText(r, 7)));
    r.nSource = SCHEDULE_SOURCE_CABLE;
    r.nRepeat = SCHEDULE_REPEAT_DAILY;
    EXPECT_EQ("7", std::string(ScheduleRowText(r, 4)));
    EXPECT_EQ("DAY", std::string(ScheduleRowText(r, 5)));
    EXPECT_EQ("07:08:00", std::string(ScheduleRowText(r, 1)));
}

}  // namespace
