// Registration of the card's filters: their classes under HKCR\CLSID (served
// in process, threading model Both) and the two capture devices in the video
// and audio input device categories, where the system device enumerator
// lists them by FriendlyName.
#pragma once
#include <windows.h>

namespace card {

struct DeviceRegistration {
    const CLSID* clsid;
    const GUID* category;
    const wchar_t* friendlyName;
    const wchar_t* instance;  // key of the entry under the category
    bool audio;               // which pins the filter data describes
};

// The card's two devices: video capture, then audio capture.
const DeviceRegistration* CardDevices(int* count);

HRESULT RegisterDevice(const DeviceRegistration& device);
// Removes only the entry the registration made; other entries of the
// category stay as they are.
HRESULT UnregisterDevice(const DeviceRegistration& device);

// Everything the card's filters need, and its removal.
HRESULT RegisterCardFilters(HMODULE module);
HRESULT UnregisterCardFilters();

}  // namespace card
