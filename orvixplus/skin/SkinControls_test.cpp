// The skinned controls as real child windows on a test window, cut from the
// generated default skin, driven by the mouse (SendInput) or by messages, and
// read back from the screen.
#include <gtest/gtest.h>
#include "ShapeButton.h"
#include "ShapeProgress.h"
#include "SkinButtons.h"
#include "SkinSlider.h"
#include "SkinLabels.h"
#include "SkinScreen.h"
#include <memory>
#include <vector>

using skintest::SkinElement;
using skintest::MouseButton;
using skintest::MouseTo;

namespace {

struct Msg {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// The parent: paints a background image and records what its children tell it.
class CRecorderWnd : public CWnd {
public:
    std::vector<Msg> log;
    HBITMAP background = NULL;
    BOOL CreatePanel(int x, int y, int w, int h)
    {
        LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursor(NULL, IDC_ARROW));
        return CreateEx(WS_EX_TOPMOST, cls, "skin controls", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                        x, y, w, h, NULL, NULL);
    }
    int Count(UINT message, WPARAM wParam) const
    {
        int n = 0;
        for (const Msg& m : log)
            n += m.message == message && m.wParam == wParam;
        return n;
    }
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND || (message >= WM_USER && message < WM_USER + 10000))
            log.push_back({ message, wParam, lParam });
        if (message == WM_COMMAND || (message >= WM_USER && message < WM_USER + 10000))
            return 0;
        return CWnd::WindowProc(message, wParam, lParam);
    }
    void OnPaint() override
    {
        CPaintDC dc(this);
        CRect rc;
        GetClientRect(&rc);
        if (background)
            DrawBitmapStretched(dc, rc, background);
        else
            dc.FillSolidRect(&rc, RGB(40, 40, 40));
    }
    BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
};

const int kPanelX = 620, kPanelY = 700;

class SkinControlsTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        CoInitialize(NULL);
        std::string dir = skintest::SkinDir();
        const char* files[] = { "normal.bmp", "hovered.bmp", "pressed.bmp", "disabled.bmp", "mask.bmp" };
        for (int i = 0; i < 5; ++i) {
            images_[i] = new CBitmap;
            CSize size;
            LoadPictureFile((dir + files[i]).c_str(), *images_[i], size);
        }
        buttons_ = skintest::ReadElements(dir + "skin.ini", "ShapeButtonInfo");
        progress_ = skintest::ReadElements(dir + "skin.ini", "ShapeProgressInfo");
        timers_ = skintest::ReadElements(dir + "skin.ini", "TimerInfo");
    }
    static void TearDownTestSuite()
    {
        for (CBitmap*& b : images_) {
            delete b;
            b = NULL;
        }
        CoUninitialize();
    }
    void SetUp() override
    {
        ASSERT_TRUE(images_[0]->GetSafeHandle() != NULL);
        ASSERT_TRUE(panel_.CreatePanel(kPanelX, kPanelY, 580, 180));
        panel_.background = *images_[0];
        panel_.SetForegroundWindow();
        panel_.SetActiveWindow();
        skintest::KeepActive() = panel_.m_hWnd;
        ts::PumpFor(50);
    }
    void TearDown() override
    {
        skintest::KeepActive() = NULL;
        MouseTo(CPoint(5, 5));
        controls_.clear();
        panel_.DestroyWindow();
    }
    HBITMAP Img(int i) const { return *images_[i]; }

    // A skin button as the shaped dialog makes it.
    CShapeButton* MakeButton(const char* name, DWORD extraStyle = 0)
    {
        const SkinElement* e = skintest::FindElement(buttons_, name);
        EXPECT_TRUE(e != NULL) << name;
        if (!e)
            return NULL;
        CShapeButton* b = new CShapeButton;
        b->SetBitmaps(Img(0), e->rect, Img(1), e->rect, Img(2), e->rect, Img(3), e->rect);
        b->SetId(4999 + e->number);
        b->SetName(e->name);
        b->SetShaped(e->shaped);
        b->SetKeyColor(e->key);
        b->SetCursorFlag(e->hasCursor);
        if (e->hasCursor)
            b->SetCursor(LoadCursorFromFileA((skintest::SkinDir() + (LPCTSTR)e->cursor).c_str()));
        HRGN rgn = ShapeOf(*e);
        b->SetRegion(rgn);
        DeleteObject(rgn);
        EXPECT_TRUE(b->Create("", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | extraStyle, e->rect, &panel_, 0));
        b->SetTooltip(e->tip, TRUE);
        controls_.emplace_back(b);
        return b;
    }
    CShapeProgress* MakeProgress(const char* name)
    {
        const SkinElement* e = skintest::FindElement(progress_, name);
        EXPECT_TRUE(e != NULL) << name;
        CShapeProgress* p = new CShapeProgress;
        p->SetBitmaps(Img(0), e->rect, Img(1), e->rect, Img(2), e->rect, Img(3), e->rect, Img(0), e->rect);
        p->SetId(5999 + e->number);
        p->SetName(e->name);
        p->SetHorizontal(e->orientation == "H");
        p->SetRange(0, 100, FALSE);
        p->SetShaped(e->shaped);
        HRGN rgn = ShapeOf(*e);
        p->SetRegion(rgn);
        DeleteObject(rgn);
        EXPECT_TRUE(p->Create("", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, e->rect, &panel_, 0));
        p->SetTooltip(e->tip, TRUE);
        controls_.emplace_back(p);
        return p;
    }
    CShapeTimer* MakeTimer(const char* name)
    {
        const SkinElement* e = skintest::FindElement(timers_, name);
        CShapeTimer* t = new CShapeTimer;
        t->SetBitmaps(Img(0), e->rect, Img(0), e->rect);
        t->SetId(6499 + e->number);
        t->SetName(e->name);
        t->SetHideText(FALSE);
        EXPECT_TRUE(t->Create("", WS_CHILD | WS_VISIBLE, e->rect, &panel_, 0));
        controls_.emplace_back(t);
        return t;
    }
    // The element's region: its key colour in the Mask, or its rectangle.
    HRGN ShapeOf(const SkinElement& e)
    {
        if (!e.shaped)
            return CreateRectRgn(0, 0, e.rect.Width(), e.rect.Height());
        CBitmap cut;
        CropBitmapToObject(NULL, &cut, images_[4], e.rect);
        return BitmapColorToRegion(cut, e.key);
    }
    CPoint Screen(const CRect& r, int dx, int dy) const { return CPoint(kPanelX + r.left + dx, kPanelY + r.top + dy); }
    CRect ScreenRect(const CRect& r) const { return CRect(r.left + kPanelX, r.top + kPanelY, r.right + kPanelX, r.bottom + kPanelY); }
    // Differing pixels between the screen and an image's cut, inside the element.
    int LooksLike(CWnd* ctl, const CRect& r, int image)
    {
        ctl->UpdateWindow();
        ts::PumpFor(30);
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        if (GetWindowRgn(ctl->m_hWnd, rgn) == ERROR) {
            DeleteObject(rgn);
            rgn = NULL;
        }
        int n = skintest::Differences(skintest::ScreenPixels(ScreenRect(r)), skintest::BitmapPixels(Img(image), r),
                                      r.Width(), rgn);
        if (rgn)
            DeleteObject(rgn);
        return n;
    }

    static CBitmap* images_[5];
    static std::vector<SkinElement> buttons_, progress_, timers_;
    CRecorderWnd panel_;
    std::vector<std::unique_ptr<CWnd>> controls_;
};
CBitmap* SkinControlsTest::images_[5];
std::vector<SkinElement> SkinControlsTest::buttons_, SkinControlsTest::progress_, SkinControlsTest::timers_;

TEST_F(SkinControlsTest, ShapeButtonLooksAndClicks)
{
    CShapeButton* play = MakeButton("PLAY_MOVIE");
    const CRect r = skintest::FindElement(buttons_, "PLAY_MOVIE")->rect;
    ts::PumpFor(50);
    EXPECT_EQ(0, LooksLike(play, r, 0)) << "normal";
    MouseTo(Screen(r, r.Width() / 2, r.Height() / 2));
    EXPECT_TRUE(play->IsHover());
    EXPECT_EQ(0, LooksLike(play, r, 1)) << "hovered";
    MouseButton(true);
    EXPECT_TRUE(play->IsPressed());
    EXPECT_EQ(0, LooksLike(play, r, 2)) << "pressed";
    MouseButton(false);
    EXPECT_EQ(1, panel_.Count(WM_COMMAND, play->GetId())) << "one WM_COMMAND with the stored id";
    EXPECT_EQ(0, panel_.Count(WM_COMMAND, 0)) << "none from the window's own id";
    EXPECT_EQ(0, LooksLike(play, r, 1)) << "hovered again after the click";

    // Press inside, release outside: nothing, and not left pressed.
    panel_.log.clear();
    MouseButton(true);
    MouseTo(Screen(r, r.Width() + 60, r.Height() / 2));
    MouseButton(false);
    EXPECT_EQ(0, panel_.Count(WM_COMMAND, play->GetId()));
    EXPECT_FALSE(play->IsPressed());
    EXPECT_FALSE(play->IsHover());

    // The corner of its rectangle is outside the round key area.
    MouseTo(Screen(r, 1, 1));
    MouseButton(true);
    MouseButton(false);
    EXPECT_EQ(0, panel_.Count(WM_COMMAND, play->GetId()));
    EXPECT_FALSE(play->IsHover());

    play->Enable(FALSE);
    EXPECT_EQ(0, LooksLike(play, r, 3)) << "disabled";
}

TEST_F(SkinControlsTest, CaptureLostClearsHover)
{
    CShapeButton* tv = MakeButton("TV");
    const CRect r = skintest::FindElement(buttons_, "TV")->rect;
    MouseTo(Screen(r, 5, 5));
    ASSERT_TRUE(tv->IsHover());
    panel_.SetCapture();          // someone else takes the pointer
    ts::PumpFor(30);
    EXPECT_FALSE(tv->IsHover());
    EXPECT_EQ(0, LooksLike(tv, r, 0)) << "drawn normal again";
    ReleaseCapture();
}

// The tool-tip windows of this thread.
static int TipWindows()
{
    struct Find {
        static BOOL CALLBACK Each(HWND h, LPARAM p)
        {
            char cls[64] = {};
            GetClassNameA(h, cls, sizeof(cls));
            if (strcmp(cls, TOOLTIPS_CLASSA) == 0)
                ++*(int*)p;
            return TRUE;
        }
    };
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), Find::Each, (LPARAM)&count);
    return count;
}

TEST_F(SkinControlsTest, ToolTipCursorAndOwnerDrawStyle)
{
    const int before = TipWindows();
    CShapeButton* www = MakeButton("WWW", BS_DEFPUSHBUTTON | WS_TABSTOP);
    // The tip's window is made when the pointer first comes by, with the
    // text given before: a skin of dozens of buttons makes none at its load.
    EXPECT_EQ(before, TipWindows());
    const CRect r = skintest::FindElement(buttons_, "WWW")->rect;
    MouseTo(Screen(r, r.Width() / 2, r.Height() / 2));
    ts::PumpFor(30);
    EXPECT_EQ(before + 1, TipWindows());
    ASSERT_TRUE(www->GetToolTip() != NULL);
    EXPECT_EQ(before + 1, TipWindows()) << "asking for it makes no second one";
    char text[80] = {};
    TOOLINFOA ti = {};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = www->m_hWnd;
    ti.uId = 1;
    ti.lpszText = text;
    www->GetToolTip()->SendMessage(TTM_GETTEXTA, sizeof(text), (LPARAM)&ti);
    EXPECT_STREQ("访问网站", text) << ts::Gbk(text);
    EXPECT_EQ((DWORD)BS_OWNERDRAW, www->GetStyle() & BS_TYPEMASK) << "a default push button becomes owner-drawn";
    EXPECT_EQ(0u, www->GetStyle() & WS_TABSTOP);
    // The hand cursor from hand.cur answers the cursor request.
    LRESULT handled = www->SendMessage(WM_SETCURSOR, (WPARAM)www->m_hWnd, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(TRUE, handled);
    EXPECT_TRUE(GetCursor() != NULL);
    EXPECT_NE(LoadCursor(NULL, IDC_ARROW), GetCursor());
}

TEST_F(SkinControlsTest, ShapeProgressDragPostsMovesThenRelease)
{
    CShapeProgress* vol = MakeProgress("PROGRESS_VOLUME");
    const CRect r = skintest::FindElement(progress_, "PROGRESS_VOLUME")->rect;
    ts::PumpFor(50);
    EXPECT_EQ(0, LooksLike(vol, r, 0)) << "position 0: the empty track";
    int y = r.Height() / 2;
    MouseTo(Screen(r, r.Width() / 4, y));
    MouseButton(true);
    MouseTo(Screen(r, r.Width() * 3 / 4, y));
    MouseButton(false);
    std::vector<Msg> moves, releases;
    for (const Msg& m : panel_.log) {
        if (m.message == WM_SHAPEPROGRESS_MOVING)
            moves.push_back(m);
        if (m.message == WM_SHAPEPROGRESS_RELEASED)
            releases.push_back(m);
    }
    ASSERT_GE(moves.size(), 2u);
    ASSERT_EQ(1u, releases.size());
    EXPECT_EQ((WPARAM)vol->GetId(), moves[0].wParam);
    EXPECT_NEAR(25, (int)moves[0].lParam, 2);
    EXPECT_NEAR(75, (int)moves.back().lParam, 2);
    EXPECT_EQ(vol->GetPos(), (int)releases[0].lParam);
    EXPECT_EQ(WM_SHAPEPROGRESS_RELEASED, panel_.log.back().message) << "the release comes last";

    // Full: the filled part is the Pressed cut; disabled, the Disabled cut.
    vol->SetPos(100);
    EXPECT_EQ(0, LooksLike(vol, r, 2));
    vol->Enable(FALSE);
    EXPECT_EQ(0, LooksLike(vol, r, 3));
}

TEST(ShapeProgressGeometryTest, EmptyRangeAndEmptyBoxDoNotDivideByZero)
{
    CShapeProgressGeometry g = { TRUE, 0, 100, CRect(2, 0, 102, 10), CSize(104, 10) };
    EXPECT_EQ(2, g.PixelOf(0));
    EXPECT_EQ(52, g.PixelOf(50));
    EXPECT_EQ(102, g.PixelOf(100));
    EXPECT_EQ(50, g.PosOf(52));
    EXPECT_EQ(100, g.PosOf(500)) << "clamped";
    g.nMin = g.nMax = 30;
    EXPECT_EQ(2, g.PixelOf(30)) << "an empty range sits at the start";
    EXPECT_EQ(30, g.PosOf(70));
    g.box = CRect(0, 0, 0, 0);
    EXPECT_EQ(30, g.PosOf(5)) << "an empty track gives the minimum";
    CShapeProgressGeometry v = { FALSE, 0, 100, CRect(0, 0, 10, 100), CSize(10, 100) };
    EXPECT_EQ(100, v.PixelOf(0)) << "vertical fills from the bottom";
    EXPECT_EQ(0, v.PixelOf(100));
    EXPECT_EQ(40, v.PosOf(40));
}

// A track as long as the range has a pixel for every position and back:
// worked out through a double share of the range, positions 29, 57 and 58
// came out a pixel short in the 64-bit build, 53 and 59 in the 32-bit one.
TEST(ShapeProgressGeometryTest, EveryPositionOfAMatchingTrackHasItsOwnPixel)
{
    CShapeProgressGeometry g = { TRUE, 0, 100, CRect(3, 0, 103, 10), CSize(106, 10) };
    CShapeProgressGeometry v = { FALSE, 0, 100, CRect(0, 5, 10, 205), CSize(10, 210) };
    for (int pos = 0; pos <= 100; pos++) {
        EXPECT_EQ(3 + pos, g.PixelOf(pos)) << pos;
        EXPECT_EQ(pos, g.PosOf(3 + pos)) << pos;
        EXPECT_EQ(5 + 2 * (100 - pos), v.PixelOf(pos)) << pos;
        EXPECT_EQ(pos, v.PosOf(2 * pos)) << pos;
    }
    // Between pixels a position is cut toward the track's start.
    CShapeProgressGeometry third = { TRUE, 0, 3, CRect(0, 0, 100, 10), CSize(100, 10) };
    EXPECT_EQ(33, third.PixelOf(1));
    EXPECT_EQ(66, third.PixelOf(2));
    EXPECT_EQ(0, third.PosOf(33));
    EXPECT_EQ(1, third.PosOf(34));
}

TEST(SliderGeometryTest, EveryPositionOfAMatchingTrackHasItsOwnPixel)
{
    // Track 100 (114 less the thumb and both margins), centres from 7.
    CSliderGeometry g = { 114, 10, 2, 2, 0, 100 };
    CSliderGeometry wide = { 214, 10, 2, 2, -50, 50 };
    for (int pos = 0; pos <= 100; pos++) {
        EXPECT_EQ(7 + pos, g.PixelOf(pos)) << pos;
        EXPECT_EQ(pos, g.PosOf(7 + pos)) << pos;
        EXPECT_EQ(7 + 2 * pos, wide.PixelOf(pos - 50)) << pos;
        EXPECT_EQ(pos - 50, wide.PosOf(7 + 2 * pos)) << pos;
    }
    EXPECT_EQ(0, wide.PosOf(108)) << "half a step past the middle";
    EXPECT_EQ(-49, wide.PosOf(6 + 2)) << "cut toward zero below it";
}

TEST(SliderGeometryTest, ThumbCentresAndZeroRanges)
{
    CSliderGeometry g = { 200, 10, 2, 2, 0, 100 };
    EXPECT_EQ(7, g.PixelOf(0));
    EXPECT_EQ(193, g.PixelOf(100));
    EXPECT_EQ(76, g.PosOf(150));
    g.nMax = 0;
    EXPECT_EQ(7, g.PixelOf(0)) << "minimum equal to maximum";
    CSliderGeometry flat = { 14, 10, 2, 2, 10, 90 };
    EXPECT_EQ(10, flat.PosOf(7)) << "no room to move: the minimum";
}

// --- sliders and track bars on a plain window ----------------------------------

class SliderTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(parent_.CreatePanel(40, 600, 300, 100));
        ts::PumpFor(30);
    }
    void TearDown() override { parent_.DestroyWindow(); }
    std::vector<Msg> Take(UINT message)
    {
        ts::PumpFor(20);
        std::vector<Msg> out;
        for (const Msg& m : parent_.log)
            if (m.message == message)
                out.push_back(m);
        parent_.log.clear();
        return out;
    }
    CRecorderWnd parent_;
};

const COLORREF kThumb = RGB(200, 30, 30), kChannel = RGB(20, 60, 200);

TEST_F(SliderTest, TrackBarThumbAtItsMarginsAndSavedPositions)
{
    CSkinTrackBar bar;
    ASSERT_TRUE(bar.Create("", WS_CHILD | WS_VISIBLE, CRect(10, 10, 210, 26), &parent_, 4321));
    bar.SetChannelBitmaps(skintest::SolidBitmap(200, 16, kChannel), NULL, TRUE, FALSE, 0, 0, 0);
    bar.SetThumbBitmaps(skintest::SolidBitmap(10, 10, kThumb), NULL, FALSE, 0, 0, 0);
    bar.SetMargin(2, 3, 2, 0);
    bar.SetRange(0, 100, TRUE);
    bar.SetPos(0);
    bar.UpdateWindow();
    CClientDC dc(&bar);
    EXPECT_EQ(kThumb, dc.GetPixel(2, 3) & 0xffffff) << "thumb of position 0 centred at 7";
    EXPECT_EQ(kThumb, dc.GetPixel(11, 12) & 0xffffff);
    EXPECT_EQ(kChannel, dc.GetPixel(12, 8) & 0xffffff);
    bar.SetPos(100);
    bar.UpdateWindow();
    EXPECT_EQ(kThumb, dc.GetPixel(188, 3) & 0xffffff) << "position 100 centred at 193";
    EXPECT_EQ(kThumb, dc.GetPixel(197, 12) & 0xffffff);
    EXPECT_EQ(kChannel, dc.GetPixel(186, 8) & 0xffffff);

    // A press far from the thumb moves its centre there at once.
    bar.SetPos(10);
    bar.SetSavedPos(10);
    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 8));
    EXPECT_EQ(76, bar.GetPos());
    std::vector<Msg> moving = Take(WM_SKINTRACKBAR_MOVING);
    ASSERT_EQ(1u, moving.size());
    EXPECT_EQ(4321u, moving[0].wParam);
    // Drag to 40, release; again to 70.
    auto dragTo = [&](int pos) {
        int x = 7 + pos * 186 / 100 + 1;
        bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 8));
        bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(x, 8));
    };
    bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(150, 8));
    bar.SetSavedPos(10);
    dragTo(40);
    dragTo(70);
    EXPECT_EQ(70, bar.GetPos());
    EXPECT_EQ(40, bar.GetSavedPos()) << "the position before the last release";
    EXPECT_EQ(3u, Take(WM_SKINTRACKBAR_MOVED).size()) << "one per release";
    // Arrow keys do nothing for a track bar.
    bar.SendMessage(WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(70, bar.GetPos());
    EXPECT_EQ(0u, Take(WM_SKINSLIDER_MOVED).size());
    EXPECT_EQ((UINT)DLGC_WANTARROWS, (UINT)bar.SendMessage(WM_GETDLGCODE));
}

TEST_F(SliderTest, SliderKeysAndAnEmptyRange)
{
    CSkinSlider slider;
    ASSERT_TRUE(slider.Create("", WS_CHILD | WS_VISIBLE, CRect(10, 40, 210, 56), &parent_, 77));
    slider.SetChannelBitmaps(skintest::SolidBitmap(200, 16, kChannel), skintest::SolidBitmap(200, 16, kThumb),
                             TRUE, FALSE, 0, 0, 0);
    slider.SetPos(95);
    slider.SendMessage(WM_KEYDOWN, VK_NEXT, 0);
    EXPECT_EQ(100, slider.GetPos()) << "page down stops at the maximum";
    std::vector<Msg> moved = Take(WM_SKINSLIDER_MOVED);
    ASSERT_EQ(1u, moved.size());
    EXPECT_EQ(77u, moved[0].wParam);
    EXPECT_EQ(100, (int)moved[0].lParam);
    slider.SendMessage(WM_KEYDOWN, VK_LEFT, 0);
    slider.SendMessage(WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(98, slider.GetPos());
    EXPECT_EQ(2u, Take(WM_SKINSLIDER_MOVED).size()) << "one message per arrow key";
    slider.SendMessage(WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(0, slider.GetPos());
    // Two channel images split at the position.
    slider.SetPos(50);
    slider.UpdateWindow();
    CClientDC dc(&slider);
    EXPECT_EQ(kThumb, dc.GetPixel(50, 8) & 0xffffff);
    EXPECT_EQ(kChannel, dc.GetPixel(150, 8) & 0xffffff);
    // Minimum equal to maximum: drawn, dragged and keyed without a fault.
    slider.SetRange(5, 5, TRUE);
    slider.SetPos(9);
    EXPECT_EQ(5, slider.GetPos());
    slider.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(120, 8));
    slider.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(160, 8));
    slider.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(160, 8));
    slider.UpdateWindow();
    EXPECT_EQ(5, slider.GetPos());
    EXPECT_EQ(0, slider.LoadBitmaps(999, 0, FALSE, FALSE, 0, 0, 0)) << "no such resource";
}

// --- the other buttons ------------------------------------------------------------

TEST_F(SliderTest, CheckToggleTabAndHoverTextButtons)
{
    CRect box(0, 0, 12, 12);
    HBITMAP off = skintest::SolidBitmap(12, 12, RGB(90, 90, 90)), on = skintest::SolidBitmap(12, 12, RGB(0, 200, 0));
    CSkinCheckButton check;
    check.SetBitmaps(off, box, on, box);
    ASSERT_TRUE(check.Create("Option", WS_CHILD | WS_VISIBLE, CRect(5, 5, 100, 25), &parent_, 11));
    check.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    check.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_TRUE(check.GetCheck());
    EXPECT_EQ(1u, Take(WM_SKINCHECK_CLICKED).size());
    check.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    EXPECT_TRUE(check.GetCheck()) << "a checked button stays checked";
    EXPECT_EQ(0u, Take(WM_SKINCHECK_CLICKED).size());
    check.SetCheck(FALSE, TRUE);
    EXPECT_FALSE(check.GetCheck());
    check.UpdateWindow();
    CClientDC cdc(&check);
    EXPECT_EQ(RGB(90, 90, 90), cdc.GetPixel(2 + 5, 4 + 5) & 0xffffff) << "image at x 2, centred";

    CImageToggle toggle;
    toggle.SetBitmaps(off, box, on, box);
    ASSERT_TRUE(toggle.Create("Toggle", WS_CHILD | WS_VISIBLE, CRect(5, 30, 100, 50), &parent_, 12));
    toggle.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, 0);
    toggle.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, 0);
    std::vector<Msg> flips = Take(WM_IMAGETOGGLE_CHANGED);
    ASSERT_EQ(2u, flips.size());
    EXPECT_EQ(12u, flips[0].wParam);
    EXPECT_EQ(1, (int)flips[0].lParam);
    EXPECT_EQ(0, (int)flips[1].lParam);

    const COLORREF magenta = RGB(255, 0, 255);
    HBITMAP tabImg = skintest::MakeBitmap(30, 16, [&](int x, int y) { return x + y < 4 ? magenta : RGB(70, 80, 90); });
    CSkinTabButton tab;
    tab.SetTransparentColor(magenta);
    tab.SetBitmaps(tabImg, CRect(0, 0, 30, 16), tabImg, CRect(0, 0, 30, 16));
    ASSERT_TRUE(tab.Create("Tab", WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(110, 5, 200, 40), &parent_, 13));
    CRect wr;
    tab.GetWindowRect(&wr);
    EXPECT_EQ(CSize(30, 16), wr.Size()) << "sized to its normal image";
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(tab.m_hWnd, rgn));
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));
    EXPECT_TRUE(PtInRegion(rgn, 10, 10));
    DeleteObject(rgn);
    tab.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    tab.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    tab.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    tab.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(1u, Take(WM_SKINTAB_CLICKED).size()) << "only while not selected";
    EXPECT_TRUE(tab.IsSelected());

    HBITMAP clear = skintest::SolidBitmap(20, 10, magenta);
    CSkinTabButton empty;
    empty.SetTransparentColor(magenta);
    empty.SetBitmaps(clear, CRect(0, 0, 20, 10), clear, CRect(0, 0, 20, 10));
    ASSERT_TRUE(empty.Create("", WS_CHILD | WS_VISIBLE, CRect(110, 50, 130, 60), &parent_, 14));
    HRGN er = CreateRectRgn(0, 0, 0, 0);
    GetWindowRgn(empty.m_hWnd, er);
    RECT ebox;
    EXPECT_EQ(NULLREGION, GetRgnBox(er, &ebox)) << "all transparent: no clicks";
    DeleteObject(er);

    CHoverTextButton hover;
    hover.SetBitmaps(off, box, on, box, on, box, off, box);
    ASSERT_TRUE(hover.Create("OK", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, CRect(210, 5, 290, 30), &parent_, 15));
    EXPECT_EQ((DWORD)BS_OWNERDRAW, hover.GetStyle() & BS_TYPEMASK);
    hover.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(hover.IsPressed());
    hover.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ts::PumpFor(20);
    int clicks = 0;
    for (const Msg& m : parent_.log)
        clicks += m.message == WM_COMMAND && LOWORD(m.wParam) == 15 && HIWORD(m.wParam) == BN_CLICKED
                  && (HWND)m.lParam == hover.m_hWnd;
    EXPECT_EQ(1, clicks) << "the platform button's own click";
    parent_.log.clear();
    for (HBITMAP h : { off, on, tabImg, clear })
        DeleteObject(h);
}

// --- labels -------------------------------------------------------------------------

TEST_F(SliderTest, FramedLabelsShowTheTextTheyWereMadeWith)
{
    const COLORREF fill = RGB(230, 230, 200);
    HBITMAP sheet = skintest::SolidBitmap(40, 20, fill);
    const CRect src(0, 0, 40, 20), borders(1, 1, 1, 1);
    // Pixels that are not the fill: the text (frame and fill are one colour).
    auto ink = [&](CWnd& w) {
        w.UpdateWindow();
        CClientDC dc(&w);
        CRect rc;
        w.GetClientRect(&rc);
        int n = 0;
        for (int y = 0; y < rc.bottom; ++y)
            for (int x = 0; x < rc.right; ++x)
                n += (dc.GetPixel(x, y) & 0xffffff) != fill;
        return n;
    };
    CSkinLabel label;
    label.SetBitmap(sheet, src);
    label.SetRectA(&src);
    label.SetRectB(&borders);
    ASSERT_TRUE(label.Create("Channel 12", WS_CHILD | WS_VISIBLE, CRect(5, 5, 125, 30), &parent_, 21));
    EXPECT_STREQ("Channel 12", label.GetText());
    EXPECT_GT(ink(label), 20) << "centred label";

    CEllipsisLabel ellipsis;
    ellipsis.SetBitmaps(sheet, src, sheet, src);
    ellipsis.SetRectA(&src);
    ellipsis.SetRectB(&borders);
    ASSERT_TRUE(ellipsis.Create("D:\\Captures\\evening news.mpg", WS_CHILD | WS_VISIBLE, CRect(5, 35, 125, 55),
                                &parent_, 22));
    EXPECT_STREQ("D:\\Captures\\evening news.mpg", ellipsis.GetText());
    EXPECT_GT(ink(ellipsis), 20) << "ellipsis label";
    ellipsis.SetText("");
    EXPECT_EQ(0, ink(ellipsis)) << "without a text only the images are left";

    // A label put on a static that already has its text (as from a dialog
    // template) takes that text.
    HWND hStatic = ::CreateWindowA("STATIC", "Input 2", WS_CHILD | WS_VISIBLE, 130, 5, 120, 25, parent_.m_hWnd,
                                   (HMENU)23, AfxGetInstanceHandle(), NULL);
    CSkinLabel taken;
    taken.SetBitmap(sheet, src);
    taken.SetRectA(&src);
    taken.SetRectB(&borders);
    ASSERT_TRUE(taken.SubclassWindow(hStatic));
    taken.Invalidate(FALSE);
    EXPECT_STREQ("Input 2", taken.GetText());
    EXPECT_GT(ink(taken), 20) << "subclassed label";
    DeleteObject(sheet);
}

TEST(FitTextTest, BoundariesOneCharacterAndWholeChineseCharacters)
{
    HDC dc = CreateCompatibleDC(NULL);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    auto w = [&](const char* s) { SIZE sz; GetTextExtentPoint32A(dc, s, lstrlenA(s), &sz); return (int)sz.cx; };
    int full = w("abcdef") + w(" MB");
    EXPECT_STREQ("abcdef MB", FitText(dc, "abcdef", " MB", full, 0)) << "fits at width + 1 exactly";
    EXPECT_STRNE("abcdef MB", FitText(dc, "abcdef", " MB", full - 1, 0)) << "one pixel less is cut";
    EXPECT_STREQ("", FitText(dc, "", "", 10, 0));
    EXPECT_STREQ("W... MB", FitText(dc, "W", " MB", 3, 0)) << "one character stays";
    EXPECT_STREQ("abc", FitTextEllipsis(dc, "abc", 200, 1));
    EXPECT_STREQ("a...", FitTextEllipsis(dc, "abcdef", 2, 1));
    const char* chinese = "电视节目录像";
    for (int width = 5; width < w(chinese); width += 3) {
        CString got = FitText(dc, chinese, "", width, 0);
        CString body = got.Left(got.GetLength() - 3);
        ASSERT_EQ(0, body.GetLength() % 2) << "whole characters only, width " << width;
        ASSERT_EQ(0, strncmp(chinese, body, body.GetLength()));
        CString e = FitTextEllipsis(dc, chinese, width, 1);
        ASSERT_EQ(0, (e.GetLength() - 3) % 2) << "width " << width;
    }
    DeleteDC(dc);
}

TEST(FormatElapsedTest, HoursAreNotLimitedToTwoDigits)
{
    EXPECT_STREQ("00:00:59", FormatElapsed(59));
    EXPECT_STREQ("01:00:00", FormatElapsed(3600));
    EXPECT_STREQ("100:00:00", FormatElapsed(360000));
    EXPECT_STREQ("00:01:01", FormatElapsed(61));
}

TEST_F(SkinControlsTest, ShapeTimerCountsFromZeroAtEachStart)
{
    CShapeTimer* t = MakeTimer("timer_record");
    t->StartElapsed();
    EXPECT_STREQ("00:00:00", t->GetText());
    auto tick = [&](int n) {
        for (int i = 0; i < n; ++i)
            t->SendMessage(WM_TIMER, CShapeTimer::ELAPSED_TIMER, 0);
    };
    tick(59);
    EXPECT_STREQ("00:00:59", t->GetText());
    tick(3600 - 59);
    EXPECT_STREQ("01:00:00", t->GetText());
    t->StartElapsed();
    EXPECT_EQ(3600u, t->GetElapsed()) << "a second start changes nothing";
    t->StopElapsed();
    EXPECT_STREQ("01:00:00", t->GetText()) << "the last text stays";
    t->StartElapsed();
    EXPECT_STREQ("00:00:00", t->GetText());
    t->SetText("Size: 1234.56MB", "");
    EXPECT_STREQ("Size: 1234.56MB", t->GetText()) << "fits the skin's label";
}

// --- the panel in its four looks, for a person to look at ----------------------

TEST_F(SkinControlsTest, PanelCaptureInFourLooks)
{
    HRGN shape = BitmapToRegion(Img(4), RGB(255, 255, 255), RGB(16, 16, 16));
    panel_.SetWindowRgn(shape, TRUE);
    std::vector<CWnd*> all;
    for (const SkinElement& e : buttons_)
        all.push_back(MakeButton(e.name));
    for (const SkinElement& e : progress_)
        all.push_back(MakeProgress(e.name));
    CShapeTimer* show = MakeTimer("timer_show");
    CShapeTimer* rec = MakeTimer("timer_record");
    CShapeTimer* size = MakeTimer("timer_filesize");
    show->SetText("12:34:56", "");
    rec->SetText("100:00:00", "");
    size->SetText("Composite Viewing", "");
    ((CShapeProgress*)all[buttons_.size()])->SetPos(40);
    ((CShapeProgress*)all[buttons_.size() + 1])->SetPos(70);
    panel_.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    ts::PumpFor(100);

    const CRect whole(kPanelX, kPanelY, kPanelX + 580, kPanelY + 180);
    std::vector<std::vector<DWORD>> looks;
    looks.push_back(skintest::ScreenPixels(whole));
    const CRect play = skintest::FindElement(buttons_, "PLAY_MOVIE")->rect;
    const CRect record = skintest::FindElement(buttons_, "RECORD_MOVIE")->rect;
    MouseTo(Screen(play, play.Width() / 2, play.Height() / 2));
    ts::PumpFor(50);
    looks.push_back(skintest::ScreenPixels(whole));
    MouseTo(Screen(record, record.Width() / 2, record.Height() / 2));
    MouseButton(true);
    ts::PumpFor(50);
    looks.push_back(skintest::ScreenPixels(whole));
    MouseTo(CPoint(5, 5));
    MouseButton(false);
    for (CWnd* w : all) {
        if (CShapeButton* b = dynamic_cast<CShapeButton*>(w))
            b->Enable(FALSE);
        else if (CShapeProgress* p = dynamic_cast<CShapeProgress*>(w))
            p->Enable(FALSE);
    }
    panel_.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    ts::PumpFor(100);
    looks.push_back(skintest::ScreenPixels(whole));

    // One picture: the four looks stacked, normal at the top.
    const int W = 580, H = 180;
    HBITMAP sheet = skintest::MakeBitmap(W, H * 4, [&](int x, int y) {
        DWORD p = looks[y / H][(y % H) * W + x];
        return RGB((p >> 16) & 0xff, (p >> 8) & 0xff, p & 0xff);
    });
    HDC mdc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(mdc, sheet);
    // CaptureToBmp saves windows; a sheet goes through a window-less copy.
    BITMAPINFOHEADER bih = { sizeof(bih), W, H * 4, 1, 24, BI_RGB, 0, 0, 0, 0, 0 };
    int stride = (W * 3 + 3) & ~3;
    std::vector<unsigned char> bits(stride * H * 4);
    GetDIBits(mdc, sheet, 0, H * 4, bits.data(), (BITMAPINFO*)&bih, DIB_RGB_COLORS);
    SelectObject(mdc, old);
    DeleteDC(mdc);
    DeleteObject(sheet);
    BITMAPFILEHEADER bfh = { 0x4d42, (DWORD)(sizeof(bfh) + sizeof(bih) + bits.size()), 0, 0,
                             (DWORD)(sizeof(bfh) + sizeof(bih)) };
    std::string file;
    file.append((const char*)&bfh, sizeof(bfh));
    file.append((const char*)&bih, sizeof(bih));
    file.append((const char*)bits.data(), bits.size());
    ASSERT_TRUE(skintest::WriteFile(ts::OutputDir() + "skin-panel-looks.bmp", file.data(), file.size()));

    // The looks differ where they should: the hovered play button, the pressed
    // record button, the disabled panel.
    auto differs = [&](int a, int b, const CRect& r) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += looks[a][y * W + x] != looks[b][y * W + x];
        return n;
    };
    EXPECT_GT(differs(0, 1, play), 0);
    EXPECT_EQ(0, differs(0, 1, record));
    EXPECT_GT(differs(0, 2, record), 0);
    EXPECT_GT(differs(0, 3, play), 0);
    EXPECT_EQ(0, differs(0, 3, skintest::FindElement(timers_, "timer_record")->rect)) << "labels have no disabled look";
}

}  // namespace
