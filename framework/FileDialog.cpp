#include "FileDialog.h"
#include "WinApp.h"

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt, LPCSTR lpszFileName, DWORD dwFlags,
                         LPCSTR lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog)
{
    m_pParentWnd = pParentWnd;
    memset(&m_ofn, 0, sizeof(m_ofn));
    m_szFile[0] = 0;
    if (lpszFileName)
        lstrcpynA(m_szFile, lpszFileName, sizeof(m_szFile));
    if (lpszDefExt)
        m_strDefExt = lpszDefExt;
    if (lpszFilter) {
        m_strFilter = lpszFilter;
        // The list ends with two NULs: the string's own and one more.
        if (m_strFilter.IsEmpty() || m_strFilter[m_strFilter.GetLength() - 1] != '|')
            m_strFilter += '|';
        m_strFilter += '|';
    }
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.lpstrFile = m_szFile;
    m_ofn.nMaxFile = sizeof(m_szFile);
    m_ofn.Flags = dwFlags | OFN_ENABLESIZING;
}

int CFileDialog::DoModal()
{
    // CString::Replace cannot put NULs into the text: copy it byte by byte.
    std::string filter(m_strFilter, m_strFilter.GetLength());
    for (char& c : filter)
        if (c == '|')
            c = 0;
    m_ofn.lpstrFilter = filter.empty() ? NULL : filter.c_str();
    m_ofn.lpstrDefExt = m_strDefExt.IsEmpty() ? NULL : (LPCSTR)m_strDefExt;
    CWnd* pOwner = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    m_ofn.hwndOwner = pOwner ? pOwner->GetSafeHwnd() : NULL;
    BOOL ok = m_bOpenFileDialog ? GetOpenFileNameA(&m_ofn) : GetSaveFileNameA(&m_ofn);
    m_ofn.lpstrFilter = NULL;
    return ok ? IDOK : IDCANCEL;
}

CString CFileDialog::GetFileExt() const
{
    // The system's offset is 0 when the name has no extension (or ends in a
    // dot); it points past the dot otherwise.
    if (m_ofn.nFileExtension == 0 || m_ofn.nFileExtension >= sizeof(m_szFile) || !m_szFile[0])
        return CString();
    return CString(m_szFile + m_ofn.nFileExtension);
}
