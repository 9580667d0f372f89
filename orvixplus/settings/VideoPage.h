// The video tab: the five picture levels (applied live while a bar is
// dragged), the window size preset, the aspect rule and "缺省值".
#pragma once
#include "SettingsPage.h"

class CVideoPage : public CSettingsPage {
public:
    enum { IDC_DEFAULTS = 4183, IDC_WINDOW_SIZE = 4178 };
    CVideoPage() : m_pDefaults(NULL), m_nAspect(0) {}
    // The defaults button's work (its id is also the brightness label's).
    void RestoreDefaults();

protected:
    virtual BOOL CreateControls();
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    CHoverTextButton* m_pDefaults;
    int m_nAspect;
};
