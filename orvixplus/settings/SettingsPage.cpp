#include "SettingsPage.h"
#include "AppSettings.h"
#include "AppState.h"
#include "ChannelStore.h"
#include "Globals.h"
#include "ScheduleList.h"
#include "SettingsArt.h"
#include "SkinButtons.h"
#include "SkinComboBox.h"
#include "SkinCtrlMap.h"
#include "SkinGroup.h"
#include "SkinLabels.h"
#include "SkinSlider.h"
#include "TuningHost.h"

using namespace settingsart;

namespace {

// One of the sheets the controls cut their own copies from, loaded once and
// shared by all of them.
class CResourceBitmap {
public:
    explicit CResourceBitmap(UINT nID) : m_h(SharedResourceBitmap(nID)) {}
    operator HBITMAP() const { return m_h; }
    CRect Bounds() const
    {
        BITMAP bm = {};
        if (m_h)
            ::GetObject(m_h, sizeof(bm), &bm);
        return CRect(0, 0, bm.bmWidth, bm.bmHeight);
    }
private:
    HBITMAP m_h;
};

// A hover button whose region is its whole rectangle.
BOOL CreateShapedButton(CHoverTextButton* p, UINT nID, LPCSTR text, const RECT& rc, CWnd* pParent)
{
    CRect r(rc);
    HRGN hRgn = ::CreateRectRgn(0, 0, r.Width(), r.Height());
    p->SetRegion(hRgn);
    ::DeleteObject(hRgn);
    p->SetShaped(TRUE);
    return p->Create(text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, rc, pParent, nID);
}

// A check button or toggle from one image holding both its states.
BOOL CreateTwoStateButton(CImageTextButton* p, UINT nImage, UINT nID, LPCSTR text, const RECT& rc,
                          CWnd* pParent)
{
    CResourceBitmap image(nImage);
    p->SetBitmaps(image, kStateOff, image, kStateOn);
    return p->Create(text, WS_CHILD | WS_VISIBLE, rc, pParent, nID);
}

}  // namespace

CSettingsPage::CSettingsPage()
{
}

CSettingsPage::~CSettingsPage()
{
    // The window normally went first (OnDestroy); a page never shown still
    // frees what it made.
    for (INT_PTR i = m_controls.GetSize() - 1; i >= 0; --i)
        delete m_controls[i];
    m_controls.RemoveAll();
}

BOOL CSettingsPage::CreatePage(const RECT& rect, CWnd* pPanel, UINT nID)
{
    return Create("", WS_CHILD | WS_CLIPCHILDREN | SS_NOTIFY, rect, pPanel, nID);
}

void CSettingsPage::CutBackground(HBITMAP hSource, int left, int top, int right, int bottom)
{
    if (!hSource || right <= left || bottom <= top)
        return;
    m_bmpBack.DeleteObject();
    HDC hScreen = ::GetDC(NULL);
    HBITMAP hCopy = ::CreateCompatibleBitmap(hScreen, right - left, bottom - top);
    HDC hSrc = ::CreateCompatibleDC(hScreen), hDst = ::CreateCompatibleDC(hScreen);
    HGDIOBJ oldSrc = ::SelectObject(hSrc, hSource), oldDst = ::SelectObject(hDst, hCopy);
    ::BitBlt(hDst, 0, 0, right - left, bottom - top, hSrc, left, top, SRCCOPY);
    ::SelectObject(hSrc, oldSrc);
    ::SelectObject(hDst, oldDst);
    ::DeleteDC(hSrc);
    ::DeleteDC(hDst);
    ::ReleaseDC(NULL, hScreen);
    if (hCopy)
        m_bmpBack.Attach(hCopy);
    if (m_hWnd)
        Invalidate(FALSE);
}

int CSettingsPage::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CStatic::OnCreate(lpCreateStruct) == -1)
        return -1;
    return CreateControls() ? 0 : -1;
}

void CSettingsPage::OnDestroy()
{
    for (INT_PTR i = m_controls.GetSize() - 1; i >= 0; --i) {
        CWnd* pWnd = m_controls[i];
        if (pWnd->GetSafeHwnd())
            pWnd->DestroyWindow();
        delete pWnd;
    }
    m_controls.RemoveAll();
    CStatic::OnDestroy();
}

void CSettingsPage::OnPaint()
{
    CPaintDC paint(this);
    CRect rc;
    GetClientRect(&rc);
    CMemDC dc(&paint, &paint.m_ps.rcPaint);
    dc.FillSolidRect(&rc, dc.GetBkColor());
    if (m_bmpBack.GetSafeHandle()) {
        BITMAP bm;
        m_bmpBack.GetBitmap(&bm);
        TileBitmap(dc, rc, m_bmpBack, bm.bmWidth, bm.bmHeight);
    }
    CResourceBitmap frame(IDB_CELL_FRAME);
    if (frame) {
        CRect f = frame.Bounds();
        const int b = kFrameBorder;
        struct Strip { RECT src, dst; } strips[4] = {
            {{0, 0, f.right, b}, {rc.left, rc.top, rc.right, rc.top + b}},
            {{0, b, b, f.bottom - b}, {rc.left, rc.top + b, rc.left + b, rc.bottom - b}},
            {{f.right - b, b, f.right, f.bottom - b}, {rc.right - b, rc.top + b, rc.right, rc.bottom - b}},
            {{0, f.bottom - b, f.right, f.bottom}, {rc.left, rc.bottom - b, rc.right, rc.bottom}},
        };
        for (const Strip& s : strips) {
            HBITMAP hCut = NULL;
            CropBitmap(dc, &hCut, frame, s.src.left, s.src.top, s.src.right, s.src.bottom);
            if (hCut) {
                DrawBitmapStretched(dc, s.dst, hCut);
                ::DeleteObject(hCut);
            }
        }
    }
}

// --- control makers -------------------------------------------------------------

CSkinLabel* CSettingsPage::AddLabel(UINT nID, LPCSTR text, const RECT& rc, BOOL bRegister, CWnd* pParent)
{
    CSkinLabel* p = new CSkinLabel;
    Keep(p);
    CResourceBitmap sheet(IDB_CONTROL_SHEET);
    p->SetBitmap(sheet, kLabelFrame);
    CRect src(0, 0, kLabelFrame.right - kLabelFrame.left, kLabelFrame.bottom - kLabelFrame.top);
    p->SetRectA(&src);
    p->SetRectB(&kOneBorder);
    if (!p->Create(text, WS_CHILD | WS_VISIBLE, rc, pParent ? pParent : this, nID))
        return NULL;
    if (bRegister && g_pSkinCtrlMap)
        g_pSkinCtrlMap->AddLabel(nID, p);
    return p;
}

CEllipsisLabel* CSettingsPage::AddEllipsisLabel(UINT nID, const RECT& rc)
{
    CEllipsisLabel* p = new CEllipsisLabel;
    Keep(p);
    CResourceBitmap sheet(IDB_CONTROL_SHEET);
    RECT fill = {kLabelFrame.left + 1, kLabelFrame.top + 1, kLabelFrame.right - 1, kLabelFrame.bottom - 1};
    p->SetBitmaps(sheet, fill, sheet, kLabelFrame);
    CRect src(0, 0, kLabelFrame.right - kLabelFrame.left, kLabelFrame.bottom - kLabelFrame.top);
    p->SetRectA(&src);
    p->SetRectB(&kOneBorder);
    if (!p->Create("", WS_CHILD | WS_VISIBLE, rc, this, nID))
        return NULL;
    if (g_pSkinCtrlMap)
        g_pSkinCtrlMap->AddEllipsisLabel(nID, p);
    return p;
}

CSkinComboBox* CSettingsPage::AddCombo(UINT nID, const RECT& rc, const char* const* items, int nItems,
                                       CWnd* pParent)
{
    CSkinComboBox* p = new CSkinComboBox;
    Keep(p);
    CResourceBitmap sheet(IDB_CONTROL_SHEET);
    HBITMAP sources[CSkinComboBox::PART_COUNT];
    for (HBITMAP& h : sources)
        h = sheet;
    const RECT rects[CSkinComboBox::PART_COUNT] = {kComboButton[0], kComboButton[1], kComboButton[2],
                                                   kComboButton[3], kComboFrameFocus, kComboFrame,
                                                   kComboSelection};
    p->SetBitmaps(sources, rects);
    CRect frame(0, 0, kComboFrame.right - kComboFrame.left, kComboFrame.bottom - kComboFrame.top);
    p->SetRectA(frame);
    p->SetRectB(kOneBorder);
    p->SetRectC(frame);
    p->SetRectD(kOneBorder);
    if (!p->Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, rc, pParent ? pParent : this, nID))
        return NULL;
    for (int i = 0; i < nItems; ++i)
        p->AddString(items[i]);
    if (g_pSkinCtrlMap)
        g_pSkinCtrlMap->AddCombo(nID, p);
    return p;
}

CHoverTextButton* CSettingsPage::AddButton(UINT nID, LPCSTR text, const RECT& rc)
{
    CHoverTextButton* p = new CHoverTextButton;
    Keep(p);
    CResourceBitmap normal(IDB_HOVER_NORMAL), hover(IDB_HOVER_HOT), pressed(IDB_HOVER_PRESSED);
    p->SetBitmaps(normal, normal.Bounds(), hover, hover.Bounds(), pressed, pressed.Bounds(), normal,
                  normal.Bounds());
    return CreateShapedButton(p, nID, text, rc, this) ? p : NULL;
}

CHoverTextButton* CSettingsPage::AddMoveButton(UINT nID, int nRow, const RECT& rc)
{
    CHoverTextButton* p = new CHoverTextButton;
    Keep(p);
    CResourceBitmap cells(IDB_MOVE_BUTTONS);
    const int c = kMoveCell, y = c * nRow;
    CRect r0(0, y, c, y + c), r1(c, y, 2 * c, y + c), r2(2 * c, y, 3 * c, y + c), r3(3 * c, y, 4 * c, y + c);
    p->SetBitmaps(cells, r0, cells, r1, cells, r2, cells, r3);
    return CreateShapedButton(p, nID, "", rc, this) ? p : NULL;
}

CSkinCheckButton* CSettingsPage::AddCheck(UINT nID, LPCSTR text, const RECT& rc, CWnd* pParent)
{
    CSkinCheckButton* p = new CSkinCheckButton;
    Keep(p);
    if (!CreateTwoStateButton(p, IDB_CHECK, nID, text, rc, pParent ? pParent : this))
        return NULL;
    if (g_pSkinCtrlMap)
        g_pSkinCtrlMap->AddCheck(nID, p);
    return p;
}

CImageToggle* CSettingsPage::AddToggle(UINT nID, LPCSTR text, const RECT& rc, CWnd* pParent)
{
    CImageToggle* p = new CImageToggle;
    Keep(p);
    if (!CreateTwoStateButton(p, IDB_TOGGLE, nID, text, rc, pParent ? pParent : this))
        return NULL;
    if (g_pSkinCtrlMap)
        g_pSkinCtrlMap->AddToggle(nID, p);
    return p;
}

CSkinTrackBar* CSettingsPage::AddTrackBar(UINT nID, int x, int y, int nMin, int nMax, BOOL bThumb)
{
    CSkinTrackBar* p = new CSkinTrackBar;
    Keep(p);
    if (!p->Create("", WS_CHILD | WS_VISIBLE, CRect(x, y, x + 150, y + 25), this, nID))
        return NULL;
    p->SetBitmapChannel(IDB_TRACK_CHANNEL, 0, TRUE, TRUE, kMagenta, 0, 0);
    if (bThumb)
        p->SetBitmapThumb(IDB_TRACK_THUMB, 0, FALSE, 0, 0, 0);
    p->SetRange(nMin, nMax, TRUE);
    p->SetPos(0);
    if (g_pSkinCtrlMap)
        g_pSkinCtrlMap->AddTrackBar(nID, p);
    return p;
}

CSkinGroup* CSettingsPage::AddGroup(UINT nID, LPCSTR text, const RECT& rc)
{
    CSkinGroup* p = new CSkinGroup;
    Keep(p);
    CResourceBitmap sheet(IDB_CONTROL_SHEET);
    p->SetBitmaps(sheet, kGroupFrame, sheet, kGroupCaption);
    CRect frame(0, 0, kGroupFrame.right - kGroupFrame.left, kGroupFrame.bottom - kGroupFrame.top);
    CRect caption(0, 0, kGroupCaption.right - kGroupCaption.left, kGroupCaption.bottom - kGroupCaption.top);
    p->SetRectA(frame);
    p->SetRectB(kOneBorder);
    p->SetRectC(caption);
    p->SetRectD(kOneBorder);
    if (!p->Create(text, WS_CHILD | WS_VISIBLE | BS_GROUPBOX, rc, this, nID))
        return NULL;
    return p;
}

// --- reports --------------------------------------------------------------------

LRESULT CSettingsPage::Report(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND hOwner = g_pSkinCtrlMap ? g_pSkinCtrlMap->GetOwner() : NULL;
    return hOwner && ::IsWindow(hOwner) ? ::SendMessage(hOwner, message, wParam, lParam) : 0;
}

void CSettingsPage::StopScanAndRun()
{
    StopScanAndScheduledRun();
}

void StopScanAndScheduledRun()
{
    if (g_pChannelStore)
        StopChannelScan();
    if (g_pScheduleList)
        g_pScheduleList->CancelScheduledRun();
}

CString ProgramFolderPath()
{
    char path[MAX_PATH] = "";
    DWORD n = ::GetModuleFileNameA(NULL, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return CString();
    CString folder = path;
    return folder.Left(folder.ReverseFind('\\') + 1);
}

int InputSourceList()
{
    if (!g_pSettings)
        return 0;
    return g_pSettings->m_nInputSource == 1 ? 1 : g_pSettings->m_nInputSource == 2 ? 2 : 0;
}

CBusyScope::CBusyScope()
{
    if (g_pAppState)
        g_pAppState->ChangeBusyCount(TRUE);
}

CBusyScope::~CBusyScope()
{
    if (g_pAppState)
        g_pAppState->ChangeBusyCount(FALSE);
}

BOOL IsChannelEditMode(BOOL bWithRadio)
{
    if (!g_pAppState)
        return FALSE;
    switch (g_pAppState->GetMode()) {
    case MODE_TV_VIEW: case MODE_PLAY_FILE: case MODE_COMPOSITE_VIEW: case MODE_SVIDEO_VIEW:
        return TRUE;
    case MODE_FM_RADIO:
        return bWithRadio;
    }
    return FALSE;
}
