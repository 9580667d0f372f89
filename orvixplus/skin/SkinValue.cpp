#include "SkinValue.h"
#include <stdlib.h>

CString GetNextToken(CString& value)
{
    int comma = value.Find(',');
    if (comma < 0)
        return value;
    // A leading comma is an empty token: dropping it lets the rest parse on
    // (kept, every later token would be the whole rest for ever).
    CString token = value.Left(comma);
    value = value.Mid(comma + 1);
    value.TrimLeft();
    value.TrimRight();
    return token;
}

BOOL ParseBool(const CString& token)
{
    return token.CompareNoCase("TRUE") == 0;
}

int ParseInt(const CString& token)
{
    return atoi(token);
}

CRect ParseRect(CString& value)
{
    int l = ParseInt(GetNextToken(value));
    int t = ParseInt(GetNextToken(value));
    int r = ParseInt(GetNextToken(value));
    int b = ParseInt(GetNextToken(value));
    return CRect(l, t, r, b);
}

COLORREF ParseColor(CString& value)
{
    int r = ParseInt(GetNextToken(value)) & 0xff;
    int g = ParseInt(GetNextToken(value)) & 0xff;
    int b = ParseInt(GetNextToken(value)) & 0xff;
    return RGB(r, g, b);
}
