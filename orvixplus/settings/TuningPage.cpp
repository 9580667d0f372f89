#include "TuningPage.h"
#include "AppMessages.h"
#include "AppSettings.h"
#include "AppState.h"
#include "ChannelHistory.h"
#include "ChannelListCtrl.h"
#include "ChannelStore.h"
#include "CountryPlan.h"
#include "FileDialog.h"
#include "Globals.h"
#include "PropWindow.h"
#include "SettingsArt.h"
#include "SkinButtons.h"
#include "SkinCtrlMap.h"
#include "SkinGroup.h"
#include "SkinMessages.h"
#include "SkinSlider.h"
#include "TuningHost.h"

using namespace settingsart;

namespace {

const char* const kSources[] = {"频率表", "频率点"};
const char* const kColumns[5] = {"跳跃", "锁定", "序号", "名称", "频率"};

CString ProgramFolder()
{
    return g_pSettings ? g_pSettings->m_strAppFolder : CString();
}

// Where the extension's dot of the file name (not of a folder) is; -1 when
// the name has none.
int ExtensionDot(const CString& path)
{
    int lastDot = -1;
    for (const char* p = path; *p; p = ::CharNextA(p)) {
        if (*p == '\\' || *p == '/')
            lastDot = -1;
        else if (*p == '.')
            lastDot = (int)(p - (const char*)path);
    }
    return lastDot;
}

// Whether a chosen file may be imported: its name ends in ".chl" in any case.
BOOL IsChannelFileName(LPCSTR pszPath)
{
    CString path = pszPath ? pszPath : "";
    int dot = ExtensionDot(path);
    return dot >= 0 && path.Mid(dot + 1).CompareNoCase("chl") == 0;
}

}  // namespace

void FillChannelRows(CEditListCtrl* pList, int nList)
{
    if (!pList || !pList->GetSafeHwnd() || !g_pChannelStore)
        return;
    // Drawn once when all rows are in: each row's texts would each have the
    // list invalidate and redraw it, a round trip to the window server apiece.
    pList->SetRedraw(FALSE);
    pList->DeleteAllItems();
    int lo = g_pChannelStore->GetMinChannel(nList), hi = g_pChannelStore->GetMaxChannel(nList);
    // Only the stored numbers: the range itself may span billions.
    CArray<int, int> numbers;
    if (lo >= 1 && lo <= hi)
        g_pChannelStore->GetNumbers(nList, numbers);
    int row = 0;
    for (INT_PTR i = 0; i < numbers.GetSize(); ++i)
        if (ChannelRecord* pRec = g_pChannelStore->GetChannelPtr(numbers[i], nList))
            pList->AddChannelRow(row++, pRec);
    pList->SetRedraw(TRUE);
    pList->Invalidate();
}

CString ExportPathFor(LPCSTR pszChosen)
{
    CString path = pszChosen ? pszChosen : "";
    int dot = ExtensionDot(path);
    if (dot >= 0)
        path = path.Left(dot);
    return path + ".chl";
}

// --- controls ---------------------------------------------------------------------

BOOL CTuningPage::CreateControls()
{
    CSkinGroup* pBand = AddGroup(4128, "天线源", CRect(10, 10, 170, 56));
    if (!pBand || !AddCheck(IDC_AIR, "无线", CRect(15, 21, 90, 41), pBand) ||
        !AddCheck(IDC_CABLE, "有线", CRect(95, 21, 160, 41), pBand) ||
        !AddLabel(4131, "调谐方式", CRect(185, 22, 251, 44)) ||
        !AddCombo(IDC_SOURCE, CRect(255, 21, 415, 120), kSources, 2) || !CreateList())
        return FALSE;
    for (int i = 0; i < 4; ++i)
        if (!AddMoveButton(IDC_MOVE_TOP + i, i, CRect(414, 96 + 22 * i, 436, 118 + 22 * i)))
            return FALSE;
    if (!AddButton(IDC_IMPORT, "导入频率表", CRect(85, 235, 170, 260)) ||
        !AddButton(IDC_EXPORT, "导出频率表", CRect(230, 235, 315, 260)) ||
        !AddTrackBar(IDC_FINE_TUNE, 15, 265, -16, 16, TRUE) ||
        !AddLabel(IDC_FINE_LABEL, "0", CRect(200, 264, 255, 285), TRUE))
        return FALSE;
    CSkinSlider* pProgress = new CSkinSlider;
    Keep(pProgress);
    if (!pProgress->Create("", WS_CHILD | WS_VISIBLE, CRect(15, 293, 160, 323), this, IDC_PROGRESS))
        return FALSE;
    pProgress->LoadBitmaps(IDB_TRACK_CHANNEL, 0, FALSE, TRUE, kMagenta, 0, 0);
    pProgress->SetRange(0, 100, TRUE);
    pProgress->SetPos(0);
    if (g_pSkinCtrlMap)
        g_pSkinCtrlMap->AddSlider(IDC_PROGRESS, pProgress);
    return AddButton(IDC_SCAN, "自动搜索", CRect(270, 289, 350, 311)) != NULL;
}

BOOL CTuningPage::CreateList()
{
    m_pList = new CChannelListCtrl;
    Keep(m_pList);
    if (!m_pList->Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(10, 60, 409, 230), this, IDC_LIST))
        return FALSE;
    for (int i = 0; i < 5; ++i)
        m_pList->InsertColumn(i, kColumns[i], LVCFMT_LEFT, 79);
    m_pList->InitSkin();
    m_pList->Header().LoadBitmaps(IDB_HEADER_LEFT, IDB_HEADER_TILE, IDB_HEADER_RIGHT);
    HBITMAP frame = SharedResourceBitmap(IDB_CELL_FRAME);
    HBITMAP back = SharedResourceBitmap(IDB_CELL_BACK);
    HBITMAP check = SharedResourceBitmap(IDB_CHECK);
    HBITMAP toggle = SharedResourceBitmap(IDB_TOGGLE);
    HBITMAP src[6] = {frame, back, NULL, check, NULL, toggle};
    RECT rcs[6] = {{0, 0, 54, 54}, {3, 3, 51, 16}, {}, kStateOn, {}, kStateOn};
    m_pList->SetBitmaps(src, rcs);
    m_pList->SetRectA(CRect(0, 0, 54, 54));
    m_pList->SetRectB(CRect(kFrameBorder, kFrameBorder, kFrameBorder, kFrameBorder));
    int lo = GetMinChannelForInput(), hi = GetMaxChannelForInput();
    int limit = g_pChannelStore && lo >= 0 && hi - lo + 1 > 0 ? hi - lo + 1 : 160;
    m_pList->SetItemCount(limit);
    if (g_pSkinCtrlMap)
        g_pSkinCtrlMap->AddChannelList(IDC_LIST, m_pList);
    return TRUE;
}

// --- handlers ---------------------------------------------------------------------

LRESULT CTuningPage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SKINCHECK_CLICKED:
        if (wParam == IDC_AIR || wParam == IDC_CABLE)
            OnBand((UINT)wParam);
        return 0;
    case WM_SKINTRACKBAR_MOVING:
    case WM_SKINTRACKBAR_MOVED:
        if (wParam == IDC_FINE_TUNE) {
            if (g_pChannelStore)
                StopChannelScan();
            if (g_pSkinCtrlMap)
                g_pSkinCtrlMap->SetLabelNumber(IDC_FINE_LABEL, (int)lParam);
            Report(message == WM_SKINTRACKBAR_MOVING ? WM_PROP_SLIDER_MOVING : WM_PROP_SLIDER_RELEASED,
                   IDC_FINE_TUNE, lParam);
        }
        return 0;
    case WM_EDITLIST_NAMECHANGED:
        if (!lParam)
            return 1;
        OnNameChanged((ChannelRecord*)lParam);
        return 0;
    case WM_EDITLIST_FREQCHANGED:
        if (!lParam)
            return 1;
        OnFrequencyChanged((ChannelRecord*)lParam);
        return 0;
    case WM_EDITLIST_CHECKCHANGED:
        if (lParam) {
            StopScanAndRun();
            ((ChannelRecord*)lParam)->nSkip = (int)wParam;
        }
        return 0;
    case WM_USER + 322:
        return 0;
    case WM_COMMAND: {
        UINT id = LOWORD(wParam), code = HIWORD(wParam);
        if (code == CBN_SELCHANGE && id == IDC_SOURCE) {
            StopScanAndRun();
            Report(WM_PROP_SELCHANGE, IDC_SOURCE, ::SendMessage((HWND)lParam, CB_GETCURSEL, 0, 0));
            return 0;
        }
        if (code != BN_CLICKED)
            break;
        if (id >= IDC_MOVE_TOP && id < IDC_MOVE_TOP + 4) {
            OnMove(id);
            return 0;
        }
        if (id == IDC_IMPORT) {
            OnImport();
            return 0;
        }
        if (id == IDC_EXPORT) {
            OnExport();
            return 0;
        }
        if (id == IDC_SCAN) {
            if (CWnd* pMain = AfxGetMainWnd())
                if (pMain->GetSafeHwnd())
                    pMain->PostMessage(WM_APP_TOGGLE_SCAN, 0, 0);
            return 0;
        }
        break;
    }
    }
    return CSettingsPage::WindowProc(message, wParam, lParam);
}

void CTuningPage::OnBand(UINT nID)
{
    StopScanAndRun();
    BOOL cable = nID == IDC_CABLE;
    if (g_pSkinCtrlMap) {
        g_pSkinCtrlMap->SetCheck(IDC_CABLE, cable);
        g_pSkinCtrlMap->SetCheck(IDC_AIR, !cable);
    }
    m_nBand = cable ? 1 : 0;
    if (g_pSettings) {
        g_pSettings->m_nTunerList = cable ? 2 : 1;
        if (g_pSettings->m_nInputSource == 1 || g_pSettings->m_nInputSource == 2)
            g_pSettings->m_nInputSource = cable ? 2 : 1;
    }
    if (g_pAppState)
        g_pAppState->SetSource(cable ? SOURCE_CABLE : SOURCE_ANTENNA, TRUE);
    Report(WM_PROP_CHANNELS_RELOADED, 0, 0);
}

void CTuningPage::OnMove(UINT nID)
{
    StopScanAndRun();
    if (!IsChannelEditMode(FALSE) || !m_pList)
        return;
    static const UINT kMoves[4] = {WM_EDITLIST_MOVETOP, WM_EDITLIST_MOVEUP, WM_EDITLIST_MOVEDOWN,
                                   WM_EDITLIST_MOVEBOTTOM};
    m_pList->PostMessage(kMoves[nID - IDC_MOVE_TOP], 0, 0);
}

BOOL CTuningPage::ImportFile(LPCSTR pszPath)
{
    if (!g_pChannelStore || !IsChannelFileName(pszPath))
        return FALSE;
    // The rows point at the records a load replaces: none may stay, nor an
    // edit of one.
    int list = g_pSettings ? g_pSettings->m_nTunerList : 0;
    if (m_pList)
        m_pList->DeleteAllItems();
    if (!g_pChannelStore->Load(pszPath)) {
        // The store kept what it had: so do the rows.
        FillChannelRows(m_pList, list);
        if (g_pSkinCtrlMap && list >= 1 && list <= 2 && g_pChannelStore->GetCount(list) >= 1)
            g_pSkinCtrlMap->SetChannelListRowCount(IDC_LIST, g_pChannelStore->GetCount(list));
        return FALSE;
    }
    HWND hOwner = g_pSkinCtrlMap ? g_pSkinCtrlMap->GetOwner() : NULL;
    if (hOwner && ::IsWindow(hOwner))
        Report(WM_PROP_CHANNELS_RELOADED, 0, 0);
    else
        FillChannelRows(m_pList, list);
    if (g_pAppState && g_pAppState->IsTvViewing()) {
        int l = InputSourceList();
        if (l)
            g_pChannelStore->SelectChannel(g_pChannelStore->GetCurrent(l), l, TRUE);
    }
    return TRUE;
}

BOOL CTuningPage::ExportFile(LPCSTR pszChosen)
{
    if (!g_pChannelStore || !pszChosen || !*pszChosen)
        return FALSE;
    return g_pChannelStore->Save(ExportPathFor(pszChosen));
}

void CTuningPage::OnImport()
{
    if (!IsChannelEditMode(TRUE))
        return;
    StopScanAndRun();
    CFileDialog dlg(TRUE, ".chl", NULL, 0, "CHL Files (*.chl)|*.chl|*.CHL |*.CHL| All Files (*.*)|*.*||",
                    this);
    CString folder = ProgramFolder();
    dlg.m_ofn.lpstrInitialDir = folder.IsEmpty() ? NULL : (LPCSTR)folder;
    int answer;
    {
        CBusyScope busy;
        answer = dlg.DoModal();
    }
    if (answer == IDOK)
        ImportFile(dlg.GetPathName());
}

void CTuningPage::OnExport()
{
    if (!IsChannelEditMode(TRUE))
        return;
    StopScanAndRun();
    CFileDialog dlg(FALSE, NULL, "OrvixPlusChannels.chl", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                    "CHL Files (*.chl)|*.CHL| All Files (*.*)|*.*||", this);
    CString folder = ProgramFolder();
    dlg.m_ofn.lpstrInitialDir = folder.IsEmpty() ? NULL : (LPCSTR)folder;
    int answer;
    {
        CBusyScope busy;
        answer = dlg.DoModal();
    }
    if (answer == IDOK)
        ExportFile(dlg.GetPathName());
}

void CTuningPage::UpdateHistory(const ChannelRecord& rec)
{
    if (!g_pHistoryList)
        return;
    HistoryRecord h = {-1, g_pSettings && g_pSettings->m_nInputSource == 1 ? 1 : 2, 1, -1, rec};
    g_pHistoryList->Update(&h);
}

void CTuningPage::OnNameChanged(ChannelRecord* pRec)
{
    StopScanAndRun();
    if (g_pTunedChannel && pRec->nNumber == g_pTunedChannel->nNumber)
        if (CWnd* pMain = AfxGetMainWnd())
            if (pMain->GetSafeHwnd())
                pMain->SendMessage(WM_APP_SHOW_CHANNEL, 0, (LPARAM)pRec);
    UpdateHistory(*pRec);
}

void CTuningPage::OnFrequencyChanged(ChannelRecord* pRec)
{
    StopScanAndRun();
    if (g_pCurrentChannel)
        *g_pCurrentChannel = *pRec;
    int l = g_pChannelStore ? InputSourceList() : 0, number = pRec->nNumber;
    if (l) {
        ChannelRecord copy = *pRec;
        g_pChannelStore->UpdateChannel(number, l, &copy);
    }
    // The history's entry first: the tune then finds it and adds no second
    // one for the new frequency.
    UpdateHistory(*pRec);
    if (l) {
        // Tuned at once, also a channel that channel stepping skips.
        if (g_pChannelStore->IsSkipped(number, l))
            g_pChannelStore->SelectChannelInRange(number, l, TRUE);
        else
            g_pChannelStore->SelectChannel(number, l, TRUE);
    }
}
