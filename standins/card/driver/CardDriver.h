// The card driver's COM objects, simulated: the device enumerator class
// (CLSID_VampDeviceEnumerator) and the device, GPIO and I2C objects it hands
// out. The card DLL's entry points call these; tests may call them directly.
#pragma once
#include <windows.h>
#include <unknwn.h>

// The enumerator's class factory; CLASS_E_CLASSNOTAVAILABLE for other classes.
HRESULT CardDriverGetClassObject(REFCLSID clsid, REFIID iid, void** object);
// S_OK when no driver object and no lock on the class factory is left.
HRESULT CardDriverCanUnloadNow();
// The enumerator class in HKEY_CLASSES_ROOT\CLSID, served by `module`
// (in-process, threading model Both), and its removal.
HRESULT CardDriverRegister(HMODULE module);
HRESULT CardDriverUnregister();
