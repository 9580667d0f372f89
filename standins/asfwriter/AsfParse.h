// Reads back an ASF file of the kind AsfFileWriter writes, for tests: what
// its header says, and the payloads of its packets in order.
#pragma once
#include <windows.h>
#include <mmreg.h>
#include <string>
#include <vector>

namespace asf {

struct AsfInfo {
    bool ok = false;
    std::string error;
    ULONGLONG fileSize = 0;      // as the file properties say
    ULONGLONG packets = 0;
    ULONGLONG playDuration = 0;  // 100 ns
    ULONGLONG preroll = 0;       // ms
    DWORD packetSize = 0;
    int streams = 0;
    int audioStreams = 0;
    WAVEFORMATEX format = {};
    ULONGLONG dataObjectSize = 0;
    ULONGLONG dataPackets = 0;   // as the data object says
    std::vector<BYTE> payload;   // every payload's data, concatenated
    std::vector<DWORD> times;    // each payload's presentation time, ms
};

AsfInfo ParseAsf(const std::string& file);

}  // namespace asf
