// The Timewarden application: one running copy, and the hidden main dialog
// run modally for the whole life of the process.
#pragma once
#include "Afx.h"

#define TIMEWARDEN_MUTEX_NAME "{1C6780D1-9e51-684a-8F5F-8Fa8d2BD87DD}"

class CScheduleTrayApp : public CWinApp {
public:
    CScheduleTrayApp();
    virtual BOOL InitInstance();
    virtual int ExitInstance();

private:
    HANDLE m_hMutex;
};
