// The TV wall window: N x N cells, each showing a still picture of a channel
// with its number, one of them holding the live video, above a strip with the
// buttons "设定" and "离开". The main dialog fills the cells as it steps
// through the channels (MainDlgTvWall.cpp); the wall only tells it, by
// WM_LEAVE_TV_WALL, when the user wants to leave.
#pragma once
#include "Afx.h"
#include "AfxMap.h"
#include "AppMessages.h"

// Posted to the main window: wParam one of the actions below, lParam a
// channel number (action 2).
#define WM_LEAVE_TV_WALL WM_APP_LEAVE_TV_WALL
enum TvWallLeaveAction {
    TV_WALL_LEAVE_CURRENT = 1,  // "设定" or Enter: stay on the channel now tuned
    TV_WALL_LEAVE_CELL = 2,     // a cell was double-clicked: its channel
    TV_WALL_LEAVE_START = 3,    // "离开" or Escape: back to the start channel
    TV_WALL_LEAVE_END = 4,      // the cycle ran out of channels
};

#define MULTIPIC_WINDOW_CLASS "MultiPicWindow"
#define MULTIPIC_WINDOW_PROP "sMultiPicWnd_Proc"
enum { ID_TV_WALL_SETTINGS = 0x3000, ID_TV_WALL_LEAVE = 0x3001 };
// The picture every cell starts with.
#define IDB_TV_WALL_CELL 160

// Colours of the wall.
const COLORREF kTvWallBackground = RGB(0xC0, 0xC0, 0xC0);
const COLORREF kTvWallChannelText = 0x19FA0F;

// One cell: a button-class child window that paints its own picture.
class CMultiPicCell : public CButton {
public:
    CMultiPicCell();
    virtual ~CMultiPicCell();

    // A copy of the bitmap becomes the picture (same size, screen format);
    // nothing for NULL.
    void SetThumbnail(HBITMAP* phBitmap);
    HBITMAP GetThumbnail() const { return m_hThumbnail; }
    int GetChannel() const { return m_nChannel; }
    void SetChannel(int nChannel) { m_nChannel = nChannel; }
    int GetIndex() const { return m_nIndex; }
    // A negative index is ignored.
    void SetIndex(int nIndex);

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void PaintContent(HDC hDC);

    HBITMAP m_hThumbnail;
    int m_nChannel;   // 0: none shown yet
    int m_nIndex;     // -1 until placed
    BOOL m_bFirstErase;
};

class CMultiPicWindow {
public:
    CMultiPicWindow();
    virtual ~CMultiPicWindow();

    int GetGridSize() const { return m_nGrid; }
    // A negative size is ignored.
    void SetGridSize(int nGrid);
    // Three quarters of the screen shared by N cells each way; both 0 and
    // FALSE while N is not positive.
    BOOL GetCellSize(int* pWidth, int* pHeight) const;
    // The window with its buttons and cells, shown topmost in the middle of
    // the screen.
    BOOL Create();
    // FALSE for a negative argument or an index without a cell.
    BOOL SetCellChannel(int nIndex, int nChannel);
    BOOL SetCellPicture(int nIndex, HBITMAP* phBitmap);
    HWND GetCellWindow(int nIndex) const;
    CMultiPicCell* GetCell(int nIndex) const;
    HWND GetSafeHwnd() const { return m_hWnd; }

private:
    static LRESULT CALLBACK WallProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    BOOL CreateButtons(int nStrip);
    void CreateCells(int nStrip, int cw, int ch);

    int m_nGrid;
    HWND m_hWnd;
    typedef CMap<int, int, CMultiPicCell*, CMultiPicCell*> CCellMap;
    CCellMap m_cells;
    CButton* m_pSettingsButton;
    CButton* m_pLeaveButton;
};

// Tells the main window the user's choice.
void PostLeaveTvWall(int nAction, int nChannel);
