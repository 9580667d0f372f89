#include <gtest/gtest.h>
#include "AfxCore.h"

#include <vector>

namespace {

std::vector<int> Items(const CTypedPtrList<CPtrList, int*>& list)
{
    std::vector<int> items;
    for (POSITION pos = list.GetHeadPosition(); pos != NULL;)
        items.push_back(*list.GetNext(pos));
    return items;
}

}  // namespace

TEST(AfxList, InsertRemoveAndWalkBothWays)
{
    int v[8] = { 0, 1, 2, 3, 4, 5, 6, 7 };
    CTypedPtrList<CPtrList, int*> list(3);
    list.AddTail(&v[2]);
    list.AddHead(&v[1]);
    POSITION three = list.AddTail(&v[3]);
    list.InsertAfter(three, &v[5]);
    list.InsertBefore(list.Find(&v[5]), &v[4]);
    list.InsertBefore(NULL, &v[0]);
    EXPECT_EQ((std::vector<int>{ 0, 1, 2, 3, 4, 5 }), Items(list));

    std::vector<int> backwards;
    for (POSITION pos = list.GetTailPosition(); pos != NULL;)
        backwards.push_back(*list.GetPrev(pos));
    EXPECT_EQ((std::vector<int>{ 5, 4, 3, 2, 1, 0 }), backwards);

    // Removing the element just returned keeps the walk going.
    for (POSITION pos = list.GetHeadPosition(); pos != NULL;) {
        POSITION at = pos;
        if (*list.GetNext(pos) % 2 == 1)
            list.RemoveAt(at);
    }
    EXPECT_EQ((std::vector<int>{ 0, 2, 4 }), Items(list));
    EXPECT_EQ(&v[0], list.RemoveHead());
    EXPECT_EQ(&v[4], list.RemoveTail());
    EXPECT_EQ(1, list.GetCount());
    EXPECT_EQ(&v[2], list.GetHead());
    EXPECT_EQ(list.GetHeadPosition(), list.GetTailPosition());
    list.SetAt(list.FindIndex(0), &v[7]);
    EXPECT_EQ(&v[7], list.GetTail());
    EXPECT_EQ(NULL, list.FindIndex(1));
    EXPECT_EQ(NULL, list.Find(&v[2]));

    // Blocks are recycled across RemoveAll.
    list.RemoveAll();
    EXPECT_TRUE(list.IsEmpty());
    for (int round = 0; round < 50; round++)
        list.AddTail(&v[round % 8]);
    EXPECT_EQ(50, list.GetCount());
    EXPECT_EQ(list.FindIndex(8), list.Find(&v[0], list.FindIndex(0)));
}

TEST(AfxList, ValueListOfStringsDestroysItsElements)
{
    CList<CString, const CString&> names;
    names.AddTail(CString("中"));
    names.AddTail(CString("文"));
    names.AddHead(&names);  // a copy of itself, in order, at the head
    EXPECT_EQ(4, names.GetCount());
    EXPECT_EQ(CString("中"), names.GetAt(names.FindIndex(2)));
    EXPECT_EQ(CString("中"), names.RemoveHead());
    EXPECT_EQ(CString("文"), names.GetHead());
    names.AddTail(&names);
    EXPECT_EQ(6, names.GetCount());
    EXPECT_EQ(CString("文"), names.GetTail());
}
