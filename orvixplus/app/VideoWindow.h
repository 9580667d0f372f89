// The top-level window the live picture (or a played file) is shown in, class
// "Orvix Plus", placed above the main dialog: a skinned frame, a themed pop-up
// menu with the channel history, size presets, free sizing held to an aspect,
// full screen with an idle cursor hider, always on top and its own keys.
//
// A plain window procedure finds the object through the window property
// "sVideoWindow_OldProc"; the frame and the menu drawing hook the window.
#pragma once
#include "Afx.h"
#include "ColorTheme.h"
#include "SkinFrame.h"
#include "SkinMenu.h"

#define VIDEO_WINDOW_CLASS "Orvix Plus"
#define VIDEO_WINDOW_PROP "sVideoWindow_OldProc"

// Received by the video window; the first three also go to the settings
// window, which answers with the same numbers.
#define WM_VIDEO_SIZE_PRESET    (WM_USER + 320)  // 1344: wParam preset 1..3
#define WM_VIDEO_ALWAYS_ON_TOP  (WM_USER + 512)  // 1536: wParam the flag
#define WM_VIDEO_INPUT_CHANGED  (WM_USER + 690)  // 1714: refresh the input check marks
// Timer of the cursor hider while in full screen.
#define VIDEO_TIMER_CURSOR 50

enum AspectRatio { ASPECT_4_3 = 0, ASPECT_16_9 = 1, ASPECT_FREE = 2 };

// Holds a window rectangle being sized by edge nEdge (WMSZ_LEFT ..
// WMSZ_BOTTOMRIGHT) to the aspect: the edge's neighbour follows. Free aspect
// and other edges leave it alone.
void ConstrainAspect(int nAspect, int nEdge, RECT* pRect);
// The client size of a size preset (1 320x240, 2 640x480, 3 720x576).
SIZE PresetSize(int nPreset);

// Two button-downs close in time and place make a double click, for windows
// whose class sends none (the renderer's window inside the video window).
class CDoubleClickDetector {
public:
    // TRUE when this press completes a double click (the next one starts anew).
    BOOL OnButtonDown(DWORD dwTime, POINT pt);
    void Reset() { m_bArmed = FALSE; }

private:
    BOOL m_bArmed = FALSE;
    DWORD m_dwTime = 0;
    POINT m_pt = {0, 0};
};

class CVideoWindow {
public:
    CVideoWindow();
    virtual ~CVideoWindow();

    // A hidden window whose client area is cx x cy, then AttachVideo. The
    // always-on-top flag and the size preset come from the settings.
    BOOL Create(int cx, int cy);
    // TRUE; FALSE for a missing file or an unusable frame skin; -1 when the
    // menu cannot be loaded.
    int LoadSkin(LPCSTR pszSkinIni);
    void SetCaption(LPCSTR pszText);
    // Binds the current capture graph to the window and opens the device at
    // the settings' size and input. A graph that fails is deleted and
    // g_pCaptureGraph cleared. FALSE without a graph.
    BOOL AttachVideo();
    // FALSE when already in (not in) full screen.
    BOOL EnterFullScreen();
    BOOL LeaveFullScreen();

    BOOL IsFullScreen() const { return m_bFullScreen; }
    BOOL IsAlwaysOnTop() const { return m_bAlwaysOnTop; }
    int GetSizePreset() const { return m_nSizePreset; }
    const ColorTheme& GetColorTheme() const { return m_theme; }
    HMENU GetMenu() const { return m_menu.GetSafeHmenu(); }

    // The window, as the other windows use it.
    HWND GetSafeHwnd() const { return m_hWnd; }
    void GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
    void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
        { return ::SetWindowPos(m_hWnd, CWnd::SafeHwnd(pWndInsertAfter), x, y, cx, cy, nFlags); }
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
        { return ::SendMessage(m_hWnd, message, wParam, lParam); }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
        { return ::PostMessage(m_hWnd, message, wParam, lParam); }

    static CVideoWindow* FromHandle(HWND hWnd);
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    CVideoWindow(const CVideoWindow&) = delete;
    CVideoWindow& operator=(const CVideoWindow&) = delete;

    // Returns TRUE when the message is answered with *pResult and goes no
    // further.
    BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    void OnMouseMove();
    void OnContextMenu(int x, int y);
    void OnSize(int cx, int cy);
    void OnGetMinMaxInfo(MINMAXINFO* pInfo);
    void OnKeyDown(UINT nKey);
    void OnCommand(UINT nId);
    void OnTimer(UINT_PTR nId);
    void OnInitMenuPopup();
    void OnSizing(int nEdge, RECT* pRect);
    void OnLButtonDown(LPARAM lParam);
    void OnActivate(WPARAM wParam);

    void RebuildHistoryMenu();
    void EnableMenuItems();
    void RefreshSizeChecks();
    void RefreshOnTopCheck();
    void RefreshInputChecks();
    void ApplyPreset(int nPreset, BOOL bFromMenu);
    void ResizeClient(int cx, int cy, UINT nFlags);
    void SetAspect(int nAspect);
    void SetAlwaysOnTop(BOOL bOnTop, BOOL bTellSettings);
    void ToggleFullScreen();
    void CenterOnDesktop();
    void CloseRequest();
    void SelectInput(UINT nId);
    void OnHistoryChoice(UINT nId);

    BOOL m_bDragByClient;
    BOOL m_bMenuStateInit;
    CSkinFrame m_frame;
    HWND m_hWnd;
    CSkinMenu m_menu;
    ColorTheme m_theme;
    int m_bAlwaysOnTop;
    int m_bFullScreen;
    int m_nSizePreset;
    WINDOWPLACEMENT m_wpNormal;
    RECT m_rcFullScreen;
    CDoubleClickDetector m_doubleClick;
};
