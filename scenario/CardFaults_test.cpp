// OrvixPlus.exe while the card fails under it: the card taken away during
// the preview, the tuner's I2C writes failing, the disk filling during a
// recording, the audio device missing. Each time
// the program stays up, says what its message says, and comes back to live
// TV once the card allows.
#include <gtest/gtest.h>
#include <windows.h>
#include <math.h>
#include <stdio.h>
#include "CardCtl.h"
#include "StationPicture.h"
#include "TvFreeSpace.h"
#include "TvProgramRun.h"

namespace {

const BOOL g_ownCard = SetEnvironmentVariableA("ORVIX_CARD", "card_faults_test");

const char kRecordFailed[] = "error\t录制不成功!\t";
const char kDiskFull[] = "error\t录制的磁盘空间不足\t";
const char kNoAudio[] = "Orvix Plus\tCould not initialize the Audio device\t";

class CardFaults : public tv::ProgramRun {
protected:
    void SetUp() override
    {
        ProgramRun::SetUp();
        ASSERT_TRUE(MakeFolder("card-faults"));
    }

    // Up on the saved cable channel 1 with its station's live picture.
    void Up(std::vector<std::string> env = {})
    {
        ASSERT_TRUE(StartAndWait(env)) << "OrvixPlus did not come up";
        ASSERT_TRUE(Tuned(49.75));
        ASSERT_TRUE(Shows("Harbour News"));
    }

    bool Tuned(double mhz, DWORD ms = 10000)
    {
        return ts::PumpUntil([&] { return fabs(CardCtl_TunedFrequency() - mhz) < 0.01; }, ms);
    }

    ::testing::AssertionResult Shows(const char* station) { return scenario::WindowShows(video_, station); }

    // Still answering, and live TV moving in its window.
    void Working()
    {
        DWORD_PTR r = 0;
        ASSERT_TRUE(child_.Running()) << "OrvixPlus ended";
        ASSERT_TRUE(SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &r)) << "OrvixPlus hangs";
        EXPECT_TRUE(scenario::PictureMoves(video_)) << "no live picture";
    }

    // The record press (remote 20) and a cap file growing.
    bool RecordInto(const char* name)
    {
        Remote(20);
        std::string path = dir_ + name;
        DWORD last = 0;
        return ts::PumpUntil([&] {
            DWORD size = tv::FileSize(path);
            bool grew = size != (DWORD)-1 && last > 0 && size > last;
            if (size != (DWORD)-1)
                last = size;
            return grew;
        }, 10000);
    }

    bool StopsGrowing(const char* name)
    {
        DWORD before = tv::FileSize(dir_ + name);
        ts::PumpFor(1500);
        return tv::FileSize(dir_ + name) == before;
    }

    // A recording that ended is closed: its last bytes are the end code.
    bool Whole(const char* name)
    {
        std::string mpg = tv::ReadFileBytes(dir_ + name);
        return mpg.size() > 4 && mpg.substr(mpg.size() - 4) == std::string("\0\0\1\xB9", 4);
    }

    void Close()
    {
        Remote(18);
        EXPECT_EQ(0u, child_.Wait(15000)) << "OrvixPlus did not close";
        EXPECT_EQ(0, CardCtl_LiveObjects()) << "driver objects left behind";
    }
};

}  // namespace

TEST_F(CardFaults, TheCardGoneDuringThePreviewAndBack)
{
    Up();
    ASSERT_EQ(1, CardCtl_SetDeviceCount(0));
    ts::PumpFor(500);
    Sync();
    // Nothing reaches a card that is not there, and nothing says so.
    Click("NEXT_CHANNELS");
    EXPECT_TRUE(Tuned(49.75, 0)) << "a tuner write reached the missing card";
    EXPECT_TRUE(Boxes().empty()) << ts::Gbk(Boxes()[0]);
    // A recording cannot start without the card: the failed start's message.
    Remote(20);
    EXPECT_EQ(1, BoxesWith(kRecordFailed));
    ASSERT_TRUE(child_.Running());

    ASSERT_EQ(1, CardCtl_SetDeviceCount(1));
    Click("TV");
    Working();
    ASSERT_TRUE(RecordInto("cap00.mpg")) << "no recording with the card back";
    Remote(20);
    EXPECT_TRUE(StopsGrowing("cap00.mpg"));
    EXPECT_TRUE(Whole("cap00.mpg"));
    Working();
    Close();
}

TEST_F(CardFaults, TheTunerWritesFailingAndMendedAgain)
{
    Up();
    ASSERT_EQ(1, CardCtl_FailCall("I2CWrite", -1));
    Click("NEXT_CHANNELS");
    EXPECT_TRUE(Tuned(49.75, 0));
    EXPECT_TRUE(Boxes().empty()) << ts::Gbk(Boxes()[0]);
    Working();
    EXPECT_TRUE(Shows("Harbour News"));

    ASSERT_EQ(1, CardCtl_FailCall("I2CWrite", 0));
    // The failed step counted as made (channel 2): the next one is channel 3.
    Click("NEXT_CHANNELS");
    EXPECT_TRUE(Tuned(65.75));
    Click("NEXT_CHANNELS");
    EXPECT_TRUE(Tuned(77.25));
    EXPECT_TRUE(Shows("Pearl Drama"));
    Close();
}

TEST_F(CardFaults, TheDiskFillingDuringARecording)
{
    tv::FreeSpaceFile space(dir_ + "space.txt");
    ASSERT_TRUE(space.Set("*=1000"));
    // The minute's disk check comes every second.
    Up({space.Env(), "ORVIX_TIMER_DIVISOR=60"});
    ASSERT_TRUE(RecordInto("cap00.mpg"));
    ASSERT_TRUE(space.Set("*=20"));
    EXPECT_TRUE(ts::PumpUntil([&] { return BoxesWith(kDiskFull) == 1; }, 10000)) << "no disk-full message";
    Sync();
    EXPECT_TRUE(StopsGrowing("cap00.mpg")) << "still recording on a full disk";
    EXPECT_TRUE(Whole("cap00.mpg")) << "the stopped recording is not closed";
    Working();
    // Refused while full, recorded once there is room again.
    Remote(20);
    EXPECT_EQ(2, BoxesWith(kDiskFull));
    ASSERT_TRUE(space.Set("*=1000"));
    ASSERT_TRUE(RecordInto("cap01.mpg"));
    Remote(20);
    Working();
    Close();
}

TEST_F(CardFaults, TheAudioDeviceMissing)
{
    Up();
    // The audio device stops opening: the next graph says so once and goes
    // on with the picture alone.
    ASSERT_EQ(1, CardCtl_FailCall("AudioCapture", -1));
    ASSERT_TRUE(RecordInto("cap00.mpg")) << "no picture-only recording";
    EXPECT_EQ(1, BoxesWith(kNoAudio));
    Remote(20);
    EXPECT_TRUE(Whole("cap00.mpg"));
    Working();
    ASSERT_EQ(1, CardCtl_FailCall("AudioCapture", 0));
    ASSERT_TRUE(RecordInto("cap01.mpg"));
    Remote(20);
    Working();
    size_t boxes = Boxes().size();
    Close();
    EXPECT_EQ(boxes, Boxes().size());
}
