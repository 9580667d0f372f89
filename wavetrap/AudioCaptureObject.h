// The one class of Wavetrap: IAudioCapture over the capture and playback
// engines, each made on first use and deleted with the object.
#pragma once
#include "AudioCapture.h"

class CAudioCaptureGraph;
class CAudioPlaybackGraph;

class CAudioCaptureObject : public IAudioCapture {
public:
    CAudioCaptureObject();
    virtual ~CAudioCaptureObject();

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    BOOL STDMETHODCALLTYPE Initialize(IBaseFilter* pDevice) override;
    BOOL STDMETHODCALLTYPE SetCaptureDevice(IBaseFilter* pDevice) override;
    BOOL STDMETHODCALLTYPE SetNotifyWindow(HWND hwnd, UINT uMsg, LONG_PTR lInstanceData) override;
    BOOL STDMETHODCALLTYPE SelectInputPin(int nIndex) override;
    BOOL STDMETHODCALLTYPE SelectInputPinByName(LPCWSTR pszName) override;
    BOOL STDMETHODCALLTYPE SetRecordFileType(int nType) override;
    BOOL STDMETHODCALLTYPE SetRecordFileName(LPCWSTR pszPath) override;
    BOOL STDMETHODCALLTYPE SetPlayFileName(LPCWSTR pszPath) override;
    BOOL STDMETHODCALLTYPE SetCaptureOptions(BOOL bPreview, BOOL bRecord) override;
    BOOL STDMETHODCALLTYPE StartCapture() override;
    BOOL STDMETHODCALLTYPE PausePlayback() override;
    BOOL STDMETHODCALLTYPE Stop() override;
    BOOL STDMETHODCALLTYPE InitPlayback() override;
    BOOL STDMETHODCALLTYPE Play() override;
    BOOL STDMETHODCALLTYPE Uninitialize() override;
    BOOL STDMETHODCALLTYPE HandleCaptureEvent() override;
    BOOL STDMETHODCALLTYPE HandlePlaybackEvent() override;
    BOOL STDMETHODCALLTYPE SetAudioFormat(int nChannels, int nBytesPerSample, int nSamplesPerSec) override;

private:
    CAudioCaptureGraph* m_pCaptureGraph;
    CAudioPlaybackGraph* m_pPlaybackGraph;
    volatile LONG m_cRef;
};
