// Timewarden's schedule list dialog: every entry of the schedule in a themed
// list, added and edited through the Schedule - Add dialog, each change saved
// at once and announced to OrvixPlus.
#pragma once
#include "Afx.h"
#include "ScheduleAddDlg.h"
#include "ScheduleRecord.h"
#include "ThemeControls.h"
#include "ThemeFrame.h"
#include "resource.h"

#define SCHEDULE_SAME_TEXT "There is the same schedule"
#define SCHEDULE_LAUNCH_FIRST_TEXT "Launch the ORVIX first."
#define SCHEDULE_LIST_TITLE "Schedule Recording Setting"

class CScheduleListDlg : public CDialog {
public:
    enum { IDD = IDD_SCHEDULE_LIST };
    explicit CScheduleListDlg(CWnd* pParent = NULL);
    ~CScheduleListDlg() override;

    void RefillList();
    void OnAdd();
    void OnEdit();
    void OnDelete();
    void OnDeleteAll();
    void SaveAndNotify();
    BOOL FindEntryByRow(const CString& text, int nDayMode, ScheduleRecord* pOut) const;
    void AddRow(const ScheduleRecord& record);
    CThemeListCtrl& List() { return m_list; }

protected:
    virtual BOOL OnInitDialog();
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Enter and Escape do what the buttons do.
    virtual void OnOK();
    virtual void OnCancel() { EndDialog(IDCANCEL); }

private:
    // A new Add dialog in the global, or NULL while one is open.
    CScheduleAddDlg* NewAddDialog();
    void DeleteAddDialog();
    void ShowAllRows();
    // The Date and Start texts joined, and the day kind, of a row.
    CString RowKey(int nRow) const;
    int RowDayMode(int nRow) const;

    CHoverBitmapButton m_buttons[6];
    CThemeListCtrl m_list;
    CFont m_font;
    CThemeFrame m_frame;
};

// The dialog while it is open (NULL otherwise), and its Add dialog while that
// is open.
extern CScheduleListDlg* g_pScheduleListDlg;
extern CScheduleAddDlg* g_pScheduleAddDlg;
