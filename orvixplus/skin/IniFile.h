// CIniFile: read-only access to one INI file (skin.ini and its kin). Every
// read goes to the file; nothing is cached and nothing is ever written.
#pragma once
#include "Afx.h"

class CIniFile {
public:
    explicit CIniFile(LPCTSTR lpszPath) : m_strPath(lpszPath) {}

    // Values longer than 2047 characters are cut there.
    CString GetString(LPCTSTR lpszSection, LPCTSTR lpszKey, LPCTSTR lpszDefault) const;
    // The leading decimal digits of the value; 0 when missing or not a number.
    int GetInt(LPCTSTR lpszSection, LPCTSTR lpszKey) const;
    // All key names of the section in file order; FALSE (array empty) for none.
    // A list longer than 16384 bytes keeps the names that fit whole.
    BOOL GetKeyNames(LPCTSTR lpszSection, CStringArray& keys) const;

    const CString& GetPath() const { return m_strPath; }

private:
    CString m_strPath;
};
