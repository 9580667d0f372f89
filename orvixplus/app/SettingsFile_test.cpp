#include <gtest/gtest.h>
#include <string.h>
#include <fstream>
#include <iterator>
#include "AppSettings.h"
#include "FixedText.h"
#include "SettingsFile.h"
#include "TestSupport.h"

namespace {

std::vector<unsigned char> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write((const char*)bytes.data(), bytes.size());
}

int IntAt(const std::vector<unsigned char>& b, size_t off)
{
    return (int)(b[off] | b[off + 1] << 8 | b[off + 2] << 16 | (unsigned)b[off + 3] << 24);
}

void PutInt(std::vector<unsigned char>& b, size_t off, int v)
{
    for (int i = 0; i < 4; ++i)
        b[off + i] = (unsigned char)((unsigned)v >> (8 * i));
}

std::string TextAt(const std::vector<unsigned char>& b, size_t off)
{
    return std::string((const char*)&b[off]);
}

std::vector<unsigned char> DefaultBlock()
{
    std::string path = ts::FreshTempDir("settings-default") + "d.dat";
    EXPECT_TRUE(WriteDefaultSettingsFile(path.c_str()));
    return ReadBytes(path);
}

}  // namespace

TEST(SettingsFile, DefaultFileIsExactAtEveryOffset)
{
    std::vector<unsigned char> b = DefaultBlock();
    ASSERT_EQ(684u, b.size());
    const int ints[] = {0, 1, 1, 1, 0, 0, 86, 2, 50, 53, 49, 50, 50, 0, 2, 1, 2, 1, 2, 50, 1, 2,
                        0, 76, 2};
    for (size_t i = 0; i < sizeof(ints) / sizeof(ints[0]); ++i)
        EXPECT_EQ(ints[i], IntAt(b, i * 4)) << "offset " << i * 4;
    EXPECT_EQ(ts::ExeDir(), TextAt(b, 100));
    EXPECT_EQ(ts::ExeDir(), TextAt(b, 360));
    EXPECT_EQ("Line In", TextAt(b, 620));
    EXPECT_EQ("Kestor TV Arden WDM Video CaptureA", TextAt(b, 644));
}

TEST(SettingsFile, MissingFileIsCreatedWithDefaultsThenLoaded)
{
    std::string path = ts::FreshTempDir("settings-missing") + "OrvixPlusData.dat";
    CAppSettings s;
    EXPECT_FALSE(LoadSettingsFile(&s, path.c_str()));
    ASSERT_TRUE(LoadOrCreateSettingsFile(&s, path.c_str()));
    EXPECT_EQ(DefaultBlock(), ReadBytes(path));
    EXPECT_EQ(ts::ExeDir(), s.m_szRecordFolder);
    EXPECT_EQ(ts::ExeDir(), s.m_szPictureFolder);
    EXPECT_EQ(86, s.m_nCountryCode);
    EXPECT_EQ(53, s.m_nContrast);
}

TEST(SettingsFile, SavedValuesComeBackAndTheFileStaysOneBlock)
{
    std::string dir = ts::FreshTempDir("settings-roundtrip");
    std::string path = dir + "OrvixPlusData.dat";
    CAppSettings s;
    s.m_nVideoDesktop = 1; s.m_bOsd = 0; s.m_bAlwaysOnTop = 0; s.m_bDeinterlace = 0;
    s.m_bDeletePreviewFile = 1; s.m_nReservedA = -7; s.m_nCountryCode = 44;
    s.m_nInputSource = 5; s.m_nBrightness = 1; s.m_nContrast = 2; s.m_nHue = 3;
    s.m_nSaturation = 4; s.m_nSharpness = 100; s.m_nRecordFormat = 8; s.m_nRecordQuality = 3;
    s.m_nWallDwell = 3; s.m_nWallGrid = 4; s.m_nChannelSource = 2; s.m_nVideoSize = 3;
    s.m_nVolume = 0; s.m_nReservedB = 9; s.m_nTunerList = 1; s.m_nWindowAspect = 0;
    SetFixedText(s.m_szRecordFolder, dir.c_str());
    SetFixedText(s.m_szPictureFolder, "C:\\");
    SetFixedText(s.m_szAudioLine, "线路输入");
    SetFixedText(s.m_szVideoDevice, "Other Capture");
    ASSERT_TRUE(SaveSettingsFile(&s, path.c_str()));
    // A previous, longer file must not leave a tail behind.
    ASSERT_TRUE(SaveSettingsFile(&s, path.c_str()));
    std::vector<unsigned char> b = ReadBytes(path);
    ASSERT_EQ(684u, b.size());
    EXPECT_EQ(5, IntAt(b, 28));
    EXPECT_EQ(76, IntAt(b, 92));
    EXPECT_EQ(0, IntAt(b, 96));

    CAppSettings t;
    ASSERT_TRUE(LoadSettingsFile(&t, path.c_str()));
    SettingsRecord a, c;
    SettingsToRecord(s, &a);
    SettingsToRecord(t, &c);
    EXPECT_EQ(0, memcmp(&a, &c, sizeof(a)));
    EXPECT_STREQ("线路输入", t.m_szAudioLine);
}

TEST(SettingsFile, ShortEmptyOrOverlongFileIsReplacedByDefaults)
{
    std::string dir = ts::FreshTempDir("settings-size");
    std::vector<unsigned char> block = DefaultBlock();
    PutInt(block, 76, 77);  // a volume that must not survive a rejected file
    for (size_t size : {(size_t)0, (size_t)100, (size_t)683, (size_t)685, (size_t)1368}) {
        std::string path = dir + "OrvixPlusData.dat";
        std::vector<unsigned char> bytes(size, 0);
        memcpy(bytes.data(), block.data(), std::min(size, block.size()));
        WriteBytes(path, bytes);
        CAppSettings s;
        s.m_nVolume = 33;
        EXPECT_FALSE(LoadSettingsFile(&s, path.c_str())) << size;
        EXPECT_EQ(33, s.m_nVolume) << "a rejected file changed the settings, size " << size;
        ASSERT_TRUE(LoadOrCreateSettingsFile(&s, path.c_str())) << size;
        EXPECT_EQ(50, s.m_nVolume) << size;
        EXPECT_EQ(684u, ReadBytes(path).size()) << size;
    }
}

TEST(SettingsFile, GarbageIsCutAndOutOfRangeValuesTakeTheirDefaults)
{
    std::string path = ts::FreshTempDir("settings-garbage") + "OrvixPlusData.dat";
    // 0xB0 is a GBK lead byte: the text fields hold no NUL and no whole
    // character at their ends.
    std::vector<unsigned char> b(684, 0xB0);
    const struct { size_t off; int value; int expected; } cases[] = {
        {28, 0, 2}, {28, 6, 2}, {52, -1, 0}, {52, 9, 0}, {56, 0, 2}, {56, 4, 2},
        {60, 0, 1}, {60, 4, 1}, {64, 0, 2}, {64, 5, 2}, {72, 0, 2}, {72, 4, 2},
        {96, -1, 2}, {96, 3, 2},
    };
    for (const auto& c : cases) {
        PutInt(b, c.off, c.value);
        // Values nobody indexes with are kept as they are.
        PutInt(b, 32, 1000);
        PutInt(b, 24, -5);
        WriteBytes(path, b);
        CAppSettings s;
        ASSERT_TRUE(LoadSettingsFile(&s, path.c_str()));
        SettingsRecord r;
        SettingsToRecord(s, &r);
        int got;
        memcpy(&got, (const char*)&r + c.off, 4);
        EXPECT_EQ(c.expected, got) << "offset " << c.off << " value " << c.value;
        EXPECT_EQ(1000, s.m_nBrightness);
        EXPECT_EQ(-5, s.m_nCountryCode);
        EXPECT_EQ((int)0xB0B0B0B0, s.m_nVolume);
        EXPECT_EQ(22u, strlen(s.m_szAudioLine));
        EXPECT_EQ(38u, strlen(s.m_szVideoDevice));
        EXPECT_EQ(ts::ExeDir(), s.m_szRecordFolder);
        EXPECT_EQ(ts::ExeDir(), s.m_szPictureFolder);
    }
}

TEST(SettingsFile, MissingFoldersBecomeTheProgramFolderOnLoadAndSave)
{
    std::string dir = ts::FreshTempDir("settings-folders");
    std::string path = dir + "OrvixPlusData.dat";
    std::string rec = dir + "rec\\", pic = dir + "pic\\";
    ASSERT_TRUE(CreateDirectoryA(rec.c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryA(pic.c_str(), NULL));
    CAppSettings s;
    SetFixedText(s.m_szRecordFolder, rec.c_str());
    SetFixedText(s.m_szPictureFolder, pic.c_str());
    ASSERT_TRUE(SaveSettingsFile(&s, path.c_str()));

    ASSERT_TRUE(RemoveDirectoryA(rec.c_str()));
    CAppSettings t;
    ASSERT_TRUE(LoadSettingsFile(&t, path.c_str()));
    EXPECT_EQ(ts::ExeDir(), t.m_szRecordFolder);
    EXPECT_EQ(pic, t.m_szPictureFolder);

    ASSERT_TRUE(RemoveDirectoryA(pic.c_str()));
    ASSERT_TRUE(SaveSettingsFile(&t, path.c_str()));
    EXPECT_EQ(ts::ExeDir(), t.m_szPictureFolder);
    std::vector<unsigned char> b = ReadBytes(path);
    EXPECT_EQ(ts::ExeDir(), TextAt(b, 100));
    EXPECT_EQ(ts::ExeDir(), TextAt(b, 360));
}

TEST(SettingsFile, ChangesOfTheRunSurviveADeletedFile)
{
    std::string path = ts::FreshTempDir("settings-deleted") + "OrvixPlusData.dat";
    CAppSettings s;
    ASSERT_TRUE(LoadOrCreateSettingsFile(&s, path.c_str()));
    s.m_nVolume = 85;
    ASSERT_TRUE(DeleteFileA(path.c_str()));
    ASSERT_TRUE(SaveOrResetSettingsFile(&s, path.c_str()));
    CAppSettings t;
    ASSERT_TRUE(LoadSettingsFile(&t, path.c_str()));
    EXPECT_EQ(85, t.m_nVolume);
}

TEST(SettingsFile, BadArgumentsAndUnwritablePathsFail)
{
    CAppSettings s;
    std::string noDir = ts::FreshTempDir("settings-bad") + "none\\OrvixPlusData.dat";
    EXPECT_FALSE(LoadSettingsFile(NULL, noDir.c_str()));
    EXPECT_FALSE(LoadSettingsFile(&s, NULL));
    EXPECT_FALSE(LoadSettingsFile(&s, ""));
    EXPECT_FALSE(SaveSettingsFile(NULL, noDir.c_str()));
    EXPECT_FALSE(SaveSettingsFile(&s, noDir.c_str()));
    EXPECT_FALSE(WriteDefaultSettingsFile(NULL));
    EXPECT_FALSE(WriteDefaultSettingsFile(noDir.c_str()));
    EXPECT_FALSE(LoadOrCreateSettingsFile(&s, noDir.c_str()));
    EXPECT_FALSE(SaveOrResetSettingsFile(&s, noDir.c_str()));
    EXPECT_TRUE(SaveOrResetSettingsFile(NULL, noDir.c_str()));
    EXPECT_FALSE(FolderExists(NULL));
    EXPECT_FALSE(FolderExists(""));
    char folder[MAX_PATH];
    ASSERT_TRUE(GetAppFolder(folder, sizeof(folder)));
    EXPECT_EQ(ts::ExeDir(), folder);
    EXPECT_FALSE(GetAppFolder(folder, 3));
}

TEST(FixedText, TextIsCutOnAWholeCharacterAndZeroFilled)
{
    char f[6];
    memset(f, 'x', sizeof(f));
    CopyFixedText(f, sizeof(f), "abcdefgh");
    EXPECT_STREQ("abcde", f);
    // 中 and 文 are two bytes each in GBK: "a" + 中 + 文 needs 5 bytes + NUL.
    CopyFixedText(f, sizeof(f), "a中文");
    EXPECT_EQ(std::string("a中文"), f);
    CopyFixedText(f, sizeof(f), "ab中文");
    EXPECT_EQ(std::string("ab中"), f);
    EXPECT_EQ(0, f[4]);
    EXPECT_EQ(0, f[5]);
    // A lone lead byte at the end of the source is half a character.
    CopyFixedText(f, sizeof(f), "ab\xd6");
    EXPECT_STREQ("ab", f);
    // An unterminated source is read no further than srcMax.
    const char raw[3] = {'x', 'y', 'z'};
    CopyFixedText(f, sizeof(f), raw, sizeof(raw));
    EXPECT_STREQ("xyz", f);
    CopyFixedText(f, sizeof(f), NULL);
    EXPECT_STREQ("", f);
}
