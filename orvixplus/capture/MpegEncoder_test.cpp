#include "CaptureTestEnv.h"
#include "CaptureNames.h"
#include "Filters.h"
#include "RecorderDouble.h"
#include "TestSupport.h"
#include <fstream>

namespace {

void Touch(const std::string& path)
{
    std::ofstream(path, std::ios::binary) << "x";
}

struct NameCase {
    std::vector<std::string> files;
    std::vector<std::string> folders;
    const char* pattern;
    const char* extension;
    const char* expected;
};

std::vector<std::string> Range(const char* fmt, int from, int to)
{
    std::vector<std::string> names;
    for (int i = from; i <= to; i++) {
        char buf[32];
        snprintf(buf, sizeof(buf), fmt, i);
        names.push_back(buf);
    }
    return names;
}

std::vector<std::string> Plus(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

TEST(CaptureNames, NextFreeNameInRealFolders)
{
    const NameCase cases[] = {
        {{}, {}, "*.mpg", ".mpg", "cap00.mpg"},
        {{"cap00.mpg", "cap02.mpg"}, {}, "*.mpg", ".mpg", "cap01.mpg"},
        {Range("cap%02d.mpg", 0, 9), {}, "*.mpg", ".mpg", "cap10.mpg"},
        {{"cap05.mpg"}, {}, "*.mpg", ".mpg", "cap00.mpg"},
        // 7 is compared as "07": cap7.mpg leaves it free.
        {Plus(Range("cap%02d.mpg", 0, 6), {"cap7.mpg"}), {}, "*.mpg", ".mpg", "cap07.mpg"},
        {{"movie.mpg"}, {}, "*.mpg", ".mpg", "cap00.mpg"},
        {{"cap00.mpg", "movie.mpg"}, {}, "*.mpg", ".mpg", "cap01.mpg"},
        // Only the characters after the third count: xyz05 takes 5, so with
        // every candidate up to the count taken the count itself is used.
        {Plus(Range("cap%02d.mpg", 0, 4), {"xyz05.mpg"}), {}, "*.mpg", ".mpg", "cap06.mpg"},
        // Folders are not files; other extensions do not count.
        {{"cap01.mpg", "cap00.bmp"}, {"cap00.mpg"}, "*.mpg", ".mpg", "cap00.mpg"},
        // Names too short to hold a number part take nothing.
        {{"a.mpg", "ab.mpg", "cap.mpg", ".mpg"}, {}, "*.mpg", ".mpg", "cap00.mpg"},
        {Range("cap%02d.bmp", 0, 11), {}, "*.bmp", ".bmp", "cap12.bmp"},
        {{"cap00.bmp", "cap01.mpg"}, {}, "*.bmp", ".bmp", "cap01.bmp"},
    };
    for (const NameCase& c : cases) {
        std::string dir = ts::FreshTempDir("names");
        for (const std::string& f : c.files)
            Touch(dir + f);
        for (const std::string& d : c.folders)
            CreateDirectoryA((dir + d).c_str(), NULL);
        CStringArray names;
        CString got = NextCaptureFileName(dir.c_str(), c.pattern, c.extension, names);
        EXPECT_STREQ(c.expected, got) << "with " << c.files.size() << " files, first "
                                      << (c.files.empty() ? "" : c.files[0]);
        size_t matching = 0;
        for (const std::string& f : c.files)
            matching += f.size() >= 4 && f.compare(f.size() - 4, 4, c.extension) == 0;
        EXPECT_EQ(matching, (size_t)names.GetSize()) << "the list holds the matching files only";
    }
}

// From 10 on, the last listed name also takes a number when its number part
// reads as that number ("010"); earlier names do not.
TEST(CaptureNames, TheLastNameTakesNumbersFromTenByValue)
{
    auto number = [](std::vector<std::string> list) {
        CStringArray names;
        for (const std::string& n : list)
            names.Add(CString(n.c_str()));
        return FirstFreeCaptureNumber(names);
    };
    std::vector<std::string> ten = Range("cap%02d.mpg", 0, 9);
    EXPECT_EQ(11, number(Plus(ten, {"cap010.mpg"})));
    EXPECT_EQ(10, number(Plus({"cap010.mpg"}, ten)));
    // Below 10 the value alone takes nothing.
    EXPECT_EQ(0, number({"cap0.mpg", "cap000.mpg"}));
    EXPECT_STREQ("", CaptureNumberPart("cap"));
    EXPECT_STREQ("", CaptureNumberPart("cap1"));
    EXPECT_STREQ("", CaptureNumberPart("cap12"));
    EXPECT_STREQ("1", CaptureNumberPart("cap1.mpg"));
    EXPECT_STREQ("12", CaptureNumberPart("cap12.x.mpg"));
}

namespace {

struct PresetRow {
    int type, rate[3], width, height, code, size;
};
const PresetRow kRows[9] = {
    {1, {1250, 2000, 4000}, 320, 240, 4, 4096}, {4, {1150, 1150, 1150}, 352, 288, 3, 640},
    {3, {1150, 1150, 1150}, 352, 240, 4, 640},  {10, {2500, 2500, 2500}, 480, 576, 3, 800},
    {2, {1250, 2000, 4000}, 640, 480, 4, 4096}, {8, {4000, 6000, 8000}, 720, 576, 3, 4096},
    {7, {4000, 6000, 8000}, 720, 480, 4, 4096}, {9, {2500, 2500, 2500}, 480, 480, 4, 800},
    {6, {54000, 54000, 54000}, 640, 480, 3, 4096},
};

std::vector<RecorderCall> Expected(int format, int quality)
{
    const PresetRow& r = kRows[format];
    std::vector<int> v = format == 8 ? std::vector<int>{0, 0, 8, 8, 8, 8, 0, 0, 0}
                                     : std::vector<int>{10, 1, 16, 16, 8, 8, 1, 1, 1};
    return {
        {'V', 3, {r.type}, S_OK},          {'V', 5, {r.rate[quality - 1] * 1000}, S_OK},
        {'V', 8, {r.code}, S_OK},          {'V', 54, {r.width, r.height}, S_OK},
        {'V', 40, {-1}, S_OK},             {'V', 10, {r.size}, S_OK},
        {'V', 13, {0}, S_OK},              {'V', 19, {1}, S_OK},
        {'S', 3, {1}, S_OK},               {'S', 13, {v[0]}, S_OK},
        {'S', 11, {v[1]}, S_OK},           {'S', 5, {v[6]}, S_OK},
        {'S', 7, {v[7]}, S_OK},            {'S', 9, {v[8]}, S_OK},
        {'S', 15, {v[2], v[3], v[4], v[5]}, S_OK}, {'F', 0, {}, S_OK},
    };
}

std::string Describe(const std::vector<RecorderCall>& calls)
{
    std::string s;
    for (const RecorderCall& c : calls) {
        s += c.iface + std::to_string(c.slot) + "(";
        for (int a : c.args)
            s += std::to_string(a) + ",";
        s += ") ";
    }
    return s;
}

class EncoderTest : public GraphTest {
protected:
    void SetUp() override
    {
        GraphTest::SetUp();
        doubles.reset(new RecorderDoubleClass);
    }
    void TearDown() override
    {
        doubles.reset();
        EXPECT_EQ(0, RecorderDouble::live);
    }
    std::unique_ptr<RecorderDoubleClass> doubles;
};

}  // namespace

TEST_F(EncoderTest, ConfigureHandsEveryPresetToTheFilterInOrder)
{
    std::string dir = ts::FreshTempDir("rec") + "录像\\";
    // Not made: Wine here cannot give a Unix name to it (the Unix locale is
    // plain C); an empty folder lists no file either way.
    CMpegEncoder encoder(graph);
    ASSERT_TRUE(encoder.Create());
    EXPECT_FALSE(encoder.Create());  // one filter per encoder
    for (int format = 0; format <= 8; format++) {
        for (int quality = 1; quality <= 3; quality++) {
            RecorderDouble::log.clear();
            ASSERT_TRUE(encoder.Configure(dir.c_str(), format, quality));
            EXPECT_EQ(Expected(format, quality), RecorderDouble::log)
                << "format " << format << " quality " << quality << ": "
                << Describe(RecorderDouble::log);
        }
    }
    // The name goes to the filter as UTF-16 of the GBK folder.
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(936, 0, (dir + "cap00.mpg").c_str(), -1, wide, MAX_PATH);
    EXPECT_EQ(std::wstring(wide), RecorderDouble::fileName);
    EXPECT_NE(std::wstring::npos, RecorderDouble::fileName.find(L"\x5f55\x50cf\\cap00.mpg"));


    // Settings outside the known ones reach nobody.
    RecorderDouble::log.clear();
    EXPECT_FALSE(encoder.Configure(dir.c_str(), 9, 1));
    EXPECT_FALSE(encoder.Configure(dir.c_str(), -1, 1));
    EXPECT_FALSE(encoder.Configure(dir.c_str(), 0, 0));
    EXPECT_FALSE(encoder.Configure(dir.c_str(), 5, 4));
    EXPECT_TRUE(RecorderDouble::log.empty());
}

TEST_F(EncoderTest, RefusedCallsEndTheirGroupButNotTheConfiguration)
{
    std::string dir = ts::FreshTempDir("rec");
    CMpegEncoder encoder(graph);
    ASSERT_TRUE(encoder.Create());

    RecorderDouble::script.failures[{'V', 54}] = E_INVALIDARG;
    EXPECT_TRUE(encoder.Configure(dir.c_str(), 5, 2));
    std::vector<RecorderCall> want = Expected(5, 2);
    want.erase(want.begin() + 4, want.begin() + 8);  // 40, 10, 13, 19 are not called
    EXPECT_EQ(want, RecorderDouble::log) << Describe(RecorderDouble::log);

    RecorderDouble::script.failures.clear();
    RecorderDouble::script.failures[{'V', 8}] = E_FAIL;
    RecorderDouble::script.failures[{'S', 11}] = E_FAIL;
    RecorderDouble::log.clear();
    EXPECT_TRUE(encoder.Configure(dir.c_str(), 0, 1));
    want = Expected(0, 1);
    want.erase(want.begin() + 11, want.begin() + 15);  // after S11: 5, 7, 9, 15 are not called
    EXPECT_EQ(want, RecorderDouble::log) << Describe(RecorderDouble::log);

    // A refused file name fails the configuration.
    RecorderDouble::script.failures.clear();
    RecorderDouble::script.setFileNameResult = E_INVALIDARG;
    EXPECT_FALSE(encoder.Configure(dir.c_str(), 0, 1));
    EXPECT_FALSE(encoder.SetOutputFile(dir.c_str()));
}

TEST_F(EncoderTest, PathsTheFilterCannotTakeAreRefusedNotCut)
{
    CMpegEncoder encoder(graph);
    ASSERT_TRUE(encoder.Create());
    std::string longFolder = "C:\\" + std::string(505, 'a') + "\\";  // + cap00.mpg: 518
    RecorderDouble::log.clear();
    EXPECT_FALSE(encoder.SetOutputFile(longFolder.c_str()));
    EXPECT_TRUE(RecorderDouble::log.empty());
    std::string fits = "C:\\" + std::string(496, 'a') + "\\";  // 500 + 9 + NUL
    EXPECT_TRUE(encoder.SetOutputFile(fits.c_str()));
    EXPECT_EQ(509u, RecorderDouble::fileName.size());
}

TEST_F(EncoderTest, ARefusedInterfaceFailsCreateAndLeavesNothingAlive)
{
    for (const char* key : {"S", "V", "B", "F", "A"}) {
        RecorderDouble::script.refused = {key};
        {
            CMpegEncoder encoder(graph);
            EXPECT_FALSE(encoder.Create()) << key;
        }
        EXPECT_EQ(0, RecorderDouble::live) << key;
        EXPECT_TRUE(FilterNames().empty()) << key;
    }
    RecorderDouble::script.refused = {"V"};
    CMpegEncoder encoder(graph);
    EXPECT_FALSE(encoder.Create());
    EXPECT_TRUE(encoder.SetPreset(0, 1));
    EXPECT_FALSE(encoder.ApplyVideoSettings());
    EXPECT_TRUE(encoder.ApplySecondSettings());  // obtained before the refusal
    EXPECT_EQ(0u, encoder.GetBytesWritten());
}

TEST_F(EncoderTest, EstimatesAndTheByteCounter)
{
    CMpegEncoder encoder(graph);
    ASSERT_TRUE(encoder.Create());
    ASSERT_TRUE(encoder.SetPreset(5, 2));
    EXPECT_DOUBLE_EQ(2700.0, encoder.EstimateSizeMB(3600));
    ASSERT_TRUE(encoder.SetPreset(8, 1));
    // 54000 kbit/s for a day is far beyond 32 bits of kbit.
    EXPECT_DOUBLE_EQ(583200.0, encoder.EstimateSizeMB(86400));
    EXPECT_GT(encoder.EstimateSizeMB(11 * 3600 + 1), 0.0);

    // The counter is unsigned: a DVD recording passes 2 GB in 35 minutes.
    static_cast<RecorderDouble*>(encoder.GetFilter())->bytesWritten = 0xC0000000u;
    EXPECT_EQ(0xC0000000u, encoder.GetBytesWritten());
    RecorderDouble::script.failures[{'V', 18}] = S_FALSE;
    EXPECT_EQ(0u, encoder.GetBytesWritten());
}
