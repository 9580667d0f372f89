#include "CaptureTestEnv.h"
#include "DeviceList.h"
#include <uuids.h>

static const char kCardVideo[] = "Kestor TV Arden WDM Video CaptureA";
static const char kCardAudio[] = "Kestor TV Arden WDM Audio Capture";

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

static int CountNamed(const CDevicePairArray& list, const char* name)
{
    int n = 0;
    for (int i = 0; i < list.GetSize(); i++)
        n += list[i].GetFriendlyName() == name;
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

    BeginAudioDeviceList();
    BeginAudioDeviceList();  // one thread, one list
    CAudioDeviceList* ahead = GetAudioDeviceList();
    EXPECT_TRUE(sameAsEnumerated(ahead));
    EXPECT_EQ(ahead, GetAudioDeviceList());
    // The thread's libraries stay loaded while the list is held.
    EXPECT_TRUE(GetModuleHandleA("quartz.dll") != NULL);
    FreeAudioDeviceList();

    // Freed while the thread may still be making it: nothing is left behind,
    // and the next request makes a list of its own.
    BeginAudioDeviceList();
    FreeAudioDeviceList();
    EXPECT_TRUE(sameAsEnumerated(GetAudioDeviceList()));
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
