#include "editors/product_record.h"

#include "app/install_app.h"
#include "editors/editor_util.h"
#include "platform/registry.h"

#include <windows.h>

using editor_util::kEditorView;

namespace {

constexpr const char* kCompanyKey = "SOFTWARE\\Bramo";
constexpr const char* kRecordName = "Ortavel 40 CA";

struct CEditorSubkey {
    const char* key;
    const char* displayName;
    // A value the editor's configuration step chose, kept for its undo step.
    const char* extraValue;
    std::string CInstallApp::*extraField;
};

// In the order of the editor-present flags.
const CEditorSubkey kSubkeys[kEditorCount] = {
    {"WP5", "WordPerfect 5.x", nullptr, nullptr},
    {"WP6", "WordPerfect 6.x", nullptr, nullptr},
    {"WP8", "WordPerfect 8.0", "TPH", &CInstallApp::wp8ExtensionList},
    {"WORD6", "Word 6.0", nullptr, nullptr},
    {"WORD7", "Word 7.0", nullptr, nullptr},
    {"WORD8", "Word 97", nullptr, nullptr},
    {"WORD9", "Word 2000", "Path", &CInstallApp::word2000StartupFolder},
    {"AMIPRO", "AmiPro 3.x", nullptr, nullptr},
    {"WORDPRO", "WordPro 97", nullptr, nullptr},
};

void writeRecordKey(HKEY root, const CInstallApp& app, const std::string& folder)
{
    CRegKey company;
    company.create(root, kCompanyKey, kEditorView);
    company.close();
    CRegKey record;
    if (!record.create(root, kProductKey, kEditorView))
        return;
    record.writeString("", kRecordName);
    record.writeString("ROOT-PATH", folder);
    record.writeString("PMGROUP", app.groupName);
}

void writeEditorSubkey(HKEY root, const CInstallApp& app, const CEditorSubkey& editor)
{
    CRegKey key;
    if (!key.create(root, std::string(kProductKey) + "\\" + editor.key, kEditorView))
        return;
    key.writeString("", editor.displayName);
    if (editor.extraValue)
        key.writeString(editor.extraValue, app.*editor.extraField);
}

} // namespace

void ReadProductRecord(CInstallApp& app)
{
    CRegKey record;
    app.previousInstall = record.open(HKEY_CURRENT_USER, kProductKey, kEditorView);
    if (!app.previousInstall)
        return;
    // A value that is missing or of another type leaves its field alone.
    if (auto v = record.readString("USER"))
        app.userInfo.name = *v;
    if (auto v = record.readString("COMPANY"))
        app.userInfo.company = *v;
    if (auto v = record.readString("DATE"))
        app.userInfo.date = *v;
    if (auto v = record.readString("PMGROUP"))
        app.groupName = *v;
}

void WriteProductRecord(CInstallApp& app)
{
    auto zero = app.destinations.find(kDestInstallFolder);
    // As its text stands: page 104 shows it again in the next installation.
    std::string folder = zero == app.destinations.end() ? std::string() : zero->second->path.text();
    writeRecordKey(HKEY_CURRENT_USER, app, folder);
    writeRecordKey(HKEY_LOCAL_MACHINE, app, folder);
    app.userInfo.Write();
    for (int editor = 0; editor < kEditorCount; ++editor) {
        if (!app.editorPresent[editor])
            continue;
        writeEditorSubkey(HKEY_CURRENT_USER, app, kSubkeys[editor]);
        writeEditorSubkey(HKEY_LOCAL_MACHINE, app, kSubkeys[editor]);
    }
}

void DeleteProductRecord()
{
    CRegKey::deleteTree(HKEY_CURRENT_USER, kProductKey, kEditorView);
    CRegKey::deleteTree(HKEY_LOCAL_MACHINE, kProductKey, kEditorView);
}
