#include <gtest/gtest.h>
#include "InstallDlg.h"
#include "InstallTestFixtures.h"
#include "Seams.h"
#include "TestSupport.h"
#include <commctrl.h>
#include <shlwapi.h>

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

}  // namespace

TEST(InstallDlg, MissingFileRunsTheProgressOutThenAsksToRestart)
{
    Folders f;
    f.InstallAll();
    DeleteFileA(f.Target(3).c_str());
    HKEY emptyMachine;
    RegCreateKeyA(HKEY_CURRENT_USER, "Software\\OrvixTests\\install-dialog", &emptyMachine);
    std::string power = ts::FreshTempDir("install-power") + "power.log";
    SetEnvironmentVariableA("ORVIX_POWER_LOG", power.c_str());
    FwMessageBoxHook old = FwSetMessageBoxHook(AtMessageBox);
    HHOOK steps = SetWindowsHookExA(WH_CALLWNDPROC, CountSteps, NULL, GetCurrentThreadId());
    {
        CInstallDlg dlg;
        dlg.SetWindowsFolder(f.windows);
        dlg.SetProgramFolder(f.program);
        dlg.SetRegistryRoot(emptyMachine);
        dlg.DoModal();
    }
    UnhookWindowsHookEx(steps);
    FwSetMessageBoxHook(old);
    SetEnvironmentVariableA("ORVIX_POWER_LOG", NULL);
    RegCloseKey(emptyMachine);
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\OrvixTests\\install-dialog");

    EXPECT_EQ(std::vector<std::string>{
                  u8"请保存关闭其他程序，点击确定后将重新启动您的电脑，以便完成驱动更新!"},
              g_boxes);
    // 0 to 200 in steps of 10, and the question on the step after the last.
    EXPECT_EQ(21, g_stepsAtQuestion);
    EXPECT_EQ(u8"关于 Install(&A)...", g_aboutItem);
    EXPECT_TRUE(g_aboutShown);
    EXPECT_EQ(std::vector<std::string>{"ExitWindowsEx 0x6 0x0"}, ts::ReadLines(power));
    EXPECT_EQ("new Drivers\\34dd.dll", ReadTextFile(f.Target(3)));
}
