#include "editors/configuration.h"

#include "app/install_app.h"
#include "editors/editor_util.h"
#include "editors/product_record.h"
#include "platform/registry.h"
#include "resources/resource.h"
#include "tests/support/dialog_answerer.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

namespace {

using editor_util::kEditorView;

const char kThirdParty[] = "SOFTWARE\\Corel\\WordPerfect\\8\\Third Party";
const char kShellFolders[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::string WindowsFolder()
{
    char folder[MAX_PATH] = {};
    GetWindowsDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\";
}

bool FileThere(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Ini(const char* section, const char* key, const char* file)
{
    char value[512] = {};
    GetPrivateProfileStringA(section, key, "<none>", value, sizeof value, file);
    return value;
}

// An installation in a scratch folder, with the files the editor steps use,
// on a machine from which every trace of the editors is removed before and
// after each test.
class EditorSetup : public ::testing::Test {
protected:
    EditorSetup()
    {
        clear();
        for (const char* name : {"Config\\ovca40us.dot", "Config\\ovca40es.dot", "Config\\ovca4097.dot",
                                 "Config\\ovca4000.dot", "ovca40.exe", "wvcommca.dat"})
            m_install.write(name, name);
        auto zero = std::make_unique<CDestination>();
        zero->path.set(m_install.path());
        app.destinations[kDestInstallFolder] = std::move(zero);
    }
    ~EditorSetup() override { clear(); }

    static void clear()
    {
        RemoveRegistryTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Corel", kEditorView);
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            RemoveRegistryTree(root, "SOFTWARE\\Microsoft\\Office\\8.0", kEditorView);
            RemoveRegistryTree(root, "SOFTWARE\\Microsoft\\Office\\9.0", kEditorView);
            RemoveRegistryTree(root, kProductKey, kEditorView);
        }
        RemoveRegistryTree(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Word\\7.0");
        for (const char* ini : {"wpwp.ini", "wtapi.ini", "winword6.ini"}) {
            WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini);
            DeleteFileA((WindowsFolder() + ini).c_str());
        }
        RemoveTree(WindowsFolder() + "Application Data");
        RemoveTree(AppData() + "\\Microsoft\\Word");
    }

    static std::string AppData()
    {
        CRegKey folders;
        folders.open(HKEY_CURRENT_USER, kShellFolders);
        return folders.readString("AppData").value_or("");
    }

    static void value(HKEY root, const std::string& subKey, const char* name, const std::string& text)
    {
        CRegKey key;
        ASSERT_TRUE(key.create(root, subKey, kEditorView));
        ASSERT_TRUE(key.writeString(name, text));
    }

    static std::string read(HKEY root, const std::string& subKey, const char* name)
    {
        CRegKey key;
        if (!key.open(root, subKey, kEditorView))
            return "<no key>";
        return key.readString(name).value_or("<none>");
    }

    CInstallApp app;
    CScratchFolder m_install;   // the installation folder
    CScratchFolder m_machine;   // the editors' own folders
};

} // namespace

TEST_F(EditorSetup, WordPerfectEntriesAndTheExtensionSlot)
{
    const std::string folder = m_install.path();
    ConfigureWordPerfect5(app);
    EXPECT_EQ(Ini("MacroMenuList", "Ortavel 40 CA", "wpwp.ini"), folder + "Config\\ovca40.wcm");
    ConfigureWordPerfect6(app);
    EXPECT_EQ(Ini("Writing Tools", "Ortavel40CA", "wtapi.ini"), "");
    EXPECT_EQ(Ini("Ortavel40CA", "DescriptiveName", "wtapi.ini"), "Corrector Gramatical de Catal\xE0");
    EXPECT_EQ(Ini("Ortavel40CA", "MenuName", "wtapi.ini"), "&Ortavel 40 CA");
    EXPECT_EQ(Ini("Ortavel40CA", "BitmapPath", "wtapi.ini"), folder + "config\\ovca40.bmp");
    EXPECT_EQ(Ini("Ortavel40CA", "PathExe", "wtapi.ini"), folder + "ovca40.exe");

    // Two slots taken by other libraries (one is ours in another case).
    const std::string library = folder + "Wp8\\WpDll4ca.dll";
    std::string other = library;
    CharUpperBuffA(&other[0], static_cast<DWORD>(other.size()));
    value(HKEY_LOCAL_MACHINE, kThirdParty, "DLL1", "C:\\Corel\\grammatik.dll");
    value(HKEY_LOCAL_MACHINE, kThirdParty, "DLL2", other);
    value(HKEY_LOCAL_MACHINE, kThirdParty, "DLL4", "C:\\Corel\\later.dll");
    ConfigureWordPerfect8(app, nullptr);
    EXPECT_EQ(app.editors[kEditorWP8].choice, "DLL3");
    EXPECT_EQ(read(HKEY_LOCAL_MACHINE, kThirdParty, "DLL3"), library);
    // Listed already (a second installation): nothing written, the slot it
    // holds is remembered for the uninstaller.
    ConfigureWordPerfect8(app, nullptr);
    EXPECT_EQ(app.editors[kEditorWP8].choice, "DLL3");
    EXPECT_EQ(read(HKEY_LOCAL_MACHINE, kThirdParty, "DLL5"), "<none>");

    // The uninstaller frees the slot the record names, and no other.
    value(HKEY_CURRENT_USER, std::string(kProductKey) + "\\Wp8", "TPH", "DLL3");
    UndoWordPerfect8();
    EXPECT_EQ(read(HKEY_LOCAL_MACHINE, kThirdParty, "DLL3"), "<none>");
    EXPECT_EQ(read(HKEY_LOCAL_MACHINE, kThirdParty, "DLL4"), "C:\\Corel\\later.dll");

    // Every slot taken: the box, and nothing written.
    for (int n = 1; n <= 15; ++n)
        value(HKEY_LOCAL_MACHINE, kThirdParty, ("DLL" + std::to_string(n)).c_str(), "x" + std::to_string(n));
    CDialogAnswerer answerer({CDialogAnswerer::Press(IDOK)});
    ConfigureWordPerfect8(app, nullptr);
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].caption, "Instal\xB7laci\xF3 de Ortavel");
    EXPECT_NE(answerer.seen()[0].allText().find("Hi ha moltes aplicacions"), std::string::npos);
    EXPECT_EQ(app.editors[kEditorWP8].choice, "");
    EXPECT_EQ(read(HKEY_LOCAL_MACHINE, kThirdParty, "DLL16"), "<none>");
}

TEST_F(EditorSetup, WordTemplatesGoWhereEachVersionStartsFrom)
{
    // Ticked by hand on a machine where these Words left no trace: nothing
    // is made at the root of the drive, nothing written into their settings.
    ConfigureWord6(app);
    ConfigureWord7(app);
    ConfigureWord97(app);
    for (const char* stray : {"\\Inicio", "\\Startup"})
        EXPECT_FALSE(FileThere(stray)) << stray;
    EXPECT_EQ(Ini("Microsoft Word", "STARTUP-PATH", "winword6.ini"), "<none>");
    EXPECT_EQ(read(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Office\\8.0\\Word\\Options", "STARTUP-PATH"), "<no key>");

    // Word 6.0, English (a setup folder), no startup folder recorded yet.
    std::string word6 = m_machine / "WINWORD6";
    m_machine.write("WINWORD6\\SETUP\\setup.inf", "");
    WritePrivateProfileStringA("Microsoft Word", "PROGRAMDIR", word6.c_str(), "winword6.ini");
    ConfigureWord6(app);
    EXPECT_EQ(Ini("Microsoft Word", "STARTUP-PATH", "winword6.ini"), word6 + "\\Startup");
    EXPECT_TRUE(FileThere(word6 + "\\Startup\\ovca40us.dot"));
    // A recorded startup folder and no setup folder: the Spanish template there.
    RemoveTree(word6 + "\\SETUP");
    std::string recorded = m_machine / "Plantilles";
    CreateDirectoryA(recorded.c_str(), nullptr);
    WritePrivateProfileStringA("Microsoft Word", "STARTUP-PATH", recorded.c_str(), "winword6.ini");
    ConfigureWord6(app);
    EXPECT_TRUE(FileThere(recorded + "\\ovca40es.dot"));
    UndoWord6();
    EXPECT_FALSE(FileThere(recorded + "\\ovca40es.dot"));

    // Word 7.0 with a Startup subfolder.
    app.editors[kEditorWord7].path = m_machine / "MSOFFICE\\WINWORD";
    m_machine.write("MSOFFICE\\WINWORD\\Startup\\normal.dot", "");
    ConfigureWord7(app);
    EXPECT_TRUE(FileThere(app.editors[kEditorWord7].path + "\\Startup\\ovca40us.dot"));

    // Word 97 without a startup folder: one made under Office's root and recorded.
    std::string office = m_machine / "Office97";
    value(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Office\\8.0\\InstallRoot", "", office);
    ConfigureWord97(app);
    std::string startup97 = office + "\\Startup";
    EXPECT_EQ(read(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Office\\8.0\\Word\\Options", "STARTUP-PATH"), startup97);
    EXPECT_TRUE(FileThere(startup97 + "\\ovca4097.dot"));
    UndoWord97();
    EXPECT_FALSE(FileThere(startup97 + "\\ovca4097.dot"));
}

TEST_F(EditorSetup, Word2000TriesEveryStartupFolderAndRecordsTheLast)
{
    // Nothing of Word 2000 anywhere: the box, and an empty folder in the record.
    {
        CDialogAnswerer answerer({CDialogAnswerer::Press(IDOK)});
        ConfigureWord2000(app, nullptr);
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.seen()[0].caption, "Configuraci\xF3 de Word 2000");
        EXPECT_NE(answerer.seen()[0].allText().find("No s'ha pogut configurar"), std::string::npos);
    }
    EXPECT_EQ(app.editors[kEditorWord2000].choice, "");
    // Only the user's STARTUP folder: a copy there, no box, nothing recorded,
    // and no folder made at the root of the drive.
    std::string roaming = AppData() + "\\Microsoft\\Word\\STARTUP";
    CreateDirectoryA((AppData() + "\\Microsoft").c_str(), nullptr);
    CreateDirectoryA((AppData() + "\\Microsoft\\Word").c_str(), nullptr);
    CreateDirectoryA(roaming.c_str(), nullptr);
    {
        CDialogAnswerer answerer({});
        ConfigureWord2000(app, nullptr);
        EXPECT_TRUE(answerer.seen().empty());
    }
    EXPECT_TRUE(FileThere(roaming + "\\ovca4000.dot"));
    EXPECT_EQ(app.editors[kEditorWord2000].choice, "");
    EXPECT_FALSE(FileThere("\\Startup"));

    // An install root: its Startup folder is made, copied to and recorded,
    // and the uninstaller finds it through the record.
    std::string office = m_machine / "Office2000\\Office";
    value(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Office\\9.0\\Word\\InstallRoot", "Path", office);
    ConfigureWord2000(app, nullptr);
    EXPECT_EQ(app.editors[kEditorWord2000].choice, office + "\\Startup");
    EXPECT_TRUE(FileThere(office + "\\Startup\\ovca4000.dot"));
    app.editors[kEditorWord2000].present = true;
    WriteProductRecord(app);
    EXPECT_EQ(read(HKEY_LOCAL_MACHINE, std::string(kProductKey) + "\\WORD9", "Path"), office + "\\Startup");
    UndoWord2000();
    EXPECT_FALSE(FileThere(office + "\\Startup\\ovca4000.dot"));
}

TEST_F(EditorSetup, TheCheckerProgramGoesWhenNoEditorCallsIt)
{
    // WordPerfect 6.x needs it.
    app.editors[kEditorWP6].present = true;
    app.editors[kEditorWord97].present = true;
    value(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Office\\8.0\\InstallRoot", "", m_machine / "Office97");
    ConfigureEditors(app, nullptr);
    EXPECT_TRUE(FileThere(m_install / "ovca40.exe"));
    EXPECT_TRUE(FileThere(m_machine / "Office97\\Startup\\ovca4097.dot"));
    EXPECT_EQ(Ini("Ortavel40CA", "DDEServerName", "wtapi.ini"), "WPOV");

    // Word 97 alone calls the checker's libraries itself.
    app.editors[kEditorWP6].present = false;
    ConfigureEditors(app, nullptr);
    EXPECT_FALSE(FileThere(m_install / "ovca40.exe"));
    EXPECT_FALSE(FileThere(m_install / "wvcommca.dat"));
    EXPECT_TRUE(FileThere(m_install / "Config\\ovca4097.dot"));
}
