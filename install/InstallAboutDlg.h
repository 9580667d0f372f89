// The About box, reached through the install dialog's system menu.
#pragma once
#include "Dialog.h"
#include "resource.h"

class CInstallAboutDlg : public CDialog {
public:
    CInstallAboutDlg();
    enum { IDD = IDD_ABOUTBOX };
};
