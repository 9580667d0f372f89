// CEditListCtrl: the owner-drawn report list in which the tuning page shows
// and edits the channels of the current band list. One row per channel record
// of the channel store (the list keeps pointers, never frees them), five
// columns: mark (the skip flag, toggled by a click), tick, number, name and
// frequency; names and frequencies are edited in place with a CCellEdit.
// Rows move up and down while the numbers stay in place.
#pragma once
#include "CellEdit.h"
#include "ListCtrl.h"
#include "SkinGroup.h"

struct ChannelRecord;

// lParam of WM_EDITLIST_BEGINEDIT.
struct EditListCell {
    int nRow;
    int nColumn;
    int nReserved;
};

class CEditListCtrl : public CListCtrl {
public:
    enum { COL_MARK, COL_TICK, COL_NUMBER, COL_NAME, COL_FREQUENCY, COLUMN_COUNT };
    enum { EDITOR_ID_OFFSET = 300, MIN_TEXT_HEIGHT = 15, ROW_PADDING = 4 };

    CEditListCtrl();
    virtual ~CEditListCtrl();

    // Report, single selection and owner-drawn rows are added to the style.
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    // The header window drawn by the header object.
    BOOL InitSkin();
    CSkinHeaderCtrl& Header() { return m_header; }

    // Cell frame, cell background, (unused), tick, (unused), mark: each cut
    // from its source at its rectangle.
    void SetBitmaps(HBITMAP hSrc[6], const RECT rcSrc[6]);
    // Source rectangle of the cell frame in the frame image, and its borders.
    void SetRectA(const RECT& rc) { m_rectA = rc; }
    void SetRectB(const RECT& rc) { m_rectB = rc; }
    // Marks and ticks from the mark and tick parts instead of lines (the
    // channel list keeps the lines); a part that was not cut is drawn as lines.
    void SetImageMarks(BOOL bImages) { m_bImageMarks = bImages; }

    int AddChannelRow(int nRow, ChannelRecord* pRec);
    ChannelRecord* GetRecord(int nRow) const;
    BOOL SetFrequencyText(int nRow, float fFrequency);
    int FindRowByChannel(const ChannelRecord* pRec) const;
    BOOL IsMarked(int nRow) const;
    BOOL SetMark(int nRow, BOOL bState);
    BOOL SetCellText(int nRow, int nColumn, LPCTSTR lpszText);
    int OnEndEdit();
    BOOL MoveUp(int nRow, int n);
    BOOL MoveDown(int nRow, int n);

    CCellEdit* GetEditor() const { return m_pEditor; }
    BOOL IsEditing() const { return m_bEditing; }
    int GetEditRow() const { return m_nEditRow; }
    int GetEditColumn() const { return m_nEditColumn; }
    int GetCurrentRow() const { return m_nCurRow; }
    int GetCurrentColumn() const { return m_nCurColumn; }
    // Row height asked for when the list was created.
    int GetMeasuredRowHeight() const { return m_nMeasuredHeight; }

    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL PreTranslateMessage(MSG* pMsg);

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual int OnCreate(LPCREATESTRUCT lpCreateStruct);
    virtual void OnDestroy();
    virtual BOOL OnEraseBkgnd(CDC* pDC);

    LRESULT OnBeginEdit(const EditListCell* pCell);
    LRESULT OnEndEditMessage();
    LRESULT OnCommit(HWND hEditor);
    LRESULT OnMoveMessage(UINT message);
    void OnButtonDown(BOOL bLeft, CPoint point);
    void OnDoubleClick(CPoint point);
    // Ends an edit without writing it (its row went away).
    void DropEdit();
    BOOL SwapRows(int a, int b);
    // Column index at a display position, and the reverse (-1 when none).
    int ColumnAtPosition(int nPosition) const;
    int PositionOfColumn(int nColumn) const;
    int ColumnCount() const;
    void ScrollColumnIntoView(int nColumn);
    void DrawRow(int nRow);
    void DrawCell(HDC dc, const CRect& rc, int nColumn, const ChannelRecord* pRec, BOOL bSelected, BOOL bCurrent,
                  const CString& text);
    int FindRowOfRecord(const ChannelRecord* pRec) const;
    HFONT ListFont() const;

    CSkinHeaderCtrl m_header;
    CBitmap m_part[6];
    CRect m_rectA, m_rectB;
    int m_nCurRow, m_nCurColumn;
    CCellEdit* m_pEditor;
    BOOL m_bEditing;
    int m_nEditRow, m_nEditColumn;
    // The record the open edit writes into; only while some row still shows it.
    ChannelRecord* m_pEditRecord;
    int m_nMeasuredHeight;
    BOOL m_bImageMarks = FALSE;
};
