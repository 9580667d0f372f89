// The device tab: country, input source, capture devices and audio line, and
// the two "设定" buttons (the capture device's property pages, the system
// volume mixer).
#pragma once
#include "SettingsPage.h"

class CDevicePage : public CSettingsPage {
public:
    CDevicePage() : m_pCountry(NULL) {}
    enum { IDC_COUNTRY_CODE = 4112, IDC_COUNTRY = 4101, IDC_INPUT = 4102, IDC_VIDEO_DEVICE = 4103,
           IDC_AUDIO_DEVICE = 4104, IDC_AUDIO_LINE = 4105, IDC_DEVICE_SETUP = 4113, IDC_MIXER = 4114 };

    // "<system folder>\sndvol32.exe"; empty when the folder cannot be read.
    static CString MixerPath();

protected:
    virtual BOOL CreateControls();
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void OnCountryChanged();
    void OnDeviceSetup();
    void OnMixer();

    CSkinComboBox* m_pCountry;
};
