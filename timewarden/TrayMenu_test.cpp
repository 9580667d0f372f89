// The tray menu opened and closed in the test's own process: the popup
// windows get their frame hook and leave nothing behind.
#include <gtest/gtest.h>
#include "SkinMenu.h"
#include "TestSupport.h"
#include "TrayIcon.h"
#include "TrayMenuFrame.h"
#include "resource.h"

namespace {

HWND g_popup = NULL;
bool g_hooked = false;
int g_opened = 0;

// Runs inside the menu's own loop, which dispatches thread timers.
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR, DWORD)
{
    HWND menu = FindWindowExA(NULL, NULL, "#32768", NULL);
    if (!menu || !IsWindowVisible(menu))
        return;
    g_popup = menu;
    g_hooked = GetPropA(menu, SKINMENU_OLDPROC_PROP) != NULL &&
               GetWindowLongPtrA(menu, GWLP_WNDPROC) == (LONG_PTR)SkinMenu_PopupProc;
    g_opened++;
    EndMenu();
}

TEST(TrayMenu, OpeningAndClosingLeavesNoShadowRecordNorProperty)
{
    ts::WithTestWindow([](HWND hwnd) {
        {
            CTrayIcon icon(IDS_TRAY_TITLE);
            icon.SetNotificationWnd(CWnd::FromHandle(hwnd), WM_TRAY_NOTIFY);
            ASSERT_TRUE(TrayMenu() != NULL);
            EXPECT_EQ(RGB(120, 120, 158), SkinMenu_GetColor(SKINMENU_COLOR_FRAME0));
            EXPECT_EQ(20, SkinMenu_GetLogoWidth());
            // Another icon's events are not the tray's.
            EXPECT_EQ(0, icon.OnTrayNotification(IDS_TRAY_TITLE + 1, WM_RBUTTONUP));
            EXPECT_EQ(0, icon.OnTrayNotification(IDS_TRAY_TITLE, WM_MOUSEMOVE));
            UINT_PTR timer = SetTimer(NULL, 0, 30, CloseMenu);
            for (int i = 0; i < 20; i++) {
                g_hooked = false;
                EXPECT_EQ(1, icon.OnTrayNotification(IDS_TRAY_TITLE, WM_RBUTTONUP));
                EXPECT_TRUE(g_hooked) << i;
                ts::PumpFor(20);
                EXPECT_EQ(0, SkinMenu_ShadowRecordCount()) << i;
                if (g_popup && IsWindow(g_popup)) {
                    EXPECT_EQ(NULL, GetPropA(g_popup, SKINMENU_OLDPROC_PROP)) << i;
                }
            }
            KillTimer(NULL, timer);
            EXPECT_EQ(20, g_opened);
        }
        EXPECT_EQ(0, SkinMenu_ShadowRecordCount());
        // A shadow where the system draws none (Wine never does).
        EXPECT_FALSE(SkinMenu_SystemDrawsShadow());
    });
}

TEST(TrayMenu, ShadowFadesTowardsTheCorners)
{
    EXPECT_EQ(140, SkinMenu_ShadowFactor(0, 50, 100));
    EXPECT_EQ(240, SkinMenu_ShadowFactor(3, 50, 100));
    EXPECT_EQ(255, SkinMenu_ShadowFactor(0, 0, 100));
    EXPECT_GT(SkinMenu_ShadowFactor(0, 2, 100), SkinMenu_ShadowFactor(0, 5, 100));
    EXPECT_GE(SkinMenu_ShadowFactor(0, 99, 100), 250);
    EXPECT_EQ(255, SkinMenu_ShadowFactor(4, 50, 100));
}

}  // namespace
