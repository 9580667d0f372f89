#include "TvWallCycle.h"
#include "ChannelStore.h"

int TvWallGridSize(int nSetting)
{
    // A grid of 0 would leave every step dividing by zero.
    return nSetting >= 1 && nSetting <= 4 ? nSetting + 1 : 3;
}

UINT TvWallDwellMs(int nSetting)
{
    static const UINT dwell[] = {3000, 5000, 7000};
    return nSetting >= 1 && nSetting <= 3 ? dwell[nSetting - 1] : dwell[0];
}

TvWallStepCells TvWallCellsForStep(int nCounter, int nGrid)
{
    int cells = nGrid * nGrid;
    TvWallStepCells s = {0, 0};
    if (cells <= 0)
        return s;
    int k = ((nCounter % cells) + cells) % cells;
    s.nLive = (k + cells - 1) % cells;
    s.nLeft = (s.nLive + cells - 1) % cells;
    return s;
}

int NextWallChannel(const CChannelStore& store, int nList, int nCurrent)
{
    int highest = store.GetMaxChannel(nList);
    // A gap in the numbers is stepped over instead of waited on.
    for (int n = nCurrent + 1; n <= highest; n++)
        if (store.Exists(n, nList))
            return n;
    return -1;
}
