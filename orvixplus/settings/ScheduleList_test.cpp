#include <gtest/gtest.h>
#include "ScheduleFile.h"
#include "ScheduleList.h"
#include "ScheduleMessages.h"
#include "ScheduleTestTime.h"
#include "TestSupport.h"
#include "WinApp.h"
#include "Wnd.h"

namespace {

// Lets a test put the NULL slots that every walk of the list must survive.
class CTestScheduleList : public CScheduleList {
public:
    void AddNullSlot() { m_items.Add(NULL); }
    void AddEntry(const ScheduleRecord& record)
    {
        CScheduleItem item(record);
        ASSERT_TRUE(Add(&item));
    }
};

}  // namespace

TEST(ScheduleList, EntriesAreKnownByStartDurationAndRepeat)
{
    CTestScheduleList list;
    list.AddEntry(Entry(1000000, 60, SCHEDULE_REPEAT_ONCE));
    list.AddEntry(Entry(2000000, 60, SCHEDULE_REPEAT_DAILY));
    CScheduleItem probe(Entry(2000000, 60, SCHEDULE_REPEAT_DAILY));
    probe.m_record.nTvChannel = 99;
    EXPECT_EQ(1, list.FindIndex(&probe));
    EXPECT_NE(&probe, list.GetAt(1));    // the list holds its own copy
    probe.m_record.nRepeat = 3;
    EXPECT_FALSE(list.Remove(&probe));
    EXPECT_TRUE(list.Remove(list.GetAt(0)));
    ASSERT_EQ(1, list.GetCount());
    EXPECT_EQ(2000000, list.GetAt(0)->m_record.tStart);
    EXPECT_EQ(NULL, list.GetAt(1));
}

TEST(ScheduleList, SaveSkipsEmptySlotsAndFailedLoadKeepsEntries)
{
    std::string dir = ts::FreshTempDir("schedlist");
    std::string path = dir + SCHEDULE_FILE_NAME;
    CTestScheduleList list;
    list.AddEntry(Entry(1000000, 60, SCHEDULE_REPEAT_ONCE, 1));
    list.AddNullSlot();
    list.AddEntry(Entry(2000000, 90, 4));
    ASSERT_TRUE(list.Save(path.c_str()));

    CScheduleList loaded;
    ASSERT_TRUE(loaded.Load(path.c_str()));
    ASSERT_EQ(2, loaded.GetCount());
    EXPECT_EQ(0, memcmp(&list.GetAt(2)->m_record, &loaded.GetAt(1)->m_record, sizeof(ScheduleRecord)));
    EXPECT_FALSE(loaded.Load((dir + "absent.she").c_str()));
    EXPECT_EQ(2, loaded.GetCount());
    EXPECT_FALSE(loaded.Save((dir + "missing\\x.she").c_str()));
}

TEST(ScheduleList, FirstDueEntryInListOrder)
{
    time_t eight = LocalTime(2007, 1, 31, 8, 0);
    CTestScheduleList list;
    FixedClock clock(eight + 5);
    EXPECT_EQ(NULL, list.FindDueItem());
    list.AddNullSlot();
    list.AddEntry(Entry(eight - 3600, 60, SCHEDULE_REPEAT_ONCE));
    list.AddEntry(Entry(eight - 7 * 86400, 45, 3));    // Wednesdays, as the 31st
    list.AddEntry(Entry(eight - 86400, 30, SCHEDULE_REPEAT_DAILY));
    list.AddEntry(Entry(eight, 60, SCHEDULE_REPEAT_ONCE));
    ASSERT_TRUE(list.FindDueItem() != NULL);
    EXPECT_EQ(45, list.FindDueItem()->m_record.nDuration);
    clock.Set(eight + 15);       // past the weekday window, still in the others
    EXPECT_EQ(30, list.FindDueItem()->m_record.nDuration);
    clock.Set(eight + 21);
    EXPECT_EQ(NULL, list.FindDueItem());
}

TEST(ScheduleList, RemovesFinishedOnceEntriesInOnePass)
{
    time_t eight = LocalTime(2007, 1, 31, 8, 0);
    CTestScheduleList list;
    list.AddEntry(Entry(eight, 10, SCHEDULE_REPEAT_ONCE, 1));
    list.AddEntry(Entry(eight, 20, SCHEDULE_REPEAT_ONCE, 1));
    list.AddNullSlot();
    list.AddEntry(Entry(eight, 30, SCHEDULE_REPEAT_ONCE, 0));
    list.AddEntry(Entry(eight, 40, SCHEDULE_REPEAT_ONCE, 1));
    list.AddEntry(Entry(eight, 50, SCHEDULE_REPEAT_DAILY, 1));

    FixedClock clock(eight + 20);
    EXPECT_TRUE(list.RemoveFinishedOnceItems());
    EXPECT_EQ(6, list.GetCount());
    clock.Set(eight + 21);
    EXPECT_TRUE(list.RemoveFinishedOnceItems());
    ASSERT_EQ(3, list.GetCount());
    EXPECT_EQ(NULL, list.GetAt(0));
    EXPECT_EQ(30, list.GetAt(1)->m_record.nDuration);
    EXPECT_EQ(50, list.GetAt(2)->m_record.nDuration);
}

TEST(ScheduleList, ConflictWithAnyEntry)
{
    time_t eight = LocalTime(2007, 1, 31, 8, 0);
    CTestScheduleList list;
    CScheduleItem fourHours(Entry(eight - 3600, 4 * 3600, SCHEDULE_REPEAT_ONCE));
    EXPECT_FALSE(list.HasConflict(&fourHours));
    EXPECT_FALSE(list.HasConflict(NULL));
    list.AddNullSlot();
    list.AddEntry(Entry(eight - 86400, 60, SCHEDULE_REPEAT_ONCE));
    EXPECT_FALSE(list.HasConflict(&fourHours));
    list.AddEntry(Entry(eight, 60, SCHEDULE_REPEAT_ONCE));
    EXPECT_TRUE(list.HasConflict(&fourHours));
}

namespace {

struct MainWindowSpy {
    static LRESULT CALLBACK Proc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_SCHEDULED_RUN_CANCELLED) {
            s_nCalls++;
            s_bRecordingSeen = s_pList->m_bRecordingActive;
            s_bViewingSeen = s_pList->m_bViewingActive;
        }
        return DefWindowProcA(hWnd, message, wParam, lParam);
    }
    static HWND Locate() { return s_hWnd; }
    static inline CScheduleList* s_pList = NULL;
    static inline HWND s_hWnd = NULL;
    static inline int s_nCalls = 0;
    static inline BOOL s_bRecordingSeen = FALSE, s_bViewingSeen = FALSE;
};

}  // namespace

TEST(ScheduleList, CancelTellsTheMainWindowBeforeTheFlagsClear)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MainWindowSpy::Proc;
    wc.lpszClassName = "ScheduleMainWindowSpy";
    RegisterClassA(&wc);
    CScheduleList list;
    MainWindowSpy::s_pList = &list;
    MainWindowSpy::s_hWnd = CreateWindowA(wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, NULL,
                                          NULL, NULL, NULL);
    SetScheduleMainWindowLocator(MainWindowSpy::Locate);

    EXPECT_EQ(0, list.CancelScheduledRun());          // nothing running: no message
    EXPECT_EQ(0, MainWindowSpy::s_nCalls);
    list.m_bRecordingActive = TRUE;
    EXPECT_EQ(0, list.CancelScheduledRun());
    EXPECT_EQ(1, MainWindowSpy::s_nCalls);
    EXPECT_TRUE(MainWindowSpy::s_bRecordingSeen);
    EXPECT_FALSE(list.m_bRecordingActive);
    list.m_bViewingActive = TRUE;
    list.CancelScheduledRun();
    EXPECT_EQ(2, MainWindowSpy::s_nCalls);
    EXPECT_TRUE(MainWindowSpy::s_bViewingSeen);
    EXPECT_FALSE(list.m_bViewingActive);

    // A program that names no main window of its own: the application's is told.
    SetScheduleMainWindowLocator(NULL);
    {
        CWinApp app;
        CWnd mainWnd;
        mainWnd.Attach(MainWindowSpy::s_hWnd);
        app.m_pMainWnd = &mainWnd;
        list.m_bRecordingActive = TRUE;
        list.CancelScheduledRun();
        app.m_pMainWnd = NULL;
        mainWnd.Detach();
    }
    EXPECT_EQ(3, MainWindowSpy::s_nCalls);
    EXPECT_FALSE(list.m_bRecordingActive);

    // Without a main window the run still ends.
    DestroyWindow(MainWindowSpy::s_hWnd);
    list.m_bViewingActive = TRUE;
    list.CancelScheduledRun();
    EXPECT_FALSE(list.m_bViewingActive);
    EXPECT_EQ(3, MainWindowSpy::s_nCalls);
    SetScheduleMainWindowLocator(NULL);
}
