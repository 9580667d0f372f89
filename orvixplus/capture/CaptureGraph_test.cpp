// The capture graph's device set-up, picture levels, video standards and
// signal test on the simulated card, and the paths that need no filter of
// the maker's.
#include "GraphTestEnv.h"
#include "CountryPlan.h"
#include "Filters.h"
#include "OverlayGraph.h"
#include "RecordGraph.h"
#include <algorithm>

namespace {

TEST(ProcAmpRanges, ReportedRangeOrFixedValues)
{
    // Hue of -128..127 in steps of 1: 255 steps, default 128 steps in.
    ProcAmpRange r = ProcAmpRangeOf(VideoProcAmp_Hue, S_OK, -128, 127, 1, 0);
    EXPECT_EQ(255, r.range);
    EXPECT_EQ(0, r.start);
    EXPECT_EQ(128, r.def);
    EXPECT_EQ(-4, ProcAmpValueOf(VideoProcAmp_Hue, r, 49, 100));
    // A failed call or a step of 0 gives the property's fixed values, never
    // a division by zero.
    r = ProcAmpRangeOf(VideoProcAmp_Contrast, E_FAIL, 0, 0, 0, 0);
    EXPECT_EQ(127, r.range);
    EXPECT_EQ(68, r.def);
    r = ProcAmpRangeOf(VideoProcAmp_Saturation, S_OK, 0, 127, 0, 64);
    EXPECT_EQ(127, r.range);
    EXPECT_EQ(64, r.def);
    r = ProcAmpRangeOf(VideoProcAmp_Sharpness, E_PROP_ID_UNSUPPORTED, 0, 0, 0, 0);
    EXPECT_EQ(7, r.range);
    // A scale below 1 counts as 1.
    ProcAmpRange b = ProcAmpRangeOf(VideoProcAmp_Brightness, S_OK, 0, 255, 1, 128);
    EXPECT_EQ(255 * 3, ProcAmpValueOf(VideoProcAmp_Brightness, b, 3, 0));
    EXPECT_EQ(-255, ProcAmpValueOf(VideoProcAmp_Brightness, b, -1, -5));
}

TEST(VideoStandards, NamesFamiliesAndFrameTimes)
{
    EXPECT_EQ(AnalogVideo_NTSC_M_J, VideoStandardFromName("NTSC_M_J"));
    EXPECT_EQ(AnalogVideo_PAL_N_COMBO, VideoStandardFromName("PAL_N_COMBO"));
    EXPECT_EQ(AnalogVideo_SECAM_L1, VideoStandardFromName("SECAM_L1"));
    EXPECT_EQ(0xFF000, VideoStandardFromName("SECAM_MASK"));
    EXPECT_EQ(AnalogVideo_PAL_D, VideoStandardFromName("PAL_G"));
    EXPECT_EQ(AnalogVideo_PAL_D, VideoStandardFromName("pal_b"));
    EXPECT_EQ(AnalogVideo_PAL_D, VideoStandardFromName(NULL));
    EXPECT_EQ(0, StandardFamilyOf(AnalogVideo_NTSC_433));
    EXPECT_EQ(1, StandardFamilyOf(AnalogVideo_PAL_G));
    EXPECT_EQ(1, StandardFamilyOf(AnalogVideo_PAL_N_COMBO));
    EXPECT_EQ(2, StandardFamilyOf(AnalogVideo_SECAM_K1));
    EXPECT_EQ(3, StandardFamilyOf(0));
    // 525 lines: NTSC, and the PAL of Brazil's plan and PAL_60.
    EXPECT_EQ(333667, FrameTimeOf(AnalogVideo_NTSC_M));
    EXPECT_EQ(333667, FrameTimeOf(AnalogVideo_PAL_M));
    EXPECT_EQ(333667, FrameTimeOf(AnalogVideo_PAL_60));
    EXPECT_EQ(400000, FrameTimeOf(AnalogVideo_PAL_N));
    EXPECT_EQ(400000, FrameTimeOf(AnalogVideo_SECAM_D));
    EXPECT_EQ(400000, FrameTimeOf(0));
}

TEST(OsdLevels, LevelToCells)
{
    EXPECT_EQ(0, OsdLevelCells(0));
    EXPECT_EQ(1, OsdLevelCells(1));
    EXPECT_EQ(10, OsdLevelCells(50));
    EXPECT_EQ(20, OsdLevelCells(100));
    EXPECT_EQ(20, OsdLevelCells(250));
    EXPECT_EQ(0, OsdLevelCells(-30));
}

class CaptureGraphTest : public CaptureGraphFixture {};

TEST_F(CaptureGraphTest, DevicesOpenAndLeaveOnlyTheirFilters)
{
    COverlayGraph g;
    ASSERT_FALSE(g.Initialize(NULL));
    ASSERT_TRUE(g.Initialize(owner));
    ASSERT_TRUE(g.InitDevices(0));
    EXPECT_TRUE(Messages().empty());
    // The builder's tries downstream of the device are gone again.
    EXPECT_EQ("Audio Capture, Kestor TV Arden WDM Crossbar, Video Capture",
              Joined(FilterNames(g.GetGraph())));
    EXPECT_EQ(3, g.GetCrossbarInputCount());
    EXPECT_STREQ("Kestor TV Arden WDM Audio Capture", g.GetDeviceName());
    EXPECT_GT(settings.m_arrAudioLines.GetSize(), 0);
}

TEST_F(CaptureGraphTest, LevelsReachTheDevice)
{
    COverlayGraph g;
    ASSERT_TRUE(g.Initialize(owner));
    ASSERT_TRUE(g.InitDevices(0));
    g.ApplyVideoProcAmp(0, 0, 0, 0, 0, 100);
    EXPECT_EQ(0, DeviceLevel(g, VideoProcAmp_Brightness));
    EXPECT_EQ(0, DeviceLevel(g, VideoProcAmp_Contrast));
    EXPECT_EQ(-128, DeviceLevel(g, VideoProcAmp_Hue));
    EXPECT_EQ(0, DeviceLevel(g, VideoProcAmp_Saturation));
    EXPECT_EQ(-8, DeviceLevel(g, VideoProcAmp_Sharpness));
    g.ApplyVideoProcAmp(50, 50, 50, 50, 50, 100);
    EXPECT_EQ(127, DeviceLevel(g, VideoProcAmp_Brightness));
    EXPECT_EQ(63, DeviceLevel(g, VideoProcAmp_Contrast));
    EXPECT_EQ(-1, DeviceLevel(g, VideoProcAmp_Hue));
    EXPECT_EQ(-1, DeviceLevel(g, VideoProcAmp_Sharpness));
    g.ApplyVideoProcAmp(100, 100, 100, 100, 100, 100);
    EXPECT_EQ(255, DeviceLevel(g, VideoProcAmp_Brightness));
    EXPECT_EQ(127, DeviceLevel(g, VideoProcAmp_Hue));
    EXPECT_EQ(127, DeviceLevel(g, VideoProcAmp_Saturation));
    EXPECT_EQ(7, DeviceLevel(g, VideoProcAmp_Sharpness));
    EXPECT_TRUE(g.SetHue(49, 100));
    EXPECT_EQ(-4, DeviceLevel(g, VideoProcAmp_Hue));
    // Scale 0 is taken as 1: 1 of 1 is the top of the range.
    g.ApplyVideoProcAmp(0, 0, 1, 0, 0, 0);
    EXPECT_EQ(255, DeviceLevel(g, VideoProcAmp_Brightness));
}

TEST_F(CaptureGraphTest, EveryStandardNameReachesTheDecoder)
{
    COverlayGraph g;
    ASSERT_TRUE(g.Initialize(owner));
    ASSERT_TRUE(g.InitDevices(0));
    const char* const names[] = {"NTSC_M",  "NTSC_M_J", "NTSC_433", "PAL_B",   "PAL_D",
                                 "PAL_H",   "PAL_I",    "PAL_M",    "PAL_N",   "PAL_60",
                                 "PAL_N_COMBO", "SECAM_B", "SECAM_D", "SECAM_G", "SECAM_H",
                                 "SECAM_K", "SECAM_K1", "SECAM_L",  "SECAM_L1"};
    for (const char* name : names) {
        g.SetVideoStandard(name);
        EXPECT_EQ(VideoStandardFromName(name), DeviceStandard(g)) << name;
    }
    g.SetVideoStandard("NTSC_M");
    EXPECT_EQ(0, g.GetStandardFamily());
    g.SetVideoStandard("Martian");
    EXPECT_EQ(AnalogVideo_PAL_D, DeviceStandard(g));
    EXPECT_EQ(1, g.GetStandardFamily());
    // The decoder takes one standard at a time: the mask gives its first SECAM.
    g.SetVideoStandard("SECAM_MASK");
    EXPECT_EQ(AnalogVideo_SECAM_B, DeviceStandard(g));
    EXPECT_EQ(2, g.GetStandardFamily());
}

TEST_F(CaptureGraphTest, FiveHundredTwentyFiveLineStandardsConnectAtNtscRate)
{
    COverlayGraph g;
    ASSERT_TRUE(g.Initialize(owner));
    ASSERT_TRUE(g.InitDevices(0));
    const char* const names[] = {"NTSC_M", "PAL_M", "PAL_60", "PAL_D", "SECAM_K"};
    const REFERENCE_TIME times[] = {333667, 333667, 333667, 400000, 400000};
    for (int i = 0; i < 5; i++) {
        g.SetVideoStandard(names[i]);
        ASSERT_TRUE(g.SetVideoFormat(640, 480));
        EXPECT_EQ(times[i], ConnectedFrameTime(g, &PIN_CATEGORY_PREVIEW)) << names[i];
    }
    CRecordGraph r;
    ASSERT_TRUE(r.Initialize(owner));
    ASSERT_TRUE(r.InitDevices(0));
    r.SetVideoStandard("PAL_M");
    ASSERT_TRUE(r.SetVideoFormat(720, 480));
    EXPECT_EQ(333667, ConnectedFrameTime(r, &PIN_CATEGORY_CAPTURE));
}

TEST_F(CaptureGraphTest, SignalFollowsTheTunerAndTheInput)
{
    COverlayGraph g;
    EXPECT_FALSE(g.IsSignalLocked());  // no device: no signal
    ASSERT_TRUE(g.Initialize(owner));
    ASSERT_TRUE(g.InitDevices(0));
    ASSERT_TRUE(g.SelectInput(0));
    EXPECT_FALSE(g.IsSignalLocked());  // the tuner sits on no station
    // 49.75 MHz + the card's IF, in 62.5 kHz steps.
    int divider = (int)((49.75 + 38.875) * 16 + 0.5);
    BYTE tune[4] = {(BYTE)(divider >> 8), (BYTE)divider, 0xCE, 0x01};
    ASSERT_TRUE(CardI2CWrite(0xC0, tune, 4));
    EXPECT_TRUE(g.IsSignalLocked());
    ASSERT_TRUE(g.SelectInput(1));
    EXPECT_EQ(CARD_VIDEO_COMPOSITE, CardVideoInput());
    EXPECT_TRUE(g.IsSignalLocked());
}

TEST_F(CaptureGraphTest, TheCountrysStandardIsSetForTheTuner)
{
    settings.m_nInputSource = 1;
    settings.m_nCountryCode = 55;  // Brazil: PAL_M
    CString name;
    ASSERT_TRUE(GetCountryStandardName(55, name));
    COverlayGraph g;
    ASSERT_TRUE(g.Initialize(owner));
    ASSERT_TRUE(g.InitDevices(0));
    EXPECT_EQ(VideoStandardFromName(name), DeviceStandard(g)) << (LPCSTR)name;
}

TEST_F(CaptureGraphTest, NoDeviceListedIsAMessageAndNoGraph)
{
    settings.m_arrVideoDevices.RemoveAll();
    settings.m_szVideoDevice[0] = 0;
    COverlayGraph g;
    ASSERT_TRUE(g.Initialize(owner));
    EXPECT_FALSE(g.Open(0, 640, 480, 50, 50, 50, 50, 50));
    ASSERT_EQ(1u, Messages().size());
    EXPECT_EQ("Could not initialize the Capture device", Messages()[0]);
}

// Without the maker's deinterlacer registered no chain can be built: its
// message, Open fails, and nothing of the half-built chain runs.
TEST_F(CaptureGraphTest, AMissingMakersFilterIsItsMessageAndNoPreview)
{
    ComPtr<IBaseFilter> probe;
    if (SUCCEEDED(CoCreateInstance(CLSID_BrinmarchDeinterlacer, NULL, CLSCTX_INPROC_SERVER,
                                   IID_IBaseFilter, probe.OutVoid())))
        GTEST_SKIP() << "the deinterlacer is registered here";
    for (int kind = 0; kind < 2; kind++) {
        std::unique_ptr<CCaptureGraph> g;
        if (kind == 0)
            g.reset(new COverlayGraph);
        else
            g.reset(new CRecordGraph);
        boxes.Clear();
        ASSERT_TRUE(g->Initialize(owner));
        EXPECT_FALSE(g->Open(0, 640, 480, 50, 50, 50, 50, 50));
        ASSERT_EQ(1u, Messages().size());
        EXPECT_EQ("没有注册Brinmarch Deinterlacer 组件", Messages()[0]);
        EXPECT_FALSE(g->ConnectFilters());
        EXPECT_FALSE(g->ShowOsdText("12", 10, 10, LOGFONTA()));
        EXPECT_EQ(NULL, g->GrabFrameBitmap());
        EXPECT_EQ(0u, g->GetRecordedBytes());
        EXPECT_FALSE(Has(g->GetGraph(), L"Brinmarch Deinterlacer"));
    }
}

TEST_F(CaptureGraphTest, WithoutGraphControlEverythingIsRefused)
{
    COverlayGraph g;
    EXPECT_FALSE(g.Run());
    EXPECT_FALSE(g.Stop());
    EXPECT_FALSE(g.SetOwner(owner));
    EXPECT_FALSE(g.SetVideoPosition(0, 0, 10, 10));
    EXPECT_FALSE(g.InitDevices(0));
    EXPECT_FALSE(g.ShowPropertyPages());
    EXPECT_FALSE(g.SetOwnerWindow((HWND)(LONG_PTR)0x1234));
    EXPECT_EQ(NULL, g.GetOwnerWindow());
    EXPECT_TRUE(g.SetOwnerWindow(owner));
    EXPECT_EQ(3, g.GetStandardFamily());
    EXPECT_FALSE(g.SetBrightness(50, 100));
    EXPECT_TRUE(g.SetVolume(50));
    g.Close();
    EXPECT_TRUE(g.SetVolume(50));  // no mixer object any more: nothing happens
}

}  // namespace
