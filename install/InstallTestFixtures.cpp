#include "InstallTestFixtures.h"
#include "DriverFiles.h"
#include "TestSupport.h"
#include <stdio.h>

namespace installtest {

static void WriteTextFile(const std::string& path, const std::string& text)
{
    if (FILE* f = fopen(path.c_str(), "wb")) {
        fputs(text.c_str(), f);
        fclose(f);
    }
}

std::string ReadTextFile(const std::string& path)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return "<missing>";
    char buf[256];
    size_t n = fread(buf, 1, sizeof(buf), f);
    fclose(f);
    return std::string(buf, n);
}

Folders::Folders(const std::string& windowsName)
{
    std::string root = ts::FreshTempDir("install");
    windows = root + windowsName;
    program = root + "prog\\";
    for (const char* sub : { "", "\\system32", "\\system32\\drivers", "\\inf", "\\system" })
        CreateDirectoryA((windows + sub).c_str(), NULL);
    CreateDirectoryA(program.c_str(), NULL);
    CreateDirectoryA((program + "Drivers").c_str(), NULL);
    for (int i = 0; i < g_driverFileCount; i++)
        WriteTextFile(program + g_driverFiles[i].source,
                      std::string("new ") + g_driverFiles[i].source);
}

std::string Folders::Target(int i) const
{
    return windows + g_driverFiles[i].target;
}

void Folders::InstallAll() const
{
    for (int i = 0; i < g_driverFileCount; i++)
        WriteTextFile(Target(i), "old");
}

}  // namespace installtest
