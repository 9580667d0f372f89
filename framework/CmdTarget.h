// Base of the objects that take commands: windows and the application.
#pragma once
#include "AfxCore.h"

// Notification codes for OnCmdMsg: a command, or the update pass of a menu item.
#define CN_COMMAND 0
#define CN_UPDATE_COMMAND_UI ((UINT)(-1))

struct AFX_CMDHANDLERINFO;

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    // Command routing: TRUE when the command was consumed. The window calls it
    // for WM_COMMAND (menu items, accelerators, control notifications the
    // control did not take) before falling back to the default handling.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);
};
