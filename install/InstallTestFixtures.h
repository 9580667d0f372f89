// Test fixture for Install: a Windows folder and a program folder on disk.
#pragma once
#include <string>

namespace installtest {

std::string ReadTextFile(const std::string& path);   // "<missing>" when absent

// A Windows folder with the target folders, and a program folder whose Drivers
// folder holds a placeholder ("new <source>") for every driver file.
struct Folders {
    std::string windows;   // no trailing backslash, as the system gives it
    std::string program;   // with its trailing backslash
    explicit Folders(const std::string& windowsName = "windows");
    std::string Target(int i) const;
    void InstallAll() const;   // an old copy ("old") of every file in place
};

}  // namespace installtest
