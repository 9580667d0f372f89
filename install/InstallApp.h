// The application object: runs the install dialog and ends with it.
#pragma once
#include "WinApp.h"

class CInstallApp : public CWinApp {
public:
    CInstallApp();
    virtual BOOL InitInstance();
};
