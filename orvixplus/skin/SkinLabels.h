// Text labels drawn on skin images: CShapeTimer (the main skin's labels, with
// a wall clock and an elapsed-time counter), CEllipsisLabel (framed, shortened
// with "...") and CSkinLabel (framed, centred text), and the text shortening
// they use. Texts are GBK: they are only ever cut between characters.
#pragma once
#include "SkinDraw.h"
#include "Static.h"

// text + suffix when it fits in width (with margin), else text cut at its end
// (one character at least stays) + "..." + suffix.
CString FitText(HDC hDC, const CString& text, const CString& suffix, int width, int margin);
// text when it fits, else text cut at its end + "...".
CString FitTextEllipsis(HDC hDC, const CString& text, int width, int margin);
// The elapsed counter as shown: hours (as many digits as they take), minutes,
// seconds, each of the last two in two digits.
CString FormatElapsed(DWORD seconds);

class CShapeTimer : public CStatic {
public:
    enum { CLOCK_TIMER = 100, ELAPSED_TIMER = 101 };
    CShapeTimer();
    virtual ~CShapeTimer();

    void SetBitmaps(HBITMAP hBackground, const RECT& rBackground, HBITMAP hSecond, const RECT& rSecond);
    void SetText(LPCTSTR lpszText, LPCTSTR lpszSuffix);
    const CString& GetText() const { return m_strText; }
    void StartClock();
    void StopClock();
    void StartElapsed();
    void StopElapsed();
    BOOL IsClockRunning() const { return m_bClock; }
    BOOL IsElapsedRunning() const { return m_bElapsed; }
    DWORD GetElapsed() const { return m_dwElapsed; }
    CString GetName() const { return m_strName; }
    void SetName(LPCTSTR lpszName) { m_strName = lpszName; }
    UINT GetId() const { return m_nId; }
    void SetId(UINT nId) { m_nId = nId; }
    void SetHideText(BOOL bHide) { m_bHideText = bHide; }

protected:
    virtual void OnPaint();
    virtual BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    virtual void OnTimer(UINT_PTR nIDEvent);
    virtual void OnDestroy();

    BOOL m_bHideText;
    CBitmap m_bmpBack, m_bmpSecond;
    CString m_strName;
    UINT m_nId;
    CString m_strText;
    BOOL m_bClock, m_bElapsed;
    DWORD m_dwElapsed;
};

// A label with a frame cut from its image: source rectangle and border
// widths set by the creator; takes its window text as its text.
class CFramedLabel : public CStatic {
public:
    CFramedLabel() : m_rcSource(0, 0, -1, -1), m_rcBorders(0, 0, -1, -1) {}
    void SetRectA(const RECT* pSource) { if (pSource) m_rcSource = *pSource; }
    void SetRectB(const RECT* pBorders) { if (pBorders) m_rcBorders = *pBorders; }
    void SetText(LPCTSTR lpszText);
    const CString& GetText() const { return m_strText; }
protected:
    virtual void PreSubclassWindow();
    virtual int OnCreate(LPCREATESTRUCT lpCreateStruct);
    virtual BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    // The client rectangle less the frame's borders.
    CRect Inside(const CRect& rc) const;
    CRect m_rcSource, m_rcBorders;
    CString m_strText;
};

class CEllipsisLabel : public CFramedLabel {
public:
    void SetBitmaps(HBITMAP hFill, const RECT& rFill, HBITMAP hFrame, const RECT& rFrame);
protected:
    virtual void OnPaint();
    CBitmap m_bmpFill, m_bmpFrame;
};

class CSkinLabel : public CFramedLabel {
public:
    void SetBitmap(HBITMAP hSource, const RECT& rect);
protected:
    virtual void OnPaint();
    CBitmap m_bmp;
};
