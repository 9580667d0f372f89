// CEdit: single- and multi-line edit controls.
#pragma once
#include "Wnd.h"

class CEdit : public CWnd {
    DECLARE_DYNAMIC(CEdit)
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
        { return CWnd::Create("EDIT", NULL, dwStyle, rect, pParentWnd, nID); }
    void SetLimitText(UINT nMax) { SendMessage(EM_SETLIMITTEXT, nMax); }
    void LimitText(int nChars = 0) { SendMessage(EM_LIMITTEXT, nChars); }
    UINT GetLimitText() const { return (UINT)SendMessage(EM_GETLIMITTEXT); }
    void SetSel(DWORD dwSelection, BOOL bNoScroll = FALSE)
        { SendMessage(EM_SETSEL, LOWORD(dwSelection), HIWORD(dwSelection)); if (!bNoScroll) SendMessage(EM_SCROLLCARET); }
    void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE)
        { SendMessage(EM_SETSEL, nStartChar, nEndChar); if (!bNoScroll) SendMessage(EM_SCROLLCARET); }
    DWORD GetSel() const { return (DWORD)SendMessage(EM_GETSEL); }
    void GetSel(int& nStartChar, int& nEndChar) const
        { SendMessage(EM_GETSEL, (WPARAM)&nStartChar, (LPARAM)&nEndChar); }
    void ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo = FALSE) { SendMessage(EM_REPLACESEL, bCanUndo, (LPARAM)lpszNewText); }
    BOOL SetReadOnly(BOOL bReadOnly = TRUE) { return (BOOL)SendMessage(EM_SETREADONLY, bReadOnly); }
    BOOL GetModify() const { return (BOOL)SendMessage(EM_GETMODIFY); }
    void SetModify(BOOL bModified = TRUE) { SendMessage(EM_SETMODIFY, bModified); }
    int GetLineCount() const { return (int)SendMessage(EM_GETLINECOUNT); }
    void SetPasswordChar(TCHAR ch) { SendMessage(EM_SETPASSWORDCHAR, (BYTE)ch); }
    void SetMargins(UINT nLeft, UINT nRight) { SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(nLeft, nRight)); }
    void LineScroll(int nLines, int nChars = 0) { SendMessage(EM_LINESCROLL, nChars, nLines); }
    BOOL Undo() { return (BOOL)SendMessage(EM_UNDO); }
    void Clear() { SendMessage(WM_CLEAR); }
    void Copy() { SendMessage(WM_COPY); }
    void Cut() { SendMessage(WM_CUT); }
    void Paste() { SendMessage(WM_PASTE); }
};
