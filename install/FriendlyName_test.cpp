#include <gtest/gtest.h>
#include "FriendlyName.h"
#include "InstallTestFixtures.h"
#include <string>

using namespace installtest;

namespace {

const std::string kWanted = "Kestor TV Arden WDM Video CaptureA";

}  // namespace

TEST(FriendlyName, ReadRegStringTerminatesAndRefusesWhatDoesNotFit)
{
    FakeMachine m("install");
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
    FakeMachine m("install");
    const std::string params = m.AddCard(false, kWanted);
    m.Set(params, "FriendlyName", kWanted + "#", kWanted.size());
    NameUpdateResult r = UpdateFriendlyNameNT(m.root);
    EXPECT_EQ(0, r.written + r.failed);

    std::string longer = kWanted + std::string(300, 'x');
    m.Set(params, "FriendlyName", longer, longer.size() + 1);
    r = UpdateFriendlyNameNT(m.root);
    EXPECT_EQ(1, r.written);
    r = UpdateFriendlyNameNT(m.root);
    EXPECT_EQ(0, r.written + r.failed);
}
