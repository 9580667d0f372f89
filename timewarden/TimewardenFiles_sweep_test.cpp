// Timewarden's stored files damaged every way the sweep knows, each read by
// Timewarden's own loaders: theme.ini with its images (the themed frame),
// remote.ini (the remote's ID) and schedulefile.she (the schedule store, its
// due check, wake time, conflicts and list rows). No case may crash or hang,
// and the other files of the folder stay as they were.
#include <gtest/gtest.h>
#include <string.h>
#include "FileSweep.h"
#include "RemoteId.h"
#include "ScheduleRows.h"
#include "ScheduleStore.h"
#include "ScheduleTestTime.h"
#include "StoredFile.h"
#include "SweepEdits.h"
#include "TestSupport.h"
#include "ThemeFrame.h"

namespace {

const char* const kThemeFiles[] = {"theme.ini", "top.bmp", "bottom.jpg", "left.gif", "right.bmp",
                                   "dialog.bmp", "close.bmp", "minimize.bmp"};

class CThemed : public CWnd {};

class TimewardenFilesSweep : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(NULL);
        dir_ = ts::FreshTempDir("twsweep");
        std::string from = ts::ExeDir() + "skin\\Sleekform\\";
        for (const char* name : kThemeFiles)
            ASSERT_TRUE(ts::WriteWholeFile(dir_ + name, ts::ReadWholeFile(from + name))) << name;
        theme_ = ts::ReadWholeFile(dir_ + "theme.ini");
        ASSERT_FALSE(theme_.empty());
        ASSERT_TRUE(wnd_.CreateEx(0, AfxRegisterWndClass(0), "themed",
                                  WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 200,
                                  120, NULL, NULL));
    }
    void TearDown() override { wnd_.DestroyWindow(); }

    // The dialogs' use of a theme: load, attach, measure, hit-test, paint.
    // Painting goes through the display: only every paintEvery-th case.
    std::string LoadTheme(bool* pLoaded = NULL, size_t index = 0, size_t paintEvery = 1)
    {
        CThemeFrame frame;
        BOOL loaded = frame.LoadTheme((dir_ + "theme.ini").c_str());
        if (pLoaded)
            *pLoaded = loaded != FALSE;
        if (loaded && frame.Attach(&wnd_)) {
            wnd_.SetWindowPos(NULL, 0, 0, 200, 120, SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
            wnd_.SendMessage(WM_SIZE, 0, MAKELPARAM(200, 120));
            MINMAXINFO mmi = {};
            wnd_.SendMessage(WM_GETMINMAXINFO, 0, (LPARAM)&mmi);
            for (int x : {1, 100, 195})
                wnd_.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(x, 3));
            if (index % paintEvery == 0)
                wnd_.SendMessage(WM_NCPAINT, 1);
            frame.HookWindow((HWND)NULL);
        }
        return "";
    }

    std::string dir_, theme_;
    CThemed wnd_;
};

}  // namespace

TEST_F(TimewardenFilesSweep, ThemeIni)
{
    bool loaded = false;
    LoadTheme(&loaded);
    ASSERT_TRUE(loaded) << "the generated theme does not load";

    ts::FileSweep sweep(theme_, 0x7E3u);
    sweep.Truncations().TextNumbers().DroppedLines();
    sweep.Add("missing border image", ts::Replaced(theme_, "left.gif", "none.gif"));
    sweep.Add("image name of 4000 characters",
              ts::Replaced(theme_, "top.bmp", std::string(4000, 'x') + "top.bmp"));
    sweep.Add("2147483647 buttons", ts::Replaced(theme_, "ButtonCount=2", "ButtonCount=2147483647"));
    sweep.RandomBytes(10000 - (int)sweep.Count());
    ASSERT_GE(sweep.Count(), 10000u);

    std::string others = ts::FolderSnapshot(dir_);
    std::vector<std::string> failures;
    {
        // The images and most cases come from memory, every 50th case from
        // the disk. The GIF and JPEG borders are served as BMPs of their size:
        // their decoder takes milliseconds, and the image sweep has them.
        ts::MemoryFiles memory;
        for (const char* name : kThemeFiles) {
            std::string bytes = ts::ReadWholeFile(dir_ + name);
            long w = 0, h = 0;
            if (bytes.compare(0, 2, "BM") != 0 && PictureHeaderSize(bytes, &w, &h))
                bytes = ts::MakeBmp24(w, h, [](int x, int y) { return RGB(x % 200, y % 200, 120); });
            memory.Set(dir_ + name, bytes);
        }
        ts::CaseFile file(memory, dir_ + "theme.ini", 50);
        // Each case waits milliseconds on the system (windows, pictures).
        sweep.Sample(40);
        failures = sweep.Run([&](const ts::SweepCase& c) {
            if (!file.Put(c))
                return std::string("theme.ini not written");
            return LoadTheme(NULL, c.index, 8);
        });
    }
    ts::WriteWholeFile(dir_ + "theme.ini", theme_);
    for (const std::string& f : failures)
        ADD_FAILURE() << f;
    EXPECT_EQ(others, ts::FolderSnapshot(dir_)) << "the theme's images changed";
    sweep.Report("theme.ini");

    // Border images of 0 x 0 and 65535 x 65535 pixels, and a missing one.
    std::string right = ts::ReadWholeFile(dir_ + "right.bmp");
    for (unsigned side : {0u, 65535u}) {
        ts::WriteWholeFile(dir_ + "right.bmp", ts::BmpClaiming(right, side));
        LoadTheme(&loaded);
        EXPECT_FALSE(loaded) << "a theme loaded with a right border of " << side << " pixels";
    }
    DeleteFileA((dir_ + "right.bmp").c_str());
    LoadTheme(&loaded);
    EXPECT_FALSE(loaded) << "a theme loaded without its right border";
}

TEST_F(TimewardenFilesSweep, RemoteIni)
{
    std::string valid = "[CODE]\r\n0=18\r\n1=171\r\n";
    std::string path = dir_ + "remote.ini";
    ts::FileSweep sweep(valid, 0x12Au);
    sweep.Truncations().TextNumbers().DroppedLines();
    sweep.Add("values of 3000 digits", "[CODE]\r\n0=" + std::string(3000, '9') + "\r\n1=" +
                                           std::string(3000, '7') + "\r\n");
    sweep.Add("no line ends", "[CODE]0=18 1=171");
    sweep.Add("binary", std::string("\xFF\xFE[\0C\0O\0D\0E\0]\0", 16));
    sweep.RandomBytes(10000 - (int)sweep.Count());
    ASSERT_GE(sweep.Count(), 10000u);
    std::string others = ts::FolderSnapshot(dir_);
    std::vector<std::string> failures;
    {
        ts::MemoryFiles memory;
        ts::CaseFile file(memory, path, 25);
        failures = sweep.Run([&](const ts::SweepCase& c) -> std::string {
            if (!file.Put(c))
                return "remote.ini not written";
            BYTE id0 = 0xEE, id1 = 0xEE;
            ReadRemoteIni(path.c_str(), &id0, &id1);
            if (c.bytes == valid && (id0 != 18 || id1 != 171))
                return "the valid file read wrongly";
            return "";
        });
    }
    for (const std::string& f : failures)
        ADD_FAILURE() << f;
    DeleteFileA(path.c_str());
    EXPECT_EQ(others, ts::FolderSnapshot(dir_));
    BYTE id0 = 1, id1 = 1;
    ReadRemoteIni(path.c_str(), &id0, &id1);
    EXPECT_EQ(0, id0);
    EXPECT_EQ(0, id1);
    sweep.Report("remote.ini");
}

// The schedule as Timewarden reads it: its store, its due check, the wake
// time, the Add dialog's conflict test and the rows of its list.
TEST_F(TimewardenFilesSweep, ScheduleFile)
{
    time_t base = LocalTime(2026, 5, 4, 7, 30);
    ScheduleRecord records[4] = {Entry(base, 600, SCHEDULE_REPEAT_ONCE, 1),
                                 Entry(base + 3600, 60, SCHEDULE_REPEAT_DAILY),
                                 Entry(base - 86400 * 3, 1800, 2), Entry(base + 120, 3, 5)};
    std::string valid((const char*)records, sizeof(records));
    std::vector<size_t> fields;
    for (size_t at = 0; at < valid.size(); at += 4)
        fields.push_back(at);
    ts::FileSweep sweep(valid, 0x7A5u);
    sweep.Truncations().Int32Fields(fields);
    sweep.RandomBytes(3000 - (int)sweep.Count());

    std::string path = dir_ + "schedulefile.she";
    g_pScheduleList = new CScheduleList;
    g_strScheduleFile = path.c_str();
    FixedClock clock(base - 30);
    std::string others = ts::FolderSnapshot(dir_);
    ts::MemoryFiles memory;
    ts::CaseFile file(memory, path, 25);
    std::vector<std::string> failures = sweep.Run([&](const ts::SweepCase& c) -> std::string {
        if (!file.Put(c))
            return "schedule not written";
        LoadScheduleFile();
        if ((size_t)g_pScheduleList->GetCount() != c.bytes.size() / sizeof(ScheduleRecord))
            return "not every whole record loaded";
        FindDueSchedule();
        time_t next = FindNextScheduleTime();
        if (next != 0 && (next < base - 30 || next > base - 30 + kWakeHorizon))
            return "a wake time outside the next 30 days";
        WakeDueTime(next);
        for (int i = 0; i < g_pScheduleList->GetCount(); i++) {
            const ScheduleRecord& r = g_pScheduleList->GetAt(i)->m_record;
            HasScheduleConflict(r);
            NextStartOf(r, base);
            for (int column = 0; column < 8; column++)
                ScheduleRowText(r, column);
            ScheduleRowKey(r);
        }
        return "";
    });
    delete g_pScheduleList;
    g_pScheduleList = NULL;
    for (const std::string& f : failures)
        ADD_FAILURE() << f;
    sweep.Report("schedulefile.she (Timewarden)");
}
