// What the main dialog computes without a window: where it and the video
// window go on the desktop, the volume steps, and where the on-screen texts
// and the volume bar sit in the capture picture.
#pragma once
#include <windows.h>

// The video window centred above the main window, 10 pixels apart, the pair
// centred on the desktop; sizes are kept. Divisions truncate toward zero.
struct MainLayout {
    POINT video;
    POINT main;
};
MainLayout ComputeMainLayout(SIZE desktop, SIZE video, SIZE main);

// Volume after a step (+5 / -5) or a slider position, held to 0..100.
int ClampVolume(int nVolume);

// The picture size of the settings' video size (1 320x240, 2 640x480,
// 3 720x576; anything else counts as 2).
SIZE CaptureSizeOf(int nVideoSize);

// On-screen channel text: x for a text w pixels wide (never negative) and its
// font height.
struct OsdTextPlace {
    int x, y, nHeight;
};
OsdTextPlace ChannelTextPlace(int nVideoSize, int nTextWidth);
OsdTextPlace MuteTextPlace(int nVideoSize);

// The volume bar: position, size, steps and the font height (0: unchanged).
struct OsdLevelPlace {
    int x, y, cx, cy, nSteps, nFontHeight;
};
OsdLevelPlace VolumeBarPlace(int nVideoSize);

// Remote-control key codes that mean something: 11..30.
inline BOOL IsRemoteKeyCode(LPARAM nCode) { return nCode >= 11 && nCode <= 30; }
