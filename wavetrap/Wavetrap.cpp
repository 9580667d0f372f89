// The library's entry point and its four exports.
#include "AudioCapture.h"
#include "AudioCaptureFactory.h"
#include "ModuleGlobals.h"
#include "Registry.h"
#include <olectl.h>
#include <new>

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    g_hModule = hInstance;
    if (dwReason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(hInstance);
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = NULL;
    if (!IsEqualCLSID(rclsid, CLSID_AudioCapture))
        return CLASS_E_CLASSNOTAVAILABLE;
    CAudioCaptureFactory* pFactory = new (std::nothrow) CAudioCaptureFactory();
    if (!pFactory)
        return E_OUTOFMEMORY;
    HRESULT hr = pFactory->QueryInterface(riid, ppv);
    if (FAILED(hr))
        delete pFactory;
    return hr;
}

STDAPI DllCanUnloadNow()
{
    if (InterlockedCompareExchange(&g_cObjects, 0, 0) != 0 ||
        InterlockedCompareExchange(&g_cLocks, 0, 0) != 0)
        return S_FALSE;
    return S_OK;
}

STDAPI DllRegisterServer()
{
    char szModule[1024];
    DWORD n = GetModuleFileNameA(g_hModule, szModule, sizeof(szModule));
    if (n == 0 || n >= sizeof(szModule))
        return SELFREG_E_CLASS;
    return RegisterComServer(szModule, CLSID_AudioCapture, AUDIOCAPTURE_FRIENDLY_NAME, NULL,
                             AUDIOCAPTURE_PROGID);
}

STDAPI DllUnregisterServer()
{
    return UnregisterComServer(CLSID_AudioCapture, NULL, AUDIOCAPTURE_PROGID);
}
