// The generated default skin holds everything the program reads from it, in
// a form the readers accept.
#include <gtest/gtest.h>
#include "IniFile.h"
#include "SkinValue.h"
#include "BitmapUtil.h"
#include "SkinTestUtil.h"
#include <map>
#include <set>

namespace {

using skintest::SkinElement;

class SkinLintTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        CoInitialize(NULL);
        dir_ = skintest::SkinDir();
        path_ = dir_ + "skin.ini";
    }
    static void TearDownTestSuite() { CoUninitialize(); }

    CIniFile Ini() const { return CIniFile(path_.c_str()); }

    // Every key of a numbered section, checked to be prefix1..prefixN.
    std::vector<CString> Values(const char* section, const char* prefix)
    {
        CStringArray keys;
        EXPECT_TRUE(Ini().GetKeyNames(section, keys)) << section;
        std::vector<CString> values;
        for (int n = 1; n <= keys.GetSize(); ++n) {
            CString key;
            key.Format("%s%d", prefix, n);
            EXPECT_STREQ(key, keys[n - 1]) << "numbered without gaps";
            CString v = Ini().GetString(section, key, "");
            EXPECT_FALSE(v.IsEmpty()) << key;
            values.push_back(v);
        }
        return values;
    }

    CSize Load(const char* file, CBitmap& bmp)
    {
        CSize size;
        EXPECT_TRUE(LoadPictureFile((dir_ + file).c_str(), bmp, size)) << file;
        return size;
    }

    static std::string dir_, path_;
};
std::string SkinLintTest::dir_, SkinLintTest::path_;

TEST_F(SkinLintTest, FileIsGbkWithoutByteOrderMark)
{
    HANDLE h = CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    char head[3] = {};
    DWORD got = 0;
    ReadFile(h, head, 3, &got, NULL);
    CloseHandle(h);
    EXPECT_FALSE(head[0] == '\xef' && head[1] == '\xbb' && head[2] == '\xbf');
    CString tip = Ini().GetString("ShapeButtonInfo", "Button1", "");
    EXPECT_GE(tip.Find("电视"), 0) << "Chinese tool tips in GBK: " << ts::Gbk((LPCTSTR)tip);
}

TEST_F(SkinLintTest, PanelImagesOneSizeAndShapedByTheMask)
{
    const char* keys[] = { "Normal", "Mask", "Hovered", "Pressed", "Disabled" };
    CBitmap bmp[5];
    CSize size[5];
    for (int i = 0; i < 5; ++i) {
        CString file = Ini().GetString("ShapeWindowInfo", keys[i], "");
        ASSERT_FALSE(file.IsEmpty()) << keys[i];
        size[i] = Load(file, bmp[i]);
        EXPECT_EQ(size[0], size[i]) << keys[i];
    }
    EXPECT_LE(size[0].cx, 600);
    EXPECT_LE(size[0].cy, 200);
    HRGN shape = BitmapToRegion(bmp[1], RGB(255, 255, 255), RGB(16, 16, 16));
    RECT box;
    EXPECT_EQ(COMPLEXREGION, GetRgnBox(shape, &box));
    EXPECT_EQ(CRect(0, 0, size[0].cx, size[0].cy), CRect(box));
    EXPECT_FALSE(PtInRegion(shape, 0, 0)) << "rounded corner";
    EXPECT_FALSE(PtInRegion(shape, 2, 2)) << "the body lies below a bulge";
    EXPECT_TRUE(PtInRegion(shape, size[0].cx / 2, 2)) << "the bulge";
    DeleteObject(shape);
}

TEST_F(SkinLintTest, ButtonsProgressAndLabelsComplete)
{
    CBitmap mask;
    CSize size = Load(Ini().GetString("ShapeWindowInfo", "Mask", ""), mask);
    HRGN shape = BitmapToRegion(mask, RGB(255, 255, 255), RGB(16, 16, 16));
    std::set<CString> keysSeen;
    auto check = [&](const SkinElement& e) {
        EXPECT_FALSE(e.rect.IsRectEmpty()) << e.name;
        EXPECT_TRUE(e.rect.left >= 0 && e.rect.top >= 0 && e.rect.right <= size.cx && e.rect.bottom <= size.cy)
            << (LPCTSTR)e.name;
        POINT corners[] = { { e.rect.left, e.rect.top }, { e.rect.right - 1, e.rect.bottom - 1 },
                            { e.rect.CenterPoint().x, e.rect.CenterPoint().y } };
        for (POINT p : corners)
            EXPECT_TRUE(PtInRegion(shape, p.x, p.y)) << (LPCTSTR)e.name << " lies on the panel";
        if (e.hasCursor) {
            HCURSOR cur = LoadCursorFromFileA((dir_ + (LPCTSTR)e.cursor).c_str());
            EXPECT_TRUE(cur != NULL) << (LPCTSTR)e.cursor;
            if (cur)
                DestroyCursor(cur);
        }
        if (e.shaped) {
            CBitmap cut;
            CropBitmapToObject(NULL, &cut, &mask, e.rect);
            HRGN r = BitmapColorToRegion(cut, e.key);
            RECT box;
            EXPECT_EQ(COMPLEXREGION, GetRgnBox(r, &box)) << (LPCTSTR)e.name << ": key colour in its rectangle";
            DeleteObject(r);
        }
    };

    std::map<CString, SkinElement> buttons;
    Values("ShapeButtonInfo", "Button");
    for (const SkinElement& e : skintest::ReadElements(path_, "ShapeButtonInfo")) {
        EXPECT_FALSE(e.tip.IsEmpty()) << (LPCTSTR)e.name;
        EXPECT_EQ(0u, buttons.count(e.name)) << (LPCTSTR)e.name;
        check(e);
        buttons[e.name] = e;
    }
    const char* wanted[] = { "TV", "Composite", "SVideo", "FM", "RECORD_MOVIE", "STOP_MOVIE", "PLAY_MOVIE",
        "PAUSE_MOVIE", "BACK_MOVIE", "AHEAD_MOVIE", "PROPERTY_PAGE", "TIMED_RECORD", "SCAN_CHANNELS",
        "CAPTURE_PICTURES", "TV_WALLS", "ADD_SND", "SUB_SND", "MUTE_SND", "MINIMIZE", "CLOSE",
        "NEXT_CHANNELS", "PRE_CHANNELS", "WWW", "NUMBER_0", "NUMBER_1", "NUMBER_2", "NUMBER_3",
        "NUMBER_4", "NUMBER_5", "NUMBER_6", "NUMBER_7", "NUMBER_8", "NUMBER_9" };
    for (const char* name : wanted)
        EXPECT_EQ(1u, buttons.count(name)) << name;
    EXPECT_EQ(sizeof(wanted) / sizeof(wanted[0]), buttons.size()) << "nothing the main dialog has no use for";
    for (const char* round : { "RECORD_MOVIE", "STOP_MOVIE", "PLAY_MOVIE", "PAUSE_MOVIE", "BACK_MOVIE", "AHEAD_MOVIE" })
        EXPECT_TRUE(buttons[round].shaped) << round;
    EXPECT_TRUE(buttons["WWW"].hasCursor);

    // The Mask holds pure white, one body colour, and each shaped element's
    // key colour inside that element's rectangle only.
    std::vector<SkinElement> shaped;
    for (const auto& b : buttons)
        if (b.second.shaped)
            shaped.push_back(b.second);
    for (const SkinElement& e : skintest::ReadElements(path_, "ShapeProgressInfo"))
        if (e.shaped)
            shaped.push_back(e);
    DWORD* bits = NULL;
    HBITMAP copy = CreateDib32(size.cx, size.cy, &bits);
    HDC src = CreateCompatibleDC(NULL), dst = CreateCompatibleDC(NULL);
    HGDIOBJ o1 = SelectObject(src, (HBITMAP)mask), o2 = SelectObject(dst, copy);
    BitBlt(dst, 0, 0, size.cx, size.cy, src, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD body = bits[(size.cy - 4) * size.cx + size.cx / 2] & 0xffffff;
    int strays = 0;
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x) {
            DWORD p = bits[y * size.cx + x] & 0xffffff;
            if (p == 0xffffff || p == body)
                continue;
            COLORREF c = RGB((p >> 16) & 0xff, (p >> 8) & 0xff, p & 0xff);
            bool keyed = false;
            for (const SkinElement& e : shaped)
                keyed = keyed || (e.key == c && e.rect.PtInRect(CPoint(x, y)));
            strays += !keyed;
        }
    EXPECT_EQ(0, strays) << "Mask pixels that are neither white, body nor a key in place";
    SelectObject(src, o1);
    SelectObject(dst, o2);
    DeleteDC(src);
    DeleteDC(dst);
    DeleteObject(copy);

    std::set<CString> sliders;
    Values("ShapeProgressInfo", "Progress");
    for (const SkinElement& e : skintest::ReadElements(path_, "ShapeProgressInfo")) {
        EXPECT_STREQ("H", e.orientation) << (LPCTSTR)e.name;
        EXPECT_FALSE(e.tip.IsEmpty()) << (LPCTSTR)e.name;
        check(e);
        sliders.insert(e.name);
    }
    EXPECT_EQ((std::set<CString>{ "PROGRESS_VOLUME", "PROGRESS_POS" }), sliders);

    // Labels: the texts they must show fit in the system font.
    HDC dc = GetDC(NULL);
    HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    auto width = [&](const char* s) { SIZE sz; GetTextExtentPoint32A(dc, s, lstrlenA(s), &sz); return (int)sz.cx; };
    std::map<CString, CRect> labels;
    Values("TimerInfo", "Timer");
    for (const SkinElement& e : skintest::ReadElements(path_, "TimerInfo")) {
        check(e);
        EXPECT_GE(e.rect.Height(), 20) << (LPCTSTR)e.name;
        labels[e.name] = e.rect;
    }
    ASSERT_EQ(3u, labels.size());
    EXPECT_GE(labels["timer_show"].Width(), width("23:59:59"));
    EXPECT_GE(labels["timer_record"].Width(), width("100:00:00"));
    EXPECT_GE(labels["timer_filesize"].Width(), width("Size: 1234.56MB"));
    EXPECT_GE(labels["timer_filesize"].Width(), width("Composite Viewing"));
    SelectObject(dc, old);
    ReleaseDC(NULL, dc);
    DeleteObject(shape);
}

TEST_F(SkinLintTest, FrameAndCaptionButtons)
{
    CIniFile ini = Ini();
    CBitmap frame;
    CSize fsize = Load(ini.GetString("DialogResInfo", "FrameImage", ""), frame);
    const char* pieces[] = { "TopLeft", "MiddleTop", "TopRight", "MiddleLeft", "MiddleRight",
                             "BottomLeft", "MiddleBottom", "BottomRight" };
    std::map<CString, CRect> rects;
    for (int state = 0; state < 2; ++state)
        for (const char* p : pieces) {
            CString key;
            key.Format("%s%d", p, state);
            CString v = ini.GetString("DialogResInfo", key, "");
            ASSERT_FALSE(v.IsEmpty()) << (LPCTSTR)key;
            CRect r = ParseRect(v);
            EXPECT_FALSE(r.IsRectEmpty()) << (LPCTSTR)key;
            EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= fsize.cx && r.bottom <= fsize.cy) << (LPCTSTR)key;
            rects[key] = r;
        }
    EXPECT_GT(rects["TopLeft0"].Height(), 10) << "caption height";
    EXPECT_EQ(1, ini.GetInt("DialogResInfo", "ShapeWindow"));
    EXPECT_EQ(0, ini.GetInt("DialogResInfo", "SkinClient"));
    CString mc = ini.GetString("DialogResInfo", "MaskColor", "");
    EXPECT_EQ(RGB(255, 0, 255), ParseColor(mc));
    EXPECT_EQ(RGB(255, 0, 255), skintest::PixelOf(frame, rects["TopLeft0"].left, rects["TopLeft0"].top))
        << "rounded top corner";
    EXPECT_NE(RGB(255, 0, 255), skintest::PixelOf(frame, rects["TopLeft0"].right - 1, rects["TopLeft0"].bottom - 1));
    // The caption is light: the frame draws black text on it.
    COLORREF cap = skintest::PixelOf(frame, rects["MiddleTop0"].left, rects["MiddleTop0"].top + 12);
    EXPECT_GT(GetRValue(cap) + GetGValue(cap) + GetBValue(cap), 3 * 160);
    // Inactive pieces are greyer: less saturated than the active ones.
    COLORREF in = skintest::PixelOf(frame, rects["MiddleTop1"].left, rects["MiddleTop1"].top + 12);
    auto spread = [](COLORREF c) { return SkinMax(SkinMax(GetRValue(c), GetGValue(c)), GetBValue(c)) - SkinMin(SkinMin(GetRValue(c), GetGValue(c)), GetBValue(c)); };
    EXPECT_LT(spread(in), spread(cap));

    CBitmap sys;
    CSize ssize = Load(ini.GetString("SystemButtons", "Image", ""), sys);
    for (const char* section : { "SysMinButton", "SysMaxButton", "SysCloseButton" }) {
        int offset = ini.GetInt(section, "OffsetRight");
        EXPECT_GT(offset, 0) << section;
        EXPECT_LE(offset, rects["TopRight0"].Width()) << section << " sits on the top-right piece";
        for (const char* state : { "normal", "over", "down", "disabled" }) {
            CString v = ini.GetString(section, state, "");
            CRect r = ParseRect(v);
            EXPECT_FALSE(r.IsRectEmpty()) << section << " " << state;
            EXPECT_TRUE(r.right <= ssize.cx && r.bottom <= ssize.cy) << section << " " << state;
            EXPECT_LE(ini.GetInt(section, "OffsetTop") + r.Height(), rects["TopRight0"].Height());
            EXPECT_LE(r.Width(), offset);
        }
    }
}

TEST_F(SkinLintTest, ColourThemeHasEveryKey)
{
    CStringArray keys;
    ASSERT_TRUE(Ini().GetKeyNames("COLORTHEME", keys));
    std::set<CString> have;
    for (int i = 0; i < keys.GetSize(); ++i)
        have.insert(keys[i]);
    const char* wanted[] = { "LogoImage", "BackGrndBmp", "LogoText", "LogoTextEndColor", "MenuColor",
        "IconBarColor", "LightBarColor", "LightBarStartColor", "LightBarEndColor", "TextColor",
        "HighLightColor", "Frame0Color", "Frame1Color", "Frame2Color", "Frame3Color" };
    for (const char* k : wanted)
        EXPECT_EQ(1u, have.count(k)) << k;
    EXPECT_STREQ("", Ini().GetString("COLORTHEME", "LogoImage", "x"));
    EXPECT_STREQ("", Ini().GetString("COLORTHEME", "BackGrndBmp", "x"));
    CString logo = Ini().GetString("COLORTHEME", "LogoTextEndColor", "");
    COLORREF c = ParseColor(logo);
    EXPECT_LT(GetRValue(c) + GetGValue(c) + GetBValue(c), 3 * 100) << "dark, under white logo text";
}

}  // namespace
