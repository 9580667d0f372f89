#include "MainLayout.h"

MainLayout ComputeMainLayout(SIZE desktop, SIZE video, SIZE main)
{
    MainLayout l;
    l.video.x = (desktop.cx - video.cx) / 2;
    l.video.y = (desktop.cy - video.cy - main.cy - 10) / 2;
    l.main.x = (desktop.cx - main.cx) / 2;
    l.main.y = l.video.y + video.cy + 10;
    return l;
}

int ClampVolume(int nVolume)
{
    return nVolume < 0 ? 0 : nVolume > 100 ? 100 : nVolume;
}

SIZE CaptureSizeOf(int nVideoSize)
{
    switch (nVideoSize) {
    case 1: return SIZE{320, 240};
    case 3: return SIZE{720, 576};
    default: return SIZE{640, 480};
    }
}

OsdTextPlace ChannelTextPlace(int nVideoSize, int w)
{
    OsdTextPlace p;
    p.y = 25;
    switch (nVideoSize) {
    case 1:  p.x = (int)(295 - 1.5 * w); p.nHeight = 20; break;
    case 3:  p.x = 695 - 3 * w;          p.nHeight = 40; break;
    default: p.x = 3 * (205 - w);        p.nHeight = 35; break;
    }
    // A long channel name starts at the left edge rather than outside it.
    if (p.x < 0)
        p.x = 0;
    return p;
}

OsdTextPlace MuteTextPlace(int nVideoSize)
{
    switch (nVideoSize) {
    case 1:  return OsdTextPlace{235, 200, 20};
    case 3:  return OsdTextPlace{555, 500, 40};
    default: return OsdTextPlace{495, 420, 35};
    }
}

OsdLevelPlace VolumeBarPlace(int nVideoSize)
{
    switch (nVideoSize) {
    case 1:  return OsdLevelPlace{20, 210, 100, 15, 20, 0};
    case 3:  return OsdLevelPlace{20, 500, 210, 35, 20, 30};
    default: return OsdLevelPlace{20, 420, 200, 30, 20, 25};
    }
}
