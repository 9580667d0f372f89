// scripts/bench-tv: how long OrvixPlus takes from its process start to its
// main window showing and to the first live frame in the video window, over
// N starts (first argument, 5 by default), each in a fresh program folder;
// the screen is polled every 10 ms.
#include <algorithm>
#include <stdio.h>
#include <stdlib.h>
#include "TvProgramFolder.h"

static bool PictureLive(HWND video)
{
    RECT rc;
    if (!video || !IsWindowVisible(video) || !GetClientRect(video, &rc) || rc.right < 8)
        return false;
    POINT o = {0, 0};
    ClientToScreen(video, &o);
    RECT box = {o.x + rc.right / 4, o.y + rc.bottom / 4, o.x + rc.right * 3 / 4, o.y + rc.bottom * 3 / 4};
    std::vector<DWORD> px = tv::ScreenPixels(box);
    size_t lit = std::count_if(px.begin(), px.end(), [](DWORD p) { return p != 0; });
    return lit > px.size() / 2;
}

static double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

static void PrintRow(const char* what, const std::vector<double>& v)
{
    if (v.empty())
        printf("%-36s %10s %10s %8dms\n", what, "none", "none", 1500);
    else
        printf("%-36s %8.0fms %8.0fms %8dms\n", what, Median(v),
               *std::max_element(v.begin(), v.end()), 1500);
}

int main(int argc, char** argv)
{
    int runs = argc > 1 ? atoi(argv[1]) : 5;
    if (runs < 1)
        runs = 1;
    std::vector<double> shown, live;
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    for (int i = 0; i < runs; ++i) {
        std::string dir = tv::MakeProgramFolder("tv-bench");
        ts::ChildProcess child;
        LARGE_INTEGER t0, t;
        QueryPerformanceCounter(&t0);
        if (dir.empty() || !child.Start("\"" + dir + "OrvixPlus.exe\"",
                                        {"ORVIX_MSGBOX_LOG=" + dir + "boxes.log"}, dir)) {
            fprintf(stderr, "could not start OrvixPlus\n");
            return 1;
        }
        auto elapsed = [&] {
            QueryPerformanceCounter(&t);
            return (t.QuadPart - t0.QuadPart) * 1000.0 / freq.QuadPart;
        };
        double msShown = -1, msLive = -1;
        // The dialog shows once its start-up is through, which may be after
        // the first frame: wait for both.
        while (child.Running() && elapsed() < 15000 && (msLive < 0 || msShown < 0)) {
            HWND main = tv::FindMainWindow();
            if (msShown < 0 && main && IsWindowVisible(main))
                msShown = elapsed();
            if (msLive < 0 && PictureLive(tv::FindVideoWindow()))
                msLive = elapsed();
            Sleep(10);
        }
        if (msShown >= 0)
            shown.push_back(msShown);
        if (msLive >= 0)
            live.push_back(msLive);
        printf("start %d: main window after %.0f ms, first live frame %s\n", i + 1, msShown,
               msLive >= 0 ? (std::to_string((int)msLive) + " ms").c_str() : "never (15 s)");
        if (HWND main = tv::FindMainWindow())
            PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
        if (child.Wait(10000) == STILL_ACTIVE)
            child.Kill();
    }
    printf("%-36s %10s %10s %10s\n", "", "median", "worst", "target");
    PrintRow("process start to main window shown", shown);
    PrintRow("process start to first live frame", live);
    return 0;
}
