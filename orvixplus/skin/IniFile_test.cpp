#include <gtest/gtest.h>
#include "IniFile.h"
#include "SkinValue.h"
#include "SkinTestUtil.h"

namespace {

class IniFileTest : public testing::Test {
protected:
    void SetUp() override { dir_ = ts::FreshTempDir("ini"); }
    std::string Write(const std::string& name, const std::string& text)
    {
        std::string path = dir_ + name;
        EXPECT_TRUE(skintest::WriteFile(path, text.data(), text.size()));
        return path;
    }
    std::string dir_;
};

TEST_F(IniFileTest, StringsIntegersAndTheirDefaults)
{
    std::string path = Write("a.ini",
        "[Values]\r\nname=play\r\nempty=\r\nmixed=12abc\r\nword=abc\r\nneg=-7\r\n"
        "tip=电视机,复合\r\n[Other]\r\nname=x\r\n");
    CIniFile ini(path.c_str());
    EXPECT_STREQ("play", ini.GetString("Values", "name", "dflt"));
    EXPECT_STREQ("play", ini.GetString("values", "NAME", "dflt")) << "matched without regard to case";
    EXPECT_STREQ("", ini.GetString("Values", "empty", "dflt")) << "an empty value is not missing";
    EXPECT_STREQ("dflt", ini.GetString("Values", "absent", "dflt"));
    EXPECT_STREQ("dflt", ini.GetString("Nowhere", "name", "dflt"));
    EXPECT_EQ(12, ini.GetInt("Values", "mixed"));
    EXPECT_EQ(0, ini.GetInt("Values", "word"));
    EXPECT_EQ(-7, ini.GetInt("Values", "neg"));
    EXPECT_EQ(0, ini.GetInt("Values", "absent"));
    // GBK bytes come back as they are in the file.
    EXPECT_STREQ("电视机,复合", ini.GetString("Values", "tip", "")) << ts::Gbk((LPCTSTR)ini.GetString("Values", "tip", ""));
}

TEST_F(IniFileTest, LongValueIsCutAt2047Characters)
{
    std::string value(3000, 'v');
    value[2046] = 'L';
    std::string path = Write("long.ini", "[S]\r\nk=" + value + "\r\n");
    CString got = CIniFile(path.c_str()).GetString("S", "k", "");
    ASSERT_EQ(2047, got.GetLength());
    EXPECT_EQ('L', got[2046]);
}

TEST_F(IniFileTest, KeyNamesInFileOrderAndEmptySection)
{
    std::string path = Write("keys.ini", "[Empty]\r\n[Full]\r\nzeta=1\r\nalpha=2\r\nmid=\r\n");
    CIniFile ini(path.c_str());
    CStringArray keys;
    ASSERT_TRUE(ini.GetKeyNames("Full", keys));
    ASSERT_EQ(3, keys.GetSize());
    EXPECT_STREQ("zeta", keys[0]);
    EXPECT_STREQ("alpha", keys[1]);
    EXPECT_STREQ("mid", keys[2]);
    EXPECT_FALSE(ini.GetKeyNames("Empty", keys)) << "a section without keys";
    EXPECT_EQ(0, keys.GetSize()) << "the array is emptied first";
    keys.Add("stale");
    EXPECT_FALSE(ini.GetKeyNames("Missing", keys));
    EXPECT_EQ(0, keys.GetSize());
}

TEST_F(IniFileTest, KeyListLongerThanTheBufferKeepsWholeNames)
{
    std::string text = "[Many]\r\n";
    for (int i = 0; i < 1500; ++i) {
        char line[64];
        sprintf(line, "button_number_%04d=%d\r\n", i, i);
        text += line;
    }
    std::string path = Write("many.ini", text);
    CIniFile ini(path.c_str());
    CStringArray keys;
    ASSERT_TRUE(ini.GetKeyNames("Many", keys));
    size_t bytes = 0;
    for (int i = 0; i < keys.GetSize(); ++i) {
        char want[32];
        sprintf(want, "button_number_%04d", i);
        ASSERT_STREQ(want, keys[i]) << "name " << i << " is whole and in order";
        bytes += keys[i].GetLength() + 1;
    }
    EXPECT_LE(bytes, 16384u);
    // 19 bytes a name: all that fit in 16384 bytes but the one cut in half.
    EXPECT_GE(keys.GetSize(), 16384 / 19 - 1);
    EXPECT_LT(keys.GetSize(), 1500);
}

TEST_F(IniFileTest, MissingFileIsAFileWithoutTheSection)
{
    CIniFile ini((dir_ + "none.ini").c_str());
    EXPECT_STREQ("d", ini.GetString("S", "k", "d"));
    EXPECT_EQ(0, ini.GetInt("S", "k"));
    CStringArray keys;
    EXPECT_FALSE(ini.GetKeyNames("S", keys));
    EXPECT_EQ(0, keys.GetSize());
}

TEST(SkinValueTest, TokensRepeatTheLastAndKeepBlanksBeforeCommas)
{
    CString v = "play ,10, 20 ,30";
    EXPECT_STREQ("play ", GetNextToken(v));
    EXPECT_STREQ("10", GetNextToken(v));
    EXPECT_STREQ("20 ", GetNextToken(v));
    EXPECT_STREQ("30", GetNextToken(v));
    EXPECT_STREQ("30", GetNextToken(v)) << "the last token again";
    CString r = "1,2,3";
    CRect rc = ParseRect(r);
    EXPECT_EQ(CRect(1, 2, 3, 3), rc);
    CString c = "255,256,x";
    EXPECT_EQ(RGB(255, 0, 0), ParseColor(c));
    EXPECT_TRUE(ParseBool("true"));
    EXPECT_FALSE(ParseBool("FALSE"));
    EXPECT_FALSE(ParseBool(""));
    CString e = "";
    EXPECT_STREQ("", GetNextToken(e));
}

}  // namespace
