// OrvixPlus.exe itself, as separate processes in a program folder of their own.
#include <gtest/gtest.h>
#include "SettingsRecord.h"
#include "TestSupport.h"
#include "TvProgramFolder.h"

namespace {

const DWORD kTimeoutMs = 30000;

using tv::FileSize;
using tv::FindMainWindow;

class ProgramFolder : public testing::Test {
protected:
    void SetUp() override
    {
        dir_ = tv::MakeProgramFolder("orvixplus-start");
        ASSERT_FALSE(dir_.empty());
        boxLog_ = dir_ + "boxes.log";
        settings_ = dir_ + SETTINGS_FILE_NAME;
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
    // (The copies may report their preview too; only this box counts here.)
    auto refusals = [&] {
        int n = 0;
        for (const std::string& box : ts::ReadLines(boxLog_))
            n += box.find("\t应用程序已经在运行!\t") != std::string::npos ? 1 : 0;
        return n;
    };
    EXPECT_EQ(1, refusals());
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(IsWindow(hwnd));

    // The first copy writes its settings at exit even when the file has gone.
    ASSERT_TRUE(DeleteFileA(settings_.c_str()));
    Close(first, hwnd);
    EXPECT_EQ(684u, FileSize(settings_));

    hwnd = StartAndWait(third);
    ASSERT_TRUE(hwnd != NULL) << "a new start after the first copy ended failed";
    EXPECT_EQ(1, refusals());
    Close(third, hwnd);
}
