// CSliderCtrl: the track bar control.
#pragma once
#include "Wnd.h"
#include <commctrl.h>

class CSliderCtrl : public CWnd {
    DECLARE_DYNAMIC(CSliderCtrl)
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
        { return CWnd::Create(TRACKBAR_CLASS, NULL, dwStyle, rect, pParentWnd, nID); }
    int GetRangeMin() const { return (int)SendMessage(TBM_GETRANGEMIN); }
    int GetRangeMax() const { return (int)SendMessage(TBM_GETRANGEMAX); }
    void GetRange(int& nMin, int& nMax) const { nMin = GetRangeMin(); nMax = GetRangeMax(); }
    void SetRangeMin(int nMin, BOOL bRedraw = FALSE) { SendMessage(TBM_SETRANGEMIN, bRedraw, nMin); }
    void SetRangeMax(int nMax, BOOL bRedraw = FALSE) { SendMessage(TBM_SETRANGEMAX, bRedraw, nMax); }
    void SetRange(int nMin, int nMax, BOOL bRedraw = FALSE) { SetRangeMin(nMin, FALSE); SetRangeMax(nMax, bRedraw); }
    int GetPos() const { return (int)SendMessage(TBM_GETPOS); }
    void SetPos(int nPos) { SendMessage(TBM_SETPOS, TRUE, nPos); }
    int GetPageSize() const { return (int)SendMessage(TBM_GETPAGESIZE); }
    int SetPageSize(int nSize) { return (int)SendMessage(TBM_SETPAGESIZE, 0, nSize); }
    int GetLineSize() const { return (int)SendMessage(TBM_GETLINESIZE); }
    int SetLineSize(int nSize) { return (int)SendMessage(TBM_SETLINESIZE, 0, nSize); }
    void SetTicFreq(int nFreq) { SendMessage(TBM_SETTICFREQ, nFreq); }
    BOOL SetTic(int nTic) { return (BOOL)SendMessage(TBM_SETTIC, 0, nTic); }
    void ClearTics(BOOL bRedraw = FALSE) { SendMessage(TBM_CLEARTICS, bRedraw); }
    void GetThumbRect(LPRECT lprc) const { SendMessage(TBM_GETTHUMBRECT, 0, (LPARAM)lprc); }
    void GetChannelRect(LPRECT lprc) const { SendMessage(TBM_GETCHANNELRECT, 0, (LPARAM)lprc); }
};
