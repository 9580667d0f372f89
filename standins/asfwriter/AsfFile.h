// An ASF file holding one audio stream of uncompressed PCM: the header
// object (file properties, the stream's properties typed by its wave format,
// an empty header extension), then the data object of fixed-size packets,
// each carrying one timed payload. The header is written first with room for
// the final counts and written again when the file is closed.
#pragma once
#include <windows.h>
#include <mmreg.h>
#include <vector>

namespace asf {

const DWORD kPacketSize = 8192;
// Bytes of each packet before its payload: error correction, parsing
// information and the payload's own header.
const DWORD kPacketOverhead = 28;

class AsfFileWriter {
public:
    AsfFileWriter();
    ~AsfFileWriter();
    AsfFileWriter(const AsfFileWriter&) = delete;
    AsfFileWriter& operator=(const AsfFileWriter&) = delete;

    // Creates the file anew. FALSE when it cannot be created or the format
    // is not PCM.
    bool Open(const wchar_t* path, const WAVEFORMATEX& format);
    bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }
    // Sound for the stream: whole packets go out as they fill.
    bool Write(const BYTE* pcm, DWORD length);
    // The last packet and the final header; the file is then complete.
    bool Close();

    ULONGLONG Packets() const { return packets_; }
    ULONGLONG SoundBytes() const { return soundBytes_; }

private:
    std::vector<BYTE> Header() const;
    bool WritePacket(const BYTE* data, DWORD length);
    DWORD PayloadBytes() const;

    HANDLE file_;
    WAVEFORMATEX format_;
    std::vector<BYTE> pending_;
    ULONGLONG packets_;
    ULONGLONG soundBytes_;  // in packets written
    BYTE objectNumber_;
    GUID fileId_;
    ULONGLONG created_;
};

}  // namespace asf
