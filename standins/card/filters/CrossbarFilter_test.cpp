// The crossbar: its pins as the application reads them and routing that
// lands in the card whichever crossbar object does it.
#include "CardTestSupport.h"
#include "CrossbarFilter.h"
#include <gtest/gtest.h>

using namespace cardtest;
using ds::ComPtr;

namespace {

class Crossbar : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, ds::CreateFilterObject<card::CrossbarFilter>(IID_IAMCrossbar, xbar.OutVoid()));
    }
    CardFixtureState card_;
    ComPtr<IAMCrossbar> xbar;
};

TEST_F(Crossbar, DescribesItsInputsOutputsAndRelatedPins) {
    LONG outputs = 0, inputs = 0;
    ASSERT_EQ(S_OK, xbar->get_PinCounts(&outputs, &inputs));
    EXPECT_EQ(2, outputs);
    EXPECT_EQ(5, inputs);
    const LONG types[5] = {PhysConn_Video_Tuner, PhysConn_Video_Composite, PhysConn_Video_SVideo,
                           PhysConn_Audio_Tuner, PhysConn_Audio_Line};
    LONG related, type;
    for (LONG i = 0; i < 5; i++) {
        ASSERT_EQ(S_OK, xbar->get_CrossbarPinInfo(TRUE, i, &related, &type));
        EXPECT_EQ(types[i], type);
    }
    xbar->get_CrossbarPinInfo(TRUE, 0, &related, &type);
    EXPECT_EQ(3, related);  // the tuner's sound
    xbar->get_CrossbarPinInfo(TRUE, 1, &related, &type);
    EXPECT_EQ(4, related);
    ASSERT_EQ(S_OK, xbar->get_CrossbarPinInfo(FALSE, 0, &related, &type));
    EXPECT_EQ(PhysConn_Video_VideoDecoder, type);
    EXPECT_EQ(1, related);
    ASSERT_EQ(S_OK, xbar->get_CrossbarPinInfo(FALSE, 1, &related, &type));
    EXPECT_EQ(PhysConn_Audio_AudioDecoder, type);
    EXPECT_EQ(0, related);
    EXPECT_EQ(E_INVALIDARG, xbar->get_CrossbarPinInfo(TRUE, 5, &related, &type));
    EXPECT_EQ(E_INVALIDARG, xbar->get_CrossbarPinInfo(FALSE, -1, &related, &type));

    // Pins enumerate inputs first, in index order, then the outputs.
    ComPtr<IBaseFilter> filter;
    ASSERT_EQ(S_OK, filter.QueryFrom(xbar.Get(), IID_IBaseFilter));
    ComPtr<IEnumPins> pins;
    ASSERT_EQ(S_OK, filter->EnumPins(pins.Out()));
    IPin* pin;
    PIN_DIRECTION dirs[7];
    int n = 0;
    while (n < 7 && pins->Next(1, &pin, NULL) == S_OK) {
        pin->QueryDirection(&dirs[n++]);
        pin->Release();
    }
    ASSERT_EQ(7, n);
    for (int i = 0; i < 7; i++) EXPECT_EQ(i < 5 ? PINDIR_INPUT : PINDIR_OUTPUT, dirs[i]);
}

TEST_F(Crossbar, RoutesEachVideoInputAndEachSoundIntoTheCard) {
    LONG routed = -2;
    for (LONG in = 0; in < 3; in++) {
        EXPECT_EQ(S_OK, xbar->CanRoute(0, in));
        EXPECT_EQ(S_FALSE, xbar->CanRoute(1, in));
        ASSERT_EQ(S_OK, xbar->Route(0, in));
        EXPECT_EQ(in, CardVideoInput());
        ASSERT_EQ(S_OK, xbar->get_IsRoutedTo(0, &routed));
        EXPECT_EQ(in, routed);
    }
    ASSERT_EQ(S_OK, xbar->Route(1, 4));
    EXPECT_EQ(CARD_AUDIO_LINE, CardAudioInput());
    ASSERT_EQ(S_OK, xbar->Route(1, 3));
    EXPECT_EQ(CARD_AUDIO_TUNER, CardAudioInput());
    xbar->get_IsRoutedTo(1, &routed);
    EXPECT_EQ(3, routed);
    ASSERT_EQ(S_OK, xbar->Route(1, -1));
    EXPECT_EQ(CARD_AUDIO_NONE, CardAudioInput());
    xbar->get_IsRoutedTo(1, &routed);
    EXPECT_EQ(-1, routed);

    // Refused routes leave the card as it was.
    EXPECT_NE(S_OK, xbar->Route(0, 3));
    EXPECT_NE(S_OK, xbar->Route(1, 0));
    EXPECT_EQ(E_INVALIDARG, xbar->Route(2, 0));
    EXPECT_EQ(E_INVALIDARG, xbar->Route(0, 5));
    EXPECT_EQ(CARD_VIDEO_SVIDEO, CardVideoInput());
    EXPECT_EQ(CARD_AUDIO_NONE, CardAudioInput());

    // Another crossbar object (another process, or one that left its graph)
    // sees and switches the same card.
    ComPtr<IAMCrossbar> other;
    ASSERT_EQ(S_OK, ds::CreateFilterObject<card::CrossbarFilter>(IID_IAMCrossbar, other.OutVoid()));
    other->get_IsRoutedTo(0, &routed);
    EXPECT_EQ(2, routed);
    other->Route(0, 0);
    xbar->get_IsRoutedTo(0, &routed);
    EXPECT_EQ(0, routed);
}

}  // namespace
