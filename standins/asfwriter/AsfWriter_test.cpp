// The ASF writer stand-in: the file it lays out read back, its interfaces,
// and a run in a graph fed by hand.
#include "AsfFile.h"
#include "AsfParse.h"
#include "AsfWriterFilter.h"
#include "CardState.h"
#include "TestSource.h"
#include <gtest/gtest.h>
#include <stdio.h>

namespace {

static const BOOL g_ownCard = SetEnvironmentVariableA("ORVIX_CARD", "asfwriter_test");

std::string Temp(const char* name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}
std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

std::string ReadAll(const std::string& path) {
    std::string d;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return d;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0) d.append(buf, n);
    fclose(f);
    return d;
}

// Bytes counting up, so that a lost or doubled byte shows.
void Counting(BYTE* data, long bytes, void* next) {
    for (long i = 0; i < bytes; i++) data[i] = (*static_cast<BYTE*>(next))++;
}

void ExpectWholeFile(const std::string& path, DWORD soundBytes) {
    std::string d = ReadAll(path);
    asf::AsfInfo info = asf::ParseAsf(d);
    ASSERT_TRUE(info.ok) << info.error;
    EXPECT_EQ(d.size(), info.fileSize);
    EXPECT_EQ(asf::kPacketSize, info.packetSize);
    EXPECT_EQ(info.packets, info.dataPackets);
    EXPECT_EQ(50 + info.packets * asf::kPacketSize, info.dataObjectSize);
    EXPECT_EQ(1, info.streams);
    EXPECT_EQ(1, info.audioStreams);
    EXPECT_EQ(WAVE_FORMAT_PCM, info.format.wFormatTag);
    EXPECT_EQ(2, info.format.nChannels);
    EXPECT_EQ(44100u, info.format.nSamplesPerSec);
    EXPECT_EQ(16, info.format.wBitsPerSample);
    EXPECT_EQ(soundBytes * 10000000ULL / 176400, info.playDuration);
    ASSERT_EQ(soundBytes, info.payload.size());
    for (DWORD i = 0; i < soundBytes; i++)
        if (info.payload[i] != static_cast<BYTE>(i)) {
            ADD_FAILURE() << "payload byte " << i;
            break;
        }
    for (size_t i = 1; i < info.times.size(); i++) EXPECT_GT(info.times[i], info.times[i - 1]);
}

TEST(AsfFile, PacketsCarryTheSoundInOrderAndTheHeaderCountsThem) {
    std::string path = Temp("asffile_test.wma");
    WAVEFORMATEX wf = {WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
    asf::AsfFileWriter w;
    ASSERT_TRUE(w.Open(Wide(path).c_str(), wf));
    std::vector<BYTE> block(10000);
    BYTE next = 0;
    for (int i = 0; i < 3; i++) {
        Counting(block.data(), 10000, &next);
        ASSERT_TRUE(w.Write(block.data(), 10000));
    }
    EXPECT_EQ(3u, w.Packets()) << "full packets go out as they fill";
    ASSERT_TRUE(w.Close());
    EXPECT_EQ(4u, w.Packets());
    ExpectWholeFile(path, 30000);
}

TEST(AsfFile, OnlyPcmIsWritten) {
    WAVEFORMATEX wf = {WAVE_FORMAT_IEEE_FLOAT, 2, 44100, 352800, 8, 32, 0};
    asf::AsfFileWriter w;
    EXPECT_FALSE(w.Open(Wide(Temp("asffile_float.wma")).c_str(), wf));
}

class AsfWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        (void)g_ownCard;
        CoInitialize(NULL);
        CardReset();
        writer = new asf::AsfWriterFilter();
        writer->AddRef();
    }
    void TearDown() override {
        writer->Release();
        CardReset();
        CoUninitialize();
    }
    asf::AsfWriterFilter* writer;
};

TEST_F(AsfWriterTest, NamesItsFileAndTakesTheRecordingProfile) {
    ds::ComPtr<IFileSinkFilter2> sink;
    ASSERT_EQ(S_OK, sink.QueryFrom(static_cast<IBaseFilter*>(writer), IID_IFileSinkFilter2));
    ASSERT_EQ(S_OK, sink->SetFileName(L"C:\\take.wma", NULL));
    LPOLESTR name = NULL;
    AM_MEDIA_TYPE mt;
    ASSERT_EQ(S_OK, sink->GetCurFile(&name, &mt));
    EXPECT_STREQ(L"C:\\take.wma", name);
    CoTaskMemFree(name);
    ASSERT_EQ(S_OK, sink->SetMode(AM_FILE_OVERWRITE));
    DWORD mode = 0;
    ASSERT_EQ(S_OK, sink->GetMode(&mode));
    EXPECT_EQ((DWORD)AM_FILE_OVERWRITE, mode);

    ds::ComPtr<IConfigAsfWriter> config;
    ASSERT_EQ(S_OK, config.QueryFrom(static_cast<IBaseFilter*>(writer), IID_IConfigAsfWriter));
    EXPECT_EQ(E_INVALIDARG, config->ConfigureFilterUsingProfileGuid(GUID_NULL));
    ASSERT_EQ(S_OK, config->ConfigureFilterUsingProfileGuid(WMProfile_AudioCapture));
    GUID profile = GUID_NULL;
    ASSERT_EQ(S_OK, config->GetCurrentProfileGuid(&profile));
    EXPECT_TRUE(IsEqualGUID(WMProfile_AudioCapture, profile));

    CardFailCall("AsfWriterSetMode", 1);
    EXPECT_EQ(E_FAIL, sink->SetMode(AM_FILE_OVERWRITE));
    CardFailCall("AsfWriterProfile", 1);
    EXPECT_EQ(E_FAIL, config->ConfigureFilterUsingProfileGuid(WMProfile_AudioCapture));
}

TEST_F(AsfWriterTest, WritesWhatItsInputReceivesUntilStopOrEndOfStream) {
    ds::ComPtr<IGraphBuilder> graph;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                     graph.OutVoid()));
    ds::TestSource* source = new ds::TestSource(44100, 16, 2);
    ds::ComPtr<IBaseFilter> holder(source);
    graph->AddFilter(source, L"source");
    graph->AddFilter(writer, L"WMA Dest");
    ASSERT_EQ(S_OK, graph->Render(source->Output())) << "the writer takes PCM";
    ds::ComPtr<IMediaControl> control;
    ASSERT_EQ(S_OK, control.QueryFrom(graph.Get(), IID_IMediaControl));
    ds::ComPtr<IFileSinkFilter2> sink;
    ASSERT_EQ(S_OK, sink.QueryFrom(static_cast<IBaseFilter*>(writer), IID_IFileSinkFilter2));

    std::string first = Temp("asfwriter_stop.wma"), second = Temp("asfwriter_eos.wma");
    ASSERT_EQ(S_OK, sink->SetFileName(Wide(first).c_str(), NULL));
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    BYTE next = 0;
    for (int i = 0; i < 5; i++) ASSERT_EQ(S_OK, source->Send(8820, Counting, &next));
    control->Stop();
    ExpectWholeFile(first, 5 * 8820);

    ASSERT_EQ(S_OK, sink->SetFileName(Wide(second).c_str(), NULL));
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    next = 0;
    ASSERT_EQ(S_OK, source->Send(4000, Counting, &next));
    ASSERT_EQ(S_OK, source->SendEndOfStream());
    ExpectWholeFile(second, 4000);
    control->Stop();
    graph->RemoveFilter(source);
    graph->RemoveFilter(writer);
}

TEST(AsfWriterDll, CreatedThroughComUnlessMadeToFail) {
    (void)g_ownCard;
    CoInitialize(NULL);
    CardReset();
    IBaseFilter* f = NULL;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_WMAsfWriterFilter, NULL, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                     (void**)&f));
    IPin* pin = NULL;
    EXPECT_EQ(S_OK, f->FindPin(L"Audio Input 01", &pin));
    if (pin) pin->Release();
    f->Release();
    CardFailCall("AsfWriter", 1);
    EXPECT_EQ(E_FAIL, CoCreateInstance(CLSID_WMAsfWriterFilter, NULL, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                       (void**)&f));
    CardReset();
    CoUninitialize();
}

}  // namespace
