// The video window in this process, with the default skin and no capture
// graph: size presets, always on top, full screen with the cursor hider,
// double clicks, the close request and the themed pop-up menu with the
// channel history; the aspect rule, the colour theme and the cursor hider on
// their own.
#include <gtest/gtest.h>
#include <stdio.h>
#include <cmath>
#include <functional>
#include <string>
#include <vector>
#include "AppMessages.h"
#include "AppSettings.h"
#include "AppState.h"
#include "ChannelHistory.h"
#include "ChannelStore.h"
#include "ColorTheme.h"
#include "CursorHider.h"
#include "Globals.h"
#include "SettingsRecord.h"
#include "SkinMenu.h"
#include "ChannelListTestEnv.h"
#include "MenuDriver.h"
#include "SkinScreen.h"
#include "TestSupport.h"
#include "TuningHost.h"
#include "VideoWindow.h"
#include "WinApp.h"
#include "resource.h"

using skintest::Rgb;

namespace {

// ---- plain rules ----------------------------------------------------------------

TEST(ConstrainAspect, EachEdgeMovesItsNeighbourForEachAspect)
{
    struct Case {
        int edge;
        RECT want43, want169;
    };
    // From (100, 50, 420, 350): 320 wide, 300 high.
    const Case cases[] = {
        {WMSZ_LEFT, {100, 50, 420, 290}, {100, 50, 420, 230}},
        {WMSZ_RIGHT, {100, 50, 420, 290}, {100, 50, 420, 230}},
        {WMSZ_TOP, {100, 50, 500, 350}, {100, 50, 633, 350}},
        {WMSZ_BOTTOM, {100, 50, 500, 350}, {100, 50, 633, 350}},
        {WMSZ_TOPLEFT, {100, 110, 420, 350}, {100, 170, 420, 350}},
        // The top-right corner moves the top, as the top-left one does.
        {WMSZ_TOPRIGHT, {100, 110, 420, 350}, {100, 170, 420, 350}},
        {WMSZ_BOTTOMLEFT, {100, 50, 420, 290}, {100, 50, 420, 230}},
        {WMSZ_BOTTOMRIGHT, {100, 50, 420, 290}, {100, 50, 420, 230}},
    };
    const RECT start = {100, 50, 420, 350};
    for (const Case& c : cases) {
        RECT r43 = start, r169 = start, free = start;
        ConstrainAspect(ASPECT_4_3, c.edge, &r43);
        ConstrainAspect(ASPECT_16_9, c.edge, &r169);
        ConstrainAspect(ASPECT_FREE, c.edge, &free);
        EXPECT_TRUE(EqualRect(&r43, &c.want43)) << "4:3 edge " << c.edge;
        EXPECT_TRUE(EqualRect(&r169, &c.want169)) << "16:9 edge " << c.edge;
        EXPECT_TRUE(EqualRect(&free, &start)) << "free edge " << c.edge;
    }
    RECT other = start;
    ConstrainAspect(ASPECT_4_3, 9, &other);
    EXPECT_TRUE(EqualRect(&other, &start));
}

TEST(DoubleClickDetector, TwoPressesCloseInTimeAndPlaceOnly)
{
    CDoubleClickDetector d;
    POINT p = {100, 100}, close = {101, 101}, away = {140, 100};
    UINT t = GetDoubleClickTime();
    EXPECT_FALSE(d.OnButtonDown(1000, p));
    EXPECT_TRUE(d.OnButtonDown(1000 + t / 2, close));
    // A third press starts anew.
    EXPECT_FALSE(d.OnButtonDown(1000 + t / 2 + 10, close));
    EXPECT_FALSE(d.OnButtonDown(5000, p));
    EXPECT_FALSE(d.OnButtonDown(5000 + t + 1, p));
    EXPECT_FALSE(d.OnButtonDown(9000, p));
    EXPECT_FALSE(d.OnButtonDown(9010, away));
}

// ---- colour theme -----------------------------------------------------------------

void WriteText(const std::string& path, const std::string& text)
{
    FILE* fp = fopen(path.c_str(), "wb");
    ASSERT_TRUE(fp != NULL);
    fwrite(text.data(), 1, text.size(), fp);
    fclose(fp);
}

TEST(ColorTheme, ColourValuesAreDecimalRedGreenBlue)
{
    EXPECT_EQ(0x0000FFu, ParseThemeColor("255,0,0"));
    EXPECT_EQ(0xFF0000u, ParseThemeColor("0,0,255"));
    EXPECT_EQ(0x0000FFu, ParseThemeColor("255,"));
    EXPECT_EQ(0x001410u, ParseThemeColor("16,20,"));
    EXPECT_EQ(0x000500u, ParseThemeColor("x,5,"));
    EXPECT_EQ(0u, ParseThemeColor(""));
}

TEST(ColorTheme, PresentKeysAreTakenAsWrittenAbsentOnesKeepTheMenuDefaults)
{
    std::string dir = ts::FreshTempDir("theme");
    WriteText(dir + "skin.ini",
              "[COLORTHEME]\r\nLogoText=Logo\r\nLogoImage=logo.bmp\r\nMenuColor=255,0,0\r\n"
              "TextColor=0,0,0\r\nFrame3Color=1,2,3\r\n");
    ColorTheme t;
    ReadColorTheme((dir + "skin.ini").c_str(), &t);
    EXPECT_STREQ("Logo", t.strLogoText);
    EXPECT_STREQ("logo.bmp", t.strLogoImage);
    EXPECT_STREQ("", t.strBackground);
    EXPECT_EQ(SKINMENU_DEFAULT_LOGO_COLOR, t.colors[THEME_LOGO_COLOR]);
    EXPECT_EQ(0x0000FFu, t.colors[1 + SKINMENU_COLOR_MENU]);
    EXPECT_EQ(0u, t.colors[1 + SKINMENU_COLOR_TEXT]);
    EXPECT_EQ(0x030201u, t.colors[1 + SKINMENU_COLOR_FRAME3]);
    EXPECT_EQ(SkinMenu_GetDefaultColor(SKINMENU_COLOR_HIGHLIGHT_TEXT),
              t.colors[1 + SKINMENU_COLOR_HIGHLIGHT_TEXT]);

    // Without the section the menu stays readable: the default text on the
    // default menu colour.
    WriteText(dir + "plain.ini", "[DialogResInfo]\r\nShapeWindow=0\r\n");
    ReadColorTheme((dir + "plain.ini").c_str(), &t);
    EXPECT_STREQ("", t.strLogoText);
    for (int slot = 0; slot < SKINMENU_COLOR_COUNT; slot++)
        EXPECT_EQ(SkinMenu_GetDefaultColor(slot), t.colors[1 + slot]) << "slot " << slot;
    EXPECT_NE(t.colors[1 + SKINMENU_COLOR_MENU], t.colors[1 + SKINMENU_COLOR_TEXT]);
}

// ---- cursor hider -----------------------------------------------------------------

BOOL CursorShowing()
{
    CURSORINFO ci = {};
    ci.cbSize = sizeof(ci);
    GetCursorInfo(&ci);
    return (ci.flags & CURSOR_SHOWING) != 0;
}

POINT CursorPos()
{
    POINT pt;
    GetCursorPos(&pt);
    return pt;
}

HWND MakeActiveWindow(const char* caption, int x, int y)
{
    HWND w = CreateWindowExA(0, "STATIC", caption, WS_POPUP | WS_VISIBLE | WS_BORDER, x, y, 200,
                             150, NULL, NULL, NULL, NULL);
    SetForegroundWindow(w);
    SetActiveWindow(w);
    ts::PumpFor(50);
    return w;
}

TEST(CursorHider, HidesAfterTheRestAndStopsOnAMoveOrAnotherWindow)
{
    HWND owner = MakeActiveWindow("hider owner", 200, 200);
    ASSERT_EQ(owner, GetActiveWindow());
    SetCursorPos(300, 280);
    ts::PumpFor(30);
    ASSERT_TRUE(CursorShowing());

    // Right after attaching, an unmoved cursor counts as resting.
    CCursorHider hider;
    hider.Attach(owner);
    for (int i = 1; i < CCursorHider::HIDE_TICKS; i++)
        ASSERT_FALSE(hider.OnTick(50)) << "tick " << i;
    EXPECT_TRUE(hider.OnTick(50));
    EXPECT_TRUE(hider.IsHidden());
    EXPECT_FALSE(CursorShowing());
    SetCursorPos(350, 300);
    hider.Restore();
    EXPECT_TRUE(CursorShowing());
    EXPECT_EQ(300, CursorPos().x);
    EXPECT_EQ(280, CursorPos().y);

    // One pixel ends the rest.
    hider.Attach(owner);
    for (int i = 0; i < 50; i++)
        hider.OnTick(50);
    SetCursorPos(301, 280);
    EXPECT_FALSE(hider.OnTick(50));
    EXPECT_EQ(0, hider.GetRestTicks());
    for (int i = 0; i < CCursorHider::HIDE_TICKS + 5; i++)
        EXPECT_FALSE(hider.OnTick(50));
    EXPECT_TRUE(CursorShowing());

    // Another window taking over ends it too.
    hider.Attach(owner);
    HWND other = MakeActiveWindow("hider other", 500, 500);
    SetCursorPos(301, 280);
    for (int i = 0; i < CCursorHider::HIDE_TICKS + 5; i++)
        EXPECT_FALSE(hider.OnTick(50));
    EXPECT_TRUE(CursorShowing());

    // Nothing hidden: nothing moves.
    SetCursorPos(420, 330);
    hider.Restore();
    EXPECT_EQ(420, CursorPos().x);
    EXPECT_EQ(330, CursorPos().y);
    DestroyWindow(other);
    DestroyWindow(owner);
}

// ---- the window -------------------------------------------------------------------

// Stands in for the main dialog's tuning: only the tuner bytes matter here.
class PllLog : public CQuietTuner {
public:
    std::vector<float> tuned;
    void WriteTunerPll(BYTE b0, BYTE b1, BYTE, BYTE) override
    {
        tuned.push_back((float)((b0 << 8) | b1) / 16.0f - 38.875f);
    }
};

// The main window the close request goes to: counts SC_CLOSE.
class FakeMain : public CWnd {
public:
    int closes = 0;
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
            closes++;
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

CWinApp g_app("video window test");

class VideoWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_pSettings = new CAppSettings;
        g_pSettings->m_nCountryCode = 86;
        g_pSettings->m_nInputSource = 1;
        g_pSettings->m_nVideoSize = 2;
        g_pSettings->m_bAlwaysOnTop = 0;
        g_pSettings->m_nWindowAspect = ASPECT_4_3;
        g_pAppState = new CAppState;
        g_pAppState->SetMode(MODE_TV_VIEW);
        g_pCursorHider = new CCursorHider;
        g_pHistoryList = new CChannelHistory;
        g_pChannelStore = new CChannelStore;
        g_pCurrentChannel = new ChannelRecord();
        g_pTuningHost = &pll;

        ASSERT_TRUE(main.CreateEx(0, "STATIC", "main stand-in", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
        g_app.m_pMainWnd = &main;
        video = new CVideoWindow;
        g_pVideoWindow = video;
        ASSERT_TRUE(video->Create(480, 320));
        ASSERT_EQ(TRUE, video->LoadSkin((ts::ExeDir() + "skins\\elegance\\skin.ini").c_str()));
        video->SetCaption("video window test");
        hwnd = video->GetSafeHwnd();
        SetWindowPos(hwnd, NULL, 100, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ShowWindow(hwnd, SW_SHOW);
        Activate();
    }
    void TearDown() override
    {
        g_pVideoWindow = NULL;
        delete video;
        g_app.m_pMainWnd = NULL;
        main.DestroyWindow();
        g_pTuningHost = NULL;
        delete g_pCursorHider;
        delete g_pHistoryList;
        delete g_pChannelStore;
        delete g_pAppState;
        delete g_pSettings;
        g_pCursorHider = NULL;
        g_pHistoryList = NULL;
        g_pChannelStore = NULL;
        g_pAppState = NULL;
        g_pSettings = NULL;
        FreeChannelCopies();
        SetCursorPos(5, 5);
    }
    void Activate()
    {
        SetForegroundWindow(hwnd);
        SetActiveWindow(hwnd);
        skintest::KeepActive() = hwnd;
        ts::PumpFor(80);
    }
    SIZE Client() const
    {
        RECT r;
        GetClientRect(hwnd, &r);
        return SIZE{r.right, r.bottom};
    }
    void Command(UINT id) { SendMessage(hwnd, WM_COMMAND, id, 0); }
    void Key(UINT vk) { SendMessage(hwnd, WM_KEYDOWN, vk, 0); }
    POINT ClientCentre() const
    {
        SIZE c = Client();
        POINT pt = {c.cx / 2, c.cy / 2};
        ClientToScreen(hwnd, &pt);
        return pt;
    }

    PllLog pll;
    FakeMain main;
    CVideoWindow* video = NULL;
    HWND hwnd = NULL;
};

TEST_F(VideoWindowTest, SizePresetsGiveExactlyThatClientArea)
{
    struct Preset {
        UINT id;
        int n, cx, cy;
    } presets[] = {{ID_VIDEO_SIZE_320, 1, 320, 240}, {ID_VIDEO_SIZE_720, 3, 720, 576},
                   {ID_VIDEO_SIZE_640, 2, 640, 480}};
    RECT before;
    GetWindowRect(hwnd, &before);
    for (const Preset& p : presets) {
        Command(p.id);
        EXPECT_EQ(p.cx, Client().cx) << p.n;
        EXPECT_EQ(p.cy, Client().cy) << p.n;
        EXPECT_EQ(p.n, g_pSettings->m_nVideoSize);
        EXPECT_EQ(p.n, video->GetSizePreset());
    }
    RECT after;
    GetWindowRect(hwnd, &after);
    EXPECT_EQ(before.left, after.left);
    EXPECT_EQ(before.top, after.top);

    // The settings window's request sizes the client too, not the window.
    SendMessage(hwnd, WM_VIDEO_SIZE_PRESET, 1, 0);
    EXPECT_EQ(320, Client().cx);
    EXPECT_EQ(240, Client().cy);

    // While recording the sizes stay.
    g_pAppState->SetMode(MODE_TV_RECORD);
    Command(ID_VIDEO_SIZE_720);
    EXPECT_EQ(320, Client().cx);
    EXPECT_EQ(1, g_pSettings->m_nVideoSize);

    // The aspect items keep the width.
    g_pAppState->SetMode(MODE_TV_VIEW);
    Command(ID_VIDEO_SIZE_640);
    Command(ID_VIDEO_ASPECT_16_9);
    EXPECT_EQ(640, Client().cx);
    EXPECT_EQ(360, Client().cy);
    Command(ID_VIDEO_ASPECT_4_3);
    EXPECT_EQ(480, Client().cy);
}

TEST_F(VideoWindowTest, AlwaysOnTopStartsFromTheSettingsAndFlipsTheStyle)
{
    // Taken at creation: "C" before any menu leaves the window as saved.
    EXPECT_FALSE(video->IsAlwaysOnTop());
    Key('C');
    EXPECT_EQ(0u, GetWindowLong(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT r, desktop;
    GetWindowRect(hwnd, &r);
    GetWindowRect(GetDesktopWindow(), &desktop);
    EXPECT_EQ((desktop.right - (r.right - r.left)) / 2, r.left);

    Command(ID_VIDEO_ON_TOP);
    EXPECT_NE(0u, GetWindowLong(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(1, g_pSettings->m_bAlwaysOnTop);
    SettingsRecord rec;
    SettingsToRecord(*g_pSettings, &rec);
    int stored;
    memcpy(&stored, (const char*)&rec + 8, 4);
    EXPECT_EQ(1, stored);

    SendMessage(hwnd, WM_VIDEO_ALWAYS_ON_TOP, 0, 0);
    EXPECT_EQ(0u, GetWindowLong(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(0, g_pSettings->m_bAlwaysOnTop);
}

TEST_F(VideoWindowTest, FullScreenCoversTheScreenAndEscapeRestoresThePlacement)
{
    WINDOWPLACEMENT before = {};
    before.length = sizeof(before);
    GetWindowPlacement(hwnd, &before);
    RECT rBefore;
    GetWindowRect(hwnd, &rBefore);

    Key(VK_RETURN);
    ASSERT_TRUE(video->IsFullScreen());
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), Client().cx);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), Client().cy);
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    EXPECT_EQ(0, origin.x);
    EXPECT_EQ(0, origin.y);
    EXPECT_FALSE(video->EnterFullScreen());

    Key(VK_ESCAPE);
    EXPECT_FALSE(video->IsFullScreen());
    RECT rAfter;
    GetWindowRect(hwnd, &rAfter);
    EXPECT_TRUE(EqualRect(&rBefore, &rAfter));
    WINDOWPLACEMENT after = {};
    after.length = sizeof(after);
    GetWindowPlacement(hwnd, &after);
    EXPECT_TRUE(EqualRect(&before.rcNormalPosition, &after.rcNormalPosition));

    // The remote's key (from the main window) toggles as well; not while
    // recording.
    SendMessage(hwnd, WM_VIDEO_TOGGLE_FULL, 0, 0);
    EXPECT_TRUE(video->IsFullScreen());
    SendMessage(hwnd, WM_VIDEO_TOGGLE_FULL, 0, 0);
    EXPECT_FALSE(video->IsFullScreen());
    g_pAppState->SetMode(MODE_TV_RECORD);
    Key(VK_RETURN);
    EXPECT_FALSE(video->IsFullScreen());
}

TEST_F(VideoWindowTest, DoubleClicksToggleFullScreenAlsoAsTwoPressesFromThePicture)
{
    SendMessage(hwnd, WM_LBUTTONDBLCLK, 0, MAKELPARAM(50, 50));
    ASSERT_TRUE(video->IsFullScreen());
    // The renderer's window has no double clicks: its presses come one by
    // one through the message drain, as posted messages.
    PostMessage(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 200));
    PostMessage(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(200, 200));
    PostMessage(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(201, 200));
    ts::PumpFor(100);
    EXPECT_FALSE(video->IsFullScreen());

    // Presses a double-click time apart are two clicks.
    Key(VK_RETURN);
    ASSERT_TRUE(video->IsFullScreen());
    PostMessage(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 200));
    ts::PumpFor(GetDoubleClickTime() + 100);
    PostMessage(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 200));
    ts::PumpFor(100);
    EXPECT_TRUE(video->IsFullScreen());
    g_pAppState->SetMode(MODE_TV_RECORD);
    SendMessage(hwnd, WM_LBUTTONDBLCLK, 0, MAKELPARAM(50, 50));
    EXPECT_TRUE(video->IsFullScreen());
    g_pAppState->SetMode(MODE_TV_VIEW);
    Key(VK_ESCAPE);
}

TEST_F(VideoWindowTest, CursorHidesAtRestInFullScreenAndComesBackWhereItWas)
{
    skintest::MouseTo(ClientCentre());
    Key(VK_RETURN);
    ASSERT_TRUE(video->IsFullScreen());
    POINT rest = CursorPos();
    EXPECT_TRUE(ts::PumpUntil([] { return !CursorShowing(); }, 6000));
    ts::PumpFor(100);
    EXPECT_FALSE(CursorShowing());

    POINT moved = {rest.x + 20, rest.y + 10};
    skintest::MouseTo(moved);
    EXPECT_TRUE(ts::PumpUntil([] { return CursorShowing(); }, 1000));
    EXPECT_EQ(rest.x, CursorPos().x);
    EXPECT_EQ(rest.y, CursorPos().y);

    // Hidden again, then another window becomes active (key A): it comes back.
    EXPECT_TRUE(ts::PumpUntil([] { return !CursorShowing(); }, 6000));
    HWND other = MakeActiveWindow("panel stand-in", 300, 300);
    ts::PumpFor(100);
    EXPECT_TRUE(CursorShowing());
    DestroyWindow(other);
    Activate();
    Key(VK_ESCAPE);
    EXPECT_TRUE(CursorShowing());
}

TEST_F(VideoWindowTest, CloseEndsTheProgramOnlyWhileViewingItsOwnCloseHides)
{
    const int modes[] = {MODE_TV_VIEW, MODE_COMPOSITE_VIEW, MODE_SVIDEO_VIEW, MODE_FM_RADIO,
                         MODE_TV_RECORD, MODE_PLAY_FILE, MODE_SCAN, MODE_TV_WALL,
                         MODE_NUMBER_KEYS};
    for (int mode : modes) {
        g_pAppState->SetMode(mode);
        main.closes = 0;
        Command(ID_VIDEO_CLOSE);
        SendMessage(hwnd, WM_SKINFRAME_CLOSE, 0, 0);
        ts::PumpFor(20);
        BOOL viewing = mode == MODE_TV_VIEW || mode == MODE_COMPOSITE_VIEW ||
                       mode == MODE_SVIDEO_VIEW || mode == MODE_FM_RADIO;
        EXPECT_EQ(viewing ? 2 : 0, main.closes) << "mode " << mode;
    }
    SendMessage(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_TRUE(IsWindow(hwnd));
}

// ---- the menu ----------------------------------------------------------------------

using skintest::PressKey;

class VideoMenuTest : public VideoWindowTest {
protected:
    void SetUp() override
    {
        VideoWindowTest::SetUp();
        const struct {
            int number;
            const char* name;
            float mhz;
        } stored[] = {{5, "Five", 105.25f}, {7, "Seven", 107.25f}};
        for (const auto& s : stored) {
            ChannelRecord* rec = new ChannelRecord();
            MakeChannelRecord(rec, s.number, 0, 1);
            strcpy(rec->szName, s.name);
            rec->fFrequency = s.mhz;
            g_pChannelStore->Add(1, rec);
        }
        // Most recent first: Seven, then a channel of the country plan with
        // no list, then Five.
        AddHistory(5, 1, "Five");
        AddHistory(12, -1, "Plan12");
        AddHistory(7, 1, "Seven");
    }
    void AddHistory(int number, int list, const char* name)
    {
        HistoryRecord rec = {};
        rec.nPosition = -1;
        rec.nList = list;
        rec.nInStore = list > 0;
        rec.nMenuId = -1;
        MakeChannelRecord(&rec.channel, number, 0, 1);
        strcpy(rec.channel.szName, name);
        g_pHistoryList->AddEntry(&rec, TRUE);
    }
    // Opens the menu as a right click would, runs the steps, ends it.
    void RunMenu(std::vector<skintest::MenuStepFn> steps)
    {
        bool all = skintest::RunMenuSteps(
            [&] { SendMessage(hwnd, WM_CONTEXTMENU, (WPARAM)hwnd, MAKELPARAM(150, 150)); },
            std::move(steps));
        EXPECT_TRUE(all) << "the menu closed before every step ran";
    }
    HMENU Popup() const { return GetSubMenu(video->GetMenu(), 0); }
    HMENU History() const { return GetSubMenu(Popup(), 13); }
    BOOL Grey(UINT id) const { return (GetMenuState(video->GetMenu(), id, MF_BYCOMMAND) & MF_GRAYED) != 0; }
};

TEST_F(VideoMenuTest, HistoryItemsFollowTheListAndItemsGreyByMode)
{
    std::vector<std::string> names;
    std::vector<UINT> ids;
    BOOL checked320 = TRUE, checked640 = FALSE, checkedTv = FALSE, checkedTop = TRUE;
    RunMenu({[&](HWND) {
        HMENU h = History();
        for (int i = 0; i < GetMenuItemCount(h); i++) {
            char text[64] = "";
            GetMenuStringA(h, i, text, sizeof(text), MF_BYPOSITION);
            names.push_back(text);
            ids.push_back(GetMenuItemID(h, i));
        }
        HMENU m = video->GetMenu();
        checked320 = (GetMenuState(m, ID_VIDEO_SIZE_320, MF_BYCOMMAND) & MF_CHECKED) != 0;
        checked640 = (GetMenuState(m, ID_VIDEO_SIZE_640, MF_BYCOMMAND) & MF_CHECKED) != 0;
        checkedTv = (GetMenuState(m, ID_VIDEO_INPUT_TV, MF_BYCOMMAND) & MF_CHECKED) != 0;
        checkedTop = (GetMenuState(m, ID_VIDEO_ON_TOP, MF_BYCOMMAND) & MF_CHECKED) != 0;
    }});
    EXPECT_EQ((std::vector<std::string>{"Seven", "Plan12", "Five"}), names);
    EXPECT_EQ((std::vector<UINT>{0x9000, 0x9001, 0x9002}), ids);
    EXPECT_FALSE(checked320);
    EXPECT_TRUE(checked640);
    EXPECT_TRUE(checkedTv);
    EXPECT_FALSE(checkedTop);
    EXPECT_FALSE(Grey(0x9000));
    EXPECT_FALSE(Grey(ID_VIDEO_FULL_SCREEN));
    EXPECT_TRUE(Grey(ID_VIDEO_NORMAL_SCREEN));
    EXPECT_FALSE(Grey(ID_VIDEO_SETTINGS));

    g_pAppState->SetMode(MODE_TV_RECORD);
    RunMenu({[](HWND) {}});
    EXPECT_TRUE(Grey(0x9001));
    EXPECT_TRUE(Grey(ID_VIDEO_INPUT_COMPOSITE));
    EXPECT_TRUE(Grey(ID_VIDEO_SETTINGS));
    EXPECT_FALSE(Grey(ID_VIDEO_FULL_SCREEN));
    g_pAppState->SetMode(MODE_TV_WALL);
    RunMenu({[](HWND) {}});
    EXPECT_TRUE(Grey(ID_VIDEO_FULL_SCREEN));

    g_pAppState->SetMode(MODE_TV_VIEW);
    Key(VK_RETURN);
    RunMenu({[](HWND) {}});
    EXPECT_TRUE(Grey(ID_VIDEO_FULL_SCREEN));
    EXPECT_TRUE(Grey(ID_VIDEO_MINIMIZE));
    EXPECT_FALSE(Grey(ID_VIDEO_NORMAL_SCREEN));
    Key(VK_ESCAPE);
}

TEST_F(VideoMenuTest, AHistoryChoiceTunesItsChannelEntriesWithoutAListTheCurrentOne)
{
    // Up from the bottom: "关闭", "位于最顶层", the history sub-menu, whose
    // first item the right arrow selects.
    RunMenu({[](HWND) { PressKey(VK_UP); }, [](HWND) { PressKey(VK_UP); },
             [](HWND) { PressKey(VK_UP); }, [](HWND) { PressKey(VK_RIGHT); },
             [](HWND) { PressKey(VK_RETURN); }});
    ts::PumpFor(50);
    ASSERT_EQ(1u, pll.tuned.size()) << "the first history item, Seven";
    EXPECT_NEAR(107.25f, pll.tuned[0], 0.05f);
    EXPECT_EQ(7, g_pChannelStore->GetCurrent(1));

    // The country plan's entry: channel 12 of the plan, in list 1.
    SendMessage(hwnd, WM_COMMAND, 0x9001, 0);
    ASSERT_EQ(2u, pll.tuned.size());
    EXPECT_GT(std::abs(pll.tuned[1] - 107.25f), 1.0f);

    // Only while watching TV.
    g_pAppState->SetMode(MODE_COMPOSITE_VIEW);
    SendMessage(hwnd, WM_COMMAND, 0x9002, 0);
    EXPECT_EQ(2u, pll.tuned.size());
}

// Row y of n of a vertical gradient from a to b.
DWORD Gradient(COLORREF a, COLORREF b, int y, int n)
{
    return Rgb(RGB(GetRValue(a) + (GetRValue(b) - GetRValue(a)) * y / (n - 1),
                   GetGValue(a) + (GetGValue(b) - GetGValue(a)) * y / (n - 1),
                   GetBValue(a) + (GetBValue(b) - GetBValue(a)) * y / (n - 1)));
}

TEST_F(VideoMenuTest, LogoBandAndSelectionBarWearTheSkinsColours)
{
    const ColorTheme& t = video->GetColorTheme();
    ASSERT_STREQ("Orvix Plus", t.strLogoText);
    RECT item = {}, last = {}, other = {};
    POINT origin = {0, 0};
    std::vector<DWORD> bar, band;
    DWORD menuFill = 0;
    RunMenu({[](HWND) { PressKey(VK_DOWN); },
             [&](HWND wnd) {
                 HMENU popup = Popup();
                 GetMenuItemRect(NULL, popup, 0, &item);
                 GetMenuItemRect(NULL, popup, GetMenuItemCount(popup) - 1, &last);
                 GetMenuItemRect(NULL, popup, 2, &other);
                 ClientToScreen(wnd, &origin);
                 bar = skintest::ScreenPixels(CRect(item.right - 3, item.top, item.right - 2, item.bottom));
                 band = skintest::ScreenPixels(CRect(item.left + 18, origin.y, item.left + 19, last.bottom));
                 menuFill = skintest::ScreenPixel(other.right - 4, other.top + 2);
                 ts::CaptureToBmp(NULL, "video_menu.bmp");
             }});
    ASSERT_GT(bar.size(), 3u);
    int h = item.bottom - item.top;
    EXPECT_EQ(Rgb(t.colors[1 + SKINMENU_COLOR_LIGHTBAR]), bar[0]);
    for (int y = 1; y < h - 1; y++)
        EXPECT_EQ(Gradient(t.colors[1 + SKINMENU_COLOR_LIGHTBAR_START],
                           t.colors[1 + SKINMENU_COLOR_LIGHTBAR_END], y, h), bar[y])
            << "bar row " << y;
    int n = last.bottom - origin.y;
    int y0 = item.top - origin.y + 3;
    ASSERT_GT((int)band.size(), y0);
    EXPECT_EQ(Gradient(t.colors[THEME_LOGO_COLOR], RGB(90, 90, 90), y0, n), band[y0]);
    EXPECT_EQ(Rgb(t.colors[1 + SKINMENU_COLOR_MENU]), menuFill);
}

}  // namespace
