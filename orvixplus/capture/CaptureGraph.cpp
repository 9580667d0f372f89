#include "CaptureGraph.h"
#include "AppSettings.h"
#include "AudioCaptureFilter.h"
#include "AfxComPtr.h"
#include "Crossbar.h"
#include "DeviceList.h"
#include "FixedText.h"
#include "Globals.h"
#include "Seams.h"
#include <ks.h>
#include <ksproxy.h>
#include <uuids.h>

HWND (*g_pfnAudioLineListener)() = NULL;

// Pin category property set and the analog video input category.
static const GUID kPinCategorySet =
    {0x9b00f101, 0x1567, 0x11d1, {0xb3, 0xf1, 0x00, 0xaa, 0x00, 0x37, 0x61, 0xc5}};
static const GUID kPinCategoryAnalogVideoIn =
    {0xfb6c4283, 0x0353, 0x11d1, {0x90, 0x5f, 0x00, 0x00, 0xc0, 0xcc, 0x16, 0xba}};

static void ShowCaptureMessage(LPCSTR text)
{
    FwMessageBox(NULL, text, "Orvix Plus", MB_OK);
}

CCaptureGraph::CCaptureGraph()
    : m_pAudio(NULL), m_pDevice(NULL), m_pCrossbar(NULL), m_pGraph(NULL),
      m_pVideoCapture(NULL), m_nCrossbarInputs(0)
{
    InitializeCriticalSection(&m_cs);
}

CCaptureGraph::~CCaptureGraph()
{
    delete m_pCrossbar;
    delete m_pAudio;
    delete m_pDevice;
    if (m_pVideoCapture)
        m_pVideoCapture->Release();
    if (m_pGraph)
        m_pGraph->Release();
    DeleteCriticalSection(&m_cs);
}

void CCaptureGraph::SetGraph(IGraphBuilder* pGraph)
{
    if (pGraph)
        pGraph->AddRef();
    if (m_pGraph)
        m_pGraph->Release();
    m_pGraph = pGraph;
}

BOOL CCaptureGraph::OpenVideoDeviceByName(LPCSTR pszName)
{
    if (!pszName || !*pszName)
        return FALSE;
    CDeviceFilter* pDevice = new CDeviceFilter(m_pGraph, pszName, "Video Capture");
    if (!pDevice->Create()) {
        delete pDevice;
        return FALSE;
    }
    delete m_pDevice;
    m_pDevice = pDevice;
    m_strDeviceName = pszName;
    if (m_pVideoCapture)
        m_pVideoCapture->Release();
    m_pVideoCapture = pDevice->GetFilter();
    m_pVideoCapture->AddRef();
    return TRUE;
}

BOOL CCaptureGraph::SelectVideoDevice()
{
    static const char* const kPreferred[] = {
        "Kestor TV Arden WDM Video Capture", "Kestor TV Arden WDM Video CaptureA",
        "SAA7130 TV Card", "Cap7130 Capture"};
    if (!g_pSettings || g_pSettings->m_arrVideoDevices.GetSize() == 0) {
        ShowCaptureMessage("Could not initialize the Capture device");
        return FALSE;
    }
    const CStringArray& names = g_pSettings->m_arrVideoDevices;
    CString chosen = names[0];
    for (int i = (int)names.GetSize() - 1; i >= 0; i--) {
        bool preferred = false;
        for (const char* p : kPreferred)
            preferred = preferred || names[i] == p;
        if (preferred) {
            chosen = names[i];
            break;
        }
    }
    m_strDeviceName = chosen;
    CopyFixedText(g_pSettings->m_szVideoDevice, sizeof(g_pSettings->m_szVideoDevice), chosen);
    if (chosen.IsEmpty())
        return FALSE;
    return OpenVideoDeviceByName(chosen);
}

BOOL CCaptureGraph::OpenAudioDevice()
{
    if (!g_pSettings || g_pSettings->m_arrAudioDevices.GetSize() == 0) {
        ShowCaptureMessage("Could not initialize the Audio device");
        return FALSE;
    }
    const CStringArray& names = g_pSettings->m_arrAudioDevices;
    m_strDeviceName = names[names.GetSize() - 1];
    CAudioCaptureFilter* pAudio = new CAudioCaptureFilter(m_pGraph, m_strDeviceName, "Audio Capture");
    if (!pAudio->Create()) {
        ShowCaptureMessage("Could not initialize the Audio device");
        delete pAudio;
        return FALSE;
    }
    delete m_pAudio;
    m_pAudio = pAudio;
    for (int i = 0; i < pAudio->GetInputCount(); i++) {
        AudioInputLine line = {};
        CopyFixedText(line.szName, sizeof(line.szName), pAudio->GetInputName(i));
        line.nType = (int)pAudio->GetInputData(i);
        g_pSettings->m_arrAudioLines.Add(line);
    }
    SelectAudioInput(g_pSettings->m_szAudioLine);
    return TRUE;
}

BOOL CCaptureGraph::LocateCrossbar()
{
    delete m_pCrossbar;
    m_pCrossbar = NULL;
    m_nCrossbarInputs = 0;
    if (!m_pVideoCapture)
        return FALSE;
    ComPtr<IEnumPins> pEnum;
    if (FAILED(m_pVideoCapture->EnumPins(pEnum.Out())) || !pEnum)
        return FALSE;
    IPin* p = NULL;
    while (pEnum->Next(1, &p, NULL) == S_OK) {
        ComPtr<IPin> pin(p, false);
        PIN_DIRECTION dir;
        if (FAILED(pin->QueryDirection(&dir)) || dir != PINDIR_INPUT)
            continue;
        ComPtr<IKsPropertySet> pKs;
        if (FAILED(pKs.QueryFrom(pin.Get(), IID_IKsPropertySet)))
            continue;
        GUID category;
        DWORD returned = 0;
        if (FAILED(pKs->Get(kPinCategorySet, 0, NULL, 0, &category, sizeof(category), &returned)) ||
            category != kPinCategoryAnalogVideoIn)
            continue;
        HRESULT hr = S_OK;
        CCrossbar* pCrossbar = new CCrossbar(pin.Get(), &hr);
        if (FAILED(hr)) {
            delete pCrossbar;
            continue;
        }
        LONG count = 0;
        pCrossbar->GetInputCount(&count);
        m_pCrossbar = pCrossbar;
        m_nCrossbarInputs = (int)count;
        return TRUE;
    }
    return FALSE;
}

BOOL CCaptureGraph::SelectInput(int input)
{
    if (!m_pCrossbar || m_nCrossbarInputs <= 0)
        return FALSE;
    static const long kTypes[] = {PhysConn_Video_Tuner, PhysConn_Video_Composite,
                                  PhysConn_Video_SVideo};
    int index = 0;
    if (input >= 0 && input <= 2) {
        for (int i = 0; i < m_nCrossbarInputs; i++) {
            LONG type = 0;
            if (SUCCEEDED(m_pCrossbar->GetInputType(i, &type)) && type == kTypes[input]) {
                index = i;
                break;
            }
        }
    }
    return SUCCEEDED(m_pCrossbar->SetInputIndex(index));
}

void CCaptureGraph::SelectAudioInput(LPCSTR pszName)
{
    if (!m_pAudio)
        return;
    for (int i = m_pAudio->GetInputCount() - 1; i >= 0; i--) {
        if (pszName && m_pAudio->GetInputName(i) == pszName) {
            m_pAudio->SelectInput(i);
            return;
        }
    }
    SelectLineIn();
}

BOOL IsLineInName(LPCSTR pszName)
{
    static const char* const kNames[] = {"Line In", "Line_In", "LineIn", "Line", "Line-In",
                                         "线路输入"};
    for (const char* p : kNames)
        if (strcmp(pszName, p) == 0)
            return TRUE;
    return FALSE;
}

void CCaptureGraph::SelectLineIn()
{
    if (!m_pAudio || m_pAudio->GetInputCount() == 0)
        return;
    for (int i = m_pAudio->GetInputCount() - 1; i >= 0; i--) {
        CString name = m_pAudio->GetInputName(i);
        if (!IsLineInName(name))
            continue;
        if (g_pSettings)
            CopyFixedText(g_pSettings->m_szAudioLine, sizeof(g_pSettings->m_szAudioLine), name);
        HWND hListener = g_pfnAudioLineListener ? g_pfnAudioLineListener() : NULL;
        if (hListener)
            PostMessage(hListener, WM_SELECT_AUDIO_LINE, 0, 0);
        m_pAudio->SelectInput(i);
        return;
    }
    m_pAudio->SelectInput(0);
}
