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
#include <map>
#include <memory>
#include <vector>

bool IsUserDictionary(const std::string& fileName)
{
    return lstrcmpiA(fileName.c_str(), "ovsalca4.dbc") == 0 ||
           lstrcmpiA(fileName.c_str(), "ovusuca4.dbc") == 0;
}

CRemoval RemoveLoggedFile(const std::string& path)
{
    if (!CPath(path).exists())
        return CRemoval::gone;
    if (CPath(path).remove())
        return CRemoval::gone;
    if (!DeleteNowOrAtRestart(path))
        return CRemoval::stays;
    return CPath(path).exists() ? CRemoval::atRestart : CRemoval::gone;
}

bool IsRunningProgram(const std::string& path)
{
    static const std::string self = [] {
        CPath program;
        program.setProgramFile();
        return LowerCase(program.shortText());
    }();
    static const std::string longName = [] {
        CPath program;
        program.setProgramFile();
        return LowerCase(program.fileName());
    }();
    // The short form only for a name that may be it: it asks the disk.
    std::string name = LowerCase(CPath(path).fileName());
    if (name != longName && name != LowerCase(CPath(self).fileName()))
        return false;
    return LowerCase(CPath(path).shortText()) == self;
}

namespace {

class CDeletion {
public:
    CDeletion(CInstallApp& app, const CRegistryPlace& place) : m_app(app), m_place(place)
    {
        // Our replacements that an installation left for the next start of
        // Windows, by the file they would put back.
        for (const CBootOperation& operation : PendingBootOperations())
            if (!operation.target.empty() && IsTemporaryName(operation.source))
                m_replacements.emplace(LowerCase(operation.target), operation);
    }

    // One record of the log: written down first, then released and deleted.
    void handle(const std::string& section, const CProfileEntry& entry, const CFileRecord& record,
                const std::string& folder)
    {
        const std::string path = folder + entry.key;
        CRunJournal& journal = m_app.journal;
        m_app.ChangedForGood();
        // The running uninstaller is left to the second stage; its record
        // goes once that stage is on its way.
        if (IsRunningProgram(path)) {
            m_app.ownRecord = {section, entry.key};
            return;
        }
        bool windowsOwn = record.destination == kDestSystem || record.destination == kDestWindows;
        // A file of Windows' own folders that was there before this product
        // first placed it belongs to someone else.
        bool remove = !(windowsOwn && record.kept);
        std::unique_ptr<CSharedDllCount> count;
        std::uint32_t after = 0;
        if (record.destination == kDestSystem) {
            // Another product may still count on it.
            count = std::make_unique<CSharedDllCount>(path, m_place);
            after = count->count() > 0 ? count->count() - 1 : 0;
            remove = remove && after == 0;
            journal.CountSet(path, count->count(), after);
        }
        std::string backup = record.backup.empty() ? std::string() : folder + record.backup;
        bool putBack = remove && !backup.empty() && CPath(backup).exists();
        // Handled: a second run, or the rest of a stopped one, leaves it.
        journal.LogEntryGone(section, entry.key);
        if (remove)
            journal.Removed(path, section, entry.key, entry.value);
        if (putBack)
            journal.Renamed(backup, path);
        if (count) {
            count->set(after);
            count.reset();
        }
        if (!remove)
            return;
        withdrawReplacements(path);
        switch (RemoveLoggedFile(path)) {
        case CRemoval::gone:
            if (putBack && !CPath(backup).renameTo(path))
                m_app.LogEvent("Could not put back %s as %s.", backup.c_str(), path.c_str());
            break;
        case CRemoval::atRestart:
            // In the list after the deletion: Windows carries them out in order.
            if (putBack && !ReplaceAtRestart(backup, path))
                m_app.LogEvent("Could not put back %s as %s.", backup.c_str(), path.c_str());
            break;
        case CRemoval::stays:
            // Kept in the log: a later run tries again.
            journal.LogEntry(section, entry.key, entry.value);
            m_app.LogEvent("Could not delete %s (error %lu).", path.c_str(),
                           static_cast<unsigned long>(GetLastError()));
            m_app.filesLeft = true;
            break;
        }
    }

private:
    void withdrawReplacements(const std::string& path)
    {
        auto range = m_replacements.equal_range(LowerCase(path));
        for (auto it = range.first; it != range.second; ++it) {
            const CBootOperation operation = it->second;
            m_app.journal.Withdrawn(operation.source, operation.target);
            WithdrawBootOperations([&](const CBootOperation& listed) {
                return SamePath(listed.source, operation.source);
            });
            RemoveLoggedFile(operation.source);
        }
        m_replacements.erase(range.first, range.second);
    }

    CInstallApp& m_app;
    const CRegistryPlace& m_place;
    std::multimap<std::string, CBootOperation> m_replacements;
};

} // namespace

void DeleteLoggedFiles(CInstallApp& app, const std::function<void(const std::string&)>& show,
                       bool keepDictionaries, const CRegistryPlace& place)
{
    // The log read once: records are not written while files go.
    CProfileFile log;
    log.load(app.profilePath.text());
    CDeletion deletion(app, place);
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
            std::string folder = WithTrailingBackslash(destination->second->path.text());
            show(folder + entry.key);
            // A cancel confirmed meanwhile stops after the file before.
            if (!app.succeeded)
                return;
            deletion.handle(group.first, entry, record, folder);
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
    std::vector<CBootOperation> pending;
    bool pendingRead = false;
    for (const std::string& folder : folders) {
        if (RemoveDirectoryA(folder.c_str()))
            continue;  // fails, as it should, when not empty
        // Emptied only when Windows next starts (a file another program
        // held): it goes then too, after the files.
        if (!pendingRead) {
            pending = PendingBootOperations();
            pendingRead = true;
        }
        for (const CBootOperation& operation : pending) {
            if (operation.target.empty() && operation.source.size() > folder.size() &&
                LowerCase(operation.source.substr(0, folder.size())) == LowerCase(folder)) {
                MoveAtRestart(folder.substr(0, folder.size() - 1), std::string());
                break;
            }
        }
    }
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
