// The shaped dialog built from the generated default skin over a backdrop
// window, driven by the mouse and read back from the screen; and the loader's
// rules on skins written for the test.
#include <gtest/gtest.h>
#include "ShapeDialog.h"
#include "SkinScreen.h"
#include <string>
#include <vector>

using namespace skintest;

namespace {

const int kX = 600, kY = 640;
const COLORREF kBackdrop = RGB(10, 200, 30);

class CTestShapeDialog : public CShapeDialog {
public:
    CTestShapeDialog() : CShapeDialog(300, NULL) {}
    std::vector<std::string> commands;
    std::vector<int> moves, ends;
    void OnSkinCommand(LPCTSTR name) override { commands.push_back(name); }
    void OnSkinProgress(LPCTSTR name, int pos) override
    {
        if (!strcmp(name, "PROGRESS_VOLUME"))
            moves.push_back(pos);
    }
    void OnSkinProgressEnd(LPCTSTR name, int pos) override
    {
        if (!strcmp(name, "PROGRESS_VOLUME"))
            ends.push_back(pos);
    }
    int clicks = 0;
protected:
    void OnLButtonDown(UINT nFlags, CPoint point) override
    {
        ++clicks;
        CShapeDialog::OnLButtonDown(nFlags, point);
    }
};

class CBackdrop : public CWnd {
public:
    int clicks = 0;
protected:
    void OnPaint() override
    {
        CPaintDC dc(this);
        CRect rc;
        GetClientRect(&rc);
        dc.FillSolidRect(&rc, kBackdrop);
    }
    BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
    void OnLButtonDown(UINT, CPoint) override { ++clicks; }
};

CRect Rect(const CShapeElement* e, const CWnd* parent)
{
    CRect r;
    e->GetWindowRect(&r);
    parent->ScreenToClient(&r);
    return r;
}

}  // namespace

class ShapeDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(NULL);
        ASSERT_TRUE(backdrop_.CreateEx(WS_EX_TOPMOST, AfxRegisterWndClass(0, ::LoadCursor(NULL, IDC_ARROW)),
                                       "backdrop", WS_POPUP | WS_VISIBLE, kX - 20, kY - 20, 620, 220, NULL, NULL));
        ASSERT_TRUE(dlg_.Create(300, NULL));
        dlg_.SetWindowPos(&CWnd::wndTopMost, kX, kY, 0, 0, SWP_NOSIZE);
        ASSERT_TRUE(dlg_.LoadSkin((SkinDir() + "skin.ini").c_str()));
        dlg_.ShowWindow(SW_SHOW);
        dlg_.SetForegroundWindow();
        KeepActive() = dlg_.m_hWnd;
        ts::PumpFor(150);
    }
    void TearDown() override
    {
        KeepActive() = NULL;
        MouseTo(CPoint(5, 5));
        dlg_.DestroyWindow();
        backdrop_.DestroyWindow();
        CoUninitialize();
    }
    CShapeButton* Button(const char* name)
    {
        for (int i = 0; i < dlg_.GetButtonCount(); ++i)
            if (dlg_.GetButton(i)->GetName() == name)
                return dlg_.GetButton(i);
        return NULL;
    }
    CPoint Centre(CShapeElement* e)
    {
        CRect r;
        e->GetWindowRect(&r);
        return r.CenterPoint();
    }
    // Pixels of the element on screen that differ from the image's cut,
    // inside the element's shape.
    int Differs(CShapeElement* e, CBitmap& image)
    {
        e->UpdateWindow();
        ts::PumpFor(40);
        CRect r = Rect(e, &dlg_);
        CRect s = r;
        s.OffsetRect(kX, kY);
        std::vector<DWORD> screen = ScreenPixels(s), want = BitmapPixels(image, r);
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        bool shaped = GetWindowRgn(e->m_hWnd, rgn) != ERROR;
        int n = Differences(screen, want, r.Width(), shaped ? rgn : NULL);
        DeleteObject(rgn);
        return n;
    }
    CBitmap& Image(const char* file)
    {
        CSize size;
        images_.emplace_back(new CBitmap);
        LoadPictureFile((SkinDir() + file).c_str(), *images_.back(), size);
        return *images_.back();
    }

    CBackdrop backdrop_;
    CTestShapeDialog dlg_;
    std::vector<std::unique_ptr<CBitmap>> images_;
};

TEST_F(ShapeDialogTest, ShapeAndBackgroundFromTheMaskAndNormal)
{
    CRect wr;
    dlg_.GetWindowRect(&wr);
    EXPECT_EQ(CSize(580, 180), wr.Size()) << "the Mask's size";
    CRect cr;
    dlg_.GetClientRect(&cr);
    EXPECT_EQ(CSize(580, 180), cr.Size()) << "no caption, no border";

    // Opaque body points outside every element: Normal; white points: the backdrop.
    CBitmap& normal = dlg_.GetNormalBitmap();
    const POINT body[] = { { 10, 100 }, { 250, 132 }, { 560, 100 }, { 300, 10 }, { 120, 170 } };
    for (POINT p : body)
        EXPECT_EQ(Rgb(PixelOf(normal, p.x, p.y)), ScreenPixel(kX + p.x, kY + p.y)) << p.x << "," << p.y;
    const POINT white[] = { { 5, 5 }, { 100, 6 }, { 480, 8 }, { 556, 156 } };
    for (POINT p : white)
        EXPECT_EQ(Rgb(kBackdrop), ScreenPixel(kX + p.x, kY + p.y)) << p.x << "," << p.y;

    ts::CaptureToBmp(NULL, "shape_dialog.bmp");

    // A click on a white point inside the bounding box reaches the window below.
    MouseTo(CPoint(kX + 5, kY + 5));
    MouseButton(true);
    MouseButton(false);
    EXPECT_EQ(1, backdrop_.clicks);
    EXPECT_EQ(0, dlg_.clicks);
}

TEST_F(ShapeDialogTest, ButtonHoverPressReleaseAndDisabled)
{
    CShapeButton* play = Button("PLAY_MOVIE");
    ASSERT_TRUE(play != NULL);
    EXPECT_EQ(0, Differs(play, Image("normal.bmp")));
    MouseTo(Centre(play));
    EXPECT_EQ(0, Differs(play, Image("hovered.bmp")));
    MouseButton(true);
    EXPECT_EQ(0, Differs(play, Image("pressed.bmp")));
    EXPECT_TRUE(dlg_.commands.empty());
    MouseButton(false);
    EXPECT_EQ((std::vector<std::string>{ "PLAY_MOVIE" }), dlg_.commands);

    dlg_.EnableButton("PLAY_MOVIE", FALSE);
    MouseTo(CPoint(kX + 5, kY + 100));
    EXPECT_EQ(0, Differs(play, Image("disabled.bmp")));
    // The press goes to the dialog below the disabled button, which starts
    // its move loop: press and release go in as one batch.
    MouseTo(Centre(play));
    std::vector<INPUT> in = { MouseButtonInput(true), MouseButtonInput(false) };
    SendInput((UINT)in.size(), in.data(), sizeof(INPUT));
    ts::PumpFor(200);
    EXPECT_EQ(1u, dlg_.commands.size()) << "a disabled button sends nothing";
    EXPECT_EQ(0, dlg_.EnableButton("NO_SUCH", TRUE));
    EXPECT_FALSE(dlg_.SetButtonTip("NO_SUCH", "x"));
    EXPECT_TRUE(dlg_.SetButtonTip("STOP_MOVIE", "Stop it"));
}

TEST_F(ShapeDialogTest, VolumeDragReportsRisingPositionsThenOneEnd)
{
    CShapeProgress* vol = NULL;
    for (int i = 0; i < dlg_.GetProgressCount(); ++i)
        if (dlg_.GetProgress(i)->GetName() == "PROGRESS_VOLUME")
            vol = dlg_.GetProgress(i);
    ASSERT_TRUE(vol != NULL);
    CRect r;
    vol->GetWindowRect(&r);
    int y = r.CenterPoint().y;
    MouseTo(CPoint(r.left + r.Width() / 5, y));
    MouseButton(true);
    MouseTo(CPoint(r.left + r.Width() / 2, y));
    MouseTo(CPoint(r.left + r.Width() * 4 / 5, y));
    MouseButton(false);
    ts::PumpFor(50);
    ASSERT_GE(dlg_.moves.size(), 2u);
    for (size_t i = 1; i < dlg_.moves.size(); ++i)
        EXPECT_GE(dlg_.moves[i], dlg_.moves[i - 1]);
    EXPECT_GT(dlg_.moves.back(), dlg_.moves.front());
    ASSERT_EQ(1u, dlg_.ends.size());
    EXPECT_EQ(dlg_.GetProgressPos("PROGRESS_VOLUME"), dlg_.ends[0]);
    EXPECT_TRUE(dlg_.SetProgressPos("PROGRESS_VOLUME", 300));
    EXPECT_EQ(100, dlg_.GetProgressPos("PROGRESS_VOLUME")) << "kept within the range";
    EXPECT_EQ(0, dlg_.GetProgressPos("NO_SUCH"));
    EXPECT_FALSE(dlg_.SetProgressPos("NO_SUCH", 1));
}

namespace {
// The move loop is modal and takes the pointer's position of its start from
// the message that began it: the press goes in first, the moves and the
// release come from a timer that the loop itself dispatches.
std::vector<INPUT> g_dragSteps;
size_t g_dragNext;
void CALLBACK DragStep(HWND, UINT, UINT_PTR id, DWORD)
{
    if (g_dragNext < g_dragSteps.size())
        SendInput(1, &g_dragSteps[g_dragNext++], sizeof(INPUT));
    else
        KillTimer(NULL, id);
}
}  // namespace

TEST_F(ShapeDialogTest, BodyDragMovesTheWindow)
{
    CPoint from(kX + 10, kY + 100);
    MouseTo(from);
    g_dragSteps.clear();
    for (int step = 1; step <= 6; ++step)
        g_dragSteps.push_back(MouseMoveInput(CPoint(from.x + step * 5, from.y + step * 4)));
    g_dragSteps.push_back(MouseButtonInput(false));
    g_dragNext = 0;
    UINT_PTR timer = SetTimer(NULL, 0, 40, DragStep);
    MouseButton(true);
    ts::PumpUntil([] { return g_dragNext >= g_dragSteps.size(); }, 3000);
    ts::PumpFor(200);
    KillTimer(NULL, timer);
    CRect wr;
    dlg_.GetWindowRect(&wr);
    EXPECT_EQ(CPoint(kX + 30, kY + 24), wr.TopLeft());
    EXPECT_FALSE(dlg_.IsInMove());
    EXPECT_TRUE(dlg_.commands.empty());
}

// --- the loader on skins written for the test ------------------------------

namespace {

bool WriteSolidBmp(const std::string& path, int w, int h, COLORREF c)
{
    int stride = (w * 3 + 3) & ~3;
    std::vector<BYTE> bits(stride * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            bits[y * stride + x * 3] = GetBValue(c);
            bits[y * stride + x * 3 + 1] = GetGValue(c);
            bits[y * stride + x * 3 + 2] = GetRValue(c);
        }
    BITMAPINFOHEADER bih = { sizeof(bih), w, h, 1, 24, BI_RGB, (DWORD)bits.size(), 0, 0, 0, 0 };
    BITMAPFILEHEADER bfh = { 0x4d42, (DWORD)(sizeof(bfh) + sizeof(bih) + bits.size()), 0, 0,
                             (DWORD)(sizeof(bfh) + sizeof(bih)) };
    std::vector<BYTE> file((BYTE*)&bfh, (BYTE*)&bfh + sizeof(bfh));
    file.insert(file.end(), (BYTE*)&bih, (BYTE*)&bih + sizeof(bih));
    file.insert(file.end(), bits.begin(), bits.end());
    return WriteFile(path, file.data(), file.size());
}

// A skin folder with the generated images and the given skin.ini text.
std::string MakeSkin(const char* tag, const std::string& ini, bool whiteMask = false)
{
    std::string dir = ts::FreshTempDir(tag);
    const char* images[] = { "normal.bmp", "hovered.bmp", "pressed.bmp", "disabled.bmp", "mask.bmp", "hand.cur" };
    for (const char* f : images)
        CopyFileA((SkinDir() + f).c_str(), (dir + f).c_str(), FALSE);
    if (whiteMask)
        WriteSolidBmp(dir + "mask.bmp", 580, 180, RGB(255, 255, 255));
    std::string text = "[ShapeWindowInfo]\r\nNormal=normal.bmp\r\nMask=mask.bmp\r\nHovered=hovered.bmp\r\n"
                       "Pressed=pressed.bmp\r\nDisabled=disabled.bmp\r\n" + ini;
    WriteFile(dir + "skin.ini", text.data(), text.size());
    return dir + "skin.ini";
}

class CLoaderDialog : public CShapeDialog {
public:
    CLoaderDialog() : CShapeDialog(300, NULL) {}
    void OnSkinCommand(LPCTSTR) override {}
    void OnSkinProgress(LPCTSTR, int) override {}
    void OnSkinProgressEnd(LPCTSTR, int) override {}
};

bool HasWindowRegion(HWND h)
{
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    bool has = GetWindowRgn(h, rgn) != ERROR;
    DeleteObject(rgn);
    return has;
}

}  // namespace

TEST(ShapeDialogParseTest, TokensFlagsRectanglesAndTheMends)
{
    CShapeElementSpec b = ParseButtonSpec("play,10,10,40,40,Play,FALSE,FALSE");
    EXPECT_EQ("play", b.name);
    EXPECT_EQ(CRect(10, 10, 40, 40), b.rect);
    EXPECT_EQ("Play", b.tip);
    EXPECT_FALSE(b.hasCursor || b.shaped);

    b = ParseButtonSpec("play,10,10,40,40,Play,TRUE,hand.ani,true,255,0,300");
    EXPECT_TRUE(b.hasCursor && b.shaped);
    EXPECT_EQ("hand.ani", b.cursor);
    EXPECT_EQ(RGB(255, 0, 300 & 0xff), b.key);

    EXPECT_FALSE(ParseProgressSpec("vol,Volume,1,2,3,4,h,FALSE,FALSE").horizontal);
    EXPECT_TRUE(ParseProgressSpec("vol,Volume,1,2,3,4,H,FALSE,FALSE").horizontal);
    EXPECT_EQ("Volume", ParseProgressSpec("vol,Volume,1,2,3,4,H,FALSE,FALSE").tip);

    // Too few tokens: the last one repeats.
    EXPECT_EQ(CRect(1, 2, 3, 3), ParseTimerSpec("clock,1,2,3").rect);
    // A leading comma gives an empty token and goes; the rest parses on.
    CShapeElementSpec t = ParseTimerSpec(",clock,1,2,3");
    EXPECT_EQ("", t.name);
    EXPECT_EQ(CRect(0, 1, 2, 3), t.rect);
    CString v = ",,a";
    EXPECT_EQ("", GetNextToken(v));
    EXPECT_EQ("", GetNextToken(v));
    EXPECT_EQ("a", GetNextToken(v));
    EXPECT_EQ("a", GetNextToken(v));
    // A value far beyond 259 characters keeps every token whole.
    std::string tip(300, 'x');
    b = ParseButtonSpec(("play,1,1,5,5," + tip + ",TRUE,hand.cur,FALSE").c_str());
    EXPECT_EQ(300, b.tip.GetLength());
    EXPECT_EQ("hand.cur", b.cursor);
    // Blanks before a comma stay in the token.
    EXPECT_EQ("a ", ParseTimerSpec("a , 1,2,3,4").name);

    EXPECT_FALSE(FileExists("skin.ini"));
    EXPECT_FALSE(FileExists("C:\\windows\\"));
    EXPECT_FALSE(FileExists(NULL));
    EXPECT_TRUE(FileExists((SkinDir() + "SKIN.INI").c_str()));
    EXPECT_FALSE(FileExists((SkinDir() + "skin.in*").c_str()));
}

TEST(ShapeDialogLoaderTest, NumberingRectanglesFailuresAndReplacement)
{
    CoInitialize(NULL);
    CLoaderDialog dlg;
    ASSERT_TRUE(dlg.Create(300, NULL));

    // Button1 and Button3: two keys, so Button3 is never read.
    std::string two = MakeSkin("gap", "[ShapeButtonInfo]\r\nButton1=play,10,10,40,40,Play,FALSE,FALSE\r\n"
                                      "Button3=stop,50,10,80,40,Stop,FALSE,FALSE\r\n"
                                      "[ShapeProgressInfo]\r\nProgress1=vol,Volume,368,146,486,160,h,FALSE,TRUE,0,128,0\r\n"
                                      "[TimerInfo]\r\nTimer1=clock,1,2,3\r\nTimer2=\r\nTimer3=show,5,5,50,20\r\n");
    ASSERT_TRUE(dlg.LoadSkin(two.c_str()));
    ASSERT_EQ(1, dlg.GetButtonCount());
    EXPECT_EQ(5000u, dlg.GetButton(0)->GetId());
    CRect r;
    dlg.GetButton(0)->GetWindowRect(&r);
    EXPECT_EQ(CSize(30, 30), r.Size());
    EXPECT_EQ("Play", CString(dlg.GetButton(0)->GetToolTip() ? "Play" : ""));
    ASSERT_EQ(1, dlg.GetProgressCount());
    EXPECT_EQ(6000u, dlg.GetProgress(0)->GetId());
    EXPECT_FALSE(dlg.GetProgress(0)->Geometry().bHorizontal) << "\"h\" is vertical";
    ASSERT_EQ(2, dlg.GetTimerCount()) << "an empty key makes nothing, yet counts";
    EXPECT_EQ(6500u, dlg.GetTimer(0)->GetId());
    EXPECT_TRUE(dlg.FindTextItem("clock") == dlg.GetTimer(0));
    EXPECT_TRUE(dlg.FindTextItem("Clock") == NULL);
    dlg.GetTimer(0)->GetWindowRect(&r);
    dlg.ScreenToClient(&r);
    EXPECT_EQ(CRect(1, 2, 3, 3), r);
    EXPECT_TRUE(HasWindowRegion(dlg.m_hWnd));

    // A missing skin.ini changes nothing.
    EXPECT_FALSE(dlg.LoadSkin((ts::FreshTempDir("none") + "skin.ini").c_str()));
    EXPECT_EQ(1, dlg.GetButtonCount());
    EXPECT_EQ(CString(two.c_str()), dlg.GetSkinPath());

    // An all-white Mask leaves the window rectangular, also after a shaped skin;
    // a shaped element then has nothing to be cut to and fails.
    std::string white = MakeSkin("white", "[ShapeButtonInfo]\r\nButton1=play,10,10,40,40,Play,FALSE,FALSE\r\n", true);
    EXPECT_TRUE(dlg.LoadSkin(white.c_str()));
    EXPECT_FALSE(HasWindowRegion(dlg.m_hWnd));
    std::string whiteShaped = MakeSkin("whiteshaped", "[ShapeButtonInfo]\r\n"
                                       "Button1=play,10,10,40,40,Play,FALSE,TRUE,0,0,0\r\n", true);
    EXPECT_FALSE(dlg.LoadSkin(whiteShaped.c_str())) << "an empty element shape is a failure";
    EXPECT_EQ(0, dlg.GetButtonCount());

    // Missing cursor, missing Mask under a shaped button.
    std::string noCursor = MakeSkin("nocursor", "[ShapeButtonInfo]\r\nButton1=play,10,10,40,40,Play,TRUE,none.cur,FALSE\r\n");
    EXPECT_FALSE(dlg.LoadSkin(noCursor.c_str()));
    std::string withCursor = MakeSkin("cursor", "[ShapeButtonInfo]\r\nButton1=play,10,10,40,40,Play,TRUE,hand.cur,FALSE\r\n");
    EXPECT_TRUE(dlg.LoadSkin(withCursor.c_str()));
    std::string noMask = MakeSkin("nomask", "[ShapeButtonInfo]\r\nButton1=play,20,88,56,124,Play,FALSE,TRUE,255,0,0\r\n");
    DeleteFileA((noMask.substr(0, noMask.size() - 8) + "mask.bmp").c_str());
    EXPECT_FALSE(dlg.LoadSkin(noMask.c_str()));

    // The generated skin, then a small one: the second replaces all.
    ASSERT_TRUE(dlg.LoadSkin((SkinDir() + "skin.ini").c_str()));
    EXPECT_GT(dlg.GetButtonCount(), 20);
    EXPECT_EQ(2, dlg.GetProgressCount());
    ASSERT_TRUE(dlg.LoadSkin(withCursor.c_str()));
    EXPECT_EQ(1, dlg.GetButtonCount());
    EXPECT_EQ(0, dlg.GetProgressCount());
    EXPECT_EQ(0, dlg.GetTimerCount());
    dlg.DestroyWindow();
    CoUninitialize();
}
