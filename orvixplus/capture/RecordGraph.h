// The capture graph that records while it shows: the Smart Tee splits the
// device's picture into a preview branch (deinterlacer, video invert filter,
// renderer) and a capture branch into the MPEG recorder, which also takes the
// audio capture device's sound.
#pragma once
#include "CaptureGraph.h"

class CMpegEncoder;
class CSmartTeeFilter;

class CRecordGraph : public CCaptureGraph {
public:
    CRecordGraph();
    ~CRecordGraph() override;

    DWORD GetRecordedBytes() override;
    double EstimateRecordSizeMB(int seconds) override;
    // Before Open: where and how the recording is made.
    void SetRecordParams(LPCSTR pszFolder, int format, int quality) override;
    BOOL ConfigureRecorder(LPCSTR pszFolder, int format, int quality) override;
    void DestroyFilters() override;
    BOOL ConnectFilters() override;
    BOOL CreateFilters() override;
    BOOL SetVideoFormat(int width, int height) override;
    // Also FALSE (and the graph stopped) when the recorder did not start.
    BOOL Run() override;

    CMpegEncoder* GetEncoder() const { return m_pEncoder; }
    CSmartTeeFilter* GetSmartTee() const { return m_pSmartTee; }

protected:
    int m_nQuality;
    int m_nFormat;
    CString m_strRecordFolder;
    CSmartTeeFilter* m_pSmartTee;
    CMpegEncoder* m_pEncoder;
};
