// The timed shut-down: a month, day, hour and minute of this year (the year
// is never asked for) at which Timewarden shuts the PC down.
#pragma once
#include <time.h>
#include "Afx.h"

struct ShutdownTarget {
    int nMonth;   // 1-12
    int nDay;     // 1-30
    int nHour;
    int nMinute;
};

// Minutes counted from the start of a year with 32-day months: the order of
// (month, day, hour, minute), nothing more.
long ShutdownMinuteKey(int month, int day, int hour, int minute);
long ShutdownMinuteKey(const ShutdownTarget& target);
// The key of t's local month, day, hour and minute; -1 when t cannot be broken down.
long ShutdownMinuteKeyAt(time_t t);

// Whether the target is not before now's minute.
BOOL IsShutdownTargetAccepted(const ShutdownTarget& target, time_t now);
// Whether the target's minute has come since the previous check: after the
// minute checked last and not after now's. Each minute is passed once, so a
// late tick still shuts down and no minute shuts down twice.
BOOL IsShutdownTargetReached(const ShutdownTarget& target, long previousKey, time_t now);

// Template 154: four drop-down lists, filled with the current values selected.
class CShutdownTimeDlg : public CDialog {
public:
    enum { IDD = 154 };
    explicit CShutdownTimeDlg(CWnd* pParent = NULL);

    int m_nMonth;
    int m_nDay;
    int m_nHour;
    int m_nMinute;

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK();
};
