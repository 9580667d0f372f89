// The capture device's property page: its picture levels on sliders, set on
// the device when the user applies them.
#pragma once
#include <windows.h>
#include <dshow.h>
#include <ocidl.h>

namespace card {

// {8D1C2A40-5E7B-4C1A-9F3D-2B6A7C0E1A04}
static const CLSID CLSID_CardProcAmpPage = {
    0x8d1c2a40, 0x5e7b, 0x4c1a, {0x9f, 0x3d, 0x2b, 0x6a, 0x7c, 0x0e, 0x1a, 0x04}};

extern const wchar_t kProcAmpPageName[];

HRESULT CreateProcAmpPage(REFIID iid, void** out);

// Control ids of the page's sliders: one per property, in property order.
enum { kProcAmpSliderId = 100, kProcAmpValueId = 200 };

}  // namespace card
