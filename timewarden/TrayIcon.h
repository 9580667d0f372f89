// Timewarden's icon in the notification area: added by the first SetIcon with
// an icon, changed by the next, removed with SetIcon(0) or at destruction.
#pragma once
#include "Afx.h"
#include <shellapi.h>

class CTrayIcon : public CCmdTarget {
    DECLARE_DYNAMIC(CTrayIcon)
public:
    // The icon's id is the resource id; its string is the first tooltip.
    explicit CTrayIcon(UINT uID);
    ~CTrayIcon() override;

    // Mouse events on the icon reach pNotifyWnd as message uCbMsg.
    void SetNotificationWnd(CWnd* pNotifyWnd, UINT uCbMsg);
    // Icon and tooltip of that resource id; 0 removes the icon.
    BOOL SetIcon(UINT uID);
    // NULL hicon removes the icon; a NULL text keeps the tooltip.
    BOOL SetIcon(HICON hicon, LPCSTR lpTip);

    const NOTIFYICONDATAA& Data() const { return m_nid; }

private:
    void SetTip(LPCSTR text);

    NOTIFYICONDATAA m_nid;
};

// The shell takes the record of the oldest layout, which every version reads.
#ifdef _WIN64
static_assert(NOTIFYICONDATAA_V1_SIZE == 104, "tray record size");
#else
static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "tray record size");
#endif
