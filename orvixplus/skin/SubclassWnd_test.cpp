// Hook chains on real windows: order, removal from either end, the end of the
// window, hooking twice, Default inside a nested send and a framework window
// under a hook.
#include <gtest/gtest.h>
#include "SubclassWnd.h"
#include "TestSupport.h"
#include <string>
#include <vector>

namespace {

const UINT WM_PROBE = WM_APP + 1;
std::vector<std::string> g_log;

LRESULT CALLBACK ClassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PROBE) {
        g_log.push_back("class");
        return 100;
    }
    if (message == WM_NCDESTROY)
        g_log.push_back("class:ncdestroy");
    return DefWindowProc(hWnd, message, wParam, lParam);
}

HWND MakeWindow()
{
    static ATOM atom = 0;
    if (!atom) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ClassProc;
        wc.hInstance = GetModuleHandle(NULL);
        wc.lpszClassName = "HookTestClass";
        atom = RegisterClassA(&wc);
    }
    return CreateWindowA("HookTestClass", "", WS_POPUP, 0, 0, 50, 50, NULL, NULL, GetModuleHandle(NULL), NULL);
}

class CNamedHook : public CSubclassWnd {
public:
    explicit CNamedHook(const char* name) : name_(name) {}
    std::vector<CNamedHook*>* peers = NULL;     // checked at WM_NCDESTROY time
    bool sawNcDestroy = false;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_PROBE) {
            g_log.push_back(name_);
            return CSubclassWnd::WindowProc(message, wParam, lParam) + 1;
        }
        if (message == WM_NCDESTROY)
            sawNcDestroy = true;
        return CSubclassWnd::WindowProc(message, wParam, lParam);
    }
private:
    std::string name_;
};

WNDPROC ProcOf(HWND h) { return (WNDPROC)GetWindowLongPtr(h, GWLP_WNDPROC); }

}  // namespace

TEST(SubclassWndTest, NewestFirstThenOlderThenClassAndRemovalFromEitherEnd)
{
    HWND w = MakeWindow();
    WNDPROC original = ProcOf(w);
    CNamedHook older("older"), newer("newer");
    EXPECT_STREQ("CSubclassWnd", older.GetRuntimeClass()->m_lpszClassName);
    EXPECT_FALSE(older.IsHooked());
    EXPECT_TRUE(older.HookWindow(w));
    EXPECT_TRUE(newer.HookWindow(w));
    EXPECT_EQ(&newer, CSubclassWndMap::GetHookMap().Lookup(w));

    g_log.clear();
    EXPECT_EQ(102, SendMessage(w, WM_PROBE, 0, 0));
    EXPECT_EQ((std::vector<std::string>{ "newer", "older", "class" }), g_log);

    // The older one goes: the window procedure stays the hook's.
    older.HookWindow((HWND)NULL);
    EXPECT_FALSE(older.IsHooked());
    EXPECT_NE(original, ProcOf(w));
    g_log.clear();
    EXPECT_EQ(101, SendMessage(w, WM_PROBE, 0, 0));
    EXPECT_EQ((std::vector<std::string>{ "newer", "class" }), g_log);

    // Unhooking what is not hooked does nothing.
    EXPECT_TRUE(older.HookWindow((HWND)NULL));

    // Now the newest goes first of two: the older keeps working.
    older.HookWindow(w);
    older.HookWindow((CWnd*)NULL);
    EXPECT_EQ(&newer, CSubclassWndMap::GetHookMap().Lookup(w));
    newer.HookWindow((HWND)NULL);
    EXPECT_EQ(original, ProcOf(w));
    EXPECT_EQ(NULL, CSubclassWndMap::GetHookMap().Lookup(w));
    g_log.clear();
    EXPECT_EQ(100, SendMessage(w, WM_PROBE, 0, 0));
    DestroyWindow(w);
}

TEST(SubclassWndTest, HookingTheSameWindowTwiceAndASecondWindow)
{
    HWND a = MakeWindow(), b = MakeWindow();
    WNDPROC original = ProcOf(a);
    {
        CNamedHook hook("hook"), other("other");
        hook.HookWindow(a);
        hook.HookWindow(a);     // no self-loop: the class procedure is still reached once
        g_log.clear();
        EXPECT_EQ(101, SendMessage(a, WM_PROBE, 0, 0));
        EXPECT_EQ((std::vector<std::string>{ "hook", "class" }), g_log);

        other.HookWindow(a);
        hook.HookWindow(b);     // leaves a's chain before joining b's
        EXPECT_EQ(b, hook.GetHwnd());
        g_log.clear();
        EXPECT_EQ(101, SendMessage(a, WM_PROBE, 0, 0));
        EXPECT_EQ((std::vector<std::string>{ "other", "class" }), g_log);
        g_log.clear();
        EXPECT_EQ(101, SendMessage(b, WM_PROBE, 0, 0));
        EXPECT_EQ((std::vector<std::string>{ "hook", "class" }), g_log);
    }
    // The destructors unhooked both windows.
    EXPECT_EQ(original, ProcOf(a));
    EXPECT_EQ(original, ProcOf(b));
    DestroyWindow(a);
    DestroyWindow(b);
}

namespace {
// At WM_NCDESTROY the class procedure checks that no hook is left.
std::vector<CSubclassWnd*> g_hooks;
bool g_allUnhookedAtNcDestroy = false;
LRESULT CALLBACK CheckingProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCDESTROY) {
        g_allUnhookedAtNcDestroy = true;
        for (CSubclassWnd* h : g_hooks)
            g_allUnhookedAtNcDestroy = g_allUnhookedAtNcDestroy && !h->IsHooked();
        g_allUnhookedAtNcDestroy = g_allUnhookedAtNcDestroy && !CSubclassWndMap::GetHookMap().Lookup(hWnd);
    }
    return DefWindowProc(hWnd, message, wParam, lParam);
}
}  // namespace

TEST(SubclassWndTest, DestroyUnhooksEveryHookBeforeTheClassSeesNcDestroy)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = CheckingProc;
    wc.hInstance = GetModuleHandle(NULL);
    wc.lpszClassName = "HookCheckClass";
    RegisterClassA(&wc);
    HWND w = CreateWindowA("HookCheckClass", "", WS_POPUP, 0, 0, 50, 50, NULL, NULL, GetModuleHandle(NULL), NULL);
    CNamedHook one("one"), two("two"), three("three");
    g_hooks = { &one, &two, &three };
    one.HookWindow(w);
    two.HookWindow(w);
    three.HookWindow(w);
    g_allUnhookedAtNcDestroy = false;
    DestroyWindow(w);
    EXPECT_TRUE(g_allUnhookedAtNcDestroy);
    EXPECT_FALSE(one.sawNcDestroy || two.sawNcDestroy || three.sawNcDestroy);
    EXPECT_FALSE(one.IsHooked() || two.IsHooked() || three.IsHooked());
    // Free to hook another window.
    HWND again = MakeWindow();
    EXPECT_TRUE(two.HookWindow(again));
    g_log.clear();
    EXPECT_EQ(101, SendMessage(again, WM_PROBE, 0, 0));
    DestroyWindow(again);
    EXPECT_FALSE(two.IsHooked());
    g_hooks.clear();
}

namespace {
// Answers WM_PROBE with Default() after sending itself another message: the
// current-message record must be this message's again.
class CNestingHook : public CSubclassWnd {
public:
    LPARAM seenOuter = 0;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_PROBE && lParam == 7) {
            ::SendMessage(m_hWnd, WM_PROBE, 0, 8);
            seenOuter = AfxGetCurrentMessage()->lParam;
            return Default() + 1000;
        }
        return CSubclassWnd::WindowProc(message, wParam, lParam);
    }
};

class CCountingWnd : public CWnd {
public:
    int probes = 0, paints = 0;
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_PROBE) {
            ++probes;
            return 5;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    void OnTimer(UINT_PTR) override { ++paints; }
};
}  // namespace

TEST(SubclassWndTest, DefaultInANestedSendAndAFrameworkWindowUnderAHook)
{
    HWND w = MakeWindow();
    CNestingHook hook;
    hook.HookWindow(w);
    g_log.clear();
    EXPECT_EQ(1100, SendMessage(w, WM_PROBE, 0, 7));
    EXPECT_EQ(7, hook.seenOuter);
    EXPECT_EQ((std::vector<std::string>{ "class", "class" }), g_log);
    DestroyWindow(w);

    // A framework window keeps its own handlers with a hook on top.
    CCountingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP, 0, 0, 40, 40, NULL, NULL));
    CNamedHook top("top");
    top.HookWindow(&wnd);
    g_log.clear();
    EXPECT_EQ(6, wnd.SendMessage(WM_PROBE, 0, 0));
    EXPECT_EQ(1, wnd.probes);
    wnd.SendMessage(WM_TIMER, 3, 0);
    EXPECT_EQ(1, wnd.paints);
    EXPECT_EQ(&wnd, CWnd::FromHandlePermanent(wnd.m_hWnd));
    wnd.DestroyWindow();
    EXPECT_FALSE(top.IsHooked());
}

TEST(SubclassWndTest, AMissingEntryGoesToTheDefaultProcedure)
{
    HWND w = MakeWindow();
    // The hook procedure installed by hand, without a map entry.
    WNDPROC old = (WNDPROC)SetWindowLongPtr(w, GWLP_WNDPROC, (LONG_PTR)CSubclassWnd::HookWndProc);
    SetWindowTextA(w, "plain");
    char text[16] = {};
    GetWindowTextA(w, text, sizeof(text));
    EXPECT_STREQ("plain", text);
    SetWindowLongPtr(w, GWLP_WNDPROC, (LONG_PTR)old);
    DestroyWindow(w);
}
