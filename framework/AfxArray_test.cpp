#include <gtest/gtest.h>
#include "AfxCore.h"

TEST(AfxArray, InsertRemoveAndGrow)
{
    CDWordArray a;
    a.SetSize(3);
    EXPECT_EQ(0u, a[2]);
    a[1] = 11;
    EXPECT_EQ(3, a.Add(33));
    a.InsertAt(1, 7, 2);
    EXPECT_EQ(5, a.GetUpperBound());
    EXPECT_EQ(7u, a.GetAt(1));
    EXPECT_EQ(11u, a.GetAt(3));
    a.RemoveAt(0, 3);
    EXPECT_EQ(3, a.GetSize());
    EXPECT_EQ(11u, a[0]);
    a.SetAtGrow(5, 55);
    EXPECT_EQ(6, a.GetCount());
    EXPECT_EQ(0u, a[4]);
    a.InsertAt(8, 88);  // past the end: grows first
    EXPECT_EQ(9, a.GetSize());
    EXPECT_EQ(88u, a[8]);
    CDWordArray b;
    b.Copy(a);
    EXPECT_EQ(9, b.Append(a));
    EXPECT_EQ(18, b.GetSize());
    b.Append(b);
    EXPECT_EQ(36, b.GetSize());
}

TEST(AfxArray, StringAndTypedPointerArrays)
{
    CStringArray names;
    names.Add("频道");
    names.Add(names[0]);  // an element of itself, across a reallocation
    names.Add(names[0]);
    names.ElementAt(1) += "2";
    EXPECT_EQ(CString("频道2"), names.GetAt(1));
    EXPECT_EQ(CString("频道"), names[2]);

    int values[3] = { 1, 2, 3 };
    CTypedPtrArray<CPtrArray, int*> ptrs;
    ptrs.Add(&values[0]);
    ptrs.Add(&values[2]);
    ptrs.InsertAt(1, &values[1]);
    int sum = 0;
    for (int i = 0; i < ptrs.GetSize(); i++)
        sum += *ptrs[i] * (i + 1);
    EXPECT_EQ(14, sum);
    ptrs.RemoveAll();
    EXPECT_TRUE(ptrs.IsEmpty());
}
