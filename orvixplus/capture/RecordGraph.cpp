#include "RecordGraph.h"
#include "AudioCaptureFilter.h"
#include "Filters.h"

CRecordGraph::CRecordGraph() : m_nQuality(0), m_nFormat(0), m_pSmartTee(NULL), m_pEncoder(NULL) {}

CRecordGraph::~CRecordGraph()
{
    // The recorder must not be taken out of a running graph: it would lose
    // the end of the file.
    StopForTeardown();
    CRecordGraph::DestroyFilters();
}

DWORD CRecordGraph::GetRecordedBytes() { return m_pEncoder ? m_pEncoder->GetBytesWritten() : 0; }

double CRecordGraph::EstimateRecordSizeMB(int seconds)
{
    return m_pEncoder ? m_pEncoder->EstimateSizeMB(seconds) : 0.0;
}

void CRecordGraph::SetRecordParams(LPCSTR pszFolder, int format, int quality)
{
    m_strRecordFolder = pszFolder ? pszFolder : "";
    m_nFormat = format;
    m_nQuality = quality;
}

BOOL CRecordGraph::ConfigureRecorder(LPCSTR pszFolder, int format, int quality)
{
    return m_pEncoder && m_pEncoder->Configure(pszFolder, format, quality);
}

BOOL CRecordGraph::CreateFilters()
{
    if (!CCaptureGraph::CreateFilters())
        return FALSE;
    delete m_pEncoder;
    m_pEncoder = new CMpegEncoder(m_pGraph);
    if (!m_pEncoder->Create()) {
        ShowMessage("没有注册Brinmarch Mpeg 1/2 Recorder Filter组件");
        return FALSE;
    }
    delete m_pSmartTee;
    m_pSmartTee = new CSmartTeeFilter(m_pGraph);
    return m_pSmartTee->Create();
}

BOOL CRecordGraph::ConnectFilters()
{
    if (!m_pSmartTee || !m_pEncoder || !m_pDeinterlace || !m_pInvert)
        return FALSE;
    IBaseFilter* tee = m_pSmartTee->GetFilter();
    IBaseFilter* encoder = m_pEncoder->GetFilter();
    IBaseFilter* invert = m_pInvert->GetFilter();
    if (!ConfigureRecorder(m_strRecordFolder, m_nFormat, m_nQuality) ||
        !ConnectPins(tee, 0, m_pVideoCapture, 0) ||
        !ConnectPins(m_pDeinterlace->GetFilter(), 0, tee, 1) ||
        !ConnectPins(invert, 0, m_pDeinterlace->GetFilter(), 0) ||
        !ConnectPins(encoder, 0, tee, 0))
        return FALSE;
    if (m_pAudio && m_pAudio->GetFilter() && !ConnectPins(encoder, 1, m_pAudio->GetFilter(), 0))
        return FALSE;
    if (m_pMixer && ConnectPins(m_pMixer->GetFilter(), 0, invert, 0))
        return m_pRenderer && ConnectPins(m_pRenderer->GetFilter(), 0, m_pMixer->GetFilter(), 0);
    if (!m_pAviDec || !ConnectPins(m_pAviDec->GetFilter(), 0, invert, 0))
        return FALSE;
    return m_pRenderer && ConnectPins(m_pRenderer->GetFilter(), 0, m_pAviDec->GetFilter(), 0);
}

BOOL CRecordGraph::Run()
{
    if (!CCaptureGraph::Run())
        return FALSE;
    // The graph's Run succeeds even when the recorder refused to start and
    // stayed stopped: the picture would show and nothing be written, with
    // no word to the user.
    if (m_pEncoder && !m_pEncoder->IsRunning()) {
        Stop();
        return FALSE;
    }
    return TRUE;
}

BOOL CRecordGraph::SetVideoFormat(int width, int height)
{
    return ApplyVideoFormat(&PIN_CATEGORY_CAPTURE, NULL, width, height);
}

void CRecordGraph::DestroyFilters()
{
    delete m_pSmartTee;
    m_pSmartTee = NULL;
    delete m_pEncoder;
    m_pEncoder = NULL;
    CCaptureGraph::DestroyFilters();
}
