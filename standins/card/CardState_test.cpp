#include "CardState.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <stdio.h>

// A card of this executable's own: other test executables run side by side.
static const BOOL g_ownCard = SetEnvironmentVariableA("ORVIX_CARD", "card_driver_test");

namespace {

struct CardStateTest : testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(g_ownCard);
        ASSERT_TRUE(CardStateOpen() != NULL);
        CardReset();
        // Whatever the stations file beside the tests says.
        CardSetStations(CardDefaultStations());
    }
};

BOOL WriteBytes(BYTE a, BYTE b, BYTE c, BYTE d)
{
    BYTE bytes[4] = { a, b, c, d };
    return CardI2CWrite(0xC0, bytes, 4);
}

BYTE ReadIdByte()
{
    BYTE b = 0;
    EXPECT_TRUE(CardI2CRead(0xC1, &b, 1));
    return b;
}

std::string WriteFile(const std::string& path, const std::string& text)
{
    FILE* f = fopen(path.c_str(), "wb");
    fputs(text.c_str(), f);
    fclose(f);
    return path;
}

std::string ReadFile(const std::string& path)
{
    std::string text;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return text;
    char buf[1024];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0)
        text.append(buf, n);
    fclose(f);
    return text;
}

// Until *flag is set, as driver objects made and released in a loop would.
DWORD WINAPI MakeAndReleaseObjects(void* flag)
{
    while (!*static_cast<volatile LONG*>(flag)) {
        CardObjectCreated();
        CardObjectDestroyed();
    }
    return 0;
}

}  // namespace

TEST_F(CardStateTest, TunerWritesSetTheFrequencyAndLockFollowsTheStations)
{
    EXPECT_EQ(0.0, CardTunedFrequency());
    EXPECT_FALSE(CardSignalLocked());

    // 100.25 MHz: divider 2226, band 1.
    EXPECT_TRUE(WriteBytes(0x08, 0xB2, 0xCE, 0x01));
    EXPECT_DOUBLE_EQ(100.25, CardTunedFrequency());
    BYTE last[4];
    CardLastTunerBytes(last);
    EXPECT_EQ(0xB2, last[1]);
    EXPECT_FALSE(CardSignalLocked());

    // 49.75 MHz is a default station: (49.75 + 38.875) * 16 = 1418 = 0x058A.
    EXPECT_TRUE(WriteBytes(0x05, 0x8A, 0xCE, 0x01));
    CardStation st;
    ASSERT_TRUE(CardTunedStation(&st));
    EXPECT_STREQ("Harbour News", st.name);
    EXPECT_TRUE(CardSignalLocked());

    // Within half a megahertz still locks, beyond it does not.
    EXPECT_TRUE(CardStationAt(49.25, NULL));
    EXPECT_TRUE(CardStationAt(50.25, NULL));
    EXPECT_FALSE(CardStationAt(50.3, NULL));

    // Composite and S-Video always show a picture.
    EXPECT_TRUE(WriteBytes(0x08, 0xB2, 0xCE, 0x01));
    CardSetVideoInput(CARD_VIDEO_COMPOSITE);
    EXPECT_TRUE(CardSignalLocked());
    CardSetVideoInput(7);
    EXPECT_EQ(CARD_VIDEO_COMPOSITE, CardVideoInput());
    CardSetVideoInput(CARD_VIDEO_TUNER);
    EXPECT_FALSE(CardSignalLocked());
}

TEST_F(CardStateTest, ReceiverAnswersZUntilARemoteIsLearntThenItsIdBytesInTurn)
{
    EXPECT_EQ('z', ReadIdByte());
    EXPECT_EQ('z', ReadIdByte());

    // A missing remote.ini makes Timewarden write 0, 0: no remote is learnt by it.
    EXPECT_TRUE(WriteBytes(0x12, 0, 0, 0xCD));
    EXPECT_EQ('z', ReadIdByte());

    CardLearnRemote(0x0A, 0x05);
    EXPECT_EQ(0x0A, ReadIdByte());
    EXPECT_EQ(0x05, ReadIdByte());
    EXPECT_EQ(0x0A, ReadIdByte());
    // A blank ID keeps the learnt remote; a command starts over at byte 0.
    EXPECT_TRUE(WriteBytes(0x12, 0, 0, 0xCD));
    EXPECT_EQ(0x0A, ReadIdByte());
    BYTE two[2];
    ASSERT_TRUE(CardI2CRead(0xC1, two, 2));
    EXPECT_EQ(0x05, two[0]);
    EXPECT_EQ(0x0A, two[1]);

    // Pairing forgets the remote until one is learnt again.
    EXPECT_TRUE(WriteBytes(0x12, 0, 0, 0xC1));
    EXPECT_FALSE(CardRemoteLearnt());
    EXPECT_EQ('z', ReadIdByte());
}

TEST_F(CardStateTest, KeysFailuresConfigurationAndReset)
{
    EXPECT_TRUE(CardPressKey(13));
    EXPECT_FALSE(CardPressKey(32));
    EXPECT_FALSE(CardPressKey(-1));
    EXPECT_EQ(13, CardPendingKey());
    // A key pressed while the pins were being read survives the end of that read.
    EXPECT_TRUE(CardPressKey(5));
    CardConsumeKey(13);
    EXPECT_EQ(5, CardPendingKey());
    CardConsumeKey(5);
    EXPECT_EQ(0, CardPendingKey());

    EXPECT_TRUE(CardFailCall("GetDevice", 2));
    EXPECT_TRUE(CardFailCall("I2CWrite", -1));
    EXPECT_FALSE(CardFailCall("", 1));
    EXPECT_FALSE(CardFailCall("AVeryLongCallNameThatDoesNotFitIn", 1));
    EXPECT_FALSE(CardShouldFail("GetDeviceCount"));
    EXPECT_TRUE(CardShouldFail("GetDevice"));
    EXPECT_TRUE(CardShouldFail("GetDevice"));
    EXPECT_FALSE(CardShouldFail("GetDevice"));
    for (int i = 0; i < 5; i++)
        EXPECT_TRUE(CardShouldFail("I2CWrite"));
    EXPECT_TRUE(CardFailCall("I2CWrite", 0));
    EXPECT_FALSE(CardShouldFail("I2CWrite"));

    CardSetDeviceCount(-3);
    EXPECT_EQ(0, CardDeviceCount());
    CardSetPreviewPinEnabled(FALSE);
    CardSetAudioInput(CARD_AUDIO_LINE);
    CardFailCall("GetGPIO", -1);
    CardPressKey(9);
    CardLearnRemote(1, 2);
    WriteBytes(0x08, 0xB2, 0xCE, 0x01);

    CardReset();
    EXPECT_EQ(1, CardDeviceCount());
    EXPECT_TRUE(CardPreviewPinEnabled());
    EXPECT_EQ(CARD_AUDIO_TUNER, CardAudioInput());
    EXPECT_FALSE(CardShouldFail("GetGPIO"));
    EXPECT_EQ(0, CardPendingKey());
    EXPECT_FALSE(CardRemoteLearnt());
    EXPECT_EQ(0.0, CardTunedFrequency());
    EXPECT_TRUE(CardLogLines().empty());
}

TEST_F(CardStateTest, KeysInARowAreLatchedEachOnceTheOneBeforeWasRead)
{
    EXPECT_FALSE(CardPressKeys({}));
    EXPECT_FALSE(CardPressKeys({1, 32}));
    EXPECT_FALSE(CardPressKeys({0, 1})) << "0 is no key";
    EXPECT_FALSE(CardPressKeys(std::vector<int>(CARD_KEYS_IN_A_ROW + 1, 1)));
    EXPECT_EQ(0, CardPendingKey()) << "a refused row pressed a key";

    EXPECT_TRUE(CardPressKeys({1, 2, 2, 3}));
    EXPECT_EQ(1, CardPendingKey());
    CardConsumeKey(2);  // the end of a read of another key
    EXPECT_EQ(1, CardPendingKey());
    for (int next : {2, 2, 3, 0}) {
        CardConsumeKey(CardPendingKey());
        EXPECT_EQ(next, CardPendingKey());
    }

    // A key pressed on its own takes the place of the rest of a row.
    EXPECT_TRUE(CardPressKeys(std::vector<int>(CARD_KEYS_IN_A_ROW, 7)));
    EXPECT_TRUE(CardPressKey(9));
    CardConsumeKey(9);
    EXPECT_EQ(0, CardPendingKey());

    // At a person's pace: each next key only the pause after the read.
    EXPECT_TRUE(CardPressKeys({4, 5}, 300));
    CardConsumeKey(4);
    DWORD read = GetTickCount();
    EXPECT_EQ(0, CardPendingKey());
    while (CardPendingKey() == 0 && GetTickCount() - read < 5000)
        Sleep(5);
    EXPECT_GE(GetTickCount() - read, 300u);
    EXPECT_EQ(5, CardPendingKey());
    CardConsumeKey(5);
    Sleep(350);
    EXPECT_EQ(0, CardPendingKey()) << "a key after the row's last";
}

// Objects come and go on other threads (a scan's tuner writes, the push
// threads) while a test or cardctl resets the card: no count may be lost.
TEST_F(CardStateTest, ResetKeepsTheLiveObjectCountOfObjectsMadeMeanwhile)
{
    LONG before = CardLiveObjects();
    volatile LONG stop = 0;
    HANDLE churn = CreateThread(NULL, 0, MakeAndReleaseObjects, (void*)&stop, 0, NULL);
    ASSERT_TRUE(churn != NULL);
    for (int i = 0; i < 100; i++)
        CardReset();
    InterlockedExchange(&stop, 1);
    WaitForSingleObject(churn, INFINITE);
    CloseHandle(churn);
    EXPECT_EQ(before, CardLiveObjects());
}

TEST_F(CardStateTest, LogKeepsTheNewestLinesInOrder)
{
    for (int i = 0; i < CARD_LOG_LINES + 10; i++)
        CardLog("line %d", i);
    std::vector<std::string> lines = CardLogLines();
    ASSERT_EQ((size_t)CARD_LOG_LINES, lines.size());
    EXPECT_EQ("line 10", lines.front());
    EXPECT_EQ("line " + std::to_string(CARD_LOG_LINES + 9), lines.back());

    CardClearLog();
    std::string longLine(300, 'x');
    CardLog("%s", longLine.c_str());
    ASSERT_EQ(1u, CardLogLines().size());
    EXPECT_EQ((size_t)CARD_LOG_LINE - 1, CardLogLines()[0].size());

    // Taking the lines empties the log; the next line starts it again.
    EXPECT_EQ(1u, CardTakeLogLines().size());
    EXPECT_TRUE(CardLogLines().empty());
    CardLog("after");
    EXPECT_EQ(std::vector<std::string>{"after"}, CardTakeLogLines());
}

TEST_F(CardStateTest, StationsTextRoundTripsAndBadLinesAreRefused)
{
    std::vector<CardStation> defaults = CardDefaultStations();
    ASSERT_EQ(9u, defaults.size());
    std::vector<CardStation> parsed;
    ASSERT_TRUE(CardParseStations("# comment\n\n" + CardFormatStations(defaults), &parsed));
    ASSERT_EQ(defaults.size(), parsed.size());
    for (size_t i = 0; i < parsed.size(); i++) {
        EXPECT_STREQ(defaults[i].name, parsed[i].name);
        EXPECT_DOUBLE_EQ(defaults[i].freqMHz, parsed[i].freqMHz);
        EXPECT_EQ(defaults[i].pattern, parsed[i].pattern);
    }
    EXPECT_EQ("49.75 0 Harbour News\n", CardFormatStations({ defaults[0] }));

    ASSERT_TRUE(CardParseStations("  100.25\t3  Two  Words \r\n", &parsed));
    ASSERT_EQ(1u, parsed.size());
    EXPECT_STREQ("Two  Words", parsed[0].name);

    for (const char* bad : { "abc 1 Name", "52.5 Name", "52.5 1", "-4 1 Name", "52.5x 1 Name",
                             "52.5 1 A name that is far too long for a station" }) {
        EXPECT_FALSE(CardParseStations(std::string("52.5 0 Good\n") + bad, &parsed)) << bad;
        EXPECT_TRUE(parsed.empty());
    }
    std::string many;
    for (int i = 0; i <= CARD_MAX_STATIONS; i++)
        many += "100 0 S\n";
    EXPECT_FALSE(CardParseStations(many, &parsed));

    CardSetStations({ parsed.empty() ? defaults[1] : parsed[0] });
    EXPECT_EQ(1u, CardStations().size());
    EXPECT_FALSE(CardStationAt(49.75, NULL));
    EXPECT_TRUE(CardStationAt(57.75, NULL));
}

TEST_F(CardStateTest, StationsFileIsCreatedWhenMissingAndReadWhenPresent)
{
    std::string dir = ts::FreshTempDir("cardstations");
    std::string path = dir + "cardstations.txt";
    std::vector<CardStation> loaded = CardLoadStationsFile(path);
    EXPECT_EQ(9u, loaded.size());
    std::string written = ReadFile(path);
    std::vector<CardStation> reread;
    ASSERT_TRUE(CardParseStations(written, &reread));
    EXPECT_EQ(9u, reread.size());

    WriteFile(path, "# mine\n300 2 Mine\n");
    loaded = CardLoadStationsFile(path);
    ASSERT_EQ(1u, loaded.size());
    EXPECT_STREQ("Mine", loaded[0].name);

    // A broken file plays the defaults but is not overwritten.
    WriteFile(path, "nonsense\n");
    EXPECT_EQ(9u, CardLoadStationsFile(path).size());
    EXPECT_EQ("nonsense\n", ReadFile(path));

    EXPECT_NE(std::string::npos, CardStationsFilePath().find("\\cardstations.txt"));
}
