// The skinned frame on real dialogs: layout, caption pixels in both states,
// caption buttons under the mouse, hit codes, the window shape at several
// sizes, and skins that are broken or missing pieces.
#include <gtest/gtest.h>
#include "SkinFrame.h"
#include "SkinMenu.h"
#include "SkinScreen.h"
#include "Dialog.h"
#include <fstream>
#include <sstream>

using namespace skintest;

namespace {

const int kFx = 200, kFy = 120;

class CFramedDialog : public CDialog {
public:
    explicit CFramedDialog(UINT id) : CDialog(id, NULL) {}
    int sent[3] = { 0, 0, 0 };
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message >= WM_SKINFRAME_MINIMIZE && message <= WM_SKINFRAME_CLOSE) {
            ++sent[message - WM_SKINFRAME_MINIMIZE];
            return 0;
        }
        return CDialog::WindowProc(message, wParam, lParam);
    }
};

bool InRegion(HWND h, int x, int y)
{
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    bool in = GetWindowRgn(h, rgn) != ERROR && PtInRegion(rgn, x, y);
    DeleteObject(rgn);
    return in;
}

std::string ReadText(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

}  // namespace

class SkinFrameTest : public testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(NULL);
        CSize size;
        LoadPictureFile((SkinDir() + "frame.bmp").c_str(), frameImage_, size);
        LoadPictureFile((SkinDir() + "sysbuttons.bmp").c_str(), sysImage_, size);
        CIniFile ini((SkinDir() + "skin.ini").c_str());
        for (int s = 0; s < 2; ++s) {
            CString v = ini.GetString("DialogResInfo", s ? "TopLeft1" : "TopLeft0", "");
            topLeft_[s] = ParseRect(v);
            v = ini.GetString("DialogResInfo", s ? "MiddleTop1" : "MiddleTop0", "");
            middleTop_[s] = ParseRect(v);
        }
        CString v = ini.GetString("SysCloseButton", "normal", "");
        closeNormal_ = ParseRect(v);
        v = ini.GetString("SysCloseButton", "over", "");
        closeOver_ = ParseRect(v);
        closeOffset_ = ini.GetInt("SysCloseButton", "OffsetRight");

        frame_.WantButtons(TRUE, TRUE, TRUE);
        ASSERT_TRUE(frame_.LoadSkin((SkinDir() + "skin.ini").c_str()));
        ASSERT_TRUE(dlg_.Create(301, NULL));
        ASSERT_TRUE(frame_.Attach(dlg_.m_hWnd));
        dlg_.SetWindowPos(&CWnd::wndTopMost, kFx, kFy, 400, 300, SWP_SHOWWINDOW);
        dlg_.SetForegroundWindow();
        dlg_.SetActiveWindow();
        KeepActive() = dlg_.m_hWnd;
        ts::PumpFor(150);
    }
    void TearDown() override
    {
        KeepActive() = NULL;
        MouseTo(CPoint(5, 5));
        dlg_.DestroyWindow();
        CoUninitialize();
    }
    // Pixels of the caption that differ from the piece set, at the top-left
    // corner piece (its opaque part) and along the first middle tiles.
    int CaptionDiffers(int state)
    {
        ts::PumpFor(60);
        int n = 0;
        const CRect& tl = topLeft_[state];
        const CRect& mt = middleTop_[state];
        const int w = tl.Width() + 3 * mt.Width();
        std::vector<DWORD> screen = ScreenPixels(CRect(kFx, kFy, kFx + w, kFy + tl.Height()));
        std::vector<DWORD> image = BitmapPixels(frameImage_, CRect(0, 0, SkinMax(tl.right, mt.right),
                                                                  SkinMax(tl.bottom, mt.bottom)));
        const int iw = SkinMax(tl.right, mt.right);
        for (int y = 0; y < tl.Height(); ++y) {
            for (int x = 0; x < tl.Width(); ++x) {
                DWORD want = image[(tl.top + y) * iw + tl.left + x];
                if (want == 0xff00ff)
                    continue;
                n += screen[y * w + x] != want;
            }
            for (int x = 0; x < 3 * mt.Width(); ++x)
                n += screen[y * w + tl.Width() + x] != image[(mt.top + y) * iw + mt.left + x % mt.Width()];
        }
        return n;
    }
    // Pixels of the close button on screen that differ from a picture.
    int CloseDiffers(const CRect& picture)
    {
        ts::PumpFor(60);
        CRect wr;
        dlg_.GetWindowRect(&wr);
        int left = wr.left + wr.Width() - closeOffset_, top = wr.top + 3;
        CRect on(left, top, left + picture.Width(), top + picture.Height());
        return Differences(ScreenPixels(on), BitmapPixels(sysImage_, picture), picture.Width(), NULL);
    }
    CPoint CloseCentre()
    {
        CRect wr;
        dlg_.GetWindowRect(&wr);
        return CPoint(wr.right - closeOffset_ + closeNormal_.Width() / 2, wr.top + 3 + closeNormal_.Height() / 2);
    }

    CBitmap frameImage_, sysImage_;
    CRect topLeft_[2], middleTop_[2], closeNormal_, closeOver_;
    int closeOffset_ = 0;
    CSkinFrame frame_;
    CFramedDialog dlg_{ 301 };
};

TEST_F(SkinFrameTest, ClientAreaAndCaptionPiecesActiveAndInactive)
{
    CRect cr;
    dlg_.GetClientRect(&cr);
    EXPECT_EQ(CSize(400 - 4 - 4, 300 - 24 - 4), cr.Size());
    CPoint origin(0, 0);
    dlg_.ClientToScreen(&origin);
    EXPECT_EQ(CPoint(kFx + 4, kFy + 24), origin);
    EXPECT_EQ(0u, (DWORD)dlg_.GetStyle() & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_NE(0u, (DWORD)dlg_.GetStyle() & WS_THICKFRAME);

    EXPECT_EQ(0, CaptionDiffers(0)) << "the active pieces";
    EXPECT_EQ(0, CloseDiffers(closeNormal_));
    ts::CaptureToBmp(NULL, "skin_frame.bmp");

    // Another window, beside this one, activated: the platform's own caption
    // painting comes first, the inactive pieces go over it.
    CWnd other;
    ASSERT_TRUE(other.CreateEx(WS_EX_TOPMOST, AfxRegisterWndClass(0), "beside", WS_POPUP | WS_VISIBLE,
                               kFx + 450, kFy, 120, 80, NULL, NULL));
    KeepActive() = NULL;
    other.SetForegroundWindow();
    other.SetActiveWindow();
    EXPECT_TRUE(ts::PumpUntil([&] { return GetActiveWindow() == other.m_hWnd; }, 3000));
    EXPECT_EQ(0, CaptionDiffers(1)) << "the inactive pieces, not the platform's caption";
    ts::CaptureToBmp(NULL, "skin_frame_inactive.bmp");
    dlg_.SetForegroundWindow();
    dlg_.SetActiveWindow();
    EXPECT_TRUE(ts::PumpUntil([&] { return GetActiveWindow() == dlg_.m_hWnd; }, 3000));
    EXPECT_EQ(0, CaptionDiffers(0)) << "active again";
    other.DestroyWindow();
    KeepActive() = dlg_.m_hWnd;

    // Told it is inactive while it stays the active window: the caption
    // follows the message, also through the repaints after it.
    dlg_.SendMessage(WM_NCACTIVATE, FALSE, 0);
    dlg_.RedrawWindow(NULL, NULL, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(0, CaptionDiffers(1)) << "the inactive pieces after a repaint";
    dlg_.SendMessage(WM_NCACTIVATE, TRUE, 0);
    EXPECT_EQ(0, CaptionDiffers(0));
}

TEST_F(SkinFrameTest, CaptionButtonHoverLeaveAndClicks)
{
    MouseTo(CloseCentre());
    // On a busy machine the move reaches the window a while after SendInput.
    EXPECT_TRUE(ts::PumpUntil([&] { return frame_.GetHover() == HTSKINCLOSEBUTTON; }, 3000));
    EXPECT_EQ(0, CloseDiffers(closeOver_)) << "over picture on hover";
    MouseTo(CPoint(kFx + 200, kFy + 500));
    // Wine notices the non-client leave by polling the pointer.
    EXPECT_TRUE(ts::PumpUntil([&] { return frame_.GetHover() == 0; }, 5000));
    EXPECT_EQ(0, CloseDiffers(closeNormal_)) << "gone after leaving";

    MouseTo(CloseCentre());
    MouseButton(true);
    MouseButton(false);
    EXPECT_EQ(1, dlg_.sent[2]) << "press and release on close";
    EXPECT_EQ(0, dlg_.sent[0] + dlg_.sent[1]);

    // Pressed on the minimise button, released on close: no click of either.
    CPoint minimize = CloseCentre();
    minimize.x -= 44;
    MouseTo(minimize);
    std::vector<INPUT> in = { MouseButtonInput(true), MouseMoveInput(CloseCentre()), MouseButtonInput(false) };
    SendInput((UINT)in.size(), in.data(), sizeof(INPUT));
    ts::PumpFor(200);
    EXPECT_EQ(1, dlg_.sent[2]);
    EXPECT_EQ(0, dlg_.sent[0]);

    // Pressed on close, released in the client area, released again on close
    // without a press: nothing either.
    MouseTo(CloseCentre());
    in = { MouseButtonInput(true), MouseMoveInput(CPoint(kFx + 200, kFy + 150)), MouseButtonInput(false) };
    SendInput((UINT)in.size(), in.data(), sizeof(INPUT));
    ts::PumpFor(200);
    dlg_.SendMessage(WM_NCLBUTTONUP, HTSKINCLOSEBUTTON, 0);
    EXPECT_EQ(1, dlg_.sent[2]);
}

TEST_F(SkinFrameTest, HitCodesDoubleClickAndCaptionText)
{
    auto hit = [&](int x, int y) { return (UINT)dlg_.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(kFx + x, kFy + y)); };
    EXPECT_EQ((UINT)HTSKINCLOSEBUTTON, hit(400 - closeOffset_ + 2, 5));
    EXPECT_EQ((UINT)HTSKINMAXBUTTON, hit(400 - 44 + 2, 5));
    EXPECT_EQ((UINT)HTSKINMINBUTTON, hit(400 - 66 + 2, 5));
    EXPECT_EQ((UINT)HTTOPLEFT, hit(1, 1));
    EXPECT_EQ((UINT)HTBOTTOMRIGHT, hit(399, 299));
    EXPECT_EQ((UINT)HTRIGHT, hit(398, 150));
    EXPECT_EQ((UINT)HTCAPTION, hit(100, 10));
    EXPECT_EQ((UINT)HTCLIENT, hit(100, 100));

    dlg_.SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(kFx + 100, kFy + 10));
    ts::PumpFor(50);
    EXPECT_FALSE(dlg_.IsZoomed());
    CRect wr;
    dlg_.GetWindowRect(&wr);
    EXPECT_EQ(CSize(400, 300), wr.Size());

    EXPECT_EQ("", frame_.GetCaptionText()) << "empty until the text is set after attaching";
    dlg_.SetWindowText("Skinned caption");
    EXPECT_EQ("Skinned caption", frame_.GetCaptionText());
    char text[64] = {};
    dlg_.GetWindowText(text, sizeof(text));
    EXPECT_STREQ("Skinned caption", text);
    ts::PumpFor(60);
    int black = 0;
    for (DWORD p : ScreenPixels(CRect(kFx + 24, kFy, kFx + 200, kFy + 24)))
        black += p == 0;
    EXPECT_GT(black, 10) << "the caption text";
    // A caption given while the window is hidden shows once it is shown.
    auto captionInk = [&] {
        ts::PumpFor(60);
        int n = 0;
        for (DWORD p : ScreenPixels(CRect(kFx + 24, kFy, kFx + 200, kFy + 24)))
            n += p == 0;
        return n;
    };
    dlg_.ShowWindow(SW_HIDE);
    dlg_.SetWindowText("");
    dlg_.SetWindowPos(NULL, 0, 0, 401, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    dlg_.SetWindowPos(NULL, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    dlg_.ShowWindow(SW_SHOWNA);
    EXPECT_LT(captionInk(), 5) << "no caption text";
    dlg_.ShowWindow(SW_HIDE);
    dlg_.SetWindowText("Skinned caption");
    dlg_.ShowWindow(SW_SHOWNA);
    EXPECT_GT(captionInk(), 10) << "the caption given while hidden";

    // A fixed window has no sizing codes.
    CFramedDialog fixed(302);
    CSkinFrame plain;
    ASSERT_TRUE(plain.LoadSkin((SkinDir() + "skin.ini").c_str()));
    ASSERT_TRUE(fixed.Create(302, NULL));
    ASSERT_TRUE(plain.Attach(fixed.m_hWnd));
    fixed.SetWindowPos(NULL, 700, 100, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ((UINT)HTCAPTION, (UINT)fixed.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(700 + 100, 100 + 10)));
    EXPECT_EQ((UINT)HTCLIENT, (UINT)fixed.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(700 + 1, 100 + 1)));
    EXPECT_EQ((UINT)HTCAPTION, (UINT)fixed.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(700 + 300 - 22 + 2, 100 + 8)))
        << "no caption buttons wanted";
    fixed.DestroyWindow();
}

TEST_F(SkinFrameTest, ShapeAtThreeSizesWithTransparentCorners)
{
    ASSERT_TRUE(frame_.IsShapeWindow());
    const CSize sizes[] = { CSize(400, 300), CSize(96, 60), CSize(800, 600) };
    for (CSize want : sizes) {
        dlg_.SetWindowPos(NULL, 0, 0, want.cx, want.cy, SWP_NOMOVE | SWP_NOZORDER);
        ts::PumpFor(30);
        // The platform keeps a minimum size of its own.
        CRect wr;
        dlg_.GetWindowRect(&wr);
        CSize s = wr.Size();
        EXPECT_EQ(want.cy, s.cy);
        HWND h = dlg_.m_hWnd;
        EXPECT_FALSE(InRegion(h, 0, 0)) << s.cx << ": top-left corner transparent";
        EXPECT_FALSE(InRegion(h, s.cx - 1, 0)) << s.cx << ": top-right corner transparent";
        EXPECT_TRUE(InRegion(h, 12, 12)) << s.cx << ": caption inside";
        EXPECT_TRUE(InRegion(h, s.cx - 12, 12)) << s.cx << ": caption's right end inside";
        EXPECT_TRUE(InRegion(h, s.cx - 1, s.cy / 2)) << s.cx << ": right border";
        EXPECT_TRUE(InRegion(h, s.cx / 2, s.cy - 1)) << s.cx << ": bottom border";
        EXPECT_TRUE(InRegion(h, 0, s.cy / 2)) << s.cx << ": left border";
        EXPECT_TRUE(InRegion(h, s.cx / 2, s.cy / 2)) << s.cx << ": client";
    }
}

TEST(SkinFrameSkinTest, BrokenSkinsAndAMissingMiddlePiece)
{
    CoInitialize(NULL);
    CSkinFrame frame;
    EXPECT_FALSE(frame.LoadSkin(NULL));
    frame.WantButtons(FALSE, FALSE, TRUE);
    ASSERT_TRUE(frame.LoadSkin((SkinDir() + "skin.ini").c_str()));

    std::string dir = ts::FreshTempDir("frame");
    CopyFileA((SkinDir() + "frame.bmp").c_str(), (dir + "frame.bmp").c_str(), FALSE);
    std::string ini = ReadText(SkinDir() + "skin.ini");
    // Without the caption-button image a frame that wants buttons fails, and
    // stays unloaded after its earlier success.
    WriteFile(dir + "skin.ini", ini.data(), ini.size());
    EXPECT_FALSE(frame.LoadSkin((dir + "skin.ini").c_str()));
    EXPECT_FALSE(frame.IsLoaded());
    CFramedDialog dlg(301);
    ASSERT_TRUE(dlg.Create(301, NULL));
    EXPECT_FALSE(frame.Attach(dlg.m_hWnd));
    EXPECT_FALSE(frame.IsHooked());

    // No MiddleTop0: the caption's middle is empty, nothing loops.
    size_t at = ini.find("MiddleTop0=");
    ASSERT_NE(std::string::npos, at);
    ini.erase(at, ini.find('\n', at) + 1 - at);
    WriteFile(dir + "skin.ini", ini.data(), ini.size());
    CSkinFrame noMiddle;
    ASSERT_TRUE(noMiddle.LoadSkin((dir + "skin.ini").c_str()));
    ASSERT_TRUE(noMiddle.Attach(dlg.m_hWnd));
    dlg.SetWindowPos(NULL, 300, 300, 300, 200, SWP_NOZORDER | SWP_SHOWWINDOW);
    dlg.RedrawWindow(NULL, NULL, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    ts::PumpFor(50);
    EXPECT_TRUE(InRegion(dlg.m_hWnd, 12, 12)) << "the corners stay in the shape";
    HRGN band = noMiddle.BuildTopBand(0);
    EXPECT_TRUE(PtInRegion(band, 12, 12)) << "a zero middle keeps the corners";
    DeleteObject(band);
    dlg.DestroyWindow();
    EXPECT_FALSE(noMiddle.IsHooked());

    noMiddle.SetFlags(6);
    noMiddle.ClearFlags(2);
    EXPECT_EQ(4u, noMiddle.GetFlags());
    CoUninitialize();
}

namespace {
// Notes at its end whether the hooks on it were all gone by then.
class CEndCheckingDialog : public CDialog {
public:
    CEndCheckingDialog(const CSubclassWnd* a, const CSubclassWnd* b) : CDialog(301, NULL), a_(a), b_(b) {}
    bool ended = false, unhookedAtEnd = false;
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_NCDESTROY) {
            ended = true;
            unhookedAtEnd = !a_->IsHooked() && !b_->IsHooked() && !CSubclassWndMap::GetHookMap().Lookup(m_hWnd);
        }
        return CDialog::WindowProc(message, wParam, lParam);
    }
private:
    const CSubclassWnd* a_;
    const CSubclassWnd* b_;
};
}  // namespace

TEST(SkinFrameHookTest, FrameAndMenuManagerLeaveBeforeTheDialogSeesItsEnd)
{
    CoInitialize(NULL);
    CSkinFrame frame;
    ASSERT_TRUE(frame.LoadSkin((SkinDir() + "skin.ini").c_str()));
    CEndCheckingDialog dlg(&frame, &CSkinMenuManager::Get());
    ASSERT_TRUE(dlg.Create(301, NULL));
    ASSERT_TRUE(frame.Attach(dlg.m_hWnd));
    ASSERT_TRUE(CSkinMenuManager::Install(dlg.m_hWnd));
    dlg.DestroyWindow();
    EXPECT_TRUE(dlg.ended);
    EXPECT_TRUE(dlg.unhookedAtEnd);
    EXPECT_FALSE(frame.IsHooked());
    EXPECT_FALSE(CSkinMenuManager::Get().IsHooked());
    CoUninitialize();
}
