// Programming the tuner's PLL over the card's I2C bus. Each call builds the
// driver's chain of objects anew and releases all of it before it returns;
// nothing is kept between calls, so the channel scan's worker thread may
// call it while the user-interface thread does too.
#pragma once
#include <windows.h>

// Writes the four tuner bytes (divider high, divider low, control, band) to
// the tuner three times. FALSE when any driver call failed, which ends the
// write there; no card is such a failure.
BOOL WriteTunerPll(BYTE b0, BYTE b1, BYTE b2, BYTE b3);
