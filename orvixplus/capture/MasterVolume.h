// The sound card's master output: volume and mute of the mixer line that
// feeds the speakers, and notices of volume changes made elsewhere, received
// by a hidden window. The capture graphs and the media player own one each.
#pragma once
#include <windows.h>
#include <mmsystem.h>

// The mixer calls CMasterVolume makes; tests put a mixer of their own here.
struct MixerApi {
    UINT(WINAPI* GetNumDevs)();
    MMRESULT(WINAPI* WaveOutOpen)(LPHWAVEOUT, UINT, LPCWAVEFORMATEX, DWORD_PTR, DWORD_PTR, DWORD);
    MMRESULT(WINAPI* WaveOutClose)(HWAVEOUT);
    MMRESULT(WINAPI* GetID)(HMIXEROBJ, UINT*, DWORD);
    MMRESULT(WINAPI* Open)(LPHMIXER, UINT, DWORD_PTR, DWORD_PTR, DWORD);
    MMRESULT(WINAPI* Close)(HMIXER);
    MMRESULT(WINAPI* GetLineInfo)(HMIXEROBJ, LPMIXERLINEA, DWORD);
    MMRESULT(WINAPI* GetLineControls)(HMIXEROBJ, LPMIXERLINECONTROLSA, DWORD);
    MMRESULT(WINAPI* GetControlDetails)(HMIXEROBJ, LPMIXERCONTROLDETAILS, DWORD);
    MMRESULT(WINAPI* SetControlDetails)(HMIXEROBJ, LPMIXERCONTROLDETAILS, DWORD);
};
// The system's mixer (winmm) unless a test changed it.
extern MixerApi g_mixerApi;
const MixerApi& SystemMixerApi();

typedef void (*MasterVolumeCallback)(int volume, DWORD_PTR user);

class CMasterVolume final {
public:
    CMasterVolume();
    ~CMasterVolume();

    virtual BOOL HasVolume();
    virtual void SoundOn();
    virtual void SoundOff();
    virtual int GetSteps();
    virtual int GetMin();
    virtual int GetMax();
    virtual int GetVolume();
    virtual void SetVolume(int value);
    virtual void SetCallback(MasterVolumeCallback pfn, DWORD_PTR user);

    BOOL Open();
    BOOL FindControls();
    // TRUE: sound audible (mute off, every selector item on).
    void SetSoundState(BOOL on);

    // The instance the hidden windows report to: the last one constructed
    // that is still alive.
    static CMasterVolume* GetLive() { return s_pLive; }

private:
    static LRESULT CALLBACK MsgWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Close();

    BYTE m_bMixerOpen;
    BYTE m_bLineFound;
    BYTE m_bVolumeFound;
    UINT m_uMixerId;
    HMIXER m_hMixer;
    DWORD m_dwLineId;
    DWORD m_dwVolumeId;
    DWORD m_dwChannels;
    HWND m_hWnd;
    int m_nMin;
    int m_nMax;
    int m_nSteps;
    MasterVolumeCallback m_pfnCallback;
    DWORD_PTR m_dwUser;

    static CMasterVolume* s_pLive;
};

extern const char kMasterVolumeClass[];   // "Master Output Volume Msg Wnd Class"
extern const char kMasterVolumeWindow[];  // "Master Output Volume Msg Wnd"
