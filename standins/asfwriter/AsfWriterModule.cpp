// AsfWriter.dll: the WM ASF Writer, which the platform does not ship here.
#include "AsfWriterFilter.h"
#include "CardState.h"
#include "StandinModule.h"

namespace {

// The card's failure table can refuse the filter, as it can the card's own.
bool Refused() {
    if (!CardShouldFail("AsfWriter")) return false;
    CardLog("AsfWriter: made to fail");
    return true;
}

}  // namespace

const StandinClass kStandinClass = {&CLSID_WMAsfWriterFilter, L"WM ASF Writer",
                                    ds::CreateFilterObject<asf::AsfWriterFilter>, Refused,
                                    NULL, 0, NULL, 0};
