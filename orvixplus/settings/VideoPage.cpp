#include "VideoPage.h"
#include "AppSettings.h"
#include "CaptureGraph.h"
#include "Globals.h"
#include "PropWindow.h"
#include "SkinButtons.h"
#include "SkinCtrlMap.h"
#include "SkinGroup.h"
#include "SkinMessages.h"

namespace {

struct Level {
    UINT name;
    const char* text;
    UINT bar;
    UINT label;
    int top;
    int defaultValue;
};
const Level kLevels[5] = {
    {4160, "亮度", 4167, 4183, 20, 50},
    {4161, "对比度", 4168, 4184, 59, 53},
    {4162, "清晰度", 4169, 4185, 98, 50},
    {4163, "色度", 4176, 4192, 137, 49},
    {4164, "饱和度", 4177, 4193, 176, 50},
};
const char* const kSizes[] = {"320x240", "640x480", "720x576"};

int* LevelSetting(CAppSettings& s, UINT bar)
{
    switch (bar) {
    case 4167: return &s.m_nBrightness;
    case 4168: return &s.m_nContrast;
    case 4169: return &s.m_nSharpness;
    case 4176: return &s.m_nHue;
    case 4177: return &s.m_nSaturation;
    }
    return NULL;
}

}  // namespace

BOOL CVideoPage::CreateControls()
{
    for (const Level& l : kLevels) {
        if (!AddLabel(l.name, l.text, CRect(30, l.top, 100, l.top + 24)) ||
            !AddTrackBar(l.bar, 130, l.top, 0, 100, TRUE) ||
            !AddLabel(l.label, "", CRect(330, l.top, 400, l.top + 24), TRUE))
            return FALSE;
    }
    if (!AddLabel(4165, "窗口尺寸", CRect(30, 215, 100, 239)) ||
        !AddCombo(IDC_WINDOW_SIZE, CRect(140, 215, 305, 315), kSizes, 3))
        return FALSE;
    CSkinGroup* pGroup = AddGroup(4179, "窗口比例", CRect(30, 254, 400, 304));
    if (!pGroup || !AddCheck(4180, "16:9", CRect(75, 17, 145, 37), pGroup) ||
        !AddCheck(4181, "4:3", CRect(145, 17, 215, 37), pGroup) ||
        !AddCheck(4182, "任意比例", CRect(215, 17, 305, 37), pGroup))
        return FALSE;
    m_pDefaults = AddButton(IDC_DEFAULTS, "缺省值", CRect(330, 215, 400, 240));
    return m_pDefaults != NULL;
}

void CVideoPage::RestoreDefaults()
{
    for (const Level& l : kLevels) {
        if (g_pSkinCtrlMap) {
            g_pSkinCtrlMap->SetTrackBarPos(l.bar, l.defaultValue);
            g_pSkinCtrlMap->SetLabelNumber(l.label, l.defaultValue);
        }
        if (g_pSettings)
            *LevelSetting(*g_pSettings, l.bar) = l.defaultValue;
    }
    if (CCaptureGraph* g = g_pCaptureGraph) {
        g->SetSaturation(50, 100);
        g->SetSharpness(50, 100);
        g->SetHue(49, 100);
        g->SetContrast(53, 100);
        g->SetBrightness(50, 100);
    }
}

LRESULT CVideoPage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SKINTRACKBAR_MOVING:
    case WM_SKINTRACKBAR_MOVED:
        for (const Level& l : kLevels)
            if (l.bar == wParam && g_pSkinCtrlMap)
                g_pSkinCtrlMap->SetLabelNumber(l.label, (int)lParam);
        Report(message == WM_SKINTRACKBAR_MOVING ? WM_PROP_SLIDER_MOVING : WM_PROP_SLIDER_RELEASED, wParam,
               lParam);
        return 0;
    case WM_SKINCHECK_CLICKED: {
        if (!g_pSettings)
            return 0;
        static const struct { UINT id; int aspect, index; } kAspects[3] = {
            {4180, 1, 0}, {4181, 0, 1}, {4182, 2, 2}};
        for (const auto& a : kAspects) {
            if (a.id != wParam)
                continue;
            for (const auto& other : kAspects)
                if (g_pSkinCtrlMap)
                    g_pSkinCtrlMap->SetCheck(other.id, other.id == a.id);
            g_pSettings->m_nWindowAspect = a.aspect;
            m_nAspect = a.index;
        }
        return 0;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == CBN_SELCHANGE && LOWORD(wParam) == IDC_WINDOW_SIZE) {
            Report(WM_PROP_SELCHANGE, IDC_WINDOW_SIZE, ::SendMessage((HWND)lParam, CB_GETCURSEL, 0, 0));
            return 0;
        }
        // Only the button itself: the brightness label shares its id.
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_DEFAULTS && m_pDefaults &&
            (HWND)lParam == m_pDefaults->m_hWnd) {
            RestoreDefaults();
            return 0;
        }
        break;
    }
    return CSettingsPage::WindowProc(message, wParam, lParam);
}
