// Drawing routines that the skinned controls share, the off-screen paint
// buffer and the window conventions common to every skinned control.
#pragma once
#include "Afx.h"
#include "Button.h"
#include "BitmapUtil.h"
#include "ToolTipCtrl.h"

// The colour that means "take the key from a pixel of the image".
#define SKIN_PIXEL_KEY 0xff000000

// The four edges of a frame (corners belong to the top and bottom strips),
// each cut from image at s and stretched into d, borders b wide. The centre
// is left alone; the caller's clip is kept.
void DrawSkinFrame(HDC hDC, const RECT* d, HBITMAP hImage, const RECT* s, const RECT* b);
// Builds the monochrome mask of image (1 where the key colour is) into *pMask
// and blackens the image's key pixels, ready for DrawMasked.
BOOL MakeTransparentMask(HBITMAP hImage, CBitmap* pMask, COLORREF key, int x, int y);
// image through its mask (transparent set) or plainly. The context's text and
// background colours are set for the mask and put back afterwards.
void DrawMasked(HDC hDC, int x, int y, int width, int height, HBITMAP hImage, int srcX, int srcY,
                HBITMAP hMask, BOOL bTransparent);
// One line per row from top to bottom inclusive (columns when horizontal),
// from the first colour to the second.
void FillGradient(HDC hDC, int left, int top, int right, int bottom, COLORREF first, COLORREF second,
                  BOOL bHorizontal);
// The whole bitmap at its own size at the rectangle's top-left.
void DrawBitmapAt(HDC hDC, const RECT& rect, HBITMAP hBitmap);
// Width of a one-line text in a font (the default GUI face for NULL), measured
// on the window's context.
int TextWidthIn(HWND hWnd, HFONT hFont, LPCTSTR lpszText);
// A rectangle of the bitmap (all of it for NULL) stretched into dst.
void StretchBitmapPart(HDC hDC, const RECT& dst, HBITMAP hBitmap, const RECT* pSrc);
// The bitmap stretched into a box inside r, clipped to its own shape (all but
// the transparent colour).
void DrawRegionClippedBitmap(HDC hDC, const RECT& r, HBITMAP hBitmap, COLORREF transparent, int width,
                             int height, BOOL bCentred, int xOffset, int yOffset);

// Off-screen buffer over a paint context and a rectangle (its clip box when
// none is given): drawing goes into the buffer, which is copied back when the
// object goes. A printer's context is drawn on directly.
class CMemDC : public CDC {
public:
    explicit CMemDC(CDC* pDC, const RECT* pRect = NULL);
    virtual ~CMemDC();
    const CRect& GetRect() const { return m_rect; }
private:
    CDC* m_pTarget;
    CBitmap m_bitmap;
    HGDIOBJ m_hOldBitmap;
    CRect m_rect;
    BOOL m_bThrough;
};

// Button classes drawn entirely from images: owner-drawn (the button's own
// drawing never runs), background erasing answered without drawing.
class CSkinButtonBase : public CButton {
public:
    virtual void DrawItem(LPDRAWITEMSTRUCT) {}
protected:
    virtual void PreSubclassWindow();
    virtual BOOL OnEraseBkgnd(CDC*) { return TRUE; }
};

// The button style made owner-drawn whatever kind it was.
inline UINT OwnerDrawStyle(UINT style) { return (style & ~BS_TYPEMASK) | BS_OWNERDRAW; }

// The face used by the skinned controls that draw text: all zero but height
// and face name, which the platform replaces by its default face.
BOOL CreateSkinFont(CFont& font, int height);

// While it lives: the skin font of that height selected, text drawn on a
// transparent background.
class CSkinTextScope {
public:
    CSkinTextScope(HDC hDC, int height);
    ~CSkinTextScope();
private:
    HDC m_hDC;
    CFont m_font;
    HGDIOBJ m_hOld;
    int m_nOldMode;
};

// A part image: the old one is deleted and the rectangle of src cut 1:1 into
// a bitmap compatible with the screen; a NULL source leaves the part empty.
void CutPart(CBitmap& part, HBITMAP hSrc, const RECT& rect);

// The tool tip of a shaped element: one tool (id 1) over the client area.
// The control is a window of its own at the top level, which the platform
// makes slowly (a skin has dozens of elements): it is made when the pointer
// first reaches the element, or when someone asks for it, with the text and
// the activation set so far.
class CSkinTip {
public:
    CSkinTip() : m_pTip(NULL), m_bActive(FALSE) {}
    ~CSkinTip();
    // Nothing for an empty text.
    void Set(CWnd* pOwner, LPCTSTR lpszText, BOOL bActivate);
    // Every message bound for the owner goes by the tip first.
    void Relay(CWnd* pOwner, UINT message, WPARAM wParam, LPARAM lParam);
    // The control, made now when a text waits for it; NULL without a text.
    CToolTipCtrl* GetCtrl(CWnd* pOwner);
private:
    BOOL Ensure(CWnd* pOwner);
    void Apply(CWnd* pOwner);
    CToolTipCtrl* m_pTip;
    CString m_strText;
    BOOL m_bActive;
};
