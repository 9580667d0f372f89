// The splash window: its size rule, its picture on screen, the enable flag
// and its end with the object.
#include <gtest/gtest.h>
#include "SplashWnd.h"
#include "SkinScreen.h"

using namespace skintest;

TEST(SplashWndTest, SizeRule)
{
    EXPECT_EQ(CSize(593, 455), SplashWindowSize(CSize(593, 455), CSize(640, 480)));
    EXPECT_EQ(CSize(384, 288), SplashWindowSize(CSize(593, 455), CSize(512, 384)));
    EXPECT_EQ(CSize(375, 455), SplashWindowSize(CSize(593, 455), CSize(500, 800)));
}

TEST(SplashWndTest, PictureScreenSizesDisabledAndDeletion)
{
    CBitmap picture;
    ASSERT_TRUE(picture.LoadBitmap(IDB_SPLASH));
    // The resource as stored: 593 x 455 at 24 bits.
    HBITMAP dib = (HBITMAP)LoadImageA(GetModuleHandle(NULL), MAKEINTRESOURCEA(IDB_SPLASH), IMAGE_BITMAP, 0, 0,
                                      LR_CREATEDIBSECTION);
    DIBSECTION ds = {};
    ASSERT_TRUE(GetObject(dib, sizeof(ds), &ds) == sizeof(ds));
    EXPECT_EQ(593, ds.dsBmih.biWidth);
    EXPECT_EQ(455, ds.dsBmih.biHeight);
    EXPECT_EQ(24, ds.dsBmih.biBitCount);
    DeleteObject(dib);

    HWND hwnd = NULL;
    {
        CSplashWnd splash;
        splash.SetScreenSize(CSize(640, 480));
        ASSERT_TRUE(splash.ShowSplash(NULL));
        hwnd = splash.m_hWnd;
        EXPECT_FALSE(GetWindowLong(hwnd, GWL_EXSTYLE) & (WS_EX_LAYERED | WS_EX_TOOLWINDOW));
        splash.SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        splash.UpdateWindow();
        ts::PumpFor(100);
        CRect wr;
        splash.GetWindowRect(&wr);
        EXPECT_EQ(CSize(593, 455), wr.Size());
        // Centred on the screen.
        EXPECT_NEAR(GetSystemMetrics(SM_CXSCREEN) / 2, wr.CenterPoint().x, 1);
        std::vector<DWORD> screen = ScreenPixels(wr);
        std::vector<DWORD> want = BitmapPixels(picture, CRect(0, 0, 593, 455));
        int differ = 0;
        for (size_t i = 0; i < screen.size(); ++i)
            differ += screen[i] != want[i];
        EXPECT_EQ(0, differ);
        ts::CaptureToBmp(hwnd, "splash.bmp");
    }
    EXPECT_FALSE(IsWindow(hwnd)) << "deleting the object destroys its window";

    CSplashWnd small;
    small.SetScreenSize(CSize(512, 384));
    ASSERT_TRUE(small.ShowSplash(NULL));
    CRect wr;
    small.GetWindowRect(&wr);
    EXPECT_EQ(CSize(384, 288), wr.Size());

    CSplashWnd off;
    off.EnableSplash(FALSE);
    EXPECT_FALSE(off.ShowSplash(NULL));
    EXPECT_TRUE(off.m_hWnd == NULL);
}
