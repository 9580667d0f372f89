// CScheduleAddDlg: the "Schedule - Add" dialog in which the user sets up or
// changes one schedule entry. It never touches the entries: on confirmation
// it fills the list's edit item, and the caller decides what to do with it.
// OrvixPlus and Timewarden both run it, each from its own copy of the
// template (ScheduleAddDlg.dlg) under its own dialog id.
#pragma once
#include "Afx.h"
#include "ScheduleList.h"

// Text shown when "PC shut-down" is confirmed, and when stand-by is dropped
// because another entry starts soon after this one ends.
#define SCHEDULE_SHUTDOWN_WARNING "注意!当你正在关闭PC时，计划的录制任务不能被处理!"
#define SCHEDULE_STANDBY_CANCELLED "There is schedule item to record within 10 minutes, Stand-by mode is canceled"

// How soon after an entry ends another one may start before stand-by is
// refused: 540 s, although the text says 10 minutes.
#define SCHEDULE_STANDBY_WINDOW 540

class CScheduleAddDlg : public CDialog {
public:
    enum { REPEAT_WEEKLY = 0, REPEAT_DAILY = 1, REPEAT_ONCE = 2 };

    // pList: the list whose edit item a confirmation fills and whose entries
    // the stand-by test walks; without one, confirming does nothing.
    CScheduleAddDlg(CWnd* pParent, UINT nIDTemplate, CScheduleList* pList);

    // Whether an entry of the list starts within the stand-by window after
    // tEnd, for a new entry of the given repeat value.
    BOOL IsItemStartingSoon(time_t tEnd, int nRepeat) const;
    // The entry being edited, still in the list: the stand-by test passes it.
    void SkipInStandbyTest(const CScheduleItem& entry);
    // The same test against one entry.
    static BOOL StartsSoonAfter(time_t tEnd, int nRepeat, const ScheduleRecord& entry);

    // Set by the caller before DoModal.
    LONG m_nAfterAction;
    int m_nTvChannel;
    int m_nCableChannel;
    int m_nWeekday;             // 1..7 = Sunday..Saturday, -1 none
    CTime m_timeStart;
    LONG m_nDuration;           // seconds
    int m_nRepeatChoice;        // REPEAT_*, -1 none
    int m_nSourceChoice;        // ScheduleSource, -1 none
    int m_nModeChoice;          // ScheduleMode, -1 none
    int m_bDeleteAfterRun;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    void OnRepeatChoice(int nChoice);
    void OnSourceChoice(int nChoice);
    void OnConfirm();

    void FillNumbers(int nID, int nFirst, int nLast, int nSelect);
    // The selected index, or nPreset when the list has no selection.
    int SelectedIndex(int nID, int nPreset) const;
    void Enable(int nID, BOOL bEnable);

    CScheduleList* m_pList;
    CScheduleItem m_skipped;
    BOOL m_bSkip;
};
