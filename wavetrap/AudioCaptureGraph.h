// The capture engine behind IAudioCapture: one filter graph around the
// client's audio capture filter, with a preview chain to the default audio
// renderer and a record chain into a WAV file (WAV Dest and the File Writer)
// or a WMA file (the Windows Media ASF writer).
#pragma once
#include <windows.h>
#include <dshow.h>

// Record file names keep their last place for the terminator.
const int AUDIO_FILE_NAME_SIZE = 260;

// The allocator the capture pins are asked for: 6 buffers of 50 ms each,
// aligned to one sample frame.
ALLOCATOR_PROPERTIES CaptureBufferProperties(int nChannels, int nBytesPerSample,
                                             int nSamplesPerSec);

// The record file name with the type's extension appended unless the name
// already holds it somewhere; FALSE (and pszOut untouched) when that would
// not fit in AUDIO_FILE_NAME_SIZE - 1 characters.
BOOL MakeRecordFileName(LPCWSTR pszPath, int nFileType, WCHAR* pszOut);

// The graph's name in the running object table, "FilterGraph <address> pid
// <process id>" in hexadecimal; the buffer holds 64 characters.
void RotName(const void* pGraph, DWORD dwProcessId, WCHAR* pszName);

class CAudioCaptureGraph {
public:
    CAudioCaptureGraph();
    ~CAudioCaptureGraph();

    void Reset();
    BOOL BuildGraph();
    BOOL SetDevice(IBaseFilter* pDevice);
    BOOL SelectInput(int nIndex);
    BOOL SelectInputByName(LPCWSTR pszName);
    void SetOptions(BOOL bPreview, BOOL bRecord);
    BOOL SetFileType(int nType);
    BOOL SetFileName(LPCWSTR pszPath);
    void SetFormat(int nChannels, int nBytesPerSample, int nSamplesPerSec);
    BOOL Start();
    BOOL StopCapture();
    void TearDown();
    void HandleEvents();
    BOOL SetNotify(HWND hwnd, UINT uMsg, LONG_PTR lInstanceData);

    LPCWSTR GetFileName() const { return m_wszFileName; }
    int GetFileType() const { return m_nFileType; }
    IGraphBuilder* GetGraph() const { return m_pGB; }
    IBaseFilter* GetDevice() const { return m_pSrc; }

private:
    BOOL SelectMixerInput(int nIndex, LPCWSTR pszName);
    HRESULT SetBuffering();
    HRESULT BuildPreviewChain();
    HRESULT BuildRecordChain();
    HRESULT NameFileSink(IBaseFilter* pSink);
    void RegisterInRot();
    void RemoveFilter(IBaseFilter** ppFilter);
    template <class T> static void Release(T** pp)
    {
        if (*pp) {
            (*pp)->Release();
            *pp = NULL;
        }
    }

    BOOL m_bPaused;
    // Whether BuildGraph joined this thread to an apartment that TearDown
    // must leave again.
    BOOL m_bComJoined;
    IGraphBuilder* m_pGB;
    IMediaControl* m_pMC;
    IMediaEventEx* m_pME;
    ICaptureGraphBuilder2* m_pCapture;
    IBaseFilter* m_pSrc;        // the client's capture filter, one reference
    IBaseFilter* m_pRender;     // preview chain
    IBaseFilter* m_pSmartTee;
    IBaseFilter* m_pFileWriter; // record chain
    IBaseFilter* m_pSink;
    BOOL m_bPreview;
    BOOL m_bRecord;
    int m_nFileType;
    WCHAR m_wszFileName[AUDIO_FILE_NAME_SIZE];
    int m_nChannels;
    int m_nSamplesPerSec;
    int m_nBytesPerSample;
};
