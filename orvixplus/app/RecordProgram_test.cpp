// Recording, the disk-space guard, snapshots and playback in OrvixPlus.exe
// itself, driven by Timewarden's remote message and the skin's buttons, with
// the test's own simulated card and the recorder stand-in.
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <map>
#include "CardCtl.h"
#include "RecordProgramRun.h"
#include "TvFreeSpace.h"

namespace {

const BOOL g_ownCard = SetEnvironmentVariableA("ORVIX_CARD", "orvixplus_record_test");

class RecordProgram : public tv::RecordRun {
protected:
    void SetUp() override
    {
        RecordRun::SetUp();
        ASSERT_TRUE(MakeRecordFolder("orvixplus-record"));
    }

    void Close()
    {
        Remote(18);
        EXPECT_EQ(0u, child_.Wait(10000));
    }

    // Records with remote 20 and waits until the file has grown.
    bool RecordInto(const std::string& name)
    {
        Remote(20);
        return Grows(recDir_ + name, 10000);
    }
};

}  // namespace

TEST_F(RecordProgram, RecordsIntoTheNextFreeFileShowsItsSizeAndStopsBackToLiveViewing)
{
    ASSERT_TRUE(StartAndWait({"ORVIX_DISK_FREE_MB=*=100"}));
    ASSERT_TRUE(PictureMoves());
    ASSERT_TRUE(RecordInto("cap00.mpg")) << "no growing cap00.mpg";
    // The size label follows the recorder's count within a tick.
    std::string size;
    ASSERT_TRUE(ts::PumpUntil([&] {
        size = LabelText("timer_filesize");
        return size.find("Size: ") == 0 && size != "Size: 0.00MB";
    }, 5000)) << size;
    ASSERT_EQ(0u, size.find("Size: "));
    EXPECT_EQ("MB", size.substr(size.size() - 2));

    Remote(20);
    DWORD stopped = tv::FileSize(recDir_ + "cap00.mpg");
    ts::PumpFor(1500);
    EXPECT_EQ(stopped, tv::FileSize(recDir_ + "cap00.mpg")) << "still recording after the stop";
    double shownMB = atof(size.c_str() + 6);
    EXPECT_LE(shownMB, stopped / 1048576.0 + 0.01);
    EXPECT_TRUE(PictureMoves()) << "no live picture after the stop";

    // The next recording takes the next name.
    ASSERT_TRUE(RecordInto("cap01.mpg"));
    Remote(20);
    EXPECT_TRUE(Boxes().empty()) << ts::Gbk(Boxes()[0]);
    Close();
    EXPECT_EQ((std::vector<std::string>{"cap00.mpg", "cap01.mpg"}), Files(recDir_, "*.mpg"));
    EXPECT_EQ(0, CardCtl_LiveObjects());
}

TEST_F(RecordProgram, CompositeRecordsToo)
{
    settings_.nInputSource = 3;
    ASSERT_TRUE(StartAndWait({"ORVIX_DISK_FREE_MB=*=5242880"}));
    ASSERT_TRUE(RecordInto("cap00.mpg"));
    Remote(20);
    EXPECT_TRUE(PictureMoves());
    ASSERT_TRUE(RecordInto("cap01.mpg")) << "the second press after a stop records again";
    Remote(20);
    Close();
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(RecordProgram, AFailedStartOrStopReturnsToLiveViewingAndTheNextPressRecords)
{
    ASSERT_TRUE(StartAndWait({"ORVIX_DISK_FREE_MB=*=1000"}));
    ASSERT_TRUE(PictureMoves());

    // The recording graph cannot be built: a filter of its chain is refused once.
    ASSERT_EQ(1, CardCtl_FailCall("VideoInvert.Create", 1));
    Remote(20);
    EXPECT_EQ(1, BoxesWith("error\t录制不成功!\t"));
    EXPECT_TRUE(Files(recDir_, "*.mpg").empty());
    EXPECT_TRUE(PictureMoves()) << "no preview after the failed start";

    ASSERT_TRUE(RecordInto("cap00.mpg")) << "the press after failed starts records";

    // The preview cannot be built at the stop (its display filter is refused
    // once): the recording ends all the same.
    size_t boxes = Boxes().size();
    ASSERT_EQ(1, CardCtl_FailCall("Osd.Create", 1));
    Remote(20);
    DWORD stopped = tv::FileSize(recDir_ + "cap00.mpg");
    ts::PumpFor(1500);
    EXPECT_EQ(stopped, tv::FileSize(recDir_ + "cap00.mpg")) << "still recording";
    EXPECT_EQ(1, BoxesWith("录制不成功!"));
    EXPECT_TRUE(PictureMoves()) << "no preview after the failed stop";
    ASSERT_TRUE(RecordInto("cap01.mpg")) << "the press after a failed stop records";
    Remote(20);
    Close();
    EXPECT_GE(Boxes().size(), boxes);
    EXPECT_EQ(0, CardCtl_LiveObjects());
}

TEST_F(RecordProgram, TheDiskGuardRefusesLowOrUnknownSpaceAndStopsARecordingThatRunsShort)
{
    tv::FreeSpaceFile space(dir_ + "space.txt");
    ASSERT_TRUE(space.Set("*=99"));
    ASSERT_TRUE(StartAndWait({space.Env(), "ORVIX_TIMER_DIVISOR=60"}));
    Remote(20);
    EXPECT_EQ(1, BoxesWith("error\t录制的磁盘空间不足\t"));
    ASSERT_TRUE(space.Set("*=fail"));
    Remote(20);
    EXPECT_EQ(2, BoxesWith("error\t录制的磁盘空间不足\t"));
    ts::PumpFor(1500);
    EXPECT_TRUE(Files(recDir_, "*.mpg").empty());
    EXPECT_EQ(2u, Boxes().size()) << "a refused start left the minute's check running";

    ASSERT_TRUE(space.Set("*=100"));
    ASSERT_TRUE(RecordInto("cap00.mpg"));
    ts::PumpFor(1500);
    EXPECT_EQ(2u, Boxes().size()) << "100 MB is enough";
    // The minute's check (a second here) finds too little and stops.
    ASSERT_TRUE(space.Set("*=99"));
    ASSERT_TRUE(ts::PumpUntil([&] { return BoxesWith("录制的磁盘空间不足") == 3; }, 5000));
    Sync();
    DWORD stopped = tv::FileSize(recDir_ + "cap00.mpg");
    ts::PumpFor(1500);
    EXPECT_EQ(stopped, tv::FileSize(recDir_ + "cap00.mpg")) << "still recording";
    EXPECT_EQ(3, BoxesWith("录制的磁盘空间不足")) << "the check goes on after the stop";
    EXPECT_TRUE(PictureMoves());
    Close();
}

TEST_F(RecordProgram, AnUnusableFolderGivesWayToTheProgramFolder)
{
    // Folders that went away since they were chosen.
    ASSERT_TRUE(RemoveDirectoryA(recDir_.c_str()));
    ASSERT_TRUE(RemoveDirectoryA(picDir_.c_str()));
    recDir_ = dir_;
    ASSERT_TRUE(StartAndWait({"ORVIX_DISK_FREE_MB=*=1000"}));
    ASSERT_TRUE(RecordInto("cap00.mpg"));
    Remote(20);
    Remote(30);
    Close();
    EXPECT_EQ(std::vector<std::string>{"cap00.mpg"}, Files(dir_, "*.mpg"));
    EXPECT_EQ(std::vector<std::string>{"cap00.bmp"}, Files(dir_, "*.bmp"));
    ExpectProgramFolderSaved();
}

TEST_F(RecordProgram, ASnapshotHoldsTheLivePictureAtTheCaptureSize)
{
    settings_.nVideoSize = 2;
    ASSERT_TRUE(StartAndWait());
    ASSERT_TRUE(PictureMoves());
    Remote(30);
    Remote(30);
    EXPECT_EQ((std::vector<std::string>{"cap00.bmp", "cap01.bmp"}), Files(picDir_, "*.bmp"));
    EXPECT_EQ(921654u, tv::FileSize(picDir_ + "cap00.bmp"));
    std::string bmp = tv::ReadFileBytes(picDir_ + "cap00.bmp");
    ASSERT_EQ(921654u, bmp.size());
    EXPECT_EQ("BM", bmp.substr(0, 2));
    // A picture, not a blank: many different colours.
    std::map<std::string, int> colours;
    for (size_t i = 54; i + 3 <= bmp.size(); i += 3 * 97)
        colours[bmp.substr(i, 3)]++;
    EXPECT_GT(colours.size(), 20u);

    // A file in the way of the next name: the snapshot fails with the box.
    ASSERT_TRUE(CreateDirectoryA((picDir_ + "cap02.bmp").c_str(), NULL));
    Remote(30);
    EXPECT_EQ(1, BoxesWith("Error\t抓图失败!\t"));
    Close();
}

namespace {

// Playback of a recording of the program's own, chosen in its open dialog.
class PlaybackProgram : public RecordProgram {
protected:
    // Records a few seconds into cap00.mpg and starts live viewing again.
    bool RecordAFile(DWORD ms)
    {
        if (!RecordInto("cap00.mpg"))
            return false;
        ts::PumpFor(ms);
        Remote(20);
        file_ = recDir_ + "cap00.mpg";
        return true;
    }

    HWND OpenDialog() { return tv::FindOpenFileDialog(child_.Pid(), main_); }

    // Remote 26, then the name typed into the real open-file dialog.
    bool PlayThroughDialog()
    {
        PostMessageA(main_, WM_USER + 109, 0, 26);
        HWND dlg = NULL;
        if (!ts::PumpUntil([&] { return (dlg = OpenDialog()) != NULL; }, 10000))
            return false;
        if (!tv::ChooseInOpenFileDialog(dlg, file_))
            return false;
        Sync();
        return true;
    }

    // The position slider's rectangle on the screen, as the skin places it.
    RECT PositionSlider()
    {
        std::string ini = dir_ + "skins\\elegance\\skin.ini";
        RECT slider = {};
        for (int n = 1; n < 20; ++n) {
            char key[16], value[256], name[64];
            snprintf(key, sizeof(key), "Progress%d", n);
            if (!GetPrivateProfileStringA("ShapeProgressInfo", key, "", value, sizeof(value), ini.c_str()))
                break;
            const char* p = strchr(value, ',');
            p = p ? strchr(p + 1, ',') : NULL;
            if (sscanf(value, "%63[^,]", name) == 1 && strcmp(name, "PROGRESS_POS") == 0 && p)
                sscanf(p + 1, "%ld,%ld,%ld,%ld", &slider.left, &slider.top, &slider.right, &slider.bottom);
        }
        MapWindowPoints(main_, NULL, (POINT*)&slider, 2);
        return slider;
    }

    // The program still answers within a few seconds.
    bool Answers()
    {
        DWORD_PTR r;
        return SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r) != 0;
    }

    // A dialog opened by a press that came after the file ended would keep
    // the program from closing.
    void CloseWithoutDialog()
    {
        HWND dlg = OpenDialog();
        EXPECT_TRUE(dlg == NULL) << "a file dialog is open";
        if (dlg)
            PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
        Close();
    }

    std::string file_;
};

}  // namespace

TEST_F(PlaybackProgram, PlaysPausesWindsAndStopsAndDeletesAFilePlayedToItsEnd)
{
    settings_.nDeletePreviewFile = 1;
    ASSERT_TRUE(StartAndWait({"ORVIX_DISK_FREE_MB=*=1000"}));
    ASSERT_TRUE(RecordAFile(4000));
    ASSERT_TRUE(SetFileAttributesA(file_.c_str(), FILE_ATTRIBUTE_READONLY));
    RECT slider = PositionSlider();
    ASSERT_GT(slider.right, slider.left);
    std::vector<DWORD> atZero = tv::ScreenPixels(slider);
    ASSERT_TRUE(PlayThroughDialog()) << "no open-file dialog";

    // The position slider moves while the file plays and halts on pause.
    ASSERT_TRUE(ts::PumpUntil([&] { return tv::ScreenPixels(slider) != atZero; }, 5000))
        << "the position does not advance";
    Click("PAUSE_MOVIE");
    ts::PumpFor(300);
    std::vector<DWORD> paused = tv::ScreenPixels(slider);
    ts::PumpFor(700);
    EXPECT_EQ(paused, tv::ScreenPixels(slider)) << "the position moves while paused";

    // A snapshot of the played picture.
    Remote(30);
    EXPECT_EQ(std::vector<std::string>{"cap00.bmp"}, Files(picDir_, "*.bmp"));

    // Stopped: live TV again; only a file played to its end is deleted.
    Click("STOP_MOVIE");
    EXPECT_TRUE(PictureMoves());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(file_.c_str()));

    // Back while it plays, then stop in the middle of the winding.
    ASSERT_TRUE(PlayThroughDialog()) << "no open-file dialog the second time";
    ASSERT_TRUE(ts::PumpUntil([&] { return tv::ScreenPixels(slider) != atZero; }, 5000));
    Click("BACK_MOVIE");
    ts::PumpFor(300);
    Click("STOP_MOVIE");
    ASSERT_TRUE(Answers()) << "no answer after back and stop";
    EXPECT_TRUE(PictureMoves()) << "no live picture after back and stop";

    // On at double speed, then stop.
    ASSERT_TRUE(PlayThroughDialog()) << "no open-file dialog the third time";
    ts::PumpFor(500);
    Click("AHEAD_MOVIE");
    ts::PumpFor(300);
    Click("STOP_MOVIE");
    ASSERT_TRUE(Answers()) << "no answer after ahead and stop";
    EXPECT_TRUE(PictureMoves()) << "no live picture after ahead and stop";
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(file_.c_str())) << "a stop deleted the file";

    // Wound back to the start: the winding stops there and the position
    // rests at 0.
    ASSERT_TRUE(PlayThroughDialog()) << "no open-file dialog the fourth time";
    ASSERT_TRUE(ts::PumpUntil([&] { return tv::ScreenPixels(slider) != atZero; }, 5000));
    Click("BACK_MOVIE");
    EXPECT_TRUE(ts::PumpUntil([&] { return tv::ScreenPixels(slider) == atZero; }, 5000))
        << "the position does not come back to 0";
    ts::PumpFor(700);
    EXPECT_EQ(atZero, tv::ScreenPixels(slider)) << "the position moves after the winding stopped";
    ASSERT_TRUE(Answers());

    // Played from there to its end: live TV again, and the played file,
    // read-only as it is, is gone.
    Click("PLAY_MOVIE");
    EXPECT_TRUE(ts::PumpUntil([&] {
        return GetFileAttributesA(file_.c_str()) == INVALID_FILE_ATTRIBUTES;
    }, 15000)) << "the file played to its end is still there";
    EXPECT_TRUE(PictureMoves()) << "no live picture after the end of the file";
    EXPECT_TRUE(Boxes().empty()) << ts::Gbk(Boxes()[0]);
    CloseWithoutDialog();
    EXPECT_EQ(0, CardCtl_LiveObjects());
}
