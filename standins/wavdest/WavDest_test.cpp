// WAV Dest between a PCM source the test feeds by hand and a sink that keeps
// what arrives: each block is stamped with its place in the file and followed
// by the header with the sizes so far.
#include "MediaType.h"
#include "SinkFilter.h"
#include "TestSource.h"
#include "WavDestFilter.h"
#include <gtest/gtest.h>
#include <string.h>

namespace {

void Fill(BYTE* data, long bytes, void* value) { memset(data, *static_cast<BYTE*>(value), bytes); }

// Sends one block of that many bytes, all of one value.
HRESULT Send(ds::TestSource* source, long bytes, BYTE value) { return source->Send(bytes, Fill, &value); }

IPin* PinOf(IBaseFilter* f, int index) {
    ds::ComPtr<IEnumPins> pins;
    f->EnumPins(pins.Out());
    IPin* pin = NULL;
    for (int i = 0; i <= index; i++) {
        if (pin) pin->Release();
        pin = NULL;
        if (pins->Next(1, &pin, NULL) != S_OK) return NULL;
    }
    return pin;  // the caller's reference
}

class WavDestTest : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitialize(NULL);
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                         graph.OutVoid()));
        source = new ds::TestSource(22050, 16, 1);
        source->AddRef();
        dest = new wavdest::WavDestFilter();
        dest->AddRef();
        sink = new ds::SinkFilter(GUID_NULL);
        sink->AddRef();
        graph->AddFilter(source, L"source");
        graph->AddFilter(dest, L"WAV Dest");
        graph->AddFilter(sink, L"sink");
    }
    void TearDown() override {
        if (control) control->Stop();
        control.Reset();
        graph.Reset();
        sink->Release();
        dest->Release();
        source->Release();
        CoUninitialize();
    }
    void Connect() {
        ds::ComPtr<IPin> in(PinOf(dest, 0), false), out(PinOf(dest, 1), false);
        ds::ComPtr<IPin> sinkIn(PinOf(sink, 0), false);
        ASSERT_EQ(S_OK, graph->ConnectDirect(source->Output(), in.Get(), NULL));
        ASSERT_EQ(S_OK, graph->ConnectDirect(out.Get(), sinkIn.Get(), NULL));
        ASSERT_EQ(S_OK, control.QueryFrom(graph.Get(), IID_IMediaControl));
        ASSERT_TRUE(SUCCEEDED(control->Run()));
    }
    ds::ComPtr<IGraphBuilder> graph;
    ds::ComPtr<IMediaControl> control;
    ds::TestSource* source;
    wavdest::WavDestFilter* dest;
    ds::SinkFilter* sink;
};

TEST(WavHeader, DescribesTheFormatAndTheSizes) {
    ds::MediaType pcm = ds::MakePcmType(44100, 16, 2);
    std::vector<BYTE> h = wavdest::MakeWavHeader(*pcm.Wave(), 1000);
    ASSERT_EQ(44u, h.size());
    EXPECT_EQ(0, memcmp(h.data(), "RIFF", 4));
    EXPECT_EQ(1036u, *reinterpret_cast<DWORD*>(&h[4]));
    EXPECT_EQ(0, memcmp(&h[8], "WAVEfmt ", 8));
    EXPECT_EQ(16u, *reinterpret_cast<DWORD*>(&h[16]));
    EXPECT_EQ(1, *reinterpret_cast<WORD*>(&h[20]));
    EXPECT_EQ(2, *reinterpret_cast<WORD*>(&h[22]));
    EXPECT_EQ(44100u, *reinterpret_cast<DWORD*>(&h[24]));
    EXPECT_EQ(176400u, *reinterpret_cast<DWORD*>(&h[28]));
    EXPECT_EQ(4, *reinterpret_cast<WORD*>(&h[32]));
    EXPECT_EQ(16, *reinterpret_cast<WORD*>(&h[34]));
    EXPECT_EQ(0, memcmp(&h[36], "data", 4));
    EXPECT_EQ(1000u, *reinterpret_cast<DWORD*>(&h[40]));
}

TEST_F(WavDestTest, OutputWaitsForTheInputAndCarriesAStream) {
    ds::ComPtr<IPin> out(PinOf(dest, 1), false), sinkIn(PinOf(sink, 0), false);
    EXPECT_TRUE(FAILED(graph->ConnectDirect(out.Get(), sinkIn.Get(), NULL)));
    Connect();
    {
        ds::MediaType mt = sink->ConnectedType();
        EXPECT_TRUE(IsEqualGUID(mt.majortype, MEDIATYPE_Stream));
        EXPECT_TRUE(IsEqualGUID(mt.subtype, MEDIASUBTYPE_WAVE));
    }
}

TEST_F(WavDestTest, BlocksAreStampedAsFileOffsetsEachFollowedByTheHeader) {
    Connect();
    ASSERT_EQ(S_OK, Send(source, 1000, 0x11));
    // Larger than one output buffer: two pieces, one header.
    ASSERT_EQ(S_OK, Send(source, 70000, 0x22));
    std::vector<ds::SampleRecord> r = sink->Records();
    ASSERT_EQ(5u, r.size());
    const REFERENCE_TIME want[5][2] = {{44, 1044}, {0, 44}, {1044, 1044 + 65536}, {1044 + 65536, 71044}, {0, 44}};
    for (int i = 0; i < 5; i++) {
        EXPECT_TRUE(r[i].hasTime);
        EXPECT_EQ(want[i][0], r[i].start) << i;
        EXPECT_EQ(want[i][1], r[i].stop) << i;
        EXPECT_EQ(want[i][1] - want[i][0], r[i].size) << i;
    }
    std::vector<BYTE> header = sink->LastSample();
    ASSERT_EQ(44u, header.size());
    EXPECT_EQ(71000u, *reinterpret_cast<DWORD*>(&header[40]));
    EXPECT_EQ(22050u, *reinterpret_cast<DWORD*>(&header[24]));
    EXPECT_EQ(71000u, dest->DataBytes());
}

TEST_F(WavDestTest, EndOfStreamSendsTheHeaderAndPassesOn) {
    Connect();
    ASSERT_EQ(S_OK, Send(source, 400, 0x33));
    sink->ClearRecords();
    ASSERT_EQ(S_OK, source->SendEndOfStream());
    std::vector<ds::SampleRecord> r = sink->Records();
    ASSERT_EQ(1u, r.size());
    EXPECT_EQ(0, r[0].start);
    EXPECT_TRUE(sink->EndOfStreamSeen());
    EXPECT_EQ(400u, *reinterpret_cast<DWORD*>(&sink->LastSample()[40]));
}

TEST_F(WavDestTest, NothingIsPassedOnOncePausedOnTheWayToAStop) {
    Connect();
    ASSERT_EQ(S_OK, Send(source, 400, 0x33));
    ASSERT_EQ(S_OK, control->Pause());
    sink->ClearRecords();
    ASSERT_EQ(S_OK, Send(source, 400, 0x44));
    EXPECT_TRUE(sink->Records().empty());
    EXPECT_EQ(400u, dest->DataBytes());
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    ASSERT_EQ(S_OK, Send(source, 400, 0x55));
    EXPECT_EQ(2u, sink->Records().size()) << "running again, blocks go on";
    EXPECT_EQ(800u, dest->DataBytes());
}

TEST_F(WavDestTest, ANewRunStartsANewFile) {
    Connect();
    ASSERT_EQ(S_OK, Send(source, 400, 0x33));
    control->Stop();
    sink->ClearRecords();
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    ASSERT_EQ(S_OK, Send(source, 200, 0x44));
    std::vector<ds::SampleRecord> r = sink->Records();
    ASSERT_EQ(2u, r.size());
    EXPECT_EQ(44, r[0].start);
    EXPECT_EQ(200u, *reinterpret_cast<DWORD*>(&sink->LastSample()[40]));
}

}  // namespace
