#include "copy/disk_prompt.h"
#include "copy/folder_picker.h"

#include "app/install_app.h"
#include "tests/support/dialog_answerer.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

using Action = CDialogAnswerer::Action;

TEST(DiskPrompt, SiblingFolderRule)
{
    EXPECT_EQ(SiblingDiskFolder("\\DIST\\DISK01\\", 3), "\\DIST\\DISK03\\");
    EXPECT_EQ(SiblingDiskFolder("\\DIST\\DISK01", 12), "\\DIST\\DISK12\\");
    EXPECT_EQ(SiblingDiskFolder("\\CD\\D7x\\", 2), "\\CD\\D02\\");  // a digit, then a non-digit
    EXPECT_EQ(SiblingDiskFolder("\\DIST\\DISK00\\", 2), "");
    EXPECT_EQ(SiblingDiskFolder("\\DIST\\DISKAB\\", 2), "");
    EXPECT_EQ(SiblingDiskFolder("\\", 2), "");
    EXPECT_EQ(SiblingDiskFolder("\\01\\", 2), "\\02\\");
    EXPECT_EQ(SiblingDiskFolder("", 2), "");
}

class DiskPromptRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        app.CreateContainers();
        app.disks.resize(8);
        app.disks[3].label = "Disc de diccionaris";
    }
    CScratchFolder scratch;
    CInstallApp app;
};

TEST_F(DiskPromptRun, SiblingDiskFoldersNeedNoPrompt)
{
    scratch.write("DISK01\\A.TXT", "a");
    scratch.write("DISK03\\C.TXT", "c");
    app.sourceFolder.set(scratch / "DISK01\\");
    CDialogAnswerer answerer({});
    EXPECT_TRUE(EnsureSourceFile(app, "A.TXT", 1));
    EXPECT_TRUE(EnsureSourceFile(app, "C.TXT", 3));
    EXPECT_EQ(app.sourceFolder.folderText(), scratch / "DISK03\\");
    EXPECT_TRUE(answerer.seen().empty());
}

TEST_F(DiskPromptRun, PromptNamesTheDiskAndWaitsForTheFile)
{
    scratch.write("DISKAB\\x", "");
    scratch.write("elsewhere\\C.TXT", "c");
    app.sourceFolder.set(scratch / "DISKAB\\");
    std::string folder = scratch / "elsewhere";  // no closing backslash
    bool stayedOpen = false;
    Action retryThenAnswer = [&](HWND dialog) {
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);  // still missing: stays open
        stayedOpen = IsWindow(dialog) != FALSE;
        SetDlgItemTextA(dialog, IDC_FOLDER_EDIT, folder.c_str());
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    };
    CDialogAnswerer answerer({retryThenAnswer});
    EXPECT_TRUE(EnsureSourceFile(app, "C.TXT", 3));
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(answerer.seen().size(), 1u);
    const CSeenDialog& seen = answerer.seen()[0];
    std::string drive = app.sourceFolder.drive();
    EXPECT_EQ(seen.text(IDC_PROMPT_LINE),
              "Inseriu el disc 'Disc de diccionaris' a la unitat " + drive + ":");
    EXPECT_NE(seen.text(IDC_PROMPT_EXPLANATION).find("'" + (scratch / "DISKAB\\C.TXT") + "'"),
              std::string::npos);
    EXPECT_EQ(seen.text(IDC_FOLDER_EDIT), scratch / "DISKAB\\");
    // The confirmed folder keeps its backslash, so names append to it.
    EXPECT_EQ(app.sourceFolder.folderText(), scratch / "elsewhere\\");
    EXPECT_TRUE(CPath(app.sourceFolder.folderText() + "C.TXT").exists());
}

TEST_F(DiskPromptRun, CancelAndTheNumberOfAnUnlabelledDisk)
{
    app.sourceFolder.set(scratch / "DISK00\\");
    CDialogAnswerer answerer({CDialogAnswerer::Press(IDCANCEL), CDialogAnswerer::Close()});
    EXPECT_FALSE(EnsureSourceFile(app, "X.TXT", 7));
    EXPECT_FALSE(EnsureSourceFile(app, "X.TXT", 40));  // no record for disk 40
    ASSERT_EQ(answerer.seen().size(), 2u);
    std::string drive = app.sourceFolder.drive();
    EXPECT_EQ(answerer.seen()[0].text(IDC_PROMPT_LINE),
              "Inseriu el disc 7 a la unitat " + drive + ":");
    EXPECT_EQ(answerer.seen()[1].text(IDC_PROMPT_LINE),
              "Inseriu el disc 40 a la unitat " + drive + ":");
    EXPECT_EQ(app.sourceFolder.folderText(), scratch / "DISK00\\");
}

TEST(FolderPicker, ClimbStopsAtTheRoot)
{
    auto exists = [](const std::string& f) { return f == "C:\\" || f == "C:\\A\\"; };
    EXPECT_EQ(NearestExistingFolder("C:\\A\\B\\C\\", exists), "C:\\A\\");
    EXPECT_EQ(NearestExistingFolder("C:\\A", exists), "C:\\A\\");
    EXPECT_EQ(NearestExistingFolder("C:\\Z\\Y", exists), "C:\\");
    EXPECT_EQ(NearestExistingFolder("Q:\\NO\\SUCH\\", exists), "Q:\\");
    EXPECT_EQ(NearestExistingFolder("Q:\\", exists), "Q:\\");
}

TEST(FolderPicker, EmptyFolderOnlyTellsTheUser)
{
    std::string folder;
    CDialogAnswerer answerer({CDialogAnswerer::Press(IDOK)});
    EXPECT_FALSE(RunPicker(nullptr, folder, true));
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_NE(answerer.seen()[0].allText().find("L'adre\xE7" "a no pot estar en blanc"), std::string::npos);
    EXPECT_EQ(folder, "");
}

TEST(FolderPicker, AddressFollowsTheUserAndOkReturnsIt)
{
    CScratchFolder scratch;
    CreateDirectoryA((scratch / "sub").c_str(), nullptr);
    std::string folder = scratch / "sub\\new\\";
    bool editVisible = false, textVisible = true;
    std::string shown;
    Action type = [&](HWND dialog) {
        // The dialog itself may not be on screen yet: look at the controls' own style.
        editVisible = (GetWindowLongA(GetDlgItem(dialog, IDC_PICKER_ADDRESS_EDIT), GWL_STYLE) & WS_VISIBLE) != 0;
        textVisible = (GetWindowLongA(GetDlgItem(dialog, IDC_PICKER_ADDRESS_TEXT), GWL_STYLE) & WS_VISIBLE) != 0;
        char text[MAX_PATH] = {};
        GetDlgItemTextA(dialog, IDC_PICKER_ADDRESS_EDIT, text, sizeof text);
        shown = text;
        SetDlgItemTextA(dialog, IDC_PICKER_ADDRESS_EDIT, "D:\\ALTRE\\");
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    };
    CDialogAnswerer answerer({type});
    EXPECT_TRUE(RunPicker(nullptr, folder, true));
    EXPECT_TRUE(editVisible);
    EXPECT_FALSE(textVisible);
    EXPECT_EQ(shown, scratch / "sub\\new\\");
    EXPECT_EQ(folder, "D:\\ALTRE\\");
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].caption, "Canviar Carpeta");

    // An emptied address is refused and the picker stays; Cancel keeps the folder.
    bool stayed = false;
    Action empty = [&](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_PICKER_ADDRESS_EDIT, "");
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        stayed = IsWindow(dialog) != FALSE;
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    };
    CDialogAnswerer second({empty, CDialogAnswerer::Press(IDOK)});
    EXPECT_FALSE(RunPicker(nullptr, folder, true));
    EXPECT_TRUE(stayed);
    EXPECT_EQ(folder, "D:\\ALTRE\\");
}
