// GDI wrappers on a memory bitmap, menus (resource, one object per handle,
// owner-drawn items routed to their CMenu) and the list and combo controls.
#include <gtest/gtest.h>
#include "Afx.h"
#include "TestSupport.h"
#include <string>
#include <vector>

namespace {

const COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kKey = RGB(255, 0, 255);

// A 24-bit memory canvas, w x h.
struct Canvas {
    CDC dc;
    CBitmap bmp;
    CBitmap* old;
    Canvas(int w, int h)
    {
        CClientDC screen(NULL);
        dc.CreateCompatibleDC(&screen);
        bmp.CreateCompatibleBitmap(&screen, w, h);
        old = dc.SelectObject(&bmp);
    }
    ~Canvas() { dc.SelectObject(old); }
};

TEST(GdiDc, FillsFramesAndBlitsWithAKeyColour)
{
    Canvas c(20, 10);
    ASSERT_TRUE(c.old != NULL);
    EXPECT_EQ(c.dc.GetCurrentBitmap()->m_hObject, c.bmp.m_hObject);
    c.dc.FillSolidRect(0, 0, 20, 10, RGB(10, 20, 30));
    EXPECT_EQ(c.dc.GetPixel(5, 5), RGB(10, 20, 30));

    c.dc.Draw3dRect(CRect(0, 0, 20, 10), kRed, kBlue);
    EXPECT_EQ(c.dc.GetPixel(0, 0), kRed);
    EXPECT_EQ(c.dc.GetPixel(18, 0), kRed);
    EXPECT_EQ(c.dc.GetPixel(0, 8), kRed);
    EXPECT_EQ(c.dc.GetPixel(19, 0), kBlue);
    EXPECT_EQ(c.dc.GetPixel(0, 9), kBlue);
    EXPECT_EQ(c.dc.GetPixel(19, 9), kBlue);
    EXPECT_EQ(c.dc.GetPixel(1, 1), RGB(10, 20, 30));

    Canvas src(2, 1);
    src.dc.SetPixel(0, 0, kKey);
    src.dc.SetPixel(1, 0, kRed);
    EXPECT_TRUE(c.dc.TransparentBlt(4, 4, 2, 1, &src.dc, 0, 0, 2, 1, kKey));
    EXPECT_EQ(c.dc.GetPixel(4, 4), RGB(10, 20, 30));
    EXPECT_EQ(c.dc.GetPixel(5, 4), kRed);

    CBrush brush(kBlue);
    CBrush* oldBrush = c.dc.SelectObject(&brush);
    EXPECT_TRUE(oldBrush != NULL);
    EXPECT_EQ(c.dc.SelectObject(oldBrush)->m_hObject, brush.m_hObject);
    int saved = c.dc.SaveDC();
    c.dc.IntersectClipRect(0, 0, 2, 2);
    c.dc.FillSolidRect(0, 0, 20, 10, kRed);
    c.dc.RestoreDC(saved);
    EXPECT_EQ(c.dc.GetPixel(1, 1), kRed);
    EXPECT_EQ(c.dc.GetPixel(3, 3), RGB(10, 20, 30));
}

TEST(GdiObjects, RegionsFontsAndOwnership)
{
    CRgn a, b, both;
    ASSERT_TRUE(a.CreateRectRgn(0, 0, 10, 10));
    ASSERT_TRUE(b.CreateRoundRectRgn(5, 5, 15, 15, 2, 2));
    ASSERT_TRUE(both.CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(both.CombineRgn(&a, &b, RGN_OR), COMPLEXREGION);
    EXPECT_TRUE(both.PtInRegion(12, 12));
    EXPECT_FALSE(both.PtInRegion(12, 2));
    POINT tri[3] = { { 0, 0 }, { 10, 0 }, { 0, 10 } };
    CRgn t;
    ASSERT_TRUE(t.CreatePolygonRgn(tri, 3, ALTERNATE));
    EXPECT_TRUE(t.PtInRegion(2, 2));
    EXPECT_FALSE(t.PtInRegion(8, 8));
    EXPECT_FALSE(t.CreateRectRgn(0, 0, 1, 1));  // holds one already

    CFont font;
    ASSERT_TRUE(font.CreatePointFont(90, "宋体"));
    LOGFONT lf;
    font.GetLogFont(&lf);
    CClientDC screen(NULL);
    EXPECT_EQ(lf.lfHeight, -MulDiv(9, screen.GetDeviceCaps(LOGPIXELSY), 72));
    CFont larger;
    ASSERT_TRUE(larger.CreatePointFont(110, "宋体"));
    larger.GetLogFont(&lf);
    EXPECT_EQ(lf.lfHeight, -(screen.GetDeviceCaps(LOGPIXELSY) * 110 / 720));   // truncated

    CBitmap bmp;
    ASSERT_TRUE(bmp.CreateBitmap(8, 4, 1, 32, NULL));
    BITMAP bm;
    bmp.GetBitmap(&bm);
    EXPECT_EQ(bm.bmWidth, 8);
    HGDIOBJ h = bmp.Detach();
    EXPECT_EQ(bmp.m_hObject, (HGDIOBJ)NULL);
    EXPECT_EQ(::GetObjectType(h), (DWORD)OBJ_BITMAP);   // detached: still alive
    {
        CBitmap owner;
        owner.Attach(h);
    }
    EXPECT_EQ(::GetObjectType(h), 0u);                  // the owner deleted it
}

TEST(GdiImageList, MaskedImagesDrawTransparent)
{
    Canvas strip(32, 16);
    strip.dc.FillSolidRect(0, 0, 32, 16, kKey);
    strip.dc.FillSolidRect(4, 4, 4, 4, kBlue);
    strip.dc.SelectObject(strip.old);           // the list needs it unselected
    strip.old = CBitmap::FromHandle((HBITMAP)::GetCurrentObject(strip.dc.m_hDC, OBJ_BITMAP));

    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR24 | ILC_MASK, 0, 4));
    EXPECT_EQ(images.Add(&strip.bmp, kKey), 0);
    EXPECT_EQ(images.GetImageCount(), 2);

    Canvas out(16, 16);
    out.dc.FillSolidRect(0, 0, 16, 16, kRed);
    EXPECT_TRUE(images.Draw(&out.dc, 0, CPoint(0, 0), ILD_TRANSPARENT));
    EXPECT_EQ(out.dc.GetPixel(5, 5), kBlue);
    EXPECT_EQ(out.dc.GetPixel(0, 0), kRed);
}

struct OwnerDrawMenu : CMenu {
    std::vector<std::string> calls;
    void DrawItem(LPDRAWITEMSTRUCT dis) override { calls.push_back("draw " + std::to_string(dis->itemID)); }
    void MeasureItem(LPMEASUREITEMSTRUCT mis) override
    {
        calls.push_back("measure " + std::to_string(mis->itemID));
        mis->itemHeight = 18;
        mis->itemWidth = 60;
    }
};

TEST(MenuTest, ResourceMenusAndOwnerDrawnRouting)
{
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(200));
    CMenu* popup = menu.GetSubMenu(0);
    ASSERT_TRUE(popup != NULL);
    EXPECT_EQ(popup->GetMenuItemCount(), 2);
    EXPECT_EQ(popup->GetMenuItemID(1), 202u);
    CString text;
    popup->GetMenuString(201, text, MF_BYCOMMAND);
    EXPECT_EQ(ts::Gbk((LPCTSTR)text), ts::Gbk("打开"));
    EXPECT_EQ(CMenu::FromHandle(menu.m_hMenu), &menu);
    CMenu second;
    EXPECT_FALSE(second.Attach(menu.m_hMenu));  // one object per menu

    OwnerDrawMenu od;
    ASSERT_TRUE(od.CreatePopupMenu());
    od.AppendMenu(MF_OWNERDRAW, 5, (LPCTSTR)"data");
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
    wnd.SendMessage(WM_INITMENUPOPUP, (WPARAM)od.m_hMenu, 0);
    MEASUREITEMSTRUCT mis = { ODT_MENU, 0, 5, 0, 0, 0 };
    EXPECT_EQ(wnd.SendMessage(WM_MEASUREITEM, 0, (LPARAM)&mis), TRUE);
    EXPECT_EQ(mis.itemHeight, 18u);
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_MENU;
    dis.itemID = 5;
    dis.hwndItem = (HWND)od.m_hMenu;
    EXPECT_EQ(wnd.SendMessage(WM_DRAWITEM, 0, (LPARAM)&dis), TRUE);
    EXPECT_EQ(od.calls, (std::vector<std::string>{"measure 5", "draw 5"}));

    // An owner-drawn item that opens a sub-menu carries the sub-menu as its id.
    HMENU hSub = ::CreatePopupMenu();
    od.AppendMenu(MF_OWNERDRAW | MF_POPUP, (UINT_PTR)hSub, (LPCTSTR)"sub");
    od.calls.clear();
    wnd.SendMessage(WM_INITMENUPOPUP, (WPARAM)od.m_hMenu, 0);
    mis.itemID = (UINT)(UINT_PTR)hSub;
    mis.itemHeight = 0;
    wnd.SendMessage(WM_MEASUREITEM, 0, (LPARAM)&mis);
    EXPECT_EQ(mis.itemHeight, 18u);
    EXPECT_EQ(od.calls.size(), 1u);
    wnd.DestroyWindow();
}

TEST(Controls, ListComboEditProgress)
{
    AfxInitCommonControls();
    CWnd frame;
    ASSERT_TRUE(frame.CreateEx(0, AfxRegisterWndClass(0), "controls", WS_OVERLAPPEDWINDOW,
                               10, 10, 400, 300, NULL, NULL));
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_VISIBLE | LVS_REPORT, CRect(0, 0, 380, 150), &frame, 10));
    EXPECT_EQ(list.InsertColumn(0, "名称", LVCFMT_LEFT, 120), 0);
    EXPECT_EQ(list.InsertColumn(1, "Freq", LVCFMT_RIGHT, 80), 1);
    EXPECT_EQ(list.GetHeaderCtrl()->GetItemCount(), 2);
    for (int i = 0; i < 5; i++) {
        EXPECT_EQ(list.InsertItem(i, "row"), i);
        list.SetItemData(i, 100 + i);
    }
    std::string longText(600, 'x');
    longText += "频道";
    EXPECT_TRUE(list.SetItemText(2, 1, longText.c_str()));
    EXPECT_EQ(std::string((LPCTSTR)list.GetItemText(2, 1)), longText);
    EXPECT_EQ(list.GetItemData(4), (DWORD_PTR)104);

    list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    list.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
    std::vector<int> selected;
    POSITION pos = list.GetFirstSelectedItemPosition();
    while (pos)
        selected.push_back(list.GetNextSelectedItem(pos));
    EXPECT_EQ(selected, (std::vector<int>{1, 3}));

    CRect rc;
    ASSERT_TRUE(list.GetItemRect(3, &rc, LVIR_BOUNDS));
    EXPECT_EQ(list.HitTest(CPoint(rc.left + 5, (rc.top + rc.bottom) / 2)), 3);
    CRect sub;
    ASSERT_TRUE(list.GetSubItemRect(3, 1, LVIR_BOUNDS, sub));
    EXPECT_EQ(sub.left, rc.left + 120);
    list.InsertColumn(2, "Mark", LVCFMT_LEFT, 30);
    int order[3] = { 2, 0, 1 };
    EXPECT_TRUE(list.SetColumnOrderArray(3, order));
    EXPECT_EQ(list.GetHeaderCtrl()->OrderToIndex(0), 2);
    int back[3] = {};
    EXPECT_TRUE(list.GetColumnOrderArray(back));
    EXPECT_EQ(std::vector<int>(back, back + 3), std::vector<int>(order, order + 3));
    EXPECT_TRUE(list.DeleteColumn(2));
    EXPECT_TRUE(list.DeleteColumn(1));
    EXPECT_EQ(list.GetHeaderCtrl()->GetItemCount(), 1);

    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL, CRect(0, 160, 150, 260), &frame, 11));
    combo.AddString("中央一台");
    combo.AddString("Sports");
    EXPECT_EQ(combo.FindStringExact(-1, "Sports"), 1);
    EXPECT_EQ(combo.SelectString(-1, "中央"), 0);
    CString item;
    combo.GetLBText(combo.GetCurSel(), item);
    EXPECT_EQ(ts::Gbk((LPCTSTR)item), ts::Gbk("中央一台"));
    combo.GetLBText(7, item);
    EXPECT_TRUE(item.IsEmpty());

    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_VISIBLE | ES_AUTOHSCROLL, CRect(160, 160, 300, 180), &frame, 12));
    edit.SetLimitText(6);
    edit.ReplaceSel("12345678");
    CString text;
    edit.GetWindowText(text);
    EXPECT_EQ(std::string((LPCTSTR)text), "123456");
    int from = -1, to = -1;
    edit.SetSel(1, 3);
    edit.GetSel(from, to);
    EXPECT_EQ(from, 1);
    EXPECT_EQ(to, 3);

    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(&frame));
    ASSERT_TRUE(tip.AddTool(&edit, "提示"));
    EXPECT_EQ(tip.GetToolCount(), 1);
    tip.UpdateTipText("新提示", &edit);
    char tipText[80] = "";
    TOOLINFO ti = {};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = frame.m_hWnd;
    ti.uFlags = TTF_IDISHWND;
    ti.uId = (UINT_PTR)edit.m_hWnd;
    ti.lpszText = tipText;
    tip.SendMessage(TTM_GETTEXT, sizeof(tipText), (LPARAM)&ti);
    EXPECT_EQ(ts::Gbk(tipText), ts::Gbk("新提示"));

    CProgressCtrl progress;
    ASSERT_TRUE(progress.Create(WS_VISIBLE, CRect(160, 190, 300, 210), &frame, 13));
    progress.SetRange32(0, 1000);
    progress.SetStep(300);
    progress.SetPos(100);
    EXPECT_EQ(progress.StepIt(), 100);
    EXPECT_EQ(progress.GetPos(), 400);
    // Callers hand in SCROLLINFO without its size or mask filled in.
    frame.SetScrollRange(SB_VERT, 0, 50, FALSE);
    SCROLLINFO si;
    memset(&si, 0xcd, sizeof(si));
    si.fMask = SIF_PAGE;
    si.nPage = 10;
    EXPECT_TRUE(frame.SetScrollInfo(SB_VERT, &si, FALSE));
    memset(&si, 0xcd, sizeof(si));
    ASSERT_TRUE(frame.GetScrollInfo(SB_VERT, &si));
    EXPECT_EQ(si.nMax, 50);
    EXPECT_EQ(si.nPage, 10u);
    EXPECT_EQ(frame.GetScrollLimit(SB_VERT), 41);

    frame.DestroyWindow();
    EXPECT_EQ(list.m_hWnd, (HWND)NULL);
}

}  // namespace
