#include "TrayIcon.h"
#include <string.h>
#include "FixedText.h"

IMPLEMENT_DYNAMIC(CTrayIcon, CCmdTarget)

namespace {

// The string of a resource id, cut to whole characters by SetTip.
void LoadResourceString(UINT uID, char* text, int size)
{
    if (!::LoadStringA(AfxGetResourceHandle(), uID, text, size))
        text[0] = 0;
}

}  // namespace

CTrayIcon::CTrayIcon(UINT uID)
{
    memset(&m_nid, 0, sizeof(m_nid));
    m_nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    m_nid.uID = uID;
    char text[256];
    LoadResourceString(uID, text, sizeof(text));
    SetTip(text);
}

CTrayIcon::~CTrayIcon()
{
    SetIcon(0);
}

void CTrayIcon::SetTip(LPCSTR text)
{
    // The shell shows the first 63 bytes and needs the terminator inside the field.
    CopyFixedText(m_nid.szTip, 64, text);
}

void CTrayIcon::SetNotificationWnd(CWnd* pNotifyWnd, UINT uCbMsg)
{
    m_nid.hWnd = CWnd::SafeHwnd(pNotifyWnd);
    m_nid.uCallbackMessage = uCbMsg;
}

BOOL CTrayIcon::SetIcon(UINT uID)
{
    HICON hicon = NULL;
    if (uID) {
        char text[256];
        LoadResourceString(uID, text, sizeof(text));
        SetTip(text);
        hicon = (HICON)::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(uID), IMAGE_ICON,
                                    ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), LR_SHARED);
    }
    return SetIcon(hicon, NULL);
}

BOOL CTrayIcon::SetIcon(HICON hicon, LPCSTR lpTip)
{
    DWORD operation;
    m_nid.uFlags = 0;
    if (hicon) {
        operation = m_nid.hIcon ? NIM_MODIFY : NIM_ADD;
        m_nid.hIcon = hicon;
        m_nid.uFlags = NIF_ICON;
    } else {
        if (!m_nid.hIcon)
            return TRUE;
        operation = NIM_DELETE;
    }
    if (lpTip)
        SetTip(lpTip);
    if (m_nid.szTip[0])
        m_nid.uFlags |= NIF_TIP;
    if (m_nid.uCallbackMessage && m_nid.hWnd)
        m_nid.uFlags |= NIF_MESSAGE;
    BOOL bOk = ::Shell_NotifyIconA(operation, &m_nid);
    if (operation == NIM_DELETE || !bOk)
        m_nid.hIcon = NULL;
    return bOk;
}
