// CToolTipCtrl: tool tips for windows or rectangles of a window. Mouse
// messages reach it through RelayEvent (from PreTranslateMessage).
#pragma once
#include "Wnd.h"
#include <commctrl.h>

class CToolTipCtrl : public CWnd {
    DECLARE_DYNAMIC(CToolTipCtrl)
public:
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);
    // With a rectangle: a tool for that part of pWnd with id nIDTool; without:
    // the whole window pWnd is the tool.
    BOOL AddTool(CWnd* pWnd, LPCTSTR lpszText = LPSTR_TEXTCALLBACK, LPCRECT lpRectTool = NULL, UINT_PTR nIDTool = 0);
    BOOL AddTool(CWnd* pWnd, UINT nIDText, LPCRECT lpRectTool = NULL, UINT_PTR nIDTool = 0);
    void DelTool(CWnd* pWnd, UINT_PTR nIDTool = 0);
    void UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool = 0);
    void SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect);
    void RelayEvent(LPMSG lpMsg) { SendMessage(TTM_RELAYEVENT, 0, (LPARAM)lpMsg); }
    void Activate(BOOL bActivate) { SendMessage(TTM_ACTIVATE, bActivate); }
    int GetToolCount() const { return (int)SendMessage(TTM_GETTOOLCOUNT); }
    void SetDelayTime(UINT nDelay) { SendMessage(TTM_SETDELAYTIME, TTDT_AUTOMATIC, nDelay); }
    void SetDelayTime(DWORD dwDuration, int iTime) { SendMessage(TTM_SETDELAYTIME, dwDuration, iTime); }
    int SetMaxTipWidth(int iWidth) { return (int)SendMessage(TTM_SETMAXTIPWIDTH, 0, iWidth); }
    void Pop() { SendMessage(TTM_POP); }

protected:
    void FillInToolInfo(TOOLINFO& ti, CWnd* pWnd, UINT_PTR nIDTool) const;
};
