#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "ScheduleMessages.h"
#include "TestSupport.h"

namespace {

// A top-level window that records the WM_COMMAND ids it receives.
struct CommandRecorder {
    static LRESULT CALLBACK Proc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_COMMAND)
            s_ids.push_back((int)LOWORD(wParam));
        return DefWindowProcA(hWnd, message, wParam, lParam);
    }
    static HWND Create(LPCSTR caption, HWND hParent = NULL)
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "ScheduleCommandRecorder";
        RegisterClassA(&wc);
        return CreateWindowA(wc.lpszClassName, caption, hParent ? WS_CHILD : WS_POPUP, 0, 0, 10,
                             10, hParent, NULL, wc.hInstance, NULL);
    }
    // Lets a window of another class record too.
    static LRESULT CALLBACK Spy(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_COMMAND)
            s_ids.push_back((int)LOWORD(wParam));
        return CallWindowProcA(s_previous, hWnd, message, wParam, lParam);
    }
    static HWND Watch(HWND hWnd)
    {
        s_previous = (WNDPROC)SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)Spy);
        return hWnd;
    }
    static inline std::vector<int> s_ids;
    static inline WNDPROC s_previous = NULL;
};

HWND g_hScheduleWnd = NULL;
HWND LocateScheduleWnd() { return g_hScheduleWnd; }

}  // namespace

TEST(ScheduleMessages, ReachTimewardenInAnotherProcess)
{
    std::string log = ts::FreshTempDir("schedmsg") + "commands.txt";
    ts::ChildProcess stub;
    ASSERT_TRUE(stub.Start("\"" + ts::ExeDir() + "scheduler_window_stub.exe\" \"" + log + "\""));
    HWND hStub = NULL;
    ASSERT_TRUE(ts::PumpUntil([&] {
        hStub = FindWindowA(SCHEDULER_WINDOW_CLASS, SCHEDULER_WINDOW_CAPTION);
        return hStub != NULL;
    }, 15000));
    EXPECT_FALSE(IsWindowVisible(hStub));

    CommandRecorder::s_ids.clear();
    g_hScheduleWnd = CommandRecorder::Create("schedule window");
    SetScheduleWindowLocator(LocateScheduleWnd);
    NotifySchedulerReload();
    RequestSchedulerStandby();
    RequestSchedulerShutdown();
    NotifyScheduleChanged();
    PostMessageA(hStub, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, stub.Wait(15000));
    EXPECT_EQ((std::vector<std::string>{"459", "1127", "1128", "459"}), ts::ReadLines(log));

    ASSERT_TRUE(ts::PumpUntil([] { return !CommandRecorder::s_ids.empty(); }));
    EXPECT_EQ(std::vector<int>{ID_SCHEDULE_CHANGED}, CommandRecorder::s_ids);

    // Once the schedule window is gone nothing more is posted to it.
    DestroyWindow(g_hScheduleWnd);
    CommandRecorder::s_ids.clear();
    NotifyScheduleChanged();
    ts::PumpFor(50);
    EXPECT_TRUE(CommandRecorder::s_ids.empty());
    g_hScheduleWnd = NULL;
    SetScheduleWindowLocator(NULL);
}

TEST(ScheduleMessages, NothingGoesToLookAlikes)
{
    // Right caption, wrong class; right class, wrong caption; and a dialog with
    // the right class and caption that is not a top-level window.
    HWND hWrongClass = CommandRecorder::Create(SCHEDULER_WINDOW_CAPTION);
    HWND hWrongCaption = CommandRecorder::Watch(CreateWindowA(
        SCHEDULER_WINDOW_CLASS, "KESTOR ORVIX", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL));
    HWND hChild = CommandRecorder::Watch(CreateWindowA(SCHEDULER_WINDOW_CLASS,
        SCHEDULER_WINDOW_CAPTION, WS_CHILD, 0, 0, 10, 10, hWrongClass, NULL, NULL, NULL));
    ASSERT_TRUE(hWrongClass && hWrongCaption && hChild);
    EXPECT_EQ(NULL, FindWindowA(SCHEDULER_WINDOW_CLASS, SCHEDULER_WINDOW_CAPTION));

    CommandRecorder::s_ids.clear();
    NotifySchedulerReload();
    RequestSchedulerStandby();
    RequestSchedulerShutdown();
    NotifyScheduleChanged();
    ts::PumpFor(50);
    EXPECT_TRUE(CommandRecorder::s_ids.empty());
    DestroyWindow(hWrongCaption);
    DestroyWindow(hWrongClass);
}
