#include "InstallTestFixtures.h"
#include "DriverFiles.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <shlwapi.h>
#include <stdio.h>

namespace installtest {

const char kNtClass[] =
    "SYSTEM\\ControlSet001\\Control\\DeviceClasses\\{65E8773D-8F56-11D0-A3B9-00A0C9223196}";
const char k98Class[] =
    "System\\CurrentControlSet\\Control\\DeviceClasses\\{65E8773D-8F56-11D0-A3B9-00A0C9223196}";
const char kCardLink[] =
    "##?#PCI#VEN_1131&DEV_7130&SUBSYS_00001131&REV_01#4&1c2a3b&0&40F0#{65e8773d-8f56-11d0-a3b9-00a0c9223196}";
const char kWanted[] = "Kestor TV Arden WDM Video CaptureA";

std::string Params(const char* cls, const std::string& sub)
{
    return std::string(cls) + "\\" + sub + "\\#GLOBAL\\Device Parameters";
}

void WriteTextFile(const std::string& path, const std::string& text)
{
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_TRUE(f != NULL) << path;
    fputs(text.c_str(), f);
    fclose(f);
}

std::string ReadTextFile(const std::string& path)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return "<missing>";
    std::string text;
    char buf[256];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0)
        text.append(buf, n);
    fclose(f);
    return text;
}

Folders::Folders(const std::string& windowsName)
{
    std::string root = ts::FreshTempDir("install");
    windows = root + windowsName;
    program = root + "prog\\";
    CreateDirectoryA(windows.c_str(), NULL);
    for (const char* sub : { "\\system32", "\\system32\\drivers", "\\inf", "\\system" })
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

FakeMachine::FakeMachine()
{
    static int n = 0;
    char name[80];
    snprintf(name, sizeof(name), "Software\\OrvixTests\\install-%lu-%d",
             (unsigned long)GetCurrentProcessId(), ++n);
    path_ = name;
    SHDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
    root_ = NULL;
    RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &root_,
                    NULL);
}

FakeMachine::~FakeMachine()
{
    if (root_)
        RegCloseKey(root_);
    SHDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
}

void FakeMachine::Set(const std::string& key, const char* name, const std::string& text, int len,
                      DWORD type)
{
    HKEY k;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root_, key.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                                             &k, NULL));
    DWORD bytes = len < 0 ? (DWORD)text.size() + 1 : (DWORD)len;
    RegSetValueExA(k, name, 0, type, (const BYTE*)text.c_str(), bytes);
    RegCloseKey(k);
}

std::string FakeMachine::Raw(const std::string& key, const char* name) const
{
    // Read through the wide API: the narrow one may add a missing terminator.
    HKEY k;
    if (RegOpenKeyExA(root_, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return "<no key>";
    WCHAR wname[128];
    MultiByteToWideChar(CP_ACP, 0, name, -1, wname, 128);
    WCHAR buf[512];
    DWORD bytes = sizeof(buf);
    LONG rc = RegQueryValueExW(k, wname, NULL, NULL, (BYTE*)buf, &bytes);
    RegCloseKey(k);
    if (rc != ERROR_SUCCESS)
        return "<no value>";
    std::string text;
    for (DWORD i = 0; i < bytes / sizeof(WCHAR); i++)
        text += (char)buf[i];   // the tests' values are ASCII
    return text;
}

}  // namespace installtest
