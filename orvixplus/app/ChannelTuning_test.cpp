#include "ChannelTestEnv.h"
#include <stdio.h>
#include <algorithm>

namespace {

// Stands in for the main dialog: logs every call in order.
class FakeHost : public CTuningHost {
public:
    BOOL mainWindow = TRUE, graph = TRUE, settingsWindow = TRUE, visible = TRUE;
    std::vector<std::string> log;

    BOOL HasMainWindow() override { return mainWindow; }
    BOOL HasGraph() override { return graph; }
    void EnsureGraph() override { log.push_back("graph"); }
    void EnableAudio(BOOL on) override { log.push_back(on ? "sound on" : "sound off"); }
    void ShowVideoWindow() override { log.push_back("video"); }
    BOOL HasSettingsWindow() override { return settingsWindow; }
    BOOL IsSettingsWindowVisible() override { return visible; }
    void PostToSettingsWindow(UINT msg) override { log.push_back("post " + std::to_string(msg)); }
    void SetSkinText(const char* el, const char* text) override
    {
        log.push_back(std::string(el) + "=" + text);
    }
    void ShowChannelText(const char* text) override { log.push_back(std::string("osd=") + text); }
    void StopChannelScan() override { log.push_back("stop scan"); }
    void WriteTunerPll(BYTE b0, BYTE b1, BYTE b2, BYTE b3) override
    {
        char s[32];
        snprintf(s, sizeof(s), "pll %02X %02X %02X %02X", b0, b1, b2, b3);
        log.push_back(s);
    }
    void Pause(DWORD ms) override { log.push_back("pause " + std::to_string(ms)); }
};

class TuningTest : public ChannelTest {
protected:
    void SetUp() override
    {
        ChannelTest::SetUp();
        g_pTuningHost = &host;
        Store({1, 2, 3});  // 101.25 .. 103.25 MHz
        for (int n = 1; n <= 3; n++)
            g_pChannelStore->GetChannelPtr(n, 1)->fFrequency = 100.25f + n;
    }
    FakeHost host;
};

}  // namespace

TEST_F(TuningTest, SelectChannelRunsTheTuneSequence)
{
    CChannelStore& store = *g_pChannelStore;
    ASSERT_TRUE(store.SelectChannel(2, 1, TRUE));
    std::vector<std::string> want = {
        "stop scan", "graph", "video", "post 1677", "pause 100", "sound off",
        "pll 08 D2 CE 01", "timer_filesize= 2", "osd=Channel2 2", "pause 200", "sound on",
        "post 1644"};
    EXPECT_EQ(want, host.log);
    EXPECT_EQ(2, store.GetCurrent(1));
    EXPECT_EQ(2, store.GetLastTuned());
    EXPECT_EQ(2, g_pCurrentChannel->nNumber);
    EXPECT_EQ(2, g_pTunedChannel->nNumber);
    EXPECT_EQ(2, g_pPreviousChannel->nNumber);  // the first tune fills all three
    ASSERT_EQ(1, g_pHistoryList->GetCount());
    EXPECT_EQ(1, g_pHistoryList->GetFirst()->nInStore);

    ASSERT_TRUE(store.SelectChannel(3, 1, FALSE));
    EXPECT_EQ(2, g_pPreviousChannel->nNumber);
    EXPECT_EQ(3, g_pTunedChannel->nNumber);
    EXPECT_NE("post 1644", host.log.back());
    EXPECT_EQ(2, g_pHistoryList->GetCount());

    // Refused: skipped, not stored, no graph, no main window.
    store.GetChannelPtr(1, 1)->nSkip = 1;
    EXPECT_FALSE(store.SelectChannel(1, 1, TRUE));
    EXPECT_FALSE(store.SelectChannel(9, 1, TRUE));
    host.graph = FALSE;
    EXPECT_FALSE(store.SelectChannel(2, 1, TRUE));
    host.mainWindow = FALSE;
    host.log.clear();
    EXPECT_FALSE(store.SelectChannel(2, 1, TRUE));
    EXPECT_TRUE(host.log.empty());
    EXPECT_EQ(3, store.GetCurrent(1));
}

TEST_F(TuningTest, QuietSelectionAndRangeChecks)
{
    CChannelStore& store = *g_pChannelStore;
    store.GetChannelPtr(1, 1)->nSkip = 1;
    ASSERT_TRUE(store.SelectChannelQuiet(1, 1));  // no skip test
    std::vector<std::string> want = {"post 1677", "pause 250", "sound off", "pll 08 C2 CE 01",
                                     "pause 200", "sound on"};
    EXPECT_EQ(want, host.log);
    EXPECT_EQ(1, store.GetCurrent(1));
    EXPECT_TRUE(store.SelectChannelQuiet(50, 1));  // nothing tuned, still TRUE
    EXPECT_FALSE(store.SelectChannelQuiet(-1, 1));

    // In range of China's 68 antenna channels; skip flag not tested.
    EXPECT_TRUE(store.SelectChannelInRange(1, 1, TRUE));
    EXPECT_FALSE(store.SelectChannelInRange(69, 1, TRUE));
    EXPECT_FALSE(store.SelectChannelInRange(0, 1, TRUE));
}

TEST_F(TuningTest, TypedNumberOutsideTheStoreTunesFromThePlan)
{
    CChannelStore& store = *g_pChannelStore;
    ASSERT_TRUE(store.SelectChannel(2, 1, TRUE));
    host.log.clear();
    ASSERT_TRUE(store.SelectChannelNumber(13, 1, TRUE));  // DS-13, 471.25 MHz
    auto logged = [&](const char* s) {
        return std::find(host.log.begin(), host.log.end(), s) != host.log.end();
    };
    EXPECT_TRUE(logged("pll 1F E2 CE 08"));
    EXPECT_TRUE(logged("osd=Channel13 13"));
    EXPECT_NE("post 1644", host.log.back());
    EXPECT_EQ(0, g_pTunedChannel->nFlag);
    EXPECT_EQ(13, g_pTunedChannel->nNumber);
    EXPECT_EQ(2, g_pPreviousChannel->nNumber);
    EXPECT_EQ(2, g_pCurrentChannel->nNumber);
    EXPECT_EQ(2, store.GetCurrent(1));
    EXPECT_EQ(13, store.GetLastTuned());
    EXPECT_EQ(-1, g_pHistoryList->GetFirst()->nList);

    // Beyond the plan: refused before the tuner is touched.
    host.log.clear();
    EXPECT_FALSE(store.SelectChannelNumber(69, 1, TRUE));
    EXPECT_FALSE(store.SelectChannelNumber(0, 1, TRUE));
    EXPECT_TRUE(host.log.empty());
    g_pSettings->m_nCountryCode = 852;  // no cable plan
    g_pSettings->m_nInputSource = 2;
    EXPECT_FALSE(store.SelectChannelNumber(5, 2, TRUE));
}

TEST_F(TuningTest, RecallGoesBackAndForth)
{
    CChannelStore& store = *g_pChannelStore;
    ASSERT_TRUE(store.SelectChannel(1, 1, TRUE));
    ASSERT_TRUE(store.SelectChannel(3, 1, TRUE));
    int historyBefore = g_pHistoryList->GetCount();
    ASSERT_TRUE(store.RecallPreviousChannel());
    EXPECT_EQ(1, store.GetCurrent(1));
    EXPECT_EQ(1, g_pTunedChannel->nNumber);
    EXPECT_EQ(3, g_pPreviousChannel->nNumber);
    EXPECT_EQ(1, g_pCurrentChannel->nNumber);
    EXPECT_EQ(historyBefore, g_pHistoryList->GetCount());
    ASSERT_TRUE(store.RecallPreviousChannel());
    EXPECT_EQ(3, store.GetCurrent(1));
    EXPECT_EQ(3, g_pTunedChannel->nNumber);

    host.log.clear();
    EXPECT_TRUE(store.ShowChannelCaption());
    EXPECT_EQ((std::vector<std::string>{"osd=Channel3 3"}), host.log);
    ASSERT_TRUE(store.SelectChannelNumber(40, 1, TRUE));
    host.log.clear();
    EXPECT_TRUE(store.ShowChannelCaption());
    EXPECT_EQ((std::vector<std::string>{"osd=Channel 40"}), host.log);

    g_pTuningHost = NULL;
    EXPECT_FALSE(store.ShowChannelCaption());
    EXPECT_FALSE(store.RecallPreviousChannel());
    EXPECT_EQ(40, g_pTunedChannel->nNumber);
}
