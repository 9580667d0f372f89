// The mixer stand-in between a YUY2 source and sinks that take one RGB
// format each; its pin configuration by raw slot.
#include "CardState.h"
#include "FilterRig.h"
#include "MixerFilter.h"
#include <gtest/gtest.h>

namespace {

static const BOOL g_ownCard = SetEnvironmentVariableA("ORVIX_CARD", "overlaymixer_test");
const int kW = 64, kH = 8;

ds::MediaType Yuy2() {
    return ds::MakeVideoType(MEDIASUBTYPE_YUY2, MAKEFOURCC('Y', 'U', 'Y', '2'), 16, kW, kH, 400000);
}

std::vector<BYTE> Picture() {
    std::vector<BYTE> f(kW * kH * 2);
    for (size_t i = 0; i < f.size(); i++) f[i] = static_cast<BYTE>(i * 13 + (i >> 7));
    return f;
}

struct MixerTest : testing::Test {
    void SetUp() override {
        CoInitialize(NULL);
        CardReset();
        before = ds::LiveObjects();
    }
    void TearDown() override {
        EXPECT_EQ(before, ds::LiveObjects());
        CoUninitialize();
    }
    LONG before = 0;
};

}  // namespace

TEST_F(MixerTest, EachSinkGetsTheFormatItTakesBottomUp) {
    struct Case {
        const GUID* sink;
        const GUID* want;
        yuv::RgbFormat format;
    } cases[] = {{&GUID_NULL, &MEDIASUBTYPE_RGB32, yuv::RGB_32},
                 {&MEDIASUBTYPE_RGB24, &MEDIASUBTYPE_RGB24, yuv::RGB_24},
                 {&MEDIASUBTYPE_RGB565, &MEDIASUBTYPE_RGB565, yuv::RGB_565}};
    for (const Case& c : cases) {
        ds::ComPtr<IBaseFilter> filter;
        ASSERT_EQ(S_OK, ds::CreateFilterObject<mixer::MixerFilter>(IID_IBaseFilter, filter.OutVoid()));
        ds::FilterRig rig(Yuy2(), *c.sink);
        ASSERT_EQ(S_OK, rig.Connect(filter.Get()));
        ds::MediaType got = rig.Sink()->ConnectedType();
        EXPECT_TRUE(IsEqualGUID(*c.want, got.subtype));
        ASSERT_TRUE(got.Video());
        EXPECT_EQ(kH, got.Video()->bmiHeader.biHeight);  // bottom-up
        ASSERT_TRUE(SUCCEEDED(rig.Run()));
        std::vector<BYTE> pic = Picture();
        ASSERT_EQ(S_OK, rig.Send(pic, 0, 400000));
        int stride = yuv::RgbStride(kW, c.format);
        std::vector<BYTE> want(stride * kH);
        yuv::Yuy2ToRgbFrame(pic.data(), kW, kH, want.data(), stride, c.format, yuv::FastestRgb32Row());
        EXPECT_EQ(want, rig.Sink()->LastSample());
        EXPECT_EQ(400000, rig.Sink()->Records()[0].stop);
    }
}

TEST_F(MixerTest, InputPinZeroTakesTheAspectRatioByItsSlot) {
    ds::ComPtr<IBaseFilter> filter;
    ASSERT_EQ(S_OK, ds::CreateFilterObject<mixer::MixerFilter>(IID_IBaseFilter, filter.OutVoid()));
    ds::ComPtr<IPin> in = ds::FirstPin(filter.Get(), PINDIR_INPUT), out = ds::FirstPin(filter.Get(), PINDIR_OUTPUT);
    ds::ComPtr<IUnknown> config, none;
    ASSERT_EQ(S_OK, in->QueryInterface(IID_IMixerPinConfig, config.OutVoid()));
    EXPECT_EQ(E_NOINTERFACE, out->QueryInterface(IID_IMixerPinConfig, none.OutVoid()));
    ds::ComPtr<IPin> back;
    ASSERT_EQ(S_OK, config->QueryInterface(IID_IPin, back.OutVoid()));
    EXPECT_EQ(in.Get(), back.Get());

    CardClearLog();
    typedef HRESULT(STDMETHODCALLTYPE * SetMode)(IUnknown*, int);
    SetMode slot11 = reinterpret_cast<SetMode>((*reinterpret_cast<void***>(config.Get()))[11]);
    EXPECT_EQ(S_OK, slot11(config.Get(), AM_ARMODE_STRETCHED));
    mixer::MixerFilter* m = static_cast<mixer::MixerFilter*>(filter.Get());
    EXPECT_EQ(AM_ARMODE_STRETCHED, m->AspectRatioMode());
    EXPECT_EQ(E_INVALIDARG, slot11(config.Get(), 9));
    ASSERT_TRUE(CardFailCall("Mixer.AspectRatio", 1));
    EXPECT_EQ(E_FAIL, slot11(config.Get(), AM_ARMODE_STRETCHED));
    std::vector<std::string> log = CardLogLines();
    ASSERT_EQ(3u, log.size());
    EXPECT_EQ("Mixer.AspectRatio(0) = 0x00000000", log[0]);
}

TEST_F(MixerTest, TheCardRefusesAsManyOutputConnectionsAsAsked) {
    ds::ComPtr<IBaseFilter> filter;
    ASSERT_EQ(S_OK, ds::CreateFilterObject<mixer::MixerFilter>(IID_IBaseFilter, filter.OutVoid()));
    ds::FilterRig rig(Yuy2());
    ASSERT_TRUE(CardFailCall("Mixer.Connect", 2));
    EXPECT_TRUE(FAILED(rig.Connect(filter.Get())));
    ds::ComPtr<IPin> out = ds::FirstPin(filter.Get(), PINDIR_OUTPUT);
    EXPECT_TRUE(FAILED(rig.Graph()->ConnectDirect(out.Get(), rig.Sink()->Input(), NULL)));
    EXPECT_EQ(S_OK, rig.Graph()->ConnectDirect(out.Get(), rig.Sink()->Input(), NULL));
    // Nothing to convert from: no output type before the input connects.
    ds::ComPtr<IBaseFilter> lone;
    ASSERT_EQ(S_OK, ds::CreateFilterObject<mixer::MixerFilter>(IID_IBaseFilter, lone.OutVoid()));
    ds::ComPtr<IEnumMediaTypes> types;
    ds::ComPtr<IPin> loneOut = ds::FirstPin(lone.Get(), PINDIR_OUTPUT);
    ASSERT_EQ(S_OK, loneOut->EnumMediaTypes(types.Out()));
    AM_MEDIA_TYPE* mt = NULL;
    EXPECT_NE(S_OK, types->Next(1, &mt, NULL));
}
