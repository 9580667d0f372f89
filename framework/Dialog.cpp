#include "Dialog.h"
#include "WinApp.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

// The dialog's window procedure is ours (subclassed at creation), so the
// dialog procedure proper only sees what we pass on; it has nothing to add.
static INT_PTR CALLBACK FwDlgProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

CDialog::CDialog()
    : m_lpszTemplateName(NULL), m_nIDHelp(0), m_pParentWnd(NULL),
      m_nModalResult(-1), m_bEndModal(FALSE), m_bInModalLoop(FALSE)
{
}

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_nIDHelp(0), m_pParentWnd(pParentWnd),
      m_nModalResult(-1), m_bEndModal(FALSE), m_bInModalLoop(FALSE)
{
    if (IS_INTRESOURCE(lpszTemplateName))
        m_nIDHelp = (UINT)(UINT_PTR)lpszTemplateName;
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCE(nIDTemplate)), m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd),
      m_nModalResult(-1), m_bEndModal(FALSE), m_bInModalLoop(FALSE)
{
}

LPCDLGTEMPLATE CDialog::LoadTemplate(LPCTSTR lpszTemplateName) const
{
    if (!lpszTemplateName)
        return NULL;
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hRes = ::FindResource(hInst, lpszTemplateName, RT_DIALOG);
    HGLOBAL hGlobal = hRes ? ::LoadResource(hInst, hRes) : NULL;
    return hGlobal ? (LPCDLGTEMPLATE)::LockResource(hGlobal) : NULL;
}

BOOL CDialog::CreateDlgIndirect(LPCDLGTEMPLATE lpDialogTemplate, HWND hWndParent, HINSTANCE hInst)
{
    if (m_hWnd || !lpDialogTemplate)
        return FALSE;
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateDialogIndirectParam(hInst, lpDialogTemplate, hWndParent, FwDlgProc, 0);
    if (!AfxUnhookWindowCreate() && hWnd) {
        ::DestroyWindow(hWnd);  // made without its object (no hook)
        return FALSE;
    }
    return hWnd != NULL;
}

BOOL CDialog::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
{
    m_lpszTemplateName = lpszTemplateName;
    if (IS_INTRESOURCE(lpszTemplateName) && m_nIDHelp == 0)
        m_nIDHelp = (UINT)(UINT_PTR)lpszTemplateName;
    return CreateIndirect(LoadTemplate(lpszTemplateName), pParentWnd);
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    return Create(MAKEINTRESOURCE(nIDTemplate), pParentWnd);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd)
{
    if (pParentWnd)
        m_pParentWnd = pParentWnd;
    HWND hWndParent = SafeHwnd(m_pParentWnd);
    if (!hWndParent) {
        CWnd* pMain = AfxGetMainWnd();
        if (pMain && pMain != this)
            hWndParent = pMain->m_hWnd;
    }
    return CreateDlgIndirect(lpDialogTemplate, hWndParent, AfxGetResourceHandle());
}

HWND CDialog::GetModalOwner() const
{
    HWND hWnd = SafeHwnd(m_pParentWnd);
    if (!hWnd) {
        CWnd* pMain = AfxGetMainWnd();
        if (pMain && pMain != this)
            hWnd = pMain->m_hWnd;
    }
    while (hWnd && (::GetWindowLong(hWnd, GWL_STYLE) & WS_CHILD))
        hWnd = ::GetParent(hWnd);
    return ::IsWindow(hWnd) ? hWnd : NULL;
}

int CDialog::DoModal()
{
    LPCDLGTEMPLATE lpTemplate = LoadTemplate(m_lpszTemplateName);
    if (!lpTemplate)
        return -1;
    HWND hWndOwner = GetModalOwner();
    BOOL bEnableOwner = FALSE;
    if (hWndOwner && ::IsWindowEnabled(hWndOwner)) {
        ::EnableWindow(hWndOwner, FALSE);
        bEnableOwner = TRUE;
    }

    m_nModalResult = -1;
    m_bEndModal = FALSE;
    if (CreateDlgIndirect(lpTemplate, hWndOwner, AfxGetResourceHandle())) {
        if (!m_bEndModal)
            RunModalLoop();
        if (m_hWnd)
            ::SetWindowPos(m_hWnd, NULL, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE |
                           SWP_NOACTIVATE | SWP_NOZORDER);
    }
    // The owner comes back before the dialog goes, so activation returns to it.
    if (bEnableOwner)
        ::EnableWindow(hWndOwner, TRUE);
    if (hWndOwner && m_hWnd && ::GetActiveWindow() == m_hWnd)
        ::SetActiveWindow(hWndOwner);
    DestroyWindow();
    return m_nModalResult;
}

// The same filters as the application's own loop, so the main window still
// sees keys while a modal dialog (or the main dialog itself) runs.
BOOL CDialog::PreTranslateInLoop(MSG* pMsg)
{
    CWinApp* pApp = AfxGetApp();
    return pApp ? pApp->PreTranslateMessage(pMsg) : WalkPreTranslateTree(NULL, pMsg);
}

void CDialog::RunModalLoop()
{
    FwMessageLoopScope loop;
    m_bInModalLoop = TRUE;
    // Like the system's modal dialogs: one that is not visible yet is shown
    // once its initial messages are through.
    BOOL bShowOnIdle = !(GetStyle() & WS_VISIBLE);
    MSG msg;
    while (!m_bEndModal) {
        if (!::PeekMessage(&msg, NULL, 0, 0, PM_NOREMOVE)) {
            if (bShowOnIdle && m_hWnd) {
                ShowWindow(SW_SHOWNORMAL);
                bShowOnIdle = FALSE;
                continue;
            }
            FwIdleDeleteTempMaps();
        }
        if (!::GetMessage(&msg, NULL, 0, 0)) {
            // Leave the quit request for the loop outside.
            ::PostQuitMessage((int)msg.wParam);
            m_nModalResult = -1;
            break;
        }
        if (!PreTranslateInLoop(&msg) && !(m_hWnd && ::IsDialogMessage(m_hWnd, &msg))) {
            ::TranslateMessage(&msg);
            ::DispatchMessage(&msg);
        }
        if (!m_hWnd)
            break;      // destroyed under us
    }
    m_bInModalLoop = FALSE;
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    m_bEndModal = TRUE;
    if (m_hWnd) {
        ::EndDialog(m_hWnd, nResult);
        ::PostMessage(m_hWnd, WM_NULL, 0, 0);   // wake the modal loop
    }
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    // Keyboard navigation (Tab, arrows, Enter, Esc) inside this dialog.
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_hWnd &&
        (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd)))
        return ::IsDialogMessage(m_hWnd, pMsg);
    return FALSE;
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (nCode == CN_COMMAND && (nID == IDOK || nID == IDCANCEL)) {
        if (nID == IDOK)
            OnOK();
        else
            OnCancel();
        return TRUE;
    }
    return CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_INITDIALOG) {
        // Answered here, in the window procedure: the dialog manager takes
        // the result as "set the default focus".
        *pResult = OnInitDialog();
        return TRUE;
    }
    return CWnd::OnWndMsg(message, wParam, lParam, pResult);
}
