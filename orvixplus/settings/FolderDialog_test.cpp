// The folder chooser's tests of typed folders, the usable-folder test, and
// the paths the recording and tuning pages make from a chosen one.
#include <gtest/gtest.h>
#include <io.h>
#include <string>
#include <vector>
#include "FolderDialog.h"
#include "RecordPage.h"
#include "Seams.h"
#include "TestSupport.h"
#include "TuningPage.h"

namespace {

struct Box {
    std::string text, caption;
    UINT flags;
};
std::vector<Box> g_boxes;
int g_answer = IDYES;

int RecordBox(HWND, LPCSTR text, LPCSTR caption, UINT flags)
{
    g_boxes.push_back({text, caption ? caption : "", flags});
    return g_answer;
}

class FolderTest : public testing::Test {
protected:
    void SetUp() override
    {
        dir_ = ts::FreshTempDir("folders");
        g_boxes.clear();
        g_answer = IDYES;
        old_ = FwSetMessageBoxHook(RecordBox);
    }
    void TearDown() override { FwSetMessageBoxHook(old_); }
    static bool Exists(const std::string& p) { return _access(p.c_str(), 0) == 0; }
    std::string dir_;
    FwMessageBoxHook old_ = NULL;
};

TEST_F(FolderTest, TypedPathsThatNameNoFolderAreRefusedWithMessageOne)
{
    for (const char* p : {"C:", "1:\\x", "a\\b.", "?", "C:\\x\\", "C:\\?", "C:\\a.\\b", "C:\\ a", "C:\\a|b", ""}) {
        g_boxes.clear();
        EXPECT_EQ(1, CFolderDialog::CheckFolder(p, NULL)) << p;
        ASSERT_EQ(1u, g_boxes.size()) << p;
        EXPECT_EQ("The folder:\n\n" + std::string(p) + "\n\nis invalid. Please reenter.", g_boxes[0].text);
        EXPECT_EQ((UINT)(MB_OK | MB_ICONEXCLAMATION), g_boxes[0].flags);
    }
    EXPECT_EQ(0, CFolderDialog::CreateFolderTree("C:\\", TRUE));
    EXPECT_EQ(0, CFolderDialog::CreateFolderTree("c:\\a b\\c.d", TRUE));
}

TEST_F(FolderTest, YesCreatesEveryLevelAndNoCreatesNothing)
{
    std::string top = dir_ + "new1", path = top + "\\new2\\new3";
    g_answer = IDNO;
    EXPECT_EQ(-1, CFolderDialog::CheckFolder(path.c_str(), NULL));
    ASSERT_EQ(1u, g_boxes.size());
    EXPECT_EQ(std::string("该文件夹:\n\n") + path + std::string("\n\n文件夹不存在，是否创建文件夹！"), g_boxes[0].text);
    EXPECT_EQ((UINT)(MB_YESNO | MB_ICONQUESTION), g_boxes[0].flags);
    EXPECT_FALSE(Exists(top));

    g_answer = IDYES;
    EXPECT_EQ(0, CFolderDialog::CheckFolder(path.c_str(), NULL));
    EXPECT_TRUE(Exists(top));
    EXPECT_TRUE(Exists(top + "\\new2"));
    EXPECT_TRUE(Exists(path));
    // An existing folder asks nothing.
    g_boxes.clear();
    EXPECT_EQ(0, CFolderDialog::CheckFolder(path.c_str(), NULL));
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(FolderTest, ADoubleByteCharacterEndingInBackslashIsOneName)
{
    // "乗" is 0x81 0x5C in GBK: the trail byte is no separator.
    std::string path = dir_ + "x" + std::string("乗");
    EXPECT_EQ(0, CFolderDialog::CreateFolderTree(path.c_str(), TRUE));
    EXPECT_EQ(1, CFolderDialog::CreateFolderTree((path + "\\").c_str(), TRUE));
    EXPECT_TRUE(CFolderDialog::IsValidFolderName(std::string("乗").c_str(), 2));
    EXPECT_FALSE(CFolderDialog::IsValidFolderName("a.", 2));
    EXPECT_FALSE(CFolderDialog::IsValidFolderName("\ta", 2));
}

TEST_F(FolderTest, PathsOfMoreThan259CharactersAreRefusedNotCut)
{
    std::string base = "C:\\";
    std::string fits = base + std::string(259 - base.size(), 'a');
    std::string over = fits + "a";
    EXPECT_EQ(0, CFolderDialog::CreateFolderTree(fits.c_str(), TRUE));
    EXPECT_EQ(1, CFolderDialog::CreateFolderTree(over.c_str(), TRUE));

    char field[FOLDER_PATH_SIZE] = "C:\\kept\\";
    EXPECT_FALSE(StoreFolder(field, over.c_str()));
    EXPECT_STREQ("C:\\kept\\", field);
    EXPECT_TRUE(StoreFolder(field, fits.c_str()));
    EXPECT_EQ(fits, field);
}

TEST_F(FolderTest, UsableFoldersExistAreVisibleAndOnAFixedDrive)
{
    std::string plain = dir_ + "plain", hidden = dir_ + "hidden";
    ASSERT_TRUE(CreateDirectoryA(plain.c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryA(hidden.c_str(), NULL));
    ASSERT_TRUE(SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(IsUsableFolder((plain + "\\").c_str(), FALSE, FALSE));
    EXPECT_TRUE(IsUsableFolder((dir_ + "PLAIN\\").c_str(), FALSE, FALSE));
    EXPECT_FALSE(IsUsableFolder((hidden + "\\").c_str(), FALSE, FALSE));
    EXPECT_TRUE(IsUsableFolder((hidden + "\\").c_str(), TRUE, FALSE));
    EXPECT_FALSE(IsUsableFolder((dir_ + "missing\\").c_str(), TRUE, TRUE));
    EXPECT_TRUE(IsUsableFolder("C:\\", FALSE, FALSE));
    EXPECT_TRUE(IsDriveRoot("c:\\"));
    EXPECT_FALSE(IsUsableFolder("nothing", TRUE, TRUE));
    EXPECT_FALSE(IsUsableFolder("", TRUE, TRUE));

    // What a browse stores: the folder and its backslash, or the program
    // folder for one that is not usable or does not fit.
    EXPECT_EQ(plain + "\\", std::string(CRecordPage::FolderToStore(plain.c_str(), "C:\\prog\\")));
    EXPECT_EQ("C:\\", std::string(CRecordPage::FolderToStore("C:\\", "C:\\prog\\")));
    EXPECT_EQ("C:\\prog\\", std::string(CRecordPage::FolderToStore(hidden.c_str(), "C:\\prog\\")));
    std::string longest = "C:\\" + std::string(256, 'b');   // 259 characters, 260 with the backslash
    EXPECT_EQ("C:\\prog\\", std::string(CRecordPage::FolderToStore(longest.c_str(), "C:\\prog\\")));
}

TEST(ExportPathTest, TheFileNamesExtensionBecomesChl)
{
    EXPECT_EQ("x.chl", std::string(ExportPathFor("x.txt")));
    EXPECT_EQ("x.chl", std::string(ExportPathFor("x")));
    EXPECT_EQ("a.b\\x.chl", std::string(ExportPathFor("a.b\\x")));
    EXPECT_EQ("C:\\d\\x.y.chl", std::string(ExportPathFor("C:\\d\\x.y.z")));
    EXPECT_EQ("C:\\d\\x.chl", std::string(ExportPathFor("C:\\d\\x.chl")));
}

}  // namespace
