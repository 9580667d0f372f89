#include "ChannelTestEnv.h"
#include "CountryPlan.h"
#include <stddef.h>
#include <string.h>

namespace {

// The channel numbers of a channel file's records, in file order.
std::vector<int> NumbersInFile(const std::string& path, ChannelFileHeader* pHeader = NULL)
{
    std::vector<char> bytes = ReadAll(path);
    std::vector<int> numbers;
    if (bytes.size() < sizeof(ChannelFileHeader))
        return numbers;
    if (pHeader != NULL)
        memcpy(pHeader, bytes.data(), sizeof(*pHeader));
    for (size_t off = 16; off + 48 <= bytes.size(); off += 48)
        numbers.push_back(((const ChannelRecord*)(bytes.data() + off))->nNumber);
    return numbers;
}

}  // namespace

TEST(ChannelLayout, RecordsAndHeaderMatchTheFiles)
{
    EXPECT_EQ(48u, sizeof(ChannelRecord));
    EXPECT_EQ(8u, offsetof(ChannelRecord, szName));
    EXPECT_EQ(40u, offsetof(ChannelRecord, fFrequency));
    EXPECT_EQ(44u, offsetof(ChannelRecord, nNumber));
    EXPECT_EQ(16u, sizeof(ChannelFileHeader));
    EXPECT_EQ(12u, offsetof(ChannelFileHeader, nCountCable));
    EXPECT_EQ(64u, sizeof(HistoryRecord));
    EXPECT_EQ(12u, offsetof(HistoryRecord, nMenuId));
    EXPECT_EQ(16u, offsetof(HistoryRecord, channel));
}

TEST_F(ChannelTest, FileRoundTripKeepsEveryByte)
{
    CChannelStore& store = *g_pChannelStore;
    Store({3, 1, 20});
    Store({7}, 2);
    store.GetChannelPtr(20, 1)->nSkip = 1;
    store.SetCurrent(20, 1);
    store.SetCurrent(7, 2);
    ASSERT_TRUE(store.Save(Path("a.chl").c_str()));

    ChannelFileHeader h;
    std::vector<int> numbers = NumbersInFile(Path("a.chl"), &h);
    EXPECT_EQ((std::vector<int>{1, 3, 20, 7}), numbers);  // newest first in a bucket
    EXPECT_EQ(20, h.nCurrentAir);
    EXPECT_EQ(7, h.nCurrentCable);
    EXPECT_EQ(3, h.nCountAir);
    EXPECT_EQ(1, h.nCountCable);

    CChannelStore loaded;
    ASSERT_TRUE(loaded.Load(Path("a.chl").c_str()));
    EXPECT_EQ(3, loaded.GetCount(1));
    EXPECT_EQ(1, loaded.GetCount(2));
    EXPECT_EQ(20, loaded.GetCurrent(1));
    EXPECT_EQ(1, loaded.IsSkipped(20, 1));
    ASSERT_TRUE(loaded.Save(Path("b.chl").c_str()));
    EXPECT_EQ(ReadAll(Path("a.chl")).size(), ReadAll(Path("b.chl")).size());
    // Loading reverses each bucket's chain, so compare by number.
    for (int n : {1, 3, 20}) {
        ChannelRecord a, b;
        ASSERT_TRUE(store.GetChannel(n, 1, &a));
        ASSERT_TRUE(loaded.GetChannel(n, 1, &b));
        EXPECT_EQ(0, memcmp(&a, &b, sizeof(a))) << n;
    }
}

TEST_F(ChannelTest, SavedRecordsFollowTheBuckets)
{
    for (int n = 1; n <= 40; n++)
        Store({n});
    Store({272});  // (272 >> 4) % 17 == 0
    ASSERT_TRUE(g_pChannelStore->Save(Path("order.chl").c_str()));
    std::vector<int> want = {272};
    for (int n = 15; n >= 1; n--) want.push_back(n);
    for (int n = 31; n >= 16; n--) want.push_back(n);
    for (int n = 40; n >= 32; n--) want.push_back(n);
    EXPECT_EQ(want, NumbersInFile(Path("order.chl")));
}

TEST_F(ChannelTest, DamagedFilesFailAndLeaveTheStoreAlone)
{
    CChannelStore& store = *g_pChannelStore;
    Store({5, 6});
    store.SetCurrent(6, 1);
    ChannelRecord rec;
    MakeChannelRecord(&rec, 9, 500000000, 1);
    struct {
        ChannelFileHeader h;
        ChannelRecord r[2];
    } file = {{1, 1, 2, 1}, {rec, rec}};

    const char* path = "bad.chl";
    WriteAll(Path(path), &file, sizeof(file));  // three counted, two present
    EXPECT_FALSE(store.Load(Path(path).c_str()));
    file.h = {1, 1, -1, 3};
    WriteAll(Path(path), &file, sizeof(file));
    EXPECT_FALSE(store.Load(Path(path).c_str()));
    file.h = {1, 1, 0x7FFFFFFF, 0x7FFFFFFF};  // the sum overflows 32 bits
    WriteAll(Path(path), &file, sizeof(file));
    EXPECT_FALSE(store.Load(Path(path).c_str()));
    WriteAll(Path(path), &file, 10);  // short header
    EXPECT_FALSE(store.Load(Path(path).c_str()));
    EXPECT_FALSE(store.Load(Path("missing.chl").c_str()));
    EXPECT_FALSE(store.Load(NULL));

    EXPECT_EQ(2, store.GetCount(1));
    EXPECT_TRUE(store.Exists(5, 1) && store.Exists(6, 1));
    EXPECT_EQ(6, store.GetCurrent(1));

    // Duplicate numbers load as one record (the later wins); names end in NUL.
    file.h = {9, 0, 2, 0};
    memset(file.r[1].szName, 'x', sizeof(file.r[1].szName));
    WriteAll(Path(path), &file, sizeof(file.h) + 2 * sizeof(ChannelRecord));
    ASSERT_TRUE(store.Load(Path(path).c_str()));
    EXPECT_EQ(1, store.GetCount(1));
    EXPECT_EQ(0, store.GetCount(2));
    EXPECT_FALSE(store.Exists(5, 1));
    EXPECT_EQ(31u, strlen(store.GetChannelPtr(9, 1)->szName));
}

TEST_F(ChannelTest, SaveReportsFailure)
{
    Store({1});
    EXPECT_FALSE(g_pChannelStore->Save(Path("no such folder\\x.chl").c_str()));
    EXPECT_FALSE(g_pChannelStore->Save(NULL));
}

TEST_F(ChannelTest, DefaultsComeFromTheCountryPlans)
{
    // China: both plans, numbered from 1.
    ASSERT_TRUE(CChannelStore::CreateDefault(Path("cn.chl").c_str()));
    CChannelStore& store = *g_pChannelStore;
    ASSERT_TRUE(store.Load(Path("cn.chl").c_str()));
    EXPECT_EQ(68, store.GetCount(1));
    EXPECT_EQ(98, store.GetCount(2));
    EXPECT_EQ(1, store.GetCurrent(1));
    ChannelRecord rec;
    ASSERT_TRUE(store.GetChannel(13, 1, &rec));
    EXPECT_STREQ("Channel13", rec.szName);
    EXPECT_EQ(1, rec.nFlag);
    EXPECT_EQ(0, rec.nSkip);
    EXPECT_FLOAT_EQ(471.25f, rec.fFrequency);

    // The United States' broadcast plan starts at channel 2: the store still
    // numbers from 1, channel 2's frequency first.
    g_pSettings->m_nCountryCode = 1;
    store.SetCurrent(4, 1);
    ASSERT_TRUE(store.FillDefault());
    EXPECT_EQ(68, store.GetCount(1));
    EXPECT_EQ(125, store.GetCount(2));
    EXPECT_EQ(4, store.GetCurrent(1));
    ASSERT_TRUE(store.GetChannel(1, 1, &rec));
    EXPECT_FLOAT_EQ(55.25f, rec.fFrequency);
    EXPECT_EQ(1, store.GetMinChannel(1));
    EXPECT_EQ(68, store.GetMaxChannel(1));

    // Hong Kong has no cable plan: the other country's cable channels go, as
    // in the default file, which still loads, with an empty cable list.
    g_pSettings->m_nCountryCode = 852;
    EXPECT_FALSE(store.FillDefault());
    EXPECT_EQ(49, store.GetCount(1));
    EXPECT_EQ(0, store.GetCount(2));
    EXPECT_FALSE(store.Exists(1, 2));
    EXPECT_FALSE(CChannelStore::CreateDefault(Path("hk.chl").c_str()));
    ASSERT_TRUE(store.Load(Path("hk.chl").c_str()));
    EXPECT_EQ(49, store.GetCount(1));
    EXPECT_EQ(0, store.GetCount(2));

    g_pSettings->m_nCountryCode = 999;
    EXPECT_FALSE(store.FillDefault());
    EXPECT_EQ(49, store.GetCount(1));
    EXPECT_FALSE(CChannelStore::CreateDefault(Path("none.chl").c_str()));
    delete g_pSettings;
    g_pSettings = NULL;
    EXPECT_FALSE(CChannelStore::CreateDefault(Path("none.chl").c_str()));
}

TEST_F(ChannelTest, ListsAndLookups)
{
    CChannelStore& store = *g_pChannelStore;
    EXPECT_EQ(-1, store.GetMinChannel(1));
    EXPECT_EQ(-1, store.GetCount(3));
    ChannelRecord* r = NewChannel(4, 60.0f);
    EXPECT_FALSE(store.Add(3, r));
    EXPECT_FALSE(store.Add(1, NULL));
    EXPECT_TRUE(store.Add(1, r));
    Store({2});
    Store({8}, 2);
    // Same number again: replaced, not counted twice.
    ChannelRecord* again = NewChannel(4, 61.0f);
    EXPECT_TRUE(store.Add(1, again));
    EXPECT_EQ(2, store.GetCount(1));
    EXPECT_EQ(again, store.GetChannelPtr(4, 1));
    delete r;  // the replaced record stays the caller's

    // Swapping two rows files each record under the other's number.
    ChannelRecord* two = store.GetChannelPtr(2, 1);
    store.ReplaceChannelPtr(2, 1, again);
    store.ReplaceChannelPtr(4, 1, two);
    EXPECT_EQ(two, store.GetChannelPtr(4, 1));
    EXPECT_EQ(2, store.GetCount(1));

    // Clearing one band leaves the other.
    store.RemoveAll(1);
    EXPECT_EQ(0, store.GetCount(1));
    EXPECT_EQ(1, store.GetCount(2));
    EXPECT_TRUE(store.Exists(8, 2));
}

TEST_F(ChannelTest, SteppingSkipsGapsAndSkippedChannelsAndWraps)
{
    CChannelStore& store = *g_pChannelStore;
    ChannelRecord out;
    Store({2, 3, 5, 9});
    store.GetChannelPtr(3, 1)->nSkip = 1;
    EXPECT_TRUE(store.NextChannel(2, 1, &out));
    EXPECT_EQ(5, out.nNumber);
    EXPECT_TRUE(store.NextChannel(9, 1, &out));
    EXPECT_EQ(2, out.nNumber);
    EXPECT_TRUE(store.PrevChannel(5, 1, &out));
    EXPECT_EQ(2, out.nNumber);
    EXPECT_TRUE(store.PrevChannel(2, 1, &out));
    EXPECT_EQ(9, out.nNumber);
    EXPECT_TRUE(store.NextChannel(0, 1, &out));  // current outside the list
    EXPECT_EQ(2, out.nNumber);
    EXPECT_TRUE(store.PrevChannel(50, 1, &out));
    EXPECT_EQ(9, out.nNumber);
    EXPECT_FALSE(store.NextChannel(2, 2, &out));  // empty list
    EXPECT_FALSE(store.NextChannel(2, 7, &out));

    // One stored channel that is the current one: nowhere to go.
    store.RemoveAll(1);
    Store({6});
    EXPECT_FALSE(store.NextChannel(6, 1, &out));
    EXPECT_FALSE(store.PrevChannel(6, 1, &out));
    EXPECT_TRUE(store.NextChannel(1, 1, &out));

    // Everything skipped, current outside min..max: one pass, then no.
    store.GetChannelPtr(6, 1)->nSkip = 1;
    Store({7});
    store.GetChannelPtr(7, 1)->nSkip = 1;
    EXPECT_FALSE(store.NextChannel(0, 1, &out));
    EXPECT_FALSE(store.NextChannel(100, 1, &out));
    EXPECT_FALSE(store.PrevChannel(100, 1, &out));
    EXPECT_FALSE(store.PrevChannel(1, 1, &out));
}

TEST_F(ChannelTest, CountryFunctionsFollowTheSettings)
{
    g_pSettings->m_nCountryCode = 44;
    g_pSettings->m_nInputSource = 2;
    EXPECT_EQ(21, GetMinChannelForInput());
    EXPECT_EQ(68, GetMaxChannelForInput());
    EXPECT_EQ(2, GetInputType());
    g_pSettings->m_nInputSource = 3;
    EXPECT_EQ(-1, GetMinChannelForInput());
    EXPECT_EQ(-1, GetInputType());

    CString standard;
    EXPECT_TRUE(GetCountryStandardName(81, standard));
    EXPECT_STREQ("NTSC_M_J", (LPCSTR)standard);
    EXPECT_FLOAT_EQ(3.5f, GetCountryStandardOffset(44));
    EXPECT_FLOAT_EQ(0.0f, GetCountryStandardOffset(999));
    EXPECT_FLOAT_EQ(0.0f, GetStandardOffset("pal_d"));  // names are case-sensitive
}

TEST(TunerBytes, DividerAndBand)
{
    struct { float mhz; BYTE b[4]; } cases[] = {
        {100.25f, {0x08, 0xB2, 0xCE, 0x01}},
        {164.25f, {0x0C, 0xB2, 0xCE, 0x01}},
        {464.25f, {0x1F, 0x72, 0xCE, 0x02}},
        {464.26f, {0x1F, 0x72, 0xCE, 0x08}},
        {471.25f, {0x1F, 0xE2, 0xCE, 0x08}},
    };
    for (const auto& c : cases) {
        BYTE b[4];
        ComputeTunerBytes(c.mhz, b);
        EXPECT_EQ(0, memcmp(b, c.b, 4)) << c.mhz << ": " << (int)b[0] << " " << (int)b[1]
                                        << " " << (int)b[3];
    }
    // A plan's hertz: the step at or below, the band's edge included in it.
    struct { int hz; BYTE b[4]; } plan[] = {
        {100250000, {0x08, 0xB2, 0xCE, 0x01}},
        {100312499, {0x08, 0xB2, 0xCE, 0x01}},
        {100312500, {0x08, 0xB3, 0xCE, 0x01}},
        {164250000, {0x0C, 0xB2, 0xCE, 0x01}},
        {164250001, {0x0C, 0xB2, 0xCE, 0x02}},
        {464250000, {0x1F, 0x72, 0xCE, 0x02}},
        {471250000, {0x1F, 0xE2, 0xCE, 0x08}},
    };
    for (const auto& c : plan) {
        BYTE b[4];
        ComputeTunerBytesHz(c.hz, b);
        EXPECT_EQ(0, memcmp(b, c.b, 4)) << c.hz << ": " << (int)b[0] << " " << (int)b[1]
                                        << " " << (int)b[3];
    }
}
