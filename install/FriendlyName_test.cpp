#include <gtest/gtest.h>
#include "FriendlyName.h"
#include <shlwapi.h>
#include <string>

namespace {

const char kParams[] =
    "SYSTEM\\ControlSet001\\Control\\DeviceClasses\\{65E8773D-8F56-11D0-A3B9-00A0C9223196}\\"
    "##?#PCI#VEN_1131&DEV_7130&SUBSYS_00001131&REV_01#4&1c2a3b&0&40F0#{x}\\#GLOBAL\\Device Parameters";
const std::string kWanted = "Kestor TV Arden WDM Video CaptureA";

// A private key standing in for HKEY_LOCAL_MACHINE.
struct FakeMachine {
    HKEY root = NULL;
    FakeMachine() { RegCreateKeyA(HKEY_CURRENT_USER, "Software\\OrvixTests\\install", &root); }
    ~FakeMachine()
    {
        RegCloseKey(root);
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\OrvixTests\\install");
    }
    // Stores bytes bytes of text. The system adds a zero the count left out
    // when one follows in memory, so texts meant to be stored bare carry a
    // spare character.
    void Set(const char* key, const char* name, const std::string& text, DWORD bytes,
             DWORD type = REG_SZ)
    {
        HKEY k;
        RegCreateKeyA(root, key, &k);
        RegSetValueExA(k, name, 0, type, (const BYTE*)text.c_str(), bytes);
        RegCloseKey(k);
    }
};

}  // namespace

TEST(FriendlyName, ReadRegStringTerminatesAndRefusesWhatDoesNotFit)
{
    FakeMachine m;
    m.Set("k", "bare", "abcdef#", 6);
    m.Set("k", "number", "1234", 4, REG_DWORD);
    HKEY k;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyA(m.root, "k", &k));
    char buf[8];
    memset(buf, 'x', sizeof(buf));
    EXPECT_TRUE(ReadRegString(k, "bare", buf, 7));
    EXPECT_STREQ("abcdef", buf);
    EXPECT_FALSE(ReadRegString(k, "bare", buf, 6));   // no room for the zero
    EXPECT_FALSE(ReadRegString(k, "number", buf, sizeof(buf)));
    EXPECT_FALSE(ReadRegString(k, "missing", buf, sizeof(buf)));
    EXPECT_STREQ("", buf);
    RegCloseKey(k);
}

TEST(FriendlyName, BareNameCountsAsRightLongerNameIsRewritten)
{
    FakeMachine m;
    m.Set(kParams, "FriendlyName", kWanted + "#", kWanted.size());
    NameUpdateResult r = UpdateFriendlyNameNT(m.root);
    EXPECT_EQ(0, r.written + r.failed);

    std::string longer = kWanted + std::string(300, 'x');
    m.Set(kParams, "FriendlyName", longer, longer.size() + 1);
    r = UpdateFriendlyNameNT(m.root);
    EXPECT_EQ(1, r.written);
    r = UpdateFriendlyNameNT(m.root);
    EXPECT_EQ(0, r.written + r.failed);
}
