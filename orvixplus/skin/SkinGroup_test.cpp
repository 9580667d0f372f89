// The group box passing its children's notices to the page, and the list
// header drawn from solid-colour pieces, read back from its window.
#include <gtest/gtest.h>
#include "SkinGroup.h"
#include "SkinComboBox.h"
#include "SkinTestUtil.h"
#include <vector>

namespace {

struct Msg {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class CPage : public CWnd {
public:
    std::vector<Msg> log;
    BOOL CreatePage()
    {
        LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursor(NULL, IDC_ARROW));
        return CreateEx(WS_EX_TOPMOST, cls, "skin group", WS_POPUP | WS_VISIBLE, 880, 60, 360, 240, NULL, NULL);
    }
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message >= WM_USER && message < WM_USER + 1000) {
            log.push_back({ message, wParam, lParam });
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

TEST(SkinGroupTest, PassesTheNoticesOfItsControlsToThePage)
{
    CPage page;
    ASSERT_TRUE(page.CreatePage());
    CSkinGroup group;
    ASSERT_TRUE(group.Create("Video", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, CRect(5, 5, 300, 200), &page, 4300));
    EXPECT_EQ(BS_OWNERDRAW, group.GetButtonStyle() & BS_TYPEMASK);
    CSkinComboBox combos[3];
    const UINT ids[3] = { 4227, 4228, 4229 };
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(combos[i].Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, CRect(10, 20 + 40 * i, 150, 120 + 40 * i),
                                     &group, ids[i]));
    // What a combo tells its parent when the user picks an item.
    for (int i = 0; i < 3; ++i)
        group.SendMessage(WM_COMMAND, MAKEWPARAM(ids[i], CBN_SELCHANGE), (LPARAM)combos[i].m_hWnd);
    group.SendMessage(WM_COMMAND, MAKEWPARAM(4227, CBN_DROPDOWN), (LPARAM)combos[0].m_hWnd);
    ASSERT_EQ(2u, page.log.size());
    EXPECT_EQ((UINT)WM_PROP_SELCHANGE, page.log[0].message);
    EXPECT_EQ(4227u, page.log[0].wParam);
    EXPECT_EQ((LPARAM)combos[0].m_hWnd, page.log[0].lParam);
    EXPECT_EQ(4228u, page.log[1].wParam);
    EXPECT_EQ((LPARAM)combos[1].m_hWnd, page.log[1].lParam);

    page.log.clear();
    EXPECT_EQ(0, group.SendMessage(WM_SKINCHECK_CLICKED, 4401, 7));
    EXPECT_EQ(0, group.SendMessage(WM_IMAGETOGGLE_CHANGED, 4402, 1));
    ASSERT_EQ(2u, page.log.size());
    EXPECT_EQ((UINT)WM_SKINCHECK_CLICKED, page.log[0].message);
    EXPECT_EQ(4401u, page.log[0].wParam);
    EXPECT_EQ(7, page.log[0].lParam);
    EXPECT_EQ((UINT)WM_IMAGETOGGLE_CHANGED, page.log[1].message);
    EXPECT_EQ(1, page.log[1].lParam);
    page.DestroyWindow();
}

TEST(SkinGroupTest, CaptionMovesLeftWhenItDoesNotFit)
{
    CRect client(0, 0, 200, 100);
    EXPECT_EQ(15, CSkinGroup::CaptionRect(client, 180, 14).left);
    EXPECT_EQ(2, CSkinGroup::CaptionRect(client, 181, 14).left);
    EXPECT_EQ(CRect(15, 0, 15 + 60 + 10, 18), CSkinGroup::CaptionRect(client, 60, 14));
}

const COLORREF kLeft = RGB(200, 0, 0), kMiddle = RGB(0, 180, 0), kRight = RGB(0, 0, 220);

class CListHost : public CWnd {
public:
    BOOL CreateHost()
    {
        LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursor(NULL, IDC_ARROW));
        return CreateEx(WS_EX_TOPMOST, cls, "skin header", WS_POPUP | WS_VISIBLE, 880, 320, 320, 60, NULL, NULL);
    }
};

TEST(SkinHeaderTest, PiecesAndTheSeparatorAfterAReorder)
{
    CListHost host;
    ASSERT_TRUE(host.CreateHost());
    CSkinHeaderCtrl header;
    ASSERT_TRUE(header.Create(WS_CHILD | WS_VISIBLE | HDS_HORZ | HDS_DRAGDROP, CRect(0, 0, 300, 20), &host, 1));
    header.SetBitmaps(skintest::SolidBitmap(4, 10, kLeft), skintest::SolidBitmap(6, 10, kMiddle),
                      skintest::SolidBitmap(4, 10, kRight));
    EXPECT_EQ(0, header.LoadBitmaps(60001, 60002, 60003));
    header.SetBitmaps(skintest::SolidBitmap(4, 10, kLeft), skintest::SolidBitmap(6, 10, kMiddle),
                      skintest::SolidBitmap(4, 10, kRight));
    for (int i = 0; i < 2; ++i) {
        HDITEM item = {};
        item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
        item.cxy = 100;
        item.fmt = HDF_STRING | HDF_CENTER;
        item.pszText = (LPSTR)(i ? "Name" : "No.");
        header.InsertItem(i, &item);
    }
    auto pixel = [&](int x, int y) {
        header.Invalidate();
        header.UpdateWindow();
        HDC dc = ::GetDC(header.m_hWnd);
        COLORREF c = ::GetPixel(dc, x, y) & 0xffffff;
        ::ReleaseDC(header.m_hWnd, dc);
        return c;
    };
    CRect r0, r1;
    header.GetItemRect(0, &r0);
    header.GetItemRect(1, &r1);
    EXPECT_EQ(kLeft, pixel(r0.left + 1, 3));
    EXPECT_EQ(kMiddle, pixel(r0.left + 40, 1));
    EXPECT_EQ(kRight, pixel(r0.right - 1, 3));
    // Column 1 is not first in order: its left edge is a separator (right piece).
    EXPECT_EQ(kRight, pixel(r1.left, 3));
    EXPECT_EQ(kMiddle, pixel(r1.right + 30, 3));

    int order[2] = { 1, 0 };
    ASSERT_TRUE(header.SetOrderArray(2, order));
    header.GetItemRect(0, &r0);
    header.GetItemRect(1, &r1);
    ASSERT_GT(r0.left, r1.left);
    EXPECT_EQ(kLeft, pixel(r1.left + 1, 3));
    EXPECT_EQ(kRight, pixel(r0.left, 3));
    host.DestroyWindow();
}

}  // namespace
