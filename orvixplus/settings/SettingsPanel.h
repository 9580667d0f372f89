// The settings window's page panel: five tab buttons over five pages. A tab
// shows its page and hides the others; nothing else changes. The panel keeps
// its children's commands to itself (tab 5008 and page 5009 share their ids
// with the window's OK and Exit buttons).
#pragma once
#include "Afx.h"

class CSkinTabButton;
class CSettingsPage;
class CDevicePage;
class CVideoPage;
class CRecordPage;
class COptionsPanel;
class CTuningPage;

class CSettingsPanel : public CStatic {
public:
    enum { TABS = 5 };
    enum { IDC_PANEL = 8000 };
    CSettingsPanel();
    virtual ~CSettingsPanel();

    BOOL CreatePanel(const RECT& rect, CWnd* pParent);

    CSkinTabButton* GetTab(int i) const { return m_pTabs[i]; }
    CSettingsPage* GetPage(int i) const { return m_pPages[i]; }
    CDevicePage* DevicePage() const;
    CVideoPage* VideoPage() const;
    CRecordPage* RecordPage() const;
    COptionsPanel* OptionsPanel() const;
    CTuningPage* TuningPage() const;

    // Selects the tab of that id and shows its page; FALSE for another id.
    BOOL SelectTab(UINT nTabID);

protected:
    virtual int OnCreate(LPCREATESTRUCT lpCreateStruct);
    virtual void OnDestroy();
    virtual void OnPaint();
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void DestroyChildren();
    CSkinTabButton* m_pTabs[TABS];
    CSettingsPage* m_pPages[TABS];
};
