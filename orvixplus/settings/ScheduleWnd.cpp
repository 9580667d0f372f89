#include "ScheduleWnd.h"
#include "SettingsPage.h"
#include <shellapi.h>
#include "AppSettings.h"
#include "AppState.h"
#include "Globals.h"
#include "ScheduleAddDlg.h"
#include "ScheduleFile.h"
#include "ScheduleMessages.h"
#include "ScheduleRules.h"

namespace {

const int kClientWidth = 595, kClientHeight = 270;
const COLORREF kBackground = 0xEAF0F4;
// A once-only entry must lie at least this far ahead to be added.
const time_t kOnceLeadSeconds = 40;

struct ButtonSpec {
    int nID;
    const char* text;
    RECT rect;
};
const ButtonSpec kButtons[CScheduleWnd::BUTTONS] = {
    {CScheduleWnd::IDC_ADD, "设定", {25, 20, 100, 45}},
    {CScheduleWnd::IDC_EDIT, "编辑", {115, 20, 190, 45}},
    {CScheduleWnd::IDC_DELETE, "删除", {205, 20, 280, 45}},
    {CScheduleWnd::IDC_DELETE_ALL, "全部删除", {295, 20, 370, 45}},
    {CScheduleWnd::IDC_OK, "确定", {385, 20, 460, 45}},
    {CScheduleWnd::IDC_CANCEL, "取消", {475, 20, 550, 45}},
};
const RECT kListRect = {25, 55, 535, 225};
const char* const kColumns[CScheduleWnd::COLUMNS] = {"日期", "开始", "持续", "来源", "频道", "每天", "模式",
                                                     "预约录像后"};

CString ScheduleFilePath()
{
    return g_pSettings ? g_pSettings->m_strAppFolder + SCHEDULE_FILE_NAME : CString();
}

HWND LocateScheduleWnd()
{
    return g_pScheduleWnd ? g_pScheduleWnd->GetSafeHwnd() : NULL;
}

void ChangeBusy(BOOL bIncrement)
{
    if (g_pAppState)
        g_pAppState->ChangeBusyCount(bIncrement);
}

}  // namespace

void FormatScheduleRow(const ScheduleRecord& r, CString texts[8])
{
    for (int column = 0; column < SCHEDULE_ROW_COLUMNS; column++)
        texts[column] = ScheduleCellText(r, column, FALSE);
}

// --- creation and destruction ------------------------------------------------

CScheduleWnd::CScheduleWnd() : m_hWnd(NULL), m_pList(NULL), m_nBusy(0), m_bClosePending(FALSE)
{
    for (CHoverTextButton*& pButton : m_pButtons)
        pButton = NULL;
}

CScheduleWnd::~CScheduleWnd()
{
    Destroy();
}

void CScheduleWnd::Destroy()
{
    DestroyControls();
    if (m_hWnd) {
        HWND hWnd = m_hWnd;
        ::RemovePropA(hWnd, SCHEDULE_WND_PROP);
        m_wndHost.Detach();
        m_hWnd = NULL;
        ::DestroyWindow(hWnd);
    }
    // The frame unhooks itself when the window goes; what it loaded goes with it.
}

BOOL CScheduleWnd::Open()
{
    CString skin = ProgramFolderPath() + "skins\\elegance\\skin.ini";
    if (!Create(kClientWidth, kClientHeight) || !ApplySkin(skin)) {
        Destroy();
        return FALSE;
    }
    SetScheduleWindowLocator(LocateScheduleWnd);
    ::SetWindowTextA(m_hWnd, SCHEDULE_WND_CAPTION);
    Refresh();

    RECT rc;
    ::GetWindowRect(m_hWnd, &rc);
    int x = (::GetSystemMetrics(SM_CXSCREEN) - (rc.right - rc.left)) / 2;
    int y = (::GetSystemMetrics(SM_CYSCREEN) - (rc.bottom - rc.top)) / 2;
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, x < 0 ? 0 : x, y < 0 ? 0 : y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    return TRUE;
}

BOOL CScheduleWnd::Create(int nClientWidth, int nClientHeight)
{
    if (m_hWnd)
        return FALSE;
    HINSTANCE hInst = ::GetModuleHandleA(NULL);
    WNDCLASSA wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = hInst;
    char path[MAX_PATH] = "";
    if (::GetModuleFileNameA(NULL, path, MAX_PATH)) {
        HICON hIcon = ::ExtractIconA(hInst, path, 0);
        wc.hIcon = (UINT_PTR)hIcon > 1 ? hIcon : NULL;
    }
    wc.lpszClassName = SCHEDULE_WND_CLASS;
    if (!::RegisterClassA(&wc)) {
        // A window of an earlier run registered it; anything else is a failure.
        if (wc.hIcon)
            ::DestroyIcon(wc.hIcon);
        WNDCLASSA existing;
        if (!::GetClassInfoA(hInst, SCHEDULE_WND_CLASS, &existing))
            return FALSE;
    }

    RECT rc = {0, 0, nClientWidth, nClientHeight};
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    ::AdjustWindowRect(&rc, style, FALSE);
    HWND hWnd = ::CreateWindowExA(0, SCHEDULE_WND_CLASS, "", style, CW_USEDEFAULT, CW_USEDEFAULT,
                                  rc.right - rc.left, rc.bottom - rc.top, NULL, NULL, hInst, NULL);
    if (!hWnd)
        return FALSE;
    if (!::SetPropA(hWnd, SCHEDULE_WND_PROP, (HANDLE)this) || !m_wndHost.Attach(hWnd)) {
        ::RemovePropA(hWnd, SCHEDULE_WND_PROP);
        ::DestroyWindow(hWnd);
        return FALSE;
    }
    m_hWnd = hWnd;
    ::SetWindowPos(hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return TRUE;
}

BOOL CScheduleWnd::ApplySkin(LPCSTR lpszPath)
{
    if (!lpszPath)
        return FALSE;
    m_frame.WantButtons(FALSE, FALSE, FALSE);
    // Without a usable frame skin the window keeps the platform's frame.
    if (m_frame.LoadSkin(lpszPath) && m_hWnd)
        m_frame.Attach(m_hWnd);
    if (!CreateControls())
        return FALSE;
    m_frame.ClearFlags(0xFFFFFFFF);
    return TRUE;
}

BOOL CScheduleWnd::CreateControls()
{
    if (!m_hWnd || m_pList)
        return FALSE;
    // The buttons cut their own copies; these go on every way out.
    CBitmap normal, hover, pressed;
    if (!normal.LoadBitmap(141) || !hover.LoadBitmap(142) || !pressed.LoadBitmap(134))
        return FALSE;
    BITMAP bmN, bmH, bmP;
    normal.GetBitmap(&bmN);
    hover.GetBitmap(&bmH);
    pressed.GetBitmap(&bmP);
    CRect rN(0, 0, bmN.bmWidth, bmN.bmHeight), rH(0, 0, bmH.bmWidth, bmH.bmHeight),
        rP(0, 0, bmP.bmWidth, bmP.bmHeight);

    for (int i = 0; i < BUTTONS; i++) {
        const ButtonSpec& button = kButtons[i];
        CHoverTextButton* pButton = new CHoverTextButton;
        m_pButtons[i] = pButton;
        pButton->SetBitmaps(normal, rN, hover, rH, pressed, rP, normal, rN);
        CRect rc(button.rect);
        HRGN hRgn = ::CreateRectRgn(0, 0, rc.Width(), rc.Height());
        pButton->SetRegion(hRgn);
        ::DeleteObject(hRgn);
        pButton->SetShaped(TRUE);
        if (!pButton->Create(button.text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, rc, &m_wndHost, button.nID))
            return FALSE;
    }

    m_pList = new CSkinListCtrl;
    if (!m_pList->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS, kListRect,
                         &m_wndHost, IDC_LIST))
        return FALSE;
    m_pList->SetBkColor(RGB(0, 0, 0));
    m_pList->SetTextBkColor(RGB(0, 0, 0));
    m_pList->SetTextColor(RGB(0, 255, 0));
    m_pList->m_crText = RGB(0, 255, 0);
    m_pList->SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
    if (!m_pList->InitSkin() || !m_pList->Header().LoadBitmaps(133, 132, 131) ||
        !m_pList->HorizontalBar().LoadBitmaps(151, 152, 159, 153) ||
        !m_pList->VerticalBar().LoadBitmaps(154, 157, 156, 155, 158, 158))
        return FALSE;
    CRect client;
    m_pList->GetClientRect(&client);
    for (int i = 0; i < COLUMNS; i++)
        if (m_pList->InsertColumn(i, kColumns[i], LVCFMT_CENTER, client.Width() / COLUMNS) != i)
            return FALSE;
    return TRUE;
}

void CScheduleWnd::DestroyControls()
{
    for (CHoverTextButton*& pButton : m_pButtons) {
        if (pButton)
            pButton->DestroyWindow();
        delete pButton;
        pButton = NULL;
    }
    if (m_pList) {
        m_pList->HorizontalBar().DestroyWindow();
        m_pList->VerticalBar().DestroyWindow();
        m_pList->DestroyWindow();
    }
    delete m_pList;
    m_pList = NULL;
}

CHoverTextButton* CScheduleWnd::GetButton(int nID) const
{
    for (int i = 0; i < BUTTONS; i++)
        if (kButtons[i].nID == nID)
            return m_pButtons[i];
    return NULL;
}

// --- messages -----------------------------------------------------------------

LRESULT CALLBACK CScheduleWnd::WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Creation messages arrive before the property is set: the default
    // procedure must answer them or the window is never made.
    CScheduleWnd* pWnd = (CScheduleWnd*)::GetPropA(hWnd, SCHEDULE_WND_PROP);
    if (!pWnd || pWnd->m_hWnd != hWnd)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    return pWnd->OnMessage(hWnd, message, wParam, lParam);
}

LRESULT CScheduleWnd::OnMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND: {
        RECT rc;
        ::GetClientRect(m_hWnd, &rc);
        HBRUSH hBrush = ::CreateSolidBrush(kBackground);
        ::FillRect((HDC)wParam, &rc, hBrush);
        ::DeleteObject(hBrush);
        return 1;
    }
    case WM_NOTIFY: {
        const NMHDR* pHdr = (const NMHDR*)lParam;
        if (pHdr && pHdr->idFrom == IDC_LIST && pHdr->code == NM_DBLCLK) {
            OnEdit();
            return 0;
        }
        break;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_ADD: OnAdd(); return 0;
        case IDC_EDIT: OnEdit(); return 0;
        case IDC_DELETE: OnDelete(); return 0;
        case IDC_DELETE_ALL: OnDeleteAll(); return 0;
        case IDC_OK: OnOK(); return 0;
        case IDC_CANCEL: OnCancel(); return 0;
        case ID_SCHEDULE_CHANGED: Refresh(); return 0;
        }
        break;
    case WM_CLOSE:
        // The platform's close would destroy the window under its object.
        OnCancel();
        return 0;
    case WM_NCDESTROY:
        ::RemovePropA(hWnd, SCHEDULE_WND_PROP);
        m_wndHost.Detach();
        m_hWnd = NULL;
        break;
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

// --- rows -----------------------------------------------------------------------

void CScheduleWnd::AppendRow(const ScheduleRecord& record)
{
    if (!m_pList)
        return;
    CString texts[COLUMNS];
    FormatScheduleRow(record, texts);
    int row = m_pList->InsertItem(m_pList->GetItemCount(), texts[0]);
    if (row < 0)
        return;
    for (int i = 1; i < COLUMNS; i++)
        m_pList->SetItemText(row, i, texts[i]);
}

void CScheduleWnd::Refresh()
{
    if (!m_pList)
        return;
    time_t now = ScheduleNow();
    m_pList->DeleteAllItems();
    if (!g_pScheduleList)
        return;
    // No step forward after a removal: the next entry has moved into the slot.
    for (int i = 0; i < g_pScheduleList->GetCount();) {
        CScheduleItem* pItem = g_pScheduleList->GetAt(i);
        if (pItem && pItem->m_record.nRepeat == SCHEDULE_REPEAT_ONCE && pItem->m_record.bDeleteAfterRun &&
            (time_t)pItem->m_record.tStart < now) {
            g_pScheduleList->Remove(pItem);
            continue;
        }
        if (pItem)
            AppendRow(pItem->m_record);
        i++;
    }
}

BOOL CScheduleWnd::FindEntryByRow(LPCSTR lpszRowKey, int nRepeat, CScheduleItem* pItem) const
{
    if (!g_pScheduleList || !lpszRowKey || !pItem)
        return FALSE;
    for (int i = 0; i < g_pScheduleList->GetCount(); i++) {
        const CScheduleItem* pEntry = g_pScheduleList->GetAt(i);
        if (pEntry && pEntry->m_record.nRepeat == nRepeat &&
            ScheduleRowKey((time_t)pEntry->m_record.tStart).CompareNoCase(lpszRowKey) == 0)
            return CScheduleItem::CopyFrom(pItem, pEntry);
    }
    return FALSE;
}

BOOL CScheduleWnd::RowEntry(int nRow, CScheduleItem* pItem) const
{
    if (!m_pList || nRow < 0)
        return FALSE;
    CString key = m_pList->GetItemText(nRow, 0) + m_pList->GetItemText(nRow, 1);
    return FindEntryByRow(key, ParseRepeatType(m_pList->GetItemText(nRow, 5)), pItem);
}

void CScheduleWnd::SaveAndNotify()
{
    if (g_pSettings && g_pScheduleList)
        g_pScheduleList->Save(ScheduleFilePath());
    // Timewarden reloads whatever the save gave.
    NotifySchedulerReload();
}

// --- the Add dialog -----------------------------------------------------------

CScheduleAddDlg* CScheduleWnd::NewDialog()
{
    if (g_pScheduleDlg || !m_hWnd)
        return NULL;
    // Its parent is this window, which is therefore disabled while it runs.
    g_pScheduleDlg = new CScheduleAddDlg(&m_wndHost, IDD_SCHEDULE_ADD, g_pScheduleList);
    return g_pScheduleDlg;
}

void CScheduleWnd::DeleteDialog(CScheduleAddDlg* pDlg)
{
    if (g_pScheduleDlg == pDlg)
        g_pScheduleDlg = NULL;
    delete pDlg;
}

void CScheduleWnd::EndBusy()
{
    ChangeBusy(FALSE);
    if (--m_nBusy == 0 && m_bClosePending) {
        m_bClosePending = FALSE;
        HideAndReport();
    }
}

void CScheduleWnd::OnAdd()
{
    CScheduleAddDlg* pDlg = NewDialog();
    if (!pDlg)
        return;
    pDlg->m_nRepeatChoice = CScheduleAddDlg::REPEAT_ONCE;
    pDlg->m_bDeleteAfterRun = 1;
    pDlg->m_nSourceChoice = SCHEDULE_SOURCE_CABLE;
    pDlg->m_nModeChoice = SCHEDULE_MODE_RECORD;
    m_nBusy++;
    ChangeBusy(TRUE);
    int result = pDlg->DoModal();
    // The list may have gone while the dialog ran (the program ending).
    if (result == IDOK && g_pScheduleList) {
        CScheduleItem* pEdit = &g_pScheduleList->m_editItem;
        const ScheduleRecord& r = pEdit->m_record;
        if (g_pScheduleList->HasConflict(pEdit)) {
            m_wndHost.MessageBox(SCHEDULE_SAME_ENTRY_TEXT, NULL, MB_OK);
        } else if (r.nRepeat == SCHEDULE_REPEAT_ONCE && (time_t)r.tStart < ScheduleNow() + kOnceLeadSeconds) {
            // Too close to be caught by the due check: dropped without a word.
        } else if (g_pScheduleList->Add(pEdit)) {
            AppendRow(r);
            SaveAndNotify();
        }
    }
    DeleteDialog(pDlg);
    EndBusy();
}

// The dialog shows the entry's own values.
static void PresetFromEntry(CScheduleAddDlg& dlg, const ScheduleRecord& r)
{
    if (r.nRepeat == SCHEDULE_REPEAT_ONCE) {
        dlg.m_nRepeatChoice = CScheduleAddDlg::REPEAT_ONCE;
        dlg.m_bDeleteAfterRun = r.bDeleteAfterRun ? 1 : 0;
    } else if (r.nRepeat == SCHEDULE_REPEAT_DAILY) {
        dlg.m_nRepeatChoice = CScheduleAddDlg::REPEAT_DAILY;
        dlg.m_bDeleteAfterRun = 0;
    } else {
        dlg.m_nRepeatChoice = CScheduleAddDlg::REPEAT_WEEKLY;
        dlg.m_nWeekday = r.nRepeat + 1;
        dlg.m_bDeleteAfterRun = 0;
    }
    dlg.m_timeStart = CTime((time_t)r.tStart);
    dlg.m_nDuration = r.nDuration;
    dlg.m_nSourceChoice = r.nSource;
    dlg.m_nModeChoice = r.nMode;
    dlg.m_nAfterAction = r.nAfterAction;
    dlg.m_nTvChannel = r.nTvChannel;
    dlg.m_nCableChannel = r.nCableChannel;
}

void CScheduleWnd::OnEdit()
{
    CScheduleAddDlg* pDlg = NewDialog();
    if (!pDlg)
        return;
    CScheduleItem kept;
    if (!m_pList || m_pList->GetSelectedCount() != 1 ||
        !RowEntry(m_pList->GetNextItem(-1, LVNI_SELECTED), &kept)) {
        DeleteDialog(pDlg);
        return;
    }
    PresetFromEntry(*pDlg, kept.m_record);
    pDlg->SkipInStandbyTest(kept);
    // The entry stays in the list while the dialog runs: a reload meanwhile
    // then neither brings back a second copy nor loses it.
    m_nBusy++;
    ChangeBusy(TRUE);
    int result = pDlg->DoModal();
    if (g_pScheduleList) {
        if (result == IDOK) {
            CScheduleItem* pEdit = &g_pScheduleList->m_editItem;
            BOOL bConflict = FALSE;
            int keptAt = g_pScheduleList->FindIndex(&kept);
            for (int i = 0; i < g_pScheduleList->GetCount() && !bConflict; i++) {
                const CScheduleItem* pEntry = g_pScheduleList->GetAt(i);
                bConflict = i != keptAt && pEntry && DoSchedulesCollide(pEdit->m_record, pEntry->m_record);
            }
            if (bConflict) {
                m_wndHost.MessageBox(SCHEDULE_SAME_ENTRY_TEXT, NULL, MB_OK);
            } else {
                g_pScheduleList->Remove(&kept);
                g_pScheduleList->Add(pEdit);
            }
        }
        Refresh();
        SaveAndNotify();
    }
    DeleteDialog(pDlg);
    EndBusy();
}

// --- the other buttons ----------------------------------------------------------

void CScheduleWnd::OnDelete()
{
    if (!m_pList || !g_pScheduleList)
        return;
    // Rows below a deleted one move up into its place: the search goes on
    // from there, so each selected row is looked at once.
    int row = -1;
    while ((row = m_pList->GetNextItem(row, LVNI_SELECTED)) != -1) {
        CScheduleItem entry;
        if (!RowEntry(row, &entry))
            continue;
        g_pScheduleList->Remove(&entry);
        m_pList->DeleteItem(row);
        SaveAndNotify();
        row--;
    }
}

void CScheduleWnd::OnDeleteAll()
{
    if (g_pScheduleList)
        g_pScheduleList->RemoveAll();
    if (m_pList)
        m_pList->DeleteAllItems();
    SaveAndNotify();
}

void CScheduleWnd::OnOK()
{
    if (g_pSettings && g_pScheduleList)
        g_pScheduleList->Save(ScheduleFilePath());
    SaveAndNotify();
    HideAndReport();
}

void CScheduleWnd::OnCancel()
{
    HideAndReport();
}

void CScheduleWnd::HideAndReport()
{
    if (m_hWnd)
        ::ShowWindow(m_hWnd, SW_HIDE);
    if (HWND hMain = GetScheduleMainWindow())
        ::PostMessageA(hMain, WM_SCHEDULE_WND_CLOSED, 0, 0);
}

void CScheduleWnd::RequestClose()
{
    if (m_nBusy > 0) {
        // The handler that runs the dialog deletes it and reports at its end.
        m_bClosePending = TRUE;
        if (g_pScheduleDlg && g_pScheduleDlg->m_hWnd)
            g_pScheduleDlg->EndDialog(IDCANCEL);
        if (m_hWnd)
            ::ShowWindow(m_hWnd, SW_HIDE);
        return;
    }
    HideAndReport();
}

BOOL CScheduleWnd::BringDialogToFront()
{
    if (!g_pScheduleDlg || !g_pScheduleDlg->m_hWnd)
        return FALSE;
    ::SetWindowPos(g_pScheduleDlg->m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    ::SetForegroundWindow(g_pScheduleDlg->m_hWnd);
    return TRUE;
}

void OnScheduleWndClosed(HWND hMainWnd)
{
    if (!g_pScheduleWnd)
        return;
    if (g_pScheduleWnd->IsBusy()) {
        ::PostMessageA(hMainWnd, WM_SCHEDULE_WND_CLOSED, 0, 0);
        return;
    }
    CScheduleWnd* pWnd = g_pScheduleWnd;
    g_pScheduleWnd = NULL;
    delete pWnd;
}
