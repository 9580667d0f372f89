// The audio capture device: its lines as the application lists and enables
// them, its buffers and the sound it delivers.
#include "AudioCaptureFilter.h"
#include "CardFilterIds.h"
#include "CardTestSupport.h"
#include "TestSupport.h"
#include <gtest/gtest.h>

using namespace cardtest;
using ds::ComPtr;

namespace {

class AudioCapture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, BindDevice(CLSID_AudioInputDeviceCategory, card::kAudioCaptureName, filter.Out()));
    }
    ComPtr<IPin> Pin(int index) {
        ComPtr<IEnumPins> pins;
        ComPtr<IPin> pin;
        if (SUCCEEDED(filter->EnumPins(pins.Out())) && pins->Skip(index) == S_OK)
            pins->Next(1, pin.Out(), NULL);
        return pin;
    }
    CardFixtureState card_;
    ComPtr<IBaseFilter> filter;
};

bool AllSilent(const std::vector<BYTE>& pcm) {
    for (BYTE b : pcm)
        if (b) return false;
    return !pcm.empty();
}

TEST_F(AudioCapture, LinesHaveNamesValuesAndMixerControls) {
    const wchar_t* names[3] = {L"Line In", L"Tuner", L"CD"};
    for (int i = 0; i < 3; i++) {
        ComPtr<IPin> pin = Pin(i);
        ASSERT_TRUE(pin);
        PIN_INFO info;
        ASSERT_EQ(S_OK, pin->QueryPinInfo(&info));
        info.pFilter->Release();
        EXPECT_EQ(PINDIR_INPUT, info.dir);
        EXPECT_STREQ(names[i], info.achName);
        LPWSTR id = NULL;
        ASSERT_EQ(S_OK, pin->QueryId(&id));
        EXPECT_EQ(L'0' + i, id[0]);  // the line's value
        CoTaskMemFree(id);

        ComPtr<IAMAudioInputMixer> mixer;
        ASSERT_EQ(S_OK, mixer.QueryFrom(pin.Get(), IID_IAMAudioInputMixer));
        BOOL on = FALSE;
        double level = 0;
        EXPECT_EQ(S_OK, mixer->put_Enable(TRUE));
        mixer->get_Enable(&on);
        EXPECT_TRUE(on);
        EXPECT_EQ(S_OK, mixer->put_MixLevel(AMF_AUTOMATICGAIN));
        mixer->get_MixLevel(&level);
        EXPECT_EQ(AMF_AUTOMATICGAIN, level);
        EXPECT_EQ(E_INVALIDARG, mixer->put_MixLevel(1.5));
    }
    ComPtr<IPin> out = Pin(3);
    ASSERT_TRUE(out);
    PIN_DIRECTION dir;
    out->QueryDirection(&dir);
    EXPECT_EQ(PINDIR_OUTPUT, dir);
    EXPECT_FALSE(Pin(4));
}

TEST_F(AudioCapture, DeliversPcmInSuggestedBuffersToneOnAStationSilenceOffIt) {
    ComPtr<IPin> out = Pin(3);
    ComPtr<IAMStreamConfig> config;
    ASSERT_EQ(S_OK, config.QueryFrom(out.Get(), IID_IAMStreamConfig));
    AM_MEDIA_TYPE* mt = NULL;
    ASSERT_EQ(S_OK, config->GetFormat(&mt));
    const WAVEFORMATEX* wf = reinterpret_cast<const WAVEFORMATEX*>(mt->pbFormat);
    EXPECT_EQ(44100u, wf->nSamplesPerSec);
    EXPECT_EQ(16, wf->wBitsPerSample);
    EXPECT_EQ(2, wf->nChannels);
    EXPECT_EQ(176400u, wf->nAvgBytesPerSec);
    ds::DeleteMediaType(mt);

    // 40 ms buffers, as the application asks before it connects.
    ComPtr<IAMBufferNegotiation> buffers;
    ASSERT_EQ(S_OK, buffers.QueryFrom(out.Get(), IID_IAMBufferNegotiation));
    ALLOCATOR_PROPERTIES props = {-1, 7056, -1, -1};
    ASSERT_EQ(S_OK, buffers->SuggestAllocatorProperties(&props));

    CaptureGraph g;
    ASSERT_TRUE(g.ok);
    ds::SinkFilter* sink = new ds::SinkFilter(MEDIATYPE_Audio);
    ComPtr<IBaseFilter> sinkHolder(sink);
    ASSERT_EQ(S_OK, g.graph->AddFilter(filter.Get(), L"Audio Capture"));
    ASSERT_EQ(S_OK, g.graph->AddFilter(sink, L"Sink"));
    ASSERT_EQ(S_OK, g.builder->RenderStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Audio, filter.Get(), NULL, sink));
    EXPECT_EQ(VFW_E_ALREADY_CONNECTED, buffers->SuggestAllocatorProperties(&props));
    ALLOCATOR_PROPERTIES actual;
    ASSERT_EQ(S_OK, buffers->GetAllocatorProperties(&actual));
    EXPECT_EQ(7056, actual.cbBuffer);
    ds::MediaType connected = sink->ConnectedType();
    ASSERT_TRUE(connected.Wave() != NULL);
    EXPECT_EQ(44100u, connected.Wave()->nSamplesPerSec);

    // The tuner line on, tuned to a station.
    ComPtr<IAMAudioInputMixer> tuner;
    ASSERT_EQ(S_OK, tuner.QueryFrom(Pin(1).Get(), IID_IAMAudioInputMixer));
    tuner->put_Enable(TRUE);
    TuneTo(CardStations()[0].freqMHz);
    ASSERT_TRUE(SUCCEEDED(g.control->Run()));
    ASSERT_TRUE(ts::PumpUntil([&] { return sink->SampleCount() >= 3 && !AllSilent(sink->LastSample()); }, 5000));

    TuneTo(CardStations()[0].freqMHz + 3.0);
    EXPECT_TRUE(ts::PumpUntil([&] { return AllSilent(sink->LastSample()); }, 5000));
    g.control->Stop();

    std::vector<ds::SampleRecord> r = sink->Records();
    ASSERT_GE(r.size(), 3u);
    for (size_t i = 0; i < r.size(); i++) {
        EXPECT_EQ(7056, r[i].size);
        EXPECT_EQ(400000, r[i].stop - r[i].start);  // 1764 frames at 44.1 kHz
    }
}

TEST_F(AudioCapture, EachStationHasItsOwnToneOnTheTunerLine) {
    std::vector<CardStation> stations = CardStations();
    ASSERT_GE(stations.size(), 2u);
    TuneTo(stations[0].freqMHz);
    int first = card::AudioCaptureFilter::LineTone(card::AudioCaptureFilter::kLineTuner);
    TuneTo(stations[1].freqMHz);
    int second = card::AudioCaptureFilter::LineTone(card::AudioCaptureFilter::kLineTuner);
    EXPECT_GT(first, 0);
    EXPECT_GT(second, 0);
    EXPECT_NE(first, second);
    EXPECT_EQ(0, card::AudioCaptureFilter::LineTone(card::AudioCaptureFilter::kLineCd));
    // The line input carries the crossbar's sound: the tuner's when routed.
    CardSetAudioInput(CARD_AUDIO_TUNER);
    EXPECT_EQ(second, card::AudioCaptureFilter::LineTone(card::AudioCaptureFilter::kLineIn));
    CardSetAudioInput(CARD_AUDIO_LINE);
    EXPECT_EQ(0, card::AudioCaptureFilter::LineTone(card::AudioCaptureFilter::kLineIn));
}

}  // namespace

namespace {

// In a graph, the device reports the card going away and coming back.
TEST_F(AudioCapture, ReportsTheCardLeavingAndReturningWhileInAGraph) {
    CaptureGraph g;
    ASSERT_TRUE(g.ok);
    ComPtr<IMediaEventEx> events;
    ASSERT_EQ(S_OK, events.QueryFrom(g.graph.Get(), IID_IMediaEventEx));
    ASSERT_EQ(S_OK, g.graph->AddFilter(filter.Get(), L"Audio Capture"));
    auto next = [&](LONG_PTR* param2) {
        long code = 0;
        LONG_PTR p1 = 0;
        for (int tries = 0; tries < 40; tries++) {
            if (events->GetEvent(&code, &p1, param2, 50) == S_OK) {
                events->FreeEventParams(code, p1, *param2);
                if (code == EC_DEVICE_LOST) {
                    EXPECT_EQ(reinterpret_cast<LONG_PTR>(filter.Get()), p1);
                    return true;
                }
            }
        }
        return false;
    };
    LONG_PTR present = -1;
    CardSetDeviceCount(0);
    ASSERT_TRUE(next(&present));
    EXPECT_EQ(0, present);
    CardSetDeviceCount(1);
    ASSERT_TRUE(next(&present));
    EXPECT_EQ(1, present);
    ASSERT_EQ(S_OK, g.graph->RemoveFilter(filter.Get()));
    CardSetDeviceCount(0);
    Sleep(250);
    long code;
    LONG_PTR p1, p2;
    EXPECT_EQ(E_ABORT, events->GetEvent(&code, &p1, &p2, 0)) << "out of the graph, nothing is reported";
}

}  // namespace
