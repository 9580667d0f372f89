// A tuning host with a main window and a graph but nothing behind them: the
// base of the in-process hosts that stand in for the main dialog, each
// overriding only what it watches or drives.
#pragma once
#include "TuningHost.h"

class CQuietTuningHost : public CTuningHost {
public:
    BOOL HasMainWindow() override { return TRUE; }
    BOOL HasGraph() override { return TRUE; }
    void EnsureGraph() override {}
    void EnableAudio(BOOL) override {}
    void ShowVideoWindow() override {}
    BOOL HasSettingsWindow() override { return FALSE; }
    BOOL IsSettingsWindowVisible() override { return FALSE; }
    void PostToSettingsWindow(UINT) override {}
    void SetSkinText(const char*, const char*) override {}
    void ShowChannelText(const char*) override {}
    void StopChannelScan() override {}
    void WriteTunerPll(BYTE, BYTE, BYTE, BYTE) override {}
    void Pause(DWORD) override {}
};
