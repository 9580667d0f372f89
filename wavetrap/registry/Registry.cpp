#include "Registry.h"
#include <assert.h>
#include <objbase.h>
#include <olectl.h>
#include <string>

void ClsidToString(REFCLSID clsid, char* pszBuffer, int nLength)
{
    assert(nLength >= CLSID_STRING_SIZE);
    WCHAR wide[CLSID_STRING_SIZE];
    HRESULT hr = StringFromGUID2(clsid, wide, CLSID_STRING_SIZE) ? S_OK : E_FAIL;
    assert(SUCCEEDED(hr));
    (void)hr;
    WideCharToMultiByte(CP_ACP, 0, wide, -1, pszBuffer, nLength, NULL, NULL);
}

BOOL SetKeyDefaultValue(LPCSTR pszKey, LPCSTR pszSubkey, LPCSTR pszValue)
{
    std::string path = pszKey;
    if (pszSubkey) {
        path += '\\';
        path += pszSubkey;
    }
    HKEY hKey;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, NULL, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, NULL, &hKey, NULL) != ERROR_SUCCESS)
        return FALSE;
    LONG rc = ERROR_SUCCESS;
    if (pszValue)
        rc = RegSetValueExA(hKey, NULL, 0, REG_SZ, (const BYTE*)pszValue,
                            (DWORD)strlen(pszValue) + 1);
    RegCloseKey(hKey);
    return rc == ERROR_SUCCESS;
}

LONG DeleteKeyTree(HKEY hParent, LPCSTR pszName)
{
    HKEY hChild;
    LONG rc = RegOpenKeyExA(hParent, pszName, 0, KEY_ALL_ACCESS, &hChild);
    if (rc != ERROR_SUCCESS)
        return rc;
    char subkey[257];
    for (;;) {
        DWORD size = sizeof(subkey);
        if (RegEnumKeyExA(hChild, 0, subkey, &size, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        rc = DeleteKeyTree(hChild, subkey);
        if (rc != ERROR_SUCCESS) {
            RegCloseKey(hChild);
            return rc;
        }
    }
    RegCloseKey(hChild);
    return RegDeleteKeyA(hParent, pszName);
}

static bool KeyExists(LPCSTR pszKey)
{
    HKEY hKey;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, pszKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    RegCloseKey(hKey);
    return true;
}

HRESULT RegisterComServer(LPCSTR pszModulePath, REFCLSID clsid, LPCSTR pszFriendlyName,
                          LPCSTR pszVerIndProgID, LPCSTR pszProgID)
{
    char szClsid[CLSID_STRING_SIZE];
    ClsidToString(clsid, szClsid, sizeof(szClsid));
    std::string key = std::string("CLSID\\") + szClsid;

    // What was there before stays should a write fail; only what this call
    // made is taken away again.
    LPCSTR made[3] = {key.c_str(), pszVerIndProgID, pszProgID};
    bool existed[3];
    for (int i = 0; i < 3; i++)
        existed[i] = made[i] && KeyExists(made[i]);

    BOOL ok = SetKeyDefaultValue(key.c_str(), NULL, pszFriendlyName);
    ok = ok && SetKeyDefaultValue(key.c_str(), "InprocServer32", pszModulePath);
    if (pszProgID)
        ok = ok && SetKeyDefaultValue(key.c_str(), "ProgID", pszProgID);
    if (pszVerIndProgID) {
        ok = ok && SetKeyDefaultValue(key.c_str(), "VersionIndependentProgID", pszVerIndProgID);
        ok = ok && SetKeyDefaultValue(pszVerIndProgID, NULL, pszFriendlyName);
        ok = ok && SetKeyDefaultValue(pszVerIndProgID, "CLSID", szClsid);
        if (pszProgID)
            ok = ok && SetKeyDefaultValue(pszVerIndProgID, "CurVer", pszProgID);
        if (pszProgID)
            ok = ok && SetKeyDefaultValue(pszProgID, NULL, pszFriendlyName);
    }
    if (pszProgID)
        ok = ok && SetKeyDefaultValue(pszProgID, "CLSID", szClsid);
    if (ok)
        return S_OK;
    for (int i = 0; i < 3; i++)
        if (made[i] && !existed[i])
            DeleteKeyTree(HKEY_CLASSES_ROOT, made[i]);
    return SELFREG_E_CLASS;
}

HRESULT UnregisterComServer(REFCLSID clsid, LPCSTR pszVerIndProgID, LPCSTR pszProgID)
{
    char szClsid[CLSID_STRING_SIZE];
    ClsidToString(clsid, szClsid, sizeof(szClsid));
    std::string key = std::string("CLSID\\") + szClsid;
    DeleteKeyTree(HKEY_CLASSES_ROOT, key.c_str());
    if (pszVerIndProgID)
        DeleteKeyTree(HKEY_CLASSES_ROOT, pszVerIndProgID);
    if (pszProgID)
        DeleteKeyTree(HKEY_CLASSES_ROOT, pszProgID);
    return S_OK;
}
