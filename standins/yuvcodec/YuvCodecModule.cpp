// YuvCodec.dll: the driver's entry point, and registration under the
// compression manager's driver list (regsvr32, as the other stand-ins).
#include "YuvCodec.h"

namespace {

HMODULE g_module;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" LRESULT WINAPI DriverProc(DWORD_PTR id, HDRVR driver, UINT msg, LPARAM p1, LPARAM p2) {
    return yuvcodec::HandleMessage(id, driver, msg, p1, p2);
}

STDAPI DllRegisterServer() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(g_module, path, sizeof(path));
    if (n == 0 || n >= sizeof(path)) return E_FAIL;
    HKEY key;
    LONG rc = RegCreateKeyExA(HKEY_LOCAL_MACHINE, yuvcodec::kDriversKey, 0, NULL, 0, KEY_SET_VALUE, NULL, &key, NULL);
    if (rc != ERROR_SUCCESS) return HRESULT_FROM_WIN32(rc);
    rc = RegSetValueExA(key, yuvcodec::kDriverValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(path), n + 1);
    RegCloseKey(key);
    return HRESULT_FROM_WIN32(rc);
}

STDAPI DllUnregisterServer() {
    HKEY key;
    LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, yuvcodec::kDriversKey, 0, KEY_SET_VALUE, &key);
    if (rc == ERROR_FILE_NOT_FOUND) return S_OK;
    if (rc != ERROR_SUCCESS) return HRESULT_FROM_WIN32(rc);
    rc = RegDeleteValueA(key, yuvcodec::kDriverValue);
    RegCloseKey(key);
    // Gone already is what we wanted.
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(rc);
}

extern "C" LONG YuvCodec_OpenInstances() { return yuvcodec::OpenInstances(); }
