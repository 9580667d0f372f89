// Per-thread state of the window framework: the message being handled now,
// the window creation hook, and the temporary wrapper objects handed out for
// handles the program does not own.
#pragma once
#include <windows.h>
#include <vector>

class CWnd;

typedef void (*FwTempMapCleaner)();

struct FwThreadState {
    MSG msgCur;                 // what Default() passes on; saved/restored around nesting
    CWnd* pWndInit;             // object that the next created window is attached to
    HHOOK hHookCbt;             // creation hook, installed while a creation is under way
    int nHookDepth;             // nested creations (a window created in OnCreate)
    int nLoopDepth;             // our message loops running on this thread
    std::vector<FwTempMapCleaner> tempCleaners;
};

FwThreadState* AfxGetThreadState();
// The message the calling thread handles now (window, message, wParam, lParam,
// time, point). Writable so that other window-procedure layers keep it right.
MSG* AfxGetCurrentMessage();
// Frees every temporary wrapper of this thread (the message loops call it when
// idle): a pointer from FromHandle is good only while the current message lasts.
void AfxDeleteTempMaps();
// What our message loops call when the queue is empty: frees the temporaries
// only in the outermost loop, because a loop run from inside a message
// handler (a modal dialog opened by a click) must not free the pointers that
// handler still holds.
void FwIdleDeleteTempMaps();

// Marks a message loop of ours for as long as it lives.
class FwMessageLoopScope {
public:
    FwMessageLoopScope() { AfxGetThreadState()->nLoopDepth++; }
    ~FwMessageLoopScope() { AfxGetThreadState()->nLoopDepth--; }
};
void FwRegisterTempMapCleaner(FwTempMapCleaner cleaner);
