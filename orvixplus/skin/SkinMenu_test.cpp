// Owner-drawn menus: conversion of loaded and rebuilt menus, the look's
// measures and pixels, and real pop-up menus opened on a test window, driven
// from a timer (the menu's own loop dispatches it) by the keyboard.
#include "SkinMenu.h"
#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <vector>
#include "MenuDriver.h"
#include "SkinScreen.h"

using skintest::Rgb;

namespace {

const UINT kMenu = 400, kToolbar = 410, kWindresToolbar = 411;
const DWORD kRed = 0xff0000, kGreen = 0x00a000;

// -- a real menu, opened, stepped through and closed ------------------------

using skintest::PressKey;

// Opens the pop-up at (x, y) for the owner and runs the steps in it.
void TrackMenu(HMENU popup, HWND owner, std::vector<skintest::MenuStepFn> steps, int x = 60, int y = 60)
{
    bool all = skintest::RunMenuSteps([&] {
        TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_NONOTIFY, x, y, 0, owner, NULL);
    }, std::move(steps));
    EXPECT_TRUE(all) << "the menu closed before every step ran";
}

// Screen coordinates of an item of the open pop-up. Wine maps a pop-up's
// item through the window it is given: with none, through the menu's own.
CRect ItemRect(HWND, HMENU menu, int pos)
{
    CRect r;
    GetMenuItemRect(NULL, menu, pos, &r);
    return r;
}

// -- drawing one item into memory -------------------------------------------

struct ItemSurface {
    explicit ItemSurface(int w = 200, int h = 19) : s(w, h, RGB(1, 2, 3)), rect(0, 0, w, h) {}
    BOOL Draw(const SkinMenuItem* item, UINT state)
    {
        DRAWITEMSTRUCT dis = {};
        dis.CtlType = ODT_MENU;
        dis.itemID = item ? (UINT)item->id : 0;
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = state;
        dis.hwndItem = (HWND)(item ? item->hMenu : NULL);
        dis.hDC = s.dc();
        dis.rcItem = rect;
        dis.itemData = (ULONG_PTR)item;
        return SkinMenu_DrawItem(&dis);
    }
    DWORD At(int x, int y) const { return Rgb(s.At(x, y)); }
    int Count(DWORD rgb, const CRect& r) const
    {
        int n = 0;
        for (int y = r.top; y < r.bottom; y++)
            for (int x = r.left; x < r.right; x++)
                n += At(x, y) == rgb;
        return n;
    }
    skintest::Surface s;
    CRect rect;
};

int TextWidth(const CString& text)
{
    NONCLIENTMETRICS ncm = {};
    ncm.cbSize = sizeof(ncm);
    SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    HFONT font = CreateFontIndirect(&ncm.lfMenuFont);
    HDC dc = GetDC(NULL);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size;
    GetTextExtentPoint32(dc, text, text.GetLength(), &size);
    SelectObject(dc, old);
    ReleaseDC(NULL, dc);
    DeleteObject(font);
    return size.cx;
}

MEASUREITEMSTRUCT Measure(const SkinMenuItem* item)
{
    MEASUREITEMSTRUCT mis = { ODT_MENU, 0, 0, 7, 7, (ULONG_PTR)item };
    SkinMenu_MeasureItem(&mis);
    return mis;
}

// A record of the menu by its text.
const SkinMenuItem* Find(const CSkinMenu& m, const char* text)
{
    for (int i = 0; i < m.GetItemCount(); i++)
        if (m.GetItem(i)->text == text)
            return m.GetItem(i);
    return NULL;
}

class SkinMenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SkinMenu_ResetLook();
        ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), "Owner-drawn menu test", WS_POPUP | WS_VISIBLE,
                                  20, 20, 400, 300, NULL, NULL));
        // The pointer well away from the menus, which would follow it.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 5, GetSystemMetrics(SM_CYSCREEN) - 5);
        SetForegroundWindow(host.m_hWnd);
        SetActiveWindow(host.m_hWnd);
        CSkinMenuManager::Install(&host);
        ts::PumpFor(30);
    }
    void TearDown() override
    {
        SkinMenu_Uninstall();
        host.DestroyWindow();
        SkinMenu_ResetLook();
    }
    CWnd host;
};

}  // namespace

TEST_F(SkinMenuTest, ConversionKeepsTheMenuAndRecordsLevelsIdsAndTexts)
{
    CSkinMenu m;
    EXPECT_FALSE(m.LoadMenu(999, kToolbar));
    ASSERT_TRUE(m.LoadMenu(kMenu, kToolbar));
    struct Expect { const char* text; const char* accel; int level; int id; };
    const Expect all[] = {
        { "&File", "", 1, -2 }, { "&Open", "Ctrl+O", -1, 1001 }, { "&Save", "", -1, 1002 }, { "", "", -1, 0 },
        { "Greyed", "Del", -1, 1003 }, { "&Recent", "", -1, -1 }, { "One", "", -1, 1010 }, { "Two", "", -2, 1011 },
        { "E&xit", "", -2, 1004 }, { "&View", "", 1, -2 }, { "Big", "", -2, 1020 },
    };
    ASSERT_EQ(m.GetItemCount(), (int)(sizeof(all) / sizeof(all[0])));
    for (int i = 0; i < m.GetItemCount(); i++) {
        const SkinMenuItem* item = m.GetItem(i);
        EXPECT_EQ(CString(all[i].text), item->text) << i;
        EXPECT_EQ(CString(all[i].accel), item->accel) << i;
        EXPECT_EQ(all[i].level, item->level) << i;
        EXPECT_EQ(all[i].id, item->id) << i;
        EXPECT_TRUE(CSkinMenu::IsItemRecord((ULONG_PTR)item));
    }

    // Only type and data changed: sub-menus, checks and greying stay.
    HMENU file = GetSubMenu(m.m_hMenu, 0);
    ASSERT_TRUE(file != NULL);
    EXPECT_EQ(m.GetItem(1)->hMenu, file);
    EXPECT_TRUE(GetSubMenu(file, 4) != NULL);
    EXPECT_TRUE(GetMenuState(file, 1002, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(file, 1003, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_EQ(GetMenuItemID(file, 5), 1004u);
    MENUITEMINFO mii = {};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE | MIIM_DATA;
    ASSERT_TRUE(GetMenuItemInfo(file, 2, TRUE, &mii));
    EXPECT_EQ(mii.fType, (UINT)(MFT_SEPARATOR | MFT_OWNERDRAW));
    EXPECT_EQ(mii.dwItemData, (ULONG_PTR)m.GetItem(3));

    // The toolbar: its separator gives no id; an id not on it has no image.
    EXPECT_EQ(SkinMenu_GetToolbarIdCount(), 3);
    EXPECT_EQ(SkinMenu_FindImage(1001), 0);
    EXPECT_EQ(SkinMenu_FindImage(1004), 2);
    EXPECT_EQ(SkinMenu_FindImage(1003), -1);
    EXPECT_EQ(ImageList_GetImageCount(SkinMenu_GetImageList(SKINMENU_LOOK_SELECTED)), 3);
    EXPECT_EQ(SkinMenu_LoadToolbar(0, 0, FALSE), -1);
    CDWordArray ids;
    EXPECT_EQ(SkinMenu_LoadToolbarIds(kWindresToolbar, ids), 3);
    ASSERT_EQ(ids.GetSize(), 3);
    EXPECT_EQ(ids[2], 1004u);
    ids.RemoveAll();
    EXPECT_EQ(SkinMenu_LoadToolbarIds(999, ids), -1);
}

TEST_F(SkinMenuTest, ReattachingARebuiltMenuKeepsTextsAndTheMenuStaysTheCallers)
{
    HMENU popup = CreatePopupMenu();
    HMENU sub = CreatePopupMenu();
    AppendMenu(sub, MF_STRING, 3, "Inner");
    AppendMenu(popup, MF_STRING, 1, "Alpha\tF1");
    AppendMenu(popup, MF_POPUP, (UINT_PTR)sub, "Sub");
    AppendMenu(popup, MF_STRING | MF_CHECKED, 2, "Beta");
    {
        CSkinMenu m;
        EXPECT_FALSE(m.AttachMenu(NULL, -1));
        ASSERT_TRUE(m.AttachMenu(popup, -1));
        EXPECT_EQ(m.GetItemCount(), 4);
        // The history is rebuilt: a new plain item before the converted ones.
        InsertMenu(popup, 0, MF_BYPOSITION | MF_STRING, 4, "Gamma");
        ASSERT_TRUE(m.AttachMenu(popup, -1));
        const char* texts[] = { "Gamma", "Alpha", "Sub", "Inner", "Beta" };
        ASSERT_EQ(m.GetItemCount(), 5);
        for (int i = 0; i < 5; i++)
            EXPECT_EQ(CString(texts[i]), m.GetItem(i)->text) << i;
        EXPECT_EQ(CString("F1"), m.GetItem(1)->accel);
        EXPECT_EQ(m.GetItem(2)->id, -1);
        EXPECT_EQ(m.GetItem(4)->level, -2);
        EXPECT_EQ(GetSubMenu(popup, 2), sub);
        EXPECT_TRUE(GetMenuState(popup, 2, MF_BYCOMMAND) & MF_CHECKED);
        for (int i = 0; i < 4; i++) {
            MENUITEMINFO mii = {};
            mii.cbSize = sizeof(mii);
            mii.fMask = MIIM_DATA;
            GetMenuItemInfo(popup, i, TRUE, &mii);
            EXPECT_TRUE(CSkinMenu::IsItemRecord(mii.dwItemData)) << i;
        }
        // Records of one conversion only: the old ones are gone.
        MEASUREITEMSTRUCT unknown = { ODT_MENU, 0, 0, 7, 7, (ULONG_PTR)&texts };
        EXPECT_FALSE(SkinMenu_MeasureItem(&unknown));
        EXPECT_EQ(unknown.itemWidth, 7u);
    }
    EXPECT_TRUE(IsMenu(popup));
    DestroyMenu(popup);
}

TEST_F(SkinMenuTest, MeasuresAddImageColumnBandAndAcceleratorRoom)
{
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenu(file, MF_STRING, 1, "Alpha");
    AppendMenu(file, MF_SEPARATOR, 0, NULL);
    AppendMenu(file, MF_STRING, 2, "Open\tCtrl+O");
    AppendMenu(bar, MF_POPUP, (UINT_PTR)file, "File");
    AppendMenu(bar, MF_STRING, 5, "Top");
    CSkinMenu m;
    ASSERT_TRUE(m.AttachMenu(bar, SKINMENU_LEVEL_TOP));
    const SkinMenuItem* alpha = Find(m, "Alpha");
    MEASUREITEMSTRUCT sep = Measure(m.GetItem(2));
    EXPECT_EQ(sep.itemHeight, 5u);
    EXPECT_EQ(sep.itemWidth, 50u);
    EXPECT_EQ(Measure(alpha).itemHeight, 19u);
    EXPECT_EQ((int)Measure(alpha).itemWidth, TextWidth("Alpha") + 16 + 15);
    int cx = TextWidth("OpenCtrl+O");
    EXPECT_EQ((int)Measure(Find(m, "Open")).itemWidth, cx - (cx / 10) * 2 + 62 + 31);
    EXPECT_EQ((int)Measure(Find(m, "File")).itemWidth, TextWidth("File") - 6);

    SkinMenu_SetLogo("ORVIX", RGB(0, 0, 255));
    EXPECT_EQ((int)Measure(alpha).itemWidth, TextWidth("Alpha") + 31 + 20);
    // A top-menu item gets no band.
    EXPECT_EQ((int)Measure(Find(m, "Top")).itemWidth, TextWidth("Top") + 31);
}

TEST_F(SkinMenuTest, ItemLooksDrawnInMemory)
{
    CSkinMenu m;
    ASSERT_TRUE(m.LoadMenu(kMenu, kToolbar));
    const DWORD menu = Rgb(SkinMenu_GetColor(SKINMENU_COLOR_MENU));
    const DWORD frame = 0xa0aad2, fill = 0xebebeb;

    ItemSurface plain;
    ASSERT_TRUE(plain.Draw(Find(m, "E&xit"), 0));
    EXPECT_EQ(plain.At(190, 1), menu);
    EXPECT_EQ(plain.At(2 + 8, 2 + 8), 0x0000ffu);  // its image, blue
    EXPECT_EQ(plain.At(2 + 1, 2 + 1), menu);       // the toolbar grey is clear

    // Greyed: the text twice, light and grey one pixel up and left.
    ItemSurface grey;
    ASSERT_TRUE(grey.Draw(Find(m, "Greyed"), ODS_GRAYED));
    CRect text(16 + 9, 0, 200, 19);
    EXPECT_GT(grey.Count(Rgb(GetSysColor(COLOR_3DHILIGHT)), text), 5);
    EXPECT_GT(grey.Count(Rgb(GetSysColor(COLOR_GRAYTEXT)), text), 5);

    // Checked without an image: a box over the image place, and the mark.
    ItemSurface check;
    ASSERT_TRUE(check.Draw(Find(m, "Two"), ODS_CHECKED));
    EXPECT_EQ(check.At(3, 2), frame);
    EXPECT_EQ(check.At(17, 16), frame);
    EXPECT_EQ(check.At(5, 14), fill);
    EXPECT_EQ(check.At(3 + 4, 2 + 6), Rgb(SkinMenu_GetColor(SKINMENU_COLOR_TEXT)));
    EXPECT_EQ(check.At(3 + 9, 2 + 5), Rgb(SkinMenu_GetColor(SKINMENU_COLOR_TEXT)));
    ItemSurface checkSelected;
    ASSERT_TRUE(checkSelected.Draw(Find(m, "Two"), ODS_CHECKED | ODS_SELECTED));
    EXPECT_EQ(checkSelected.At(5, 14), 0xffffffu);

    // Checked with an image: a box as high as the item behind it; the
    // selected and disabled images recoloured.
    ItemSurface save;
    ASSERT_TRUE(save.Draw(Find(m, "&Save"), ODS_CHECKED));
    EXPECT_EQ(save.At(0, 0), frame);
    EXPECT_EQ(save.At(18, 18), frame);
    EXPECT_EQ(save.At(3, 3), fill);
    EXPECT_EQ(save.At(10, 10), kGreen);
    ItemSurface saveSelected;
    ASSERT_TRUE(saveSelected.Draw(Find(m, "&Save"), ODS_CHECKED | ODS_SELECTED));
    EXPECT_EQ(saveSelected.At(1, 1), 0xffffffu);
    EXPECT_EQ(saveSelected.At(17, 17), frame);
    EXPECT_EQ(saveSelected.At(10, 10), 0x19a919u);   // 255 - (255 - v) * 0.9
    ItemSurface saveGrey;
    ASSERT_TRUE(saveGrey.Draw(Find(m, "&Save"), ODS_GRAYED));
    EXPECT_EQ(saveGrey.At(10, 10), 0x7d7d7du);       // grey 93 lightened

    ItemSurface sep(200, 5);
    ASSERT_TRUE(sep.Draw(m.GetItem(3), 0));
    EXPECT_EQ(sep.At(50, 1), Rgb(GetSysColor(COLOR_GRAYTEXT)));
    EXPECT_EQ(sep.At(50, 2), 0xf0f0f0u);
    EXPECT_EQ(sep.At(1, 1), menu);

    // Data that is no live record is left alone.
    ItemSurface none;
    SkinMenuItem stranger = *Find(m, "Two");
    EXPECT_FALSE(none.Draw(&stranger, 0));
    EXPECT_EQ(none.At(10, 10), 0x010203u);
}

// A one-row 32-bit section of the width, its pixels in *bits.
static HBITMAP RowSection(int width, DWORD** bits)
{
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -1;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(NULL, &bi, DIB_RGB_COLORS, (void**)bits, NULL, 0);
}

TEST(SkinMenuRecolor, ModesMaskAndAlpha)
{
    // mask colour, (200,100,50), (10,20,30)
    DWORD* bits = NULL;
    HBITMAP src = RowSection(3, &bits);
    ASSERT_TRUE(src != NULL);
    bits[0] = 0x00c0c0c0;
    bits[1] = 0x80c86432;   // alpha 128
    bits[2] = 0xff0a141e;
    auto pixels = [](HBITMAP h) { return skintest::BitmapPixels(h, CRect(0, 0, 3, 1)); };
    struct Case { int mode; DWORD p1, p2; } cases[] = {
        { SKINMENU_LOOK_NORMAL, 0xc86432, 0x0a141e },
        { SKINMENU_LOOK_DISABLED, 0x969696, 0x414141 },   // grey 124 and 18
        { SKINMENU_LOOK_SELECTED, 0xcd7346, 0x222b34 },
    };
    for (const Case& c : cases) {
        HBITMAP out = SkinMenu_RecolorBitmap(src, c.mode, FALSE, RGB(0, 0, 255), RGB(192, 192, 192));
        ASSERT_TRUE(out != NULL);
        BITMAP bm;
        GetObject(out, sizeof(bm), &bm);
        EXPECT_EQ(bm.bmBitsPixel, 32);
        std::vector<DWORD> px = pixels(out);
        EXPECT_EQ(px[0], 0xff00ffu) << c.mode;
        EXPECT_EQ(px[1], c.p1) << c.mode;
        EXPECT_EQ(px[2], c.p2) << c.mode;
        DeleteObject(out);
    }
    // With alpha: transparency by alpha 0, the rest blended on the background.
    bits[0] = 0x00123456;
    HBITMAP out = SkinMenu_RecolorBitmap(src, SKINMENU_LOOK_NORMAL, TRUE, RGB(0, 0, 255), RGB(192, 192, 192));
    std::vector<DWORD> px = pixels(out);
    EXPECT_EQ(px[0], 0xff00ffu);
    EXPECT_EQ(px[1], 0x643298u);   // 200*128/255, 100*128/255, (50*128+255*127)/255
    EXPECT_EQ(px[2], 0x0a141eu);
    DeleteObject(out);
    DeleteObject(src);
    EXPECT_TRUE(SkinMenu_RecolorBitmap(NULL, 1, FALSE, 0, 0) == NULL);
}

// Greys keep their shade through the disabled look's weights, and whole
// steps of the fades land on their exact level: worked out in doubles, the
// 32-bit build made each of these one darker, the 64-bit one the grey 128.
TEST(SkinMenuRecolor, GreysAndWholeStepsKeepTheirExactLevel)
{
    DWORD* bits = NULL;
    HBITMAP src = RowSection(4, &bits);
    ASSERT_TRUE(src != NULL);
    bits[0] = 0xffffff;
    bits[1] = 0xfafafa;   // grey 250: 255 less 0.8 x 5
    bits[2] = 0x808080;   // grey 128: 255 less 0.8 x 127, cut
    bits[3] = 0xf5ebff;   // 255 less 0.9 x 10, 0.9 x 20 and 0
    struct Case { int mode; DWORD px[4]; } cases[] = {
        { SKINMENU_LOOK_DISABLED, { 0xffffff, 0xfbfbfb, 0x999999, 0xf3f3f3 } },
        { SKINMENU_LOOK_SELECTED, { 0xffffff, 0xfafafa, 0x8c8c8c, 0xf6edff } },
    };
    for (const Case& c : cases) {
        HBITMAP out = SkinMenu_RecolorBitmap(src, c.mode, FALSE, RGB(0, 0, 255), RGB(1, 2, 3));
        ASSERT_TRUE(out != NULL);
        std::vector<DWORD> px = skintest::BitmapPixels(out, CRect(0, 0, 4, 1));
        for (int i = 0; i < 4; i++)
            EXPECT_EQ(c.px[i], px[i]) << c.mode << " pixel " << i;
        DeleteObject(out);
    }
    DeleteObject(src);
}

TEST_F(SkinMenuTest, OpenMenuHeightsBandAndSelectionBar)
{
    CSkinMenu m;
    ASSERT_TRUE(m.LoadMenu(kMenu, kToolbar));
    HMENU file = GetSubMenu(m.m_hMenu, 0);
    int plainWidth = 0;
    TrackMenu(file, host.m_hWnd, {
        [&](HWND) {
            EXPECT_EQ(ItemRect(host.m_hWnd, file, 0).Height(), 19);
            EXPECT_EQ(ItemRect(host.m_hWnd, file, 2).Height(), 5);
            plainWidth = ItemRect(host.m_hWnd, file, 0).Width();
        },
    });

    SkinMenu_SetLogo("ORVIX", RGB(0, 0, 255));
    const COLORREF start = SkinMenu_GetColor(SKINMENU_COLOR_LIGHTBAR_START);
    const COLORREF end = SkinMenu_GetColor(SKINMENU_COLOR_LIGHTBAR_END);
    TrackMenu(file, host.m_hWnd, {
        [&](HWND) {
            EXPECT_EQ(ItemRect(host.m_hWnd, file, 0).Width(), plainWidth + 20);
        },
        [&](HWND) { PressKey(VK_DOWN); },
        [&](HWND wnd) {
            // The first item selected: rows from start to end colour, framed.
            CRect r = ItemRect(host.m_hWnd, file, 0);
            std::vector<DWORD> col = skintest::ScreenPixels(CRect(r.right - 3, r.top, r.right - 2, r.bottom));
            int h = r.Height();
            EXPECT_EQ(col[0], Rgb(SkinMenu_GetColor(SKINMENU_COLOR_LIGHTBAR)));
            EXPECT_EQ(col[h - 1], Rgb(SkinMenu_GetColor(SKINMENU_COLOR_LIGHTBAR)));
            for (int y = 1; y < h - 1; y++) {
                COLORREF c = RGB(GetRValue(start) + (GetRValue(end) - GetRValue(start)) * y / (h - 1),
                                 GetGValue(start) + (GetGValue(end) - GetGValue(start)) * y / (h - 1),
                                 GetBValue(start) + (GetBValue(end) - GetBValue(start)) * y / (h - 1));
                EXPECT_EQ(col[y], Rgb(c)) << y;
            }
            EXPECT_EQ(skintest::ScreenPixel(r.right - 1, r.top + 8), Rgb(SkinMenu_GetColor(SKINMENU_COLOR_LIGHTBAR)));
            // Its image recoloured for the selection (red 255, 0, 0).
            int top = r.top + (h - 16) / 2 + 1;
            EXPECT_EQ(skintest::ScreenPixel(r.left + 20 + 2 + 8, top + 8), 0xff1919u);

            // The band: from the logo colour at the top towards 90,90,90,
            // the logo text in white.
            POINT origin = { 0, 0 };
            ClientToScreen(wnd, &origin);
            CRect last = ItemRect(host.m_hWnd, file, GetMenuItemCount(file) - 1);
            CRect band(origin.x, r.top, r.left + 20, last.bottom);
            std::vector<DWORD> px = skintest::ScreenPixels(band);
            int bottom = last.bottom - origin.y;
            int y0 = r.top - origin.y;
            int blue = 255 + (90 - 255) * y0 / (bottom - 1);
            // Wine draws its menu edge over the outer pixels: a column by the items.
            EXPECT_EQ(px[band.Width() - 2], (DWORD)((90 * y0 / (bottom - 1)) << 16 | (90 * y0 / (bottom - 1)) << 8 | blue));
            int white = 0;
            for (DWORD p : px)
                white += p == 0xffffff;
            EXPECT_GT(white, 10);
            ts::CaptureToBmp(wnd, "skinmenu_open.bmp");
        },
    });
}

TEST_F(SkinMenuTest, OneMenuGoneLeavesTheOtherDrawing)
{
    std::unique_ptr<CSkinMenu> first(new CSkinMenu);
    CSkinMenu second;
    ASSERT_TRUE(first->LoadMenu(kMenu, kToolbar));
    ASSERT_TRUE(second.LoadMenu(kMenu, kToolbar));
    first.reset();
    EXPECT_TRUE(CSkinMenuManager::Get().IsHooked());
    EXPECT_EQ(SkinMenu_FindImage(1004), 2);
    HMENU file = GetSubMenu(second.m_hMenu, 0);
    TrackMenu(file, host.m_hWnd, {
        [&](HWND) {
            CRect r = ItemRect(host.m_hWnd, file, 5);
            EXPECT_EQ(r.Height(), 19);
            int top = r.top + (r.Height() - 16) / 2 + 1;
            EXPECT_EQ(skintest::ScreenPixel(r.left + 2 + 8, top + 8), 0x0000ffu);
        },
    });
}

TEST_F(SkinMenuTest, TheLastMenuTakesTheManagerAndImagesAway)
{
    {
        CSkinMenu m;
        ASSERT_TRUE(m.LoadMenu(kMenu, kToolbar));
        EXPECT_TRUE(CSkinMenuManager::Get().IsHooked());
    }
    EXPECT_FALSE(CSkinMenuManager::Get().IsHooked());
    EXPECT_TRUE(SkinMenu_GetImageList(SKINMENU_LOOK_NORMAL) == NULL);
    EXPECT_EQ(SkinMenu_GetToolbarIdCount(), 0);
}
