#include "AfxString.h"
#include "AfxCore.h"

#include <string.h>

namespace {

// IsDBCSLeadByteEx per byte is a system call; the 256 answers never change.
struct LeadByteTable {
    bool lead[256];
    LeadByteTable()
    {
        for (int i = 0; i < 256; i++)
            lead[i] = IsDBCSLeadByteEx(936, (BYTE)i) != FALSE;
    }
};

bool IsLead(char ch)
{
    static const LeadByteTable table;
    return table.lead[(BYTE)ch];
}

// Bytes of the character at p: 2 for a lead byte with a trail after it.
int CharSize(const char* p)
{
    return (IsLead(*p) && p[1] != '\0') ? 2 : 1;
}

char FoldLower(char ch) { return (ch >= 'A' && ch <= 'Z') ? (char)(ch - 'A' + 'a') : ch; }
char FoldUpper(char ch) { return (ch >= 'a' && ch <= 'z') ? (char)(ch - 'a' + 'A') : ch; }

std::string FoldedLower(const char* s)
{
    std::string folded(s);
    for (char* p = &folded[0]; *p != '\0'; p += CharSize(p)) {
        if (CharSize(p) == 1)
            *p = FoldLower(*p);
    }
    return folded;
}

bool InSet(const char* p, int size, LPCSTR set)
{
    if (set == NULL)
        return false;
    for (const char* s = set; *s != '\0'; s += CharSize(s)) {
        int setSize = CharSize(s);
        if (setSize == size && memcmp(s, p, size) == 0)
            return true;
    }
    return false;
}

bool IsSpace(const char* p, int size)
{
    return size == 1 && (*p == ' ' || (*p >= '\t' && *p <= '\r'));
}

HINSTANCE g_hInstResource = NULL;

}  // namespace

// Fallbacks for programs without the application layer. Weak, and in this
// file because LoadString always pulls it in: when the application layer's
// own definitions are linked, they win.
__attribute__((weak)) HINSTANCE AfxGetResourceHandle()
{
    return g_hInstResource != NULL ? g_hInstResource : GetModuleHandleA(NULL);
}

__attribute__((weak)) void AfxSetResourceHandle(HINSTANCE hInstResource)
{
    g_hInstResource = hInstResource;
}

CString::CString(LPCSTR psz)
{
    if (psz != NULL && IS_INTRESOURCE(psz))
        LoadString(LOWORD((ULONG_PTR)psz));
    else if (psz != NULL)
        m_str = psz;
}

CString::CString(LPCSTR pch, int nLength)
{
    if (pch != NULL && nLength > 0)
        m_str.assign(pch, nLength);
}

CString::CString(char ch, int nRepeat)
{
    if (nRepeat > 0)
        m_str.assign(nRepeat, ch);
}

CString& CString::operator=(LPCSTR psz)
{
    if (psz == NULL)
        m_str.clear();
    else
        m_str = psz;  // std::string copes with psz pointing into m_str
    return *this;
}

CString& CString::operator=(char ch)
{
    m_str.assign(1, ch);
    return *this;
}

char CString::GetAt(int nIndex) const
{
    ASSERT(nIndex >= 0 && nIndex < GetLength());
    if (nIndex < 0 || nIndex >= GetLength())
        return '\0';
    return m_str[nIndex];
}

void CString::SetAt(int nIndex, char ch)
{
    ASSERT(nIndex >= 0 && nIndex < GetLength());
    if (nIndex >= 0 && nIndex < GetLength())
        m_str[nIndex] = ch;
}

CString& CString::operator+=(const CString& other)
{
    m_str += other.m_str;
    return *this;
}

CString& CString::operator+=(LPCSTR psz)
{
    if (psz != NULL)
        m_str += psz;
    return *this;
}

CString& CString::operator+=(char ch)
{
    m_str += ch;
    return *this;
}

CString operator+(const CString& a, const CString& b) { CString r(a); r += b; return r; }
CString operator+(const CString& a, LPCSTR b) { CString r(a); r += b; return r; }
CString operator+(LPCSTR a, const CString& b) { CString r(a); r += b; return r; }
CString operator+(const CString& a, char b) { CString r(a); r += b; return r; }
CString operator+(char a, const CString& b) { CString r(a); r += b; return r; }

int CString::Compare(LPCSTR psz) const
{
    return strcmp(m_str.c_str(), psz != NULL ? psz : "");
}

int CString::CompareNoCase(LPCSTR psz) const
{
    // The bytes of a double-byte character compare as they are; only
    // single-byte ASCII letters fold.
    std::string a = FoldedLower(m_str.c_str());
    std::string b = FoldedLower(psz != NULL ? psz : "");
    return strcmp(a.c_str(), b.c_str());
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength() - (nFirst < 0 ? 0 : nFirst));
}

CString CString::Mid(int nFirst, int nCount) const
{
    if (nFirst < 0)
        nFirst = 0;
    if (nCount < 0 || nFirst >= GetLength())
        return CString();
    if (nCount > GetLength() - nFirst)
        nCount = GetLength() - nFirst;
    return CString(m_str.c_str() + nFirst, nCount);
}

CString CString::Left(int nCount) const
{
    return Mid(0, nCount < 0 ? 0 : nCount);
}

CString CString::Right(int nCount) const
{
    if (nCount < 0)
        nCount = 0;
    if (nCount > GetLength())
        nCount = GetLength();
    return CString(m_str.c_str() + GetLength() - nCount, nCount);
}

CString CString::SpanExcluding(LPCSTR pszCharSet) const
{
    int end = FindOneOf(pszCharSet);
    return Left(end < 0 ? GetLength() : end);
}

void CString::MakeUpper()
{
    for (char* p = &m_str[0]; *p != '\0'; p += CharSize(p)) {
        if (CharSize(p) == 1)
            *p = FoldUpper(*p);
    }
}

void CString::MakeLower()
{
    for (char* p = &m_str[0]; *p != '\0'; p += CharSize(p)) {
        if (CharSize(p) == 1)
            *p = FoldLower(*p);
    }
}

namespace {

// Length of the leading run of characters that `trim` accepts.
template <class Pred>
int LeadingRun(const char* s, Pred trim)
{
    const char* p = s;
    while (*p != '\0' && trim(p, CharSize(p)))
        p += CharSize(p);
    return (int)(p - s);
}

// Where the trailing run of characters that `trim` accepts begins. Walks
// forward, since only a forward walk knows where characters begin.
template <class Pred>
int TrailingRunStart(const char* s, Pred trim)
{
    const char* p = s;
    const char* keepEnd = s;
    while (*p != '\0') {
        int size = CharSize(p);
        p += size;
        if (!trim(p - size, size))
            keepEnd = p;
    }
    return (int)(keepEnd - s);
}

}  // namespace

void CString::TrimLeft()
{
    m_str.erase(0, LeadingRun(m_str.c_str(), IsSpace));
}

void CString::TrimLeft(char chTarget)
{
    char set[2] = { chTarget, '\0' };
    TrimLeft(set);
}

void CString::TrimLeft(LPCSTR pszTargets)
{
    m_str.erase(0, LeadingRun(m_str.c_str(),
                              [=](const char* p, int size) { return InSet(p, size, pszTargets); }));
}

void CString::TrimRight()
{
    m_str.resize(TrailingRunStart(m_str.c_str(), IsSpace));
}

void CString::TrimRight(char chTarget)
{
    char set[2] = { chTarget, '\0' };
    TrimRight(set);
}

void CString::TrimRight(LPCSTR pszTargets)
{
    m_str.resize(TrailingRunStart(m_str.c_str(),
                                  [=](const char* p, int size) { return InSet(p, size, pszTargets); }));
}

int CString::Replace(char chOld, char chNew)
{
    int count = 0;
    for (char* p = &m_str[0]; *p != '\0'; p += CharSize(p)) {
        if (CharSize(p) == 1 && *p == chOld) {
            *p = chNew;
            count++;
        }
    }
    return count;
}

int CString::Replace(LPCSTR pszOld, LPCSTR pszNew)
{
    int oldLen = pszOld != NULL ? (int)strlen(pszOld) : 0;
    if (oldLen == 0)
        return 0;
    std::string result;
    int count = 0;
    const char* p = m_str.c_str();
    while (*p != '\0') {
        if (strncmp(p, pszOld, oldLen) == 0) {
            result += pszNew != NULL ? pszNew : "";
            p += oldLen;
            count++;
        } else {
            int size = CharSize(p);
            result.append(p, size);
            p += size;
        }
    }
    if (count > 0)
        m_str.swap(result);
    return count;
}

int CString::Remove(char ch)
{
    std::string result;
    int count = 0;
    for (const char* p = m_str.c_str(); *p != '\0';) {
        int size = CharSize(p);
        if (size == 1 && *p == ch)
            count++;
        else
            result.append(p, size);
        p += size;
    }
    m_str.swap(result);
    return count;
}

int CString::Insert(int nIndex, char ch)
{
    char text[2] = { ch, '\0' };
    return Insert(nIndex, text);
}

int CString::Insert(int nIndex, LPCSTR psz)
{
    if (nIndex < 0)
        nIndex = 0;
    if (nIndex > GetLength())
        nIndex = GetLength();
    if (psz != NULL)
        m_str.insert(nIndex, std::string(psz));
    return GetLength();
}

int CString::Delete(int nIndex, int nCount)
{
    if (nIndex < 0)
        nIndex = 0;
    if (nCount > 0 && nIndex < GetLength())
        m_str.erase(nIndex, nCount);
    return GetLength();
}

namespace {

// The first character boundary at or after nStart.
const char* BoundaryFrom(const char* s, int length, int nStart)
{
    const char* p = s;
    while (p - s < nStart && *p != '\0')
        p += CharSize(p);
    return (p - s) > length ? s + length : p;
}

}  // namespace

int CString::Find(char ch, int nStart) const
{
    if (nStart < 0)
        nStart = 0;
    if (nStart >= GetLength() || ch == '\0')
        return -1;
    const char* s = m_str.c_str();
    for (const char* p = BoundaryFrom(s, GetLength(), nStart); *p != '\0'; p += CharSize(p)) {
        if (*p == ch)
            return (int)(p - s);
    }
    return -1;
}

int CString::Find(LPCSTR pszSub, int nStart) const
{
    if (nStart < 0)
        nStart = 0;
    if (pszSub == NULL || nStart > GetLength())
        return -1;
    int subLen = (int)strlen(pszSub);
    if (subLen == 0)
        return nStart;
    const char* s = m_str.c_str();
    for (const char* p = BoundaryFrom(s, GetLength(), nStart); *p != '\0'; p += CharSize(p)) {
        if (strncmp(p, pszSub, subLen) == 0)
            return (int)(p - s);
    }
    return -1;
}

int CString::FindOneOf(LPCSTR pszCharSet) const
{
    if (pszCharSet == NULL)
        return -1;
    const char* s = m_str.c_str();
    for (const char* p = s; *p != '\0'; p += CharSize(p)) {
        if (InSet(p, CharSize(p), pszCharSet))
            return (int)(p - s);
    }
    return -1;
}

int CString::ReverseFind(char ch) const
{
    int found = -1;
    const char* s = m_str.c_str();
    for (const char* p = s; *p != '\0'; p += CharSize(p)) {
        if (*p == ch)
            found = (int)(p - s);
    }
    return found;
}

void CString::Format(LPCSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::Format(UINT nFormatID, ...)
{
    CString format;
    format.LoadString(nFormatID);
    va_list args;
    va_start(args, nFormatID);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(LPCSTR pszFormat, va_list args)
{
    // The arguments may point into this string: format into a new buffer.
    char small[256];
    va_list again;
    va_copy(again, args);
    int needed = vsnprintf(small, sizeof(small), pszFormat != NULL ? pszFormat : "", args);
    if (needed < 0) {
        m_str.clear();
    } else if (needed < (int)sizeof(small)) {
        m_str.assign(small, needed);
    } else {
        std::string big(needed, '\0');
        vsnprintf(&big[0], needed + 1, pszFormat, again);
        m_str.swap(big);
    }
    va_end(again);
}

BOOL CString::LoadString(UINT nID)
{
    // LoadStringA says nothing about truncation: grow until the text fits
    // with room to spare.
    std::string buffer(256, '\0');
    for (;;) {
        int got = ::LoadStringA(AfxGetResourceHandle(), nID, &buffer[0], (int)buffer.size());
        if (got <= 0) {
            m_str.clear();
            return FALSE;
        }
        if (got < (int)buffer.size() - 2 || buffer.size() >= 0x40000) {
            m_str.assign(buffer.c_str(), got);
            return TRUE;
        }
        buffer.assign(buffer.size() * 4, '\0');
    }
}

LPSTR CString::GetBuffer(int nMinBufLength)
{
    if (nMinBufLength > GetLength())
        m_str.resize(nMinBufLength);
    return &m_str[0];
}

LPSTR CString::GetBufferSetLength(int nNewLength)
{
    m_str.resize(nNewLength < 0 ? 0 : nNewLength);
    return &m_str[0];
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0)
        nNewLength = (int)strlen(m_str.c_str());
    if (nNewLength > GetLength())
        nNewLength = GetLength();
    m_str.resize(nNewLength);
}
