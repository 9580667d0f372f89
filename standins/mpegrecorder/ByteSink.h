// Where the multiplexers put their bytes: appended at the end, or written
// over bytes already there (sizes and indexes known only later). The
// recorder's file and the tests' memory buffer implement it.
#pragma once
#include <stdint.h>
#include <stddef.h>
#include <vector>

namespace rec {

class ByteSink {
public:
    virtual ~ByteSink() {}
    // false once writing has failed; later writes are dropped.
    virtual bool Append(const void* data, size_t size) = 0;
    virtual bool Overwrite(uint64_t offset, const void* data, size_t size) = 0;
    virtual uint64_t Size() const = 0;
};

class MemorySink : public ByteSink {
public:
    bool Append(const void* data, size_t size) override {
        const uint8_t* p = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), p, p + size);
        return true;
    }
    bool Overwrite(uint64_t offset, const void* data, size_t size) override {
        if (offset + size > bytes.size()) return false;
        const uint8_t* p = static_cast<const uint8_t*>(data);
        std::copy(p, p + size, bytes.begin() + static_cast<size_t>(offset));
        return true;
    }
    uint64_t Size() const override { return bytes.size(); }
    std::vector<uint8_t> bytes;
};

}  // namespace rec
