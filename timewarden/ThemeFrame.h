// CThemeFrame: the bitmap frame and caption of Timewarden's visible dialogs,
// described by theme.ini (borders with an active and an inactive half, caption
// buttons, title colours, an optionally shaped caption). It hooks the dialog
// and takes over its non-client area: sizes, painting, hit tests and the
// caption buttons' clicks.
#pragma once
#include "SubclassWnd.h"

// Where the dialogs find their theme, below the program folder.
#define THEME_INI_PATH "skin\\Sleekform\\theme.ini"

// A path below the program folder (a relative one would follow the current
// folder, which is the system folder when the program starts at logon).
CString ProgramFolderPath(LPCSTR lpszRelative);

// "r,g,b" (any non-digits between the numbers); crDefault for an empty or
// incomplete value.
COLORREF ReadThemeColour(LPCSTR lpszIni, LPCSTR lpszSection, LPCSTR lpszKey, COLORREF crDefault);
COLORREF ParseThemeColour(LPCSTR lpszValue, COLORREF crDefault);

class CThemeFrame : public CSubclassWnd {
public:
    enum { CLOSE, MAXIMIZE, RESTORE, MINIMIZE, BUTTONS };

    CThemeFrame();
    ~CThemeFrame() override;

    // FALSE, with the frame unloaded, when one of the four borders is missing.
    BOOL LoadTheme(LPCSTR lpszIni);
    BOOL IsLoaded() const { return m_bLoaded; }
    // Hooks the dialog when a theme is loaded; the caller then sends
    // SWP_FRAMECHANGED.
    BOOL Attach(CWnd* pWnd);
    void DrawFrame();
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Geometry, in window coordinates.
    int GetTopHeight() const { return m_nTopH; }
    int GetLeftWidth() const { return m_nLeftW; }
    int GetRightWidth() const { return m_nRightW; }
    int GetBottomHeight() const { return m_nBottomH; }
    int GetButtonImageCount() const { return m_nButtonImgCount; }
    // Empty when the theme has no such button.
    CRect ButtonRect(int nButton, int nWindowWidth) const;
    UINT HitTest(CPoint point, CSize window) const;
    // The caption at the window's width (active images) less its key pixels,
    // joined with everything below it; NULL without UsesTran.
    HRGN BuildWindowRegion(CSize window) const;
    // The caption band as drawn, in a bitmap the caller owns.
    HBITMAP BuildCaptionBand(HDC hRef, int nWidth) const;

    BOOL IsActive() const { return m_bActive; }
    UINT GetHot() const { return m_nHot; }
    UINT GetPressed() const { return m_nPressed; }
    COLORREF GetColour(int n) const { return m_colours[n]; }
    enum { TITLE_TEXT, INACTIVE_TITLE_TEXT, TRANS_COLOR, BAR_COLOR, MENU_COLOR, BUTTON_FACE,
           BUTTON_TEXT, BUTTON_HILIGHT, BUTTON_FOCUS, COLOURS };

private:
    void Unload();
    void Redraw();
    void DrawBorders(HDC hDC, CSize window, int half);
    void DrawButtons(HDC hDC, int nWidth) const;
    void DrawTitle(HDC hDC, int nWidth) const;
    void Maximize();
    void Restore();
    void Minimize();
    BOOL OnCaptionCommand(UINT nId);

    BOOL m_bLoaded;
    CBitmap m_bmpDialog, m_bmpTop, m_bmpLeft, m_bmpRight, m_bmpBottom;
    CBitmap m_bmpButton[BUTTONS];
    CPoint m_buttonOffset[BUTTONS];   // XCoord, YCoord
    int m_nTopH, m_nLeftW, m_nRightW, m_nBottomH;
    int m_nTopTop, m_nTopBot, m_nLeftTop, m_nLeftBot, m_nRightTop, m_nRightBot, m_nBottomTop, m_nBottomBot;
    int m_nButtonImgCount;
    int m_nTextShift, m_nTextShiftVert;
    BOOL m_bUsesTran;
    COLORREF m_colours[COLOURS];

    BOOL m_bActive;
    UINT m_nHot, m_nPressed;
    BOOL m_bResizable, m_bMinimizeBox, m_bMaximizeBox;
    enum { NORMAL, MAXIMIZED, MINIMIZED };
    int m_nState, m_nStateBeforeMinimize;
    CRect m_rNormal;
    CString m_strTitle;
};
