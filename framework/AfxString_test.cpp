#include <gtest/gtest.h>
#include "AfxCore.h"
#include "TestSupport.h"

#include <string>

// GBK double-byte characters whose trail byte is an ASCII letter or sign:
// 0x81 0x41 ("A"), 0x81 0x61 ("a"), 0x81 0x5C ("\").
#define TRAIL_A "\x81\x41"
#define TRAIL_a "\x81\x61"
#define TRAIL_BACKSLASH "\x81\x5c"

TEST(AfxString, ChineseTextSurvivesFormatAndConcatenation)
{
    CString name("频道");
    CString s;
    s.Format("%s %d: %s", "电视", 12, (LPCTSTR)name);
    EXPECT_EQ(u8"电视 12: 频道", ts::Gbk((LPCTSTR)s));

    s.Format("[%s]", (LPCTSTR)s);  // the argument is the string itself
    EXPECT_EQ(u8"[电视 12: 频道]", ts::Gbk((LPCTSTR)s));

    std::string longText(5000, 'x');
    s.Format("%s-%s", longText.c_str(), "尾");
    EXPECT_EQ(5003, s.GetLength());
    EXPECT_EQ(u8"x-尾", ts::Gbk((LPCTSTR)s.Right(4)));

    CString joined = "前" + name + '!' + CString("后");
    EXPECT_EQ(u8"前频道!后", ts::Gbk((LPCTSTR)joined));
    EXPECT_TRUE(joined == "前频道!后");
    EXPECT_TRUE("前频道!后" == joined);
    EXPECT_TRUE(joined != name);
}

TEST(AfxString, SearchNeverMatchesATrailByte)
{
    CString s(TRAIL_A "A" TRAIL_BACKSLASH "\\x");
    EXPECT_EQ(2, s.Find('A'));
    EXPECT_EQ(5, s.Find('\\'));
    EXPECT_EQ(5, s.ReverseFind('\\'));
    EXPECT_EQ(-1, s.Find('a'));
    EXPECT_EQ(2, s.Find("A"));
    EXPECT_EQ(0, s.Find(TRAIL_A));
    EXPECT_EQ(-1, s.Find("A", 3));
    EXPECT_EQ(2, s.Find('A', 1));  // a start inside a character moves on
    EXPECT_EQ(3, s.FindOneOf("\\" TRAIL_BACKSLASH));
    EXPECT_EQ(2, s.FindOneOf("xA"));
    EXPECT_EQ(TRAIL_A, s.SpanExcluding("A"));

    CString path("目录\\文件.txt");
    EXPECT_EQ(4, path.ReverseFind('\\'));
    EXPECT_EQ(u8"文件.txt", ts::Gbk((LPCTSTR)path.Mid(path.ReverseFind('\\') + 1)));
    EXPECT_EQ(u8"文件", ts::Gbk((LPCTSTR)path.Mid(5, 4)));
    EXPECT_EQ(-1, path.Find("文件", 9));

    CString edited(TRAIL_a "a" TRAIL_a);
    EXPECT_EQ(1, edited.Replace('a', 'b'));
    EXPECT_EQ(TRAIL_a "b" TRAIL_a, edited);
    EXPECT_EQ(1, edited.Remove('b'));
    EXPECT_EQ(TRAIL_a TRAIL_a, edited);
    EXPECT_EQ(0, edited.Replace("a", "zz"));
    EXPECT_EQ(2, edited.Replace(TRAIL_a, "节"));
    EXPECT_EQ(u8"节节", ts::Gbk((LPCTSTR)edited));
}

TEST(AfxString, CaseFoldingLeavesDoubleByteCharactersAlone)
{
    CString s(TRAIL_A "a" TRAIL_a "中文Ab");
    s.MakeUpper();
    EXPECT_EQ(TRAIL_A "A" TRAIL_a "中文AB", s);
    s.MakeLower();
    EXPECT_EQ(TRAIL_A "a" TRAIL_a "中文ab", s);

    EXPECT_EQ(0, CString("中文abc").CompareNoCase("中文ABC"));
    EXPECT_NE(0, CString(TRAIL_A).CompareNoCase(TRAIL_a));
    EXPECT_LT(CString("apple").CompareNoCase("BANANA"), 0);
    EXPECT_GT(CString("b").Compare("B"), 0);
    EXPECT_LT(CString("B").Compare("\xb0\xa1"), 0);  // bytes compare unsigned
    EXPECT_TRUE(CString("A") < CString("B"));
}

TEST(AfxString, TrimmingStopsAtCharacterBoundaries)
{
    CString s(" \t中文 \r\n");
    s.TrimLeft();
    s.TrimRight();
    EXPECT_EQ(u8"中文", ts::Gbk((LPCTSTR)s));

    CString t("AA" TRAIL_A "A");
    t.TrimRight('A');
    EXPECT_EQ("AA" TRAIL_A, t);
    t.TrimLeft("A");
    EXPECT_EQ(TRAIL_A, t);
    t.TrimRight("xyA");
    EXPECT_EQ(TRAIL_A, t);
}

TEST(AfxString, EditingAndSlicingClampOutOfRangeArguments)
{
    CString s("hello");
    EXPECT_EQ("", s.Left(-1));
    EXPECT_EQ("hello", s.Left(99));
    EXPECT_EQ("lo", s.Right(2));
    EXPECT_EQ("hello", s.Right(99));
    EXPECT_EQ("", s.Mid(9));
    EXPECT_EQ("ell", s.Mid(1, 3));
    EXPECT_EQ("llo", s.Mid(2, 99));

    EXPECT_EQ(7, s.Insert(99, "!!"));
    EXPECT_EQ(8, s.Insert(0, '>'));
    EXPECT_EQ(">hello!!", s);
    EXPECT_EQ(6, s.Delete(6, 99));
    EXPECT_EQ(5, s.Delete(0));
    EXPECT_EQ("hello", s);
    s.SetAt(0, 'j');
    EXPECT_EQ('j', s[0]);
    EXPECT_EQ(2, s.Replace("l", "LL"));
    EXPECT_EQ("jeLLLLo", s);
}

TEST(AfxString, BufferAccessKeepsAndSetsTheLength)
{
    CString s("abc");
    char* buf = s.GetBuffer(MAX_PATH);
    EXPECT_STREQ("abc", buf);
    lstrcpyA(buf, "目录");
    s.ReleaseBuffer();
    EXPECT_EQ(4, s.GetLength());

    buf = s.GetBufferSetLength(3);
    buf[2] = 'z';
    EXPECT_EQ(3, s.GetLength());
    s.ReleaseBuffer(1);
    EXPECT_EQ(1, s.GetLength());
    s.Empty();
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_STREQ("", (LPCTSTR)s);
}

TEST(AfxString, LoadStringReadsTheModulesStringTable)
{
    CString s;
    EXPECT_TRUE(s.LoadString(101));
    EXPECT_EQ(u8"频道列表", ts::Gbk((LPCTSTR)s));
    EXPECT_EQ(CString("频道列表"), CString(MAKEINTRESOURCEA(101)));

    EXPECT_TRUE(s.LoadString(102));
    EXPECT_EQ(2 + 200 * 2 + 3, s.GetLength());
    CString formatted;
    formatted.Format(102, "<");
    EXPECT_EQ(CString("<长"), formatted.Left(3));
    EXPECT_EQ(CString("end"), formatted.Right(3));

    EXPECT_FALSE(s.LoadString(999));
    EXPECT_TRUE(s.IsEmpty());
}
