// Timewarden's icon in the notification area: added by the first SetIcon with
// an icon, changed by the next, removed with SetIcon(0) or at destruction.
#pragma once
#include "Afx.h"
#include <shellapi.h>
#include "SubclassWnd.h"

class CTrayIcon;

// The number of the shell's "TaskbarCreated" message, registered at start.
UINT TaskbarCreatedMessage();

// One of the icon's two hooks: on the notification window and on its
// top-level parent. Both pass the icon's messages to it.
class CTrayIconHook : public CSubclassWnd {
public:
    CTrayIconHook() : m_pIcon(NULL) {}
    CTrayIcon* m_pIcon;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

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

    // A mouse event on the icon (wParam the icon's id): the menu on a right
    // release, OrvixPlus on a double click. 1 when it was the icon's.
    virtual LRESULT OnTrayNotification(WPARAM wParam, LPARAM lParam);
    // Explorer came back: the icon is added again with the same data.
    virtual LRESULT OnTaskbarCreated(WPARAM wParam, LPARAM lParam);

private:
    void SetTip(LPCSTR text);
    friend class CTrayIconHook;

    NOTIFYICONDATAA m_nid;
    CTrayIconHook m_notifyHook, m_parentHook;
};

// Loads menu 130 owner-drawn with the tray's look, its manager on the
// window that owns it and the popup frames hooked.
void BuildTrayMenu(CWnd* pOwner);
// The tray menu once built (NULL before).
CMenu* TrayMenu();

// The shell takes the record of the oldest layout, which every version reads.
#ifdef _WIN64
static_assert(NOTIFYICONDATAA_V1_SIZE == 104, "tray record size");
#else
static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "tray record size");
#endif
