// The test client as a user runs it: it records the tuned station's sound to
// WAV and WMA files and plays them back through Wavetrap.dll.
#include "AsfParse.h"
#include "AudioPlaybackGraph.h"
#include "CardState.h"
#include "TestSupport.h"
#include "WavetrapTestSupport.h"
#include <gtest/gtest.h>

namespace {

class ClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CardReset();
        dir = ts::FreshTempDir("wavetrap_client");
        DeleteFileA(wt::DllBoxLog().c_str());
    }
    void TearDown() override { CardReset(); }
    // Runs the client with these arguments; its exit code.
    DWORD Run(const std::string& args, DWORD timeoutMs = 30000)
    {
        ts::ChildProcess client;
        if (!client.Start(ts::ExeDir() + "WavetrapClient.exe " + args))
            return (DWORD)-1;
        return client.Wait(timeoutMs);
    }
    std::vector<std::string> Boxes() { return ts::ReadLines(wt::DllBoxLog()); }
    std::string dir;
};

void ExpectThreeSecondsOfTone(const std::string& path, int tone)
{
    wt::WavFile w = wt::ReadWav(path);
    ASSERT_TRUE(w.ok) << path << ": " << w.error;
    EXPECT_EQ(w.fileSize - 8, w.riffSize);
    EXPECT_EQ(w.fileSize - 44, w.dataSize);
    EXPECT_EQ(1, w.formatTag);
    EXPECT_EQ(2, w.channels);
    EXPECT_EQ(44100u, w.rate);
    EXPECT_EQ(16, w.bits);
    // The graph takes its time to start, and what is still in the capture
    // buffers at the stop is not written: on a machine busy with other
    // builds up to a second goes that way.
    double seconds = w.dataSize / 176400.0;
    EXPECT_GT(seconds, 1.5);
    EXPECT_LT(seconds, 3.8);
    EXPECT_EQ(tone, wt::StrongestTone(w.samples, 44100));
}

TEST_F(ClientTest, RecordsThreeSecondsOfTheTunedStationToWav)
{
    wt::TuneTo(49.75);  // the station with pattern 0
    ASSERT_EQ(0u, Run("record wav 3 " + dir + "first"));
    ExpectThreeSecondsOfTone(dir + "first.wav", wt::StationTone(0));
    wt::TuneTo(168.25);  // pattern 3
    ASSERT_EQ(0u, Run("--progid record wav 3 " + dir + "second.wav"));
    ExpectThreeSecondsOfTone(dir + "second.wav", wt::StationTone(3));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((dir + "second.wav.wav").c_str()));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(ClientTest, RecordsWithoutPreviewToo)
{
    wt::TuneTo(57.75);
    ASSERT_EQ(0u, Run("--no-preview record wav 2 " + dir + "quiet"));
    wt::WavFile w = wt::ReadWav(dir + "quiet.wav");
    ASSERT_TRUE(w.ok) << w.error;
    EXPECT_EQ(w.fileSize - 44, w.dataSize);
    EXPECT_EQ(wt::StationTone(1), wt::StrongestTone(w.samples, 44100));
}

TEST_F(ClientTest, RecordingIntoAMissingFolderIsRefused)
{
    EXPECT_EQ(1u, Run("record wav 1 " + dir + "nowhere\\take"));
    std::vector<std::string> boxes = Boxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Information!\tThis file path does not exist!\t0x40", boxes[0]);
}

TEST_F(ClientTest, PlayingAMissingFileIsRefused)
{
    EXPECT_EQ(1u, Run("play " + dir + "missing.wav"));
    std::vector<std::string> boxes = Boxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Information!\tThis file does not exist!\t0x40", boxes[0]);
}

TEST_F(ClientTest, PlaysARecordingToItsEnd)
{
    wt::TuneTo(49.75);
    ASSERT_EQ(0u, Run("record wav 1 " + dir + "short"));
    EXPECT_EQ(0u, Run("play " + dir + "short.wav"));
    EXPECT_TRUE(Boxes().empty());
}

// "WMA" recordings are ASF files of uncompressed PCM, which Wine reads
// through its ASF demuxer.
TEST_F(ClientTest, RecordsWmaAndPlaysItToTheEnd)
{
    wt::TuneTo(192.25);  // pattern 4
    ASSERT_EQ(0u, Run("record wma 3 " + dir + "take"));
    std::string file = wt::ReadFileBytes(dir + "take.wma");
    asf::AsfInfo info = asf::ParseAsf(file);
    ASSERT_TRUE(info.ok) << info.error;
    EXPECT_EQ(file.size(), info.fileSize);
    EXPECT_EQ(info.packets, info.dataPackets);
    EXPECT_EQ(file.size(), 276 + info.dataObjectSize) << "header, then the data object to the end";
    EXPECT_EQ(1, info.streams);
    EXPECT_EQ(1, info.audioStreams);
    const WAVEFORMATEX cardFormat = {WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
    EXPECT_EQ(0, memcmp(&cardFormat, &info.format, 16)) << "the card's PCM format";
    double seconds = info.payload.size() / 176400.0;
    EXPECT_GT(seconds, 1.5);
    EXPECT_LT(seconds, 3.8);
    EXPECT_NEAR(seconds, info.playDuration / 1e7, 0.001);
    std::vector<short> samples(info.payload.size() / 2);
    memcpy(samples.data(), info.payload.data(), samples.size() * 2);
    EXPECT_EQ(wt::StationTone(4), wt::StrongestTone(samples, 44100));

    EXPECT_EQ(0u, Run("play " + dir + "take.wma"));
    EXPECT_TRUE(Boxes().empty());

    // In process: at the end of the stream the graph is gone.
    CoInitialize(NULL);
    {
        CAudioPlaybackGraph playback;
        ASSERT_TRUE(playback.InitPlayback());
        ASSERT_TRUE(playback.SetPlayFileName(wt::Wide(dir + "take.wma").c_str()));
        ASSERT_TRUE(playback.Play());
        EXPECT_TRUE(ts::PumpUntil([&] { return playback.HandlePlaybackEvent() != FALSE; }, 15000));
        EXPECT_TRUE(playback.GetGraph() == NULL);
    }
    CoUninitialize();
}

}  // namespace
