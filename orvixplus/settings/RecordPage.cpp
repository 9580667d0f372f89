#include "RecordPage.h"
#include "AppSettings.h"
#include "AppState.h"
#include "DiskSpace.h"
#include "FolderDialog.h"
#include "Globals.h"
#include "PropWindow.h"
#include "SettingsArt.h"
#include "SkinButtons.h"
#include "SkinCtrlMap.h"
#include "SkinGroup.h"
#include "SkinListCtrl.h"
#include "SkinMessages.h"
#include "VideoWindow.h"

namespace {

struct Format {
    const char* text;
    RECT rect;
};
const Format kFormats[9] = {
    {"MPEG-1", {18, 18, 98, 38}},   {"VCD-PAL", {98, 18, 178, 38}},   {"VCD-NTSC", {178, 18, 278, 38}},
    {"SVCD-PAL", {278, 18, 373, 38}}, {"MPEG-2", {18, 40, 98, 60}},  {"DVD-PAL", {98, 40, 178, 60}},
    {"DVD-NTSC", {178, 40, 278, 60}}, {"SVCD-NTSC", {278, 40, 383, 60}}, {"AVI", {18, 60, 78, 80}},
};
const char* const kQualities[] = {"一般质量", "标准质量", "高等质量"};
const char* const kDriveColumns[] = {"盘符", "总共空间(MB)", "剩余空间(MB)", "比例(%)"};

}  // namespace

BOOL CRecordPage::CreateControls()
{
    CSkinGroup* pGroup = AddGroup(4192, "录制格式", CRect(20, 5, 405, 86));
    if (!pGroup)
        return FALSE;
    for (int i = 0; i < 9; ++i)
        if (!AddCheck(IDC_FORMAT_FIRST + i, kFormats[i].text, kFormats[i].rect, pGroup))
            return FALSE;
    return AddLabel(4201, "录制质量", CRect(20, 90, 90, 114)) &&
           AddCombo(IDC_QUALITY, CRect(115, 89, 290, 190), kQualities, 3) &&
           AddLabel(4209, "图片路径", CRect(20, 124, 90, 148)) &&
           AddEllipsisLabel(IDC_PICTURE_LABEL, CRect(115, 125, 340, 145)) &&
           AddButton(IDC_PICTURE_BROWSE, "浏览", CRect(355, 123, 420, 147)) &&
           AddLabel(4212, "视频路径", CRect(20, 158, 90, 182)) &&
           AddEllipsisLabel(IDC_RECORD_LABEL, CRect(115, 159, 340, 179)) &&
           AddButton(IDC_RECORD_BROWSE, "浏览", CRect(355, 157, 420, 181)) && CreateDriveList();
}

BOOL CRecordPage::CreateDriveList()
{
    m_pDrives = new CSkinListCtrl;
    Keep(m_pDrives);
    if (!m_pDrives->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS,
                           CRect(20, 187, 405, 282), this, IDC_DRIVES))
        return FALSE;
    m_pDrives->SetExtendedStyle(LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT);
    if (!m_pDrives->InitSkin() || !m_pDrives->Header().LoadBitmaps(IDB_HEADER_LEFT, IDB_HEADER_TILE, IDB_HEADER_RIGHT) ||
        !m_pDrives->HorizontalBar().LoadBitmaps(IDB_SB_LEFT, IDB_SB_RIGHT, IDB_SB_HTHUMB, IDB_SB_HTRACK) ||
        !m_pDrives->VerticalBar().LoadBitmaps(IDB_SB_UP, IDB_SB_DOWN, IDB_SB_VTRACK, IDB_SB_VTHUMB, IDB_SB_CORNER,
                                              IDB_SB_CORNER))
        return FALSE;
    for (int i = 0; i < 4; ++i)
        m_pDrives->InsertColumn(i, kDriveColumns[i], LVCFMT_CENTER, 96);
    FillDrives();
    return TRUE;
}

void CRecordPage::OnDestroy()
{
    // The bars are the list's members but windows of their own.
    if (m_pDrives) {
        m_pDrives->HorizontalBar().DestroyWindow();
        m_pDrives->VerticalBar().DestroyWindow();
    }
    CSettingsPage::OnDestroy();
    m_pDrives = NULL;
}

int CRecordPage::FreePercent(ULONGLONG freeMB, ULONGLONG totalMB)
{
    // In 32 bits free x 100 overflows from about 21 TB of free space on.
    if (totalMB == 0)
        return 0;
    ULONGLONG percent = freeMB * 100 / totalMB;
    return percent > 100 ? 100 : (int)percent;
}

void CRecordPage::FillDrives()
{
    if (!m_pDrives)
        return;
    m_pDrives->SetRedraw(FALSE);
    DWORD size = ::GetLogicalDriveStringsA(0, NULL);
    HANDLE heap = ::GetProcessHeap();
    char* roots = size ? (char*)::HeapAlloc(heap, HEAP_ZERO_MEMORY, size + 1) : NULL;
    if (roots && ::GetLogicalDriveStringsA(size, roots) <= size) {
        int row = 0;
        for (const char* root = roots; *root; root += strlen(root) + 1) {
            UINT type = ::GetDriveTypeA(root);
            if (type == DRIVE_CDROM || type == DRIVE_REMOVABLE)
                continue;
            // A drive that cannot be read shows 0, not what the stack held.
            ULONGLONG total = 0, free = 0;
            GetDiskSpace(root, &total, NULL, &free);
            CString text;
            if (m_pDrives->InsertItem(row, root) < 0)
                break;
            text.Format("%llu", total);
            m_pDrives->SetItemText(row, 1, text);
            text.Format("%llu", free);
            m_pDrives->SetItemText(row, 2, text);
            text.Format("%d", FreePercent(free, total));
            m_pDrives->SetItemText(row, 3, text);
            ++row;
        }
    }
    if (roots)
        ::HeapFree(heap, 0, roots);
    m_pDrives->SetRedraw(TRUE);
}

CString CRecordPage::FolderToStore(LPCSTR pszChosen, LPCSTR pszProgramFolder)
{
    CString path = pszChosen ? pszChosen : "";
    // Only "X:\" is a root here: the stored-folder test counts any path with
    // one backslash, and "C:\a" would then be stored without its own.
    BOOL root = path.GetLength() == 3 && path[1] == ':' && path[2] == '\\';
    if (!root)
        path += "\\";
    // A folder too long for the field is not usable: cut, it would name
    // another one.
    if (path.GetLength() < FOLDER_PATH_SIZE && IsUsableFolder(path, FALSE, FALSE))
        return path;
    CString program = pszProgramFolder ? pszProgramFolder : "";
    return program.GetLength() < FOLDER_PATH_SIZE ? program : CString();
}

void CRecordPage::Browse(BOOL bRecordFolder)
{
    HWND hMain = AfxGetMainWnd() ? AfxGetMainWnd()->GetSafeHwnd() : NULL;
    HWND hProp = g_pSkinCtrlMap ? g_pSkinCtrlMap->GetOwner() : NULL;
    HWND hVideo = g_pVideoWindow ? g_pVideoWindow->GetSafeHwnd() : NULL;
    if (!g_pSettings || !hMain || !hProp || !hVideo)
        return;
    char(&field)[FOLDER_PATH_SIZE] = bRecordFolder ? g_pSettings->m_szRecordFolder : g_pSettings->m_szPictureFolder;
    CFolderDialog dlg("选择存放路径:", "文件路径：", field, NULL);
    StopScanAndRun();
    HWND windows[3] = {hMain, hProp, hVideo};
    BOOL disabled[3] = {};
    for (int i = 0; i < 3; ++i)
        if (::IsWindowVisible(windows[i])) {
            ::EnableWindow(windows[i], FALSE);
            disabled[i] = TRUE;
        }
    if (g_pAppState)
        g_pAppState->ChangeBusyCount(TRUE);
    if (dlg.Browse() == 1) {
        CString folder = FolderToStore(dlg.GetPath(), ProgramFolderPath());
        if (!folder.IsEmpty())
            StoreFolder(field, folder);
        if (g_pSkinCtrlMap)
            g_pSkinCtrlMap->SetEllipsisLabelText(bRecordFolder ? IDC_RECORD_LABEL : IDC_PICTURE_LABEL, field);
    }
    if (g_pAppState)
        g_pAppState->ChangeBusyCount(FALSE);
    for (int i = 0; i < 3; ++i)
        if (disabled[i] || ::IsWindowVisible(windows[i]))
            ::EnableWindow(windows[i], TRUE);
}

LRESULT CRecordPage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SKINCHECK_CLICKED:
        if (wParam >= IDC_FORMAT_FIRST && wParam < IDC_FORMAT_FIRST + 9) {
            m_nFormat = (int)wParam - IDC_FORMAT_FIRST;
            for (int i = 0; i < 9; ++i)
                if (g_pSkinCtrlMap)
                    g_pSkinCtrlMap->SetCheck(IDC_FORMAT_FIRST + i, i == m_nFormat);
            if (g_pSettings)
                g_pSettings->m_nRecordFormat = m_nFormat;
        }
        return 0;
    case WM_COMMAND: {
        UINT id = LOWORD(wParam), code = HIWORD(wParam);
        if (code == CBN_SELCHANGE && id == IDC_QUALITY) {
            Report(WM_PROP_SELCHANGE, IDC_QUALITY, ::SendMessage((HWND)lParam, CB_GETCURSEL, 0, 0));
            return 0;
        }
        if (code == BN_CLICKED && (id == IDC_PICTURE_BROWSE || id == IDC_RECORD_BROWSE)) {
            Browse(id == IDC_RECORD_BROWSE);
            return 0;
        }
        break;
    }
    }
    return CSettingsPage::WindowProc(message, wParam, lParam);
}
