// WavDest.dll: the WAV Dest filter, which the platform does not ship.
#include "AsfWriterInterfaces.h"
#include "StandinModule.h"
#include "WavDestFilter.h"

const StandinClass kStandinClass = {&CLSID_WavDest, L"WAV Dest", "WavDest",
                                    ds::CreateFilterObject<wavdest::WavDestFilter>};
