#include "ScheduleAddDlg.h"
#include <stdio.h>
#include <stdlib.h>
#include "ScheduleAddRes.h"
#include "ScheduleRules.h"

namespace {

const char* const kWeekdays[] = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};
const char* const kAfterActions[] = {"Nothing to do", "ORVIX shut-down", "Entering the Stand-by mode",
                                     "PC shut-down"};

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 31;
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// The local time of one moment's date at another's hour and minute, second 0.
time_t DateWithClock(const struct tm& date, const struct tm& clock)
{
    struct tm t = {};
    t.tm_year = date.tm_year;
    t.tm_mon = date.tm_mon;
    t.tm_mday = date.tm_mday;
    t.tm_hour = clock.tm_hour;
    t.tm_min = clock.tm_min;
    t.tm_isdst = -1;
    return mktime(&t);
}

bool IsWeekday(int repeat)
{
    return repeat >= SCHEDULE_REPEAT_SUNDAY && repeat <= SCHEDULE_REPEAT_SATURDAY;
}

}  // namespace

CScheduleAddDlg::CScheduleAddDlg(CWnd* pParent, UINT nIDTemplate, CScheduleList* pList)
    : CDialog(nIDTemplate, pParent),
      m_nAfterAction(SCHEDULE_AFTER_NOTHING),
      m_nTvChannel(8),
      m_nCableChannel(13),
      m_nWeekday(-1),
      m_timeStart(ScheduleNow()),
      m_nDuration(3),
      m_nRepeatChoice(-1),
      m_nSourceChoice(-1),
      m_nModeChoice(-1),
      m_bDeleteAfterRun(0),
      m_pList(pList),
      m_bSkip(FALSE)
{
}

void CScheduleAddDlg::SkipInStandbyTest(const CScheduleItem& entry)
{
    CScheduleItem::CopyFrom(&m_skipped, &entry);
    m_bSkip = TRUE;
}

void CScheduleAddDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Radio(pDX, IDC_SCHEDADD_SOURCE_TV, m_nSourceChoice);
    DDX_Radio(pDX, IDC_SCHEDADD_WEEKLY, m_nRepeatChoice);
    DDX_Radio(pDX, IDC_SCHEDADD_VIEW, m_nModeChoice);
    DDX_Check(pDX, IDC_SCHEDADD_DELETE_AFTER, m_bDeleteAfterRun);
}

void CScheduleAddDlg::Enable(int nID, BOOL bEnable)
{
    if (HWND hCtrl = ::GetDlgItem(m_hWnd, nID))
        ::EnableWindow(hCtrl, bEnable);
}

void CScheduleAddDlg::FillNumbers(int nID, int nFirst, int nLast, int nSelect)
{
    char text[16];
    for (int n = nFirst; n <= nLast; n++) {
        snprintf(text, sizeof(text), "%d", n);
        SendDlgItemMessage(nID, CB_ADDSTRING, 0, (LPARAM)text);
    }
    SendDlgItemMessage(nID, CB_SETCURSEL, (WPARAM)(nSelect - nFirst));
}

int CScheduleAddDlg::SelectedIndex(int nID, int nPreset) const
{
    int index = (int)::SendDlgItemMessage(m_hWnd, nID, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? nPreset : index;
}

BOOL CScheduleAddDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    OnSourceChoice(m_nSourceChoice);
    OnRepeatChoice(m_nRepeatChoice);

    // Two years from the start's, or three around it when it lies in a later
    // year than now (a future entry being edited).
    int year = m_timeStart.GetYear();
    int firstYear = year <= CTime(ScheduleNow()).GetYear() ? year : year - 1;
    FillNumbers(IDC_SCHEDADD_YEAR, firstYear, year + 1, year);
    FillNumbers(IDC_SCHEDADD_MONTH, 1, 12, m_timeStart.GetMonth());
    FillNumbers(IDC_SCHEDADD_DAY, 1, 31, m_timeStart.GetDay());
    FillNumbers(IDC_SCHEDADD_HOUR, 0, 23, m_timeStart.GetHour());
    FillNumbers(IDC_SCHEDADD_MINUTE, 0, 59, m_timeStart.GetMinute());
    FillNumbers(IDC_SCHEDADD_LENGTH_HOURS, 0, 23, (m_nDuration / 3600) % 24);
    FillNumbers(IDC_SCHEDADD_LENGTH_MINUTES, 0, 59, (m_nDuration / 60) % 60);
    FillNumbers(IDC_SCHEDADD_LENGTH_SECONDS, 0, 59, m_nDuration % 60);

    for (const char* day : kWeekdays)
        SendDlgItemMessage(IDC_SCHEDADD_WEEKDAY, CB_ADDSTRING, 0, (LPARAM)day);
    if (m_nRepeatChoice != REPEAT_WEEKLY)
        m_nWeekday = m_timeStart.GetDayOfWeek();
    if (m_nWeekday >= 1 && m_nWeekday <= 7)
        SendDlgItemMessage(IDC_SCHEDADD_WEEKDAY, CB_SETCURSEL, (WPARAM)(m_nWeekday - 1));

    FillNumbers(IDC_SCHEDADD_TV_LIST, SCHEDULE_FIRST_TV_CHANNEL, SCHEDULE_LAST_TV_CHANNEL, m_nTvChannel);
    FillNumbers(IDC_SCHEDADD_CABLE_LIST, SCHEDULE_FIRST_CABLE_CHANNEL, SCHEDULE_LAST_CABLE_CHANNEL,
                m_nCableChannel);

    for (const char* action : kAfterActions)
        SendDlgItemMessage(IDC_SCHEDADD_AFTER_LIST, CB_ADDSTRING, 0, (LPARAM)action);
    SendDlgItemMessage(IDC_SCHEDADD_AFTER_LIST, CB_SETCURSEL, (WPARAM)m_nAfterAction);

    Enable(IDC_SCHEDADD_DELETE_AFTER, m_nRepeatChoice == REPEAT_ONCE);
    SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return TRUE;
}

void CScheduleAddDlg::OnRepeatChoice(int nChoice)
{
    if (nChoice < REPEAT_WEEKLY || nChoice > REPEAT_ONCE)
        return;
    m_nRepeatChoice = nChoice;
    BOOL bOnce = nChoice == REPEAT_ONCE;
    Enable(IDC_SCHEDADD_YEAR, bOnce);
    Enable(IDC_SCHEDADD_MONTH, bOnce);
    Enable(IDC_SCHEDADD_DAY, bOnce);
    Enable(IDC_SCHEDADD_WEEKDAY, nChoice == REPEAT_WEEKLY);
    // Disabled, the box keeps its check for when "once" comes back.
    Enable(IDC_SCHEDADD_DELETE_AFTER, bOnce);
}

void CScheduleAddDlg::OnSourceChoice(int nChoice)
{
    if (nChoice < SCHEDULE_SOURCE_TV || nChoice > SCHEDULE_SOURCE_SVIDEO)
        return;
    BOOL bTv = nChoice == SCHEDULE_SOURCE_TV;
    BOOL bCable = nChoice == SCHEDULE_SOURCE_CABLE;
    Enable(IDC_SCHEDADD_TV_LIST, bTv);
    Enable(IDC_SCHEDADD_TV_LABEL, bTv);
    Enable(IDC_SCHEDADD_CABLE_LIST, bCable);
    Enable(IDC_SCHEDADD_CABLE_LABEL, bCable);
}

BOOL CScheduleAddDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDC_SCHEDADD_WEEKLY: OnRepeatChoice(REPEAT_WEEKLY); return TRUE;
        case IDC_SCHEDADD_DAILY: OnRepeatChoice(REPEAT_DAILY); return TRUE;
        case IDC_SCHEDADD_ONCE: OnRepeatChoice(REPEAT_ONCE); return TRUE;
        case IDC_SCHEDADD_SOURCE_TV: OnSourceChoice(SCHEDULE_SOURCE_TV); return TRUE;
        case IDC_SCHEDADD_SOURCE_CABLE: OnSourceChoice(SCHEDULE_SOURCE_CABLE); return TRUE;
        case IDC_SCHEDADD_SOURCE_COMPOSITE: OnSourceChoice(SCHEDULE_SOURCE_COMPOSITE); return TRUE;
        case IDC_SCHEDADD_SOURCE_SVIDEO: OnSourceChoice(SCHEDULE_SOURCE_SVIDEO); return TRUE;
        case IDC_SCHEDADD_VIEW: m_nModeChoice = SCHEDULE_MODE_VIEW; return TRUE;
        case IDC_SCHEDADD_RECORD: m_nModeChoice = SCHEDULE_MODE_RECORD; return TRUE;
        case IDC_SCHEDADD_CONFIRM: OnConfirm(); return TRUE;
        }
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CScheduleAddDlg::OnConfirm()
{
    if (!m_pList)
        return;
    int afterAction = SelectedIndex(IDC_SCHEDADD_AFTER_LIST, m_nAfterAction);
    if (afterAction == SCHEDULE_AFTER_SHUTDOWN)
        MessageBox(SCHEDULE_SHUTDOWN_WARNING, NULL, MB_OK);
    UpdateData(TRUE);

    ScheduleRecord& r = m_pList->m_editItem.m_record;
    if (m_nRepeatChoice == REPEAT_WEEKLY)
        r.nRepeat = SelectedIndex(IDC_SCHEDADD_WEEKDAY, m_nWeekday >= 1 && m_nWeekday <= 7
                                                            ? m_nWeekday - 1
                                                            : m_timeStart.GetDayOfWeek() - 1);
    else if (m_nRepeatChoice == REPEAT_DAILY)
        r.nRepeat = SCHEDULE_REPEAT_DAILY;
    else
        r.nRepeat = SCHEDULE_REPEAT_ONCE;

    // Date lists that lost their selection keep the preset start's parts.
    int year = m_timeStart.GetYear();
    int yearIndex = (int)SendDlgItemMessage(IDC_SCHEDADD_YEAR, CB_GETCURSEL);
    if (yearIndex != CB_ERR) {
        char text[16] = "";
        if (SendDlgItemMessage(IDC_SCHEDADD_YEAR, CB_GETLBTEXTLEN, yearIndex) < (LRESULT)sizeof(text) &&
            SendDlgItemMessage(IDC_SCHEDADD_YEAR, CB_GETLBTEXT, yearIndex, (LPARAM)text) != CB_ERR)
            year = atoi(text);
    }
    int month = SelectedIndex(IDC_SCHEDADD_MONTH, m_timeStart.GetMonth() - 1) + 1;
    int day = SelectedIndex(IDC_SCHEDADD_DAY, m_timeStart.GetDay() - 1) + 1;
    // The local-time conversion would carry 31 April into May.
    int lastDay = DaysInMonth(year, month);
    if (day > lastDay)
        day = lastDay;
    int hour = SelectedIndex(IDC_SCHEDADD_HOUR, m_timeStart.GetHour());
    int minute = SelectedIndex(IDC_SCHEDADD_MINUTE, m_timeStart.GetMinute());
    r.tStart = (LONG)CTime(year, month, day, hour, minute, 0).GetTime();

    LONG duration = SelectedIndex(IDC_SCHEDADD_LENGTH_HOURS, (m_nDuration / 3600) % 24) * 3600 +
                    SelectedIndex(IDC_SCHEDADD_LENGTH_MINUTES, (m_nDuration / 60) % 60) * 60 +
                    SelectedIndex(IDC_SCHEDADD_LENGTH_SECONDS, m_nDuration % 60);
    r.nDuration = duration <= 3 ? 3 : duration;

    r.nSource = m_nSourceChoice;
    r.nMode = m_nModeChoice;
    r.nTvChannel = SCHEDULE_FIRST_TV_CHANNEL +
                   SelectedIndex(IDC_SCHEDADD_TV_LIST, m_nTvChannel - SCHEDULE_FIRST_TV_CHANNEL);
    r.nCableChannel = SCHEDULE_FIRST_CABLE_CHANNEL +
                      SelectedIndex(IDC_SCHEDADD_CABLE_LIST, m_nCableChannel - SCHEDULE_FIRST_CABLE_CHANNEL);

    if (afterAction == SCHEDULE_AFTER_STANDBY &&
        IsItemStartingSoon((time_t)r.tStart + r.nDuration, r.nRepeat)) {
        MessageBox(SCHEDULE_STANDBY_CANCELLED, NULL, MB_OK);
        afterAction = SCHEDULE_AFTER_NOTHING;
    }
    r.nAfterAction = afterAction;
    r.bDeleteAfterRun = m_bDeleteAfterRun ? 1 : 0;
    EndDialog(IDOK);
}

BOOL CScheduleAddDlg::IsItemStartingSoon(time_t tEnd, int nRepeat) const
{
    if (!m_pList)
        return FALSE;
    int skipped = m_bSkip ? m_pList->FindIndex(&m_skipped) : -1;
    for (int i = 0; i < m_pList->GetCount(); i++) {
        const CScheduleItem* pEntry = m_pList->GetAt(i);
        if (i != skipped && pEntry && StartsSoonAfter(tEnd, nRepeat, pEntry->m_record))
            return TRUE;
    }
    return FALSE;
}

BOOL CScheduleAddDlg::StartsSoonAfter(time_t tEnd, int nRepeat, const ScheduleRecord& entry)
{
    const time_t window = SCHEDULE_STANDBY_WINDOW;
    const time_t start = (time_t)entry.tStart;
    struct tm end, entryStart;
    if (!ScheduleLocalTime(tEnd, &end) || !ScheduleLocalTime(start, &entryStart))
        return FALSE;

    if (nRepeat == SCHEDULE_REPEAT_ONCE) {
        if (entry.nRepeat == SCHEDULE_REPEAT_ONCE)
            return tEnd <= start && start <= tEnd + window;
        if (entry.nRepeat == SCHEDULE_REPEAT_DAILY || (IsWeekday(entry.nRepeat) && end.tm_wday == entry.nRepeat)) {
            time_t t = DateWithClock(end, entryStart);
            return tEnd <= t && t < tEnd + window;
        }
        return FALSE;
    }

    // Weekly and daily entries: the other entry's own start date at this
    // entry's end time.
    time_t t = DateWithClock(entryStart, end);
    if (nRepeat == SCHEDULE_REPEAT_DAILY)
        return t <= start && start < t + window;
    if (!IsWeekday(nRepeat))
        return FALSE;
    if ((entry.nRepeat == SCHEDULE_REPEAT_ONCE && entryStart.tm_wday == nRepeat) ||
        entry.nRepeat == SCHEDULE_REPEAT_DAILY)
        return t <= start && start <= t + window;
    if (entry.nRepeat == nRepeat)
        return t <= start && start < t + window;
    return FALSE;
}
