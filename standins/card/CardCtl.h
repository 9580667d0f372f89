// Control of the simulated card for tests and scripts, exported by the card
// DLL (plain C, cdecl) and used by cardctl.exe. Texts are GBK.
//
// Functions that fill a buffer return the full length of the text (without
// its NUL) and copy as much as fits, always NUL-terminated when size > 0: a
// result >= size means the buffer was too small.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

int CardCtl_PressKey(int code);            // 1; 0 for a code outside 0..31
int CardCtl_PendingKey(void);
int CardCtl_LearnRemote(int id0, int id1); // 1; 0 for a byte outside 0..255
// Stations as lines "frequency pattern name" (the stations file's format).
int CardCtl_GetStations(char* buffer, int size);
// Number of stations now on the air, -1 when the text has a bad line (then
// nothing changes).
int CardCtl_SetStations(const char* text);
// The log of driver calls and I2C transfers, one line each, oldest first.
int CardCtl_GetLog(char* buffer, int size);
void CardCtl_ClearLog(void);
int CardCtl_SetDeviceCount(int count);     // 1; 0 for a negative count
int CardCtl_DeviceCount(void);
// The next `times` calls named `call` fail; -1 every one, 0 none any more.
int CardCtl_FailCall(const char* call, int times);
int CardCtl_SetPreviewPin(int enabled);    // 1
// The invert filter's mode: "off", "flip" or "negative". 1; 0 for another name.
int CardCtl_SetInvertMode(const char* mode);
double CardCtl_TunedFrequency(void);       // MHz, 0 before any tuner write
int CardCtl_LiveObjects(void);
// Tuner, input, station, key, remote, devices, live objects: one per line.
int CardCtl_GetStatus(char* buffer, int size);
int CardCtl_Reset(void);                   // 1

#ifdef __cplusplus
}
#endif
