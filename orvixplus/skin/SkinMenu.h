// Owner-drawn menus: flat items with small images from a toolbar strip, a
// coloured selection bar and an optional vertical logo band along the left
// edge of pop-up menus.
//
// A CSkinMenu turns every item of its menu (and of all its sub-menus) into an
// owner-drawn item carrying an item record. One process-wide hook, the menu
// manager, sits on the window that owns the menus and answers the measure and
// draw requests for those items. The look (colours, logo band, images) is
// shared by every owner-drawn menu of the process.
#pragma once
#include "Afx.h"
#include "SubclassWnd.h"

// One converted menu item. The record's address is the item's data.
struct SkinMenuItem {
    CString text;        // before the first tab
    CString accel;       // after the first tab
    int level;           // 1 top menu, -1 sub-menu, -2 last item of a sub-menu
    int id;              // command id; 0 separator; -2 top entry opening a
                         // sub-menu; -1 sub-menu item opening a further one
    HMENU hMenu;         // the menu holding the item
};

// Item record levels and the ids of items that open sub-menus.
enum {
    SKINMENU_LEVEL_TOP = 1,
    SKINMENU_LEVEL_SUB = -1,
    SKINMENU_LEVEL_SUB_LAST = -2,
    SKINMENU_ID_TOP_POPUP = -2,
    SKINMENU_ID_SUB_POPUP = -1,
};

class CSkinMenu : public CMenu {
    DECLARE_DYNAMIC(CSkinMenu)
public:
    CSkinMenu();
    virtual ~CSkinMenu();

    // Loads the menu resource and converts it (level 1), then the toolbar's
    // images. FALSE when the menu resource is missing.
    BOOL LoadMenu(UINT nMenuId, UINT nToolbarId);
    // A menu built at run time, converted at the given level. The menu stays
    // the caller's: it is not destroyed with this object. Calling it again on
    // the rebuilt menu keeps the texts of items converted before.
    BOOL AttachMenu(HMENU hMenu, int nLevel);
    // Frees the records and gives up the menu without destroying it.
    HMENU Detach();
    BOOL ConvertMenu(HMENU hMenu, int nLevel);

    // Empty: the menu manager measures and draws the items.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);

    int GetItemCount() const { return (int)m_items.GetCount(); }
    const SkinMenuItem* GetItem(int index) const;

    // Is p an item record of some live CSkinMenu?
    static BOOL IsItemRecord(ULONG_PTR p);

private:
    void FreeRecords(CPtrList& records);
    BOOL Convert(HMENU hMenu, int nLevel, CPtrList& records);

    CPtrList m_items;     // SkinMenuItem*, in conversion order
    BOOL m_bOwnsMenu;     // loaded here (destroyed here) or handed in
};

// The process-wide hook on the window that owns the menus.
class CSkinMenuManager : public CSubclassWnd {
    DECLARE_DYNAMIC(CSkinMenuManager)
public:
    CSkinMenuManager();
    static CSkinMenuManager& Get();
    static BOOL Install(CWnd* pWnd);
    static BOOL Install(HWND hWnd);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
};

// Colour slots of the shared look.
enum SkinMenuColor {
    SKINMENU_COLOR_MENU,
    SKINMENU_COLOR_ICONBAR,
    SKINMENU_COLOR_LIGHTBAR,
    SKINMENU_COLOR_LIGHTBAR_START,
    SKINMENU_COLOR_LIGHTBAR_END,
    SKINMENU_COLOR_TEXT,
    SKINMENU_COLOR_HIGHLIGHT_TEXT,
    SKINMENU_COLOR_FRAME0,
    SKINMENU_COLOR_FRAME1,
    SKINMENU_COLOR_FRAME2,
    SKINMENU_COLOR_FRAME3,
    SKINMENU_COLOR_COUNT
};

// Style flags of the shared look.
enum {
    SKINMENU_FLAG_ICONBAR = 0x1,   // fill the image column in the icon bar colour
    SKINMENU_FLAG_ALPHA = 0x2,     // the toolbar bitmap carries an alpha channel
};

// Recolouring modes of SkinMenu_RecolorBitmap.
enum {
    SKINMENU_LOOK_DISABLED = 0,
    SKINMENU_LOOK_NORMAL = 1,
    SKINMENU_LOOK_SELECTED = 2,
};

// The shared look. Everything starts at its default (system menu colours,
// no logo band, 16 x 16 images, no toolbar).
COLORREF SkinMenu_GetColor(int slot);
// A slot's colour before anything changed it, and the logo band's.
COLORREF SkinMenu_GetDefaultColor(int slot);
#define SKINMENU_DEFAULT_LOGO_COLOR RGB(0, 0, 255)
void SkinMenu_SetColor(int slot, COLORREF color);
DWORD SkinMenu_GetFlags();
void SkinMenu_SetFlags(DWORD flags);
void SkinMenu_SetLogo(LPCTSTR text, COLORREF color);
int SkinMenu_GetLogoWidth();
void SkinMenu_SetBackground(UINT nBitmapId);
SIZE SkinMenu_GetImageSize();
// Back to the defaults, images and toolbar ids dropped.
void SkinMenu_ResetLook();
// The open menu-bar entry, in screen coordinates (empty when none is open).
CRect SkinMenu_GetOpenEntryRect();

// Unhooks the manager, empties the toolbar id list, deletes the image lists.
void SkinMenu_Uninstall();
// Images and ids of a toolbar resource; bitmap 0 takes the toolbar's own
// bitmap (mask 192,192,192), else the given one (mask 255,0,255). Returns the
// number of ids, -1 for toolbar 0 or a missing toolbar.
int SkinMenu_LoadToolbar(UINT nToolbarId, UINT nBitmapId, BOOL bAlpha);
int SkinMenu_LoadToolbarIds(UINT nToolbarId, CDWordArray& ids);
BOOL SkinMenu_BuildImageLists();
HBITMAP SkinMenu_RecolorBitmap(HBITMAP hSource, int mode, BOOL bAlpha, COLORREF background, COLORREF mask);
int SkinMenu_FindImage(int id);
HIMAGELIST SkinMenu_GetImageList(int look);
int SkinMenu_GetToolbarIdCount();

// Measure and draw one item; FALSE (nothing done) for data that is not a
// live item record.
BOOL SkinMenu_MeasureItem(LPMEASUREITEMSTRUCT lpMeasure);
BOOL SkinMenu_DrawItem(LPDRAWITEMSTRUCT lpDraw);
void SkinMenu_DrawBackground(HDC hdc, const CRect& item, int bandOffset);
