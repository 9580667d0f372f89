#include "InstallAboutDlg.h"

CInstallAboutDlg::CInstallAboutDlg() : CDialog(CInstallAboutDlg::IDD)
{
}
