// scripts/bench-tv: how long OrvixPlus takes from its process start to its
// main window showing, to the first live frame in the video window and to
// the saved station's picture, over N starts (first argument, 5 by default),
// each in a fresh program folder; then, in the last run, how long a click on
// "NEXT_CHANNELS" takes to bring the next station's picture, over N changes
// (second argument, 20 by default), and how much of that passes before the
// tuner is written. The channel list holds the card's stations, so that
// every channel has a picture of its own.
#include <algorithm>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include "TvProgramFolder.h"
#include "TvStations.h"

namespace {

const SIZE kCapture = {640, 480};  // the settings' default video size

int ButtonId(const std::string& dir, const char* element)
{
    std::string ini = dir + "skins\\elegance\\skin.ini";
    for (int n = 1; n < 100; ++n) {
        char key[16], value[256], name[64];
        snprintf(key, sizeof(key), "Button%d", n);
        if (!GetPrivateProfileStringA("ShapeButtonInfo", key, "", value, sizeof(value), ini.c_str()))
            break;
        if (sscanf(value, "%63[^,]", name) == 1 && strcmp(name, element) == 0)
            return 4999 + n;
    }
    return -1;
}

}  // namespace

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

// target 0: a part of another figure, with no target of its own.
static void PrintRow(const char* what, const std::vector<double>& v, int target = 1500)
{
    char goal[16] = "-";
    if (target > 0)
        snprintf(goal, sizeof(goal), "%dms", target);
    if (v.empty())
        printf("%-40s %10s %10s %10s\n", what, "none", "none", goal);
    else
        printf("%-40s %8.0fms %8.0fms %10s\n", what, Median(v),
               *std::max_element(v.begin(), v.end()), goal);
}

int main(int argc, char** argv)
{
    int runs = argc > 1 ? atoi(argv[1]) : 5;
    if (runs < 1)
        runs = 1;
    int changes = argc > 2 ? atoi(argv[2]) : 20;
    if (changes < 1)
        changes = 1;
    std::vector<CardStation> stations = CardDefaultStations();
    CardSetStations(stations);
    std::vector<ChannelRecord> channels = tv::StationChannels();
    std::vector<double> shown, live, station, change, tuned;
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    for (int i = 0; i < runs; ++i) {
        std::string dir = tv::MakeProgramFolder("tv-bench");
        if (!dir.empty())
            tv::WriteChannelFile(dir + "OrvixPlusChannels.chl", 1, 1, {}, channels);
        tv::PictureSet pictures(kCapture, 480, 320);
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
        double msShown = -1, msLive = -1, msStation = -1;
        // The dialog shows once its start-up is through, which may be after
        // the first frame: wait for all three.
        while (child.Running() && elapsed() < 15000 && (msLive < 0 || msShown < 0 || msStation < 0)) {
            HWND main = tv::FindMainWindow();
            if (msShown < 0 && main && IsWindowVisible(main))
                msShown = elapsed();
            HWND video = tv::FindVideoWindow();
            if (msLive < 0 && PictureLive(video))
                msLive = elapsed();
            if (msStation < 0 && msLive >= 0 &&
                pictures.Showing(tv::ScreenGrid(video)) == stations[0].name)
                msStation = elapsed();
            Sleep(10);
        }
        if (msShown >= 0)
            shown.push_back(msShown);
        if (msLive >= 0)
            live.push_back(msLive);
        if (msStation >= 0)
            station.push_back(msStation);
        printf("start %d: main window after %.0f ms, first live frame %s, saved station %s\n", i + 1,
               msShown, msLive >= 0 ? (std::to_string((int)msLive) + " ms").c_str() : "never (15 s)",
               msStation >= 0 ? (std::to_string((int)msStation) + " ms").c_str() : "never (15 s)");
        HWND hMain = tv::FindMainWindow();
        int next = ButtonId(dir, "NEXT_CHANNELS");
        if (i == runs - 1 && hMain && next > 0 && msStation >= 0) {
            HWND video = tv::FindVideoWindow();
            for (int k = 1; k <= changes; ++k) {
                const CardStation& target = stations[k % stations.size()];
                const char* expected = target.name;
                QueryPerformanceCounter(&t0);
                PostMessageA(hMain, WM_COMMAND, MAKEWPARAM(next, BN_CLICKED), 0);
                // The tuner write splits the change into the program's own
                // part and the picture's way through the graph to the screen.
                double ms = -1, msTuned = -1;
                while (elapsed() < 5000) {
                    if (msTuned < 0 && fabs(CardTunedFrequency() - target.freqMHz) < 0.5)
                        msTuned = elapsed();
                    if (pictures.Showing(tv::ScreenGrid(video)) == expected) {
                        ms = elapsed();
                        break;
                    }
                    Sleep(1);
                }
                if (ms >= 0)
                    change.push_back(ms);
                if (msTuned >= 0)
                    tuned.push_back(msTuned);
                printf("change %d to %s: tuner after %s, picture %s\n", k, expected,
                       msTuned >= 0 ? (std::to_string((int)msTuned) + " ms").c_str() : "never",
                       ms >= 0 ? (std::to_string((int)ms) + " ms").c_str() : "never (5 s)");
                // Let the tune sequence finish before the next click.
                DWORD_PTR r;
                SendMessageTimeoutA(hMain, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r);
            }
        }
        if (HWND main = tv::FindMainWindow())
            PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
        if (child.Wait(10000) == STILL_ACTIVE)
            child.Kill();
    }
    printf("%-36s %10s %10s %10s\n", "", "median", "worst", "target");
    PrintRow("process start to main window shown", shown);
    PrintRow("process start to first live frame", live);
    PrintRow("process start to saved station's picture", station);
    PrintRow("NEXT_CHANNELS click to tuner write", tuned, 0);
    PrintRow("NEXT_CHANNELS click to next station", change, 200);
    return 0;
}
