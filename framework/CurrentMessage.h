// The calling thread's current message for the time of one window-procedure
// call: a message sent from inside a handler gets its own, and the outer one
// is back when the call returns, so Default() in the outer handler still
// passes on what it was called for.
#pragma once
#include "AfxState.h"

class CCurrentMessageScope {
public:
    CCurrentMessageScope(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
        : m_saved(*AfxGetCurrentMessage())
    {
        MSG* cur = AfxGetCurrentMessage();
        cur->hwnd = hWnd;
        cur->message = message;
        cur->wParam = wParam;
        cur->lParam = lParam;
    }
    ~CCurrentMessageScope() { *AfxGetCurrentMessage() = m_saved; }

private:
    CCurrentMessageScope(const CCurrentMessageScope&) = delete;
    CCurrentMessageScope& operator=(const CCurrentMessageScope&) = delete;
    MSG m_saved;
};
