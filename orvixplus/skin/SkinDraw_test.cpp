#include <gtest/gtest.h>
#include "SkinDraw.h"
#include "SkinTestUtil.h"

using skintest::MakeBitmap;
using skintest::Surface;

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0);

TEST(TileBitmapTest, LastTileCutAndCallersClipKept)
{
    Surface s(30, 12, kWhite);
    HBITMAP tile = MakeBitmap(10, 10, [](int x, int) { return x < 5 ? kRed : kBlue; });
    IntersectClipRect(s.dc(), 0, 0, 22, 12);      // a band clip of the caller
    TileBitmap(s.dc(), CRect(0, 0, 26, 10), tile, 10, 10);
    EXPECT_EQ(kRed, s.At(0, 0));
    EXPECT_EQ(kBlue, s.At(19, 9));
    EXPECT_EQ(kRed, s.At(20, 5)) << "third tile starts at 20";
    EXPECT_EQ(kRed, s.At(21, 5));
    EXPECT_EQ(kWhite, s.At(22, 5)) << "outside the caller's clip";
    EXPECT_EQ(kWhite, s.At(5, 10)) << "below the rectangle";
    RECT box;
    GetClipBox(s.dc(), &box);
    EXPECT_EQ(CRect(0, 0, 22, 12), CRect(box)) << "the caller's clip is back";
    // Without a clip of the caller the context ends without one.
    SelectClipRgn(s.dc(), NULL);
    TileBitmap(s.dc(), CRect(0, 0, 5, 5), tile, 10, 10);
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(0, GetClipRgn(s.dc(), probe));
    DeleteObject(probe);
    DeleteObject(tile);
}

TEST(TileBitmapTest, StretchedTilesAreEachTheWholeBitmapStretched)
{
    // A 3 x 2 picture drawn as 5 x 4 tiles over 23 x 10: every tile must be
    // what drawing the whole picture into that tile alone gives.
    HBITMAP tile = MakeBitmap(3, 2, [](int x, int y) { return RGB(x * 100, y * 200, 50); });
    Surface tiled(30, 12, kWhite), one(30, 12, kWhite);
    TileBitmap(tiled.dc(), CRect(1, 1, 24, 11), tile, 5, 4);
    IntersectClipRect(one.dc(), 1, 1, 24, 11);
    for (int y = 1; y < 11; y += 4)
        for (int x = 1; x < 24; x += 5)
            DrawBitmapStretched(one.dc(), CRect(x, y, x + 5, y + 4), tile);
    int differ = 0;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 30; ++x)
            differ += tiled.At(x, y) != one.At(x, y);
    EXPECT_EQ(0, differ);
    EXPECT_EQ(kWhite, tiled.At(24, 5)) << "nothing beyond the rectangle";
    DeleteObject(tile);
}

TEST(TileBitmapTest, ZeroOrNegativeTileDrawsNothing)
{
    Surface s(10, 10, kWhite);
    HBITMAP tile = skintest::SolidBitmap(4, 4, kRed);
    TileBitmap(s.dc(), CRect(0, 0, 10, 10), tile, 0, 4);
    TileBitmap(s.dc(), CRect(0, 0, 10, 10), tile, 4, -1);
    EXPECT_EQ(kWhite, s.At(0, 0));
    DeleteObject(tile);
}

TEST(DrawSkinFrameTest, CornersInTheStripsCentreUntouched)
{
    // Source 20 x 20 in four colours by quadrant; borders 3, 4, 5, 6.
    HBITMAP img = MakeBitmap(20, 20, [](int x, int y) {
        return x < 10 ? (y < 10 ? kRed : kGreen) : (y < 10 ? kBlue : RGB(9, 9, 9));
    });
    Surface s(60, 50, kWhite);
    CRect d(0, 0, 60, 50), src(0, 0, 20, 20), b(3, 4, 5, 6);
    DrawSkinFrame(s.dc(), &d, img, &src, &b);
    EXPECT_EQ(kRed, s.At(0, 0)) << "top-left corner comes with the top strip";
    EXPECT_EQ(kBlue, s.At(59, 0));
    EXPECT_EQ(kGreen, s.At(0, 49));
    EXPECT_EQ(RGB(9, 9, 9), s.At(59, 49));
    EXPECT_EQ(kRed, s.At(1, 10)) << "left border";
    EXPECT_EQ(kWhite, s.At(30, 25)) << "centre left alone";
    EXPECT_EQ(kWhite, s.At(3, 4));
    EXPECT_EQ(kWhite, s.At(54, 43));
    // All-zero borders draw nothing.
    Surface t(30, 30, kWhite);
    CRect zero(0, 0, 0, 0), d2(0, 0, 30, 30);
    DrawSkinFrame(t.dc(), &d2, img, &src, &zero);
    EXPECT_EQ(kWhite, t.At(0, 0));
    EXPECT_EQ(kWhite, t.At(29, 29));
    DeleteObject(img);
}

TEST(MaskTest, DrawMaskedIgnoresTheContextsColours)
{
    const COLORREF key = RGB(255, 0, 255);
    HBITMAP img = MakeBitmap(6, 6, [&](int x, int y) { return x + y < 4 ? key : RGB(10, 100, 200); });
    CBitmap mask;
    ASSERT_TRUE(MakeTransparentMask(img, &mask, key, 0, 0));
    EXPECT_EQ(RGB(0, 0, 0), skintest::PixelOf(img, 0, 0)) << "key pixels blackened";
    Surface s(10, 10, RGB(250, 250, 0));
    SetTextColor(s.dc(), kGreen);
    SetBkColor(s.dc(), kBlue);
    DrawMasked(s.dc(), 2, 2, 6, 6, img, 0, 0, mask, TRUE);
    EXPECT_EQ(RGB(250, 250, 0), s.At(2, 2)) << "the key shows what was under it";
    EXPECT_EQ(RGB(10, 100, 200), s.At(7, 7));
    EXPECT_EQ(kGreen, GetTextColor(s.dc()));
    EXPECT_EQ(kBlue, GetBkColor(s.dc()));
    DeleteObject(img);
}

TEST(MaskTest, KeyTakenFromAPixel)
{
    HBITMAP img = MakeBitmap(4, 4, [](int x, int) { return x == 3 ? RGB(1, 2, 3) : RGB(50, 60, 70); });
    CBitmap mask;
    ASSERT_TRUE(MakeTransparentMask(img, &mask, SKIN_PIXEL_KEY, 3, 0));
    EXPECT_EQ(RGB(0, 0, 0), skintest::PixelOf(img, 3, 1));
    EXPECT_EQ(RGB(50, 60, 70), skintest::PixelOf(img, 0, 1));
    DeleteObject(img);
}

TEST(FillGradientTest, NineteenPixelsGiveTwentyLinesEndingInTheSecondColour)
{
    Surface s(8, 30, kWhite);
    FillGradient(s.dc(), 0, 0, 8, 19, RGB(200, 10, 0), RGB(0, 200, 255), FALSE);
    EXPECT_EQ(RGB(200, 10, 0), s.At(0, 0));
    EXPECT_EQ(RGB(0, 200, 255), s.At(3, 19));
    EXPECT_EQ(kWhite, s.At(3, 20));
    // 200 - 200 / 19 = 189.47: truncated.
    EXPECT_EQ(RGB(189, 20, 13), s.At(6, 1));
    // One line high: the first colour, no division by zero.
    FillGradient(s.dc(), 0, 25, 8, 25, kRed, kBlue, FALSE);
    EXPECT_EQ(kRed, s.At(4, 25));
}

TEST(MemDCTest, BufferLandsInPlaceWithAMovedOrigin)
{
    Surface s(60, 60, kWhite);
    SetViewportOrgEx(s.dc(), 5, 7, NULL);
    CDC* target = CDC::FromHandle(s.dc());
    SetBkColor(s.dc(), RGB(1, 1, 1));
    const COLORREF key = RGB(255, 0, 255);
    HBITMAP img = MakeBitmap(8, 8, [&](int x, int y) { return x < 2 && y < 2 ? key : kBlue; });
    {
        CRect area(10, 10, 40, 40);
        CMemDC mem(target, &area);
        mem.FillSolidRect(CRect(12, 12, 14, 14), kRed);
        // A region clip inside the buffer, whose origin is the area's corner.
        DrawRegionClippedBitmap(mem, CRect(20, 20, 28, 28), img, key, 8, 8, FALSE, 0, 0);
    }
    EXPECT_EQ(kRed, s.At(12 + 5, 12 + 7));
    EXPECT_EQ(kBlue, s.At(24 + 5, 24 + 7)) << "the clipped bitmap lands in place";
    EXPECT_EQ(RGB(1, 1, 1), s.At(20 + 5, 20 + 7)) << "its key corner is clipped away";
    DeleteObject(img);
    EXPECT_EQ(RGB(1, 1, 1), s.At(10 + 5, 10 + 7)) << "filled with the target's background";
    EXPECT_EQ(kWhite, s.At(9 + 5, 9 + 7)) << "outside the rectangle untouched";
}

TEST(RegionClipTest, ClipRegionFollowsTheOriginAndIsGivenBack)
{
    const COLORREF key = RGB(255, 0, 255);
    HBITMAP img = MakeBitmap(10, 10, [&](int x, int y) { return x < 3 && y < 3 ? key : kBlue; });
    Surface s(40, 40, kWhite);
    SetViewportOrgEx(s.dc(), 6, 4, NULL);
    IntersectClipRect(s.dc(), 0, 0, 30, 30);
    DrawRegionClippedBitmap(s.dc(), CRect(2, 2, 20, 20), img, key, 10, 10, FALSE, 1, 1);
    // The box starts at (3, 3) logical = (9, 7) on the device.
    EXPECT_EQ(kWhite, s.At(9, 7)) << "key corner not drawn";
    EXPECT_EQ(kBlue, s.At(9 + 5, 7 + 5));
    EXPECT_EQ(kWhite, s.At(9 + 10, 7 + 5));
    RECT box;
    GetClipBox(s.dc(), &box);
    EXPECT_EQ(CRect(0, 0, 30, 30), CRect(box));
    // Centred in a smaller rectangle: the box starts at its corner.
    Surface t(20, 20, kWhite);
    DrawRegionClippedBitmap(t.dc(), CRect(4, 4, 8, 8), img, key, 10, 10, TRUE, 0, 0);
    EXPECT_EQ(kBlue, t.At(4 + 5, 4 + 5));
    DeleteObject(img);
}

TEST(OwnerDrawTest, StyleKindIsReplacedNotAdded)
{
    EXPECT_EQ((UINT)BS_OWNERDRAW, OwnerDrawStyle(BS_DEFPUSHBUTTON));
    EXPECT_EQ((UINT)(BS_OWNERDRAW | BS_FLAT), OwnerDrawStyle(BS_PUSHBUTTON | BS_FLAT));
}

}  // namespace
