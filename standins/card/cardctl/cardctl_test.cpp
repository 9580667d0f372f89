// cardctl.exe in its own process steers the card this process sees.
#include "CardCtl.h"
#include "CardState.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <stdio.h>

namespace {

struct CtlRun {
    DWORD exitCode;
    std::string out;
};

// Runs cardctl.exe with `args`; its output is collected through a file.
CtlRun Cardctl(const std::string& args)
{
    CtlRun run = { (DWORD)-1, "" };
    std::string outPath = ts::FreshTempDir("cardctl") + "out.txt";
    SECURITY_ATTRIBUTES sa = { sizeof(sa), NULL, TRUE };
    HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, 0, NULL);
    if (out == INVALID_HANDLE_VALUE)
        return run;
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = out;
    si.hStdError = out;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::string cmd = "\"" + ts::ExeDir() + "cardctl.exe\" " + args;
    PROCESS_INFORMATION pi = {};
    BOOL started = CreateProcessA(NULL, &cmd[0], NULL, NULL, TRUE, 0, NULL, NULL, &si, &pi);
    CloseHandle(out);
    if (!started)
        return run;
    WaitForSingleObject(pi.hProcess, 20000);
    GetExitCodeProcess(pi.hProcess, &run.exitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    for (const std::string& line : ts::ReadLines(outPath))
        run.out += line + "\n";
    return run;
}

struct CardctlTest : testing::Test {
    void SetUp() override
    {
        CardReset();
        CardSetStations(CardDefaultStations());
    }
};

}  // namespace

TEST_F(CardctlTest, KeysDevicesFailuresAndResetReachThisProcess)
{
    EXPECT_EQ(0u, Cardctl("key 13").exitCode);
    EXPECT_EQ(13, CardPendingKey());
    EXPECT_EQ(0u, Cardctl("learn 10 5").exitCode);
    BYTE id[2];
    CardRemoteId(id);
    EXPECT_EQ(10, id[0]);
    EXPECT_EQ(5, id[1]);
    EXPECT_EQ(0u, Cardctl("devices 0").exitCode);
    EXPECT_EQ(0, CardDeviceCount());
    EXPECT_EQ(0u, Cardctl("fail GetDevice 2").exitCode);
    EXPECT_TRUE(CardShouldFail("GetDevice"));
    EXPECT_EQ(0u, Cardctl("preview off").exitCode);
    EXPECT_FALSE(CardPreviewPinEnabled());
    EXPECT_EQ(0u, Cardctl("invert negative").exitCode);
    EXPECT_EQ(CARD_INVERT_NEGATIVE, CardInvertMode());

    EXPECT_EQ(0u, Cardctl("reset").exitCode);
    EXPECT_EQ(CARD_INVERT_OFF, CardInvertMode());
    EXPECT_EQ(0, CardPendingKey());
    EXPECT_EQ(1, CardDeviceCount());
    EXPECT_FALSE(CardShouldFail("GetDevice"));
    EXPECT_TRUE(CardPreviewPinEnabled());

    for (const char* bad : { "", "key 32", "key x", "learn 1 256", "devices -1", "fail GetDevice -2",
                             "preview maybe", "invert sideways", "frobnicate" })
        EXPECT_NE(0u, Cardctl(bad).exitCode) << bad;
}

TEST_F(CardctlTest, StationsLogAndStatusAreReadable)
{
    std::string dir = ts::FreshTempDir("cardctl-stations");
    FILE* f = fopen((dir + "s.txt").c_str(), "wb");
    fputs("# two\n100.25 4 Test One\n200.5 5 Test Two\n", f);
    fclose(f);
    EXPECT_EQ(0u, Cardctl("stations set \"" + dir + "s.txt\"").exitCode);
    ASSERT_EQ(2u, CardStations().size());
    EXPECT_STREQ("Test Two", CardStations()[1].name);
    CtlRun list = Cardctl("stations");
    EXPECT_EQ(0u, list.exitCode);
    EXPECT_EQ("100.25 4 Test One\n200.5 5 Test Two\n", list.out);

    f = fopen((dir + "bad.txt").c_str(), "wb");
    fputs("100.25 Test\n", f);
    fclose(f);
    EXPECT_NE(0u, Cardctl("stations set \"" + dir + "bad.txt\"").exitCode);
    EXPECT_EQ(2u, CardStations().size());
    EXPECT_NE(0u, Cardctl("stations set \"" + dir + "missing.txt\"").exitCode);

    BYTE tune[4] = { 0x08, 0xB2, 0xCE, 0x01 };
    CardI2CWrite(0xC0, tune, 4);
    CtlRun log = Cardctl("log");
    EXPECT_NE(std::string::npos, log.out.find("I2CWrite C0: 08 B2 CE 01 (tuner 100.250 MHz)\n")) << log.out;
    CtlRun status = Cardctl("status");
    EXPECT_NE(std::string::npos, status.out.find("station: Test One\n")) << status.out;
    EXPECT_NE(std::string::npos, status.out.find("locked: yes\n")) << status.out;
    EXPECT_EQ(0u, Cardctl("log clear").exitCode);
    EXPECT_TRUE(CardLogLines().empty());
}

TEST_F(CardctlTest, ControlFunctionsFillBuffersSafely)
{
    char small[8];
    int full = CardCtl_GetStations(small, sizeof(small));
    EXPECT_GT(full, (int)sizeof(small));
    EXPECT_EQ(7u, strlen(small));
    EXPECT_EQ(full, CardCtl_GetStations(NULL, 0));
    EXPECT_EQ(-1, CardCtl_SetStations(NULL));
    EXPECT_EQ(-1, CardCtl_SetStations("nonsense"));
    EXPECT_EQ(9, (int)CardStations().size());
    EXPECT_EQ(1, CardCtl_SetStations("50 1 One\n"));
    EXPECT_EQ(0, CardCtl_PressKey(40));
    EXPECT_EQ(0, CardCtl_LearnRemote(-1, 0));
    EXPECT_EQ(0, CardCtl_SetDeviceCount(-1));
    EXPECT_EQ(0, CardCtl_FailCall(NULL, 1));
}
