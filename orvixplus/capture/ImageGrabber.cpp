// CImageGrabber's snapshots: the grabber's current YUY2 frame as a 24-bit BMP.
#include "Filters.h"
#include "CaptureNames.h"
#include "FrameConvert.h"
#include <vector>

namespace {

// The frame as the grabber holds it now; empty when it has none.
std::vector<BYTE> ReadFrame(IKestorImageGrabber* g)
{
    long size = 0;
    if (!g || FAILED(g->GetBufferSize(&size)) || size <= 0)
        return std::vector<BYTE>();
    std::vector<BYTE> frame(size);
    if (g->GetCurrentFrame(frame.data(), 1) != S_OK)
        return std::vector<BYTE>();
    return frame;
}

class FileHandle {
public:
    explicit FileHandle(HANDLE h) : m_h(h) {}
    ~FileHandle() { Close(); }
    void Close()
    {
        if (m_h != INVALID_HANDLE_VALUE)
            CloseHandle(m_h);
        m_h = INVALID_HANDLE_VALUE;
    }
    HANDLE Get() const { return m_h; }
    BOOL Write(const void* data, DWORD size)
    {
        DWORD written = 0;
        return WriteFile(m_h, data, size, &written, NULL) && written == size;
    }
private:
    HANDLE m_h;
};

}  // namespace

BOOL CImageGrabber::GetFrameSize(int* pWidth, int* pHeight, int* pThird)
{
    return m_pGrabber && SUCCEEDED(m_pGrabber->GetFrameSize(pWidth, pHeight, pThird));
}

CString CImageGrabber::NextSnapshotName(LPCSTR pszFolder)
{
    return CString(pszFolder) + NextCaptureFileName(pszFolder, "*.bmp", ".bmp", m_arrNames);
}

BOOL CImageGrabber::SaveSnapshot(LPCSTR pszFolder)
{
    std::vector<BYTE> frame = ReadFrame(m_pGrabber);
    if (frame.empty())
        return FALSE;
    return WriteBmp(frame.data(), (long)frame.size(), pszFolder);
}

BOOL CImageGrabber::WriteBmp(const BYTE* pFrame, long size, LPCSTR pszFolder)
{
    BITMAPINFOHEADER bih = {};
    if (!m_pGrabber || !pFrame || FAILED(m_pGrabber->GetBitmapHeader(&bih)))
        return FALSE;
    // The header's size must agree with what was copied, or the conversion
    // would read past the frame.
    if (!Yuy2FrameFits(bih.biWidth, bih.biHeight, size))
        return FALSE;
    int w = bih.biWidth, h = bih.biHeight < 0 ? -bih.biHeight : bih.biHeight;
    int stride = Rgb24Stride(w);
    DWORD imageSize = (DWORD)stride * h;
    std::vector<BYTE> pixels(imageSize);
    Yuy2ToRgb24(pFrame, w, h, pixels.data(), stride);

    bih.biSize = sizeof(BITMAPINFOHEADER);
    bih.biHeight = h;  // the rows go out bottom-up
    bih.biPlanes = 1;
    bih.biBitCount = 24;
    bih.biCompression = BI_RGB;
    bih.biSizeImage = imageSize;
    BITMAPFILEHEADER bfh = {};
    bfh.bfType = 0x4D42;
    bfh.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    bfh.bfSize = bfh.bfOffBits + imageSize;

    CString path = NextSnapshotName(pszFolder);
    FileHandle file(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_WRITE, NULL, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, NULL));
    if (file.Get() == INVALID_HANDLE_VALUE)
        return FALSE;
    if (file.Write(&bfh, sizeof(bfh)) && file.Write(&bih, sizeof(bih)) &&
        file.Write(pixels.data(), imageSize))
        return TRUE;
    // A short file (disk full) would pass for a snapshot and take the number.
    file.Close();
    DeleteFileA(path);
    return FALSE;
}

BYTE* CImageGrabber::GrabFrameRGB(int* pWidth, int* pHeight)
{
    std::vector<BYTE> frame = ReadFrame(m_pGrabber);
    BITMAPINFOHEADER bih = {};
    if (frame.empty() || FAILED(m_pGrabber->GetBitmapHeader(&bih)) ||
        !Yuy2FrameFits(bih.biWidth, bih.biHeight, (long)frame.size()))
        return NULL;
    int w = bih.biWidth, h = bih.biHeight < 0 ? -bih.biHeight : bih.biHeight;
    BYTE* rgb = new BYTE[(size_t)w * h * 3];
    Yuy2ToRgb24(frame.data(), w, h, rgb, w * 3);
    if (pWidth)
        *pWidth = w;
    if (pHeight)
        *pHeight = h;
    return rgb;
}
