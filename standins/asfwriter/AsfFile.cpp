#include "AsfFile.h"
#include <objbase.h>
#include <string.h>

namespace asf {

namespace {

const GUID kHeaderObject = {0x75b22630, 0x668e, 0x11cf, {0xa6, 0xd9, 0x00, 0xaa, 0x00, 0x62, 0xce, 0x6c}};
const GUID kFileProperties = {0x8cabdca1, 0xa947, 0x11cf, {0x8e, 0xe4, 0x00, 0xc0, 0x0c, 0x20, 0x53, 0x65}};
const GUID kStreamProperties = {0xb7dc0791, 0xa9b7, 0x11cf, {0x8e, 0xe6, 0x00, 0xc0, 0x0c, 0x20, 0x53, 0x65}};
const GUID kHeaderExtension = {0x5fbf03b5, 0xa92e, 0x11cf, {0x8e, 0xe3, 0x00, 0xc0, 0x0c, 0x20, 0x53, 0x65}};
const GUID kReserved1 = {0xabd3d211, 0xa9ba, 0x11cf, {0x8e, 0xe6, 0x00, 0xc0, 0x0c, 0x20, 0x53, 0x65}};
const GUID kDataObject = {0x75b22636, 0x668e, 0x11cf, {0xa6, 0xd9, 0x00, 0xaa, 0x00, 0x62, 0xce, 0x6c}};
const GUID kAudioMedia = {0xf8699e40, 0x5b4d, 0x11cf, {0xa8, 0xfd, 0x00, 0x80, 0x5f, 0x5c, 0x44, 0x2b}};
const GUID kNoErrorCorrection = {0x20fb5700, 0x5b55, 0x11cf, {0xa8, 0xfd, 0x00, 0x80, 0x5f, 0x5c, 0x44, 0x2b}};

const DWORD kHeaderBytes = 30 + 104 + 96 + 46;
const DWORD kDataHeaderBytes = 50;

class Out {
public:
    explicit Out(std::vector<BYTE>& v) : v_(v) {}
    void U8(BYTE b) { v_.push_back(b); }
    void U16(WORD w) { for (int i = 0; i < 2; i++) v_.push_back(static_cast<BYTE>(w >> (8 * i))); }
    void U32(DWORD d) { for (int i = 0; i < 4; i++) v_.push_back(static_cast<BYTE>(d >> (8 * i))); }
    void U64(ULONGLONG q) { for (int i = 0; i < 8; i++) v_.push_back(static_cast<BYTE>(q >> (8 * i))); }
    void Guid(const GUID& g) {
        U32(g.Data1);
        U16(g.Data2);
        U16(g.Data3);
        for (BYTE b : g.Data4) U8(b);
    }
    // An object: its GUID and size, the size counting the body the caller adds.
    void Object(const GUID& g, ULONGLONG size) {
        Guid(g);
        U64(size);
    }

private:
    std::vector<BYTE>& v_;
};

}  // namespace

AsfFileWriter::AsfFileWriter()
    : file_(INVALID_HANDLE_VALUE), format_(), packets_(0), soundBytes_(0), objectNumber_(0), fileId_(), created_(0) {}

AsfFileWriter::~AsfFileWriter() { Close(); }

DWORD AsfFileWriter::PayloadBytes() const {
    DWORD room = kPacketSize - kPacketOverhead;
    return room - room % format_.nBlockAlign;
}

bool AsfFileWriter::Open(const wchar_t* path, const WAVEFORMATEX& format) {
    Close();
    if (format.wFormatTag != WAVE_FORMAT_PCM || format.nBlockAlign == 0 || format.nAvgBytesPerSec == 0)
        return false;
    format_ = format;
    format_.cbSize = 0;
    pending_.clear();
    packets_ = soundBytes_ = 0;
    objectNumber_ = 0;
    CoCreateGuid(&fileId_);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    created_ = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    file_ = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_ALWAYS, 0, NULL);
    if (file_ == INVALID_HANDLE_VALUE) return false;
    std::vector<BYTE> header = Header();
    DWORD written = 0;
    if (!WriteFile(file_, header.data(), static_cast<DWORD>(header.size()), &written, NULL)) {
        CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
        return false;
    }
    return true;
}

std::vector<BYTE> AsfFileWriter::Header() const {
    std::vector<BYTE> v;
    Out o(v);
    ULONGLONG duration = soundBytes_ * 10000000ULL / format_.nAvgBytesPerSec;
    ULONGLONG fileSize = kHeaderBytes + kDataHeaderBytes + packets_ * kPacketSize;
    o.Object(kHeaderObject, kHeaderBytes);
    o.U32(3);
    o.U8(1);
    o.U8(2);

    o.Object(kFileProperties, 104);
    o.Guid(fileId_);
    o.U64(fileSize);
    o.U64(created_);
    o.U64(packets_);
    o.U64(duration);  // play duration (no preroll)
    o.U64(duration);  // send duration
    o.U64(0);         // preroll, ms
    o.U32(2);         // seekable
    o.U32(kPacketSize);
    o.U32(kPacketSize);
    o.U32(static_cast<DWORD>(static_cast<ULONGLONG>(format_.nAvgBytesPerSec) * 8 * kPacketSize / PayloadBytes()));

    o.Object(kStreamProperties, 96);
    o.Guid(kAudioMedia);
    o.Guid(kNoErrorCorrection);
    o.U64(0);   // time offset
    o.U32(18);  // the wave format
    o.U32(0);
    o.U16(1);   // stream number 1
    o.U32(0);
    o.U16(format_.wFormatTag);
    o.U16(format_.nChannels);
    o.U32(format_.nSamplesPerSec);
    o.U32(format_.nAvgBytesPerSec);
    o.U16(format_.nBlockAlign);
    o.U16(format_.wBitsPerSample);
    o.U16(0);

    o.Object(kHeaderExtension, 46);
    o.Guid(kReserved1);
    o.U16(6);
    o.U32(0);

    o.Object(kDataObject, kDataHeaderBytes + packets_ * kPacketSize);
    o.Guid(fileId_);
    o.U64(packets_);
    o.U16(0x0101);
    return v;
}

bool AsfFileWriter::WritePacket(const BYTE* data, DWORD length) {
    std::vector<BYTE> v;
    v.reserve(kPacketSize);
    Out o(v);
    DWORD time = static_cast<DWORD>(soundBytes_ * 1000 / format_.nAvgBytesPerSec);
    DWORD ms = static_cast<DWORD>(static_cast<ULONGLONG>(length) * 1000 / format_.nAvgBytesPerSec);
    // Error correction: two bytes, both zero.
    o.U8(0x82);
    o.U8(0);
    o.U8(0);
    // One payload, a padding length as WORD, no packet length or sequence;
    // replicated data length BYTE, offset DWORD, object number BYTE, stream BYTE.
    o.U8(0x10);
    o.U8(0x5d);
    o.U16(static_cast<WORD>(kPacketSize - kPacketOverhead - length));
    o.U32(time);  // send time
    o.U16(static_cast<WORD>(ms));
    o.U8(0x81);   // stream 1, key frame
    o.U8(objectNumber_++);
    o.U32(0);     // the whole object is here
    o.U8(8);
    o.U32(length);  // object size
    o.U32(time);    // presentation time
    v.insert(v.end(), data, data + length);
    v.resize(kPacketSize, 0);
    DWORD written = 0;
    if (!WriteFile(file_, v.data(), kPacketSize, &written, NULL) || written != kPacketSize) return false;
    packets_++;
    soundBytes_ += length;
    return true;
}

bool AsfFileWriter::Write(const BYTE* pcm, DWORD length) {
    if (!IsOpen()) return false;
    pending_.insert(pending_.end(), pcm, pcm + length);
    DWORD payload = PayloadBytes();
    size_t used = 0;
    bool ok = true;
    while (ok && pending_.size() - used >= payload) {
        ok = WritePacket(pending_.data() + used, payload);
        used += payload;
    }
    pending_.erase(pending_.begin(), pending_.begin() + used);
    return ok;
}

bool AsfFileWriter::Close() {
    if (!IsOpen()) return true;
    DWORD whole = static_cast<DWORD>(pending_.size() - pending_.size() % format_.nBlockAlign);
    bool ok = whole == 0 || WritePacket(pending_.data(), whole);
    pending_.clear();
    std::vector<BYTE> header = Header();
    DWORD written = 0;
    ok = SetFilePointer(file_, 0, NULL, FILE_BEGIN) == 0 &&
         WriteFile(file_, header.data(), static_cast<DWORD>(header.size()), &written, NULL) && ok;
    ok = CloseHandle(file_) && ok;
    file_ = INVALID_HANDLE_VALUE;
    return ok;
}

}  // namespace asf
