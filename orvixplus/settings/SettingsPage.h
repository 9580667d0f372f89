// What every page of the settings window shares: a hidden child of the page
// panel with a background cut from the panel's image and a frame, the
// controls it owns (destroyed window first, then object, with the page) and
// the way its reports reach the settings window: to the handle the control
// registry holds.
#pragma once
#include "Afx.h"
#include "AfxArray.h"

class CSkinLabel;
class CEllipsisLabel;
class CSkinComboBox;
class CHoverTextButton;
class CSkinCheckButton;
class CImageToggle;
class CSkinTrackBar;
class CSkinGroup;

class CSettingsPage : public CStatic {
public:
    CSettingsPage();
    virtual ~CSettingsPage();

    // A hidden child of the panel; the controls are made in WM_CREATE.
    BOOL CreatePage(const RECT& rect, CWnd* pPanel, UINT nID);
    // The rectangle of the source becomes the page's own background bitmap;
    // nothing for an empty source.
    void CutBackground(HBITMAP hSource, int left, int top, int right, int bottom);
    HBITMAP GetBackground() const { return (HBITMAP)m_bmpBack.GetSafeHandle(); }

protected:
    // The page's controls, in the order of its table.
    virtual BOOL CreateControls() = 0;
    virtual int OnCreate(LPCREATESTRUCT lpCreateStruct);
    virtual void OnDestroy();
    virtual void OnPaint();
    virtual BOOL OnEraseBkgnd(CDC*) { return TRUE; }

    // Control makers: each control is kept for destruction; "registered"
    // ones are filed in g_pSkinCtrlMap under their id. pParent NULL: the page.
    CSkinLabel* AddLabel(UINT nID, LPCSTR text, const RECT& rc, BOOL bRegister = FALSE, CWnd* pParent = NULL);
    CEllipsisLabel* AddEllipsisLabel(UINT nID, const RECT& rc);
    CSkinComboBox* AddCombo(UINT nID, const RECT& rc, const char* const* items, int nItems,
                            CWnd* pParent = NULL);
    CHoverTextButton* AddButton(UINT nID, LPCSTR text, const RECT& rc);
    // An image button from a row of IDB_MOVE_BUTTONS.
    CHoverTextButton* AddMoveButton(UINT nID, int nRow, const RECT& rc);
    CSkinCheckButton* AddCheck(UINT nID, LPCSTR text, const RECT& rc, CWnd* pParent);
    CImageToggle* AddToggle(UINT nID, LPCSTR text, const RECT& rc, CWnd* pParent);
    // Sized to its channel image; top-left at (x, y).
    CSkinTrackBar* AddTrackBar(UINT nID, int x, int y, int nMin, int nMax, BOOL bThumb);
    CSkinGroup* AddGroup(UINT nID, LPCSTR text, const RECT& rc);
    void Keep(CWnd* pWnd) { m_controls.Add(pWnd); }

    // To the settings window (the registry's owner); 0 without one.
    static LRESULT Report(UINT message, WPARAM wParam, LPARAM lParam);
    static void StopScanAndRun();

private:
    CBitmap m_bmpBack;
    CArray<CWnd*, CWnd*> m_controls;
};

// The executable's folder with its backslash; empty when it cannot be read.
CString ProgramFolderPath();
// The channel list the input source tunes: 1 antenna, 2 cable, 0 neither.
int InputSourceList();
// What every change does first: a running channel scan stops, a scheduled
// recording or viewing ends.
void StopScanAndScheduledRun();

// Keeps the program's timed work (timer 500's scheduled start among it) out
// while a modal loop runs: a recording started inside the loop would delete
// the graph a dialog works on.
class CBusyScope {
public:
    CBusyScope();
    ~CBusyScope();
};

// Whether the program is in one of the modes in which channels may be moved
// and channel files read or written.
BOOL IsChannelEditMode(BOOL bWithRadio);
