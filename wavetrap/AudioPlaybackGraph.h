// The playback engine behind IAudioCapture: one filter graph that plays one
// sound file through the graph's own rendering, with pause, resume, stop and
// the end of the stream.
#pragma once
#include <windows.h>
#include <dshow.h>
#include <string>

class CAudioPlaybackGraph {
public:
    CAudioPlaybackGraph();
    ~CAudioPlaybackGraph();

    BOOL InitPlayback();
    BOOL SetPlayFileName(LPCWSTR pszPath);
    BOOL Play();
    BOOL PausePlayback();
    BOOL Stop();
    // TRUE once the end of the stream was seen; the graph is then released.
    BOOL HandlePlaybackEvent();
    BOOL SetNotifyWindow(HWND hwnd, UINT uMsg, LONG_PTR lInstanceData);

    IGraphBuilder* GetGraph() const { return m_pGBPlayback; }
    const std::wstring& GetPlayFileName() const { return m_strPlayFile; }

private:
    void ReleaseGraph();

    BOOL m_bPaused;
    IGraphBuilder* m_pGBPlayback;
    IMediaControl* m_pMCPlayback;
    IMediaEventEx* m_pMEPlayback;
    std::wstring m_strPlayFile;
};
