#include <gtest/gtest.h>
#include "AppMessages.h"
#include "AppState.h"
#include "TestSupport.h"
#include "Afx.h"

namespace {

// A top-level window standing in for the main dialog: it counts the source
// notifications it gets. Both windows stay hidden: focus works the same, and
// Wine spends seconds destroying a window that was shown without a window
// manager.
class FakeMainWnd : public CWnd {
public:
    std::vector<WPARAM> sources;
    HWND other = NULL;   // a second window that can take the focus

    CWinApp app;         // the main-window query goes through the application

    FakeMainWnd()
    {
        CreateEx(0, "STATIC", "main", WS_POPUP, 10, 10, 100, 50, NULL, NULL);
        other = CreateWindowExA(0, "EDIT", "", WS_POPUP, 200, 10, 100, 50,
                                NULL, NULL, NULL, NULL);
        app.m_pMainWnd = this;
    }
    ~FakeMainWnd()
    {
        app.m_pMainWnd = NULL;
        ::DestroyWindow(other);
        DestroyWindow();
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_APP_SOURCE_CHANGED) {
            sources.push_back(wParam);
            EXPECT_EQ(0, lParam);
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

}  // namespace

TEST(AppState, StartsInCableTvViewingAndAnswersByModeAndSource)
{
    CAppState state;
    EXPECT_EQ(MODE_TV_VIEW, state.GetMode());
    EXPECT_EQ(SOURCE_CABLE, state.GetSource());
    EXPECT_FALSE(state.IsBusy());
    // Without a main window a change is only stored.
    typedef BOOL (CAppState::*Query)() const;
    const Query modes[] = {
        &CAppState::IsTvViewing, &CAppState::IsTvRecord, &CAppState::IsPlayingFile,
        &CAppState::IsScanning, &CAppState::IsTvWall, &CAppState::IsNumberButtonEntry,
        &CAppState::IsNumberKeyEntry, &CAppState::IsCompositeViewing,
        &CAppState::IsCompositeRecord, &CAppState::IsSVideoViewing,
        &CAppState::IsSVideoRecord, &CAppState::IsFmRadio,
    };
    for (int m = 1; m <= 12; ++m) {
        state.SetMode(m);
        for (int q = 0; q < 12; ++q)
            EXPECT_EQ(q + 1 == m, (state.*modes[q])() != FALSE) << "mode " << m << " query " << q;
    }
    const Query sources[] = {
        &CAppState::IsSourceAntenna, &CAppState::IsSourceCable, &CAppState::IsSourceComposite,
        &CAppState::IsSourceSVideo, &CAppState::IsSourceRadio,
    };
    for (int s = 16; s <= 20; ++s) {
        state.SetSource(s, TRUE);
        for (int q = 0; q < 5; ++q)
            EXPECT_EQ(q + 16 == s, (state.*sources[q])() != FALSE) << "source " << s;
        EXPECT_EQ(s <= 17, state.IsTunerSource() != FALSE);
    }
}

TEST(AppState, BusyCountNeverGoesBelowZero)
{
    CAppState state;
    EXPECT_EQ(1, state.ChangeBusyCount(TRUE));
    EXPECT_EQ(2, state.ChangeBusyCount(TRUE));
    EXPECT_TRUE(state.IsBusy());
    EXPECT_EQ(1, state.ChangeBusyCount(FALSE));
    EXPECT_EQ(0, state.ChangeBusyCount(FALSE));
    EXPECT_FALSE(state.IsBusy());
    state.ChangeBusyCount(FALSE);
    state.ChangeBusyCount(FALSE);
    EXPECT_FALSE(state.IsBusy());
    EXPECT_EQ(1, state.ChangeBusyCount(TRUE));
}

TEST(AppState, SourceChangeNotifiesOnlyWhenAskedAndOnlyOnAChange)
{
    FakeMainWnd main;
    ASSERT_TRUE(main.GetSafeHwnd() != NULL);
    CAppState state;

    ::SetFocus(main.other);
    state.SetSource(SOURCE_COMPOSITE, FALSE);
    EXPECT_EQ(SOURCE_COMPOSITE, state.GetSource());
    EXPECT_TRUE(main.sources.empty());
    EXPECT_EQ(main.GetSafeHwnd(), ::GetFocus());

    state.SetSource(SOURCE_ANTENNA, TRUE);
    EXPECT_EQ(std::vector<WPARAM>{SOURCE_ANTENNA}, main.sources);

    // The same value again: no message and the focus stays where it is.
    ::SetFocus(main.other);
    state.SetSource(SOURCE_ANTENNA, TRUE);
    state.SetMode(MODE_TV_VIEW);
    EXPECT_EQ(1u, main.sources.size());
    EXPECT_EQ(main.other, ::GetFocus());

    state.SetMode(MODE_TV_RECORD);
    EXPECT_EQ(main.GetSafeHwnd(), ::GetFocus());
    EXPECT_EQ(1u, main.sources.size());
}

TEST(AppState, SavedInputSourceGivesTheStartSourceAndMode)
{
    const int expected[][2] = {
        {SOURCE_ANTENNA, MODE_TV_VIEW}, {SOURCE_CABLE, MODE_TV_VIEW},
        {SOURCE_COMPOSITE, MODE_COMPOSITE_VIEW}, {SOURCE_SVIDEO, MODE_SVIDEO_VIEW},
        {SOURCE_RADIO, MODE_FM_RADIO},
    };
    for (int input = 1; input <= 5; ++input) {
        int source = 0, mode = 0;
        ASSERT_TRUE(StartupSourceAndMode(input, &source, &mode));
        EXPECT_EQ(expected[input - 1][0], source);
        EXPECT_EQ(expected[input - 1][1], mode);
    }
    int source = -1, mode = -1;
    EXPECT_FALSE(StartupSourceAndMode(0, &source, &mode));
    EXPECT_FALSE(StartupSourceAndMode(6, &source, &mode));
    EXPECT_EQ(-1, source);
    EXPECT_EQ(-1, mode);
}
