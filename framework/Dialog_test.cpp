// Dialogs from templates: modal runs ending with EndDialog's code, IDOK and
// IDCANCEL routing, the owner disabled meanwhile, PreTranslateMessage before
// the dialog manager's keyboard handling, and another process finding the
// dialog by class and caption. Also the application's message boxes.
#include <gtest/gtest.h>
#include "Afx.h"
#include "TestSupport.h"
#include <functional>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_log;

// The test's action runs from a message posted in OnInitDialog, before the
// loop ever idles, so most dialogs are never shown (hiding a shown window
// costs seconds under Wine without a window manager); with viaTimer it runs
// from a timer, after the loop has shown the dialog.
struct TestDialog : CDialog {
    std::function<void(TestDialog&)> onTimer;
    bool viaTimer = false;
    bool controlsInInit = false;
    int okCalls = 0, cancelCalls = 0;

    explicit TestDialog(UINT id = 100, CWnd* parent = NULL) : CDialog(id, parent) {}
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        controlsInInit = GetDlgItem(1001) != NULL;
        if (viaTimer)
            SetTimer(1, 10);
        else
            PostMessage(WM_APP + 1);
        SetTimer(99, 10000);    // the test's own time limit
        return TRUE;
    }
    void OnTimer(UINT_PTR id) override
    {
        KillTimer(id);
        if (id == 99)
            EndDialog(-99);
        else if (onTimer)
            onTimer(*this);
    }
    LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override
    {
        if (m == WM_APP + 1 && onTimer) {
            onTimer(*this);
            return 0;
        }
        return CDialog::WindowProc(m, w, l);
    }
    void OnOK() override { okCalls++; CDialog::OnOK(); }
    void OnCancel() override { cancelCalls++; CDialog::OnCancel(); }
};

TEST(DialogModal, ReturnsTheEndDialogCode)
{
    TestDialog dlg;
    dlg.viaTimer = true;
    std::string cls, caption;
    dlg.onTimer = [&](TestDialog& d) {
        if (!d.IsWindowVisible()) {     // shown once the loop first idles
            d.SetTimer(1, 10);
            return;
        }
        char buf[64];
        ::GetClassNameA(d.m_hWnd, buf, sizeof(buf));
        cls = buf;
        ::GetWindowTextA(d.m_hWnd, buf, sizeof(buf));
        caption = buf;
        d.EndDialog(42);
    };
    EXPECT_EQ(dlg.DoModal(), 42);
    EXPECT_TRUE(dlg.controlsInInit);
    EXPECT_EQ(cls, "#32770");
    EXPECT_EQ(ts::Gbk(caption), ts::Gbk("框架测试"));
    EXPECT_EQ(dlg.m_hWnd, (HWND)NULL);
}

TEST(DialogModal, CancelAndCloseRouteToOnCancel)
{
    TestDialog dlg;
    dlg.onTimer = [](TestDialog& d) { d.PostMessage(WM_COMMAND, IDCANCEL, 0); };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.cancelCalls, 1);

    TestDialog closed;
    closed.onTimer = [](TestDialog& d) { d.PostMessage(WM_CLOSE); };
    EXPECT_EQ(closed.DoModal(), IDCANCEL);
    EXPECT_EQ(closed.cancelCalls, 1);

    TestDialog ok;
    ok.onTimer = [](TestDialog& d) { ::SendMessageA(::GetDlgItem(d.m_hWnd, IDOK), BM_CLICK, 0, 0); };
    EXPECT_EQ(ok.DoModal(), IDOK);
    EXPECT_EQ(ok.okCalls, 1);
}

TEST(DialogModal, OwnerIsDisabledWhileItRuns)
{
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, AfxRegisterWndClass(0), "owner", WS_OVERLAPPEDWINDOW,
                               10, 10, 200, 100, NULL, NULL));
    TestDialog dlg(100, &owner);
    BOOL enabledMeanwhile = TRUE;
    HWND ownerOfDialog = NULL;
    dlg.onTimer = [&](TestDialog& d) {
        enabledMeanwhile = owner.IsWindowEnabled();
        ownerOfDialog = ::GetWindow(d.m_hWnd, GW_OWNER);
        d.EndDialog(1);
    };
    EXPECT_EQ(dlg.DoModal(), 1);
    EXPECT_FALSE(enabledMeanwhile);
    EXPECT_EQ(ownerOfDialog, owner.m_hWnd);
    EXPECT_TRUE(owner.IsWindowEnabled());
    owner.DestroyWindow();
}

TEST(DialogModal, LoopInsideAHandlerKeepsTheHandlersTemporaries)
{
    HWND foreign = ::CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 5, 5, NULL, NULL, NULL, NULL);
    CWnd* temp = CWnd::FromHandle(foreign);
    const WNDPROC marker = (WNDPROC)0x1234;
    temp->m_pfnSuper = marker;      // a fresh temporary would have none
    {
        FwMessageLoopScope outer;   // as if a message handler of the main loop ran this
        TestDialog dlg;
        dlg.viaTimer = true;
        int ticksShown = 0;
        dlg.onTimer = [&](TestDialog& d) {
            // Shown, then one more tick: the loop has been idle in between.
            if (!d.IsWindowVisible() || ticksShown++ == 0) {
                d.SetTimer(1, 10);
                return;
            }
            d.EndDialog(1);
        };
        EXPECT_EQ(dlg.DoModal(), 1);
    }
    EXPECT_EQ(CWnd::FromHandle(foreign)->m_pfnSuper, marker);
    CWnd::FromHandle(foreign)->m_pfnSuper = NULL;
    ::DestroyWindow(foreign);
}

TEST(DialogModal, EndedDuringInitReturnsAtOnce)
{
    struct Quick : CDialog {
        Quick() : CDialog(100) {}
        BOOL OnInitDialog() override { EndDialog(9); return TRUE; }
    } dlg;
    EXPECT_EQ(dlg.DoModal(), 9);
    struct Missing : CDialog {
        Missing() : CDialog(4242) {}
    } missing;
    EXPECT_EQ(missing.DoModal(), -1);
}

struct KeyEdit : CEdit {
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN)
            g_log.push_back("edit");
        return CEdit::PreTranslateMessage(pMsg);
    }
};

struct KeyDialog : TestDialog {
    KeyEdit edit;
    BOOL OnInitDialog() override
    {
        TestDialog::OnInitDialog();
        edit.SubclassDlgItem(1001, this);
        return TRUE;
    }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN) {
            g_log.push_back("dialog");
            PostMessage(WM_COMMAND, IDOK);
        }
        return TestDialog::PreTranslateMessage(pMsg);
    }
};

TEST(DialogModal, PreTranslateRunsFromControlToDialogInItsLoop)
{
    KeyDialog dlg;
    dlg.onTimer = [](TestDialog& d) { ::PostMessageA(::GetDlgItem(d.m_hWnd, 1001), WM_KEYDOWN, 'X', 1); };
    g_log.clear();
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(g_log, (std::vector<std::string>{"edit", "dialog"}));
    EXPECT_EQ(dlg.edit.m_hWnd, (HWND)NULL);     // unbound with its window
}

TEST(DialogModal, MainDialogSeesKeysOfOtherTopLevelWindows)
{
    // As when the program's main window is a modal dialog and another
    // top-level window has the focus.
    CWinApp app("fw test");
    CWnd other;
    ASSERT_TRUE(other.CreateEx(0, AfxRegisterWndClass(0), "other", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, NULL, NULL));
    KeyDialog dlg;
    app.m_pMainWnd = &dlg;
    dlg.onTimer = [&](TestDialog&) { other.PostMessage(WM_KEYDOWN, 'M', 1); };
    g_log.clear();
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(g_log, (std::vector<std::string>{"dialog"}));
    EXPECT_EQ(app.m_pMainWnd, (CWnd*)NULL);
    // The end of the main window asked the (absent) outer loop to quit.
    MSG msg;
    EXPECT_TRUE(::PeekMessage(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    other.DestroyWindow();
}

// Ends with the probe's command, or as soon as the probe has ended without
// sending it. Starting a process takes seconds on a busy machine, so the
// limit is generous; a passing run never waits for it.
struct ProbeTarget : TestDialog {
    enum { PROBE_TIMER = 2 };
    UINT received = 0;
    ts::ChildProcess probe;
    ProbeTarget() : TestDialog(101) {}
    BOOL OnInitDialog() override
    {
        TestDialog::OnInitDialog();
        SetTimer(99, 60000);
        if (!probe.Start("\"" + ts::ExeDir() + "fw_window_probe.exe\" 4321 Fw 探测目标"))
            EndDialog(-2);
        SetTimer(PROBE_TIMER, 20);
        return TRUE;
    }
    void OnTimer(UINT_PTR id) override
    {
        // The probe posts before it exits, and posted messages come before
        // timers: a probe seen gone here sent nothing.
        if (id == PROBE_TIMER) {
            if (!probe.Running())
                EndDialog(-3);
            return;
        }
        TestDialog::OnTimer(id);
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (LOWORD(wParam) == 4321) {
            received = LOWORD(wParam);
            EndDialog(77);
            return TRUE;
        }
        return TestDialog::OnCommand(wParam, lParam);
    }
};

TEST(DialogModal, AnotherProcessFindsItByClassAndCaption)
{
    ProbeTarget dlg;
    EXPECT_EQ(dlg.DoModal(), 77) << "-2: the probe did not start, -3: it found no dialog";
    EXPECT_EQ(dlg.received, 4321u);
    EXPECT_EQ(dlg.probe.Wait(30000), 0u);
}

TEST(DialogModeless, LivesUntilDestroyed)
{
    TestDialog dlg;
    ASSERT_TRUE(dlg.Create(100));
    HWND h = dlg.m_hWnd;
    EXPECT_EQ(CWnd::FromHandlePermanent(h), &dlg);
    dlg.SetDefID(IDCANCEL);
    EXPECT_EQ(LOWORD(dlg.GetDefID()), IDCANCEL);
    dlg.SendMessage(WM_COMMAND, IDOK);
    EXPECT_EQ(dlg.okCalls, 1);
    EXPECT_TRUE(::IsWindow(h));             // ended, hidden, not destroyed
    EXPECT_FALSE(dlg.IsWindowVisible());
    EXPECT_TRUE(dlg.DestroyWindow());
    EXPECT_FALSE(::IsWindow(h));
    EXPECT_EQ(CWnd::FromHandlePermanent(h), (CWnd*)NULL);
}

struct DdxDialog : CDialog {
    int radio = 2, check = 1, choice = -1;
    CString text = "频道";
    CEdit edit;
    DdxDialog() : CDialog(102) {}
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Radio(pDX, 1101, radio);
        DDX_Check(pDX, 1104, check);
        DDX_Text(pDX, 1105, text);
        DDX_Control(pDX, 1105, edit);
        DDX_CBIndex(pDX, 1106, choice);
    }
};

TEST(DialogDataExchange, MovesValuesBothWaysAndBindsControls)
{
    DdxDialog dlg;
    ASSERT_TRUE(dlg.Create(102));
    EXPECT_EQ(dlg.IsDlgButtonChecked(1103), (UINT)BST_CHECKED);
    EXPECT_EQ(dlg.IsDlgButtonChecked(1101), (UINT)BST_UNCHECKED);
    EXPECT_EQ(dlg.IsDlgButtonChecked(1104), (UINT)BST_CHECKED);
    EXPECT_EQ(dlg.edit.m_hWnd, ::GetDlgItem(dlg.m_hWnd, 1105));
    CString shown;
    dlg.edit.GetWindowText(shown);
    EXPECT_EQ(ts::Gbk((LPCTSTR)shown), ts::Gbk("频道"));

    dlg.CheckRadioButton(1101, 1103, 1102);
    dlg.CheckDlgButton(1104, BST_UNCHECKED);
    dlg.SetDlgItemText(1105, "abc");
    dlg.SendDlgItemMessage(1106, CB_ADDSTRING, 0, (LPARAM)"x");
    dlg.SendDlgItemMessage(1106, CB_ADDSTRING, 0, (LPARAM)"y");
    dlg.SendDlgItemMessage(1106, CB_SETCURSEL, 1);
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.radio, 1);
    EXPECT_EQ(dlg.check, 0);
    EXPECT_EQ(std::string((LPCTSTR)dlg.text), "abc");
    EXPECT_EQ(dlg.choice, 1);

    dlg.radio = -1;     // none of the group
    dlg.UpdateData(FALSE);
    EXPECT_EQ(dlg.IsDlgButtonChecked(1102), (UINT)BST_UNCHECKED);
    EXPECT_EQ(dlg.IsDlgButtonChecked(1104), (UINT)BST_UNCHECKED);   // next group untouched
    dlg.DestroyWindow();
    EXPECT_EQ(dlg.edit.m_hWnd, (HWND)NULL);
}

TEST(AppMessageBox, UsesTheSeamWithTheApplicationName)
{
    CWinApp app("框架程序");
    ts::MessageBoxRecorder boxes;
    boxes.Answer(IDNO);
    EXPECT_EQ(AfxMessageBox("hello", MB_YESNO), IDNO);
    EXPECT_EQ(AfxMessageBox(300), IDOK);
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
    EXPECT_EQ(wnd.MessageBox("text"), IDOK);
    wnd.DestroyWindow();
    ASSERT_EQ(boxes.Calls().size(), 3u);
    EXPECT_EQ(boxes.Calls()[0].text, "hello");
    EXPECT_EQ(boxes.Calls()[0].flags, (UINT)MB_YESNO);
    EXPECT_EQ(ts::Gbk(boxes.Calls()[0].caption), ts::Gbk("框架程序"));
    EXPECT_EQ(ts::Gbk(boxes.Calls()[1].text), ts::Gbk("框架消息"));
    EXPECT_EQ(ts::Gbk(boxes.Calls()[2].caption), ts::Gbk("框架程序"));
}

TEST(AppStartup, TitleFromTheResourcesAndTheProgramsName)
{
    CWinApp app;
    char cmdLine[] = "";
    app.SetStartup(::GetModuleHandleA(NULL), cmdLine, SW_SHOW);
    EXPECT_EQ(ts::Gbk(app.m_pszAppName), ts::Gbk("框架标题"));
    EXPECT_STREQ(app.m_pszExeName, "framework_window_test");
    EXPECT_EQ(AfxGetApp(), &app);
    EXPECT_EQ(AfxGetInstanceHandle(), ::GetModuleHandleA(NULL));
}

}  // namespace
