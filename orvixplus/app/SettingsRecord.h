// OrvixPlusData.dat: one fixed 684-byte little-endian block, read and written
// whole. The layout is shared with every installed copy of the program, so
// the offsets below must never move.
#pragma once
#include <stddef.h>

#define SETTINGS_FILE_NAME "OrvixPlusData.dat"

#pragma pack(push, 4)
struct SettingsRecord {
    int nVideoDesktop;        // 0
    int nOsd;                 // 4
    int nAlwaysOnTop;         // 8
    int nDeinterlace;         // 12
    int nDeletePreviewFile;   // 16
    int nReservedA;           // 20
    int nCountryCode;         // 24
    int nInputSource;         // 28
    int nBrightness;          // 32
    int nContrast;            // 36
    int nHue;                 // 40
    int nSaturation;          // 44
    int nSharpness;           // 48
    int nRecordFormat;        // 52
    int nRecordQuality;       // 56
    int nWallDwell;           // 60
    int nWallGrid;            // 64
    int nChannelSource;       // 68
    int nVideoSize;           // 72
    int nVolume;              // 76
    int nReservedB;           // 80
    int nTunerList;           // 84
    int nUnused88;            // 88: never read back
    int nUnused92;            // 92: never read back
    int nWindowAspect;        // 96
    char szRecordFolder[260]; // 100
    char szPictureFolder[260];// 360
    char szAudioLine[24];     // 620
    char szVideoDevice[40];   // 644
};
#pragma pack(pop)

static_assert(sizeof(SettingsRecord) == 684, "settings block size");
static_assert(offsetof(SettingsRecord, nCountryCode) == 24, "settings layout");
static_assert(offsetof(SettingsRecord, nInputSource) == 28, "settings layout");
static_assert(offsetof(SettingsRecord, nRecordFormat) == 52, "settings layout");
static_assert(offsetof(SettingsRecord, nVolume) == 76, "settings layout");
static_assert(offsetof(SettingsRecord, nTunerList) == 84, "settings layout");
static_assert(offsetof(SettingsRecord, nUnused88) == 88, "settings layout");
static_assert(offsetof(SettingsRecord, nWindowAspect) == 96, "settings layout");
static_assert(offsetof(SettingsRecord, szRecordFolder) == 100, "settings layout");
static_assert(offsetof(SettingsRecord, szPictureFolder) == 360, "settings layout");
static_assert(offsetof(SettingsRecord, szAudioLine) == 620, "settings layout");
static_assert(offsetof(SettingsRecord, szVideoDevice) == 644, "settings layout");

// Values of the settings as a fresh installation has them.
enum {
    DEF_COUNTRY_CODE = 86,
    DEF_INPUT_SOURCE = 2,
    DEF_BRIGHTNESS = 50,
    DEF_CONTRAST = 53,
    DEF_HUE = 49,
    DEF_SATURATION = 50,
    DEF_SHARPNESS = 50,
    DEF_RECORD_FORMAT = 0,
    DEF_RECORD_QUALITY = 2,
    DEF_WALL_DWELL = 1,
    DEF_WALL_GRID = 2,
    DEF_CHANNEL_SOURCE = 1,
    DEF_VIDEO_SIZE = 2,
    DEF_VOLUME = 50,
    DEF_TUNER_LIST = 2,
    DEF_UNUSED92 = 76,
    DEF_WINDOW_ASPECT = 2,
};
#define DEF_AUDIO_LINE "Line In"
#define DEF_VIDEO_DEVICE "Kestor TV Arden WDM Video CaptureA"

// The block a fresh installation gets; both folders are appFolder.
void MakeDefaultSettingsRecord(SettingsRecord* pRec, const char* appFolder);
