#include "MasterVolume.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <vector>

namespace {

// A mixer of the test's own making behind the mixer seam.
struct FakeControl {
    DWORD id, type, flags, items;
    DWORD minimum, maximum, steps;
};
struct SetCall {
    DWORD id, channels, items;
    std::vector<LONG> values;
};
struct FakeMixer {
    UINT devices = 1;
    bool speakers = true;
    DWORD channels = 2;
    std::vector<FakeControl> controls;
    std::vector<DWORD> volume = {0, 0};
    std::vector<SetCall> sets;
    int opens = 0, closes = 0;
    HWND callbackWindow = NULL;
};
FakeMixer* g_fake;

const DWORD kLine = 7;
const HMIXER kHandle = (HMIXER)(UINT_PTR)0x1234;

UINT WINAPI FakeNumDevs() { return g_fake->devices; }
MMRESULT WINAPI FakeWaveOpen(LPHWAVEOUT h, UINT, LPCWAVEFORMATEX, DWORD_PTR, DWORD_PTR, DWORD)
{
    *h = (HWAVEOUT)(UINT_PTR)1;
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI FakeWaveClose(HWAVEOUT) { return MMSYSERR_NOERROR; }
MMRESULT WINAPI FakeGetID(HMIXEROBJ, UINT* id, DWORD)
{
    *id = 0;
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI FakeOpen(LPHMIXER h, UINT, DWORD_PTR callback, DWORD_PTR, DWORD flags)
{
    EXPECT_EQ((DWORD)CALLBACK_WINDOW, flags);
    g_fake->callbackWindow = (HWND)callback;
    g_fake->opens++;
    *h = kHandle;
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI FakeClose(HMIXER)
{
    g_fake->closes++;
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI FakeLineInfo(HMIXEROBJ, LPMIXERLINEA line, DWORD flags)
{
    DWORD query = flags & MIXER_GETLINEINFOF_QUERYMASK;
    if (!g_fake->speakers ||
        (query == MIXER_GETLINEINFOF_COMPONENTTYPE &&
         line->dwComponentType != MIXERLINE_COMPONENTTYPE_DST_SPEAKERS) ||
        (query == MIXER_GETLINEINFOF_LINEID && line->dwLineID != kLine))
        return MIXERR_INVALLINE;
    line->dwLineID = kLine;
    line->cChannels = g_fake->channels;
    line->cControls = (DWORD)g_fake->controls.size();
    return MMSYSERR_NOERROR;
}
void Describe(const FakeControl& c, MIXERCONTROLA* out)
{
    *out = MIXERCONTROLA();
    out->cbStruct = sizeof(*out);
    out->dwControlID = c.id;
    out->dwControlType = c.type;
    out->fdwControl = c.flags;
    out->cMultipleItems = c.items;
    out->Bounds.dwMinimum = c.minimum;
    out->Bounds.dwMaximum = c.maximum;
    out->Metrics.cSteps = c.steps;
}
MMRESULT WINAPI FakeLineControls(HMIXEROBJ, LPMIXERLINECONTROLSA lc, DWORD flags)
{
    if ((flags & MIXER_GETLINECONTROLSF_QUERYMASK) == MIXER_GETLINECONTROLSF_ONEBYTYPE) {
        for (const FakeControl& c : g_fake->controls) {
            if (c.type == lc->dwControlType) {
                Describe(c, lc->pamxctrl);
                return MMSYSERR_NOERROR;
            }
        }
        return MIXERR_INVALCONTROL;
    }
    EXPECT_EQ(g_fake->controls.size(), lc->cControls);
    for (size_t i = 0; i < g_fake->controls.size() && i < lc->cControls; i++)
        Describe(g_fake->controls[i], &lc->pamxctrl[i]);
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI FakeGetDetails(HMIXEROBJ, LPMIXERCONTROLDETAILS d, DWORD)
{
    auto* v = (MIXERCONTROLDETAILS_UNSIGNED*)d->paDetails;
    for (DWORD i = 0; i < d->cChannels && i < g_fake->volume.size(); i++)
        v[i].dwValue = g_fake->volume[i];
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI FakeSetDetails(HMIXEROBJ, LPMIXERCONTROLDETAILS d, DWORD)
{
    DWORD n = d->cChannels * (d->cMultipleItems ? d->cMultipleItems : 1);
    SetCall call = {d->dwControlID, d->cChannels, d->cMultipleItems, {}};
    const LONG* v = (const LONG*)d->paDetails;
    call.values.assign(v, v + n);
    g_fake->sets.push_back(call);
    if (d->dwControlID == 1)
        for (DWORD i = 0; i < d->cChannels && i < g_fake->volume.size(); i++)
            g_fake->volume[i] = (DWORD)v[i];
    return MMSYSERR_NOERROR;
}

const MixerApi kFakeApi = {FakeNumDevs,  FakeWaveOpen,     FakeWaveClose,  FakeGetID,
                           FakeOpen,     FakeClose,        FakeLineInfo,   FakeLineControls,
                           FakeGetDetails, FakeSetDetails};

const FakeControl kVolume = {1, MIXERCONTROL_CONTROLTYPE_VOLUME, 0, 0, 0, 1000, 50};
const FakeControl kMute = {2, MIXERCONTROL_CONTROLTYPE_MUTE, MIXERCONTROL_CONTROLF_UNIFORM, 0, 0, 1, 2};
const FakeControl kMux = {3, MIXERCONTROL_CONTROLTYPE_MUX, MIXERCONTROL_CONTROLF_MULTIPLE, 3, 0, 2, 3};
const FakeControl kSelect = {4, MIXERCONTROL_CONTROLTYPE_SINGLESELECT,
                             MIXERCONTROL_CONTROLF_UNIFORM | MIXERCONTROL_CONTROLF_MULTIPLE, 2, 0, 1, 2};
const FakeControl kBass = {5, MIXERCONTROL_CONTROLTYPE_BASS, 0, 0, 0, 100, 10};

class FakeMixerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_fake = &fake;
        g_mixerApi = kFakeApi;
    }
    void TearDown() override
    {
        g_mixerApi = SystemMixerApi();
        g_fake = NULL;
    }
    const SetCall* SetOf(DWORD id)
    {
        for (const SetCall& c : fake.sets)
            if (c.id == id)
                return &c;
        return NULL;
    }
    FakeMixer fake;
};

// This process's own: a program another test runs at the same time has one
// of the same class.
std::vector<HWND> NoticeWindows()
{
    std::vector<HWND> all;
    HWND h = NULL;
    while ((h = FindWindowExA(NULL, h, kMasterVolumeClass, NULL)) != NULL) {
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        if (pid == GetCurrentProcessId())
            all.push_back(h);
    }
    return all;
}

std::vector<std::pair<int, DWORD_PTR>> g_notices;
void OnVolume(int volume, DWORD_PTR user) { g_notices.push_back({volume, user}); }

}  // namespace

TEST_F(FakeMixerTest, WithoutMixerOrSpeakersTheObjectIsInert)
{
    fake.devices = 0;
    {
        CMasterVolume volume;
        EXPECT_FALSE(volume.HasVolume());
        EXPECT_EQ(-1, volume.GetMin());
        EXPECT_EQ(-1, volume.GetMax());
        EXPECT_EQ(-1, volume.GetSteps());
        EXPECT_EQ(-1, volume.GetVolume());
        volume.SetVolume(0);
        volume.SoundOff();
        EXPECT_EQ(0, fake.opens);
        EXPECT_TRUE(NoticeWindows().empty());
        EXPECT_EQ(nullptr, CMasterVolume::GetLive());
    }
    fake.devices = 1;
    fake.speakers = false;
    fake.controls = {kVolume, kMute};
    {
        CMasterVolume volume;
        EXPECT_FALSE(volume.HasVolume());
        EXPECT_EQ(-1, volume.GetVolume());
        volume.SoundOff();
        volume.SetVolume(10);
        EXPECT_TRUE(fake.sets.empty());
        EXPECT_EQ(1, fake.opens);
        EXPECT_EQ(1, fake.closes);  // closed again at once
        EXPECT_TRUE(NoticeWindows().empty());
        EXPECT_EQ(nullptr, CMasterVolume::GetLive());
    }
    EXPECT_EQ(1, fake.closes);
}

TEST_F(FakeMixerTest, VolumeGoesToEveryChannelWithinTheBounds)
{
    fake.controls = {kVolume, kBass};
    fake.volume = {300, 400};
    CMasterVolume volume;
    ASSERT_TRUE(volume.HasVolume());
    EXPECT_EQ(0, volume.GetMin());
    EXPECT_EQ(1000, volume.GetMax());
    EXPECT_EQ(50, volume.GetSteps());
    EXPECT_EQ(300, volume.GetVolume());  // the first channel
    volume.SetVolume(1001);
    volume.SetVolume(-1);
    EXPECT_TRUE(fake.sets.empty());
    volume.SetVolume(1000);
    ASSERT_EQ(1u, fake.sets.size());
    EXPECT_EQ(2u, fake.sets[0].channels);
    EXPECT_EQ((std::vector<LONG>{1000, 1000}), fake.sets[0].values);
    // No mute and no selector: sound off touches nothing (the bass stays).
    volume.SoundOff();
    EXPECT_EQ(1u, fake.sets.size());
}

TEST_F(FakeMixerTest, SoundOffMutesAndClearsEverySelectorItem)
{
    fake.controls = {kVolume, kMute, kMux, kSelect, kBass};
    CMasterVolume volume;
    volume.SoundOff();
    ASSERT_EQ(3u, fake.sets.size());
    const SetCall* mute = SetOf(2);
    ASSERT_NE(nullptr, mute);
    EXPECT_EQ(1u, mute->channels);  // uniform: one channel
    EXPECT_EQ((std::vector<LONG>{1}), mute->values);
    const SetCall* mux = SetOf(3);
    ASSERT_NE(nullptr, mux);
    EXPECT_EQ(2u, mux->channels);
    EXPECT_EQ(3u, mux->items);
    EXPECT_EQ(std::vector<LONG>(6, 0), mux->values);  // every item of every channel
    const SetCall* select = SetOf(4);
    ASSERT_NE(nullptr, select);
    EXPECT_EQ(1u, select->channels);
    EXPECT_EQ(std::vector<LONG>(2, 0), select->values);
    EXPECT_EQ(nullptr, SetOf(5));

    fake.sets.clear();
    volume.SoundOn();
    EXPECT_EQ((std::vector<LONG>{0}), SetOf(2)->values);
    EXPECT_EQ(std::vector<LONG>(6, 1), SetOf(3)->values);
    EXPECT_EQ(std::vector<LONG>(2, 1), SetOf(4)->values);

    // Without a mute control the selector alone silences the line.
    fake.controls = {kVolume, kSelect};
    fake.sets.clear();
    CMasterVolume second;
    second.SoundOff();
    ASSERT_EQ(1u, fake.sets.size());
    EXPECT_EQ(std::vector<LONG>(2, 0), SetOf(4)->values);
}

TEST_F(FakeMixerTest, ChangeNoticesReachTheLastConstructedInstanceOnly)
{
    fake.controls = {kVolume};
    fake.volume = {600, 600};
    g_notices.clear();
    auto notifyAll = [] {
        for (HWND h : NoticeWindows()) {
            SendMessageA(h, MM_MIXM_CONTROL_CHANGE, (WPARAM)kHandle, 1);
            SendMessageA(h, MM_MIXM_CONTROL_CHANGE, (WPARAM)kHandle, 2);  // not the volume
        }
    };
    CMasterVolume* older = new CMasterVolume;
    older->SetCallback(OnVolume, 1);
    CMasterVolume* newer = new CMasterVolume;
    newer->SetCallback(OnVolume, 2);
    ASSERT_EQ(2u, NoticeWindows().size());  // a class registered before is no failure
    EXPECT_EQ(newer, CMasterVolume::GetLive());
    notifyAll();
    EXPECT_EQ((std::vector<std::pair<int, DWORD_PTR>>{{600, 2}, {600, 2}}), g_notices);

    // Deleting the older one leaves the newer one listening.
    g_notices.clear();
    delete older;
    EXPECT_EQ(newer, CMasterVolume::GetLive());
    notifyAll();
    EXPECT_EQ((std::vector<std::pair<int, DWORD_PTR>>{{600, 2}}), g_notices);
    delete newer;
    EXPECT_EQ(nullptr, CMasterVolume::GetLive());
    EXPECT_TRUE(NoticeWindows().empty());

    // Once the newest is gone, an older one hears nothing more.
    g_notices.clear();
    older = new CMasterVolume;
    older->SetCallback(OnVolume, 1);
    newer = new CMasterVolume;
    delete newer;
    notifyAll();
    EXPECT_TRUE(g_notices.empty());
    delete older;
}

// Wine's own mixer (the sound server's null sink): the object finds the same
// line and control as a mixer handle of the test's own.
TEST(SystemMixer, VolumeOnTheSpeakersLine)
{
    ASSERT_GT(mixerGetNumDevs(), 0u) << "no sound server";
    CMasterVolume volume;
    ASSERT_TRUE(volume.HasVolume());
    HMIXER h;
    // The mixer of the first wave output, as the object finds it under Wine.
    ASSERT_EQ(MMSYSERR_NOERROR, mixerOpen(&h, 0, 0, 0, MIXER_OBJECTF_WAVEOUT));
    MIXERLINEA line = {};
    line.cbStruct = sizeof(line);
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    ASSERT_EQ(MMSYSERR_NOERROR, mixerGetLineInfoA((HMIXEROBJ)h, &line,
                                                  MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE));
    MIXERCONTROLA control = {};
    MIXERLINECONTROLSA lc = {};
    lc.cbStruct = sizeof(lc);
    lc.dwLineID = line.dwLineID;
    lc.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    lc.cControls = 1;
    lc.cbmxctrl = sizeof(MIXERCONTROLA);
    lc.pamxctrl = &control;
    ASSERT_EQ(MMSYSERR_NOERROR, mixerGetLineControlsA((HMIXEROBJ)h, &lc,
                                                      MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE));
    EXPECT_EQ((int)control.Bounds.dwMinimum, volume.GetMin());
    EXPECT_EQ((int)control.Bounds.dwMaximum, volume.GetMax());
    EXPECT_EQ((int)control.Metrics.cSteps, volume.GetSteps());
    int before = volume.GetVolume();
    int max = volume.GetMax();
    volume.SetVolume(max / 2);
    EXPECT_EQ(max / 2, volume.GetVolume());
    volume.SetVolume(max);
    EXPECT_EQ(max, volume.GetVolume());
    volume.SetVolume(max + 1);
    EXPECT_EQ(max, volume.GetVolume());
    // Wine keeps volume and mute per mixer handle: the test's handle does not
    // see the object's settings, so mute (which has no getter) is checked on
    // the fake mixer only.
    volume.SetVolume(before);
    mixerClose(h);
}
