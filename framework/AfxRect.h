// CPoint, CSize and CRect: the Win32 POINT, SIZE and RECT with arithmetic.
// They derive from the Win32 structures, so a CRect* is an LPRECT for every
// API, and TopLeft()/BottomRight() are the rectangle's own two corners.
#pragma once
#include <windows.h>

class CSize;
class CRect;

class CPoint : public POINT {
public:
    CPoint() { x = 0; y = 0; }
    CPoint(int initX, int initY) { x = initX; y = initY; }
    CPoint(POINT pt) { x = pt.x; y = pt.y; }
    CPoint(SIZE size) { x = size.cx; y = size.cy; }
    // Packed as in a mouse message's lParam: signed 16-bit x, then y.
    explicit CPoint(DWORD dwPoint) { x = (short)LOWORD(dwPoint); y = (short)HIWORD(dwPoint); }

    void Offset(int dx, int dy) { x += dx; y += dy; }
    void Offset(POINT pt) { Offset(pt.x, pt.y); }
    void Offset(SIZE size) { Offset(size.cx, size.cy); }

    bool operator==(POINT pt) const { return x == pt.x && y == pt.y; }
    bool operator!=(POINT pt) const { return !(*this == pt); }
    CPoint& operator+=(SIZE size) { Offset(size); return *this; }
    CPoint& operator-=(SIZE size) { Offset(-size.cx, -size.cy); return *this; }
    CPoint& operator+=(POINT pt) { Offset(pt); return *this; }
    CPoint& operator-=(POINT pt) { Offset(-pt.x, -pt.y); return *this; }

    CPoint operator+(SIZE size) const { return CPoint(x + size.cx, y + size.cy); }
    CPoint operator-(SIZE size) const { return CPoint(x - size.cx, y - size.cy); }
    CPoint operator+(POINT pt) const { return CPoint(x + pt.x, y + pt.y); }
    CSize operator-(POINT pt) const;
    CPoint operator-() const { return CPoint(-x, -y); }
    CRect operator+(const RECT* pRect) const;
    CRect operator-(const RECT* pRect) const;
};

class CSize : public SIZE {
public:
    CSize() { cx = 0; cy = 0; }
    CSize(int initCX, int initCY) { cx = initCX; cy = initCY; }
    CSize(SIZE size) { cx = size.cx; cy = size.cy; }
    CSize(POINT pt) { cx = pt.x; cy = pt.y; }
    explicit CSize(DWORD dwSize) { cx = (short)LOWORD(dwSize); cy = (short)HIWORD(dwSize); }

    bool operator==(SIZE size) const { return cx == size.cx && cy == size.cy; }
    bool operator!=(SIZE size) const { return !(*this == size); }
    CSize& operator+=(SIZE size) { cx += size.cx; cy += size.cy; return *this; }
    CSize& operator-=(SIZE size) { cx -= size.cx; cy -= size.cy; return *this; }

    CSize operator+(SIZE size) const { return CSize(cx + size.cx, cy + size.cy); }
    CSize operator-(SIZE size) const { return CSize(cx - size.cx, cy - size.cy); }
    CSize operator-() const { return CSize(-cx, -cy); }
    CPoint operator+(POINT pt) const { return CPoint(cx + pt.x, cy + pt.y); }
    CPoint operator-(POINT pt) const { return CPoint(cx - pt.x, cy - pt.y); }
};

inline CSize CPoint::operator-(POINT pt) const { return CSize(x - pt.x, y - pt.y); }

class CRect : public RECT {
public:
    CRect() { ::SetRectEmpty(this); }
    CRect(int l, int t, int r, int b) { ::SetRect(this, l, t, r, b); }
    CRect(const RECT& rc) { ::CopyRect(this, &rc); }
    CRect(LPCRECT prc) { ::CopyRect(this, prc); }
    CRect(POINT pt, SIZE size) { ::SetRect(this, pt.x, pt.y, pt.x + size.cx, pt.y + size.cy); }
    CRect(POINT topLeft, POINT bottomRight)
    { ::SetRect(this, topLeft.x, topLeft.y, bottomRight.x, bottomRight.y); }

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint& TopLeft() { return *reinterpret_cast<CPoint*>(&left); }
    CPoint& BottomRight() { return *reinterpret_cast<CPoint*>(&right); }
    const CPoint& TopLeft() const { return *reinterpret_cast<const CPoint*>(&left); }
    const CPoint& BottomRight() const { return *reinterpret_cast<const CPoint*>(&right); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }

    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }

    BOOL IsRectEmpty() const { return ::IsRectEmpty(this); }
    BOOL IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    BOOL PtInRect(POINT pt) const { return ::PtInRect(this, pt); }
    BOOL EqualRect(LPCRECT prc) const { return ::EqualRect(this, prc); }

    void SetRect(int l, int t, int r, int b) { ::SetRect(this, l, t, r, b); }
    void SetRectEmpty() { ::SetRectEmpty(this); }
    void CopyRect(LPCRECT prc) { ::CopyRect(this, prc); }

    void OffsetRect(int dx, int dy) { ::OffsetRect(this, dx, dy); }
    void OffsetRect(POINT pt) { ::OffsetRect(this, pt.x, pt.y); }
    void OffsetRect(SIZE size) { ::OffsetRect(this, size.cx, size.cy); }
    void InflateRect(int dx, int dy) { ::InflateRect(this, dx, dy); }
    void InflateRect(SIZE size) { ::InflateRect(this, size.cx, size.cy); }
    void InflateRect(LPCRECT prc)
    { left -= prc->left; top -= prc->top; right += prc->right; bottom += prc->bottom; }
    void InflateRect(int l, int t, int r, int b) { left -= l; top -= t; right += r; bottom += b; }
    void DeflateRect(int dx, int dy) { ::InflateRect(this, -dx, -dy); }
    void DeflateRect(SIZE size) { ::InflateRect(this, -size.cx, -size.cy); }
    void DeflateRect(LPCRECT prc)
    { left += prc->left; top += prc->top; right -= prc->right; bottom -= prc->bottom; }
    void DeflateRect(int l, int t, int r, int b) { left += l; top += t; right -= r; bottom -= b; }
    void NormalizeRect();

    BOOL IntersectRect(LPCRECT a, LPCRECT b) { return ::IntersectRect(this, a, b); }
    BOOL UnionRect(LPCRECT a, LPCRECT b) { return ::UnionRect(this, a, b); }
    BOOL SubtractRect(LPCRECT a, LPCRECT b) { return ::SubtractRect(this, a, b); }

    CRect& operator=(const RECT& rc) { ::CopyRect(this, &rc); return *this; }
    bool operator==(const RECT& rc) const { return ::EqualRect(this, &rc) != FALSE; }
    bool operator!=(const RECT& rc) const { return !(*this == rc); }
    CRect& operator+=(POINT pt) { OffsetRect(pt); return *this; }
    CRect& operator+=(SIZE size) { OffsetRect(size); return *this; }
    CRect& operator+=(LPCRECT prc) { InflateRect(prc); return *this; }
    CRect& operator-=(POINT pt) { OffsetRect(-pt.x, -pt.y); return *this; }
    CRect& operator-=(SIZE size) { OffsetRect(-size.cx, -size.cy); return *this; }
    CRect& operator-=(LPCRECT prc) { DeflateRect(prc); return *this; }
    CRect& operator&=(const RECT& rc) { ::IntersectRect(this, this, &rc); return *this; }
    CRect& operator|=(const RECT& rc) { ::UnionRect(this, this, &rc); return *this; }

    CRect operator+(POINT pt) const { CRect r(*this); r += pt; return r; }
    CRect operator+(SIZE size) const { CRect r(*this); r += size; return r; }
    CRect operator+(LPCRECT prc) const { CRect r(*this); r += prc; return r; }
    CRect operator-(POINT pt) const { CRect r(*this); r -= pt; return r; }
    CRect operator-(SIZE size) const { CRect r(*this); r -= size; return r; }
    CRect operator-(LPCRECT prc) const { CRect r(*this); r -= prc; return r; }
    CRect operator&(const RECT& rc) const { CRect r; ::IntersectRect(&r, this, &rc); return r; }
    CRect operator|(const RECT& rc) const { CRect r; ::UnionRect(&r, this, &rc); return r; }
};

inline CRect CPoint::operator+(const RECT* pRect) const { CRect r(pRect); r += *this; return r; }
inline CRect CPoint::operator-(const RECT* pRect) const { CRect r(pRect); r -= *this; return r; }

inline void CRect::NormalizeRect()
{
    if (left > right) { LONG t = left; left = right; right = t; }
    if (top > bottom) { LONG t = top; top = bottom; bottom = t; }
}
