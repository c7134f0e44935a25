#include "editors/product_record.h"

#include "app/install_app.h"
#include "editors/editor_util.h"
#include "platform/registry.h"

#include <windows.h>

using editor_util::kEditorView;

namespace {

constexpr const char* kRecordName = "Ortavel 40 CA";

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
    record.writeString("PMGROUPNEW", app.groupCreated ? "1" : "0");
    record.writeString("PMCOMMON", app.itemsForEveryUser ? "1" : "0");
}

// The editor's subkey, with the value its configuration chose for the undo step.
void writeEditorSubkey(HKEY root, const CEditor& editor)
{
    CRegKey key;
    if (!key.create(root, std::string(kProductKey) + "\\" + editor.recordKey, kEditorView))
        return;
    key.writeString("", editor.displayName);
    if (editor.choiceName)
        key.writeString(editor.choiceName, editor.choice);
    if (!editor.createdKey.empty())
        key.writeString(kCreatedKeyValue, editor.createdKey);
}

} // namespace

bool ProductRecordExists()
{
    return CRegKey::exists(HKEY_CURRENT_USER, kProductKey, kEditorView) ||
           CRegKey::exists(HKEY_LOCAL_MACHINE, kProductKey, kEditorView);
}

void ReadProductRecord(CInstallApp& app)
{
    CRegKey record;
    app.previousInstall = record.open(HKEY_CURRENT_USER, kProductKey, kEditorView) ||
                          record.open(HKEY_LOCAL_MACHINE, kProductKey, kEditorView);
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
    if (auto v = record.readString("ROOT-PATH"))
        app.earlierFolder = *v;
    app.groupCreated = record.readString("PMGROUPNEW").value_or("") == "1";
    app.itemsForEveryUser = record.readString("PMCOMMON").value_or("") == "1";
}

void WriteProductRecord(CInstallApp& app)
{
    auto zero = app.destinations.find(kDestInstallFolder);
    // As its text stands: page 104 shows it again in the next installation.
    std::string folder = zero == app.destinations.end() ? std::string() : zero->second->path.text();
    writeRecordKey(HKEY_CURRENT_USER, app, folder);
    writeRecordKey(HKEY_LOCAL_MACHINE, app, folder);
    app.userInfo.Write();
    for (const CEditor& editor : app.editors) {
        if (!editor.present)
            continue;
        writeEditorSubkey(HKEY_CURRENT_USER, editor);
        writeEditorSubkey(HKEY_LOCAL_MACHINE, editor);
    }
}

void DeleteProductRecord()
{
    CRegKey::deleteTree(HKEY_CURRENT_USER, kProductKey, kEditorView);
    CRegKey::deleteTree(HKEY_LOCAL_MACHINE, kProductKey, kEditorView);
}
