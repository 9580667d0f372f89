// The settings window of OrvixPlus.exe itself, driven from outside as the
// keyboard and the mouse drive its controls: the country change with the
// arrow key, the picture levels and the standard as the card's capture
// filter sees them, and every page's settings in OrvixPlusData.dat at exit.
#include <gtest/gtest.h>
#include <windows.h>
#include <math.h>
#include <string>
#include <vector>
#include "Bandatlas.h"
#include "CardCtl.h"
#include "CardState.h"
#include "ChannelRecord.h"
#include "SettingsRecord.h"
#include "TvProgramRun.h"

namespace {

const BOOL g_ownCard = SetEnvironmentVariableA("ORVIX_CARD", "orvixplus_settingsprog_test");
const UINT kTrackMoving = WM_USER + 9425, kTrackMoved = WM_USER + 9426;

bool TunedTo(double mhz)
{
    return fabs(CardCtl_TunedFrequency() - mhz) < 0.07;
}

// The card's log lines that begin with the prefix, oldest first.
std::vector<std::string> LogLines(const char* prefix)
{
    std::vector<std::string> out;
    for (const std::string& line : CardLogLines())
        if (line.compare(0, strlen(prefix), prefix) == 0)
            out.push_back(line);
    return out;
}

// Where Bandatlas's country sits in the country combo: the combo lists the
// library's non-empty names in slot order.
int ComboIndexOf(const char* country)
{
    int index = 0;
    for (int slot = 0; slot < 204; ++slot) {
        const char* name = GetCountryName(slot);
        if (!name || !*name)
            continue;
        if (strcmp(name, country) == 0)
            return index;
        ++index;
    }
    return -1;
}

class SettingsProgram : public tv::ProgramRun {
protected:
    void SetUp() override
    {
        ProgramRun::SetUp();
        ASSERT_TRUE(MakeFolder("orvixplus-settings"));
        MakeDefaultSettingsRecord(&initial_, dir_.c_str());
        FILE* f = fopen((dir_ + SETTINGS_FILE_NAME).c_str(), "wb");
        ASSERT_TRUE(f != NULL);
        ASSERT_EQ(1u, fwrite(&initial_, sizeof initial_, 1, f));
        fclose(f);
        ASSERT_TRUE(StartAndWait());
        Click("PROPERTY_PAGE");
        prop_ = FindWindowA("Orvix Plus Prop", "属性页");
        ASSERT_TRUE(prop_ != NULL);
        ASSERT_TRUE(IsWindowVisible(prop_));
        panel_ = GetDlgItem(prop_, 8000);
        ASSERT_TRUE(panel_ != NULL);
    }

    HWND Page(int id) { return GetDlgItem(panel_, id); }
    // A control of a page, or of a group box on it.
    HWND Control(int page, int id, int group = 0)
    {
        HWND parent = group ? GetDlgItem(Page(page), group) : Page(page);
        return GetDlgItem(parent, id);
    }
    void Tab(int id)
    {
        HWND tab = GetDlgItem(panel_, id);
        PostMessageA(tab, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageA(tab, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        Sync();
    }
    // The press the check buttons and toggles act on.
    void Press(HWND control)
    {
        ASSERT_TRUE(control != NULL);
        PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        Sync();
    }
    int Selection(HWND combo)
    {
        DWORD_PTR r = (DWORD_PTR)-1;
        SendMessageTimeoutA(combo, CB_GETCURSEL, 0, 0, SMTO_NORMAL, 5000, &r);
        return (int)r;
    }
    // Arrow keys on a closed drop-down list until it shows the item.
    void KeyTo(HWND combo, int index)
    {
        ASSERT_TRUE(combo != NULL);
        // A sent message is handled ahead of the posted keys: each key is
        // waited for by its effect before the next one goes.
        for (int guard = 0; guard < 300; ++guard) {
            int now = Selection(combo);
            if (now == index)
                break;
            Key(combo, now < index ? VK_DOWN : VK_UP);
            if (!ts::PumpUntil([&] { return Selection(combo) != now; }, 5000))
                break;
            Sync();
        }
        EXPECT_EQ(index, Selection(combo));
    }
    void Track(UINT message, int id, int position)
    {
        DWORD_PTR r;
        SendMessageTimeoutA(Page(5005), message, id, position, SMTO_NORMAL, 5000, &r);
        Sync();
    }
    void Drag(int id, int position)
    {
        Track(kTrackMoving, id, position);
        Track(kTrackMoved, id, position);
    }
    // The video page's defaults button: it shares its id with the level label.
    HWND DefaultsButton()
    {
        for (HWND h = GetWindow(Page(5005), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
            RECT rc, page;
            GetWindowRect(h, &rc);
            GetWindowRect(Page(5005), &page);
            if (GetDlgCtrlID(h) == 4183 && rc.top - page.top >= 200)
                return h;
        }
        return NULL;
    }
    SettingsRecord SavedSettings()
    {
        SettingsRecord rec = {};
        std::string data = tv::ReadFileBytes(dir_ + SETTINGS_FILE_NAME);
        EXPECT_EQ(sizeof rec, data.size());
        if (data.size() == sizeof rec)
            memcpy(&rec, data.data(), sizeof rec);
        return rec;
    }

    // The close saves the settings; a graph going down can take seconds
    // under the suite's load.
    void Close()
    {
        Sync();
        PostMessageA(main_, WM_SYSCOMMAND, SC_CLOSE, 0);
        DWORD code = child_.Wait(20000);
        ASSERT_EQ(0u, code) << (Boxes().empty() ? std::string() : ts::Gbk(Boxes()[0]));
    }

    SettingsRecord initial_;
    HWND prop_ = NULL, panel_ = NULL;
};

}  // namespace

TEST_F(SettingsProgram, GermanyByTheArrowKeySetsItsStandardAndPlansAndTunesChannelOne)
{
    HWND country = Control(5004, 4101);
    int china = ComboIndexOf("China"), germany = ComboIndexOf("Germany");
    ASSERT_GE(germany, 0);
    EXPECT_EQ(china, Selection(country));
    CardCtl_ClearLog();
    KeyTo(country, germany);
    // Each country passed on the way was applied in turn; Germany's is last.
    std::vector<std::string> formats = LogLines("put_TVFormat");
    ASSERT_FALSE(formats.empty());
    EXPECT_EQ("put_TVFormat 00000010", formats.back()) << "PAL_B";
    const CountryFrequencyTable* plan = getFrequencyTableFromCountryCode(49);
    ASSERT_TRUE(plan != NULL);
    // The saved list is cable: its first channel.
    EXPECT_TRUE(ts::PumpUntil([&] { return TunedTo(plan->pCableFrequencies[0] * 0.000001); }, 3000))
        << CardCtl_TunedFrequency();

    Close();
    EXPECT_EQ(49, SavedSettings().nCountryCode);
    // Both lists are the new country's plans, numbered from 1.
    std::string chl = tv::ReadFileBytes(dir_ + "OrvixPlusChannels.chl");
    ASSERT_GE(chl.size(), sizeof(ChannelFileHeader));
    ChannelFileHeader h;
    memcpy(&h, chl.data(), sizeof h);
    int air = plan->nAirLast - plan->nAirFirst + 1, cable = plan->nCableLast - plan->nCableFirst + 1;
    ASSERT_EQ(air, h.nCountAir);
    ASSERT_EQ(cable, h.nCountCable);
    ASSERT_EQ(sizeof h + sizeof(ChannelRecord) * (size_t)(air + cable), chl.size());
    for (int i = 0; i < air + cable; ++i) {
        ChannelRecord r;
        memcpy(&r, chl.data() + sizeof h + i * sizeof r, sizeof r);
        bool isAir = i < air;
        int count = isAir ? air : cable;
        const int* hz = isAir ? plan->pAirFrequencies : plan->pCableFrequencies;
        ASSERT_GE(r.nNumber, 1);
        ASSERT_LE(r.nNumber, count);
        EXPECT_NEAR(hz[r.nNumber - 1] * 0.000001, r.fFrequency, 0.001) << i;
    }
    EXPECT_EQ(0, CardCtl_LiveObjects());
}

TEST_F(SettingsProgram, TheLevelsReachTheCardWhileDraggedAndEveryPageIsSavedAtExit)
{
    Tab(5001);
    CardCtl_ClearLog();
    // Brightness, hue and sharpness at 80, 60 and 80: the card's ranges
    // (0..255, -128..127, -8..7) scaled, before the release.
    Track(kTrackMoving, 4167, 80);
    Track(kTrackMoving, 4176, 60);
    Track(kTrackMoving, 4169, 80);
    std::vector<std::string> sets = LogLines("VideoProcAmp Set");
    std::vector<std::string> expected = {"VideoProcAmp Set 0 204", "VideoProcAmp Set 2 25",
                                         "VideoProcAmp Set 4 4"};
    EXPECT_EQ(expected, sets);
    // The defaults, in their order: saturation, sharpness, hue, contrast,
    // brightness.
    CardCtl_ClearLog();
    HWND defaults = DefaultsButton();
    ASSERT_TRUE(defaults != NULL);
    DWORD_PTR r;
    SendMessageTimeoutA(defaults, BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &r);
    Sync();
    expected = {"VideoProcAmp Set 3 63", "VideoProcAmp Set 4 -1", "VideoProcAmp Set 2 -4",
                "VideoProcAmp Set 1 67", "VideoProcAmp Set 0 127"};
    EXPECT_EQ(expected, LogLines("VideoProcAmp Set"));
    Drag(4167, 80);
    KeyTo(Control(5005, 4178), 0);              // 320x240
    Press(Control(5005, 4180, 4179));           // 16:9

    Tab(5002);
    Press(Control(5006, 4386, 4192));           // VCD-NTSC
    KeyTo(Control(5006, 4208), 2);              // 高等质量

    Tab(5003);
    KeyTo(Control(5007, 4227, 4224), 2);        // 7秒
    KeyTo(Control(5007, 4228, 4224), 3);        // 5x5
    ASSERT_TRUE(GetWindowLongPtrA(video_, GWL_EXSTYLE) & WS_EX_TOPMOST);
    for (int id = 4229; id <= 4233; ++id)
        Press(Control(5007, id, 4416));
    // "总在最上面" off: the video window is an ordinary one at once.
    EXPECT_TRUE(ts::PumpUntil([&] { return !(GetWindowLongPtrA(video_, GWL_EXSTYLE) & WS_EX_TOPMOST); }, 3000));

    Tab(5008);
    KeyTo(Control(5009, 4132), 1);              // 频率点
    Press(Control(5009, 4129, 4128));           // the antenna band

    Close();
    SettingsRecord saved = SavedSettings();
    EXPECT_EQ(!initial_.nVideoDesktop, saved.nVideoDesktop);
    EXPECT_EQ(!initial_.nOsd, saved.nOsd);
    EXPECT_EQ(!initial_.nAlwaysOnTop, saved.nAlwaysOnTop);
    EXPECT_EQ(!initial_.nDeinterlace, saved.nDeinterlace);
    EXPECT_EQ(!initial_.nDeletePreviewFile, saved.nDeletePreviewFile);
    EXPECT_EQ(86, saved.nCountryCode);
    EXPECT_EQ(1, saved.nInputSource);
    EXPECT_EQ(80, saved.nBrightness);
    EXPECT_EQ(53, saved.nContrast);
    EXPECT_EQ(49, saved.nHue);
    EXPECT_EQ(50, saved.nSaturation);
    EXPECT_EQ(50, saved.nSharpness);
    EXPECT_EQ(2, saved.nRecordFormat);
    EXPECT_EQ(3, saved.nRecordQuality);
    EXPECT_EQ(3, saved.nWallDwell);
    EXPECT_EQ(4, saved.nWallGrid);
    EXPECT_EQ(2, saved.nChannelSource);
    EXPECT_EQ(1, saved.nVideoSize);
    EXPECT_EQ(1, saved.nTunerList);
    EXPECT_EQ(1, saved.nWindowAspect);
    EXPECT_STREQ(initial_.szRecordFolder, saved.szRecordFolder);
    EXPECT_STREQ(initial_.szPictureFolder, saved.szPictureFolder);
    EXPECT_STREQ(initial_.szAudioLine, saved.szAudioLine);
    EXPECT_STREQ(initial_.szVideoDevice, saved.szVideoDevice);
}
