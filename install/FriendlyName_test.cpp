#include <gtest/gtest.h>
#include "FriendlyName.h"
#include <shlwapi.h>
#include <stdio.h>
#include <string>

namespace {

const char kNtClass[] =
    "SYSTEM\\ControlSet001\\Control\\DeviceClasses\\{65E8773D-8F56-11D0-A3B9-00A0C9223196}";
const char k98Class[] =
    "System\\CurrentControlSet\\Control\\DeviceClasses\\{65E8773D-8F56-11D0-A3B9-00A0C9223196}";
const char kCardLink[] =
    "##?#PCI#VEN_1131&DEV_7130&SUBSYS_00001131&REV_01#4&1c2a3b&0&40F0#{65e8773d-8f56-11d0-a3b9-00a0c9223196}";
const char kOtherLink[] =
    "##?#PCI#VEN_1131&DEV_7134&SUBSYS_00001131&REV_01#4&77&0&48F0#{65e8773d-8f56-11d0-a3b9-00a0c9223196}";
const char kWanted[] = "Kestor TV Arden WDM Video CaptureA";

// A private registry tree standing in for HKEY_LOCAL_MACHINE.
class FakeMachine {
public:
    FakeMachine()
    {
        static int n = 0;
        char name[80];
        snprintf(name, sizeof(name), "Software\\OrvixTests\\install-%lu-%d",
                 (unsigned long)GetCurrentProcessId(), ++n);
        path_ = name;
        SHDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
        RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                        &root_, NULL);
    }
    ~FakeMachine()
    {
        RegCloseKey(root_);
        SHDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
    }
    HKEY Root() const { return root_; }

    // Sets a value; len counts the bytes stored (-1: the text and its zero).
    void Set(const std::string& key, const char* name, const std::string& text, int len = -1,
             DWORD type = REG_SZ)
    {
        HKEY k;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root_, key.c_str(), 0, NULL, 0, KEY_ALL_ACCESS,
                                                 NULL, &k, NULL));
        DWORD bytes = len < 0 ? (DWORD)text.size() + 1 : (DWORD)len;
        RegSetValueExA(k, name, 0, type, (const BYTE*)text.c_str(), bytes);
        RegCloseKey(k);
    }
    // The value's bytes as stored, terminator included when there is one.
    std::string Raw(const std::string& key, const char* name)
    {
        HKEY k;
        if (RegOpenKeyExA(root_, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
            return "<no key>";
        char buf[512];
        DWORD bytes = sizeof(buf);
        LONG rc = RegQueryValueExA(k, name, NULL, NULL, (BYTE*)buf, &bytes);
        RegCloseKey(k);
        return rc == ERROR_SUCCESS ? std::string(buf, bytes) : "<no value>";
    }
private:
    std::string path_;
    HKEY root_;
};

std::string Params(const char* cls, const std::string& sub)
{
    return std::string(cls) + "\\" + sub + "\\#GLOBAL\\Device Parameters";
}

const std::string kWantedStored(kWanted, sizeof(kWanted));   // with its zero

}  // namespace

TEST(FriendlyName, ReadRegStringTerminatesAndRefusesWhatDoesNotFit)
{
    FakeMachine m;
    m.Set("k", "plain", "abc");
    m.Set("k", "bare", "abcdef", 6);                 // stored without its zero
    m.Set("k", "dword", "1234", 4, REG_DWORD);
    HKEY k;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(m.Root(), "k", 0, KEY_READ, &k));
    char buf[8];
    memset(buf, 'x', sizeof(buf));
    EXPECT_TRUE(ReadRegString(k, "bare", buf, 7));
    EXPECT_STREQ("abcdef", buf);
    EXPECT_FALSE(ReadRegString(k, "bare", buf, 6));   // no room for the zero
    EXPECT_TRUE(ReadRegString(k, "plain", buf, sizeof(buf)));
    EXPECT_STREQ("abc", buf);
    EXPECT_FALSE(ReadRegString(k, "dword", buf, sizeof(buf)));
    EXPECT_FALSE(ReadRegString(k, "missing", buf, sizeof(buf)));
    EXPECT_STREQ("", buf);
    RegCloseKey(k);
}

TEST(FriendlyName, NtRenamesOnlyTheCardsInterfaceAndWritesTheTerminator)
{
    FakeMachine m;
    std::string longName = std::string(kWanted) + std::string(100, 'x');
    m.Set(Params(kNtClass, kCardLink), "FriendlyName", "SAA7130 Capture");
    m.Set(Params(kNtClass, kOtherLink), "FriendlyName", "Other card");
    std::string secondCard = std::string(kCardLink).replace(60, 2, "99");
    m.Set(Params(kNtClass, secondCard), "FriendlyName", longName);

    NameUpdateResult r = UpdateFriendlyNameNT(m.Root());
    EXPECT_EQ(2, r.written);
    EXPECT_EQ(0, r.failed);
    EXPECT_EQ(kWantedStored, m.Raw(Params(kNtClass, kCardLink), "FriendlyName"));
    EXPECT_EQ(kWantedStored, m.Raw(Params(kNtClass, secondCard), "FriendlyName"));
    EXPECT_EQ(std::string("Other card", 11), m.Raw(Params(kNtClass, kOtherLink), "FriendlyName"));

    r = UpdateFriendlyNameNT(m.Root());
    EXPECT_EQ(0, r.written);
    EXPECT_EQ(0, r.failed);
}

TEST(FriendlyName, NameStoredWithoutItsZeroCountsAsRight)
{
    FakeMachine m;
    m.Set(Params(kNtClass, kCardLink), "FriendlyName", kWanted, (int)strlen(kWanted));
    NameUpdateResult r = UpdateFriendlyNameNT(m.Root());
    EXPECT_EQ(0, r.written);
    EXPECT_EQ(0, r.failed);
}

TEST(FriendlyName, NtWithoutTheClassKeyOrParametersDoesNothing)
{
    FakeMachine m;
    NameUpdateResult r = UpdateFriendlyNameNT(m.Root());
    EXPECT_EQ(0, r.written + r.failed);
    m.Set(std::string(kNtClass) + "\\" + kCardLink, "SymbolicLink", "x");
    r = UpdateFriendlyNameNT(m.Root());
    EXPECT_EQ(0, r.written + r.failed);
}

TEST(FriendlyName, Win98FollowsTheInstanceFromEnumPci)
{
    FakeMachine m;
    const char kInstance[] = "PCI\\VEN_1131&DEV_7130&SUBSYS_00001131&REV_01\\BUS_00&DEV_0A&FUNC_00";
    m.Set("Enum\\PCI\\VEN_1131&DEV_7130&SUBSYS_00001131&REV_01\\BUS_00&DEV_0A&FUNC_00",
          "DeviceDesc", "card");
    m.Set(std::string(k98Class) + "\\0001", "DeviceInstance", kInstance);
    m.Set(Params(k98Class, "0001"), "FriendlyName", "old name");
    m.Set(std::string(k98Class) + "\\0002", "DeviceInstance",
          "PCI\\VEN_1131&DEV_7130&SUBSYS_00001131&REV_01\\BUS_00&DEV_0B&FUNC_00");
    m.Set(Params(k98Class, "0002"), "FriendlyName", "another instance");
    m.Set(std::string(k98Class) + "\\0003", "DeviceInstance", kInstance, (int)strlen(kInstance));
    m.Set(Params(k98Class, "0003"), "FriendlyName", kWanted);

    NameUpdateResult r = UpdateFriendlyName98(m.Root());
    EXPECT_EQ(1, r.written);
    EXPECT_EQ(0, r.failed);
    EXPECT_EQ(kWantedStored, m.Raw(Params(k98Class, "0001"), "FriendlyName"));
    EXPECT_EQ(std::string("another instance", 17), m.Raw(Params(k98Class, "0002"), "FriendlyName"));

    r = UpdateFriendlyName98(m.Root());
    EXPECT_EQ(0, r.written + r.failed);
}

TEST(FriendlyName, Win98WithoutTheCardInstanceDoesNothing)
{
    FakeMachine m;
    m.Set(std::string(k98Class) + "\\0001", "DeviceInstance",
          "PCI\\VEN_1131&DEV_7130&SUBSYS_00001131&REV_01\\");
    m.Set(Params(k98Class, "0001"), "FriendlyName", "old name");
    NameUpdateResult r = UpdateFriendlyName98(m.Root());
    EXPECT_EQ(0, r.written + r.failed);
    EXPECT_EQ(std::string("old name", 9), m.Raw(Params(k98Class, "0001"), "FriendlyName"));
}
