// The TV wall window on the test screen: its size and cells, its painting by
// pixels, and what it tells the main window.
#include <gtest/gtest.h>
#include "AppState.h"
#include "Globals.h"
#include "MultiPicWindow.h"
#include "TestSupport.h"
#include "WinApp.h"
#include <utility>
#include <vector>

namespace {

std::vector<std::pair<int, int>> g_leaves;

LRESULT CALLBACK MainProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_LEAVE_TV_WALL) {
        g_leaves.push_back({(int)wParam, (int)lParam});
        return 0;
    }
    return DefWindowProcA(hWnd, msg, wParam, lParam);
}

class TvWallWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = MainProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "TvWallTestMain";
        RegisterClassA(&wc);
        HWND h = CreateWindowA("TvWallTestMain", "main", WS_OVERLAPPED, 0, 0, 100, 100, NULL, NULL,
                               wc.hInstance, NULL);
        main.Attach(h);
        app.m_pMainWnd = &main;
        g_pAppState = &state;
        g_leaves.clear();
    }
    void TearDown() override
    {
        g_pAppState = NULL;
        app.m_pMainWnd = NULL;
        HWND h = main.Detach();
        DestroyWindow(h);
    }
    static void Pump() { ts::PumpFor(50); }
    static HBITMAP SolidBitmap(COLORREF colour, int cx, int cy)
    {
        HDC screen = GetDC(NULL);
        HBITMAP bmp = CreateCompatibleBitmap(screen, cx, cy);
        HDC mem = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(mem, bmp);
        RECT rc = {0, 0, cx, cy};
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(mem, &rc, brush);
        DeleteObject(brush);
        SelectObject(mem, old);
        DeleteDC(mem);
        ReleaseDC(NULL, screen);
        return bmp;
    }

    CWinApp app{"tv wall test"};
    CWnd main;
    CAppState state;
};

TEST_F(TvWallWindowTest, GridSizesAndCellSizesOnTheTestScreen)
{
    CMultiPicWindow wall;
    int cw = -1, ch = -1;
    EXPECT_FALSE(wall.GetCellSize(&cw, &ch));
    EXPECT_EQ(0, cw);
    EXPECT_EQ(0, ch);
    wall.SetGridSize(2);
    wall.SetGridSize(-3);
    EXPECT_EQ(2, wall.GetGridSize());
    ASSERT_EQ(1280, GetSystemMetrics(SM_CXSCREEN));
    ASSERT_EQ(1024, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_TRUE(wall.GetCellSize(&cw, &ch));
    EXPECT_EQ(480, cw);
    EXPECT_EQ(384, ch);
    wall.SetGridSize(5);
    EXPECT_TRUE(wall.GetCellSize(&cw, &ch));
    EXPECT_EQ(192, cw);
    EXPECT_EQ(153, ch);
    EXPECT_FALSE(wall.SetCellChannel(0, 1));  // no cells before Create
    EXPECT_EQ(NULL, wall.GetCellWindow(0));
}

TEST_F(TvWallWindowTest, CreateShowsATopmostFramelessWallWithEveryCellInside)
{
    CMultiPicWindow wall;
    wall.SetGridSize(2);
    ASSERT_TRUE(wall.Create());
    HWND h = wall.GetSafeHwnd();
    ASSERT_TRUE(IsWindow(h));
    EXPECT_EQ(h, FindWindowA(MULTIPIC_WINDOW_CLASS, "多画面浏览"));
    EXPECT_TRUE(IsWindowVisible(h));
    LONG_PTR style = GetWindowLongPtr(h, GWL_STYLE);
    EXPECT_EQ(0, style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME));
    EXPECT_TRUE(style & WS_CLIPCHILDREN);
    EXPECT_TRUE(GetWindowLongPtr(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ((HANDLE)&wall, GetPropA(h, MULTIPIC_WINDOW_PROP));
    RECT wr;
    GetWindowRect(h, &wr);
    EXPECT_NEAR(1280 / 2, (wr.left + wr.right) / 2, 1);
    EXPECT_NEAR(1024 / 2, (wr.top + wr.bottom) / 2, 1);

    RECT client;
    GetClientRect(h, &client);
    for (int i = 0; i < 4; i++) {
        HWND cell = wall.GetCellWindow(i);
        ASSERT_TRUE(cell != NULL) << i;
        RECT rc;
        GetWindowRect(cell, &rc);
        MapWindowPoints(NULL, h, (POINT*)&rc, 2);
        EXPECT_EQ(480, rc.right - rc.left) << i;
        EXPECT_EQ(384, rc.bottom - rc.top) << i;
        EXPECT_GE(rc.left, 0) << i;
        EXPECT_GE(rc.top, 0) << i;
        EXPECT_LE(rc.right, client.right) << i;
        EXPECT_LE(rc.bottom, client.bottom) << i;
        EXPECT_EQ(i, wall.GetCell(i)->GetIndex());
    }
    // Cell 1 is the top right one, cell 2 the bottom left.
    RECT r1, r2;
    GetWindowRect(wall.GetCellWindow(1), &r1);
    GetWindowRect(wall.GetCellWindow(2), &r2);
    EXPECT_GT(r1.left, r2.left);
    EXPECT_LT(r1.top, r2.top);
    EXPECT_EQ(NULL, wall.GetCellWindow(4));
    EXPECT_EQ(NULL, wall.GetCellWindow(-1));
    EXPECT_TRUE(IsWindow(GetDlgItem(h, ID_TV_WALL_SETTINGS)));
    EXPECT_TRUE(IsWindow(GetDlgItem(h, ID_TV_WALL_LEAVE)));
}

TEST_F(TvWallWindowTest, ACellShowsItsPictureStretchedWithTheChannelInGreen)
{
    CMultiPicWindow wall;
    wall.SetGridSize(2);
    ASSERT_TRUE(wall.Create());
    Pump();
    HBITMAP red = SolidBitmap(RGB(200, 0, 0), 32, 24);
    EXPECT_TRUE(wall.SetCellPicture(3, &red));
    EXPECT_TRUE(wall.SetCellChannel(3, 7));
    EXPECT_FALSE(wall.SetCellChannel(3, -1));
    EXPECT_FALSE(wall.SetCellChannel(9, 1));
    EXPECT_FALSE(wall.SetCellPicture(-1, &red));
    DeleteObject(red);  // the cell keeps a copy
    HWND cell = wall.GetCellWindow(3);
    InvalidateRect(cell, NULL, TRUE);
    UpdateWindow(cell);
    Pump();

    HDC dc = GetDC(cell);
    RECT rc;
    GetClientRect(cell, &rc);
    EXPECT_EQ(RGB(200, 0, 0), GetPixel(dc, rc.right / 2, rc.bottom / 2));
    EXPECT_EQ(RGB(200, 0, 0), GetPixel(dc, 2, rc.bottom - 3));
    int green = 0, outside = 0;
    for (int y = 0; y < rc.bottom; y++)
        for (int x = 0; x < rc.right; x += (y < 30 ? 1 : 7)) {
            if (GetPixel(dc, x, y) != kTvWallChannelText)
                continue;
            if (x >= rc.right - 100 && y < 25)
                green++;
            else
                outside++;
        }
    ReleaseDC(cell, dc);
    EXPECT_GT(green, 20);
    EXPECT_EQ(0, outside);

    // A cell without a picture stays grey.
    HWND empty = wall.GetCellWindow(0);
    dc = GetDC(empty);
    EXPECT_EQ(kTvWallBackground, GetPixel(dc, 40, 40));
    ReleaseDC(empty, dc);
}

TEST_F(TvWallWindowTest, ButtonsKeysAndDoubleClicksTellTheMainWindow)
{
    CMultiPicWindow wall;
    wall.SetGridSize(3);
    ASSERT_TRUE(wall.Create());
    HWND h = wall.GetSafeHwnd();
    Pump();

    // Outside the TV wall's mode the keys do nothing.
    SendMessageA(h, WM_KEYDOWN, VK_RETURN, 0);
    SendMessageA(h, WM_KEYDOWN, VK_ESCAPE, 0);
    Pump();
    EXPECT_TRUE(g_leaves.empty());
    state.SetMode(MODE_TV_WALL);
    SendMessageA(h, WM_KEYDOWN, VK_RETURN, 0);
    SendMessageA(h, WM_KEYDOWN, VK_ESCAPE, 0);
    SendMessageA(GetDlgItem(h, ID_TV_WALL_SETTINGS), BM_CLICK, 0, 0);
    SendMessageA(GetDlgItem(h, ID_TV_WALL_LEAVE), BM_CLICK, 0, 0);

    // A cell that has shown no channel yet says nothing.
    HWND cell = wall.GetCellWindow(4);
    SendMessageA(cell, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
    wall.SetCellChannel(4, 6);
    SendMessageA(cell, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
    Pump();
    EXPECT_EQ((std::vector<std::pair<int, int>>{{1, 0}, {3, 0}, {1, 0}, {3, 0}, {2, 6}}),
              g_leaves);

    // Neither a close request nor the system menu's close takes it away.
    SendMessageA(h, WM_CLOSE, 0, 0);
    SendMessageA(h, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageA(h, WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
    EXPECT_TRUE(IsWindow(h));
    EXPECT_TRUE(IsWindowVisible(h));
}

TEST_F(TvWallWindowTest, DeletingTheWallDestroysItsWindowsAndARecreationReusesTheClass)
{
    HWND h, cell;
    {
        CMultiPicWindow wall;
        wall.SetGridSize(2);
        ASSERT_TRUE(wall.Create());
        h = wall.GetSafeHwnd();
        cell = wall.GetCellWindow(0);
    }
    EXPECT_FALSE(IsWindow(h));
    EXPECT_FALSE(IsWindow(cell));
    CMultiPicWindow again;
    again.SetGridSize(4);
    EXPECT_TRUE(again.Create());
    EXPECT_TRUE(again.GetCellWindow(15) != NULL);
}

}  // namespace
