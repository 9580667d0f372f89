#include "TuningHost.h"

CTuningHost* g_pTuningHost = NULL;

void ComputeTunerBytes(float fMHz, BYTE bytes[4])
{
    BYTE band = fMHz <= 164.25f ? 0x01 : fMHz <= 464.25f ? 0x02 : 0x08;
    // The tuner's PLL counts in 62.5 kHz steps above the intermediate frequency.
    int divider = (int)(((double)fMHz + 38.875) * 16.0);
    bytes[0] = (BYTE)((divider >> 8) & 0xFF);
    bytes[1] = (BYTE)(divider & 0xFF);
    bytes[2] = 0xCE;
    bytes[3] = band;
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
