// Tests that open a real pop-up menu: the menu's own loop dispatches a timer,
// and each tick runs one step (a key pressed in one step is handled before
// the next); after the last step the menu is ended.
#pragma once
#include <windows.h>
#include <functional>
#include <vector>

namespace skintest {

typedef std::function<void(HWND)> MenuStepFn;

struct MenuRun {
    std::vector<MenuStepFn> steps;
    size_t next = 0;
    int idle = 0;
};

inline MenuRun*& CurrentMenuRun()
{
    static MenuRun* run = NULL;
    return run;
}

inline HWND OpenMenuWindow()
{
    HWND w = NULL;
    while ((w = FindWindowExA(NULL, w, "#32768", NULL)) != NULL)
        if (IsWindowVisible(w))
            return w;
    return NULL;
}

inline void CALLBACK MenuStepTick(HWND, UINT, UINT_PTR, DWORD)
{
    MenuRun& run = *CurrentMenuRun();
    HWND menu = OpenMenuWindow();
    if (!menu && ++run.idle < 50)
        return;
    if (menu && run.next < run.steps.size()) {
        run.steps[run.next++](menu);
        return;
    }
    EndMenu();
}

// open() shows the menu and returns when it has closed. FALSE when the menu
// closed before every step ran.
inline bool RunMenuSteps(const std::function<void()>& open, std::vector<MenuStepFn> steps)
{
    MenuRun run;
    run.steps = std::move(steps);
    CurrentMenuRun() = &run;
    UINT_PTR timer = SetTimer(NULL, 0, 100, MenuStepTick);
    open();
    KillTimer(NULL, timer);
    CurrentMenuRun() = NULL;
    return run.next == run.steps.size();
}

inline void PressKey(BYTE vk)
{
    keybd_event(vk, 0, 0, 0);
    keybd_event(vk, 0, KEYEVENTF_KEYUP, 0);
}

}  // namespace skintest
