// The invert filter's three modes, the card's shared state choosing between
// them while frames flow.
#include "CardState.h"
#include "FilterRig.h"
#include "VideoInvert.h"
#include <gtest/gtest.h>

namespace {

// A card of this test's own: the invert mode is shared by every process.
const BOOL g_ownCard = SetEnvironmentVariableA("ORVIX_CARD", "videoinvert_test");
const int kW = 4, kH = 3;

// Row r, byte i: a value that tells rows and bytes apart.
std::vector<BYTE> Picture() {
    std::vector<BYTE> f(kW * kH * 2);
    for (int r = 0; r < kH; r++)
        for (int i = 0; i < kW * 2; i++) f[r * kW * 2 + i] = static_cast<BYTE>(r * 50 + i);
    return f;
}

}  // namespace

TEST(VideoInvert, FollowsTheCardsModeFrameByFrame) {
    CoInitialize(NULL);
    CardReset();
    LONG before = ds::LiveObjects();
    {
        ds::ComPtr<IBaseFilter> filter;
        ASSERT_EQ(S_OK, ds::CreateFilterObject<vinvert::VideoInvertFilter>(IID_IBaseFilter, filter.OutVoid()));
        ds::FilterRig rig(ds::MakeVideoType(MEDIASUBTYPE_YUY2, MAKEFOURCC('Y', 'U', 'Y', '2'), 16, kW, kH, 400000));
        ASSERT_EQ(S_OK, rig.Connect(filter.Get()));
        ASSERT_TRUE(SUCCEEDED(rig.Run()));
        std::vector<BYTE> pic = Picture();

        // Off by default: nothing in the product switches it.
        ASSERT_EQ(S_OK, rig.Send(pic));
        EXPECT_EQ(pic, rig.Sink()->LastSample());

        CardSetInvertMode(CARD_INVERT_FLIP);
        ASSERT_EQ(S_OK, rig.Send(pic));
        std::vector<BYTE> got = rig.Sink()->LastSample();
        for (int r = 0; r < kH; r++)
            EXPECT_EQ(0, memcmp(&got[r * kW * 2], &pic[(kH - 1 - r) * kW * 2], kW * 2)) << r;

        CardSetInvertMode(CARD_INVERT_NEGATIVE);
        ASSERT_EQ(S_OK, rig.Send(pic));
        got = rig.Sink()->LastSample();
        EXPECT_EQ(255, got[0]);           // Y 0
        EXPECT_EQ(255, got[1]);           // U 1 has no mirror below 256
        EXPECT_EQ(255 - 100, got[2 * kW * 2]);
        EXPECT_EQ(256 - 101, got[2 * kW * 2 + 1]);
        CardSetInvertMode(7);  // ignored
        EXPECT_EQ(CARD_INVERT_NEGATIVE, CardInvertMode());
        CardReset();
    }
    EXPECT_EQ(before, ds::LiveObjects());
    CoUninitialize();
}

TEST(VideoInvert, GreyStaysColourlessInTheNegative) {
    BYTE grey[4] = {16, 128, 235, 128}, out[4];
    vinvert::InvertYuy2(grey, out, 2, 1, CARD_INVERT_NEGATIVE);
    EXPECT_EQ(239, out[0]);
    EXPECT_EQ(128, out[1]);
    EXPECT_EQ(20, out[2]);
    EXPECT_EQ(128, out[3]);
}
