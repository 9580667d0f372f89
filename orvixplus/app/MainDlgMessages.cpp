// The main dialog's private messages, the remote control and the timers.
#include "MainDlg.h"
#include "AppMessages.h"
#include "AppSettings.h"
#include "AppState.h"
#include "ChannelRecord.h"
#include "ChannelStore.h"
#include "Globals.h"
#include "MainLayout.h"
#include "ScheduleList.h"
#include "TimerSeam.h"
#include "VideoWindow.h"
#include <stdio.h>

void CMainDlg::OnShowChannelRecord(LPARAM lParam)
{
    // The record is a pointer into the tuning page's list: only a send from
    // this thread can carry one. Posted ones are dropped before dispatch
    // (PreTranslateMessage), and a box's own loop, which would dispatch them,
    // keeps the message out altogether.
    const ChannelRecord* rec = (const ChannelRecord*)lParam;
    if (!rec || (::InSendMessageEx(NULL) & ISMEX_SEND) || OpenMessageBoxes() > 0)
        return;
    if (!g_pAppState || !g_pAppState->IsTvViewing())
        return;
    ShowVideoWindow();
    char text[64];
    snprintf(text, sizeof(text), " %d", rec->nNumber);
    SetLabelText("timer_filesize", text);
    char name[sizeof(rec->szName) + 1];
    memcpy(name, rec->szName, sizeof(rec->szName));
    name[sizeof(rec->szName)] = 0;
    char caption[96];
    snprintf(caption, sizeof(caption), "%s %d", name, rec->nNumber);
    ShowChannelText(caption);
}

void CMainDlg::OnScheduleReload()
{
    if (g_pScheduleList && g_pSettings)
        g_pScheduleList->Load(g_pSettings->m_strAppFolder + "schedulefile.she");
    ForwardToScheduleWindow(WM_COMMAND, ID_SCHEDULE_FILE_CHANGED);
}

void CMainDlg::OnRemoteMessage(WPARAM wParam, LPARAM lParam)
{
    if (!m_keptRemote.Keep(wParam, lParam))
        HandleRemoteMessage(wParam, lParam);
}

void CMainDlg::HandleRemoteMessage(WPARAM wParam, LPARAM lParam)
{
    if (!g_pChannelStore)
        return;
    if (wParam == 0 && IsRemoteKeyCode(lParam))
        OnRemoteKey((int)lParam);
    else if (wParam == 1)
        OnRemoteChannelNumber((int)lParam);
}

void CMainDlg::SetLabelText(LPCSTR pszElement, LPCSTR pszText)
{
    BOOL bHere = !m_hWnd || ::GetWindowThreadProcessId(m_hWnd, NULL) == ::GetCurrentThreadId();
    BOOL bPost = FALSE;
    {
        CSingleLock lock(&m_csLabelTexts);
        std::vector<LabelText>::iterator kept = m_labelTexts.begin();
        while (kept != m_labelTexts.end() && kept->strElement != pszElement)
            ++kept;
        if (bHere) {
            // A text another thread left for this label is older than this
            // one: the dialog's turn to set it must not bring it back.
            if (kept != m_labelTexts.end())
                m_labelTexts.erase(kept);
        } else {
            if (kept != m_labelTexts.end()) {
                kept->strText = pszText;
            } else {
                LabelText t = {pszElement, pszText};
                m_labelTexts.push_back(t);
            }
            // One post stands for all texts left until it is handled.
            bPost = !m_bLabelTextsPosted;
            m_bLabelTextsPosted = TRUE;
        }
    }
    if (bHere) {
        if (CShapeTimer* label = FindTextItem(pszElement))
            label->SetText(pszText, "");
        return;
    }
    // A post that failed stands for nothing: the next text posts again.
    if (bPost && !PostLabelTexts()) {
        CSingleLock lock(&m_csLabelTexts);
        m_bLabelTextsPosted = FALSE;
    }
}

BOOL CMainDlg::PostLabelTexts()
{
    return PostMessage(WM_APP_LABEL_TEXTS, 0, 0);
}

void CMainDlg::OnLabelTexts()
{
    std::vector<LabelText> texts;
    {
        CSingleLock lock(&m_csLabelTexts);
        texts.swap(m_labelTexts);
        m_bLabelTextsPosted = FALSE;
    }
    for (const LabelText& t : texts)
        if (CShapeTimer* label = FindTextItem(t.strElement))
            label->SetText(t.strText, "");
}

void CMainDlg::OnRemoteKey(int nCode)
{
    int mode = g_pAppState ? g_pAppState->GetMode() : 0;
    switch (nCode) {
    case 11:
        m_bOneDigit = !m_bOneDigit;
        if (mode == MODE_TV_VIEW)
            ShowChannelText(m_bOneDigit ? "-" : "--");
        break;
    case 12:
        if (mode == MODE_TV_VIEW && g_pChannelStore) {
            EndScheduledRunIfActive();
            g_pChannelStore->RecallPreviousChannel();
        }
        break;
    case 13: ChangeChannel(FALSE); break;
    case 14: ChangeChannel(TRUE); break;
    case 15: StepVolume(-m_nVolumeStep); break;
    case 16: StepVolume(m_nVolumeStep); break;
    case 17: SelectTvSource(); break;
    case 18:
        SetFocus();
        if (HWND capture = ::GetCapture())
            if (capture != m_hWnd)
                ::ReleaseCapture();
        CloseRequest();
        break;
    case 19: ToggleMute(); break;
    case 20: OnSkinCommand("RECORD_MOVIE"); break;
    case 21: StopMovie(); break;
    case 22:
        if (mode != MODE_TV_WALL)
            ActivateMainWindow();
        break;
    case 23:
        if (mode == MODE_TV_WALL)
            PostMessage(WM_APP_LEAVE_TV_WALL, 3, 0);
        else
            ToggleTvWall();
        break;
    case 24: TogglePropertyWindow(); break;
    case 25:
        if (g_pVideoWindow && g_pVideoWindow->GetSafeHwnd())
            g_pVideoWindow->SendMessage(WM_VIDEO_TOGGLE_FULL, 0, 0);
        break;
    case 26: PlayMovie(); break;
    case 27:
        if (mode == MODE_TV_VIEW && g_pChannelStore)
            g_pChannelStore->ShowChannelCaption();
        break;
    case 28: SelectCompositeSource(); break;
    case 29: SelectSVideoSource(); break;
    case 30: TakeSnapshot(); break;
    }
}

LRESULT CMainDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_APP_PLAYER_EVENT:
        OnPlayerEvent();
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == ID_SCHEDULE_FILE_CHANGED) {
            OnScheduleReload();
            return 0;
        }
        break;
    case WM_APP_REMOTE:
        OnRemoteMessage(wParam, lParam);
        return 0;
    case WM_APP_SHOW_CHANNEL:
        OnShowChannelRecord(lParam);
        return 0;
    case WM_APP_SOURCE_CHANGED:
        OnSourceChanged((int)wParam);
        return 0;
    case WM_APP_VOLUME_UP:
    case WM_APP_VOLUME_DOWN:
        VolumeKey(message == WM_APP_VOLUME_UP ? m_nVolumeStep : -m_nVolumeStep);
        return 0;
    case WM_CHANNEL_UP:
    case WM_CHANNEL_DOWN:
        ChangeChannel(message == WM_CHANNEL_UP);
        return 0;
    case WM_APP_TOGGLE_SCAN:
        StartChannelScan();
        return 0;
    case WM_APP_STOP_SCAN:
        OnStopScan();
        return 0;
    case WM_APP_LEAVE_TV_WALL:
        LeaveTvWall((int)wParam, (int)lParam);
        return 0;
    case WM_APP_SCHEDULE_CLOSED:
        DeleteScheduleWindow();
        return 0;
    case WM_APP_SCHEDULED_END:
        EndScheduledRun();
        return 0;
    case WM_APP_PAUSE_SCHEDULE:
        KillTimer(TIMER_SCHEDULE);
        return 0;
    case WM_APP_RESUME_SCHEDULE:
        SetTimer(TIMER_SCHEDULE, ScaledTimerPeriod(5000));
        return 0;
    case WM_APP_LABEL_TEXTS:
        OnLabelTexts();
        return 0;
    case WM_APP_PROP_SHOWN:
        SetButtonTip("PROPERTY_PAGE", wParam ? "关闭功能属性页" : "功能属性");
        return 0;
    }
    return CShapeDialog::WindowProc(message, wParam, lParam);
}

// ---- timers ----------------------------------------------------------------

static int TimerBit(UINT_PTR nIDEvent)
{
    switch (nIDEvent) {
    case TIMER_NUMBER_BUTTONS: return 0;
    case TIMER_TYPED_NUMBER:   return 1;
    case TIMER_RECORD_CLOCK:   return 2;
    case TIMER_TV_WALL:        return 3;
    case TIMER_SCHEDULE:       return 4;
    case TIMER_SCHEDULED_RUN:  return 5;
    case TIMER_REWIND:         return 6;
    case TIMER_PLAY_POSITION:  return 7;
    case TIMER_DISK_SPACE:     return 8;
    default:                   return -1;
    }
}

void CMainDlg::DispatchTimer(UINT_PTR nIDEvent)
{
    // Number entry, the scheduled run's clock and playback do not need a
    // graph: without one they must still come to their end.
    BOOL graph = g_pCaptureGraph != NULL;
    switch (nIDEvent) {
    case TIMER_NUMBER_BUTTONS: OnNumberButtonTimer(); break;
    case TIMER_TYPED_NUMBER:   OnTypedNumberTimer(); break;
    case TIMER_RECORD_CLOCK:   if (graph) OnRecordClockTick(); break;
    case TIMER_TV_WALL:        if (graph) OnTvWallStep(); break;
    case TIMER_SCHEDULE:       if (graph) CheckSchedule(); break;
    case TIMER_SCHEDULED_RUN:  OnScheduledRunTick(); break;
    case TIMER_REWIND:         OnRewindTick(); break;
    case TIMER_PLAY_POSITION:  OnPlayPositionTick(); break;
    case TIMER_DISK_SPACE:     if (graph) OnDiskSpaceTimer(); break;
    }
}

void CMainDlg::OnTimer(UINT_PTR nIDEvent)
{
    int bit = TimerBit(nIDEvent);
    if (bit < 0) {
        CShapeDialog::OnTimer(nIDEvent);
        return;
    }
    // A message box in the work runs the loop: a tick then is dropped.
    DWORD mask = 1u << bit;
    if (m_dwTimersBusy & mask)
        return;
    m_dwTimersBusy |= mask;
    DispatchTimer(nIDEvent);
    m_dwTimersBusy &= ~mask;
}
