#include "DriverFiles.h"

// The same list and the same system32 targets serve every Windows version.
const DriverFile g_driverFiles[] = {
    { "\\system32\\34api.dll",             "Drivers\\34api.dll" },
    { "\\system32\\34COM.dll",             "Drivers\\34COM.dll" },
    { "\\system32\\Prop7134.dll",          "Drivers\\Prop7134.dll" },
    { "\\system32\\34dd.dll",              "Drivers\\34dd.dll" },
    { "\\system32\\34dialog.dll",          "Drivers\\34dialog.dll" },
    { "\\system32\\34dlg2.dll",            "Drivers\\34dlg2.dll" },
    { "\\system32\\34ds.dll",              "Drivers\\34ds.dll" },
    { "\\system32\\34I2Curd.dll",          "Drivers\\34I2Curd.dll" },
    { "\\system32\\34PCIurd.dll",          "Drivers\\34PCIurd.dll" },
    { "\\system32\\34TvCtrl.dll",          "Drivers\\34TvCtrl.dll" },
    { "\\inf\\cap7130.inf",                "Drivers\\cap7130.inf" },
    { "\\inf\\cap7133.inf",                "Drivers\\cap7133.inf" },
    { "\\inf\\cap7134.inf",                "Drivers\\cap7134.inf" },
    { "\\inf\\PhTVTune.inf",               "Drivers\\PhTVTune.inf" },
    { "\\system32\\drivers\\Cap7134.sys",  "Drivers\\Cap7134.sys" },
    { "\\system32\\drivers\\PhTvTune.sys", "Drivers\\PhTvTune.sys" },
    { "\\system\\twain.dll",               "Drivers\\twain.dll" },
    { "\\system\\TWain_32.dll",            "Drivers\\TWain_32.dll" },
};
const int g_driverFileCount = sizeof(g_driverFiles) / sizeof(g_driverFiles[0]);

DriverCopyResult CopyDriverFiles(const std::string& windowsDir, const std::string& programDir)
{
    std::string windows = windowsDir;
    // A drive root ("C:\") comes with its backslash; the targets bring their own.
    if (!windows.empty() && windows[windows.size() - 1] == '\\')
        windows.erase(windows.size() - 1);

    DriverCopyResult result = { 0, 0 };
    for (int i = 0; i < g_driverFileCount; i++) {
        std::string target = windows + g_driverFiles[i].target;
        if (GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES)
            continue;
        std::string source = programDir + g_driverFiles[i].source;
        if (CopyFileA(source.c_str(), target.c_str(), TRUE))
            result.copied++;
        else
            result.failed++;
    }
    return result;
}

BOOL GetWindowsFolder(std::string& folder)
{
    char buf[MAX_PATH + 1];
    UINT n = GetWindowsDirectoryA(buf, sizeof(buf));
    if (n == 0 || n >= sizeof(buf))
        return FALSE;
    folder.assign(buf, n);
    return TRUE;
}

BOOL GetProgramFolder(std::string& folder)
{
    char buf[MAX_PATH + 1];
    DWORD n = GetModuleFileNameA(NULL, buf, sizeof(buf));
    if (n == 0 || n >= sizeof(buf))
        return FALSE;
    std::string path(buf, n);
    size_t slash = path.find_last_of('\\');
    if (slash == std::string::npos)
        return FALSE;
    folder = path.substr(0, slash + 1);
    return TRUE;
}
