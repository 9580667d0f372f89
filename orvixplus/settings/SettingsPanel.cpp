#include "SettingsPanel.h"
#include "DevicePage.h"
#include "OptionsPanel.h"
#include "RecordPage.h"
#include "SettingsArt.h"
#include "SkinButtons.h"
#include "TuningPage.h"
#include "VideoPage.h"

using namespace settingsart;

namespace {

// In member order: device, video, recording, options, tuning.
struct TabSpec {
    const char* text;
    UINT nTab;
    RECT rect;
    UINT nPage;
};
const TabSpec kTabs[CSettingsPanel::TABS] = {
    {"设备", 5000, {0, 0, 55, 23}, 5004},
    {"视频", 5001, {110, 0, 165, 23}, 5005},
    {"录制", 5002, {165, 0, 220, 23}, 5006},
    {"其他", 5003, {220, 0, 285, 23}, 5007},
    {"调谐", 5008, {55, 0, 110, 23}, 5009},
};
const int kTabRow = 23, kBelowPages = 100;

}  // namespace

CSettingsPanel::CSettingsPanel()
{
    for (int i = 0; i < TABS; ++i) {
        m_pTabs[i] = NULL;
        m_pPages[i] = NULL;
    }
}

CSettingsPanel::~CSettingsPanel()
{
    DestroyChildren();
}

BOOL CSettingsPanel::CreatePanel(const RECT& rect, CWnd* pParent)
{
    return Create("", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | SS_NOTIFY, rect, pParent,
                  IDC_PANEL);
}

CDevicePage* CSettingsPanel::DevicePage() const { return (CDevicePage*)m_pPages[0]; }
CVideoPage* CSettingsPanel::VideoPage() const { return (CVideoPage*)m_pPages[1]; }
CRecordPage* CSettingsPanel::RecordPage() const { return (CRecordPage*)m_pPages[2]; }
COptionsPanel* CSettingsPanel::OptionsPanel() const { return (COptionsPanel*)m_pPages[3]; }
CTuningPage* CSettingsPanel::TuningPage() const { return (CTuningPage*)m_pPages[4]; }

int CSettingsPanel::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CStatic::OnCreate(lpCreateStruct) == -1)
        return -1;
    CBitmap tabs, back;
    if (!tabs.LoadBitmap(IDB_TAB_STRIP) || !back.LoadBitmap(IDB_PAGE_BACK))
        return 0;
    for (int i = 0; i < TABS; ++i) {
        CSkinTabButton* pTab = new CSkinTabButton;
        m_pTabs[i] = pTab;
        pTab->SetTransparentColor(kMagenta);
        pTab->SetBitmaps(tabs, kTabs[i].rect, back, kTabs[i].rect);
        pTab->SetSelected(i == 0);
        if (!pTab->Create(kTabs[i].text, WS_CHILD | WS_VISIBLE, kTabs[i].rect, this, kTabs[i].nTab))
            return -1;
    }
    CRect client(0, 0, lpCreateStruct->cx, lpCreateStruct->cy);
    CRect page(0, kTabRow, client.Width(), client.Height() - kBelowPages);
    m_pPages[0] = new CDevicePage;
    m_pPages[1] = new CVideoPage;
    m_pPages[2] = new CRecordPage;
    m_pPages[3] = new COptionsPanel;
    m_pPages[4] = new CTuningPage;
    for (int i = 0; i < TABS; ++i) {
        if (!m_pPages[i]->CreatePage(page, this, kTabs[i].nPage))
            return -1;
        m_pPages[i]->CutBackground(back, page.left, page.top, page.right, page.bottom);
        if (i == 0)
            m_pPages[i]->ShowWindow(SW_SHOW);
    }
    return 0;
}

void CSettingsPanel::DestroyChildren()
{
    for (int i = 0; i < TABS; ++i) {
        if (m_pTabs[i] && m_pTabs[i]->GetSafeHwnd())
            m_pTabs[i]->DestroyWindow();
        delete m_pTabs[i];
        m_pTabs[i] = NULL;
    }
    for (int i = 0; i < TABS; ++i) {
        if (m_pPages[i] && m_pPages[i]->GetSafeHwnd())
            m_pPages[i]->DestroyWindow();
        delete m_pPages[i];
        m_pPages[i] = NULL;
    }
}

void CSettingsPanel::OnDestroy()
{
    DestroyChildren();
    CStatic::OnDestroy();
}

void CSettingsPanel::OnPaint()
{
    CPaintDC dc(this);
}

BOOL CSettingsPanel::SelectTab(UINT nTabID)
{
    for (int i = 0; i < 4; ++i)
        if (!m_pTabs[i])
            return FALSE;
    int chosen = -1;
    for (int i = 0; i < TABS; ++i)
        if (kTabs[i].nTab == nTabID)
            chosen = i;
    if (chosen < 0)
        return FALSE;
    for (int i = 0; i < TABS; ++i) {
        if (m_pTabs[i])
            m_pTabs[i]->SetSelected(i == chosen);
        if (m_pPages[i])
            m_pPages[i]->ShowWindow(i == chosen ? SW_SHOW : SW_HIDE);
    }
    return TRUE;
}

LRESULT CSettingsPanel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND: {
        CRect rc;
        GetClientRect(&rc);
        HBRUSH hBrush = ::CreateSolidBrush(kPanelColour);
        ::FillRect((HDC)wParam, &rc, hBrush);
        ::DeleteObject(hBrush);
        return 1;
    }
    case WM_SKINTAB_CLICKED:
        SelectTab((UINT)wParam);
        return 0;
    case WM_COMMAND:
        // The tabs' own clicks and the pages' notices end here.
        return 0;
    }
    return CStatic::WindowProc(message, wParam, lParam);
}
