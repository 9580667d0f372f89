// CChannelListCtrl: the tuning page's channel list, a CEditListCtrl whose two
// scroll bars are the skinned non-client bars (SkinSB), driven in whole rows
// vertically and in 10-pixel units horizontally. The settings window sets its
// row count through the control registry.
#pragma once
#include "EditListCtrl.h"

class CChannelListCtrl : public CEditListCtrl {
public:
    enum { H_UNIT = 10, H_EXTENT = 50, DEFAULT_ROWS = 160, V_MIN_THUMB = 65, H_MIN_THUMB = 80 };
    CChannelListCtrl();

    // Both bars from the client size, the row count and the positions.
    void UpdateScrollBars();
    // A negative count is refused.
    BOOL SetRowCount(int nRows);
    int GetRowCount() const { return m_nRowCount; }
    // The vertical step: the rows' own height.
    int GetVerticalUnit() const;
    int GetVerticalPos() const { return m_nVPos; }
    int GetVerticalMax() const { return m_nVMax; }
    int GetVisibleRows() const { return m_nVVisible; }
    int GetHorizontalPos() const { return m_nHPos; }

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnScroll(int nBar, UINT nCode, int nTrack);
    void FollowListPosition();

    int m_nHUnit, m_nVUnit;
    int m_nHExtent, m_nRowCount;
    int m_nHPos, m_nHVisible, m_nHMax;
    int m_nVPos, m_nVVisible, m_nVMax;
    int m_cx, m_cy;
    BOOL m_bUpdating;
};
