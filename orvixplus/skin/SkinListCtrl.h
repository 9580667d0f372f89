// CSkinListCtrl: the plain report list of the recording page and the schedule
// window, with a skinned header and bitmap scroll bars beside it in place of
// its own. The owner loads the images of all three.
#pragma once
#include "ListCtrl.h"
#include "SkinGroup.h"
#include "SkinListBars.h"

class CSkinListCtrl : public CListCtrl {
public:
    enum { BAR_SIZE = 16 };
    CSkinListCtrl() : m_crText(0xffffff), m_nSecond(0), m_nVBarWidth(BAR_SIZE), m_nHBarHeight(BAR_SIZE) {}
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
        { return CListCtrl::Create(dwStyle, rect, pParentWnd, nID); }
    // Once, after creation: the bars beside the list, the header skinned.
    BOOL InitSkin();
    CSkinHeaderCtrl& Header() { return m_header; }
    CSkinHScrollBar& HorizontalBar() { return m_hBar; }
    CSkinScrollBar& VerticalBar() { return m_vBar; }
    COLORREF m_crText;
    int m_nSecond;
protected:
    virtual void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    // The bars' thickness, for lists whose bar images are not BAR_SIZE.
    int m_nVBarWidth, m_nHBarHeight;
    CSkinHeaderCtrl m_header;
    CSkinHScrollBar m_hBar;
    CSkinScrollBar m_vBar;
};
