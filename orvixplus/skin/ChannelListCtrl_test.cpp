// The scrolling channel list: its whole-row scroll arithmetic on the skinned
// bars, with rows of the list's own height, and the registry's row count.
#include "ChannelListTestEnv.h"
#include "ProgramBitmaps.h"
#include "SkinSB.h"

namespace {

// Rows taller than any default font gives: the row height and a fresh
// context's font height then differ (with Wine's default fonts both are 19).
class CTallRowList : public CChannelListCtrl {
public:
    void MeasureItem(LPMEASUREITEMSTRUCT mis) override
    {
        CChannelListCtrl::MeasureItem(mis);
        mis->itemHeight = 30;
    }
};

class ChannelListCtrlTest : public ChannelListTest {
protected:
    // A list whose client area is clientHeight pixels high with its bars.
    void Make(CChannelListCtrl& list, int clientHeight)
    {
        CreateList(list, CRect(10, 10, 410, 10 + clientHeight));
        CRect client;
        list.GetClientRect(&client);
        CRect window;
        list.GetWindowRect(&window);
        list.SetWindowPos(NULL, 0, 0, window.Width(), window.Height() + clientHeight - client.Height(),
                          SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        list.GetClientRect(&client);
        ASSERT_EQ(clientHeight, client.Height());
    }
    int BarPos(CWnd& list)
    {
        return SkinSB_GetScrollPos(list.m_hWnd, SB_VERT);
    }
    int Top(CListCtrl& list) { return list.GetTopIndex(); }
};

int DefaultFontStep(HWND hwnd)
{
    HDC dc = GetDC(hwnd);
    TEXTMETRIC tm;
    GetTextMetrics(dc, &tm);
    ReleaseDC(hwnd, dc);
    return tm.tmHeight + tm.tmExternalLeading;
}

}  // namespace

TEST_F(ChannelListCtrlTest, WholeRowsPageThroughTwelveChannels)
{
    CChannelListCtrl list;
    Make(list, 190);
    Fill(list, 12);
    ASSERT_EQ(19, list.GetVerticalUnit());
    ASSERT_TRUE(SkinSB_IsAttached(list.m_hWnd));
    list.SetRowCount(12);
    EXPECT_EQ(10, list.GetVisibleRows());
    EXPECT_EQ(12, list.GetVerticalMax());
    SCROLLINFO si = {};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    SkinSB_GetScrollInfo(list.m_hWnd, SB_VERT, &si);
    EXPECT_EQ(12, si.nMax);
    EXPECT_EQ(10u, si.nPage);

    list.SendMessage(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(3, list.GetVerticalPos());
    EXPECT_EQ(3, BarPos(list));
    EXPECT_EQ(3, Top(list));
    list.SendMessage(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(3, list.GetVerticalPos()) << "3 is the last position";
    list.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 1));
    list.SendMessage(WM_VSCROLL, SB_ENDSCROLL);
    EXPECT_EQ(3, list.GetVerticalPos());
    EXPECT_EQ(3, Top(list));
    list.SendMessage(WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(2, Top(list));
    list.SendMessage(WM_VSCROLL, SB_TOP);
    EXPECT_EQ(0, Top(list));
    EXPECT_EQ(0, BarPos(list));

    // After the list scrolled itself, the bar shows the images, not the
    // system's bar the list painted.
    list.SendMessage(WM_VSCROLL, SB_PAGEDOWN);
    ts::PumpFor(50);
    CRect w;
    list.GetWindowRect(&w);
    HBITMAP thumb = LoadBitmap(GetModuleHandle(NULL), MAKEINTRESOURCE(IDB_SB_VTHUMB));
    DWORD thumbFace = skintest::Rgb(skintest::PixelOf(thumb, 0, 0));
    DeleteObject(thumb);
    int bar = GetSystemMetrics(SM_CXVSCROLL);
    bool seen = false;
    for (int y = w.top; y < w.bottom - bar; ++y)
        seen = seen || skintest::ScreenPixel(w.right - bar / 2 - 1, y) == thumbFace;
    EXPECT_TRUE(seen) << "no skinned thumb on the screen";

    // The wheel: the list scrolls itself and the bar follows its position.
    list.SendMessage(WM_VSCROLL, SB_TOP);
    list.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(w.left + 50, w.top + 50));
    EXPECT_GT(Top(list), 0);
    EXPECT_EQ(GetScrollPos(list.m_hWnd, SB_VERT), BarPos(list));
    EXPECT_EQ(BarPos(list), list.GetVerticalPos());
}

TEST_F(ChannelListCtrlTest, AnEmptyListHasNothingToScroll)
{
    CChannelListCtrl list;
    Make(list, 190);
    EXPECT_EQ(CChannelListCtrl::DEFAULT_ROWS, list.GetRowCount());
    list.SetRowCount(0);
    EXPECT_EQ(0, list.GetVerticalMax());
    EXPECT_EQ(1, list.GetVisibleRows());
    EXPECT_EQ(0, list.GetVerticalPos());
    list.SendMessage(WM_VSCROLL, SB_PAGEDOWN);
    list.SendMessage(WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(0, list.GetVerticalPos());
    EXPECT_EQ(0, BarPos(list));
    // A click on an empty list scrolls no column into view.
    list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 30));
    list.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 30));
    EXPECT_EQ(0, list.GetItemCount());
}

TEST_F(ChannelListCtrlTest, RowsTallerThanTheDefaultFontStillScrollWholeRows)
{
    CTallRowList list;
    Make(list, 300);
    EXPECT_EQ(30, list.GetVerticalUnit()) << "measured before any row exists";
    Fill(list, 12);
    ASSERT_EQ(30, list.GetVerticalUnit());
    ASSERT_NE(30, DefaultFontStep(list.m_hWnd));
    list.SetRowCount(12);
    EXPECT_EQ(10, list.GetVisibleRows());
    list.SendMessage(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(3, Top(list));
    list.SendMessage(WM_VSCROLL, SB_LINEUP);
    list.SendMessage(WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(1, Top(list));
    list.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 3));
    EXPECT_EQ(3, Top(list));
    EXPECT_EQ(3, BarPos(list));
}

TEST_F(ChannelListCtrlTest, TheRegistrySetsTheRowCount)
{
    CChannelListCtrl list;
    Make(list, 190);
    CSkinCtrlMap map;
    EXPECT_EQ(0, map.SetChannelListRowCount(4133, 12)) << "not filed yet";
    map.AddChannelList(4133, &list);
    EXPECT_EQ(0, map.SetChannelListRowCount(4133, -1));
    EXPECT_EQ(CChannelListCtrl::DEFAULT_ROWS, list.GetRowCount());
    EXPECT_EQ(1, map.SetChannelListRowCount(4133, 12));
    EXPECT_EQ(12, list.GetRowCount());
    EXPECT_EQ(12, list.GetVerticalMax());
    // Horizontally: 50 units of 10 pixels.
    list.SendMessage(WM_HSCROLL, SB_PAGEDOWN);
    EXPECT_GT(list.GetHorizontalPos(), 0);
    EXPECT_EQ(list.GetHorizontalPos(), SkinSB_GetScrollPos(list.m_hWnd, SB_HORZ));
}
