#include "PropWindow.h"
#include "StepTrace.h"
#include "AppMessages.h"
#include "AppSettings.h"
#include "AppState.h"
#include "Bandatlas.h"
#include "CaptureGraph.h"
#include "ChannelHistory.h"
#include "ChannelListCtrl.h"
#include "ChannelStore.h"
#include "CountryPlan.h"
#include "FixedText.h"
#include "FolderDialog.h"
#include "Globals.h"
#include "OverlayGraph.h"
#include "ScheduleList.h"
#include "SettingsArt.h"
#include "SettingsPage.h"
#include "SettingsPanel.h"
#include "ShapeDialog.h"
#include "SkinButtons.h"
#include "SkinCtrlMap.h"
#include "SkinMessages.h"
#include "TuningHost.h"
#include "TuningPage.h"
#include "VideoWindow.h"

namespace {

const UINT IDC_CHANNEL_LIST = 4133;
const UINT IDC_FINE_TUNE = 4146, IDC_FINE_TUNE_LABEL = 4149, IDC_SCAN_PROGRESS = 4147;
const UINT IDC_PICTURE_FOLDER = 4210, IDC_RECORD_FOLDER = 4213;

// The window whose audio-line listener is set (one settings window a run).
CPropWindow* s_pListening = NULL;

HWND MainWindow()
{
    CWnd* pMain = AfxGetMainWnd();
    return pMain ? pMain->GetSafeHwnd() : NULL;
}

}  // namespace

CPropWindow::CPropWindow()
    : m_pOk(NULL), m_pExit(NULL), m_pPanel(NULL), m_nScanRows(0), m_bAudioInputFound(1)
{
}

CPropWindow::~CPropWindow()
{
    Destroy();
}

// --- creation and destruction -------------------------------------------------

BOOL CPropWindow::Create(int cx, int cy)
{
    if (m_hWnd)
        return FALSE;
    HINSTANCE hInst = AfxGetInstanceHandle();
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = ClassProc;
    wc.hInstance = hInst;
    char path[MAX_PATH] = "";
    if (::GetModuleFileNameA(NULL, path, MAX_PATH)) {
        HICON hIcon = ::ExtractIconA(hInst, path, 0);
        wc.hIcon = wc.hIconSm = (UINT_PTR)hIcon > 1 ? hIcon : NULL;
    }
    wc.hCursor = ::LoadCursor(NULL, IDC_ARROW);
    wc.lpszClassName = PROP_WINDOW_CLASS;
    if (!::RegisterClassExA(&wc)) {
        if (wc.hIcon)
            ::DestroyIcon(wc.hIcon);
        WNDCLASSA existing;
        if (!::GetClassInfoA(hInst, PROP_WINDOW_CLASS, &existing))
            return FALSE;
    }
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    RECT rc = {0, 0, cx, cy};
    ::AdjustWindowRect(&rc, style, FALSE);
    HWND hWnd = ::CreateWindowExA(0, PROP_WINDOW_CLASS, "", style, CW_USEDEFAULT, CW_USEDEFAULT,
                                  rc.right - rc.left, rc.bottom - rc.top, NULL, NULL, hInst, NULL);
    if (!hWnd)
        return FALSE;
    if (!::SetPropA(hWnd, PROP_WINDOW_PROP, (HANDLE)this) || !Attach(hWnd)) {
        ::RemovePropA(hWnd, PROP_WINDOW_PROP);
        ::DestroyWindow(hWnd);
        return FALSE;
    }
    ::SetWindowPos(hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return TRUE;
}

BOOL CPropWindow::Initialize(LPCSTR pszSkinIni)
{
    if (!pszSkinIni || !*pszSkinIni)
        return FALSE;
    if (!m_frame.LoadSkin(pszSkinIni))
        return FALSE;
    if (!m_hWnd || !::IsWindow(m_hWnd))
        return TRUE;
    if (!m_frame.Attach(m_hWnd))
        return FALSE;
    FwTraceStep("settings window: frame");
    if (!g_pSkinCtrlMap) {
        g_pSkinCtrlMap = new CSkinCtrlMap;
        if (!g_pSkinCtrlMap)
            return FALSE;
    }
    g_pSkinCtrlMap->SetOwner(m_hWnd);
    s_pListening = this;
    g_pfnAudioLineListener = AudioLineListener;
    if (!CreateControls())
        return FALSE;
    FwTraceStep("settings window: pages");
    BOOL filled = FillPages();
    FwTraceStep("settings window: filled");
    return filled;
}

BOOL CPropWindow::CreateControls()
{
    if (m_pPanel)
        return FALSE;
    CBitmap normal, hover, pressed;
    BOOL ok = normal.LoadBitmap(IDB_HOVER_NORMAL) && hover.LoadBitmap(IDB_HOVER_HOT) &&
              pressed.LoadBitmap(IDB_HOVER_PRESSED);
    struct { CHoverTextButton** pp; UINT id; const char* text; RECT rc; } buttons[2] = {
        {&m_pOk, IDC_OK, "确定", {100, 360, 170, 385}},
        {&m_pExit, IDC_EXIT, "退出", {260, 360, 330, 385}},
    };
    for (auto& b : buttons) {
        CHoverTextButton* p = new CHoverTextButton;
        *b.pp = p;
        if (ok) {
            BITMAP bm;
            normal.GetBitmap(&bm);
            CRect whole(0, 0, bm.bmWidth, bm.bmHeight);
            p->SetBitmaps(normal, whole, hover, whole, pressed, whole, normal, whole);
        }
        CRect rc(b.rc);
        HRGN hRgn = ::CreateRectRgn(0, 0, rc.Width(), rc.Height());
        p->SetRegion(hRgn);
        ::DeleteObject(hRgn);
        p->SetShaped(TRUE);
        if (!p->Create(b.text, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_PUSHBUTTON, rc, this, b.id))
            ok = FALSE;
    }
    m_pPanel = new CSettingsPanel;
    if (!m_pPanel->CreatePanel(CRect(10, 10, 450, 450), this))
        return FALSE;
    // The panel reaches below the buttons: they stay on top of it.
    for (CHoverTextButton* p : {m_pOk, m_pExit})
        if (p->GetSafeHwnd())
            ::SetWindowPos(p->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return ok;
}

void CPropWindow::Destroy()
{
    if (s_pListening == this) {
        g_pfnAudioLineListener = NULL;
        s_pListening = NULL;
    }
    // The registry goes before the controls it points at.
    delete g_pSkinCtrlMap;
    g_pSkinCtrlMap = NULL;
    for (CHoverTextButton** pp : {&m_pExit, &m_pOk}) {
        if (*pp && (*pp)->GetSafeHwnd())
            (*pp)->DestroyWindow();
        delete *pp;
        *pp = NULL;
    }
    if (m_pPanel && m_pPanel->GetSafeHwnd())
        m_pPanel->DestroyWindow();
    delete m_pPanel;
    m_pPanel = NULL;
    if (m_hWnd) {
        HWND hWnd = m_hWnd;
        ::RemovePropA(hWnd, PROP_WINDOW_PROP);
        Detach();
        ::DestroyWindow(hWnd);
    }
}

HWND CPropWindow::AudioLineListener()
{
    return s_pListening && !s_pListening->m_bAudioInputFound ? s_pListening->m_hWnd : NULL;
}

void CPropWindow::Show(int nCmdShow)
{
    if (m_hWnd)
        ::ShowWindow(m_hWnd, nCmdShow);
}

void CPropWindow::SetWindowText(LPCSTR pszText)
{
    if (m_hWnd)
        ::SetWindowTextA(m_hWnd, pszText);
}

void CPropWindow::SetFrameFlag(DWORD dwValue)
{
    m_frame.ClearFlags(0xFFFFFFFF);
    m_frame.SetFlags(dwValue);
}

void CPropWindow::HideAndTell()
{
    if (m_hWnd)
        ::ShowWindow(m_hWnd, SW_HIDE);
    if (HWND hMain = MainWindow())
        ::PostMessage(hMain, WM_APP_PROP_SHOWN, 0, 0);
}

void CPropWindow::Close()
{
    StopScanAndScheduledRun();
    ResetFineTune();
    CloseListEdit(TRUE);
    HideAndTell();
}

// --- filling the pages -------------------------------------------------------------

void CPropWindow::FillCountries()
{
    CSkinCtrlMap* map = g_pSkinCtrlMap;
    HMODULE hLib = ::LoadLibraryA("Bandatlas.dll");
    if (hLib) {
        PFN_GetCountryName pfnName = (PFN_GetCountryName)::GetProcAddress(hLib, "GetCountryName");
        PFN_GetCountryNameFromCode pfnFromCode =
            (PFN_GetCountryNameFromCode)::GetProcAddress(hLib, "GetCountryNameFromCode");
        if (pfnName && pfnFromCode) {
            for (int i = 0; i <= 203; ++i) {
                const char* name = pfnName(i);
                if (name && *name)
                    map->AddComboString(4101, name);
            }
            const char* current = pfnFromCode(g_pSettings->m_nCountryCode);
            if (current && *current)
                map->SetComboSel(4101, map->FindComboString(4101, current));
        }
        ::FreeLibrary(hLib);
    }
    map->SetLabelNumber(4112, g_pSettings->m_nCountryCode);
}

BOOL CPropWindow::FillPages()
{
    if (!g_pSettings)
        return FALSE;
    CAppSettings& s = *g_pSettings;
    CSkinCtrlMap* map = g_pSkinCtrlMap;
    if (!map)
        return FALSE;
    FillCountries();

    int input = s.m_nInputSource == 1 || s.m_nInputSource == 2 ? 0 : s.m_nInputSource == 3 ? 1
              : s.m_nInputSource == 4 ? 2 : -1;
    if (input >= 0)
        map->SetComboSel(4102, input);

    for (INT_PTR i = 0; i < s.m_arrVideoDevices.GetSize(); ++i)
        map->AddComboString(4103, s.m_arrVideoDevices[i]);
    int video = map->FindComboString(4103, s.m_szVideoDevice);
    if (video < 0) {
        map->SetComboSel(4103, 0);
        CString first;
        if (map->GetComboItemText(4103, 0, first))
            SetFixedText(s.m_szVideoDevice, first);
    } else {
        map->SetComboSel(4103, video);
    }
    for (INT_PTR i = 0; i < s.m_arrAudioDevices.GetSize(); ++i)
        map->AddComboString(4104, s.m_arrAudioDevices[i]);
    map->SetComboSel(4104, 0);
    for (INT_PTR i = 0; i < s.m_arrAudioLines.GetSize(); ++i)
        map->AddComboString(4105, s.m_arrAudioLines[i].szName);
    int line = map->FindComboString(4105, s.m_szAudioLine);
    if (line < 0) {
        map->SetComboSel(4105, 0);
        m_bAudioInputFound = 0;
    } else {
        map->SetComboSel(4105, line);
    }

    struct { UINT id; int value, count; } byValue[] = {
        {4132, s.m_nChannelSource, 2}, {4178, s.m_nVideoSize, 3}, {4208, s.m_nRecordQuality, 3},
        {4227, s.m_nWallDwell, 3}, {4228, s.m_nWallGrid, 4},
    };
    for (auto& c : byValue)
        if (c.value >= 1 && c.value <= c.count)
            map->SetComboSel(c.id, c.value - 1);

    map->SetCheck(4129, s.m_nTunerList == 1);
    map->SetCheck(4130, s.m_nTunerList == 2);
    for (int n = 0; n <= 8; ++n)
        map->SetCheck(4384 + n, s.m_nRecordFormat == n);
    map->SetCheck(4180, s.m_nWindowAspect == 1);
    map->SetCheck(4181, s.m_nWindowAspect == 0);
    map->SetCheck(4182, s.m_nWindowAspect == 2);

    map->SetToggleState(4229, s.m_nVideoDesktop);
    map->SetToggleState(4230, s.m_bOsd);
    map->SetToggleState(4231, s.m_bAlwaysOnTop);
    map->SetToggleState(4232, s.m_bDeinterlace);
    map->SetToggleState(4233, s.m_bDeletePreviewFile);

    struct { UINT bar, label; int value; } levels[] = {
        {4167, 4183, s.m_nBrightness}, {4168, 4184, s.m_nContrast}, {4169, 4185, s.m_nSharpness},
        {4176, 4192, s.m_nHue}, {4177, 4193, s.m_nSaturation},
    };
    for (auto& l : levels) {
        map->SetTrackBarPos(l.bar, l.value);
        map->SetLabelNumber(l.label, l.value);
    }
    map->SetEllipsisLabelText(IDC_PICTURE_FOLDER, s.m_szPictureFolder);
    map->SetEllipsisLabelText(IDC_RECORD_FOLDER, s.m_szRecordFolder);

    RefillChannelList();
    if (g_pChannelStore) {
        int count = g_pChannelStore->GetCount(s.m_nInputSource == 2 ? 2 : 1);
        if (count >= 0)
            map->SetChannelListRowCount(IDC_CHANNEL_LIST, count);
    }
    return TRUE;
}

// --- channel list -----------------------------------------------------------------

CEditListCtrl* CPropWindow::ChannelList() const
{
    if (!g_pSkinCtrlMap)
        return NULL;
    CChannelListCtrl* p = g_pSkinCtrlMap->GetChannelList(IDC_CHANNEL_LIST);
    return p && p->GetSafeHwnd() ? p : NULL;
}

void CPropWindow::CloseListEdit(BOOL bCommit)
{
    CEditListCtrl* pList = ChannelList();
    if (!pList)
        return;
    if (bCommit)
        pList->OnEndEdit();
}

void CPropWindow::RefillChannelList()
{
    StopScanAndScheduledRun();
    CEditListCtrl* pList = ChannelList();
    if (pList && g_pSettings && g_pChannelStore) {
        int list = g_pSettings->m_nTunerList;
        // The rows point at the store's records: every row goes before any
        // is made again, which also ends an edit without writing it.
        if (list == 1 || list == 2)
            FillChannelRows(pList, list);
    }
    if (g_pSettings && g_pCurrentChannel && g_pChannelStore) {
        for (int l = 2; l >= 1; --l) {
            if (l != g_pSettings->m_nTunerList)
                continue;
            g_pChannelStore->SelectChannel(g_pChannelStore->GetCurrent(l), l, TRUE);
            int count = g_pChannelStore->GetCount(l);
            if (count >= 1 && g_pSkinCtrlMap)
                g_pSkinCtrlMap->SetChannelListRowCount(IDC_CHANNEL_LIST, count);
        }
    }
}

// --- messages ----------------------------------------------------------------------

LRESULT CALLBACK CPropWindow::ClassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Creation messages come before the property is set.
    if (!::IsWindow(hWnd))
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    CPropWindow* pWnd = (CPropWindow*)::GetPropA(hWnd, PROP_WINDOW_PROP);
    if (!pWnd || pWnd->m_hWnd != hWnd)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    return pWnd->WindowProc(message, wParam, lParam);
}

LRESULT CPropWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND: {
        RECT rc;
        ::GetClientRect(m_hWnd, &rc);
        HBRUSH hBrush = ::CreateSolidBrush(settingsart::kPanelColour);
        ::FillRect((HDC)wParam, &rc, hBrush);
        ::DeleteObject(hBrush);
        return 1;
    }
    case WM_CLOSE:
    case WM_SKINFRAME_CLOSE:
        HideAndTell();
        return 0;
    case WM_COMMAND:
        OnButtonCommand(wParam, lParam);
        break;
    case WM_PROP_SELCHANGE:
        OnComboSelChange((int)wParam, (int)lParam);
        return 0;
    case WM_PROP_SLIDER_MOVING:
        OnSliderMoving((int)wParam, (int)lParam);
        return 0;
    case WM_PROP_SLIDER_RELEASED:
        OnSliderReleased((int)wParam, (int)lParam);
        return 0;
    case WM_PROP_VIDEO_SIZE:
        if (wParam >= 1 && wParam <= 3 && g_pSkinCtrlMap)
            g_pSkinCtrlMap->SetComboSel(4178, (int)wParam - 1);
        return 0;
    case WM_PROP_CHANNELS_RELOADED:
        RefillChannelList();
        return 0;
    case WM_PROP_ALWAYS_ON_TOP:
        if (g_pSkinCtrlMap)
            g_pSkinCtrlMap->SetToggleState(4231, (int)wParam);
        return 0;
    case WM_SCAN_FOUND:
        OnChannelFound((ChannelRecord*)lParam);
        return 0;
    case WM_EDITLIST_TUNEROW:
        OnTuneRow((int)wParam);
        return 0;
    case WM_CHANNEL_CHANGED:
        ResetFineTune();
        return 0;
    case WM_CHANNEL_CHANGING:
        CloseListEdit(TRUE);
        return 0;
    case WM_SCAN_PROGRESS:
        if (::IsWindowVisible(m_hWnd) && g_pAppState && g_pAppState->IsScanning() && g_pSkinCtrlMap)
            g_pSkinCtrlMap->SetSliderPos(IDC_SCAN_PROGRESS, (int)wParam);
        return 0;
    case WM_APP_INPUT_SOURCE:
        if (wParam <= 2 && g_pSkinCtrlMap)
            g_pSkinCtrlMap->SetComboSel(4102, (int)wParam);
        return 0;
    case WM_SCAN_END:
        OnScanFinished();
        return 0;
    case WM_SELECT_AUDIO_LINE:
        OnAudioLine(wParam);
        return 0;
    case WM_PROP_FOLDER_RESET:
        RefreshFolderLabel((int)wParam);
        return 0;
    case WM_PROP_REFRESH_DRIVES:
        CheckFolders();
        return 0;
    }
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

void CPropWindow::OnButtonCommand(WPARAM wParam, LPARAM lParam)
{
    // Only a click of the window's own buttons: the panel's tab 5008 and
    // page 5009 carry the same ids.
    if (HIWORD(wParam) != BN_CLICKED || !lParam)
        return;
    HWND hFrom = (HWND)lParam;
    if ((LOWORD(wParam) == IDC_OK && m_pOk && hFrom == m_pOk->m_hWnd) ||
        (LOWORD(wParam) == IDC_EXIT && m_pExit && hFrom == m_pExit->m_hWnd))
        Close();
}

void CPropWindow::OnComboSelChange(int nID, int nSel)
{
    if (nSel < 0)
        return;
    StopScanAndScheduledRun();
    if (!g_pAppState || !g_pSettings)
        return;
    CAppSettings& s = *g_pSettings;
    switch (nID) {
    case 4101: {
        if (!g_pCaptureGraph || !g_pSkinCtrlMap)
            return;
        CString name;
        g_pSkinCtrlMap->GetComboItemText(4101, nSel, name);
        if (name.IsEmpty())
            return;
        HMODULE hLib = ::LoadLibraryA("Bandatlas.dll");
        if (!hLib)
            return;
        PFN_GetCountryCode pfn = (PFN_GetCountryCode)::GetProcAddress(hLib, "GetCountryCode");
        int code = pfn ? pfn(name) : 0;
        ::FreeLibrary(hLib);
        if (!pfn || !g_pChannelStore)
            return;
        CString standard;
        if (GetCountryStandardName(code, standard))
            g_pCaptureGraph->SetVideoStandard(standard);
        // Rows point at the records FillDefault replaces.
        if (CEditListCtrl* pList = ChannelList())
            pList->DeleteAllItems();
        g_pChannelStore->FillDefault();
        RefillChannelList();
        if (g_pHistoryList)
            g_pHistoryList->RemoveAll();
        int type = GetInputType();
        if (type != -1)
            g_pChannelStore->SelectChannelNumber(g_pChannelStore->GetMinChannel(type), type, TRUE);
        return;
    }
    case 4102:
        SelectInputSource(nSel);
        return;
    case 4103:
        ChangeVideoDevice(nSel);
        return;
    case 4105: {
        CString text;
        if (g_pSkinCtrlMap)
            g_pSkinCtrlMap->GetComboItemText(4105, nSel, text);
        SetFixedText(s.m_szAudioLine, text);
        for (INT_PTR i = 0; i < s.m_arrAudioLines.GetSize(); ++i)
            if (text == s.m_arrAudioLines[i].szName && g_pCaptureGraph)
                g_pCaptureGraph->SelectAudioInput(s.m_arrAudioLines[i].szName);
        return;
    }
    case 4132:
        if (nSel <= 1)
            s.m_nChannelSource = nSel + 1;
        return;
    case 4178:
        if (nSel <= 2) {
            s.m_nVideoSize = nSel + 1;
            if (g_pVideoWindow && g_pVideoWindow->GetSafeHwnd())
                g_pVideoWindow->PostMessage(WM_PROP_VIDEO_SIZE, s.m_nVideoSize, 0);
        }
        return;
    case 4208:
        if (nSel <= 2)
            s.m_nRecordQuality = nSel + 1;
        return;
    case 4227:
        if (nSel <= 2)
            s.m_nWallDwell = nSel + 1;
        return;
    case 4228:
        if (nSel <= 3)
            s.m_nWallGrid = nSel + 1;
        return;
    }
}

void CPropWindow::SelectInputSource(int nIndex)
{
    if (nIndex < 0 || !g_pSettings || !g_pAppState)
        return;
    CAppSettings& s = *g_pSettings;
    if (nIndex == 0) {
        if (s.m_nTunerList == 1) {
            s.m_nInputSource = 1;
            g_pAppState->SetSource(SOURCE_ANTENNA, TRUE);
            g_pAppState->SetMode(MODE_TV_VIEW);
        }
        if (s.m_nTunerList == 2) {
            s.m_nInputSource = 2;
            g_pAppState->SetSource(SOURCE_CABLE, TRUE);
            g_pAppState->SetMode(MODE_TV_VIEW);
        }
    } else if (nIndex == 1) {
        s.m_nInputSource = 3;
        g_pAppState->SetSource(SOURCE_COMPOSITE, TRUE);
        g_pAppState->SetMode(MODE_COMPOSITE_VIEW);
    } else if (nIndex == 2) {
        s.m_nInputSource = 4;
        g_pAppState->SetSource(SOURCE_SVIDEO, TRUE);
        g_pAppState->SetMode(MODE_SVIDEO_VIEW);
    }
    if (g_pVideoWindow && g_pVideoWindow->GetSafeHwnd())
        g_pVideoWindow->PostMessage(WM_APP_INPUT_SOURCE, 0, 0);
}

void CPropWindow::ChangeVideoDevice(int nSel)
{
    CString name;
    if (!g_pSkinCtrlMap || !g_pSettings)
        return;
    g_pSkinCtrlMap->GetComboItemText(4103, nSel, name);
    if (name.IsEmpty() || name.CompareNoCase(g_pSettings->m_szVideoDevice) == 0)
        return;
    SetFixedText(g_pSettings->m_szVideoDevice, name);
    if (g_pCaptureGraph) {
        g_pCaptureGraph->Stop();
        delete g_pCaptureGraph;
    }
    g_pCaptureGraph = new COverlayGraph;
    if (g_pVideoWindow && g_pVideoWindow->GetSafeHwnd())
        g_pVideoWindow->AttachVideo();
}

void CPropWindow::OnSliderMoving(int nID, int nPos)
{
    if (g_pChannelStore)
        StopChannelScan();
    if (nID == IDC_FINE_TUNE) {
        CloseListEdit(TRUE);
        if (g_pScheduleList)
            g_pScheduleList->CancelScheduledRun();
        return;
    }
    if (!g_pSettings)
        return;
    CAppSettings& s = *g_pSettings;
    CCaptureGraph* g = g_pCaptureGraph;
    switch (nID) {
    case 4167: s.m_nBrightness = nPos; if (g) g->SetBrightness(nPos, 100); break;
    case 4168: s.m_nContrast = nPos; if (g) g->SetContrast(nPos, 100); break;
    case 4169: s.m_nSharpness = nPos; if (g) g->SetSharpness(nPos, 100); break;
    case 4176: s.m_nHue = nPos; if (g) g->SetHue(nPos, 100); break;
    case 4177: s.m_nSaturation = nPos; if (g) g->SetSaturation(nPos, 100); break;
    }
}

void CPropWindow::OnSliderReleased(int nID, int nPos)
{
    if (g_pChannelStore)
        StopChannelScan();
    if (nID == IDC_FINE_TUNE) {
        if (g_pScheduleList)
            g_pScheduleList->CancelScheduledRun();
        FineTune(nPos);
        return;
    }
    if (!g_pSettings)
        return;
    CAppSettings& s = *g_pSettings;
    switch (nID) {
    case 4167: s.m_nBrightness = nPos; break;
    case 4168: s.m_nContrast = nPos; break;
    case 4169: s.m_nSharpness = nPos; break;
    case 4176: s.m_nHue = nPos; break;
    case 4177: s.m_nSaturation = nPos; break;
    }
}

void CPropWindow::ResetFineTune()
{
    if (!g_pSkinCtrlMap)
        return;
    g_pSkinCtrlMap->SetTrackBarPos(IDC_FINE_TUNE, 0);
    g_pSkinCtrlMap->SetLabelText(IDC_FINE_TUNE_LABEL, "0");
    g_pSkinCtrlMap->SetTrackBarSavedPos(IDC_FINE_TUNE, 0);
}

BOOL CPropWindow::FineTune(int nPos)
{
    if (!g_pAppState || !g_pAppState->IsTvViewing() || !g_pSkinCtrlMap || !g_pChannelStore || !g_pSettings)
        return FALSE;
    int lo, hi;
    if (!g_pSkinCtrlMap->GetTrackBarRange(IDC_FINE_TUNE, lo, hi))
        return FALSE;
    StopScanAndScheduledRun();
    CloseListEdit(TRUE);
    float offset = GetCountryStandardOffset(g_pSettings->m_nCountryCode);
    if (!(offset > 0))
        return FALSE;
    int saved;
    if (!g_pSkinCtrlMap->GetTrackBarSavedPos(IDC_FINE_TUNE, saved))
        return FALSE;
    // A bar whose ends meet moves nothing (and must not divide by zero).
    if (hi == lo)
        return FALSE;
    double delta = (double)(nPos - saved) * offset * 2.0 / (double)(hi - lo);
    if (nPos == saved || !g_pTunedChannel)
        return TRUE;
    // The list of the input source: the one the tuned channel came from.
    int number = g_pTunedChannel->nNumber, list = GetInputType();
    if (list == -1)
        return FALSE;
    ChannelRecord rec;
    if (!g_pChannelStore->GetChannel(number, list, &rec)) {
        ResetFineTune();
        return FALSE;
    }
    // Only the frequency moves, from the one on the tuner: the stored record
    // may have a new name or skip flag since it was tuned.
    rec.fFrequency = (float)(g_pTunedChannel->fFrequency + delta);
    g_pChannelStore->UpdateChannel(number, list, &rec);
    // The history's entry first: the tune then finds it and adds no second
    // one for the new frequency.
    if (g_pHistoryList) {
        HistoryRecord h = {-1, list, 1, -1, rec};
        g_pHistoryList->Update(&h);
    }
    // The channel on screen is tuned again also when channel stepping skips
    // it.
    if (g_pChannelStore->IsSkipped(number, list))
        g_pChannelStore->SelectChannelInRange(number, list, FALSE);
    else
        g_pChannelStore->SelectChannel(number, list, FALSE);
    if (CEditListCtrl* pList = ChannelList()) {
        ChannelRecord* pStored = g_pChannelStore->GetChannelPtr(number, list);
        int row = pStored ? pList->FindRowByChannel(pStored) : -1;
        if (row >= 0)
            pList->SetFrequencyText(row, pStored->fFrequency);
    }
    return TRUE;
}

// --- scan ----------------------------------------------------------------------------

void CPropWindow::OnChannelFound(ChannelRecord* pReport)
{
    // The report is this window's to free on every path.
    struct Free { ChannelRecord* p; ~Free() { delete p; } } owner = {pReport};
    if (!pReport || !g_pAppState || !g_pAppState->IsScanning() || !g_pChannelStore)
        return;
    int list = InputSourceList();
    if (!list)
        return;
    CEditListCtrl* pList = ChannelList();
    if (m_nScanRows == 0) {
        if (pList)
            pList->DeleteAllItems();
        g_pChannelStore->RemoveAll(list);
    }
    // A number found again updates its record: a second one would leave the
    // first row pointing at a record the store no longer holds.
    if (ChannelRecord* pStored = g_pChannelStore->GetChannelPtr(pReport->nNumber, list)) {
        *pStored = *pReport;
        if (pList) {
            int row = pList->FindRowByChannel(pStored);
            if (row >= 0)
                pList->SetFrequencyText(row, pStored->fFrequency);
        }
        return;
    }
    ChannelRecord* pCopy = new ChannelRecord(*pReport);
    if (!g_pChannelStore->Add(list, pCopy)) {
        delete pCopy;
        return;
    }
    if (pList)
        pList->AddChannelRow(m_nScanRows, pCopy);
    ++m_nScanRows;
    if (g_pSkinCtrlMap)
        g_pSkinCtrlMap->SetChannelListRowCount(IDC_CHANNEL_LIST, m_nScanRows);
}

void CPropWindow::OnScanFinished()
{
    if (!g_pAppState || !g_pAppState->IsScanning())
        return;
    if (g_pHistoryList)
        g_pHistoryList->RemoveAll();
    if (g_pChannelStore && g_pCurrentChannel) {
        for (int l = 1; l <= 2; ++l)
            if (InputSourceList() == l)
                g_pChannelStore->SelectChannel(g_pChannelStore->GetMinChannel(l), l, TRUE);
    }
    g_pAppState->SetMode(MODE_TV_VIEW);
    if (g_pCaptureGraph)
        g_pCaptureGraph->EnableAudio(TRUE);
    if (g_pChannelStore)
        g_pChannelStore->Save(ProgramFolderPath() + "OrvixPlusChannels.chl");
    if (g_pSkinCtrlMap) {
        if (::IsWindowVisible(m_hWnd))
            g_pSkinCtrlMap->SetSliderPos(IDC_SCAN_PROGRESS, 0);
        if (m_nScanRows > 0)
            g_pSkinCtrlMap->SetChannelListRowCount(IDC_CHANNEL_LIST, m_nScanRows);
    }
    if (CShapeDialog* pMain = dynamic_cast<CShapeDialog*>(AfxGetMainWnd())) {
        if (pMain->GetSafeHwnd()) {
            pMain->SetButtonTip("SCAN_CHANNELS", "频道扫描");
            pMain->EnableProgress("PROGRESS_VOLUME", TRUE);
        }
    }
    m_nScanRows = 0;
}

void CPropWindow::OnTuneRow(int nRow)
{
    CEditListCtrl* pList = ChannelList();
    if (nRow < 0 || !g_pChannelStore || !pList)
        return;
    ChannelRecord* pRec = pList->GetRecord(nRow);
    if (!pRec)
        return;
    int list = GetInputType();
    if (list != -1)
        g_pChannelStore->SelectChannelInRange(pRec->nNumber, list, TRUE);
}

// --- audio line and folders ------------------------------------------------------------

void CPropWindow::OnAudioLine(WPARAM wParam)
{
    if (!g_pSkinCtrlMap)
        return;
    if (wParam) {
        g_pSkinCtrlMap->SetComboSel(4105, 0);
        return;
    }
    int found = g_pSettings ? g_pSkinCtrlMap->FindComboString(4105, g_pSettings->m_szAudioLine) : -1;
    if (found >= 0) {
        g_pSkinCtrlMap->SetComboSel(4105, found);
        m_bAudioInputFound = 1;
    } else {
        m_bAudioInputFound = 0;
        g_pSkinCtrlMap->SetComboSel(4105, 0);
    }
}

void CPropWindow::RefreshFolderLabel(int nWhich)
{
    if (!g_pSkinCtrlMap || !g_pSettings)
        return;
    if (nWhich == 0)
        g_pSkinCtrlMap->SetEllipsisLabelText(IDC_PICTURE_FOLDER, g_pSettings->m_szPictureFolder);
    else if (nWhich == 1)
        g_pSkinCtrlMap->SetEllipsisLabelText(IDC_RECORD_FOLDER, g_pSettings->m_szRecordFolder);
}

void CPropWindow::CheckFolders()
{
    if (!g_pSettings)
        return;
    CString program = ProgramFolderPath();
    if (!IsUsableFolder(g_pSettings->m_szRecordFolder, FALSE, FALSE)) {
        StoreFolder(g_pSettings->m_szRecordFolder, program);
        RefreshFolderLabel(1);
    }
    if (!IsUsableFolder(g_pSettings->m_szPictureFolder, FALSE, FALSE)) {
        StoreFolder(g_pSettings->m_szPictureFolder, program);
        RefreshFolderLabel(0);
    }
}
