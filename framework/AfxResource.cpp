#include "AfxCore.h"

// Fallbacks for programs and tests without the application layer. They are
// weak: the application layer's own definitions take their place at link
// time, whichever object the linker meets first.

namespace {
HINSTANCE g_hInstResource = NULL;
}

__attribute__((weak)) HINSTANCE AfxGetResourceHandle()
{
    return g_hInstResource != NULL ? g_hInstResource : GetModuleHandleA(NULL);
}

__attribute__((weak)) void AfxSetResourceHandle(HINSTANCE hInstResource)
{
    g_hInstResource = hInstResource;
}
