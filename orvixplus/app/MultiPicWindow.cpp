#include "MultiPicWindow.h"
#include "AppState.h"
#include "BitmapUtil.h"
#include "Globals.h"
#include <stdio.h>
#include <new>

void PostLeaveTvWall(int nAction, int nChannel)
{
    CWnd* pMain = AfxGetMainWnd();
    if (pMain && pMain->GetSafeHwnd())
        pMain->PostMessage(WM_LEAVE_TV_WALL, (WPARAM)nAction, (LPARAM)nChannel);
}

static void FillBackground(HDC hDC, HWND hWnd)
{
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    HBRUSH brush = ::CreateSolidBrush(kTvWallBackground);
    ::FillRect(hDC, &rc, brush);
    ::DeleteObject(brush);
}

// ---------------------------------------------------------------- the cell

CMultiPicCell::CMultiPicCell()
    : m_hThumbnail(NULL), m_nChannel(0), m_nIndex(-1), m_bFirstErase(TRUE)
{
}

CMultiPicCell::~CMultiPicCell()
{
    if (m_hThumbnail)
        ::DeleteObject(m_hThumbnail);
}

void CMultiPicCell::SetIndex(int nIndex)
{
    if (nIndex >= 0)
        m_nIndex = nIndex;
}

void CMultiPicCell::SetThumbnail(HBITMAP* phBitmap)
{
    if (!phBitmap || !*phBitmap)
        return;
    BITMAP bm = {};
    if (!::GetObject(*phBitmap, sizeof bm, &bm))
        return;
    HBITMAP copy = NULL;
    CropBitmap(NULL, &copy, *phBitmap, 0, 0, bm.bmWidth, bm.bmHeight);
    if (!copy)
        return;
    if (m_hThumbnail)
        ::DeleteObject(m_hThumbnail);
    m_hThumbnail = copy;
    if (GetSafeHwnd())
        Invalidate();
}

void CMultiPicCell::PaintContent(HDC hDC)
{
    if (!m_hThumbnail)
        return;
    RECT rc;
    GetClientRect(&rc);
    BITMAP bm = {};
    ::GetObject(m_hThumbnail, sizeof bm, &bm);
    HDC mem = ::CreateCompatibleDC(hDC);
    HGDIOBJ old = ::SelectObject(mem, m_hThumbnail);
    int oldMode = ::SetStretchBltMode(hDC, COLORONCOLOR);
    ::StretchBlt(hDC, 0, 0, rc.right, rc.bottom, mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    ::SetStretchBltMode(hDC, oldMode);
    ::SelectObject(mem, old);
    ::DeleteDC(mem);
    if (m_nChannel > 0) {
        char text[32];
        snprintf(text, sizeof text, "Channel%d", m_nChannel);
        RECT place = {rc.right - 100, 0, rc.right, 25};
        COLORREF oldColour = ::SetTextColor(hDC, kTvWallChannelText);
        int oldBk = ::SetBkMode(hDC, TRANSPARENT);
        ::DrawTextA(hDC, text, -1, &place, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
        ::SetBkMode(hDC, oldBk);
        ::SetTextColor(hDC, oldColour);
    }
}

LRESULT CMultiPicCell::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        // The first erase comes before any picture: grey. Later ones would
        // flash grey under the picture, so they draw the picture itself.
        if (m_bFirstErase) {
            FillBackground((HDC)wParam, m_hWnd);
            m_bFirstErase = FALSE;
        } else {
            PaintContent((HDC)wParam);
        }
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hDC = ::BeginPaint(m_hWnd, &ps);
        PaintContent(hDC);
        ::EndPaint(m_hWnd, &ps);
        return 0;
    }
    case WM_LBUTTONDBLCLK:
        if (m_nChannel != 0)
            PostLeaveTvWall(TV_WALL_LEAVE_CELL, m_nChannel);
        Invalidate();
        return 0;
    }
    return CButton::WindowProc(message, wParam, lParam);
}

// ---------------------------------------------------------------- the wall

CMultiPicWindow::CMultiPicWindow()
    : m_nGrid(0), m_hWnd(NULL), m_cells(10), m_pSettingsButton(NULL), m_pLeaveButton(NULL)
{
}

CMultiPicWindow::~CMultiPicWindow()
{
    POSITION pos = m_cells.GetStartPosition();
    while (pos) {
        int index = 0;
        CMultiPicCell* cell = NULL;
        m_cells.GetNextAssoc(pos, index, cell);
        if (cell->GetSafeHwnd())
            cell->DestroyWindow();
        delete cell;
    }
    m_cells.RemoveAll();
    CButton* buttons[] = {m_pSettingsButton, m_pLeaveButton};
    for (CButton* b : buttons) {
        if (b && b->GetSafeHwnd())
            b->DestroyWindow();
        delete b;
    }
    m_pSettingsButton = m_pLeaveButton = NULL;
    if (m_hWnd) {
        ::RemovePropA(m_hWnd, MULTIPIC_WINDOW_PROP);
        ::DestroyWindow(m_hWnd);
        m_hWnd = NULL;
    }
}

void CMultiPicWindow::SetGridSize(int nGrid)
{
    if (nGrid >= 0)
        m_nGrid = nGrid;
}

BOOL CMultiPicWindow::GetCellSize(int* pWidth, int* pHeight) const
{
    int cw = 0, ch = 0;
    if (m_nGrid > 0) {
        cw = ::GetSystemMetrics(SM_CXSCREEN) * 3 / (4 * m_nGrid);
        ch = ::GetSystemMetrics(SM_CYSCREEN) * 3 / (4 * m_nGrid);
    }
    if (pWidth)
        *pWidth = cw;
    if (pHeight)
        *pHeight = ch;
    return m_nGrid > 0;
}

BOOL CMultiPicWindow::Create()
{
    HINSTANCE hInst = ::GetModuleHandle(NULL);
    WNDCLASSA wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &CMultiPicWindow::WallProc;
    wc.hInstance = hInst;
    wc.lpszClassName = MULTIPIC_WINDOW_CLASS;
    if (!::RegisterClassA(&wc)) {
        WNDCLASSA existing;
        if (!::GetClassInfoA(hInst, MULTIPIC_WINDOW_CLASS, &existing))
            return FALSE;
    }
    int cw = 0, ch = 0;
    GetCellSize(&cw, &ch);
    const DWORD style = 0x02CF0000;  // overlapped window clipping its children
    RECT rc = {0, 0, m_nGrid * cw, ::GetSystemMetrics(SM_CYSCREEN) * 3 / 4};
    ::AdjustWindowRect(&rc, style, FALSE);
    if (!m_hWnd) {
        m_hWnd = ::CreateWindowExA(0, MULTIPIC_WINDOW_CLASS, "多画面浏览", style, CW_USEDEFAULT,
                                   CW_USEDEFAULT, rc.right - rc.left, rc.bottom - rc.top, NULL,
                                   NULL, hInst, NULL);
        if (!m_hWnd) {
            ::GetLastError();
            return FALSE;
        }
        ::SetPropA(m_hWnd, MULTIPIC_WINDOW_PROP, (HANDLE)this);
    }
    if (m_nGrid > 0) {
        int strip = (rc.bottom - rc.top) - m_nGrid * ch;
        if (!CreateButtons(strip))
            return FALSE;
        CreateCells(strip, cw, ch);
    }
    LONG_PTR s = ::GetWindowLongPtr(m_hWnd, GWL_STYLE);
    ::SetWindowLongPtr(m_hWnd, GWL_STYLE, s & ~(LONG_PTR)(WS_CAPTION | WS_SYSMENU | WS_THICKFRAME));
    int x = (::GetSystemMetrics(SM_CXSCREEN) - (rc.right - rc.left)) / 2;
    int y = (::GetSystemMetrics(SM_CYSCREEN) - (rc.bottom - rc.top)) / 2;
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, x, y, 0, 0,
                   SWP_NOSIZE | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    return TRUE;
}

BOOL CMultiPicWindow::CreateButtons(int nStrip)
{
    CWnd* parent = CWnd::FromHandle(m_hWnd);
    struct { CButton** pp; LPCSTR text; int left; UINT id; } buttons[] = {
        {&m_pSettingsButton, "设定", 0, ID_TV_WALL_SETTINGS},
        {&m_pLeaveButton, "离开", 100, ID_TV_WALL_LEAVE},
    };
    for (auto& b : buttons) {
        if (*b.pp)
            continue;
        CButton* button = new (std::nothrow) CButton;
        if (!button)
            return FALSE;
        CRect place(b.left, 0, b.left + 100, nStrip);
        if (!button->Create(b.text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, place, parent, b.id)) {
            delete button;
            return FALSE;
        }
        *b.pp = button;
    }
    return TRUE;
}

void CMultiPicWindow::CreateCells(int nStrip, int cw, int ch)
{
    // The frame goes once the cells are made, so they start at the client
    // area's left edge: the whole grid stays inside the window.
    CWnd* parent = CWnd::FromHandle(m_hWnd);
    for (int c = 0; c < m_nGrid; c++) {
        for (int r = 0; r < m_nGrid; r++) {
            CMultiPicCell* cell = new (std::nothrow) CMultiPicCell;
            if (!cell)
                continue;
            CRect place(c * cw, nStrip + r * ch, (c + 1) * cw, nStrip + (r + 1) * ch);
            if (!cell->Create("", 0x50400000, place, parent, 0)) {
                delete cell;
                continue;
            }
            int index = c + r * m_nGrid;
            CMultiPicCell* old = NULL;
            if (m_cells.Lookup(index, old) && old) {
                old->DestroyWindow();
                delete old;
            }
            m_cells.SetAt(index, cell);
            cell->SetIndex(index);
        }
    }
}

CMultiPicCell* CMultiPicWindow::GetCell(int nIndex) const
{
    CMultiPicCell* cell = NULL;
    if (nIndex < 0 || !m_cells.Lookup(nIndex, cell))
        return NULL;
    return cell;
}

BOOL CMultiPicWindow::SetCellChannel(int nIndex, int nChannel)
{
    CMultiPicCell* cell = nChannel < 0 ? NULL : GetCell(nIndex);
    if (!cell)
        return FALSE;
    cell->SetChannel(nChannel);
    return TRUE;
}

BOOL CMultiPicWindow::SetCellPicture(int nIndex, HBITMAP* phBitmap)
{
    CMultiPicCell* cell = GetCell(nIndex);
    if (!cell)
        return FALSE;
    cell->SetThumbnail(phBitmap);
    return TRUE;
}

HWND CMultiPicWindow::GetCellWindow(int nIndex) const
{
    CMultiPicCell* cell = GetCell(nIndex);
    return cell ? cell->GetSafeHwnd() : NULL;
}

LRESULT CALLBACK CMultiPicWindow::WallProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CMultiPicWindow* self = (CMultiPicWindow*)::GetPropA(hWnd, MULTIPIC_WINDOW_PROP);
    if (!self)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    return self->OnMessage(message, wParam, lParam);
}

LRESULT CMultiPicWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == ID_TV_WALL_SETTINGS)
            PostLeaveTvWall(TV_WALL_LEAVE_CURRENT, 0);
        else if (LOWORD(wParam) == ID_TV_WALL_LEAVE)
            PostLeaveTvWall(TV_WALL_LEAVE_START, 0);
        break;
    // Neither the frame's keys nor a close request may take the wall away:
    // only the main dialog ends it.
    case WM_SYSCOMMAND:
    case WM_CLOSE:
        return 0;
    case WM_ERASEBKGND:
        FillBackground((HDC)wParam, m_hWnd);
        return 1;
    case WM_KEYDOWN:
        if (g_pAppState && g_pAppState->IsTvWall()) {
            if (wParam == VK_RETURN)
                PostLeaveTvWall(TV_WALL_LEAVE_CURRENT, 0);
            else if (wParam == VK_ESCAPE)
                PostLeaveTvWall(TV_WALL_LEAVE_START, 0);
        }
        break;
    }
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}
