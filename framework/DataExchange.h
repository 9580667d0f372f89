// Dialog data exchange: DoDataExchange moves values between a dialog's
// members and its controls (UpdateData(FALSE): members to controls; TRUE:
// controls to members) and binds control objects to their controls.
#pragma once
#include "Wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    BOOL m_bSaveAndValidate;    // TRUE: controls to members
    CWnd* m_pDlgWnd;
    // The control's handle (NULL when the dialog has no such control).
    HWND PrepareCtrl(int nIDC) const { return ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC); }
};

// Subclasses the control onto rControl the first time; later calls do nothing.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// A check box: 0, 1 or 2 (indeterminate).
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// A radio group starting at nIDC (the button with WS_GROUP): the index of the
// checked button among the group's radio buttons, -1 for none.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// A drop-down list's selected index (-1: none).
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
