// Test fixtures for Install: a Windows folder and program folder on disk, and
// a private registry tree standing in for HKEY_LOCAL_MACHINE.
#pragma once
#include <windows.h>
#include <string>

namespace installtest {

void WriteTextFile(const std::string& path, const std::string& text);
// The file's bytes, or "<missing>".
std::string ReadTextFile(const std::string& path);

// A Windows folder with the target folders, and a program folder whose Drivers
// folder holds a placeholder ("new <source>") for every driver file.
struct Folders {
    std::string windows;   // no trailing backslash, as the system gives it
    std::string program;   // with its trailing backslash
    explicit Folders(const std::string& windowsName = "windows");
    std::string Target(int i) const;
    // Puts an old copy ("old") of every driver file in place.
    void InstallAll() const;
};

class FakeMachine {
public:
    FakeMachine();
    ~FakeMachine();
    HKEY Root() const { return root_; }
    // Sets a value; len counts the bytes stored (-1: the text and its zero).
    // The system adds a zero that the count left out when one follows in
    // memory, so a value meant to be stored bare needs a longer text.
    void Set(const std::string& key, const char* name, const std::string& text, int len = -1,
             DWORD type = REG_SZ);
    // The value's bytes as stored, terminator included when there is one.
    std::string Raw(const std::string& key, const char* name) const;
private:
    FakeMachine(const FakeMachine&);
    FakeMachine& operator=(const FakeMachine&);
    std::string path_;
    HKEY root_;
};

extern const char kNtClass[];
extern const char k98Class[];
extern const char kCardLink[];    // the card's interface under kNtClass
extern const char kWanted[];
// Key of the Device Parameters of an entry under a device class.
std::string Params(const char* cls, const std::string& sub);

}  // namespace installtest
