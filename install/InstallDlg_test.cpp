#include <gtest/gtest.h>
#include "InstallDlg.h"
#include "DriverFiles.h"
#include "InstallTestFixtures.h"
#include "Seams.h"
#include "TestSupport.h"
#include <commctrl.h>

using namespace installtest;

namespace {

int g_steps = 0;                  // progress steps so far
int g_stepsAtQuestion = -1;
std::vector<std::string> g_boxes;
std::string g_aboutItem;
bool g_aboutShown = false;

LRESULT CALLBACK CountSteps(int code, WPARAM wp, LPARAM lp)
{
    if (code == HC_ACTION && ((const CWPSTRUCT*)lp)->message == PBM_STEPIT)
        g_steps++;
    return CallNextHookEx(NULL, code, wp, lp);
}

void CALLBACK CloseAbout(HWND, UINT, UINT_PTR id, DWORD)
{
    if (HWND about = FindWindowA("#32770", "关于 Install")) {
        KillTimer(NULL, id);
        g_aboutShown = true;
        PostMessageA(about, WM_COMMAND, IDOK, 0);
    }
}

// At the restart question: how far the progress went, and the About box
// through the system menu while the dialog is still there.
int AtMessageBox(HWND, LPCSTR text, LPCSTR, UINT flags)
{
    g_boxes.push_back(ts::Gbk(text));
    HWND dlg = FindWindowA("#32770", " 电视卡驱动安装");
    if (dlg && (flags & MB_TYPEMASK) == MB_OKCANCEL) {
        g_stepsAtQuestion = g_steps;
        ts::CaptureToBmp(dlg, "install-dialog.bmp");
        char item[64] = "";
        GetMenuStringA(GetSystemMenu(dlg, FALSE), 16, item, sizeof(item), MF_BYCOMMAND);
        g_aboutItem = ts::Gbk(item);
        SetTimer(NULL, 0, 20, CloseAbout);
        SendMessageA(dlg, WM_SYSCOMMAND, 0x13, 0);   // any of 16 to 31
    }
    return FwDefaultAnswer(flags);
}

const std::string kCannotUpdate = u8"无法更新驱动程序!";
const std::string kQuestion = u8"请保存关闭其他程序，点击确定后将重新启动您的电脑，以便完成驱动更新!";
const std::vector<std::string> kRestarted = {"ExitWindowsEx 0x6 0x0"};

struct DialogRun {
    std::vector<std::string> boxes;   // every box, in order, each answered OK
    int stepsAtQuestion;
    std::vector<std::string> restarts;
};

// The dialog on the test's folders and registry, on the system's name path
// unless windows98 (0 or 1) chooses one.
DialogRun RunDialog(const Folders& f, const FakeMachine& m, int windows98 = -1)
{
    g_boxes.clear();
    g_steps = 0;
    g_stepsAtQuestion = -1;
    std::string power = ts::FreshTempDir("install-power") + "power.log";
    SetEnvironmentVariableA("ORVIX_POWER_LOG", power.c_str());
    FwMessageBoxHook old = FwSetMessageBoxHook(AtMessageBox);
    HHOOK steps = SetWindowsHookExA(WH_CALLWNDPROC, CountSteps, NULL, GetCurrentThreadId());
    {
        CInstallDlg dlg;
        dlg.SetWindowsFolder(f.windows);
        dlg.SetProgramFolder(f.program);
        dlg.SetRegistryRoot(m.root);
        if (windows98 >= 0)
            dlg.SetWindows98(windows98);
        dlg.DoModal();
    }
    UnhookWindowsHookEx(steps);
    FwSetMessageBoxHook(old);
    SetEnvironmentVariableA("ORVIX_POWER_LOG", NULL);
    return {g_boxes, g_stepsAtQuestion, ts::ReadLines(power)};
}

}  // namespace

TEST(InstallDlg, MissingFileRunsTheProgressOutThenAsksToRestart)
{
    Folders f;
    f.InstallAll();
    DeleteFileA(f.Target(3).c_str());
    FakeMachine emptyMachine("install-dialog");
    DialogRun run = RunDialog(f, emptyMachine);

    EXPECT_EQ(std::vector<std::string>{kQuestion}, run.boxes);
    // 0 to 200 in steps of 10, and the question on the step after the last.
    EXPECT_EQ(21, run.stepsAtQuestion);
    EXPECT_EQ(u8"关于 Install(&A)...", g_aboutItem);
    EXPECT_TRUE(g_aboutShown);
    EXPECT_EQ(kRestarted, run.restarts);
    EXPECT_EQ("new Drivers\\34dd.dll", ReadTextFile(f.Target(3)));
}

// A failure always shows its box; the progress and the restart question follow
// when a file was copied, or a name was written (or refused on the NT path).
TEST(InstallDlg, AfterAFailureTheRestartFollowsWhatChanged)
{
    {
        SCOPED_TRACE("one file copied, one without its source");
        Folders f;
        f.InstallAll();
        DeleteFileA(f.Target(3).c_str());
        DeleteFileA(f.Target(6).c_str());
        DeleteFileA((f.program + g_driverFiles[6].source).c_str());
        FakeMachine m("install-dialog");
        DialogRun run = RunDialog(f, m);
        EXPECT_EQ((std::vector<std::string>{kCannotUpdate, kQuestion}), run.boxes);
        EXPECT_EQ(21, run.stepsAtQuestion);
        EXPECT_EQ(kRestarted, run.restarts);
    }
    for (int windows98 = 0; windows98 <= 1; windows98++) {
        SCOPED_TRACE(windows98 ? "name refused on Windows 98" : "name refused on NT");
        Folders f;
        f.InstallAll();
        FakeMachine m("install-dialog");
        std::string params = m.AddCard(windows98, "SAA7130 Video Capture");
        m.MakeReadOnly(params);
        DialogRun run = RunDialog(f, m, windows98);
        EXPECT_EQ("SAA7130 Video Capture", m.Get(params, "FriendlyName"));
        if (windows98) {
            EXPECT_EQ(std::vector<std::string>{kCannotUpdate}, run.boxes);
            EXPECT_TRUE(run.restarts.empty());
        } else {
            EXPECT_EQ((std::vector<std::string>{kCannotUpdate, kQuestion}), run.boxes);
            EXPECT_EQ(kRestarted, run.restarts);
        }
    }
}
