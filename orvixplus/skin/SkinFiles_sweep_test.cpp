// skin.ini and its images damaged every way the sweep knows, each read by the
// loaders OrvixPlus reads them with: the picture loader, the shaped dialog's
// skin, the skinned frame's sections and the video menu's colour theme. No
// case may crash or hang; a damaged skin loads or fails as a whole, and the
// other files of the skin folder stay as they were.
#include <gtest/gtest.h>
#include <string.h>
#include <functional>
#include "BitmapUtil.h"
#include "ColorTheme.h"
#include "FileSweep.h"
#include "SweepEdits.h"
#include "ShapeDialog.h"
#include "SkinFrame.h"
#include "TestSupport.h"

namespace {

std::string ReadFileOf(const std::string& path)
{
    return ts::ReadWholeFile(path);
}

void Put16(std::string& bytes, size_t at, unsigned v, bool bigEndian)
{
    bytes[at] = (char)(bigEndian ? v >> 8 : v & 0xFF);
    bytes[at + 1] = (char)(bigEndian ? v & 0xFF : v >> 8);
}

// Offset of a JPEG's frame header (SOF0..SOF2) height field, 0 when none.
size_t JpegSizeAt(const std::string& jpeg)
{
    for (size_t at = 2; at + 9 < jpeg.size();) {
        if ((unsigned char)jpeg[at] != 0xFF)
            return 0;
        unsigned char marker = (unsigned char)jpeg[at + 1];
        size_t length = ((unsigned char)jpeg[at + 2] << 8) | (unsigned char)jpeg[at + 3];
        if (marker >= 0xC0 && marker <= 0xC2)
            return at + 5;
        at += 2 + length;
    }
    return 0;
}

// The picture loader's promise: a bitmap of the size it reports, or nothing.
std::string CheckPicture(const std::string& path)
{
    CBitmap bitmap;
    CSize size(-5, -5);
    BOOL loaded = LoadPictureFile(path.c_str(), bitmap, size);
    if (!loaded)
        return bitmap.GetSafeHandle() == NULL && size == CSize(0, 0) ? ""
                                                                    : "a failed load left a bitmap";
    BITMAP bm;
    if (!bitmap.GetSafeHandle() || !::GetObject(bitmap, sizeof(bm), &bm))
        return "loaded without a bitmap";
    if (bm.bmWidth != size.cx || bm.bmHeight != size.cy || size.cx <= 0 || size.cy <= 0)
        return "the size told differs from the bitmap's";
    return "";
}

// The test skin: a 40 x 30 window with three buttons (one shaped with its own
// cursor), a slider, a label, a frame with caption buttons and a colour theme.
const char kSkinIni[] =
    "; A small skin of the sweep\r\n"
    "[ShapeWindowInfo]\r\n"
    "Normal=normal.bmp\r\nMask=mask.bmp\r\nHovered=hovered.bmp\r\n"
    "Pressed=pressed.bmp\r\nDisabled=disabled.bmp\r\n"
    "[ShapeButtonInfo]\r\n"
    "Button1=play,2,2,12,12,Play,FALSE,FALSE\r\n"
    "Button2=WWW,14,2,24,12,Web,TRUE,hand.cur,TRUE,255,0,0\r\n"
    "Button3=CLOSE,26,2,36,12,Close,FALSE,TRUE,0,0,255\r\n"
    "[ShapeProgressInfo]\r\n"
    "Progress1=PROGRESS_VOLUME,Volume,2,15,38,21,H,FALSE,FALSE\r\n"
    "[TimerInfo]\r\n"
    "Timer1=timer_show,2,23,38,29\r\n"
    "[DialogResInfo]\r\n"
    "FrameImage=frame.bmp\r\n"
    "TopLeft0=0,0,4,8\r\nMiddleTop0=4,0,8,8\r\nTopRight0=8,0,12,8\r\n"
    "MiddleLeft0=0,8,4,12\r\nMiddleRight0=8,8,12,12\r\n"
    "BottomLeft0=0,12,4,16\r\nMiddleBottom0=4,12,8,16\r\nBottomRight0=8,12,12,16\r\n"
    "TopLeft1=12,0,16,8\r\nMiddleTop1=16,0,20,8\r\nTopRight1=20,0,24,8\r\n"
    "MiddleLeft1=12,8,16,12\r\nMiddleRight1=20,8,24,12\r\n"
    "BottomLeft1=12,12,16,16\r\nMiddleBottom1=16,12,20,16\r\nBottomRight1=20,12,24,16\r\n"
    "ShapeWindow=1\r\nSkinClient=0\r\nMaskColor=255,0,255\r\n"
    "[SystemButtons]\r\nImage=sysbuttons.bmp\r\n"
    "[SysMinButton]\r\nOffsetRight=30\r\nOffsetTop=2\r\n"
    "normal=0,0,6,6\r\nover=6,0,12,6\r\ndown=12,0,18,6\r\ndisabled=0,0,6,6\r\n"
    "[SysMaxButton]\r\nOffsetRight=20\r\nOffsetTop=2\r\n"
    "normal=0,6,6,12\r\nover=6,6,12,12\r\ndown=12,6,18,12\r\ndisabled=0,6,6,12\r\n"
    "[SysCloseButton]\r\nOffsetRight=10\r\nOffsetTop=2\r\n"
    "normal=0,12,6,18\r\nover=6,12,12,18\r\ndown=12,12,18,18\r\ndisabled=0,12,6,18\r\n"
    "[COLORTHEME]\r\n"
    "LogoImage=\r\nBackGrndBmp=\r\nLogoText=Orvix\r\nLogoTextEndColor=28,40,64\r\n"
    "MenuColor=236,240,246\r\nIconBarColor=206,216,230\r\nLightBarColor=120,150,200\r\n"
    "LightBarStartColor=160,186,226\r\nLightBarEndColor=96,126,180\r\nTextColor=0,0,0\r\n"
    "HighLightColor=255,255,255\r\nFrame0Color=86,100,122\r\nFrame1Color=120,134,156\r\n"
    "Frame2Color=160,172,190\r\nFrame3Color=206,214,226\r\n";

class CSweepDialog : public CShapeDialog {
public:
    CSweepDialog() : CShapeDialog(300, NULL) {}
    void OnSkinCommand(LPCTSTR) override {}
    void OnSkinProgress(LPCTSTR, int) override {}
    void OnSkinProgressEnd(LPCTSTR, int) override {}
};

class CFramed : public CWnd {};

BOOL CALLBACK CountWindow(HWND, LPARAM count)
{
    ++*(int*)count;
    return TRUE;
}

// Windows of this thread: the dialog's elements are its children, their tool
// tips windows of their own.
int ChildWindows(HWND parent)
{
    int n = 0;
    EnumChildWindows(parent, CountWindow, (LPARAM)&n);
    return n;
}
int ThreadWindows()
{
    int n = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, (LPARAM)&n);
    return n;
}

class SkinFilesSweep : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(NULL);
        dir_ = ts::FreshTempDir("skinsweep");
        auto plain = [](int x, int y) { return RGB(40 + x * 4, 60 + y * 5, 90); };
        for (const char* name : {"normal.bmp", "hovered.bmp", "pressed.bmp", "disabled.bmp"})
            ts::WriteWholeFile(dir_ + name, ts::MakeBmp24(40, 30, plain));
        // White outside a rounded body; the shaped buttons in their key colours.
        ts::WriteWholeFile(dir_ + "mask.bmp", ts::MakeBmp24(40, 30, [](int x, int y) {
            if ((x < 2 || x > 37) && (y < 2 || y > 27))
                return RGB(255, 255, 255);
            if (x >= 15 && x < 23 && y >= 3 && y < 11)
                return RGB(255, 0, 0);
            if (x >= 27 && x < 35 && y >= 3 && y < 11)
                return RGB(0, 0, 255);
            return RGB(0, 0, 0);
        }));
        ts::WriteWholeFile(dir_ + "frame.bmp", ts::MakeBmp24(24, 16, [](int x, int y) {
            return x == 0 && y == 0 ? RGB(255, 0, 255) : RGB(x * 10, y * 12, 128);
        }));
        ts::WriteWholeFile(dir_ + "sysbuttons.bmp", ts::MakeBmp24(18, 18, [](int x, int y) {
            return RGB(x * 12, 200, y * 12);
        }));
        std::string cursor = ts::ReadWholeFile(ts::ExeDir() + "skins\\elegance\\hand.cur");
        ASSERT_FALSE(cursor.empty());
        ts::WriteWholeFile(dir_ + "hand.cur", cursor);
        ini_ = dir_ + "skin.ini";
        ASSERT_TRUE(dlg_.Create(300, NULL));
        ASSERT_TRUE(framed_.CreateEx(0, AfxRegisterWndClass(0), "framed",
                                     WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU, 0, 0, 120,
                                     90, NULL, NULL));
        baseWindows_ = ThreadWindows();
    }
    void TearDown() override
    {
        dlg_.DestroyWindow();
        framed_.DestroyWindow();
    }

    // Everything OrvixPlus reads of one skin.ini, as its windows read it.
    // Painting goes through the display: only every paintEvery-th case.
    std::string LoadAll(bool* pDialogLoaded = NULL, size_t index = 0, size_t paintEvery = 1)
    {
        BOOL dialog = dlg_.LoadSkin(ini_.c_str());
        if (pDialogLoaded)
            *pDialogLoaded = dialog != FALSE;
        // Thousands of loads, failed ones too, must not leave windows behind:
        // every child is a live element, and each element has at most a tip.
        int elements = dlg_.GetButtonCount() + dlg_.GetProgressCount() + dlg_.GetTimerCount();
        if (ChildWindows(dlg_.m_hWnd) != elements)
            return "the dialog has " + std::to_string(ChildWindows(dlg_.m_hWnd)) + " child windows for " +
                   std::to_string(elements) + " elements";
        if (ThreadWindows() > baseWindows_ + elements)
            return "windows left behind: " + std::to_string(ThreadWindows()) + " after a load of " +
                   std::to_string(elements) + " elements";
        if (dialog) {
            CRect rc;
            dlg_.GetWindowRect(&rc);
            if (rc.Width() <= 0 || rc.Height() <= 0)
                return "the loaded skin left the window without a size";
            // The dialog paints its elements over the background.
            if (index % paintEvery == 0)
                dlg_.SendMessage(WM_PAINT);
        }
        CSkinFrame frame;
        frame.WantButtons(TRUE, TRUE, TRUE);
        if (frame.LoadSkin(ini_.c_str()) && frame.Attach(framed_.m_hWnd)) {
            // Frame sizes come from the file: the frame must measure, hit-test
            // and paint with whatever it was given.
            framed_.SetWindowPos(NULL, 0, 0, 120, 90, SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
            framed_.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(5, 5));
            if (index % paintEvery == 0)
                framed_.SendMessage(WM_NCPAINT, 1);
            frame.HookWindow((HWND)NULL);
        }
        ColorTheme theme;
        ReadColorTheme(ini_.c_str(), &theme);
        return "";
    }

    std::string dir_, ini_;
    int baseWindows_ = 0;
    CSweepDialog dlg_;
    CFramed framed_;
};

}  // namespace

TEST_F(SkinFilesSweep, SkinIni)
{
    std::string valid = kSkinIni;
    ASSERT_TRUE(ts::WriteWholeFile(ini_, valid));
    bool loaded = false;
    EXPECT_EQ("", LoadAll(&loaded));
    ASSERT_TRUE(loaded) << "the valid test skin does not load";

    ts::FileSweep sweep(valid, 0x5C1u);
    sweep.Truncations().TextNumbers().DroppedLines();
    // A value longer than the token parser's working copy, and one longer
    // than the reader's buffer.
    sweep.Add("tip of 5000 characters", ts::Replaced(valid, "Play,", "Play," + std::string(5000, 'x')));
    sweep.Add("3000 commas", ts::Replaced(valid, "Button1=", "Button1=" + std::string(3000, ',')));
    // Images that are missing or named wrongly.
    sweep.Add("missing mask", ts::Replaced(valid, "mask.bmp", "none.bmp"));
    sweep.Add("missing frame image", ts::Replaced(valid, "frame.bmp", "none.bmp"));
    sweep.Add("image named by a folder", ts::Replaced(valid, "normal.bmp", "..\\..\\.."));
    sweep.RandomBytes(10000 - (int)sweep.Count());
    ASSERT_GE(sweep.Count(), 10000u);

    ts::WriteWholeFile(ini_, "");
    std::string others = ts::FolderSnapshot(dir_);
    std::vector<std::string> failures;
    {
        // The images and most cases come from memory, every 50th case from the disk.
        ts::MemoryFiles memory;
        for (const char* name : {"normal.bmp", "hovered.bmp", "pressed.bmp", "disabled.bmp",
                                 "mask.bmp", "frame.bmp", "sysbuttons.bmp"})
            memory.Set(dir_ + name, ts::ReadWholeFile(dir_ + name));
        ts::CaseFile file(memory, ini_, 50);
        // Each case waits milliseconds on the system (windows, pictures).
        sweep.Sample(40);
        failures = sweep.Run([&](const ts::SweepCase& c) {
            if (!file.Put(c))
                return std::string("skin.ini not written");
            return LoadAll(NULL, c.index, 8);
        });
    }
    for (const std::string& f : failures)
        ADD_FAILURE() << f;
    ts::WriteWholeFile(ini_, "");
    EXPECT_EQ(others, ts::FolderSnapshot(dir_)) << "the skin's images changed";
    sweep.Report("skin.ini");
}

// Frame pieces that reach outside the frame image or are turned inside out
// once sized the borders by billions of pixels, and tiling the window edge by
// them never ended.
TEST_F(SkinFilesSweep, FramePiecesOutsideTheImage)
{
    ts::FileSweep sweep(kSkinIni, 1);
    for (const char* piece : {"TopLeft0=2147483647,0,4,8", "MiddleTop0=4,0,2147483647,8",
                              "MiddleLeft0=0,8,4,-1", "BottomLeft0=-1,-1,4,16"}) {
        std::string ini = kSkinIni;
        std::string key = std::string(piece).substr(0, std::string(piece).find('=') + 1);
        size_t at = ini.find(key);
        ini.replace(at, ini.find("\r\n", at) - at, piece);
        sweep.Add(piece, ini);
    }
    // Each load, frame attached and painted, within the watchdog's bound.
    std::vector<std::string> failures = sweep.Run([&](const ts::SweepCase& c) {
        if (!ts::WriteWholeFile(ini_, c.bytes))
            return std::string("skin.ini not written");
        return LoadAll();
    }, 2000);
    for (const std::string& f : failures)
        ADD_FAILURE() << f;
}

// The skin's images, each format the skins use, damaged and then loaded by
// the picture loader and by a skin that names them.
TEST_F(SkinFilesSweep, Images)
{
    std::string bmp = ts::MakeBmp24(7, 5, [](int x, int y) { return RGB(x * 30, y * 40, 200); });
    std::string gif = ReadFileOf(ts::ExeDir() + "skin\\Sleekform\\left.gif");
    std::string jpeg = ReadFileOf(ts::ExeDir() + "skin\\Sleekform\\bottom.jpg");
    ASSERT_FALSE(gif.empty());
    ASSERT_FALSE(jpeg.empty());
    std::string path = dir_ + "sweep.img";
    for (const std::string* image : {&bmp, &gif, &jpeg}) {
        ASSERT_TRUE(ts::WriteWholeFile(path, *image));
        CBitmap b;
        CSize size;
        ASSERT_TRUE(LoadPictureFile(path.c_str(), b, size));
    }

    struct Format {
        const char* name;
        const std::string* valid;
        std::vector<size_t> int32s, int16s;
        size_t sizeAt;   // width, height of the picture
        bool bigEndian;
        int randomCases;
    };
    size_t sof = JpegSizeAt(jpeg);
    ASSERT_NE(0u, sof);
    std::vector<Format> formats = {
        {"bmp", &bmp, {2, 10, 14, 18, 22, 30, 34, 38, 42, 46, 50}, {26, 28}, 18, false, 3300},
        {"gif", &gif, {}, {6, 8}, 6, false, 2000},
        {"jpeg", &jpeg, {}, {sof, sof + 2, 4}, sof, true, 3000},
    };
    size_t total = 0;
    for (const Format& f : formats) {
        ts::FileSweep sweep(*f.valid, 0x1A6u + (uint32_t)total);
        sweep.Truncations().Int32Fields(f.int32s).Int16Fields(f.int16s);
        for (unsigned side : {0u, 65535u}) {
            std::string sized = *f.valid;
            if (f.int32s.empty()) {
                Put16(sized, f.sizeAt, side, f.bigEndian);
                Put16(sized, f.sizeAt + 2, side, f.bigEndian);
            } else {
                memcpy(&sized[f.sizeAt], &side, 4);
                memcpy(&sized[f.sizeAt + 4], &side, 4);
            }
            sweep.Add(std::to_string(side) + " x " + std::to_string(side) + " pixels", sized);
        }
        sweep.RandomBytes(f.randomCases);
        // Each decode waits on the system (about a millisecond, far more on a
        // busy machine).
        sweep.Sample(4);
        ts::MemoryFiles memory;
        ts::CaseFile file(memory, path, 25);
        std::vector<std::string> failures = sweep.Run([&](const ts::SweepCase& c) {
            if (!file.Put(c))
                return std::string("image not written");
            return CheckPicture(path);
        });
        for (const std::string& fail : failures)
            ADD_FAILURE() << f.name << " " << fail;
        sweep.Report((std::string(f.name) + " images").c_str());
        total += sweep.Count();
    }
    EXPECT_EQ("", CheckPicture(dir_ + "absent.bmp"));

    // A skin whose Normal and Mask images are 0 x 0 or 65535 x 65535 pixels,
    // or missing: the dialog and the frame load or fail, but do not fall.
    ASSERT_TRUE(ts::WriteWholeFile(ini_, kSkinIni));
    std::string mask = ts::ReadWholeFile(dir_ + "mask.bmp"), frame = ts::ReadWholeFile(dir_ + "frame.bmp");
    for (unsigned side : {0u, 65535u}) {
        std::string big = ts::BmpClaiming(bmp, side);
        for (const char* name : {"mask.bmp", "frame.bmp"}) {
            ts::WriteWholeFile(dir_ + name, big);
            EXPECT_EQ("", LoadAll()) << name << " of " << side;
            total++;
        }
        ts::WriteWholeFile(dir_ + "mask.bmp", mask);
        ts::WriteWholeFile(dir_ + "frame.bmp", frame);
    }
    DeleteFileA((dir_ + "hand.cur").c_str());
    bool loaded = true;
    EXPECT_EQ("", LoadAll(&loaded));
    EXPECT_FALSE(loaded) << "a skin without its cursor file loaded";
    EXPECT_GE(total, 10000u);
}
