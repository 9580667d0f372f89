#include <gtest/gtest.h>
#include "AfxCore.h"

#include <set>
#include <vector>

namespace {

std::vector<int> KeysInOrder(const CMap<int, int, int, int>& map)
{
    std::vector<int> keys;
    POSITION pos = map.GetStartPosition();
    while (pos != NULL) {
        int key = 0, value = 0;
        map.GetNextAssoc(pos, key, value);
        keys.push_back(key);
    }
    return keys;
}

}  // namespace

TEST(AfxMap, IntegerKeysIterateBucketByBucketNewestFirst)
{
    CMap<int, int, int, int> map;
    EXPECT_EQ(NULL, map.GetStartPosition());
    for (int key = 1; key <= 31; key++)
        map[key] = key * 10;
    map.SetAt(272, 2720);  // (272 >> 4) % 17 == 0
    EXPECT_EQ(17u, map.GetHashTableSize());

    std::vector<int> expected = { 272 };
    for (int key = 15; key >= 1; key--)
        expected.push_back(key);
    for (int key = 31; key >= 16; key--)
        expected.push_back(key);
    EXPECT_EQ(expected, KeysInOrder(map));

    int value = 0;
    EXPECT_TRUE(map.Lookup(272, value));
    EXPECT_EQ(2720, value);
    map.SetAt(5, 55);  // an existing key keeps its place
    EXPECT_EQ(expected, KeysInOrder(map));
    EXPECT_EQ(32, map.GetCount());
}

TEST(AfxMap, NegativeKeysHashUnsignedAndTableSizeIsKept)
{
    CMap<int, int, int, int> map;
    map.InitHashTable(7);
    map[-1] = 1;  // 0xFFFFFFFF >> 4 = 0x0FFFFFFF, % 7 == 1
    map[1 << 4] = 2;
    map[0] = 3;
    for (int key = 100; key < 400; key++)
        map[key] = key;
    EXPECT_EQ(7u, map.GetHashTableSize());
    std::vector<int> keys = KeysInOrder(map);
    auto at = [&](int key) { return std::find(keys.begin(), keys.end(), key) - keys.begin(); };
    EXPECT_LT(at(0), at(1 << 4));   // bucket 0 before bucket 1
    EXPECT_LT(at(1 << 4), at(-1));  // newer first inside bucket 1
}

TEST(AfxMap, RemovingTheReturnedKeyDuringIterationIsSafe)
{
    CMap<int, int, int, int> map;
    for (int key = 0; key < 200; key++)
        map[key] = key;
    std::set<int> seen;
    POSITION pos = map.GetStartPosition();
    while (pos != NULL) {
        int key = 0, value = 0;
        map.GetNextAssoc(pos, key, value);
        EXPECT_TRUE(seen.insert(key).second);
        if (key % 2 == 0) {
            EXPECT_TRUE(map.RemoveKey(key));
        }
    }
    EXPECT_EQ(200u, seen.size());
    EXPECT_EQ(100, map.GetCount());
    int value;
    EXPECT_FALSE(map.Lookup(10, value));
    EXPECT_TRUE(map.Lookup(11, value));
    EXPECT_FALSE(map.RemoveKey(10));

    // Freed entries are reused and come back zeroed.
    EXPECT_EQ(0, map[1000]);
    map.RemoveAll();
    EXPECT_TRUE(map.IsEmpty());
    EXPECT_EQ(NULL, map.GetStartPosition());
}

TEST(AfxMap, ManyEntriesStayReachable)
{
    CMap<DWORD, DWORD, DWORD, DWORD> map(10);
    const DWORD count = 20000;
    for (DWORD key = 0; key < count; key++)
        map[key * 7919u] = key;
    EXPECT_EQ((int)count, map.GetCount());
    for (DWORD key = 0; key < count; key++) {
        DWORD value = 0;
        ASSERT_TRUE(map.Lookup(key * 7919u, value)) << key;
        ASSERT_EQ(key, value);
    }
    int visited = 0;
    for (POSITION pos = map.GetStartPosition(); pos != NULL; visited++) {
        DWORD key = 0, value = 0;
        map.GetNextAssoc(pos, key, value);
    }
    EXPECT_EQ((int)count, visited);
}

TEST(AfxMap, PointerKeysHashTheirAddressAndTextKeysTheirText)
{
    char cells[64];
    CMapPtrToPtr ptrs(10);
    ptrs[&cells[0]] = &cells[1];
    ptrs[&cells[16]] = &cells[17];
    void* found = NULL;
    EXPECT_TRUE(ptrs.Lookup(&cells[16], found));
    EXPECT_EQ(&cells[17], found);
    EXPECT_EQ((UINT)(DWORD_PTR)&cells[32] >> 4, HashKey<void*>(&cells[32]));

    CMapStringToPtr names;
    char heap[] = "频道";
    names["频道"] = &cells[2];
    EXPECT_TRUE(names.Lookup(heap, found));  // another copy of the same text
    EXPECT_EQ(&cells[2], found);
    EXPECT_FALSE(names.Lookup("频", found));
    EXPECT_EQ(HashKey<LPCSTR>("abc"), HashKey<const CString&>(CString("abc")));
}
