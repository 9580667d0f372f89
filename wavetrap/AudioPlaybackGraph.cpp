#include "AudioPlaybackGraph.h"
#include "DebugTrace.h"
#include "Seams.h"

CAudioPlaybackGraph::CAudioPlaybackGraph()
    : m_bPaused(FALSE), m_pGBPlayback(NULL), m_pMCPlayback(NULL), m_pMEPlayback(NULL)
{
}

CAudioPlaybackGraph::~CAudioPlaybackGraph()
{
    Stop();
}

void CAudioPlaybackGraph::ReleaseGraph()
{
    if (m_pMEPlayback) {
        m_pMEPlayback->SetNotifyWindow(0, 0, 0);
        m_pMEPlayback->Release();
        m_pMEPlayback = NULL;
    }
    if (m_pMCPlayback) {
        m_pMCPlayback->Release();
        m_pMCPlayback = NULL;
    }
    if (m_pGBPlayback) {
        m_pGBPlayback->Release();
        m_pGBPlayback = NULL;
    }
    m_bPaused = FALSE;
}

BOOL CAudioPlaybackGraph::InitPlayback()
{
    ReleaseGraph();
    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                  (void**)&m_pGBPlayback);
    if (FAILED(hr))
        return FALSE;
    hr = m_pGBPlayback->QueryInterface(IID_IMediaControl, (void**)&m_pMCPlayback);
    if (FAILED(hr)) {
        TraceFailed(hr, "m_pGBPlayback->QueryInterface(IID_IMediaControl, (void **)&m_pMCPlayback)");
        return FALSE;
    }
    hr = m_pGBPlayback->QueryInterface(IID_IMediaEventEx, (void**)&m_pMEPlayback);
    if (FAILED(hr)) {
        TraceFailed(hr, "m_pGBPlayback->QueryInterface(IID_IMediaEventEx, (void **)&m_pMEPlayback)");
        return FALSE;
    }
    return TRUE;
}

BOOL CAudioPlaybackGraph::SetPlayFileName(LPCWSTR pszPath)
{
    if (!pszPath)
        return FALSE;
    if (GetFileAttributesW(pszPath) == INVALID_FILE_ATTRIBUTES) {
        FwMessageBox(NULL, "This file does not exist!", "Information!", MB_ICONINFORMATION);
        return FALSE;
    }
    m_strPlayFile = pszPath;
    return TRUE;
}

BOOL CAudioPlaybackGraph::Play()
{
    // Stopped or ended, the graph is gone: InitPlayback builds the next one.
    if (!m_pGBPlayback || !m_pMCPlayback)
        return FALSE;
    if (m_strPlayFile.empty())
        FwMessageBox(NULL, "Please input play file name!.", NULL, MB_ICONINFORMATION);
    if (m_bPaused) {
        m_pMCPlayback->Run();
        m_bPaused = FALSE;
        return TRUE;
    }
    // A file that cannot be rendered leaves the graph empty: nothing plays.
    if (!m_strPlayFile.empty())
        m_pGBPlayback->RenderFile(m_strPlayFile.c_str(), NULL);
    m_pMCPlayback->Run();
    m_bPaused = FALSE;
    return TRUE;
}

BOOL CAudioPlaybackGraph::PausePlayback()
{
    if (!m_pMCPlayback)
        return FALSE;
    m_pMCPlayback->Pause();
    m_bPaused = TRUE;
    return TRUE;
}

BOOL CAudioPlaybackGraph::Stop()
{
    if (!m_pMCPlayback) {
        ReleaseGraph();
        return FALSE;
    }
    HRESULT hr = m_pMCPlayback->Stop();
    ReleaseGraph();
    return SUCCEEDED(hr);
}

BOOL CAudioPlaybackGraph::HandlePlaybackEvent()
{
    if (!m_pMEPlayback)
        return FALSE;
    long code;
    LONG_PTR param1, param2;
    while (m_pMEPlayback->GetEvent(&code, &param1, &param2, 0) == S_OK) {
        m_pMEPlayback->FreeEventParams(code, param1, param2);
        if (code == EC_COMPLETE) {
            Stop();
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CAudioPlaybackGraph::SetNotifyWindow(HWND hwnd, UINT uMsg, LONG_PTR lInstanceData)
{
    if (!m_pMEPlayback)
        return FALSE;
    return SUCCEEDED(m_pMEPlayback->SetNotifyWindow((OAHWND)hwnd, uMsg, lInstanceData));
}
