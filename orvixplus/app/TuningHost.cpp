#include "TuningHost.h"

CTuningHost* g_pTuningHost = NULL;

static void PutTunerBytes(int divider, BYTE band, BYTE bytes[4])
{
    bytes[0] = (BYTE)((divider >> 8) & 0xFF);
    bytes[1] = (BYTE)(divider & 0xFF);
    bytes[2] = 0xCE;
    bytes[3] = band;
}

void ComputeTunerBytes(float fMHz, BYTE bytes[4])
{
    BYTE band = fMHz <= 164.25f ? 0x01 : fMHz <= 464.25f ? 0x02 : 0x08;
    // The tuner's PLL counts in 62.5 kHz steps above the intermediate
    // frequency. A float's megahertz (any the tuner covers) plus 38.875,
    // times 16, is exact in a double and in extended precision alike, so the
    // cut lands on the same step in both builds.
    int divider = (int)(((double)fMHz + 38.875) * 16.0);
    PutTunerBytes(divider, band, bytes);
}

void ComputeTunerBytesHz(int nHz, BYTE bytes[4])
{
    BYTE band = nHz <= 164250000 ? 0x01 : nHz <= 464250000 ? 0x02 : 0x08;
    PutTunerBytes((int)(((LONGLONG)nHz + 38875000) / 62500), band, bytes);
}

void TuneFrequency(float fMHz)
{
    BYTE b[4];
    ComputeTunerBytes(fMHz, b);
    if (g_pTuningHost != NULL)
        g_pTuningHost->WriteTunerPll(b[0], b[1], b[2], b[3]);
}

void StopChannelScan()
{
    if (g_pTuningHost != NULL)
        g_pTuningHost->StopChannelScan();
}
