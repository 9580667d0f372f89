#include "SkinCtrlMap.h"
#include "SkinButtons.h"
#include "SkinComboBox.h"
#include "SkinLabels.h"
#include "SkinSlider.h"

CSkinCtrlMap* g_pSkinCtrlMap = NULL;

void CSkinCtrlMap::SetOwner(HWND hWnd)
{
    if (::IsWindow(hWnd))
        m_hOwner = hWnd;
}

int CSkinCtrlMap::AddComboString(UINT nID, LPCTSTR lpszText)
{
    return With(m_combos, nID, [&](CSkinComboBox& c) { c.AddString(lpszText); });
}

int CSkinCtrlMap::SetComboSel(UINT nID, int nIndex)
{
    if (nIndex < 0)
        return 0;
    return With(m_combos, nID, [&](CSkinComboBox& c) { c.SetCurSel(nIndex); });
}

int CSkinCtrlMap::FindComboString(UINT nID, LPCTSTR lpszText)
{
    CSkinComboBox* p = Find(m_combos, nID);
    return p ? p->FindString(lpszText) : -1;
}

int CSkinCtrlMap::GetComboItemText(UINT nID, int nIndex, CString& rText)
{
    return With(m_combos, nID, [&](CSkinComboBox& c) { c.GetItemText(nIndex, rText); });
}

int CSkinCtrlMap::SetLabelText(UINT nID, LPCTSTR lpszText)
{
    return With(m_labels, nID, [&](CSkinLabel& l) { l.SetText(lpszText); });
}

int CSkinCtrlMap::SetLabelNumber(UINT nID, int nValue)
{
    CString text;
    text.Format("%d", nValue);
    return SetLabelText(nID, text);
}

int CSkinCtrlMap::SetCheck(UINT nID, BOOL bChecked)
{
    return With(m_checks, nID, [&](CSkinCheckButton& b) { b.SetCheck(bChecked, TRUE); });
}

int CSkinCtrlMap::SetToggleState(UINT nID, int nState)
{
    return With(m_toggles, nID, [&](CImageToggle& t) { t.SetState(nState); });
}

int CSkinCtrlMap::SetTrackBarPos(UINT nID, int nPos)
{
    return With(m_trackBars, nID, [&](CSkinTrackBar& t) { t.SetPos(nPos); });
}

int CSkinCtrlMap::GetTrackBarRange(UINT nID, int& nMin, int& nMax)
{
    return With(m_trackBars, nID, [&](CSkinTrackBar& t) { t.GetRange(nMin, nMax); });
}

int CSkinCtrlMap::GetTrackBarSavedPos(UINT nID, int& nPos)
{
    return With(m_trackBars, nID, [&](CSkinTrackBar& t) { nPos = t.GetSavedPos(); });
}

int CSkinCtrlMap::SetTrackBarSavedPos(UINT nID, int nPos)
{
    return With(m_trackBars, nID, [&](CSkinTrackBar& t) { t.SetSavedPos(nPos); });
}

int CSkinCtrlMap::SetEllipsisLabelText(UINT nID, LPCTSTR lpszText)
{
    return With(m_ellipsisLabels, nID, [&](CEllipsisLabel& l) { l.SetText(lpszText); });
}

int CSkinCtrlMap::SetSliderPos(UINT nID, int nPos)
{
    return With(m_sliders, nID, [&](CSkinSlider& s) { s.SetPos(nPos); });
}

int CSkinCtrlMap::GetCount(int nKind) const
{
    switch (nKind) {
    case 0: return m_combos.GetCount();
    case 1: return m_labels.GetCount();
    case 2: return m_checks.GetCount();
    case 3: return m_toggles.GetCount();
    case 4: return m_trackBars.GetCount();
    case 6: return m_channelLists.GetCount();
    case 7: return m_ellipsisLabels.GetCount();
    case 8: return m_sliders.GetCount();
    }
    return 0;
}
