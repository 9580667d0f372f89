#include <gtest/gtest.h>
#include "AppMessages.h"
#include "AppState.h"
#include "TestSupport.h"
#include "Afx.h"

namespace {

// A top-level window standing in for the main dialog: it records the source
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
        other = CreateWindowExA(0, "EDIT", "", WS_POPUP, 200, 10, 100, 50, NULL, NULL, NULL, NULL);
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
        if (message == WM_APP_SOURCE_CHANGED)
            sources.push_back(wParam);
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

}  // namespace

TEST(AppState, BusyCountNeverGoesBelowZero)
{
    CAppState state;
    EXPECT_EQ(1, state.ChangeBusyCount(TRUE));
    EXPECT_TRUE(state.IsBusy());
    EXPECT_EQ(0, state.ChangeBusyCount(FALSE));
    EXPECT_EQ(-1, state.ChangeBusyCount(FALSE));
    state.ChangeBusyCount(FALSE);
    EXPECT_FALSE(state.IsBusy());
    EXPECT_EQ(1, state.ChangeBusyCount(TRUE));
}

TEST(AppState, SourceChangeNotifiesOnlyWhenAskedAndOnlyOnAChange)
{
    FakeMainWnd main;
    ASSERT_TRUE(main.GetSafeHwnd() != NULL);
    CAppState state;
    EXPECT_TRUE(state.IsSourceCable() && state.IsTvViewing());

    ::SetFocus(main.other);
    state.SetSource(SOURCE_COMPOSITE, FALSE);
    EXPECT_TRUE(state.IsSourceComposite() && !state.IsTunerSource());
    EXPECT_TRUE(main.sources.empty());
    EXPECT_EQ(main.GetSafeHwnd(), ::GetFocus());

    state.SetSource(SOURCE_ANTENNA, TRUE);
    EXPECT_EQ(std::vector<WPARAM>{SOURCE_ANTENNA}, main.sources);

    // The same value again: no message, and the focus stays where it is.
    ::SetFocus(main.other);
    state.SetSource(SOURCE_ANTENNA, TRUE);
    state.SetMode(MODE_TV_VIEW);
    EXPECT_EQ(1u, main.sources.size());
    EXPECT_EQ(main.other, ::GetFocus());

    state.SetMode(MODE_TV_RECORD);
    EXPECT_TRUE(state.IsTvRecord() && !state.IsTvViewing());
    EXPECT_EQ(main.GetSafeHwnd(), ::GetFocus());
    EXPECT_EQ(1u, main.sources.size());
}

TEST(AppState, SavedInputSourceGivesTheStartSourceAndMode)
{
    const int expected[][2] = {{16, 1}, {17, 1}, {18, 8}, {19, 10}, {20, 12}};
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
