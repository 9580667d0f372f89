// The main dialog's side of the TV wall: opening it, moving the live video
// from cell to cell on timer 400 while each cell left keeps a still frame of
// its channel, and leaving it again (WM_LEAVE_TV_WALL).
#include "MainDlg.h"
#include "AppSettings.h"
#include "AppState.h"
#include "CaptureGraph.h"
#include "ChannelStore.h"
#include "CountryPlan.h"
#include "CursorHider.h"
#include "Globals.h"
#include "MainLayout.h"
#include "MultiPicWindow.h"
#include "PropWindow.h"
#include "TimerSeam.h"
#include "TvWallCycle.h"
#include "VideoWindow.h"
#include <new>

// The live video goes into a window: the graph stops, its renderer moves
// there and the graph runs again. FALSE when the graph cannot be stopped.
static BOOL MoveVideoTo(HWND hWnd)
{
    if (!g_pCaptureGraph || !hWnd || !g_pCaptureGraph->Stop())
        return FALSE;
    g_pCaptureGraph->SetOwner(hWnd);
    g_pCaptureGraph->Run();
    return TRUE;
}

void CMainDlg::ToggleTvWall()
{
    if (!g_pAppState || !g_pAppState->IsTvViewing() || g_pAppState->IsBusy() || !g_pCaptureGraph)
        return;
    EndScheduledRunIfActive();
    DeleteScheduleWindow();

    g_pAppState->SetMode(MODE_TV_WALL);
    DeleteTvWall();
    g_pTvWall = new (std::nothrow) CMultiPicWindow;
    if (!g_pTvWall) {
        g_pAppState->SetMode(MODE_TV_VIEW);
        return;
    }
    if (g_pPropWindow && g_pPropWindow->GetSafeHwnd() && g_pPropWindow->IsWindowVisible())
        g_pPropWindow->Close();
    if (g_pVideoWindow && g_pVideoWindow->GetSafeHwnd()) {
        // A cursor hidden over the full-screen picture would stay hidden
        // over the wall: the window that brings it back goes away.
        HWND hVideo = g_pVideoWindow->GetSafeHwnd();
        if (::IsWindowVisible(hVideo) && g_pVideoWindow->IsFullScreen()) {
            ::KillTimer(hVideo, VIDEO_TIMER_CURSOR);
            if (g_pCursorHider)
                g_pCursorHider->Restore();
        }
        g_pVideoWindow->ShowWindow(SW_HIDE);
    }
    ShowWindow(SW_HIDE);

    int list = GetInputType();
    if (!g_pChannelStore || list < 0 || g_pChannelStore->GetCount(list) <= 0) {
        AbandonTvWall();
        return;
    }
    m_nTvWallStartChannel = g_pChannelStore->GetCurrent(list);
    g_pTvWall->SetGridSize(TvWallGridSize(g_pSettings ? g_pSettings->m_nWallGrid : 0));
    if (!g_pTvWall->Create()) {
        AbandonTvWall();
        return;
    }
    int cells = g_pTvWall->GetGridSize() * g_pTvWall->GetGridSize();
    HBITMAP start = ::LoadBitmap(::GetModuleHandle(NULL), MAKEINTRESOURCE(IDB_TV_WALL_CELL));
    BOOL pictures = start != NULL;
    for (int i = 0; pictures && i < cells; i++)
        pictures = g_pTvWall->SetCellPicture(i, &start);
    if (start)
        ::DeleteObject(start);
    if (!pictures) {
        AbandonTvWall();
        return;
    }

    int first = g_pChannelStore->GetMinChannel(list);
    g_pTvWall->SetCellChannel(0, first);
    if (MoveVideoTo(g_pTvWall->GetCellWindow(0)))
        g_pChannelStore->SelectChannelQuiet(first, list);
    m_nTvWallSteps = 1;
    UINT dwell = TvWallDwellMs(g_pSettings ? g_pSettings->m_nWallDwell : 0);
    SetTimer(TIMER_TV_WALL, ScaledTimerPeriod(dwell));
}

void CMainDlg::AbandonTvWall()
{
    ShowVideoWindow();
    ShowWindow(SW_SHOW);
    DeleteTvWall();
    m_nTvWallSteps = 0;
    m_nTvWallStartChannel = 0;
    if (g_pAppState)
        g_pAppState->SetMode(MODE_TV_VIEW);
}

void CMainDlg::OnTvWallStep()
{
    EndScheduledRunIfActive();
    int list = GetInputType();
    if (!g_pChannelStore || list < 0 || !g_pCaptureGraph || !g_pTvWall)
        return;
    int current = g_pChannelStore->GetCurrent(list);
    HBITMAP frame = g_pCaptureGraph->GrabFrameBitmap();
    if (!frame)
        return;
    int next = NextWallChannel(*g_pChannelStore, list, current);
    if (next < 0) {
        KillTimer(TIMER_TV_WALL);
        PostMessage(WM_LEAVE_TV_WALL, TV_WALL_LEAVE_END, 0);
    } else {
        m_nTvWallSteps++;
        TvWallStepCells cells = TvWallCellsForStep(m_nTvWallSteps, g_pTvWall->GetGridSize());
        g_pTvWall->SetCellChannel(cells.nLeft, current);
        g_pTvWall->SetCellPicture(cells.nLeft, &frame);
        g_pTvWall->SetCellChannel(cells.nLive, next);
        if (MoveVideoTo(g_pTvWall->GetCellWindow(cells.nLive)))
            g_pChannelStore->SelectChannelQuiet(next, list);
    }
    ::DeleteObject(frame);
}

void CMainDlg::LeaveTvWall(int nAction, int nChannel)
{
    if (!g_pTvWall && (!g_pAppState || !g_pAppState->IsTvWall()))
        return;
    int list = GetInputType();
    int start = m_nTvWallStartChannel;
    int channel = start;
    if (nAction == TV_WALL_LEAVE_CURRENT && g_pChannelStore && list > 0)
        channel = g_pChannelStore->GetCurrent(list);
    else if (nAction == TV_WALL_LEAVE_CELL)
        channel = nChannel;
    // The wall's state ends before anything below can answer a message: the
    // graph's and the tune's waits answer what is sent, and a wall opened
    // there by the remote's key keeps its own start channel and steps.
    m_nTvWallSteps = 0;
    m_nTvWallStartChannel = 0;

    KillTimer(TIMER_TV_WALL);
    // The renderer's window is a child of the live cell: it must be back in
    // the video window before the cells go, or it goes with them.
    HWND video = g_pVideoWindow ? g_pVideoWindow->GetSafeHwnd() : NULL;
    if (g_pCaptureGraph && video) {
        g_pCaptureGraph->Stop();
        g_pCaptureGraph->SetOwnerWindow(video);
        g_pCaptureGraph->SetOwner(video);
    }
    DeleteTvWall();
    if (!IsWindowVisible())
        ShowWindow(SW_SHOW);
    if (video && !g_pVideoWindow->IsWindowVisible())
        g_pVideoWindow->ShowWindow(SW_SHOW);
    if (g_pAppState)
        g_pAppState->SetMode(MODE_TV_VIEW);

    if (g_pCaptureGraph && video && g_pSettings) {
        SIZE size = CaptureSizeOf(g_pSettings->m_nVideoSize);
        if (!g_pCaptureGraph->ResizeVideo(size.cx, size.cy))
            g_pCaptureGraph->Run();
        // A wall opened in the graph's waits has tuned its first cell.
        if (g_pChannelStore && list > 0 && !g_pTvWall)
            g_pChannelStore->SelectChannelInRange(channel < 1 ? start : channel, list, TRUE);
    }
    // Not over a wall that opened meanwhile.
    if (video && !g_pTvWall)
        g_pVideoWindow->SetForegroundWindow();
}

void CMainDlg::DeleteTvWall()
{
    delete g_pTvWall;
    g_pTvWall = NULL;
}
