#include "OptionsPanel.h"
#include "AppSettings.h"
#include "Globals.h"
#include "PropWindow.h"
#include "SkinGroup.h"
#include "SkinMessages.h"
#include "VideoWindow.h"

namespace {

const char* const kDwells[] = {"3秒", "5秒", "7秒"};
const char* const kGrids[] = {"2x2", "3x3", "4x4", "5x5"};

}  // namespace

BOOL COptionsPanel::CreateControls()
{
    CSkinGroup* pPreview = AddGroup(4224, "预览选项", CRect(20, 30, 405, 115));
    if (!pPreview || !AddLabel(4225, "预览时间", CRect(60, 23, 130, 44), FALSE, pPreview) ||
        !AddCombo(4227, CRect(150, 22, 310, 123), kDwells, 3, pPreview) ||
        !AddLabel(4226, "预览画面", CRect(60, 55, 130, 76), FALSE, pPreview) ||
        !AddCombo(4228, CRect(150, 53, 310, 155), kGrids, 4, pPreview))
        return FALSE;
    CSkinGroup* pOther = AddGroup(4416, "其他选项", CRect(20, 135, 405, 280));
    return pOther && AddToggle(4229, "视频桌面", CRect(70, 30, 160, 55), pOther) &&
           AddToggle(4230, "OSD启动", CRect(195, 30, 285, 55), pOther) &&
           AddToggle(4231, "总在最上面", CRect(70, 65, 170, 90), pOther) &&
           AddToggle(4232, "De-Interlace", CRect(195, 65, 300, 90), pOther) &&
           AddToggle(4233, "播放后删除预览文件", CRect(70, 103, 240, 128), pOther);
}

LRESULT COptionsPanel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PROP_SELCHANGE:
        // From the group, lParam the combo.
        if (wParam == 4227 || wParam == 4228)
            Report(WM_PROP_SELCHANGE, wParam, ::SendMessage((HWND)lParam, CB_GETCURSEL, 0, 0));
        return 0;
    case WM_IMAGETOGGLE_CHANGED: {
        if (!g_pSettings)
            return 0;
        StopScanAndRun();
        CAppSettings& s = *g_pSettings;
        int state = (int)lParam;
        switch (wParam) {
        case 4229: s.m_nVideoDesktop = state; break;
        case 4230: s.m_bOsd = state; break;
        case 4231:
            s.m_bAlwaysOnTop = state;
            if (g_pVideoWindow && g_pVideoWindow->GetSafeHwnd())
                g_pVideoWindow->PostMessage(WM_PROP_ALWAYS_ON_TOP, state, 0);
            break;
        case 4232: s.m_bDeinterlace = state; break;
        case 4233: s.m_bDeletePreviewFile = state; break;
        }
        return 0;
    }
    }
    return CSettingsPage::WindowProc(message, wParam, lParam);
}
