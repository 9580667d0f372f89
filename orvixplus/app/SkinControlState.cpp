#include "SkinControlState.h"
#include "AppState.h"
#include "Globals.h"
#include "ShapeDialog.h"
#include <string.h>

namespace {

const char* const kViewingEnabled[] = {
    "TIMED_RECORD", "PROPERTY_PAGE", "CAPTURE_PICTURES", "RECORD_MOVIE", "PLAY_MOVIE", "WWW",
    "HELP", "MINIMIZE", "CLOSE", "ADD_SND", "SUB_SND", "MUTE_SND", NULL};
// Composite and S-Video viewing: the other two sources and the common set.
const char* const kCompositeEnabled[] = {
    "TV", "SVideo", "TIMED_RECORD", "PROPERTY_PAGE", "CAPTURE_PICTURES", "RECORD_MOVIE",
    "PLAY_MOVIE", "WWW", "HELP", "MINIMIZE", "CLOSE", "ADD_SND", "SUB_SND", "MUTE_SND", NULL};
const char* const kSVideoEnabled[] = {
    "TV", "Composite", "TIMED_RECORD", "PROPERTY_PAGE", "CAPTURE_PICTURES", "RECORD_MOVIE",
    "PLAY_MOVIE", "WWW", "HELP", "MINIMIZE", "CLOSE", "ADD_SND", "SUB_SND", "MUTE_SND", NULL};
const char* const kRecording[] = {"RECORD_MOVIE", NULL};
const char* const kRadioDisabled[] = {"FM", NULL};
const char* const kTvViewingDisabled[] = {
    "TV", "FM", "PAUSE_MOVIE", "STOP_MOVIE", "AHEAD_MOVIE", "BACK_MOVIE", "SndChannel_Change", NULL};
const char* const kScanEnabled[] = {"NEXT_CHANNELS", "PRE_CHANNELS", "SCAN_CHANNELS", NULL};
const char* const kNone[] = {NULL};
const char* const kPlaybackDisabled[] = {
    "NEXT_CHANNELS", "PRE_CHANNELS", "FM", "ChangeSkin", "CLOSE",
    "NUMBER_0", "NUMBER_1", "NUMBER_2", "NUMBER_3", "NUMBER_4",
    "NUMBER_5", "NUMBER_6", "NUMBER_7", "NUMBER_8", "NUMBER_9",
    "TIMED_RECORD", "PROPERTY_PAGE", "SCAN_CHANNELS", "TV_WALLS", "RECORD_MOVIE",
    "TV", "Composite", "SVideo", "SndChannel_Change", NULL};

// "FM" is disabled in Composite and S-Video viewing while the default is
// disabled too: listing it changes nothing, so it is left out of the lists.
const SkinRule kRules[] = {
    {{SOURCE_COMPOSITE, 0}, MODE_COMPOSITE_VIEW, FALSE, kCompositeEnabled, FALSE, TRUE, FALSE},
    {{SOURCE_COMPOSITE, 0}, MODE_COMPOSITE_RECORD, FALSE, kRecording, FALSE, FALSE, FALSE},
    {{SOURCE_SVIDEO, 0}, MODE_SVIDEO_VIEW, FALSE, kSVideoEnabled, FALSE, TRUE, FALSE},
    {{SOURCE_SVIDEO, 0}, MODE_SVIDEO_RECORD, FALSE, kRecording, FALSE, FALSE, FALSE},
    {{SOURCE_RADIO, 0}, 0, TRUE, kRadioDisabled, FALSE, TRUE, FALSE},
    {{SOURCE_ANTENNA, SOURCE_CABLE}, MODE_TV_VIEW, TRUE, kTvViewingDisabled, FALSE, TRUE, FALSE},
    {{SOURCE_ANTENNA, SOURCE_CABLE}, MODE_TV_RECORD, FALSE, kRecording, FALSE, FALSE, FALSE},
    {{SOURCE_ANTENNA, SOURCE_CABLE}, MODE_SCAN, FALSE, kScanEnabled, FALSE, FALSE, FALSE},
    {{SOURCE_ANTENNA, SOURCE_CABLE}, MODE_NUMBER_BUTTONS, TRUE, kTvViewingDisabled, FALSE, TRUE, FALSE},
    {{SOURCE_ANTENNA, SOURCE_CABLE}, MODE_NUMBER_KEYS, TRUE, kTvViewingDisabled, FALSE, TRUE, FALSE},
    {{SOURCE_ANTENNA, SOURCE_CABLE}, MODE_TV_WALL, FALSE, kNone, FALSE, FALSE, TRUE},
    {{0, 0}, MODE_PLAY_FILE, TRUE, kPlaybackDisabled, TRUE, TRUE, FALSE},
};

BOOL RuleMatches(const SkinRule& rule, int nSource, int nMode)
{
    if (rule.nMode != 0 && rule.nMode != nMode)
        return FALSE;
    if (rule.nSources[0] == 0)
        return TRUE;
    return rule.nSources[0] == nSource || rule.nSources[1] == nSource;
}

}  // namespace

const SkinRule* FindSkinRule(int nSource, int nMode)
{
    for (const SkinRule& rule : kRules)
        if (RuleMatches(rule, nSource, nMode))
            return &rule;
    return NULL;
}

BOOL SkinRuleButtonState(const SkinRule& rule, const char* pszName)
{
    for (const char* const* p = rule.ppszExceptions; p && *p; ++p)
        if (pszName && strcmp(*p, pszName) == 0)
            return !rule.bButtonsDefault;
    return rule.bButtonsDefault;
}

BOOL ApplySkinRule(CShapeDialog* pDlg, int nSource, int nMode)
{
    const SkinRule* rule = FindSkinRule(nSource, nMode);
    if (!pDlg || !rule)
        return FALSE;
    for (int i = 0; i < pDlg->GetButtonCount(); ++i) {
        CShapeButton* b = pDlg->GetButton(i);
        b->Enable(SkinRuleButtonState(*rule, b->GetName()));
    }
    if (rule->bAllSliders) {
        for (int i = 0; i < pDlg->GetProgressCount(); ++i)
            pDlg->GetProgress(i)->Enable(FALSE);
    } else {
        pDlg->EnableProgress("PROGRESS_POS", rule->bPosition);
        pDlg->EnableProgress("PROGRESS_VOLUME", rule->bVolume);
    }
    return TRUE;
}

void CSkinControlState::Refresh()
{
    if (!g_pAppState)
        return;
    CShapeDialog* pDlg = dynamic_cast<CShapeDialog*>(AfxGetMainWnd());
    if (!pDlg || !pDlg->GetSafeHwnd())
        return;
    ApplySkinRule(pDlg, g_pAppState->GetSource(), g_pAppState->GetMode());
}
