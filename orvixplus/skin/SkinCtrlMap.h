// CSkinCtrlMap: the settings window files every skinned control of its pages
// under its control id, one table per kind, so that code knowing only an id
// drives the control. The registry never owns the controls; it must go no
// later than their windows.
#pragma once
#include "AfxMap.h"

class CSkinComboBox;
class CSkinLabel;
class CSkinCheckButton;
class CImageToggle;
class CSkinTrackBar;
class CEllipsisLabel;
class CSkinSlider;
class CChannelListCtrl;

class CSkinCtrlMap {
public:
    CSkinCtrlMap() : m_hOwner(NULL) {}
    virtual ~CSkinCtrlMap() {}

    void SetOwner(HWND hWnd);
    HWND GetOwner() const { return m_hOwner; }

    // 0 for a NULL control; an id already filed gets the new control.
    int AddCombo(UINT nID, CSkinComboBox* p) { return Add(m_combos, nID, p); }
    int AddLabel(UINT nID, CSkinLabel* p) { return Add(m_labels, nID, p); }
    int AddCheck(UINT nID, CSkinCheckButton* p) { return Add(m_checks, nID, p); }
    int AddToggle(UINT nID, CImageToggle* p) { return Add(m_toggles, nID, p); }
    int AddTrackBar(UINT nID, CSkinTrackBar* p) { return Add(m_trackBars, nID, p); }
    int AddEllipsisLabel(UINT nID, CEllipsisLabel* p) { return Add(m_ellipsisLabels, nID, p); }
    int AddSlider(UINT nID, CSkinSlider* p) { return Add(m_sliders, nID, p); }
    int AddChannelList(UINT nID, CChannelListCtrl* p) { return Add(m_channelLists, nID, p); }

    // Every operation below does nothing and answers 0 for an id not filed
    // under its kind (FindComboString: -1).
    int AddComboString(UINT nID, LPCTSTR lpszText);
    int SetComboSel(UINT nID, int nIndex);
    int FindComboString(UINT nID, LPCTSTR lpszText);
    int GetComboItemText(UINT nID, int nIndex, CString& rText);
    int SetLabelText(UINT nID, LPCTSTR lpszText);
    int SetLabelNumber(UINT nID, int nValue);
    int SetCheck(UINT nID, BOOL bChecked);
    int SetToggleState(UINT nID, int nState);
    int SetTrackBarPos(UINT nID, int nPos);
    int GetTrackBarRange(UINT nID, int& nMin, int& nMax);
    int GetTrackBarSavedPos(UINT nID, int& nPos);
    int SetTrackBarSavedPos(UINT nID, int nPos);
    int SetEllipsisLabelText(UINT nID, LPCTSTR lpszText);
    int SetSliderPos(UINT nID, int nPos);
    CChannelListCtrl* GetChannelList(UINT nID) { return Find(m_channelLists, nID); }
    // 0 for a negative count; defined with the channel list (orvixchannellist).
    int SetChannelListRowCount(UINT nID, int nCount);

    // Controls filed per kind (0 combos ... 8 sliders; 5 is never used).
    int GetCount(int nKind) const;

private:
    template <class T>
    using Table = CMap<UINT, UINT, T*, T*>;
    template <class T>
    static int Add(Table<T>& table, UINT nID, T* p)
    {
        if (!p)
            return 0;
        table.SetAt(nID, p);
        return 1;
    }
    template <class T>
    static T* Find(const Table<T>& table, UINT nID)
    {
        T* p = NULL;
        return table.Lookup(nID, p) ? p : NULL;
    }
    // act(control) for a filed id: 1, else 0.
    template <class T, class F>
    static int With(const Table<T>& table, UINT nID, F act)
    {
        T* p = Find(table, nID);
        if (!p)
            return 0;
        act(*p);
        return 1;
    }

    HWND m_hOwner;
    Table<CSkinComboBox> m_combos;
    Table<CSkinLabel> m_labels;
    Table<CSkinCheckButton> m_checks;
    Table<CImageToggle> m_toggles;
    Table<CSkinTrackBar> m_trackBars;
    Table<CEllipsisLabel> m_ellipsisLabels;
    Table<CSkinSlider> m_sliders;
    Table<CChannelListCtrl> m_channelLists;
};

// The one registry of the process: set by the settings window while it lives.
extern CSkinCtrlMap* g_pSkinCtrlMap;
