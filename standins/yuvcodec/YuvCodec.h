// A video compression manager driver for YUY2 ("vidc.YUY2") that only
// decompresses: YUY2 to RGB32, RGB24 or RGB565, bottom-up, with the mixer's
// converters. Wine's AVI Decompressor refuses YUY2 when no such driver is
// installed, so without it the preview has no path to the Video Renderer
// when the Overlay Mixer cannot be had.
#pragma once
#include <windows.h>
#include <vfw.h>

namespace yuvcodec {

// The driver's answer to one message, as DriverProc gives it.
LRESULT HandleMessage(DWORD_PTR id, HDRVR driver, UINT msg, LPARAM p1, LPARAM p2);
// Driver instances open now.
LONG OpenInstances();

// Where the compression manager looks the driver up.
extern const char kDriversKey[];
extern const char kDriverValue[];

}  // namespace yuvcodec
