// Stands in for Timewarden in the schedule tests: a hidden dialog with
// Timewarden's caption that appends the id of every WM_COMMAND it receives to
// the file named on its command line, one decimal id a line. It ends on
// WM_CLOSE, or by itself after a minute so that no test can leave it behind.
#include <windows.h>
#include <stdio.h>
#include "ScheduleMessages.h"

static const char* g_pszLogPath = NULL;

static INT_PTR CALLBACK StubDlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        SetTimer(hDlg, 1, 60000, NULL);
        return TRUE;
    case WM_COMMAND:
        if (FILE* f = fopen(g_pszLogPath, "a")) {
            fprintf(f, "%u\n", (unsigned)LOWORD(wParam));
            fclose(f);
        }
        return TRUE;
    case WM_TIMER:
    case WM_CLOSE:
        DestroyWindow(hDlg);
        return TRUE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return TRUE;
    }
    return FALSE;
}

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    g_pszLogPath = argv[1];

    // A dialog template in memory: header, no menu, default class, caption.
    static const char s_caption[] = SCHEDULER_WINDOW_CAPTION;
    alignas(4) WORD buffer[64] = {};
    DLGTEMPLATE* pTemplate = reinterpret_cast<DLGTEMPLATE*>(buffer);
    pTemplate->style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
    pTemplate->cx = 100;
    pTemplate->cy = 50;
    WORD* pWord = reinterpret_cast<WORD*>(pTemplate + 1);
    *pWord++ = 0;
    *pWord++ = 0;
    for (const char* p = s_caption; *p; p++)
        *pWord++ = (WORD)*p;
    *pWord = 0;

    HWND hDlg = CreateDialogIndirectParamA(GetModuleHandleA(NULL), pTemplate, NULL, StubDlgProc, 0);
    if (!hDlg)
        return 3;
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
