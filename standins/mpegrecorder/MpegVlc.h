// Variable-length codes of intra MPEG-1/2 video: the DC size codes and the
// run/level codes of the DCT coefficient table zero.
#pragma once
#include <stdint.h>

namespace rec {

struct Vlc {
    uint16_t code;
    uint8_t len;  // 0: no code, escape
};

// Codes without the sign bit; run 0..31, level 1..40.
const Vlc& RunLevelCode(int run, int level);
const Vlc& DcSizeCode(bool chroma, int size);  // size 0..11

// Every table entry as (run, level, code, length), for checking the table.
struct RunLevelEntry {
    int run, level;
    uint16_t code;
    int len;
};
int RunLevelEntries(const RunLevelEntry** entries);

}  // namespace rec
