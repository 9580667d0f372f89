// What the live preview costs: start-up from construction to the first station
// picture in the window (and the builder's RenderStream share of it), channel
// change from the tuner bytes on the card's bus to the new picture in the
// window (median and worst of 20), and the processor share of a 25 fps
// 720 x 576 preview over 10 s. scripts/bench-capture runs it.
#include "AppSettings.h"
#include "CardState.h"
#include "Filters.h"
#include "Globals.h"
#include "OverlayGraph.h"
#include "PictureWindow.h"
#include "Seams.h"
#include "TuningHost.h"
#include <algorithm>
#include <functional>
#include <stdio.h>
#include <vector>

namespace {

double Now()
{
    static LARGE_INTEGER freq = {};
    if (!freq.QuadPart)
        QueryPerformanceFrequency(&freq);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart / (double)freq.QuadPart;
}

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

std::string g_lastMessage;
int BenchMessageBox(HWND, LPCSTR text, LPCSTR, UINT)
{
    g_lastMessage = text;
    return IDOK;
}

// A grid of the window's pixels on the screen.
std::vector<COLORREF> Grid(HWND hwnd)
{
    std::vector<COLORREF> grid;
    RECT rc;
    GetClientRect(hwnd, &rc);
    HDC screen = GetDC(NULL);
    for (int gy = 1; gy < 8; gy++)
        for (int gx = 1; gx < 8; gx++) {
            POINT p = {rc.right * gx / 8, rc.bottom * gy / 8};
            ClientToScreen(hwnd, &p);
            grid.push_back(GetPixel(screen, p.x, p.y));
        }
    ReleaseDC(NULL, screen);
    return grid;
}

bool Near(COLORREF a, COLORREF b)
{
    return abs(GetRValue(a) - GetRValue(b)) < 24 && abs(GetGValue(a) - GetGValue(b)) < 24 &&
           abs(GetBValue(a) - GetBValue(b)) < 24;
}

// The points of a station's picture that stay still (clock and block move).
struct Signature {
    std::vector<COLORREF> colours;
    std::vector<bool> still;
};

Signature Learn(HWND hwnd)
{
    Signature s;
    s.colours = Grid(hwnd);
    s.still.assign(s.colours.size(), true);
    for (int i = 0; i < 5; i++) {
        double until = Now() + 0.1;
        while (Now() < until)
            Pump();
        std::vector<COLORREF> g = Grid(hwnd);
        for (size_t k = 0; k < g.size(); k++)
            s.still[k] = s.still[k] && Near(g[k], s.colours[k]);
    }
    return s;
}

bool Matches(HWND hwnd, const Signature& s)
{
    std::vector<COLORREF> g = Grid(hwnd);
    int compared = 0;
    for (size_t k = 0; k < g.size(); k++) {
        if (!s.still[k])
            continue;
        compared++;
        if (!Near(g[k], s.colours[k]))
            return false;
    }
    return compared > 0;
}

bool WaitFor(const std::function<bool()>& cond, double seconds)
{
    double until = Now() + seconds;
    while (Now() < until) {
        Pump();
        if (cond())
            return true;
        Sleep(2);
    }
    return false;
}

void Tune(double mhz)
{
    BYTE bytes[4];
    ComputeTunerBytes((float)mhz, bytes);
    CardI2CWrite(0xC0, bytes, 4);
}

bool NotBlack(HWND hwnd)
{
    for (COLORREF c : Grid(hwnd))
        if (GetRValue(c) + GetGValue(c) + GetBValue(c) > 60)
            return true;
    return false;
}

double ProcessSeconds()
{
    FILETIME c, e, k, u;
    GetProcessTimes(GetCurrentProcess(), &c, &e, &k, &u);
    ULARGE_INTEGER kk = {{k.dwLowDateTime, k.dwHighDateTime}};
    ULARGE_INTEGER uu = {{u.dwLowDateTime, u.dwHighDateTime}};
    return (double)(kk.QuadPart + uu.QuadPart) * 1e-7;
}

}  // namespace

int main()
{
    SetEnvironmentVariableA("ORVIX_CARD", "capture_bench");
    CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    FwSetMessageBoxHook(BenchMessageBox);
    CardReset();
    CAppSettings settings;
    settings.m_arrVideoDevices.Add("Kestor TV Arden WDM Video CaptureA");
    settings.m_arrAudioDevices.Add("Kestor TV Arden WDM Audio Capture");
    settings.m_nInputSource = 1;
    g_pSettings = &settings;
    std::vector<CardStation> stations = CardStations();
    if (stations.size() < 2) {
        printf("preview start-up: not measured (the card has fewer than two stations)\n");
        return 0;
    }
    Tune(stations[0].freqMHz);

    HWND hwnd = CreatePictureWindow("OrvixCaptureBench", "capture bench");
    Pump();

    // The builder's share: the same RenderStream on a graph of the device alone.
    double renderStream = -1;
    {
        COverlayGraph probe;
        if (probe.Initialize(hwnd) && probe.OpenVideoDeviceByName(settings.m_arrVideoDevices[0])) {
            ICaptureGraphBuilder2* b = NULL;
            if (SUCCEEDED(CoCreateInstance(CLSID_CaptureGraphBuilder2, NULL, CLSCTX_INPROC_SERVER,
                                           IID_ICaptureGraphBuilder2, (void**)&b))) {
                b->SetFiltergraph(probe.GetGraph());
                double t0 = Now();
                b->RenderStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video,
                                probe.GetVideoCaptureFilter(), NULL, NULL);
                renderStream = Now() - t0;
                b->Release();
            }
        }
    }

    double t0 = Now();
    COverlayGraph* g = new COverlayGraph;
    BOOL opened = g->Initialize(hwnd) && g->Open(0, 720, 576, 50, 50, 50, 50, 50);
    if (!opened) {
        printf("preview start-up:          not measured (Open failed%s%s)\n",
               g_lastMessage.empty() ? "" : ": ", g_lastMessage.c_str());
        printf("RenderStream, no sink:     %.3f s\n", renderStream);
        delete g;
        return 0;
    }
    bool shown = WaitFor([&] { return NotBlack(hwnd); }, 10.0);
    double startup = Now() - t0;

    // Each station's still points, learnt once.
    Signature sig[2];
    for (int i = 1; i >= 0; i--) {
        Tune(stations[i].freqMHz);
        WaitFor([] { return false; }, 0.6);
        sig[i] = Learn(hwnd);
    }
    std::vector<double> changes;
    int missed = 0;
    for (int n = 0; n < 20; n++) {
        int next = (n + 1) % 2;
        double c0 = Now();
        Tune(stations[next].freqMHz);
        if (WaitFor([&] { return Matches(hwnd, sig[next]); }, 2.0))
            changes.push_back(Now() - c0);
        else
            missed++;
    }
    std::sort(changes.begin(), changes.end());

    double cpu0 = ProcessSeconds(), wall0 = Now();
    WaitFor([] { return false; }, 10.0);
    double share = (ProcessSeconds() - cpu0) / (Now() - wall0);

    printf("preview start-up:          %.3f s%s (RenderStream, no sink: %.3f s)\n", startup,
           shown ? "" : " (no picture seen)", renderStream);
    if (!changes.empty())
        printf("channel change (20):       median %.0f ms, worst %.0f ms%s\n",
               changes[changes.size() / 2] * 1000, changes.back() * 1000,
               missed ? " (some changes not seen)" : "");
    else
        printf("channel change (20):       not seen in the window\n");
    printf("processor, 25 fps preview: %.1f%% of one core over 10 s\n", share * 100);
    delete g;
    DestroyWindow(hwnd);
    g_pSettings = NULL;
    CoUninitialize();
    return 0;
}
