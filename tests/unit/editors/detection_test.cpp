#include "editors/detection.h"

#include "app/install_app.h"
#include "editors/editor_util.h"
#include "platform/registry.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using editor_util::kEditorView;

const char kClasses[] = "SOFTWARE\\Classes\\";
const char kServer[] = "\\protocol\\StdFileEditing\\server";

std::string WindowsFile(const char* name)
{
    char folder[MAX_PATH] = {};
    GetWindowsDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\" + name;
}

// Every place detection looks, emptied before and after each test.
class EditorMachine : public ::testing::Test {
protected:
    EditorMachine() { clear(); }
    ~EditorMachine() override { clear(); }

    static void clear()
    {
        for (const char* cls : {"WP8Doc", "WPWin6.0", "WPWin6.1", "AmiProDocument"})
            RemoveRegistryTree(HKEY_LOCAL_MACHINE, std::string(kClasses) + cls, kEditorView);
        RemoveRegistryTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Office\\8.0", kEditorView);
        RemoveRegistryTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Office\\9.0", kEditorView);
        RemoveRegistryTree(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Word\\7.0");
        for (const char* ini : {"wpc.ini", "winword6.ini"}) {
            WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini);
            DeleteFileA(WindowsFile(ini).c_str());
        }
    }

    static void server(const char* cls, const std::string& path)
    {
        CRegKey key;
        ASSERT_TRUE(key.create(HKEY_LOCAL_MACHINE, std::string(kClasses) + cls + kServer, kEditorView));
        ASSERT_TRUE(key.writeString("", path));
    }

    static void value(HKEY root, const char* subKey, const char* name, const std::string& text)
    {
        CRegKey key;
        ASSERT_TRUE(key.create(root, subKey, kEditorView));
        ASSERT_TRUE(key.writeString(name, text));
    }

    // A program file (or, ending in "\", a folder) inside the scratch folder;
    // its full path.
    std::string make(const std::string& relative)
    {
        if (relative.back() == '\\') {
            m_disk.write(relative + "keep", "");
            return m_disk / relative.substr(0, relative.size() - 1);
        }
        m_disk.write(relative, "MZ");
        return m_disk / relative;
    }

    std::string upper(std::string text)
    {
        CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
        return text;
    }

    CScratchFolder m_disk;
    CInstallApp app;
};

} // namespace

TEST_F(EditorMachine, NothingInstalledFindsNothing)
{
    for (CEditor& editor : app.editors)
        editor.present = true;
    DetectEditors(app);
    for (const CEditor& editor : app.editors)
        EXPECT_FALSE(editor.present) << editor.displayName;
}

TEST_F(EditorMachine, WordPerfectVersionsAreToldApartByTheirServers)
{
    std::string wp8 = make("Corel\\wpwin8.exe");
    std::string wp6 = make("WPWIN60\\wpwin.exe");
    server("WP8Doc", wp8);
    // Version 8 registered under the 6.0 key too, in another case: only 8.
    server("WPWin6.0", wp8);
    DetectEditors(app);
    EXPECT_TRUE(app.editors[kEditorWP8].present);
    EXPECT_EQ(app.editors[kEditorWP8].path, upper(wp8));
    EXPECT_FALSE(app.editors[kEditorWP6].present);

    // The 6.1 key is looked at when the 6.0 one names version 8.
    server("WPWin6.1", wp6);
    DetectEditors(app);
    EXPECT_TRUE(app.editors[kEditorWP6].present);
    EXPECT_EQ(app.editors[kEditorWP6].path, upper(wp6));

    // A usable 6.0 path that doesn't exist is not replaced by the 6.1 one.
    server("WPWin6.0", m_disk / "gone\\wpwin.exe");
    DetectWordPerfect6(app);
    EXPECT_FALSE(app.editors[kEditorWP6].present);

    // A version 8 server that is gone: no version 8, and its path as read.
    server("WP8Doc", m_disk / "Corel\\old.exe");
    DetectWordPerfect8(app);
    EXPECT_FALSE(app.editors[kEditorWP8].present);
    EXPECT_EQ(app.editors[kEditorWP8].path, m_disk / "Corel\\old.exe");

    // Version 5 names its program in wpc.ini, arguments after a ";".
    std::string wp5 = make("WPWIN\\WPWIN.EXE");
    WritePrivateProfileStringA("App Server", "wpwp", (wp5 + ";/nt;WPWP").c_str(), "wpc.ini");
    DetectWordPerfect5(app);
    EXPECT_TRUE(app.editors[kEditorWP5].present);
    WritePrivateProfileStringA("App Server", "wpwp", (wp5 + "x;" + wp5).c_str(), "wpc.ini");
    DetectWordPerfect5(app);
    EXPECT_FALSE(app.editors[kEditorWP5].present);
}

TEST_F(EditorMachine, WordVersionsFollowTheirOwnPathRules)
{
    // Word 6: the program folder's closing "\" dropped; a startup subfolder needed.
    std::string word6 = make("WINWORD6\\winword.exe");
    std::string startup = make("WINWORD6\\Plantill\\");
    std::string folder6 = word6.substr(0, word6.rfind('\\') + 1);
    WritePrivateProfileStringA("Microsoft Word", "PROGRAMDIR", folder6.c_str(), "winword6.ini");
    WritePrivateProfileStringA("Microsoft Word", "STARTUP-PATH", (startup + "\\").c_str(), "winword6.ini");
    DetectWord6(app);
    EXPECT_FALSE(app.editors[kEditorWord6].present);
    make("WINWORD6\\Inicio\\");
    DetectWord6(app);
    EXPECT_TRUE(app.editors[kEditorWord6].present);

    // Word 7: the folder from the user's options, upper case once found.
    std::string word7 = make("MSOFFICE\\WINWORD\\winword.exe");
    std::string folder7 = word7.substr(0, word7.rfind('\\'));
    make("MSOFFICE\\WINWORD\\Startup\\");
    value(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Word\\7.0\\Options", "PROGRAMDIR", folder7);
    value(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Word\\7.0\\Options", "STARTUP-PATH", "C:\\nowhere");
    DetectWord7(app);
    EXPECT_TRUE(app.editors[kEditorWord7].present);
    EXPECT_EQ(app.editors[kEditorWord7].path, upper(folder7));
    EXPECT_EQ(app.editors[kEditorWord7].startupFolder, "C:\\nowhere");

    // Word 97 loses the first and the last character of its folder, Word
    // 2000 only the last.
    std::string word97 = make("Office97\\Office\\winword.exe");
    std::string folder97 = word97.substr(0, word97.rfind('\\'));
    value(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Office\\8.0\\Word\\InstallRoot", "Path",
          "\"" + folder97 + "\"");
    std::string word2000 = make("Office2000\\Office\\winword.exe");
    std::string folder2000 = word2000.substr(0, word2000.rfind('\\') + 1);
    value(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Office\\9.0\\Word\\InstallRoot", "Path", folder2000);
    DetectEditors(app);
    EXPECT_TRUE(app.editors[kEditorWord97].present);
    EXPECT_EQ(app.editors[kEditorWord97].path, upper(word97));
    EXPECT_TRUE(app.editors[kEditorWord2000].present);
    EXPECT_EQ(app.editors[kEditorWord2000].path, upper(word2000));
    EXPECT_TRUE(app.editors[kEditorWord6].present);
    EXPECT_TRUE(app.editors[kEditorWord7].present);

    // A value of another type, or one too short to hold a folder, is no Word.
    value(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Office\\8.0\\Word\\InstallRoot", "Path", "\"");
    CRegKey root;
    ASSERT_TRUE(root.open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Office\\9.0\\Word\\InstallRoot", kEditorView));
    ASSERT_TRUE(root.deleteValue("Path"));
    ASSERT_TRUE(root.writeDword("Path", 1));
    DetectEditors(app);
    EXPECT_FALSE(app.editors[kEditorWord97].present);
    EXPECT_FALSE(app.editors[kEditorWord2000].present);
}

TEST_F(EditorMachine, AmiProIsFoundWordProNever)
{
    std::string ami = make("AMIPRO\\amipro.exe");
    server("AmiProDocument", ami);
    app.editors[kEditorWordPro].path = "stale";
    app.editors[kEditorWordPro].present = true;
    DetectEditors(app);
    EXPECT_TRUE(app.editors[kEditorAmiPro].present);
    EXPECT_EQ(app.editors[kEditorAmiPro].path, upper(ami));
    EXPECT_FALSE(app.editors[kEditorWordPro].present);
    EXPECT_TRUE(app.editors[kEditorWordPro].path.empty());

    server("AmiProDocument", "");
    DetectAmiPro(app);
    EXPECT_FALSE(app.editors[kEditorAmiPro].present);
}

TEST(EditorTable, EachRowStandsAtItsIdAndOwnsItsGroup)
{
    CEditorTable editors = EditorTable();
    for (int i = 0; i < kEditorCount; ++i) {
        EXPECT_EQ(editors[i].id, i) << editors[i].displayName;
        EXPECT_EQ(EditorOfGroup(editors, editors[i].groupName), &editors[i]) << editors[i].groupName;
    }
    // Groups of no editor, and names not spelt as the profile spells them.
    EXPECT_EQ(EditorOfGroup(editors, "Eines"), nullptr);
    EXPECT_EQ(EditorOfGroup(editors, "word97"), nullptr);
}
