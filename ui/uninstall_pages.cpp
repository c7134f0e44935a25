#include "ui/uninstall_pages.h"

#include "app/install_app.h"
#include "editors/configuration.h"
#include "editors/product_record.h"
#include "platform/message_pump.h"
#include "profile/profile_access.h"
#include "system/program_items.h"
#include "system/registration.h"
#include "system/shared_dll_count.h"
#include "ui/dictionary_backup.h"

#include <algorithm>
#include <vector>

namespace {

std::string installFolderOf(const CInstallApp& app)
{
    auto zero = app.destinations.find(kDestInstallFolder);
    if (zero == app.destinations.end() || !zero->second || zero->second->path.empty())
        return std::string();
    return WithTrailingBackslash(zero->second->path.text());
}

} // namespace

void DeleteLoggedFiles(CInstallApp& app, const std::function<void(const std::string&)>& show,
                       const CRegistryPlace& place)
{
    const std::string log = app.profilePath.text();
    for (const auto& group : app.groups) {
        CProfileSection section(group.first, log);
        CProfileEntry entry;
        for (bool more = section.First(entry); more; more = section.Next(entry)) {
            entry.value.clear();
            entry.Read();
            std::int16_t id = 0;
            if (!FieldAsInt16(id, entry.value, 0))
                continue;
            // The installer only ever records plain file names: anything
            // that would reach outside the destination folder is left alone.
            if (entry.key.find_first_of("\\/:") != std::string::npos || entry.key == "." ||
                entry.key == "..")
                continue;
            auto destination = app.destinations.find(id);
            if (destination == app.destinations.end() || !destination->second ||
                destination->second->path.empty())
                continue;
            std::string path = WithTrailingBackslash(destination->second->path.text()) + entry.key;
            show(path);
            if (id == kDestSystem) {
                CSharedDllCount count(path, place);
                count.decrement();
                // Another product still counts on it.
                if (count.inUse())
                    continue;
            }
            CPath(path).remove();
        }
    }
}

void RemoveEmptyFolders(CInstallApp& app)
{
    std::vector<std::string> folders;
    for (const auto& entry : app.destinations) {
        if (entry.first >= 0 && entry.second && !entry.second->path.empty())
            folders.push_back(WithTrailingBackslash(entry.second->path.text()));
    }
    // A sub-folder's path is longer than its parent's: going deepest first
    // lets a tree of emptied folders go in one pass.
    std::stable_sort(folders.begin(), folders.end(),
                     [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    for (const std::string& folder : folders)
        RemoveDirectoryA(folder.c_str());  // fails, as it should, when not empty
}

int CUninstallFilesPage::DoWork()
{
    CInstallApp& app = CInstallApp::get();
    CDictionaryBackup backup(installFolderOf(app), m_floppyFolder);
    if (!backup.Run(m_hwnd)) {
        MarkFailed();
        return IDD_PAGE_FAILED;
    }
    DeleteLoggedFiles(app, [this](const std::string& path) {
        SetDlgItemTextA(m_hwnd, IDC_CURRENT_FILE, path.c_str());
        UpdateWindow(m_hwnd);
        PumpMessages();
    }, m_place);
    RemoveProgramItems(app);
    RemoveEmptyFolders(app);
    // A cancel confirmed meanwhile has already turned the successor into 116.
    return next;
}

int CUnregisteringPage::DoWork()
{
    CInstallApp& app = CInstallApp::get();
    std::string folder = installFolderOf(app);
    if (!folder.empty()) {
        RemoveDirectoryA(folder.c_str());
        UnregisterAppPath(folder + app.mainFileName, m_place);
    }
    UnregisterUninstall(app.displayName, m_place);
    UndoEditorsAndProductRecord(app);
    return next;
}

// The record goes last: the undo steps read it first.
void CUnregisteringPage::UndoEditorsAndProductRecord(CInstallApp&)
{
    UndoEditors();
    DeleteProductRecord();
}
