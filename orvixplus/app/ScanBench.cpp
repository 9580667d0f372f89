// scripts/bench-scan: the scan's own cost per channel (tuner write, lock
// test, texts, messages) apart from the settle; the whole country-86 plans
// with none and with the real settle; and the processor share of OrvixPlus
// over 30 s with a 4 x 4 TV wall beside that of the live preview alone.
// Arguments: the seconds of each share (30), and which plans also walk with
// the real settle, which takes a minute for both: "all" (the default),
// "antenna" or "none".
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include "AppSettings.h"
#include "CardScanHost.h"
#include "ChannelRecord.h"
#include "ChannelScan.h"
#include "Globals.h"
#include "OverlayGraph.h"
#include "TvProgramFolder.h"
#include "TvWallFolder.h"

namespace {

double Now()
{
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return t.QuadPart * 1000.0 / f.QuadPart;
}

LRESULT CALLBACK SettingsProc(HWND h, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_SCAN_FOUND)
        delete (ChannelRecord*)lp;
    return DefWindowProcA(h, msg, wp, lp);
}

CCaptureGraph* g_graph = NULL;
CCaptureGraph* Graph() { return g_graph; }

// Milliseconds for the whole walk of one list.
double TimeWalk(const CountryFrequencyTable* table, int list, double settleScale, HWND settings,
                int* pChannels)
{
    CardScanHost host(settleScale);
    ChannelScanTargets t = {&host, &Graph, settings};
    SetScanRunning(TRUE);
    double t0 = Now();
    RunChannelScan(table, list, t);
    double ms = Now() - t0;
    MSG m;
    while (PeekMessageA(&m, NULL, 0, 0, PM_REMOVE))
        DispatchMessageA(&m);
    *pChannels = host.writes - 1;
    return ms;
}

int WalkFigures(const char* settled)
{
    CoInitializeEx(NULL, COINIT_MULTITHREADED);
    static CAppSettings settings;
    settings.m_arrVideoDevices.Add("Kestor TV Arden WDM Video CaptureA");
    settings.m_arrAudioDevices.Add("Kestor TV Arden WDM Audio Capture");
    settings.m_nInputSource = 2;
    g_pSettings = &settings;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = SettingsProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "ScanBenchWindow";
    RegisterClassA(&wc);
    HWND settingsWnd = CreateWindowA("ScanBenchWindow", "settings", WS_OVERLAPPED | WS_VISIBLE, 0,
                                     0, 200, 100, NULL, NULL, wc.hInstance, NULL);
    HWND owner = CreateWindowA("ScanBenchWindow", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 360, 288,
                               NULL, NULL, wc.hInstance, NULL);
    COverlayGraph graph;
    if (!graph.Initialize(owner) || !graph.InitDevices(0) || !graph.SelectInput(0)) {
        fprintf(stderr, "no capture graph on the card\n");
        return 1;
    }
    g_graph = &graph;
    const CountryFrequencyTable* table = getFrequencyTableFromCountryCode(86);
    if (!table)
        return 1;
    printf("%-44s %12s %12s\n", "country 86", "measured", "target");
    const char* names[] = {"", "antenna", "cable"};
    for (int list = 1; list <= 2; list++) {
        int n = 0;
        double fast = TimeWalk(table, list, 0.0, settingsWnd, &n);
        char what[64];
        snprintf(what, sizeof what, "%s: own cost per channel (%d)", names[list], n);
        printf("%-44s %10.2fms %10dms\n", what, fast / n, 10);
        snprintf(what, sizeof what, "%s: whole plan, settle 0", names[list]);
        // The cable plan's target is its own; the antenna's is 10 ms a channel.
        printf("%-44s %11.2fs %11.2fs\n", what, fast / 1000, list == 2 ? 1.5 : n * 0.01);
        if (strcmp(settled, "all") != 0 && !(list == 1 && strcmp(settled, "antenna") == 0))
            continue;
        double real = TimeWalk(table, list, 1.0, settingsWnd, &n);
        snprintf(what, sizeof what, "%s: whole plan, settle 400 ms", names[list]);
        printf("%-44s %11.2fs %10.1fs+\n", what, real / 1000, n * 0.4);
    }
    g_graph = NULL;
    g_pSettings = NULL;
    return 0;
}

// Wine answers GetProcessTimes for another process with its own bookkeeping,
// which misses most of the time spent; the host's /proc (drive Z:) counts
// the process's threads as the machine ran them.
bool ReadFileText(const std::string& path, std::string* out)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    char buf[4096];
    DWORD n = 0;
    out->clear();
    while (ReadFile(h, buf, sizeof buf, &n, NULL) && n > 0)
        out->append(buf, n);
    CloseHandle(h);
    return true;
}

// The host process whose command line names the program in that folder.
std::string FindHostProc(const std::string& folderTag)
{
    WIN32_FIND_DATAA fd;
    HANDLE f = FindFirstFileA("Z:\\proc\\*", &fd);
    if (f == INVALID_HANDLE_VALUE)
        return "";
    std::string found;
    do {
        if (fd.cFileName[0] < '0' || fd.cFileName[0] > '9')
            continue;
        std::string cmd;
        std::string dir = std::string("Z:\\proc\\") + fd.cFileName;
        if (ReadFileText(dir + "\\cmdline", &cmd) && cmd.find("OrvixPlus.exe") != std::string::npos &&
            cmd.find(folderTag) != std::string::npos)
            found = dir;
    } while (found.empty() && FindNextFileA(f, &fd));
    FindClose(f);
    return found;
}

// utime + stime of /proc/<pid>/stat, in seconds.
double HostCpuSeconds(const std::string& procDir)
{
    std::string stat;
    if (!ReadFileText(procDir + "\\stat", &stat))
        return -1;
    size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return -1;
    // After the name: state is field 3; utime and stime are fields 14, 15.
    const char* p = stat.c_str() + close + 2;
    unsigned long long v[13] = {};
    char state;
    if (sscanf(p, "%c %llu %llu %llu %llu %llu %llu %llu %llu %llu %llu %llu %llu", &state, &v[0],
               &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7], &v[8], &v[9], &v[10], &v[11]) < 13)
        return -1;
    return (v[10] + v[11]) / 100.0;
}

double CpuShare(const std::string& procDir, DWORD ms)
{
    double c0 = HostCpuSeconds(procDir), t0 = Now();
    Sleep(ms);
    double c1 = HostCpuSeconds(procDir), wall = Now() - t0;
    if (c0 < 0 || c1 < 0)
        return -1;
    return (c1 - c0) * 1000.0 * 100.0 / wall;
}

int WallFigures(DWORD seconds)
{
    std::string dir = tv::MakeProgramFolder("scan-bench");
    // Grid setting 3: 4 x 4 cells; dwell 3: 7 s a step, so that the six
    // channels keep the wall up for the whole measurement.
    if (dir.empty() || !tvwall::WriteWallFiles(dir, true, 3, 3))
        return 1;
    ts::ChildProcess child;
    if (!child.Start("\"" + dir + "OrvixPlus.exe\"", {"ORVIX_MSGBOX_LOG=" + dir + "boxes.log"},
                     dir))
        return 1;
    HWND main = NULL;
    for (int i = 0; i < 300 && !(main && IsWindowVisible(main)); i++) {
        Sleep(100);
        main = tv::FindMainWindow();
    }
    if (!main)
        return 1;
    Sleep(2000);
    std::string tag = dir.substr(0, dir.size() - 1);
    tag = tag.substr(tag.find_last_of('\\') + 1);
    std::string proc = FindHostProc(tag);
    double preview = CpuShare(proc, seconds * 1000);
    DWORD_PTR r;
    SendMessageTimeoutA(main, WM_USER + 109, 0, 23, SMTO_NORMAL, 5000, &r);
    bool shown = FindWindowA("MultiPicWindow", NULL) != NULL;
    double wall = CpuShare(proc, seconds * 1000);
    printf("%-44s %11.1f%% %11s\n", "OrvixPlus, live preview alone", preview, "");
    printf("%-44s %11.1f%% %11s\n", shown ? "OrvixPlus, 4 x 4 TV wall" : "OrvixPlus, wall did not open",
           wall, "12%");
    printf("%-44s %+10.1fpt %9s\n", "wall above the preview", wall - preview, "+2pt");
    PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (child.Wait(10000) == STILL_ACTIVE)
        child.Kill();
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    DWORD seconds = argc > 1 ? (DWORD)atoi(argv[1]) : 30;
    int rc = WalkFigures(argc > 2 ? argv[2] : "all");
    if (rc == 0)
        rc = WallFigures(seconds ? seconds : 30);
    return rc;
}
