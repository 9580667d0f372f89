#include "Registration.h"
#include "ComPtr.h"
#include <string>

namespace ds {

namespace {

std::string ClsidKey(REFCLSID clsid) {
    wchar_t wide[64];
    StringFromGUID2(clsid, wide, 64);
    char narrow[64];
    WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof(narrow), NULL, NULL);
    return std::string("CLSID\\") + narrow;
}

std::string Narrow(const wchar_t* text) {
    char buf[256];
    WideCharToMultiByte(CP_ACP, 0, text, -1, buf, sizeof(buf), NULL, NULL);
    buf[sizeof(buf) - 1] = 0;
    return buf;
}

LONG SetValue(HKEY root, const std::string& path, const char* name, const std::string& value) {
    HKEY key;
    LONG rc = RegCreateKeyExA(root, path.c_str(), 0, NULL, 0, KEY_WRITE, NULL, &key, NULL);
    if (rc != ERROR_SUCCESS) return rc;
    rc = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return rc;
}

HRESULT CreateMapper(ComPtr<IFilterMapper2>* mapper) {
    return Check(CoCreateInstance(CLSID_FilterMapper2, NULL, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                  mapper->OutVoid()),
                 "CoCreateInstance(FilterMapper2)");
}

}  // namespace

HRESULT RegisterFilterClass(HMODULE module, REFCLSID clsid, const wchar_t* name) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(module, path, sizeof(path));
    if (n == 0 || n >= sizeof(path)) return E_FAIL;
    std::string key = ClsidKey(clsid);
    LONG rc = SetValue(HKEY_CLASSES_ROOT, key, NULL, Narrow(name));
    if (rc == ERROR_SUCCESS) rc = SetValue(HKEY_CLASSES_ROOT, key + "\\InprocServer32", NULL, path);
    if (rc == ERROR_SUCCESS)
        rc = SetValue(HKEY_CLASSES_ROOT, key + "\\InprocServer32", "ThreadingModel", "Both");
    return HRESULT_FROM_WIN32(rc);
}

HRESULT UnregisterFilterClass(REFCLSID clsid) {
    std::string key = ClsidKey(clsid);
    RegDeleteKeyA(HKEY_CLASSES_ROOT, (key + "\\InprocServer32").c_str());
    LONG rc = RegDeleteKeyA(HKEY_CLASSES_ROOT, key.c_str());
    return (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) ? S_OK : HRESULT_FROM_WIN32(rc);
}

HRESULT RegisterInCategory(REFCLSID clsid, const wchar_t* name, REFGUID category, DWORD merit,
                           const REGFILTERPINS2* pins, ULONG pinCount, const wchar_t* instance) {
    ComPtr<IFilterMapper2> mapper;
    HRESULT hr = CreateMapper(&mapper);
    if (FAILED(hr)) return hr;
    REGFILTER2 rf = {};
    rf.dwVersion = 2;
    rf.dwMerit = merit;
    rf.cPins2 = pinCount;
    rf.rgPins2 = pins;
    return Check(mapper->RegisterFilter(clsid, name, NULL, &category, instance, &rf),
                 "IFilterMapper2::RegisterFilter");
}

HRESULT UnregisterFromCategory(REFCLSID clsid, REFGUID category, const wchar_t* instance) {
    ComPtr<IFilterMapper2> mapper;
    HRESULT hr = CreateMapper(&mapper);
    if (FAILED(hr)) return hr;
    hr = mapper->UnregisterFilter(&category, instance, clsid);
    // Gone already is what we wanted.
    if (hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)) hr = S_OK;
    return Check(hr, "IFilterMapper2::UnregisterFilter");
}

}  // namespace ds
