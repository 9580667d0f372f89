// The capture device's FriendlyName in the registry: found through the card's
// device interface and set to the name the card's programs look for.
#pragma once
#include <windows.h>

extern const char g_wantedFriendlyName[];

struct NameUpdateResult {
    int written;   // names that were different and are now right
    int failed;    // names that were different and could not be written
};

// Both walk keys below root (HKEY_LOCAL_MACHINE in the product). A key that
// cannot be opened leaves its step without effect.
// NT family: SYSTEM\ControlSet001\Control\DeviceClasses\{interface class}.
NameUpdateResult UpdateFriendlyNameNT(HKEY root);
// Windows 98: the card's instance under Enum\PCI picks the device-class entry.
NameUpdateResult UpdateFriendlyName98(HKEY root);

// Reads a string value into buf (size bytes) and always terminates it, whether
// or not the value was stored with its zero. FALSE when the value is missing,
// is not a string, or does not fit with its terminator.
BOOL ReadRegString(HKEY key, const char* name, char* buf, DWORD size);
