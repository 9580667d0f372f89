#include "AsfParse.h"
#include <string.h>

namespace asf {

namespace {

const BYTE kHeaderGuid[16] = {0x30, 0x26, 0xb2, 0x75, 0x8e, 0x66, 0xcf, 0x11,
                              0xa6, 0xd9, 0x00, 0xaa, 0x00, 0x62, 0xce, 0x6c};
const BYTE kFilePropertiesGuid[16] = {0xa1, 0xdc, 0xab, 0x8c, 0x47, 0xa9, 0xcf, 0x11,
                                      0x8e, 0xe4, 0x00, 0xc0, 0x0c, 0x20, 0x53, 0x65};
const BYTE kStreamPropertiesGuid[16] = {0x91, 0x07, 0xdc, 0xb7, 0xb7, 0xa9, 0xcf, 0x11,
                                        0x8e, 0xe6, 0x00, 0xc0, 0x0c, 0x20, 0x53, 0x65};
const BYTE kDataGuid[16] = {0x36, 0x26, 0xb2, 0x75, 0x8e, 0x66, 0xcf, 0x11,
                            0xa6, 0xd9, 0x00, 0xaa, 0x00, 0x62, 0xce, 0x6c};
const BYTE kAudioGuid[16] = {0x40, 0x9e, 0x69, 0xf8, 0x4d, 0x5b, 0xcf, 0x11,
                             0xa8, 0xfd, 0x00, 0x80, 0x5f, 0x5c, 0x44, 0x2b};

class In {
public:
    In(const std::string& d, size_t at) : d_(d), at_(at) {}
    bool Has(size_t n) const { return at_ + n <= d_.size(); }
    ULONGLONG Get(int bytes) {
        ULONGLONG v = 0;
        for (int i = 0; i < bytes && at_ < d_.size(); i++) v |= static_cast<ULONGLONG>(static_cast<BYTE>(d_[at_++])) << (8 * i);
        return v;
    }
    // A field whose size is given by a 2-bit length type: none, BYTE, WORD, DWORD.
    ULONGLONG Typed(int type) { return Get(type == 3 ? 4 : type); }
    bool Is(const BYTE guid[16]) const { return Has(16) && memcmp(d_.data() + at_, guid, 16) == 0; }

private:
    const std::string& d_;

public:
    size_t at_;
};

}  // namespace

AsfInfo ParseAsf(const std::string& d) {
    AsfInfo info;
    In in(d, 0);
    if (!in.Is(kHeaderGuid) || !in.Has(30)) {
        info.error = "no header object";
        return info;
    }
    in.at_ = 16;
    ULONGLONG headerSize = in.Get(8);
    DWORD count = static_cast<DWORD>(in.Get(4));
    in.at_ = 30;
    for (DWORD i = 0; i < count; i++) {
        if (!in.Has(24)) {
            info.error = "header object cut short";
            return info;
        }
        size_t start = in.at_;
        bool fileProps = in.Is(kFilePropertiesGuid), streamProps = in.Is(kStreamPropertiesGuid);
        in.at_ += 16;
        ULONGLONG size = in.Get(8);
        if (fileProps) {
            in.at_ += 16;
            info.fileSize = in.Get(8);
            in.Get(8);
            info.packets = in.Get(8);
            info.playDuration = in.Get(8);
            in.Get(8);
            info.preroll = in.Get(8);
            in.Get(4);
            info.packetSize = static_cast<DWORD>(in.Get(4));
        } else if (streamProps) {
            info.streams++;
            if (in.Is(kAudioGuid)) {
                info.audioStreams++;
                in.at_ += 32 + 8 + 4 + 4 + 2 + 4;
                if (in.Has(16)) memcpy(&info.format, d.data() + in.at_, 16);
            }
        }
        in.at_ = start + static_cast<size_t>(size);
    }
    in.at_ = static_cast<size_t>(headerSize);
    if (!in.Is(kDataGuid)) {
        info.error = "no data object after the header";
        return info;
    }
    in.at_ += 16;
    info.dataObjectSize = in.Get(8);
    in.at_ += 16;
    info.dataPackets = in.Get(8);
    in.Get(2);
    if (info.packetSize == 0) {
        info.error = "no packet size";
        return info;
    }
    for (ULONGLONG p = 0; p < info.dataPackets; p++) {
        size_t start = in.at_;
        if (!in.Has(info.packetSize)) {
            info.error = "packet cut short";
            return info;
        }
        BYTE flags = static_cast<BYTE>(in.Get(1));
        if (flags & 0x80) {
            in.at_ += flags & 0x0f;
            flags = static_cast<BYTE>(in.Get(1));
        }
        BYTE props = static_cast<BYTE>(in.Get(1));
        if (flags & 1) {
            info.error = "several payloads in a packet";
            return info;
        }
        in.Typed((flags >> 5) & 3);  // packet length
        in.Typed((flags >> 1) & 3);  // sequence
        ULONGLONG padding = in.Typed((flags >> 3) & 3);
        in.Get(4);
        in.Get(2);
        in.Get(1);  // stream number
        in.Typed((props >> 4) & 3);
        in.Typed((props >> 2) & 3);
        ULONGLONG replicated = in.Typed(props & 3);
        size_t replicatedAt = in.at_;
        in.at_ += static_cast<size_t>(replicated);
        if (replicated >= 8) info.times.push_back(static_cast<DWORD>(In(d, replicatedAt + 4).Get(4)));
        size_t end = start + info.packetSize - static_cast<size_t>(padding);
        if (end < in.at_) {
            info.error = "payload longer than its packet";
            return info;
        }
        info.payload.insert(info.payload.end(), d.begin() + in.at_, d.begin() + end);
        in.at_ = start + info.packetSize;
    }
    info.ok = true;
    return info;
}

}  // namespace asf
