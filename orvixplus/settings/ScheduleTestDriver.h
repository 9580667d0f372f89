// Drives modal loops from inside: a thread timer that the loop dispatches
// runs the test's step, which acts on the dialog with real messages.
#pragma once
#include <windows.h>
#include <functional>

namespace schedtest {

class ModalDriver {
public:
    // The step answers true when it is done, false to be called again a
    // little later (its dialog is not there yet).
    static void Arm(std::function<bool()> step, UINT ms = 20)
    {
        Disarm();
        s_step = std::move(step);
        s_id = SetTimer(NULL, 0, ms, Proc);
    }
    static void Disarm()
    {
        if (s_id)
            KillTimer(NULL, s_id);
        s_id = 0;
        s_step = nullptr;
    }

private:
    static void CALLBACK Proc(HWND, UINT, UINT_PTR id, DWORD)
    {
        KillTimer(NULL, id);
        if (id != s_id)
            return;
        s_id = 0;
        std::function<bool()> step = s_step;
        if (step && !step() && !s_id)
            s_id = SetTimer(NULL, 0, 20, Proc);
    }
    static inline std::function<bool()> s_step;
    static inline UINT_PTR s_id = 0;
};

// A click as the user's: the button reports BN_CLICKED to its parent.
inline void Click(HWND hDlg, int id)
{
    SendMessageA(GetDlgItem(hDlg, id), BM_CLICK, 0, 0);
}

// A new selection in a drop-down list, reported as the list reports it.
inline void Select(HWND hDlg, int id, int index)
{
    HWND hCombo = GetDlgItem(hDlg, id);
    SendMessageA(hCombo, CB_SETCURSEL, (WPARAM)index, 0);
    SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)hCombo);
}

inline int Selected(HWND hDlg, int id)
{
    return (int)SendDlgItemMessageA(hDlg, id, CB_GETCURSEL, 0, 0);
}

inline bool Enabled(HWND hDlg, int id)
{
    return IsWindowEnabled(GetDlgItem(hDlg, id)) != FALSE;
}

}  // namespace schedtest
