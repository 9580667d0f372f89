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
// the query fails. Any output may be NULL.
BOOL GetDiskSpace(LPCSTR pszFolder, ULONGLONG* pTotalMB, ULONGLONG* pCallerFreeMB,
                  ULONGLONG* pFreeMB);

// A path with exactly one backslash whose drive letter is present.
BOOL IsDriveRoot(LPCSTR pszPath);

// Whether the folder exists as a directory and may be used: refused on a
// CD-ROM or removable drive unless bAcceptRemovable, refused when hidden
// unless bAcceptHidden. One trailing backslash (as stored folders have) is
// ignored.
BOOL IsUsableFolder(LPCSTR pszPath, BOOL bAcceptHidden, BOOL bAcceptRemovable);

// The folder with exactly one trailing backslash (a drive root stays as it is).
CString WithOneTrailingBackslash(LPCSTR pszFolder);
