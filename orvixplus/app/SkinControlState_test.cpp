// The refresher's rules on a shaped dialog with the default skin, the main
// window's placement and on-screen positions, and the busy count while a
// message box is open.
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>
#include "AppState.h"
#include "Globals.h"
#include "MainLayout.h"
#include "Seams.h"
#include "ShapeDialog.h"
#include "SkinControlState.h"
#include "TestSupport.h"
#include "WinApp.h"

namespace {

class CRulesDialog : public CShapeDialog {
public:
    CRulesDialog() : CShapeDialog(300, NULL) {}
    void OnSkinCommand(LPCTSTR) override {}
    void OnSkinProgress(LPCTSTR, int) override {}
    void OnSkinProgressEnd(LPCTSTR, int) override {}
};

typedef std::set<std::string> Names;

const Names kTvViewingOff = {"TV", "FM", "PAUSE_MOVIE", "STOP_MOVIE", "AHEAD_MOVIE",
                             "BACK_MOVIE", "SndChannel_Change"};
const Names kViewingOn = {"TIMED_RECORD", "PROPERTY_PAGE", "CAPTURE_PICTURES", "RECORD_MOVIE",
                          "PLAY_MOVIE", "WWW", "HELP", "MINIMIZE", "CLOSE", "ADD_SND",
                          "SUB_SND", "MUTE_SND"};

Names With(Names a, std::initializer_list<const char*> more)
{
    for (const char* n : more)
        a.insert(n);
    return a;
}

class SkinRules : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        app_ = new CWinApp("skin rules test");
        dlg_ = new CRulesDialog;
        ASSERT_TRUE(dlg_->Create(300, NULL));
        ASSERT_TRUE(dlg_->LoadSkin((ts::ExeDir() + "skins\\elegance\\skin.ini").c_str()));
        app_->m_pMainWnd = dlg_;
    }
    static void TearDownTestSuite()
    {
        app_->m_pMainWnd = NULL;
        dlg_->DestroyWindow();
        delete dlg_;
        delete app_;
    }
    void SetUp() override
    {
        g_pAppState = new CAppState;
        g_pSkinRefresher = new CSkinControlState;
        SetAll(TRUE);
    }
    void TearDown() override
    {
        delete g_pSkinRefresher;
        g_pSkinRefresher = NULL;
        delete g_pAppState;
        g_pAppState = NULL;
    }

    static void SetAll(BOOL on)
    {
        for (int i = 0; i < dlg_->GetButtonCount(); ++i)
            dlg_->GetButton(i)->Enable(on);
        for (int i = 0; i < dlg_->GetProgressCount(); ++i)
            dlg_->GetProgress(i)->Enable(on);
    }

    // Source and mode at once: the refresh between the two changes would
    // meet a rule of its own.
    void Enter(int source, int mode)
    {
        CSkinControlState* refresher = g_pSkinRefresher;
        g_pSkinRefresher = NULL;
        g_pAppState->SetSource(source, FALSE);
        g_pAppState->SetMode(mode);
        g_pSkinRefresher = refresher;
        g_pSkinRefresher->Refresh();
    }

    // Every button's state: enabled exactly when listed (or when not listed,
    // with byDefault).
    void ExpectButtons(const Names& listed, bool listedOn, const char* what)
    {
        for (int i = 0; i < dlg_->GetButtonCount(); ++i) {
            CShapeButton* b = dlg_->GetButton(i);
            std::string name = (LPCSTR)b->GetName();
            bool on = listed.count(name) ? listedOn : !listedOn;
            EXPECT_EQ(on, b->IsWindowEnabled() != FALSE) << what << ": " << name;
        }
    }
    void ExpectSliders(bool pos, bool volume, const char* what)
    {
        EXPECT_EQ(pos, !!FindSlider("PROGRESS_POS")->IsWindowEnabled()) << what;
        EXPECT_EQ(volume, !!FindSlider("PROGRESS_VOLUME")->IsWindowEnabled()) << what;
    }
    static CShapeProgress* FindSlider(const char* name)
    {
        for (int i = 0; i < dlg_->GetProgressCount(); ++i)
            if (dlg_->GetProgress(i)->GetName() == name)
                return dlg_->GetProgress(i);
        return NULL;
    }

    static CWinApp* app_;
    static CRulesDialog* dlg_;
};

CWinApp* SkinRules::app_ = NULL;
CRulesDialog* SkinRules::dlg_ = NULL;

}  // namespace

TEST_F(SkinRules, ViewingModesEnableTheirSetAndDisableTheRest)
{
    ASSERT_EQ(33, dlg_->GetButtonCount());
    for (int source : {SOURCE_ANTENNA, SOURCE_CABLE}) {
        for (int mode : {MODE_TV_VIEW, MODE_NUMBER_BUTTONS, MODE_NUMBER_KEYS}) {
            SetAll(FALSE);
            Enter(source, mode);
            ExpectButtons(kTvViewingOff, false, "TV viewing");
            ExpectSliders(false, true, "TV viewing");
        }
    }
    Enter(SOURCE_COMPOSITE, MODE_COMPOSITE_VIEW);
    ExpectButtons(With(kViewingOn, {"TV", "SVideo"}), true, "Composite viewing");
    ExpectSliders(false, true, "Composite viewing");
    Enter(SOURCE_SVIDEO, MODE_SVIDEO_VIEW);
    ExpectButtons(With(kViewingOn, {"TV", "Composite"}), true, "S-Video viewing");
    ExpectSliders(false, true, "S-Video viewing");
    Enter(SOURCE_RADIO, MODE_FM_RADIO);
    ExpectButtons({"FM"}, false, "radio");
    ExpectSliders(false, true, "radio");
    // Radio's rule goes by the source whatever the mode.
    SetAll(FALSE);
    Enter(SOURCE_RADIO, MODE_SCAN);
    ExpectButtons({"FM"}, false, "radio in another mode");
}

TEST_F(SkinRules, RecordingScanWallAndPlaybackLeaveTheirFewButtons)
{
    for (auto sm : {std::make_pair((int)SOURCE_CABLE, (int)MODE_TV_RECORD),
                    std::make_pair((int)SOURCE_COMPOSITE, (int)MODE_COMPOSITE_RECORD),
                    std::make_pair((int)SOURCE_SVIDEO, (int)MODE_SVIDEO_RECORD)}) {
        SetAll(TRUE);
        Enter(sm.first, sm.second);
        ExpectButtons({"RECORD_MOVIE"}, true, "recording");
        ExpectSliders(false, false, "recording");
    }
    Enter(SOURCE_ANTENNA, MODE_SCAN);
    ExpectButtons({"NEXT_CHANNELS", "PRE_CHANNELS", "SCAN_CHANNELS"}, true, "scan");
    ExpectSliders(false, false, "scan");
    SetAll(TRUE);
    Enter(SOURCE_CABLE, MODE_TV_WALL);
    ExpectButtons({}, true, "TV wall");
    ExpectSliders(false, false, "TV wall");

    SetAll(FALSE);
    Enter(SOURCE_COMPOSITE, MODE_PLAY_FILE);
    Names off = {"NEXT_CHANNELS", "PRE_CHANNELS", "FM", "ChangeSkin", "CLOSE", "TIMED_RECORD",
                 "PROPERTY_PAGE", "SCAN_CHANNELS", "TV_WALLS", "RECORD_MOVIE", "TV",
                 "Composite", "SVideo", "SndChannel_Change"};
    for (int i = 0; i <= 9; ++i)
        off.insert("NUMBER_" + std::to_string(i));
    ExpectButtons(off, false, "playback");
    ExpectSliders(true, true, "playback");
}

TEST_F(SkinRules, ACombinationWithoutARuleChangesNothing)
{
    Enter(SOURCE_CABLE, MODE_TV_RECORD);
    // A tuner in a Composite mode, Composite in TV viewing: no rule.
    Enter(SOURCE_ANTENNA, MODE_COMPOSITE_VIEW);
    ExpectButtons({"RECORD_MOVIE"}, true, "no rule");
    ExpectSliders(false, false, "no rule");
    Enter(SOURCE_COMPOSITE, MODE_TV_VIEW);
    ExpectButtons({"RECORD_MOVIE"}, true, "no rule");
    EXPECT_EQ(NULL, FindSkinRule(SOURCE_SVIDEO, MODE_COMPOSITE_RECORD));
    // Without the state, or without the main window, Refresh does nothing.
    delete g_pAppState;
    g_pAppState = NULL;
    g_pSkinRefresher->Refresh();
    ExpectButtons({"RECORD_MOVIE"}, true, "no state");
    g_pAppState = new CAppState;
    app_->m_pMainWnd = NULL;
    g_pAppState->SetMode(MODE_TV_VIEW);
    g_pSkinRefresher->Refresh();
    app_->m_pMainWnd = dlg_;
    ExpectButtons({"RECORD_MOVIE"}, true, "no main window");
}

TEST(MainLayout, CentresThePairWithIntegerDivisionAndKeepsTextsOnThePicture)
{
    MainLayout l = ComputeMainLayout(SIZE{1280, 1024}, SIZE{489, 355}, SIZE{591, 181});
    EXPECT_EQ(395, l.video.x);      // 791 / 2
    EXPECT_EQ(239, l.video.y);      // 478 / 2
    EXPECT_EQ(344, l.main.x);       // 689 / 2
    EXPECT_EQ(239 + 355 + 10, l.main.y);
    // A desktop smaller than the pair: truncation toward zero, not floor.
    l = ComputeMainLayout(SIZE{400, 300}, SIZE{489, 355}, SIZE{591, 181});
    EXPECT_EQ(-44, l.video.x);
    EXPECT_EQ(-123, l.video.y);

    EXPECT_EQ(295 - 15, ChannelTextPlace(1, 10).x);
    EXPECT_EQ(278, ChannelTextPlace(1, 11).x);        // 295 - 16.5, truncated
    EXPECT_EQ(3 * (205 - 40), ChannelTextPlace(2, 40).x);
    EXPECT_EQ(695 - 300, ChannelTextPlace(3, 100).x);
    // A name wider than the picture starts at its left edge.
    EXPECT_EQ(0, ChannelTextPlace(1, 400).x);
    EXPECT_EQ(0, ChannelTextPlace(2, 300).x);
    EXPECT_EQ(0, ChannelTextPlace(3, 300).x);
    EXPECT_EQ(35, ChannelTextPlace(7, 0).nHeight);     // an unknown size counts as 640 x 480

    EXPECT_EQ(0, ClampVolume(-5));
    EXPECT_EQ(100, ClampVolume(105));
    EXPECT_FALSE(IsRemoteKeyCode(10));
    EXPECT_TRUE(IsRemoteKeyCode(11));
    EXPECT_TRUE(IsRemoteKeyCode(30));
    EXPECT_FALSE(IsRemoteKeyCode(31));
}

namespace {
BOOL g_busyInBox = FALSE;
int BusyProbe(HWND, LPCSTR, LPCSTR, UINT)
{
    g_busyInBox = g_pAppState && g_pAppState->IsBusy();
    return IDOK;
}
}  // namespace

TEST(MessageBoxBusy, TheProgramIsBusyWhileABoxIsOpenAndNotAfter)
{
    g_pAppState = new CAppState;
    FwMessageBoxNotify previousNotify = FwSetMessageBoxNotify(&NoteMessageBox);
    FwMessageBoxHook previousHook = FwSetMessageBoxHook(&BusyProbe);
    EXPECT_EQ(IDOK, FwMessageBox(NULL, "text", "error", MB_OK));
    EXPECT_TRUE(g_busyInBox);
    EXPECT_FALSE(g_pAppState->IsBusy());
    EXPECT_EQ(0, OpenMessageBoxes());
    // A count raised by the program itself stays raised across a box.
    g_pAppState->ChangeBusyCount(TRUE);
    FwMessageBox(NULL, "text", "error", MB_OK);
    EXPECT_TRUE(g_pAppState->IsBusy());
    FwSetMessageBoxHook(previousHook);
    FwSetMessageBoxNotify(previousNotify);
    delete g_pAppState;
    g_pAppState = NULL;
}
