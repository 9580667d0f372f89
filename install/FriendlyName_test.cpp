#include <gtest/gtest.h>
#include "FriendlyName.h"
#include "InstallTestFixtures.h"
#include <string.h>
#include <string>

using namespace installtest;

namespace {

const char kOtherLink[] =
    "##?#PCI#VEN_1131&DEV_7134&SUBSYS_00001131&REV_01#4&77&0&48F0#{65e8773d-8f56-11d0-a3b9-00a0c9223196}";
const std::string kWantedStored(kWanted, strlen(kWanted) + 1);   // with its zero

}  // namespace

TEST(FriendlyName, ReadRegStringTerminatesAndRefusesWhatDoesNotFit)
{
    FakeMachine m;
    m.Set("k", "plain", "abc");
    m.Set("k", "bare", "abcdef#", 6);                // stored without its zero
    ASSERT_EQ("abcdef", m.Raw("k", "bare"));
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
    m.Set(Params(kNtClass, kCardLink), "FriendlyName", std::string(kWanted) + "#",
          (int)strlen(kWanted));
    ASSERT_EQ(kWanted, m.Raw(Params(kNtClass, kCardLink), "FriendlyName"));
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
    m.Set(std::string(k98Class) + "\\0003", "DeviceInstance", std::string(kInstance) + "#",
          (int)strlen(kInstance));
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
