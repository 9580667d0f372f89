// The scan's walk on the simulated card: a real capture graph answers the
// lock test, a window of the test stands for the settings window, and the
// tuner writes go to the card through a host of the test's own.
#include <gtest/gtest.h>
#include "AppSettings.h"
#include "CaptureTestEnv.h"
#include "CardScanHost.h"
#include "CardState.h"
#include "ChannelRecord.h"
#include "ChannelScan.h"
#include "Globals.h"
#include "OverlayGraph.h"
#include "TuningHost.h"
#include <cmath>
#include <string>
#include <vector>

namespace {

// Records what the walk shows and writes; the settle is cut short.
class TestHost : public CardScanHost {
public:
    void EnableAudio(BOOL bEnable) override { audio.push_back(bEnable); }
    void SetSkinText(const char* element, const char* text) override
    {
        skinTexts.push_back(std::string(element) + "=" + text);
        if (hSendTo)
            SendMessageA(hSendTo, WM_SETTEXT, 0, (LPARAM)text);
    }
    void ShowChannelText(const char* text) override { channelTexts.push_back(text); }
    void WriteTunerPll(BYTE b0, BYTE b1, BYTE b2, BYTE b3) override
    {
        CardScanHost::WriteTunerPll(b0, b1, b2, b3);
        if (stopAfterWrites && writes == stopAfterWrites)
            SetScanRunning(FALSE);
    }

    std::vector<BOOL> audio;
    std::vector<std::string> skinTexts, channelTexts;
    int stopAfterWrites = 0;
    HWND hSendTo = NULL;  // a window of another thread that the texts are sent to
};

struct Posted {
    UINT msg;
    WPARAM wParam;
    ChannelRecord rec;
};
std::vector<Posted> g_posted;

LRESULT CALLBACK SettingsProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SCAN_PROGRESS || msg == WM_SCAN_FOUND || msg == WM_SCAN_END) {
        Posted p = {msg, wParam, {}};
        if (msg == WM_SCAN_FOUND) {
            p.rec = *(ChannelRecord*)lParam;
            delete (ChannelRecord*)lParam;
        }
        g_posted.push_back(p);
        return 0;
    }
    return DefWindowProcA(hWnd, msg, wParam, lParam);
}

CCaptureGraph* g_graph = NULL;
CCaptureGraph* TestGraph() { return g_graph; }

class ChannelScanTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetEnvironmentVariableA("ORVIX_CARD", "orvixplus_scan_test");
        CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
        CardReset();
        settings.m_arrVideoDevices.Add("Kestor TV Arden WDM Video CaptureA");
        settings.m_arrAudioDevices.Add("Kestor TV Arden WDM Audio Capture");
        settings.m_nInputSource = 1;
        settings.m_nCountryCode = 86;
        g_pSettings = &settings;
        HINSTANCE inst = GetModuleHandleA(NULL);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = SettingsProc;
        wc.hInstance = inst;
        wc.lpszClassName = "ScanTestSettings";
        RegisterClassA(&wc);
        settingsWnd = CreateWindowA("ScanTestSettings", "settings", WS_OVERLAPPED | WS_VISIBLE, 0,
                                    0, 200, 100, NULL, NULL, inst, NULL);
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "ScanTestOwner";
        RegisterClassA(&wc);
        owner = CreateWindowA("ScanTestOwner", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 360, 288, NULL,
                              NULL, inst, NULL);
        g_posted.clear();
        g_graph = NULL;
    }
    void TearDown() override
    {
        g_graph = NULL;
        DestroyWindow(settingsWnd);
        DestroyWindow(owner);
        g_pSettings = NULL;
        SetScanRunning(FALSE);
        CoUninitialize();
    }
    // The walk on the card's graph, on a thread of its own as in the program;
    // then what it posted.
    void Walk(const CountryFrequencyTable* table, int list, CCaptureGraph* graph)
    {
        g_graph = graph;
        targets = {&host, graph ? &TestGraph : NULL, settingsWnd};
        walkTable = table;
        walkList = list;
        SetScanRunning(TRUE);
        ASSERT_TRUE(StartScanWorker(&WalkThread, this));
        WaitForScanWorker();
        MSG m;
        while (PeekMessageA(&m, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&m);
    }
    static DWORD WINAPI WalkThread(LPVOID p)
    {
        ChannelScanTest* t = (ChannelScanTest*)p;
        CoInitializeEx(NULL, COINIT_MULTITHREADED);
        RunChannelScan(t->walkTable, t->walkList, t->targets);
        CoUninitialize();
        return 0;
    }
    static std::vector<int> Of(UINT msg, std::vector<ChannelRecord>* recs = NULL)
    {
        std::vector<int> v;
        for (const Posted& p : g_posted)
            if (p.msg == msg) {
                v.push_back((int)p.wParam);
                if (recs)
                    recs->push_back(p.rec);
            }
        return v;
    }
    // The card's device on the tuner input: enough for the lock test.
    void OpenTuner(COverlayGraph& graph)
    {
        ASSERT_TRUE(graph.Initialize(owner));
        ASSERT_TRUE(graph.InitDevices(0));
        ASSERT_TRUE(graph.SelectInput(0));
    }
    static bool NearStation(double mhz)
    {
        for (const CardStation& s : CardStations())
            if (std::fabs(s.freqMHz - mhz) <= 0.5)
                return true;
        return false;
    }

    CAppSettings settings;
    HWND settingsWnd = NULL, owner = NULL;
    TestHost host;
    ChannelScanTargets targets = {};
    const CountryFrequencyTable* walkTable = NULL;
    int walkList = 0;
};

TEST_F(ChannelScanTest, EachListOfCountry86FindsItsStationsInOrder)
{
    const CountryFrequencyTable* table = getFrequencyTableFromCountryCode(86);
    ASSERT_TRUE(table != NULL);
    COverlayGraph graph;
    ASSERT_NO_FATAL_FAILURE(OpenTuner(graph));
    struct { int list; int first, last; const int* hz; size_t stations; } lists[] = {
        {1, table->nAirFirst, table->nAirLast, table->pAirFrequencies, 6},
        {2, table->nCableFirst, table->nCableLast, table->pCableFrequencies, 9},
    };
    for (const auto& l : lists) {
        SCOPED_TRACE(l.list);
        g_posted.clear();
        host = TestHost();
        Walk(table, l.list, &graph);
        int n = l.last - l.first + 1;
        std::vector<double> expected;
        for (int i = 0; i < n; i++)
            if (NearStation(l.hz[i] * 0.000001))
                expected.push_back(l.hz[i] * 0.000001);
        ASSERT_EQ(l.stations, expected.size());

        std::vector<ChannelRecord> found;
        Of(WM_SCAN_FOUND, &found);
        ASSERT_EQ(expected.size(), found.size());
        for (size_t i = 0; i < found.size(); i++) {
            EXPECT_EQ("Channel" + std::to_string(i + 1), found[i].szName);
            EXPECT_EQ((int)i + 1, found[i].nNumber);
            EXPECT_EQ(1, found[i].nFlag);
            EXPECT_EQ(0, found[i].nSkip);
            EXPECT_NEAR(expected[i], found[i].fFrequency, 0.001);
        }
        std::vector<int> progress = Of(WM_SCAN_PROGRESS);
        ASSERT_EQ((size_t)n, progress.size());
        EXPECT_EQ(0, progress.front());
        EXPECT_EQ(100, progress.back());
        for (size_t i = 1; i < progress.size(); i++)
            EXPECT_LE(progress[i - 1], progress[i]);
        ASSERT_FALSE(g_posted.empty());
        EXPECT_EQ((UINT)WM_SCAN_END, g_posted.back().msg);
        EXPECT_EQ(1u, Of(WM_SCAN_END).size());

        // Every plan entry once, then back to the first find.
        EXPECT_EQ(n + 1, host.writes);
        EXPECT_NEAR(expected[0], CardTunedFrequency(), 0.07);
        EXPECT_FALSE(IsScanRunning());
        EXPECT_EQ((int)expected.size(), (int)g_nScanFound);
        EXPECT_EQ(std::vector<BOOL>{FALSE}, host.audio);
        EXPECT_EQ("Channel 1", host.channelTexts.front());
        EXPECT_EQ("Channel " + std::to_string(n), host.channelTexts.back());
        EXPECT_EQ("timer_filesize=No." + std::to_string(n) + " CH" +
                      std::to_string(expected.size()),
                  host.skinTexts.back());
    }
}

TEST_F(ChannelScanTest, NothingFoundEndsOnTheFirstEntryAndAHiddenWindowGetsNoProgress)
{
    const CountryFrequencyTable* table = getFrequencyTableFromCountryCode(86);
    ASSERT_TRUE(table != NULL);
    CardSetStations({});
    COverlayGraph graph;
    ASSERT_NO_FATAL_FAILURE(OpenTuner(graph));
    ShowWindow(settingsWnd, SW_HIDE);
    Walk(table, 1, &graph);
    EXPECT_TRUE(Of(WM_SCAN_FOUND).empty());
    EXPECT_TRUE(Of(WM_SCAN_PROGRESS).empty());
    EXPECT_EQ(1u, Of(WM_SCAN_END).size());
    EXPECT_NEAR(table->pAirFrequencies[0] * 0.000001, CardTunedFrequency(), 0.07);
    CardSetStations(CardDefaultStations());
}

// A plan placed so that one int past its end (or before its start) is a page
// nobody may read.
class GuardedPlan {
public:
    GuardedPlan(const std::vector<int>& hz, bool atPageEnd)
    {
        SYSTEM_INFO si;
        GetSystemInfo(&si);
        page = si.dwPageSize;
        base = (BYTE*)VirtualAlloc(NULL, page * 3, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        DWORD old;
        VirtualProtect(base, page, PAGE_NOACCESS, &old);
        VirtualProtect(base + 2 * page, page, PAGE_NOACCESS, &old);
        int* p = atPageEnd ? (int*)(base + 2 * page) - hz.size() : (int*)(base + page);
        for (size_t i = 0; i < hz.size(); i++)
            p[i] = hz[i];
        data = p;
    }
    ~GuardedPlan() { VirtualFree(base, 0, MEM_RELEASE); }
    const int* data;

private:
    BYTE* base;
    DWORD page;
};

TEST_F(ChannelScanTest, OddPlansReadNothingOutsideTheirArrayAndStillEnd)
{
    // Last before first: nothing tuned, the end still told.
    GuardedPlan before({100000000}, false);
    CountryFrequencyTable t = {};
    t.nAirFirst = 5;
    t.nAirLast = 3;
    t.pAirFrequencies = before.data;
    Walk(&t, 1, NULL);
    EXPECT_EQ(0, host.writes);
    ASSERT_EQ(1u, g_posted.size());
    EXPECT_EQ((UINT)WM_SCAN_END, g_posted[0].msg);
    EXPECT_FALSE(IsScanRunning());

    // One channel: scanned once, progress 100, back to it.
    GuardedPlan one({49750000}, true);
    t = {};
    t.nCableFirst = 1;
    t.nCableLast = 1;
    t.pCableFrequencies = one.data;
    g_posted.clear();
    host = TestHost();
    Walk(&t, 2, NULL);
    EXPECT_EQ(2, host.writes);
    EXPECT_EQ(std::vector<int>{100}, Of(WM_SCAN_PROGRESS));
    EXPECT_EQ((UINT)WM_SCAN_END, g_posted.back().msg);
    EXPECT_NEAR(49.75, CardTunedFrequency(), 0.07);

    // All frequencies equal: no division by zero, every one scanned.
    GuardedPlan equal({57750000, 57750000, 57750000}, true);
    t.nCableFirst = 2;
    t.nCableLast = 4;
    t.pCableFrequencies = equal.data;
    g_posted.clear();
    host = TestHost();
    Walk(&t, 2, NULL);
    EXPECT_EQ(4, host.writes);
    EXPECT_EQ((std::vector<int>{100, 100, 100}), Of(WM_SCAN_PROGRESS));

    // No array, no table, or a list that is neither: the end only.
    t = {};
    t.nAirFirst = 1;
    t.nAirLast = 10;
    const CountryFrequencyTable* tables[] = {&t, NULL, &t};
    int lists[] = {1, 1, 3};
    for (int i = 0; i < 3; i++) {
        g_posted.clear();
        host = TestHost();
        Walk(tables[i], lists[i], NULL);
        EXPECT_EQ(0, host.writes) << i;
        ASSERT_EQ(1u, g_posted.size()) << i;
        EXPECT_EQ((UINT)WM_SCAN_END, g_posted[0].msg) << i;
    }
}

// The steps of an even plan are whole tens, and its last entry is walked.
TEST_F(ChannelScanTest, AnEvenPlanReportsWholeTensToItsLastEntry)
{
    std::vector<int> hz;
    for (int i = 0; i <= 10; i++)
        hz.push_back(100000000 + i * 10000000);
    CountryFrequencyTable t = {};
    t.nAirFirst = 1;
    t.nAirLast = 11;
    t.pAirFrequencies = hz.data();
    Walk(&t, 1, NULL);
    EXPECT_EQ(12, host.writes);
    EXPECT_EQ((std::vector<int>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}), Of(WM_SCAN_PROGRESS));
    EXPECT_EQ("Channel 11", host.channelTexts.back());
}

// Worked out in megahertz as doubles, the steps of an even plan came out as
// 0, 10, 19, 29, 39, 50, 59, 70, 79, 89, 100 per cent in extended precision
// (the 32-bit build's main thread; the walk's own thread starts with the
// system's double precision).
TEST(ScanProgress, WholePerCentsOfThePlansSpanKeptInRange)
{
    EXPECT_EQ(30, ScanProgressPercent(130000000, 100000000, 200000000));
    EXPECT_EQ(29, ScanProgressPercent(129999999, 100000000, 200000000)) << "cut, not rounded";
    EXPECT_EQ(0, ScanProgressPercent(99000000, 100000000, 200000000));
    EXPECT_EQ(100, ScanProgressPercent(201000000, 100000000, 200000000));
    EXPECT_EQ(100, ScanProgressPercent(57750000, 57750000, 57750000));
    // Hertz near the top of an int do not overflow the per cent.
    EXPECT_EQ(50, ScanProgressPercent(1000000000, 0, 2000000000));
}

TEST_F(ChannelScanTest, AClearedFlagEndsTheWalkAfterThatStep)
{
    const CountryFrequencyTable* table = getFrequencyTableFromCountryCode(86);
    ASSERT_TRUE(table != NULL);
    COverlayGraph graph;
    ASSERT_NO_FATAL_FAILURE(OpenTuner(graph));
    // Stopped during the settle of the fourth entry (DS-4, a station).
    host.stopAfterWrites = 4;
    Walk(table, 1, &graph);
    EXPECT_EQ(5, host.writes);
    EXPECT_EQ(4u, Of(WM_SCAN_PROGRESS).size());
    EXPECT_EQ(3u, Of(WM_SCAN_FOUND).size());
    EXPECT_NEAR(49.75, CardTunedFrequency(), 0.07);
    EXPECT_EQ((UINT)WM_SCAN_END, g_posted.back().msg);
}

TEST_F(ChannelScanTest, TheWaitHandlesTextsTheWorkerSendsAndANewScanWaitsForTheOld)
{
    // The worker sends its texts to a window of the waiting thread: a wait
    // that only slept would never see the worker end.
    HWND label = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    host.hSendTo = label;
    GuardedPlan plan({49750000, 57750000, 77250000}, true);
    CountryFrequencyTable t = {};
    t.nAirFirst = 1;
    t.nAirLast = 3;
    t.pAirFrequencies = plan.data;
    g_graph = NULL;
    targets = {&host, NULL, settingsWnd};
    walkTable = &t;
    walkList = 1;
    SetScanRunning(TRUE);
    ASSERT_TRUE(StartScanWorker(&WalkThread, this));
    // A second start waits for the first walk before its own begins.
    ASSERT_TRUE(StartScanWorker(&WalkThread, this));
    WaitForScanWorker();
    char text[32] = "";
    GetWindowTextA(label, text, sizeof text);
    EXPECT_STREQ("No.3 CH0", text);
    // The first walk: three entries and its final tune; the second found the
    // flag cleared by the first's end and only tuned back. Side by side both
    // would have walked the plan.
    EXPECT_EQ(5, host.writes);
    DestroyWindow(label);
    MSG m;
    while (PeekMessageA(&m, NULL, 0, 0, PM_REMOVE))
        DispatchMessageA(&m);
}

std::vector<UINT> g_reportsHandled;

LRESULT CALLBACK ReportsProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_SCAN_FOUND) {
        delete (ChannelRecord*)l;
        g_reportsHandled.push_back(m);
        return 0;
    }
    if (m == WM_SCAN_PROGRESS || m == WM_SCAN_END)
        g_reportsHandled.push_back(m);
    return DefWindowProcA(h, m, w, l);
}

// What a stopped worker left posted: the finds reach the settings window
// before the caller ends the scan there; the worker's end and progress, which
// would end or move a later scan, are dropped.
TEST(ScanReportsTest, FindsAreHandledAndTheWorkersEndAndProgressDropped)
{
    g_reportsHandled.clear();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ReportsProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "scan reports test";
    RegisterClassA(&wc);
    HWND settings = CreateWindowA(wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, wc.hInstance, NULL);
    ASSERT_TRUE(settings != NULL);
    PostMessageA(settings, WM_SCAN_PROGRESS, 40, 0);
    PostMessageA(settings, WM_SCAN_FOUND, 0, (LPARAM) new ChannelRecord());
    PostMessageA(settings, WM_SCAN_FOUND, 0, (LPARAM) new ChannelRecord());
    PostMessageA(settings, WM_SCAN_END, 0, 0);
    DeliverScanReports(settings);
    EXPECT_EQ(std::vector<UINT>({WM_SCAN_FOUND, WM_SCAN_FOUND}), g_reportsHandled);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, settings, WM_SCAN_FOUND, WM_SCAN_END, PM_REMOVE));
    DeliverScanReports(NULL);
    DestroyWindow(settings);
}

}  // namespace
