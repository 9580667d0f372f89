// The border and shadow of every popup menu window of Timewarden's thread: a
// thread hook subclasses each "#32768" window as it is made, gives it a
// two-tone frame outside the items and, where the system draws no menu
// shadows, a soft 4-pixel shadow painted over a saved copy of the screen.
#pragma once
#include <windows.h>

// Installs the hook for the calling thread once.
BOOL SkinMenu_InstallHook();
// Unhooks and deletes every shadow record.
void SkinMenu_RemoveHook();

LRESULT CALLBACK SkinMenu_HookProc(int nCode, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK SkinMenu_PopupProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// The popup's previous window procedure, on every subclassed popup.
#define SKINMENU_OLDPROC_PROP "SkinMenu_oldProc"

// Popup windows have no border of their own here (they paint their edge
// inside): the frame lies outside the items, 2 pixels on each side, and the
// shadow beyond it at the right and the bottom.
enum { SKINMENU_FRAME = 2, SKINMENU_SHADOW = 4 };

// For tests: the shadow records alive, and whether the system shadows menus.
int SkinMenu_ShadowRecordCount();
BOOL SkinMenu_SystemDrawsShadow();
// The factor (of 255) the shadow scales a pixel by at (x, y) of a strip: d is
// the distance from the frame's edge (0 inside-most to 3), along the place
// along the edge and length the edge's length.
int SkinMenu_ShadowFactor(int d, int along, int length);
