// CSkinGroup: the framed group box of the settings pages, which passes the
// notices of the controls inside it on to the page. CSkinHeaderCtrl: the
// column header of the skinned lists, drawn from three pieces.
#pragma once
#include "SkinDraw.h"
#include "HeaderCtrl.h"
#include "SkinMessages.h"

class CSkinGroup : public CSkinButtonBase {
public:
    CSkinGroup();
    // Only when both sources hold bitmaps.
    void SetBitmaps(HBITMAP hFrame, const RECT& rFrame, HBITMAP hCaption, const RECT& rCaption);
    void SetRectA(const RECT& r) { m_rcA = r; }
    void SetRectB(const RECT& r) { m_rcB = r; }
    void SetRectC(const RECT& r) { m_rcC = r; }
    void SetRectD(const RECT& r) { m_rcD = r; }
    // Where the caption goes for a text w x h wide in a client rectangle.
    static CRect CaptionRect(const CRect& client, int w, int h);
protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnPaint();
    CBitmap m_bmpFrame, m_bmpCaption;
    CRect m_rcA, m_rcB, m_rcC, m_rcD;
};

class CSkinHeaderCtrl : public CHeaderCtrl {
public:
    // Resource ids of the left piece, the middle tile and the right piece; 0
    // at the first that fails.
    int LoadBitmaps(UINT nLeft, UINT nMiddle, UINT nRight);
    // The same from bitmaps the header takes over.
    void SetBitmaps(HBITMAP hLeft, HBITMAP hMiddle, HBITMAP hRight);
protected:
    virtual void OnPaint();
    virtual BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    CBitmap m_bmpLeft, m_bmpMiddle, m_bmpRight;
};
