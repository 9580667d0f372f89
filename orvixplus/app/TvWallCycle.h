// The rules of the TV wall's cycle that need no window: the grid and the
// dwell from the settings, which cell the live video moves to at each step,
// and which channel comes next.
#pragma once
#include <windows.h>

class CChannelStore;

// Cells per side for the grid setting 1..4 (2..5); 3 for any other value.
int TvWallGridSize(int nSetting);
// Milliseconds per step for the dwell setting 1..3 (3, 5, 7 s); 3 s for any
// other value.
UINT TvWallDwellMs(int nSetting);

// The cells of one step: the live video moves to nLive and the cell it leaves,
// nLeft, keeps the picture of the channel just shown. nCounter counts the
// steps from the start (cell 0 shows the first channel at counter 1).
struct TvWallStepCells {
    int nLive;
    int nLeft;
};
TvWallStepCells TvWallCellsForStep(int nCounter, int nGrid);

// The lowest stored channel number above nCurrent in the list; -1 when there
// is none (the cycle is over).
int NextWallChannel(const CChannelStore& store, int nList, int nCurrent);
