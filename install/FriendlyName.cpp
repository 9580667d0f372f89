#include "FriendlyName.h"
#include <string.h>
#include <string>
#include <vector>

const char g_wantedFriendlyName[] = "Kestor TV Arden WDM Video CaptureA";

static const char kInterfaceClass[] = "{65E8773D-8F56-11D0-A3B9-00A0C9223196}";
static const char kCardDevice[] = "VEN_1131&DEV_7130&SUBSYS_00001131&REV_01";
static const char kDeviceParameters[] = "\\#GLOBAL\\Device Parameters";

// Closes a registry key on every way out.
class RegKey {
public:
    RegKey() : key_(NULL) {}
    ~RegKey() { Close(); }
    BOOL Open(HKEY parent, const std::string& path, REGSAM access)
    {
        Close();
        return RegOpenKeyExA(parent, path.c_str(), 0, access, &key_) == ERROR_SUCCESS;
    }
    void Close()
    {
        if (key_)
            RegCloseKey(key_);
        key_ = NULL;
    }
    operator HKEY() const { return key_; }
private:
    RegKey(const RegKey&);
    RegKey& operator=(const RegKey&);
    HKEY key_;
};

BOOL ReadRegString(HKEY key, const char* name, char* buf, DWORD size)
{
    if (size == 0)
        return FALSE;
    buf[0] = '\0';
    DWORD type = 0, bytes = size;
    LONG rc = RegQueryValueExA(key, name, NULL, &type, (BYTE*)buf, &bytes);
    BOOL fits = rc == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)
                && (bytes < size || buf[size - 1] == '\0');
    if (!fits) {
        buf[0] = '\0';
        return FALSE;
    }
    if (bytes < size)
        buf[bytes] = '\0';
    return TRUE;
}

// Whether the key exists and can be read.
static BOOL KeyExists(HKEY root, const std::string& path)
{
    RegKey key;
    return key.Open(root, path, KEY_READ);
}

// Whether the value, read into size bytes, is the expected text; a value that
// does not fit counts as different.
static BOOL RegStringEquals(HKEY root, const std::string& path, const char* value,
                            const char* expected, DWORD size)
{
    RegKey key;
    if (!key.Open(root, path, KEY_READ))
        return FALSE;
    std::vector<char> buf(size);
    return ReadRegString(key, value, buf.data(), size) && strcmp(buf.data(), expected) == 0;
}

// A name that is missing, too long or different is rewritten, terminator
// included, so that the next run finds it equal.
static void CorrectFriendlyName(HKEY root, const std::string& deviceKey, NameUpdateResult* result)
{
    std::string path = deviceKey + kDeviceParameters;
    if (!KeyExists(root, path) || RegStringEquals(root, path, "FriendlyName", g_wantedFriendlyName, 256))
        return;
    RegKey key;
    if (key.Open(root, path, KEY_WRITE)
        && RegSetValueExA(key, "FriendlyName", 0, REG_SZ, (const BYTE*)g_wantedFriendlyName,
                          sizeof(g_wantedFriendlyName)) == ERROR_SUCCESS)
        result->written++;
    else
        result->failed++;
}

static DWORD SubkeyCount(HKEY key)
{
    DWORD count = 0;
    if (RegQueryInfoKeyA(key, NULL, NULL, NULL, &count, NULL, NULL, NULL, NULL, NULL, NULL,
                         NULL) != ERROR_SUCCESS)
        return 0;
    return count;
}

NameUpdateResult UpdateFriendlyNameNT(HKEY root)
{
    NameUpdateResult result = { 0, 0 };
    std::string classPath = std::string("SYSTEM\\ControlSet001\\Control\\DeviceClasses\\")
                            + kInterfaceClass;
    RegKey classKey;
    if (!classKey.Open(root, classPath, KEY_READ))
        return result;

    // The interface's symbolic link begins with the card's PCI id; what follows
    // it (instance and reference string) differs from PC to PC.
    const std::string prefix = std::string("##?#PCI#") + kCardDevice;
    DWORD count = SubkeyCount(classKey);
    for (DWORD i = 0; i < count; i++) {
        char sub[261];
        DWORD len = sizeof(sub);
        if (RegEnumKeyExA(classKey, i, sub, &len, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            continue;
        if (strncmp(sub, prefix.c_str(), prefix.size()) != 0)
            continue;
        CorrectFriendlyName(root, classPath + "\\" + sub, &result);
    }
    return result;
}

NameUpdateResult UpdateFriendlyName98(HKEY root)
{
    NameUpdateResult result = { 0, 0 };
    std::string instanceId;
    {
        RegKey enumKey;
        if (!enumKey.Open(root, std::string("Enum\\PCI\\") + kCardDevice, KEY_READ))
            return result;
        char sub[1041];
        DWORD len = sizeof(sub);
        if (RegEnumKeyExA(enumKey, 0, sub, &len, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            return result;
        instanceId = std::string("PCI\\") + kCardDevice + "\\" + sub;
    }

    std::string classPath = std::string("System\\CurrentControlSet\\Control\\DeviceClasses\\")
                            + kInterfaceClass;
    RegKey classKey;
    if (!classKey.Open(root, classPath, KEY_READ))
        return result;
    DWORD count = SubkeyCount(classKey);
    for (DWORD i = 0; i < count; i++) {
        char sub[1041];
        DWORD len = sizeof(sub);
        if (RegEnumKeyExA(classKey, i, sub, &len, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            continue;
        std::string entry = classPath + "\\" + sub;
        if (RegStringEquals(root, entry, "DeviceInstance", instanceId.c_str(), 1100))
            CorrectFriendlyName(root, entry, &result);
    }
    return result;
}
