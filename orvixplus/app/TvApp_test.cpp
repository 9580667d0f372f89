// OrvixPlus.exe itself, as separate processes in a program folder of their own.
#include <gtest/gtest.h>
#include "SettingsRecord.h"
#include "TestSupport.h"

namespace {

const DWORD kTimeoutMs = 30000;

HWND FindMainWindow() { return FindWindowA("#32770", "Orvix Plus"); }

DWORD FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA fa;
    return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &fa) ? fa.nFileSizeLow : (DWORD)-1;
}

class ProgramFolder : public testing::Test {
protected:
    void SetUp() override
    {
        dir_ = ts::FreshTempDir("orvixplus-start");
        boxLog_ = dir_ + "boxes.log";
        settings_ = dir_ + SETTINGS_FILE_NAME;
        ASSERT_TRUE(CopyFileA((ts::ExeDir() + "OrvixPlus.exe").c_str(), (dir_ + "OrvixPlus.exe").c_str(), FALSE));
        ASSERT_EQ(NULL, FindMainWindow()) << "another OrvixPlus is running";
    }

    bool Start(ts::ChildProcess& child)
    {
        return child.Start("\"" + dir_ + "OrvixPlus.exe\"", {"ORVIX_MSGBOX_LOG=" + boxLog_}, dir_);
    }

    // The window exists before its initialisation is through: wait for the
    // settings file too.
    HWND StartAndWait(ts::ChildProcess& child)
    {
        if (!Start(child))
            return NULL;
        ts::PumpUntil([&] { return FindMainWindow() && FileSize(settings_) == 684; }, kTimeoutMs);
        return FindMainWindow();
    }

    void Close(ts::ChildProcess& child, HWND hwnd)
    {
        PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(0u, child.Wait(kTimeoutMs));
        if (child.Running())
            child.Kill();
    }

    std::string dir_, boxLog_, settings_;
};

}  // namespace

TEST_F(ProgramFolder, ASecondCopyShowsTheMessageAndEndsWhileTheFirstRuns)
{
    ts::ChildProcess first, second, third;
    HWND hwnd = StartAndWait(first);
    ASSERT_TRUE(hwnd != NULL);

    ASSERT_TRUE(Start(second));
    // Refused like any dialog program whose initialisation returns FALSE.
    EXPECT_EQ(0u, second.Wait(kTimeoutMs));
    std::vector<std::string> boxes = ts::ReadLines(boxLog_);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_NE(std::string::npos, boxes[0].find("\t应用程序已经在运行!\t")) << ts::Gbk(boxes[0]);
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(IsWindow(hwnd));

    // The first copy writes its settings at exit even when the file has gone.
    ASSERT_TRUE(DeleteFileA(settings_.c_str()));
    Close(first, hwnd);
    EXPECT_EQ(684u, FileSize(settings_));

    hwnd = StartAndWait(third);
    ASSERT_TRUE(hwnd != NULL) << "a new start after the first copy ended failed";
    EXPECT_EQ(1u, ts::ReadLines(boxLog_).size());
    Close(third, hwnd);
}
