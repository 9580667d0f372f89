#include "CmdTarget.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

BOOL CCmdTarget::OnCmdMsg(UINT, int, void*, AFX_CMDHANDLERINFO*)
{
    return FALSE;
}
