// CSplashWnd: the start-up picture (bitmap resource 161) in a plain popup,
// shown while the main window initialises. It is painted at once, since no
// message loop runs meanwhile.
#pragma once
#include "Afx.h"

#define IDB_SPLASH 161

// The window size for a picture on a screen: the picture's size, each side
// cut to three quarters of the screen's where the screen is smaller.
CSize SplashWindowSize(CSize picture, CSize screen);

class CSplashWnd : public CWnd {
public:
    CSplashWnd();
    // The window goes with the object: nothing may paint through it after.
    virtual ~CSplashWnd();

    void EnableSplash(BOOL bEnable) { m_bEnabled = bEnable; }
    BOOL IsSplashEnabled() const { return m_bEnabled; }
    BOOL ShowSplash(CWnd* pParent);
    // The screen the size rule sees (zero: the real one).
    void SetScreenSize(CSize screen) { m_screen = screen; }

protected:
    virtual int OnCreate(LPCREATESTRUCT lpCreateStruct);
    virtual void OnPaint();
    virtual BOOL OnEraseBkgnd(CDC*) { return TRUE; }

    CBitmap m_bitmap;
    BOOL m_bEnabled;
    CSize m_screen;
};
