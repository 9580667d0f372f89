#include "AfxState.h"
#include <algorithm>

static thread_local FwThreadState t_state;

FwThreadState* AfxGetThreadState()
{
    return &t_state;
}

MSG* AfxGetCurrentMessage()
{
    return &t_state.msgCur;
}

void FwRegisterTempMapCleaner(FwTempMapCleaner cleaner)
{
    std::vector<FwTempMapCleaner>& v = t_state.tempCleaners;
    if (std::find(v.begin(), v.end(), cleaner) == v.end())
        v.push_back(cleaner);
}

void AfxDeleteTempMaps()
{
    // A cleaner may run code that hands out new temporaries; walk by index.
    for (size_t i = 0; i < t_state.tempCleaners.size(); i++)
        t_state.tempCleaners[i]();
}

void FwIdleDeleteTempMaps()
{
    if (t_state.nLoopDepth <= 1)
        AfxDeleteTempMaps();
}
