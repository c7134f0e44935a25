#include "log/uninstall.h"

#include "app/install_app.h"
#include "editors/configuration.h"
#include "editors/product_record.h"
#include "log/install_log.h"
#include "platform/path.h"
#include "profile/profile_access.h"
#include "profile/profile_file.h"
#include "system/boot_rename.h"
#include "system/registration.h"
#include "system/shared_dll_count.h"

#include <windows.h>

#include <algorithm>
#include <vector>

bool IsUserDictionary(const std::string& fileName)
{
    return lstrcmpiA(fileName.c_str(), "ovsalca4.dbc") == 0 ||
           lstrcmpiA(fileName.c_str(), "ovusuca4.dbc") == 0;
}

bool RemoveLoggedFile(const std::string& path)
{
    if (CPath(path).remove())
        return true;
    // The running uninstaller is left to the second stage, which starts
    // once it has ended.
    CPath self;
    self.setProgramFile();
    if (LowerCase(CPath(path).shortText()) == LowerCase(self.shortText()))
        return false;
    return DeleteNowOrAtRestart(path);
}

void DeleteLoggedFiles(CInstallApp& app, const std::function<void(const std::string&)>& show,
                       bool keepDictionaries, const CRegistryPlace& place)
{
    // The log read once: records are not written while files go.
    CProfileFile log;
    log.load(app.profilePath.text());
    for (const auto& group : app.groups) {
        CProfileSection section(group.first, log);
        CProfileEntry entry;
        for (bool more = section.First(entry); more; more = section.Next(entry)) {
            entry.value.clear();
            entry.Read(log);
            CFileRecord record = ParseFileRecord(entry.value);
            if (!record.valid)
                continue;
            // The installer only ever records plain file names: anything
            // that would reach outside the destination folder is left alone.
            if (entry.key.find_first_of("\\/:") != std::string::npos || entry.key == "." ||
                entry.key == "..")
                continue;
            if (keepDictionaries && IsUserDictionary(entry.key))
                continue;
            auto destination = app.destinations.find(record.destination);
            if (destination == app.destinations.end() || !destination->second ||
                destination->second->path.empty())
                continue;
            std::string path = WithTrailingBackslash(destination->second->path.text()) + entry.key;
            show(path);
            bool remove = true;
            if (record.destination == kDestSystem) {
                // Another product may still count on it.
                CSharedDllCount count(path, place);
                count.decrement();
                remove = !count.inUse();
            }
            // A file of Windows' own folders that was there before this
            // product first placed it belongs to someone else.
            if ((record.destination == kDestSystem || record.destination == kDestWindows) &&
                record.kept)
                remove = false;
            if (remove)
                RemoveLoggedFile(path);
            // Handled: a second run, or the rest of a stopped one, leaves it.
            app.journal.LogEntryGone(group.first, entry.key);
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

void UndoRegistrations(CInstallApp& app, const CRegistryPlace& place)
{
    std::string folder = app.InstallFolder();
    if (!folder.empty()) {
        RemoveDirectoryA(folder.c_str());
        UnregisterAppPath(folder + app.mainFileName, place);
    }
    UnregisterUninstall(app.displayName, place);
    // The options file is the product's own and goes with it.
    CPath(OptionsFilePath()).remove();
    UndoEditors();
    DeleteProductRecord();
}
