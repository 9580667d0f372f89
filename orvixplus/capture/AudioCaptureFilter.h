// The card's audio capture device: its input pins are the audio lines (line
// in, tuner audio ...). The wrapper opens it by friendly name, lists the lines
// and enables the chosen one.
#pragma once
#include "AfxCore.h"
#include "FilterWrapper.h"
#include <vector>

class CAudioCaptureFilter : public CFilterWrapper {
public:
    struct Input {
        CString strName;
        IPin* pPin;    // not owned: the filter holds its pins
        DWORD dwValue; // the first character of the pin's id
    };

    CAudioCaptureFilter(IGraphBuilder* pGraph, LPCSTR pszFriendlyName, LPCSTR pszFilterName);
    BOOL Create() override;

    int GetInputCount() const { return (int)m_inputs.size(); }
    CString GetInputName(int index) const;
    DWORD GetInputData(int index) const;
    // Enables that input at automatic gain; other inputs stay as they are.
    void SelectInput(int index);

    void BuildInputList();
    // 40 ms capture buffers, from the output's current byte rate.
    void SetBuffering();

private:
    char m_szFriendlyName[256];
    WCHAR m_wszFilterName[256];
    std::vector<Input> m_inputs;
};

// The average byte rate of a wave format block, or 0 when the block is too
// short to hold one.
DWORD WaveBytesPerSecond(const AM_MEDIA_TYPE* pmt);
// 40 milliseconds of sound at that byte rate.
inline long CaptureBufferBytes(DWORD bytesPerSecond) { return (long)(bytesPerSecond * 40 / 1000); }
