#include "ChannelTestEnv.h"
#include <string.h>

namespace {

HistoryRecord Entry(int number, float mhz = 0.0f)
{
    HistoryRecord rec;
    rec.nPosition = -1;
    rec.nList = 1;
    rec.nInStore = 1;
    rec.nMenuId = -1;
    MakeChannelRecord(&rec.channel, number, 0, 1);
    rec.channel.fFrequency = mhz != 0.0f ? mhz : 100.0f + number;
    return rec;
}

// Channel numbers from position 0 on; also checks each entry knows its place.
std::vector<int> Numbers(const CChannelHistory& h)
{
    std::vector<int> v;
    for (int i = 0; i < h.GetCount(); i++) {
        EXPECT_EQ(i, h.GetAt(i)->nPosition);
        v.push_back(h.GetAt(i)->channel.nNumber);
    }
    return v;
}

void Add(CChannelHistory& h, std::initializer_list<int> numbers)
{
    for (int n : numbers) {
        HistoryRecord rec = Entry(n);
        h.AddEntry(&rec, TRUE);
    }
}

}  // namespace

TEST_F(ChannelTest, HistoryKeepsFourMostRecentFirst)
{
    CChannelHistory& h = *g_pHistoryList;
    Add(h, {1, 2, 3});
    EXPECT_EQ((std::vector<int>{3, 2, 1}), Numbers(h));
    HistoryRecord again = Entry(1, 101.00005f);  // within 0.0001 MHz: equal
    EXPECT_FALSE(h.AddEntry(&again, TRUE));
    EXPECT_EQ((std::vector<int>{1, 3, 2}), Numbers(h));
    HistoryRecord moved = Entry(1, 101.001f);
    EXPECT_TRUE(h.AddEntry(&moved, TRUE));
    EXPECT_EQ((std::vector<int>{1, 1, 3, 2}), Numbers(h));
    Add(h, {7});  // the fifth replaces the oldest
    EXPECT_EQ((std::vector<int>{7, 1, 1, 3}), Numbers(h));
    EXPECT_FALSE(h.AddEntry(NULL, TRUE));
    h.MoveToFront(9);  // no such entry: nothing moves
    EXPECT_EQ((std::vector<int>{7, 1, 1, 3}), Numbers(h));
    h.MoveToFront(2);
    EXPECT_EQ((std::vector<int>{1, 7, 1, 3}), Numbers(h));

    EXPECT_TRUE(h.RemoveAt(1));
    EXPECT_EQ((std::vector<int>{1, 1, 3}), Numbers(h));
    EXPECT_FALSE(h.RemoveAt(3));
    EXPECT_TRUE(h.GetAt(3) == NULL);
    EXPECT_EQ(3, h.GetLast()->channel.nNumber);
    EXPECT_TRUE(h.SetMenuId(2, 900));
    EXPECT_EQ(h.GetAt(2), h.FindByMenuId(900));
    EXPECT_TRUE(h.FindByMenuId(901) == NULL);

    HistoryRecord renamed = Entry(3);
    strcpy(renamed.channel.szName, "News");
    EXPECT_TRUE(h.Update(&renamed));
    EXPECT_STREQ("News", h.GetAt(2)->channel.szName);
    EXPECT_EQ(2, h.GetAt(2)->nPosition);
    renamed.nList = 2;
    EXPECT_FALSE(h.Update(&renamed));
}

TEST_F(ChannelTest, HistoryFileKeepsItsOrder)
{
    CChannelHistory& h = *g_pHistoryList;
    EXPECT_FALSE(h.Save(Path("h.his").c_str()));  // empty: no file written
    EXPECT_TRUE(ReadAll(Path("h.his")).empty());
    Add(h, {1, 2, 3});
    ASSERT_TRUE(h.Save(Path("h.his").c_str()));
    EXPECT_EQ(4u + 3 * 64, ReadAll(Path("h.his")).size());

    CChannelHistory loaded;
    ASSERT_TRUE(loaded.Load(Path("h.his").c_str()));
    EXPECT_EQ((std::vector<int>{3, 2, 1}), Numbers(loaded));
    ASSERT_TRUE(loaded.Save(Path("h2.his").c_str()));
    EXPECT_EQ(ReadAll(Path("h.his")), ReadAll(Path("h2.his")));

    // Six records: the first four of the file, in the file's order.
    struct {
        int count;
        HistoryRecord r[6];
    } six;
    six.count = 6;
    for (int i = 0; i < 6; i++)
        six.r[i] = Entry(10 + i);
    WriteAll(Path("six.his"), &six, sizeof(six));
    ASSERT_TRUE(loaded.Load(Path("six.his").c_str()));
    EXPECT_EQ((std::vector<int>{10, 11, 12, 13}), Numbers(loaded));

    // A short record empties the list; an empty file is an empty list.
    WriteAll(Path("short.his"), &six, sizeof(int) + 64 * 5 + 10);
    EXPECT_FALSE(loaded.Load(Path("short.his").c_str()));
    EXPECT_EQ(0, loaded.GetCount());
    WriteAll(Path("empty.his"), "", 0);
    EXPECT_TRUE(h.Load(Path("empty.his").c_str()));
    EXPECT_EQ(0, h.GetCount());
    EXPECT_FALSE(h.Load(Path("missing.his").c_str()));
}

TEST_F(ChannelTest, HistoryAddsTunedChannels)
{
    CChannelHistory& h = *g_pHistoryList;
    Store({5});
    g_pChannelStore->GetChannelPtr(5, 1)->fFrequency = 77.25f;
    EXPECT_TRUE(h.AddChannel(5, 1));
    EXPECT_EQ(1, h.GetFirst()->nInStore);
    EXPECT_EQ(1, h.GetFirst()->nList);
    EXPECT_FLOAT_EQ(77.25f, h.GetFirst()->channel.fFrequency);
    EXPECT_TRUE(h.AddChannel(5, 1));  // only moved to the front
    EXPECT_EQ(1, h.GetCount());

    EXPECT_TRUE(h.AddChannel(13, 1));  // from China's plan
    EXPECT_EQ(0, h.GetFirst()->nInStore);
    EXPECT_EQ(-1, h.GetFirst()->nList);
    EXPECT_FLOAT_EQ(471.25f, h.GetFirst()->channel.fFrequency);
    EXPECT_FALSE(h.AddChannel(69, 1));
    EXPECT_FALSE(h.AddChannel(0, 1));
    EXPECT_FALSE(h.AddChannel(1, 3));
    delete g_pChannelStore;
    g_pChannelStore = NULL;
    EXPECT_FALSE(h.AddChannel(5, 1));
    EXPECT_EQ(2, h.GetCount());
}
