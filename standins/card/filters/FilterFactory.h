// Creation of the card's COM objects, as the card DLL's class factory does
// it. A card that is not there (device count 0) has no filters, and a test
// can make a creation fail by name ("VideoCapture", "Crossbar",
// "AudioCapture") through the card's failure table; the system device
// enumerator then leaves the device out, as it does for an unplugged card.
#pragma once
#include <windows.h>

namespace card {

bool IsCardClass(REFCLSID clsid);
// CLASS_E_CLASSNOTAVAILABLE for a class that is not the card's;
// VFW_E_NO_CAPTURE_HARDWARE for a filter of a card that is not there.
HRESULT CreateCardObject(REFCLSID clsid, REFIID iid, void** out);

}  // namespace card
