// Recording and picture folders that lie on a CD-ROM: OrvixPlus.exe writes
// into its own folder instead and tells the settings window, whose folder
// labels then show that folder. Runs in a prefix copy of its own where a
// drive is a CD-ROM (RecordCdrom_test.sh names it in ORVIX_TEST_CDROM).
#include <gtest/gtest.h>
#include <windows.h>
#include <set>
#include "CardCtl.h"
#include "RecordProgramRun.h"

namespace {

const BOOL g_ownCard = SetEnvironmentVariableA("ORVIX_CARD", "orvixplus_cdrom_test");

const UINT kFolderLabelMessage = WM_USER + 988;
const int kRecordTab = 5002, kRecordPage = 5006, kPictureLabel = 4210, kRecordLabel = 4213;

// A window of the id anywhere under the parent.
HWND FindDescendant(HWND parent, int id)
{
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (GetDlgCtrlID(c) == id)
            return c;
        if (HWND found = FindDescendant(c, id))
            return found;
    }
    return NULL;
}

class CdromFolders : public tv::RecordRun {
protected:
    void SetUp() override
    {
        char root[8] = "";
        if (!GetEnvironmentVariableA("ORVIX_TEST_CDROM", root, sizeof(root)))
            GTEST_SKIP() << "needs a prefix with a CD-ROM drive (RecordCdrom_test.sh)";
        RecordRun::SetUp();
        ASSERT_EQ((UINT)DRIVE_CDROM, GetDriveTypeA(root)) << root << " is no CD-ROM here";
        ASSERT_TRUE(MakeRecordFolder("orvixplus-cdrom"));
        // Folders that exist: only the kind of drive refuses them.
        discRec_ = std::string(root) + "rec\\";
        discPic_ = std::string(root) + "pic\\";
        ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(discRec_.c_str()));
        ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(discPic_.c_str()));
        lstrcpynA(settings_.szRecordFolder, discRec_.c_str(), sizeof(settings_.szRecordFolder));
        lstrcpynA(settings_.szPictureFolder, discPic_.c_str(), sizeof(settings_.szPictureFolder));
    }

    // The settings window on its recording page, above every other window.
    HWND ShowRecordPage()
    {
        Click("PROPERTY_PAGE");
        HWND prop = FindWindowA("Orvix Plus Prop", "属性页");
        if (!prop || !IsWindowVisible(prop))
            return NULL;
        HWND tab = FindDescendant(prop, kRecordTab);
        if (!tab)
            return NULL;
        PostMessageA(tab, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageA(tab, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        Sync();
        SetWindowPos(prop, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        Sync();
        HWND page = FindDescendant(prop, kRecordPage);
        return page && IsWindowVisible(page) ? prop : NULL;
    }

    std::vector<DWORD> LabelPixels(HWND prop, int id)
    {
        RECT r = {};
        if (HWND label = FindDescendant(prop, id))
            GetWindowRect(label, &r);
        return tv::ScreenPixels(r);
    }

    std::string discRec_, discPic_;
};

}  // namespace

TEST_F(CdromFolders, ARecordingAndASnapshotGoToTheProgramFolderAndTheSettingsWindowShowsIt)
{
    ASSERT_TRUE(StartAndWait({"ORVIX_DISK_FREE_MB=*=1000"}));
    Remote(20);
    ASSERT_TRUE(Grows(dir_ + "cap00.mpg", 10000)) << "no recording in the program folder";
    Remote(20);
    Remote(30);
    EXPECT_EQ(std::vector<std::string>{"cap00.bmp"}, Files(dir_, "*.bmp"));
    EXPECT_TRUE(Files(discRec_, "*").empty());
    EXPECT_TRUE(Files(discPic_, "*").empty());
    EXPECT_TRUE(Boxes().empty()) << ts::Gbk(Boxes()[0]);

    // The labels were set from the disc's folders at start-up, and showing
    // the window refreshes only folders that fail the check now. So a label
    // that already shows what the settings hold got the program's notice:
    // the same notice, sent again here, changes none of its pixels.
    HWND prop = ShowRecordPage();
    ASSERT_TRUE(prop != NULL) << "no recording page";
    // The page paints when its thread has nothing else to do, which a sent
    // message does not wait for: the label counts once it shows more than
    // its background, and the same again after the notice.
    for (int id : {kRecordLabel, kPictureLabel}) {
        std::vector<DWORD> shown;
        bool painted = ts::PumpUntil([&] {
            shown = LabelPixels(prop, id);
            return std::set<DWORD>(shown.begin(), shown.end()).size() > 2;
        }, 3000);
        ASSERT_FALSE(shown.empty()) << id;
        EXPECT_TRUE(painted) << "label " << id << " is blank";
        PostMessageA(prop, kFolderLabelMessage, id == kRecordLabel ? 1 : 0, 0);
        Sync();
        EXPECT_TRUE(ts::PumpUntil([&] { return shown == LabelPixels(prop, id); }, 2000))
            << "label " << id << " did not show the program folder";
    }

    Remote(18);
    EXPECT_EQ(0u, child_.Wait(10000));
    ExpectProgramFolderSaved();
}
