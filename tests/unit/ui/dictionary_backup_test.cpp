#include "ui/dictionary_backup.h"

#include "resources/resource.h"
#include "tests/support/dialog_answerer.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

namespace {

bool exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

struct BackupScene {
    BackupScene()
    {
        folder = scratch / "OVCA40\\";
        floppy = scratch / "A\\";
        scratch.write("OVCA40\\ovsalca4.dbc", "ignore");
        scratch.write("OVCA40\\ovusuca4.dbc", "mine");
        scratch.write("OVCA40\\ManualEs.gid", "x");
        scratch.write("OVCA40\\problemes.ftg", "x");
        scratch.write("A\\old.txt", "x");
    }
    bool dictionariesThere() const
    {
        return exists(folder + "ovsalca4.dbc") && exists(folder + "ovusuca4.dbc");
    }
    bool indexesGone() const
    {
        return !exists(folder + "ManualEs.gid") && !exists(folder + "problemes.ftg");
    }
    CScratchFolder scratch;
    std::string folder;
    std::string floppy;
};

} // namespace

TEST(DictionaryBackup, CopyThenDeleteAndCancel)
{
    BackupScene scene;
    {
        CDialogAnswerer answerer({CDialogAnswerer::Press(IDCANCEL)});
        EXPECT_FALSE(CDictionaryBackup(scene.folder, scene.floppy).Run(nullptr));
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.seen()[0].caption, "Desinstal\xB7lant Ortavel Catal\xE0");
        EXPECT_TRUE(scene.dictionariesThere());
    }
    CDialogAnswerer answerer({CDialogAnswerer::Press(IDOK)});
    EXPECT_TRUE(CDictionaryBackup(scene.folder, scene.floppy).Run(nullptr));
    EXPECT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(ReadWholeFile(scene.floppy + "ovsalca4.dbc"), "ignore");
    EXPECT_EQ(ReadWholeFile(scene.floppy + "ovusuca4.dbc"), "mine");
    EXPECT_FALSE(exists(scene.folder + "ovsalca4.dbc"));
    EXPECT_FALSE(exists(scene.folder + "ovusuca4.dbc"));
    EXPECT_TRUE(scene.indexesGone());
}

// The second copy fails; "No" leaves the user in the dialog with nothing
// deleted but the help indexes, and "Continuar" then goes on without a copy.
TEST(DictionaryBackup, DecliningTheRetryKeepsTheDialogOpen)
{
    BackupScene scene;
    // A folder in the way of the second copy.
    CreateDirectoryA((scene.floppy + "ovusuca4.dbc").c_str(), nullptr);
    bool openAfterNo = false, keptAfterNo = false;
    CDialogAnswerer answerer({
        CDialogAnswerer::Sequence({
            CDialogAnswerer::Press(IDOK),
            [&](HWND dialog) {
                openAfterNo = IsWindowVisible(dialog) != FALSE;
                keptAfterNo = scene.dictionariesThere();
            },
            CDialogAnswerer::Press(IDC_BACKUP_CONTINUE),
        }),
        CDialogAnswerer::Press(IDNO),
    });
    EXPECT_TRUE(CDictionaryBackup(scene.folder, scene.floppy).Run(nullptr));

    ASSERT_EQ(answerer.seen().size(), 2u);
    EXPECT_EQ(answerer.seen()[1].caption, "Desinstal\xB7lant Ortavel CA");
    EXPECT_NE(answerer.seen()[1].allText().find("Voleu repetir l'operaci\xF3?"), std::string::npos);
    EXPECT_TRUE(openAfterNo);
    EXPECT_TRUE(keptAfterNo);
    EXPECT_EQ(ReadWholeFile(scene.floppy + "ovsalca4.dbc"), "ignore");
    EXPECT_FALSE(exists(scene.folder + "ovsalca4.dbc"));
    EXPECT_FALSE(exists(scene.folder + "ovusuca4.dbc"));
    EXPECT_TRUE(scene.indexesGone());
}
