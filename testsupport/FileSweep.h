// Damaged copies of a valid stored file, made the same way at every run, for
// tests that feed each one to the product's own loader: every truncation,
// seeded random byte changes, and chosen fields (counts, lengths, sizes,
// numbers in a text file) set to 0, -1 and 0x7FFFFFFF. Each case runs under
// a watchdog, so a loader that hangs or crashes names the case that did it.
#pragma once
#include <windows.h>
#include <stdint.h>
#include <functional>
#include <string>
#include <vector>

namespace ts {

struct SweepCase {
    std::string name;   // e.g. "cut 17", "bytes 42", "int32 @8 = -1"
    std::string bytes;
    size_t index = 0;   // place in the sweep
};

class FileSweep {
public:
    FileSweep(const std::string& valid, uint32_t seed);

    // Every proper prefix of the file, the empty file included.
    FileSweep& Truncations();
    // n cases, each with 1 to 4 bytes of the file set to random values.
    FileSweep& RandomBytes(int n);
    // The little-endian 32-bit word at each offset set to 0, -1 and 0x7FFFFFFF.
    FileSweep& Int32Fields(const std::vector<size_t>& offsets);
    // The same for the 16-bit words at each offset (0, 0xFFFF, 0x7FFF).
    FileSweep& Int16Fields(const std::vector<size_t>& offsets);
    // Every run of decimal digits in a text file (with its minus sign)
    // replaced by 0, -1 and 2147483647.
    FileSweep& TextNumbers();
    // Whole lines of a text file dropped, one at a time.
    FileSweep& DroppedLines();
    // A case of the caller's own.
    FileSweep& Add(const std::string& name, const std::string& bytes);

    size_t Count() const { return cases_.size(); }
    const std::string& Valid() const { return valid_; }

    // Runs fn on every case under a watchdog that ends the process, naming
    // the case, when one runs longer than limitMs (or crashes). fn returns an
    // empty string when the case went as it should, else what went wrong;
    // the failures are returned (at most maxFailures of them kept).
    std::vector<std::string> Run(const std::function<std::string(const SweepCase&)>& fn,
                                 DWORD limitMs = 5000, size_t maxFailures = 20) const;

    // Runs every n-th case only, unless ORVIX_SWEEP_FULL=1 is set: for
    // loaders whose every case waits milliseconds on the system (windows,
    // pictures), which would make the whole sweep too long for each run of
    // the suite.
    void Sample(size_t n);

    // ORVIX_SWEEP_SHARD=k/n splits the cases chosen to run among n processes
    // and runs the k-th share (0 <= k < n) here: the full sweeps of the
    // loaders that wait on the system spread over the machine's cores
    // (scripts/sweep-full). Every case runs in exactly one share.
    struct Shard {
        size_t part = 0, parts = 1;
    };
    static Shard ShardOf(const char* text);

    // The slowest case of the last Run, in milliseconds.
    double SlowestMs() const { return slowestMs_; }
    double AverageMs() const { return averageMs_; }
    // One line for the test's output: what was swept, how many cases, how long.
    void Report(const char* what) const;

private:
    // A case is kept as its recipe; its bytes are made when it runs.
    struct Recipe {
        enum Kind { CUT, BYTES, INT32, INT16, NUMBER, LINE, OWN } kind;
        size_t at;
        int64_t value;
        uint32_t seed;
        std::string own;
    };
    SweepCase Make(const Recipe& r) const;
    std::string valid_;
    uint32_t seed_;
    std::vector<Recipe> cases_;
    mutable double slowestMs_ = 0;
    mutable double averageMs_ = 0;
    mutable size_t ran_ = 0;
    size_t every_ = 1;
    Shard shard_;
};

// One scratch file rewritten in place for each case: the handle stays open
// (sharing everything), which costs a tenth of creating the file anew.
class ScratchFile {
public:
    explicit ScratchFile(const std::string& path);
    ~ScratchFile();
    bool Write(const std::string& bytes);
    const std::string& Path() const { return path_; }
private:
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    std::string path_;
    HANDLE handle_;
};

// While it lives, the product's stored-file reads (ReadStoredFile and the INI
// reads on it) of the paths set here are answered from memory; other paths
// are read from the disk. One at a time.
class MemoryFiles {
public:
    MemoryFiles();
    ~MemoryFiles();
    void Set(const std::string& path, const std::string& bytes);
    void Remove(const std::string& path);
private:
    MemoryFiles(const MemoryFiles&) = delete;
    MemoryFiles& operator=(const MemoryFiles&) = delete;
    void* previous_;
};

// Where a case is read from: memory, and every diskEvery-th case a scratch
// file on the disk rewritten in place, so that the platform's own reading is
// swept too.
class CaseFile {
public:
    CaseFile(MemoryFiles& memory, const std::string& path, size_t diskEvery)
        : memory_(memory), scratch_(path), diskEvery_(diskEvery) {}
    bool Put(const SweepCase& c);
    const std::string& Path() const { return scratch_.Path(); }
private:
    MemoryFiles& memory_;
    ScratchFile scratch_;
    size_t diskEvery_;
};

// A 24-bit bottom-up BMP file of w x h whose pixels come from colour(x, y).
std::string MakeBmp24(int w, int h, const std::function<COLORREF(int, int)>& colour);

bool WriteWholeFile(const std::string& path, const std::string& bytes);
std::string ReadWholeFile(const std::string& path);

// Names, sizes and contents of the files of a folder (not recursive), for
// checking that a loader left the user's other files as they were.
std::string FolderSnapshot(const std::string& folder);

}  // namespace ts
