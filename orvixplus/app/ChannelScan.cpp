#include "ChannelScan.h"
#include "CaptureGraph.h"
#include "ChannelRecord.h"
#include "TimerSeam.h"
#include "TuningHost.h"
#include <stdio.h>
#include <new>

volatile LONG g_bScanRunning = 0;
volatile LONG g_nScanFound = 0;

static HANDLE s_hWorker = NULL;

BOOL IsScanRunning()
{
    return InterlockedCompareExchange(&g_bScanRunning, 0, 0) != 0;
}

void SetScanRunning(BOOL bRunning)
{
    InterlockedExchange(&g_bScanRunning, bRunning ? 1 : 0);
}

namespace {

// The walk's outside world, one call per kind of effect.
class ScanSteps {
public:
    explicit ScanSteps(const ChannelScanTargets& t) : m_t(t) {}

    BOOL HasSettingsWindow() const { return m_t.hSettings && ::IsWindow(m_t.hSettings); }
    CCaptureGraph* Graph() const { return m_t.pfnGraph ? m_t.pfnGraph() : NULL; }

    void Tune(int nFrequencyHz)
    {
        BYTE b[4];
        ComputeTunerBytesHz(nFrequencyHz, b);
        if (m_t.pHost)
            m_t.pHost->WriteTunerPll(b[0], b[1], b[2], b[3]);
    }
    void ShowCounts(int nStep, int nFound)
    {
        if (!m_t.pHost)
            return;
        char text[48];
        snprintf(text, sizeof text, "No.%d CH%d", nStep, nFound);
        m_t.pHost->SetSkinText("timer_filesize", text);
    }
    void ShowStep(int nStep)
    {
        if (!m_t.pHost)
            return;
        char text[32];
        snprintf(text, sizeof text, "Channel %d", nStep);
        m_t.pHost->ShowChannelText(text);
    }
    void Post(UINT nMsg, WPARAM wParam, LPARAM lParam)
    {
        if (HasSettingsWindow())
            ::PostMessage(m_t.hSettings, nMsg, wParam, lParam);
    }
    void ReportFound(int nFound, int nFrequencyHz)
    {
        if (!HasSettingsWindow())
            return;
        ChannelRecord* rec = new (std::nothrow) ChannelRecord;
        if (!rec)
            return;
        MakeChannelRecord(rec, nFound, nFrequencyHz, 1);
        // A report nobody receives would never be freed.
        if (!::PostMessage(m_t.hSettings, WM_SCAN_FOUND, 0, (LPARAM)rec))
            delete rec;
    }
    void Settle()
    {
        if (m_t.pHost)
            m_t.pHost->Pause(ScaledTimerPeriod(kScanSettleMs));
    }
    void SoundOff()
    {
        if (m_t.pHost && Graph())
            m_t.pHost->EnableAudio(FALSE);
    }

private:
    const ChannelScanTargets& m_t;
};

}  // namespace

int ScanProgressPercent(int nHz, int nFirstHz, int nLastHz)
{
    // A plan of one frequency (or all equal) is done as soon as it starts.
    if (nLastHz <= nFirstHz)
        return 100;
    // In hertz, not megahertz as doubles: there 130 MHz of 100 to 200 came
    // out as 29 per cent in extended precision.
    int percent = (int)(((LONGLONG)nHz - nFirstHz) * 100 / ((LONGLONG)nLastHz - nFirstHz));
    return percent < 0 ? 0 : percent > 100 ? 100 : percent;
}

void RunChannelScan(const CountryFrequencyTable* pTable, int nList,
                    const ChannelScanTargets& targets)
{
    ScanSteps steps(targets);
    InterlockedExchange(&g_nScanFound, 0);
    int step = 0;
    int firstFound = 1;
    steps.SoundOff();

    int first = 0, last = -1;
    const int* freqs = NULL;
    if (pTable && nList == 1) {
        first = pTable->nAirFirst;
        last = pTable->nAirLast;
        freqs = pTable->pAirFrequencies;
    } else if (pTable && nList == 2) {
        first = pTable->nCableFirst;
        last = pTable->nCableLast;
        freqs = pTable->pCableFrequencies;
    }
    // Nothing to walk: the settings window still has to leave its scan.
    if (!freqs || last < first) {
        SetScanRunning(FALSE);
        steps.Post(WM_SCAN_END, 0, 0);
        return;
    }

    int count = last - first;
    const int maximum = freqs[count], minimum = freqs[0];
    for (int index = 0; IsScanRunning(); index++) {
        if (index > count) {
            SetScanRunning(FALSE);
            break;
        }
        const int f = freqs[index];
        if (f > maximum || f < minimum) {
            SetScanRunning(FALSE);
            break;
        }
        steps.Tune(freqs[index]);
        step++;
        int found = (int)InterlockedCompareExchange(&g_nScanFound, 0, 0);
        steps.ShowCounts(step, found);
        steps.ShowStep(step);
        if (steps.HasSettingsWindow() && ::IsWindowVisible(targets.hSettings))
            steps.Post(WM_SCAN_PROGRESS, (WPARAM)ScanProgressPercent(f, minimum, maximum), 0);
        steps.Settle();
        CCaptureGraph* graph = steps.Graph();
        if (graph && graph->IsSignalLocked()) {
            found = (int)InterlockedIncrement(&g_nScanFound);
            if (found == 1)
                firstFound = index + 1;
            steps.ReportFound(found, freqs[index]);
            steps.ShowCounts(step, found);
        }
    }
    steps.Tune(freqs[firstFound - 1]);
    steps.Post(WM_SCAN_END, 0, 0);
}

BOOL StartScanWorker(LPTHREAD_START_ROUTINE pfnWorker, LPVOID pArg)
{
    WaitForScanWorker();
    DWORD id = 0;
    s_hWorker = ::CreateThread(NULL, 0, pfnWorker, pArg, 0, &id);
    return s_hWorker != NULL;
}

void WaitForScanWorker()
{
    HANDLE h = s_hWorker;
    if (!h)
        return;
    for (;;) {
        DWORD r = ::MsgWaitForMultipleObjects(1, &h, FALSE, INFINITE, QS_SENDMESSAGE);
        if (r != WAIT_OBJECT_0 + 1)
            break;
        // Peeking hands the sent messages to their windows; nothing posted
        // is taken out of the queue.
        MSG msg;
        ::PeekMessage(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    // A wait nested inside a handled message may have closed it already.
    if (s_hWorker == h) {
        ::CloseHandle(h);
        s_hWorker = NULL;
    }
}

void DeliverScanReports(HWND hSettings)
{
    if (!hSettings || !::IsWindow(hSettings))
        return;
    MSG msg;
    while (::PeekMessage(&msg, hSettings, WM_SCAN_FOUND, WM_SCAN_FOUND, PM_REMOVE))
        ::DispatchMessage(&msg);
    while (::PeekMessage(&msg, hSettings, WM_SCAN_PROGRESS, WM_SCAN_PROGRESS, PM_REMOVE))
        ;
    while (::PeekMessage(&msg, hSettings, WM_SCAN_END, WM_SCAN_END, PM_REMOVE))
        ;
}
