#include "ShapeDialog.h"
#include "StepTrace.h"
#include "BitmapUtil.h"
#include "SkinValue.h"

BOOL FileExists(LPCTSTR lpszPath)
{
    CString path = lpszPath ? lpszPath : "";
    int slash = path.ReverseFind('\\');
    if (slash < 0 || slash == path.GetLength() - 1)
        return FALSE;
    WIN32_FIND_DATAA fd;
    HANDLE h = ::FindFirstFileA(path, &fd);
    if (h == INVALID_HANDLE_VALUE)
        return FALSE;
    ::FindClose(h);
    return path.Mid(slash + 1).CompareNoCase(fd.cFileName) == 0;
}

CString SkinFolderOf(const CString& path)
{
    int slash = path.ReverseFind('\\');
    return slash < 0 ? CString() : path.Left(slash + 1);
}

// What buttons and sliders end with: own cursor (and its file), shaped (and
// the key colour of its shape).
static void ParseElementTail(CString& value, CShapeElementSpec& s)
{
    s.hasCursor = ParseBool(GetNextToken(value));
    if (s.hasCursor)
        s.cursor = GetNextToken(value);
    s.shaped = ParseBool(GetNextToken(value));
    if (s.shaped)
        s.key = ParseColor(value);
}

CShapeElementSpec ParseButtonSpec(CString value)
{
    CShapeElementSpec s;
    s.name = GetNextToken(value);
    s.rect = ParseRect(value);
    s.tip = GetNextToken(value);
    ParseElementTail(value, s);
    return s;
}

CShapeElementSpec ParseProgressSpec(CString value)
{
    CShapeElementSpec s;
    s.name = GetNextToken(value);
    s.tip = GetNextToken(value);
    s.rect = ParseRect(value);
    s.horizontal = GetNextToken(value) == "H";
    ParseElementTail(value, s);
    return s;
}

CShapeElementSpec ParseTimerSpec(CString value)
{
    CShapeElementSpec s;
    s.name = GetNextToken(value);
    s.rect = ParseRect(value);
    return s;
}

namespace {

// A region with nothing in it shapes nothing: an element with it would be
// invisible and unreachable, a window with it would vanish.
BOOL IsEmptyRegion(HRGN hRgn)
{
    RECT box;
    return !hRgn || ::GetRgnBox(hRgn, &box) == NULLREGION;
}

// The values of key prefix1, prefix2, ... up to the section's key count.
template <class Fn>
BOOL ForEachNumbered(const CIniFile& ini, LPCTSTR section, LPCTSTR prefix, Fn fn)
{
    CStringArray keys;
    ini.GetKeyNames(section, keys);
    for (int n = 1; n <= (int)keys.GetSize(); ++n) {
        CString key;
        key.Format("%s%d", prefix, n);
        CString value = ini.GetString(section, key, "");
        if (value.IsEmpty())
            continue;
        if (!fn(n, value))
            return FALSE;
    }
    return TRUE;
}

}  // namespace

CShapeDialog::CShapeDialog(UINT nIDTemplate, CWnd* pParent) : CDialog(nIDTemplate, pParent)
{
    ResetSkin();
}

CShapeDialog::~CShapeDialog()
{
    ClearElements();
}

void CShapeDialog::ResetSkin()
{
    m_bLiveMove = TRUE;
    m_bInMove = FALSE;
    m_bmpNormal.DeleteObject();
    m_bmpHovered.DeleteObject();
    m_bmpPressed.DeleteObject();
    m_bmpDisabled.DeleteObject();
    m_bmpMask.DeleteObject();
    m_buttons.RemoveAll();
    m_progress.RemoveAll();
    m_timers.RemoveAll();
}

void CShapeDialog::ClearElements()
{
    m_bmpNormal.DeleteObject();
    m_bmpHovered.DeleteObject();
    m_bmpPressed.DeleteObject();
    m_bmpDisabled.DeleteObject();
    m_bmpMask.DeleteObject();
    for (int i = 0; i < GetButtonCount(); ++i)
        delete GetButton(i);
    for (int i = 0; i < GetProgressCount(); ++i)
        delete GetProgress(i);
    for (int i = 0; i < GetTimerCount(); ++i)
        delete GetTimer(i);
    m_buttons.RemoveAll();
    m_progress.RemoveAll();
    m_timers.RemoveAll();
}

void CShapeDialog::SetWindowRegion(HRGN hRgn)
{
    if (!hRgn)
        return;
    HRGN copy = CopyRegion(hRgn);
    if (copy && !SetWindowRgn(copy, TRUE))
        ::DeleteObject(copy);
}

BOOL CShapeDialog::LoadSkin(LPCTSTR lpszPath)
{
    if (!FileExists(lpszPath))
        return FALSE;
    ClearElements();
    m_strSkinPath = lpszPath;
    CIniFile ini(lpszPath);
    const char* section = "ShapeWindowInfo";
    CString normal = ini.GetString(section, "Normal", "");
    CString mask = ini.GetString(section, "Mask", "");
    CString hovered = ini.GetString(section, "Hovered", "");
    CString pressed = ini.GetString(section, "Pressed", "");
    CString disabled = ini.GetString(section, "Disabled", "");

    CSize size;
    LoadPictureFile(SkinFile(normal), m_bmpNormal, size);
    CSize maskSize;
    LoadPictureFile(SkinFile(mask), m_bmpMask, maskSize);
    if (maskSize.cx > 0 && maskSize.cy > 0)
        SetWindowPos(NULL, 0, 0, maskSize.cx, maskSize.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    LoadPictureFile(SkinFile(hovered), m_bmpHovered, size);
    LoadPictureFile(SkinFile(pressed), m_bmpPressed, size);
    LoadPictureFile(SkinFile(disabled), m_bmpDisabled, size);
    FwTraceStep("2 skin: pictures");

    // An all-white Mask would leave nothing of the window: it stays
    // rectangular then, and so does a window an earlier skin had shaped.
    HRGN shape = m_bmpMask.GetSafeHandle() ? BitmapToRegion(m_bmpMask, RGB(255, 255, 255), RGB(16, 16, 16)) : NULL;
    if (!IsEmptyRegion(shape))
        SetWindowRegion(shape);
    else
        SetWindowRgn(NULL, TRUE);
    if (shape)
        ::DeleteObject(shape);

    if (!LoadButtons(ini) || !LoadProgress(ini) || !LoadTimers(ini))
        return FALSE;
    FwTraceStep("2 skin: elements");
    Invalidate(TRUE);
    return TRUE;
}

HRGN CShapeDialog::ElementRegion(const CShapeElementSpec& element)
{
    HRGN rgn = NULL;
    if (element.shaped) {
        CBitmap cut;
        CropBitmapToObject(NULL, &cut, &m_bmpMask, element.rect);
        if (!cut.GetSafeHandle())
            return NULL;
        rgn = BitmapColorToRegion(cut, element.key);
    } else {
        rgn = ::CreateRectRgn(0, 0, element.rect.Width(), element.rect.Height());
    }
    if (IsEmptyRegion(rgn)) {
        if (rgn)
            ::DeleteObject(rgn);
        return NULL;
    }
    return rgn;
}

// What buttons and sliders share once their images are given: the own
// cursor, the shape, the window and the tool tip. A failure deletes the element.
template <class Element>
static BOOL FinishElement(CShapeDialog* dlg, Element* e, const CShapeElementSpec& s, HRGN rgn,
                          const CString& cursorPath, CPtrArray& into)
{
    if (s.hasCursor) {
        HCURSOR cursor = ::LoadCursorFromFileA(cursorPath);
        if (!cursor) {
            if (rgn)
                ::DeleteObject(rgn);
            delete e;
            return FALSE;
        }
        e->SetCursor(cursor);
    }
    if (!rgn) {
        delete e;
        return FALSE;
    }
    e->SetRegion(rgn);
    ::DeleteObject(rgn);
    if (!e->Create("", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, s.rect, dlg, 0)) {
        delete e;
        return FALSE;
    }
    e->SetTooltip(s.tip, TRUE);
    into.Add(e);
    return TRUE;
}

BOOL CShapeDialog::LoadButtons(const CIniFile& ini)
{
    return ForEachNumbered(ini, "ShapeButtonInfo", "Button", [this](int n, const CString& value) {
        CShapeElementSpec s = ParseButtonSpec(value);
        CShapeButton* b = new CShapeButton;
        b->SetBitmaps(m_bmpNormal, s.rect, m_bmpHovered, s.rect, m_bmpPressed, s.rect, m_bmpDisabled, s.rect);
        b->SetId(4999 + n);
        b->SetName(s.name);
        b->SetShaped(s.shaped);
        if (s.shaped)
            b->SetKeyColor(s.key);
        b->SetCursorFlag(s.hasCursor);
        return FinishElement(this, b, s, ElementRegion(s),
                             SkinFile(s.cursor), m_buttons);
    });
}

BOOL CShapeDialog::LoadProgress(const CIniFile& ini)
{
    return ForEachNumbered(ini, "ShapeProgressInfo", "Progress", [this](int n, const CString& value) {
        CShapeElementSpec s = ParseProgressSpec(value);
        CShapeProgress* p = new CShapeProgress;
        p->SetBitmaps(m_bmpNormal, s.rect, m_bmpHovered, s.rect, m_bmpPressed, s.rect, m_bmpDisabled, s.rect,
                      m_bmpNormal, s.rect);
        p->SetId(5999 + n);
        p->SetName(s.name);
        p->SetCursorFlag(s.hasCursor);
        p->SetHorizontal(s.horizontal);
        p->SetRange(0, 100, FALSE);
        p->SetShaped(s.shaped);
        return FinishElement(this, p, s, ElementRegion(s), SkinFile(s.cursor), m_progress);
    });
}

BOOL CShapeDialog::LoadTimers(const CIniFile& ini)
{
    return ForEachNumbered(ini, "TimerInfo", "Timer", [this](int n, const CString& value) {
        CShapeElementSpec s = ParseTimerSpec(value);
        CShapeTimer* t = new CShapeTimer;
        t->SetBitmaps(m_bmpNormal, s.rect, m_bmpNormal, s.rect);
        t->SetId(6499 + n);
        t->SetName(s.name);
        t->SetHideText(FALSE);
        if (!t->Create("", WS_CHILD | WS_VISIBLE, s.rect, this, 0)) {
            delete t;
            return FALSE;
        }
        m_timers.Add(t);
        return TRUE;
    });
}

// The first element of the array whose name (or id) matches, NULL for none.
template <class Element>
static Element* FindNamed(const CPtrArray& all, LPCTSTR name)
{
    for (int i = 0; i < (int)all.GetSize(); ++i)
        if (((Element*)all[i])->GetName() == name)
            return (Element*)all[i];
    return NULL;
}

CShapeButton* CShapeDialog::FindButton(LPCTSTR lpszName) const
{
    return FindNamed<CShapeButton>(m_buttons, lpszName);
}

CShapeProgress* CShapeDialog::FindProgress(LPCTSTR lpszName) const
{
    return FindNamed<CShapeProgress>(m_progress, lpszName);
}

CShapeTimer* CShapeDialog::FindTextItem(LPCTSTR lpszName) const
{
    return FindNamed<CShapeTimer>(m_timers, lpszName);
}

void CShapeDialog::TakeTextFont()
{
    CFont* pFont = m_hWnd ? GetFont() : NULL;
    m_hTakenFont = pFont ? (HFONT)pFont->GetSafeHandle() : NULL;
}

HFONT CShapeDialog::GetTextFont() const
{
    if (!m_hWnd)
        return NULL;
    if (::GetWindowThreadProcessId(m_hWnd, NULL) != ::GetCurrentThreadId())
        return m_hTakenFont;
    CFont* pFont = GetFont();
    return pFont ? (HFONT)pFont->GetSafeHandle() : NULL;
}

CShapeProgress* CShapeDialog::ProgressById(UINT nId) const
{
    for (int i = 0; i < GetProgressCount(); ++i)
        if (GetProgress(i)->GetId() == nId)
            return GetProgress(i);
    return NULL;
}

BOOL CShapeDialog::EnableButton(LPCTSTR lpszName, BOOL bEnable)
{
    CShapeButton* b = FindButton(lpszName);
    return b ? b->Enable(bEnable) : 0;
}

BOOL CShapeDialog::SetButtonTip(LPCTSTR lpszName, LPCTSTR lpszText)
{
    CShapeButton* b = FindButton(lpszName);
    if (!b)
        return FALSE;
    b->SetTooltip(lpszText, TRUE);
    return TRUE;
}

BOOL CShapeDialog::EnableProgress(LPCTSTR lpszName, BOOL bEnable)
{
    CShapeProgress* p = FindProgress(lpszName);
    return p ? p->Enable(bEnable) : 0;
}

BOOL CShapeDialog::SetProgressPos(LPCTSTR lpszName, int nPos)
{
    CShapeProgress* p = FindProgress(lpszName);
    if (!p)
        return FALSE;
    p->SetPos(nPos);
    return TRUE;
}

int CShapeDialog::GetProgressPos(LPCTSTR lpszName) const
{
    CShapeProgress* p = FindProgress(lpszName);
    return p ? p->GetPos() : 0;
}

BOOL CShapeDialog::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (!pHandlerInfo) {
        for (int i = 0; i < GetButtonCount(); ++i) {
            if (GetButton(i)->GetId() == nID) {
                if (nCode == 0)
                    OnSkinCommand(GetButton(i)->GetName());
                return TRUE;
            }
        }
    }
    return CDialog::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

int CShapeDialog::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    int result = CDialog::OnCreate(lpCreateStruct);
    if (result == -1)
        return result;
    ModifyStyle(WS_CAPTION | WS_THICKFRAME, 0, SWP_FRAMECHANGED);
    return 0;
}

void CShapeDialog::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    if (m_bmpNormal.GetSafeHandle())
        DrawBitmapStretched(dc, rc, m_bmpNormal);
    for (int i = 0; i < GetButtonCount(); ++i)
        GetButton(i)->Invalidate(TRUE);
    for (int i = 0; i < GetProgressCount(); ++i)
        GetProgress(i)->Invalidate(TRUE);
    for (int i = 0; i < GetTimerCount(); ++i)
        GetTimer(i)->Invalidate(TRUE);
}

void CShapeDialog::OnLButtonDown(UINT nFlags, CPoint point)
{
    // Dragging by the body: the system's move loop, as if on a caption.
    CPoint screen = point;
    ClientToScreen(&screen);
    PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
    CDialog::OnLButtonDown(nFlags, point);
}

LRESULT CShapeDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ENTERSIZEMOVE:
        m_bInMove = TRUE;
        if (m_bLiveMove)
            ::ReleaseCapture();
        break;
    case WM_EXITSIZEMOVE:
        m_bInMove = FALSE;
        break;
    case WM_MOVING:
        if (m_bLiveMove && lParam) {
            const RECT* r = (const RECT*)lParam;
            MoveWindow(r->left, r->top, r->right - r->left, r->bottom - r->top, TRUE);
        }
        break;
    case WM_SHAPEPROGRESS_MOVING:
    case WM_SHAPEPROGRESS_RELEASED:
        if (CShapeProgress* p = ProgressById((UINT)wParam)) {
            if (message == WM_SHAPEPROGRESS_MOVING)
                OnSkinProgress(p->GetName(), (int)lParam);
            else
                OnSkinProgressEnd(p->GetName(), (int)lParam);
        }
        return 0;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}
