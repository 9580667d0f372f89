// The exports of a DLL that serves one stand-in filter: the DLL defines
// kStandinClass and lists StandinModule.cpp among its sources. The class is
// registered as the card's filter classes are (in process, threading model
// Both), and its creation can be refused through the card's failure table.
#pragma once
#include "FilterModule.h"

struct StandinClass {
    const CLSID* clsid;
    const wchar_t* name;
    // Name in the card's failure table that makes a creation fail.
    const char* failName;
    HRESULT (*create)(REFIID iid, void** out);
};

extern const StandinClass kStandinClass;
