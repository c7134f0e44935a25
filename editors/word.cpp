// The Word steps: the checker's template copied into the startup folder of
// each Word version found, that folder found the way the version records it.
#include "editors/configuration.h"

#include "app/install_app.h"
#include "editors/editor_util.h"
#include "platform/path.h"
#include "platform/registry.h"
#include "resources/resource.h"

using editor_util::IniValue;
using editor_util::kWord2000RootKey;
using editor_util::kWord6Ini;
using editor_util::kWord6Section;
using editor_util::kWord7OptionsKey;
using editor_util::RegistryText;
using editor_util::UpperCase;

namespace {

const char kWord97Options[] = "SOFTWARE\\Microsoft\\Office\\8.0\\Word\\Options";
const char kOffice97Root[] = "SOFTWARE\\Microsoft\\Office\\8.0\\InstallRoot";
const char kWord2000Options[] = "SOFTWARE\\Microsoft\\Office\\9.0\\Word\\Options";
const char kOffice2000General[] = "SOFTWARE\\Microsoft\\Office\\9.0\\Common\\General";

// The English and the Spanish Word 6.0 and 7.0 name their startup folders
// differently and take different templates.
const char kEnglishTemplate[] = "ovca40us.dot";
const char kSpanishTemplate[] = "ovca40es.dot";

bool FolderExists(const std::string& folder)
{
    return CPath(folder).isFolder();
}

// Copies a template of the product's Config folder into folder, replacing a
// file of the same name; false when the copy failed.
bool CopyTemplate(const CInstallApp& app, const std::string& name, const std::string& folder)
{
    std::string source = app.InstallFolder() + "Config\\" + name;
    std::string target = WithTrailingBackslash(folder) + name;
    app.journal.FileBefore(target);
    return CopyFileA(source.c_str(), target.c_str(), FALSE) != FALSE;
}

std::string Word6Value(const char* key)
{
    return IniValue(kWord6Section, key, kWord6Ini, 260);
}

bool CreateFolder(const CInstallApp& app, const std::string& folder)
{
    return app.journal.CreateFolders(folder);
}

// Deletes the named files from folder; what can't be deleted stays.
void DeleteTemplates(const std::string& folder, std::initializer_list<const char*> names)
{
    if (folder.empty())
        return;
    for (const char* name : names)
        CPath(WithTrailingBackslash(folder) + name).remove();
}

} // namespace

void ConfigureWord6(const CInstallApp& app)
{
    std::string startup = Word6Value("STARTUP-PATH");
    std::string program = Word6Value("PROGRAMDIR");
    bool english = FolderExists(UpperCase(program + "\\setup"));
    if (startup.empty()) {
        // Ticked by hand where Word 6.0 left no trace: a folder made at the
        // root of the drive and written into its settings would serve no Word.
        if (program.empty())
            return;
        startup = program + (english ? "\\Startup" : "\\Inicio");
        CreateFolder(app, startup);
        editor_util::KeepWindowsIniForUndo(app, kWord6Ini);
        WritePrivateProfileStringA(kWord6Section, "STARTUP-PATH", startup.c_str(), "Winword6.ini");
    }
    CopyTemplate(app, english ? kEnglishTemplate : kSpanishTemplate, startup);
}

void ConfigureWord7(const CInstallApp& app)
{
    // Ticked by hand, Word 7.0 has no folder that detection found.
    const std::string& folder = app.editors[kEditorWord7].path;
    if (folder.empty())
        return;
    std::string english = folder + "\\Startup";
    if (FolderExists(english))
        CopyTemplate(app, kEnglishTemplate, english);
    else
        CopyTemplate(app, kSpanishTemplate, folder + "\\Inicio");
}

void ConfigureWord97(CInstallApp& app)
{
    std::string startup = RegistryText(HKEY_CURRENT_USER, kWord97Options, "STARTUP-PATH");
    if (startup.empty()) {
        std::string root = RegistryText(HKEY_LOCAL_MACHINE, kOffice97Root, "");
        // Without Office's folder there is no place to make: a folder
        // "\Startup" at the root of the drive would serve no Word.
        if (root.empty())
            return;
        startup = root + "\\Startup";
        CreateFolder(app, startup);
        // A value that is there, even empty, is Word's own and stays.
        app.journal.KeyBefore(HKEY_CURRENT_USER, editor_util::kEditorView, kWord97Options);
        std::string made = editor_util::TopmostMissingKey(HKEY_CURRENT_USER, kWord97Options);
        CRegKey options;
        if (options.create(HKEY_CURRENT_USER, kWord97Options, editor_util::kEditorView) &&
            !options.readString("STARTUP-PATH") && options.writeString("STARTUP-PATH", startup))
            app.editors[kEditorWord97].createdKey = made.empty() ? kWord97Options : made;
    }
    CopyTemplate(app, "ovca4097.dot", startup);
}

void ConfigureWord2000(CInstallApp& app, HWND owner)
{
    const char* const name = "ovca4000.dot";
    std::string& chosen = app.editors[kEditorWord2000].choice;
    chosen.clear();
    bool copied = false;
    auto tryFolder = [&](const std::string& folder) {
        if (FolderExists(folder) && CopyTemplate(app, name, folder))
            copied = true;
    };

    // Every place this Word may look at start-up gets a copy.
    CPath windows;
    windows.setSpecial(CPath::windowsFolder);
    std::string roaming = windows.folderText() + "Application Data\\Microsoft\\Word\\";
    tryFolder(FolderExists(roaming + "STARTUP") ? roaming + "STARTUP" : roaming + "inicio");
    std::string recorded = RegistryText(HKEY_CURRENT_USER, kWord2000Options, "STARTUP-PATH");
    if (!recorded.empty())
        tryFolder(recorded);
    std::string appData = UserShellFolder("AppData").value_or("");
    std::string startupName = RegistryText(HKEY_CURRENT_USER, kOffice2000General, "Startup");
    if (!appData.empty()) {
        std::string word = appData + "\\Microsoft\\Word\\";
        tryFolder(word + "Inicio");
        tryFolder(word + "STARTUP");
        // Without a recorded name this would be Word's own folder, which
        // Word doesn't load templates from.
        if (!startupName.empty())
            tryFolder(word + startupName);
    }

    std::string base = RegistryText(HKEY_LOCAL_MACHINE, kWord2000RootKey, "Path");
    if (base.empty())
        base = RegistryText(HKEY_CURRENT_USER, kWord2000Options, "PROGRAMDIR");
    if (base.empty()) {
        // Nothing to build the startup folder on: a folder "\Startup" at
        // the root of the drive would serve no Word.
        if (!copied)
            editor_util::ShowEditorMessage(app, owner, IDS_WORD2000_NOT_FOUND, IDS_WORD2000_CAPTION,
                                             MB_OK | MB_ICONINFORMATION);
        return;
    }
    std::string final;
    if (!startupName.empty()) {
        final = base + startupName;  // the recorded name follows the base directly
    } else {
        final = base + "\\Startup";
        CreateFolder(app, final);
    }
    chosen = final;
    if (!CopyTemplate(app, name, final) && !copied)
        editor_util::ShowEditorMessage(app, owner, IDS_WORD2000_NOT_WRITTEN, IDS_WORD2000_CAPTION,
                                         MB_OK | MB_ICONINFORMATION);
}

void UndoWord6()
{
    DeleteTemplates(Word6Value("STARTUP-PATH"), {kSpanishTemplate, kEnglishTemplate});
}

void UndoWord7()
{
    DeleteTemplates(RegistryText(HKEY_CURRENT_USER, kWord7OptionsKey, "STARTUP-PATH"),
                    {kSpanishTemplate, kEnglishTemplate});
}

void UndoWord97()
{
    DeleteTemplates(RegistryText(HKEY_CURRENT_USER, kWord97Options, "STARTUP-PATH"), {"ovca4097.dot"});
    // A startup path the installation wrote goes with it.
    std::string made = editor_util::CreatedKey(EditorTable()[kEditorWord97]);
    if (!made.empty()) {
        CRegKey options;
        if (options.open(HKEY_CURRENT_USER, kWord97Options, editor_util::kEditorView))
            options.deleteValue("STARTUP-PATH");
        options.close();
        editor_util::DeleteEmptyKeysUpTo(HKEY_CURRENT_USER, kWord97Options, made);
    }
}

void UndoWord2000()
{
    // Where the installation put it, as the product record keeps it.
    const CEditor word2000 = EditorTable()[kEditorWord2000];
    DeleteTemplates(editor_util::RecordValue(word2000, word2000.choiceName), {"ovca4000.dot"});
}
