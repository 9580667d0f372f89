// CScheduleWnd: OrvixPlus's "定时录制" window. It lists the schedule in eight
// columns and adds, edits and deletes entries through the Schedule - Add
// dialog; every change is written to schedulefile.she at once and Timewarden
// is told to reload it. The main dialog keeps the one window in
// g_pScheduleWnd and deletes it when the window reports that it closed.
#pragma once
#include "Afx.h"
#include "ScheduleList.h"
#include "ScheduleRowTexts.h"
#include "SkinButtons.h"
#include "SkinFrame.h"
#include "SkinListCtrl.h"

// Posted to the main window when the schedule window was closed.
#define WM_SCHEDULE_WND_CLOSED (WM_USER + 687)

#define SCHEDULE_WND_CLASS "ScheduleWnd"
#define SCHEDULE_WND_PROP "sScheduleWnd_Proc"
#define SCHEDULE_WND_CAPTION "定时录制"
// OrvixPlus's id of the Schedule - Add dialog's template.
#define IDD_SCHEDULE_ADD 132

#define SCHEDULE_SAME_ENTRY_TEXT "There is the same schedule"

class CScheduleAddDlg;

// The texts of one row, column by column; values outside a column's table
// show as empty text.
void FormatScheduleRow(const ScheduleRecord& record, CString texts[8]);

class CScheduleWnd {
public:
    enum {
        IDC_ADD = 4240, IDC_EDIT = 4241, IDC_DELETE = 4242, IDC_DELETE_ALL = 4243,
        IDC_OK = 4244, IDC_CANCEL = 4245, IDC_LIST = 4246, BUTTONS = 6, COLUMNS = 8
    };

    CScheduleWnd();
    ~CScheduleWnd();

    // Builds and shows the window; FALSE (nothing left behind) when the
    // window or one of its controls cannot be made.
    BOOL Open();
    BOOL Create(int nClientWidth, int nClientHeight);
    // The frame from the skin file (the platform's frame stays when it
    // cannot be loaded), then the controls.
    BOOL ApplySkin(LPCSTR lpszPath);
    void Refresh();
    void SaveAndNotify();
    // The entry whose start formats to rowKey and whose repeat is nRepeat,
    // copied into pItem.
    BOOL FindEntryByRow(LPCSTR lpszRowKey, int nRepeat, CScheduleItem* pItem) const;

    // For the main dialog when it must get rid of the window: ends an open
    // Add dialog (as cancelled), hides the window and posts
    // WM_SCHEDULE_WND_CLOSED once no add or edit is under way.
    void RequestClose();
    // An add or edit (and its modal dialog) is under way: the object must
    // not be deleted yet.
    BOOL IsBusy() const { return m_nBusy > 0; }
    // Brings an open Add dialog to the front; FALSE when none is open.
    BOOL BringDialogToFront();

    HWND GetSafeHwnd() const { return m_hWnd; }
    CSkinListCtrl* GetList() const { return m_pList; }
    CHoverTextButton* GetButton(int nID) const;

    // The actions of the buttons.
    void OnAdd();
    void OnEdit();
    void OnDelete();
    void OnDeleteAll();
    void OnOK();
    void OnCancel();

    static LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT OnMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL CreateControls();
    void DestroyControls();
    // Controls first, then the window.
    void Destroy();
    void AppendRow(const ScheduleRecord& record);
    BOOL RowEntry(int nRow, CScheduleItem* pItem) const;
    // Saves and notifies, and closes the way RequestClose asked for once
    // the last modal step is over.
    void EndBusy();
    void HideAndReport();
    // A new Add dialog in g_pScheduleDlg, or NULL.
    CScheduleAddDlg* NewDialog();
    void DeleteDialog(CScheduleAddDlg* pDlg);

    HWND m_hWnd;
    CWnd m_wndHost;             // the window as a framework object: parent of the controls and the dialog
    CSkinFrame m_frame;
    CHoverTextButton* m_pButtons[BUTTONS];
    CSkinListCtrl* m_pList;
    int m_nBusy;
    BOOL m_bClosePending;
};

// What the main dialog does on WM_SCHEDULE_WND_CLOSED: deletes
// g_pScheduleWnd, unless an add or edit of it is still on the stack; then
// the message comes again later.
void OnScheduleWndClosed(HWND hMainWnd);
