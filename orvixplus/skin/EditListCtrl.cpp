#include "EditListCtrl.h"
#include <stdlib.h>
#include "AppSettings.h"
#include "AppState.h"
#include "ChannelStore.h"
#include "FixedText.h"
#include "Globals.h"
#include "ProgramBitmaps.h"
#include "ScheduleList.h"
#include "SkinCtrlMap.h"
#include "SkinDraw.h"
#include "SkinMessages.h"
#include "TuningHost.h"

#define WM_EDITLIST_IGNORED (WM_USER + 2005)

namespace {

const COLORREF kBorder = 0xc0d3dc;
const COLORREF kGradientTop = 0xffffff;
const COLORREF kGradientBottom = 0x92cbe0;
const COLORREF kSelectedInk = 0xff0000;
const COLORREF kCurrentInk = 0x0000ff;
// The image marks' see-through colour: the editor's own background.
const COLORREF kImageTransparent = 0xced7d6;

// The tuner's band list the page shows (antenna 1, cable 2), else 0.
int TunerList()
{
    if (!g_pSettings)
        return 0;
    int source = g_pSettings->m_nInputSource;
    return source == CHANNEL_LIST_AIR || source == CHANNEL_LIST_CABLE ? source : 0;
}

void FrameRect1(HDC dc, const CRect& rc, COLORREF c)
{
    HBRUSH b = ::CreateSolidBrush(c);
    ::FrameRect(dc, &rc, b);
    ::DeleteObject(b);
}

void Line(HDC dc, int x0, int y0, int x1, int y1)
{
    ::MoveToEx(dc, x0, y0, NULL);
    ::LineTo(dc, x1, y1);
}

CRect CentredBox(const CRect& cell, int w, int h)
{
    int dx = (cell.Width() - w) / 2, dy = (cell.Height() - h) / 2;
    int l = cell.left + (dx > 0 ? dx : 0), t = cell.top + (dy > 0 ? dy : 0);
    return CRect(l, t, l + w, t + h);
}

void DrawMark(HDC dc, const CRect& cell, COLORREF ink)
{
    CRect r = CentredBox(cell, 6, 6);
    HPEN pen = ::CreatePen(PS_SOLID, 1, ink);
    HGDIOBJ old = ::SelectObject(dc, pen);
    int cx = r.left + r.Width() / 2, cy = r.top + r.Height() / 2;
    Line(dc, r.left + 1, r.top + 1, r.right, r.bottom);
    Line(dc, cx, r.top, cx, r.bottom);
    Line(dc, r.right - 1, r.top + 1, r.left + 1, r.bottom - 1);
    Line(dc, r.left, cy, r.right, cy);
    ::SelectObject(dc, old);
    ::DeleteObject(pen);
}

void DrawTick(HDC dc, const CRect& cell, COLORREF ink, int width)
{
    CRect r = CentredBox(cell, 10, 10);
    HPEN pen = ::CreatePen(PS_SOLID, width, ink);
    HGDIOBJ old = ::SelectObject(dc, pen);
    POINT pts[3] = { { r.left, r.top + r.Height() / 2 + 2 },
                     { r.left + r.Width() / 3 + 2, r.bottom },
                     { r.right, r.top + 2 } };
    ::Polyline(dc, pts, 3);
    ::SelectObject(dc, old);
    ::DeleteObject(pen);
}

}  // namespace

CEditListCtrl::CEditListCtrl()
    : m_rectA(0, 0, -1, -1), m_rectB(0, 0, -1, -1), m_nCurRow(-1), m_nCurColumn(-1), m_pEditor(NULL),
      m_bEditing(FALSE), m_nEditRow(-1), m_nEditColumn(-1), m_pEditRecord(NULL), m_nMeasuredHeight(0)
{
}

CEditListCtrl::~CEditListCtrl()
{
    delete m_pEditor;
}

BOOL CEditListCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CListCtrl::Create(dwStyle | LVS_REPORT | LVS_SINGLESEL | LVS_OWNERDRAWFIXED, rect, pParentWnd, nID);
}

BOOL CEditListCtrl::InitSkin()
{
    HWND header = m_hWnd ? (HWND)SendMessage(LVM_GETHEADER) : NULL;
    if (!header)
        return FALSE;
    return m_header.m_hWnd ? TRUE : m_header.SubclassWindow(header);
}

void CEditListCtrl::SetBitmaps(HBITMAP hSrc[6], const RECT rcSrc[6])
{
    for (int i = 0; i < 6; ++i)
        CutPart(m_part[i], hSrc[i], rcSrc[i]);
}

int CEditListCtrl::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CListCtrl::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (m_pEditor)
        return 0;
    m_pEditor = new CCellEdit;
    HBITMAP frame = SharedResourceBitmap(IDB_CELL_FRAME);
    HBITMAP back = SharedResourceBitmap(IDB_CELL_BACK);
    m_pEditor->SetBitmaps(frame, CRect(0, 0, 54, 54), NULL, CRect(), back, CRect(3, 3, 51, 16));
    for (int look = 0; look < 2; ++look) {
        m_pEditor->SetFrameRect(look, CRect(0, 0, 54, 54));
        m_pEditor->SetBorderRect(look, CRect(3, 3, 3, 3));
    }
    if (m_pEditor->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, CRect(0, 0, 0, 0), this,
                          ::GetDlgCtrlID(m_hWnd) + EDITOR_ID_OFFSET)) {
        m_pEditor->SetLimitText(CCellEdit::TEXT_LIMIT);
        m_pEditor->ShowWindow(SW_HIDE);
    }
    return 0;
}

void CEditListCtrl::OnDestroy()
{
    if (m_pEditor) {
        m_pEditor->DestroyWindow();
        delete m_pEditor;
        m_pEditor = NULL;
    }
    m_bEditing = FALSE;
    m_pEditRecord = NULL;
    CListCtrl::OnDestroy();
}

BOOL CEditListCtrl::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    ::FillRect(pDC->m_hDC, &rc, (HBRUSH)::GetStockObject(WHITE_BRUSH));
    return TRUE;
}

HFONT CEditListCtrl::ListFont() const
{
    HFONT f = (HFONT)SendMessage(WM_GETFONT);
    return f ? f : (HFONT)::GetStockObject(DEFAULT_GUI_FONT);
}

void CEditListCtrl::MeasureItem(LPMEASUREITEMSTRUCT mis)
{
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, ListFont());
    TEXTMETRIC tm = {};
    ::GetTextMetrics(dc, &tm);
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
    int h = tm.tmHeight + tm.tmExternalLeading;
    mis->itemHeight = (h > MIN_TEXT_HEIGHT ? h : MIN_TEXT_HEIGHT) + ROW_PADDING;
}

// --- rows and records ------------------------------------------------------

ChannelRecord* CEditListCtrl::GetRecord(int nRow) const
{
    if (nRow < 0 || nRow >= GetItemCount())
        return NULL;
    return (ChannelRecord*)GetItemData(nRow);
}

int CEditListCtrl::FindRowOfRecord(const ChannelRecord* pRec) const
{
    if (!pRec)
        return -1;
    for (int i = 0, n = GetItemCount(); i < n; ++i)
        if ((const ChannelRecord*)GetItemData(i) == pRec)
            return i;
    return -1;
}

int CEditListCtrl::AddChannelRow(int nRow, ChannelRecord* pRec)
{
    int row = InsertItem(LVIF_TEXT | LVIF_PARAM, nRow, "", 0, 0, 0, (LPARAM)pRec);
    if (row < 0)
        return row;
    CString s;
    if (pRec) {
        s.Format("%d", pRec->nNumber);
        SetItemText(row, COL_NUMBER, s);
        SetItemText(row, COL_NAME, pRec->szName);
        s.Format("%.2f", pRec->fFrequency);
        SetItemText(row, COL_FREQUENCY, s);
    }
    SetItemText(row, COL_TICK, "");
    RedrawItems(row, row);
    return row;
}

BOOL CEditListCtrl::SetFrequencyText(int nRow, float fFrequency)
{
    ChannelRecord* rec = GetRecord(nRow);
    if (!rec)
        return FALSE;
    rec->fFrequency = fFrequency;
    CString s;
    s.Format("%.2f", fFrequency);
    SetItemText(nRow, COL_FREQUENCY, s);
    RedrawItems(nRow, nRow);
    return TRUE;
}

int CEditListCtrl::FindRowByChannel(const ChannelRecord* pRec) const
{
    if (!pRec)
        return -1;
    for (int i = 0, n = GetItemCount(); i < n; ++i) {
        const ChannelRecord* r = GetRecord(i);
        if (r && r->nNumber == pRec->nNumber)
            return i;
    }
    return -1;
}

BOOL CEditListCtrl::IsMarked(int nRow) const
{
    const ChannelRecord* r = GetRecord(nRow);
    return r ? r->nSkip != 0 : FALSE;
}

BOOL CEditListCtrl::SetMark(int nRow, BOOL bState)
{
    ChannelRecord* r = GetRecord(nRow);
    if (!r)
        return FALSE;
    r->nSkip = bState ? 1 : 0;
    RedrawItems(nRow, nRow);
    return TRUE;
}

BOOL CEditListCtrl::SetCellText(int nRow, int nColumn, LPCTSTR lpszText)
{
    ChannelRecord* r = GetRecord(nRow);
    if (!r || (nColumn != COL_NAME && nColumn != COL_FREQUENCY) || !lpszText)
        return FALSE;
    SetItemText(nRow, nColumn, lpszText);
    if (nColumn == COL_NAME)
        SetFixedText(r->szName, lpszText);  // cut on a whole character
    else
        r->fFrequency = (float)atof(lpszText);
    return TRUE;
}

// --- columns ---------------------------------------------------------------

int CEditListCtrl::ColumnCount() const
{
    HWND header = (HWND)SendMessage(LVM_GETHEADER);
    return header ? (int)::SendMessage(header, HDM_GETITEMCOUNT, 0, 0) : 0;
}

int CEditListCtrl::ColumnAtPosition(int nPosition) const
{
    int n = ColumnCount();
    if (nPosition < 0 || nPosition >= n)
        return -1;
    INT order[32];
    if (n > 32 || !SendMessage(LVM_GETCOLUMNORDERARRAY, n, (LPARAM)order))
        return nPosition;
    return order[nPosition];
}

int CEditListCtrl::PositionOfColumn(int nColumn) const
{
    int n = ColumnCount();
    INT order[32];
    if (n > 32 || !SendMessage(LVM_GETCOLUMNORDERARRAY, n, (LPARAM)order))
        return nColumn;
    for (int i = 0; i < n; ++i)
        if (order[i] == nColumn)
            return i;
    return -1;
}

void CEditListCtrl::ScrollColumnIntoView(int nColumn)
{
    // An empty list has no row to measure from.
    if (nColumn < 0 || GetItemCount() == 0)
        return;
    CRect row;
    if (!GetItemRect(0, &row, LVIR_BOUNDS))
        return;
    int x = row.left;
    for (int p = 0, pos = PositionOfColumn(nColumn); p < pos; ++p)
        x += GetColumnWidth(ColumnAtPosition(p));
    int w = GetColumnWidth(nColumn);
    CRect client;
    GetClientRect(&client);
    if (x >= 0 && x + w <= client.right)
        return;
    Scroll(CSize(x, 0));
    UpdateWindow();
}

// --- drawing ---------------------------------------------------------------

void CEditListCtrl::DrawCell(HDC dc, const CRect& rc, int nColumn, const ChannelRecord* pRec, BOOL bSelected,
                             BOOL bCurrent, const CString& text)
{
    CRect cell = rc;
    BOOL textColumn = nColumn >= COL_NUMBER;
    if (!bSelected) {
        ::FillRect(dc, &cell, (HBRUSH)::GetStockObject(WHITE_BRUSH));
        FrameRect1(dc, cell, kBorder);
    } else if (!bCurrent || (!textColumn)) {
        if (bCurrent) {
            FrameRect1(dc, cell, kBorder);
            cell.DeflateRect(1, 1);
            FillGradient(dc, cell.left, cell.top, cell.right, cell.bottom - 1, kGradientTop, kGradientBottom, FALSE);
        } else {
            FillGradient(dc, cell.left, cell.top, cell.right, cell.bottom - 1, kGradientTop, kGradientBottom, FALSE);
            FrameRect1(dc, cell, kBorder);
        }
    } else {
        HBITMAP frame = (HBITMAP)m_part[0].m_hObject;
        if (frame)
            DrawSkinFrame(dc, &cell, frame, &m_rectA, &m_rectB);
        cell.DeflateRect(m_rectB.left, m_rectB.top, m_rectB.right, m_rectB.bottom);
        CRect centre(m_rectA.left + m_rectB.left, m_rectA.top + m_rectB.top, m_rectA.right - m_rectB.right,
                     m_rectA.bottom - m_rectB.bottom);
        StretchBitmapPart(dc, cell, (HBITMAP)m_part[1].m_hObject, &centre);
    }
    COLORREF ink = !bSelected ? 0 : (bCurrent ? kCurrentInk : kSelectedInk);
    HBITMAP markImage = m_bImageMarks ? (HBITMAP)m_part[5].m_hObject : NULL;
    HBITMAP tickImage = m_bImageMarks ? (HBITMAP)m_part[3].m_hObject : NULL;
    if (nColumn == COL_MARK) {
        if (pRec && pRec->nSkip && markImage)
            DrawRegionClippedBitmap(dc, rc, markImage, kImageTransparent, 14, 14, TRUE, 0, 0);
        else if (pRec && pRec->nSkip)
            DrawMark(dc, rc, ink);
    } else if (nColumn == COL_TICK) {
        if (pRec && pRec->nFlag && tickImage) {
            BITMAP bm = {};
            ::GetObject(tickImage, sizeof(bm), &bm);
            DrawRegionClippedBitmap(dc, rc, tickImage, kImageTransparent, bm.bmWidth, bm.bmHeight, TRUE, 0, 0);
        } else if (pRec && pRec->nFlag)
            DrawTick(dc, rc, ink, bSelected ? 2 : 1);
    } else {
        int mode = ::SetBkMode(dc, TRANSPARENT);
        COLORREF old = ::SetTextColor(dc, 0);
        HGDIOBJ font = ::SelectObject(dc, ListFont());
        CRect t = cell;
        ::DrawText(dc, text, text.GetLength(), &t, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        ::SelectObject(dc, font);
        ::SetTextColor(dc, old);
        ::SetBkMode(dc, mode);
    }
}

void CEditListCtrl::DrawItem(LPDRAWITEMSTRUCT dis)
{
    if (!(dis->itemAction & ODA_DRAWENTIRE))
        return;
    int row = (int)dis->itemID;
    const ChannelRecord* rec = (const ChannelRecord*)dis->itemData;
    BOOL selected = (dis->itemState & ODS_SELECTED) != 0;
    int columns = ColumnCount();
    for (int c = 0; c < columns && c < COLUMN_COUNT; ++c) {
        CRect rc;
        if (!GetSubItemRect(row, c, LVIR_BOUNDS, rc))
            continue;
        if (c == 0)
            rc.right = rc.left + GetColumnWidth(0);
        BOOL current = row == m_nCurRow && PositionOfColumn(c) == m_nCurColumn;
        DrawCell(dis->hDC, rc, c, rec, selected, current, GetItemText(row, c));
    }
}

void CEditListCtrl::DrawRow(int nRow)
{
    if (nRow < 0 || nRow >= GetItemCount())
        return;
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_LISTVIEW;
    dis.CtlID = ::GetDlgCtrlID(m_hWnd);
    dis.itemID = nRow;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = (GetItemState(nRow, LVIS_SELECTED) & LVIS_SELECTED) ? ODS_SELECTED : 0;
    dis.hwndItem = m_hWnd;
    dis.hDC = ::GetDC(m_hWnd);
    GetItemRect(nRow, &dis.rcItem, LVIR_BOUNDS);
    dis.itemData = GetItemData(nRow);
    DrawItem(&dis);
    ::ReleaseDC(m_hWnd, dis.hDC);
}

// --- mouse and keys --------------------------------------------------------

void CEditListCtrl::OnButtonDown(BOOL bLeft, CPoint point)
{
    LVHITTESTINFO hit = {};
    hit.pt = point;
    SubItemHitTest(&hit);
    if (hit.iItem < 0 && hit.iSubItem < 0)
        return;
    if (m_bEditing && (hit.iItem != m_nEditRow || hit.iSubItem != m_nEditColumn))
        SendMessage(WM_EDITLIST_ENDEDIT);
    m_nCurColumn = PositionOfColumn(hit.iSubItem);
    m_nCurRow = hit.iItem;
    if (bLeft && m_nCurColumn == 0 && m_nCurRow >= 0) {
        BOOL state = !IsMarked(m_nCurRow);
        SetMark(m_nCurRow, state);
        ChannelRecord* rec = GetRecord(m_nCurRow);
        CWnd* parent = GetParent();
        if (rec && parent)
            parent->SendMessage(WM_EDITLIST_CHECKCHANGED, state, (LPARAM)rec);
    }
    ScrollColumnIntoView(ColumnAtPosition(m_nCurColumn));
    if (m_nCurRow >= 0) {
        CRect rc;
        GetItemRect(m_nCurRow, &rc, LVIR_BOUNDS);
        RedrawWindow(&rc, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    }
}

void CEditListCtrl::OnDoubleClick(CPoint point)
{
    LVHITTESTINFO hit = {};
    hit.pt = point;
    SubItemHitTest(&hit);
    if (hit.iItem < 0 || hit.iSubItem < 0 || !(hit.flags & LVHT_ONITEM))
        return;
    if (hit.iSubItem == COL_NAME || hit.iSubItem == COL_FREQUENCY) {
        StopChannelScan();
        if (g_pScheduleList)
            g_pScheduleList->CancelScheduledRun();
        EditListCell cell = { hit.iItem, hit.iSubItem, 0 };
        SendMessage(WM_EDITLIST_BEGINEDIT, 0, (LPARAM)&cell);
    } else if (hit.iSubItem == COL_NUMBER) {
        // The settings window tunes the row's record: only rows that have one.
        if (g_pSkinCtrlMap && g_pSkinCtrlMap->GetOwner() && GetRecord(hit.iItem))
            ::PostMessage(g_pSkinCtrlMap->GetOwner(), WM_EDITLIST_TUNEROW, hit.iItem, 0);
    }
}

BOOL CEditListCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_MEASUREITEM) {
        // Asked once, at creation: what the rows got is kept for the scrolling.
        BOOL done = CListCtrl::OnChildNotify(message, wParam, lParam, pResult);
        m_nMeasuredHeight = (int)((LPMEASUREITEMSTRUCT)lParam)->itemHeight;
        return done;
    }
    if (message == WM_NOTIFY) {
        NMHDR* nm = (NMHDR*)lParam;
        switch (nm->code) {
        case NM_DBLCLK:
            OnDoubleClick(((NMITEMACTIVATE*)lParam)->ptAction);
            *pResult = 0;
            return TRUE;
        }
    }
    return CListCtrl::OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CEditListCtrl::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message != WM_KEYDOWN || ::GetFocus() != m_hWnd || pMsg->wParam < VK_RETURN || pMsg->wParam > VK_DOWN)
        return CListCtrl::PreTranslateMessage(pMsg);
    int count = GetItemCount();
    switch (pMsg->wParam) {
    case VK_RETURN:
        if (!m_bEditing) {
            int row = GetNextItem(-1, LVNI_SELECTED);
            int col = ColumnAtPosition(m_nCurColumn);
            if (row >= 0 && (col == COL_NAME || col == COL_FREQUENCY)) {
                EditListCell cell = { row, col, 0 };
                SendMessage(WM_EDITLIST_BEGINEDIT, 0, (LPARAM)&cell);
            }
        }
        return FALSE;
    case VK_LEFT:
    case VK_RIGHT: {
        int col = m_nCurColumn + (pMsg->wParam == VK_LEFT ? -1 : 1);
        if (col < 0) {
            m_nCurColumn = 0;
            return TRUE;
        }
        if (col > COLUMN_COUNT - 1) {
            m_nCurColumn = COLUMN_COUNT - 1;
            return TRUE;
        }
        m_nCurColumn = col;
        ScrollColumnIntoView(ColumnAtPosition(col));
        m_nCurRow = GetNextItem(-1, LVNI_SELECTED);
        if (m_nCurRow >= 0)
            RedrawItems(m_nCurRow, m_nCurRow);
        return TRUE;
    }
    case VK_UP:
    case VK_DOWN:
        if (m_nCurRow >= 0 && m_nCurColumn >= 0) {
            if (pMsg->wParam == VK_UP) {
                m_nCurRow = m_nCurRow > 0 ? m_nCurRow - 1 : 0;
                DrawRow(m_nCurRow);
            } else if (count > 0) {
                m_nCurRow = m_nCurRow < count - 1 ? m_nCurRow + 1 : count - 1;
                DrawRow(m_nCurRow);
            }
        }
        return FALSE;
    }
    return CListCtrl::PreTranslateMessage(pMsg);
}

// --- editing ---------------------------------------------------------------

LRESULT CEditListCtrl::OnBeginEdit(const EditListCell* pCell)
{
    if (!pCell || !m_pEditor || !m_pEditor->m_hWnd)
        return 0;
    if (m_bEditing && m_nEditRow >= 0 && m_nEditColumn >= 0 && !SendMessage(WM_EDITLIST_ENDEDIT))
        return 0;
    int row = pCell->nRow, col = pCell->nColumn;
    ChannelRecord* rec = GetRecord(row);
    if (row < 0 || col < 0 || !rec)
        return 0;
    // A row that cannot be brought into view gets no editor, and the list
    // stays idle: nothing is left to commit later.
    if (!EnsureVisible(row, FALSE))
        return 0;
    m_pEditor->SetNumeric(col == COL_FREQUENCY);
    m_bEditing = TRUE;
    m_nEditRow = row;
    m_nEditColumn = col;
    m_pEditRecord = rec;

    CRect rc;
    GetSubItemRect(row, col, LVIR_BOUNDS, rc);
    CRect client;
    GetClientRect(&client);
    if (rc.left < 0 || rc.left > client.right) {
        Scroll(CSize(rc.left, 0));
        rc.OffsetRect(-rc.left, 0);
    }
    rc.right = rc.left + GetColumnWidth(col);
    if (rc.right > client.right)
        rc.right = client.right;
    LVCOLUMN lvc = {};
    lvc.mask = LVCF_FMT;
    GetColumn(col, &lvc);
    DWORD align = (lvc.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT ? ES_RIGHT
                  : (lvc.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_CENTER ? ES_CENTER : ES_LEFT;
    m_pEditor->ModifyStyle(ES_LEFT | ES_RIGHT | ES_CENTER, align);
    CString text = GetItemText(row, col);
    m_pEditor->SetWindowText(text);
    m_pEditor->SetSel(text.GetLength(), text.GetLength());
    int textW = TextWidthIn(m_hWnd, ListFont(), text);
    int w = rc.Width() > textW ? rc.Width() : textW;
    m_pEditor->SetWindowPos(NULL, rc.left, rc.top, w, rc.Height(), SWP_SHOWWINDOW | SWP_NOZORDER | SWP_FRAMECHANGED);
    return 1;
}

void CEditListCtrl::DropEdit()
{
    if (!m_bEditing)
        return;
    if (m_pEditor && m_pEditor->m_hWnd) {
        m_pEditor->SetNumeric(FALSE);
        m_pEditor->ShowWindow(SW_HIDE);
    }
    m_bEditing = FALSE;
    m_nEditRow = m_nEditColumn = -1;
    m_pEditRecord = NULL;
}

LRESULT CEditListCtrl::OnEndEditMessage()
{
    if (!m_bEditing || m_nEditRow < 0 || m_nEditColumn < 0 || !m_pEditor || !m_pEditor->m_hWnd)
        return 0;
    m_pEditor->SetNumeric(FALSE);
    CString text;
    m_pEditor->GetWindowText(text);
    m_pEditor->ShowWindow(SW_HIDE);
    // The text goes into the record the edit began on, wherever its row is
    // now; a record no row shows any more gets nothing.
    int row = FindRowOfRecord(m_pEditRecord);
    int col = m_nEditColumn;
    m_bEditing = FALSE;
    m_nEditRow = m_nEditColumn = -1;
    m_pEditRecord = NULL;
    if (row >= 0)
        SetCellText(row, col, text);
    return 1;
}

int CEditListCtrl::OnEndEdit()
{
    OnEndEditMessage();
    return 0;
}

LRESULT CEditListCtrl::OnCommit(HWND hEditor)
{
    if (!m_pEditor || hEditor != m_pEditor->m_hWnd || !m_bEditing || m_nEditRow < 0 || m_nEditColumn < 0)
        return 0;
    BOOL frequency = m_nEditColumn == COL_FREQUENCY;
    ChannelRecord* rec = m_pEditRecord;
    SendMessage(WM_EDITLIST_ENDEDIT);
    int row = FindRowOfRecord(rec);
    if (row < 0)
        return 1;
    RedrawItems(row, row);
    CWnd* parent = GetParent();
    if (parent)
        parent->SendMessage(frequency ? WM_EDITLIST_FREQCHANGED : WM_EDITLIST_NAMECHANGED, 0, (LPARAM)rec);
    return 1;
}

// --- moving rows -----------------------------------------------------------

BOOL CEditListCtrl::SwapRows(int a, int b)
{
    int count = GetItemCount();
    if (a < 0 || b < 0 || a >= count || b >= count)
        return FALSE;
    if (m_bEditing)
        SendMessage(WM_EDITLIST_ENDEDIT);
    ChannelRecord* ra = GetRecord(a);
    ChannelRecord* rb = GetRecord(b);
    if (!ra || !rb)
        return FALSE;
    ChannelRecord* current = m_nCurRow == a ? ra : (m_nCurRow == b ? rb : NULL);
    int number = ra->nNumber;
    ra->nNumber = rb->nNumber;
    rb->nNumber = number;
    for (int col = COL_NAME; col <= COL_FREQUENCY; ++col) {
        CString ta = GetItemText(a, col), tb = GetItemText(b, col);
        SetItemText(a, col, tb);
        SetItemText(b, col, ta);
    }
    SetItemData(a, (DWORD_PTR)rb);
    SetItemData(b, (DWORD_PTR)ra);
    int list = TunerList();
    if (g_pChannelStore && list) {
        g_pChannelStore->ReplaceChannelPtr(ra->nNumber, list, ra);
        g_pChannelStore->ReplaceChannelPtr(rb->nNumber, list, rb);
    }
    if (current) {
        int now = current == ra ? b : a, other = now == a ? b : a;
        m_nCurRow = now;
        SetItemState(now, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        SetItemState(other, 0, LVIS_SELECTED | LVIS_FOCUSED);
    }
    RedrawItems(a < b ? a : b, a < b ? b : a);
    return TRUE;
}

BOOL CEditListCtrl::MoveUp(int nRow, int n)
{
    if (n < 0)
        return MoveDown(nRow, -n);
    for (int i = 0; i < n; ++i)
        if (!SwapRows(nRow - i, nRow - i - 1))
            return FALSE;
    return TRUE;
}

BOOL CEditListCtrl::MoveDown(int nRow, int n)
{
    if (n < 0)
        return MoveUp(nRow, -n);
    for (int i = 0; i < n; ++i)
        if (!SwapRows(nRow + i, nRow + i + 1))
            return FALSE;
    return TRUE;
}

LRESULT CEditListCtrl::OnMoveMessage(UINT message)
{
    int row = m_nCurRow;
    if (row < 0 || row >= GetItemCount())
        return 0;
    int noted = -1;
    const ChannelRecord* rec = GetRecord(row);
    if (g_pTunedChannel && rec)
        noted = rec->nNumber;
    BOOL ok;
    switch (message) {
    case WM_EDITLIST_MOVEUP: ok = MoveUp(row, 1); break;
    case WM_EDITLIST_MOVEDOWN: ok = MoveDown(row, 1); break;
    case WM_EDITLIST_MOVETOP: ok = MoveUp(row, row); break;
    default: ok = MoveDown(row, GetItemCount() - row - 1); break;
    }
    // The picture stays on the same channel under its new number.
    int list = TunerList();
    if (g_pAppState && g_pAppState->IsTvViewing() && g_pTunedChannel && m_nCurRow != row &&
        noted == g_pTunedChannel->nNumber && g_pChannelStore && list) {
        const ChannelRecord* now = GetRecord(m_nCurRow);
        if (now)
            g_pChannelStore->SelectChannel(now->nNumber, list, TRUE);
    }
    return ok;
}

LRESULT CEditListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        OnButtonDown(message == WM_LBUTTONDOWN, CPoint((short)LOWORD(lParam), (short)HIWORD(lParam)));
        break;
    case WM_EDITLIST_BEGINEDIT:
        return OnBeginEdit((const EditListCell*)lParam);
    case WM_EDITLIST_ENDEDIT:
        return OnEndEditMessage();
    case WM_EDITLIST_COMMITQUIET:
        OnEndEditMessage();
        return 0;
    case WM_CELLEDIT_COMMIT:
        return OnCommit((HWND)lParam);
    case WM_EDITLIST_IGNORED:
        return 0;
    case WM_EDITLIST_MOVEUP:
    case WM_EDITLIST_MOVEDOWN:
    case WM_EDITLIST_MOVETOP:
    case WM_EDITLIST_MOVEBOTTOM:
        return OnMoveMessage(message);
    case LVM_DELETEALLITEMS:
        // The records may go with the rows: the edit ends unwritten.
        DropEdit();
        m_nCurRow = -1;
        break;
    case LVM_DELETEITEM:
        if (m_bEditing && (int)wParam == FindRowOfRecord(m_pEditRecord))
            DropEdit();
        break;
    }
    return CListCtrl::WindowProc(message, wParam, lParam);
}
