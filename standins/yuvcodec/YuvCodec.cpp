#include "YuvCodec.h"
#include "CardState.h"
#include "YuvConvert.h"
#include <new>
#include <string.h>

namespace yuvcodec {

const char kDriversKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32";
const char kDriverValue[] = "vidc.YUY2";

namespace {

const DWORD kYuy2 = MAKEFOURCC('Y', 'U', 'Y', '2');
volatile LONG g_open = 0;

struct Instance {
    yuv::Rgb32RowFn row;
};

// The RGB format of an output header we can write, or false.
bool OutputFormat(const BITMAPINFOHEADER* in, const BITMAPINFOHEADER* out, yuv::RgbFormat* format) {
    if (out->biWidth != in->biWidth || out->biHeight != (in->biHeight < 0 ? -in->biHeight : in->biHeight))
        return false;
    if (out->biCompression == BI_RGB && out->biBitCount == 32) *format = yuv::RGB_32;
    else if (out->biCompression == BI_RGB && out->biBitCount == 24) *format = yuv::RGB_24;
    else if (out->biCompression == BI_BITFIELDS && out->biBitCount == 16) {
        // Only 5-6-5: the masks follow the header.
        const DWORD* masks = reinterpret_cast<const DWORD*>(out + 1);
        if (masks[0] != 0xF800 || masks[1] != 0x07E0 || masks[2] != 0x001F) return false;
        *format = yuv::RGB_565;
    } else {
        return false;
    }
    return true;
}

bool InputOk(const BITMAPINFOHEADER* in) {
    return in && in->biCompression == kYuy2 && in->biBitCount == 16 && in->biWidth > 0 && (in->biWidth & 1) == 0 &&
           in->biHeight != 0 && in->biWidth <= 8192 && in->biHeight <= 8192 && in->biHeight >= -8192;
}

LRESULT Query(const BITMAPINFO* in, const BITMAPINFO* out) {
    if (!in || !InputOk(&in->bmiHeader)) return ICERR_BADFORMAT;
    if (!out) return ICERR_OK;
    yuv::RgbFormat format;
    return OutputFormat(&in->bmiHeader, &out->bmiHeader, &format) ? ICERR_OK : ICERR_BADFORMAT;
}

LRESULT GetFormat(const BITMAPINFO* in, BITMAPINFO* out) {
    if (!in || !InputOk(&in->bmiHeader)) return ICERR_BADFORMAT;
    if (!out) return sizeof(BITMAPINFOHEADER);
    BITMAPINFOHEADER& o = out->bmiHeader;
    memset(&o, 0, sizeof(o));
    o.biSize = sizeof(o);
    o.biWidth = in->bmiHeader.biWidth;
    o.biHeight = in->bmiHeader.biHeight < 0 ? -in->bmiHeader.biHeight : in->bmiHeader.biHeight;
    o.biPlanes = 1;
    o.biBitCount = 32;
    o.biCompression = BI_RGB;
    o.biSizeImage = yuv::RgbStride(o.biWidth, yuv::RGB_32) * o.biHeight;
    return ICERR_OK;
}

LRESULT Decompress(Instance* inst, const ICDECOMPRESS* d) {
    if (!d || !d->lpbiInput || !d->lpbiOutput || !d->lpInput || !d->lpOutput) return ICERR_BADPARAM;
    const BITMAPINFOHEADER* in = d->lpbiInput;
    yuv::RgbFormat format;
    if (!InputOk(in) || !OutputFormat(in, d->lpbiOutput, &format)) return ICERR_BADFORMAT;
    int rows = in->biHeight < 0 ? -in->biHeight : in->biHeight;
    int stride = yuv::RgbStride(in->biWidth, format);
    yuv::Yuy2ToRgbFrame(static_cast<const BYTE*>(d->lpInput), in->biWidth, rows, static_cast<BYTE*>(d->lpOutput),
                        stride, format, inst->row);
    d->lpbiOutput->biSizeImage = stride * rows;
    return ICERR_OK;
}

LRESULT Info(ICINFO* info, LPARAM size) {
    if (!info || size < static_cast<LPARAM>(sizeof(ICINFO))) return 0;
    memset(info, 0, sizeof(*info));
    info->dwSize = sizeof(*info);
    info->fccType = ICTYPE_VIDEO;
    info->fccHandler = kYuy2;
    info->dwVersion = 0x00010000;
    info->dwVersionICM = ICVERSION;
    lstrcpynW(info->szName, L"YUY2", sizeof(info->szName) / sizeof(WCHAR));
    lstrcpynW(info->szDescription, L"YUY2 to RGB", sizeof(info->szDescription) / sizeof(WCHAR));
    return sizeof(*info);
}

}  // namespace

LONG OpenInstances() { return g_open; }

LRESULT HandleMessage(DWORD_PTR id, HDRVR driver, UINT msg, LPARAM p1, LPARAM p2) {
    Instance* inst = reinterpret_cast<Instance*>(id);
    switch (msg) {
    case DRV_LOAD:
    case DRV_FREE:
    case DRV_ENABLE:
    case DRV_DISABLE:
        return 1;
    case DRV_OPEN: {
        ICOPEN* open = reinterpret_cast<ICOPEN*>(p2);
        // Opened without ICOPEN (configuration) is fine; for another kind of
        // driver, or a compressor, we are not the one.
        if (open && open->fccType != ICTYPE_VIDEO) return 0;
        if (open && (open->dwFlags & ICMODE_COMPRESS)) return 0;
        if (CardShouldFail("YuvCodec.Open")) {
            CardLog("YuvCodec.Open = refused");
            if (open) open->dwError = ICERR_MEMORY;
            return 0;
        }
        Instance* made = new (std::nothrow) Instance;
        if (!made) return 0;
        made->row = yuv::FastestRgb32Row();
        InterlockedIncrement(&g_open);
        if (open) open->dwError = ICERR_OK;
        CardLog("YuvCodec.Open");
        return reinterpret_cast<LRESULT>(made);
    }
    case DRV_CLOSE:
        if (inst) {
            delete inst;
            InterlockedDecrement(&g_open);
            CardLog("YuvCodec.Close");
        }
        return 1;
    case DRV_QUERYCONFIGURE:
        return 0;
    case ICM_GETINFO:
        return Info(reinterpret_cast<ICINFO*>(p1), p2);
    case ICM_DECOMPRESS_QUERY:
        return Query(reinterpret_cast<const BITMAPINFO*>(p1), reinterpret_cast<const BITMAPINFO*>(p2));
    case ICM_DECOMPRESS_GET_FORMAT:
        return GetFormat(reinterpret_cast<const BITMAPINFO*>(p1), reinterpret_cast<BITMAPINFO*>(p2));
    case ICM_DECOMPRESS_BEGIN: {
        // Wine's AVI Decompressor passes its input's header as the output's
        // here; the real output header comes with every frame, and is
        // checked there.
        const BITMAPINFO* in = reinterpret_cast<const BITMAPINFO*>(p1);
        LRESULT r = Query(in, NULL);
        if (r == ICERR_OK) CardLog("YuvCodec.Begin %ldx%ld", in->bmiHeader.biWidth, in->bmiHeader.biHeight);
        return r;
    }
    case ICM_DECOMPRESS:
        if (!inst) return ICERR_BADHANDLE;
        return Decompress(inst, reinterpret_cast<const ICDECOMPRESS*>(p1));
    case ICM_DECOMPRESS_END:
        return ICERR_OK;
    case ICM_COMPRESS_QUERY:
    case ICM_DECOMPRESSEX_QUERY:
    case ICM_DECOMPRESS_GET_PALETTE:
        return ICERR_UNSUPPORTED;
    default:
        if (msg >= ICM_USER) return ICERR_UNSUPPORTED;
        return DefDriverProc(id, driver, msg, p1, p2);
    }
}

}  // namespace yuvcodec
