// The folder chooser of the recording page: the system's browse-for-folder
// dialog with an edit box in which a folder may also be typed, created on
// request level by level. Whether a stored folder is still usable is
// DiskSpace.h's IsUsableFolder. Texts are GBK; one double-byte character
// counts as one character, and its trail byte is never a separator.
#pragma once
#include "Afx.h"
#include "DiskSpace.h"

enum { FOLDER_PATH_SIZE = 260 };   // 259 characters and the NUL

// Copies a folder into a settings field; FALSE (field unchanged) when it
// does not fit whole.
BOOL StoreFolder(char (&field)[FOLDER_PATH_SIZE], LPCSTR pszFolder);

class CFolderDialog {
public:
    enum { IDC_TREE = 14145, IDC_STATUS = 14147, IDC_EDIT = 14148 };
    CFolderDialog(LPCSTR pszTitle, LPCSTR pszInstruction, LPCSTR pszInitialFolder, CWnd* pParent);
    ~CFolderDialog();

    // 0 valid (and, when creating, every level exists), 1 invalid, 2 a level
    // cannot be created.
    static int CreateFolderTree(LPCSTR pszPath, BOOL bValidateOnly);
    // One path component of nLength bytes.
    static BOOL IsValidFolderName(LPCSTR pszName, int nLength);
    // The typed folder: 0 accepted, -1 creation declined, 1 invalid, 2 cannot be
    // created. Boxes are owned by hOwner.
    static int CheckFolder(LPCSTR pszPath, HWND hOwner);

    // 1 when a folder that passed the check was accepted, -1 otherwise.
    int Browse();
    LPCSTR GetPath() const { return m_szPath; }
    HWND GetDialog() const { return m_hDialog; }

private:
    static int CALLBACK Callback(HWND hWnd, UINT message, LPARAM lParam, LPARAM lpData);
    static LRESULT CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitialized(HWND hWnd);
    void OnSelChanged(LPARAM lParam);
    BOOL OnOk();

    CString m_strTitle, m_strInstruction, m_strInitial;
    HWND m_hOwner;
    char m_szDisplay[MAX_PATH];
    char m_szPath[FOLDER_PATH_SIZE];
    HWND m_hDialog;
    HWND m_hEdit;
    WNDPROC m_pfnOldProc;
    int m_bAccepted;
};
