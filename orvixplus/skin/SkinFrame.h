// CSkinFrame: draws, hit-tests and optionally shapes the non-client area of an
// ordinary top-level window from the pieces of one frame image described in
// skin.ini ([DialogResInfo], [SystemButtons] and the caption-button
// sections). It hooks the window, so the window's class needs no frame code:
// its owner embeds the object, says which caption buttons it wants, loads the
// skin and attaches the window. Caption buttons report by private messages;
// the frame itself never minimises, maximises or closes.
#pragma once
#include "SubclassWnd.h"

#define WM_SKINFRAME_MINIMIZE   (WM_USER + 633)
#define WM_SKINFRAME_MAXIMIZE   (WM_USER + 634)
#define WM_SKINFRAME_CLOSE      (WM_USER + 635)

// Hit codes of the caption buttons, beyond the platform's own.
#define HTSKINMINBUTTON     256
#define HTSKINMAXBUTTON     257
#define HTSKINCLOSEBUTTON   258

struct CSkinSysButton {
    int nOffsetRight = 0, nOffsetTop = 0;
    CRect rNormal, rOver, rDown, rDisabled;
};

class CSkinFrame : public CSubclassWnd {
public:
    enum { TOPLEFT, MIDDLETOP, TOPRIGHT, MIDDLELEFT, MIDDLERIGHT, BOTTOMLEFT, MIDDLEBOTTOM, BOTTOMRIGHT, PIECES };
    enum { MINBUTTON, MAXBUTTON, CLOSEBUTTON, SYSBUTTONS };

    CSkinFrame();
    virtual ~CSkinFrame();

    // Before LoadSkin: which caption buttons the window gets.
    void WantButtons(BOOL bMinimize, BOOL bMaximize, BOOL bClose);
    // TRUE when the skin is usable; a failure leaves the frame unloaded
    // (whatever an earlier load had built is gone either way).
    BOOL LoadSkin(LPCTSTR lpszPath);
    BOOL IsLoaded() const { return m_bLoaded; }
    BOOL Attach(HWND hWnd);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // A word of flags the owner keeps here; the frame only stores it.
    DWORD GetFlags() const { return m_dwFlags; }
    void SetFlags(DWORD dwFlags) { m_dwFlags |= dwFlags; }
    void ClearFlags(DWORD dwFlags) { m_dwFlags &= ~dwFlags; }

    // Geometry for a window of the given size (window coordinates).
    UINT HitTest(CPoint point, CSize window) const;
    CRect ButtonRect(int nButton, int nWindowWidth) const;
    CRect ClientArea(CSize window) const;
    // The window's shape; NULL when the skin does not shape windows.
    HRGN BuildWindowShape(CSize window) const;
    HRGN BuildTopBand(int nMiddle) const;
    HRGN BuildBottomBand(int nMiddle) const;

    const CString& GetCaptionText() const { return m_strCaption; }
    UINT GetHover() const { return m_nHover; }
    UINT GetPressed() const { return m_nPressed; }
    BOOL IsShapeWindow() const { return m_nShapeWindow != 0; }
    int GetCaptionHeight() const { return m_nCH; }

protected:
    HRGN BuildBand(int nLeft, int nMiddle, int nRight, int nLeftW, int nMiddleW, int nHeight,
                   int nMiddleWidth) const;
    void FreeSkin();
    void BuildPieces();
    void Paint();
    // A hidden window's frame is drawn when it shows (WM_NCPAINT): drawing it
    // before, at each of its start-up's size, caption and activation
    // changes, shows nothing and costs a window context each time.
    void Repaint() { if (m_hWnd && ::IsWindowVisible(m_hWnd)) Paint(); }
    void ClearTracking() { m_nHover = m_nPressed = 0; }
    CSize WindowSize() const;
    BOOL Wants(int nButton) const { return m_bWant[nButton]; }

    BOOL m_bLoaded;
    BOOL m_bResizable, m_bMinBox, m_bMaxBox;
    BOOL m_bWant[SYSBUTTONS];
    UINT m_nHover, m_nPressed, m_nLastHover;
    UINT m_nArmed;              // the caption button the last press was on
    CString m_strCaption;
    HBITMAP m_hFrameImage;
    CRect m_rPiece[2][PIECES];
    int m_nShapeWindow, m_nSkinClient;
    COLORREF m_crMask;
    HRGN m_hPieceRgn[PIECES];
    HBITMAP m_hPiece[2][PIECES];
    int m_nTLw, m_nMTw, m_nTRw, m_nCH, m_nMLw, m_nMLh, m_nMRw, m_nMRh, m_nBLw, m_nMBw, m_nBRw, m_nBH;
    CSkinSysButton m_sys[SYSBUTTONS];
    HBITMAP m_hSysImage;
    DWORD m_dwFlags;
    int m_nNcState;             // 0 active, 1 inactive by the last WM_NCACTIVATE; -1 none yet
};
