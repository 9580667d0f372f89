// OrvixTestDevice.dll: a pinless filter that the capture tests list as an
// audio capture device of their own. They register its class without a
// threading model, so the system creates its objects in the process's main
// apartment, and ask the DLL on which thread the last one was made.
#include "Filter.h"
#include "StandinModule.h"

namespace {

// {6B0E3F52-9A1D-4C7E-8E21-5D4C3B2A1F09}
const CLSID kTestDeviceClass =
    {0x6b0e3f52, 0x9a1d, 0x4c7e, {0x8e, 0x21, 0x5d, 0x4c, 0x3b, 0x2a, 0x1f, 0x09}};

volatile LONG g_lastCreator = 0;

class TestDevice : public ds::Filter {
public:
    TestDevice() : Filter(kTestDeviceClass)
    {
        InterlockedExchange(&g_lastCreator, (LONG)GetCurrentThreadId());
    }
};

}  // namespace

const StandinClass kStandinClass = {&kTestDeviceClass, L"Orvix Test Device",
                                    ds::CreateFilterObject<TestDevice>, NULL, NULL, 0, NULL, 0};

extern "C" DWORD WINAPI TestDeviceCreatorThread()
{
    return (DWORD)g_lastCreator;
}
