// The next free capture file name in a folder: recordings (capNN.mpg) and
// snapshots (capNN.bmp) are numbered by the same rule.
#pragma once
#include "AfxCore.h"

// The number part of a name: its text from the fourth character up to the
// first full stop at the fifth character or later; empty when there is none.
CString CaptureNumberPart(LPCSTR pszName);

// The first number no name takes, tried from 0 to the count of names; names
// in the file system's order (the last one counts for numbers from 10 on).
int FirstFreeCaptureNumber(const CStringArray& names);

// Refills names with the files (no folders) matching folder + pattern, in the
// file system's order, and returns "cap" + the first free number + extension
// (the name alone, without the folder). pszFolder ends with a separator.
CString NextCaptureFileName(LPCSTR pszFolder, LPCSTR pszPattern, LPCSTR pszExtension,
                            CStringArray& names);
