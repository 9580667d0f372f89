#include "FolderDialog.h"
#include <io.h>
#include <shlobj.h>
#include "Seams.h"
#include "WinApp.h"

#define FOLDER_DIALOG_PROP "sFolderDialog_Object"

namespace {

const char* CharAfter(const char* p)
{
    return ::CharNextA(p);
}

BOOL IsLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

BOOL Exists(const char* path)
{
    return _access(path, 0) == 0;
}

CString AppTitle()
{
    CWinApp* app = AfxGetApp();
    return app && app->m_pszAppName ? CString(app->m_pszAppName) : CString();
}

void ShowFolderMessage(int r, LPCSTR path, HWND hOwner)
{
    CString text;
    if (r == 1)
        text.Format("The folder:\n\n%s\n\nis invalid. Please reenter.", path);
    else if (r == 2)
        text.Format("The folder:\n\n%s\n\ncan not be created. Please double check.", path);
    else
        return;
    FwMessageBox(hOwner, text, AppTitle(), MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

BOOL CFolderDialog::IsValidFolderName(LPCSTR pszName, int nLength)
{
    if (!pszName || nLength <= 0)
        return FALSE;
    const char* end = pszName + nLength;
    const char* last = pszName;
    for (const char* p = pszName; p < end; p = CharAfter(p)) {
        last = p;
        if (CharAfter(p) - p == 1 && strchr("\"*/:<>?\\|", *p))
            return FALSE;
    }
    auto edge = [](const char* p) { return *p == '\t' || *p == ' ' || *p == '.'; };
    return !edge(pszName) && !(CharAfter(last) - last == 1 && edge(last));
}

int CFolderDialog::CreateFolderTree(LPCSTR pszPath, BOOL bValidateOnly)
{
    if (!pszPath)
        return 1;
    size_t n = strlen(pszPath);
    // A path that does not fit is refused whole; a cut one would name
    // another folder.
    if (n >= FOLDER_PATH_SIZE)
        return 1;
    char path[FOLDER_PATH_SIZE];
    memcpy(path, pszPath, n + 1);
    if (n < 3 || !IsLetter(path[0]) || path[1] != ':' || path[2] != '\\')
        return 1;
    if (n == 3)
        return bValidateOnly || Exists(path) ? 0 : 2;
    char* p = path + 3;
    for (;;) {
        char* start = p;
        while (*p && *p != '\\')
            p = (char*)CharAfter(p);
        if (!IsValidFolderName(start, (int)(p - start)))
            return 1;
        if (!bValidateOnly) {
            char keep = *p;
            *p = 0;
            ::CreateDirectoryA(path, NULL);
            BOOL ok = Exists(path);
            *p = keep;
            if (!ok)
                return 2;
        }
        if (!*p)
            return 0;
        ++p;   // past the separator; nothing after it is an empty name
    }
}

int CFolderDialog::CheckFolder(LPCSTR pszPath, HWND hOwner)
{
    int r = CreateFolderTree(pszPath, TRUE);
    if (r != 0) {
        ShowFolderMessage(r, pszPath ? pszPath : "", hOwner);
        return r;
    }
    if (!Exists(pszPath)) {
        CString ask;
        ask.Format("该文件夹:\n\n%s\n\n文件夹不存在，是否创建文件夹！", pszPath);
        if (FwMessageBox(hOwner, ask, AppTitle(), MB_YESNO | MB_ICONQUESTION) != IDYES)
            return -1;
        r = CreateFolderTree(pszPath, FALSE);
        if (r != 0) {
            ShowFolderMessage(r, pszPath, hOwner);
            return r;
        }
    }
    return 0;
}

BOOL StoreFolder(char (&field)[FOLDER_PATH_SIZE], LPCSTR pszFolder)
{
    if (!pszFolder)
        return FALSE;
    size_t n = strlen(pszFolder);
    if (n >= FOLDER_PATH_SIZE)
        return FALSE;
    memcpy(field, pszFolder, n + 1);
    return TRUE;
}

// --- the dialog ------------------------------------------------------------------

CFolderDialog::CFolderDialog(LPCSTR pszTitle, LPCSTR pszInstruction, LPCSTR pszInitialFolder, CWnd* pParent)
    : m_strTitle(pszTitle ? pszTitle : ""), m_strInstruction(pszInstruction ? pszInstruction : ""),
      m_strInitial(pszInitialFolder ? pszInitialFolder : ""), m_hOwner(NULL), m_hDialog(NULL), m_hEdit(NULL),
      m_pfnOldProc(NULL), m_bAccepted(0)
{
    CWnd* pOwner = CWnd::GetSafeOwner(pParent);
    m_hOwner = pOwner ? pOwner->GetSafeHwnd() : NULL;
    m_szDisplay[0] = 0;
    m_szPath[0] = 0;
}

CFolderDialog::~CFolderDialog()
{
}

int CFolderDialog::Browse()
{
    IMalloc* pMalloc = NULL;
    if (FAILED(::SHGetMalloc(&pMalloc)) || !pMalloc)
        return -1;
    m_bAccepted = 0;
    BROWSEINFOA bi = {};
    bi.hwndOwner = m_hOwner;
    bi.pszDisplayName = m_szDisplay;
    bi.lpszTitle = m_strInstruction;
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;
    bi.lpfn = Callback;
    bi.lParam = (LPARAM)this;
    LPITEMIDLIST pidl = ::SHBrowseForFolderA(&bi);
    if (pidl)
        pMalloc->Free(pidl);
    pMalloc->Release();
    m_hDialog = NULL;
    m_hEdit = NULL;
    return m_bAccepted ? 1 : -1;
}

int CALLBACK CFolderDialog::Callback(HWND hWnd, UINT message, LPARAM lParam, LPARAM lpData)
{
    CFolderDialog* self = (CFolderDialog*)lpData;
    if (!self)
        return 0;
    if (message == BFFM_INITIALIZED)
        self->OnInitialized(hWnd);
    else if (message == BFFM_SELCHANGED)
        self->OnSelChanged(lParam);
    return 0;
}

void CFolderDialog::OnInitialized(HWND hWnd)
{
    m_hDialog = hWnd;
    if (!m_strTitle.IsEmpty())
        ::SetWindowTextA(hWnd, m_strTitle);
    ::SetPropA(hWnd, FOLDER_DIALOG_PROP, (HANDLE)this);
    m_pfnOldProc = (WNDPROC)::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)DialogProc);
    if (HWND hStatus = ::GetDlgItem(hWnd, IDC_STATUS))
        ::ShowWindow(hStatus, SW_HIDE);
    HWND hTree = ::GetDlgItem(hWnd, IDC_TREE);
    RECT rc = {10, 40, 300, 240};
    if (hTree) {
        ::GetWindowRect(hTree, &rc);
        ::MapWindowPoints(NULL, hWnd, (POINT*)&rc, 2);
    }
    const int height = 25, gap = 4;
    m_hEdit = ::CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                                rc.left, rc.top - gap - height, rc.right - rc.left, height, hWnd,
                                (HMENU)(UINT_PTR)IDC_EDIT, ::GetModuleHandleA(NULL), NULL);
    if (m_hEdit) {
        ::SendMessageA(m_hEdit, WM_SETFONT, ::SendMessageA(hWnd, WM_GETFONT, 0, 0), FALSE);
        ::SendMessageA(m_hEdit, EM_LIMITTEXT, FOLDER_PATH_SIZE - 1, 0);
    }
    char current[MAX_PATH] = "";
    LPCSTR initial = m_strInitial;
    if (m_strInitial.IsEmpty()) {
        ::GetCurrentDirectoryA(MAX_PATH, current);
        initial = current;
    }
    ::SendMessageA(hWnd, BFFM_SETSELECTIONA, TRUE, (LPARAM)initial);
}

void CFolderDialog::OnSelChanged(LPARAM lParam)
{
    LPCITEMIDLIST pidl = (LPCITEMIDLIST)lParam;
    char path[MAX_PATH] = "";
    if (!pidl || !::SHGetPathFromIDListA(pidl, path) || path[1] != ':')
        path[0] = 0;
    lstrcpynA(m_szPath, path, FOLDER_PATH_SIZE);
    if (!m_hDialog)
        return;
    ::SendMessageA(m_hDialog, BFFM_ENABLEOK, 0, path[0] != 0);
    ::SendMessageA(m_hDialog, BFFM_SETSTATUSTEXTA, 0, (LPARAM)m_szPath);
    if (m_hEdit)
        ::SetWindowTextA(m_hEdit, m_szPath);
}

BOOL CFolderDialog::OnOk()
{
    if (m_hEdit)
        ::GetWindowTextA(m_hEdit, m_szPath, FOLDER_PATH_SIZE);
    if (CheckFolder(m_szPath, m_hDialog) != 0) {
        if (m_hEdit)
            ::SetFocus(m_hEdit);
        return FALSE;
    }
    m_bAccepted = 1;
    return TRUE;
}

LRESULT CALLBACK CFolderDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CFolderDialog* self = (CFolderDialog*)::GetPropA(hWnd, FOLDER_DIALOG_PROP);
    if (!self || !self->m_pfnOldProc)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    WNDPROC old = self->m_pfnOldProc;
    if (message == WM_COMMAND) {
        if (LOWORD(wParam) == IDC_EDIT && HIWORD(wParam) == EN_CHANGE) {
            if (self->m_hEdit)
                ::GetWindowTextA(self->m_hEdit, self->m_szPath, FOLDER_PATH_SIZE);
            ::SendMessageA(hWnd, BFFM_ENABLEOK, 0, self->m_szPath[0] != 0);
            return 0;
        }
        if (LOWORD(wParam) == IDOK) {
            if (self->OnOk())
                ::EndDialog(hWnd, 1);
            return 0;
        }
    } else if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)old);
        ::RemovePropA(hWnd, FOLDER_DIALOG_PROP);
        self->m_pfnOldProc = NULL;
    }
    return ::CallWindowProcA(old, hWnd, message, wParam, lParam);
}
