#include "OverlayGraph.h"
#include "Filters.h"
#include "GraphControl.h"
#include <string.h>

int OsdLevelCells(int level)
{
    if (level < 0)
        level = 0;
    if (level > 100)
        level = 100;
    return (level + 4) / 5;
}

COverlayGraph::COverlayGraph()
    : m_nFrameThird(0), m_nFrameHeight(0), m_nFrameWidth(0), m_pGrabber(NULL), m_pOsd(NULL),
      m_pVmr9(NULL)
{
}

COverlayGraph::~COverlayGraph()
{
    // A running graph would go on pushing frames into filters leaving it.
    StopForTeardown();
    COverlayGraph::DestroyFilters();
}

BOOL COverlayGraph::ClearOsd()
{
    Stop();
    if (m_pOsd) {
        m_pOsd->Hide();
        SetOwner(m_hOwner);
    }
    Run();
    return FALSE;
}

void COverlayGraph::ReleasePreview()
{
    if (m_pGraphControl && Stop() && m_pVideoCapture) {
        NukeDownstream(m_pGraph, m_pVideoCapture);
        NukeUpstream(m_pGraph, m_pVideoCapture);
    }
}

BOOL COverlayGraph::Rebuild(int input, int width, int height)
{
    RenderUpstream(&PIN_CATEGORY_PREVIEW);
    SelectInput(input);
    return SetVideoFormat(width, height) && AddFilters() && ConnectFilters();
}

BOOL COverlayGraph::RestartPreview(int input, int width, int height)
{
    if (!m_pBuilder || !m_pVideoCapture)
        return FALSE;
    if (!Rebuild(input, width, height))
        return FALSE;
    SetOwner(m_hOwner);
    return Run();
}

BOOL COverlayGraph::SwitchInput(int input, int width, int height)
{
    if (!m_pBuilder || !m_pVideoCapture)
        return FALSE;
    Stop();
    NukeDownstream(m_pGraph, m_pVideoCapture);
    NukeUpstream(m_pGraph, m_pVideoCapture);
    if (!Rebuild(input, width, height))
        return FALSE;
    SetOwner(m_hOwner);
    Run();
    return TRUE;
}

BOOL COverlayGraph::ResizeVideo(int width, int height)
{
    if (!m_pVideoCapture)
        return FALSE;
    Stop();
    NukeDownstream(m_pGraph, m_pVideoCapture);
    if (!SetVideoFormat(width, height) || !AddFilters() || !ConnectFilters())
        return FALSE;
    SetOwner(m_hOwner);
    Run();
    return TRUE;
}

BOOL COverlayGraph::ShowOsdText(LPCSTR pszText, int x, int y, const LOGFONTA& font)
{
    if (!m_pOsd || !pszText)
        return FALSE;
    return m_pOsd->ShowText(pszText, (int)strlen(pszText), x, y, font);
}

BOOL COverlayGraph::ShowOsdLevel(int level, int x, int y, int width, int height, int steps,
                                 const LOGFONTA& font)
{
    if (!m_pOsd)
        return FALSE;
    return m_pOsd->ShowLevel(OsdLevelCells(level), x, y, width, height, steps, font);
}

BOOL COverlayGraph::SaveSnapshot(LPCSTR pszFolder)
{
    return m_pGrabber && m_pGrabber->SaveSnapshot(pszFolder);
}

BYTE* COverlayGraph::GrabFrameRGB(int* pWidth, int* pHeight)
{
    return m_pGrabber ? m_pGrabber->GrabFrameRGB(pWidth, pHeight) : NULL;
}

BOOL COverlayGraph::GetFrameSize()
{
    return m_pGrabber && m_pGrabber->GetFrameSize(&m_nFrameWidth, &m_nFrameHeight, &m_nFrameThird);
}

HBITMAP COverlayGraph::GrabFrameBitmap()
{
    if (!m_pGrabber || !GetFrameSize())
        return NULL;
    // The size of the frame actually read: the size query may be of an older one.
    int w = 0, h = 0;
    BYTE* rgb = GrabFrameRGB(&w, &h);
    if (!rgb)
        return NULL;
    if (w < 1 || h < 1) {
        delete[] rgb;
        return NULL;
    }
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = w;
    bmi.bmiHeader.biHeight = h;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 24;
    bmi.bmiHeader.biCompression = BI_RGB;
    int stride = ((w * 24 + 31) / 32) * 4;
    bmi.bmiHeader.biSizeImage = (DWORD)stride * h;
    HDC hdc = GetDC(NULL);
    void* bits = NULL;
    HBITMAP hbm = CreateDIBSection(hdc, &bmi, DIB_RGB_COLORS, &bits, NULL, 0);
    ReleaseDC(NULL, hdc);
    if (hbm && bits) {
        // The grabber's rows are not padded; the bitmap's are.
        for (int r = 0; r < h; r++)
            memcpy((BYTE*)bits + (size_t)r * stride, rgb + (size_t)r * w * 3, (size_t)w * 3);
        GdiFlush();
    }
    delete[] rgb;
    return hbm;
}

BOOL COverlayGraph::StartSmallPreview()
{
    if (!m_pBuilder || !m_pVideoCapture)
        return FALSE;
    Stop();
    NukeDownstream(m_pGraph, m_pVideoCapture);
    SetVideoFormat(320, 240);
    if (!m_pVmr9)
        m_pVmr9 = new CVmr9Filter(m_pGraph);
    m_pVmr9->Create();
    if (m_pBuilder->RenderStream(&PIN_CATEGORY_PREVIEW, &MEDIATYPE_Video, m_pVideoCapture, NULL,
                                 m_pVmr9->GetFilter()) != S_OK)
        return FALSE;
    SetOwner(m_hOwner);
    Run();
    return TRUE;
}

BOOL COverlayGraph::CreateFilters()
{
    delete m_pGrabber;
    m_pGrabber = NULL;
    delete m_pOsd;
    m_pOsd = NULL;
    BOOL base = CCaptureGraph::CreateFilters();
    m_pGrabber = new CImageGrabber(m_pGraph);
    if (base && !m_pGrabber->Create()) {
        ShowMessage("没有注册 KeStor_ImageGrabber 组件");
        return FALSE;
    }
    m_pOsd = new COverlayFilter(m_pGraph);
    if (!base)
        return FALSE;
    if (!m_pOsd->Create()) {
        ShowMessage("没有注册KSR_OverlayFilter组件");
        return FALSE;
    }
    return TRUE;
}

BOOL COverlayGraph::AddFilters()
{
    BOOL result = CCaptureGraph::AddFilters();
    if (m_pGrabber) {
        TakeOutOfGraph(m_pGrabber->GetFilter());
        if (!m_pGrabber->Create())
            return FALSE;
    }
    if (m_pOsd && result) {
        TakeOutOfGraph(m_pOsd->GetFilter());
        result = m_pOsd->Create();
    }
    return result;
}

BOOL COverlayGraph::ConnectFilters()
{
    if (!m_pOsd || !m_pOsd->GetFilter())
        return FALSE;
    IAMStreamConfig* pPreview = FindStreamConfig(&PIN_CATEGORY_PREVIEW);
    int devicePin = pPreview ? 1 : 0;
    if (pPreview)
        pPreview->Release();
    if (!ConnectPins(m_pOsd->GetFilter(), 0, m_pVideoCapture, devicePin))
        return FALSE;
    IBaseFilter* up = m_pOsd->GetFilter();
    CFilterWrapper* const chain[] = {m_pDeinterlace, m_pGrabber, m_pInvert};
    for (CFilterWrapper* w : chain) {
        if (!w || !w->GetFilter())
            continue;
        if (!ConnectPins(w->GetFilter(), 0, up, 0))
            return FALSE;
        up = w->GetFilter();
    }
    if (m_pMixer && ConnectPins(m_pMixer->GetFilter(), 0, up, 0))
        return ConnectRenderer(m_pMixer->GetFilter());
    // No mixer, or it would not take the picture: through the AVI Decompressor.
    if (!m_pAviDec || !ConnectPins(m_pAviDec->GetFilter(), 0, up, 0))
        return FALSE;
    return ConnectRenderer(m_pAviDec->GetFilter());
}

BOOL COverlayGraph::SetVideoFormat(int width, int height)
{
    return ApplyVideoFormat(&PIN_CATEGORY_PREVIEW, &PIN_CATEGORY_CAPTURE, width, height);
}

void COverlayGraph::DestroyFilters()
{
    delete m_pGrabber;
    m_pGrabber = NULL;
    delete m_pOsd;
    m_pOsd = NULL;
    delete m_pRenderer;
    m_pRenderer = NULL;
    delete m_pVmr9;
    m_pVmr9 = NULL;
    CCaptureGraph::DestroyFilters();
}
