#include "CaptureTestEnv.h"
#include "AppSettings.h"
#include "AudioCaptureFilter.h"
#include "CaptureGraph.h"
#include "FixedText.h"
#include "Globals.h"
#include "TestSupport.h"
#include <mmreg.h>
#include <uuids.h>

static const char kCardAudio[] = "Kestor TV Arden WDM Audio Capture";

// A settings object behind g_pSettings for the length of a test.
class AudioTest : public GraphTest {
protected:
    void SetUp() override
    {
        GraphTest::SetUp();
        g_pSettings = &settings;
        settings.m_arrAudioDevices.Add(kCardAudio);
    }
    void TearDown() override
    {
        g_pSettings = NULL;
        g_pfnAudioLineListener = NULL;
        GraphTest::TearDown();
    }
    CAppSettings settings;
};

TEST_F(AudioTest, InputListComesFromTheInputPinsInOrder)
{
    CAudioCaptureFilter audio(graph, kCardAudio, "Audio Capture");
    ASSERT_TRUE(audio.Create());
    ASSERT_EQ(3, audio.GetInputCount());
    EXPECT_STREQ("Line In", audio.GetInputName(0));
    EXPECT_STREQ("Tuner", audio.GetInputName(1));
    EXPECT_STREQ("CD", audio.GetInputName(2));
    EXPECT_EQ((DWORD)'0', audio.GetInputData(0));
    EXPECT_EQ((DWORD)'2', audio.GetInputData(2));
    EXPECT_STREQ("", audio.GetInputName(3));
    EXPECT_EQ(0u, audio.GetInputData(-1));
    audio.SelectInput(7);   // out of range: ignored

    CAudioCaptureFilter missing(graph, "No Such Audio", "Audio Capture 2");
    EXPECT_FALSE(missing.Create());
    CAudioCaptureFilter noGraph(NULL, kCardAudio, "Audio Capture");
    EXPECT_FALSE(noGraph.Create());
}

TEST_F(AudioTest, SelectingALineEnablesItAtAutomaticGain)
{
    CAudioCaptureFilter audio(graph, kCardAudio, "Audio Capture");
    ASSERT_TRUE(audio.Create());
    audio.SelectInput(1);
    IPin* tuner = audio.FindPin(TRUE, "Tuner");
    ASSERT_NE(nullptr, tuner);
    ComPtr<IAMAudioInputMixer> mixer;
    ASSERT_EQ(S_OK, mixer.QueryFrom(tuner, IID_IAMAudioInputMixer));
    BOOL enabled = FALSE;
    double level = 0;
    EXPECT_EQ(S_OK, mixer->get_Enable(&enabled));
    EXPECT_TRUE(enabled);
    EXPECT_EQ(S_OK, mixer->get_MixLevel(&level));
    EXPECT_DOUBLE_EQ(AMF_AUTOMATICGAIN, level);
}

TEST_F(AudioTest, BufferingIsFortyMillisecondsOfTheFormat)
{
    EXPECT_EQ(7056, CaptureBufferBytes(176400));
    EXPECT_EQ(0, CaptureBufferBytes(0));

    CAudioCaptureFilter audio(graph, kCardAudio, "Audio Capture");
    ASSERT_TRUE(audio.Create());
    IPin* out = audio.FindPin(FALSE, NULL);
    ASSERT_NE(nullptr, out);
    // The suggestion is taken when the pin connects: render it and look.
    ASSERT_TRUE(SUCCEEDED(graph->Render(out)));
    ComPtr<IAMBufferNegotiation> neg;
    ASSERT_EQ(S_OK, neg.QueryFrom(out, IID_IAMBufferNegotiation));
    ALLOCATOR_PROPERTIES props = {};
    ASSERT_EQ(S_OK, neg->GetAllocatorProperties(&props));
    EXPECT_EQ(7056, props.cbBuffer);
}

TEST(WaveFormat, ShortBlocksAreNotReadPastTheirEnd)
{
    WAVEFORMATEX wfx = {};
    wfx.nAvgBytesPerSec = 176400;
    AM_MEDIA_TYPE mt = {};
    mt.pbFormat = (BYTE*)&wfx;
    mt.cbFormat = sizeof(wfx);
    EXPECT_EQ(176400u, WaveBytesPerSecond(&mt));
    mt.cbFormat = sizeof(wfx) - 1;
    EXPECT_EQ(0u, WaveBytesPerSecond(&mt));
    mt.pbFormat = NULL;
    EXPECT_EQ(0u, WaveBytesPerSecond(&mt));
    EXPECT_EQ(0u, WaveBytesPerSecond(NULL));
}

// The settings window stand-in: a window that records 877.
static HWND g_listener = NULL;
static HWND Listener() { return g_listener; }

TEST_F(AudioTest, LineInIsFoundByNameSavedAndAnnounced)
{
    EXPECT_TRUE(IsLineInName("Line In"));
    EXPECT_TRUE(IsLineInName("线路输入"));
    EXPECT_FALSE(IsLineInName("line in"));

    ts::WithTestWindow([&](HWND hwnd) {
        g_listener = hwnd;
        g_pfnAudioLineListener = Listener;
        SetFixedText(settings.m_szAudioLine, "Nowhere");
        CCaptureGraph capture;
        capture.SetGraph(graph);
        ASSERT_TRUE(capture.OpenAudioDevice());
        // The lines went to the settings, and the unknown saved name made the
        // line-in search run and save its result.
        ASSERT_EQ(3, settings.m_arrAudioLines.GetSize());
        EXPECT_STREQ("Tuner", settings.m_arrAudioLines[1].szName);
        EXPECT_EQ('1', settings.m_arrAudioLines[1].nType);
        EXPECT_STREQ("Line In", settings.m_szAudioLine);
        // The next graph's open lists the same lines, not twice as many.
        ASSERT_TRUE(capture.OpenAudioDevice());
        EXPECT_EQ(3, settings.m_arrAudioLines.GetSize());
        MSG msg;
        EXPECT_TRUE(PeekMessageA(&msg, hwnd, WM_SELECT_AUDIO_LINE, WM_SELECT_AUDIO_LINE, PM_REMOVE));

        // A saved name the device has is selected without a word to anybody.
        SetFixedText(settings.m_szAudioLine, "CD");
        capture.SelectAudioInput(settings.m_szAudioLine);
        EXPECT_STREQ("CD", settings.m_szAudioLine);
        EXPECT_FALSE(PeekMessageA(&msg, hwnd, WM_SELECT_AUDIO_LINE, WM_SELECT_AUDIO_LINE, PM_REMOVE));
        g_listener = NULL;
    });
}

TEST_F(AudioTest, NoAudioDeviceIsReportedButNotFatal)
{
    ts::MessageBoxRecorder boxes;
    settings.m_arrAudioDevices.RemoveAll();
    CCaptureGraph capture;
    capture.SetGraph(graph);
    EXPECT_FALSE(capture.OpenAudioDevice());
    settings.m_arrAudioDevices.Add("No Such Audio");
    EXPECT_FALSE(capture.OpenAudioDevice());
    ASSERT_EQ(2u, boxes.Calls().size());
    EXPECT_EQ("Could not initialize the Audio device", boxes.Calls()[1].text);
    EXPECT_TRUE(FilterNames().empty());
}
