// Shared set-up of the channel list tests: a real channel store with channels
// 1..n, a topmost page window that logs what the lists tell it, a tuner that
// notes what it shows, and typing through a message loop that pre-translates
// as the program's does.
#pragma once
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "AppState.h"
#include "ChannelListCtrl.h"
#include "ChannelTestEnv.h"
#include "QuietTuningHost.h"
#include "SkinCtrlMap.h"
#include "SkinMessages.h"
#include "SkinScreen.h"

struct LoggedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class CListPage : public CWnd {
public:
    BOOL CreatePage()
    {
        LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursor(NULL, IDC_ARROW));
        return CreateEx(WS_EX_TOPMOST, cls, "channel list page", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 40, 60,
                        520, 340, NULL, NULL);
    }
    size_t Count(UINT message) const
    {
        size_t n = 0;
        for (const LoggedMessage& m : log)
            n += m.message == message;
        return n;
    }
    LoggedMessage Last(UINT message) const
    {
        for (size_t i = log.size(); i-- > 0;)
            if (log[i].message == message)
                return log[i];
        return LoggedMessage{ 0, 0, 0 };
    }
    std::vector<LoggedMessage> log;
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_EDITLIST_CHECKCHANGED:
        case WM_EDITLIST_NAMECHANGED:
        case WM_EDITLIST_FREQCHANGED:
        case WM_EDITLIST_TUNEROW:
            log.push_back({ message, wParam, lParam });
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// Tunes nothing; remembers the last channel text it was to show.
class CQuietTuner : public CQuietTuningHost {
public:
    std::string last;
    void ShowChannelText(const char* text) override { last = std::string("osd=") + text; }
};

class ChannelListTest : public ChannelTest {
protected:
    void SetUp() override
    {
        ChannelTest::SetUp();
        g_pTuningHost = &tuner_;
        Store({ 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 });
        ASSERT_TRUE(host_.CreatePage());
        skintest::KeepActive() = host_.m_hWnd;
    }
    void TearDown() override
    {
        skintest::KeepActive() = NULL;
        host_.DestroyWindow();
        ChannelTest::TearDown();
    }
    // Five columns: mark, tick, number, name, frequency.
    void CreateList(CEditListCtrl& list, const CRect& rc, UINT id = 4133)
    {
        ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, rc, &host_, id));
        const char* heads[5] = { "", "", "No.", "Name", "MHz" };
        const int widths[5] = { 24, 24, 60, 160, 90 };
        for (int i = 0; i < 5; ++i)
            list.InsertColumn(i, heads[i], LVCFMT_CENTER, widths[i]);
        list.InitSkin();
    }
    void Fill(CEditListCtrl& list, int n)
    {
        for (int i = 0; i < n; ++i)
            list.AddChannelRow(i, g_pChannelStore->GetChannelPtr(i + 1, 1));
    }
    LRESULT BeginEdit(CEditListCtrl& list, int row, int col)
    {
        EditListCell cell = { row, col, 0 };
        return list.SendMessage(WM_EDITLIST_BEGINEDIT, 0, (LPARAM)&cell);
    }
    // The program's loop: each message offered to its windows first.
    void Pump()
    {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (CWnd::WalkPreTranslateTree(NULL, &msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    void Type(HWND hwnd, const char* text)
    {
        for (const char* p = text; *p; ++p) {
            PostMessage(hwnd, WM_CHAR, (BYTE)*p, 1);
            Pump();
        }
    }
    void PressKey(HWND hwnd, UINT key)
    {
        PostMessage(hwnd, WM_KEYDOWN, key, 1);
        Pump();
    }
    CListPage host_;
    CQuietTuner tuner_;
};
