// Registration of a stand-in filter class: the class under HKCR\CLSID (served
// in process, threading model Both) and, for filters that are found by class
// identifier rather than as devices, an entry in the legacy filter category.
#pragma once
#include <windows.h>
#include <dshow.h>

namespace ds {

HRESULT RegisterFilterClass(HMODULE module, REFCLSID clsid, const wchar_t* name);
// Gone already counts as removed.
HRESULT UnregisterFilterClass(REFCLSID clsid);

HRESULT CreateFilterMapper(IFilterMapper2** mapper);

// The filter in CLSID_LegacyAmFilterCategory with the given merit and pins.
HRESULT RegisterLegacyFilter(REFCLSID clsid, const wchar_t* name, DWORD merit, ULONG pinCount,
                             const REGFILTERPINS2* pins);
HRESULT UnregisterLegacyFilter(REFCLSID clsid);

}  // namespace ds
