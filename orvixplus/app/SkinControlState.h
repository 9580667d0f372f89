// Enables and disables the main window's skin buttons and sliders for the
// current source and mode. One instance, g_pSkinRefresher; it runs at the end
// of start-up and on every change of CAppState's source or mode.
#pragma once
#include <windows.h>

class CShapeDialog;

// One row of the table: which source and mode it is for, the buttons'
// default, the buttons that differ from it and the two sliders.
struct SkinRule {
    int nSources[2];             // one or two sources; 0 = any
    int nMode;                   // 0 = any
    BOOL bButtonsDefault;
    const char* const* ppszExceptions;  // NULL-terminated; they get !default
    BOOL bPosition;              // "PROGRESS_POS"
    BOOL bVolume;                // "PROGRESS_VOLUME"
    BOOL bAllSliders;            // every slider of the window, not just the two
};

// The rule for a source and mode, NULL when none has one (nothing changes then).
const SkinRule* FindSkinRule(int nSource, int nMode);
// The state a button of that name gets under the rule.
BOOL SkinRuleButtonState(const SkinRule& rule, const char* pszName);
// Applies the rule for the source and mode to the dialog's elements; FALSE
// (nothing changed) without a rule.
BOOL ApplySkinRule(CShapeDialog* pDlg, int nSource, int nMode);

class CSkinControlState {
public:
    virtual ~CSkinControlState() {}
    void Refresh();
};
