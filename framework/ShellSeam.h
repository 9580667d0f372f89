// The shell's "open" (web pages, documents) as a seam beside the message box:
// with ORVIX_SHELL_LOG set, each request is appended to that file as one line
// "verb<TAB>file<TAB>parameters" (GBK) and reported as done (33, above the
// shell's error range); otherwise the shell runs it.
#pragma once
#include <windows.h>

HINSTANCE FwShellExecute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                         LPCSTR directory, int nShowCmd);
