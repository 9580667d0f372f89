#include "TimedShutdown.h"
#include <stdio.h>
#include "ScheduleRules.h"
#include "resource.h"

long ShutdownMinuteKey(int month, int day, int hour, int minute)
{
    return ((month * 32L + day) * 24L + hour) * 60L + minute;
}

long ShutdownMinuteKey(const ShutdownTarget& target)
{
    return ShutdownMinuteKey(target.nMonth, target.nDay, target.nHour, target.nMinute);
}

long ShutdownMinuteKeyAt(time_t t)
{
    struct tm local;
    if (!ScheduleLocalTime(t, &local))
        return -1;
    return ShutdownMinuteKey(local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min);
}

BOOL IsShutdownTargetAccepted(const ShutdownTarget& target, time_t now)
{
    long nowKey = ShutdownMinuteKeyAt(now);
    return nowKey >= 0 && ShutdownMinuteKey(target) >= nowKey;
}

BOOL IsShutdownTargetReached(const ShutdownTarget& target, long previousKey, time_t now)
{
    long key = ShutdownMinuteKey(target);
    return key > previousKey && key <= ShutdownMinuteKeyAt(now);
}

CShutdownTimeDlg::CShutdownTimeDlg(CWnd* pParent)
    : CDialog(CShutdownTimeDlg::IDD, pParent), m_nMonth(1), m_nDay(1), m_nHour(0), m_nMinute(0)
{
}

namespace {

void FillNumbers(CComboBox* pBox, int first, int last, int selected)
{
    if (!pBox)
        return;
    char text[16];
    for (int n = first; n <= last; n++) {
        snprintf(text, sizeof(text), "%d", n);
        pBox->AddString(text);
    }
    // The 31st has no entry: nothing is selected then.
    pBox->SetCurSel(selected >= first && selected <= last ? selected - first : -1);
}

int Selection(const CWnd* pDlg, int id)
{
    return (int)::SendDlgItemMessageA(pDlg->GetSafeHwnd(), id, CB_GETCURSEL, 0, 0);
}

}  // namespace

BOOL CShutdownTimeDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    struct tm now = {};
    ScheduleLocalTime(ScheduleNow(), &now);
    FillNumbers((CComboBox*)GetDlgItem(IDC_SHUTDOWN_MONTH), 1, 12, now.tm_mon + 1);
    FillNumbers((CComboBox*)GetDlgItem(IDC_SHUTDOWN_DAY), 1, 30, now.tm_mday);
    FillNumbers((CComboBox*)GetDlgItem(IDC_SHUTDOWN_HOUR), 0, 23, now.tm_hour);
    FillNumbers((CComboBox*)GetDlgItem(IDC_SHUTDOWN_MINUTE), 0, 59, now.tm_min);
    return TRUE;
}

void CShutdownTimeDlg::OnOK()
{
    m_nMonth = Selection(this, IDC_SHUTDOWN_MONTH) + 1;
    m_nDay = Selection(this, IDC_SHUTDOWN_DAY) + 1;
    m_nHour = Selection(this, IDC_SHUTDOWN_HOUR);
    m_nMinute = Selection(this, IDC_SHUTDOWN_MINUTE);
    CDialog::OnOK();
}
