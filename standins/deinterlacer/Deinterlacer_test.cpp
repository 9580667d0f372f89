// The deinterlacer in a graph between a test source and a sink: what comes
// out frame by frame, and what the transform base passes on beside the frames.
#include "Deinterlacer.h"
#include "FilterRig.h"
#include <gtest/gtest.h>

namespace {

const int kW = 16, kH = 8;

struct DeinterlacerTest : testing::Test {
    void SetUp() override { CoInitialize(NULL); }
    void TearDown() override { CoUninitialize(); }
};

ds::MediaType Yuy2(int w, int h) {
    return ds::MakeVideoType(MEDIASUBTYPE_YUY2, MAKEFOURCC('Y', 'U', 'Y', '2'), 16, w, h, 400000);
}

// Rows alternate between two pictures: what a moving edge looks like when two
// fields meet in one frame.
std::vector<BYTE> Comb(BYTE a, BYTE b) {
    std::vector<BYTE> f(kW * kH * 2);
    for (int r = 0; r < kH; r++)
        for (int i = 0; i < kW * 2; i++) f[r * kW * 2 + i] = (r & 1) ? b : a;
    return f;
}

}  // namespace

TEST(Deinterlace, CombIsFlattenedAndFlatAreasStayExact) {
    std::vector<BYTE> comb = Comb(200, 40), out(comb.size());
    deint::Deinterlace(comb.data(), out.data(), kW * 2, kH);
    // Inside, every row is the mean of both fields; the border rows lean to
    // their own field, having one neighbour only.
    for (int r = 1; r < kH - 1; r++) EXPECT_EQ(120, out[r * kW * 2 + 3]) << r;
    EXPECT_EQ((200 * 3 + 40 + 2) / 4, out[0]);
    EXPECT_EQ((40 * 3 + 200 + 2) / 4, out[(kH - 1) * kW * 2]);

    std::vector<BYTE> flat(comb.size());
    for (size_t i = 0; i < flat.size(); i++) flat[i] = static_cast<BYTE>(i % (kW * 2) * 7);
    deint::Deinterlace(flat.data(), out.data(), kW * 2, kH);
    EXPECT_EQ(flat, out);  // columns differ, rows are alike: nothing changes
}

TEST_F(DeinterlacerTest, FramesGoThroughWithTheirTimesAndTheStreamEnds) {
    LONG before = ds::LiveObjects();
    {
        ds::ComPtr<IBaseFilter> filter;
        ASSERT_EQ(S_OK, ds::CreateFilterObject<deint::DeinterlaceFilter>(IID_IBaseFilter, filter.OutVoid()));
        ds::FilterRig rig(Yuy2(kW, kH));
        ASSERT_EQ(S_OK, rig.Connect(filter.Get()));
        ds::MediaType out = rig.Sink()->ConnectedType();
        EXPECT_TRUE(ds::EqualMediaType(out, Yuy2(kW, kH)));

        ASSERT_TRUE(SUCCEEDED(rig.Run()));
        ASSERT_EQ(S_OK, rig.Send(Comb(10, 250), 400000, 800000));
        ASSERT_EQ(1, rig.Sink()->SampleCount());
        std::vector<BYTE> got = rig.Sink()->LastSample();
        ASSERT_EQ(size_t(kW * kH * 2), got.size());
        EXPECT_EQ(130, got[3 * kW * 2 + 5]);
        std::vector<ds::SampleRecord> rec = rig.Sink()->Records();
        ASSERT_TRUE(rec[0].hasTime);
        EXPECT_EQ(400000, rec[0].start);
        EXPECT_EQ(800000, rec[0].stop);

        // A frame too short for the agreed size is dropped, not read past.
        EXPECT_EQ(S_OK, rig.Send(std::vector<BYTE>(10, 0)));
        EXPECT_EQ(1, rig.Sink()->SampleCount());
        EXPECT_EQ(S_OK, rig.Source()->SendEndOfStream());
        EXPECT_TRUE(rig.Sink()->EndOfStreamSeen());

        // Types of another size or kind do not connect.
        rig.Stop();
        ds::ComPtr<IPin> in = ds::FirstPin(filter.Get(), PINDIR_INPUT);
        ds::MediaType odd = Yuy2(kW + 1, kH), wide = Yuy2(kW * 2, kH);
        EXPECT_EQ(S_FALSE, in->QueryAccept(&odd));
        ds::MediaType rgb = ds::MakeVideoType(MEDIASUBTYPE_RGB32, BI_RGB, 32, kW, kH, 400000);
        EXPECT_EQ(S_FALSE, in->QueryAccept(&rgb));
        ds::ComPtr<IPin> outPin = ds::FirstPin(filter.Get(), PINDIR_OUTPUT);
        EXPECT_EQ(S_FALSE, outPin->QueryAccept(&wide));
    }
    EXPECT_EQ(before, ds::LiveObjects());
}

TEST_F(DeinterlacerTest, FlushReachesTheSinkAndFramesFollowIt) {
    ds::ComPtr<IBaseFilter> filter;
    ASSERT_EQ(S_OK, ds::CreateFilterObject<deint::DeinterlaceFilter>(IID_IBaseFilter, filter.OutVoid()));
    ds::FilterRig rig(Yuy2(kW, kH));
    ASSERT_EQ(S_OK, rig.Connect(filter.Get()));
    ASSERT_TRUE(SUCCEEDED(rig.Run()));
    ds::ComPtr<IPin> in = ds::FirstPin(filter.Get(), PINDIR_INPUT);
    ASSERT_EQ(S_OK, in->BeginFlush());
    EXPECT_EQ(S_FALSE, rig.Send(Comb(1, 2)));  // refused while flushing
    ASSERT_EQ(S_OK, in->EndFlush());
    EXPECT_EQ(0, rig.Sink()->SampleCount());
    EXPECT_EQ(S_OK, rig.Send(Comb(1, 2)));
    EXPECT_EQ(1, rig.Sink()->SampleCount());
}
