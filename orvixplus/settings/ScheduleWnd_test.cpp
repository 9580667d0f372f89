// The schedule window with its Add dialog in this process, driven by real
// messages from inside the modal loops, beside a stand-in for Timewarden that
// logs what it is told and a window that plays the main dialog's part.
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>
#include "AppSettings.h"
#include "AppState.h"
#include "Globals.h"
#include "ScheduleAddDlg.h"
#include "ScheduleAddRes.h"
#include "ScheduleFile.h"
#include "ScheduleMessages.h"
#include "ScheduleTestDriver.h"
#include "ScheduleTestTime.h"
#include "ScheduleWnd.h"
#include "TestSupport.h"

using namespace schedtest;

namespace {

// Wednesday, 11 March 2026, 10:20:00.
const time_t kNow = LocalTime(2026, 3, 11, 10, 20, 0);

ScheduleRecord Record(time_t start, LONG duration, LONG repeat, LONG source, LONG tv, LONG cable, LONG mode,
                      LONG after, LONG del)
{
    ScheduleRecord r = {(LONG)start, duration, repeat, tv, cable, source, mode, after, del};
    return r;
}

std::string FileBytes(const std::string& path)
{
    std::string data;
    if (FILE* f = fopen(path.c_str(), "rb")) {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof(buf), f)) > 0)
            data.append(buf, n);
        fclose(f);
    }
    return data;
}

std::string Bytes(const std::vector<ScheduleRecord>& records)
{
    return std::string((const char*)records.data(), records.size() * sizeof(ScheduleRecord));
}

// Plays the main dialog: deletes the window when it reports that it closed.
struct MainStandIn {
    static LRESULT CALLBACK Proc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_SCHEDULE_WND_CLOSED) {
            s_closed++;
            OnScheduleWndClosed(hWnd);
            return 0;
        }
        return DefWindowProcA(hWnd, message, wParam, lParam);
    }
    static HWND Create()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "ScheduleMainStandIn";
        RegisterClassA(&wc);
        return CreateWindowA(wc.lpszClassName, "main stand-in", WS_POPUP, 0, 0, 10, 10, NULL, NULL,
                             wc.hInstance, NULL);
    }
    static inline int s_closed = 0;
    static inline HWND s_hWnd = NULL;
    static HWND Locate() { return s_hWnd; }
};

class ScheduleWndTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_log = ts::FreshTempDir("schedwnd-log") + "commands.txt";
        MainStandIn::s_hWnd = MainStandIn::Create();
        SetScheduleMainWindowLocator(MainStandIn::Locate);
    }
    static void TearDownTestSuite()
    {
        StopStub();
        SetScheduleMainWindowLocator(NULL);
        DestroyWindow(MainStandIn::s_hWnd);
    }
    // The stand-in ends by itself after a minute, which a slow run outlasts.
    static void StartStub()
    {
        if (FindWindowA(SCHEDULER_WINDOW_CLASS, SCHEDULER_WINDOW_CAPTION))
            return;
        StopStub();
        s_stub = new ts::ChildProcess;
        ASSERT_TRUE(s_stub->Start("\"" + ts::ExeDir() + "scheduler_window_stub.exe\" \"" + s_log + "\""));
        ASSERT_TRUE(ts::PumpUntil([] { return FindWindowA(SCHEDULER_WINDOW_CLASS, SCHEDULER_WINDOW_CAPTION) != NULL; },
                                  15000));
    }
    static void StopStub()
    {
        if (!s_stub)
            return;
        if (HWND hStub = FindWindowA(SCHEDULER_WINDOW_CLASS, SCHEDULER_WINDOW_CAPTION))
            PostMessageA(hStub, WM_CLOSE, 0, 0);
        s_stub->Wait(10000);
        delete s_stub;
        s_stub = NULL;
    }

    ScheduleWndTest() : clock_(kNow) {}
    void SetUp() override
    {
        StartStub();
        folder_ = ts::FreshTempDir("schedwnd");
        file_ = folder_ + SCHEDULE_FILE_NAME;
        DeleteFileA(s_log.c_str());
        g_pSettings = new CAppSettings;
        g_pSettings->m_strAppFolder = folder_.c_str();
        g_pAppState = new CAppState;
        g_pScheduleList = new CScheduleList;
        MainStandIn::s_closed = 0;
        s_watchdogFired = false;
    }
    void TearDown() override
    {
        ModalDriver::Disarm();
        if (s_watchdog)
            KillTimer(NULL, s_watchdog);
        s_watchdog = 0;
        EXPECT_FALSE(s_watchdogFired) << "a dialog was left open";
        delete g_pScheduleWnd;
        g_pScheduleWnd = NULL;
        delete g_pScheduleList;
        g_pScheduleList = NULL;
        delete g_pAppState;
        g_pAppState = NULL;
        delete g_pSettings;
        g_pSettings = NULL;
    }
    static void CALLBACK Watchdog(HWND, UINT, UINT_PTR id, DWORD)
    {
        KillTimer(NULL, id);
        s_watchdog = 0;
        if (g_pScheduleDlg && g_pScheduleDlg->m_hWnd) {
            s_watchdogFired = true;
            g_pScheduleDlg->EndDialog(IDCANCEL);
        }
    }

    // The file and the list hold these; the window shows them.
    void OpenWith(const std::vector<ScheduleRecord>& records)
    {
        ASSERT_TRUE(WriteScheduleFile(file_.c_str(), records.data(), records.size()));
        ASSERT_TRUE(g_pScheduleList->Load(file_.c_str()));
        g_pScheduleWnd = new CScheduleWnd;
        ASSERT_TRUE(g_pScheduleWnd->Open());
    }
    HWND Wnd() const { return g_pScheduleWnd->GetSafeHwnd(); }
    CSkinListCtrl& List() const { return *g_pScheduleWnd->GetList(); }
    std::string Cell(int row, int col) const { return (const char*)List().GetItemText(row, col); }
    void SelectRows(std::initializer_list<int> rows)
    {
        List().SetItemState(-1, 0, LVIS_SELECTED);
        for (int row : rows)
            List().SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    }
    // A button click; an add or edit returns once its dialog has closed.
    void Press(int id) { SendMessageA(g_pScheduleWnd->GetButton(id)->m_hWnd, BM_CLICK, 0, 0); }
    // act runs on the Add dialog once it is up; a dialog it leaves open is
    // cancelled half a minute later.
    void WhenDialogOpens(std::function<void(HWND)> act)
    {
        ModalDriver::Arm([act] {
            if (!g_pScheduleDlg || !g_pScheduleDlg->m_hWnd)
                return false;
            if (s_watchdog)
                KillTimer(NULL, s_watchdog);
            s_watchdog = SetTimer(NULL, 0, 30000, Watchdog);
            act(g_pScheduleDlg->m_hWnd);
            return true;
        });
    }
    // Timewarden's count of reload notices, once they stop coming.
    size_t Reloads(size_t expected)
    {
        ts::PumpUntil([&] { return ts::ReadLines(s_log).size() >= expected; }, 3000);
        ts::PumpFor(100);
        size_t n = 0;
        for (const std::string& line : ts::ReadLines(s_log))
            n += line == "459";
        return n;
    }

    static inline std::string s_log;
    static inline ts::ChildProcess* s_stub = NULL;
    static inline bool s_watchdogFired = false;
    static inline UINT_PTR s_watchdog = 0;
    FixedClock clock_;
    std::string folder_, file_;
    ts::MessageBoxRecorder boxes_;
};

const ScheduleRecord kOnce = Record(LocalTime(2026, 3, 12, 21, 5), 3725, 8, 0, 42, 7, 1, 2, 1);
const ScheduleRecord kPast = Record(LocalTime(2026, 3, 10, 8, 0), 600, 8, 1, 1, 2, 1, 0, 1);
const ScheduleRecord kWeekly = Record(LocalTime(2026, 3, 4, 6, 30), 90, 3, 1, 5, 13, 0, 0, 0);
const ScheduleRecord kDaily = Record(LocalTime(2026, 3, 1, 23, 59), 86399, 7, 2, 3, 4, 1, 3, 0);
const ScheduleRecord kDamaged = Record(LocalTime(2026, 5, 1, 12, 0), 60, 9, 9, 130, 130, 5, 7, 0);

TEST_F(ScheduleWndTest, RowsShowEveryColumnAndDropPastOnceEntries)
{
    OpenWith({kOnce, kPast, kWeekly, kDaily, kDamaged});
    EXPECT_TRUE(IsWindowVisible(Wnd()));
    EXPECT_TRUE(GetWindowLongA(Wnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    char caption[32] = "";
    GetWindowTextA(Wnd(), caption, sizeof(caption));
    EXPECT_STREQ(SCHEDULE_WND_CAPTION, caption);

    ASSERT_EQ(4, List().GetItemCount());
    EXPECT_EQ(4, g_pScheduleList->GetCount()) << "the past once entry left the list";
    const std::vector<std::vector<std::string>> rows = {
        {"2026/Mar/12", "21:05:00", "01:02:05", "TV", "42", "ONCE", "REC", "Entering the Stand-by mode"},
        {"2026/Mar/04", "06:30:00", "00:01:30", "Cable", "13", "WED", "View", "Nothing to do"},
        {"2026/Mar/01", "23:59:00", "23:59:59", "Composite", "0", "DAY", "REC", "PC shut-down"},
        {"2026/May/01", "12:00:00", "00:01:00", "", "0", "", "", ""},
    };
    for (int row = 0; row < 4; row++)
        for (int col = 0; col < 8; col++)
            EXPECT_EQ(rows[row][col], Cell(row, col)) << "row " << row << " column " << col;

    // Eight centred columns of an eighth of the width, titled.
    CRect inner;
    List().GetClientRect(&inner);
    const char* titles[] = {"日期", "开始", "持续", "来源", "频道", "每天", "模式", "预约录像后"};
    for (int col = 0; col < 8; col++) {
        char text[32] = "";
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = text;
        column.cchTextMax = sizeof(text);
        ASSERT_TRUE(SendMessageA(List().m_hWnd, LVM_GETCOLUMNA, col, (LPARAM)&column));
        EXPECT_STREQ(titles[col], text);
        EXPECT_EQ(inner.Width() / 8, column.cx);
        EXPECT_EQ(LVCFMT_CENTER, column.fmt & LVCFMT_JUSTIFYMASK) << col;
    }
    EXPECT_EQ(RGB(0, 0, 0), List().GetBkColor());
    EXPECT_EQ(RGB(0, 255, 0), List().GetTextColor());
    EXPECT_EQ((DWORD)(LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP),
              List().GetExtendedStyle() & (LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP));

    // The background between the controls.
    HDC screen = GetDC(NULL);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 600, 280);
    HGDIOBJ old = SelectObject(dc, bmp);
    EXPECT_EQ(1, SendMessageA(Wnd(), WM_ERASEBKGND, (WPARAM)dc, 0));
    EXPECT_EQ((COLORREF)0xEAF0F4, GetPixel(dc, 300, 255) & 0xffffff);
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseDC(NULL, screen);
    EXPECT_EQ(0u, Reloads(0)) << "showing the rows saves nothing";
}

TEST_F(ScheduleWndTest, AddSavesNewEntriesAndRefusesCollisionsAndLateOnes)
{
    OpenWith({kWeekly});
    bool busy = false, disabled = false;
    WhenDialogOpens([&](HWND h) {
        busy = g_pAppState->IsBusy() != FALSE;
        disabled = !IsWindowEnabled(Wnd());
        Select(h, IDC_SCHEDADD_MINUTE, 21);         // 60 s from now
        Select(h, IDC_SCHEDADD_LENGTH_MINUTES, 30);
        Select(h, IDC_SCHEDADD_LENGTH_SECONDS, 0);
        Click(h, IDC_SCHEDADD_CONFIRM);
    });
    Press(CScheduleWnd::IDC_ADD);
    EXPECT_TRUE(busy);
    EXPECT_TRUE(disabled) << "the dialog's parent is the schedule window";
    EXPECT_FALSE(g_pAppState->IsBusy());
    EXPECT_EQ(nullptr, g_pScheduleDlg);
    const ScheduleRecord added = Record(LocalTime(2026, 3, 11, 10, 21), 1800, 8, 1, 8, 13, 1, 0, 1);
    EXPECT_EQ(Bytes({kWeekly, added}), FileBytes(file_));
    EXPECT_EQ(1u, Reloads(1));
    ASSERT_EQ(2, List().GetItemCount());
    EXPECT_EQ("10:21:00", Cell(1, 1));

    // The same again collides: told, and the file stays.
    WhenDialogOpens([](HWND h) {
        Select(h, IDC_SCHEDADD_MINUTE, 21);
        Click(h, IDC_SCHEDADD_CONFIRM);
    });
    Press(CScheduleWnd::IDC_ADD);
    ASSERT_EQ(1u, boxes_.Calls().size());
    EXPECT_EQ(SCHEDULE_SAME_ENTRY_TEXT, boxes_.Calls()[0].text);
    EXPECT_EQ(Bytes({kWeekly, added}), FileBytes(file_));

    // A once entry only 20 s ahead is dropped without a word.
    boxes_.Clear();
    WhenDialogOpens([](HWND h) {
        Select(h, IDC_SCHEDADD_HOUR, 11);
        Select(h, IDC_SCHEDADD_MINUTE, 21);
        Click(h, IDC_SCHEDADD_CONFIRM);
    });
    clock_.Set(LocalTime(2026, 3, 11, 11, 20, 40));
    Press(CScheduleWnd::IDC_ADD);
    EXPECT_TRUE(boxes_.Calls().empty());
    EXPECT_EQ(Bytes({kWeekly, added}), FileBytes(file_));
    EXPECT_EQ(1u, Reloads(1));

    // Cancel adds nothing either.
    WhenDialogOpens([](HWND h) { Click(h, IDCANCEL); });
    Press(CScheduleWnd::IDC_ADD);
    EXPECT_EQ(2, g_pScheduleList->GetCount());
    EXPECT_FALSE(g_pAppState->IsBusy());
}

TEST_F(ScheduleWndTest, EditReplacesTheEntryOrKeepsItInPlace)
{
    OpenWith({kOnce, kWeekly, kDaily});
    bool busy = false, preset = false;
    SelectRows({0});
    WhenDialogOpens([&](HWND h) {
        busy = g_pAppState->IsBusy() != FALSE;
        preset = IsDlgButtonChecked(h, IDC_SCHEDADD_ONCE) && IsDlgButtonChecked(h, IDC_SCHEDADD_SOURCE_TV) &&
                 IsDlgButtonChecked(h, IDC_SCHEDADD_DELETE_AFTER) && Selected(h, IDC_SCHEDADD_TV_LIST) == 41 &&
                 Selected(h, IDC_SCHEDADD_AFTER_LIST) == 2;
        Select(h, IDC_SCHEDADD_HOUR, 22);
        Click(h, IDC_SCHEDADD_CONFIRM);
    });
    Press(CScheduleWnd::IDC_EDIT);
    EXPECT_TRUE(busy) << "a scheduled run must not start meanwhile";
    EXPECT_TRUE(preset);
    EXPECT_FALSE(g_pAppState->IsBusy());
    ScheduleRecord changed = kOnce;
    changed.tStart = (LONG)LocalTime(2026, 3, 12, 22, 5);
    EXPECT_EQ(Bytes({kWeekly, kDaily, changed}), FileBytes(file_));
    EXPECT_EQ(1u, Reloads(1));
    EXPECT_EQ("22:05:00", Cell(2, 1));

    // Into a collision (the weekly entry moved onto the daily one's minute):
    // told, and the entry stays as it was, where it was.
    boxes_.Clear();
    SelectRows({0});
    WhenDialogOpens([](HWND h) {
        EXPECT_TRUE(IsDlgButtonChecked(h, IDC_SCHEDADD_WEEKLY));
        EXPECT_EQ(3, Selected(h, IDC_SCHEDADD_WEEKDAY));
        Select(h, IDC_SCHEDADD_HOUR, 23);
        Select(h, IDC_SCHEDADD_MINUTE, 59);
        Click(h, IDC_SCHEDADD_CONFIRM);
    });
    Press(CScheduleWnd::IDC_EDIT);
    ASSERT_EQ(1u, boxes_.Calls().size());
    EXPECT_EQ(SCHEDULE_SAME_ENTRY_TEXT, boxes_.Calls()[0].text);
    EXPECT_EQ(Bytes({kWeekly, kDaily, changed}), FileBytes(file_));

    // Its own old times do not count against the edited entry; a double
    // click edits too.
    SelectRows({1});
    WhenDialogOpens([](HWND h) {
        Select(h, IDC_SCHEDADD_LENGTH_SECONDS, 58);
        Click(h, IDC_SCHEDADD_CONFIRM);
    });
    NMHDR hdr = {List().m_hWnd, CScheduleWnd::IDC_LIST, (UINT)NM_DBLCLK};
    SendMessageA(Wnd(), WM_NOTIFY, CScheduleWnd::IDC_LIST, (LPARAM)&hdr);
    ScheduleRecord shorter = kDaily;
    shorter.nDuration = 86398;
    EXPECT_EQ(Bytes({kWeekly, changed, shorter}), FileBytes(file_));

    // Cancel keeps the entry as it was.
    SelectRows({0});
    WhenDialogOpens([](HWND h) {
        Select(h, IDC_SCHEDADD_HOUR, 3);
        Click(h, IDCANCEL);
    });
    Press(CScheduleWnd::IDC_EDIT);
    EXPECT_EQ(Bytes({kWeekly, changed, shorter}), FileBytes(file_));
    EXPECT_FALSE(g_pAppState->IsBusy());
}

TEST_F(ScheduleWndTest, EditWithoutOneFoundRowDoesNothingAndAddStillOpens)
{
    OpenWith({kOnce, kWeekly, kDamaged});
    bool opened = false, fronted = false;
    WhenDialogOpens([&](HWND h) {
        opened = true;
        fronted = g_pScheduleWnd->BringDialogToFront() != FALSE;
        Click(h, IDCANCEL);
    });
    SelectRows({0, 1});
    Press(CScheduleWnd::IDC_EDIT);
    // The damaged row's texts lead to no entry.
    SelectRows({2});
    Press(CScheduleWnd::IDC_EDIT);
    ts::PumpFor(100);
    EXPECT_FALSE(opened);
    EXPECT_EQ(nullptr, g_pScheduleDlg);
    EXPECT_FALSE(g_pAppState->IsBusy());

    EXPECT_FALSE(g_pScheduleWnd->BringDialogToFront()) << "no dialog open";
    Press(CScheduleWnd::IDC_ADD);
    EXPECT_TRUE(opened);
    EXPECT_TRUE(fronted);
    EXPECT_EQ(nullptr, g_pScheduleDlg);
    EXPECT_EQ(3, g_pScheduleList->GetCount());
}

TEST_F(ScheduleWndTest, DeleteTakesEachSelectedRowAndCancelKeepsTheDeletions)
{
    ScheduleRecord a = kOnce, b = kWeekly, c = kDaily, d = kOnce, e = kWeekly;
    d.tStart = (LONG)LocalTime(2026, 3, 20, 9, 0);
    e.nRepeat = 5;
    OpenWith({a, b, c, d, e});
    SelectRows({0, 2, 4});
    Press(CScheduleWnd::IDC_DELETE);
    EXPECT_EQ(2, List().GetItemCount());
    EXPECT_EQ(Bytes({b, d}), FileBytes(file_));
    EXPECT_EQ(3u, Reloads(3)) << "one save per deleted row";

    Press(CScheduleWnd::IDC_DELETE_ALL);
    EXPECT_EQ(0, List().GetItemCount());
    EXPECT_TRUE(FileBytes(file_).empty());
    EXPECT_EQ(std::string(""), FileBytes(file_));
    EXPECT_EQ(4u, Reloads(4));

    // Cancel hides the window and tells the main dialog, which deletes it.
    Press(CScheduleWnd::IDC_CANCEL);
    EXPECT_FALSE(IsWindowVisible(Wnd()));
    EXPECT_TRUE(ts::PumpUntil([] { return g_pScheduleWnd == NULL; }));
    EXPECT_EQ(1, MainStandIn::s_closed);
    EXPECT_TRUE(FileBytes(file_).empty());
    EXPECT_EQ(FALSE, IsWindow(FindWindowA(SCHEDULE_WND_CLASS, NULL)));
}

TEST_F(ScheduleWndTest, OkSavesAndReportsTheClose)
{
    OpenWith({kWeekly});
    Press(CScheduleWnd::IDC_OK);
    EXPECT_EQ(Bytes({kWeekly}), FileBytes(file_));
    EXPECT_EQ(1u, Reloads(1));
    EXPECT_TRUE(ts::PumpUntil([] { return g_pScheduleWnd == NULL; }));
    EXPECT_EQ(1, MainStandIn::s_closed);
}

TEST_F(ScheduleWndTest, ReloadDuringEditNeitherDuplicatesNorLosesTheEntry)
{
    const ScheduleRecord other = Record(LocalTime(2026, 3, 15, 7, 0), 300, 8, 0, 9, 9, 1, 0, 0);
    for (bool ok : {true, false}) {
        SCOPED_TRACE(ok ? "OK" : "cancel");
        delete g_pScheduleWnd;
        g_pScheduleWnd = NULL;
        OpenWith({kOnce, kWeekly});
        SelectRows({0});
        WhenDialogOpens([&](HWND h) {
            // Timewarden adds an entry, saves and tells OrvixPlus, which
            // reloads and passes the notice on.
            std::vector<ScheduleRecord> theirs = {kOnce, kWeekly, other};
            WriteScheduleFile(file_.c_str(), theirs.data(), theirs.size());
            g_pScheduleList->Load(file_.c_str());
            PostMessageA(Wnd(), WM_COMMAND, ID_SCHEDULE_CHANGED, 0);
            EXPECT_TRUE(ts::PumpUntil([&] { return List().GetItemCount() == 3; }));
            Select(h, IDC_SCHEDADD_HOUR, 20);
            Click(h, ok ? IDC_SCHEDADD_CONFIRM : IDCANCEL);
        });
        Press(CScheduleWnd::IDC_EDIT);
        ScheduleRecord changed = kOnce;
        changed.tStart = (LONG)LocalTime(2026, 3, 12, 20, 5);
        if (ok)
            EXPECT_EQ(Bytes({kWeekly, other, changed}), FileBytes(file_));
        else
            EXPECT_EQ(Bytes({kOnce, kWeekly, other}), FileBytes(file_));
        EXPECT_EQ(3, List().GetItemCount());
    }
}

TEST_F(ScheduleWndTest, RequestCloseDuringEditKeepsTheEntryAndDeletesInOrder)
{
    OpenWith({kOnce, kWeekly});
    SelectRows({1});
    bool aliveAfterRequest = false;
    WhenDialogOpens([&](HWND h) {
        Select(h, IDC_SCHEDADD_HOUR, 12);
        g_pScheduleWnd->RequestClose();
        aliveAfterRequest = g_pScheduleWnd != NULL && g_pScheduleDlg != NULL && IsWindow(h);
        EXPECT_FALSE(IsWindowVisible(Wnd()));
    });
    Press(CScheduleWnd::IDC_EDIT);
    EXPECT_TRUE(aliveAfterRequest) << "nothing deleted under the modal loop";
    EXPECT_EQ(nullptr, g_pScheduleDlg) << "deleted by the handler that ran it";
    EXPECT_TRUE(ts::PumpUntil([] { return g_pScheduleWnd == NULL; }));
    EXPECT_EQ(1, MainStandIn::s_closed);
    EXPECT_EQ(Bytes({kOnce, kWeekly}), FileBytes(file_));
    EXPECT_EQ(2, g_pScheduleList->GetCount());
    EXPECT_FALSE(g_pAppState->IsBusy());

    // A new window with the class already registered.
    g_pScheduleWnd = new CScheduleWnd;
    ASSERT_TRUE(g_pScheduleWnd->Open());
    EXPECT_EQ(2, List().GetItemCount());
    // Closing it when no dialog is open reports at once.
    g_pScheduleWnd->RequestClose();
    EXPECT_TRUE(ts::PumpUntil([] { return g_pScheduleWnd == NULL; }));
}

TEST_F(ScheduleWndTest, FailuresLeaveNoWindowAndAMissingFrameSkinIsNoFailure)
{
    // Without the program's bitmaps no button can be made.
    HINSTANCE hOwn = AfxGetResourceHandle();
    AfxSetResourceHandle(GetModuleHandleA("kernel32.dll"));
    CScheduleWnd* pWnd = new CScheduleWnd;
    EXPECT_FALSE(pWnd->Open());
    AfxSetResourceHandle(hOwn);
    EXPECT_EQ(nullptr, pWnd->GetSafeHwnd());
    EXPECT_EQ(nullptr, FindWindowA(SCHEDULE_WND_CLASS, NULL));
    delete pWnd;

    CScheduleWnd plain;
    ASSERT_TRUE(plain.Create(595, 270));
    EXPECT_TRUE(plain.ApplySkin("C:\\no such folder\\skin.ini"));
    EXPECT_NE(nullptr, plain.GetButton(CScheduleWnd::IDC_CANCEL));
    EXPECT_TRUE(IsWindow(plain.GetList()->m_hWnd));
}

}  // namespace
