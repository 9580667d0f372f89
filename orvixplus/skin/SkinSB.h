// Scroll bars that the program draws itself, with the skin's bitmaps, in a
// window's non-client area in place of the system's. InitializeSkinSB
// subclasses the window; from then on its owner sets the bars through the
// SkinSB_ functions, which fall back to the system's scroll-bar calls for a
// window that is not attached.
#pragma once
#include <windows.h>

// Bar arguments: SB_HORZ (0), SB_VERT (1), SB_BOTH (3) where allowed.
// Drawing styles for SkinSB_SetSize.
enum { SKINSB_NORMAL = 0, SKINSB_FLAT = 1, SKINSB_HOTTRACKED = 2 };

// Sent to the window's parent (WM_NOTIFY) around the drawing of a bar whose
// thumb is being dragged: stage 1 before, stage 2 after.
#define SKINSB_NM_THUMBDRAW ((UINT)-4095)
struct NMSKINSBDRAW {
    NMHDR hdr;
    UINT nStage;
    UINT nBar;
    HDC hdc;
    RECT rcBar;         // window coordinates
};

// The timers of a press (delay, then repeat) and of hot tracking.
const UINT_PTR SKINSB_DELAY_TIMER = 65533;
const UINT_PTR SKINSB_REPEAT_TIMER = 65534;
const UINT_PTR SKINSB_HOT_TIMER = (UINT_PTR)0xFFFFFFF2u;
enum { SKINSB_DELAY_MS = 300, SKINSB_REPEAT_MS = 55, SKINSB_HOT_MS = 20 };

// The window property that holds an attached window's state.
#define SKINSB_PROP "SkinSBSubclassPtr"

BOOL WINAPI InitializeSkinSB(HWND hwnd);
HRESULT WINAPI SkinSB_Uninitialize(HWND hwnd);
BOOL WINAPI SkinSB_IsAttached(HWND hwnd);

// The new position.
int WINAPI SkinSB_SetScrollInfo(HWND hwnd, int nBar, LPCSCROLLINFO psi, BOOL fRedraw);
BOOL WINAPI SkinSB_GetScrollInfo(HWND hwnd, int nBar, LPSCROLLINFO psi);
// The previous position.
int WINAPI SkinSB_SetScrollPos(HWND hwnd, int nBar, int nPos, BOOL fRedraw);
int WINAPI SkinSB_GetScrollPos(HWND hwnd, int nBar);
BOOL WINAPI SkinSB_ShowScrollBar(HWND hwnd, int nBar, BOOL fShow);
BOOL WINAPI SkinSB_SetSize(HWND hwnd, int nBar, int nStyle);
// -1: the platform's default.
BOOL WINAPI SkinSB_SetMinThumbSize(HWND hwnd, int nBar, int nSize);

// Left arrow, horizontal thumb, horizontal track, right arrow, up arrow,
// vertical thumb, vertical track, down arrow, corner box. FALSE when one
// fails; those that loaded are kept. The bitmaps are shared by every attached
// window and go with the last of them.
BOOL WINAPI SkinSB_LoadBitmaps(HINSTANCE hInst, LPCTSTR pszLeft, LPCTSTR pszHThumb, LPCTSTR pszHTrack,
                               LPCTSTR pszRight, LPCTSTR pszUp, LPCTSTR pszVThumb, LPCTSTR pszVTrack,
                               LPCTSTR pszDown, LPCTSTR pszCorner);

LRESULT CALLBACK SkinSB_WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// --- the arithmetic, without a window -------------------------------------

// Parts along a bar.
enum {
    SKINSB_PART_NONE = -1,
    SKINSB_PART_FIRST_ARROW = 0,
    SKINSB_PART_SECOND_ARROW = 1,
    SKINSB_PART_TRACK_BEFORE = 2,
    SKINSB_PART_TRACK_AFTER = 3,
    SKINSB_PART_THUMB = 5,
};

// Arrow, thumb and track lengths of a bar of the given length; the thumb's
// start counts from the bar's start. No thumb (length 0) on a bar not longer
// than its two arrows.
struct SkinSBLayout {
    int nArrow;
    int nTrack;
    int nThumbStart;
    int nThumb;
};
SkinSBLayout SkinSB_Layout(int nBarLength, int nArrowLength, const SCROLLINFO& si, int nMinThumb);
// The position a thumb offset from the track start stands for.
int SkinSB_PositionFromOffset(const SCROLLINFO& si, int nOffset, int nTrack, int nThumb);
// The highest position: maximum less the page's extra rows.
int SkinSB_MaxPos(const SCROLLINFO& si);
int SkinSB_PartAt(const SkinSBLayout& lay, int nAlong);
