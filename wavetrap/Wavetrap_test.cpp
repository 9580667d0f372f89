// Wavetrap.dll as a COM server: loaded by path and created through COM, the
// interfaces it answers and refuses, reference counts, the factory, unloading
// and the apartments of its clients.
#include "AudioCapture.h"
#include "CaptureDevice.h"
#include "TestSupport.h"
#include "WavetrapTestSupport.h"
#include <gtest/gtest.h>
#include <dispex.h>
#include <olectl.h>
#include <functional>

namespace {

typedef HRESULT(STDAPICALLTYPE* GetClassObjectFn)(REFCLSID, REFIID, void**);
typedef HRESULT(STDAPICALLTYPE* PlainFn)();

LONG RefCount(IUnknown* p)
{
    p->AddRef();
    return (LONG)p->Release();
}

// The DLL loaded by path, as a test of its exports sees it.
class WavetrapDll : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(NULL);
        dll = LoadLibraryA("Wavetrap.dll");
        ASSERT_TRUE(dll != NULL);
        getClassObject = (GetClassObjectFn)GetProcAddress(dll, "DllGetClassObject");
        canUnloadNow = (PlainFn)GetProcAddress(dll, "DllCanUnloadNow");
        ASSERT_TRUE(getClassObject && canUnloadNow);
        ASSERT_TRUE(GetProcAddress(dll, "DllRegisterServer") && GetProcAddress(dll, "DllUnregisterServer"));
    }
    void TearDown() override
    {
        EXPECT_EQ(S_OK, canUnloadNow()) << "an object or a lock outlived the test";
        FreeLibrary(dll);
        CoUninitialize();
    }
    IClassFactory* Factory()
    {
        IClassFactory* f = NULL;
        EXPECT_EQ(S_OK, getClassObject(CLSID_AudioCapture, IID_IClassFactory, (void**)&f));
        return f;
    }
    HMODULE dll = NULL;
    GetClassObjectFn getClassObject = NULL;
    PlainFn canUnloadNow = NULL;
};

void ExpectRefused(IUnknown* p, REFIID iid, const char* name)
{
    LONG before = RefCount(p);
    void* out = (void*)1;
    EXPECT_EQ(E_NOINTERFACE, p->QueryInterface(iid, &out)) << name;
    EXPECT_TRUE(out == NULL) << name;
    EXPECT_EQ(before, RefCount(p)) << name;
}

void ExpectObjectInterfaces(IAudioCapture* capture)
{
    EXPECT_EQ(1, RefCount(capture));
    IUnknown* unk = NULL;
    ASSERT_EQ(S_OK, capture->QueryInterface(IID_IUnknown, (void**)&unk));
    EXPECT_EQ(2, RefCount(capture));
    IAudioCapture* again = NULL;
    ASSERT_EQ(S_OK, unk->QueryInterface(IID_IAudioCapture, (void**)&again));
    EXPECT_EQ((void*)unk, (void*)again) << "one identity";
    EXPECT_EQ(3, RefCount(capture));
    EXPECT_EQ(2u, again->Release());
    EXPECT_EQ(1u, unk->Release());
    ExpectRefused(capture, IID_IClassFactory, "IClassFactory");
    ExpectRefused(capture, IID_IPersist, "IPersist");
    ExpectRefused(capture, IID_IDispatch, "IDispatch");
    EXPECT_EQ(1, RefCount(capture));
}

TEST_F(WavetrapDll, OtherClassesAreNotServed)
{
    void* out = (void*)1;
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, getClassObject(CLSID_FilterGraph, IID_IClassFactory, &out));
    EXPECT_TRUE(out == NULL);
    EXPECT_EQ((HRESULT)0x80040111, CLASS_E_CLASSNOTAVAILABLE);
}

TEST_F(WavetrapDll, FactoryAnswersItsInterfacesAndRefusesAggregation)
{
    IClassFactory* factory = Factory();
    ASSERT_TRUE(factory);
    EXPECT_EQ(1, RefCount(factory));
    IUnknown* unk = NULL;
    ASSERT_EQ(S_OK, factory->QueryInterface(IID_IUnknown, (void**)&unk));
    EXPECT_EQ(2, RefCount(factory));
    unk->Release();
    ExpectRefused(factory, IID_IAudioCapture, "IAudioCapture on the factory");

    IUnknown* outer = factory;  // any object will do as the would-be outer one
    void* out = (void*)1;
    EXPECT_EQ((HRESULT)0x80040110, factory->CreateInstance(outer, IID_IUnknown, &out));
    EXPECT_TRUE(out == NULL);
    EXPECT_EQ(S_OK, canUnloadNow());

    out = (void*)1;
    EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(NULL, IID_IPersist, &out));
    EXPECT_TRUE(out == NULL);
    EXPECT_EQ(S_OK, canUnloadNow()) << "the refused object must be gone";
    EXPECT_EQ(0u, factory->Release());
}

TEST_F(WavetrapDll, LocksAndLiveObjectsKeepTheLibrary)
{
    IClassFactory* factory = Factory();
    ASSERT_TRUE(factory);
    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    EXPECT_EQ(S_FALSE, canUnloadNow());
    EXPECT_EQ(S_OK, factory->LockServer(FALSE));
    EXPECT_EQ(S_OK, canUnloadNow());

    IAudioCapture* capture = NULL;
    ASSERT_EQ(S_OK, factory->CreateInstance(NULL, IID_IAudioCapture, (void**)&capture));
    factory->Release();
    EXPECT_EQ(S_FALSE, canUnloadNow());
    ExpectObjectInterfaces(capture);
    EXPECT_EQ(0u, capture->Release());
    EXPECT_EQ(S_OK, canUnloadNow());
}

TEST_F(WavetrapDll, MethodsNeedingAnEngineAnswerZeroBeforeInitialize)
{
    IClassFactory* factory = Factory();
    ASSERT_TRUE(factory);
    IAudioCapture* c = NULL;
    ASSERT_EQ(S_OK, factory->CreateInstance(NULL, IID_IAudioCapture, (void**)&c));
    factory->Release();
    EXPECT_EQ(0, c->Initialize(NULL));
    EXPECT_EQ(0, c->SetCaptureDevice(NULL));
    EXPECT_EQ(0, c->SetNotifyWindow(NULL, WM_APP, 0));
    EXPECT_EQ(0, c->SelectInputPin(0));
    EXPECT_EQ(0, c->SelectInputPinByName(L"Line In"));
    EXPECT_EQ(0, c->SetRecordFileType(0));
    EXPECT_EQ(0, c->SetRecordFileName(L"C:\\x.wav"));
    EXPECT_EQ(0, c->SetPlayFileName(L"C:\\x.wav"));
    EXPECT_EQ(0, c->SetCaptureOptions(TRUE, TRUE));
    EXPECT_EQ(0, c->StartCapture());
    EXPECT_EQ(0, c->PausePlayback());
    EXPECT_EQ(0, c->Stop());
    EXPECT_EQ(0, c->Play());
    EXPECT_EQ(0, c->Uninitialize());
    EXPECT_EQ(0, c->HandleCaptureEvent());
    EXPECT_EQ(0, c->HandlePlaybackEvent());
    EXPECT_EQ(0, c->SetAudioFormat(2, 2, 44100));
    EXPECT_EQ(1, RefCount(c));
    EXPECT_EQ(0u, c->Release());
}

// Created the way its clients create it, from the registration.
TEST(WavetrapCom, CreatedByClassIdAndByProgId)
{
    CoInitialize(NULL);
    IAudioCapture* capture = NULL;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_AudioCapture, NULL, CLSCTX_INPROC_SERVER, IID_IAudioCapture,
                                     (void**)&capture));
    ExpectObjectInterfaces(capture);
    EXPECT_EQ(0u, capture->Release());

    CLSID clsid;
    ASSERT_EQ(S_OK, CLSIDFromProgID(L"AudioCapture.Object", &clsid));
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_AudioCapture));
    IUnknown* unk = NULL;
    ASSERT_EQ(S_OK, CoCreateInstance(clsid, NULL, CLSCTX_INPROC_SERVER, IID_IUnknown, (void**)&unk));
    EXPECT_EQ(0u, unk->Release());
    CoUninitialize();
}

// Runs fn on a thread of its own and waits for it.
void OnThread(const std::function<void()>& fn)
{
    struct Call {
        static DWORD WINAPI Run(void* p)
        {
            (*(const std::function<void()>*)p)();
            return 0;
        }
    };
    HANDLE t = CreateThread(NULL, 0, Call::Run, (void*)&fn, 0, NULL);
    ASSERT_TRUE(t != NULL);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(t, 30000));
    CloseHandle(t);
}

// A client in either apartment previews the card, and after the object is
// gone its thread leaves its apartment with one CoUninitialize: the engine
// left behind no apartment of its own. The class registers no threading
// model, so COM would put it into the main apartment for a multithreaded
// client, behind a proxy its custom interface does not have: such a client
// loads the library itself.
void PreviewFromApartment(DWORD model)
{
    DeleteFileA(wt::DllBoxLog().c_str());
    OnThread([model] {
        ASSERT_EQ(S_OK, CoInitializeEx(NULL, model));
        IAudioCapture* c = NULL;
        HMODULE dll = NULL;
        HRESULT hr;
        if (model == COINIT_MULTITHREADED) {
            dll = LoadLibraryA("Wavetrap.dll");
            GetClassObjectFn getClassObject = (GetClassObjectFn)GetProcAddress(dll, "DllGetClassObject");
            IClassFactory* factory = NULL;
            hr = getClassObject(CLSID_AudioCapture, IID_IClassFactory, (void**)&factory);
            if (SUCCEEDED(hr)) {
                hr = factory->CreateInstance(NULL, IID_IAudioCapture, (void**)&c);
                factory->Release();
            }
        } else {
            hr = CoCreateInstance(CLSID_AudioCapture, NULL, CLSCTX_INPROC_SERVER, IID_IAudioCapture,
                                  (void**)&c);
        }
        EXPECT_EQ(S_OK, hr);
        IBaseFilter* device = OpenAudioCaptureDevice(kCardAudioDeviceName);
        EXPECT_TRUE(device != NULL);
        if (c && device) {
            EXPECT_EQ(1, c->Initialize(device));
            EXPECT_EQ(1, c->StartCapture());
            Sleep(300);
            EXPECT_EQ(1, c->Stop());
            EXPECT_GT(RefCount(device), 1) << "the engine holds the device";
        }
        if (c) {
            EXPECT_EQ(0u, c->Release());
        }
        if (device) {
            EXPECT_EQ(0u, device->Release()) << "the engine let the device go";
        }
        CoUninitialize();
        if (dll)
            FreeLibrary(dll);
        DWORD other = model == COINIT_MULTITHREADED ? COINIT_APARTMENTTHREADED : COINIT_MULTITHREADED;
        EXPECT_EQ(S_OK, CoInitializeEx(NULL, other)) << "the thread must be out of every apartment";
        CoUninitialize();
    });
    EXPECT_TRUE(ts::ReadLines(wt::DllBoxLog()).empty()) << "no message box";
}

TEST(WavetrapApartments, MultithreadedClient)
{
    PreviewFromApartment(COINIT_MULTITHREADED);
}

TEST(WavetrapApartments, SingleThreadedClient)
{
    PreviewFromApartment(COINIT_APARTMENTTHREADED);
}

}  // namespace
