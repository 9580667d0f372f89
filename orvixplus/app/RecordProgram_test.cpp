// Recording, the disk-space guard, snapshots and playback in OrvixPlus.exe
// itself, driven by Timewarden's remote message and the skin's buttons, with
// the test's own simulated card and the recorder stand-in.
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <map>
#include "CardCtl.h"
#include "SettingsRecord.h"
#include "TvProgramRun.h"

namespace {

const BOOL g_ownCard = SetEnvironmentVariableA("ORVIX_CARD", "orvixplus_record_test");

class RecordProgram : public tv::ProgramRun {
protected:
    void SetUp() override
    {
        ProgramRun::SetUp();
        ASSERT_TRUE(MakeFolder("orvixplus-record"));
        recDir_ = dir_ + "rec\\";
        picDir_ = dir_ + "pic\\";
        CreateDirectoryA(recDir_.c_str(), NULL);
        CreateDirectoryA(picDir_.c_str(), NULL);
        MakeDefaultSettingsRecord(&settings_, dir_.c_str());
        lstrcpynA(settings_.szRecordFolder, recDir_.c_str(), sizeof(settings_.szRecordFolder));
        lstrcpynA(settings_.szPictureFolder, picDir_.c_str(), sizeof(settings_.szPictureFolder));
    }

    // With the test's settings file in place.
    bool StartAndWait(std::vector<std::string> env = {})
    {
        FILE* f = fopen((dir_ + SETTINGS_FILE_NAME).c_str(), "wb");
        if (!f)
            return false;
        fwrite(&settings_, 1, sizeof(settings_), f);
        fclose(f);
        return ProgramRun::StartAndWait(env);
    }

    void Close()
    {
        Remote(18);
        EXPECT_EQ(0u, child_.Wait(10000));
    }

    std::vector<std::string> Files(const std::string& folder, const char* pattern)
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((folder + pattern).c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE)
            return names;
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(fd.cFileName);
        } while (FindNextFileA(h, &fd));
        FindClose(h);
        std::sort(names.begin(), names.end());
        return names;
    }

    // The window text of a label of the skin, found by its rectangle.
    std::string LabelText(const char* name)
    {
        if (!labels_.count(name))
            return "";
        const RECT& want = labels_[name];
        for (HWND c = GetWindow(main_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            RECT r;
            GetWindowRect(c, &r);
            MapWindowPoints(NULL, main_, (POINT*)&r, 2);
            if (EqualRect(&r, &want)) {
                char text[128] = "";
                GetWindowTextA(c, text, sizeof(text));
                return text;
            }
        }
        return "";
    }

    // The picture in the video window changes: live video.
    bool PictureMoves()
    {
        POINT o = {0, 0};
        ClientToScreen(video_, &o);
        RECT picture = {o.x, o.y, o.x + 320, o.y + 240};
        std::vector<DWORD> first;
        bool lit = ts::PumpUntil([&] {
            first = tv::ScreenPixels(picture);
            return std::count(first.begin(), first.end(), 0u) < (long)first.size() / 2;
        }, 10000);
        if (!lit)
            return false;
        return ts::PumpUntil([&] { return tv::ScreenPixels(picture) != first; }, 5000);
    }

    // Records with remote 20 and waits until the file has grown.
    bool RecordInto(const std::string& name)
    {
        Remote(20);
        DWORD last = 0;
        return ts::PumpUntil([&] {
            DWORD size = tv::FileSize(recDir_ + name);
            bool grew = size != (DWORD)-1 && size > last && last > 0;
            if (size != (DWORD)-1)
                last = size;
            return grew;
        }, 10000);
    }

    SettingsRecord settings_;
    std::string recDir_, picDir_;
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
    std::string space = dir_ + "space.txt";
    auto setSpace = [&](const char* text) {
        FILE* f = fopen(space.c_str(), "wb");
        ASSERT_TRUE(f != NULL);
        fputs(text, f);
        fclose(f);
    };
    setSpace("*=99");
    ASSERT_TRUE(StartAndWait({"ORVIX_DISK_FREE_MB=@" + space, "ORVIX_TIMER_DIVISOR=60"}));
    Remote(20);
    EXPECT_EQ(1, BoxesWith("error\t录制的磁盘空间不足\t"));
    setSpace("*=fail");
    Remote(20);
    EXPECT_EQ(2, BoxesWith("error\t录制的磁盘空间不足\t"));
    ts::PumpFor(1500);
    EXPECT_TRUE(Files(recDir_, "*.mpg").empty());
    EXPECT_EQ(2u, Boxes().size()) << "a refused start left the minute's check running";

    setSpace("*=100");
    ASSERT_TRUE(RecordInto("cap00.mpg"));
    ts::PumpFor(1500);
    EXPECT_EQ(2u, Boxes().size()) << "100 MB is enough";
    // The minute's check (a second here) finds too little and stops.
    setSpace("*=99");
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
    // The program folder is what the settings hold now.
    std::string saved = tv::ReadFileBytes(dir_ + SETTINGS_FILE_NAME);
    ASSERT_EQ(sizeof(SettingsRecord), saved.size());
    SettingsRecord rec;
    memcpy(&rec, saved.data(), sizeof(rec));
    EXPECT_STREQ(dir_.c_str(), rec.szRecordFolder);
    EXPECT_STREQ(dir_.c_str(), rec.szPictureFolder);
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

struct DialogSearch {
    DWORD pid;
    HWND main;
    HWND found;
};

BOOL CALLBACK FindFileDialog(HWND hwnd, LPARAM lp)
{
    auto* s = (DialogSearch*)lp;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[32] = "";
    GetClassNameA(hwnd, cls, sizeof(cls));
    if (pid == s->pid && hwnd != s->main && strcmp(cls, "#32770") == 0 && IsWindowVisible(hwnd)) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindNameEdit(HWND hwnd, LPARAM lp)
{
    char cls[32] = "";
    GetClassNameA(hwnd, cls, sizeof(cls));
    HWND* out = (HWND*)lp;
    // The file name box (edt1, or the edit inside the name combo cmb13).
    int id = GetDlgCtrlID(hwnd);
    HWND parent = GetParent(hwnd);
    if (strcmp(cls, "Edit") == 0 && (id == 1152 || (parent && GetDlgCtrlID(parent) == 1148))) {
        *out = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

TEST_F(RecordProgram, PlaysAFileChosenInTheOpenDialogAndStopsBackToLiveViewing)
{
    settings_.nDeletePreviewFile = 1;
    ASSERT_TRUE(StartAndWait({"ORVIX_DISK_FREE_MB=*=1000"}));
    // Long enough that the file does not end during the test's steps.
    ASSERT_TRUE(RecordInto("cap00.mpg"));
    ts::PumpFor(4000);
    Remote(20);
    std::string file = recDir_ + "cap00.mpg";
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));

    // The slider at position 0, as the skin draws it.
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
    ASSERT_GT(slider.right, slider.left);
    MapWindowPoints(main_, NULL, (POINT*)&slider, 2);

    PostMessageA(main_, WM_USER + 109, 0, 26);
    DialogSearch search = {child_.Pid(), main_, NULL};
    ASSERT_TRUE(ts::PumpUntil([&] {
        search.found = NULL;
        EnumWindows(FindFileDialog, (LPARAM)&search);
        return search.found != NULL;
    }, 10000)) << "no open-file dialog";
    HWND edit = NULL;
    EnumChildWindows(search.found, FindNameEdit, (LPARAM)&edit);
    ASSERT_TRUE(edit != NULL);
    SendMessageA(edit, WM_SETTEXT, 0, (LPARAM)file.c_str());
    PostMessageA(search.found, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(ts::PumpUntil([&] { return !IsWindow(search.found); }, 10000));
    Sync();

    // The position slider moves while the file plays and halts on pause.
    ts::PumpFor(200);
    std::vector<DWORD> early = tv::ScreenPixels(slider);
    ASSERT_TRUE(ts::PumpUntil([&] { return tv::ScreenPixels(slider) != early; }, 5000))
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
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(file.c_str()));
    // A dialog opened by a press that came after the file ended would keep
    // the program from closing.
    search.found = NULL;
    EnumWindows(FindFileDialog, (LPARAM)&search);
    EXPECT_TRUE(search.found == NULL) << "a file dialog is open";
    if (search.found)
        PostMessageA(search.found, WM_COMMAND, IDCANCEL, 0);
    Close();
}
