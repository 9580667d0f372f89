#include "SettingsRecord.h"
#include "FixedText.h"
#include <string.h>

void MakeDefaultSettingsRecord(SettingsRecord* pRec, const char* appFolder)
{
    memset(pRec, 0, sizeof(*pRec));
    pRec->nOsd = 1;
    pRec->nAlwaysOnTop = 1;
    pRec->nDeinterlace = 1;
    pRec->nCountryCode = DEF_COUNTRY_CODE;
    pRec->nInputSource = DEF_INPUT_SOURCE;
    pRec->nBrightness = DEF_BRIGHTNESS;
    pRec->nContrast = DEF_CONTRAST;
    pRec->nHue = DEF_HUE;
    pRec->nSaturation = DEF_SATURATION;
    pRec->nSharpness = DEF_SHARPNESS;
    pRec->nRecordFormat = DEF_RECORD_FORMAT;
    pRec->nRecordQuality = DEF_RECORD_QUALITY;
    pRec->nWallDwell = DEF_WALL_DWELL;
    pRec->nWallGrid = DEF_WALL_GRID;
    pRec->nChannelSource = DEF_CHANNEL_SOURCE;
    pRec->nVideoSize = DEF_VIDEO_SIZE;
    pRec->nVolume = DEF_VOLUME;
    pRec->nReservedB = 1;
    pRec->nTunerList = DEF_TUNER_LIST;
    pRec->nUnused92 = DEF_UNUSED92;
    pRec->nWindowAspect = DEF_WINDOW_ASPECT;
    SetFixedText(pRec->szRecordFolder, appFolder);
    SetFixedText(pRec->szPictureFolder, appFolder);
    SetFixedText(pRec->szAudioLine, DEF_AUDIO_LINE);
    SetFixedText(pRec->szVideoDevice, DEF_VIDEO_DEVICE);
}
