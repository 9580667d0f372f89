// Pairing the remote through the Remote ID dialog against the simulated card,
// and the themed controls of Timewarden's dialogs on real windows.
#include <gtest/gtest.h>
#include <objbase.h>
#include <commctrl.h>
#include <algorithm>
#include "CardState.h"
#include "RemoteId.h"
#include "Seams.h"
#include "SkinScreen.h"
#include "ThemeControls.h"

namespace {

const BOOL g_ownCard = SetEnvironmentVariableA("ORVIX_CARD", "timewarden_theme_test");

std::vector<std::string> g_boxes;
int RecordBox(HWND, LPCSTR text, LPCSTR, UINT flags)
{
    g_boxes.push_back(text);
    return FwDefaultAnswer(flags);
}

bool LogHas(const std::string& line)
{
    std::vector<std::string> log = CardLogLines();
    return std::find_if(log.begin(), log.end(), [&](const std::string& l) { return l.find(line) == 0; }) != log.end();
}

std::string FieldText(CWnd& dlg)
{
    char text[64] = "";
    dlg.GetDlgItemText(IDC_REMOTE_ID_FIELD, text, sizeof(text));
    return text;
}

class RemoteIdTest : public testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(NULL);
        CardReset();
        CardClearLog();
        g_boxes.clear();
        previous_ = FwSetMessageBoxHook(RecordBox);
        ini_ = ts::FreshTempDir("remote-id") + "remote.ini";
        ASSERT_TRUE(dlg_.Create(IDD_REMOTE_ID, NULL));
        dlg_.SetIniPath(ini_.c_str());
        dlg_.SetWindowPos(&CWnd::wndTopMost, 100, 100, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        SetForegroundWindow(dlg_.m_hWnd);
        ts::PumpFor(150);
    }
    void TearDown() override
    {
        dlg_.DestroyWindow();
        FwSetMessageBoxHook(previous_);
        CoUninitialize();
    }
    int IniValue(const char* key) { return (int)GetPrivateProfileIntA("CODE", key, -1, ini_.c_str()); }

    std::string ini_;
    CRemoteIdDlg dlg_;
    FwMessageBoxHook previous_ = NULL;
};

TEST_F(RemoteIdTest, PairingShowsAndStoresTheLearntId)
{
    CardLearnRemote(0x0A, 0x05);
    dlg_.SendMessage(WM_COMMAND, IDC_REMOTE_PAIR, 0);
    EXPECT_EQ("A5", FieldText(dlg_));
    EXPECT_EQ(10, IniValue("0"));
    EXPECT_EQ(5, IniValue("1"));
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(RemoteIdTest, NoRemoteLearntAsksForTheSetButtonAndStartsPairing)
{
    dlg_.OnPair();
    ASSERT_EQ(1u, g_boxes.size());
    EXPECT_EQ(REMOTE_PAIR_ERROR_TEXT, g_boxes[0]);
    EXPECT_TRUE(LogHas("I2CWrite C0: 12 00 00 C1"));
    EXPECT_EQ(-1, IniValue("0"));
}

TEST_F(RemoteIdTest, WithoutACardTheFileKeepsTheRealId)
{
    WriteRemoteIni(ini_.c_str(), 18, 171);
    CardSetDeviceCount(0);
    dlg_.OnPair();
    EXPECT_EQ("FFFF", FieldText(dlg_));
    EXPECT_EQ(18, IniValue("0"));
    EXPECT_EQ(171, IniValue("1"));
    BYTE id = 0;
    EXPECT_FALSE(ReadRemoteId(&id));
    EXPECT_EQ(0xFF, id);
    EXPECT_FALSE(WriteRemoteId(1, 2, kRemoteSetId));
}

TEST_F(RemoteIdTest, TheFilesBytesAreKeptModulo256)
{
    WritePrivateProfileStringA("CODE", "0", "274", ini_.c_str());
    WritePrivateProfileStringA("CODE", "1", "171", ini_.c_str());
    BYTE a = 0, b = 0;
    ReadRemoteIni(ini_.c_str(), &a, &b);
    EXPECT_EQ(18, a);
    EXPECT_EQ(171, b);
    ASSERT_TRUE(WriteRemoteId(a, b, kRemoteSetId));
    EXPECT_TRUE(LogHas("I2CWrite C0: 12 12 AB CD"));
    // A missing file gives 0, 0.
    ReadRemoteIni((ini_ + ".none").c_str(), &a, &b);
    EXPECT_EQ(0, a + b);
}

TEST_F(RemoteIdTest, TheDialogFindsItsThemeFromAnyFolder)
{
    // Made while the current folder is elsewhere, as at logon.
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA("C:\\");
    CRemoteIdDlg other;
    ASSERT_TRUE(other.Create(IDD_REMOTE_ID, NULL));
    SetCurrentDirectoryA(previous);
    EXPECT_EQ(0, other.GetStyle() & WS_SYSMENU);
    other.DestroyWindow();
}

// --- the hexadecimal field ----------------------------------------------------------

TEST_F(RemoteIdTest, HexFieldDropsWhatIsNotHexAndCutsWhatIsTooLong)
{
    HWND edit = dlg_.GetDlgItem(IDC_REMOTE_ID_FIELD)->m_hWnd;
    SetFocus(edit);
    for (char c : std::string("12G4"))
        SendMessageA(edit, WM_CHAR, c, 1);
    EXPECT_EQ("124", FieldText(dlg_));
    ASSERT_EQ(1u, g_boxes.size());
    EXPECT_EQ(HEX_EDIT_NOT_HEX, g_boxes[0]);

    g_boxes.clear();
    SetWindowTextA(edit, "");
    g_boxes.clear();
    SendMessageA(edit, EM_REPLACESEL, FALSE, (LPARAM) "89abcdef");
    EXPECT_EQ("89ABCD", FieldText(dlg_));
    ASSERT_EQ(1u, g_boxes.size());
    EXPECT_EQ(HEX_EDIT_TOO_LONG, g_boxes[0]);
    EXPECT_EQ(6, CountHexDigits("a0B9fF-"));
}

// --- buttons under the pointer ---------------------------------------------------------

TEST_F(RemoteIdTest, ButtonsShowTheirHoverAndPressedBitmaps)
{
    CWnd* button = dlg_.GetDlgItem(IDC_REMOTE_PAIR);
    ts::PumpFor(100);
    CRect r;
    button->GetWindowRect(&r);
    EXPECT_EQ(CSize(64, 20), r.Size());
    auto face = [&]() { return skintest::ScreenPixel(r.left + 2, r.top + 3); };
    auto bitmap = [](UINT id) {
        CBitmap b;
        b.LoadBitmap(id);
        return skintest::Rgb(skintest::PixelOf(b, 2, 3));
    };
    ASSERT_NE(bitmap(IDB_BUTTON_NORMAL), bitmap(IDB_BUTTON_HOVER));
    EXPECT_EQ(bitmap(IDB_BUTTON_NORMAL), face());
    SetCursorPos(r.left + 5, r.top + 5);
    button->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ts::PumpFor(150);
    EXPECT_EQ(bitmap(IDB_BUTTON_HOVER), face());
    button->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ts::PumpFor(50);
    EXPECT_EQ(bitmap(IDB_BUTTON_PRESSED), face());
    button->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ts::PumpFor(50);
    EXPECT_EQ(bitmap(IDB_BUTTON_HOVER), face());
    // The pairing ran on the click (no remote: the message).
    EXPECT_EQ(1u, g_boxes.size());
    SetCursorPos(r.left - 100, r.top - 60);
    ts::PumpUntil([&]() { return face() == bitmap(IDB_BUTTON_NORMAL); }, 2000);
    EXPECT_EQ(bitmap(IDB_BUTTON_NORMAL), face());
}

// --- the schedule list ------------------------------------------------------------------

class ThemeListTest : public testing::Test {
protected:
    void SetUp() override
    {
        host_ = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "theme list", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                                60, 420, 400, 260, NULL, NULL, NULL, NULL);
        ASSERT_TRUE(host_);
        ASSERT_TRUE(list_.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 300, 200),
                                 CWnd::FromHandle(host_), 1011));
        list_.InsertColumn(0, "Date", LVCFMT_CENTER, 200);
        list_.InsertColumn(1, "Start", LVCFMT_CENTER, 200);
        static const UINT header[3] = {142, 141, 148}, hbar[4] = {143, 145, 146, 144},
                          vbar[6] = {152, 140, 149, 150, 147, 151};
        ASSERT_TRUE(list_.LoadThemeBitmaps(header, hbar, vbar));
    }
    void TearDown() override { DestroyWindow(host_); }
    void Fill(int rows)
    {
        for (int i = 0; i < rows; i++) {
            CString s;
            s.Format("row %d", i);
            list_.InsertItem(i, s);
        }
        list_.UpdateBars();
    }
    void DragThumbTo(int y)
    {
        CThemeVScrollBar& bar = list_.VerticalBar();
        int from = bar.GetThumb() + 5;
        bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(6, from));
        for (int at = from; at <= y; at += 7)
            bar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(6, at));
        bar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(6, y));
        bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(6, y));
        ts::PumpFor(50);
    }
    HWND host_ = NULL;
    CThemeListCtrl list_;
};

TEST_F(ThemeListTest, BarsBesideTheListAndTheThumbDraggedDownShowsTheLastRow)
{
    CRect v, h;
    list_.VerticalBar().GetWindowRect(&v);
    list_.HorizontalBar().GetWindowRect(&h);
    EXPECT_EQ(12, v.Width());
    EXPECT_EQ(20, h.Height());
    Fill(50);
    CRect bar;
    list_.VerticalBar().GetClientRect(&bar);
    DragThumbTo(bar.Height() - 1);
    CRect last, client;
    list_.GetClientRect(&client);
    ASSERT_TRUE(ListView_GetItemRect(list_.m_hWnd, 49, &last, LVIR_BOUNDS));
    EXPECT_LE(last.bottom, client.bottom);
    EXPECT_GT(last.top, 0);
    // The thumb stays inside the track, at its end.
    EXPECT_LE(list_.VerticalBar().GetThumb() + 26, bar.Height() - 37);
}

TEST_F(ThemeListTest, AShortListHasNothingToScroll)
{
    Fill(3);
    CRect bar;
    list_.VerticalBar().GetClientRect(&bar);
    int before = list_.VerticalBar().GetThumb();
    DragThumbTo(bar.Height() - 1);
    EXPECT_EQ(0, ListView_GetTopIndex(list_.m_hWnd));
    EXPECT_EQ(before, list_.VerticalBar().GetThumb());
    list_.SendMessage(WM_KEYDOWN, VK_END, 0);
    list_.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, -120), 0);
}

}  // namespace
