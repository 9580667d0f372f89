// The TV main window in OrvixPlus.exe itself, driven from outside as the user,
// the other windows and Timewarden do: skin elements by their command ids,
// keys posted to the windows, Timewarden's remote message. The test holds its
// own simulated card and reads the sound server's master volume.
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>
#include <algorithm>
#include <map>
#include "CardCtl.h"
#include "CardState.h"
#include "SettingsRecord.h"
#include "TvProgramRun.h"

namespace {

const BOOL g_ownCard = SetEnvironmentVariableA("ORVIX_CARD", "orvixplus_tv_test");
const DWORD kStartMs = 30000;

int SettingsInt(const std::string& data, size_t offset)
{
    int v = 0;
    if (data.size() >= offset + 4)
        memcpy(&v, data.data() + offset, 4);
    return v;
}

// The offsets of the settings block that differ between two copies.
std::vector<size_t> ChangedInts(const std::string& a, const std::string& b)
{
    std::vector<size_t> changed;
    for (size_t i = 0; i + 4 <= a.size() && i + 4 <= b.size(); i += 4)
        if (memcmp(a.data() + i, b.data() + i, 4) != 0)
            changed.push_back(i);
    return changed;
}

BOOL CALLBACK CountVisible(HWND hwnd, LPARAM lp)
{
    auto* args = (std::pair<DWORD, int>*)lp;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == args->first && IsWindowVisible(hwnd))
        args->second++;
    return TRUE;
}

int VisibleWindowsOf(DWORD pid)
{
    std::pair<DWORD, int> args(pid, 0);
    EnumWindows(CountVisible, (LPARAM)&args);
    return args.second;
}

// Two channel files hold the same channels: the same header and, per list,
// the same records (their order inside a list means nothing).
bool SameChannels(const std::string& a, const std::string& b)
{
    if (a.size() != b.size() || a.size() < 16 || a.compare(0, 16, b, 0, 16) != 0)
        return false;
    size_t count1 = (size_t)SettingsInt(a, 8);
    auto records = [](const std::string& f, size_t from, size_t n) {
        std::vector<std::string> r;
        for (size_t i = 0; i < n && 16 + 48 * (from + i + 1) <= f.size(); ++i)
            r.push_back(f.substr(16 + 48 * (from + i), 48));
        std::sort(r.begin(), r.end());
        return r;
    };
    size_t count2 = (a.size() - 16) / 48 - count1;
    return records(a, 0, count1) == records(b, 0, count1) &&
           records(a, count1, count2) == records(b, count1, count2);
}

class TvProgram : public tv::ProgramRun {
protected:
    void MakeFolder(bool withSkin = true)
    {
        ASSERT_TRUE(ProgramRun::MakeFolder("orvixplus-tv", withSkin));
        shellLog_ = dir_ + "shell.log";
        if (withSkin)
            ReadElementRects();
    }

    // Everything an element draws over: buttons, sliders and labels.
    void ReadElementRects()
    {
        std::string ini = dir_ + "skins\\elegance\\skin.ini";
        elementRects_.clear();
        for (auto& b : buttons_)
            elementRects_.push_back(b.second.rect);
        for (auto& l : labels_)
            elementRects_.push_back(l.second);
        for (int n = 1; n < 20; ++n) {
            char key[16], value[256];
            snprintf(key, sizeof(key), "Progress%d", n);
            if (!GetPrivateProfileStringA("ShapeProgressInfo", key, "", value, sizeof(value), ini.c_str()))
                break;
            RECT r;
            const char* p = strchr(value, ',');
            if (p)
                p = strchr(p + 1, ',');
            if (p && sscanf(p + 1, "%ld,%ld,%ld,%ld", &r.left, &r.top, &r.right, &r.bottom) == 4)
                elementRects_.push_back(r);
        }
    }

    bool Start(std::vector<std::string> env = {})
    {
        env.push_back("ORVIX_SHELL_LOG=" + shellLog_);
        return ProgramRun::Start(env);
    }
    bool StartAndWait(std::vector<std::string> env = {})
    {
        env.push_back("ORVIX_SHELL_LOG=" + shellLog_);
        return ProgramRun::StartAndWait(env);
    }
    void Message(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { Send(msg, wp, lp); }

    // Ends it the way the test was told; FALSE when it did not end in 3 s.
    DWORD WaitExit(DWORD ms = 3000)
    {
        return child_.Wait(ms);
    }

    // The boxes other than those of a preview that cannot be built here
    // (a stand-in filter the preview needs is not registered).
    std::vector<std::string> OtherBoxes()
    {
        std::vector<std::string> other;
        for (const std::string& b : Boxes())
            if (b.find("没有注册") == std::string::npos)
                other.push_back(b);
        return other;
    }
    bool PreviewMissing() { return Boxes().size() != OtherBoxes().size(); }

    std::string shellLog_;
    std::vector<RECT> elementRects_;
};

bool InAny(const std::vector<RECT>& rects, int x, int y)
{
    POINT p = {x, y};
    for (const RECT& r : rects)
        if (PtInRect(&r, p))
            return true;
    return false;
}

}  // namespace

TEST_F(TvProgram, StartsShapedAboveTheVideoWindowAndEndsOnCloseWithItsFilesKept)
{
    MakeFolder();
    // A history held from an earlier run.
    std::string history(4 + 64, '\0');
    int one = 1, list = 2;
    memcpy(&history[0], &one, 4);
    memcpy(&history[8], &list, 4);
    memcpy(&history[4 + 16 + 8], "Held", 4);
    int number = 7;
    memcpy(&history[4 + 16 + 44], &number, 4);
    {
        FILE* f = fopen((dir_ + "histroy.his").c_str(), "wb");
        ASSERT_TRUE(f != NULL);
        fwrite(history.data(), 1, history.size(), f);
        fclose(f);
    }
    // A first run leaves the files as the program writes them.
    ASSERT_TRUE(StartAndWait());
    Click("CLOSE");
    ASSERT_EQ(0u, WaitExit());
    ASSERT_TRUE(StartAndWait());
    char cls[64];
    GetClassNameA(main_, cls, sizeof(cls));
    EXPECT_STREQ("#32770", cls);
    EXPECT_EQ(2, VisibleWindowsOf(child_.Pid())) << "the splash is left, or another window shows";
    std::string settingsAtStart = tv::ReadFileBytes(dir_ + SETTINGS_FILE_NAME);
    std::string channelsAtStart = tv::ReadFileBytes(dir_ + "OrvixPlusChannels.chl");
    ASSERT_EQ(684u, settingsAtStart.size());
    ASSERT_FALSE(channelsAtStart.empty());

    // Layout: the video window centred above the main window, 10 apart.
    RECT desk, m, v, vc;
    GetWindowRect(GetDesktopWindow(), &desk);
    GetWindowRect(main_, &m);
    GetWindowRect(video_, &v);
    GetClientRect(video_, &vc);
    EXPECT_EQ(480, vc.right);
    EXPECT_EQ(320, vc.bottom);
    int vw = v.right - v.left, vh = v.bottom - v.top, mw = m.right - m.left, mh = m.bottom - m.top;
    EXPECT_EQ((desk.right - vw) / 2, v.left);
    EXPECT_EQ((desk.bottom - vh - mh - 10) / 2, v.top);
    EXPECT_EQ((desk.right - mw) / 2, m.left);
    EXPECT_EQ(v.top + vh + 10, m.top);
    EXPECT_TRUE(GetWindowLongA(main_, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(GetWindowLongA(video_, GWL_EXSTYLE) & WS_EX_TOPMOST) << "always on top is set by default";

    // The shape and the face: Normal where the Mask is not white, nothing of
    // the window where it is.
    SIZE ns = {}, ms = {};
    std::vector<DWORD> normal = tv::BitmapPixels(dir_ + "skins\\elegance\\normal.bmp", &ns);
    std::vector<DWORD> mask = tv::BitmapPixels(dir_ + "skins\\elegance\\mask.bmp", &ms);
    std::vector<DWORD> disabled = tv::BitmapPixels(dir_ + "skins\\elegance\\disabled.bmp", &ns);
    ASSERT_FALSE(normal.empty());
    ASSERT_EQ(ns.cx, mw);
    ASSERT_EQ(ns.cy, mh);
    std::vector<DWORD> screen = tv::ScreenPixels(m);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(main_, rgn));
    int face = 0, faceWrong = 0, cut = 0, cutWrong = 0;
    for (int y = 0; y < mh; y += 3) {
        for (int x = 0; x < mw; x += 3) {
            size_t i = (size_t)y * mw + x;
            if (mask[i] == 0xFFFFFF) {
                cut++;
                cutWrong += PtInRegion(rgn, x, y) ? 1 : 0;
            } else if (!InAny(elementRects_, x, y) && PtInRegion(rgn, x, y)) {
                face++;
                faceWrong += screen[i] != normal[i] ? 1 : 0;
            }
        }
    }
    DeleteObject(rgn);
    EXPECT_GT(cut, 0);
    EXPECT_EQ(0, cutWrong);
    EXPECT_GT(face, 100);
    EXPECT_EQ(0, faceWrong) << "of " << face << " face pixels";

    // TV viewing: "TV" shows its Disabled image, a number button its Normal one.
    auto looks = [&](const char* name, const std::vector<DWORD>& image) {
        const RECT& r = buttons_[name].rect;
        int diff = 0;
        for (int y = r.top + 2; y < r.bottom - 2; ++y)
            for (int x = r.left + 2; x < r.right - 2; ++x)
                diff += screen[(size_t)y * mw + x] != image[(size_t)y * ns.cx + x] ? 1 : 0;
        return diff;
    };
    EXPECT_EQ(0, looks("TV", disabled));
    EXPECT_NE(0, looks("TV", normal));
    EXPECT_EQ(0, looks("NUMBER_1", normal));

    Click("CLOSE");
    EXPECT_EQ(0u, WaitExit());
    EXPECT_EQ(settingsAtStart, tv::ReadFileBytes(dir_ + SETTINGS_FILE_NAME));
    EXPECT_TRUE(SameChannels(channelsAtStart, tv::ReadFileBytes(dir_ + "OrvixPlusChannels.chl")));
    std::string held = tv::ReadFileBytes(dir_ + "histroy.his");
    ASSERT_GE(held.size(), 4u);
    int count = SettingsInt(held, 0);
    EXPECT_TRUE(count >= 1 && count <= 4);
    EXPECT_EQ(4u + 64u * count, held.size());
    EXPECT_NE(std::string::npos, held.find("Held"));
    EXPECT_EQ(0, CardCtl_LiveObjects());
    EXPECT_TRUE(OtherBoxes().empty()) << ts::Gbk(OtherBoxes().empty() ? "" : OtherBoxes()[0]);
}

TEST_F(TvProgram, ThePanelIsOnTheScreenPaintedWhileTheStartUpTuneRuns)
{
    MakeFolder();
    ASSERT_TRUE(Start());
    // The splash goes when the start-up tune is done. Each shot of the panel
    // is kept with whether the splash was still up after it was taken.
    std::vector<std::pair<std::vector<DWORD>, bool>> shots;
    HWND main = NULL;
    ASSERT_TRUE(ts::PumpUntil([&] {
        if (!main)
            main = tv::FindMainWindow();
        if (!main || !IsWindowVisible(main))
            return false;
        std::vector<DWORD> shot = tv::ScreenGrid(main);
        bool splash = tv::FindSplash(child_.Pid()) != NULL;
        shots.push_back({shot, splash});
        return !splash;
    }, kStartMs)) << "the start did not end";
    main_ = main;
    Sync();
    ts::PumpFor(300);
    std::vector<DWORD> settled = tv::ScreenGrid(main_);
    std::vector<bool> inside = tv::GridInShape(main_);
    double best = 0;
    for (const auto& shot : shots)
        if (shot.second)
            best = std::max(best, tv::ShareInShape(shot.first, settled, inside));
    // Its texts (the clock, the channel) may differ in a few points.
    EXPECT_GE(best, 0.97) << shots.size() << " shots, the panel not painted before the start's end";
}

TEST_F(TvProgram, ThePictureIsLiveAndTheSoundFollowsButtonsKeysMessagesAndTheRemote)
{
    MakeFolder();
    ASSERT_TRUE(StartAndWait());
    if (PreviewMissing()) {
        PostMessageA(main_, WM_SYSCOMMAND, SC_CLOSE, 0);
        WaitExit();
        GTEST_SKIP() << "no preview here: " << ts::Gbk(Boxes()[0]);
    }
    // Live frames in the video window's client area.
    POINT origin = {0, 0};
    ClientToScreen(video_, &origin);
    RECT picture = {origin.x, origin.y, origin.x + 480, origin.y + 320};
    std::vector<DWORD> first, second;
    bool live = ts::PumpUntil([&] {
        first = tv::ScreenPixels(picture);
        return std::count(first.begin(), first.end(), 0u) < (long)first.size() / 2;
    }, 10000);
    EXPECT_TRUE(live) << "the picture stays black";
    ts::PumpUntil([&] {
        second = tv::ScreenPixels(picture);
        return second != first;
    }, 5000);
    EXPECT_NE(first, second) << "the picture does not move";
    ts::CaptureToBmp(NULL, "orvixplus_tv_live.bmp");

    std::string settingsAtStart = tv::ReadFileBytes(dir_ + SETTINGS_FILE_NAME);
    ASSERT_EQ(50, SettingsInt(settingsAtStart, 76));

    // Volume: every way up raises it by one step (50 + 6 x 5 at the end).
    // The mixer keeps its level and mute per handle under Wine, so another
    // process cannot read them: the saved setting shows the steps, and the
    // mute ways must at least leave the program running and the steps alone.
    for (int i = 0; i < 3; ++i)
        Click("ADD_SND");
    Key(video_, VK_RIGHT);
    Message(WM_USER + 400);
    Remote(16);
    // Codes outside the remote's range do nothing.
    for (int code : {0, 10, 31})
        Remote(code);
    Click("MUTE_SND");
    Key(main_, 'M');
    Remote(19);
    Remote(19);
    // A key aimed at the picture (the renderer's window inside the video
    // window) reaches the main window's keys too.
    HWND renderer = GetWindow(video_, GW_CHILD);
    ASSERT_TRUE(renderer != NULL) << "no renderer window in the video window";
    Key(renderer, 'M');
    Key(video_, 'M');

    Remote(18);
    EXPECT_EQ(0u, WaitExit());
    std::string settingsAtEnd = tv::ReadFileBytes(dir_ + SETTINGS_FILE_NAME);
    EXPECT_EQ(80, SettingsInt(settingsAtEnd, 76));
    EXPECT_EQ(std::vector<size_t>{76}, ChangedInts(settingsAtStart, settingsAtEnd));
    EXPECT_EQ(0, CardCtl_LiveObjects());
}

TEST_F(TvProgram, ButtonsKeysAndMessagesDriveTheWindowsAndTheRemoteClosesIt)
{
    MakeFolder();
    ASSERT_TRUE(StartAndWait());
    std::string settingsAtStart = tv::ReadFileBytes(dir_ + SETTINGS_FILE_NAME);
    // The settings window: shown centred, hidden, shown again.
    HWND prop = FindWindowA("Orvix Plus Prop", "属性页");
    ASSERT_TRUE(prop != NULL);
    EXPECT_FALSE(IsWindowVisible(prop));
    Click("PROPERTY_PAGE");
    EXPECT_TRUE(IsWindowVisible(prop));
    RECT desk, pr;
    GetWindowRect(GetDesktopWindow(), &desk);
    GetWindowRect(prop, &pr);
    EXPECT_EQ((desk.right - (pr.right - pr.left)) / 2, pr.left);
    EXPECT_EQ((desk.bottom - (pr.bottom - pr.top)) / 2, pr.top);
    SetForegroundWindow(main_);
    Sync();
    Key(main_, 'P');
    EXPECT_FALSE(IsWindowVisible(prop));
    Remote(24);
    EXPECT_TRUE(IsWindowVisible(prop));
    Remote(24);
    EXPECT_FALSE(IsWindowVisible(prop));

    // Enter and Esc never end the dialog.
    Key(main_, VK_RETURN);
    Key(main_, VK_ESCAPE);
    EXPECT_TRUE(IsWindow(main_) && IsWindowVisible(main_));
    EXPECT_TRUE(child_.Running());

    // A channel record from another process is not read.
    Message(WM_USER + 201, 0, 0x10);
    EXPECT_TRUE(child_.Running());

    // The web page: one "open".
    Click("WWW");
    std::vector<std::string> opened = ts::ReadLines(shellLog_);
    ASSERT_EQ(1u, opened.size());
    EXPECT_EQ(0u, opened[0].find("open\thttp://"));

    // Minimise by the button; the remote brings it back.
    Click("MINIMIZE");
    EXPECT_TRUE(IsIconic(main_));
    Remote(22);
    EXPECT_FALSE(IsIconic(main_));
    Key(video_, 'A');
    EXPECT_TRUE(IsIconic(main_)) << "A with the focus on the main window minimises it";
    Key(video_, 'A');
    EXPECT_FALSE(IsIconic(main_));

    Remote(18);
    EXPECT_EQ(0u, WaitExit());
    EXPECT_EQ(settingsAtStart, tv::ReadFileBytes(dir_ + SETTINGS_FILE_NAME));
    EXPECT_EQ(0, CardCtl_LiveObjects());
}

TEST_F(TvProgram, ARemoteKeyForwardedWhileTheStartWaitsForTheAudioListActsOnceTheStartIsDone)
{
    MakeFolder();
    std::string trace = dir_ + "steps.log";
    // Held by the test, the card stops the audio list's thread at its first
    // call: the start waits for the list at step 6, its caption (what
    // Timewarden finds it by) set.
    CardLock();
    bool started = Start({"ORVIX_STEP_TRACE=" + trace});
    bool waiting = started && ts::PumpUntil([&] { return tv::Traced(trace, "5 skin-control state"); }, kStartMs);
    HWND main = waiting ? tv::FindMainWindow() : NULL;
    DWORD_PTR result = 0;
    // Timewarden's close key: the wait answers it.
    bool answered = main && SendMessageTimeoutA(main, WM_USER + 109, 0, 18, SMTO_NORMAL,
                                                ts::Scaled(10000), &result);
    bool inTheWait = !tv::Traced(trace, "6 device names: audio");
    CardUnlock();
    ASSERT_TRUE(started);
    ASSERT_TRUE(waiting) << "the start never came to the audio list";
    ASSERT_TRUE(answered) << "the key was not answered during the start";
    EXPECT_TRUE(inTheWait) << "the key came after the wait";
    EXPECT_EQ(0u, WaitExit(ts::Scaled(kStartMs))) << "the key was lost";
    EXPECT_TRUE(tv::Traced(trace, "splash gone")) << "closed before the start was through";
}

TEST_F(TvProgram, WithoutItsSkinItSaysSoAndEndsWritingNothing)
{
    MakeFolder(false);
    ASSERT_TRUE(Start());
    EXPECT_EQ(0u, WaitExit(kStartMs));
    std::vector<std::string> boxes = Boxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(0u, boxes[0].find("error\t加载皮肤失败!\t")) << ts::Gbk(boxes[0]);
    EXPECT_EQ((DWORD)-1, tv::FileSize(dir_ + SETTINGS_FILE_NAME));
    EXPECT_EQ((DWORD)-1, tv::FileSize(dir_ + "OrvixPlusChannels.chl"));
    EXPECT_EQ((DWORD)-1, tv::FileSize(dir_ + "histroy.his"));
}

TEST_F(TvProgram, AChannelFileItCannotReadOrCreateEndsItCleanly)
{
    MakeFolder();
    // A folder in the channel file's place: neither readable nor creatable.
    ASSERT_TRUE(CreateDirectoryA((dir_ + "OrvixPlusChannels.chl").c_str(), NULL));
    SettingsRecord rec;
    MakeDefaultSettingsRecord(&rec, dir_.c_str());
    rec.nVolume = 35;
    std::string settings((const char*)&rec, sizeof(rec));
    {
        FILE* f = fopen((dir_ + SETTINGS_FILE_NAME).c_str(), "wb");
        ASSERT_TRUE(f != NULL);
        fwrite(settings.data(), 1, settings.size(), f);
        fclose(f);
    }
    ASSERT_TRUE(Start());
    EXPECT_EQ(0u, WaitExit(kStartMs));
    std::vector<std::string> boxes = Boxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(0u, boxes[0].find("error\t无法读取或创建文件 OrvixPlusChannels.chl\t")) << ts::Gbk(boxes[0]);
    EXPECT_EQ(settings, tv::ReadFileBytes(dir_ + SETTINGS_FILE_NAME));
    EXPECT_EQ((DWORD)-1, tv::FileSize(dir_ + "histroy.his"));
    EXPECT_EQ((DWORD)-1, tv::FileSize(dir_ + "schedulefile.she"));
    EXPECT_EQ(0, CardCtl_LiveObjects());
}

TEST_F(TvProgram, WithoutACardItSaysSoOnceAndStaysUsable)
{
    MakeFolder();
    ASSERT_EQ(1, CardCtl_SetDeviceCount(0));
    ASSERT_TRUE(StartAndWait());
    std::vector<std::string> boxes = Boxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_NE(std::string::npos, boxes[0].find("\tCould not initialize the Capture device\t")) << ts::Gbk(boxes[0]);

    HWND prop = FindWindowA("Orvix Plus Prop", "属性页");
    Click("PROPERTY_PAGE");
    EXPECT_TRUE(prop && IsWindowVisible(prop));
    Click("PROPERTY_PAGE");
    Click("CLOSE");
    EXPECT_EQ(0u, WaitExit());
    EXPECT_EQ(684u, tv::FileSize(dir_ + SETTINGS_FILE_NAME));
    EXPECT_GT(tv::FileSize(dir_ + "OrvixPlusChannels.chl"), 16u);
    EXPECT_EQ(0, CardCtl_LiveObjects());
}

TEST_F(TvProgram, InRadioTheRemoteClosesIt)
{
    MakeFolder();
    SettingsRecord rec;
    MakeDefaultSettingsRecord(&rec, dir_.c_str());
    rec.nInputSource = 5;
    FILE* f = fopen((dir_ + SETTINGS_FILE_NAME).c_str(), "wb");
    ASSERT_TRUE(f != NULL);
    fwrite(&rec, 1, sizeof(rec), f);
    fclose(f);
    ASSERT_TRUE(StartAndWait());
    // Radio builds no preview: nothing to report.
    EXPECT_TRUE(Boxes().empty()) << ts::Gbk(Boxes().empty() ? "" : Boxes()[0]);
    Remote(18);
    EXPECT_EQ(0u, WaitExit());
}
