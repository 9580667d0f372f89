#include <gtest/gtest.h>
#include "TestSupport.h"
#include "Seams.h"

TEST(TestSupport, RecorderSeesBoxesAndAnswersInOrder)
{
    ts::MessageBoxRecorder rec;
    rec.Answer(IDCANCEL);
    EXPECT_EQ(IDCANCEL, FwMessageBox(NULL, "第一", "标题", MB_OKCANCEL));
    EXPECT_EQ(IDYES, FwMessageBox(NULL, "second", "cap", MB_YESNO));
    ASSERT_EQ(2u, rec.Calls().size());
    EXPECT_EQ(u8"第一", ts::Gbk(rec.Calls()[0].text));
    EXPECT_EQ("\xb1\xea\xcc\xe2", rec.Calls()[0].caption);  // GBK of 标题
    EXPECT_EQ((UINT)MB_YESNO, rec.Calls()[1].flags);
}

TEST(TestSupport, EnvironmentSeamLogsBoxesAndPowerRequests)
{
    std::string dir = ts::FreshTempDir("seam");
    std::string boxes = dir + "boxes.log", power = dir + "power.log";
    FwMessageBoxHook old = FwSetMessageBoxHook(NULL);
    SetEnvironmentVariableA("ORVIX_MSGBOX_LOG", boxes.c_str());
    SetEnvironmentVariableA("ORVIX_MSGBOX_ANSWER", "2");
    SetEnvironmentVariableA("ORVIX_POWER_LOG", power.c_str());
    EXPECT_EQ(IDCANCEL, FwMessageBox(NULL, "text", "cap", MB_OKCANCEL));
    EXPECT_TRUE(FwExitWindowsEx(EWX_REBOOT, 0));
    SetEnvironmentVariableA("ORVIX_MSGBOX_LOG", NULL);
    SetEnvironmentVariableA("ORVIX_MSGBOX_ANSWER", NULL);
    SetEnvironmentVariableA("ORVIX_POWER_LOG", NULL);
    FwSetMessageBoxHook(old);
    EXPECT_EQ(std::vector<std::string>{"cap\ttext\t0x1"}, ts::ReadLines(boxes));
    EXPECT_EQ(std::vector<std::string>{"ExitWindowsEx 0x2 0x0"}, ts::ReadLines(power));
}

TEST(TestSupport, WindowCaptureWritesABitmap)
{
    ts::WithTestWindow([](HWND hwnd) {
        EXPECT_TRUE(ts::PumpUntil([&] { return IsWindowVisible(hwnd) != 0; }, 2000));
        std::string path = ts::OutputDir() + "testsupport-window.bmp";
        ASSERT_TRUE(ts::CaptureToBmp(hwnd, path));
        WIN32_FILE_ATTRIBUTE_DATA fa;
        ASSERT_TRUE(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &fa));
        EXPECT_GT(fa.nFileSizeLow, 54u);
    });
}

TEST(TestSupport, ChildProcessReportsExitCode)
{
    ts::ChildProcess child;
    ASSERT_TRUE(child.Start("cmd.exe /c exit 7"));
    EXPECT_EQ(7u, child.Wait(20000));
}
