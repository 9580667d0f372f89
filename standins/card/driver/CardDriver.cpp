// The driver's one creatable class, its class factory and its registration.
#include "CardDriver.h"
#include "DriverObject.h"
#include <olectl.h>
#include <string>

namespace {

volatile LONG g_objects = 0;  // driver objects alive in this process
volatile LONG g_locks = 0;    // LockServer and references to the factory

class EnumeratorFactory : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = NULL;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory))
            return E_NOINTERFACE;
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    // One static factory: its references keep the module loaded, nothing more.
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&g_locks); }
    STDMETHODIMP_(ULONG) Release() override { return InterlockedDecrement(&g_locks); }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = NULL;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        if (DriverCallFails("CreateEnumerator")) {
            CardLog("CreateEnumerator -> failed");
            return E_FAIL;
        }
        HRESULT hr = ds::QueryNew(NewVampEnumerator(), iid, object);
        CardLog(SUCCEEDED(hr) ? "CreateEnumerator" : "CreateEnumerator -> no such interface");
        return hr;
    }
    STDMETHODIMP LockServer(BOOL lock) override
    {
        if (lock)
            InterlockedIncrement(&g_locks);
        else
            InterlockedDecrement(&g_locks);
        return S_OK;
    }
};

EnumeratorFactory g_factory;

std::string ClsidKey()
{
    wchar_t wide[40];
    char text[40];
    StringFromGUID2(CLSID_VampDeviceEnumerator, wide, 40);
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof(text), NULL, NULL);
    return std::string("CLSID\\") + text;
}

bool SetValue(HKEY root, const std::string& key, const char* name, const std::string& value)
{
    HKEY h;
    if (RegCreateKeyExA(root, key.c_str(), 0, NULL, 0, KEY_WRITE, NULL, &h, NULL) != ERROR_SUCCESS)
        return false;
    LONG r = RegSetValueExA(h, name, 0, REG_SZ, (const BYTE*)value.c_str(), (DWORD)value.size() + 1);
    RegCloseKey(h);
    return r == ERROR_SUCCESS;
}

}  // namespace

LONG DriverProcessObjects() { return g_objects; }

void DriverObjectCreated()
{
    InterlockedIncrement(&g_objects);
    CardObjectCreated();
}

void DriverObjectDestroyed()
{
    CardObjectDestroyed();
    InterlockedDecrement(&g_objects);
}

HRESULT CardDriverGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = NULL;
    if (!IsEqualCLSID(clsid, CLSID_VampDeviceEnumerator))
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(iid, object);
}

HRESULT CardDriverCanUnloadNow()
{
    return g_objects == 0 && g_locks == 0 ? S_OK : S_FALSE;
}

HRESULT CardDriverRegister(HMODULE module)
{
    return CardDriverRegisterIn(HKEY_CLASSES_ROOT, module);
}

HRESULT CardDriverUnregister()
{
    return CardDriverUnregisterIn(HKEY_CLASSES_ROOT);
}

HRESULT CardDriverRegisterIn(HKEY classes, HMODULE module)
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(module, path, sizeof(path));
    if (n == 0 || n >= sizeof(path))
        return E_FAIL;
    std::string key = ClsidKey();
    bool ok = SetValue(classes, key, NULL, "Card Device Enumerator") &&
              SetValue(classes, key + "\\InprocServer32", NULL, path) &&
              SetValue(classes, key + "\\InprocServer32", "ThreadingModel", "Both");
    if (!ok) {
        CardDriverUnregisterIn(classes);
        return SELFREG_E_CLASS;
    }
    return S_OK;
}

HRESULT CardDriverUnregisterIn(HKEY classes)
{
    std::string key = ClsidKey();
    RegDeleteKeyA(classes, (key + "\\InprocServer32").c_str());
    LONG r = RegDeleteKeyA(classes, key.c_str());
    return r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND ? S_OK : SELFREG_E_CLASS;
}
