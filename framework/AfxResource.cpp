#include "AfxCore.h"

// The resource module for programs and tests without the application layer.

namespace {
HINSTANCE g_hInstResource = NULL;
}

HINSTANCE AfxGetResourceHandle()
{
    return g_hInstResource != NULL ? g_hInstResource : GetModuleHandleA(NULL);
}

void AfxSetResourceHandle(HINSTANCE hInstResource)
{
    g_hInstResource = hInstResource;
}
