#include <gtest/gtest.h>
#include "AfxCore.h"

TEST(AfxRect, CornersAreTheRectanglesOwnFields)
{
    CRect rc(10, 20, 110, 70);
    rc.TopLeft() += CSize(5, 5);
    rc.BottomRight() = CPoint(200, 100);
    EXPECT_EQ(CRect(15, 25, 200, 100), rc);
    EXPECT_EQ(CPoint(107, 62), rc.CenterPoint());
    EXPECT_EQ(CSize(185, 75), rc.Size());
    EXPECT_EQ(CSize(185, 75), rc.BottomRight() - rc.TopLeft());
}

TEST(AfxRect, SetOperationsAndNormalize)
{
    CRect a(0, 0, 10, 10), b(5, 5, 20, 20);
    EXPECT_EQ(CRect(5, 5, 10, 10), a & b);
    EXPECT_EQ(CRect(0, 0, 20, 20), a | b);
    EXPECT_TRUE((a & CRect(10, 0, 20, 10)).IsRectEmpty());
    EXPECT_TRUE(a.PtInRect(CPoint(0, 0)));
    EXPECT_FALSE(a.PtInRect(CPoint(10, 5)));  // right and bottom are outside

    CRect flipped(30, 40, 10, 20);
    EXPECT_TRUE(flipped.IsRectEmpty());
    flipped.NormalizeRect();
    EXPECT_EQ(CRect(10, 20, 30, 40), flipped);

    CRect moved = a + CPoint(3, 4);
    moved.DeflateRect(1, 2);
    EXPECT_EQ(CRect(4, 6, 12, 12), moved);
    moved.InflateRect(1, 2, 3, 4);
    EXPECT_EQ(CRect(3, 4, 15, 16), moved);
}
