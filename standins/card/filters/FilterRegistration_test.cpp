// The card's devices as the system device enumerator lists them, and
// registration that leaves the categories as it found them.
#include "CardFilterIds.h"
#include "CardTestSupport.h"
#include "FilterFactory.h"
#include "FilterRegistration.h"
#include "ProcAmpPage.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>

using namespace cardtest;
using ds::ComPtr;

namespace {

// FriendlyName and class of every device of a category, in enumeration order.
std::vector<std::wstring> ListCategory(REFGUID category) {
    std::vector<std::wstring> list;
    ComPtr<ICreateDevEnum> devices;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, NULL, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                devices.OutVoid())))
        return list;
    ComPtr<IEnumMoniker> monikers;
    if (devices->CreateClassEnumerator(category, monikers.Out(), 0) != S_OK) return list;
    IMoniker* moniker;
    while (monikers->Next(1, &moniker, NULL) == S_OK) {
        ComPtr<IMoniker> holder;
        holder.Attach(moniker);
        ComPtr<IPropertyBag> bag;
        if (FAILED(moniker->BindToStorage(NULL, NULL, IID_IPropertyBag, bag.OutVoid()))) continue;
        VARIANT name, clsid;
        VariantInit(&name);
        VariantInit(&clsid);
        std::wstring entry;
        if (SUCCEEDED(bag->Read(L"FriendlyName", &name, NULL)) && name.vt == VT_BSTR) entry = name.bstrVal;
        if (SUCCEEDED(bag->Read(L"CLSID", &clsid, NULL)) && clsid.vt == VT_BSTR)
            entry += std::wstring(L" ") + clsid.bstrVal;
        VariantClear(&name);
        VariantClear(&clsid);
        list.push_back(entry);
    }
    return list;
}

class Registration : public ::testing::Test {
protected:
    CardFixtureState card_;
};

TEST_F(Registration, TheCardsDevicesAreListedOnceAndOpenAsOurFilters) {
    struct {
        const GUID* category;
        const wchar_t* name;
        const CLSID* clsid;
    } devices[] = {{&CLSID_VideoInputDeviceCategory, card::kVideoCaptureName, &card::CLSID_CardVideoCapture},
                   {&CLSID_AudioInputDeviceCategory, card::kAudioCaptureName, &card::CLSID_CardAudioCapture}};
    for (auto& d : devices) {
        std::vector<std::wstring> list = ListCategory(*d.category);
        int found = 0;
        for (const std::wstring& e : list)
            if (e.compare(0, wcslen(d.name) + 1, std::wstring(d.name) + L" ") == 0) found++;
        EXPECT_EQ(1, found);
        ComPtr<IBaseFilter> filter;
        ASSERT_EQ(S_OK, BindDevice(*d.category, d.name, filter.Out()));
        CLSID clsid;
        ASSERT_EQ(S_OK, filter->GetClassID(&clsid));
        EXPECT_TRUE(IsEqualCLSID(*d.clsid, clsid));
    }
    // The crossbar is a class of its own too.
    ComPtr<IAMCrossbar> xbar;
    EXPECT_EQ(S_OK, CoCreateInstance(card::CLSID_CardCrossbar, NULL, CLSCTX_INPROC_SERVER, IID_IAMCrossbar,
                                     xbar.OutVoid()));
    // So is the property page, which the system's property frame creates.
    ComPtr<IPropertyPage> page;
    EXPECT_EQ(S_OK, CoCreateInstance(card::CLSID_CardProcAmpPage, NULL, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                                     page.OutVoid()));
}

TEST_F(Registration, WithoutACardTheDevicesDoNotOpen) {
    CardSetDeviceCount(0);
    ComPtr<IBaseFilter> filter;
    EXPECT_EQ(VFW_E_NO_CAPTURE_HARDWARE,
              BindDevice(CLSID_VideoInputDeviceCategory, card::kVideoCaptureName, filter.Out()));
    EXPECT_EQ(VFW_E_NO_CAPTURE_HARDWARE,
              BindDevice(CLSID_AudioInputDeviceCategory, card::kAudioCaptureName, filter.Out()));
    // The page is no hardware.
    ComPtr<IPropertyPage> page;
    EXPECT_EQ(S_OK, card::CreateCardObject(card::CLSID_CardProcAmpPage, IID_IPropertyPage, page.OutVoid()));

    CardSetDeviceCount(1);
    ASSERT_TRUE(CardFailCall("VideoCapture", 1));
    EXPECT_EQ(E_FAIL, card::CreateCardObject(card::CLSID_CardVideoCapture, IID_IBaseFilter, filter.OutVoid()));
    EXPECT_EQ(S_OK, card::CreateCardObject(card::CLSID_CardVideoCapture, IID_IBaseFilter, filter.OutVoid()));
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, card::CreateCardObject(IID_IUnknown, IID_IUnknown, filter.OutVoid()));
}

TEST_F(Registration, RegisteringThenUnregisteringLeavesTheCategoriesAsFound) {
    // A second entry of our own, so that the real one stays in place for
    // other tests running meanwhile.
    int count;
    const card::DeviceRegistration* real = card::CardDevices(&count);
    ASSERT_EQ(2, count);
    for (int i = 0; i < count; i++) {
        card::DeviceRegistration extra = real[i];
        extra.friendlyName = i == 0 ? L"Kestor registration test video" : L"Kestor registration test audio";
        extra.instance = L"KestorRegistrationTest";
        std::vector<std::wstring> before = ListCategory(*extra.category);

        ASSERT_EQ(S_OK, card::RegisterDevice(extra));
        std::vector<std::wstring> during = ListCategory(*extra.category);
        EXPECT_EQ(before.size() + 1, during.size());
        int ours = 0;
        for (const std::wstring& e : during)
            if (e.find(extra.friendlyName) == 0) ours++;
        EXPECT_EQ(1, ours);

        ASSERT_EQ(S_OK, card::UnregisterDevice(extra));
        std::vector<std::wstring> after = ListCategory(*extra.category);
        std::sort(before.begin(), before.end());
        std::sort(after.begin(), after.end());
        EXPECT_EQ(before, after);
        // Unregistering what is not there changes nothing and is no error.
        EXPECT_EQ(S_OK, card::UnregisterDevice(extra));
    }
}

}  // namespace
