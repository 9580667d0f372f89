// The card's driver files: where each one belongs under the Windows folder and
// where it comes from under the program folder, and the copy of those missing.
#pragma once
#include <windows.h>
#include <string>

struct DriverFile {
    const char* target;   // under the Windows folder, with a leading backslash
    const char* source;   // under the program folder
};

extern const DriverFile g_driverFiles[];
extern const int g_driverFileCount;

struct DriverCopyResult {
    int copied;   // files that were missing and are now in place
    int failed;   // files that were missing and could not be put in place
};

// Copies every driver file that is missing under windowsDir (no trailing
// backslash needed) from programDir (with its trailing backslash). A file that
// exists is never touched, not even one that appears while we copy.
DriverCopyResult CopyDriverFiles(const std::string& windowsDir, const std::string& programDir);

// The Windows folder; FALSE when it cannot be read whole.
BOOL GetWindowsFolder(std::string& folder);
// The folder of this program's file, up to and including its last backslash.
BOOL GetProgramFolder(std::string& folder);
