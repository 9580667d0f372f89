// The contract between Wavetrap.dll and its clients: the class, the interface
// and its methods in slot order. Every method but the three of IUnknown
// answers 1 for done and 0 for not done.
#pragma once
#include <windows.h>
#include <unknwn.h>
#include <strmif.h>

// {4AE129E0-0C56-40D4-96D9-DACFC8663A9F}
static const CLSID CLSID_AudioCapture = {
    0x4ae129e0, 0x0c56, 0x40d4, {0x96, 0xd9, 0xda, 0xcf, 0xc8, 0x66, 0x3a, 0x9f}};
// {F5E7FF9F-8025-4734-A549-7DFEABB4655B}
static const IID IID_IAudioCapture = {
    0xf5e7ff9f, 0x8025, 0x4734, {0xa5, 0x49, 0x7d, 0xfe, 0xab, 0xb4, 0x65, 0x5b}};

#define AUDIOCAPTURE_PROGID "AudioCapture.Object"
#define AUDIOCAPTURE_FRIENDLY_NAME "AudioCapture Component"

// Record file types.
enum { AUDIOCAPTURE_WAV = 0, AUDIOCAPTURE_WMA = 1 };

struct IAudioCapture : public IUnknown {
    // The client's capture filter: the graph is built around it.
    virtual BOOL STDMETHODCALLTYPE Initialize(IBaseFilter* pDevice) = 0;
    virtual BOOL STDMETHODCALLTYPE SetCaptureDevice(IBaseFilter* pDevice) = 0;
    // Graph events are announced to the window with this message.
    virtual BOOL STDMETHODCALLTYPE SetNotifyWindow(HWND hwnd, UINT uMsg, LONG_PTR lInstanceData) = 0;
    // The device's mixer input to record from, by input pin index or name.
    virtual BOOL STDMETHODCALLTYPE SelectInputPin(int nIndex) = 0;
    virtual BOOL STDMETHODCALLTYPE SelectInputPinByName(LPCWSTR pszName) = 0;
    virtual BOOL STDMETHODCALLTYPE SetRecordFileType(int nType) = 0;
    virtual BOOL STDMETHODCALLTYPE SetRecordFileName(LPCWSTR pszPath) = 0;
    virtual BOOL STDMETHODCALLTYPE SetPlayFileName(LPCWSTR pszPath) = 0;
    virtual BOOL STDMETHODCALLTYPE SetCaptureOptions(BOOL bPreview, BOOL bRecord) = 0;
    virtual BOOL STDMETHODCALLTYPE StartCapture() = 0;
    virtual BOOL STDMETHODCALLTYPE PausePlayback() = 0;
    virtual BOOL STDMETHODCALLTYPE Stop() = 0;
    virtual BOOL STDMETHODCALLTYPE InitPlayback() = 0;
    virtual BOOL STDMETHODCALLTYPE Play() = 0;
    virtual BOOL STDMETHODCALLTYPE Uninitialize() = 0;
    virtual BOOL STDMETHODCALLTYPE HandleCaptureEvent() = 0;
    // 1 once the played file has ended (the playback graph is then gone).
    virtual BOOL STDMETHODCALLTYPE HandlePlaybackEvent() = 0;
    virtual BOOL STDMETHODCALLTYPE SetAudioFormat(int nChannels, int nBytesPerSample,
                                                  int nSamplesPerSec) = 0;
};
