// The OrvixPlus application: one running copy, COM for the user-interface
// thread, and the main dialog run modally for the whole life of the process.
#pragma once
#include "Afx.h"

#define ORVIXPLUS_MUTEX_NAME "{1C6780D1-1524-15f0-455F-f47882BD15DD}"

class CTvApp : public CWinApp {
public:
    CTvApp();
    virtual BOOL InitInstance();
    virtual int ExitInstance();

private:
    HANDLE m_hMutex;
    BOOL m_bComInitialized;
};
