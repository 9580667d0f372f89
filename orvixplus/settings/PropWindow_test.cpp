// The settings window in-process over real run objects (settings, state,
// channel store of country 86 from Bandatlas, history) with a stand-in for
// the main dialog: the window and its tabs by real clicks, OK / Exit /
// WM_CLOSE, the messages other windows send, the pages' reports, the scan's
// reports, channel-file import and export, and the tuner bytes that fine
// tune and channel edits give the simulated card.
#include <gtest/gtest.h>
#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include "AppMessages.h"
#include "AppSettings.h"
#include "AppState.h"
#include "ChannelHistory.h"
#include "ChannelListCtrl.h"
#include "ChannelStore.h"
#include "FixedText.h"
#include "FolderDialog.h"
#include "Globals.h"
#include "OptionsPanel.h"
#include "PropWindow.h"
#include "RecordPage.h"
#include "SettingsPanel.h"
#include "SkinButtons.h"
#include "SkinCtrlMap.h"
#include "SkinLabels.h"
#include "SkinMessages.h"
#include "SkinListCtrl.h"
#include "SkinScreen.h"
#include "TestSupport.h"
#include "TuningPage.h"
#include "VideoPage.h"
#include "WinApp.h"
#include "CaptureGraph.h"
#include "CardScanHost.h"
#include "SettingsPage.h"
#include "SkinSlider.h"
#include "TvStations.h"

namespace {

const BOOL g_ownCard = SetEnvironmentVariableA("ORVIX_CARD", "orvixplus_settings_test");

// The main dialog's tuner on the simulated card, with or without a graph.
class CCardTuner : public CardScanHost {
public:
    CCardTuner() : CardScanHost(0) {}
    BOOL HasGraph() override { return graph; }
    bool graph = true;
};

// The tuner bytes the card took since the last look.
std::vector<std::string> TunerBytes()
{
    std::vector<std::string> bytes;
    const std::string write = "I2CWrite C0: ";
    for (const std::string& line : CardTakeLogLines())
        if (line.compare(0, write.size(), write) == 0 && line.find("(tuner ") != std::string::npos)
            bytes.push_back(line.substr(write.size(), 11));
    return bytes;
}

std::vector<std::string> TunerBytesFor(double mhz)
{
    return {tv::TunerBytesText(mhz)};
}

// The history's entries for a channel number.
int HistoryEntries(int number)
{
    int n = 0;
    for (int i = 0; i < g_pHistoryList->GetCount(); ++i)
        n += g_pHistoryList->GetAt(i)->channel.nNumber == number;
    return n;
}

// A frequency as the channel list shows it.
std::string MHzText(double mhz)
{
    char text[32];
    snprintf(text, sizeof(text), "%.2f", mhz);
    return text;
}

class CMainStandIn : public CWnd {
public:
    std::vector<std::pair<UINT, WPARAM>> log;
    // The channel each show request named when it came: "<number> <name>".
    std::vector<std::string> shown;
    BOOL CreateIt()
    {
        return CreateEx(0, AfxRegisterWndClass(0), "main stand-in", WS_POPUP, 0, 0, 10, 10, NULL, NULL);
    }
    int Count(UINT message) const
    {
        int n = 0;
        for (auto& m : log)
            n += m.first == message;
        return n;
    }
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message >= WM_USER)
            log.push_back({message, wParam});
        if (message == WM_APP_SHOW_CHANNEL) {
            const ChannelRecord* rec = (const ChannelRecord*)lParam;
            shown.push_back(rec ? std::to_string(rec->nNumber) + " " + rec->szName : "none");
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

std::vector<char> ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

CWinApp* TestApp()
{
    static CWinApp* app = new CWinApp("OrvixPlus");
    return app;
}

class PropWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        CWinApp* app = TestApp();
        ASSERT_TRUE(main_.CreateIt());
        app->m_pMainWnd = &main_;
        dir_ = ts::FreshTempDir("propwnd");
        g_pSettings = new CAppSettings;
        g_pSettings->m_strAppFolder = dir_.c_str();
        g_pSettings->m_nCountryCode = 86;
        g_pSettings->m_nInputSource = 1;
        g_pSettings->m_nTunerList = 1;
        g_pSettings->m_nWindowAspect = 0;
        g_pAppState = new CAppState;
        g_pChannelStore = new CChannelStore;
        g_pChannelStore->FillDefault();
        g_pHistoryList = new CChannelHistory;
        prop_ = new CPropWindow;
        ASSERT_TRUE(prop_->Create(470, 400));
        ASSERT_TRUE(prop_->Initialize((ts::ExeDir() + "skins\\elegance\\skin.ini").c_str()));
        prop_->SetWindowText(std::string("属性页").c_str());
    }
    void TearDown() override
    {
        skintest::KeepActive() = NULL;
        g_pTuningHost = NULL;
        delete prop_;
        prop_ = NULL;
        EXPECT_TRUE(g_pSkinCtrlMap == NULL);
        EXPECT_TRUE(g_pfnAudioLineListener == NULL);
        delete g_pHistoryList;
        delete g_pChannelStore;
        delete g_pAppState;
        delete g_pSettings;
        g_pHistoryList = NULL;
        g_pChannelStore = NULL;
        g_pAppState = NULL;
        g_pSettings = NULL;
        FreeChannelCopies();
        TestApp()->m_pMainWnd = NULL;
        main_.DestroyWindow();
    }
    void ShowAtFront()
    {
        prop_->SetWindowPos(&CWnd::wndTopMost, 100, 60, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        prop_->SetForegroundWindow();
        skintest::KeepActive() = prop_->m_hWnd;
        ts::PumpFor(100);
    }
    // A real click in the middle of a window.
    void Click(HWND hWnd)
    {
        RECT rc;
        ::GetWindowRect(hWnd, &rc);
        skintest::MouseTo(CPoint((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2));
        skintest::MouseButton(true);
        skintest::MouseButton(false);
        ts::PumpFor(50);
    }
    HWND Page(UINT id) const { return ::GetDlgItem(prop_->GetPanel()->m_hWnd, id); }
    CEditListCtrl* List() const { return g_pSkinCtrlMap->GetChannelList(4133); }
    template <class T> T* Control(UINT page, UINT id) const
    {
        return (T*)CWnd::FromHandlePermanent(::GetDlgItem(Page(page), id));
    }
    // The antenna channel on screen as a switch to it leaves it; the card's
    // log starts empty.
    ChannelRecord* Watch(int number)
    {
        g_pTuningHost = &card_;
        if (!g_pCurrentChannel)
            g_pCurrentChannel = new ChannelRecord();
        EXPECT_TRUE(g_pChannelStore->SelectChannelInRange(number, 1, FALSE));
        CardTakeLogLines();
        return g_pChannelStore->GetChannelPtr(number, 1);
    }

    CMainStandIn main_;
    CPropWindow* prop_ = NULL;
    std::string dir_;
    CCardTuner card_;
};

TEST_F(PropWindowTest, IsATopMostWindowOfItsClassWithFiveTabsOverFivePages)
{
    char cls[64] = "";
    GetClassNameA(prop_->m_hWnd, cls, sizeof(cls));
    EXPECT_STREQ("Orvix Plus Prop", cls);
    EXPECT_TRUE(GetWindowLongPtrA(prop_->m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(prop_->IsWindowVisible());
    char text[32] = "";
    GetWindowTextA(prop_->m_hWnd, text, sizeof(text));
    EXPECT_EQ(std::string("属性页"), text);
    ASSERT_TRUE(prop_->GetPanel() != NULL);
    EXPECT_EQ(8000, prop_->GetPanel()->GetDlgCtrlID());
    for (UINT id : {5000u, 5001u, 5002u, 5003u, 5008u})
        EXPECT_TRUE(::GetDlgItem(prop_->GetPanel()->m_hWnd, id) != NULL) << id;
    EXPECT_TRUE(::IsWindowVisible(Page(5004)) || !prop_->IsWindowVisible());
    EXPECT_TRUE(GetWindowLongPtrA(Page(5004), GWL_STYLE) & WS_VISIBLE);
    for (UINT id : {5005u, 5006u, 5007u, 5009u})
        EXPECT_FALSE(GetWindowLongPtrA(Page(id), GWL_STYLE) & WS_VISIBLE) << id;
    RECT page;
    ::GetClientRect(Page(5005), &page);
    EXPECT_EQ(440, page.right);
    EXPECT_EQ(317, page.bottom);
}

TEST_F(PropWindowTest, EachTabShowsOnlyItsPageAndOkExitAndCloseHide)
{
    ShowAtFront();
    RECT client;
    prop_->GetClientRect(&client);
    EXPECT_EQ(470, client.right);
    // The skin frame's own non-client height rounds one pixel off.
    EXPECT_NEAR(400, client.bottom, 1);
    const UINT tabs[5] = {5001, 5002, 5003, 5008, 5000};
    const UINT pages[5] = {5005, 5006, 5007, 5009, 5004};
    for (int i = 0; i < 5; ++i) {
        Click(::GetDlgItem(prop_->GetPanel()->m_hWnd, tabs[i]));
        for (int j = 0; j < 5; ++j)
            EXPECT_EQ(i == j, ::IsWindowVisible(Page(pages[j])) != FALSE) << tabs[i] << " " << pages[j];
        EXPECT_TRUE(prop_->IsWindowVisible()) << tabs[i];
    }
    ts::CaptureToBmp(prop_->m_hWnd, ts::OutputDir() + "settings-device.bmp");
    // The panel's own colour shows below the pages; the page frame's strips
    // come from the frame image.
    CRect rc;
    ::GetWindowRect(prop_->GetPanel()->m_hWnd, &rc);
    EXPECT_EQ(skintest::Rgb(0xEAF0F4), skintest::ScreenPixel(rc.left + 30, rc.top + 345));
    ::GetWindowRect(Page(5004), &rc);
    EXPECT_EQ(skintest::Rgb(RGB(64, 110, 170)), skintest::ScreenPixel(rc.left + 100, rc.top + 1));
    EXPECT_EQ(skintest::Rgb(RGB(64, 110, 170)), skintest::ScreenPixel(rc.left + 1, rc.top + 100));

    HWND ok = ::GetDlgItem(prop_->m_hWnd, CPropWindow::IDC_OK);
    HWND exit = ::GetDlgItem(prop_->m_hWnd, CPropWindow::IDC_EXIT);
    ASSERT_TRUE(ok && exit);
    size_t before = main_.log.size();
    Click(ok);
    EXPECT_FALSE(prop_->IsWindowVisible());
    ShowAtFront();
    Click(exit);
    EXPECT_FALSE(prop_->IsWindowVisible());
    ShowAtFront();
    prop_->SendMessage(WM_CLOSE);
    EXPECT_FALSE(prop_->IsWindowVisible());
    ts::PumpFor(50);
    ASSERT_EQ(before + 3, main_.log.size());
    for (size_t i = before; i < main_.log.size(); ++i) {
        EXPECT_EQ((UINT)WM_APP_PROP_SHOWN, main_.log[i].first);
        EXPECT_EQ(0u, main_.log[i].second);
    }
    // A click of the same id from somewhere else is no click of the button.
    ShowAtFront();
    prop_->SendMessage(WM_COMMAND, MAKEWPARAM(CPropWindow::IDC_OK, BN_CLICKED),
                       (LPARAM)::GetDlgItem(prop_->GetPanel()->m_hWnd, 5008));
    EXPECT_TRUE(prop_->IsWindowVisible());
}

TEST_F(PropWindowTest, OtherWindowsSetTheSizeSourceAndTopMostControls)
{
    CSettingsPanel* panel = prop_->GetPanel();
    HWND size = ::GetDlgItem(Page(5005), 4178);
    HWND input = ::GetDlgItem(Page(5004), 4102);
    int sizeBefore = (int)::SendMessage(size, CB_GETCURSEL, 0, 0);
    prop_->SendMessage(WM_PROP_VIDEO_SIZE, 0, 0);
    prop_->SendMessage(WM_PROP_VIDEO_SIZE, 4, 0);
    EXPECT_EQ(sizeBefore, (int)::SendMessage(size, CB_GETCURSEL, 0, 0));
    prop_->SendMessage(WM_PROP_VIDEO_SIZE, 3, 0);
    EXPECT_EQ(2, (int)::SendMessage(size, CB_GETCURSEL, 0, 0));
    prop_->SendMessage(WM_APP_INPUT_SOURCE, 2, 0);
    EXPECT_EQ(2, (int)::SendMessage(input, CB_GETCURSEL, 0, 0));
    prop_->SendMessage(WM_APP_INPUT_SOURCE, 3, 0);
    EXPECT_EQ(2, (int)::SendMessage(input, CB_GETCURSEL, 0, 0));
    CImageToggle* top = (CImageToggle*)CWnd::FromHandlePermanent(
        ::GetDlgItem(::GetDlgItem(Page(5007), 4416), 4231));
    ASSERT_TRUE(top != NULL);
    prop_->SendMessage(WM_PROP_ALWAYS_ON_TOP, 0, 0);
    EXPECT_EQ(0, top->GetState());
    prop_->SendMessage(WM_PROP_ALWAYS_ON_TOP, 1, 0);
    EXPECT_EQ(1, top->GetState());
    // Settings are filled in: the aspect, the levels' labels.
    EXPECT_EQ(g_pSettings->m_nBrightness,
              atoi(((CSkinLabel*)CWnd::FromHandlePermanent(::GetDlgItem(Page(5005), 4183)))->GetText()));
    (void)panel;
}

TEST_F(PropWindowTest, PageReportsStoreTheirSettings)
{
    ShowAtFront();
    Click(::GetDlgItem(prop_->GetPanel()->m_hWnd, 5003));
    HWND other = ::GetDlgItem(Page(5007), 4416), preview = ::GetDlgItem(Page(5007), 4224);
    // Toggles by real clicks: each flips its own field only.
    int before[5] = {g_pSettings->m_nVideoDesktop, g_pSettings->m_bOsd, g_pSettings->m_bAlwaysOnTop,
                     g_pSettings->m_bDeinterlace, g_pSettings->m_bDeletePreviewFile};
    for (UINT id = 4229; id <= 4233; ++id)
        Click(::GetDlgItem(other, id));
    int after[5] = {g_pSettings->m_nVideoDesktop, g_pSettings->m_bOsd, g_pSettings->m_bAlwaysOnTop,
                    g_pSettings->m_bDeinterlace, g_pSettings->m_bDeletePreviewFile};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(!before[i], after[i]) << i;
    // "7秒" and "5x5": what the combo tells its group when an item is picked.
    HWND dwell = ::GetDlgItem(preview, 4227), grid = ::GetDlgItem(preview, 4228);
    ::SendMessage(dwell, CB_SETCURSEL, 2, 0);
    ::SendMessage(preview, WM_COMMAND, MAKEWPARAM(4227, CBN_SELCHANGE), (LPARAM)dwell);
    ::SendMessage(grid, CB_SETCURSEL, 3, 0);
    ::SendMessage(preview, WM_COMMAND, MAKEWPARAM(4228, CBN_SELCHANGE), (LPARAM)grid);
    EXPECT_EQ(3, g_pSettings->m_nWallDwell);
    EXPECT_EQ(4, g_pSettings->m_nWallGrid);

    // Video page: a drag's report, then the defaults button; the label that
    // shares the button's id does nothing.
    Click(::GetDlgItem(prop_->GetPanel()->m_hWnd, 5001));
    HWND video = Page(5005);
    ::SendMessage(video, WM_SKINTRACKBAR_MOVING, 4167, 80);
    EXPECT_EQ(80, g_pSettings->m_nBrightness);
    CSkinLabel* label = (CSkinLabel*)CWnd::FromHandlePermanent(::GetDlgItem(video, 4183));
    ASSERT_TRUE(label != NULL);
    EXPECT_STREQ("80", label->GetText());
    g_pSettings->m_nContrast = 10;
    ::SendMessage(video, WM_COMMAND, MAKEWPARAM(4183, BN_CLICKED), (LPARAM)label->m_hWnd);
    EXPECT_EQ(80, g_pSettings->m_nBrightness);
    HWND defaults = NULL;
    for (HWND h = ::GetWindow(video, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT))
        if (::GetDlgCtrlID(h) == 4183 && h != label->m_hWnd)
            defaults = h;
    ASSERT_TRUE(defaults != NULL);
    Click(defaults);
    EXPECT_EQ(50, g_pSettings->m_nBrightness);
    EXPECT_EQ(53, g_pSettings->m_nContrast);
    EXPECT_EQ(50, g_pSettings->m_nSharpness);
    EXPECT_EQ(49, g_pSettings->m_nHue);
    EXPECT_EQ(50, g_pSettings->m_nSaturation);
    EXPECT_STREQ("50", label->GetText());
    // Aspect radios by real clicks.
    HWND aspect = ::GetDlgItem(video, 4179);
    Click(::GetDlgItem(aspect, 4180));
    EXPECT_EQ(1, g_pSettings->m_nWindowAspect);
    Click(::GetDlgItem(aspect, 4182));
    EXPECT_EQ(2, g_pSettings->m_nWindowAspect);
}

TEST_F(PropWindowTest, ScanReportsFillTheScannedListOnlyAndAreAlwaysFreed)
{
    CEditListCtrl* list = List();
    ASSERT_TRUE(list != NULL);
    int cable = g_pChannelStore->GetCount(2);
    ASSERT_GT(g_pChannelStore->GetCount(1), 2);
    EXPECT_EQ(g_pChannelStore->GetCount(1), list->GetItemCount());
    // Outside scan mode a report changes nothing (and is freed).
    ChannelRecord* outside = new ChannelRecord();
    MakeChannelRecord(outside, 7, 77250000, 1);
    prop_->SendMessage(WM_SCAN_FOUND, 0, (LPARAM)outside);
    EXPECT_EQ(g_pChannelStore->GetCount(1), list->GetItemCount());

    g_pAppState->SetMode(MODE_SCAN);
    for (int n : {3, 9}) {
        ChannelRecord* found = new ChannelRecord();
        MakeChannelRecord(found, n, 100000000 + n, 1);
        prop_->SendMessage(WM_SCAN_FOUND, 0, (LPARAM)found);
    }
    EXPECT_EQ(2, prop_->GetScanRowCount());
    EXPECT_EQ(2, list->GetItemCount());
    EXPECT_EQ(2, g_pChannelStore->GetCount(1));
    EXPECT_TRUE(g_pChannelStore->Exists(9, 1));
    EXPECT_EQ(g_pChannelStore->GetChannelPtr(9, 1), list->GetRecord(1));
    EXPECT_EQ(cable, g_pChannelStore->GetCount(2));
    // A number already stored is refused by the store: no row for it.
    ChannelRecord* twice = new ChannelRecord();
    MakeChannelRecord(twice, 9, 100000009, 1);
    prop_->SendMessage(WM_SCAN_FOUND, 0, (LPARAM)twice);
    EXPECT_EQ(2, list->GetItemCount());

    std::string file = ts::ExeDir() + "OrvixPlusChannels.chl";
    bool existed = GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES;
    std::vector<char> old = existed ? ReadAll(file) : std::vector<char>();
    prop_->SendMessage(WM_SCAN_END, 0, 0);
    EXPECT_EQ(MODE_TV_VIEW, g_pAppState->GetMode());
    EXPECT_EQ(0, prop_->GetScanRowCount());
    std::string saved = dir_ + "saved.chl";
    ASSERT_TRUE(g_pChannelStore->Save(saved.c_str()));
    EXPECT_EQ(ReadAll(saved), ReadAll(file));
    if (existed) {
        std::ofstream out(file, std::ios::binary);
        out.write(old.data(), old.size());
    } else {
        DeleteFileA(file.c_str());
    }
    // A row without a record tunes nothing and does not fault.
    prop_->SendMessage(WM_EDITLIST_TUNEROW, 99, 0);
}

TEST_F(PropWindowTest, RefillWalksOnlyTheStoredNumbers)
{
    g_pChannelStore->RemoveAll(1);
    for (int n : {2000000000, 1}) {
        ChannelRecord* rec = new ChannelRecord();
        MakeChannelRecord(rec, n, 100000000, 1);
        ASSERT_TRUE(g_pChannelStore->Add(1, rec));
    }
    auto start = std::chrono::steady_clock::now();
    prop_->SendMessage(WM_PROP_CHANNELS_RELOADED, 0, 0);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 1.0);
    CEditListCtrl* list = List();
    ASSERT_EQ(2, list->GetItemCount());
    EXPECT_EQ(1, list->GetRecord(0)->nNumber);
    EXPECT_EQ(2000000000, list->GetRecord(1)->nNumber);
}

TEST_F(PropWindowTest, ExportEqualsSaveAndADamagedImportChangesNothing)
{
    CTuningPage* page = prop_->GetPanel()->TuningPage();
    std::string saved = dir_ + "saved.chl", chosen = dir_ + "export.txt";
    ASSERT_TRUE(g_pChannelStore->Save(saved.c_str()));
    ASSERT_TRUE(page->ExportFile(chosen.c_str()));
    std::vector<char> bytes = ReadAll(dir_ + "export.chl");
    EXPECT_EQ(ReadAll(saved), bytes);
    ASSERT_GT(bytes.size(), 16u);

    int rows = List()->GetItemCount();
    ChannelRecord* first = List()->GetRecord(0);
    std::string damaged = dir_ + "short.chl";
    {
        std::ofstream out(damaged, std::ios::binary);
        out.write(bytes.data(), bytes.size() - 1);
    }
    EXPECT_FALSE(page->ImportFile(damaged.c_str()));
    EXPECT_EQ(rows, List()->GetItemCount());
    EXPECT_EQ(first, List()->GetRecord(0));
    std::string after = dir_ + "after.chl";
    ASSERT_TRUE(g_pChannelStore->Save(after.c_str()));
    EXPECT_EQ(bytes, ReadAll(after));

    // An import of the export round-trips: the same records under the same
    // numbers (the file's order is the store's map order).
    CChannelStore before;
    ASSERT_TRUE(before.Load((dir_ + "export.chl").c_str()));
    EXPECT_TRUE(page->ImportFile((dir_ + "export.chl").c_str()));
    EXPECT_EQ(rows, List()->GetItemCount());
    for (int l = 1; l <= 2; ++l) {
        CArray<int, int> a, b;
        before.GetNumbers(l, a);
        g_pChannelStore->GetNumbers(l, b);
        ASSERT_EQ(a.GetSize(), b.GetSize());
        for (INT_PTR i = 0; i < a.GetSize(); ++i) {
            ASSERT_EQ(a[i], b[i]);
            EXPECT_EQ(0, memcmp(before.GetChannelPtr(a[i], l), g_pChannelStore->GetChannelPtr(b[i], l),
                                sizeof(ChannelRecord)));
        }
    }
}

TEST_F(PropWindowTest, TheDriveRowsAreTheFixedRootsWithTheirSpace)
{
    CSkinListCtrl* drives = prop_->GetPanel()->RecordPage()->GetDriveList();
    ASSERT_TRUE(drives != NULL);
    char roots[512] = "";
    ASSERT_GT(GetLogicalDriveStringsA(sizeof(roots), roots), 0u);
    int row = 0;
    for (const char* root = roots; *root; root += strlen(root) + 1) {
        UINT type = GetDriveTypeA(root);
        if (type == DRIVE_CDROM || type == DRIVE_REMOVABLE)
            continue;
        SCOPED_TRACE(root);
        ASSERT_LT(row, drives->GetItemCount());
        EXPECT_STREQ(root, drives->GetItemText(row, 0));
        ULARGE_INTEGER caller, total, free;
        ASSERT_TRUE(GetDiskFreeSpaceExA(root, &caller, &total, &free));
        unsigned long long shownTotal = strtoull(drives->GetItemText(row, 1), NULL, 10);
        unsigned long long shownFree = strtoull(drives->GetItemText(row, 2), NULL, 10);
        EXPECT_EQ(total.QuadPart >> 20, shownTotal);
        // Other tests and builds write to the same drives meanwhile.
        EXPECT_NEAR((double)(free.QuadPart >> 20), (double)shownFree, 1024.0);
        EXPECT_EQ(CRecordPage::FreePercent(shownFree, shownTotal), atoi(drives->GetItemText(row, 3)));
        ++row;
    }
    EXPECT_GT(row, 0);
    EXPECT_EQ(row, drives->GetItemCount());

    // Free x 100 of a 30 TB drive does not fit 32 bits.
    EXPECT_EQ(75, CRecordPage::FreePercent(30000000, 40000000));
    EXPECT_EQ(33, CRecordPage::FreePercent(1, 3));
    EXPECT_EQ(100, CRecordPage::FreePercent(5242880, 5242880));
    EXPECT_EQ(0, CRecordPage::FreePercent(0, 0));
}

TEST_F(PropWindowTest, TheMixerButtonStartsTheSystemFoldersVolumeProgram)
{
    // Wine has no volume program of its own: the stand-in goes where the
    // page looks for it, and leaves a line in the log it is given.
    char system[MAX_PATH] = "";
    ASSERT_GT(GetSystemDirectoryA(system, sizeof(system)), 0u);
    std::string program = std::string(system) + "\\sndvol32.exe";
    ASSERT_TRUE(CopyFileA((ts::ExeDir() + "sndvol32.exe").c_str(), program.c_str(), FALSE));
    std::string log = dir_ + "sndvol.log";
    SetEnvironmentVariableA("ORVIX_SNDVOL_LOG", log.c_str());
    ShowAtFront();
    HWND mixer = ::GetDlgItem(Page(5004), 4114);
    ASSERT_TRUE(mixer != NULL);
    Click(mixer);
    EXPECT_TRUE(ts::PumpUntil([&] { return !ts::ReadLines(log).empty(); }, 10000));
    std::vector<std::string> lines = ts::ReadLines(log);
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(0u, lines[0].find("started 5")) << lines[0];

    // Without a channel store the button does nothing.
    CChannelStore* store = g_pChannelStore;
    g_pChannelStore = NULL;
    Click(mixer);
    ts::PumpFor(1500);
    g_pChannelStore = store;
    EXPECT_EQ(1u, ts::ReadLines(log).size());
    SetEnvironmentVariableA("ORVIX_SNDVOL_LOG", NULL);
    DeleteFileA(program.c_str());
}

TEST_F(PropWindowTest, FineTuneRetunesTheChannelOnScreenAQuarterMegahertzAStep)
{
    ChannelRecord* on = Watch(5);
    ASSERT_TRUE(on != NULL);
    const double f0 = on->fFrequency;
    const int row = List()->FindRowByChannel(on);
    ASSERT_GE(row, 0);
    HWND page = Page(5009);
    CSkinLabel* value = Control<CSkinLabel>(5009, 4149);
    CSkinTrackBar* bar = Control<CSkinTrackBar>(5009, 4146);
    ASSERT_TRUE(value && bar);

    // A drag shows its steps and tunes nothing.
    ::SendMessage(page, WM_SKINTRACKBAR_MOVING, 4146, 4);
    EXPECT_STREQ("4", value->GetText());
    EXPECT_TRUE(TunerBytes().empty());
    // PAL-D's 4 MHz, twice, over the bar's 32 steps.
    ::SendMessage(page, WM_SKINTRACKBAR_MOVED, 4146, 4);
    EXPECT_EQ(TunerBytesFor(f0 + 1.0), TunerBytes());
    EXPECT_NEAR(f0 + 1.0, on->fFrequency, 0.001);
    EXPECT_EQ(MHzText(f0 + 1.0), std::string(List()->GetItemText(row, 4)));
    // Each release counts from where the bar was let go before (the bar
    // keeps that position itself on a real release).
    bar->SetSavedPos(4);
    ::SendMessage(page, WM_SKINTRACKBAR_MOVED, 4146, 2);
    EXPECT_EQ(TunerBytesFor(f0 + 0.5), TunerBytes());
    EXPECT_EQ(1, HistoryEntries(5));
    // Let go where it was, or outside TV viewing: nothing.
    bar->SetSavedPos(2);
    ::SendMessage(page, WM_SKINTRACKBAR_MOVED, 4146, 2);
    g_pAppState->SetMode(MODE_COMPOSITE_VIEW);
    ::SendMessage(page, WM_SKINTRACKBAR_MOVED, 4146, 6);
    g_pAppState->SetMode(MODE_TV_VIEW);
    EXPECT_TRUE(TunerBytes().empty());
    EXPECT_NEAR(f0 + 0.5, on->fFrequency, 0.001);

    // Without a graph nothing is tuned; the store, the row and the history
    // still take the new frequency.
    card_.graph = false;
    ::SendMessage(page, WM_SKINTRACKBAR_MOVED, 4146, 6);
    card_.graph = true;
    EXPECT_TRUE(TunerBytes().empty());
    EXPECT_NEAR(f0 + 1.5, on->fFrequency, 0.001);
    EXPECT_EQ(MHzText(f0 + 1.5), std::string(List()->GetItemText(row, 4)));
    ASSERT_TRUE(g_pHistoryList->GetAt(0) != NULL);
    EXPECT_EQ(5, g_pHistoryList->GetAt(0)->channel.nNumber);
    EXPECT_NEAR(f0 + 1.5, g_pHistoryList->GetAt(0)->channel.fFrequency, 0.001);
    // A channel renamed and skipped by channel stepping since it was tuned
    // is still the one on screen, and keeps its new name and flag.
    SetFixedText(on->szName, "Harbour News");
    on->nSkip = 1;
    bar->SetSavedPos(6);
    ::SendMessage(page, WM_SKINTRACKBAR_MOVED, 4146, 8);
    EXPECT_EQ(TunerBytesFor(f0 + 1.0), TunerBytes());
    EXPECT_STREQ("Harbour News", on->szName);
    EXPECT_EQ(1, on->nSkip);

    // A channel the store no longer has: the controls go back to 0, as on
    // the channel store's notice of a channel change.
    g_pTunedChannel->nNumber = 999;
    bar->SetPos(6);
    bar->SetSavedPos(0);
    ::SendMessage(page, WM_SKINTRACKBAR_MOVED, 4146, 6);
    EXPECT_TRUE(TunerBytes().empty());
    EXPECT_EQ(0, bar->GetPos());
    EXPECT_EQ(0, bar->GetSavedPos());
    EXPECT_STREQ("0", value->GetText());
    bar->SetPos(3);
    bar->SetSavedPos(3);
    value->SetText("3");
    prop_->SendMessage(WM_CHANNEL_CHANGED, 0, 0);
    EXPECT_EQ(0, bar->GetPos());
    EXPECT_EQ(0, bar->GetSavedPos());
    EXPECT_STREQ("0", value->GetText());
}

TEST_F(PropWindowTest, ChannelEditsReachTheCaptionTheHistoryAndTheTuner)
{
    ChannelRecord* on = Watch(5);
    ChannelRecord* other = g_pChannelStore->GetChannelPtr(6, 1);
    ASSERT_TRUE(on && other);
    const double f0 = on->fFrequency;
    HWND page = Page(5009);
    // The records are the rows' own: the list has written the edit into
    // them before it tells the page.
    SetFixedText(on->szName, "Harbour News");
    ::SendMessage(page, WM_EDITLIST_NAMECHANGED, 0, (LPARAM)on);
    SetFixedText(other->szName, "Lantern Kids");
    ::SendMessage(page, WM_EDITLIST_NAMECHANGED, 0, (LPARAM)other);
    EXPECT_EQ(1, main_.Count(WM_APP_SHOW_CHANNEL)) << "only the name on screen is shown";
    EXPECT_EQ(std::vector<std::string>{"5 Harbour News"}, main_.shown);
    ASSERT_TRUE(g_pHistoryList->GetAt(0) != NULL);
    EXPECT_STREQ("Harbour News", g_pHistoryList->GetAt(0)->channel.szName);

    // A new frequency is tuned at once, also for a channel that channel
    // stepping skips.
    on->fFrequency = (float)(f0 + 2.0);
    ::SendMessage(page, WM_EDITLIST_FREQCHANGED, 0, (LPARAM)on);
    EXPECT_EQ(TunerBytesFor(f0 + 2.0), TunerBytes());
    EXPECT_NEAR(f0 + 2.0, g_pCurrentChannel->fFrequency, 0.001);
    EXPECT_EQ(1, HistoryEntries(5));
    EXPECT_NEAR(f0 + 2.0, g_pHistoryList->GetAt(0)->channel.fFrequency, 0.001);
    ::SendMessage(page, WM_EDITLIST_CHECKCHANGED, 1, (LPARAM)on);
    EXPECT_EQ(1, g_pChannelStore->IsSkipped(5, 1));
    on->fFrequency = (float)(f0 + 3.0);
    ::SendMessage(page, WM_EDITLIST_FREQCHANGED, 0, (LPARAM)on);
    EXPECT_EQ(TunerBytesFor(f0 + 3.0), TunerBytes());
    ::SendMessage(page, WM_EDITLIST_CHECKCHANGED, 0, (LPARAM)on);
    EXPECT_EQ(0, g_pChannelStore->IsSkipped(5, 1));

    // Before a channel change the store has the list end its edit, keeping
    // what was typed.
    CEditListCtrl* list = List();
    EditListCell cell = {list->FindRowByChannel(other), CEditListCtrl::COL_NAME, 0};
    ASSERT_TRUE(list->SendMessage(WM_EDITLIST_BEGINEDIT, 0, (LPARAM)&cell));
    list->GetEditor()->SetWindowText("Cable Weather");
    prop_->SendMessage(WM_CHANNEL_CHANGING, 0, 0);
    EXPECT_FALSE(list->IsEditing());
    EXPECT_STREQ("Cable Weather", other->szName);
}

TEST_F(PropWindowTest, MoveScanAndImportButtonsOfTheTuningPage)
{
    // Six rows: the move to the bottom walks them all.
    g_pChannelStore->RemoveAll(1);
    for (int n = 1; n <= 6; ++n) {
        ChannelRecord* rec = new ChannelRecord();
        MakeChannelRecord(rec, n, 100000000 + 1000000 * n, 1);
        ASSERT_TRUE(g_pChannelStore->Add(1, rec));
    }
    prop_->SendMessage(WM_PROP_CHANNELS_RELOADED, 0, 0);
    ShowAtFront();
    Click(::GetDlgItem(prop_->GetPanel()->m_hWnd, 5008));
    HWND page = Page(5009);
    CEditListCtrl* list = List();
    CRect cell;
    ASSERT_TRUE(list->GetSubItemRect(3, CEditListCtrl::COL_NUMBER, LVIR_BOUNDS, cell));
    list->ClientToScreen(&cell);
    skintest::MouseTo(cell.CenterPoint());
    skintest::MouseButton(true);
    skintest::MouseButton(false);
    ts::PumpFor(50);
    ASSERT_EQ(3, list->GetCurrentRow());
    ChannelRecord* chosen = list->GetRecord(3);
    // The buttons' clicks as they reach the page; the moves are posted.
    auto press = [&](UINT id) {
        ::SendMessage(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)::GetDlgItem(page, id));
        ts::PumpFor(20);
    };
    // Rows stay as they are while the radio plays.
    g_pAppState->SetMode(MODE_FM_RADIO);
    press(8193);
    EXPECT_EQ(chosen, list->GetRecord(3));
    g_pAppState->SetMode(MODE_TV_VIEW);
    const struct { UINT button; int row; } moves[] = {
        {8193, 2}, {8192, 0}, {8194, 1}, {8195, list->GetItemCount() - 1}};
    for (auto& m : moves) {
        press(m.button);
        EXPECT_EQ(chosen, list->GetRecord(m.row)) << m.button;
    }
    press(4148);
    EXPECT_EQ(1, main_.Count(WM_APP_TOGGLE_SCAN));

    // Only a file whose name ends in .chl, in any case, is imported.
    CChannelStore two;
    for (int n : {1, 2}) {
        ChannelRecord* rec = new ChannelRecord();
        MakeChannelRecord(rec, n, 100000000 * n, 1);
        ASSERT_TRUE(two.Add(1, rec));
    }
    CTuningPage* tuning = prop_->GetPanel()->TuningPage();
    int rows = list->GetItemCount();
    ASSERT_GT(rows, 2);
    for (const char* name : {"two.txt", "two.chl.txt", "Two.CHL"})
        ASSERT_TRUE(two.Save((dir_ + name).c_str())) << name;
    EXPECT_FALSE(tuning->ImportFile((dir_ + "two.txt").c_str()));
    EXPECT_FALSE(tuning->ImportFile((dir_ + "two.chl.txt").c_str()));
    EXPECT_EQ(rows, list->GetItemCount());
    EXPECT_TRUE(tuning->ImportFile((dir_ + "Two.CHL").c_str()));
    EXPECT_EQ(2, list->GetItemCount());
}

TEST_F(PropWindowTest, TheAudioLineAndFolderMessagesSetTheirControls)
{
    for (const char* line : {"Video", "Line", "Tuner"})
        g_pSkinCtrlMap->AddComboString(4105, line);
    HWND lines = ::GetDlgItem(Page(5004), 4105);
    SetFixedText(g_pSettings->m_szAudioLine, "Tuner");
    prop_->SendMessage(WM_SELECT_AUDIO_LINE, 0, 0);
    EXPECT_EQ(2, (int)::SendMessage(lines, CB_GETCURSEL, 0, 0));
    EXPECT_TRUE(g_pfnAudioLineListener() == NULL) << "the saved line is found: no more notices";
    prop_->SendMessage(WM_SELECT_AUDIO_LINE, 1, 0);
    EXPECT_EQ(0, (int)::SendMessage(lines, CB_GETCURSEL, 0, 0));
    // A line the device does not have falls back to the first.
    g_pSkinCtrlMap->SetComboSel(4105, 1);
    ASSERT_EQ(1, (int)::SendMessage(lines, CB_GETCURSEL, 0, 0));
    SetFixedText(g_pSettings->m_szAudioLine, "Aux");
    prop_->SendMessage(WM_SELECT_AUDIO_LINE, 0, 0);
    EXPECT_EQ(0, (int)::SendMessage(lines, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(prop_->m_hWnd, g_pfnAudioLineListener());

    CFramedLabel* picture = Control<CFramedLabel>(5006, 4210);
    CFramedLabel* record = Control<CFramedLabel>(5006, 4213);
    ASSERT_TRUE(picture && record);
    const std::string kept = dir_, gone = dir_ + "gone\\", program = (LPCSTR)ProgramFolderPath();
    ASSERT_FALSE(program.empty());
    StoreFolder(g_pSettings->m_szPictureFolder, gone.c_str());
    StoreFolder(g_pSettings->m_szRecordFolder, kept.c_str());
    prop_->SendMessage(WM_PROP_FOLDER_RESET, 0, 0);
    EXPECT_EQ(gone, std::string(picture->GetText()));
    EXPECT_NE(kept, std::string(record->GetText()));
    prop_->SendMessage(WM_PROP_FOLDER_RESET, 1, 0);
    EXPECT_EQ(kept, std::string(record->GetText()));
    // A folder that is gone becomes the program folder, on its label too.
    prop_->SendMessage(WM_PROP_REFRESH_DRIVES, 0, 0);
    EXPECT_EQ(program, g_pSettings->m_szPictureFolder);
    EXPECT_EQ(program, std::string(picture->GetText()));
    EXPECT_EQ(kept, g_pSettings->m_szRecordFolder);
    StoreFolder(g_pSettings->m_szRecordFolder, gone.c_str());
    prop_->SendMessage(WM_PROP_REFRESH_DRIVES, 0, 0);
    EXPECT_EQ(program, g_pSettings->m_szRecordFolder);
    EXPECT_EQ(program, std::string(record->GetText()));
}

}  // namespace
