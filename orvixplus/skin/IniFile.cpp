#include "IniFile.h"
#include "StoredFile.h"

static const DWORD kValueBuffer = 2048;
static const DWORD kKeyListBuffer = 16384;

CString CIniFile::GetString(LPCTSTR lpszSection, LPCTSTR lpszKey, LPCTSTR lpszDefault) const
{
    char buffer[kValueBuffer];
    ReadProfileString(lpszSection, lpszKey, lpszDefault ? lpszDefault : "", buffer, kValueBuffer, m_strPath);
    return CString(buffer);
}

int CIniFile::GetInt(LPCTSTR lpszSection, LPCTSTR lpszKey) const
{
    return (int)ReadProfileInt(lpszSection, lpszKey, 0, m_strPath);
}

BOOL CIniFile::GetKeyNames(LPCTSTR lpszSection, CStringArray& keys) const
{
    keys.RemoveAll();
    HGLOBAL hBlock = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kKeyListBuffer + 1);
    if (!hBlock)
        return FALSE;
    char* names = (char*)::GlobalLock(hBlock);
    if (names) {
        DWORD n = ReadProfileString(lpszSection, NULL, "", names, kKeyListBuffer, m_strPath);
        if (n != 0 && names[0] != '\0') {
            for (const char* p = names; *p; p += strlen(p) + 1)
                keys.Add(CString(p));
            // A list cut by the buffer may end in half a name: keep it only
            // when the section really has a key of that name.
            if (n >= kKeyListBuffer - 2 && keys.GetSize() > 0) {
                static const char kAbsent[] = "\x01\x02" "absent";
                CString last = keys[keys.GetSize() - 1];
                if (GetString(lpszSection, last, kAbsent) == kAbsent)
                    keys.RemoveAt(keys.GetSize() - 1);
            }
        }
        ::GlobalUnlock(hBlock);
    }
    ::GlobalFree(hBlock);
    return keys.GetSize() > 0;
}
