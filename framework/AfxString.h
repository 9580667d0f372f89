// CString: a GBK (code page 936) string with plain value semantics.
//
// Lengths and indexes count bytes. Searching, replacing, trimming and case
// changes walk the text character by character, so a double-byte character
// is never split, never case-folded and never matched by its trail byte
// (GBK trail bytes include the ASCII letters and '@', '[', '\\' ...).
//
// To pass a CString through "..." (printf, Format), cast it: (LPCTSTR)str.
#pragma once
#include <windows.h>
#include <stdarg.h>
#include <stdio.h>

#include <string>

class CString {
public:
    CString() {}
    CString(const CString& other) = default;
    CString(CString&& other) noexcept = default;
    // A MAKEINTRESOURCE value loads that string from the resources.
    CString(LPCSTR psz);
    CString(LPCSTR pch, int nLength);
    explicit CString(char ch, int nRepeat = 1);

    CString& operator=(const CString& other) = default;
    CString& operator=(CString&& other) noexcept = default;
    CString& operator=(LPCSTR psz);
    CString& operator=(char ch);

    int GetLength() const { return (int)m_str.size(); }
    BOOL IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }

    char GetAt(int nIndex) const;
    void SetAt(int nIndex, char ch);
    char operator[](int nIndex) const { return GetAt(nIndex); }
    operator LPCTSTR() const { return m_str.c_str(); }

    CString& operator+=(const CString& other);
    CString& operator+=(LPCSTR psz);
    CString& operator+=(char ch);

    // strcmp order (bytes unsigned); CompareNoCase folds ASCII letters only.
    int Compare(LPCSTR psz) const;
    int CompareNoCase(LPCSTR psz) const;

    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString SpanExcluding(LPCSTR pszCharSet) const;

    void MakeUpper();
    void MakeLower();

    void TrimLeft();
    void TrimLeft(char chTarget);
    void TrimLeft(LPCSTR pszTargets);
    void TrimRight();
    void TrimRight(char chTarget);
    void TrimRight(LPCSTR pszTargets);

    int Replace(char chOld, char chNew);
    int Replace(LPCSTR pszOld, LPCSTR pszNew);
    int Remove(char ch);
    int Insert(int nIndex, char ch);
    int Insert(int nIndex, LPCSTR psz);
    int Delete(int nIndex, int nCount = 1);

    // -1: not found. A start inside a double-byte character moves on to the
    // next character.
    int Find(char ch) const { return Find(ch, 0); }
    int Find(char ch, int nStart) const;
    int Find(LPCSTR pszSub) const { return Find(pszSub, 0); }
    int Find(LPCSTR pszSub, int nStart) const;
    int FindOneOf(LPCSTR pszCharSet) const;
    int ReverseFind(char ch) const;

    void Format(LPCSTR pszFormat, ...)
#ifdef __GNUC__
        __attribute__((format(__MINGW_PRINTF_FORMAT, 2, 3)))
#endif
        ;
    void Format(UINT nFormatID, ...);
    void FormatV(LPCSTR pszFormat, va_list args);

    // From the string table of AfxGetResourceHandle(). FALSE (and the
    // string emptied) when there is no such string.
    BOOL LoadString(UINT nID);

    // The buffer holds at least nMinBufLength characters plus the
    // terminator; the current text is kept. Call ReleaseBuffer before any
    // other member: -1 takes the length up to the first NUL.
    LPSTR GetBuffer(int nMinBufLength);
    LPSTR GetBufferSetLength(int nNewLength);
    void ReleaseBuffer(int nNewLength = -1);

private:
    std::string m_str;
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, LPCSTR b);
CString operator+(LPCSTR a, const CString& b);
CString operator+(const CString& a, char b);
CString operator+(char a, const CString& b);

inline bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
inline bool operator==(const CString& a, LPCSTR b) { return a.Compare(b) == 0; }
inline bool operator==(LPCSTR a, const CString& b) { return b.Compare(a) == 0; }
inline bool operator!=(const CString& a, const CString& b) { return a.Compare(b) != 0; }
inline bool operator!=(const CString& a, LPCSTR b) { return a.Compare(b) != 0; }
inline bool operator!=(LPCSTR a, const CString& b) { return b.Compare(a) != 0; }
inline bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
inline bool operator<(const CString& a, LPCSTR b) { return a.Compare(b) < 0; }
inline bool operator<(LPCSTR a, const CString& b) { return b.Compare(a) > 0; }
inline bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
inline bool operator>(const CString& a, LPCSTR b) { return a.Compare(b) > 0; }
inline bool operator>(LPCSTR a, const CString& b) { return b.Compare(a) < 0; }
inline bool operator<=(const CString& a, const CString& b) { return a.Compare(b) <= 0; }
inline bool operator<=(const CString& a, LPCSTR b) { return a.Compare(b) <= 0; }
inline bool operator<=(LPCSTR a, const CString& b) { return b.Compare(a) >= 0; }
inline bool operator>=(const CString& a, const CString& b) { return a.Compare(b) >= 0; }
inline bool operator>=(const CString& a, LPCSTR b) { return a.Compare(b) >= 0; }
inline bool operator>=(LPCSTR a, const CString& b) { return b.Compare(a) <= 0; }
