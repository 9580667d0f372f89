// The graph library the audio list's thread holds, checked in a process of
// its own: in the capture tests' process the fixtures' graphs have loaded it
// long before. (The filter graph's own library is no sign of the hold: the
// enumeration loads it itself.)
#include <gtest/gtest.h>
#include "DeviceList.h"
#include "TestSupport.h"

TEST(AudioListGraphLibraries, TheThreadBegunAheadHoldsTheCaptureLibraryUntilTheListIsFreed)
{
    SetEnvironmentVariableA("ORVIX_CARD", "orvixcapture_test");
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(NULL, COINIT_APARTMENTTHREADED)));
    auto loaded = [] { return GetModuleHandleA("qcap.dll") != NULL; };
    ASSERT_FALSE(loaded()) << "loaded before any list";
    CAudioDeviceList* own = GetAudioDeviceList();
    ASSERT_LT(0, own->GetCount());
    EXPECT_FALSE(loaded()) << "an enumeration loads it by itself: the hold cannot be seen";
    FreeAudioDeviceList();

    BeginAudioDeviceList();
    GetAudioDeviceList();
    EXPECT_TRUE(ts::PumpUntil(loaded, 10000)) << "the list's thread did not load it";
    FreeAudioDeviceList();
    EXPECT_FALSE(loaded()) << "still held once the list was freed";
    CoUninitialize();
}
