// OrvixPlus.exe itself, as separate processes in a program folder of their own.
#include <gtest/gtest.h>
#include "SettingsRecord.h"
#include "TestSupport.h"

namespace {

const DWORD kStartTimeoutMs = 30000;

HWND FindMainWindow()
{
    return FindWindowA("#32770", "Orvix Plus");
}

DWORD FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA fa;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &fa))
        return (DWORD)-1;
    return fa.nFileSizeLow;
}

// Texts of the message boxes a child logged ("caption<TAB>text<TAB>flags").
std::vector<std::string> BoxTexts(const std::string& log)
{
    std::vector<std::string> texts;
    for (const std::string& line : ts::ReadLines(log)) {
        size_t a = line.find('\t'), b = line.rfind('\t');
        texts.push_back(a == b ? line : line.substr(a + 1, b - a - 1));
    }
    return texts;
}

class ProgramFolder : public testing::Test {
protected:
    void SetUp() override
    {
        dir_ = ts::FreshTempDir("orvixplus-start");
        ASSERT_TRUE(CopyFileA((ts::ExeDir() + "OrvixPlus.exe").c_str(),
                              (dir_ + "OrvixPlus.exe").c_str(), FALSE));
        boxLog_ = dir_ + "boxes.log";
        ASSERT_EQ(NULL, FindMainWindow()) << "another OrvixPlus is running";
    }

    bool Start(ts::ChildProcess& child)
    {
        return child.Start("\"" + dir_ + "OrvixPlus.exe\"", {"ORVIX_MSGBOX_LOG=" + boxLog_}, dir_);
    }

    // Starts a copy and waits until its main dialog is up and has its
    // settings (the window exists before its initialisation is through).
    HWND StartFirst(ts::ChildProcess& child)
    {
        if (!Start(child))
            return NULL;
        std::string settings = dir_ + SETTINGS_FILE_NAME;
        ts::PumpUntil([&] { return FindMainWindow() != NULL && FileSize(settings) == 684; },
                      kStartTimeoutMs);
        return FindMainWindow();
    }

    void Close(ts::ChildProcess& child, HWND hwnd)
    {
        PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(0u, child.Wait(kStartTimeoutMs));
        if (child.Running())
            child.Kill();
    }

    std::string dir_, boxLog_;
};

}  // namespace

TEST_F(ProgramFolder, ASecondCopyShowsTheMessageAndEndsWhileTheFirstRuns)
{
    std::string settings = dir_ + SETTINGS_FILE_NAME;
    ts::ChildProcess first;
    HWND hwnd = StartFirst(first);
    ASSERT_TRUE(hwnd != NULL);
    EXPECT_EQ(684u, FileSize(settings));

    ts::ChildProcess second;
    ASSERT_TRUE(Start(second));
    // A refused start ends like any dialog program whose initialisation
    // returns FALSE: with ExitInstance's code, 0.
    EXPECT_EQ(0u, second.Wait(kStartTimeoutMs));
    EXPECT_EQ(std::vector<std::string>{"应用程序已经在运行!"}, BoxTexts(boxLog_));
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(IsWindow(hwnd));

    // The first copy writes its settings at exit even when the file has gone.
    ASSERT_TRUE(DeleteFileA(settings.c_str()));
    Close(first, hwnd);
    EXPECT_EQ(684u, FileSize(settings));

    ts::ChildProcess third;
    hwnd = StartFirst(third);
    ASSERT_TRUE(hwnd != NULL) << "a new start after the first copy ended failed";
    EXPECT_EQ(1u, ts::ReadLines(boxLog_).size());
    Close(third, hwnd);
}
