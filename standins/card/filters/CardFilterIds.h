// Class ids and names of the card's DirectShow filters.
#pragma once
#include <windows.h>

namespace card {

// {8D1C2A40-5E7B-4C1A-9F3D-2B6A7C0E1A01}
static const CLSID CLSID_CardVideoCapture = {
    0x8d1c2a40, 0x5e7b, 0x4c1a, {0x9f, 0x3d, 0x2b, 0x6a, 0x7c, 0x0e, 0x1a, 0x01}};
// {8D1C2A40-5E7B-4C1A-9F3D-2B6A7C0E1A02}
static const CLSID CLSID_CardCrossbar = {
    0x8d1c2a40, 0x5e7b, 0x4c1a, {0x9f, 0x3d, 0x2b, 0x6a, 0x7c, 0x0e, 0x1a, 0x02}};
// {8D1C2A40-5E7B-4C1A-9F3D-2B6A7C0E1A03}
static const CLSID CLSID_CardAudioCapture = {
    0x8d1c2a40, 0x5e7b, 0x4c1a, {0x9f, 0x3d, 0x2b, 0x6a, 0x7c, 0x0e, 0x1a, 0x03}};

extern const wchar_t kVideoCaptureName[];  // the device's FriendlyName
extern const wchar_t kCrossbarName[];
extern const wchar_t kAudioCaptureName[];

}  // namespace card
