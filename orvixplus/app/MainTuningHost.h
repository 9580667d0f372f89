// The channel store's view of the main dialog (TuningHost.h).
#pragma once
#include "TuningHost.h"

class CMainDlg;

class CMainTuningHost : public CTuningHost {
public:
    explicit CMainTuningHost(CMainDlg* pDlg) : m_pDlg(pDlg) {}
    BOOL HasMainWindow() override;
    BOOL HasGraph() override;
    void EnsureGraph() override;
    void EnableAudio(BOOL bEnable) override;
    void ShowVideoWindow() override;
    BOOL HasSettingsWindow() override;
    BOOL IsSettingsWindowVisible() override;
    void PostToSettingsWindow(UINT nMsg) override;
    void SetSkinText(const char* pszElement, const char* pszText) override;
    void ShowChannelText(const char* pszText) override;
    void StopChannelScan() override;
    void WriteTunerPll(BYTE b0, BYTE b1, BYTE b2, BYTE b3) override;
    void Pause(DWORD dwMilliseconds) override;

private:
    CMainDlg* m_pDlg;
};
