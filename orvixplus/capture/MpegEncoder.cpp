// CMpegEncoder's presets and what it hands the recorder filter before each
// recording.
#include "Filters.h"
#include "CaptureNames.h"

namespace {

struct Preset {
    int typeCode;
    int bitRate[3];  // kbit/s for quality 1, 2, 3
    int width, height;
    int frameRateCode;  // 3 = 25 frames/s, 4 = 29.97 frames/s
    int sizeValue;
    int audioRate;
};

const Preset kPresets[9] = {
    {1, {1250, 2000, 4000}, 320, 240, 4, 4096, 44100},     // MPEG-1
    {4, {1150, 1150, 1150}, 352, 288, 3, 640, 44100},      // VCD-PAL
    {3, {1150, 1150, 1150}, 352, 240, 4, 640, 44100},      // VCD-NTSC
    {10, {2500, 2500, 2500}, 480, 576, 3, 800, 44100},     // SVCD-PAL
    {2, {1250, 2000, 4000}, 640, 480, 4, 4096, 44100},     // MPEG-2
    {8, {4000, 6000, 8000}, 720, 576, 3, 4096, 48000},     // DVD-PAL
    {7, {4000, 6000, 8000}, 720, 480, 4, 4096, 48000},     // DVD-NTSC
    {9, {2500, 2500, 2500}, 480, 480, 4, 800, 44100},      // SVCD-NTSC
    {6, {54000, 54000, 54000}, 640, 480, 3, 4096, 44100},  // AVI
};
const int kSecondMpeg[9] = {10, 1, 16, 16, 8, 8, 1, 1, 1};
const int kSecondAvi[9] = {0, 0, 8, 8, 8, 8, 0, 0, 0};

// The filter takes at most this many characters of a file name, the
// terminating zero included.
const int kMaxFileName = 512;

}  // namespace

BOOL CMpegEncoder::SetPreset(int format, int quality)
{
    if (format < 0 || format > 8 || quality < 1 || quality > 3)
        return FALSE;
    const Preset& p = kPresets[format];
    m_nStreamType = p.typeCode;
    m_nBitRate = p.bitRate[quality - 1];
    m_nFrameRateCode = p.frameRateCode;
    m_nWidth = p.width;
    m_nHeight = p.height;
    m_nSizeValue = p.sizeValue;
    m_nAudioRate = p.audioRate;
    memcpy(m_nSecond, format == 8 ? kSecondAvi : kSecondMpeg, sizeof(m_nSecond));
    return TRUE;
}

BOOL CMpegEncoder::ApplyVideoSettings()
{
    IMpegRecorderVideoSettings* v = m_pVideoSettings;
    if (!v)
        return FALSE;
    if (m_nFurther < 1 && m_nFurther != -1)
        m_nFurther = -1;
    // The first refusal ends the group; the recording is configured on anyway.
    if (FAILED(v->SetStreamType(m_nStreamType)) || FAILED(v->SetBitRate(m_nBitRate * 1000)))
        return TRUE;
    v->SetFrameRateCode(m_nFrameRateCode);  // a refused frame rate is no reason to stop
    if (FAILED(v->SetFrameSize(m_nWidth, m_nHeight)) || FAILED(v->SetOption40(m_nFurther)) ||
        FAILED(v->SetSizeValue(m_nSizeValue)) || FAILED(v->SetOption13(0)))
        return TRUE;
    v->SetOption19(1);
    return TRUE;
}

BOOL CMpegEncoder::ApplySecondSettings()
{
    IMpegRecorderSecondSettings* s = m_pSecondSettings;
    if (!s)
        return FALSE;
    const int* v = m_nSecond;
    if (FAILED(s->SetValue03(1)) || FAILED(s->SetValue13(v[0])) || FAILED(s->SetValue11(v[1])) ||
        FAILED(s->SetValue05(v[6])) || FAILED(s->SetValue07(v[7])) || FAILED(s->SetValue09(v[8])))
        return TRUE;
    s->SetValues15(v[2], v[3], v[4], v[5]);
    return TRUE;
}

CString CMpegEncoder::NextCaptureName(LPCSTR pszFolder)
{
    return NextCaptureFileName(pszFolder, "*.mpg", ".mpg", m_arrNames);
}

BOOL CMpegEncoder::SetOutputFile(LPCSTR pszFolder)
{
    if (!m_pFileSink)
        return FALSE;
    CString path = CString(pszFolder) + NextCaptureName(pszFolder);
    WCHAR wide[kMaxFileName];
    // A path that does not fit is refused, not cut: the filter would write a
    // file nobody asked for.
    if (!MultiByteToWideChar(CP_ACP, 0, path, -1, wide, kMaxFileName))
        return FALSE;
    return SUCCEEDED(m_pFileSink->SetFileName(wide, NULL));
}

BOOL CMpegEncoder::Configure(LPCSTR pszFolder, int format, int quality)
{
    return SetPreset(format, quality) && ApplyVideoSettings() && ApplySecondSettings() &&
           SetOutputFile(pszFolder);
}

double CMpegEncoder::EstimateSizeMB(int seconds) const
{
    // 64 bits: at the AVI rate a 32-bit product turns negative after 11 hours.
    // Divided, not multiplied by 0.000125: that factor lies a hair above an
    // eight-thousandth, so in the 32-bit build's extended precision the
    // product for a whole number of megabytes lay a hair over it until the
    // double the caller keeps rounded it back; the quotient is that whole
    // number already, in both builds.
    return (double)((LONGLONG)m_nBitRate * seconds) / 8000.0;
}

DWORD CMpegEncoder::GetBytesWritten()
{
    DWORD bytes = 0;
    if (!m_pVideoSettings || m_pVideoSettings->GetBytesWritten(&bytes) != S_OK)
        return 0;
    return bytes;
}
