// The "其他" tab: the TV wall's dwell and grid, and five on/off options.
#pragma once
#include "SettingsPage.h"

class COptionsPanel : public CSettingsPage {
protected:
    virtual BOOL CreateControls();
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
};
