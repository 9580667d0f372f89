#include <gtest/gtest.h>
#include "BitmapUtil.h"
#include "SkinTestUtil.h"
#include <stdlib.h>
#include <string.h>
#include <vector>

using skintest::MakeBitmap;

namespace {

// The region a per-pixel walk gives: the test's own reference.
HRGN ReferenceRegion(int w, int h, const std::function<bool(int, int)>& in)
{
    HRGN all = CreateRectRgn(0, 0, 0, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (in(x, y)) {
                HRGN px = CreateRectRgn(x, y, x + 1, y + 1);
                CombineRgn(all, all, px, RGN_OR);
                DeleteObject(px);
            }
    return all;
}

struct RegionCount {
    explicit RegionCount(HRGN h) : rects(0)
    {
        DWORD n = GetRegionData(h, 0, NULL);
        std::vector<char> buf(n);
        if (n && GetRegionData(h, n, (RGNDATA*)buf.data()))
            rects = ((RGNDATA*)buf.data())->rdh.nCount;
    }
    DWORD rects;
};

const COLORREF kWhite = RGB(255, 255, 255);

TEST(BitmapRegionTest, AsymmetricImageMatchesPixelWalk)
{
    // An L in the top-left and one pixel bottom-right: a scan that runs
    // bottom-up or right-to-left gives a mirrored region.
    auto opaque = [](int x, int y) { return (x == 0 && y < 4) || (y == 0 && x < 3) || (x == 6 && y == 4); };
    HBITMAP bmp = MakeBitmap(7, 5, [&](int x, int y) { return opaque(x, y) ? RGB(10, 20, 30) : kWhite; });
    HRGN got = BitmapToRegion(bmp, kWhite, RGB(16, 16, 16));
    HRGN want = ReferenceRegion(7, 5, opaque);
    ASSERT_TRUE(got != NULL);
    EXPECT_TRUE(EqualRgn(got, want));
    DeleteObject(got);
    DeleteObject(want);
    DeleteObject(bmp);
}

TEST(BitmapRegionTest, ToleranceWidensUpwardOnlyAndClampsAt255)
{
    const COLORREF colours[] = { RGB(255, 255, 255), RGB(254, 255, 255), RGB(240, 250, 255),
                                 RGB(239, 250, 255), RGB(0, 0, 0) };
    HBITMAP bmp = MakeBitmap(5, 1, [&](int x, int) { return colours[x]; });
    HRGN white = BitmapToRegion(bmp, kWhite, RGB(16, 16, 16));
    HRGN want = ReferenceRegion(5, 1, [](int x, int) { return x != 0; });
    EXPECT_TRUE(EqualRgn(white, want)) << "only pure white is transparent; 254,255,255 stays";
    HRGN grey = BitmapToRegion(bmp, RGB(240, 240, 240), RGB(16, 16, 16));
    HRGN want2 = ReferenceRegion(5, 1, [](int x, int) { return x >= 3; });
    EXPECT_TRUE(EqualRgn(grey, want2));
    for (HRGN h : { white, want, grey, want2 })
        DeleteObject(h);
    DeleteObject(bmp);
}

TEST(BitmapRegionTest, ManyRunsAcrossBatchesLeaveNoSeams)
{
    // Every other pixel opaque: 40 runs a row, 4800 in all (three batches).
    auto opaque = [](int x, int y) { return ((x + y) & 1) == 0; };
    HBITMAP bmp = MakeBitmap(80, 120, [&](int x, int y) { return opaque(x, y) ? RGB(1, 2, 3) : kWhite; });
    HRGN got = BitmapToRegion(bmp, kWhite, 0);
    HRGN want = ReferenceRegion(80, 120, opaque);
    EXPECT_TRUE(EqualRgn(got, want));
    DeleteObject(got);
    DeleteObject(want);
    DeleteObject(bmp);
}

TEST(BitmapRegionTest, OpaqueRowsTransparentImagesAndNull)
{
    HBITMAP clear = skintest::SolidBitmap(9, 4, kWhite);
    HRGN empty = BitmapToRegion(clear, kWhite, 0);
    ASSERT_TRUE(empty != NULL) << "an image without opaque pixels gives a region";
    RECT box;
    EXPECT_EQ(NULLREGION, GetRgnBox(empty, &box));
    DeleteObject(empty);
    DeleteObject(clear);

    HBITMAP gap = MakeBitmap(5, 3, [](int x, int) { return x == 2 ? kWhite : RGB(9, 9, 9); });
    HRGN two = BitmapToRegion(gap, kWhite, 0);
    HRGN want = ReferenceRegion(5, 3, [](int x, int) { return x != 2; });
    EXPECT_TRUE(EqualRgn(two, want)) << "a gap in the middle of each row";
    EXPECT_EQ(2u, RegionCount(two).rects) << "two rectangles (equal rows join into one band)";
    DeleteObject(two);
    DeleteObject(want);
    DeleteObject(gap);

    EXPECT_TRUE(BitmapToRegion(NULL, kWhite, 0) == NULL);
    EXPECT_TRUE(BitmapColorToRegion(NULL, kWhite) == NULL);
}

TEST(BitmapRegionTest, ColorRegionTakesExactlyTheKey)
{
    HBITMAP bmp = MakeBitmap(6, 4, [](int x, int y) {
        return x == 4 && y == 2 ? RGB(255, 0, 0) : x == 1 ? RGB(254, 0, 0) : RGB(0, 0, 0);
    });
    HRGN one = BitmapColorToRegion(bmp, RGB(255, 0, 0));
    RECT box;
    ASSERT_EQ(SIMPLEREGION, GetRgnBox(one, &box));
    EXPECT_EQ(CRect(4, 2, 5, 3), CRect(box));
    DeleteObject(one);
    DeleteObject(bmp);
}

TEST(BitmapRegionTest, ScaleRegionScalesThenMoves)
{
    HRGN r = CreateRectRgn(1, 2, 5, 6);
    HRGN s = ScaleRegion(r, 2.0f, 3.0f, 10, 20);
    ASSERT_TRUE(s != NULL);
    RECT box;
    GetRgnBox(s, &box);
    EXPECT_EQ(CRect(12, 26, 20, 38), CRect(box));
    EXPECT_TRUE(ScaleRegion(NULL, 1, 1, 0, 0) == NULL);
    DeleteObject(r);
    DeleteObject(s);
}

int g_allocsLeft;
int g_live;
void* FailingRealloc(void* p, size_t n)
{
    if (g_allocsLeft-- <= 0)
        return NULL;
    if (!p)
        ++g_live;
    return realloc(p, n);
}

int g_allocs;
void* CountingRealloc(void* p, size_t n)
{
    ++g_allocs;
    return realloc(p, n);
}

TEST(BitmapRegionTest, OutOfMemoryGivesNullWithoutLeak)
{
    auto opaque = [](int x, int y) { return ((x + y) & 1) == 0; };
    HBITMAP bmp = MakeBitmap(80, 20, [&](int x, int y) { return opaque(x, y) ? RGB(1, 2, 3) : kWhite; });
    g_allocs = 0;
    SkinReallocFn old = SetRegionRealloc(CountingRealloc);
    HRGN whole = BitmapToRegion(bmp, kWhite, 0);
    SetRegionRealloc(old);
    ASSERT_TRUE(whole != NULL);
    ASSERT_GE(g_allocs, 2) << "the buffer grows at least once";
    DeleteObject(whole);
    // Each allocation in turn fails.
    for (int allowed = 0; allowed < g_allocs; ++allowed) {
        g_allocsLeft = allowed;
        g_live = 0;
        old = SetRegionRealloc(FailingRealloc);
        HRGN h = BitmapToRegion(bmp, kWhite, 0);
        SetRegionRealloc(old);
        EXPECT_TRUE(h == NULL) << "allowed " << allowed;
        if (h)
            DeleteObject(h);
    }
    // The buffer itself was freed: a normal build afterwards works.
    HRGN ok = BitmapToRegion(bmp, kWhite, 0);
    EXPECT_TRUE(ok != NULL);
    DeleteObject(ok);
    DeleteObject(bmp);
}

// A mask with round and straight edges, holes and runs of equal rows, as a
// top-down section, and the same pixels as a bottom-up section, a 24-bit
// section and a screen-compatible bitmap: each gives the pixel walk's region.
TEST(BitmapRegionTest, EveryKindOfBitmapGivesThePixelWalksRegion)
{
    const int w = 97, h = 61;
    HBITMAP top = skintest::SolidBitmap(w, h, kWhite);
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, top);
    SelectObject(dc, GetStockObject(NULL_PEN));
    HBRUSH body = CreateSolidBrush(RGB(20, 30, 40)), key = CreateSolidBrush(RGB(250, 0, 0));
    SelectObject(dc, body);
    RoundRect(dc, 0, 8, w, h, 20, 20);
    Ellipse(dc, 30, 0, 60, 20);
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    Ellipse(dc, 70, 30, 85, 45);
    SelectObject(dc, key);
    Rectangle(dc, 10, 20, 40, 50);
    SelectObject(dc, old);
    DeleteObject(body);
    DeleteObject(key);
    GdiFlush();
    DIBSECTION ds;
    ASSERT_EQ((int)sizeof(ds), GetObject(top, sizeof(ds), &ds));
    const DWORD* px = (const DWORD*)ds.dsBm.bmBits;
    // Near-white (within the tolerance) is transparent too.
    auto opaque = [&](int x, int y) {
        DWORD p = px[y * w + x];
        return !((p >> 16 & 0xff) >= 240 && (p >> 8 & 0xff) >= 240 && (p & 0xff) >= 240);
    };
    HRGN want = ReferenceRegion(w, h, opaque);

    std::vector<HBITMAP> kinds = { top };
    for (int bits : { 32, 24 }) {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = h;  // bottom-up
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = (WORD)bits;
        kinds.push_back(CreateDIBSection(NULL, &bi, DIB_RGB_COLORS, NULL, NULL, 0));
    }
    HDC screen = GetDC(NULL);
    kinds.push_back(CreateCompatibleBitmap(screen, w, h));
    ReleaseDC(NULL, screen);
    HDC src = CreateCompatibleDC(NULL), dst = CreateCompatibleDC(NULL);
    old = SelectObject(src, top);
    for (size_t i = 1; i < kinds.size(); ++i) {
        HGDIOBJ was = SelectObject(dst, kinds[i]);
        BitBlt(dst, 0, 0, w, h, src, 0, 0, SRCCOPY);
        SelectObject(dst, was);
    }
    SelectObject(src, old);
    DeleteDC(src);
    DeleteDC(dst);
    DeleteDC(dc);
    const char* names[] = { "top-down section", "bottom-up section", "24-bit section", "compatible bitmap" };
    for (size_t i = 0; i < kinds.size(); ++i) {
        HRGN got = BitmapToRegion(kinds[i], RGB(240, 240, 240), RGB(16, 16, 16));
        ASSERT_TRUE(got != NULL) << names[i];
        EXPECT_TRUE(EqualRgn(got, want)) << names[i];
        DeleteObject(got);
        DeleteObject(kinds[i]);
    }
    DeleteObject(want);
}

// Every growth moves the rectangles to a new block; the old one is zeroed and
// kept until the end, so that a builder still writing to it shows in the result.
std::vector<std::pair<void*, size_t>> g_blocks;
void* MovingRealloc(void* p, size_t n)
{
    void* q = calloc(1, n);
    for (auto& b : g_blocks)
        if (b.first == p) {
            memcpy(q, p, b.second < n ? b.second : n);
            memset(p, 0, b.second);
        }
    g_blocks.push_back({ q, n });
    return q;
}

TEST(BitmapRegionTest, RectanglesSurviveTheBufferMovingAsItGrows)
{
    // Far more runs than one growth step holds.
    HBITMAP bmp = MakeBitmap(60, 40, [](int x, int y) { return ((x / 3 + y) & 1) ? RGB(1, 2, 3) : kWhite; });
    HRGN want = BitmapToRegion(bmp, kWhite, 0);
    SkinReallocFn old = SetRegionRealloc(MovingRealloc);
    HRGN got = BitmapToRegion(bmp, kWhite, 0);
    SetRegionRealloc(old);
    ASSERT_TRUE(want != NULL && got != NULL);
    EXPECT_TRUE(EqualRgn(want, got));
    DeleteObject(want);
    DeleteObject(got);
    DeleteObject(bmp);
    // The builder freed the last block itself.
    g_blocks.pop_back();
    for (auto& b : g_blocks)
        free(b.first);
    g_blocks.clear();
}

// --- pictures ------------------------------------------------------------------

class PictureTest : public testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(NULL);
        dir_ = ts::FreshTempDir("pictures");
    }
    void TearDown() override { CoUninitialize(); }
    std::string dir_;
};

// A 24-bit bottom-up BMP of an odd width (rows padded), pixel (x, y) known.
std::vector<unsigned char> SmallBmp(int w, int h)
{
    int stride = (w * 3 + 3) & ~3;
    std::vector<unsigned char> f(54 + stride * h, 0);
    auto put32 = [&](int at, unsigned v) { for (int i = 0; i < 4; ++i) f[at + i] = (v >> (8 * i)) & 0xff; };
    f[0] = 'B'; f[1] = 'M';
    put32(2, (unsigned)f.size());
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    f[26] = 1; f[28] = 24;
    put32(34, stride * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned char* p = &f[54 + (h - 1 - y) * stride + x * 3];
            p[0] = (unsigned char)(x * 40);        // blue
            p[1] = (unsigned char)(y * 50);        // green
            p[2] = (unsigned char)(200 - x - y);   // red
        }
    return f;
}

TEST_F(PictureTest, BmpLoadsExactlyIntoABitmapTheCallerOwns)
{
    std::vector<unsigned char> file = SmallBmp(5, 3);
    std::string path = dir_ + "small.bmp";
    ASSERT_TRUE(skintest::WriteFile(path, file.data(), file.size()));
    CBitmap bmp;
    CSize size(-1, -1);
    ASSERT_TRUE(LoadPictureFile(path.c_str(), bmp, size));
    EXPECT_EQ(CSize(5, 3), size);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(RGB(200 - x - y, y * 50, x * 40), skintest::PixelOf(bmp, x, y)) << x << "," << y;
    // A second load replaces the first; the old handle is gone with it.
    HBITMAP first = bmp;
    ASSERT_TRUE(LoadPictureFile(path.c_str(), bmp, size));
    EXPECT_EQ(0, GetObjectType(first)) << "the previous bitmap was deleted";
    // Ours alone: deleting it works and nothing else deletes it under us.
    EXPECT_TRUE(bmp.DeleteObject());
}

const unsigned char kGif[] = {
  0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x04, 0x00, 0x03, 0x00, 0xf0, 0x00,
  0x00, 0xff, 0x00, 0x00, 0x00, 0x00, 0xff, 0x21, 0xf9, 0x04, 0x00, 0x00,
  0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x03, 0x00,
  0x00, 0x02, 0x04, 0x84, 0x6f, 0xa1, 0x51, 0x00, 0x3b
};
// 16 x 8, all 0,200,0, quality 95.
const unsigned char kJpeg[] = {
  0xff, 0xd8, 0xff, 0xe0, 0x00, 0x10, 0x4a, 0x46, 0x49, 0x46, 0x00, 0x01,
  0x01, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0xff, 0xdb, 0x00, 0x43,
  0x00, 0x02, 0x01, 0x01, 0x01, 0x01, 0x01, 0x02, 0x01, 0x01, 0x01, 0x02,
  0x02, 0x02, 0x02, 0x02, 0x04, 0x03, 0x02, 0x02, 0x02, 0x02, 0x05, 0x04,
  0x04, 0x03, 0x04, 0x06, 0x05, 0x06, 0x06, 0x06, 0x05, 0x06, 0x06, 0x06,
  0x07, 0x09, 0x08, 0x06, 0x07, 0x09, 0x07, 0x06, 0x06, 0x08, 0x0b, 0x08,
  0x09, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x06, 0x08, 0x0b, 0x0c, 0x0b, 0x0a,
  0x0c, 0x09, 0x0a, 0x0a, 0x0a, 0xff, 0xdb, 0x00, 0x43, 0x01, 0x02, 0x02,
  0x02, 0x02, 0x02, 0x02, 0x05, 0x03, 0x03, 0x05, 0x0a, 0x07, 0x06, 0x07,
  0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a,
  0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a,
  0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a,
  0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a,
  0x0a, 0x0a, 0xff, 0xc0, 0x00, 0x11, 0x08, 0x00, 0x08, 0x00, 0x10, 0x03,
  0x01, 0x11, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11, 0x01, 0xff, 0xc4, 0x00,
  0x15, 0x00, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x06, 0xff, 0xc4, 0x00, 0x14,
  0x10, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xff, 0xc4, 0x00, 0x15, 0x01, 0x01,
  0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
  0x00, 0x00, 0x00, 0x00, 0x09, 0xff, 0xc4, 0x00, 0x14, 0x11, 0x01, 0x00,
  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
  0x00, 0x00, 0x00, 0xff, 0xda, 0x00, 0x0c, 0x03, 0x01, 0x00, 0x02, 0x11,
  0x03, 0x11, 0x00, 0x3f, 0x00, 0x93, 0x4f, 0x74, 0xaf, 0x01, 0xff, 0xd9
};

TEST_F(PictureTest, GifAndJpegDecode)
{
    std::string gif = dir_ + "a.gif", jpg = dir_ + "a.jpg";
    ASSERT_TRUE(skintest::WriteFile(gif, kGif, sizeof(kGif)));
    ASSERT_TRUE(skintest::WriteFile(jpg, kJpeg, sizeof(kJpeg)));
    CBitmap bmp;
    CSize size;
    ASSERT_TRUE(LoadPictureFile(gif.c_str(), bmp, size));
    EXPECT_EQ(CSize(4, 3), size);
    EXPECT_EQ(RGB(255, 0, 0), skintest::PixelOf(bmp, 0, 0));
    EXPECT_EQ(RGB(0, 0, 255), skintest::PixelOf(bmp, 3, 2));
    ASSERT_TRUE(LoadPictureFile(jpg.c_str(), bmp, size));
    EXPECT_EQ(CSize(16, 8), size);
    COLORREF c = skintest::PixelOf(bmp, 7, 4);
    EXPECT_NEAR(0, GetRValue(c), 8);
    EXPECT_NEAR(200, GetGValue(c), 8);
    EXPECT_NEAR(0, GetBValue(c), 8);
}

TEST_F(PictureTest, GarbageOrMissingFileEmptiesTheBitmap)
{
    std::string junk = dir_ + "junk.bmp";
    ASSERT_TRUE(skintest::WriteFile(junk, "not a picture at all", 20));
    CBitmap bmp;
    bmp.Attach(skintest::SolidBitmap(3, 3, 0));
    CSize size(7, 7);
    EXPECT_FALSE(LoadPictureFile(junk.c_str(), bmp, size));
    EXPECT_TRUE(bmp.GetSafeHandle() == NULL);
    EXPECT_EQ(CSize(0, 0), size);
    size = CSize(7, 7);
    EXPECT_FALSE(LoadPictureFile((dir_ + "absent.bmp").c_str(), bmp, size));
    EXPECT_EQ(CSize(0, 0), size);
}

TEST(CropBitmapTest, CutsOneToOneAndLeavesOutputForNullSource)
{
    HBITMAP src = MakeBitmap(10, 8, [](int x, int y) { return RGB(x * 20, y * 30, 7); });
    HBITMAP cut = NULL;
    CropBitmap(NULL, &cut, src, 3, 2, 7, 6);
    ASSERT_TRUE(cut != NULL);
    BITMAP bm;
    GetObject(cut, sizeof(bm), &bm);
    EXPECT_EQ(4, bm.bmWidth);
    EXPECT_EQ(4, bm.bmHeight);
    EXPECT_EQ(RGB(60, 60, 7), skintest::PixelOf(cut, 0, 0));
    EXPECT_EQ(RGB(120, 150, 7), skintest::PixelOf(cut, 3, 3));
    HBITMAP keep = cut;
    CropBitmap(NULL, &cut, NULL, 0, 0, 2, 2);
    EXPECT_EQ(keep, cut);
    CBitmap obj, srcObj;
    srcObj.Attach(src);
    CropBitmapToObject(NULL, &obj, &srcObj, CRect(0, 0, 2, 2));
    EXPECT_EQ(RGB(20, 30, 7), skintest::PixelOf(obj, 1, 1));
    CBitmap none;
    CropBitmapToObject(NULL, &obj, &none, CRect(0, 0, 2, 2));
    EXPECT_TRUE(obj.GetSafeHandle() == NULL);
    DeleteObject(cut);
}

// Bottom-up, 24 bits a pixel, as a picture file or a resource gives it.
HBITMAP MakeBottomUp24(int w, int h, const std::function<COLORREF(int, int)>& colour)
{
    BITMAPINFO bi = DibInfo(w, h, 24);
    BYTE* p = NULL;
    HBITMAP hbm = CreateDIBSection(NULL, &bi, DIB_RGB_COLORS, (void**)&p, NULL, 0);
    const int stride = (w * 3 + 3) & ~3;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            COLORREF c = colour(x, y);
            BYTE* px = p + (size_t)(h - 1 - y) * stride + x * 3;
            px[0] = GetBValue(c);
            px[1] = GetGValue(c);
            px[2] = GetRValue(c);
        }
    return hbm;
}

// A bitmap of the screen's kind with the same pixels.
HBITMAP MakeScreenBitmap(int w, int h, const std::function<COLORREF(int, int)>& colour)
{
    HDC screen = GetDC(NULL);
    HBITMAP hbm = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(NULL, screen);
    HBITMAP src = MakeBitmap(w, h, colour);
    HDC a = CreateCompatibleDC(NULL), b = CreateCompatibleDC(NULL);
    HGDIOBJ oa = SelectObject(a, hbm), ob = SelectObject(b, src);
    BitBlt(a, 0, 0, w, h, b, 0, 0, SRCCOPY);
    SelectObject(a, oa);
    SelectObject(b, ob);
    DeleteDC(a);
    DeleteDC(b);
    DeleteObject(src);
    return hbm;
}

TEST(CropBitmapTest, EveryKindOfSourceGivesItsPixelsAndBlackBeyondIt)
{
    auto colour = [](int x, int y) { return RGB(10 + x * 9, 200 - y * 11, (x * 7 + y * 13) & 255); };
    const int W = 17, H = 13;
    struct Source {
        const char* kind;
        HBITMAP h;
    } sources[] = {
        {"top-down 32-bit section", MakeBitmap(W, H, colour)},
        {"bottom-up 24-bit section", MakeBottomUp24(W, H, colour)},
        {"screen bitmap", MakeScreenBitmap(W, H, colour)},
    };
    // Inside, across each edge and wholly outside the source.
    const RECT cuts[] = {{3, 2, 11, 9}, {-2, -3, 5, 4}, {12, 8, 20, 16}, {30, 30, 33, 32}};
    for (const Source& s : sources) {
        for (const RECT& c : cuts) {
            HBITMAP cut = NULL;
            CropBitmap(NULL, &cut, s.h, c.left, c.top, c.right, c.bottom);
            ASSERT_TRUE(cut != NULL) << s.kind;
            DIBSECTION ds;
            ASSERT_EQ((int)sizeof(ds), GetObject(cut, sizeof(ds), &ds)) << s.kind << ": a section";
            EXPECT_EQ(32, ds.dsBm.bmBitsPixel);
            ASSERT_EQ(c.right - c.left, ds.dsBm.bmWidth);
            ASSERT_EQ(c.bottom - c.top, ds.dsBm.bmHeight);
            int wrong = 0;
            for (int y = c.top; y < c.bottom; ++y)
                for (int x = c.left; x < c.right; ++x) {
                    bool inside = x >= 0 && y >= 0 && x < W && y < H;
                    COLORREF want = inside ? colour(x, y) : RGB(0, 0, 0);
                    wrong += skintest::PixelOf(cut, x - c.left, y - c.top) != want;
                }
            EXPECT_EQ(0, wrong) << s.kind << " cut at " << c.left << "," << c.top;
            DeleteObject(cut);
        }
    }
    // A source another context holds is still read right.
    HDC holder = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(holder, sources[2].h);
    HBITMAP cut = NULL;
    CropBitmap(NULL, &cut, sources[2].h, 1, 1, 4, 4);
    EXPECT_EQ(colour(3, 2), skintest::PixelOf(cut, 2, 1));
    SelectObject(holder, old);
    DeleteDC(holder);
    DeleteObject(cut);
    for (const Source& s : sources)
        DeleteObject(s.h);
}

}  // namespace
