#include "ComPtr.h"
#include <stdio.h>

namespace ds {

static LONG g_liveObjects = 0;

LONG LiveObjects() { return InterlockedCompareExchange(&g_liveObjects, 0, 0); }
void ObjectCreated() { InterlockedIncrement(&g_liveObjects); }
void ObjectDestroyed() { InterlockedDecrement(&g_liveObjects); }

void Trace(const char* what, HRESULT hr) {
    char line[256];
    _snprintf(line, sizeof(line) - 1, "dshowbase: %s failed, hr = 0x%08lx\n", what,
              static_cast<unsigned long>(hr));
    line[sizeof(line) - 1] = 0;
    OutputDebugStringA(line);
}

}  // namespace ds
