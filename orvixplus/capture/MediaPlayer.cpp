// The framework's windows before DirectShow, whose headers bring windowsx.h macros.
#include "Afx.h"
#include "FileDialog.h"
#include "MediaPlayer.h"
#include "AppSettings.h"
#include "AppState.h"
#include "CaptureNames.h"
#include "Filters.h"
#include "Globals.h"
#include "MasterVolume.h"
#include <math.h>
#include <stdio.h>
#include <vector>

const char kMediaFileFilter[] =
    "MPEG File (*.mpg;*.mpeg)|*.mpg;*.mpeg|AVI File (*.avi)|*.avi|Mp3 File (*.mp3)|*.mp3|"
    "Wave File (*.wav)|*.wav|All Files (*.*)|*.*|";

CMediaPlayer::CMediaPlayer()
    : m_nRewindTimer(0), m_pVolume(new CMasterVolume), m_nVolume(0), m_nVolumeSteps(20),
      m_pOverlay(NULL), m_pRenderer(NULL), m_bChooseFile(TRUE)
{
    m_nVolumeMin = m_pVolume->GetMin();
    m_nVolumeMax = m_pVolume->GetMax();
    m_nVolume = m_pVolume->GetVolume();
    m_nVolumeStep = (m_nVolumeMax - m_nVolumeMin) / m_nVolumeSteps;
}

CMediaPlayer::~CMediaPlayer()
{
    CMediaPlayer::Release();
    delete m_pVolume;
}

BOOL CMediaPlayer::Create()
{
    if (!CreateGraph())
        return FALSE;
    // The mixer goes in first, so that rendering a file tries it before the
    // renderer's own conversions.
    m_pOverlay = new COverlayMixer(m_pGB);
    if (!m_pOverlay->Create()) {
        delete m_pOverlay;
        m_pOverlay = NULL;
    }
    RegisterInRot();
    return QueryInterfaces();
}

void CMediaPlayer::Release()
{
    delete m_pOverlay;
    m_pOverlay = NULL;
    delete m_pRenderer;
    m_pRenderer = NULL;
    CGraphControl::Release();
}

BOOL CMediaPlayer::Run()
{
    if (!m_pGB || !m_pMC)
        return FALSE;
    OAFilterState state = State_Stopped;
    if (m_pMC->GetState(10, &state) != E_FAIL && state == State_Running)
        return TRUE;
    return SUCCEEDED(m_pMC->Run());
}

BOOL CMediaPlayer::Stop()
{
    if (!m_pGB || !m_pMC)
        return FALSE;
    BOOL ok = SUCCEEDED(m_pMC->Stop());
    SetCurrentPosition(0);
    m_bChooseFile = FALSE;
    m_nRewindTimer = 0;
    return ok;
}

BOOL CMediaPlayer::Pause()
{
    if (!m_pMC)
        return FALSE;
    m_bChooseFile = FALSE;
    return SUCCEEDED(m_pMC->Pause());
}

BOOL CMediaPlayer::SetWindowPosition(int left, int top, int width, int height)
{
    if (!m_pVW)
        return FALSE;
    long visible = OAFALSE;
    m_pVW->get_Visible(&visible);
    m_pVW->put_Visible(OAFALSE);
    HRESULT hr = m_pVW->SetWindowPosition(left, top, width, height);
    m_pVW->put_Visible(visible);
    return SUCCEEDED(hr);
}

BOOL CMediaPlayer::SetNotifyWindow(HWND hWnd)
{
    return m_pME && SUCCEEDED(m_pME->SetNotifyWindow((OAHWND)hWnd, WM_GRAPH_NOTIFY, 0));
}

BOOL CMediaPlayer::OnGraphNotify()
{
    if (!m_pME)
        return FALSE;
    long code;
    LONG_PTR p1, p2;
    while (m_pME->GetEvent(&code, &p1, &p2, 0) == S_OK) {
        m_pME->FreeEventParams(code, p1, p2);
        if (code == EC_COMPLETE)
            return TRUE;
    }
    return FALSE;
}

REFERENCE_TIME SecondsToMediaTime(double seconds)
{
    // To the nearest unit rather than cut: 0.3 s made of 0.5 - 0.2 is a hair
    // below 3000000 units in extended precision and would cut to 1 unit
    // short. In the program only Stop seeks by seconds, and it passes 0.
    return (REFERENCE_TIME)llround(seconds * 1e7);
}

int MediaProgressPercent(REFERENCE_TIME position, REFERENCE_TIME duration)
{
    if (duration <= 0)
        return 0;
    return (int)(position * 100 / duration);
}

REFERENCE_TIME MediaTimeAtPercent(int percent, REFERENCE_TIME duration)
{
    return duration * percent / 100;
}

BOOL CMediaPlayer::GetPositionTime(REFERENCE_TIME* pTime)
{
    *pTime = 0;
    return m_pMS && SUCCEEDED(m_pMS->GetCurrentPosition(pTime));
}

BOOL CMediaPlayer::GetDurationTime(REFERENCE_TIME* pTime)
{
    *pTime = 0;
    return m_pMS && SUCCEEDED(m_pMS->GetDuration(pTime));
}

BOOL CMediaPlayer::GetCurrentPosition(double* pSeconds)
{
    REFERENCE_TIME t;
    if (!GetPositionTime(&t))
        return FALSE;
    *pSeconds = t / 1e7;
    return TRUE;
}

BOOL CMediaPlayer::GetDuration(double* pSeconds)
{
    REFERENCE_TIME t;
    if (!GetDurationTime(&t))
        return FALSE;
    *pSeconds = t / 1e7;
    return TRUE;
}

BOOL CMediaPlayer::SetCurrentPosition(double seconds)
{
    return SeekToTime(SecondsToMediaTime(seconds));
}

BOOL CMediaPlayer::SeekToTime(REFERENCE_TIME t)
{
    if (!m_pMS)
        return FALSE;
    // A file graph sought while running or paused can be left unable to
    // stop (its parser's stop waits for ever): seek it stopped, then put it
    // back in the state it was in.
    OAFilterState state = State_Stopped;
    if (m_pMC && m_pMC->GetState(10, &state) == E_FAIL)
        state = State_Stopped;
    if (state != State_Stopped)
        m_pMC->Stop();
    BOOL ok = SUCCEEDED(m_pMS->SetPositions(&t, AM_SEEKING_AbsolutePositioning |
                                                    AM_SEEKING_SeekToKeyFrame,
                                            NULL, AM_SEEKING_NoPositioning));
    if (state == State_Running)
        m_pMC->Run();
    else if (state == State_Paused)
        m_pMC->Pause();
    return ok;
}

BOOL CMediaPlayer::SeekToPercent(int percent)
{
    REFERENCE_TIME duration;
    return GetDurationTime(&duration) && SeekToTime(MediaTimeAtPercent(percent, duration));
}

BOOL CMediaPlayer::SetRate(double rate)
{
    return m_pMS && SUCCEEDED(m_pMS->SetRate(rate));
}

BOOL CMediaPlayer::RenderFile(LPCSTR pszPath)
{
    WCHAR wide[MAX_PATH];
    if (!m_pGB || !pszPath || !MultiByteToWideChar(CP_ACP, 0, pszPath, -1, wide, MAX_PATH))
        return FALSE;
    // The renderer the preview draws with goes in first. Left to itself the
    // file's graph ends in the default renderer (VMR-7), which under Wine
    // left the video window showing what was there before; this one draws
    // with GDI like the live picture.
    delete m_pRenderer;
    m_pRenderer = new CVideoRendererFilter(m_pGB);
    if (!m_pRenderer->Create()) {
        delete m_pRenderer;
        m_pRenderer = NULL;
    }
    HRESULT hr = m_pGB->RenderFile(wide, NULL);
    // A file without a picture (or with one only another renderer takes)
    // leaves ours unconnected: out it goes, or the graph would wait for its
    // end of stream and ask it for the picture.
    IPin* pIn = m_pRenderer ? m_pRenderer->FindPin(TRUE, NULL) : NULL;
    IPin* pPeer = NULL;
    if (pIn && pIn->ConnectedTo(&pPeer) == S_OK) {
        pPeer->Release();
    } else {
        delete m_pRenderer;
        m_pRenderer = NULL;
    }
    return SUCCEEDED(hr);
}

BOOL CMediaPlayer::ChooseFile(CString& strPath)
{
    CWnd* pMain = AfxGetMainWnd();
    HWND hMain = pMain ? pMain->GetSafeHwnd() : NULL;
    if (hMain)
        ::SendMessage(hMain, WM_FILE_DIALOG_OPENING, 0, 0);
    if (g_pAppState)
        g_pAppState->ChangeBusyCount(TRUE);
    CFileDialog dlg(TRUE, NULL, NULL, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST, kMediaFileFilter);
    BOOL ok = dlg.DoModal() == IDOK;
    if (g_pAppState)
        g_pAppState->ChangeBusyCount(FALSE);
    if (hMain)
        ::SendMessage(hMain, WM_FILE_DIALOG_CLOSED, 0, 0);
    if (!ok)
        return FALSE;
    strPath = dlg.GetPathName();
    if (g_pSettings)
        g_pSettings->m_strLastMediaFile = strPath;
    return TRUE;
}

BOOL CMediaPlayer::PlayFile(HWND hWnd)
{
    if (!m_bChooseFile) {
        SetRate(1.0);
        Run();
        return FALSE;
    }
    CString path;
    if (!ChooseFile(path) || !RenderFile(path) || !SetOwner(hWnd))
        return FALSE;
    SetNotifyWindow(NULL);
    return Run();
}

BOOL CMediaPlayer::StepBack()
{
    REFERENCE_TIME position = 0;
    GetPositionTime(&position);
    position -= kStepBackTime;
    if (position > 0) {
        SeekToTime(position);
        return TRUE;
    }
    m_bChooseFile = FALSE;
    SeekToTime(0);
    Stop();
    m_nRewindTimer = 0;
    return FALSE;
}

int CMediaPlayer::GetProgressPercent()
{
    REFERENCE_TIME position, duration;
    if (!GetPositionTime(&position) || !GetDurationTime(&duration))
        return 0;
    return MediaProgressPercent(position, duration);
}

void CMediaPlayer::EnableAudio(BOOL bOn)
{
    if (bOn)
        m_pVolume->SoundOn();
    else
        m_pVolume->SoundOff();
}

BOOL CMediaPlayer::SetVolume(int percent)
{
    int value = m_nVolumeMin + (m_nVolumeMax - m_nVolumeMin) * percent / 100;
    if (value < m_nVolumeMin)
        value = m_nVolumeMin;
    if (value > m_nVolumeMax)
        value = m_nVolumeMax;
    m_pVolume->SetVolume(value);
    m_nVolume = value;
    return TRUE;
}

CString CMediaPlayer::NextSnapshotName(LPCSTR pszFolder)
{
    return CString(pszFolder) + NextCaptureFileName(pszFolder, "*.bmp", ".bmp", m_arrNames);
}

namespace {

// The bytes of the header, colour masks and palette ahead of the pixels.
DWORD PixelOffset(const BITMAPINFOHEADER& h)
{
    DWORD masks = h.biCompression == BI_BITFIELDS ? 3 * sizeof(DWORD) : 0;
    DWORD colours = h.biClrUsed;
    if (!colours && h.biBitCount <= 8)
        colours = 1u << h.biBitCount;
    return h.biSize + masks + colours * sizeof(RGBQUAD);
}

DWORD ImageBytes(const BITMAPINFOHEADER& h)
{
    if (h.biSizeImage)
        return h.biSizeImage;
    LONG rows = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    return (DWORD)((h.biWidth * h.biBitCount + 31) / 32 * 4) * rows;
}

// Wine's renderer describes the image by its input format (YUY2, YV12) but
// hands out its 32-bit picture: the header is made to say what the pixels are.
bool IsYuvHeader(const BITMAPINFOHEADER& h)
{
    return h.biCompression == MAKEFOURCC('Y', 'U', 'Y', '2') ||
           h.biCompression == MAKEFOURCC('Y', 'V', '1', '2') ||
           h.biCompression == MAKEFOURCC('I', '4', '2', '0');
}

}  // namespace

namespace {

// The picture the renderer shows in its window, at the video's size, as a
// 24-bit bottom-up DIB (header and pixels).
bool WindowImage(HWND hWnd, long w, long h, std::vector<BYTE>* dib)
{
    RECT rc = {};
    if (!hWnd || !GetClientRect(hWnd, &rc) || rc.right <= 0 || rc.bottom <= 0)
        return false;
    BITMAPINFOHEADER bih = {};
    bih.biSize = sizeof(bih);
    bih.biWidth = w;
    bih.biHeight = h;
    bih.biPlanes = 1;
    bih.biBitCount = 24;
    bih.biCompression = BI_RGB;
    bih.biSizeImage = ImageBytes(bih);
    HDC hWindow = GetDC(hWnd);
    if (!hWindow)
        return false;
    HDC hMem = CreateCompatibleDC(hWindow);
    void* bits = NULL;
    HBITMAP hBmp = CreateDIBSection(hWindow, (BITMAPINFO*)&bih, DIB_RGB_COLORS, &bits, NULL, 0);
    bool ok = hMem && hBmp && bits;
    if (ok) {
        HGDIOBJ old = SelectObject(hMem, hBmp);
        SetStretchBltMode(hMem, HALFTONE);
        ok = StretchBlt(hMem, 0, 0, w, h, hWindow, 0, 0, rc.right, rc.bottom, SRCCOPY) != FALSE;
        GdiFlush();
        if (ok) {
            dib->assign((const BYTE*)&bih, (const BYTE*)&bih + sizeof(bih));
            dib->insert(dib->end(), (const BYTE*)bits, (const BYTE*)bits + bih.biSizeImage);
        }
        SelectObject(hMem, old);
    }
    if (hBmp)
        DeleteObject(hBmp);
    if (hMem)
        DeleteDC(hMem);
    ReleaseDC(hWnd, hWindow);
    return ok;
}

}  // namespace

// The renderer's window: the owner's child at the picture's place, else
// its first shown child.
HWND CMediaPlayer::VideoWindowHwnd()
{
    if (!m_hOwner || !IsWindow(m_hOwner))
        return NULL;
    long left = 0, top = 0, width = 0, height = 0;
    if (m_pVW && SUCCEEDED(m_pVW->GetWindowPosition(&left, &top, &width, &height))) {
        POINT p = {left + width / 2, top + height / 2};
        HWND hChild = ChildWindowFromPointEx(m_hOwner, p, CWP_SKIPINVISIBLE);
        if (hChild && hChild != m_hOwner)
            return hChild;
    }
    for (HWND h = GetWindow(m_hOwner, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
        if (IsWindowVisible(h))
            return h;
    return NULL;
}

// The renderer's own copy of the picture where it keeps one; Wine's GDI
// renderer holds none while it runs, so then the picture in its window.
BOOL CMediaPlayer::CurrentImage(long w, long h, std::vector<BYTE>* dib, DWORD* pOffset)
{
    // Wine does not answer the size query (NULL buffer): room for a header
    // with masks and four bytes a pixel covers every format it hands out.
    long size = 52 + w * h * 4;
    std::vector<BYTE> image(size);
    if (FAILED(m_pBV->GetCurrentImage(&size, (long*)image.data())))
        return FALSE;
    Sleep(20);
    if (size < (long)sizeof(BITMAPINFOHEADER) || size > (long)image.size())
        return FALSE;
    BITMAPINFOHEADER bih;
    memcpy(&bih, image.data(), sizeof(bih));
    if (IsYuvHeader(bih)) {
        // Only as many bytes as the YUV picture would take came: the rows
        // those hold of the 32-bit one.
        LONG rows = (LONG)(ImageBytes(bih) / ((DWORD)w * 4));
        bih.biHeight = bih.biHeight < 0 ? -rows : rows;
        bih.biBitCount = 32;
        bih.biCompression = BI_RGB;
        bih.biSizeImage = (DWORD)(w * rows * 4);
        bih.biClrUsed = 0;
        memcpy(image.data(), &bih, sizeof(bih));
        size = (long)(sizeof(bih) + bih.biSizeImage);
    }
    DWORD offset = PixelOffset(bih);
    if (offset > (DWORD)size)
        return FALSE;
    DWORD bytes = ImageBytes(bih);
    if (bytes > (DWORD)size - offset)
        bytes = (DWORD)size - offset;
    dib->assign(image.begin(), image.begin() + offset + bytes);
    *pOffset = offset;
    return TRUE;
}

BOOL CMediaPlayer::SaveSnapshot(LPCSTR pszFolder)
{
    if (!pszFolder || !*pszFolder || !m_pBV)
        return FALSE;
    long w = 0, h = 0;
    if (FAILED(m_pBV->GetVideoSize(&w, &h)) || w <= 0 || h <= 0)
        return FALSE;
    std::vector<BYTE> dib;
    DWORD offset = 0;
    if (!CurrentImage(w, h, &dib, &offset)) {
        if (!WindowImage(VideoWindowHwnd(), w, h, &dib))
            return FALSE;
        offset = sizeof(BITMAPINFOHEADER);
    }

    BITMAPFILEHEADER bfh = {};
    bfh.bfType = 0x4D42;
    bfh.bfSize = (DWORD)(sizeof(bfh) + dib.size());
    bfh.bfOffBits = (DWORD)sizeof(bfh) + offset;
    CString path = NextSnapshotName(pszFolder);
    FILE* f = fopen(path, "w+b");
    if (!f)
        return FALSE;
    bool ok = fwrite(&bfh, sizeof(bfh), 1, f) == 1 && fwrite(dib.data(), dib.size(), 1, f) == 1;
    ok = fclose(f) == 0 && ok;
    if (!ok)
        DeleteFileA(path);
    return ok;
}
