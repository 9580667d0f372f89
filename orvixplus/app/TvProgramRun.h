// Tests that run OrvixPlus.exe as a child process: the scratch program
// folder, the skin's buttons and labels, starting the program and driving it
// by the messages a user's clicks, keys and remote give it.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <functional>
#include <math.h>
#include <stdlib.h>
#include <map>
#include <string>
#include <vector>
#include "CardCtl.h"
#include "CardState.h"
#include "TvProgramFolder.h"

namespace tv {

// A skin button: the command id the shaped dialog gives it and where it is.
struct SkinButton {
    int id;
    RECT rect;
};

class ProgramRun : public testing::Test {
protected:
    void SetUp() override
    {
        CardCtl_Reset();
        ASSERT_EQ(NULL, FindMainWindow()) << "another OrvixPlus is running";
    }

    void TearDown() override
    {
        if (child_.Running())
            child_.Kill();
        CardCtl_Reset();
    }

    // A fresh program folder under the tag, its skin read unless left out.
    bool MakeFolder(const char* tag, bool withSkin = true)
    {
        dir_ = MakeProgramFolder(tag, withSkin);
        if (dir_.empty())
            return false;
        boxLog_ = dir_ + "boxes.log";
        if (withSkin)
            ReadSkin();
        return true;
    }

    // Button ids and rectangles as the shaped dialog numbers them, and the
    // timer labels' rectangles.
    void ReadSkin()
    {
        std::string ini = dir_ + "skins\\elegance\\skin.ini";
        buttons_.clear();
        labels_.clear();
        for (int n = 1; n < 100; ++n) {
            char key[16], value[256], name[64];
            snprintf(key, sizeof(key), "Button%d", n);
            if (!GetPrivateProfileStringA("ShapeButtonInfo", key, "", value, sizeof(value), ini.c_str()))
                break;
            SkinButton b = {4999 + n, {}};
            if (sscanf(value, "%63[^,],%ld,%ld,%ld,%ld", name, &b.rect.left, &b.rect.top,
                       &b.rect.right, &b.rect.bottom) == 5)
                buttons_[name] = b;
        }
        for (int n = 1; n < 20; ++n) {
            char key[16], value[256], name[64];
            snprintf(key, sizeof(key), "Timer%d", n);
            if (!GetPrivateProfileStringA("TimerInfo", key, "", value, sizeof(value), ini.c_str()))
                break;
            RECT r;
            if (sscanf(value, "%63[^,],%ld,%ld,%ld,%ld", name, &r.left, &r.top, &r.right, &r.bottom) == 5)
                labels_[name] = r;
        }
    }

    // Starts the program in its folder with the message-box log and env.
    bool Start(std::vector<std::string> env = {})
    {
        env.push_back("ORVIX_MSGBOX_LOG=" + boxLog_);
        return child_.Start("\"" + dir_ + "OrvixPlus.exe\"", env, dir_);
    }

    // Up when both windows show and the splash has gone: the start-up tune,
    // the start's last step, is through.
    bool StartAndWait(std::vector<std::string> env = {}, DWORD ms = 30000)
    {
        if (!Start(env))
            return false;
        ts::PumpUntil([&] {
            main_ = FindMainWindow();
            video_ = FindVideoWindow();
            return main_ && video_ && IsWindowVisible(main_) && IsWindowVisible(video_) &&
                   !FindSplash(child_.Pid());
        }, ms);
        if (!main_ || !IsWindowVisible(main_))
            return false;
        // Let the first messages of the shown dialog through.
        Sync();
        return true;
    }

    // Waits until the program has handled everything posted before, and
    // what those messages posted in turn.
    void Sync()
    {
        DWORD_PTR r;
        SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &r);
        ts::PumpFor(50);
        SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &r);
    }

    void Click(const char* name)
    {
        ASSERT_TRUE(buttons_.count(name)) << name;
        PostMessageA(main_, WM_COMMAND, MAKEWPARAM(buttons_[name].id, BN_CLICKED), 0);
        Sync();
    }

    void Key(HWND target, UINT vk)
    {
        PostMessageA(target, WM_KEYDOWN, vk, 1);
        PostMessageA(target, WM_KEYUP, vk, 0xC0000001);
        Sync();
    }

    // A starting recording or graph can hold the program for seconds.
    void Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0)
    {
        DWORD_PTR r;
        SendMessageTimeoutA(main_, msg, wp, lp, SMTO_NORMAL, 15000, &r);
        Sync();
    }

    // Timewarden's remote message: a key code, or a whole channel number.
    void Remote(int code) { Send(WM_USER + 109, 0, code); }
    void RemoteNumber(int number) { Send(WM_USER + 109, 1, number); }

    std::vector<std::string> Boxes() { return ts::ReadLines(boxLog_); }
    int BoxesWith(const char* text)
    {
        std::vector<std::string> b = Boxes();
        return (int)std::count_if(b.begin(), b.end(), [&](const std::string& s) {
            return s.find(text) != std::string::npos;
        });
    }

    std::string dir_, boxLog_;
    std::map<std::string, SkinButton> buttons_;
    std::map<std::string, RECT> labels_;
    ts::ChildProcess child_;
    HWND main_ = NULL, video_ = NULL;
};

// Whether the start-up trace (ORVIX_STEP_TRACE) has a line for the step.
inline bool Traced(const std::string& trace, const char* step)
{
    for (const std::string& line : ts::ReadLines(trace))
        if (line.find(step) != std::string::npos)
            return true;
    return false;
}

// The frequencies the tuner was programmed to, each once in the order the
// card's log first shows it, and when the test first saw it. The log keeps
// its last lines only: polled every few milliseconds, none is missed.
class TunerWatch {
public:
    void Poll()
    {
        for (const std::string& line : CardLogLines()) {
            size_t at = line.find("(tuner ");
            if (line.compare(0, 13, "I2CWrite C0: ") != 0 || at == std::string::npos)
                continue;
            double mhz = atof(line.c_str() + at + 7);
            if (std::none_of(mhz_.begin(), mhz_.end(), [&](double m) { return fabs(m - mhz) < 0.01; })) {
                mhz_.push_back(mhz);
                seenAt_.push_back(GetTickCount());
            }
        }
    }
    bool PollUntil(const std::function<bool()>& cond, DWORD ms)
    {
        return ts::PumpUntil([&] {
            Poll();
            return cond();
        }, ms);
    }
    const std::vector<double>& Mhz() const { return mhz_; }
    const std::vector<DWORD>& SeenAt() const { return seenAt_; }
    size_t Count() const { return mhz_.size(); }

private:
    std::vector<double> mhz_;
    std::vector<DWORD> seenAt_;
};

}  // namespace tv
