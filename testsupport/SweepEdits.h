// Single edits of a valid file, for the cases a sweep adds of its own: a name
// changed, a value lengthened, a picture's claimed size.
#pragma once
#include <stdint.h>
#include <string.h>
#include <string>

namespace ts {

// The text with its first `from` replaced by `to`; unchanged without one.
inline std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    size_t at = text.find(from);
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

// A BMP file whose header claims side x side pixels, with its own pixels.
inline std::string BmpClaiming(std::string bmp, uint32_t side)
{
    if (bmp.size() >= 26) {
        memcpy(&bmp[18], &side, 4);
        memcpy(&bmp[22], &side, 4);
    }
    return bmp;
}

}  // namespace ts
