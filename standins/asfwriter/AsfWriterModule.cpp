// AsfWriter.dll: the WM ASF Writer, which the platform does not ship here.
#include "AsfWriterFilter.h"
#include "StandinModule.h"

const StandinClass kStandinClass = {&CLSID_WMAsfWriterFilter, L"WM ASF Writer", "AsfWriter",
                                    ds::CreateFilterObject<asf::AsfWriterFilter>};
