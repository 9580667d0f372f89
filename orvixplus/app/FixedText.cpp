#include "FixedText.h"
#include <string.h>

static bool IsGbkLeadByte(unsigned char c)
{
    return c >= 0x81 && c <= 0xFE;
}

void CopyFixedText(char* dst, size_t dstSize, const char* src, size_t srcMax)
{
    if (!dst || dstSize == 0)
        return;
    size_t srcLen = 0;
    if (src)
        while (srcLen < srcMax && src[srcLen])
            ++srcLen;
    size_t room = dstSize - 1;
    size_t n = 0;
    while (n < srcLen) {
        size_t charLen = IsGbkLeadByte((unsigned char)src[n]) ? 2 : 1;
        // A lead byte with no trail byte is half a character: drop it.
        if (n + charLen > srcLen || n + charLen > room)
            break;
        n += charLen;
    }
    // src may overlap dst when a field is cleaned in place.
    if (n)
        memmove(dst, src, n);
    memset(dst + n, 0, dstSize - n);
}
