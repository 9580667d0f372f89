// Test fixtures for Install: a Windows folder and a program folder on disk, and
// a registry key standing in for HKEY_LOCAL_MACHINE.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

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

// A private key under HKEY_CURRENT_USER, removed with everything below it.
struct FakeMachine {
    HKEY root = NULL;
    explicit FakeMachine(const char* name);
    ~FakeMachine();
    FakeMachine(const FakeMachine&) = delete;
    FakeMachine& operator=(const FakeMachine&) = delete;
    // Creates the key and, given a name, stores bytes bytes of text. The
    // system adds a zero the count left out when one follows in memory, so
    // texts meant to be stored bare carry a spare character.
    void Set(const std::string& key, const char* name, const std::string& text, DWORD bytes,
             DWORD type = REG_SZ);
    std::string Get(const std::string& key, const char* name) const;
    // The card's device, named name, where the NT or the Windows 98 walk finds
    // it; returns its Device Parameters key.
    std::string AddCard(bool windows98, const std::string& name);
    // From now on the key can be read but not written.
    void MakeReadOnly(const std::string& key);
private:
    std::string path_;
    std::vector<std::string> readOnly_;
};

}  // namespace installtest
