#include <gtest/gtest.h>
#include "InstallDlg.h"
#include "InstallTestFixtures.h"
#include "Seams.h"
#include "TestSupport.h"
#include <commctrl.h>

using namespace installtest;

namespace {

const char kCaption[] = " 电视卡驱动安装";
const char kAboutCaption[] = "关于 Install";

// What the message boxes saw while the dialog ran.
struct Seen {
    std::vector<std::string> boxes;
    int stepsAtBox = -1;   // progress steps taken when the box came
    std::string aboutItem;
    bool aboutShown = false;
};
Seen g_seen;
int g_answer = IDOK;
int g_steps = 0;

// Counts the steps sent to the progress bar.
LRESULT CALLBACK CountSteps(int code, WPARAM wp, LPARAM lp)
{
    const CWPSTRUCT* msg = (const CWPSTRUCT*)lp;
    if (code == HC_ACTION && msg->message == PBM_STEPIT)
        g_steps++;
    return CallNextHookEx(NULL, code, wp, lp);
}
bool g_openAbout = false;

void CALLBACK CloseAbout(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND about = FindWindowA("#32770", kAboutCaption);
    if (!about)
        return;
    KillTimer(NULL, id);
    g_seen.aboutShown = true;
    PostMessageA(about, WM_COMMAND, IDOK, 0);
}

int Hook(HWND, LPCSTR text, LPCSTR, UINT flags)
{
    g_seen.boxes.push_back(ts::Gbk(text));
    HWND dlg = FindWindowA("#32770", kCaption);
    if (dlg && (flags & MB_TYPEMASK) == MB_OKCANCEL) {
        g_seen.stepsAtBox = g_steps;
        ts::CaptureToBmp(dlg, "install-dialog.bmp");
        char item[64] = "";
        GetMenuStringA(GetSystemMenu(dlg, FALSE), 16, item, sizeof(item), MF_BYCOMMAND);
        g_seen.aboutItem = ts::Gbk(item);
        if (g_openAbout) {
            // Any command from 16 to 31 opens the About box.
            SetTimer(NULL, 0, 20, CloseAbout);
            SendMessageA(dlg, WM_SYSCOMMAND, 0x13, 0);
        }
    }
    return (flags & MB_TYPEMASK) == MB_OKCANCEL ? g_answer : FwDefaultAnswer(flags);
}

// Runs the dialog on the given folders and registry; returns the restart
// requests it made.
std::vector<std::string> RunDialog(const Folders& f, const FakeMachine& m, int answer)
{
    g_seen = Seen();
    g_answer = answer;
    std::string power = ts::FreshTempDir("install-power") + "power.log";
    SetEnvironmentVariableA("ORVIX_POWER_LOG", power.c_str());
    FwMessageBoxHook old = FwSetMessageBoxHook(Hook);
    g_steps = 0;
    HHOOK steps = SetWindowsHookExA(WH_CALLWNDPROC, CountSteps, NULL, GetCurrentThreadId());
    {
        CInstallDlg dlg;
        dlg.SetWindowsFolder(f.windows);
        dlg.SetProgramFolder(f.program);
        dlg.SetRegistryRoot(m.Root());
        dlg.DoModal();
    }
    UnhookWindowsHookEx(steps);
    FwSetMessageBoxHook(old);
    SetEnvironmentVariableA("ORVIX_POWER_LOG", NULL);
    return ts::ReadLines(power);
}

const char kQuestion[] =
    u8"请保存关闭其他程序，点击确定后将重新启动您的电脑，以便完成驱动更新!";

}  // namespace

TEST(InstallDlg, MissingFileRunsTheProgressOutThenAsksToRestart)
{
    Folders f;
    f.InstallAll();
    DeleteFileA(f.Target(3).c_str());
    FakeMachine m;
    m.Set(Params(kNtClass, kCardLink), "FriendlyName", kWanted);
    g_openAbout = true;
    std::vector<std::string> restarts = RunDialog(f, m, IDOK);
    g_openAbout = false;

    EXPECT_EQ(std::vector<std::string>{kQuestion}, g_seen.boxes);
    // 0 to 200 in steps of 10, and the question on the step after the last.
    EXPECT_EQ(21, g_seen.stepsAtBox);
    EXPECT_EQ(u8"关于 Install(&A)...", g_seen.aboutItem);
    EXPECT_TRUE(g_seen.aboutShown);
    EXPECT_EQ(std::vector<std::string>{"ExitWindowsEx 0x6 0x0"}, restarts);
    EXPECT_EQ("new Drivers\\34dd.dll", ReadTextFile(f.Target(3)));
}

TEST(InstallDlg, FilesThatCannotBeCopiedAreReportedOnceAndOfferNoRestart)
{
    Folders f;
    f.InstallAll();
    DeleteFileA(f.Target(16).c_str());
    DeleteFileA(f.Target(17).c_str());
    RemoveDirectoryA((f.windows + "\\system").c_str());
    FakeMachine m;
    std::vector<std::string> restarts = RunDialog(f, m, IDOK);
    EXPECT_EQ(std::vector<std::string>{u8"无法更新驱动程序!"}, g_seen.boxes);
    EXPECT_TRUE(restarts.empty());
}
