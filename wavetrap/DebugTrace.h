// The debugger line a failed DirectShow call leaves: "FAILED(0x...) hr = "
// and the text of the call.
#pragma once
#include <windows.h>

void TraceFailed(HRESULT hr, const char* pszCall);
