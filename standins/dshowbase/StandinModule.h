// The exports of a DLL that serves one stand-in filter: the DLL defines
// kStandinClass and lists StandinModule.cpp among its sources. The class is
// registered in process (threading model Both) and, where the descriptor names
// a category, listed there too: stand-ins that the product creates by class
// id go into the legacy filter category at MERIT_DO_NOT_USE, so that
// intelligent connect never picks them.
#pragma once
#include "FilterModule.h"
#include <dshow.h>

struct StandinClass {
    const CLSID* clsid;
    const wchar_t* name;
    HRESULT (*create)(REFIID iid, void** out);
    // Whether a test has made creation fail (NULL: never).
    bool (*refused)();
    // Where the filter mapper lists it (NULL: the class only).
    const GUID* category;
    DWORD merit;
    const REGFILTERPINS2* pins;
    ULONG pinCount;
};

extern const StandinClass kStandinClass;
