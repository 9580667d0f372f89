// The skinned non-client scroll bars on a plain window: the setters' clamps
// and visibility, the bars' pixels from the program's bitmaps, and a real
// pointer pressing arrows and dragging the thumb.
#include <gtest/gtest.h>
#include <vector>
#include "ProgramBitmaps.h"
#include "BitmapUtil.h"
#include "SkinSB.h"
#include "SkinScreen.h"
#include <commctrl.h>

namespace {

struct Scroll {
    UINT code;
    int pos;
    DWORD at;
};

class CBarsHost : public CWnd {
public:
    BOOL CreateHost(int x, int y)
    {
        LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursor(NULL, IDC_ARROW));
        return CreateEx(WS_EX_TOPMOST, cls, "skinsb host", WS_POPUP | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, x, y, 300,
                        240, NULL, NULL);
    }
    std::vector<Scroll> vscrolls;
    std::vector<UINT> ncButtons;  // what the bars let through
protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_VSCROLL) {
            vscrolls.push_back({ LOWORD(wParam), (short)HIWORD(wParam), GetTickCount() });
            return 0;
        }
        if (msg == WM_NCRBUTTONDOWN || msg == WM_NCMBUTTONDOWN)
            ncButtons.push_back(msg);
        return CWnd::WindowProc(msg, wParam, lParam);
    }
};

SCROLLINFO Info(int nMin, int nMax, UINT nPage, int nPos, UINT mask = SIF_ALL)
{
    SCROLLINFO si = { sizeof(si), mask, nMin, nMax, nPage, nPos, 0 };
    return si;
}

DWORD FaceOf(UINT id)
{
    HBITMAP bmp = ::LoadBitmap(::GetModuleHandle(NULL), MAKEINTRESOURCE(id));
    DWORD c = skintest::Rgb(skintest::PixelOf(bmp, 0, 0));
    ::DeleteObject(bmp);
    return c;
}

BOOL LoadProgramBitmaps()
{
    HINSTANCE h = ::GetModuleHandle(NULL);
    return SkinSB_LoadBitmaps(h, MAKEINTRESOURCE(IDB_SB_LEFT), MAKEINTRESOURCE(IDB_SB_HTHUMB),
                              MAKEINTRESOURCE(IDB_SB_HTRACK), MAKEINTRESOURCE(IDB_SB_RIGHT), MAKEINTRESOURCE(IDB_SB_UP),
                              MAKEINTRESOURCE(IDB_SB_VTHUMB), MAKEINTRESOURCE(IDB_SB_VTRACK),
                              MAKEINTRESOURCE(IDB_SB_DOWN), MAKEINTRESOURCE(IDB_SB_CORNER));
}

class SkinSBTest : public testing::Test {
protected:
    // Without them the classic look is drawn (the last attached window's
    // destruction let the shared bitmaps go).
    virtual bool WithBitmaps() const { return true; }
    void SetUp() override
    {
        if (WithBitmaps()) {
            ASSERT_TRUE(LoadProgramBitmaps());
        }
        ASSERT_TRUE(host_.CreateHost(80, 120));
        skintest::KeepActive() = host_.m_hWnd;
        ASSERT_TRUE(InitializeSkinSB(host_.m_hWnd));
        SCROLLINFO si = Info(0, 100, 10, 0);
        SkinSB_SetScrollInfo(host_.m_hWnd, SB_VERT, &si, TRUE);
        SkinSB_SetScrollInfo(host_.m_hWnd, SB_HORZ, &si, TRUE);
        ts::PumpFor(50);
    }
    void TearDown() override
    {
        skintest::KeepActive() = NULL;
        if (host_.m_hWnd)
            host_.DestroyWindow();
    }
    // The vertical bar in screen coordinates.
    CRect VBar()
    {
        CRect w;
        host_.GetWindowRect(&w);
        int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
        return CRect(w.right - cx, w.top, w.right, w.bottom - cy);
    }
    SkinSBLayout VLayout()
    {
        SCROLLINFO si = Info(0, 0, 0, 0);
        SkinSB_GetScrollInfo(host_.m_hWnd, SB_VERT, &si);
        return SkinSB_Layout(VBar().Height(), GetSystemMetrics(SM_CYVSCROLL), si, 6);
    }
    LRESULT Hit(POINT screen) { return host_.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)); }
    CBarsHost host_;
};

TEST(SkinSBArithmetic, ThumbAndDragWithAPageARangeOrNothingToScroll)
{
    // 100 pixels of bar, 10-pixel arrows: an 80-pixel track.
    SkinSBLayout lay = SkinSB_Layout(100, 10, Info(0, 99, 20, 0), 6);
    EXPECT_EQ(80, lay.nTrack);
    EXPECT_EQ(16, lay.nThumb);
    EXPECT_EQ(10, lay.nThumbStart);
    lay = SkinSB_Layout(100, 10, Info(0, 99, 20, 80), 6);
    EXPECT_EQ(10 + 64, lay.nThumbStart) << "the last position puts the thumb at the track's end";
    // Everything fits: no division by zero, the thumb at the start.
    lay = SkinSB_Layout(100, 10, Info(0, 9, 10, 0), 6);
    EXPECT_EQ(80, lay.nThumb);
    EXPECT_EQ(10, lay.nThumbStart);
    EXPECT_EQ(0, SkinSB_PositionFromOffset(Info(0, 9, 10, 0), 0, 80, 80));
    // The drag keeps the minimum.
    EXPECT_EQ(10, SkinSB_PositionFromOffset(Info(10, 109, 20, 10), 0, 80, 16));
    EXPECT_EQ(10 + 80, SkinSB_PositionFromOffset(Info(10, 109, 20, 10), 64, 80, 16));
    // A short bar: two half arrows, no thumb.
    lay = SkinSB_Layout(15, 10, Info(0, 99, 20, 0), 6);
    EXPECT_EQ(7, lay.nArrow);
    EXPECT_EQ(0, lay.nThumb);
    EXPECT_EQ(SKINSB_PART_FIRST_ARROW, SkinSB_PartAt(lay, 6));
    EXPECT_EQ(SKINSB_PART_SECOND_ARROW, SkinSB_PartAt(lay, 7));
    EXPECT_EQ(SKINSB_PART_NONE, SkinSB_PartAt(lay, 14));
}

TEST_F(SkinSBTest, SettersClampAndHideABarThatCannotScroll)
{
    HWND h = host_.m_hWnd;
    EXPECT_FALSE(InitializeSkinSB(h)) << "attached twice";
    EXPECT_EQ(91, (SkinSB_SetScrollPos(h, SB_VERT, 500, TRUE), SkinSB_GetScrollPos(h, SB_VERT)));
    EXPECT_EQ(91, SkinSB_SetScrollPos(h, SB_VERT, -5, TRUE));
    EXPECT_EQ(0, SkinSB_GetScrollPos(h, SB_VERT));
    // Without a page the last position is the maximum, not one beyond.
    SCROLLINFO si = Info(0, 100, 0, 400);
    EXPECT_EQ(100, SkinSB_SetScrollInfo(h, SB_VERT, &si, TRUE));
    si = Info(0, 95, 5, 400);
    EXPECT_EQ(91, SkinSB_SetScrollInfo(h, SB_VERT, &si, TRUE));
    CPoint inBar = VBar().CenterPoint();
    EXPECT_EQ(HTVSCROLL, Hit(inBar));

    // A page larger than the range: cut to the range, and the bar goes.
    si = Info(0, 9, 40, 0);
    SkinSB_SetScrollInfo(h, SB_VERT, &si, TRUE);
    SCROLLINFO got = Info(0, 0, 0, 0);
    SkinSB_GetScrollInfo(h, SB_VERT, &got);
    EXPECT_EQ(10u, got.nPage);
    EXPECT_NE(HTVSCROLL, Hit(inBar));
    CRect client;
    host_.GetClientRect(&client);
    EXPECT_EQ(300, client.Width()) << "no room kept for a hidden bar";
    // Kept when asked to: the bar stays and paints its thumb at the start.
    si.fMask |= SIF_DISABLENOSCROLL;
    SkinSB_SetScrollInfo(h, SB_VERT, &si, TRUE);
    EXPECT_EQ(HTVSCROLL, Hit(inBar));
    ts::PumpFor(50);
    SkinSBLayout lay = VLayout();
    CRect bar = VBar();
    EXPECT_EQ(FaceOf(IDB_SB_VTHUMB), skintest::ScreenPixel(bar.left + 1, bar.top + lay.nThumbStart + 1));
    EXPECT_EQ(FaceOf(IDB_SB_VTHUMB), skintest::ScreenPixel(bar.left + 1, bar.bottom - lay.nArrow - 2));

    SkinSB_ShowScrollBar(h, SB_BOTH, FALSE);
    EXPECT_FALSE(host_.GetStyle() & WS_VSCROLL);
    EXPECT_NE(HTVSCROLL, Hit(inBar));
    SkinSB_ShowScrollBar(h, SB_VERT, TRUE);
    EXPECT_TRUE(host_.GetStyle() & WS_VSCROLL);
    EXPECT_EQ(HTVSCROLL, Hit(inBar));
}

TEST_F(SkinSBTest, NonClientPixelsShowArrowsTrackThumbAndCorner)
{
    HWND h = host_.m_hWnd;
    SkinSB_SetScrollPos(h, SB_VERT, 40, TRUE);
    ts::PumpFor(50);
    CRect bar = VBar();
    SkinSBLayout lay = VLayout();
    int x = bar.left + 2;
    EXPECT_EQ(FaceOf(IDB_SB_UP), skintest::ScreenPixel(x, bar.top + 1));
    EXPECT_EQ(FaceOf(IDB_SB_DOWN), skintest::ScreenPixel(x, bar.bottom - 2));
    EXPECT_EQ(FaceOf(IDB_SB_VTRACK), skintest::ScreenPixel(x, bar.top + lay.nArrow + 1));
    EXPECT_EQ(FaceOf(IDB_SB_VTRACK), skintest::ScreenPixel(x, bar.top + lay.nThumbStart + lay.nThumb + 1));
    EXPECT_EQ(FaceOf(IDB_SB_VTHUMB), skintest::ScreenPixel(x, bar.top + lay.nThumbStart + lay.nThumb / 2));
    EXPECT_GT(lay.nThumbStart, lay.nArrow + 10);
    EXPECT_EQ(FaceOf(IDB_SB_CORNER), skintest::ScreenPixel(bar.left + 1, bar.bottom + 1));
    CRect w;
    host_.GetWindowRect(&w);
    EXPECT_EQ(FaceOf(IDB_SB_LEFT), skintest::ScreenPixel(w.left + 1, w.bottom - 2));
    EXPECT_EQ(FaceOf(IDB_SB_HTRACK), skintest::ScreenPixel(w.left + 120, w.bottom - 2));

    // A system setter on the attached window would paint the system bar; the
    // skinned setter's redraw puts the images back.
    ::SetScrollPos(h, SB_VERT, 10, TRUE);
    ts::PumpFor(50);
    SkinSB_SetScrollPos(h, SB_VERT, 40, TRUE);
    ts::PumpFor(50);
    EXPECT_EQ(FaceOf(IDB_SB_VTHUMB), skintest::ScreenPixel(x, bar.top + lay.nThumbStart + lay.nThumb / 2));
}

TEST_F(SkinSBTest, ArrowPressStepsAtOnceThenRepeatsAfterTheDelay)
{
    CRect bar = VBar();
    skintest::MouseTo(CPoint(bar.CenterPoint().x, bar.bottom - 4));
    host_.vscrolls.clear();
    DWORD pressed = GetTickCount();
    INPUT down = skintest::MouseButtonInput(true);
    SendInput(1, &down, sizeof(down));
    ASSERT_TRUE(ts::PumpUntil([&] { return !host_.vscrolls.empty(); }, 2000));
    EXPECT_EQ((UINT)SB_LINEDOWN, host_.vscrolls[0].code);
    EXPECT_LT(host_.vscrolls[0].at - pressed, 200u);
    ASSERT_TRUE(ts::PumpUntil([&] { return host_.vscrolls.size() >= 3; }, 3000));
    // The first repeat waits for the delay; the next ones come quicker.
    EXPECT_GE(host_.vscrolls[1].at - host_.vscrolls[0].at, 250u);
    EXPECT_EQ((UINT)SB_LINEDOWN, host_.vscrolls[2].code);
    skintest::MouseButton(false);
    ASSERT_FALSE(host_.vscrolls.empty());
    EXPECT_EQ((UINT)SB_ENDSCROLL, host_.vscrolls.back().code);
    size_t n = host_.vscrolls.size();
    ts::PumpFor(200);
    EXPECT_EQ(n, host_.vscrolls.size()) << "the timers stop with the release";
}

TEST_F(SkinSBTest, ThumbDragTracksFromTheMinimumAndSnapsBackFarAway)
{
    HWND h = host_.m_hWnd;
    SCROLLINFO si = Info(10, 110, 10, 10);
    SkinSB_SetScrollInfo(h, SB_VERT, &si, TRUE);
    ts::PumpFor(50);
    CRect bar = VBar();
    SkinSBLayout lay = VLayout();
    CPoint grab(bar.CenterPoint().x, bar.top + lay.nThumbStart + lay.nThumb / 2);
    skintest::MouseTo(grab);
    host_.vscrolls.clear();
    skintest::MouseButton(true);
    for (int dy = 4; dy <= 40; dy += 4)
        skintest::MouseTo(CPoint(grab.x, grab.y + dy));
    ASSERT_FALSE(host_.vscrolls.empty());
    EXPECT_EQ((UINT)SB_THUMBTRACK, host_.vscrolls[0].code);
    EXPECT_GT(host_.vscrolls[0].pos, 10);
    int last = 10;
    for (const Scroll& s : host_.vscrolls) {
        EXPECT_EQ((UINT)SB_THUMBTRACK, s.code);
        EXPECT_GT(s.pos, last);
        last = s.pos;
    }
    EXPECT_EQ(10 + 40 * 91 / (lay.nTrack - lay.nThumb), last);
    // Far off the bar's side: the thumb goes back to where the drag began.
    skintest::MouseTo(CPoint(bar.right + 60, grab.y + 40));
    EXPECT_EQ(10, host_.vscrolls.back().pos);
    skintest::MouseTo(CPoint(grab.x, grab.y + 20));
    EXPECT_GT(host_.vscrolls.back().pos, 10);
    // 60 pixels beyond the bar's end is past the slack too.
    skintest::MouseTo(CPoint(grab.x, bar.bottom + 60));
    EXPECT_EQ(10, host_.vscrolls.back().pos);
    skintest::MouseTo(CPoint(grab.x, grab.y + 20));
    int at = host_.vscrolls.back().pos;
    EXPECT_GT(at, 10);
    size_t n = host_.vscrolls.size();
    skintest::MouseButton(false);
    ASSERT_EQ(n + 2, host_.vscrolls.size());
    EXPECT_EQ((UINT)SB_THUMBPOSITION, host_.vscrolls[n].code);
    EXPECT_EQ(at, host_.vscrolls[n].pos);
    EXPECT_EQ((UINT)SB_ENDSCROLL, host_.vscrolls[n + 1].code);
}

// Without bitmaps, the hot-tracked style draws the arrows flat except the
// one under the pointer, which looks as the normal style draws it; leaving
// the bar makes it flat again.
class SkinSBClassicTest : public SkinSBTest {
protected:
    bool WithBitmaps() const override { return false; }
    std::vector<DWORD> Arrow(bool first)
    {
        CRect bar = VBar();
        int a = VLayout().nArrow;
        CRect r = first ? CRect(bar.left, bar.top, bar.right, bar.top + a)
                        : CRect(bar.left, bar.bottom - a, bar.right, bar.bottom);
        return skintest::ScreenPixels(r);
    }
};

TEST_F(SkinSBClassicTest, HotTrackingRaisesOnlyTheArrowUnderThePointer)
{
    HWND h = host_.m_hWnd;
    CRect bar = VBar();
    CRect client;
    host_.GetClientRect(&client);
    host_.ClientToScreen(&client);
    skintest::MouseTo(client.CenterPoint());
    ts::PumpFor(50);
    std::vector<DWORD> normal1 = Arrow(true), normal2 = Arrow(false);
    ASSERT_TRUE(SkinSB_SetSize(h, SB_VERT, SKINSB_HOTTRACKED));
    ts::PumpFor(50);
    std::vector<DWORD> flat1 = Arrow(true), flat2 = Arrow(false);
    ASSERT_NE(normal1, flat1) << "flat and normal arrows look alike here";

    int a = VLayout().nArrow;
    skintest::MouseTo(CPoint(bar.CenterPoint().x, bar.top + a / 2));
    EXPECT_TRUE(ts::PumpUntil([&] { return Arrow(true) == normal1; }, 1000)) << "the hot arrow";
    EXPECT_EQ(flat2, Arrow(false));
    skintest::MouseTo(CPoint(bar.CenterPoint().x, bar.bottom - a / 2));
    EXPECT_TRUE(ts::PumpUntil([&] { return Arrow(false) == normal2 && Arrow(true) == flat1; }, 1000))
        << "the hot part moved to the second arrow";
    skintest::MouseTo(client.CenterPoint());
    EXPECT_TRUE(ts::PumpUntil([&] { return Arrow(false) == flat2; }, 1000)) << "off the bar: flat again";
    EXPECT_EQ(flat1, Arrow(true));
}

// The tooltip window that InitializeSkinSB made for the host.
HWND TipOf(HWND host)
{
    for (HWND w = FindWindowExA(NULL, NULL, TOOLTIPS_CLASSA, NULL); w;
         w = FindWindowExA(NULL, w, TOOLTIPS_CLASSA, NULL))
        if (GetWindow(w, GW_OWNER) == host)
            return w;
    return NULL;
}

std::vector<MSG> g_relayed;
WNDPROC g_tipProc;
LRESULT CALLBACK RecordRelay(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == TTM_RELAYEVENT && lParam)
        g_relayed.push_back(*(const MSG*)lParam);
    return CallWindowProcA(g_tipProc, hwnd, msg, wParam, lParam);
}

// Non-client mouse messages reach the tooltip as their client equivalents in
// client coordinates; a move to the same place goes once; right and middle
// presses on a bar go to the tooltip only.
TEST_F(SkinSBTest, NonClientMouseMessagesAreRelayedToTheTooltip)
{
    HWND h = host_.m_hWnd;
    HWND tip = TipOf(h);
    ASSERT_TRUE(tip);
    EXPECT_TRUE(GetWindowLongA(tip, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(1, (int)SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0));
    g_relayed.clear();
    g_tipProc = (WNDPROC)SetWindowLongPtrA(tip, GWLP_WNDPROC, (LONG_PTR)RecordRelay);

    CRect bar = VBar();
    CPoint p(bar.CenterPoint().x, bar.top + VLayout().nArrow + 5);
    LPARAM at = MAKELPARAM(p.x, p.y);
    host_.SendMessage(WM_NCMOUSEMOVE, HTVSCROLL, at);
    host_.SendMessage(WM_NCMOUSEMOVE, HTVSCROLL, at);
    host_.SendMessage(WM_NCRBUTTONDOWN, HTVSCROLL, at);
    host_.SendMessage(WM_NCMBUTTONDOWN, HTVSCROLL, at);
    host_.SendMessage(WM_NCRBUTTONDOWN, HTNOWHERE, at);

    SetWindowLongPtrA(tip, GWLP_WNDPROC, (LONG_PTR)g_tipProc);
    ASSERT_EQ(4u, g_relayed.size());
    const UINT expected[] = { WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_RBUTTONDOWN };
    CPoint client = p;
    host_.ScreenToClient(&client);
    for (size_t i = 0; i < g_relayed.size(); ++i) {
        EXPECT_EQ(expected[i], g_relayed[i].message) << i;
        EXPECT_EQ(h, g_relayed[i].hwnd);
        EXPECT_EQ(client.x, (short)LOWORD(g_relayed[i].lParam)) << i;
        EXPECT_EQ(client.y, (short)HIWORD(g_relayed[i].lParam)) << i;
        EXPECT_EQ(p.x, g_relayed[i].pt.x);
    }
    // Only the press off the bars reached the window's own procedure.
    EXPECT_EQ((std::vector<UINT>{ (UINT)WM_NCRBUTTONDOWN }), host_.ncButtons);
}

TEST(SkinSBAttach, FallbacksWhenNotAttachedAndDetachingRestoresTheProcedure)
{
    CBarsHost host;
    ASSERT_TRUE(host.CreateHost(420, 120));
    HWND h = host.m_hWnd;
    SCROLLINFO si = Info(0, 50, 5, 7);
    SkinSB_SetScrollInfo(h, SB_VERT, &si, TRUE);
    EXPECT_EQ(7, ::GetScrollPos(h, SB_VERT)) << "the system bar took the values";
    EXPECT_EQ(7, SkinSB_SetScrollPos(h, SB_VERT, 9, TRUE));
    EXPECT_EQ(9, ::GetScrollPos(h, SB_VERT));
    EXPECT_FALSE(SkinSB_SetSize(h, SB_BOTH, SKINSB_HOTTRACKED));
    EXPECT_EQ(E_FAIL, SkinSB_Uninitialize(h));

    WNDPROC before = (WNDPROC)::GetWindowLongPtr(h, GWLP_WNDPROC);
    ASSERT_TRUE(InitializeSkinSB(h));
    EXPECT_EQ(9, SkinSB_GetScrollPos(h, SB_VERT)) << "the system's values are taken over";
    EXPECT_EQ((WNDPROC)SkinSB_WndProc, (WNDPROC)::GetWindowLongPtr(h, GWLP_WNDPROC));
    EXPECT_TRUE(::GetProp(h, SKINSB_PROP) != NULL);
    EXPECT_TRUE(SkinSB_SetSize(h, SB_BOTH, SKINSB_HOTTRACKED));
    EXPECT_EQ(S_OK, SkinSB_Uninitialize(h));
    EXPECT_EQ(before, (WNDPROC)::GetWindowLongPtr(h, GWLP_WNDPROC));
    EXPECT_TRUE(::GetProp(h, SKINSB_PROP) == NULL);
    host.DestroyWindow();
}

TEST(SharedResourceBitmapTest, OneSectionPerResourceWithTheResourcesPixels)
{
    HBITMAP a = SharedResourceBitmap(IDB_CONTROL_SHEET);
    ASSERT_TRUE(a != NULL);
    EXPECT_EQ(a, SharedResourceBitmap(IDB_CONTROL_SHEET)) << "loaded once";
    DIBSECTION ds;
    EXPECT_EQ((int)sizeof(ds), GetObject(a, sizeof(ds), &ds)) << "a section";
    HBITMAP ddb = LoadBitmapA(GetModuleHandle(NULL), MAKEINTRESOURCEA(IDB_CONTROL_SHEET));
    BITMAP bm;
    GetObject(ddb, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmWidth, ds.dsBm.bmWidth);
    EXPECT_EQ(bm.bmHeight, ds.dsBm.bmHeight);
    HDC da = CreateCompatibleDC(NULL), db = CreateCompatibleDC(NULL);
    HGDIOBJ oa = SelectObject(da, a), ob = SelectObject(db, ddb);
    int differ = 0;
    for (int y = 0; y < bm.bmHeight; y += 3)
        for (int x = 0; x < bm.bmWidth; x += 3)
            differ += GetPixel(da, x, y) != GetPixel(db, x, y);
    SelectObject(da, oa);
    SelectObject(db, ob);
    DeleteDC(da);
    DeleteDC(db);
    DeleteObject(ddb);
    EXPECT_EQ(0, differ);
    EXPECT_TRUE(SharedResourceBitmap(59999) == NULL);
    EXPECT_TRUE(SharedResourceBitmap(59999) == NULL);
}

TEST(SkinSBBitmaps, AFailedNameFailsTheLoadAndKeepsTheOthers)
{
    HINSTANCE h = ::GetModuleHandle(NULL);
    EXPECT_FALSE(SkinSB_LoadBitmaps(h, MAKEINTRESOURCE(IDB_SB_LEFT), MAKEINTRESOURCE(IDB_SB_HTHUMB),
                                    MAKEINTRESOURCE(IDB_SB_HTRACK), MAKEINTRESOURCE(IDB_SB_RIGHT),
                                    MAKEINTRESOURCE(IDB_SB_UP), MAKEINTRESOURCE(IDB_SB_VTHUMB),
                                    MAKEINTRESOURCE(IDB_SB_VTRACK), MAKEINTRESOURCE(IDB_SB_DOWN),
                                    MAKEINTRESOURCE(9999)));
    // The corner is the one that failed; what loaded draws as before.
    CBarsHost host;
    ASSERT_TRUE(host.CreateHost(420, 120));
    ASSERT_TRUE(InitializeSkinSB(host.m_hWnd));
    SCROLLINFO si = Info(0, 100, 10, 0);
    SkinSB_SetScrollInfo(host.m_hWnd, SB_VERT, &si, TRUE);
    SkinSB_SetScrollInfo(host.m_hWnd, SB_HORZ, &si, TRUE);
    ts::PumpFor(50);
    CRect w;
    host.GetWindowRect(&w);
    EXPECT_EQ(FaceOf(IDB_SB_UP), skintest::ScreenPixel(w.right - 3, w.top + 2));
    EXPECT_EQ(skintest::Rgb(GetSysColor(COLOR_3DFACE)), skintest::ScreenPixel(w.right - 3, w.bottom - 3));
    host.DestroyWindow();
    EXPECT_TRUE(LoadProgramBitmaps());
}

}  // namespace
