// Tests that run OrvixPlus.exe to record: a program folder with folders of
// its own for recordings and pictures, the settings file written before the
// start, and what the recordings and the size label show.
#pragma once
#include <stdio.h>
#include <string.h>
#include <algorithm>
#include <string>
#include <vector>
#include "SettingsRecord.h"
#include "TvProgramRun.h"

namespace tv {

class RecordRun : public ProgramRun {
protected:
    // The program folder under the tag, with rec\ and pic\ as the settings'
    // recording and picture folders.
    bool MakeRecordFolder(const char* tag)
    {
        if (!MakeFolder(tag))
            return false;
        recDir_ = dir_ + "rec\\";
        picDir_ = dir_ + "pic\\";
        CreateDirectoryA(recDir_.c_str(), NULL);
        CreateDirectoryA(picDir_.c_str(), NULL);
        MakeDefaultSettingsRecord(&settings_, dir_.c_str());
        lstrcpynA(settings_.szRecordFolder, recDir_.c_str(), sizeof(settings_.szRecordFolder));
        lstrcpynA(settings_.szPictureFolder, picDir_.c_str(), sizeof(settings_.szPictureFolder));
        return true;
    }

    // With the test's settings file in place.
    bool StartAndWait(std::vector<std::string> env = {})
    {
        FILE* f = fopen((dir_ + SETTINGS_FILE_NAME).c_str(), "wb");
        if (!f)
            return false;
        bool written = fwrite(&settings_, 1, sizeof(settings_), f) == sizeof(settings_);
        if (fclose(f) != 0 || !written)
            return false;
        return ProgramRun::StartAndWait(env);
    }

    // Plain files of the folder matching the pattern, sorted.
    std::vector<std::string> Files(const std::string& folder, const char* pattern)
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((folder + pattern).c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE)
            return names;
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(fd.cFileName);
        } while (FindNextFileA(h, &fd));
        FindClose(h);
        std::sort(names.begin(), names.end());
        return names;
    }

    // The file exists and grows within the time.
    bool Grows(const std::string& path, DWORD ms)
    {
        DWORD last = (DWORD)-1;
        return ts::PumpUntil([&] {
            DWORD size = FileSize(path);
            bool grew = size != (DWORD)-1 && last != (DWORD)-1 && size > last && last > 0;
            if (size != (DWORD)-1)
                last = size;
            return grew;
        }, ms);
    }

    // The picture in the video window changes: live video.
    bool PictureMoves()
    {
        POINT o = {0, 0};
        ClientToScreen(video_, &o);
        RECT picture = {o.x, o.y, o.x + 320, o.y + 240};
        std::vector<DWORD> first;
        bool lit = ts::PumpUntil([&] {
            first = ScreenPixels(picture);
            return std::count(first.begin(), first.end(), 0u) < (long)first.size() / 2;
        }, 10000);
        if (!lit)
            return false;
        return ts::PumpUntil([&] { return ScreenPixels(picture) != first; }, 5000);
    }

    // The main window's element at the skin's rectangle, NULL when none.
    HWND ElementAt(const RECT& want)
    {
        for (HWND c = GetWindow(main_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            RECT r;
            GetWindowRect(c, &r);
            MapWindowPoints(NULL, main_, (POINT*)&r, 2);
            if (EqualRect(&r, &want))
                return c;
        }
        return NULL;
    }

    // The window text of a label of the skin, found by its rectangle.
    std::string LabelText(const char* name)
    {
        HWND label = labels_.count(name) ? ElementAt(labels_[name]) : NULL;
        char text[128] = "";
        if (label)
            GetWindowTextA(label, text, sizeof(text));
        return text;
    }

    bool ButtonEnabled(const char* name)
    {
        HWND button = buttons_.count(name) ? ElementAt(buttons_[name].rect) : NULL;
        return button && IsWindowEnabled(button);
    }

    // Once the program has ended: the settings it saved name the program
    // folder for recordings and pictures.
    void ExpectProgramFolderSaved()
    {
        std::string saved = tv::ReadFileBytes(dir_ + SETTINGS_FILE_NAME);
        ASSERT_EQ(sizeof(SettingsRecord), saved.size());
        SettingsRecord rec;
        memcpy(&rec, saved.data(), sizeof(rec));
        EXPECT_STREQ(dir_.c_str(), rec.szRecordFolder);
        EXPECT_STREQ(dir_.c_str(), rec.szPictureFolder);
    }

    SettingsRecord settings_;
    std::string recDir_, picDir_;
};

}  // namespace tv
