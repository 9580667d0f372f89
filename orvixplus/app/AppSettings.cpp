#include "AppSettings.h"
#include "FixedText.h"
#include <string.h>

static int InRangeOr(int value, int lo, int hi, int fallback)
{
    return value >= lo && value <= hi ? value : fallback;
}

template <size_t N, size_t M>
static void CopyField(char (&dst)[N], const char (&src)[M])
{
    static_assert(N == M, "field widths differ");
    CopyFixedText(dst, N, src, M);
}

void SettingsToRecord(const CAppSettings& s, SettingsRecord* pRec)
{
    memset(pRec, 0, sizeof(*pRec));
    pRec->nVideoDesktop = s.m_nVideoDesktop;
    pRec->nOsd = s.m_bOsd;
    pRec->nAlwaysOnTop = s.m_bAlwaysOnTop;
    pRec->nDeinterlace = s.m_bDeinterlace;
    pRec->nDeletePreviewFile = s.m_bDeletePreviewFile;
    pRec->nReservedA = s.m_nReservedA;
    pRec->nCountryCode = s.m_nCountryCode;
    pRec->nInputSource = s.m_nInputSource;
    pRec->nBrightness = s.m_nBrightness;
    pRec->nContrast = s.m_nContrast;
    pRec->nHue = s.m_nHue;
    pRec->nSaturation = s.m_nSaturation;
    pRec->nSharpness = s.m_nSharpness;
    pRec->nRecordFormat = s.m_nRecordFormat;
    pRec->nRecordQuality = s.m_nRecordQuality;
    pRec->nWallDwell = s.m_nWallDwell;
    pRec->nWallGrid = s.m_nWallGrid;
    pRec->nChannelSource = s.m_nChannelSource;
    pRec->nVideoSize = s.m_nVideoSize;
    pRec->nVolume = s.m_nVolume;
    pRec->nReservedB = s.m_nReservedB;
    pRec->nTunerList = s.m_nTunerList;
    pRec->nUnused92 = DEF_UNUSED92;
    pRec->nWindowAspect = s.m_nWindowAspect;
    CopyField(pRec->szRecordFolder, s.m_szRecordFolder);
    CopyField(pRec->szPictureFolder, s.m_szPictureFolder);
    CopyField(pRec->szAudioLine, s.m_szAudioLine);
    CopyField(pRec->szVideoDevice, s.m_szVideoDevice);
}

void SettingsFromRecord(const SettingsRecord& r, CAppSettings* s)
{
    s->m_nVideoDesktop = r.nVideoDesktop;
    s->m_bOsd = r.nOsd;
    s->m_bAlwaysOnTop = r.nAlwaysOnTop;
    s->m_bDeinterlace = r.nDeinterlace;
    s->m_bDeletePreviewFile = r.nDeletePreviewFile;
    s->m_nReservedA = r.nReservedA;
    s->m_nCountryCode = r.nCountryCode;
    s->m_nInputSource = InRangeOr(r.nInputSource, 1, 5, DEF_INPUT_SOURCE);
    s->m_nBrightness = r.nBrightness;
    s->m_nContrast = r.nContrast;
    s->m_nHue = r.nHue;
    s->m_nSaturation = r.nSaturation;
    s->m_nSharpness = r.nSharpness;
    s->m_nRecordFormat = InRangeOr(r.nRecordFormat, 0, 8, DEF_RECORD_FORMAT);
    s->m_nRecordQuality = InRangeOr(r.nRecordQuality, 1, 3, DEF_RECORD_QUALITY);
    s->m_nWallDwell = InRangeOr(r.nWallDwell, 1, 3, DEF_WALL_DWELL);
    s->m_nWallGrid = InRangeOr(r.nWallGrid, 1, 4, DEF_WALL_GRID);
    s->m_nChannelSource = r.nChannelSource;
    s->m_nVideoSize = InRangeOr(r.nVideoSize, 1, 3, DEF_VIDEO_SIZE);
    s->m_nVolume = r.nVolume;
    s->m_nReservedB = r.nReservedB;
    s->m_nTunerList = r.nTunerList;
    s->m_nWindowAspect = InRangeOr(r.nWindowAspect, 0, 2, DEF_WINDOW_ASPECT);
    CopyField(s->m_szRecordFolder, r.szRecordFolder);
    CopyField(s->m_szPictureFolder, r.szPictureFolder);
    CopyField(s->m_szAudioLine, r.szAudioLine);
    CopyField(s->m_szVideoDevice, r.szVideoDevice);
}
