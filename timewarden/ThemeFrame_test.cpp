// Timewarden's bitmap routines, picture loader and themed dialog frame: the
// frame on a real dialog under Xvfb, read back from the screen, with variants
// of the generated Sleekform theme.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>
#include "Dialog.h"
#include "SkinScreen.h"
#include "ThemeBitmaps.h"
#include "ThemeFrame.h"
#include "resource.h"

namespace {

using skintest::MakeBitmap;
using skintest::PixelOf;
using skintest::Rgb;
using skintest::ScreenPixel;

const COLORREF kKey = RGB(255, 0, 255);

std::string ThemeDir() { return ts::ExeDir() + "skin\\Sleekform\\"; }

int RegionRects(HRGN rgn)
{
    DWORD size = GetRegionData(rgn, 0, NULL);
    std::vector<BYTE> data(size);
    if (!GetRegionData(rgn, size, (RGNDATA*)data.data()))
        return -1;
    return (int)((RGNDATA*)data.data())->rdh.nCount;
}

// A device bitmap (the display's format) with the pixels of a section.
HBITMAP DeviceCopy(HBITMAP dib)
{
    CSize size = BitmapSize(dib);
    HDC screen = GetDC(NULL);
    HBITMAP out = CreateCompatibleBitmap(screen, size.cx, size.cy);
    ReleaseDC(NULL, screen);
    RECT all = {0, 0, size.cx, size.cy};
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, out);
    CopyBitmapToRect(dib, dc, all);
    SelectObject(dc, old);
    DeleteDC(dc);
    return out;
}

TEST(ThemeBitmaps, RegionHasOneRectanglePerRunAndNoneForTheKey)
{
    HBITMAP checker = MakeBitmap(100, 100, [](int x, int y) { return (x + y) % 2 ? kKey : RGB(10, 20, 30); });
    HRGN rgn = MakeBitmapRegion(checker, kKey);
    ASSERT_TRUE(rgn);
    EXPECT_EQ(5000, RegionRects(rgn));
    EXPECT_TRUE(PtInRegion(rgn, 0, 0));
    EXPECT_FALSE(PtInRegion(rgn, 1, 0));
    EXPECT_TRUE(PtInRegion(rgn, 1, 1));
    EXPECT_TRUE(PtInRegion(rgn, 99, 99));
    DeleteObject(rgn);

    // The same from a bitmap of the display's own format.
    HBITMAP device = DeviceCopy(checker);
    rgn = MakeBitmapRegion(device, kKey);
    ASSERT_TRUE(rgn);
    EXPECT_EQ(5000, RegionRects(rgn));
    DeleteObject(rgn);
    DeleteObject(device);
    DeleteObject(checker);

    HBITMAP allKey = MakeBitmap(30, 20, [](int, int) { return kKey; });
    rgn = MakeBitmapRegion(allKey, kKey);
    ASSERT_TRUE(rgn);
    RECT box;
    EXPECT_EQ(NULLREGION, GetRgnBox(rgn, &box));
    DeleteObject(rgn);
    DeleteObject(allKey);

    // A run reaching the row's end is closed there; rows count from the top.
    HBITMAP bar = MakeBitmap(10, 3, [](int x, int y) { return y == 0 && x < 4 ? kKey : RGB(1, 2, 3); });
    rgn = MakeBitmapRegion(bar, kKey);
    EXPECT_FALSE(PtInRegion(rgn, 3, 0));
    EXPECT_TRUE(PtInRegion(rgn, 4, 0));
    EXPECT_TRUE(PtInRegion(rgn, 9, 0));
    EXPECT_TRUE(PtInRegion(rgn, 0, 2));
    DeleteObject(rgn);
    DeleteObject(bar);
}

TEST(ThemeBitmaps, LayoutOfABitFieldsBitmapStaysInsideItsTable)
{
    struct {
        ThemeDibInfo info;
        BYTE guard[64];
    } block;
    memset(block.guard, 0xA5, sizeof(block.guard));
    HDC screen = GetDC(NULL);
    HBITMAP device = CreateCompatibleBitmap(screen, 7, 5);
    ReleaseDC(NULL, screen);
    ASSERT_TRUE(GetDisplayDibLayout(device, &block.info));
    EXPECT_EQ(32, block.info.bmiHeader.biBitCount);
    for (BYTE b : block.guard)
        ASSERT_EQ(0xA5, b);
    DeleteObject(device);
}

TEST(ThemeBitmaps, TransparentDrawingKeepsTheTargetUnderKeyPixels)
{
    HBITMAP src = MakeBitmap(8, 4, [](int x, int) { return x < 4 ? kKey : RGB(0, 200, 0); });
    skintest::Surface target(20, 10, RGB(50, 60, 70));
    DrawBitmapTransparent(target.dc(), 2, 3, 8, 4, src, 0, 0, kKey);
    EXPECT_EQ(RGB(50, 60, 70), target.At(3, 4));
    EXPECT_EQ(RGB(0, 200, 0), target.At(7, 4));
    EXPECT_EQ(RGB(50, 60, 70), target.At(10, 4));
    // A part of the source, transparent or copied.
    RECT part = {2, 0, 6, 2};
    DrawBitmapPart(src, target.dc(), 12, 0, part, kKey, TRUE);
    EXPECT_EQ(RGB(50, 60, 70), target.At(12, 0));
    EXPECT_EQ(RGB(0, 200, 0), target.At(14, 1));
    DrawBitmapPart(src, target.dc(), 12, 0, part, kKey, FALSE);
    EXPECT_EQ(kKey, target.At(12, 0));
    RECT stretch = {0, 8, 16, 10};
    StretchBitmap(src, target.dc(), stretch, NULL);
    EXPECT_EQ(kKey, target.At(1, 9));
    EXPECT_EQ(RGB(0, 200, 0), target.At(15, 9));
    DeleteObject(src);
}

TEST(ThemeBitmaps, LoaderReadsTheThemesFormatsAndRefusesAHoldingObject)
{
    CBitmap bmp, gif, jpg;
    ASSERT_TRUE(LoadImageFileBitmap(bmp, (ThemeDir() + "right.bmp").c_str(), (COLORREF)-1));
    ASSERT_TRUE(LoadImageFileBitmap(gif, (ThemeDir() + "left.gif").c_str(), (COLORREF)-1));
    ASSERT_TRUE(LoadImageFileBitmap(jpg, (ThemeDir() + "bottom.jpg").c_str(), (COLORREF)-1));
    // Left and right are drawn alike; the GIF keeps them exact and upright.
    EXPECT_EQ(BitmapSize(bmp), BitmapSize(gif));
    for (int y : {0, 20, 39})
        for (int x : {0, 2, 5})
            EXPECT_EQ(PixelOf(bmp, x, y), PixelOf(gif, x, y)) << x << "," << y;
    // The JPEG's flat halves come back within a level or two, upright.
    CSize size = BitmapSize(jpg);
    EXPECT_EQ(CSize(64, 16), size);
    struct { int y; COLORREF c; } expect[] = {{2, RGB(24, 44, 96)}, {12, RGB(120, 120, 120)}};
    for (const auto& e : expect) {
        COLORREF got = PixelOf(jpg, 30, e.y);
        EXPECT_LE(abs(GetRValue(got) - GetRValue(e.c)), 3) << e.y;
        EXPECT_LE(abs(GetGValue(got) - GetGValue(e.c)), 3) << e.y;
        EXPECT_LE(abs(GetBValue(got) - GetBValue(e.c)), 3) << e.y;
    }

    HGDIOBJ before = bmp.GetSafeHandle();
    EXPECT_FALSE(LoadImageFileBitmap(bmp, (ThemeDir() + "top.bmp").c_str(), (COLORREF)-1));
    EXPECT_EQ(before, bmp.GetSafeHandle());
    CBitmap none;
    EXPECT_FALSE(LoadImageFileBitmap(none, (ThemeDir() + "missing.bmp").c_str(), (COLORREF)-1));
    EXPECT_FALSE(LoadImageFileBitmap(none, (ThemeDir() + "theme.ini").c_str(), (COLORREF)-1));
    EXPECT_EQ(NULL, none.GetSafeHandle());
}

TEST(ThemeColours, ThreeNumbersWithAnythingBetween)
{
    EXPECT_EQ(RGB(1, 2, 3), ParseThemeColour("1,2,3", 7));
    EXPECT_EQ(RGB(10, 200, 30), ParseThemeColour(" 10 ; 200/30", 7));
    EXPECT_EQ((COLORREF)7, ParseThemeColour("", 7));
    EXPECT_EQ((COLORREF)7, ParseThemeColour("1,2", 7));
    EXPECT_EQ(RGB(255, 0, 0), ParseThemeColour("300,0,0", 7));
}

TEST(ThemePaths, TheThemeIsFoundBelowTheProgramWhateverTheCurrentFolder)
{
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA("C:\\");
    CString path = ProgramFolderPath(THEME_INI_PATH);
    SetCurrentDirectoryA(previous);
    EXPECT_STREQ((ThemeDir() + "theme.ini").c_str(), (LPCSTR)path);
}

// --- the frame on a dialog -----------------------------------------------------

class CFramedDialog : public CDialog {
public:
    CFramedDialog() : CDialog(IDD_REMOTE_ID) {}
    std::string ini;
    CThemeFrame frame;
    BOOL attached = FALSE;
protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (frame.LoadTheme(ini.c_str()) && frame.Attach(this)) {
            attached = TRUE;
            SetWindowPos(NULL, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
        }
        return TRUE;
    }
};

class ThemeFrameTest : public testing::Test {
protected:
    void SetUp() override
    {
        dir_ = ts::FreshTempDir("theme");
        const char* files[] = {"theme.ini", "top.bmp", "left.gif", "right.bmp", "bottom.jpg", "close.bmp",
                               "minimize.bmp", "dialog.bmp"};
        for (const char* f : files)
            ASSERT_TRUE(CopyFileA((ThemeDir() + f).c_str(), (dir_ + f).c_str(), FALSE)) << f;
        ini_ = dir_ + "theme.ini";
        ASSERT_TRUE(LoadImageFileBitmap(top_, (dir_ + "top.bmp").c_str(), (COLORREF)-1));
        ASSERT_TRUE(LoadImageFileBitmap(close_, (dir_ + "close.bmp").c_str(), (COLORREF)-1));
    }
    void TearDown() override
    {
        if (dlg_.m_hWnd)
            dlg_.DestroyWindow();
        if (other_)
            DestroyWindow(other_);
    }
    void Set(const char* section, const char* key, const char* value)
    {
        WritePrivateProfileStringA(section, key, value, ini_.c_str());
    }
    void Open()
    {
        dlg_.ini = ini_;
        ASSERT_TRUE(dlg_.Create(IDD_REMOTE_ID, NULL));
        dlg_.SetWindowPos(&CWnd::wndTopMost, 200, 150, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        SetForegroundWindow(dlg_.m_hWnd);
        SetActiveWindow(dlg_.m_hWnd);
        // Time to paint, as long as this build takes here.
        ts::PumpFor(ts::Scaled(200));
        GetWindowRect(dlg_.m_hWnd, &window_);
    }
    // A window pixel (window coordinates) as the screen shows it, once what
    // was drawn has reached the display.
    DWORD At(int x, int y)
    {
        ts::PumpFor(30);
        return ScreenPixel(window_.left + x, window_.top + y);
    }
    DWORD TopAt(int x, int y) { return Rgb(PixelOf(top_, x, y)); }
    // Whether the title band holds a pixel of the colour.
    bool TitleHas(COLORREF c)
    {
        CThemeFrame& f = dlg_.frame;
        CRect r(window_.left + 26, window_.top, window_.left + 120, window_.top + f.GetTopHeight());
        for (DWORD p : skintest::ScreenPixels(r))
            if (p == Rgb(c))
                return true;
        return false;
    }
    void Deactivate()
    {
        other_ = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "other", WS_POPUP | WS_VISIBLE, 900, 700, 50, 50, NULL,
                                 NULL, NULL, NULL);
        SetForegroundWindow(other_);
        SetActiveWindow(other_);
        ts::PumpFor(200);
    }

    std::string dir_, ini_;
    CBitmap top_, close_;
    CFramedDialog dlg_;
    CRect window_;
    HWND other_ = NULL;
};

TEST_F(ThemeFrameTest, BandFollowsTheActiveStateAndTheTitle)
{
    Open();
    ASSERT_TRUE(dlg_.attached);
    const CThemeFrame& f = dlg_.frame;
    const int band = f.GetTopHeight(), W = window_.Width();
    EXPECT_EQ(26, band);
    EXPECT_EQ(0, dlg_.GetStyle() & WS_SYSMENU);
    CRect client;
    dlg_.GetClientRect(&client);
    EXPECT_EQ(W - f.GetLeftWidth() - f.GetRightWidth(), client.Width());
    EXPECT_EQ(window_.Height() - band - f.GetBottomHeight(), client.Height());

    // Left piece, repeated middle, right piece, from the active half.
    EXPECT_EQ(TopAt(8, 12), At(8, 12));
    EXPECT_EQ(TopAt(45, 20), At(45 + 2 * 80, 20));
    EXPECT_EQ(TopAt(150, 3), At(W - 10, 3));
    EXPECT_TRUE(TitleHas(f.GetColour(CThemeFrame::TITLE_TEXT)));

    Deactivate();
    EXPECT_FALSE(f.IsActive());
    EXPECT_EQ(TopAt(8, 12 + band), At(8, 12));
    EXPECT_EQ(TopAt(150, 3 + band), At(W - 10, 3));
    EXPECT_TRUE(TitleHas(f.GetColour(CThemeFrame::INACTIVE_TITLE_TEXT)));
    EXPECT_FALSE(TitleHas(f.GetColour(CThemeFrame::TITLE_TEXT)));

    dlg_.SetWindowText("Another title");
    ts::PumpFor(100);
    EXPECT_EQ(TopAt(8, 12 + band), At(8, 12));
    EXPECT_TRUE(TitleHas(f.GetColour(CThemeFrame::INACTIVE_TITLE_TEXT)));
}

TEST_F(ThemeFrameTest, CaptionButtonsShowRestHotAndPressedAndAreHit)
{
    Open();
    const CThemeFrame& f = dlg_.frame;
    CRect close = f.ButtonRect(CThemeFrame::CLOSE, window_.Width());
    ASSERT_EQ(16, close.Width());
    // A pixel of the button's face, inside its glyph-free corner.
    auto face = [&]() { return At(close.left + 2, close.top + 2); };
    auto image = [&](int i) { return Rgb(PixelOf(close_, i * 16 + 2, 2)); };
    EXPECT_EQ(image(0), face());
    POINT centre = {window_.left + close.CenterPoint().x, window_.top + close.CenterPoint().y};
    LPARAM at = MAKELPARAM(centre.x, centre.y);
    // The pointer really there: the frame forgets the hot button once it leaves.
    SetCursorPos(centre.x, centre.y);
    EXPECT_EQ(HTCLOSE, dlg_.SendMessage(WM_NCHITTEST, 0, at));
    dlg_.SendMessage(WM_NCMOUSEMOVE, HTCLOSE, at);
    EXPECT_EQ(image(2), face());
    dlg_.SendMessage(WM_NCLBUTTONDOWN, HTCLOSE, at);
    EXPECT_EQ(image(1), face());
    // Released elsewhere: no click, back at rest.
    dlg_.SendMessage(WM_NCLBUTTONUP, HTCAPTION, at);
    EXPECT_EQ(image(0), face());
    EXPECT_TRUE(dlg_.IsWindowVisible());
    // Minimize shows only for a window that had the box.
    CRect minimize = f.ButtonRect(CThemeFrame::MINIMIZE, window_.Width());
    CPoint m(window_.left + minimize.CenterPoint().x, window_.top + minimize.CenterPoint().y);
    EXPECT_EQ(HTMINBUTTON, dlg_.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(m.x, m.y)));
    EXPECT_EQ(HTCAPTION, dlg_.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(window_.left + 80, window_.top + 20)));
    EXPECT_EQ(HTCLIENT, dlg_.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(window_.left + 80, window_.top + 40)));
}

TEST_F(ThemeFrameTest, NoButtonsWhenTheThemeHasNone)
{
    Set("Personality", "ButtonCount", "0");
    Open();
    ASSERT_TRUE(dlg_.attached);
    CRect close(window_.Width() - 22, 6, window_.Width() - 6, 20);
    EXPECT_TRUE(dlg_.frame.ButtonRect(CThemeFrame::CLOSE, window_.Width()).IsRectEmpty());
    LPARAM at = MAKELPARAM(window_.left + close.CenterPoint().x, window_.top + close.CenterPoint().y);
    EXPECT_EQ(HTCAPTION, dlg_.SendMessage(WM_NCHITTEST, 0, at));
    // Where the button would be, Top's right end shows.
    for (int k : {8, 14, 20})
        EXPECT_EQ(TopAt(160 - k, 10), At(window_.Width() - k, 10)) << k;
}

TEST_F(ThemeFrameTest, ZeroImageCountMeansThreeAndLimitsStayInsideTheBitmaps)
{
    Set("Personality", "ButtonImgCount", "0");
    Set("Personality", "TopBotHeight", "500");
    Set("Personality", "TopTopHeight", "900");
    Open();
    ASSERT_TRUE(dlg_.attached);
    EXPECT_EQ(3, dlg_.frame.GetButtonImageCount());
    EXPECT_EQ(16, dlg_.frame.ButtonRect(CThemeFrame::CLOSE, window_.Width()).Width());
    // The band is still drawn: its left end is Top's.
    EXPECT_EQ(TopAt(8, 12), At(8, 12));
}

TEST_F(ThemeFrameTest, ShapedCaptionLeavesOutTheKeyPixels)
{
    Open();
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(dlg_.m_hWnd, rgn));
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));
    EXPECT_FALSE(PtInRegion(rgn, window_.Width() - 1, 0));
    EXPECT_TRUE(PtInRegion(rgn, 3, 0));
    EXPECT_TRUE(PtInRegion(rgn, 0, 3));
    EXPECT_TRUE(PtInRegion(rgn, 0, 30));
    EXPECT_TRUE(PtInRegion(rgn, window_.Width() - 1, window_.Height() - 1));
    DeleteObject(rgn);
}

TEST_F(ThemeFrameTest, WithoutTransparencyTheWindowKeepsItsShape)
{
    Set("Personality", "UsesTran", "0");
    Open();
    ASSERT_TRUE(dlg_.attached);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(ERROR, GetWindowRgn(dlg_.m_hWnd, rgn));
    DeleteObject(rgn);
    // The corner key pixels are drawn as they are.
    EXPECT_EQ(Rgb(kKey), At(0, 0));
}

TEST_F(ThemeFrameTest, AMissingBorderLeavesTheNormalFrame)
{
    Set("Personality", "Bottom", "nothing.bmp");
    Open();
    EXPECT_FALSE(dlg_.attached);
    EXPECT_FALSE(dlg_.frame.IsLoaded());
    EXPECT_NE(0, dlg_.GetStyle() & WS_SYSMENU);
    CRect client;
    dlg_.GetClientRect(&client);
    CRect expect(0, 0, window_.Width(), window_.Height());
    AdjustWindowRectEx(&expect, dlg_.GetStyle(), FALSE, dlg_.GetExStyle());
    EXPECT_EQ(window_.Width() - (expect.Width() - window_.Width()), client.Width());
}

}  // namespace
