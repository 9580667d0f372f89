// The main dialog's skin elements, keys and sound.
#include "MainDlg.h"
#include "AppMessages.h"
#include "AppSettings.h"
#include "AppState.h"
#include "CaptureGraph.h"
#include "ChannelStore.h"
#include "Globals.h"
#include "MainLayout.h"
#include "ShellSeam.h"
#include "VideoWindow.h"
#include <stdio.h>
#include <string.h>

static BOOL Is(LPCTSTR name, const char* element)
{
    return name && strcmp(name, element) == 0;
}

void CMainDlg::OnSkinCommand(LPCTSTR lpszName)
{
    // Every entry is tested: a name that matches two entries runs both.
    int mode = g_pAppState ? g_pAppState->GetMode() : 0;
    if (Is(lpszName, "TV"))
        SelectTvSource();
    if (Is(lpszName, "Composite"))
        SelectCompositeSource();
    if (Is(lpszName, "SVideo"))
        SelectSVideoSource();
    if (Is(lpszName, "FM") &&
        (mode == MODE_TV_VIEW || mode == MODE_COMPOSITE_VIEW || mode == MODE_SVIDEO_VIEW))
        EndScheduledRunIfActive();
    if (Is(lpszName, "RECORD_MOVIE") && !EndRunBeforeRecordButton())
        OnRecordButton();
    if (Is(lpszName, "STOP_MOVIE"))
        StopMovie();
    if (Is(lpszName, "PROPERTY_PAGE"))
        TogglePropertyWindow();
    if (Is(lpszName, "PLAY_MOVIE"))
        PlayMovie();
    if (Is(lpszName, "BACK_MOVIE"))
        BackMovie();
    if (Is(lpszName, "AHEAD_MOVIE"))
        AheadMovie();
    if (Is(lpszName, "PAUSE_MOVIE"))
        PauseMovie();
    if (Is(lpszName, "WWW") || Is(lpszName, "WebLink"))
        FwShellExecute(m_hWnd, "open", ORVIX_WEB_ADDRESS, NULL, NULL, SW_SHOWNORMAL);
    if (Is(lpszName, "TIMED_RECORD"))
        OpenScheduleWindow();
    if (Is(lpszName, "SCAN_CHANNELS"))
        StartChannelScan();
    if (Is(lpszName, "CAPTURE_PICTURES"))
        TakeSnapshot();
    if (Is(lpszName, "TV_WALLS"))
        ToggleTvWall();
    if (Is(lpszName, "ADD_SND"))
        StepVolume(m_nVolumeStep);
    if (Is(lpszName, "MUTE_SND"))
        ToggleMute();
    if (Is(lpszName, "SUB_SND"))
        StepVolume(-m_nVolumeStep);
    if (Is(lpszName, "MINIMIZE"))
        PostMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    if (Is(lpszName, "CLOSE"))
        CloseRequest();
    if (Is(lpszName, "NEXT_CHANNELS"))
        ChangeChannel(TRUE);
    if (Is(lpszName, "PRE_CHANNELS"))
        ChangeChannel(FALSE);
    for (int i = 0; i <= 9; ++i) {
        char name[16];
        snprintf(name, sizeof(name), "NUMBER_%d", i);
        if (Is(lpszName, name))
            OnNumberButton(i);
    }
    // "HELP" and "NO_CHANNELS" do nothing.
}

void CMainDlg::CloseRequest()
{
    if (!g_pAppState)
        return;
    switch (g_pAppState->GetMode()) {
    // Radio too: its only other way out is the video window's close.
    case MODE_TV_VIEW: case MODE_PLAY_FILE: case MODE_COMPOSITE_VIEW: case MODE_SVIDEO_VIEW:
    case MODE_FM_RADIO:
        PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }
}

void CMainDlg::OnSkinProgress(LPCTSTR lpszName, int nPos)
{
    if (!g_pCaptureGraph || !g_pAppState)
        return;
    if (Is(lpszName, "PROGRESS_VOLUME")) {
        if (IsLiveSoundMode())
            SetVolumeFromSlider(nPos);
        else if (g_pAppState->IsPlayingFile())
            OnPlayerVolumeSlider(nPos);
    }
    if (Is(lpszName, "PROGRESS_POS") && g_pAppState->IsPlayingFile())
        OnPlayerPositionSlider(nPos);
}

void CMainDlg::OnSkinProgressEnd(LPCTSTR lpszName, int nPos)
{
    OnSkinProgress(lpszName, nPos);
}

// ---- sound -------------------------------------------------------------

BOOL CMainDlg::IsLiveSoundMode() const
{
    if (!g_pAppState)
        return FALSE;
    int mode = g_pAppState->GetMode();
    return mode == MODE_TV_VIEW || mode == MODE_COMPOSITE_VIEW || mode == MODE_SVIDEO_VIEW ||
           mode == MODE_FM_RADIO;
}

void CMainDlg::UnmuteIfMuted()
{
    if (!m_bMuted)
        return;
    if (g_pCaptureGraph)
        g_pCaptureGraph->EnableAudio(TRUE);
    m_bMuted = FALSE;
}

void CMainDlg::ApplyVolume(int nVolume)
{
    m_nVolume = ClampVolume(nVolume);
    if (g_pSettings)
        g_pSettings->m_nVolume = m_nVolume;
    if (g_pCaptureGraph)
        g_pCaptureGraph->SetVolume(m_nVolume);
    SetProgressPos("PROGRESS_VOLUME", m_nVolume);
    ShowVolumeBar();
}

void CMainDlg::StepVolume(int nDelta)
{
    if (!g_pAppState || g_pAppState->IsBusy())
        return;
    if (IsLiveSoundMode()) {
        if (!g_pCaptureGraph)
            return;
        UnmuteIfMuted();
        if (!EnsureGraph())
            return;
        ApplyVolume(m_nVolume + nDelta);
    } else if (g_pAppState->IsPlayingFile()) {
        StepPlayerVolume(nDelta);
    }
}

void CMainDlg::VolumeKey(int nDelta)
{
    if (!IsLiveSoundMode() || !g_pCaptureGraph || !IsMainOrVideoWindow(::GetFocus()))
        return;
    UnmuteIfMuted();
    ShowVideoWindow();
    ApplyVolume(m_nVolume + nDelta);
}

void CMainDlg::SetVolumeFromSlider(int nPos)
{
    UnmuteIfMuted();
    m_nVolume = ClampVolume(nPos);
    if (g_pSettings)
        g_pSettings->m_nVolume = m_nVolume;
    g_pCaptureGraph->SetVolume(m_nVolume);
    ShowVolumeBar();
}

void CMainDlg::ToggleMute()
{
    if (!g_pAppState)
        return;
    if (IsLiveSoundMode()) {
        if (!EnsureGraph())
            return;
        m_bMuted = !m_bMuted;
        g_pCaptureGraph->EnableAudio(!m_bMuted);
        ShowOsdMessage(m_bMuted ? "Mute On" : "Mute Off");
    } else if (g_pAppState->IsPlayingFile()) {
        TogglePlayerMute();
    }
}

// ---- on-screen display ---------------------------------------------------

static int VideoSize()
{
    return g_pSettings ? g_pSettings->m_nVideoSize : 2;
}

// The width the text takes on the video window in the dialog's font.
static int MeasureOnVideo(HFONT hFont, LPCSTR pszText)
{
    HWND hVideo = g_pVideoWindow ? g_pVideoWindow->GetSafeHwnd() : NULL;
    HDC hDC = ::GetDC(hVideo);
    if (!hDC)
        return 0;
    HGDIOBJ old = hFont ? ::SelectObject(hDC, hFont) : NULL;
    SIZE size = {0, 0};
    ::GetTextExtentPoint32A(hDC, pszText, (int)strlen(pszText), &size);
    if (old)
        ::SelectObject(hDC, old);
    ::ReleaseDC(hVideo, hDC);
    return size.cx;
}

// The dialog's font at another height, for the picture's texts.
static LOGFONTA OsdFont(HFONT hFont, int nHeight)
{
    LOGFONTA lf = {};
    if (!hFont || !::GetObjectA(hFont, sizeof(lf), &lf))
        ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    if (nHeight > 0)
        lf.lfHeight = nHeight;
    return lf;
}

void CMainDlg::ShowChannelText(LPCSTR pszText)
{
    if (!g_pCaptureGraph || !g_pSettings || !g_pSettings->m_bOsd || !pszText)
        return;
    // The channel scan's worker shows its steps here too, in the font kept
    // for it as the scan began (GetTextFont).
    HFONT hFont = GetTextFont();
    OsdTextPlace p = ChannelTextPlace(VideoSize(), MeasureOnVideo(hFont, pszText));
    g_pCaptureGraph->ShowOsdText(pszText, p.x, p.y, OsdFont(hFont, p.nHeight));
}

void CMainDlg::ShowOsdMessage(LPCSTR pszText)
{
    if (!g_pCaptureGraph)
        return;
    OsdTextPlace p = MuteTextPlace(VideoSize());
    g_pCaptureGraph->ShowOsdText(pszText, p.x, p.y, OsdFont(GetTextFont(), p.nHeight));
}

void CMainDlg::ShowVolumeBar()
{
    if (!g_pCaptureGraph || !g_pSettings || !g_pSettings->m_bOsd)
        return;
    OsdLevelPlace p = VolumeBarPlace(VideoSize());
    g_pCaptureGraph->ShowOsdLevel(m_nVolume, p.x, p.y, p.cx, p.cy, p.nSteps,
                                  OsdFont(GetTextFont(), p.nFontHeight));
}

// ---- keys ------------------------------------------------------------------

BOOL CMainDlg::IsMainOrVideoWindow(HWND hWnd) const
{
    if (!hWnd)
        return FALSE;
    if (hWnd == m_hWnd || ::IsChild(m_hWnd, hWnd))
        return TRUE;
    HWND hVideo = g_pVideoWindow ? g_pVideoWindow->GetSafeHwnd() : NULL;
    // A click on the picture focuses the renderer's window inside it.
    return hVideo && (hWnd == hVideo || ::IsChild(hVideo, hWnd));
}

void CMainDlg::SelectEdgeChannel(BOOL bHighest)
{
    EndScheduledRunIfActive();
    if (!g_pSettings || !g_pChannelStore)
        return;
    int list = g_pSettings->m_nInputSource;
    if (list != 1 && list != 2)
        return;
    int number = bHighest ? g_pChannelStore->GetMaxChannel(list) : g_pChannelStore->GetMinChannel(list);
    if (number > 0)
        g_pChannelStore->SelectChannel(number, list, TRUE);
}

BOOL CMainDlg::OnKeyDown(MSG* pMsg)
{
    UINT key = (UINT)pMsg->wParam;
    if (key == VK_RETURN || key == VK_ESCAPE) {
        // Straight to the window: the dialog manager would end the dialog.
        ::TranslateMessage(pMsg);
        ::DispatchMessage(pMsg);
        return TRUE;
    }
    if (key == VK_LEFT || key == VK_RIGHT) {
        VolumeKey(key == VK_RIGHT ? m_nVolumeStep : -m_nVolumeStep);
        return FALSE;
    }
    if (key >= '0' && key <= '9') {
        OnTypedDigit((int)(key - '0'));
        return FALSE;
    }
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) {
        OnTypedDigit((int)(key - VK_NUMPAD0));
        return FALSE;
    }
    if (!IsMainOrVideoWindow(::GetActiveWindow()) || !g_pAppState)
        return FALSE;
    int mode = g_pAppState->GetMode();
    switch (key) {
    case VK_UP:
    case VK_DOWN:
        ChangeChannel(key == VK_UP);
        break;
    case 'M':
        ToggleMute();
        break;
    case 'S':
        if (mode == MODE_PLAY_FILE)
            StopMovie();
        StartChannelScan();
        break;
    case 'T':
        ToggleTvWall();
        break;
    case 'O':
        if (mode == MODE_TV_VIEW && g_pChannelStore)
            g_pChannelStore->ShowChannelCaption();
        break;
    case 'P':
        if (mode == MODE_TV_VIEW || mode == MODE_COMPOSITE_VIEW || mode == MODE_SVIDEO_VIEW)
            TogglePropertyWindow();
        else if (mode == MODE_PLAY_FILE)
            PauseMovie();
        break;
    case 'L':
        if (mode == MODE_TV_VIEW && g_pChannelStore) {
            EndScheduledRunIfActive();
            g_pChannelStore->RecallPreviousChannel();
        }
        break;
    case 'A':
        if (mode != MODE_TV_WALL)
            ActivateMainWindow();
        break;
    case 'F':
        AheadMovie();
        break;
    case 'B':
        BackMovie();
        break;
    case VK_HOME:
    case VK_END:
        SelectEdgeChannel(key == VK_END);
        break;
    }
    return FALSE;
}

BOOL CMainDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && OnKeyDown(pMsg))
        return TRUE;
    // Its pointer is only good when sent from this thread.
    if (pMsg->message == WM_APP_SHOW_CHANNEL && pMsg->hwnd == m_hWnd)
        return TRUE;
    return CShapeDialog::PreTranslateMessage(pMsg);
}
