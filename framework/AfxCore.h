// The framework's core: everything that needs no window (strings,
// collections, time, geometry, run-time class information, assertions).
// Afx.h includes this together with the window classes.
#pragma once
#include <windows.h>

// The module whose resources (string table, dialogs, bitmaps) the framework
// loads from. The application sets it; until then it is the executable.
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstResource);

#include "AfxDebug.h"
#include "AfxObject.h"
#include "AfxString.h"
#include "AfxRect.h"
#include "AfxCollection.h"
#include "AfxArray.h"
#include "AfxList.h"
#include "AfxMap.h"
#include "AfxTime.h"
