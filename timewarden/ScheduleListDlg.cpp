#include "ScheduleListDlg.h"
#include <commctrl.h>
#include "ScheduleMessages.h"
#include "ScheduleRows.h"
#include "ScheduleRules.h"
#include "ScheduleStore.h"
#include "ScheduleTrayDlg.h"

CScheduleListDlg* g_pScheduleListDlg = NULL;
CScheduleAddDlg* g_pScheduleAddDlg = NULL;

namespace {

const UINT kButtonIds[6] = {IDC_SCHEDLIST_SET, IDC_SCHEDLIST_EDIT, IDC_SCHEDLIST_DELETE, IDC_SCHEDLIST_DELETE_ALL,
                            IDC_SCHEDLIST_OK, IDC_SCHEDLIST_CANCEL};

ScheduleRecord RecordOf(const CScheduleItem* pItem)
{
    return pItem->m_record;
}

}  // namespace

CScheduleListDlg::CScheduleListDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

CScheduleListDlg::~CScheduleListDlg()
{
    DeleteAddDialog();
}

BOOL CScheduleListDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    for (int i = 0; i < 6; i++) {
        m_buttons[i].SetBitmaps(IDB_BUTTON_NORMAL, IDB_BUTTON_HOVER, IDB_BUTTON_PRESSED);
        m_buttons[i].SubclassDlgItem(kButtonIds[i], this);
    }
    if (m_frame.LoadTheme(ProgramFolderPath(THEME_INI_PATH)) && m_frame.Attach(this))
        SetWindowPos(NULL, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    m_list.SubclassDlgItem(IDC_SCHEDLIST_LIST, this);
    static const UINT header[3] = {142, 141, 148}, hbar[4] = {143, 145, 146, 144},
                      vbar[6] = {152, 140, 149, 150, 147, 151};
    m_list.LoadThemeBitmaps(header, hbar, vbar);
    m_list.SetThemeColours(RGB(125, 125, 125), 0);
    m_list.SetBkColor(RGB(0, 0, 0));
    m_list.SetTextColor(RGB(0, 255, 0));
    m_list.SetTextBkColor(RGB(0, 0, 0));
    LOGFONTA lf = {};
    lf.lfHeight = 12;
    lstrcpyA(lf.lfFaceName, "宋体");
    if (m_font.CreateFontIndirect(&lf))
        m_list.SetFont(&m_font);
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
    for (int c = 0; c < SCHEDULE_ROW_COLUMNS; c++)
        m_list.InsertColumn(c, ScheduleColumnTitle(c), LVCFMT_CENTER, ScheduleColumnWidth(c));
    RefillList();
    m_list.SetRedraw(TRUE);
    SetWindowText(SCHEDULE_LIST_TITLE);
    return TRUE;
}

BOOL CScheduleListDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case IDC_SCHEDLIST_SET: OnAdd(); return TRUE;
    case IDC_SCHEDLIST_EDIT: OnEdit(); return TRUE;
    case IDC_SCHEDLIST_DELETE: OnDelete(); return TRUE;
    case IDC_SCHEDLIST_DELETE_ALL: OnDeleteAll(); return TRUE;
    case IDC_SCHEDLIST_OK: OnOK(); return TRUE;
    case IDC_SCHEDLIST_CANCEL: OnCancel(); return TRUE;
    case ID_SCHEDULE_CHANGED: RefillList(); return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

BOOL CScheduleListDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const NMHDR* nm = (const NMHDR*)lParam;
    if (nm && nm->idFrom == IDC_SCHEDLIST_LIST && nm->code == NM_DBLCLK) {
        OnEdit();
        *pResult = 0;
        return TRUE;
    }
    return CDialog::OnNotify(wParam, lParam, pResult);
}

void CScheduleListDlg::OnOK()
{
    SaveAndNotify();
    EndDialog(IDOK);
}

void CScheduleListDlg::AddRow(const ScheduleRecord& record)
{
    int row = m_list.GetItemCount();
    m_list.InsertItem(row, ScheduleRowText(record, 0));
    for (int c = 1; c < SCHEDULE_ROW_COLUMNS; c++)
        m_list.SetItemText(row, c, ScheduleRowText(record, c));
    m_list.UpdateBars();
}

void CScheduleListDlg::ShowAllRows()
{
    m_list.DeleteAllItems();
    for (int i = 0; g_pScheduleList && i < g_pScheduleList->GetCount(); i++)
        AddRow(RecordOf(g_pScheduleList->GetAt(i)));
}

void CScheduleListDlg::RefillList()
{
    if (g_pScheduleList) {
        time_t now = ScheduleNow();
        for (int i = 0; i < g_pScheduleList->GetCount();) {
            ScheduleRecord r = RecordOf(g_pScheduleList->GetAt(i));
            if (r.nRepeat == SCHEDULE_REPEAT_ONCE && r.bDeleteAfterRun && r.tStart < now)
                RemoveScheduleEntry(r);
            else
                i++;
        }
    }
    ShowAllRows();
}

void CScheduleListDlg::SaveAndNotify()
{
    if (g_pScheduleList)
        g_pScheduleList->Save(g_strScheduleFile);
    if (HWND hMain = ::FindWindowA(NULL, MAIN_PROGRAM_CAPTION))
        ::SendMessageA(hMain, WM_COMMAND, ID_SCHEDULE_CHANGED, 0);
}

BOOL CScheduleListDlg::FindEntryByRow(const CString& text, int nDayMode, ScheduleRecord* pOut) const
{
    for (int i = 0; g_pScheduleList && i < g_pScheduleList->GetCount(); i++) {
        ScheduleRecord r = RecordOf(g_pScheduleList->GetAt(i));
        if (r.nRepeat == nDayMode && ScheduleRowKey(r).CompareNoCase(text) == 0) {
            *pOut = r;
            return TRUE;
        }
    }
    return FALSE;
}

CString CScheduleListDlg::RowKey(int nRow) const
{
    return m_list.GetItemText(nRow, 0) + m_list.GetItemText(nRow, 1);
}

int CScheduleListDlg::RowDayMode(int nRow) const
{
    return ParseRepeatType(m_list.GetItemText(nRow, 5));
}

CScheduleAddDlg* CScheduleListDlg::NewAddDialog()
{
    if (g_pScheduleAddDlg || !g_pScheduleList)
        return NULL;
    g_pScheduleAddDlg = new CScheduleAddDlg(this, IDD_SCHEDULE_ADD, g_pScheduleList);
    return g_pScheduleAddDlg;
}

void CScheduleListDlg::DeleteAddDialog()
{
    delete g_pScheduleAddDlg;
    g_pScheduleAddDlg = NULL;
}

void CScheduleListDlg::OnAdd()
{
    CScheduleAddDlg* pAdd = NewAddDialog();
    if (!pAdd)
        return;
    pAdd->m_nRepeatChoice = CScheduleAddDlg::REPEAT_ONCE;
    pAdd->m_bDeleteAfterRun = 1;
    pAdd->m_nSourceChoice = SCHEDULE_SOURCE_CABLE;
    pAdd->m_nModeChoice = SCHEDULE_MODE_RECORD;
    // Every way out deletes the dialog, so the next SET opens one again.
    if (pAdd->DoModal() == IDOK) {
        ScheduleRecord r = RecordOf(&g_pScheduleList->m_editItem);
        if (HasScheduleConflict(r)) {
            MessageBox(SCHEDULE_SAME_TEXT);
        } else {
            BOOL bAdd = ::FindWindowA(NULL, MAIN_PROGRAM_CAPTION) || r.nRepeat != SCHEDULE_REPEAT_ONCE;
            if (!bAdd) {
                time_t now = ScheduleNow();
                if (r.tStart >= now && r.tStart < now + kScheduleLookAhead)
                    MessageBox(SCHEDULE_LAUNCH_FIRST_TEXT);
                bAdd = r.tStart >= now + kScheduleLookAhead;
            }
            if (bAdd) {
                AddRow(r);
                AddScheduleEntry(r);
                SaveAndNotify();
            }
        }
    }
    DeleteAddDialog();
}

void CScheduleListDlg::OnEdit()
{
    if (g_pScheduleAddDlg || m_list.GetSelectedCount() != 1)
        return;
    int row = m_list.GetNextItem(-1, LVNI_SELECTED);
    ScheduleRecord original;
    // A row without its entry (list and rows out of step) edits nothing.
    if (row < 0 || !FindEntryByRow(RowKey(row), RowDayMode(row), &original))
        return;
    CScheduleAddDlg* pAdd = NewAddDialog();
    if (!pAdd)
        return;
    if (original.nRepeat == SCHEDULE_REPEAT_ONCE) {
        pAdd->m_nRepeatChoice = CScheduleAddDlg::REPEAT_ONCE;
        pAdd->m_bDeleteAfterRun = original.bDeleteAfterRun;
    } else if (original.nRepeat == SCHEDULE_REPEAT_DAILY) {
        pAdd->m_nRepeatChoice = CScheduleAddDlg::REPEAT_DAILY;
    } else {
        pAdd->m_nRepeatChoice = CScheduleAddDlg::REPEAT_WEEKLY;
        pAdd->m_nWeekday = original.nRepeat + 1;
    }
    pAdd->m_timeStart = CTime((time_t)original.tStart);
    pAdd->m_nDuration = original.nDuration;
    pAdd->m_nSourceChoice = original.nSource;
    pAdd->m_nModeChoice = original.nMode;
    pAdd->m_nAfterAction = original.nAfterAction;
    pAdd->m_nTvChannel = original.nTvChannel;
    pAdd->m_nCableChannel = original.nCableChannel;
    CScheduleItem originalItem(original);
    pAdd->SkipInStandbyTest(originalItem);
    BOOL bOk = pAdd->DoModal() == IDOK;
    // The original leaves the list only now: a reload while the dialog was
    // open has read it back from the file, and must not stay twice.
    RemoveScheduleEntry(original);
    ScheduleRecord result = original;
    if (bOk) {
        ScheduleRecord edited = RecordOf(&g_pScheduleList->m_editItem);
        if (HasScheduleConflict(edited))
            MessageBox(SCHEDULE_SAME_TEXT);
        else
            result = edited;
    }
    AddScheduleEntry(result);
    ShowAllRows();
    SaveAndNotify();
    DeleteAddDialog();
}

void CScheduleListDlg::OnDelete()
{
    // Each deleted row is saved and announced on its own, as OrvixPlus's
    // schedule window does.
    int row = -1;
    while ((row = m_list.GetNextItem(row, LVNI_SELECTED)) >= 0) {
        ScheduleRecord r;
        if (FindEntryByRow(RowKey(row), RowDayMode(row), &r)) {
            RemoveScheduleEntry(r);
            m_list.DeleteItem(row);
            SaveAndNotify();
            row--;   // the next row has moved up into this place
        }
    }
    m_list.UpdateBars();
}

void CScheduleListDlg::OnDeleteAll()
{
    if (g_pScheduleList)
        g_pScheduleList->RemoveAll();
    m_list.DeleteAllItems();
    m_list.UpdateBars();
    SaveAndNotify();
}
