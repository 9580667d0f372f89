#include "CaptureTestEnv.h"
#include "AppSettings.h"
#include "CaptureGraph.h"
#include "Crossbar.h"
#include "Globals.h"
#include "TestSupport.h"

class CrossbarTest : public GraphTest {
protected:
    void SetUp() override
    {
        GraphTest::SetUp();
        g_pSettings = &settings;
        settings.m_arrVideoDevices.Add("Some Webcam");
        settings.m_arrVideoDevices.Add("Kestor TV Arden WDM Video CaptureA");
        settings.m_arrVideoDevices.Add("Another Camera");
        capture.SetGraph(graph);
    }
    void TearDown() override
    {
        g_pSettings = NULL;
        GraphTest::TearDown();
    }
    CAppSettings settings;
    CCaptureGraph capture;
};

TEST_F(CrossbarTest, TheCardHasThreeVideoRoutes)
{
    // The preferred name wins over list order, and is saved.
    ASSERT_TRUE(capture.SelectVideoDevice());
    EXPECT_STREQ("Kestor TV Arden WDM Video CaptureA", settings.m_szVideoDevice);
    ASSERT_TRUE(capture.LocateCrossbar());
    ASSERT_EQ(3, capture.GetCrossbarInputCount());
    CCrossbar* xbar = capture.GetCrossbar();
    LONG types[3] = {};
    char name[32];
    for (int i = 0; i < 3; i++)
        ASSERT_EQ(S_OK, xbar->GetInputType(i, &types[i]));
    EXPECT_EQ(PhysConn_Video_Tuner, types[0]);
    EXPECT_EQ(PhysConn_Video_Composite, types[1]);
    EXPECT_EQ(PhysConn_Video_SVideo, types[2]);
    ASSERT_EQ(S_OK, xbar->GetInputName(2, name, sizeof(name)));
    EXPECT_STREQ("Video SVideo", name);
    ASSERT_EQ(S_OK, xbar->GetInputName(0, name, 6));
    EXPECT_STREQ("Video", name);   // cut to the buffer

    // Out of range: a clean failure, the current route unchanged.
    EXPECT_EQ(E_FAIL, xbar->SetInputIndex(3));
    EXPECT_EQ(E_FAIL, xbar->SetInputIndex(-1));
    EXPECT_EQ(E_FAIL, xbar->GetInputName(3, name, sizeof(name)));
    LONG type;
    EXPECT_EQ(E_FAIL, xbar->GetInputType(9, &type));
}

TEST_F(CrossbarTest, SelectInputRoutesVideoAndItsAudio)
{
    ASSERT_TRUE(capture.SelectVideoDevice());
    ASSERT_TRUE(capture.LocateCrossbar());
    ComPtr<IAMCrossbar> xbar;
    {
        ComPtr<IEnumFilters> filters;
        graph->EnumFilters(filters.Out());
        IBaseFilter* f = NULL;
        while (!xbar && filters->Next(1, &f, NULL) == S_OK) {
            xbar.QueryFrom(f, IID_IAMCrossbar);
            f->Release();
        }
    }
    ASSERT_TRUE(xbar);
    long outs = 0, ins = 0;
    ASSERT_EQ(S_OK, xbar->get_PinCounts(&outs, &ins));
    // Outputs: video decoder, audio decoder; find the audio one by its type.
    long audioOut = -1;
    for (long o = 0; o < outs; o++) {
        long related, t;
        if (SUCCEEDED(xbar->get_CrossbarPinInfo(FALSE, o, &related, &t)) &&
            t == PhysConn_Audio_AudioDecoder)
            audioOut = o;
    }
    ASSERT_GE(audioOut, 0);
    for (int input = 2; input >= 0; input--) {
        ASSERT_TRUE(capture.SelectInput(input));
        long videoIn = -1, audioIn = -1, t, related;
        xbar->get_IsRoutedTo(0, &videoIn);
        xbar->get_IsRoutedTo(audioOut, &audioIn);
        xbar->get_CrossbarPinInfo(TRUE, videoIn, &related, &t);
        EXPECT_EQ(input == 0 ? PhysConn_Video_Tuner : input == 1 ? PhysConn_Video_Composite
                                                                 : PhysConn_Video_SVideo, t);
        EXPECT_EQ(related, audioIn);   // the audio follows the video
    }
    // An unknown input number takes the first route.
    ASSERT_TRUE(capture.SelectInput(7));
    EXPECT_EQ(0, capture.GetCrossbar()->GetCurrentIndex());
}

TEST_F(CrossbarTest, WithoutACrossbarInputSelectionFails)
{
    EXPECT_FALSE(capture.SelectInput(0));
    EXPECT_FALSE(capture.LocateCrossbar());
}

TEST_F(CrossbarTest, DeviceChoiceFallsBackToTheFirstName)
{
    ts::MessageBoxRecorder boxes;
    settings.m_arrVideoDevices.RemoveAll();
    EXPECT_FALSE(capture.SelectVideoDevice());
    ASSERT_EQ(1u, boxes.Calls().size());
    EXPECT_EQ("Could not initialize the Capture device", boxes.Calls()[0].text);

    settings.m_arrVideoDevices.Add("Some Webcam");
    settings.m_arrVideoDevices.Add("Another Camera");
    EXPECT_FALSE(capture.SelectVideoDevice());   // chosen, saved, but not there
    EXPECT_STREQ("Some Webcam", settings.m_szVideoDevice);
    EXPECT_TRUE(FilterNames().empty());
}

TEST(CrossbarTypes, EveryTypeHasItsText)
{
    EXPECT_STREQ("Video Tuner", CCrossbar::TypeName(1));
    EXPECT_STREQ("Video Encoder", CCrossbar::TypeName(13));
    EXPECT_STREQ("Audio Tuner", CCrossbar::TypeName(4096));
    EXPECT_STREQ("Audio Decoder", CCrossbar::TypeName(4105));
    EXPECT_STREQ("Unknown", CCrossbar::TypeName(14));
    EXPECT_STREQ("Unknown", CCrossbar::TypeName(0));
}
