// The TV program's settings while it runs. The main dialog fills it at start
// and writes it back at exit (SettingsFile.h); every window reads and changes
// it in place through g_pSettings.
#pragma once
#include "AfxCore.h"
#include "SettingsRecord.h"

// One input of the audio capture device, as the capture graph found it.
struct AudioInputLine {
    char szName[24];
    int nType;
};

class CAppSettings {
public:
    // Rebuilt at every start, never stored.
    CStringArray m_arrVideoDevices;   // friendly names, in enumeration order
    CStringArray m_arrAudioDevices;   // empty: no audio capture is possible
    CArray<AudioInputLine, const AudioInputLine&> m_arrAudioLines;  // filled by the capture graph
    CString m_strAppFolder;           // the executable's folder, trailing backslash
    CString m_strLastMediaFile;       // last file chosen for playback

    // Stored in OrvixPlusData.dat, same meanings as SettingsRecord.
    int m_nVideoDesktop = 0;
    int m_bOsd = 1;
    int m_bAlwaysOnTop = 1;
    int m_bDeinterlace = 1;
    int m_bDeletePreviewFile = 0;
    int m_nReservedA = 0;
    int m_nCountryCode = DEF_COUNTRY_CODE;
    int m_nInputSource = DEF_INPUT_SOURCE;      // 1 antenna .. 5 FM radio
    int m_nBrightness = DEF_BRIGHTNESS;
    int m_nContrast = DEF_CONTRAST;
    int m_nHue = DEF_HUE;
    int m_nSaturation = DEF_SATURATION;
    int m_nSharpness = DEF_SHARPNESS;
    int m_nRecordFormat = DEF_RECORD_FORMAT;    // 0..8
    int m_nRecordQuality = DEF_RECORD_QUALITY;  // 1..3
    int m_nWallDwell = DEF_WALL_DWELL;          // 1..3
    int m_nWallGrid = DEF_WALL_GRID;            // 1..4
    int m_nChannelSource = DEF_CHANNEL_SOURCE;
    int m_nVideoSize = DEF_VIDEO_SIZE;          // 1..3
    int m_nVolume = DEF_VOLUME;
    int m_nReservedB = 1;
    int m_nTunerList = DEF_TUNER_LIST;
    int m_nWindowAspect = DEF_WINDOW_ASPECT;    // 0 4:3, 1 16:9, 2 free
    // Always NUL-terminated; set them with SetFixedText (FixedText.h).
    char m_szRecordFolder[260] = "";
    char m_szPictureFolder[260] = "";
    char m_szAudioLine[24] = DEF_AUDIO_LINE;
    char m_szVideoDevice[40] = DEF_VIDEO_DEVICE;
};

// The block as it is written to the file.
void SettingsToRecord(const CAppSettings& settings, SettingsRecord* pRec);
// Takes a block read from the file. Text fields are cut to end in NUL; values
// later used as table indexes or divisors fall back to their defaults when
// out of range; every other value is kept as stored.
void SettingsFromRecord(const SettingsRecord& rec, CAppSettings* pSettings);
