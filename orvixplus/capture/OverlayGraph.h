// The capture graph for live viewing: the on-screen display right behind the
// capture device, the image grabber for snapshots before the video invert
// filter, and the base chain to the renderer. The only kind that rebuilds
// itself in place: another input, another size, released for a media file
// and restarted after it.
#pragma once
#include "CaptureGraph.h"

class CImageGrabber;
class COverlayFilter;
class CVmr9Filter;

class COverlayGraph : public CCaptureGraph {
public:
    COverlayGraph();
    ~COverlayGraph() override;

    BOOL ClearOsd() override;
    void ReleasePreview() override;
    BOOL RestartPreview(int input, int width, int height) override;
    BYTE* GrabFrameRGB(int* pWidth = NULL, int* pHeight = NULL) override;
    HBITMAP GrabFrameBitmap() override;
    BOOL GetFrameSize() override;
    BOOL StartSmallPreview() override;
    BOOL SwitchInput(int input, int width, int height) override;
    BOOL ShowOsdLevel(int level, int x, int y, int width, int height, int steps,
                      const LOGFONTA& font) override;
    BOOL ShowOsdText(LPCSTR pszText, int x, int y, const LOGFONTA& font) override;
    BOOL ResizeVideo(int width, int height) override;
    BOOL SaveSnapshot(LPCSTR pszFolder) override;
    void DestroyFilters() override;
    BOOL ConnectFilters() override;
    BOOL CreateFilters() override;
    BOOL AddFilters() override;
    BOOL SetVideoFormat(int width, int height) override;

    CImageGrabber* GetImageGrabber() const { return m_pGrabber; }
    COverlayFilter* GetOverlayFilter() const { return m_pOsd; }
    int GetFrameWidth() const { return m_nFrameWidth; }
    int GetFrameHeight() const { return m_nFrameHeight; }

protected:
    // Builder, crossbar, input, size and chain again below the device.
    BOOL Rebuild(int input, int width, int height);

    int m_nFrameThird, m_nFrameHeight, m_nFrameWidth;
    CImageGrabber* m_pGrabber;
    COverlayFilter* m_pOsd;
    CVmr9Filter* m_pVmr9;
};

// The OSD bar's filled cells for a level of 0..100: level / 5 rounded up.
int OsdLevelCells(int level);
