// Room on the drive of a folder and whether a stored folder can still take
// recordings or pictures. Used before and during recordings and by the
// settings' recording page.
//
// Tests set ORVIX_DISK_FREE_MB to give drives the free space they need, as
// entries "<drive letter>=<MB>" or "<drive letter>=fail" (the query fails)
// separated by ";", "*" standing for every drive ("C=99;*=5242880"). A drive
// the variable does not name is asked for its real space. "@<path>" reads the
// entries from that file at every query instead.
#pragma once
#include "AfxCore.h"

// Total, free-for-the-caller and free space of the drive holding the folder,
// each the byte count shifted right by 20. FALSE (outputs untouched) when
// the query fails. Any output may be NULL. The 64-bit query is looked up in
// kernel32 at every call and asked about the folder; where the system has
// none, the cluster query, asked about the root of the folder's drive or
// share, answers total and free space and the caller's share is left
// untouched.
BOOL GetDiskSpace(LPCSTR pszFolder, ULONGLONG* pTotalMB, ULONGLONG* pCallerFreeMB,
                  ULONGLONG* pFreeMB);

// The room a recording of the caller may fill on the folder's drive, in MB:
// the caller's share, or the drive's free space where the system does not
// tell the share. FALSE when the query fails.
BOOL GetRecordingRoom(LPCSTR pszFolder, ULONGLONG* pMB);

// The system's two space queries.
typedef BOOL(WINAPI* DiskFreeSpaceExProc)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER,
                                          PULARGE_INTEGER);
typedef BOOL(WINAPI* DiskFreeSpaceProc)(LPCSTR, LPDWORD, LPDWORD, LPDWORD, LPDWORD);
struct DiskSpaceQueries {
    DiskFreeSpaceExProc pfnFreeSpaceEx;  // NULL: a system without the 64-bit query
    DiskFreeSpaceProc pfnFreeSpace;
};

// For tests: GetDiskSpace asks these from now on, the system again after
// SetDiskSpaceQueries(NULL). The queries must outlive their use.
void SetDiskSpaceQueries(const DiskSpaceQueries* pQueries);

// A path with exactly one backslash whose drive letter is present.
BOOL IsDriveRoot(LPCSTR pszPath);

// Whether the folder exists as a directory and may be used: refused on a
// CD-ROM or removable drive unless bAcceptRemovable, refused when hidden
// unless bAcceptHidden. One trailing backslash (as stored folders have) is
// ignored.
BOOL IsUsableFolder(LPCSTR pszPath, BOOL bAcceptHidden, BOOL bAcceptRemovable);

// The folder with exactly one trailing backslash (a drive root stays as it is).
CString WithOneTrailingBackslash(LPCSTR pszFolder);
