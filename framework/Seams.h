// Seams for what a test must observe instead of suffering: message boxes and
// the power actions (under Wine, ExitWindowsEx ends the whole Wine session).
//
// Message boxes: an in-process hook (set by tests) sees every box and answers
// it. Without a hook, the environment variable ORVIX_MSGBOX_LOG names a file to
// which each box is appended as one line "caption<TAB>text<TAB>flags" (GBK), and
// the box is answered with ORVIX_MSGBOX_ANSWER (a button id) or, without it,
// with the box's first button. Otherwise a real box is shown.
//
// Power: with ORVIX_POWER_LOG set, the request is appended to that file as one
// line ("ExitWindowsEx 0x2 0x0", "SetSystemPowerState 1 0", "SetThreadExecutionState
// 0x2", "SetWaitableTimer 2024-03-31 19:58:00 1" with the absolute due time in
// UTC and the resume flag, "keybd_event 0x1 0x0 0x2") and reported as done.
#pragma once
#include <windows.h>

typedef int (*FwMessageBoxHook)(HWND owner, LPCSTR text, LPCSTR caption, UINT flags);

// Installs the hook and returns the previous one (NULL: none).
FwMessageBoxHook FwSetMessageBoxHook(FwMessageBoxHook hook);
int FwMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT flags);
// Called with TRUE before every box (hooked, logged or shown) and with FALSE
// once it is answered: a box runs a message loop, and the program may want to
// keep its timed work out of it. Returns the previous notifier.
typedef void (*FwMessageBoxNotify)(BOOL bBegin);
FwMessageBoxNotify FwSetMessageBoxNotify(FwMessageBoxNotify notify);
// The answer a box gets when nobody chooses: its first button.
int FwDefaultAnswer(UINT flags);

BOOL FwExitWindowsEx(UINT flags, DWORD reason);
BOOL FwSetSystemPowerState(BOOL suspend, BOOL force);

EXECUTION_STATE FwSetThreadExecutionState(EXECUTION_STATE flags);
// An absolute due time is logged as UTC, a relative one as "+<ms>ms".
BOOL FwSetWaitableTimer(HANDLE timer, const LARGE_INTEGER* dueTime, LONG period,
                        PTIMERAPCROUTINE completion, LPVOID arg, BOOL resume);
void FwKeybdEvent(BYTE vk, BYTE scan, DWORD flags, ULONG_PTR extraInfo);
