#include "DevicePage.h"
#include "AppSettings.h"
#include "AppState.h"
#include "Bandatlas.h"
#include "CaptureGraph.h"
#include "ChannelStore.h"
#include "Globals.h"
#include "SkinButtons.h"
#include "SkinComboBox.h"
#include "SkinCtrlMap.h"
#include "SkinMessages.h"

namespace {

const char* const kInputs[] = {"电视", "复合视频", "S视频"};

}  // namespace

BOOL CDevicePage::CreateControls()
{
    return AddLabel(4096, "国家/地区", CRect(25, 40, 107, 64)) &&
           AddLabel(4097, "输入源", CRect(25, 84, 107, 108)) &&
           AddLabel(4097, "视频设备", CRect(25, 128, 107, 152)) &&
           AddLabel(4099, "音频设备", CRect(25, 172, 107, 196)) &&
           AddLabel(4100, "音频输入源", CRect(25, 216, 107, 240)) &&
           AddLabel(IDC_COUNTRY_CODE, "86", CRect(377, 39, 427, 64), TRUE) &&
           (m_pCountry = AddCombo(IDC_COUNTRY, CRect(127, 39, 327, 139), NULL, 0)) != NULL &&
           AddCombo(IDC_INPUT, CRect(127, 83, 327, 183), kInputs, 3) &&
           AddCombo(IDC_VIDEO_DEVICE, CRect(127, 127, 367, 207), NULL, 0) &&
           AddCombo(IDC_AUDIO_DEVICE, CRect(127, 171, 367, 251), NULL, 0) &&
           AddCombo(IDC_AUDIO_LINE, CRect(127, 215, 367, 295), NULL, 0) &&
           AddButton(IDC_DEVICE_SETUP, "设定", CRect(377, 127, 437, 152)) &&
           AddButton(IDC_MIXER, "设定", CRect(377, 171, 437, 196));
}

LRESULT CDevicePage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) {
        UINT id = LOWORD(wParam), code = HIWORD(wParam);
        if (code == CBN_SELCHANGE && g_pSkinCtrlMap) {
            if (id == IDC_COUNTRY) {
                OnCountryChanged();
                return 0;
            }
            if (id >= IDC_INPUT && id <= IDC_AUDIO_LINE) {
                int sel = (int)::SendMessage((HWND)lParam, CB_GETCURSEL, 0, 0);
                Report(WM_PROP_SELCHANGE, id, sel);
                return 0;
            }
        }
        if (code == BN_CLICKED && id == IDC_DEVICE_SETUP) {
            OnDeviceSetup();
            return 0;
        }
        if (code == BN_CLICKED && id == IDC_MIXER) {
            OnMixer();
            return 0;
        }
    }
    return CSettingsPage::WindowProc(message, wParam, lParam);
}

void CDevicePage::OnCountryChanged()
{
    CSkinComboBox* pCombo = m_pCountry;
    if (!pCombo || !pCombo->GetSafeHwnd())
        return;
    int sel = pCombo->GetCurSel();
    CString name;
    pCombo->GetItemText(sel, name);
    if (!name.IsEmpty()) {
        if (HMODULE hLib = ::LoadLibraryA("Bandatlas.dll")) {
            PFN_GetCountryCode pfn = (PFN_GetCountryCode)::GetProcAddress(hLib, "GetCountryCode");
            if (pfn) {
                int code = pfn(name);
                g_pSkinCtrlMap->SetLabelNumber(IDC_COUNTRY_CODE, code);
                if (g_pSettings)
                    g_pSettings->m_nCountryCode = code;
            }
            ::FreeLibrary(hLib);
        }
    }
    Report(WM_PROP_SELCHANGE, IDC_COUNTRY, sel);
}

void CDevicePage::OnDeviceSetup()
{
    if (!g_pChannelStore)
        return;
    StopScanAndRun();
    if (g_pCaptureGraph) {
        CBusyScope busy;
        g_pCaptureGraph->ShowPropertyPages();
    }
}

CString CDevicePage::MixerPath()
{
    char folder[MAX_PATH + 1] = "";
    UINT n = ::GetSystemDirectoryA(folder, sizeof(folder));
    if (n == 0 || n >= sizeof(folder))
        return CString();
    CString path = folder;
    path += "\\sndvol32.exe";
    return path;
}

void CDevicePage::OnMixer()
{
    if (!g_pChannelStore)
        return;
    StopScanAndRun();
    CString path = MixerPath();
    if (!path.IsEmpty())
        ::WinExec(path, SW_SHOW);
}
