// The editable channel list over a real channel store: rows, marks, editing
// through the message queue, moves that keep the numbers in place, the
// edits that must not land in the wrong record, and the cells' pixels.
#include "ChannelListTestEnv.h"
#include "ScheduleMessages.h"
#include "Seams.h"

namespace {

class EditListTest : public ChannelListTest {
protected:
    void SetUp() override
    {
        ChannelListTest::SetUp();
        CreateList(list_, CRect(0, 0, 460, 260));
        Fill(list_, 10);
    }
    CEditListCtrl list_;
};

// Screen point inside a cell.
CPoint CellPoint(CEditListCtrl& list, int row, int col)
{
    CRect rc;
    list.GetSubItemRect(row, col, LVIR_BOUNDS, rc);
    if (col == 0)
        rc.right = rc.left + list.GetColumnWidth(0);
    CPoint pt = rc.CenterPoint();
    list.ClientToScreen(&pt);
    return pt;
}

void Click(CPoint pt)
{
    skintest::MouseTo(pt);
    skintest::MouseButton(true);
    skintest::MouseButton(false);
}

}  // namespace

TEST_F(EditListTest, RowsShowTheRecordsAndAClickOnTheMarkTogglesSkipping)
{
    EXPECT_EQ("1", std::string(list_.GetItemText(0, 2)));
    EXPECT_EQ("Channel3", std::string(list_.GetItemText(2, 3)));
    EXPECT_EQ("103.00", std::string(list_.GetItemText(2, 4)));
    ChannelRecord* rec = g_pChannelStore->GetChannelPtr(3, 1);
    EXPECT_EQ(rec, list_.GetRecord(2));
    EXPECT_EQ(2, list_.FindRowByChannel(rec));
    EXPECT_EQ(-1, list_.FindRowByChannel(NULL));

    Click(CellPoint(list_, 2, 0));
    EXPECT_EQ(1, rec->nSkip);
    ASSERT_EQ(1u, host_.Count(WM_EDITLIST_CHECKCHANGED));
    EXPECT_EQ(1u, (UINT)host_.Last(WM_EDITLIST_CHECKCHANGED).wParam);
    EXPECT_EQ((LPARAM)rec, host_.Last(WM_EDITLIST_CHECKCHANGED).lParam);
    EXPECT_EQ(2, list_.GetCurrentRow());
    EXPECT_EQ(0, list_.GetCurrentColumn());
    ts::PumpFor(400);   // not a double click
    Click(CellPoint(list_, 2, 0));
    EXPECT_EQ(0, rec->nSkip);
    // A click elsewhere in the row leaves the mark alone.
    ts::PumpFor(400);
    Click(CellPoint(list_, 2, 2));
    EXPECT_EQ(0, rec->nSkip);
    EXPECT_EQ(2u, host_.Count(WM_EDITLIST_CHECKCHANGED));
}

TEST_F(EditListTest, DoubleClickOnTheNameEditsItAndEnterCommitsThroughTheQueue)
{
    CPoint pt = CellPoint(list_, 1, 3);
    skintest::MouseTo(pt);
    INPUT clicks[4] = { skintest::MouseButtonInput(true), skintest::MouseButtonInput(false),
                        skintest::MouseButtonInput(true), skintest::MouseButtonInput(false) };
    SendInput(4, clicks, sizeof(INPUT));
    ts::PumpFor(150);
    CCellEdit* edit = list_.GetEditor();
    ASSERT_TRUE(edit && edit->IsWindowVisible());
    ASSERT_TRUE(list_.IsEditing());
    EXPECT_EQ(1, list_.GetEditRow());
    EXPECT_EQ(3, list_.GetEditColumn());
    CString text;
    edit->GetWindowText(text);
    EXPECT_EQ("Channel2", std::string(text));

    edit->SetSel(0, -1);
    Type(edit->m_hWnd, "News");
    PressKey(edit->m_hWnd, VK_RETURN);
    ChannelRecord* rec = g_pChannelStore->GetChannelPtr(2, 1);
    EXPECT_STREQ("News", rec->szName);
    EXPECT_EQ("News", std::string(list_.GetItemText(1, 3)));
    EXPECT_FALSE(list_.IsEditing());
    EXPECT_FALSE(edit->IsWindowVisible());
    ASSERT_EQ(1u, host_.Count(WM_EDITLIST_NAMECHANGED));
    EXPECT_EQ((LPARAM)rec, host_.Last(WM_EDITLIST_NAMECHANGED).lParam);
}

TEST_F(EditListTest, FrequencyInputIsCheckedAsItIsTyped)
{
    ts::MessageBoxRecorder boxes;
    ASSERT_EQ(1, BeginEdit(list_, 0, 4));
    CCellEdit* edit = list_.GetEditor();
    EXPECT_TRUE(edit->IsNumeric());
    edit->SetWindowText("");
    Type(edit->m_hWnd, "12a");
    ASSERT_EQ(1u, boxes.Calls().size());
    EXPECT_EQ(std::string("输入字符错误!"), boxes.Calls()[0].text);
    EXPECT_EQ(std::string("错误"), boxes.Calls()[0].caption);
    CString text;
    edit->GetWindowText(text);
    EXPECT_EQ("12", std::string(text));
    int from = -1, to = -1;
    edit->GetSel(from, to);
    EXPECT_EQ(1, from) << "the caret stands before the 2";

    // A pasted text: the leading point goes, the first point after a digit stays.
    edit->SetSel(0, -1);
    edit->ReplaceSel(".5.5");
    edit->GetWindowText(text);
    EXPECT_EQ("5.5", std::string(text));
    EXPECT_EQ(2u, boxes.Calls().size());

    // Enter on an empty text commits nothing but a zero frequency.
    edit->SetWindowText("");
    PressKey(edit->m_hWnd, VK_RETURN);
    ChannelRecord* rec = g_pChannelStore->GetChannelPtr(1, 1);
    EXPECT_EQ(0.0f, rec->fFrequency);
    EXPECT_EQ("0.00", std::string(list_.GetItemText(0, 4)));
    EXPECT_FALSE(edit->IsNumeric());
    EXPECT_EQ(1u, host_.Count(WM_EDITLIST_FREQCHANGED));
    EXPECT_EQ(2u, boxes.Calls().size());

    EXPECT_TRUE(IsValidFrequencyText("101.25"));
    EXPECT_FALSE(IsValidFrequencyText(".5"));
    EXPECT_FALSE(IsValidFrequencyText("1.2.3"));
    EXPECT_EQ("12.3", std::string(CleanFrequencyText("1x2.3.")));
}

// While the box about a bad frequency is up, the program's main, video and
// schedule windows take no input; afterwards all three do again.
HWND g_heldMain, g_heldVideo, g_heldSchedule;
std::vector<int> g_enabledDuringBox;
int RecordHeldWindows(HWND, LPCSTR, LPCSTR, UINT)
{
    for (HWND h : {g_heldMain, g_heldVideo, g_heldSchedule})
        g_enabledDuringBox.push_back(IsWindowEnabled(h) ? 1 : 0);
    return IDOK;
}

TEST_F(EditListTest, TheBadFrequencyBoxHoldsTheProgramsWindowsOff)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "Orvix Plus";  // the video window's class
    RegisterClassA(&wc);
    g_heldMain = CreateWindowA("STATIC", "main", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    g_heldVideo = CreateWindowA("Orvix Plus", "KESTOR ORVIX", WS_POPUP, 0, 0, 10, 10, NULL, NULL,
                                NULL, NULL);
    g_heldSchedule = CreateWindowA("STATIC", "schedule", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL,
                                   NULL);
    SetScheduleMainWindowLocator([] { return g_heldMain; });
    SetScheduleWindowLocator([] { return g_heldSchedule; });
    g_enabledDuringBox.clear();
    FwMessageBoxHook previous = FwSetMessageBoxHook(RecordHeldWindows);

    ASSERT_EQ(1, BeginEdit(list_, 0, 4));
    CCellEdit* edit = list_.GetEditor();
    edit->SetWindowText("");
    Type(edit->m_hWnd, "7x");

    FwSetMessageBoxHook(previous);
    SetScheduleMainWindowLocator(NULL);
    SetScheduleWindowLocator(NULL);
    EXPECT_EQ((std::vector<int>{0, 0, 0}), g_enabledDuringBox);
    EXPECT_TRUE(IsWindowEnabled(g_heldMain));
    EXPECT_TRUE(IsWindowEnabled(g_heldVideo));
    EXPECT_TRUE(IsWindowEnabled(g_heldSchedule));
    // A window that was already disabled stays so.
    EnableWindow(g_heldSchedule, FALSE);
    SetScheduleWindowLocator([] { return g_heldSchedule; });
    previous = FwSetMessageBoxHook(RecordHeldWindows);
    Type(edit->m_hWnd, "y");
    FwSetMessageBoxHook(previous);
    SetScheduleWindowLocator(NULL);
    EXPECT_FALSE(IsWindowEnabled(g_heldSchedule));
    for (HWND h : {g_heldMain, g_heldVideo, g_heldSchedule})
        DestroyWindow(h);
}

TEST_F(EditListTest, MovingChannelFiveToTheTopKeepsNumbersAndRetunesIt)
{
    g_pAppState = new CAppState;
    g_pTunedChannel = new ChannelRecord(*g_pChannelStore->GetChannelPtr(5, 1));
    ChannelRecord* five = g_pChannelStore->GetChannelPtr(5, 1);
    Click(CellPoint(list_, 4, 2));
    ASSERT_EQ(4, list_.GetCurrentRow());
    EXPECT_TRUE(list_.SendMessage(WM_EDITLIST_MOVETOP));

    EXPECT_EQ("1", std::string(list_.GetItemText(0, 2)));
    EXPECT_EQ("Channel5", std::string(list_.GetItemText(0, 3)));
    EXPECT_EQ("105.00", std::string(list_.GetItemText(0, 4)));
    for (int row = 1; row <= 4; ++row) {
        EXPECT_EQ(std::to_string(row + 1), std::string(list_.GetItemText(row, 2)));
        EXPECT_EQ("Channel" + std::to_string(row), std::string(list_.GetItemText(row, 3)));
        ChannelRecord* rec = list_.GetRecord(row);
        EXPECT_EQ(row + 1, rec->nNumber);
        EXPECT_EQ(rec, g_pChannelStore->GetChannelPtr(row + 1, 1)) << "filed under its new number";
    }
    EXPECT_EQ(five, list_.GetRecord(0));
    EXPECT_EQ(1, five->nNumber);
    EXPECT_EQ(five, g_pChannelStore->GetChannelPtr(1, 1));
    EXPECT_EQ(12, g_pChannelStore->GetCount(1));
    EXPECT_EQ(0, list_.GetCurrentRow());
    EXPECT_TRUE(list_.GetItemState(0, LVIS_SELECTED) & LVIS_SELECTED);
    // Still the same picture, under its new number.
    EXPECT_EQ(1, g_pTunedChannel->nNumber);
    EXPECT_STREQ("Channel5", g_pTunedChannel->szName);
    EXPECT_EQ("osd=Channel5 1", tuner_.last);

    EXPECT_FALSE(list_.MoveUp(0, 1)) << "row 0 cannot go up";
    EXPECT_EQ(five, list_.GetRecord(0));
    EXPECT_TRUE(list_.MoveDown(9, 0));
    EXPECT_TRUE(list_.SendMessage(WM_EDITLIST_MOVEBOTTOM));
    EXPECT_EQ(five, list_.GetRecord(9));
    EXPECT_EQ(10, five->nNumber);
    delete g_pAppState;
    g_pAppState = NULL;
}

TEST_F(EditListTest, EditsNeverLandInAnotherRecord)
{
    // A begin-edit that fails leaves the list idle: nothing to commit later.
    ASSERT_EQ(1, BeginEdit(list_, 1, 3));
    list_.GetEditor()->SetWindowText("Typed");
    EXPECT_EQ(0, BeginEdit(list_, 40, 3));
    EXPECT_STREQ("Typed", g_pChannelStore->GetChannelPtr(2, 1)->szName) << "the open edit was ended first";
    EXPECT_FALSE(list_.IsEditing());
    EXPECT_EQ(0, list_.SendMessage(WM_EDITLIST_ENDEDIT));
    EXPECT_EQ(0, BeginEdit(list_, -1, 3));
    EXPECT_FALSE(list_.IsEditing());

    // Rows inserted above: the text still reaches the edited record.
    ASSERT_EQ(1, BeginEdit(list_, 2, 3));
    ChannelRecord extra = {};
    MakeChannelRecord(&extra, 77, 0, 1);
    list_.AddChannelRow(0, &extra);
    list_.GetEditor()->SetWindowText("Moved");
    EXPECT_EQ(1, list_.SendMessage(WM_EDITLIST_ENDEDIT));
    EXPECT_STREQ("Moved", g_pChannelStore->GetChannelPtr(3, 1)->szName);
    EXPECT_STREQ("Channel77", extra.szName);
    EXPECT_EQ("Moved", std::string(list_.GetItemText(3, 3)));
    list_.DeleteItem(0);

    // A refill during the edit ends it unwritten.
    ASSERT_EQ(1, BeginEdit(list_, 4, 3));
    list_.GetEditor()->SetWindowText("Lost");
    list_.DeleteAllItems();
    EXPECT_FALSE(list_.IsEditing());
    EXPECT_FALSE(list_.GetEditor()->IsWindowVisible());
    Fill(list_, 10);
    EXPECT_EQ(0, list_.SendMessage(WM_EDITLIST_ENDEDIT));
    for (int n = 1; n <= 10; ++n)
        EXPECT_STRNE("Lost", g_pChannelStore->GetChannelPtr(n, 1)->szName);
    // So does deleting the edited row.
    ASSERT_EQ(1, BeginEdit(list_, 5, 3));
    list_.DeleteItem(5);
    EXPECT_FALSE(list_.IsEditing());

    // The 32-byte name is cut on a whole character.
    std::string name = std::string(30, 'a') + "中";  // two bytes, one beyond the field
    ASSERT_TRUE(list_.SetCellText(0, 3, name.c_str()));
    EXPECT_EQ(std::string(30, 'a'), std::string(list_.GetRecord(0)->szName));
    EXPECT_FALSE(list_.SetCellText(0, 2, "9"));
}

TEST_F(EditListTest, TheNumberColumnAsksTheSettingsWindowToTuneOnlyRowsWithARecord)
{
    CSkinCtrlMap map;
    map.SetOwner(host_.m_hWnd);
    g_pSkinCtrlMap = &map;
    list_.AddChannelRow(10, NULL);
    for (int row : { 7, 10 }) {
        CPoint pt = CellPoint(list_, row, 2);
        list_.ScreenToClient(&pt);
        list_.EnsureVisible(row, FALSE);
        pt = CellPoint(list_, row, 2);
        list_.ScreenToClient(&pt);
        list_.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
        list_.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
        list_.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
        list_.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
        ts::PumpFor(30);
    }
    g_pSkinCtrlMap = NULL;
    ASSERT_EQ(1u, host_.Count(WM_EDITLIST_TUNEROW));
    EXPECT_EQ(7u, (UINT)host_.Last(WM_EDITLIST_TUNEROW).wParam);
    EXPECT_FALSE(list_.IsEditing());
}

TEST_F(EditListTest, CellsAreDrawnWhiteGradedOrFramed)
{
    const COLORREF frameEdge = RGB(200, 30, 30), frameInside = RGB(30, 200, 30), back = RGB(40, 40, 220);
    HBITMAP frame = skintest::MakeBitmap(54, 54, [&](int x, int y) {
        return x < 3 || y < 3 || x >= 51 || y >= 51 ? frameEdge : frameInside;
    });
    HBITMAP backBmp = skintest::SolidBitmap(54, 54, back);
    HBITMAP src[6] = { frame, backBmp, NULL, NULL, NULL, NULL };
    RECT rcs[6] = { { 0, 0, 54, 54 }, { 0, 0, 54, 54 }, {}, {}, {}, {} };
    list_.SetBitmaps(src, rcs);
    list_.SetRectA(CRect(0, 0, 54, 54));
    list_.SetRectB(CRect(3, 3, 3, 3));
    DeleteObject(frame);
    DeleteObject(backBmp);

    Click(CellPoint(list_, 3, 3));
    ts::PumpFor(100);
    list_.UpdateWindow();
    auto cell = [&](int row, int col) {
        CRect rc;
        list_.GetSubItemRect(row, col, LVIR_BOUNDS, rc);
        if (col == 0)
            rc.right = rc.left + list_.GetColumnWidth(0);
        list_.ClientToScreen(&rc);
        return rc;
    };
    // Unselected: white with the light border.
    CRect plain = cell(1, 0);
    EXPECT_EQ(0xffffffu, skintest::ScreenPixel(plain.left + 3, plain.top + 3));
    EXPECT_EQ(skintest::Rgb(0xc0d3dc), skintest::ScreenPixel(plain.left, plain.top + 3));
    // Selected, not the current cell: white at the top down to tan at the bottom.
    CRect graded = cell(3, 0);
    DWORD top = skintest::ScreenPixel(graded.left + 3, graded.top + 1);
    DWORD bottom = skintest::ScreenPixel(graded.left + 3, graded.bottom - 2);
    EXPECT_GE(top & 0xff, 0xf0u);
    EXPECT_NEAR((int)((bottom >> 16) & 0xff), 0xe0, 12);
    EXPECT_NEAR((int)((bottom >> 8) & 0xff), 0xcb, 12);
    EXPECT_NEAR((int)(bottom & 0xff), 0x92, 12);
    // The current cell: the frame image around the background's centre.
    CRect framed = cell(3, 3);
    EXPECT_EQ(skintest::Rgb(frameEdge), skintest::ScreenPixel(framed.left + 1, framed.top + 1));
    EXPECT_EQ(skintest::Rgb(back), skintest::ScreenPixel(framed.left + 5, framed.top + 5));
}

// With image marks on, the mark part is stretched to 14 x 14 and clipped to
// its shape (0xced7d6 stays see-through), the tick part drawn at its own size.
TEST_F(EditListTest, ImageMarksComeFromTheirPartsClippedToTheirShape)
{
    const COLORREF see = 0xced7d6, ink = RGB(220, 20, 20), tickInk = RGB(20, 20, 220);
    HBITMAP mark = skintest::MakeBitmap(7, 7, [&](int x, int y) { return x == 3 || y == 3 ? ink : see; });
    HBITMAP tick = skintest::SolidBitmap(8, 6, tickInk);
    HBITMAP src[6] = { NULL, NULL, NULL, tick, NULL, mark };
    RECT rcs[6] = { {}, {}, {}, { 0, 0, 8, 6 }, {}, { 0, 0, 7, 7 } };
    list_.SetBitmaps(src, rcs);
    DeleteObject(mark);
    DeleteObject(tick);
    ASSERT_TRUE(list_.SetMark(1, TRUE));
    list_.GetRecord(1)->nFlag = 1;
    auto centre = [&](int col) {
        CRect rc;
        list_.GetSubItemRect(1, col, LVIR_BOUNDS, rc);
        if (col == 0)
            rc.right = rc.left + list_.GetColumnWidth(0);
        list_.ClientToScreen(&rc);
        return rc.CenterPoint();
    };
    list_.SetImageMarks(TRUE);
    list_.Invalidate();
    list_.UpdateWindow();
    // What was drawn reaches the screen once the thread waits for messages.
    ts::PumpFor(50);
    CPoint m = centre(0), t = centre(1);
    // The 14 x 14 box starts (cell - 14) / 2 in: its centre is the cross's.
    EXPECT_EQ(skintest::Rgb(ink), skintest::ScreenPixel(m.x, m.y));
    EXPECT_EQ(0xffffffu, skintest::ScreenPixel(m.x - 5, m.y - 5)) << "see-through corner";
    EXPECT_EQ(skintest::Rgb(tickInk), skintest::ScreenPixel(t.x, t.y));
    EXPECT_EQ(0xffffffu, skintest::ScreenPixel(t.x - 6, t.y)) << "the tick keeps its own width";

    // Lines again: the black cross of 6 x 6 has no red in it.
    list_.SetImageMarks(FALSE);
    list_.Invalidate();
    list_.UpdateWindow();
    ts::PumpFor(50);
    EXPECT_NE(skintest::Rgb(ink), skintest::ScreenPixel(m.x, m.y));
    EXPECT_NE(skintest::Rgb(tickInk), skintest::ScreenPixel(t.x, t.y));
}

TEST_F(EditListTest, ArrowKeysWalkTheColumnsAndStopAtTheEnds)
{
    Click(CellPoint(list_, 2, 3));
    ASSERT_EQ(3, list_.GetCurrentColumn());
    list_.SetFocus();
    for (int i = 0; i < 3; ++i)
        PressKey(list_.m_hWnd, VK_RIGHT);
    EXPECT_EQ(4, list_.GetCurrentColumn()) << "the last column is as far as it goes";
    PressKey(list_.m_hWnd, VK_LEFT);
    EXPECT_EQ(3, list_.GetCurrentColumn());
    // Enter on a name cell opens the editor on it.
    PressKey(list_.m_hWnd, VK_RETURN);
    EXPECT_TRUE(list_.IsEditing());
    EXPECT_EQ(2, list_.GetEditRow());
    EXPECT_EQ(3, list_.GetEditColumn());
}
