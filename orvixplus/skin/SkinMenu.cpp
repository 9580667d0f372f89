#include "SkinMenu.h"
#include "Dib32.h"
#include <new>
#include <unordered_set>

IMPLEMENT_DYNAMIC(CSkinMenu, CMenu)
IMPLEMENT_DYNAMIC(CSkinMenuManager, CSubclassWnd)

namespace {

const UINT kToolbarResourceType = 241;
const COLORREF kTransparent = RGB(255, 0, 255);
const COLORREF kToolbarGrey = RGB(192, 192, 192);
const COLORREF kBoxFrame = RGB(160, 170, 210);
const COLORREF kBoxFill = RGB(235, 235, 235);

struct SkinMenuLook {
    SIZE image;
    int bandWidth;
    CString logoText;
    COLORREF logoColor;
    CDWordArray toolbarIds;
    HIMAGELIST lists[3];          // by SKINMENU_LOOK_*
    UINT toolbarBitmap;
    COLORREF maskColor;
    COLORREF colors[SKINMENU_COLOR_COUNT];
    UINT background;
    DWORD flags;
    CRect openEntry;

    SkinMenuLook() : lists() { Reset(); }
    void Reset()
    {
        for (HIMAGELIST& l : lists) {
            if (l)
                ImageList_Destroy(l);
            l = NULL;
        }
        image.cx = image.cy = 16;
        bandWidth = 0;
        logoText.Empty();
        logoColor = SKINMENU_DEFAULT_LOGO_COLOR;
        toolbarIds.RemoveAll();
        toolbarBitmap = 0;
        maskColor = kTransparent;
        for (int slot = 0; slot < SKINMENU_COLOR_COUNT; slot++)
            colors[slot] = SkinMenu_GetDefaultColor(slot);
        background = 0;
        flags = 0;
        openEntry.SetRectEmpty();
    }
};

SkinMenuLook& Look()
{
    static SkinMenuLook look;
    return look;
}

// Item records of every live CSkinMenu. Never freed: static CSkinMenu objects
// may outlive any other static.
std::unordered_set<ULONG_PTR>& LiveRecords()
{
    static std::unordered_set<ULONG_PTR>* records = new std::unordered_set<ULONG_PTR>;
    return *records;
}

int g_nLiveMenus = 0;

HFONT CreateMenuFont()
{
    NONCLIENTMETRICS ncm = {};
    ncm.cbSize = sizeof(ncm);
    if (!::SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0))
        return (HFONT)::GetStockObject(DEFAULT_GUI_FONT);
    return ::CreateFontIndirect(&ncm.lfMenuFont);
}

void FillSolid(HDC hdc, const RECT& r, COLORREF c)
{
    COLORREF old = ::SetBkColor(hdc, c);
    ::ExtTextOut(hdc, 0, 0, ETO_OPAQUE, &r, NULL, 0, NULL);
    ::SetBkColor(hdc, old);
}

void Frame3d(HDC hdc, const RECT& r, COLORREF topLeft, COLORREF bottomRight)
{
    int w = r.right - r.left, h = r.bottom - r.top;
    FillSolid(hdc, CRect(r.left, r.top, r.left + w - 1, r.top + 1), topLeft);
    FillSolid(hdc, CRect(r.left, r.top, r.left + 1, r.top + h - 1), topLeft);
    FillSolid(hdc, CRect(r.right - 1, r.top, r.right, r.bottom), bottomRight);
    FillSolid(hdc, CRect(r.left, r.bottom - 1, r.right, r.bottom), bottomRight);
}

COLORREF Scale(COLORREF c, int factor)
{
    return RGB(GetRValue(c) * factor / 255, GetGValue(c) * factor / 255, GetBValue(c) * factor / 255);
}

// One horizontal line per row, each component interpolated from the top
// colour to the bottom one.
void VerticalGradient(HDC hdc, const RECT& r, COLORREF top, COLORREF bottom)
{
    int h = r.bottom - r.top;
    for (int y = 0; y < h; y++) {
        int d = h > 1 ? h - 1 : 1;
        COLORREF c = RGB(GetRValue(top) + (GetRValue(bottom) - GetRValue(top)) * y / d,
                         GetGValue(top) + (GetGValue(bottom) - GetGValue(top)) * y / d,
                         GetBValue(top) + (GetBValue(bottom) - GetBValue(top)) * y / d);
        FillSolid(hdc, CRect(r.left, r.top + y, r.right, r.top + y + 1), c);
    }
}

void DrawSelectionBar(HDC hdc, const RECT& r, BOOL bFill)
{
    const SkinMenuLook& look = Look();
    if (bFill)
        VerticalGradient(hdc, r, look.colors[SKINMENU_COLOR_LIGHTBAR_START], look.colors[SKINMENU_COLOR_LIGHTBAR_END]);
    COLORREF frame = look.colors[SKINMENU_COLOR_LIGHTBAR];
    Frame3d(hdc, r, frame, frame);
}

void DrawBand(HDC hdc, int width, int bottom)
{
    const SkinMenuLook& look = Look();
    CRect band(0, 0, width, bottom);
    VerticalGradient(hdc, band, look.logoColor, RGB(90, 90, 90));
    if (look.logoText.IsEmpty())
        return;
    HFONT font = ::CreateFont(14, 0, 900, 900, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              DEFAULT_PITCH | FF_SWISS, "Arial");
    HGDIOBJ oldFont = ::SelectObject(hdc, font);
    int oldMode = ::SetBkMode(hdc, TRANSPARENT);
    COLORREF oldColor = ::SetTextColor(hdc, RGB(255, 255, 255));
    UINT oldAlign = ::SetTextAlign(hdc, TA_LEFT | TA_TOP);
    ::ExtTextOut(hdc, 3, bottom - 4, ETO_CLIPPED, &band, look.logoText, look.logoText.GetLength(), NULL);
    ::SetTextAlign(hdc, oldAlign);
    ::SetTextColor(hdc, oldColor);
    ::SetBkMode(hdc, oldMode);
    ::SelectObject(hdc, oldFont);
    ::DeleteObject(font);
}

void DrawCheckMark(HDC hdc, int x, int y, COLORREF c)
{
    HPEN pen = ::CreatePen(PS_SOLID, 1, c);
    HGDIOBJ old = ::SelectObject(hdc, pen);
    POINT a[3] = { { x + 4, y + 6 }, { x + 6, y + 8 }, { x + 11, y + 3 } };
    POINT b[3] = { { x + 4, y + 7 }, { x + 6, y + 9 }, { x + 11, y + 4 } };
    ::Polyline(hdc, a, 3);
    ::Polyline(hdc, b, 3);
    ::SelectObject(hdc, old);
    ::DeleteObject(pen);
}

void DrawTopEntry(HDC hdc, const SkinMenuItem& item, const CRect& rcItem, UINT state)
{
    SkinMenuLook& look = Look();
    CRect r = rcItem;
    r.right -= 4;
    COLORREF textColor = ::GetSysColor(COLOR_MENUTEXT);
    look.openEntry.SetRectEmpty();
    if (state & ODS_SELECTED) {
        COLORREF face = ::GetSysColor(COLOR_BTNFACE);
        Frame3d(hdc, r, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
        // The soft shadow falls in the four pixels right of the box.
        static const int steps[4] = { 90, 210, 222, 240 };
        for (int i = 0; i < 4; i++)
            FillSolid(hdc, CRect(r.right + i, r.top + i + 1, r.right + i + 1, r.bottom), Scale(face, steps[i]));
        look.openEntry = r;
        CWnd* pMain = AfxGetMainWnd();
        if (pMain && pMain->GetSafeHwnd()) {
            CRect w;
            ::GetWindowRect(pMain->GetSafeHwnd(), &w);
            look.openEntry.OffsetRect(w.left, w.top);
        }
    } else if (state & ODS_HOTLIGHT) {
        DrawSelectionBar(hdc, r, TRUE);
        textColor = look.colors[SKINMENU_COLOR_HIGHLIGHT_TEXT];
    }
    ::SetTextColor(hdc, textColor);
    ::DrawText(hdc, item.text, item.text.GetLength(), &r, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
}

void DrawItemText(HDC hdc, const SkinMenuItem& item, const CRect& r, COLORREF color, UINT extra)
{
    CRect t = r;
    ::SetTextColor(hdc, color);
    ::DrawText(hdc, item.text, item.text.GetLength(), &t, DT_LEFT | DT_SINGLELINE | DT_VCENTER | extra);
    if (!item.accel.IsEmpty()) {
        t = r;
        ::DrawText(hdc, item.accel, item.accel.GetLength(), &t, DT_RIGHT | DT_SINGLELINE | DT_VCENTER | extra);
    }
}

}  // namespace

// -- the shared look --------------------------------------------------------

COLORREF SkinMenu_GetDefaultColor(int slot)
{
    switch (slot) {
    case SKINMENU_COLOR_MENU:
    case SKINMENU_COLOR_ICONBAR: return ::GetSysColor(COLOR_MENU);
    case SKINMENU_COLOR_LIGHTBAR:
    case SKINMENU_COLOR_LIGHTBAR_START: return RGB(234, 240, 250);
    case SKINMENU_COLOR_LIGHTBAR_END: return RGB(196, 212, 239);
    case SKINMENU_COLOR_TEXT: return ::GetSysColor(COLOR_MENUTEXT);
    case SKINMENU_COLOR_HIGHLIGHT_TEXT: return ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    case SKINMENU_COLOR_FRAME0:
    case SKINMENU_COLOR_FRAME1: return ::GetSysColor(COLOR_3DDKSHADOW);
    case SKINMENU_COLOR_FRAME2:
    case SKINMENU_COLOR_FRAME3: return ::GetSysColor(COLOR_WINDOW);
    default: return 0;
    }
}

COLORREF SkinMenu_GetColor(int slot)
{
    return slot >= 0 && slot < SKINMENU_COLOR_COUNT ? Look().colors[slot] : 0;
}

void SkinMenu_SetColor(int slot, COLORREF color)
{
    if (slot >= 0 && slot < SKINMENU_COLOR_COUNT)
        Look().colors[slot] = color;
}

DWORD SkinMenu_GetFlags() { return Look().flags; }
void SkinMenu_SetFlags(DWORD flags) { Look().flags = flags; }

void SkinMenu_SetLogo(LPCTSTR text, COLORREF color)
{
    SkinMenuLook& look = Look();
    look.logoText = text ? text : "";
    look.logoColor = color;
    look.bandWidth = 20;
}

int SkinMenu_GetLogoWidth() { return Look().bandWidth; }
void SkinMenu_SetBackground(UINT nBitmapId) { Look().background = nBitmapId; }
SIZE SkinMenu_GetImageSize() { return Look().image; }
void SkinMenu_ResetLook() { Look().Reset(); }
CRect SkinMenu_GetOpenEntryRect() { return Look().openEntry; }
HIMAGELIST SkinMenu_GetImageList(int look)
{
    return look >= 0 && look < 3 ? Look().lists[look] : NULL;
}
int SkinMenu_GetToolbarIdCount() { return Look().toolbarIds.GetSize(); }

void SkinMenu_Uninstall()
{
    CSkinMenuManager::Get().HookWindow((HWND)NULL);
    SkinMenuLook& look = Look();
    look.toolbarIds.RemoveAll();
    for (HIMAGELIST& l : look.lists) {
        if (l)
            ImageList_Destroy(l);
        l = NULL;
    }
}

int SkinMenu_LoadToolbarIds(UINT nToolbarId, CDWordArray& ids)
{
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC res = ::FindResource(hInst, MAKEINTRESOURCE(nToolbarId), MAKEINTRESOURCE(kToolbarResourceType));
    if (!res)
        return -1;
    HGLOBAL data = ::LoadResource(hInst, res);
    const WORD* words = data ? (const WORD*)::LockResource(data) : NULL;
    DWORD size = ::SizeofResource(hInst, res);
    if (!words || size < 4 * sizeof(WORD))
        return -1;
    // Version 1, button width, button height, button count, then one id a
    // button, all 16-bit. windres's TOOLBAR statement writes width, height,
    // count and ids as 32-bit values without the version: read that too.
    const DWORD* dwords = (const DWORD*)words;
    if (words[0] != 1 && size >= 3 * sizeof(DWORD) && size == (3 + dwords[2]) * sizeof(DWORD)) {
        for (DWORD i = 0; i < dwords[2]; i++)
            if (dwords[3 + i])
                ids.Add(dwords[3 + i] & 0xffff);
        return ids.GetSize();
    }
    UINT count = words[3];
    if (count > size / sizeof(WORD) - 4)
        count = size / sizeof(WORD) - 4;
    for (UINT i = 0; i < count; i++)
        if (words[4 + i])
            ids.Add(words[4 + i]);
    return ids.GetSize();
}

HBITMAP SkinMenu_RecolorBitmap(HBITMAP hSource, int mode, BOOL bAlpha, COLORREF background, COLORREF mask)
{
    BITMAP bm;
    if (!hSource || !::GetObject(hSource, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return NULL;
    HDC hdc = ::CreateCompatibleDC(NULL);
    if (!hdc)
        return NULL;
    DWORD* bits = NULL;
    HBITMAP out = CreateDib32(bm.bmWidth, bm.bmHeight, &bits);
    if (!out) {
        ::DeleteDC(hdc);
        return NULL;
    }
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = bm.bmWidth;
    bi.bmiHeader.biHeight = -bm.bmHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    ::GetDIBits(hdc, hSource, 0, bm.bmHeight, bits, &bi, DIB_RGB_COLORS);
    ::DeleteDC(hdc);

    const DWORD magenta = 0xff00ff;
    int n = bm.bmWidth * bm.bmHeight;
    for (int i = 0; i < n; i++) {
        DWORD p = bits[i];
        int a = p >> 24, r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
        if (bAlpha ? a == 0 : (r == GetRValue(mask) && g == GetGValue(mask) && b == GetBValue(mask))) {
            bits[i] = magenta;
            continue;
        }
        // Thousandths and tenths in integers, cut as before: in doubles the
        // weights sum to a hair under one, so that in the 32-bit build's
        // extended precision every grey came out one darker, and 0.8 and 0.9
        // times a whole step cut one lower there too.
        if (mode == SKINMENU_LOOK_DISABLED) {
            int grey = (299 * r + 587 * g + 114 * b) / 1000;
            r = g = b = (255 * 5 - (255 - grey) * 4) / 5;
        } else if (mode == SKINMENU_LOOK_SELECTED) {
            r = (255 * 10 - (255 - r) * 9) / 10;
            g = (255 * 10 - (255 - g) * 9) / 10;
            b = (255 * 10 - (255 - b) * 9) / 10;
        }
        if (bAlpha) {
            r = (r * a + GetRValue(background) * (255 - a)) / 255;
            g = (g * a + GetGValue(background) * (255 - a)) / 255;
            b = (b * a + GetBValue(background) * (255 - a)) / 255;
        }
        // No alpha left: the image lists take the magenta mask.
        bits[i] = ((DWORD)r << 16) | ((DWORD)g << 8) | (DWORD)b;
    }
    ::GdiFlush();
    return out;
}

BOOL SkinMenu_BuildImageLists()
{
    SkinMenuLook& look = Look();
    HBITMAP strip = (HBITMAP)::LoadImage(AfxGetResourceHandle(), MAKEINTRESOURCE(look.toolbarBitmap), IMAGE_BITMAP,
                                         0, 0, LR_CREATEDIBSECTION);
    if (!strip)
        return FALSE;
    COLORREF rest = (look.flags & SKINMENU_FLAG_ICONBAR) ? look.colors[SKINMENU_COLOR_ICONBAR]
                                                         : look.colors[SKINMENU_COLOR_MENU];
    const COLORREF backgrounds[3] = { rest, rest, look.colors[SKINMENU_COLOR_LIGHTBAR_START] };
    BOOL alpha = (look.flags & SKINMENU_FLAG_ALPHA) != 0;
    BOOL ok = TRUE;
    for (int mode = 0; mode < 3; mode++) {
        if (look.lists[mode])
            ImageList_Destroy(look.lists[mode]);
        look.lists[mode] = ImageList_Create(look.image.cx, look.image.cy, ILC_COLOR24 | ILC_MASK, 16, 16);
        HBITMAP look_bmp = SkinMenu_RecolorBitmap(strip, mode, alpha, backgrounds[mode], look.maskColor);
        if (!look.lists[mode] || !look_bmp || ImageList_AddMasked(look.lists[mode], look_bmp, kTransparent) < 0)
            ok = FALSE;
        if (look_bmp)
            ::DeleteObject(look_bmp);
    }
    ::DeleteObject(strip);
    return ok;
}

int SkinMenu_LoadToolbar(UINT nToolbarId, UINT nBitmapId, BOOL bAlpha)
{
    if (!nToolbarId)
        return -1;
    SkinMenuLook& look = Look();
    look.toolbarBitmap = nBitmapId ? nBitmapId : nToolbarId;
    look.maskColor = nBitmapId ? kTransparent : kToolbarGrey;
    if (bAlpha)
        look.flags |= SKINMENU_FLAG_ALPHA;
    else
        look.flags &= ~SKINMENU_FLAG_ALPHA;
    SkinMenu_BuildImageLists();
    look.toolbarIds.RemoveAll();
    return SkinMenu_LoadToolbarIds(nToolbarId, look.toolbarIds);
}

int SkinMenu_FindImage(int id)
{
    const SkinMenuLook& look = Look();
    int images = look.lists[SKINMENU_LOOK_NORMAL] ? ImageList_GetImageCount(look.lists[SKINMENU_LOOK_NORMAL]) : 0;
    for (int i = 0; i < look.toolbarIds.GetSize(); i++)
        if ((int)look.toolbarIds[i] == id)
            return i < images ? i : -1;
    return -1;
}

// -- measuring and drawing --------------------------------------------------

BOOL SkinMenu_MeasureItem(LPMEASUREITEMSTRUCT mis)
{
    if (!mis || mis->CtlType != ODT_MENU || !CSkinMenu::IsItemRecord(mis->itemData))
        return FALSE;
    const SkinMenuItem& item = *(const SkinMenuItem*)mis->itemData;
    const SkinMenuLook& look = Look();
    if (item.id == 0) {
        mis->itemHeight = 5;
        mis->itemWidth = 50;
        return TRUE;
    }
    mis->itemHeight = 19;
    int cx = 50;
    CString all = item.text + item.accel;
    if (!all.IsEmpty()) {
        // Measured where the menu will show; without a main window, on the
        // screen.
        CWnd* pMain = AfxGetMainWnd();
        HWND hWnd = pMain ? pMain->GetSafeHwnd() : NULL;
        HDC hdc = ::GetDC(hWnd);
        HFONT font = CreateMenuFont();
        HGDIOBJ old = ::SelectObject(hdc, font);
        SIZE size = {};
        ::GetTextExtentPoint32(hdc, all, all.GetLength(), &size);
        ::SelectObject(hdc, old);
        ::DeleteObject(font);
        ::ReleaseDC(hWnd, hdc);
        cx = size.cx;
    }
    if (!item.accel.IsEmpty()) {
        int len = all.GetLength();
        cx = cx - (cx / len) * (len % 8) + 62;
    }
    if (item.id == SKINMENU_ID_TOP_POPUP)
        mis->itemWidth = cx - 6;
    else
        mis->itemWidth = cx + look.image.cx + 15 + (item.level < 0 ? look.bandWidth : 0);
    return TRUE;
}

void SkinMenu_DrawBackground(HDC hdc, const CRect& item, int bandOffset)
{
    // One picture behind the whole menu, from its top-left corner past the
    // band: each item shows the part under it.
    HBITMAP bmp = (HBITMAP)::LoadImage(AfxGetResourceHandle(), MAKEINTRESOURCE(Look().background), IMAGE_BITMAP, 0,
                                       0, LR_CREATEDIBSECTION);
    if (!bmp)
        return;
    HDC src = ::CreateCompatibleDC(hdc);
    HGDIOBJ old = ::SelectObject(src, bmp);
    int left = item.left + bandOffset;
    ::BitBlt(hdc, left, item.top, item.right - left, item.Height(), src, left - bandOffset, item.top, SRCCOPY);
    ::SelectObject(src, old);
    ::DeleteDC(src);
    ::DeleteObject(bmp);
}

BOOL SkinMenu_DrawItem(LPDRAWITEMSTRUCT dis)
{
    if (!dis || dis->CtlType != ODT_MENU || !CSkinMenu::IsItemRecord(dis->itemData))
        return FALSE;
    const SkinMenuItem& item = *(const SkinMenuItem*)dis->itemData;
    const SkinMenuLook& look = Look();
    const CRect rc = dis->rcItem;
    if (rc.right <= 0 || rc.bottom <= 0 || rc.IsRectEmpty())
        return TRUE;

    HDC mem = ::CreateCompatibleDC(dis->hDC);
    HBITMAP bmp = ::CreateCompatibleBitmap(dis->hDC, rc.right, rc.bottom);
    HGDIOBJ oldBmp = ::SelectObject(mem, bmp);
    HFONT font = CreateMenuFont();
    HGDIOBJ oldFont = ::SelectObject(mem, font);
    ::SetBkColor(mem, look.colors[SKINMENU_COLOR_MENU]);
    ::SetBkMode(mem, TRANSPARENT);

    const BOOL selected = (dis->itemState & ODS_SELECTED) != 0;
    const BOOL disabled = (dis->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    const BOOL checked = (dis->itemState & ODS_CHECKED) != 0;
    const int imgW = look.image.cx, imgH = look.image.cy;

    int band = 0;
    if (item.level < 0 && look.bandWidth > 0) {
        band = look.bandWidth;
        // From the menu's left edge to the items' band offset: where the
        // platform draws an edge of its own inside the menu (Wine does), the
        // band covers it and still joins the items.
        if (dis->itemAction & ODA_DRAWENTIRE)
            DrawBand(dis->hDC, rc.left + band, rc.bottom);
    }
    const int left = rc.left + band;

    if (item.id == SKINMENU_ID_TOP_POPUP) {
        FillSolid(mem, rc, ::GetSysColor(COLOR_BTNFACE));
    } else if (look.background) {
        SkinMenu_DrawBackground(mem, rc, band);
    } else {
        FillSolid(mem, CRect(left, rc.top, rc.right, rc.bottom), look.colors[SKINMENU_COLOR_MENU]);
        if ((look.flags & SKINMENU_FLAG_ICONBAR) && !band)
            FillSolid(mem, CRect(rc.left, rc.top, rc.left + imgW + 5, rc.bottom), look.colors[SKINMENU_COLOR_ICONBAR]);
    }

    if (item.id == 0) {
        int x = left + ((look.flags & SKINMENU_FLAG_ICONBAR) && !band ? imgW + 3 : 3);
        int y = rc.top + rc.Height() / 2 - 1;
        FillSolid(mem, CRect(x, y, rc.right, y + 1), ::GetSysColor(COLOR_GRAYTEXT));
        FillSolid(mem, CRect(x, y + 1, rc.right, y + 2), RGB(240, 240, 240));
    } else if (item.id == SKINMENU_ID_TOP_POPUP) {
        DrawTopEntry(mem, item, rc, dis->itemState);
    } else {
        CRect bar(left, rc.top, rc.right, rc.bottom);
        if (disabled) {
            if (selected)
                DrawSelectionBar(mem, bar, FALSE);
            CRect t(left + imgW + 10, rc.top + 2, rc.right - 11, rc.bottom + 2);
            DrawItemText(mem, item, t, ::GetSysColor(COLOR_3DHILIGHT), 0);
            t.OffsetRect(-1, -1);
            DrawItemText(mem, item, t, ::GetSysColor(COLOR_GRAYTEXT), 0);
        } else {
            if (selected)
                DrawSelectionBar(mem, bar, TRUE);
            CRect t(left + imgW + 9, rc.top, rc.right - 12, rc.bottom);
            DrawItemText(mem, item, t,
                         look.colors[selected ? SKINMENU_COLOR_HIGHLIGHT_TEXT : SKINMENU_COLOR_TEXT], DT_EXPANDTABS);
        }

        int top = rc.top + (rc.Height() - imgH) / 2 + 1;
        CRect img(left + 2, top, left + 2 + imgW, top + imgH);
        int image = SkinMenu_FindImage(item.id);
        if (image >= 0) {
            if (checked) {
                CRect box(left, rc.top, left + rc.Height(), rc.bottom);
                if (selected) {
                    box.DeflateRect(1, 1);
                    FillSolid(mem, box, look.colors[SKINMENU_COLOR_MENU]);
                    Frame3d(mem, box, RGB(255, 255, 255), kBoxFrame);
                } else {
                    FillSolid(mem, box, kBoxFill);
                    Frame3d(mem, box, kBoxFrame, kBoxFrame);
                }
            }
            int list = disabled ? SKINMENU_LOOK_DISABLED : selected ? SKINMENU_LOOK_SELECTED : SKINMENU_LOOK_NORMAL;
            ImageList_Draw(look.lists[list], image, mem, img.left, img.top, ILD_TRANSPARENT);
        } else if (checked) {
            CRect box(img.left + 1, img.top, img.right, img.bottom - 1);
            FillSolid(mem, box, selected ? RGB(255, 255, 255) : kBoxFill);
            Frame3d(mem, box, kBoxFrame, kBoxFrame);
            DrawCheckMark(mem, box.left, box.top, look.colors[SKINMENU_COLOR_TEXT]);
        }
    }

    ::BitBlt(dis->hDC, left, rc.top, rc.right - left, rc.Height(), mem, left, rc.top, SRCCOPY);
    ::SelectObject(mem, oldFont);
    ::DeleteObject(font);
    ::SelectObject(mem, oldBmp);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    return TRUE;
}

// -- CSkinMenu --------------------------------------------------------------

CSkinMenu::CSkinMenu() : m_bOwnsMenu(FALSE)
{
    g_nLiveMenus++;
}

CSkinMenu::~CSkinMenu()
{
    FreeRecords(m_items);
    // The manager and the images are shared: the last menu takes them away.
    if (--g_nLiveMenus == 0)
        SkinMenu_Uninstall();
    if (m_bOwnsMenu)
        DestroyMenu();
    else
        CMenu::Detach();
}

const SkinMenuItem* CSkinMenu::GetItem(int index) const
{
    POSITION pos = m_items.FindIndex(index);
    return pos ? (const SkinMenuItem*)m_items.GetAt(pos) : NULL;
}

BOOL CSkinMenu::IsItemRecord(ULONG_PTR p)
{
    return p && LiveRecords().count(p) != 0;
}

void CSkinMenu::FreeRecords(CPtrList& records)
{
    while (!records.IsEmpty()) {
        SkinMenuItem* item = (SkinMenuItem*)records.RemoveHead();
        LiveRecords().erase((ULONG_PTR)item);
        delete item;
    }
}

BOOL CSkinMenu::LoadMenu(UINT nMenuId, UINT nToolbarId)
{
    FreeRecords(m_items);
    if (m_bOwnsMenu)
        DestroyMenu();
    else
        CMenu::Detach();
    m_bOwnsMenu = FALSE;
    HMENU hMenu = ::LoadMenu(AfxGetResourceHandle(), MAKEINTRESOURCE(nMenuId));
    if (!hMenu)
        return FALSE;
    if (!Attach(hMenu)) {
        ::DestroyMenu(hMenu);
        return FALSE;
    }
    m_bOwnsMenu = TRUE;
    ConvertMenu(m_hMenu, SKINMENU_LEVEL_TOP);
    SkinMenu_LoadToolbar(nToolbarId, 0, FALSE);
    return TRUE;
}

BOOL CSkinMenu::AttachMenu(HMENU hMenu, int nLevel)
{
    if (!hMenu)
        return FALSE;
    if (hMenu != m_hMenu) {
        if (m_bOwnsMenu)
            DestroyMenu();
        else
            CMenu::Detach();
        m_bOwnsMenu = FALSE;
        if (!Attach(hMenu)) {
            FreeRecords(m_items);
            return FALSE;
        }
    }
    // The rebuilt menu may still hold items converted before: their texts
    // come from the old records, which go only afterwards.
    CPtrList fresh(10);
    BOOL ok = Convert(hMenu, nLevel, fresh);
    FreeRecords(m_items);
    while (!fresh.IsEmpty())
        m_items.AddTail(fresh.RemoveHead());
    return ok;
}

HMENU CSkinMenu::Detach()
{
    FreeRecords(m_items);
    m_bOwnsMenu = FALSE;
    return CMenu::Detach();
}

BOOL CSkinMenu::ConvertMenu(HMENU hMenu, int nLevel)
{
    return Convert(hMenu, nLevel, m_items);
}

BOOL CSkinMenu::Convert(HMENU hMenu, int nLevel, CPtrList& records)
{
    int count = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < count; i++) {
        MENUITEMINFO mii = {};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
        if (!::GetMenuItemInfo(hMenu, i, TRUE, &mii))
            continue;
        SkinMenuItem* item = new (std::nothrow) SkinMenuItem;
        if (!item)
            return FALSE;
        item->level = nLevel;
        item->id = mii.hSubMenu ? -1 : (int)mii.wID;
        item->hMenu = hMenu;
        if ((mii.fType & MFT_OWNERDRAW) && IsItemRecord(mii.dwItemData)) {
            const SkinMenuItem* old = (const SkinMenuItem*)mii.dwItemData;
            item->text = old->text;
            item->accel = old->accel;
        } else {
            int len = ::GetMenuString(hMenu, i, NULL, 0, MF_BYPOSITION);
            CString text;
            if (len > 0) {
                int size = 2 * len + 2;
                ::GetMenuString(hMenu, i, text.GetBuffer(size), size, MF_BYPOSITION);
                text.ReleaseBuffer();
            }
            int tab = text.Find('\t');
            item->text = tab < 0 ? text : text.Left(tab);
            item->accel = tab < 0 ? CString() : text.Mid(tab + 1);
        }

        // Only the type and the data change: sub-menu, check and greying stay.
        MENUITEMINFO set = {};
        set.cbSize = sizeof(set);
        set.fMask = MIIM_FTYPE | MIIM_DATA;
        set.fType = mii.fType | MFT_OWNERDRAW;
        set.dwItemData = (ULONG_PTR)item;
        ::SetMenuItemInfo(hMenu, i, TRUE, &set);
        LiveRecords().insert((ULONG_PTR)item);
        records.AddTail(item);

        if (nLevel == SKINMENU_LEVEL_TOP && item->id < 0)
            item->id = SKINMENU_ID_TOP_POPUP;
        else if (mii.hSubMenu)
            item->id = SKINMENU_ID_SUB_POPUP;
        if (nLevel == SKINMENU_LEVEL_SUB && i == count - 1)
            item->level = SKINMENU_LEVEL_SUB_LAST;
        if (mii.hSubMenu && !Convert(mii.hSubMenu, SKINMENU_LEVEL_SUB, records))
            return FALSE;
    }
    return TRUE;
}

void CSkinMenu::DrawItem(LPDRAWITEMSTRUCT)
{
}

void CSkinMenu::MeasureItem(LPMEASUREITEMSTRUCT)
{
}

// -- CSkinMenuManager -------------------------------------------------------

CSkinMenuManager::CSkinMenuManager()
{
    // The hook map must outlive the manager, a static destroyed at exit.
    CSubclassWndMap::GetHookMap();
}

CSkinMenuManager& CSkinMenuManager::Get()
{
    static CSkinMenuManager manager;
    return manager;
}

BOOL CSkinMenuManager::Install(CWnd* pWnd)
{
    return Install(pWnd ? pWnd->GetSafeHwnd() : (HWND)NULL);
}

BOOL CSkinMenuManager::Install(HWND hWnd)
{
    return Get().HookWindow(hWnd);
}

LRESULT CSkinMenuManager::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MEASUREITEM && lParam && ((LPMEASUREITEMSTRUCT)lParam)->CtlType == ODT_MENU)
        SkinMenu_MeasureItem((LPMEASUREITEMSTRUCT)lParam);
    else if (message == WM_DRAWITEM && lParam && ((LPDRAWITEMSTRUCT)lParam)->CtlType == ODT_MENU)
        SkinMenu_DrawItem((LPDRAWITEMSTRUCT)lParam);
    return CSubclassWnd::WindowProc(message, wParam, lParam);
}
