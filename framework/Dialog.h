// CDialog: a dialog-manager window (class "#32770") made from a dialog
// template in the resources, run modally by DoModal's own message loop or
// created modeless by Create. IDOK and IDCANCEL commands reach OnOK/OnCancel.
#pragma once
#include "Wnd.h"

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog();
    explicit CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = NULL);
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL);

    // Modeless.
    virtual BOOL Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd = NULL);
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = NULL);
    BOOL CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = NULL);

    // Modal: disables the owner, runs until EndDialog, returns its code
    // (-1 when the dialog could not be created or the loop met WM_QUIT).
    virtual int DoModal();
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    DWORD GetDefID() const { return (DWORD)::SendMessage(m_hWnd, DM_GETDEFID, 0, 0); }
    void SetDefID(UINT nID) { ::SendMessage(m_hWnd, DM_SETDEFID, nID, 0); }
    void NextDlgCtrl() const { ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
    void PrevDlgCtrl() const { ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 1, 0); }
    void GotoDlgCtrl(CWnd* pWndCtrl) { ::SendMessage(m_hWnd, WM_NEXTDLGCTL, (WPARAM)SafeHwnd(pWndCtrl), 1); }
    BOOL MapDialogRect(LPRECT lpRect) const { return ::MapDialogRect(m_hWnd, lpRect); }

    LPCTSTR m_lpszTemplateName;     // name or MAKEINTRESOURCE id
    UINT m_nIDHelp;
    CWnd* m_pParentWnd;

protected:
    BOOL CreateDlgIndirect(LPCDLGTEMPLATE lpDialogTemplate, HWND hWndParent, HINSTANCE hInst);
    LPCDLGTEMPLATE LoadTemplate(LPCTSTR lpszTemplateName) const;
    // The owner of a modal dialog: the given parent or the main window, as a
    // top-level window.
    HWND GetModalOwner() const;
    void RunModalLoop();
    static BOOL PreTranslateInLoop(MSG* pMsg);

    int m_nModalResult;
    BOOL m_bEndModal;
    BOOL m_bInModalLoop;
};
