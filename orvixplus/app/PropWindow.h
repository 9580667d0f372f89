// The settings window (caption "属性页"), as far as the main dialog drives
// it: created hidden, shown centred, closed by hiding. Showing and hiding tell
// the main dialog by message 2005. Its pages come with the settings work.
#pragma once
#include "Afx.h"

#define PROP_WINDOW_CLASS "Orvix Plus Prop"

class CPropWindow : public CWnd {
public:
    // A hidden top-level window with a client area of cx x cy.
    BOOL Create(int cx, int cy);
    BOOL Initialize(LPCSTR pszSkinIni);
    void Show();
    // Its own close operation: hides the window.
    void Close();

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
};
