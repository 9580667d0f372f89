// The bitmap scroll bars beside a real 40-row report list, driven by mouse
// messages and timers, and read back from their windows.
#include <gtest/gtest.h>
#include <vector>
#include "SkinListBars.h"
#include "SkinListCtrl.h"
#include "ListCtrl.h"
#include "SkinTestUtil.h"

namespace {

const COLORREF kUp = RGB(200, 0, 0), kDown = RGB(0, 200, 0), kTile = RGB(120, 120, 120),
               kThumb = RGB(0, 0, 210), kBottom = RGB(220, 220, 0);

// Arrows, track and thumb in flat colours; the vertical bar has a bottom piece.
void SolidVertical(CSkinScrollBar& bar)
{
    bar.SetBitmaps(skintest::SolidBitmap(16, 16, kUp), skintest::SolidBitmap(16, 16, kDown),
                   skintest::SolidBitmap(16, 8, kTile), skintest::SolidBitmap(16, 20, kThumb), NULL,
                   skintest::SolidBitmap(16, 16, kBottom));
}

void SolidHorizontal(CSkinHScrollBar& bar)
{
    bar.SetBitmaps(skintest::SolidBitmap(16, 16, kUp), skintest::SolidBitmap(16, 16, kDown),
                   skintest::SolidBitmap(20, 16, kThumb), skintest::SolidBitmap(8, 16, kTile));
}

class CHost : public CWnd {
public:
    BOOL CreateHost()
    {
        LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursor(NULL, IDC_ARROW));
        return CreateEx(WS_EX_TOPMOST, cls, "skin list bars", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 60, 520, 360,
                        300, NULL, NULL);
    }
};

class SkinListBarsTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(host_.CreateHost());
        ASSERT_TRUE(list_.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOSORTHEADER, CRect(0, 0, 200, 200), &host_,
                                 100));
        list_.InsertColumn(0, "Channel", LVCFMT_LEFT, 150);
        ASSERT_TRUE(bar_.Create("", WS_CHILD | WS_VISIBLE | SS_NOTIFY, CRect(200, 0, 216, 216), &host_, 0xffff));
        SolidVertical(bar_);
        bar_.SetOwnerList(&list_);
    }
    void TearDown() override { host_.DestroyWindow(); }
    void Fill(int rows)
    {
        list_.DeleteAllItems();
        for (int i = 0; i < rows; ++i) {
            CString s;
            s.Format("Channel %d", i + 1);
            list_.InsertItem(i, s);
        }
        bar_.UpdateThumb();
    }
    void Press(int y) { bar_.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, y)); }
    void Release(int y) { bar_.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(8, y)); }
    void Move(int y) { bar_.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(8, y)); }
    int Top() { return (int)list_.SendMessage(LVM_GETTOPINDEX); }
    int PerPage() { return (int)list_.SendMessage(LVM_GETCOUNTPERPAGE); }
    // y inside the down arrow (the bottom piece is 16 high).
    int DownArrowY() { return 216 - 16 - 16 + 4; }
    CHost host_;
    CListCtrl list_;
    CSkinScrollBar bar_;
};

TEST_F(SkinListBarsTest, ArrowStepsOnReleaseAndRepeatsWhileHeld)
{
    Fill(40);
    Press(DownArrowY());
    EXPECT_EQ(0, Top());
    Release(DownArrowY());
    EXPECT_EQ(1, Top());
    Press(4);
    Release(4);
    EXPECT_EQ(0, Top());

    // Enough rows that a slow machine's repeats do not reach the end.
    Fill(400);
    DWORD start = GetTickCount();
    Press(DownArrowY());
    ts::PumpFor(150);
    if (GetTickCount() - start < 230) {
        EXPECT_EQ(0, Top()) << "no step before the delay";
    }
    ts::PumpFor(350);
    int held = Top();
    EXPECT_GE(held, 2);
    Release(DownArrowY());
    EXPECT_EQ(held + 1, Top());
    // Both timers stopped: nothing more happens.
    ts::PumpFor(150);
    EXPECT_EQ(held + 1, Top());

    // A press shorter than the delay leaves no timer behind either.
    Press(DownArrowY());
    Release(DownArrowY());
    ts::PumpFor(400);
    EXPECT_EQ(held + 2, Top());
}

TEST_F(SkinListBarsTest, TrackClicksPageAndTheThumbEdgeDoesNothing)
{
    Fill(40);
    int page = PerPage();
    ASSERT_GT(page, 1);
    int thumb = bar_.GetThumb();
    EXPECT_EQ(16, thumb);
    Press(thumb);
    Release(thumb);
    EXPECT_EQ(0, Top());
    Press(150);
    Release(150);
    EXPECT_EQ(page, Top());
    EXPECT_GT(bar_.GetThumb(), thumb);
    Press(bar_.GetThumb() - 1);
    Release(bar_.GetThumb() - 1);
    EXPECT_EQ(0, Top());
}

TEST_F(SkinListBarsTest, DragPutsTheRowUnderTheThumbOnTopWithTallRows)
{
    // A face far taller than the context's default: rows no longer match
    // the default font's height.
    LOGFONT lf = {};
    lf.lfHeight = -30;
    lstrcpynA(lf.lfFaceName, "Tahoma", LF_FACESIZE);
    HFONT font = CreateFontIndirect(&lf);
    list_.SendMessage(WM_SETFONT, (WPARAM)font, TRUE);
    Fill(40);
    int row = ListRowHeight(list_.m_hWnd);
    HDC dc = GetDC(NULL);
    TEXTMETRIC tm;
    GetTextMetrics(dc, &tm);
    ReleaseDC(NULL, dc);
    ASSERT_NE(row, tm.tmHeight + tm.tmExternalLeading);

    SCROLLINFO si = {};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(list_.m_hWnd, SB_VERT, &si));
    int limit = si.nMax - (int)si.nPage + 1;
    ASSERT_GT(limit, 5);
    int track = 216 - 16 - 16 - 16 - 20;
    Press(bar_.GetThumb() + 5);
    int y = 90;
    Move(y);
    int expected = (y - 10 - 16) * limit / track;
    EXPECT_EQ(expected, Top());
    Move(y + 40);
    expected = (y + 40 - 10 - 16) * limit / track;
    EXPECT_EQ(expected, Top());
    // Released over the thumb, the drag ends without a step.
    Release(y + 40);
    EXPECT_EQ(expected, Top());
    list_.SendMessage(WM_SETFONT, 0, FALSE);
    DeleteObject(font);
}

// Pixels per row taken as a double and divided into the thumb's offset came
// out one row short at exact multiples, in one build or the other: a thumb
// dragged to the end of the track left the last row out of view.
TEST(ScrollBarGeometry, ThumbsOnWholeRowsShowThoseRowsAndTheTrackEndsTheListEnds)
{
    // Rows that end on a whole pixel, worked out by hand: 110 pixels over 10
    // rows are 11 a row, so 7 rows end at 77; 164 over 20 are 8.2, so 15 end
    // at 123; 20 over 30 are 2/3, so 3 end at 2. Through a double's pixels a
    // row, the seven after the first put the thumb a pixel short (the 4 and
    // the 2 only in the 32-bit build), and the last two read back a row short.
    struct { int track, limit, pos, offset; } whole[] = {
        {110, 10, 7, 77}, {164, 20, 15, 123}, {140, 50, 45, 126}, {143, 33, 27, 117}, {185, 45, 27, 111},
        {194, 42, 21, 97}, {20, 15, 3, 4},    {20, 30, 3, 2},     {20, 58, 29, 10},   {44, 20, 15, 33},
    };
    for (const auto& w : whole) {
        EXPECT_EQ(w.offset, ScrollThumbOffset(w.track, w.pos, w.limit)) << w.track << " " << w.limit << " " << w.pos;
        EXPECT_EQ(w.pos, ScrollPositionAt(w.offset, w.track, w.limit)) << w.track << " " << w.limit << " " << w.pos;
    }
    for (int track = 20; track <= 200; track += 3)
        for (int limit = 1; limit <= 60; limit++) {
            EXPECT_EQ(limit, ScrollPositionAt(track, track, limit)) << track << " " << limit;
            EXPECT_EQ(track, ScrollThumbOffset(track, limit, limit)) << track << " " << limit;
            // A thumb put where a whole row ends shows that row.
            for (int pos = 0; pos <= limit; pos++) {
                if (pos * track % limit)
                    continue;
                ASSERT_EQ(pos, ScrollPositionAt(ScrollThumbOffset(track, pos, limit), track, limit))
                    << track << " " << limit << " " << pos;
            }
        }
    EXPECT_EQ(2, ScrollPositionAt(9, 20, 6)) << "cut toward the start";
    EXPECT_EQ(6, ScrollThumbOffset(20, 1, 3)) << "cut toward the start";
    EXPECT_EQ(0, ScrollPositionAt(5, 0, 6)) << "no track";
    EXPECT_EQ(0, ScrollThumbOffset(100, 5, 0)) << "nothing to scroll";
}

TEST_F(SkinListBarsTest, ReleaseOverTheDownArrowAfterADragPagesWithoutALineStep)
{
    Fill(40);
    int page = PerPage();
    Press(bar_.GetThumb() + 5);
    Move(40);
    int dragged = Top();
    ASSERT_GT(dragged, 0);
    ASSERT_LT(dragged + page, 40 - page) << "room for a page and a line after the drag";
    // The press was on the thumb, not the arrow: outside the thumb, a page.
    Release(DownArrowY());
    EXPECT_EQ(dragged + page, Top());
}

TEST_F(SkinListBarsTest, AReleaseOnTheThumbAfterAShortDragLeavesTheListWhereTheDragDid)
{
    // A few rows more than the list shows: one scroll unit spans more of the
    // track than half the thumb, so the list's position puts the thumb well
    // away from where the pointer left it.
    Fill(40);
    const int rows = PerPage() + 5;
    Fill(rows);
    SCROLLINFO si = {};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(list_.m_hWnd, SB_VERT, &si));
    const int limit = si.nMax - (int)si.nPage + 1;
    const int track = 216 - 16 - 16 - 16 - 20;
    ASSERT_GT(limit, 1);
    ASSERT_GT(track / limit, bar_.GetThumbLength() / 2);

    // Short drags from wherever the thumb rests, down the track and back up,
    // each let go where the pointer went.
    std::vector<int> targets;
    for (int y = 28; y <= 172; y += 6)
        targets.push_back(y);
    for (int y = 169; y >= 28; y -= 6)
        targets.push_back(y);
    int moved = 0;
    for (int y : targets) {
        int before = Top();
        Press(bar_.GetThumb() + bar_.GetThumbLength() / 2);
        Move(y);
        int dragged = Top();
        moved += dragged != before;
        Release(y);
        EXPECT_EQ(dragged, Top()) << "released at " << y << " after a drag from row " << before;
    }
    EXPECT_GE(moved, 2 * (limit - 1)) << "the drags hardly moved the list";
}

TEST_F(SkinListBarsTest, NothingToScrollIsHarmless)
{
    Fill(3);
    EXPECT_EQ(16, bar_.GetThumb());
    Press(bar_.GetThumb() + 2);
    Move(150);
    EXPECT_EQ(16, bar_.GetThumb());
    Release(150);
    Press(150);
    Release(150);
    EXPECT_EQ(0, Top());
    EXPECT_EQ(16, bar_.GetThumb());
}

TEST_F(SkinListBarsTest, BarShowsItsImagesAfterScrolling)
{
    Fill(40);
    Press(150);
    Release(150);
    bar_.UpdateWindow();
    HDC dc = ::GetDC(bar_.m_hWnd);
    auto at = [&](int y) { return ::GetPixel(dc, 8, y) & 0xffffff; };
    EXPECT_EQ(kUp, at(5));
    EXPECT_EQ(kThumb, at(bar_.GetThumb() + 10));
    EXPECT_EQ(kTile, at(bar_.GetThumb() - 3));
    EXPECT_EQ(kDown, at(216 - 16 - 5));
    EXPECT_EQ(kBottom, at(216 - 5));
    ::ReleaseDC(bar_.m_hWnd, dc);
}

}  // namespace

namespace {

TEST(SkinListCtrlTest, BarsBesideTheListAboveItAndTheHeaderSkinned)
{
    CHost host;
    ASSERT_TRUE(host.CreateHost());
    CSkinListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(10, 10, 230, 210), &host, 101));
    list.InsertColumn(0, "Drive", LVCFMT_LEFT, 300);
    // The bars are placed by the client area the list has at that moment.
    CRect client;
    list.GetClientRect(&client);
    list.MapWindowPoints(&host, &client);
    ASSERT_TRUE(list.InitSkin());
    list.Header().SetBitmaps(skintest::SolidBitmap(4, 10, kUp), skintest::SolidBitmap(6, 10, kDown),
                             skintest::SolidBitmap(4, 10, kUp));
    SolidVertical(list.VerticalBar());
    SolidHorizontal(list.HorizontalBar());
    for (int i = 0; i < 40; ++i)
        list.InsertItem(i, "C:\\");
    EXPECT_EQ((HWND)list.SendMessage(LVM_GETHEADER), list.Header().m_hWnd);
    EXPECT_TRUE(list.GetStyle() & WS_CLIPSIBLINGS);

    CRect h, v;
    list.HorizontalBar().GetWindowRect(&h);
    host.ScreenToClient(&h);
    list.VerticalBar().GetWindowRect(&v);
    host.ScreenToClient(&v);
    EXPECT_EQ(CRect(client.left, client.bottom, client.right, client.bottom + 16), h);
    EXPECT_EQ(CRect(client.right, client.top, client.right + 16, client.bottom + 16), v);
    EXPECT_EQ(h.bottom, v.bottom);
    // Both bars lie above the list in the Z order.
    HWND first = ::GetWindow(host.m_hWnd, GW_CHILD);
    EXPECT_TRUE(first == list.VerticalBar().m_hWnd || first == list.HorizontalBar().m_hWnd);
    EXPECT_EQ(0xffff, list.VerticalBar().GetDlgCtrlID());

    // After scrolling the screen shows the bar's images, not the list's bar.
    list.VerticalBar().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 150));
    list.VerticalBar().SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(8, 150));
    EXPECT_GT((int)list.SendMessage(LVM_GETTOPINDEX), 0);
    ts::PumpFor(100);
    host.UpdateWindow();
    HDC dc = ::GetDC(host.m_hWnd);
    int thumb = list.VerticalBar().GetThumb();
    EXPECT_EQ(kThumb, ::GetPixel(dc, v.left + 8, v.top + thumb + 10) & 0xffffff);
    EXPECT_EQ(kUp, ::GetPixel(dc, v.left + 8, v.top + 5) & 0xffffff);
    EXPECT_EQ(kTile, ::GetPixel(dc, h.left + 40, h.top + 8) & 0xffffff);
    ::ReleaseDC(host.m_hWnd, dc);
    host.DestroyWindow();
}

}  // namespace

namespace {

TEST(SkinHScrollBarTest, ArrowsAndPagesMoveTheListSideways)
{
    CHost host;
    ASSERT_TRUE(host.CreateHost());
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 200, 150), &host, 102));
    list.InsertColumn(0, "Name", LVCFMT_LEFT, 400);
    list.InsertColumn(1, "Frequency", LVCFMT_LEFT, 400);
    for (int i = 0; i < 3; ++i)
        list.InsertItem(i, "x");
    CSkinHScrollBar bar;
    ASSERT_TRUE(bar.Create("", WS_CHILD | WS_VISIBLE | SS_NOTIFY, CRect(0, 150, 200, 166), &host, 0xffff));
    SolidHorizontal(bar);
    bar.SetOwnerList(&list);
    bar.UpdateThumb();
    EXPECT_EQ(16, bar.GetThumb());
    auto click = [&](int x) {
        bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 8));
        bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(x, 8));
    };
    auto pos = [&] { return GetScrollPos(list.m_hWnd, SB_HORZ); };
    click(195);
    int line = pos();
    EXPECT_GT(line, 0);
    click(120);
    int paged = pos();
    EXPECT_GT(paged, line);
    EXPECT_GT(bar.GetThumb(), 16);
    // The thumb's left edge is on the thumb: no page.
    click(bar.GetThumb());
    EXPECT_EQ(paged, pos());
    // A press on the thumb, a short drag, and a release over the right arrow
    // still steps: one line on from where the drag left the list.
    int grab = bar.GetThumb() + 2;
    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grab, 8));
    bar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(grab + 3, 8));
    int dragged = pos();
    bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(195, 8));
    EXPECT_EQ(dragged + line, pos());
    click(bar.GetThumb() - 1);
    EXPECT_LT(pos(), paged + 1);
    host.DestroyWindow();
}

}  // namespace
