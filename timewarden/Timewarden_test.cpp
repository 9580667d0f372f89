// Timewarden.exe itself, in a fresh program folder beside a stand-in for
// OrvixPlus that logs how it was started and what it was sent.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <algorithm>
#include "CardCtl.h"
#include "CardState.h"
#include "ScheduleFile.h"
#include "ScheduleMessages.h"
#include "ScheduleTestTime.h"
#include "TestSupport.h"
#include "TimewardenProbe.h"

namespace {

// The card of this test alone; the programs it starts inherit it.
const BOOL g_ownCard = SetEnvironmentVariableA("ORVIX_CARD", "timewarden_app_test");

const DWORD kTimeoutMs = 20000;
using tw::FindScheduler;
using tw::kTrayIconId;
using tw::ModifyTrayIcon;

std::string StartupShortcut()
{
    char folder[MAX_PATH] = "";
    SHGetSpecialFolderPathA(NULL, folder, CSIDL_STARTUP, FALSE);
    return std::string(folder) + "\\Schedule TV.lnk";
}

std::string ShortcutTarget(const std::string& link)
{
    std::string target;
    IShellLinkA* shellLink = NULL;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                (void**)&shellLink)))
        return target;
    IPersistFile* file = NULL;
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
    char path[MAX_PATH] = "";
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, (void**)&file))) {
        if (SUCCEEDED(file->Load(wide, STGM_READ)) &&
            SUCCEEDED(shellLink->GetPath(path, MAX_PATH, NULL, 0)))
            target = path;
        file->Release();
    }
    shellLink->Release();
    return target;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool SameText(std::string a, std::string b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

class TimewardenFolder : public testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(NULL);
        CardReset();
        // A space in the folder: the programs must quote what they start.
        dir_ = ts::FreshTempDir("timewarden app");
        exe_ = dir_ + "Timewarden.exe";
        ASSERT_TRUE(CopyFileA((ts::ExeDir() + "Timewarden.exe").c_str(), exe_.c_str(), FALSE));
        ASSERT_TRUE(CopyFileA((ts::ExeDir() + "orvix_program_stub.exe").c_str(),
                              (dir_ + "OrvixPlus.exe").c_str(), FALSE));
        power_ = dir_ + "power.log";
        boxes_ = dir_ + "boxes.log";
        stub_ = dir_ + "stub.log";
        ASSERT_EQ(NULL, FindScheduler()) << "another Timewarden is running";
    }

    void TearDown() override
    {
        for (ts::ChildProcess* p : {&timewarden_, &main_, &fm_}) {
            if (p->Running())
                p->Kill();
        }
        CoUninitialize();
    }

    std::vector<std::string> Env() const
    {
        return {"ORVIX_POWER_LOG=" + power_, "ORVIX_MSGBOX_LOG=" + boxes_, "STUB_LOG=" + stub_,
                "STUB_WINDOW="};
    }

    bool StartTimewarden(ts::ChildProcess& child) { return child.Start("\"" + exe_ + "\"", Env(), dir_); }

    // The window exists before its initialisation is through: the tray icon
    // is the first thing it adds, the shortcut comes after COM.
    HWND StartAndWait()
    {
        if (!StartTimewarden(timewarden_))
            return NULL;
        HWND hwnd = NULL;
        ts::PumpUntil([&] {
            hwnd = FindScheduler();
            return hwnd && ModifyTrayIcon(hwnd) && Exists(StartupShortcut());
        }, kTimeoutMs);
        // The card's enumerator comes after the shortcut.
        ts::PumpFor(300);
        return hwnd;
    }

    void Exit(HWND hwnd)
    {
        PostMessageA(hwnd, WM_COMMAND, 32775, 0);
        EXPECT_EQ(0u, timewarden_.Wait(kTimeoutMs));
    }

    // A stand-in program showing its window with this caption.
    HWND StartStubWindow(ts::ChildProcess& child, const char* caption)
    {
        std::vector<std::string> env = Env();
        env.back() = std::string("STUB_WINDOW=") + caption;
        if (!child.Start("\"" + ts::ExeDir() + "orvix_program_stub.exe\"", env, dir_))
            return NULL;
        HWND hwnd = NULL;
        ts::PumpUntil([&] { return (hwnd = FindWindowA(NULL, caption)) != NULL; }, kTimeoutMs);
        return hwnd;
    }

    std::vector<std::string> StubLines(const std::string& role)
    {
        std::vector<std::string> lines;
        for (const std::string& line : ts::ReadLines(stub_))
            if (line.compare(0, role.size() + 1, role + "\t") == 0)
                lines.push_back(line.substr(role.size() + 1));
        return lines;
    }

    // The whole stub log, for a failure's message.
    std::string StubLog()
    {
        std::string text = "stub log:";
        for (const std::string& line : ts::ReadLines(stub_))
            text += "\n  " + line;
        return text;
    }

    bool WaitForStubLine(const std::string& role, const std::string& event, DWORD timeoutMs = kTimeoutMs)
    {
        return ts::PumpUntil([&] {
            std::vector<std::string> lines = StubLines(role);
            return std::find(lines.begin(), lines.end(), event) != lines.end();
        }, timeoutMs);
    }

    void WriteSchedule(const std::vector<ScheduleRecord>& records)
    {
        ASSERT_TRUE(WriteScheduleFile((dir_ + SCHEDULE_FILE_NAME).c_str(), records.data(), records.size()));
    }

    std::string dir_, exe_, power_, boxes_, stub_;
    ts::ChildProcess timewarden_, main_, fm_;
};

}  // namespace

TEST_F(TimewardenFolder, StartsHiddenInTheTrayOnceAndLeavesNothingBehind)
{
    HWND hwnd = StartAndWait();
    ASSERT_TRUE(hwnd != NULL);
    EXPECT_TRUE(ModifyTrayIcon(hwnd));
    EXPECT_FALSE(ts::PumpUntil([&] { return IsWindowVisible(hwnd) != FALSE; }, 1000));
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    EXPECT_FALSE(ts::PumpUntil([&] { return IsWindowVisible(hwnd) != FALSE; }, 1000))
        << "shown from outside";
    EXPECT_TRUE(SameText(exe_, ShortcutTarget(StartupShortcut()))) << ShortcutTarget(StartupShortcut());

    ts::ChildProcess second;
    ASSERT_TRUE(StartTimewarden(second));
    EXPECT_NE(STILL_ACTIVE, second.Wait(kTimeoutMs));
    std::vector<std::string> boxes = ts::ReadLines(boxes_);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_NE(std::string::npos, boxes[0].find("\t应用程序已经在运行!\t")) << ts::Gbk(boxes[0]);
    EXPECT_TRUE(timewarden_.Running());

    Exit(hwnd);
    EXPECT_FALSE(ModifyTrayIcon(hwnd)) << "the icon outlived the program";
    EXPECT_EQ(0, CardLiveObjects()) << "driver objects left behind";

    // The shortcut is made again at every start.
    ASSERT_TRUE(DeleteFileA(StartupShortcut().c_str()));
    hwnd = StartAndWait();
    ASSERT_TRUE(hwnd != NULL);
    EXPECT_TRUE(Exists(StartupShortcut()));
    Exit(hwnd);
}

TEST_F(TimewardenFolder, GivesTheReceiverTheIdOfRemoteIniAtStart)
{
    std::string ini = dir_ + "remote.ini";
    WritePrivateProfileStringA("CODE", "0", "18", ini.c_str());
    WritePrivateProfileStringA("CODE", "1", "171", ini.c_str());
    CardClearLog();
    HWND hwnd = StartAndWait();
    ASSERT_TRUE(hwnd != NULL);
    auto written = [] {
        for (const std::string& line : CardLogLines())
            if (line.find("I2CWrite C0: 12 12 AB CD") == 0)
                return true;
        return false;
    };
    EXPECT_TRUE(ts::PumpUntil(written, kTimeoutMs));
    BYTE id[2];
    CardRemoteId(id);
    EXPECT_EQ(18, id[0]);
    EXPECT_EQ(171, id[1]);
    Exit(hwnd);
}

namespace {

// The minute that now + 40 s falls in stays the same for the next few
// seconds: wait out the moments just before it changes.
time_t StableLookAheadMinute()
{
    while (((time(NULL) + 40) % 60) > 55)
        Sleep(200);
    time_t t = time(NULL) + 40;
    return t - t % 60;
}

}  // namespace

TEST_F(TimewardenFolder, LaunchesOrvixPlusForADueEntryUnlessItRuns)
{
    HWND hwnd = StartAndWait();
    ASSERT_TRUE(hwnd != NULL);
    time_t minute = StableLookAheadMinute();
    PostMessageA(hwnd, WM_TIMER, 100, 0);
    EXPECT_FALSE(WaitForStubLine("launched", "start\t\"" + dir_ + "\\OrvixPlus.exe\" ant", 1500))
        << "launched with an empty schedule";

    // Written after the start: seen only once OrvixPlus says so.
    WriteSchedule({Entry(minute, 60, SCHEDULE_REPEAT_ONCE)});
    PostMessageA(hwnd, WM_COMMAND, ID_SCHEDULE_RELOAD, 0);
    PostMessageA(hwnd, WM_TIMER, 100, 0);
    EXPECT_TRUE(WaitForStubLine("launched", "start\t\"" + dir_ + "\\OrvixPlus.exe\" ant"))
        << "stub log:\n" << (StubLines("launched").empty() ? "" : StubLines("launched").back()) << StubLog();

    ASSERT_TRUE(StartStubWindow(main_, "Orvix Plus") != NULL);
    size_t launches = StubLines("launched").size();
    StableLookAheadMinute();
    PostMessageA(hwnd, WM_TIMER, 100, 0);
    ts::PumpFor(1500);
    EXPECT_EQ(launches, StubLines("launched").size()) << "launched while OrvixPlus runs";
    Exit(hwnd);
}

TEST_F(TimewardenFolder, StandsByAndShutsDownTenSecondsAfterOrvixPlusAsks)
{
    HWND hwnd = StartAndWait();
    ASSERT_TRUE(hwnd != NULL);
    DWORD start = GetTickCount();
    PostMessageA(hwnd, WM_COMMAND, ID_SCHEDULE_STANDBY, 0);
    PostMessageA(hwnd, WM_COMMAND, ID_SCHEDULE_SHUTDOWN, 0);
    ts::PumpFor(5000);
    PostMessageA(hwnd, WM_COMMAND, ID_SCHEDULE_STANDBY, 0);  // starts the delay again
    DWORD shutdownAt = 0, standbyAt = 0;
    ts::PumpUntil([&] {
        std::vector<std::string> lines = ts::ReadLines(power_);
        DWORD now = GetTickCount() - start;
        for (const std::string& line : lines) {
            if (line == "ExitWindowsEx 0xd 0x0" && !shutdownAt) shutdownAt = now;
            if (line == "SetSystemPowerState 1 0" && !standbyAt) standbyAt = now;
        }
        return standbyAt && now > standbyAt + 2000;
    }, 25000);
    EXPECT_NEAR(10000, (double)shutdownAt, 1500);
    EXPECT_NEAR(15000, (double)standbyAt, 1500);
    std::vector<std::string> lines = ts::ReadLines(power_);
    EXPECT_EQ(1, std::count(lines.begin(), lines.end(), "ExitWindowsEx 0xd 0x0"));
    EXPECT_EQ(1, std::count(lines.begin(), lines.end(), "SetSystemPowerState 1 0"));
    Exit(hwnd);
}

TEST_F(TimewardenFolder, ArmsTheWakeTimerAtSuspendAndWakesTheDisplayAtResume)
{
    time_t now = time(NULL);
    time_t start = now + 3600 - now % 60;
    WriteSchedule({Entry(start, 60, SCHEDULE_REPEAT_ONCE)});
    HWND hwnd = StartAndWait();
    ASSERT_TRUE(hwnd != NULL);
    SendMessageA(hwnd, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    std::vector<std::string> lines = ts::ReadLines(power_);
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ("SetWaitableTimer " + tw::UtcText(start - 120) + " 1", lines[0]);

    WriteSchedule({});
    SendMessageA(hwnd, WM_COMMAND, ID_SCHEDULE_RELOAD, 0);
    SendMessageA(hwnd, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    EXPECT_EQ(1u, ts::ReadLines(power_).size()) << "armed for an empty schedule";

    SendMessageA(hwnd, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    lines = ts::ReadLines(power_);
    ASSERT_EQ(5u, lines.size());
    char scan[16];
    snprintf(scan, sizeof(scan), "0x%x", MapVirtualKeyA(1, 0));
    EXPECT_EQ("SetThreadExecutionState 0x2", lines[1]);
    EXPECT_EQ(std::string("keybd_event 0x1 ") + scan + " 0x0", lines[2]);
    EXPECT_EQ(std::string("keybd_event 0x1 ") + scan + " 0x2", lines[3]);
    EXPECT_EQ("SetThreadExecutionState 0x2", lines[4]);
    Exit(hwnd);
}

TEST_F(TimewardenFolder, ForwardsRemoteKeysAndTypedNumbersToOrvixPlus)
{
    HWND hwnd = StartAndWait();
    ASSERT_TRUE(hwnd != NULL);
    // No OrvixPlus: a key goes nowhere and starts nothing.
    // Each key is pressed only once the previous one was read: the card holds
    // one pending key, and a loaded machine may poll late.
    auto press = [](int key) {
        CardPressKey(key);
        return ts::PumpUntil([] { return CardPendingKey() == 0; }, kTimeoutMs);
    };
    EXPECT_TRUE(press(13)) << "the key was not read";
    ts::PumpFor(300);
    EXPECT_TRUE(StubLines("launched").empty());

    ASSERT_TRUE(StartStubWindow(main_, "Orvix Plus") != NULL);
    CardPressKey(13);
    EXPECT_TRUE(WaitForStubLine("Orvix Plus", "1133 0 13")) << StubLog();

    // The digits come as a thumb presses them, each 300 ms after Timewarden
    // read the one before. A digit starts the number's ticks of 100 ms, and
    // one read before the first tick would start the number afresh; the
    // pause puts each after that tick and well within the eleven, by the
    // order of Timewarden's own timers, however late a loaded machine runs
    // them, or this thread.
    DWORD first = GetTickCount();
    ASSERT_TRUE(CardPressKeys({1, 2, 3}, 300));
    EXPECT_TRUE(WaitForStubLine("Orvix Plus", "1133 1 123")) << StubLog();
    // The number goes out once the digits pause, not at the last digit: no
    // sooner than the eleven ticks of 100 ms after the first digit's, and not
    // long after that (a loaded machine delays the ticks, never hastens them).
    DWORD typed = GetTickCount() - first;
    EXPECT_GE(typed, 1100u);
    EXPECT_LE(typed, ts::Scaled(4000));
    CardPressKey(10);
    EXPECT_TRUE(WaitForStubLine("Orvix Plus", "1133 1 0")) << StubLog();
    std::vector<std::string> lines = StubLines("Orvix Plus");
    EXPECT_EQ(2, std::count_if(lines.begin(), lines.end(),
                               [](const std::string& l) { return l.compare(0, 7, "1133 1 ") == 0; }))
        << "one number for the three digits, one for the 0";

    // Power with both programs: only the FM program closes.
    ASSERT_TRUE(StartStubWindow(fm_, "KESTOR FM") != NULL);
    CardPressKey(18);
    EXPECT_TRUE(WaitForStubLine("KESTOR FM", "close")) << StubLog();
    ts::PumpFor(500);
    lines = StubLines("Orvix Plus");
    EXPECT_EQ(lines.end(), std::find(lines.begin(), lines.end(), "close"));

    // Power alone: OrvixPlus starts, with no parameter. The FM program must
    // be gone too, or the key closes it again.
    PostMessageA(FindWindowA(NULL, "Orvix Plus"), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(0u, main_.Wait(kTimeoutMs));
    EXPECT_EQ(0u, fm_.Wait(kTimeoutMs));
    CardPressKey(18);
    EXPECT_TRUE(WaitForStubLine("launched", "start\t\"" + dir_ + "OrvixPlus.exe\"")) << StubLog();
    Exit(hwnd);
}

TEST_F(TimewardenFolder, AKeyPressedOnceOrvixPlusShowsItsWindowReachesItWhenThePollBeganBefore)
{
    HWND hwnd = StartAndWait();
    ASSERT_TRUE(hwnd != NULL);
    // Stop the next poll of the remote at its first card call: the card's
    // lock is taken between two polls (the last lines the end of a read of
    // the pins), and Timewarden is stuck once it no longer answers.
    const std::vector<std::string> pollEnd = {"Released GPIO", "Released Device", "Released Enumerator"};
    bool between = ts::PumpUntil([&] {
        CardLock();
        std::vector<std::string> lines = CardLogLines();
        if (lines.size() >= pollEnd.size() &&
            std::equal(pollEnd.begin(), pollEnd.end(), lines.end() - pollEnd.size()))
            return true;
        CardUnlock();
        return false;
    }, kTimeoutMs);
    ASSERT_TRUE(between) << "no whole read of the remote's pins";
    bool stuck = ts::PumpUntil([&] {
        DWORD_PTR result;
        return !SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_BLOCK, 500, &result);
    }, kTimeoutMs);
    // OrvixPlus shows its window during that poll, and the key comes after.
    HWND main = stuck ? StartStubWindow(main_, "Orvix Plus") : NULL;
    CardPressKey(13);
    CardUnlock();
    ASSERT_TRUE(stuck) << "Timewarden never began a poll";
    ASSERT_TRUE(main != NULL);
    EXPECT_TRUE(ts::PumpUntil([] { return CardPendingKey() == 0; }, kTimeoutMs)) << "the key was not read";
    EXPECT_TRUE(WaitForStubLine("Orvix Plus", "1133 0 13")) << StubLog();
    Exit(hwnd);
}

namespace {

const UINT kTrayMessage = 1124;

// A visible popup menu window of another process, or NULL.
HWND FindOtherMenu()
{
    HWND menu = NULL;
    while ((menu = FindWindowExA(NULL, menu, "#32768", NULL)) != NULL) {
        DWORD pid = 0;
        GetWindowThreadProcessId(menu, &pid);
        if (pid != GetCurrentProcessId() && IsWindowVisible(menu))
            return menu;
    }
    return NULL;
}

int Channel(DWORD p, int shift) { return (int)((p >> shift) & 0xFF); }

bool Near(DWORD got, int r, int g, int b, int tolerance = 2)
{
    return abs(Channel(got, 16) - r) <= tolerance && abs(Channel(got, 8) - g) <= tolerance &&
           abs(Channel(got, 0) - b) <= tolerance;
}

DWORD ScreenAt(int x, int y)
{
    HDC screen = GetDC(NULL);
    COLORREF c = GetPixel(screen, x, y);
    ReleaseDC(NULL, screen);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

}  // namespace

TEST_F(TimewardenFolder, TrayMenuHasItsBorderShadowAndBandOverTheScreen)
{
    // A flat grey backdrop under the pointer: the shadow darkens it.
    HBRUSH grey = CreateSolidBrush(RGB(200, 200, 200));
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.hbrBackground = grey;
    wc.lpszClassName = "tray menu backdrop";
    RegisterClassA(&wc);
    HWND backdrop = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 300, 200, 500,
                                    400, NULL, NULL, wc.hInstance, NULL);
    ASSERT_TRUE(backdrop != NULL);
    ts::PumpFor(200);
    SetCursorPos(400, 260);

    HWND hwnd = StartAndWait();
    ASSERT_TRUE(hwnd != NULL);
    // Another icon's events open nothing.
    PostMessageA(hwnd, kTrayMessage, kTrayIconId + 1, WM_RBUTTONUP);
    EXPECT_FALSE(ts::PumpUntil([] { return FindOtherMenu() != NULL; }, 1000));

    PostMessageA(hwnd, kTrayMessage, kTrayIconId, WM_RBUTTONUP);
    HWND menu = NULL;
    ASSERT_TRUE(ts::PumpUntil([&] { return (menu = FindOtherMenu()) != NULL; }, kTimeoutMs));
    ts::PumpFor(500);
    RECT wr, cr;
    GetWindowRect(menu, &wr);
    GetClientRect(menu, &cr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    ts::CaptureToBmp(NULL, "timewarden-tray-menu.bmp");
    auto at = [&](int x, int y) { return ScreenAt(wr.left + x, wr.top + y); };
    // The client keeps the menu's own size inside the frame and the shadow.
    EXPECT_EQ(w - 2 * 2 - 4, cr.right);
    EXPECT_EQ(h - 2 * 2 - 4, cr.bottom);
    const int fw = w - 4, fh = h - 4;   // the frame without the shadow
    EXPECT_TRUE(Near(at(0, fh / 2), 120, 120, 158, 0)) << std::hex << at(0, fh / 2);
    EXPECT_TRUE(Near(at(fw / 2, 0), 120, 120, 158, 0));
    EXPECT_TRUE(Near(at(fw - 1, fh / 2), 48, 50, 48, 0)) << std::hex << at(fw - 1, fh / 2);
    EXPECT_TRUE(Near(at(fw / 2, fh - 1), 48, 50, 48, 0));
    EXPECT_TRUE(Near(at(1, fh / 2), 255, 255, 255, 0)) << std::hex << at(1, fh / 2);
    EXPECT_TRUE(Near(at(fw - 2, fh / 2), 168, 168, 210, 0)) << std::hex << at(fw - 2, fh / 2);
    // The shadow: the backdrop scaled from the inside out.
    const int factors[4] = {140, 170, 212, 240};
    for (int d = 0; d < 4; d++) {
        int v = 200 * factors[d] / 255;
        EXPECT_TRUE(Near(at(fw / 2, fh + d), v, v, v, 1)) << d << " " << std::hex << at(fw / 2, fh + d);
        EXPECT_TRUE(Near(at(fw + d, fh / 2), v, v, v, 1)) << d << " " << std::hex << at(fw + d, fh / 2);
    }
    // The logo band begins in its start colour inside the menu's own 3-pixel
    // edge, at its left column (the logo's letters lie further in).
    EXPECT_TRUE(Near(at(2 + 3, 2 + 3), 0, 0, 255, 8)) << std::hex << at(5, 5);
    // Four item rows of text, none reaching the frame.
    int rowsWithText = 0;
    for (int row = 0; row < 4; row++) {
        int top = 2 + 3 + row * 19, dark = 0, last = 0;
        for (int y = top + 3; y < top + 16; y++)
            for (int x = 2 + 30; x < fw - 2; x++)
                if (Channel(at(x, y), 16) < 100) {
                    dark++;
                    last = x > last ? x : last;
                }
        if (dark)
            rowsWithText++;
        EXPECT_LT(last, fw - 2 - 4) << "row " << row;
    }
    EXPECT_EQ(4, rowsWithText);

    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(ts::PumpUntil([] { return FindOtherMenu() == NULL; }, kTimeoutMs));
    Exit(hwnd);
    DestroyWindow(backdrop);
    DeleteObject(grey);
}

TEST_F(TimewardenFolder, TrayIconComesBackAndItsDoubleClickStartsOrvixPlus)
{
    HWND hwnd = StartAndWait();
    ASSERT_TRUE(hwnd != NULL);
    NOTIFYICONDATAA nid = {};
    nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    nid.hWnd = hwnd;
    nid.uID = kTrayIconId;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &nid));
    EXPECT_FALSE(ModifyTrayIcon(hwnd));
    PostMessageA(hwnd, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(ts::PumpUntil([&] { return ModifyTrayIcon(hwnd) != FALSE; }, kTimeoutMs));

    // With OrvixPlus up only the FM program is closed.
    ASSERT_TRUE(StartStubWindow(main_, "Orvix Plus") != NULL);
    ASSERT_TRUE(StartStubWindow(fm_, "KESTOR FM") != NULL);
    PostMessageA(hwnd, kTrayMessage, kTrayIconId, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(WaitForStubLine("KESTOR FM", "close")) << StubLog();
    EXPECT_EQ(0u, fm_.Wait(kTimeoutMs));
    ts::PumpFor(500);
    EXPECT_TRUE(StubLines("launched").empty()) << StubLog();

    PostMessageA(FindWindowA(NULL, "Orvix Plus"), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(0u, main_.Wait(kTimeoutMs));
    PostMessageA(hwnd, kTrayMessage, kTrayIconId, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(WaitForStubLine("launched", "start\t\"" + dir_ + "OrvixPlus.exe\"")) << StubLog();
    Exit(hwnd);
}
