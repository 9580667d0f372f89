// Self-registration of an in-process COM server under HKEY_CLASSES_ROOT.
#pragma once
#include <windows.h>

// Registry form of a class id with braces: 38 characters and the terminator.
#define CLSID_STRING_SIZE 39

// Writes the class key (friendly name), its InprocServer32 (the module's
// path) and ProgID keys, and the ProgID's CLSID key; with a
// version-independent ProgID also that one's keys. SELFREG_E_CLASS when a key
// or value cannot be written: the keys this call made are then gone again.
HRESULT RegisterComServer(LPCSTR pszModulePath, REFCLSID clsid, LPCSTR pszFriendlyName,
                          LPCSTR pszVerIndProgID, LPCSTR pszProgID);
// Deletes the class key tree and the ProgID's (and the version-independent
// ProgID's, when given). S_OK.
HRESULT UnregisterComServer(REFCLSID clsid, LPCSTR pszVerIndProgID, LPCSTR pszProgID);

void ClsidToString(REFCLSID clsid, char* pszBuffer, int nLength);
// Creates HKCR\<key>[\<subkey>] and sets its default value when one is given.
BOOL SetKeyDefaultValue(LPCSTR pszKey, LPCSTR pszSubkey, LPCSTR pszValue);
// Deletes a key with everything below it; the first error met, else
// ERROR_SUCCESS.
LONG DeleteKeyTree(HKEY hParent, LPCSTR pszName);
