// WavDest.dll: the WAV Dest filter, which the platform does not ship.
#include "AsfWriterInterfaces.h"
#include "CardState.h"
#include "StandinModule.h"
#include "WavDestFilter.h"

namespace {

// The card's failure table can refuse the filter, as it can the card's own.
bool Refused() {
    if (!CardShouldFail("WavDest")) return false;
    CardLog("WavDest: made to fail");
    return true;
}

}  // namespace

const StandinClass kStandinClass = {&CLSID_WavDest, L"WAV Dest",
                                    ds::CreateFilterObject<wavdest::WavDestFilter>, Refused,
                                    NULL, 0, NULL, 0};
