#include "SkinGroup.h"

// --- CSkinGroup ---------------------------------------------------------------

CSkinGroup::CSkinGroup()
    : m_rcA(0, 0, -1, -1), m_rcB(0, 0, -1, -1), m_rcC(0, 0, -1, -1), m_rcD(0, 0, -1, -1)
{
}

void CSkinGroup::SetBitmaps(HBITMAP hFrame, const RECT& rFrame, HBITMAP hCaption, const RECT& rCaption)
{
    if (!hFrame || !hCaption)
        return;
    CutPart(m_bmpFrame, hFrame, rFrame);
    CutPart(m_bmpCaption, hCaption, rCaption);
}

CRect CSkinGroup::CaptionRect(const CRect& client, int w, int h)
{
    int x = client.right - w - client.left - 19 < 1 ? client.left + 2 : client.left + 15;
    return CRect(x, client.top, x + w + 10, client.top + h + 4);
}

LRESULT CSkinGroup::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The page is the group's parent; the controls inside only see the group.
    if (message == WM_COMMAND && HIWORD(wParam) == CBN_SELCHANGE) {
        UINT id = LOWORD(wParam);
        if ((id == 4227 || id == 4228) && GetParent())
            GetParent()->SendMessage(WM_PROP_SELCHANGE, id, lParam);
    } else if (message == WM_SKINCHECK_CLICKED || message == WM_IMAGETOGGLE_CHANGED) {
        if (GetParent())
            GetParent()->SendMessage(message, wParam, lParam);
        return 0;
    }
    return CSkinButtonBase::WindowProc(message, wParam, lParam);
}

void CSkinGroup::OnPaint()
{
    CPaintDC dc(this);
    if (!m_bmpFrame.GetSafeHandle() || !m_bmpCaption.GetSafeHandle())
        return;
    CRect rc;
    GetClientRect(&rc);
    CString text;
    GetWindowText(text);
    CSize size = dc.GetTextExtent(text, text.GetLength());
    CRect frame = rc;
    frame.top += size.cy / 2;
    DrawSkinFrame(dc, &frame, m_bmpFrame, &m_rcA, &m_rcB);
    CRect caption = CaptionRect(rc, size.cx, size.cy);
    DrawSkinFrame(dc, &caption, m_bmpCaption, &m_rcC, &m_rcD);
    CRect centre(m_rcC.left + m_rcD.left, m_rcC.top + m_rcD.top, m_rcC.right - m_rcD.right,
                 m_rcC.bottom - m_rcD.bottom);
    CBitmap middle;
    CutPart(middle, m_bmpCaption, centre);
    CRect inner(caption.left + m_rcD.left, caption.top + m_rcD.top, caption.right - m_rcD.right,
                caption.bottom - m_rcD.bottom);
    if (middle.GetSafeHandle())
        DrawBitmapStretched(dc, inner, middle);
    CSkinTextScope scope(dc, centre.Height());
    dc.DrawText(text, &caption, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// --- CSkinHeaderCtrl ----------------------------------------------------------

int CSkinHeaderCtrl::LoadBitmaps(UINT nLeft, UINT nMiddle, UINT nRight)
{
    CBitmap* parts[3] = { &m_bmpLeft, &m_bmpMiddle, &m_bmpRight };
    UINT ids[3] = { nLeft, nMiddle, nRight };
    for (int i = 0; i < 3; ++i) {
        parts[i]->DeleteObject();
        if (!parts[i]->LoadBitmap(ids[i]))
            return 0;
    }
    return 1;
}

void CSkinHeaderCtrl::SetBitmaps(HBITMAP hLeft, HBITMAP hMiddle, HBITMAP hRight)
{
    m_bmpLeft.DeleteObject();
    m_bmpMiddle.DeleteObject();
    m_bmpRight.DeleteObject();
    m_bmpLeft.Attach(hLeft);
    m_bmpMiddle.Attach(hMiddle);
    m_bmpRight.Attach(hRight);
}

static CSize SizeOf(HBITMAP h)
{
    BITMAP bm = {};
    if (h)
        ::GetObject(h, sizeof(bm), &bm);
    return CSize(bm.bmWidth, bm.bmHeight);
}

// The tile at its own width, stretched to the height, from x across width.
static void TileAcross(HDC hDC, HBITMAP hTile, int x, int top, int width, int height)
{
    int tile = SizeOf(hTile).cx;
    if (tile <= 0)
        return;
    for (int k = 0; k * tile < width; ++k)
        DrawBitmapStretched(hDC, CRect(x + k * tile, top, x + (k + 1) * tile, top + height), hTile);
}

void CSkinHeaderCtrl::OnPaint()
{
    CPaintDC paint(this);
    CRect rc;
    GetClientRect(&rc);
    CMemDC dc(&paint, &rc);
    dc.FillSolidRect(&rc, ::GetSysColor(COLOR_BTNFACE));
    TileAcross(dc, m_bmpMiddle, rc.left + 2, rc.top, rc.Width(), rc.Height());
    int leftW = SizeOf(m_bmpLeft).cx, rightW = SizeOf(m_bmpRight).cx;
    LOGFONT lf = {};
    lstrcpynA(lf.lfFaceName, "Sevenet 7", LF_FACESIZE);
    for (int i = 0; i < GetItemCount(); ++i) {
        char text[256] = "";
        HDITEM item = {};
        item.mask = HDI_TEXT | HDI_FORMAT | HDI_ORDER;
        item.pszText = text;
        item.cchTextMax = 255;
        GetItem(i, &item);
        CRect r;
        GetItemRect(i, &r);
        if (item.iOrder != 0)
            DrawBitmapStretched(dc, CRect(r.left - 1, r.top, r.left - 1 + leftW, r.bottom), m_bmpRight);
        else
            DrawBitmapStretched(dc, CRect(r.left, r.top, r.left + leftW, r.bottom), m_bmpLeft);
        TileAcross(dc, m_bmpMiddle, r.left + 2, r.top, r.Width(), r.Height());
        DrawBitmapStretched(dc, CRect(r.right - 2, r.top, r.right - 2 + rightW, r.bottom), m_bmpRight);
        lf.lfHeight = r.Height() - 2;
        CFont font;
        font.CreateFontIndirect(&lf);
        HGDIOBJ old = dc.SelectObject(font.GetSafeHandle());
        int mode = dc.SetBkMode(TRANSPARENT);
        CRect t = r;
        t.DeflateRect(2, 2);
        dc.DrawText(text, &t, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        dc.SetBkMode(mode);
        dc.SelectObject(old);
    }
}
