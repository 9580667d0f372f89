// Registration of an in-process filter class: its CLSID key (name,
// InprocServer32 of the module, threading model Both) and, for filters that
// the system's filter mapper should list, an entry in a filter category.
#pragma once
#include <windows.h>
#include <dshow.h>

namespace ds {

HRESULT RegisterFilterClass(HMODULE module, REFCLSID clsid, const wchar_t* name);
HRESULT UnregisterFilterClass(REFCLSID clsid);

// Lists the filter in a category through IFilterMapper2 with the given
// merit and pins; instance NULL keys the entry by the class id.
HRESULT RegisterInCategory(REFCLSID clsid, const wchar_t* name, REFGUID category, DWORD merit,
                           const REGFILTERPINS2* pins, ULONG pinCount, const wchar_t* instance = NULL);
HRESULT UnregisterFromCategory(REFCLSID clsid, REFGUID category, const wchar_t* instance = NULL);

}  // namespace ds
