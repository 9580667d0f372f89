#include "CaptureNames.h"
#include <stdlib.h>
#include <string.h>

CString CaptureNumberPart(LPCSTR pszName)
{
    size_t len = pszName ? strlen(pszName) : 0;
    // A name of four characters or fewer has no full stop at index 4 or later.
    if (len <= 4)
        return CString();
    const char* dot = strchr(pszName + 4, '.');
    if (!dot)
        return CString();
    return CString(pszName + 3, (int)(dot - (pszName + 3)));
}

static CString NumberText(int n)
{
    CString text;
    text.Format(n < 10 ? "%02d" : "%d", n);
    return text;
}

static void ListFiles(LPCSTR pszFolder, LPCSTR pszPattern, CStringArray& names)
{
    names.RemoveAll();
    CString pattern = CString(pszFolder) + pszPattern;
    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileA(pattern, &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.Add(CString(fd.cFileName));
    } while (FindNextFileA(hFind, &fd));
    FindClose(hFind);
}

// Whether the number n is taken by one of the names. From 10 on, the last
// name also takes it when its number part reads as n.
static BOOL NumberTaken(const CStringArray& names, int n)
{
    CString text = NumberText(n);
    int count = (int)names.GetSize();
    for (int i = 0; i < count; i++) {
        CString part = CaptureNumberPart(names[i]);
        if (part == text)
            return TRUE;
        if (i == count - 1 && n >= 10 && atoi(part) == n)
            return TRUE;
    }
    return FALSE;
}

int FirstFreeCaptureNumber(const CStringArray& names)
{
    int count = (int)names.GetSize();
    int n = 0;
    while (n < count && NumberTaken(names, n))
        n++;
    return n;
}

CString NextCaptureFileName(LPCSTR pszFolder, LPCSTR pszPattern, LPCSTR pszExtension,
                            CStringArray& names)
{
    ListFiles(pszFolder, pszPattern, names);
    return CString("cap") + NumberText(FirstFreeCaptureNumber(names)) + pszExtension;
}
