#include "MasterVolume.h"
#include <vector>

const char kMasterVolumeClass[] = "Master Output Volume Msg Wnd Class";
const char kMasterVolumeWindow[] = "Master Output Volume Msg Wnd";

namespace {

MMRESULT WINAPI SysGetID(HMIXEROBJ h, UINT* id, DWORD flags) { return mixerGetID(h, id, flags); }
MMRESULT WINAPI SysGetLineInfo(HMIXEROBJ h, LPMIXERLINEA line, DWORD flags)
{
    return mixerGetLineInfoA(h, line, flags);
}
MMRESULT WINAPI SysGetLineControls(HMIXEROBJ h, LPMIXERLINECONTROLSA c, DWORD flags)
{
    return mixerGetLineControlsA(h, c, flags);
}
MMRESULT WINAPI SysGetDetails(HMIXEROBJ h, LPMIXERCONTROLDETAILS d, DWORD flags)
{
    return mixerGetControlDetailsA(h, d, flags);
}
MMRESULT WINAPI SysSetDetails(HMIXEROBJ h, LPMIXERCONTROLDETAILS d, DWORD flags)
{
    return mixerSetControlDetails(h, d, flags);
}

const MixerApi kSystemMixer = {
    mixerGetNumDevs, waveOutOpen,        waveOutClose,  SysGetID,      mixerOpen,
    mixerClose,      SysGetLineInfo,     SysGetLineControls, SysGetDetails, SysSetDetails,
};

// The mixer that belongs to a wave output opened on this device.
BOOL MixerOfWaveOut(UINT device, UINT* pId)
{
    WAVEFORMATEX wf = {WAVE_FORMAT_PCM, 1, 22050, 44100, 2, 16, 0};
    HWAVEOUT hwo = NULL;
    if (g_mixerApi.WaveOutOpen(&hwo, device, &wf, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR)
        return FALSE;
    MMRESULT r = g_mixerApi.GetID((HMIXEROBJ)hwo, pId, MIXER_OBJECTF_HWAVEOUT);
    g_mixerApi.WaveOutClose(hwo);
    return r == MMSYSERR_NOERROR;
}

BOOL IsSelectorType(DWORD type)
{
    return type == MIXERCONTROL_CONTROLTYPE_SINGLESELECT || type == MIXERCONTROL_CONTROLTYPE_MUX ||
           type == MIXERCONTROL_CONTROLTYPE_MULTIPLESELECT || type == MIXERCONTROL_CONTROLTYPE_MIXER;
}

}  // namespace

MixerApi g_mixerApi = kSystemMixer;
const MixerApi& SystemMixerApi() { return kSystemMixer; }

CMasterVolume* CMasterVolume::s_pLive = NULL;

CMasterVolume::CMasterVolume()
    : m_bMixerOpen(FALSE), m_bLineFound(FALSE), m_bVolumeFound(FALSE), m_uMixerId(0),
      m_hMixer(NULL), m_dwLineId(0), m_dwVolumeId(0), m_dwChannels(0), m_hWnd(NULL), m_nMin(-1),
      m_nMax(-1), m_nSteps(-1), m_pfnCallback(NULL), m_dwUser(0)
{
    if (!Open())
        return;
    CMasterVolume* pPrevious = s_pLive;
    s_pLive = this;
    if (!FindControls()) {
        Close();
        // An instance that cannot serve leaves the notices to the one before.
        s_pLive = pPrevious;
    }
}

CMasterVolume::~CMasterVolume()
{
    Close();
    // A newer instance keeps its notices when an older one goes.
    if (s_pLive == this)
        s_pLive = NULL;
}

void CMasterVolume::Close()
{
    if (m_bMixerOpen) {
        g_mixerApi.Close(m_hMixer);
        m_hMixer = NULL;
        m_bMixerOpen = FALSE;
    }
    if (m_hWnd) {
        DestroyWindow(m_hWnd);
        m_hWnd = NULL;
    }
    m_bLineFound = m_bVolumeFound = FALSE;
}

BOOL CMasterVolume::Open()
{
    if (g_mixerApi.GetNumDevs() == 0)
        return FALSE;
    // Wine gives no mixer for a wave-out handle opened on the mapper; the
    // first device's mixer is the one the mapper plays on.
    if (!MixerOfWaveOut(WAVE_MAPPER, &m_uMixerId) && !MixerOfWaveOut(0, &m_uMixerId))
        return FALSE;

    HINSTANCE hInst = GetModuleHandleA(NULL);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MsgWndProc;
    wc.hInstance = hInst;
    wc.lpszClassName = kMasterVolumeClass;
    // Every instance after the first finds the class registered already.
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return FALSE;
    m_hWnd = CreateWindowA(kMasterVolumeClass, kMasterVolumeWindow, WS_POPUP, 0, 0, 0, 0, NULL,
                           NULL, hInst, NULL);
    if (!m_hWnd)
        return FALSE;
    ShowWindow(m_hWnd, SW_HIDE);
    if (g_mixerApi.Open(&m_hMixer, m_uMixerId, (DWORD_PTR)m_hWnd, 0, CALLBACK_WINDOW) !=
        MMSYSERR_NOERROR) {
        DestroyWindow(m_hWnd);
        m_hWnd = NULL;
        m_hMixer = NULL;
        return FALSE;
    }
    m_bMixerOpen = TRUE;
    return TRUE;
}

BOOL CMasterVolume::FindControls()
{
    MIXERLINEA line = {};
    line.cbStruct = sizeof(line);
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    if (g_mixerApi.GetLineInfo((HMIXEROBJ)m_hMixer, &line,
                               MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) !=
        MMSYSERR_NOERROR)
        return FALSE;
    MIXERCONTROLA control = {};
    control.cbStruct = sizeof(control);
    MIXERLINECONTROLSA lc = {};
    lc.cbStruct = sizeof(lc);
    lc.dwLineID = line.dwLineID;
    lc.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    lc.cControls = 1;
    lc.cbmxctrl = sizeof(control);
    lc.pamxctrl = &control;
    if (g_mixerApi.GetLineControls((HMIXEROBJ)m_hMixer, &lc,
                                   MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) ==
        MMSYSERR_NOERROR) {
        m_bVolumeFound = TRUE;
        m_dwVolumeId = control.dwControlID;
        m_nMin = (int)control.Bounds.dwMinimum;
        m_nMax = (int)control.Bounds.dwMaximum;
        m_nSteps = (int)control.Metrics.cSteps;
    }
    m_dwLineId = line.dwLineID;
    m_dwChannels = line.cChannels ? line.cChannels : 1;
    m_bLineFound = TRUE;
    return TRUE;
}

BOOL CMasterVolume::HasVolume() { return m_bVolumeFound; }
int CMasterVolume::GetSteps() { return m_bVolumeFound ? m_nSteps : -1; }
int CMasterVolume::GetMin() { return m_bVolumeFound ? m_nMin : -1; }
int CMasterVolume::GetMax() { return m_bVolumeFound ? m_nMax : -1; }

// The volume control's value on every channel of the line.
static MIXERCONTROLDETAILS VolumeDetails(DWORD id, std::vector<MIXERCONTROLDETAILS_UNSIGNED>& values)
{
    MIXERCONTROLDETAILS d = {};
    d.cbStruct = sizeof(d);
    d.dwControlID = id;
    d.cChannels = (DWORD)values.size();
    d.cbDetails = sizeof(MIXERCONTROLDETAILS_UNSIGNED);
    d.paDetails = values.data();
    return d;
}

int CMasterVolume::GetVolume()
{
    if (!m_bVolumeFound)
        return -1;
    std::vector<MIXERCONTROLDETAILS_UNSIGNED> values(m_dwChannels);
    MIXERCONTROLDETAILS d = VolumeDetails(m_dwVolumeId, values);
    if (g_mixerApi.GetControlDetails((HMIXEROBJ)m_hMixer, &d,
                                     MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) !=
        MMSYSERR_NOERROR)
        return -1;
    return (int)values[0].dwValue;
}

void CMasterVolume::SetVolume(int value)
{
    if (!m_bVolumeFound || value < m_nMin || value > m_nMax)
        return;
    std::vector<MIXERCONTROLDETAILS_UNSIGNED> values(m_dwChannels);
    for (MIXERCONTROLDETAILS_UNSIGNED& v : values)
        v.dwValue = (DWORD)value;
    MIXERCONTROLDETAILS d = VolumeDetails(m_dwVolumeId, values);
    g_mixerApi.SetControlDetails((HMIXEROBJ)m_hMixer, &d,
                                 MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE);
}

void CMasterVolume::SoundOn() { SetSoundState(TRUE); }
void CMasterVolume::SoundOff() { SetSoundState(FALSE); }

void CMasterVolume::SetCallback(MasterVolumeCallback pfn, DWORD_PTR user)
{
    m_pfnCallback = pfn;
    m_dwUser = user;
}

void CMasterVolume::SetSoundState(BOOL on)
{
    if (!m_bLineFound)
        return;
    // The line again, for its count of controls.
    MIXERLINEA line = {};
    line.cbStruct = sizeof(line);
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    if (g_mixerApi.GetLineInfo((HMIXEROBJ)m_hMixer, &line,
                               MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) !=
            MMSYSERR_NOERROR ||
        line.cControls == 0)
        return;
    std::vector<MIXERCONTROLA> controls(line.cControls);
    MIXERLINECONTROLSA lc = {};
    lc.cbStruct = sizeof(lc);
    lc.dwLineID = m_dwLineId;
    lc.cControls = line.cControls;
    lc.cbmxctrl = sizeof(MIXERCONTROLA);
    lc.pamxctrl = controls.data();
    if (g_mixerApi.GetLineControls((HMIXEROBJ)m_hMixer, &lc,
                                   MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ALL) !=
        MMSYSERR_NOERROR)
        return;
    for (const MIXERCONTROLA& c : controls) {
        LONG value;
        if (c.dwControlType == MIXERCONTROL_CONTROLTYPE_MUTE)
            value = !on;
        else if (IsSelectorType(c.dwControlType))
            value = on ? 1 : 0;
        else
            continue;
        DWORD channels = (c.fdwControl & MIXERCONTROL_CONTROLF_UNIFORM) ? 1 : m_dwChannels;
        DWORD items = (c.fdwControl & MIXERCONTROL_CONTROLF_MULTIPLE) ? c.cMultipleItems : 0;
        std::vector<MIXERCONTROLDETAILS_BOOLEAN> values(channels * (items ? items : 1));
        for (MIXERCONTROLDETAILS_BOOLEAN& v : values)
            v.fValue = value;
        MIXERCONTROLDETAILS d = {};
        d.cbStruct = sizeof(d);
        d.dwControlID = c.dwControlID;
        d.cChannels = channels;
        d.cMultipleItems = items;
        d.cbDetails = sizeof(MIXERCONTROLDETAILS_BOOLEAN);
        d.paDetails = values.data();
        g_mixerApi.SetControlDetails((HMIXEROBJ)m_hMixer, &d,
                                     MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE);
    }
}

LRESULT CALLBACK CMasterVolume::MsgWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CMasterVolume* p = s_pLive;
    if (msg == MM_MIXM_CONTROL_CHANGE && p && p->m_bVolumeFound &&
        (DWORD)lParam == p->m_dwVolumeId) {
        int volume = p->GetVolume();
        if (volume >= 0 && p->m_pfnCallback)
            p->m_pfnCallback(volume, p->m_dwUser);
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
