// The tune sequence's waits run on the main window's thread and let the
// window system go on showing what the renderer draws (bench-tv measures
// that), but they handle no message: a second click would start a tune
// within the tune. The channel scan's worker shares them.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <string>
#include <vector>
#include "AppSettings.h"
#include "ChannelScan.h"
#include "Globals.h"
#include "IniFile.h"
#include "MainDlg.h"
#include "MainLayout.h"
#include "MainTuningHost.h"
#include "TestSupport.h"
// After the framework's headers: it pulls in the window macros.
#include "CaptureGraph.h"
#undef SubclassWindow  // the framework's, not the macro's

namespace {

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_APP)
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 1);
    return DefWindowProcA(hwnd, msg, wp, lp);
}

TEST(MainTuningHostPause, LastsItsTimeAndHandlesNoMessage)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ProbeProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "TuningHostPauseProbe";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 16, 16, NULL, NULL,
                                wc.hInstance, NULL);
    ASSERT_TRUE(hwnd != NULL);
    PostMessageA(hwnd, WM_APP, 0, 0);
    SetTimer(hwnd, 1, 10, NULL);
    CMainTuningHost host(NULL);
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&a);
    host.Pause(200);
    QueryPerformanceCounter(&b);
    double spent = (b.QuadPart - a.QuadPart) * 1000.0 / f.QuadPart;
    EXPECT_EQ(0, GetWindowLongPtrA(hwnd, GWLP_USERDATA)) << "a message was handled during the wait";
    EXPECT_GE(spent, 195.0);
    EXPECT_LT(spent, (double)ts::Scaled(400));
    ts::PumpFor(50);
    EXPECT_EQ(1, GetWindowLongPtrA(hwnd, GWLP_USERDATA)) << "the posted message was lost";
    KillTimer(hwnd, 1);
    DestroyWindow(hwnd);
}

// A panel stand-in that counts its paints and answers with g_panelFont.
LONG g_paints = 0;
HFONT g_panelFont = NULL;
LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        InterlockedIncrement(&g_paints);
        return 0;
    }
    if (msg == WM_GETFONT)
        return (LRESULT)g_panelFont;
    return DefWindowProcA(hwnd, msg, wp, lp);
}

HWND MakePanel()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PanelProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "TuningHostPausePanel";
    RegisterClassA(&wc);
    HWND panel = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 64, 64, NULL, NULL,
                                 wc.hInstance, NULL);
    ts::PumpFor(100);
    return panel;
}

// Runs fn on a worker while this thread, the panel's, is busy: it waits for
// the worker up to the limit without handling a message. TRUE when the worker
// was done by then. Either way the worker has ended on return: one stuck in a
// send to this thread is let through. One that does not end even then works
// on what the caller holds, so the run ends here, failed, rather than hang.
bool FinishesWhileThePanelIsBusy(void (*fn)(void*), void* arg, DWORD limitMs)
{
    const DWORD kEndMs = 10000;
    struct Work {
        void (*fn)(void*);
        void* arg;
        static DWORD WINAPI Run(LPVOID p)
        {
            Work* w = (Work*)p;
            w->fn(w->arg);
            return 0;
        }
    } work = {fn, arg};
    HANDLE worker = CreateThread(NULL, 0, Work::Run, &work, 0, NULL);
    if (!worker) {
        ADD_FAILURE() << "no worker";
        return false;
    }
    bool done = WaitForSingleObject(worker, ts::Scaled(limitMs)) == WAIT_OBJECT_0;
    // Messages are handled only while the worker has not ended: what it left
    // for this thread stays there for the caller to see.
    DWORD since = GetTickCount();
    while (MsgWaitForMultipleObjects(1, &worker, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0) {
        if (GetTickCount() - since > ts::Scaled(kEndMs)) {
            fprintf(stderr, "FAILED: the worker has not ended %lu ms after its limit\n",
                    (unsigned long)ts::Scaled(kEndMs));
            fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 3);
        }
        ts::PumpFor(5);
    }
    CloseHandle(worker);
    return done;
}

struct PauseOnWorker {
    CMainTuningHost* host;
    DWORD ms;
};

void PauseThere(void* p)
{
    PauseOnWorker* w = (PauseOnWorker*)p;
    w->host->Pause(w->ms);
}

TEST(MainTuningHostPause, PaintsThePanelOnItsThreadAndNeverWaitsForItFromAWorker)
{
    HWND panel = MakePanel();
    ASSERT_TRUE(panel != NULL);
    CMainDlg dlg(NULL);
    if (!dlg.Attach(panel)) {
        DestroyWindow(panel);
        FAIL() << "the dialog did not take the panel";
    }
    CMainTuningHost host(&dlg);

    // On the panel's own thread the pause paints what is due at once.
    InvalidateRect(panel, NULL, FALSE);
    LONG before = g_paints;
    host.Pause(20);
    EXPECT_GT(g_paints, before) << "the panel was not painted during the pause";

    // On the scan's worker, with the panel's thread busy, the pause lasts its
    // own time.
    InvalidateRect(panel, NULL, FALSE);
    before = g_paints;
    PauseOnWorker work = {&host, 50};
    EXPECT_TRUE(FinishesWhileThePanelIsBusy(PauseThere, &work, 3000))
        << "the worker's pause waited for the panel's thread";
    EXPECT_EQ(before, g_paints);
    dlg.Detach();
    DestroyWindow(panel);
}

// The scan's walk with the host of the main dialog, the tuner left alone.
class ScanStepHost : public CMainTuningHost {
public:
    explicit ScanStepHost(CMainDlg* pDlg) : CMainTuningHost(pDlg) {}
    void WriteTunerPll(BYTE, BYTE, BYTE, BYTE) override {}
};

// Keeps the channel texts the walk puts on the picture.
class OsdTextGraph : public CCaptureGraph {
public:
    BOOL ShowOsdText(LPCSTR pszText, int x, int y, const LOGFONTA& font) override
    {
        texts.push_back(pszText);
        xs.push_back(x);
        fonts.push_back(font);
        return TRUE;
    }
    std::vector<std::string> texts;
    std::vector<int> xs;
    std::vector<LOGFONTA> fonts;
};

struct OneStepScan {
    CTuningHost* host;
};

void WalkOneChannel(void* p)
{
    static const int kHz[] = {49750000};
    CountryFrequencyTable table = {};
    table.nAirFirst = table.nAirLast = 1;
    table.pAirFrequencies = kHz;
    ChannelScanTargets targets = {((OneStepScan*)p)->host, NULL, NULL};
    SetScanRunning(TRUE);
    RunChannelScan(&table, 1, targets);
}

int TextWidthIn(HFONT font, const char* text)
{
    HDC dc = GetDC(NULL);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text, (int)strlen(text), &size);
    SelectObject(dc, old);
    ReleaseDC(NULL, dc);
    return size.cx;
}

CString FitIn(HWND label, HFONT font, const char* text)
{
    RECT rc;
    GetClientRect(label, &rc);
    HDC dc = GetDC(label);
    HGDIOBJ old = font ? SelectObject(dc, font) : NULL;
    CString fitted = FitText(dc, text, "", rc.right, 0);
    if (old)
        SelectObject(dc, old);
    ReleaseDC(label, dc);
    return fitted;
}

// A panel stand-in subclassed by a main dialog, with the skin's
// "timer_filesize" label of the given width. Everything goes again at the end
// of its scope, whatever the test asserted before.
template <class Dlg = CMainDlg>
class LabelledPanel {
public:
    explicit LabelledPanel(int width) : dlg(NULL), panel(MakePanel()), label(NULL), subclassed_(false)
    {
        subclassed_ = panel && dlg.SubclassWindow(panel);
        if (!subclassed_)
            return;
        std::string ini = ts::FreshTempDir("labelpanel") + "skin.ini";
        if (FILE* f = fopen(ini.c_str(), "wb")) {
            fprintf(f, "[TimerInfo]\r\nTimer1=timer_filesize,0,0,%d,20\r\n", width);
            fclose(f);
        }
        if (dlg.LoadTimers(CIniFile(ini.c_str())))
            label = dlg.FindTextItem("timer_filesize");
    }
    ~LabelledPanel()
    {
        if (subclassed_)
            dlg.UnsubclassWindow();
        if (panel)
            DestroyWindow(panel);
    }
    bool Ok() const { return label != NULL; }

    Dlg dlg;
    HWND panel;
    CShapeTimer* label;

private:
    bool subclassed_;
};

// The step's counts reach the label only through the panel's own thread: the
// label's text is what its paints read there, and its font is asked of it.
TEST(MainTuningHostScan, AStepOnTheWorkerLeavesItsTextsToThePanelsThreadWhileThatIsBusy)
{
    // Large fonts, so that a text measured in another one comes out otherwise.
    HFONT dialogFont = CreateFontA(48, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Orvix Test Dialog");
    HFONT labelFont = CreateFontA(40, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Orvix Test Label");
    g_panelFont = dialogFont;
    CAppSettings settings;
    settings.m_bOsd = TRUE;
    OsdTextGraph graph;
    {
        LabelledPanel<> p(80);
        ASSERT_TRUE(p.Ok());
        CShapeTimer* label = p.label;
        label->SendMessage(WM_SETFONT, (WPARAM)labelFont, FALSE);
        CString counts = FitIn(label->m_hWnd, labelFont, "No.1 CH0");
        EXPECT_NE(counts, FitIn(label->m_hWnd, NULL, "No.1 CH0")) << "the label's font makes no difference";

        g_pSettings = &settings;
        g_pCaptureGraph = &graph;
        ScanStepHost host(&p.dlg);
        // As the scan's start does, on the panel's thread.
        p.dlg.TakeTextFont();
        OneStepScan scan = {&host};
        label->SetText("", "");
        EXPECT_TRUE(FinishesWhileThePanelIsBusy(WalkOneChannel, &scan, 3000))
            << "a step of the scan waited for the panel's thread";
        g_pCaptureGraph = NULL;
        g_pSettings = NULL;

        EXPECT_TRUE(label->GetText().IsEmpty()) << "the worker set the label itself";
        EXPECT_TRUE(ts::PumpUntil([&] { return label->GetText() == counts; }, 2000))
            << "the step's counts, set by the panel's thread, read \"" << (LPCSTR)label->GetText() << "\"";
    }
    g_panelFont = NULL;
    EXPECT_EQ(std::vector<std::string>{"Channel 1"}, graph.texts);
    if (graph.texts.size() == 1) {
        EXPECT_EQ(ChannelTextPlace(settings.m_nVideoSize, TextWidthIn(dialogFont, "Channel 1")).x, graph.xs[0])
            << "measured in another font than the dialog's";
        EXPECT_STREQ("Orvix Test Dialog", graph.fonts[0].lfFaceName);
    }
    DeleteObject(dialogFont);
    DeleteObject(labelFont);
}

struct LabelFromWorker {
    CMainDlg* dlg;
    const char* text;
};

void SetLabelThere(void* p)
{
    LabelFromWorker* w = (LabelFromWorker*)p;
    w->dlg->SetLabelText("timer_filesize", w->text);
}

// Sets the label's text on a worker while this thread is busy.
void SetFromWorker(CMainDlg* dlg, const char* text)
{
    LabelFromWorker work = {dlg, text};
    EXPECT_TRUE(FinishesWhileThePanelIsBusy(SetLabelThere, &work, 3000)) << text;
}

// The scan's counts are left for the panel's thread, and a channel key then
// shows its number there before that thread comes to them: the number stays.
TEST(MainDlgLabels, ATextSetOnThePanelsThreadOutranksAnOlderOneLeftByAWorker)
{
    LabelledPanel<> p(200);
    ASSERT_TRUE(p.Ok());
    SetFromWorker(&p.dlg, "No.9 CH3");
    p.dlg.SetLabelText("timer_filesize", " 5");
    EXPECT_STREQ(" 5", p.label->GetText());
    ts::PumpFor(200);
    EXPECT_STREQ(" 5", p.label->GetText()) << "an older text came back";
    // A worker's text that comes after it still shows.
    SetFromWorker(&p.dlg, "No.10 CH4");
    EXPECT_TRUE(ts::PumpUntil([&] { return p.label->GetText() == "No.10 CH4"; }, 2000))
        << (LPCSTR)p.label->GetText();
}

// A main dialog whose first posts of the label texts fail.
class FailingPostDlg : public CMainDlg {
public:
    explicit FailingPostDlg(CWnd* pParent) : CMainDlg(pParent), failures(1), posts(0) {}
    int failures, posts;

protected:
    BOOL PostLabelTexts() override
    {
        ++posts;
        if (failures > 0) {
            --failures;
            return FALSE;
        }
        return CMainDlg::PostLabelTexts();
    }
};

TEST(MainDlgLabels, AWorkersTextAfterAFailedPostStillReachesTheLabel)
{
    LabelledPanel<FailingPostDlg> p(200);
    ASSERT_TRUE(p.Ok());
    SetFromWorker(&p.dlg, "No.1 CH0");
    ts::PumpFor(100);
    EXPECT_EQ(1, p.dlg.posts);
    SetFromWorker(&p.dlg, "No.2 CH1");
    EXPECT_TRUE(ts::PumpUntil([&] { return p.label->GetText() == "No.2 CH1"; }, 2000))
        << "after a failed post the label reads \"" << (LPCSTR)p.label->GetText() << "\"";
    EXPECT_EQ(2, p.dlg.posts);
    // Once handled, the next text posts again, once.
    SetFromWorker(&p.dlg, "No.3 CH2");
    EXPECT_TRUE(ts::PumpUntil([&] { return p.label->GetText() == "No.3 CH2"; }, 2000));
    EXPECT_EQ(3, p.dlg.posts);
}

}  // namespace
