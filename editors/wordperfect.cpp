// The three WordPerfect steps: a macro menu entry for 5.x, a writing-tools
// entry for 6.x and an extension library slot for 8.0.
#include "editors/configuration.h"

#include "app/install_app.h"
#include "editors/editor_util.h"
#include "platform/registry.h"
#include "resources/resource.h"

namespace {

const char kThirdPartyKey[] = "SOFTWARE\\Corel\\WordPerfect\\8\\Third Party";
const int kExtensionSlots = 15;

} // namespace

void ConfigureWordPerfect5(const CInstallApp& app)
{
    editor_util::KeepWindowsIniForUndo(app, "wpwp.ini");
    WritePrivateProfileStringA("MacroMenuList", "Ortavel 40 CA",
                               (app.InstallFolder() + "Config\\ovca40.wcm").c_str(), "wpwp.ini");
}

void ConfigureWordPerfect6(const CInstallApp& app)
{
    const std::string folder = app.InstallFolder();
    const char* const file = "wtapi.ini";
    const char* const section = "Ortavel40CA";
    const std::pair<const char*, std::string> entries[] = {
        {"DescriptiveName", "Corrector Gramatical de Catal\xE0"},
        {"MenuName", "&Ortavel 40 CA"},
        {"Parameters", "/WTAPI"},
        {"LongPrompt", "Revisi\xF3 gramatical del document"},
        {"DDEServerName", "WPOV"},
        {"ButtonBarText", "Ortavel 40 CA"},
        {"BitmapPath", folder + "config\\ovca40.bmp"},
        {"HelpFileKey", ""},
        {"HelpFilePath", folder + "ManualCa.hlp"},
        {"PathExe", folder + "ovca40.exe"},
    };
    editor_util::KeepWindowsIniForUndo(app, file);
    WritePrivateProfileStringA("Writing Tools", section, "", file);
    for (const auto& entry : entries)
        WritePrivateProfileStringA(section, entry.first, entry.second.c_str(), file);
}

void ConfigureWordPerfect8(CInstallApp& app, HWND owner)
{
    app.journal.KeyBefore(HKEY_LOCAL_MACHINE, editor_util::kEditorView, kThirdPartyKey);
    std::string& slot = app.editors[kEditorWP8].choice;
    slot.clear();
    const std::string library = app.InstallFolder() + "Wp8\\WpDll4ca.dll";
    CRegKey list;
    list.open(HKEY_LOCAL_MACHINE, kThirdPartyKey, editor_util::kEditorView);
    for (int n = 1; n <= kExtensionSlots; ++n) {
        std::string name = "DLL" + std::to_string(n);
        std::string value = list.isOpen() ? list.readString(name).value_or("") : std::string();
        if (value == library) {
            // Listed by an earlier installation: that slot is ours.
            slot = name;
            return;
        }
        if (value.empty()) {
            if (!list.isOpen()) {
                std::string made = editor_util::TopmostMissingKey(HKEY_LOCAL_MACHINE, kThirdPartyKey);
                if (!list.create(HKEY_LOCAL_MACHINE, kThirdPartyKey, editor_util::kEditorView))
                    return;
                app.editors[kEditorWP8].createdKey = made;
            }
            if (list.writeString(name, library))
                slot = name;
            return;
        }
    }
    editor_util::ShowEditorMessage(app, owner, IDS_WP8_SLOTS_FULL, IDS_WP8_CAPTION, MB_OK);
}

void UndoWordPerfect8()
{
    // The slot this product took, as its record keeps it.
    const CEditor wp8 = EditorTable()[kEditorWP8];
    std::string slot = editor_util::RecordValue(wp8, wp8.choiceName);
    if (slot.empty())
        return;
    CRegKey list;
    // The other slots keep their names: WordPerfect reads them by name.
    if (list.open(HKEY_LOCAL_MACHINE, kThirdPartyKey, editor_util::kEditorView))
        list.deleteValue(slot);
    list.close();
    // A list the installation made goes when nothing else is in it.
    editor_util::DeleteEmptyKeysUpTo(HKEY_LOCAL_MACHINE, kThirdPartyKey, editor_util::CreatedKey(wp8));
}
