// CShapeDialog: the base of a dialog without caption or frame whose shape,
// background and controls come from skin.ini and its images. The window is
// cut to the Mask's non-white pixels, painted with Normal, and carries the
// skin's shaped buttons, sliders and labels; the derived dialog hears of
// clicks and slider moves by element name and drives elements by name.
// Its templates are borderless: region in window and paint in client
// coordinates are then the same.
#pragma once
#include "Dialog.h"
#include "ShapeButton.h"
#include "ShapeProgress.h"
#include "SkinLabels.h"
#include "SkinMessages.h"
#include "IniFile.h"

// The path holds a backslash before its last character and names an existing
// file (name compared without case).
BOOL FileExists(LPCTSTR lpszPath);
// The folder of a file path with one trailing backslash.
CString SkinFolderOf(const CString& path);

// One element of [ShapeButtonInfo] or [ShapeProgressInfo] as written.
struct CShapeElementSpec {
    CString name, tip, cursor;
    CRect rect;
    BOOL horizontal = FALSE, hasCursor = FALSE, shaped = FALSE;
    COLORREF key = 0;
};
CShapeElementSpec ParseButtonSpec(CString value);
CShapeElementSpec ParseProgressSpec(CString value);
// [TimerInfo]: name and rectangle only.
CShapeElementSpec ParseTimerSpec(CString value);

class CShapeDialog : public CDialog {
public:
    CShapeDialog(UINT nIDTemplate, CWnd* pParent);
    virtual ~CShapeDialog();

    // TRUE when the whole skin was built; a missing skin.ini changes nothing.
    BOOL LoadSkin(LPCTSTR lpszPath);
    BOOL LoadButtons(const CIniFile& ini);
    BOOL LoadProgress(const CIniFile& ini);
    BOOL LoadTimers(const CIniFile& ini);

    CShapeTimer* FindTextItem(LPCTSTR lpszName) const;
    // Keeps the dialog's font, on the dialog's thread, for a worker that is to
    // measure texts in it (GetTextFont): from its thread the font would be
    // asked by a message sent to this one and waited for.
    void TakeTextFont();
    // The dialog's font: asked on its own thread, else the one kept.
    HFONT GetTextFont() const;
    BOOL EnableButton(LPCTSTR lpszName, BOOL bEnable);
    BOOL SetButtonTip(LPCTSTR lpszName, LPCTSTR lpszText);
    BOOL EnableProgress(LPCTSTR lpszName, BOOL bEnable);
    BOOL SetProgressPos(LPCTSTR lpszName, int nPos);
    int GetProgressPos(LPCTSTR lpszName) const;
    BOOL IsLiveMove() const { return m_bLiveMove; }
    BOOL IsInMove() const { return m_bInMove; }
    // The window gets a copy; the caller keeps its region.
    void SetWindowRegion(HRGN hRgn);
    void ClearElements();
    void ResetSkin();

    int GetButtonCount() const { return (int)m_buttons.GetSize(); }
    CShapeButton* GetButton(int i) const { return (CShapeButton*)m_buttons[i]; }
    int GetProgressCount() const { return (int)m_progress.GetSize(); }
    CShapeProgress* GetProgress(int i) const { return (CShapeProgress*)m_progress[i]; }
    int GetTimerCount() const { return (int)m_timers.GetSize(); }
    CShapeTimer* GetTimer(int i) const { return (CShapeTimer*)m_timers[i]; }
    const CString& GetSkinPath() const { return m_strSkinPath; }
    CBitmap& GetNormalBitmap() { return m_bmpNormal; }
    CBitmap& GetMaskBitmap() { return m_bmpMask; }

    virtual void OnSkinCommand(LPCTSTR lpszName) = 0;
    virtual void OnSkinProgress(LPCTSTR lpszName, int nPos) = 0;
    virtual void OnSkinProgressEnd(LPCTSTR lpszName, int nPos) = 0;

    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);
    virtual BOOL PreTranslateMessage(MSG* pMsg) { return CDialog::PreTranslateMessage(pMsg); }

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void DoDataExchange(CDataExchange*) {}
    virtual int OnCreate(LPCREATESTRUCT lpCreateStruct);
    virtual void OnPaint();
    virtual BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    virtual void OnLButtonDown(UINT nFlags, CPoint point);

    CShapeButton* FindButton(LPCTSTR lpszName) const;
    CShapeProgress* FindProgress(LPCTSTR lpszName) const;
    CShapeProgress* ProgressById(UINT nId) const;
    // The element's region: its key colour in the Mask, or its rectangle.
    // NULL (the element fails) for an empty cut or an empty shape.
    HRGN ElementRegion(const CShapeElementSpec& element);
    CString SkinFile(const CString& name) const { return SkinFolderOf(m_strSkinPath) + name; }

    CPtrArray m_buttons, m_progress, m_timers;
    BOOL m_bLiveMove, m_bInMove;
    CString m_strSkinPath;
    CBitmap m_bmpNormal, m_bmpHovered, m_bmpPressed, m_bmpDisabled, m_bmpMask;
    HFONT m_hTakenFont = NULL;
};
