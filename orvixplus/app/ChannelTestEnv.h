// Shared set-up of the channel tests: settings for a country, a fresh store
// and history behind the process-wide pointers, and a scratch folder.
#pragma once
#include <gtest/gtest.h>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include "AppSettings.h"
#include "ChannelHistory.h"
#include "ChannelStore.h"
#include "Globals.h"
#include "TestSupport.h"
#include "TuningHost.h"

class ChannelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_pSettings = new CAppSettings;
        g_pSettings->m_nCountryCode = 86;
        g_pSettings->m_nInputSource = 1;
        g_pChannelStore = new CChannelStore;
        g_pHistoryList = new CChannelHistory;
        g_pCurrentChannel = new ChannelRecord();
        dir_ = ts::FreshTempDir("channels");
    }
    void TearDown() override
    {
        g_pTuningHost = NULL;
        delete g_pChannelStore;
        delete g_pHistoryList;
        delete g_pSettings;
        g_pChannelStore = NULL;
        g_pHistoryList = NULL;
        g_pSettings = NULL;
        FreeChannelCopies();
    }
    std::string Path(const char* name) const { return dir_ + name; }

    static ChannelRecord* NewChannel(int number, float mhz, int skip = 0)
    {
        ChannelRecord* rec = new ChannelRecord();
        MakeChannelRecord(rec, number, 0, 1);
        rec->fFrequency = mhz;
        rec->nSkip = skip;
        return rec;
    }
    // Stores channels with these numbers in list 1 (frequency = 100 + number).
    void Store(std::initializer_list<int> numbers, int list = 1)
    {
        for (int n : numbers)
            g_pChannelStore->Add(list, NewChannel(n, 100.0f + n));
    }

    std::string dir_;
};

// Whole file as bytes.
inline std::vector<char> ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteAll(const std::string& path, const void* data, size_t size)
{
    FILE* fp = fopen(path.c_str(), "wb");
    ASSERT_TRUE(fp != NULL);
    fwrite(data, 1, size, fp);
    fclose(fp);
}
