// scripts/bench-tv: how long OrvixPlus takes from its process start to its
// main window showing on the screen, painted, to the first live frame in the video window and to
// the saved station's picture, over N starts (first argument, 5 by default),
// each in a fresh program folder; then, in the last run, how long a click on
// "NEXT_CHANNELS" takes to bring the next station's picture, over N changes
// (second argument, 20 by default), and how much of that passes before the
// tuner is written. The channel list holds the card's stations, so that
// every channel has a picture of its own.
//
// Each start also writes its steps' times (ORVIX_STEP_TRACE): the table of
// every start-up step's own time and the moment it ended, median over the
// starts, shows where the start goes. Beside it the floor: a plain program
// that shows one window (floor_window.exe), started as often in the same
// prefix, and each start figure as a multiple of it.
#include <algorithm>
#include <map>
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

// The first moment the panel's screen was its settled look inside its shape,
// but for the few points its changing texts (the clock, the channel) cover;
// -1 for never.
static double FirstShowing(const std::vector<std::pair<double, std::vector<DWORD>>>& panel,
                           const std::vector<DWORD>& settled, const std::vector<bool>& inside)
{
    for (const auto& shot : panel)
        if (tv::ShareInShape(shot.second, settled, inside) >= 0.97)
            return shot.first;
    return -1;
}

static double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// target 0: a part of another figure, with no target of its own. floor > 0:
// the median also as a multiple of the floor program's.
static void PrintRow(const char* what, const std::vector<double>& v, int target,
                     double floor = 0)
{
    char goal[16] = "-";
    if (target > 0)
        snprintf(goal, sizeof(goal), "%dms", target);
    char ratio[32] = "";
    if (floor > 0 && !v.empty())
        snprintf(ratio, sizeof(ratio), " %8.1fx", Median(v) / floor);
    if (v.empty())
        printf("%-40s %10s %10s %10s\n", what, "none", "none", goal);
    else
        printf("%-40s %8.0fms %8.0fms %10s%s\n", what, Median(v),
               *std::max_element(v.begin(), v.end()), goal, ratio);
}

static double CounterMs(const LARGE_INTEGER& t)
{
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return (double)t.QuadPart * 1000.0 / (double)f.QuadPart;
}

// The steps one start wrote, in their order: name and the moment it ended.
typedef std::vector<std::pair<std::string, double>> StepList;

static StepList ReadSteps(const std::string& path)
{
    StepList steps;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return steps;
    char line[256];
    while (fgets(line, sizeof(line), f)) {
        double ms;
        int used = 0;
        if (sscanf(line, "%lf %n", &ms, &used) < 1)
            continue;
        std::string name = line + used;
        while (!name.empty() && (name.back() == '\n' || name.back() == '\r'))
            name.pop_back();
        steps.push_back({name, ms});
    }
    fclose(f);
    return steps;
}

// Every step's own time (from the end of the one before it, the first from
// the process's creation) and the moment it ended, over all starts.
struct StepTable {
    std::vector<std::string> order;
    std::map<std::string, std::vector<double>> took, at;

    void Add(const StepList& steps, double startMs)
    {
        double before = startMs;
        for (const auto& s : steps) {
            if (!took.count(s.first))
                order.push_back(s.first);
            took[s.first].push_back(s.second - before);
            at[s.first].push_back(s.second - startMs);
            before = s.second;
        }
    }
    void AddMoment(const std::string& name, const std::vector<double>& moments)
    {
        order.push_back(name);
        at[name] = moments;
    }
    void Print() const
    {
        printf("%-40s %10s %10s\n", "start-up step (median of the starts)", "took", "ended at");
        for (const std::string& name : order) {
            auto t = took.find(name);
            if (t != took.end())
                printf("  %-38s %8.0fms %8.0fms\n", name.c_str(), Median(t->second),
                       Median(at.at(name)));
            else
                printf("  %-38s %10s %8.0fms\n", name.c_str(), "", Median(at.at(name)));
        }
    }
};

// The floor: floor_window.exe from its start until its window is visible.
static std::vector<double> MeasureFloor(int runs)
{
    std::vector<double> shown;
    for (int i = 0; i < runs; ++i) {
        ts::ChildProcess child;
        LARGE_INTEGER t0, t;
        QueryPerformanceCounter(&t0);
        if (!child.Start("\"" + ts::ExeDir() + "floor_window.exe\""))
            break;
        double ms = -1;
        while (child.Running()) {
            QueryPerformanceCounter(&t);
            double now = CounterMs(t) - CounterMs(t0);
            HWND w = FindWindowA("OrvixFloorWindow", "Floor");
            if (w && IsWindowVisible(w)) {
                ms = now;
                PostMessageA(w, WM_CLOSE, 0, 0);
                break;
            }
            if (now > 10000)
                break;
            Sleep(2);
        }
        if (child.Wait(5000) == STILL_ACTIVE)
            child.Kill();
        if (ms >= 0)
            shown.push_back(ms);
    }
    return shown;
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
    StepTable table;
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    // The floor first, started as often as OrvixPlus, in the same prefix.
    std::vector<double> floor = MeasureFloor(runs);
    for (int i = 0; i < runs; ++i) {
        // Each start from the card's power-on state, its tuner on no station:
        // else the station the last start tuned is on the screen at once.
        CardReset();
        CardSetStations(stations);
        std::string dir = tv::MakeProgramFolder("tv-bench");
        if (!dir.empty())
            tv::WriteChannelFile(dir + "OrvixPlusChannels.chl", 1, 1, {}, channels);
        tv::PictureSet pictures(kCapture, 480, 320);
        ts::ChildProcess child;
        LARGE_INTEGER t0, t;
        std::string trace = dir + "steps.txt";
        QueryPerformanceCounter(&t0);
        if (dir.empty() || !child.Start("\"" + dir + "OrvixPlus.exe\"",
                                        {"ORVIX_MSGBOX_LOG=" + dir + "boxes.log",
                                         "ORVIX_STEP_TRACE=" + trace},
                                        dir)) {
            fprintf(stderr, "could not start OrvixPlus\n");
            return 1;
        }
        auto elapsed = [&] {
            QueryPerformanceCounter(&t);
            return (t.QuadPart - t0.QuadPart) * 1000.0 / freq.QuadPart;
        };
        double msShown = -1, msLive = -1, msStation = -1;
        // The panel counts as shown once the screen shows it painted: its
        // screen is kept at every poll and compared with its look at the end.
        std::vector<std::pair<double, std::vector<DWORD>>> panel;
        HWND main = NULL;
        while (child.Running() && elapsed() < 15000 && (msLive < 0 || msStation < 0)) {
            if (!main)
                main = tv::FindMainWindow();
            if (main && IsWindowVisible(main))
                panel.push_back({elapsed(), tv::ScreenGrid(main)});
            HWND video = tv::FindVideoWindow();
            if (msLive < 0 && PictureLive(video))
                msLive = elapsed();
            if (msStation < 0 && msLive >= 0 &&
                pictures.Showing(tv::ScreenGrid(video)) == stations[0].name)
                msStation = elapsed();
            Sleep(10);
        }
        Sleep(300);
        msShown = FirstShowing(panel, tv::ScreenGrid(main), tv::GridInShape(main));
        table.Add(ReadSteps(trace), CounterMs(t0));
        if (msShown >= 0)
            shown.push_back(msShown);
        if (msLive >= 0)
            live.push_back(msLive);
        if (msStation >= 0)
            station.push_back(msStation);
        printf("start %d: main window %s, first live frame %s, saved station %s\n", i + 1,
               msShown >= 0 ? ("after " + std::to_string((int)msShown) + " ms").c_str() : "never painted",
               msLive >= 0 ? (std::to_string((int)msLive) + " ms").c_str() : "never (15 s)",
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
    printf("\n");
    table.AddMoment("main window shown", shown);
    table.AddMoment("first live frame", live);
    table.AddMoment("saved station's picture", station);
    table.Print();
    printf("\n%-40s %10s %10s %10s %9s\n", "", "median", "worst", "target", "x floor");
    double floorMs = Median(floor);
    PrintRow("floor: plain program to its window shown", floor, 0);
    PrintRow("process start to main window shown", shown, 1000, floorMs);
    PrintRow("process start to first live frame", live, 1000, floorMs);
    PrintRow("process start to saved station's picture", station, 1200, floorMs);
    PrintRow("NEXT_CHANNELS click to tuner write", tuned, 0);
    PrintRow("NEXT_CHANNELS click to next station", change, 200);
    return 0;
}
