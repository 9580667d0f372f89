#include "AfxTime.h"

#include <stdio.h>
#include <string.h>

#include <vector>

CString CTimeSpan::Format(LPCSTR pszFormat) const
{
    CString result;
    char number[24];
    for (const char* p = pszFormat != NULL ? pszFormat : ""; *p != '\0'; p++) {
        if (*p != '%' || p[1] == '\0') {
            result += *p;
            continue;
        }
        switch (*++p) {
        case 'D':
            snprintf(number, sizeof(number), "%ld", (long)GetDays());
            result += number;
            break;
        case 'H':
            snprintf(number, sizeof(number), "%02d", GetHours());
            result += number;
            break;
        case 'M':
            snprintf(number, sizeof(number), "%02d", GetMinutes());
            result += number;
            break;
        case 'S':
            snprintf(number, sizeof(number), "%02d", GetSeconds());
            result += number;
            break;
        case '%':
            result += '%';
            break;
        default:  // not ours: kept as written
            result += '%';
            result += *p;
            break;
        }
    }
    return result;
}

CTime::CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST)
{
    struct tm parts;
    memset(&parts, 0, sizeof(parts));
    parts.tm_year = nYear - 1900;
    parts.tm_mon = nMonth - 1;
    parts.tm_mday = nDay;
    parts.tm_hour = nHour;
    parts.tm_min = nMin;
    parts.tm_sec = nSec;
    parts.tm_isdst = nDST;
    m_time = _mktime64(&parts);
}

CTime CTime::GetCurrentTime()
{
    return FromSeconds(_time64(NULL));
}

bool CTime::LocalParts(struct tm* parts) const
{
    if (_localtime64_s(parts, &m_time) != 0) {
        memset(parts, 0, sizeof(*parts));
        return false;
    }
    return true;
}

int CTime::GetYear() const
{
    struct tm parts;
    return LocalParts(&parts) ? parts.tm_year + 1900 : 0;
}

int CTime::GetMonth() const
{
    struct tm parts;
    return LocalParts(&parts) ? parts.tm_mon + 1 : 0;
}

int CTime::GetDay() const
{
    struct tm parts;
    LocalParts(&parts);
    return parts.tm_mday;
}

int CTime::GetHour() const
{
    struct tm parts;
    LocalParts(&parts);
    return parts.tm_hour;
}

int CTime::GetMinute() const
{
    struct tm parts;
    LocalParts(&parts);
    return parts.tm_min;
}

int CTime::GetSecond() const
{
    struct tm parts;
    LocalParts(&parts);
    return parts.tm_sec;
}

int CTime::GetDayOfWeek() const
{
    struct tm parts;
    return LocalParts(&parts) ? parts.tm_wday + 1 : 0;
}

CString CTime::Format(LPCSTR pszFormat) const
{
    struct tm parts;
    if (pszFormat == NULL || *pszFormat == '\0' || !LocalParts(&parts))
        return CString();
    // strftime answers 0 both for "too small" and for an empty result: grow
    // a few times, then accept the empty answer.
    std::vector<char> buffer(256);
    for (int tries = 0; tries < 6; tries++) {
        size_t written = strftime(buffer.data(), buffer.size(), pszFormat, &parts);
        if (written > 0)
            return CString(buffer.data(), (int)written);
        buffer.resize(buffer.size() * 4);
    }
    return CString();
}
