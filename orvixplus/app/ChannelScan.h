// The channel scan: a walk over one list's plan of a country table that
// programs the tuner to every frequency, lets it settle, asks the capture
// graph whether a picture is locked and reports every channel found to the
// settings window. The walk runs on a worker thread of its own; the scan flag
// is shared by that thread and the user-interface thread and is only touched
// through the functions below.
#pragma once
#include <windows.h>
#include "Bandatlas.h"

class CTuningHost;
class CCaptureGraph;

// Posted by the walk to the settings window.
#define WM_SCAN_PROGRESS  (WM_USER + 687)  // 1711: wParam percent 0..100
// lParam: a ChannelRecord* made with new; the receiver deletes it.
#define WM_SCAN_FOUND     (WM_USER + 600)  // 1624
#define WM_SCAN_END       (WM_USER + 800)  // 1824

// How long the tuner and the decoder get after each tuner write (divided by
// ORVIX_TIMER_DIVISOR when tests set it).
const DWORD kScanSettleMs = 400;

// Set while a scan runs (non-zero); read and written interlocked.
extern volatile LONG g_bScanRunning;
// Channels found by the current scan.
extern volatile LONG g_nScanFound;

BOOL IsScanRunning();
void SetScanRunning(BOOL bRunning);

// What the walk talks to. The host tunes, pauses and shows the texts; the
// graph (NULL: none) answers the lock test; the settings window (NULL or
// destroyed: none) receives the reports.
struct ChannelScanTargets {
    CTuningHost* pHost;
    CCaptureGraph* (*pfnGraph)();
    HWND hSettings;
};

// Walks list nList (1 antenna, 2 cable) of the table while the scan flag is
// set, then tunes the first channel found (the plan's first entry when none
// was) and posts WM_SCAN_END. A missing table, list or array, or a plan whose
// last channel lies before its first, tunes nothing and only posts
// WM_SCAN_END. The flag is clear afterwards.
void RunChannelScan(const CountryFrequencyTable* pTable, int nList,
                    const ChannelScanTargets& targets);

// The per cent of the plan's span a frequency lies at, cut to a whole one
// and kept to 0..100; 100 for a plan whose last frequency is not above its
// first.
int ScanProgressPercent(int nHz, int nFirstHz, int nLastHz);

// The worker thread. Starting waits for any earlier worker first, so two
// walks never run side by side. FALSE when the thread cannot be made.
BOOL StartScanWorker(LPTHREAD_START_ROUTINE pfnWorker, LPVOID pArg);
// Returns once the worker has ended (at once without one). While it waits,
// messages sent to this thread's windows are handled, so a worker that is
// setting a text of ours does not wait on us in turn.
void WaitForScanWorker();

// Once the worker has ended: the finds it posted to the settings window are
// handled now, ahead of the end the caller is about to send, and its own end
// notice and progress are dropped, so that they neither arrive after the
// scan has ended (and are lost) nor end or move a scan started after it.
void DeliverScanReports(HWND hSettings);
