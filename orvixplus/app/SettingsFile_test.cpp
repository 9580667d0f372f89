#include <gtest/gtest.h>
#include <string.h>
#include <fstream>
#include <iterator>
#include "AppSettings.h"
#include "FixedText.h"
#include "SettingsFile.h"
#include "TestSupport.h"

namespace {

typedef std::vector<unsigned char> Bytes;

Bytes ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc).write((const char*)bytes.data(), bytes.size());
}

int IntAt(const Bytes& b, size_t off) { int v; memcpy(&v, &b[off], 4); return v; }
void PutInt(Bytes& b, size_t off, int v) { memcpy(&b[off], &v, 4); }
std::string TextAt(const Bytes& b, size_t off) { return std::string((const char*)&b[off]); }

}  // namespace

TEST(SettingsFile, MissingFileGetsTheDefaultsExactAtEveryOffset)
{
    std::string path = ts::FreshTempDir("settings-default") + "OrvixPlusData.dat";
    CAppSettings s;
    ASSERT_TRUE(LoadOrCreateSettingsFile(&s, path.c_str()));
    Bytes b = ReadBytes(path);
    ASSERT_EQ(684u, b.size());
    const int ints[] = {0, 1, 1, 1, 0, 0, 86, 2, 50, 53, 49, 50, 50, 0, 2, 1, 2, 1, 2, 50, 1, 2,
                        0, 76, 2};
    for (size_t i = 0; i < sizeof(ints) / sizeof(ints[0]); ++i)
        EXPECT_EQ(ints[i], IntAt(b, i * 4)) << "offset " << i * 4;
    EXPECT_EQ(ts::ExeDir(), TextAt(b, 100));
    EXPECT_EQ(ts::ExeDir(), TextAt(b, 360));
    EXPECT_EQ("Line In", TextAt(b, 620));
    EXPECT_EQ("Kestor TV Arden WDM Video CaptureA", TextAt(b, 644));
    EXPECT_EQ(ts::ExeDir(), s.m_szRecordFolder);
    EXPECT_EQ(53, s.m_nContrast);
}

TEST(SettingsFile, EveryStoredValueComesBackAndTheFileStaysOneBlock)
{
    std::string dir = ts::FreshTempDir("settings-roundtrip");
    std::string in = dir + "in.dat", out = dir + "out.dat";
    ASSERT_TRUE(WriteDefaultSettingsFile(in.c_str()));
    Bytes b = ReadBytes(in);
    // Values other than the defaults, valid wherever a range is checked.
    const int ints[] = {1, 0, 0, 0, 1, -7, 44, 5, 1, 2, 3, 4, 100, 8, 3, 3, 4, 2, 3, 0, 9, 1};
    for (size_t i = 0; i < sizeof(ints) / sizeof(ints[0]); ++i)
        PutInt(b, i * 4, ints[i]);
    PutInt(b, 96, 0);
    memset(&b[360], 0, 684 - 360);  // what follows a text's NUL is written as zeros
    strcpy((char*)&b[360], "C:\\");
    strcpy((char*)&b[620], "线路输入");
    strcpy((char*)&b[644], "Other Capture");
    WriteBytes(in, b);
    WriteBytes(out, Bytes(2000, 'x'));  // a longer file must leave no tail

    CAppSettings s;
    ASSERT_TRUE(LoadSettingsFile(&s, in.c_str()));
    ASSERT_TRUE(SaveSettingsFile(&s, out.c_str()));
    EXPECT_EQ(b, ReadBytes(out));
}

TEST(SettingsFile, ShortOrEmptyFileIsNotUsedAndIsReplacedByDefaults)
{
    std::string path = ts::FreshTempDir("settings-size") + "OrvixPlusData.dat";
    ASSERT_TRUE(WriteDefaultSettingsFile(path.c_str()));
    Bytes block = ReadBytes(path);
    PutInt(block, 76, 77);  // a volume that must not survive a rejected file
    for (size_t size : {0, 100, 683}) {
        Bytes bytes(size, 0);
        memcpy(bytes.data(), block.data(), std::min(size, block.size()));
        WriteBytes(path, bytes);
        CAppSettings s;
        s.m_nVolume = 33;
        EXPECT_FALSE(LoadSettingsFile(&s, path.c_str())) << size;
        EXPECT_EQ(33, s.m_nVolume) << size;
        ASSERT_TRUE(LoadOrCreateSettingsFile(&s, path.c_str())) << size;
        EXPECT_EQ(50, s.m_nVolume) << size;
        EXPECT_EQ(684u, ReadBytes(path).size()) << size;
    }
    // A longer file still holds the user's block: it is used, and the next
    // save leaves exactly one block.
    for (size_t size : {685, 1368}) {
        Bytes bytes(size, 0);
        memcpy(bytes.data(), block.data(), block.size());
        WriteBytes(path, bytes);
        CAppSettings s;
        ASSERT_TRUE(LoadOrCreateSettingsFile(&s, path.c_str())) << size;
        EXPECT_EQ(77, s.m_nVolume) << size;
        ASSERT_TRUE(SaveSettingsFile(&s, path.c_str())) << size;
        EXPECT_EQ(block, ReadBytes(path)) << size;
    }
}

TEST(SettingsFile, GarbageIsCutAndOutOfRangeIndexesTakeTheirDefaults)
{
    std::string path = ts::FreshTempDir("settings-garbage") + "OrvixPlusData.dat";
    // 0xB0 is a GBK lead byte: no text field holds a NUL or ends on a whole character.
    Bytes b(684, 0xB0);
    const struct { size_t off; int value, expected; } cases[] = {
        {28, 0, 2}, {28, 6, 2}, {52, -1, 0}, {52, 9, 0}, {56, 0, 2}, {56, 4, 2}, {60, 0, 1},
        {60, 4, 1}, {64, 0, 2}, {64, 5, 2}, {72, 0, 2}, {72, 4, 2}, {96, -1, 2}, {96, 3, 2},
    };
    for (const auto& c : cases) {
        PutInt(b, c.off, c.value);
        WriteBytes(path, b);
        CAppSettings s;
        ASSERT_TRUE(LoadSettingsFile(&s, path.c_str()));
        SettingsRecord r;
        SettingsToRecord(s, &r);
        EXPECT_EQ(c.expected, IntAt(Bytes((unsigned char*)&r, (unsigned char*)(&r + 1)), c.off))
            << "offset " << c.off << " value " << c.value;
        // Values nobody indexes with are kept as they are.
        EXPECT_EQ((int)0xB0B0B0B0, s.m_nBrightness);
        EXPECT_EQ(22u, strlen(s.m_szAudioLine));
        EXPECT_EQ(38u, strlen(s.m_szVideoDevice));
        EXPECT_EQ(ts::ExeDir(), s.m_szPictureFolder);
    }
}

TEST(SettingsFile, MissingFoldersBecomeTheProgramFolderOnLoadAndSave)
{
    std::string dir = ts::FreshTempDir("settings-folders");
    std::string path = dir + "OrvixPlusData.dat", rec = dir + "rec\\", pic = dir + "pic\\";
    ASSERT_TRUE(CreateDirectoryA(rec.c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryA(pic.c_str(), NULL));
    CAppSettings s;
    SetFixedText(s.m_szRecordFolder, rec.c_str());
    SetFixedText(s.m_szPictureFolder, pic.c_str());
    ASSERT_TRUE(SaveSettingsFile(&s, path.c_str()));

    ASSERT_TRUE(RemoveDirectoryA(rec.c_str()));
    ASSERT_TRUE(LoadSettingsFile(&s, path.c_str()));
    EXPECT_EQ(ts::ExeDir(), s.m_szRecordFolder);
    EXPECT_EQ(pic, s.m_szPictureFolder);

    ASSERT_TRUE(RemoveDirectoryA(pic.c_str()));
    ASSERT_TRUE(SaveSettingsFile(&s, path.c_str()));
    EXPECT_EQ(ts::ExeDir(), s.m_szPictureFolder);
    EXPECT_EQ(ts::ExeDir(), TextAt(ReadBytes(path), 360));
}

TEST(SettingsFile, ChangesOfTheRunSurviveADeletedFile)
{
    std::string path = ts::FreshTempDir("settings-deleted") + "OrvixPlusData.dat";
    CAppSettings s, t;
    ASSERT_TRUE(LoadOrCreateSettingsFile(&s, path.c_str()));
    s.m_nVolume = 85;
    ASSERT_TRUE(DeleteFileA(path.c_str()));
    ASSERT_TRUE(SaveOrResetSettingsFile(&s, path.c_str()));
    ASSERT_TRUE(LoadSettingsFile(&t, path.c_str()));
    EXPECT_EQ(85, t.m_nVolume);
    // Without settings the user's file is left alone.
    EXPECT_TRUE(SaveOrResetSettingsFile(NULL, path.c_str()));
    ASSERT_TRUE(LoadSettingsFile(&t, path.c_str()));
    EXPECT_EQ(85, t.m_nVolume);
}

TEST(SettingsFile, UnwritablePathsFail)
{
    CAppSettings s;
    std::string path = ts::FreshTempDir("settings-bad") + "none\\OrvixPlusData.dat";
    EXPECT_FALSE(SaveSettingsFile(&s, path.c_str()));
    EXPECT_FALSE(LoadOrCreateSettingsFile(&s, path.c_str()));
    EXPECT_FALSE(SaveOrResetSettingsFile(&s, path.c_str()));
    EXPECT_FALSE(LoadSettingsFile(&s, ""));
}

TEST(FixedText, TextIsCutOnAWholeCharacterAndZeroFilled)
{
    char f[6];
    memset(f, 'x', sizeof(f));
    // 中 and 文 are two bytes each in GBK.
    CopyFixedText(f, sizeof(f), "ab中文");
    EXPECT_EQ(std::string("ab中"), f);
    EXPECT_EQ(0, f[5]);
    CopyFixedText(f, sizeof(f), "a中文");
    EXPECT_EQ(std::string("a中文"), f);
    CopyFixedText(f, sizeof(f), "ab\xd6");  // half a character at the end
    EXPECT_STREQ("ab", f);
    const char raw[3] = {'x', 'y', 'z'};  // not terminated
    CopyFixedText(f, sizeof(f), raw, sizeof(raw));
    EXPECT_STREQ("xyz", f);
}
