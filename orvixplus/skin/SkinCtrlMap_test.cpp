// The control registry over real skinned controls, and the skinned combo box:
// its text search, its face in each pointer state and its list items, drawn
// into memory contexts from solid-colour parts.
#include <gtest/gtest.h>
#include "SkinCtrlMap.h"
#include "SkinComboBox.h"
#include "SkinButtons.h"
#include "SkinLabels.h"
#include "SkinSlider.h"
#include "SkinTestUtil.h"

namespace {

class CPanel : public CWnd {
public:
    BOOL CreatePanel()
    {
        LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursor(NULL, IDC_ARROW));
        return CreateEx(0, cls, "skin registry", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40, 400, 300,
                        NULL, NULL);
    }
};

class SkinCtrlMapTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(panel_.CreatePanel()); }
    void TearDown() override { panel_.DestroyWindow(); }
    CPanel panel_;
};

TEST_F(SkinCtrlMapTest, KindsAreKeptApartAndReplacementKeepsTheCount)
{
    CSkinCtrlMap map;
    CSkinLabel label1, label2;
    CSkinCheckButton check;
    EXPECT_EQ(0, map.AddLabel(4133, NULL));
    EXPECT_EQ(0, map.GetCount(1));
    EXPECT_EQ(1, map.AddLabel(4133, &label1));
    EXPECT_EQ(1, map.AddLabel(4133, &label2));
    EXPECT_EQ(1, map.GetCount(1));
    // One bucket: (4133 >> 4) % 17 == (4405 >> 4) % 17.
    ASSERT_EQ((4133u >> 4) % 17, (4405u >> 4) % 17);
    EXPECT_EQ(1, map.AddCheck(4405, &check));
    EXPECT_EQ(1, map.AddCheck(4133, &check));
    EXPECT_EQ(2, map.GetCount(2));
    EXPECT_EQ(1, map.GetCount(1));
    // A check id means nothing to the label table and the other way round.
    EXPECT_EQ(0, map.SetLabelText(4405, "x"));
    EXPECT_EQ(0, map.SetToggleState(4133, 1));
    EXPECT_EQ(-1, map.FindComboString(4133, "x"));
    EXPECT_EQ(0, map.SetComboSel(4133, 0));
    EXPECT_TRUE(map.GetChannelList(4133) == NULL);
    int lo = 7, hi = 8;
    EXPECT_EQ(0, map.GetTrackBarRange(4133, lo, hi));
    EXPECT_EQ(7, lo);
    EXPECT_EQ(8, hi);

    map.SetOwner((HWND)(LONG_PTR)0x12345678);
    EXPECT_TRUE(map.GetOwner() == NULL);
    map.SetOwner(panel_.m_hWnd);
    EXPECT_EQ(panel_.m_hWnd, map.GetOwner());
}

TEST_F(SkinCtrlMapTest, SettersMoveTheRealControls)
{
    CSkinCtrlMap map;
    CSkinLabel label;
    CEllipsisLabel ellipsis;
    CSkinCheckButton check;
    CImageToggle toggle;
    CSkinTrackBar track;
    CSkinSlider slider;
    CSkinComboBox combo;
    ASSERT_TRUE(label.Create("", WS_CHILD | WS_VISIBLE, CRect(0, 0, 80, 20), &panel_, 4101));
    ASSERT_TRUE(ellipsis.Create("", WS_CHILD | WS_VISIBLE, CRect(0, 30, 80, 50), &panel_, 4102));
    ASSERT_TRUE(check.Create("c", WS_CHILD | WS_VISIBLE, CRect(0, 60, 80, 80), &panel_, 4103));
    ASSERT_TRUE(toggle.Create("t", WS_CHILD | WS_VISIBLE, CRect(0, 90, 80, 110), &panel_, 4104));
    ASSERT_TRUE(track.Create("", WS_CHILD | WS_VISIBLE, CRect(100, 0, 300, 20), &panel_, 4105));
    ASSERT_TRUE(slider.Create("", WS_CHILD | WS_VISIBLE, CRect(100, 30, 300, 50), &panel_, 4106));
    ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, CRect(100, 60, 300, 260),
                             &panel_, 4227));
    track.SetRange(0, 100, FALSE);
    slider.SetRange(0, 50, FALSE);
    EXPECT_EQ(1, map.AddLabel(4101, &label));
    EXPECT_EQ(1, map.AddEllipsisLabel(4102, &ellipsis));
    EXPECT_EQ(1, map.AddCheck(4103, &check));
    EXPECT_EQ(1, map.AddToggle(4104, &toggle));
    EXPECT_EQ(1, map.AddTrackBar(4105, &track));
    EXPECT_EQ(1, map.AddSlider(4106, &slider));
    EXPECT_EQ(1, map.AddCombo(4227, &combo));

    EXPECT_EQ(1, map.SetLabelNumber(4101, -42));
    EXPECT_STREQ("-42", label.GetText());
    EXPECT_EQ(1, map.SetEllipsisLabelText(4102, "PAL-D"));
    EXPECT_STREQ("PAL-D", ellipsis.GetText());
    EXPECT_EQ(1, map.SetCheck(4103, TRUE));
    EXPECT_TRUE(check.GetCheck());
    EXPECT_EQ(1, map.SetToggleState(4104, 1));
    EXPECT_EQ(1, toggle.GetState());
    EXPECT_EQ(1, map.SetTrackBarPos(4105, 250));
    EXPECT_EQ(100, track.GetPos());
    int lo = -1, hi = -1, saved = -1;
    EXPECT_EQ(1, map.GetTrackBarRange(4105, lo, hi));
    EXPECT_EQ(0, lo);
    EXPECT_EQ(100, hi);
    EXPECT_EQ(1, map.SetTrackBarSavedPos(4105, 30));
    EXPECT_EQ(1, map.GetTrackBarSavedPos(4105, saved));
    EXPECT_EQ(30, saved);
    EXPECT_EQ(1, map.SetSliderPos(4106, 20));
    EXPECT_EQ(20, slider.GetPos());

    EXPECT_EQ(1, map.AddComboString(4227, "PAL"));
    EXPECT_EQ(1, map.AddComboString(4227, "NTSC"));
    EXPECT_EQ(2, combo.GetCount());
    EXPECT_EQ(1, map.FindComboString(4227, "ntsc"));
    EXPECT_EQ(-1, map.FindComboString(4227, "SECAM"));
    EXPECT_EQ(0, map.SetComboSel(4227, -1));
    EXPECT_EQ(1, map.SetComboSel(4227, 1));
    EXPECT_EQ(1, combo.GetCurSel());
    CString text = "kept";
    EXPECT_EQ(1, map.GetComboItemText(4227, 0, text));
    EXPECT_STREQ("PAL", text);
    text = "kept";
    EXPECT_EQ(1, map.GetComboItemText(4227, 2, text));
    EXPECT_STREQ("kept", text);
}

TEST(SkinComboText, CaseFoldsOnlyOutsideTwoByteCharacters)
{
    CStringArray texts;
    texts.Add(CString("\x81\x61z"));
    texts.Add(CString("Composite"));
    texts.Add(CString("\x81\x41Z"));
    EXPECT_EQ(1, FindTextNoCase(texts, "COMPOSITE"));
    // The trail byte 0x41 is not the letter A.
    EXPECT_EQ(2, FindTextNoCase(texts, "\x81\x41z"));
    EXPECT_EQ(0, FindTextNoCase(texts, "\x81\x61Z"));
    EXPECT_EQ(-1, FindTextNoCase(texts, "Composit"));
    EXPECT_EQ(-1, FindTextNoCase(texts, NULL));
}

const COLORREF kButton = RGB(200, 0, 0), kHover = RGB(0, 200, 0), kPressed = RGB(0, 0, 200),
               kDisabled = RGB(90, 90, 90), kFocusFrame = RGB(250, 150, 0), kFrame = RGB(0, 120, 120),
               kSelection = RGB(230, 230, 120);

class SkinComboFaceTest : public SkinCtrlMapTest {
protected:
    void SetUp() override
    {
        SkinCtrlMapTest::SetUp();
        // Part 1's top-left quarter is white: cut away from every button image.
        HBITMAP button = skintest::MakeBitmap(16, 16, [](int x, int y) {
            return x < 8 && y < 8 ? RGB(255, 255, 255) : kButton;
        });
        HBITMAP src[7] = { button, skintest::SolidBitmap(16, 16, kHover), skintest::SolidBitmap(16, 16, kPressed),
                           skintest::SolidBitmap(16, 16, kDisabled), skintest::SolidBitmap(12, 12, kFocusFrame),
                           skintest::SolidBitmap(12, 12, kFrame), skintest::SolidBitmap(12, 12, kSelection) };
        RECT rects[7];
        for (int i = 0; i < 7; ++i) {
            BITMAP bm;
            GetObject(src[i], sizeof(bm), &bm);
            rects[i] = CRect(0, 0, bm.bmWidth, bm.bmHeight);
        }
        ASSERT_TRUE(combo_.Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, CRect(10, 10, 210, 210),
                                  &panel_, 4228));
        combo_.SetBitmaps(src, rects);
        for (HBITMAP h : src)
            DeleteObject(h);
        combo_.SetRectA(CRect(0, 0, 12, 12));
        combo_.SetRectB(CRect(2, 2, 2, 2));
        combo_.SetRectC(CRect(0, 0, 12, 12));
        combo_.SetRectD(CRect(2, 2, 2, 2));
        combo_.AddString("PAL");
        combo_.AddString("NTSC");
        ts::PumpFor(30);
    }
    void TearDown() override
    {
        combo_.DestroyWindow();
        SkinCtrlMapTest::TearDown();
    }
    // The face as the combo paints it, into a memory context.
    COLORREF FaceAt(skintest::Surface& s, int x, int y)
    {
        combo_.SendMessage(WM_ERASEBKGND, (WPARAM)s.dc());
        return s.At(x, y);
    }
    int CountColour(skintest::Surface& s, const CRect& r, COLORREF c)
    {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += s.At(x, y) == c;
        return n;
    }
    CSkinComboBox combo_;
};

TEST_F(SkinComboFaceTest, ButtonImageFollowsThePointerAndTheWindowState)
{
    CRect rc;
    combo_.GetClientRect(&rc);
    skintest::Surface s(rc.Width(), rc.Height(), RGB(1, 2, 3));
    CRect b = combo_.ButtonRect();
    ASSERT_GT(b.Width(), 8);
    CPoint centre(b.right - 3, b.bottom - 3);
    EXPECT_EQ(kButton, FaceAt(s, centre.x, centre.y));
    EXPECT_NE(kButton, FaceAt(s, b.left, b.top));

    combo_.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(centre.x, centre.y));
    EXPECT_TRUE(combo_.IsOverButton());
    EXPECT_EQ(kHover, FaceAt(s, centre.x, centre.y));
    // The white of part 1 clips every state's image.
    EXPECT_NE(kHover, FaceAt(s, b.left, b.top));

    combo_.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(centre.x, centre.y));
    EXPECT_TRUE(combo_.IsButtonPressed());
    EXPECT_EQ(kPressed, FaceAt(s, centre.x, centre.y));
    combo_.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(centre.x, centre.y));
    combo_.ShowDropDown(FALSE);
    EXPECT_FALSE(combo_.IsButtonPressed());
    EXPECT_EQ(kHover, FaceAt(s, centre.x, centre.y));

    combo_.EnableWindow(FALSE);
    EXPECT_EQ(kDisabled, FaceAt(s, centre.x, centre.y));
    combo_.EnableWindow(TRUE);
    // The hover ends when the timer finds the cursor elsewhere.
    SetCursorPos(0, 0);
    ts::PumpFor(250);
    EXPECT_FALSE(combo_.IsOverButton());
}

TEST_F(SkinComboFaceTest, TextOnlyWithASelection)
{
    CRect rc;
    combo_.GetClientRect(&rc);
    skintest::Surface s(rc.Width(), rc.Height(), RGB(1, 2, 3));
    CRect b = combo_.ButtonRect();
    CRect text(rc.left + 3, rc.top + 2, b.left - 1, b.bottom);
    combo_.SetFocus();
    FaceAt(s, 0, 0);
    EXPECT_EQ(0, CountColour(s, text, RGB(0, 0, 255)));
    EXPECT_GT(CountColour(s, text, kSelection), 0);
    combo_.SetCurSel(1);
    FaceAt(s, 0, 0);
    // Focused: the text is blue.
    EXPECT_GT(CountColour(s, text, RGB(0, 0, 255)), 0);
}

TEST_F(SkinComboFaceTest, SelectedListItemOnTheSelectionBackground)
{
    skintest::Surface s(120, 20, RGB(255, 255, 255));
    SetBkColor(s.dc(), RGB(255, 255, 255));
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_COMBOBOX;
    dis.hDC = s.dc();
    dis.rcItem = CRect(0, 0, 120, 20);
    dis.itemID = 0;
    dis.itemState = ODS_SELECTED;
    combo_.DrawItem(&dis);
    EXPECT_EQ(kFocusFrame, s.At(0, 0));
    EXPECT_EQ(kSelection, s.At(4, 4));
    EXPECT_GT(CountColour(s, CRect(0, 0, 120, 20), RGB(0, 0, 255)), 0);

    dis.itemState = 0;
    dis.itemID = 1;
    combo_.DrawItem(&dis);
    EXPECT_EQ(RGB(255, 255, 255), s.At(4, 4));
    EXPECT_EQ(0, CountColour(s, CRect(0, 0, 120, 20), RGB(0, 0, 255)));
    EXPECT_GT(CountColour(s, CRect(0, 0, 120, 20), RGB(0, 0, 0)), 0);
    // The empty list's item writes nothing.
    skintest::Surface e(120, 20, RGB(255, 255, 255));
    dis.hDC = e.dc();
    dis.itemID = (UINT)-1;
    combo_.DrawItem(&dis);
    EXPECT_EQ(0, CountColour(e, CRect(0, 0, 120, 20), RGB(0, 0, 0)));
}

}  // namespace
