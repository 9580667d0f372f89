#include "InstallTestFixtures.h"
#include "DriverFiles.h"
#include "TestSupport.h"
#include <shlwapi.h>
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

FakeMachine::FakeMachine(const char* name) : path_(std::string("Software\\OrvixTests\\") + name)
{
    SHDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
    RegCreateKeyA(HKEY_CURRENT_USER, path_.c_str(), &root);
}

// A key's own access list: everyone may do what access grants; NULL lifts it.
static void SetKeyAccess(HKEY root, const std::string& key, const DWORD* access)
{
    PSID everyone = NULL;
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
    char aclBuf[128];
    PACL acl = (PACL)aclBuf;
    InitializeAcl(acl, sizeof(aclBuf), ACL_REVISION);
    if (access)
        AddAccessAllowedAce(acl, ACL_REVISION, *access, everyone);
    SECURITY_DESCRIPTOR sd;
    InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&sd, TRUE, access ? acl : NULL, FALSE);
    HKEY k;
    if (RegOpenKeyExA(root, key.c_str(), 0, WRITE_DAC, &k) == ERROR_SUCCESS) {
        RegSetKeySecurity(k, DACL_SECURITY_INFORMATION, &sd);
        RegCloseKey(k);
    }
    FreeSid(everyone);
}

FakeMachine::~FakeMachine()
{
    // A read-only key would stay behind in the test prefix.
    for (const std::string& key : readOnly_)
        SetKeyAccess(root, key, NULL);
    RegCloseKey(root);
    SHDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
}

void FakeMachine::Set(const std::string& key, const char* name, const std::string& text, DWORD bytes,
                      DWORD type)
{
    HKEY k;
    RegCreateKeyA(root, key.c_str(), &k);
    if (name)
        RegSetValueExA(k, name, 0, type, (const BYTE*)text.c_str(), bytes);
    RegCloseKey(k);
}

std::string FakeMachine::Get(const std::string& key, const char* name) const
{
    char buf[512] = "";
    DWORD bytes = sizeof(buf) - 1;
    HKEY k;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return "<missing>";
    LONG rc = RegQueryValueExA(k, name, NULL, NULL, (BYTE*)buf, &bytes);
    RegCloseKey(k);
    return rc == ERROR_SUCCESS ? buf : "<missing>";
}

std::string FakeMachine::AddCard(bool windows98, const std::string& name)
{
    const std::string card = "VEN_1131&DEV_7130&SUBSYS_00001131&REV_01";
    const std::string iface = "Control\\DeviceClasses\\{65E8773D-8F56-11D0-A3B9-00A0C9223196}\\";
    std::string device;
    if (windows98) {
        const std::string instance = "BUS_00&DEV_0A&FUNC_00";
        Set("Enum\\PCI\\" + card + "\\" + instance, NULL, "", 0);
        device = "System\\CurrentControlSet\\" + iface + "0001";
        std::string id = "PCI\\" + card + "\\" + instance;
        Set(device, "DeviceInstance", id, id.size() + 1);
    } else {
        device = "SYSTEM\\ControlSet001\\" + iface + "##?#PCI#" + card + "#4&1c2a3b&0&40F0#{x}";
    }
    std::string params = device + "\\#GLOBAL\\Device Parameters";
    Set(params, "FriendlyName", name, name.size() + 1);
    return params;
}

void FakeMachine::MakeReadOnly(const std::string& key)
{
    const DWORD access = KEY_READ | WRITE_DAC;
    SetKeyAccess(root, key, &access);
    readOnly_.push_back(key);
}

}  // namespace installtest
