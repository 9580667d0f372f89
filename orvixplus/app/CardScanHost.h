// A tuning host for running the scan's walk in-process on the simulated
// card: the tuner bytes go straight to the card's I2C bus, the settle lasts
// settleScale times what the walk asks for, everything else is left out.
#pragma once
#include "CardState.h"
#include "QuietTuningHost.h"

class CardScanHost : public CQuietTuningHost {
public:
    explicit CardScanHost(double settleScale = 0.01) : settleScale(settleScale) {}
    void WriteTunerPll(BYTE b0, BYTE b1, BYTE b2, BYTE b3) override
    {
        BYTE b[4] = {b0, b1, b2, b3};
        CardI2CWrite(0xC0, b, 4);
        writes++;
    }
    void Pause(DWORD ms) override
    {
        DWORD scaled = (DWORD)(ms * settleScale);
        if (scaled)
            Sleep(scaled);
    }

    double settleScale;
    int writes = 0;
};
