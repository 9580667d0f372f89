#include "CaptureTestEnv.h"
#include "DeviceList.h"
#include "TestSupport.h"
#include <stdio.h>
#include <string>
#include <uuids.h>

static const char kCardVideo[] = "Kestor TV Arden WDM Video CaptureA";
static const char kCardAudio[] = "Kestor TV Arden WDM Audio Capture";
static const char kTestAudio[] = "Orvix Test Main Apartment Audio";

// A device entry of our own in the video input category, removed again at the
// end of the test.
class ExtraDevice {
public:
    ExtraDevice(const CLSID& clsid, const wchar_t* instance, const wchar_t* name)
        : clsid_(clsid), instance_(instance)
    {
        CoCreateInstance(CLSID_FilterMapper2, NULL, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                         mapper_.OutVoid());
        REGFILTER2 rf = {};
        rf.dwVersion = 1;
        rf.dwMerit = MERIT_DO_NOT_USE;
        ok_ = mapper_ && SUCCEEDED(mapper_->RegisterFilter(clsid, name, NULL,
                                                           &CLSID_VideoInputDeviceCategory,
                                                           instance, &rf));
    }
    ~ExtraDevice()
    {
        if (mapper_)
            mapper_->UnregisterFilter(&CLSID_VideoInputDeviceCategory, instance_, clsid_);
    }
    bool ok_;
private:
    CLSID clsid_;
    const wchar_t* instance_;
    ComPtr<IFilterMapper2> mapper_;
};

// The audio capture device of OrvixTestDevice.dll, listed while the object
// lives. Its class has no threading model, so whatever thread binds it, the
// system makes the object in the process's main apartment. Its instance key
// sorts before the card's: the card's device stays the last one that opens.
class MainApartmentDevice {
public:
    MainApartmentDevice()
    {
        Remove();
        std::string clsid = ClassKey();
        std::string dll = ts::ExeDir() + "OrvixTestDevice.dll";
        HKEY key = NULL;
        ok_ = RegCreateKeyExA(HKEY_CLASSES_ROOT, (clsid + "\\InprocServer32").c_str(), 0, NULL, 0,
                              KEY_WRITE, NULL, &key, NULL) == ERROR_SUCCESS &&
              RegSetValueExA(key, NULL, 0, REG_SZ, (const BYTE*)dll.c_str(),
                             (DWORD)dll.size() + 1) == ERROR_SUCCESS;
        if (key)
            RegCloseKey(key);
        ComPtr<IFilterMapper2> mapper;
        CoCreateInstance(CLSID_FilterMapper2, NULL, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                         mapper.OutVoid());
        REGFILTER2 rf = {};
        rf.dwVersion = 1;
        rf.dwMerit = MERIT_DO_NOT_USE;
        WCHAR name[64];
        AnsiToWide(kTestAudio, name, 64);
        ok_ = ok_ && mapper && SUCCEEDED(mapper->RegisterFilter(kClass, name, NULL,
                                                                &CLSID_AudioInputDeviceCategory,
                                                                kInstance, &rf));
    }
    ~MainApartmentDevice() { Remove(); }
    // Without COM, so that a hang guard can do it too.
    static void Remove()
    {
        std::string instance = GuidKey(CLSID_AudioInputDeviceCategory) + "\\Instance\\";
        char narrow[64];
        WideToAnsi(kInstance, narrow, sizeof(narrow));
        RegDeleteKeyA(HKEY_CLASSES_ROOT, (instance + narrow).c_str());
        RegDeleteKeyA(HKEY_CLASSES_ROOT, (ClassKey() + "\\InprocServer32").c_str());
        RegDeleteKeyA(HKEY_CLASSES_ROOT, ClassKey().c_str());
    }
    // The thread on which the DLL made its last device object.
    static DWORD CreatorThread()
    {
        typedef DWORD(WINAPI * CreatorFn)();
        HMODULE dll = GetModuleHandleA("OrvixTestDevice.dll");
        CreatorFn fn = dll ? (CreatorFn)GetProcAddress(dll, "TestDeviceCreatorThread") : NULL;
        return fn ? fn() : 0;
    }
    bool ok_;

private:
    static std::string GuidKey(REFGUID guid)
    {
        WCHAR wide[64];
        StringFromGUID2(guid, wide, 64);
        char narrow[64];
        WideToAnsi(wide, narrow, sizeof(narrow));
        return std::string("CLSID\\") + narrow;
    }
    static std::string ClassKey() { return GuidKey(kClass); }
    static const CLSID kClass;
    static const wchar_t kInstance[];
};

// {6B0E3F52-9A1D-4C7E-8E21-5D4C3B2A1F09}, served by OrvixTestDevice.dll.
const CLSID MainApartmentDevice::kClass =
    {0x6b0e3f52, 0x9a1d, 0x4c7e, {0x8e, 0x21, 0x5d, 0x4c, 0x3b, 0x2a, 0x1f, 0x09}};
const wchar_t MainApartmentDevice::kInstance[] = L"OrvixTestMainApartment";

// Ends the test program when the guarded code has not come back in time, after
// the cleanup: a wait that never ends fails the entry now instead of holding
// it until ctest's time-out, and leaves no registration behind.
class HangGuard {
public:
    HangGuard(const char* what, DWORD ms, void (*cleanup)())
        : what_(what), ms_(ms), cleanup_(cleanup), done_(CreateEventA(NULL, TRUE, FALSE, NULL)),
          thread_(CreateThread(NULL, 0, Watch, this, 0, NULL))
    {
    }
    ~HangGuard()
    {
        SetEvent(done_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        CloseHandle(done_);
    }

private:
    static DWORD WINAPI Watch(LPVOID p)
    {
        HangGuard* self = (HangGuard*)p;
        if (WaitForSingleObject(self->done_, self->ms_) != WAIT_TIMEOUT)
            return 0;
        fprintf(stderr, "FAILED: still %s after %lu ms\n", self->what_, (unsigned long)self->ms_);
        fflush(stderr);
        self->cleanup_();
        TerminateProcess(GetCurrentProcess(), 3);
        return 0;
    }
    const char* what_;
    DWORD ms_;
    void (*cleanup_)();
    HANDLE done_;
    HANDLE thread_;
};

// Puts a COM start in for the audio list's thread while it lives.
class ComStartSwap {
public:
    explicit ComStartSwap(AudioListComStart start) : previous_(SetAudioListComStart(start)) {}
    ~ComStartSwap() { SetAudioListComStart(previous_); }
private:
    AudioListComStart previous_;
};

static int CountNamed(const CDevicePairArray& list, const char* name)
{
    int n = 0;
    for (int i = 0; i < list.GetSize(); i++)
        n += list[i].GetFriendlyName() == name;
    return n;
}

static int CountNamed(const CDeviceList& list, const char* name)
{
    int n = 0;
    for (int i = 0; i < list.GetCount(); i++)
        n += list.GetAt(i).GetFriendlyName() == name;
    return n;
}

TEST_F(GraphTest, TheCardsDevicesAreListedByFriendlyName)
{
    CDevicePairArray video, audio;
    ASSERT_TRUE(EnumVideoDevices(video));
    ASSERT_TRUE(EnumAudioDevices(audio));
    EXPECT_EQ(1, CountNamed(video, kCardVideo));
    EXPECT_EQ(1, CountNamed(audio, kCardAudio));
    for (int i = 0; i < video.GetSize(); i++)
        EXPECT_FALSE(video[i].GetDisplayName().IsEmpty());

    // The process-wide list is made once and freed on request.
    CDeviceList* list = GetDeviceList();
    EXPECT_EQ(list, GetDeviceList());
    EXPECT_EQ(video.GetSize(), list->GetCount());
    FreeDeviceList();
    FreeAudioDeviceList();
    FreeDeviceList();
}

TEST_F(GraphTest, ADeviceThatCannotBeOpenedIsNotListed)
{
    static const CLSID kNowhere =
        {0x0badc0de, 0x1111, 0x2222, {0x33, 0x33, 0x44, 0x44, 0x55, 0x55, 0x66, 0x66}};
    ExtraDevice ghost(kNowhere, L"OrvixTestGhost", L"Orvix Test Unplugged");
    ASSERT_TRUE(ghost.ok_);
    CDevicePairArray video;
    ASSERT_TRUE(EnumVideoDevices(video));
    EXPECT_EQ(0, CountNamed(video, "Orvix Test Unplugged"));
    EXPECT_EQ(nullptr, FindVideoDevice("Orvix Test Unplugged"));
}

TEST_F(GraphTest, OfTwoDevicesWithOneNameTheFirstOpens)
{
    // Two entries named like the card: the card's own and a Smart Tee. The one
    // the enumerator yields first is the one that opens.
    ExtraDevice twin(CLSID_SmartTee, L"OrvixTestTwin", L"Kestor TV Arden WDM Video CaptureA");
    ASSERT_TRUE(twin.ok_);
    CDevicePairArray video;
    ASSERT_TRUE(EnumVideoDevices(video));
    ASSERT_EQ(2, CountNamed(video, kCardVideo));
    bool tweenFirst = false;
    for (int i = 0; i < video.GetSize(); i++) {
        if (video[i].GetFriendlyName() == kCardVideo) {
            tweenFirst = video[i].GetDisplayName().Find("OrvixTestTwin") >= 0;
            break;
        }
    }
    ComPtr<IBaseFilter> opened;
    opened.Attach(FindVideoDevice(kCardVideo));
    ASSERT_TRUE(opened);
    CLSID clsid;
    ASSERT_EQ(S_OK, opened->GetClassID(&clsid));
    EXPECT_EQ(tweenFirst, IsEqualCLSID(clsid, CLSID_SmartTee) != 0);
}

TEST_F(GraphTest, TheCardsAudioDeviceIsTheLastListedAndOpensAsTheCards)
{
    // The capture graph takes the last audio device listed: it has to be the
    // card's, whatever sound inputs the system has besides.
    static const CLSID kCardAudioClass =
        {0x8d1c2a40, 0x5e7b, 0x4c1a, {0x9f, 0x3d, 0x2b, 0x6a, 0x7c, 0x0e, 0x1a, 0x03}};
    CDevicePairArray audio;
    ASSERT_TRUE(EnumAudioDevices(audio));
    ASSERT_LT(0, (int)audio.GetSize());
    EXPECT_STREQ(kCardAudio, (LPCSTR)audio[audio.GetSize() - 1].GetFriendlyName());
    ComPtr<IBaseFilter> opened;
    opened.Attach(FindAudioDevice(kCardAudio));
    ASSERT_TRUE(opened);
    CLSID clsid;
    ASSERT_EQ(S_OK, opened->GetClassID(&clsid));
    EXPECT_TRUE(IsEqualCLSID(kCardAudioClass, clsid));
}

static volatile LONG s_comStarts = 0;
static volatile LONG s_comStartThread = 0;

static HRESULT CountedComStart()
{
    InterlockedIncrement(&s_comStarts);
    InterlockedExchange(&s_comStartThread, (LONG)GetCurrentThreadId());
    return CoInitializeEx(NULL, COINIT_MULTITHREADED);
}

TEST_F(GraphTest, TheAudioListBegunAheadIsTheOneTheFirstRequestGets)
{
    CDevicePairArray audio;
    ASSERT_TRUE(EnumAudioDevices(audio));
    ASSERT_LT(0, (int)audio.GetSize());
    auto sameAsEnumerated = [&](const CDeviceList* list) {
        if (!list || list->GetCount() != audio.GetSize())
            return false;
        for (int i = 0; i < list->GetCount(); ++i)
            if (list->GetAt(i).GetFriendlyName() != audio[i].GetFriendlyName() ||
                list->GetAt(i).GetDisplayName() != audio[i].GetDisplayName())
                return false;
        return true;
    };

    ComStartSwap counted(CountedComStart);
    s_comStarts = 0;
    BeginAudioDeviceList();
    BeginAudioDeviceList();  // one thread, one list
    CAudioDeviceList* ahead = GetAudioDeviceList();
    EXPECT_EQ(1, (int)s_comStarts);
    // Made on the thread begun ahead, not enumerated for the request.
    ASSERT_TRUE(ahead != NULL);
    EXPECT_EQ((DWORD)s_comStartThread, ahead->GetMakerThreadId());
    EXPECT_TRUE(sameAsEnumerated(ahead));
    EXPECT_EQ(ahead, GetAudioDeviceList());
    FreeAudioDeviceList();

    // Freed while the thread may still be making it: nothing is left behind,
    // and the next request makes a list of its own.
    BeginAudioDeviceList();
    FreeAudioDeviceList();
    CAudioDeviceList* own = GetAudioDeviceList();
    EXPECT_EQ(GetCurrentThreadId(), own->GetMakerThreadId());
    EXPECT_TRUE(sameAsEnumerated(own));
    FreeAudioDeviceList();
}

static HRESULT RefuseCom()
{
    return E_OUTOFMEMORY;
}

TEST_F(GraphTest, AListThreadWithoutComLeavesTheListToTheFirstRequest)
{
    ComStartSwap refused(RefuseCom);
    BeginAudioDeviceList();
    CAudioDeviceList* list = GetAudioDeviceList();
    EXPECT_EQ(GetCurrentThreadId(), list->GetMakerThreadId());
    EXPECT_EQ(1, CountNamed(*list, kCardAudio));
    FreeAudioDeviceList();
}

TEST_F(GraphTest, TheListMadeAheadWaitsAnsweringTheMainApartment)
{
    // The fixture made this thread's apartment the process's main one, as
    // the program's interface thread is by the time it asks for the names.
    MainApartmentDevice device;
    ASSERT_TRUE(device.ok_);
    HangGuard guard("waiting for the audio list made ahead", 30000, MainApartmentDevice::Remove);

    BeginAudioDeviceList();
    CAudioDeviceList* list = GetAudioDeviceList();
    EXPECT_NE(GetCurrentThreadId(), list->GetMakerThreadId());
    EXPECT_EQ(1, CountNamed(*list, kTestAudio));
    EXPECT_STREQ(kCardAudio, (LPCSTR)list->GetAt(list->GetCount() - 1).GetFriendlyName());
    // Made here for the list's thread: the wait is where this apartment
    // answered it.
    EXPECT_EQ(GetCurrentThreadId(), MainApartmentDevice::CreatorThread());
    FreeAudioDeviceList();

    // The exit's wait for a thread still making the list, as after a start
    // that failed before it asked for the names.
    BeginAudioDeviceList();
    FreeAudioDeviceList();
}

// A window of this thread whose message asks for the audio list: sent while
// a request waits for the list made ahead, it is answered inside that wait.
static HWND s_nestWindow = NULL;
static HANDLE s_nestBegun = NULL;
static CAudioDeviceList* s_nested = NULL;

static LRESULT CALLBACK NestedRequestProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_APP) {
        SetEvent(s_nestBegun);
        s_nested = GetAudioDeviceList();
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// The list's thread sends that message before it makes the list, and goes on
// once the nested request has begun.
static HRESULT ComStartAfterANestedRequest()
{
    SendNotifyMessageA(s_nestWindow, WM_APP, 0, 0);
    WaitForSingleObject(s_nestBegun, ts::Scaled(10000));
    return CountedComStart();
}

static void NoCleanup() {}

TEST_F(GraphTest, ARequestAnsweredInsideTheWaitForTheListLeavesTheListToBoth)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = NestedRequestProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "DeviceListNestedRequest";
    RegisterClassA(&wc);
    s_nestWindow = CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, wc.hInstance, NULL);
    ASSERT_TRUE(s_nestWindow != NULL);
    s_nestBegun = CreateEventA(NULL, TRUE, FALSE, NULL);
    s_nested = NULL;
    {
        HangGuard guard("waiting for the audio list with a request nested in the wait", ts::Scaled(30000),
                        NoCleanup);
        ComStartSwap nesting(ComStartAfterANestedRequest);
        BeginAudioDeviceList();
        CAudioDeviceList* outer = GetAudioDeviceList();
        EXPECT_EQ((DWORD)WAIT_OBJECT_0, WaitForSingleObject(s_nestBegun, 0)) << "no request ran inside the wait";
        ASSERT_TRUE(s_nested != NULL);
        // One list, the one made ahead: not one taken inside and then
        // replaced by an enumeration of the outer request's own.
        EXPECT_EQ(s_nested, outer);
        EXPECT_EQ((DWORD)s_comStartThread, outer->GetMakerThreadId());
        EXPECT_EQ(outer, GetAudioDeviceList());
        FreeAudioDeviceList();
    }
    DestroyWindow(s_nestWindow);
    CloseHandle(s_nestBegun);
}

// Refuses the next COM wait with s_refusal, then waits as COM does.
static volatile LONG s_refusalsLeft = 0;
static HRESULT s_refusal = S_OK;

static HRESULT WINAPI ComWaitRefusingOnce(DWORD flags, DWORD timeout, ULONG count, LPHANDLE handles,
                                          LPDWORD index)
{
    if (InterlockedExchange(&s_refusalsLeft, 0) > 0)
        return s_refusal;
    return CoWaitForMultipleHandles(flags, timeout, count, handles, index);
}

class ComWaitSwap {
public:
    explicit ComWaitSwap(AudioListComWait wait) : previous_(SetAudioListComWait(wait)) {}
    ~ComWaitSwap() { SetAudioListComWait(previous_); }
private:
    AudioListComWait previous_;
};

TEST_F(GraphTest, TheWaitForTheListIsAPlainOneOnlyWhereComIsNotStarted)
{
    ComWaitSwap refusing(ComWaitRefusingOnce);
    ComStartSwap counted(CountedComStart);

    // Refused as on a thread outside COM: the plain wait still waits for the
    // list made ahead.
    s_refusal = CO_E_NOTINITIALIZED;
    s_refusalsLeft = 1;
    BeginAudioDeviceList();
    CAudioDeviceList* list = GetAudioDeviceList();
    EXPECT_EQ(0, (int)s_refusalsLeft);
    EXPECT_EQ((DWORD)s_comStartThread, list->GetMakerThreadId());
    FreeAudioDeviceList();

    // Refused for any other reason in this apartment: the wait goes on
    // answering it, and the device the list's thread makes here is listed.
    MainApartmentDevice device;
    ASSERT_TRUE(device.ok_);
    HangGuard guard("waiting for the audio list after a refused COM wait", ts::Scaled(30000),
                    MainApartmentDevice::Remove);
    s_refusal = E_FAIL;
    s_refusalsLeft = 1;
    BeginAudioDeviceList();
    list = GetAudioDeviceList();
    EXPECT_EQ(0, (int)s_refusalsLeft);
    EXPECT_EQ(1, CountNamed(*list, kTestAudio));
    EXPECT_EQ(GetCurrentThreadId(), MainApartmentDevice::CreatorThread());
    FreeAudioDeviceList();
}

// Refuses every COM wait, counting them.
static volatile LONG s_refusedWaits = 0;

static HRESULT WINAPI ComWaitAlwaysRefusing(DWORD, DWORD, ULONG, LPHANDLE, LPDWORD)
{
    InterlockedIncrement(&s_refusedWaits);
    return RPC_E_CANTCALLOUT_ININPUTSYNCCALL;
}

// The list's thread starts COM only after a while.
static HRESULT LateComStart()
{
    Sleep(300);
    return CountedComStart();
}

TEST_F(GraphTest, AWaitRefusedAgainAndAgainPausesBetweenItsTries)
{
    ComWaitSwap refusing(ComWaitAlwaysRefusing);
    ComStartSwap late(LateComStart);
    s_refusedWaits = 0;
    HangGuard guard("waiting for the audio list through refused COM waits", ts::Scaled(30000), NoCleanup);
    BeginAudioDeviceList();
    DWORD start = GetTickCount();
    CAudioDeviceList* list = GetAudioDeviceList();
    DWORD spent = GetTickCount() - start;
    LONG tries = s_refusedWaits;
    EXPECT_EQ((DWORD)s_comStartThread, list->GetMakerThreadId()) << "the list made ahead was not waited for";
    // Refused all along, for 300 ms and more: a try every few milliseconds,
    // not a spin of the processor.
    EXPECT_GE(tries, 2);
    EXPECT_LE(tries, (LONG)(spent / 5 + 5)) << "in " << spent << " ms";
    FreeAudioDeviceList();
}

TEST_F(GraphTest, DeviceFilterOpensByNameIntoTheGraph)
{
    CDeviceFilter none(NULL, kCardVideo, "Video Capture");
    EXPECT_FALSE(none.Create());
    CDeviceFilter missing(graph, "No Such Card", "Video Capture");
    EXPECT_FALSE(missing.Create());
    EXPECT_TRUE(FilterNames().empty());

    CDeviceFilter card(graph, kCardVideo, "Video Capture");
    ASSERT_TRUE(card.Create());
    EXPECT_EQ(std::vector<std::wstring>{L"Video Capture"}, FilterNames().size() >= 1
              ? std::vector<std::wstring>{FilterNames()[0]} : FilterNames());
    IBaseFilter* held = card.GetFilter();
    EXPECT_TRUE(card.Create());   // kept
    EXPECT_EQ(held, card.GetFilter());
}

TEST(TextConversion, CutsOnWholeCharacters)
{
    char buf[6];
    WideToAnsi(L"ab\x4e2d\x6587", buf, sizeof(buf));  // "ab" + two GBK characters
    EXPECT_EQ(4u, strlen(buf));                        // the second one does not fit
    WideToAnsi(NULL, buf, sizeof(buf));
    EXPECT_STREQ("", buf);
    WCHAR w[4];
    AnsiToWide("abcdef", w, 4);
    EXPECT_EQ(std::wstring(L"abc"), std::wstring(w));
}
