// Helper program of the window framework's tests: another process that finds
// a dialog by its class "#32770" and caption and posts it a command.
// Command line: <command id> <caption>. Exit code 0 when the command was
// posted, 2 when no such dialog appeared within five seconds.
#include "Afx.h"
#include <stdlib.h>

class CProbeApp : public CWinApp {
public:
    CProbeApp() : m_nResult(2) {}

    BOOL InitInstance() override
    {
        char* caption = NULL;
        UINT id = (UINT)strtoul(m_lpCmdLine, &caption, 10);
        while (*caption == ' ')
            caption++;
        for (int i = 0; i < 500; i++) {
            HWND hWnd = ::FindWindowA("#32770", caption);
            if (hWnd) {
                ::PostMessageA(hWnd, WM_COMMAND, id, 0);
                m_nResult = 0;
                break;
            }
            ::Sleep(10);
        }
        return FALSE;
    }

    int ExitInstance() override { return m_nResult; }

private:
    int m_nResult;
};

CProbeApp theApp;
