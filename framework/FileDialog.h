// CFileDialog: the system's open (or save) file dialog. Filters are given the
// MFC way, "Text (*.txt)|*.txt|All Files (*.*)|*.*||".
#pragma once
#include "Dialog.h"
#include <commdlg.h>

class CFileDialog : public CDialog {
public:
    explicit CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt = NULL, LPCSTR lpszFileName = NULL,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                         LPCSTR lpszFilter = NULL, CWnd* pParentWnd = NULL);

    // IDOK when a file was chosen, IDCANCEL when the dialog was cancelled or
    // failed.
    int DoModal() override;
    // The chosen file with its folder.
    CString GetPathName() const { return CString(m_szFile); }
    // The chosen file's extension without its dot; empty when it has none.
    CString GetFileExt() const;

    OPENFILENAMEA m_ofn;

private:
    BOOL m_bOpenFileDialog;
    CString m_strFilter;  // '|' turned into the NULs the system expects
    CString m_strDefExt;
    char m_szFile[MAX_PATH];
};
