// Tests that run OrvixPlus.exe and change the free space of its drives while
// it runs: the program reads ORVIX_DISK_FREE_MB's entries from a file at every
// query ("@<path>"), and the test rewrites that file.
#pragma once
#include <stdio.h>
#include <string>

namespace tv {

class FreeSpaceFile {
public:
    explicit FreeSpaceFile(const std::string& path) : path_(path) {}

    // The variable for the program's environment.
    std::string Env() const { return "ORVIX_DISK_FREE_MB=@" + path_; }

    // The entries from now on, as the variable takes them ("*=99", "C=fail").
    bool Set(const char* entries) const
    {
        FILE* f = fopen(path_.c_str(), "wb");
        if (!f)
            return false;
        bool written = fputs(entries, f) >= 0;
        return fclose(f) == 0 && written;
    }

private:
    std::string path_;
};

}  // namespace tv
