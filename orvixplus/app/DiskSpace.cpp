#include "DiskSpace.h"
#include <stdlib.h>
#include <string.h>

namespace {

const DiskSpaceQueries* g_pQueries = NULL;

DiskFreeSpaceExProc FindFreeSpaceEx()
{
    if (g_pQueries)
        return g_pQueries->pfnFreeSpaceEx;
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel ? (DiskFreeSpaceExProc)GetProcAddress(kernel, "GetDiskFreeSpaceExA") : NULL;
}

DiskFreeSpaceProc FreeSpaceQuery()
{
    return g_pQueries ? g_pQueries->pfnFreeSpace : &GetDiskFreeSpaceA;
}

// The value the test variable gives the key ("C", "*"), or NULL.
const char* SeamEntry(const char* text, char key)
{
    for (const char* p = text; *p; ) {
        const char* end = strchr(p, ';');
        if ((p[0] & ~0x20) == (key & ~0x20) && p[1] == '=')
            return p + 2;
        if (!end)
            break;
        p = end + 1;
    }
    return NULL;
}

// What the test variable says of the drive: 1 a size (in *pMB), -1 a failing
// query, 0 nothing (ask the system). A drive's own entry wins over "*".
int SeamedSpace(LPCSTR pszFolder, ULONGLONG* pMB)
{
    char text[512];
    DWORD n = GetEnvironmentVariableA("ORVIX_DISK_FREE_MB", text, sizeof(text));
    if (n == 0 || n >= sizeof(text))
        return 0;
    if (text[0] == '@') {
        // The entries in a file, read at every query: a test changes them
        // while the program runs.
        HANDLE h = CreateFileA(text + 1, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                               OPEN_EXISTING, 0, NULL);
        if (h == INVALID_HANDLE_VALUE)
            return 0;
        DWORD read = 0;
        BOOL ok = ReadFile(h, text, sizeof(text) - 1, &read, NULL);
        CloseHandle(h);
        if (!ok)
            return 0;
        text[read] = 0;
    }
    const char* value = NULL;
    if (pszFolder && pszFolder[0] && pszFolder[0] != '*' && pszFolder[1] == ':')
        value = SeamEntry(text, pszFolder[0]);
    if (!value)
        value = SeamEntry(text, '*');
    if (!value)
        return 0;
    if (strncmp(value, "fail", 4) == 0)
        return -1;
    *pMB = strtoull(value, NULL, 10);
    return 1;
}

// Byte offset of the last backslash that is a character of its own: the
// trail byte of a GBK character ("乗" is 0x81 0x5C) is no separator.
int LastSeparator(LPCSTR psz)
{
    int last = -1;
    for (LPCSTR p = psz; *p; p = CharNextA(p))
        if (*p == '\\')
            last = (int)(p - psz);
    return last;
}

int CountSeparators(LPCSTR psz)
{
    int count = 0;
    for (LPCSTR p = psz; *p; p = CharNextA(p))
        count += *p == '\\';
    return count;
}

BOOL IsDriveLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The root the cluster query needs: "D:\" of a drive path, "\\server\share\"
// of a UNC one; anything else as it is.
CString RootOf(LPCSTR pszFolder)
{
    if (IsDriveLetter(pszFolder[0]) && pszFolder[1] == ':') {
        char root[4] = {pszFolder[0], ':', '\\', 0};
        return root;
    }
    if (pszFolder[0] != '\\' || pszFolder[1] != '\\')
        return pszFolder;
    // Past the server's name and the share's.
    int separators = 0;
    LPCSTR p = pszFolder + 2;
    for (; *p; p = CharNextA(p))
        if (*p == '\\' && ++separators == 2)
            break;
    CString root(pszFolder, (int)(p - pszFolder));
    root += '\\';
    return root;
}

BOOL IsRemovableDrive(LPCSTR pszPath)
{
    if (!IsDriveLetter(pszPath[0]) || pszPath[1] != ':')
        return FALSE;
    // Asked of the root: Windows answers a folder path with DRIVE_NO_ROOT_DIR.
    char root[4] = {pszPath[0], ':', '\\', 0};
    UINT type = GetDriveTypeA(root);
    return type == DRIVE_CDROM || type == DRIVE_REMOVABLE;
}

}  // namespace

BOOL GetDiskSpace(LPCSTR pszFolder, ULONGLONG* pTotalMB, ULONGLONG* pCallerFreeMB,
                  ULONGLONG* pFreeMB)
{
    ULONGLONG seamed = 0;
    switch (SeamedSpace(pszFolder, &seamed)) {
    case -1:
        return FALSE;
    case 1:
        if (pTotalMB)
            *pTotalMB = seamed;
        if (pCallerFreeMB)
            *pCallerFreeMB = seamed;
        if (pFreeMB)
            *pFreeMB = seamed;
        return TRUE;
    }
    // On the folder itself: a UNC share has no drive root, and a mounted
    // folder may be another volume than its drive.
    if (!pszFolder)
        return FALSE;
    if (DiskFreeSpaceExProc pfnFreeSpaceEx = FindFreeSpaceEx()) {
        ULARGE_INTEGER caller, total, free;
        if (!pfnFreeSpaceEx(pszFolder, &caller, &total, &free))
            return FALSE;
        if (pTotalMB)
            *pTotalMB = total.QuadPart >> 20;
        if (pCallerFreeMB)
            *pCallerFreeMB = caller.QuadPart >> 20;
        if (pFreeMB)
            *pFreeMB = free.QuadPart >> 20;
        return TRUE;
    }
    // The systems without the 64-bit query take nothing but a root here.
    DWORD sectorsPerCluster, bytesPerSector, freeClusters, totalClusters;
    if (!FreeSpaceQuery()(RootOf(pszFolder), &sectorsPerCluster, &bytesPerSector, &freeClusters,
                          &totalClusters))
        return FALSE;
    // A drive past 4 GB has more bytes than 32 bits count.
    ULONGLONG clusterBytes = (ULONGLONG)sectorsPerCluster * bytesPerSector;
    if (pTotalMB)
        *pTotalMB = (totalClusters * clusterBytes) >> 20;
    if (pFreeMB)
        *pFreeMB = (freeClusters * clusterBytes) >> 20;
    return TRUE;
}

BOOL GetRecordingRoom(LPCSTR pszFolder, ULONGLONG* pMB)
{
    const ULONGLONG kUntold = ~0ULL;
    ULONGLONG caller = kUntold, free = 0;
    if (!pMB || !GetDiskSpace(pszFolder, NULL, &caller, &free))
        return FALSE;
    *pMB = caller != kUntold ? caller : free;
    return TRUE;
}

void SetDiskSpaceQueries(const DiskSpaceQueries* pQueries)
{
    g_pQueries = pQueries;
}

BOOL IsDriveRoot(LPCSTR pszPath)
{
    if (!pszPath || !IsDriveLetter(pszPath[0]) || CountSeparators(pszPath) != 1)
        return FALSE;
    return (GetLogicalDrives() >> ((pszPath[0] & ~0x20) - 'A')) & 1;
}

BOOL IsUsableFolder(LPCSTR pszPath, BOOL bAcceptHidden, BOOL bAcceptRemovable)
{
    if (!pszPath || !pszPath[0])
        return FALSE;
    if (!bAcceptRemovable && IsRemovableDrive(pszPath))
        return FALSE;
    if (IsDriveRoot(pszPath))
        return TRUE;
    CString path(pszPath);
    int slash = LastSeparator(path);
    if (slash > 0 && slash == path.GetLength() - 1) {
        path = path.Left(slash);
        slash = LastSeparator(path);
    }
    if (slash < 0 || slash == path.GetLength() - 1)
        return FALSE;
    CString name = path.Mid(slash + 1);
    CString pattern = path.Left(slash + 1) + "*.*";
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(pattern, &fd);
    if (h == INVALID_HANDLE_VALUE)
        return FALSE;
    BOOL usable = FALSE;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !strcmp(fd.cFileName, ".") ||
            !strcmp(fd.cFileName, "..") || name.CompareNoCase(fd.cFileName) != 0)
            continue;
        if (bAcceptHidden || !(fd.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN)) {
            usable = TRUE;
            break;
        }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return usable;
}

CString WithOneTrailingBackslash(LPCSTR pszFolder)
{
    CString folder(pszFolder ? pszFolder : "");
    while (folder.GetLength() > 0 && folder.ReverseFind('\\') == folder.GetLength() - 1)
        folder = folder.Left(folder.GetLength() - 1);
    folder += '\\';
    return folder;
}
