#include "ui/folder_page.h"

#include "app/install_app.h"
#include "copy/install_folder.h"
#include "resources/resource.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

TEST(InstallFolder, OnlyAFullFolderWindowsKeepsAsTyped)
{
    struct {
        const char* text;
        CFolderCheck check;
    } cases[] = {
        {"C:\\OVCA40\\", CFolderCheck::ok},
        {"d:\\Programes\\Ortavel 4.0", CFolderCheck::ok},
        {"C:\\", CFolderCheck::ok},
        {"OVCA40", CFolderCheck::notFull},
        {"\\OVCA40\\", CFolderCheck::notFull},
        {"C:OVCA40", CFolderCheck::notFull},
        {"\\\\server\\share\\OVCA40", CFolderCheck::notFull},
        {"C:\\OVTS \\", CFolderCheck::notFull},
        {"C:\\OVTS.\\", CFolderCheck::notFull},
        {"C:\\A\\..\\B", CFolderCheck::notFull},
        {"C:\\A\\\\B", CFolderCheck::notFull},
        {"C:\\A?B", CFolderCheck::notFull},
        {"C:\\con\\", CFolderCheck::notFull},
        {"C:\\LPT1.txt\\", CFolderCheck::notFull},
        {"C:\\console\\", CFolderCheck::ok},
        {"", CFolderCheck::notFull},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckFolderText(c.text), c.check) << c.text;
    EXPECT_EQ(CheckFolderText("C:\\" + std::string(250, 'a') + "\\"), CFolderCheck::tooLong);
    EXPECT_EQ(CheckFolderText("C:\\" + std::string(200, 'a') + "\\"), CFolderCheck::ok);
}

// Choosing the folder makes nothing on the disk, and every folder below it
// follows the last choice; a choice too long for the folders below it, or
// one that can't be made, is refused before anything is made.
TEST(InstallFolder, EveryDestinationFollowsTheLastChoiceAndNothingIsMade)
{
    CScratchFolder scratch;
    CInstallApp app;
    app.CreateContainers();
    auto add = [&](std::int16_t id, const std::string& name, std::int16_t parent) {
        auto d = std::make_unique<CDestination>();
        d->id = id;
        d->name = name;
        d->parent = parent;
        app.destinations[id] = std::move(d);
    };
    add(0, "OVCA40", -1);
    add(3, "Dades", 0);
    add(4, "Regles", 3);

    EXPECT_EQ(CFolderPage::Choose(app, scratch / "OV1\\"), 0u);
    EXPECT_EQ(app.destinations[4]->path.text(), scratch / "OV1\\Dades\\Regles\\");
    EXPECT_EQ(CFolderPage::Choose(app, scratch / "OV2\\Deep\\"), 0u);
    EXPECT_EQ(app.destinations[3]->path.text(), scratch / "OV2\\Deep\\Dades\\");
    EXPECT_EQ(app.destinations[4]->path.text(), scratch / "OV2\\Deep\\Dades\\Regles\\");
    EXPECT_EQ(GetFileAttributesA((scratch / "OV1").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA((scratch / "OV2").c_str()), INVALID_FILE_ATTRIBUTES);

    // Short enough itself, too long for "Dades\Regles\" below it.
    std::size_t room = 240 - (scratch / "").size();
    std::string deep = scratch / (std::string(room - 1, 'a') + "\\");
    ASSERT_EQ(CheckFolderText(deep), CFolderCheck::ok);
    EXPECT_EQ(CFolderPage::Choose(app, deep), static_cast<UINT>(IDS_FOLDER_TOO_LONG));
    EXPECT_EQ(GetFileAttributesA(deep.c_str()), INVALID_FILE_ATTRIBUTES);
    scratch.write("file", "x");
    EXPECT_EQ(CFolderPage::Choose(app, scratch / "file\\OV\\"), static_cast<UINT>(IDS_FOLDER_NOT_CREATED));
    EXPECT_EQ(CFolderPage::Choose(app, "OVCA40"), static_cast<UINT>(IDS_FOLDER_NOT_FULL));
}
