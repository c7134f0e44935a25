#include "ui/dictionary_backup.h"
#include "ui/uninstall_pages.h"

#include "app/install_app.h"
#include "system/shared_dll_count.h"
#include "tests/support/dialog_answerer.h"
#include "tests/support/scratch.h"
#include "tests/unit/system/registry_scratch.h"

#include <gtest/gtest.h>

namespace {

bool exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void addDestination(CInstallApp& app, std::int16_t id, const std::string& folder)
{
    auto destination = std::make_unique<CDestination>();
    destination->id = id;
    destination->path.set(folder);
    app.destinations[id] = std::move(destination);
}

void addGroup(CInstallApp& app, const std::string& name)
{
    auto group = std::make_unique<CFileGroup>();
    group->name = name;
    app.groups[name] = std::move(group);
}

} // namespace

// Shared files follow their count, missing files are passed over, and a
// folder that still holds a user's file stays with everything above it.
TEST(UninstallFiles, DeletesTheLoggedFilesAndEmptyFolders)
{
    CScratchFolder scratch;
    CScratchRegistryPlace registry;
    const std::string app0 = scratch / "OVCA40\\";
    const std::string data = app0 + "DADES\\";
    const std::string rules = data + "REGLES\\";
    const std::string user = scratch / "USER\\";
    const std::string system = scratch / "SYS\\";
    scratch.write("OVCA40\\ovca40.exe", "x");
    scratch.write("OVCA40\\DADES\\verbs.dic", "x");
    scratch.write("OVCA40\\DADES\\REGLES\\pronoms.rgl", "x");
    scratch.write("USER\\ovca40.tag", "x");
    scratch.write("USER\\mine.txt", "kept");
    scratch.write("SYS\\ovctl32.dll", "x");
    scratch.write("SYS\\common32.dll", "x");
    SetFileAttributesA((app0 + "ovca40.exe").c_str(), FILE_ATTRIBUTE_READONLY);
    scratch.write("ovca40.log",
                  "[Programa]\r\novca40.exe=0|1|0\r\ngone.dll=0|1|0\r\novctl32.dll=-3|1|0\r\n"
                  "common32.dll=-3|1|1\r\n..\\USER\\mine.txt=0|1|0\r\n"
                  "[Diccionaris]\r\nverbs.dic=1|1|0\r\npronoms.rgl=2|1|0\r\novca40.tag=3|1|0\r\n");

    CInstallApp app;
    app.CreateContainers();
    app.profilePath.set(scratch / "ovca40.log");
    addDestination(app, 0, app0);
    addDestination(app, 1, data);
    addDestination(app, 2, rules);
    addDestination(app, 3, user);
    app.destinations[kDestSystem]->path.set(system);
    addGroup(app, "Programa");
    addGroup(app, "Diccionaris");
    // Counted once by us; the other file by another product as well.
    CSharedDllCount(system + "ovctl32.dll", registry.place()).increment();
    {
        CSharedDllCount other(system + "common32.dll", registry.place());
        other.increment();
        other.increment();
    }

    std::vector<std::string> shown;
    DeleteLoggedFiles(app, [&](const std::string& path) { shown.push_back(path); },
                      registry.place());
    RemoveEmptyFolders(app);

    EXPECT_EQ(shown.size(), 7u);
    EXPECT_FALSE(exists(app0 + "ovca40.exe"));  // read-only, still deleted
    EXPECT_FALSE(exists(system + "ovctl32.dll"));
    EXPECT_FALSE(ReadRawValue(registry.place().root, registry.place().sharedDllsKey(),
                              system + "ovctl32.dll").present);
    EXPECT_TRUE(exists(system + "common32.dll"));
    EXPECT_EQ(CSharedDllCount(system + "common32.dll", registry.place()).count(), 1u);
    EXPECT_FALSE(exists(app0));
    EXPECT_TRUE(exists(user + "mine.txt"));  // a record reaching out of its folder is refused
    EXPECT_FALSE(exists(user + "ovca40.tag"));
}

namespace {

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
