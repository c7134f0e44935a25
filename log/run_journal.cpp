#include "log/run_journal.h"

#include "errors/x_exception.h"
#include "log/install_log.h"
#include "log/registry_snapshot.h"
#include "platform/path.h"
#include "profile/profile_file.h"
#include "system/boot_rename.h"
#include "system/shared_dll_count.h"

#include <vector>

namespace {

using K = CJournalRecord;
using CRecords = std::vector<CJournalRecord>;

CJournalRecord record(K::Kind kind, const std::string& path = std::string(),
                      const std::string& other = std::string())
{
    CJournalRecord r;
    r.kind = kind;
    r.path = path;
    r.other = other;
    return r;
}

// The placed records that a notPlaced took back, by their index.
std::set<std::size_t> cancelledPlacements(const CRecords& records)
{
    std::set<std::size_t> cancelled;
    std::map<std::string, std::size_t> lastPlaced;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const CJournalRecord& r = records[i];
        if (r.kind == K::placed) {
            lastPlaced[LowerCase(r.path)] = i;
        } else if (r.kind == K::notPlaced) {
            auto found = lastPlaced.find(LowerCase(r.path));
            if (found != lastPlaced.end()) {
                cancelled.insert(found->second);
                lastPlaced.erase(found);
            }
        }
    }
    return cancelled;
}

// A commit that was written down and not abandoned since.
bool committed(const CRecords& records)
{
    bool commit = false;
    for (const CJournalRecord& r : records)
        if (r.kind == K::committed)
            commit = true;
    return commit;
}

bool uninstalling(const CRecords& records)
{
    return !records.empty() && records.front().kind == K::begin && records.front().mode == 'U';
}

// Deletes a file now or, when another program holds it, when Windows next
// starts (restart set); false when neither works. A missing file is gone.
bool removeNowOrAtRestart(const std::string& path, bool& restart)
{
    CPath file(path);
    if (RetryWhileInUse([&] { return file.remove(); }))
        return true;
    if (!IsInUseError(GetLastError()) || !MoveAtRestart(path, std::string()))
        return false;
    restart = true;
    return true;
}

// The run's entries into the log, in the order they were written down, in
// one rewrite of the file, waiting a moment for a program that holds it;
// false when the log can't be read or written.
bool fold(const std::string& log, const CRecords& records)
{
    CProfileFile image;
    if (!RetryWhileInUse([&] { return image.load(log); }))
        return false;
    std::set<std::size_t> cancelled = cancelledPlacements(records);
    bool changed = false;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const CJournalRecord& r = records[i];
        if (r.kind == K::placed && !cancelled.count(i))
            changed = image.setValue(r.section, r.key, r.value) || changed;
        else if (r.kind == K::logEntry)
            changed = image.setValue(r.section, r.key, r.value) || changed;
        else if (r.kind == K::logEntryGone)
            changed = image.deleteKey(r.section, r.key) || changed;
    }
    return !changed || RetryWhileInUse([&] { return image.save(); });
}

// The files of a folder, by name.
std::vector<std::string> filesIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return names;
}

// A folder of older copies after a commit: they go, and the folder with
// them (those still loaded when Windows next starts).
void clearAsideFolder(const std::string& folder, bool& restart)
{
    bool later = false;
    for (const std::string& name : filesIn(folder)) {
        bool before = restart;
        removeNowOrAtRestart(folder + "\\" + name, restart);
        later = later || restart != before;
    }
    if (!RemoveDirectoryA(folder.c_str()) && later)
        MoveAtRestart(folder, std::string());
}

// After a commit: what was kept for an undo goes (an older copy that is
// still loaded when Windows restarts), and so does any temporary file that
// is not waiting for a boot-time replacement; named holds those known to
// have taken their final names (each removal of a name that isn't there is
// a lookup that Wine pays with a read of the whole folder).
void cleanUp(const CRecords& records, const std::set<std::string>& named, bool& restart)
{
    std::set<std::string> pending;
    for (const CJournalRecord& r : records)
        if (r.kind == K::bootRename)
            pending.insert(LowerCase(r.path));
    for (const CJournalRecord& r : records) {
        if (r.kind == K::movedAside && !r.flag) {
            removeNowOrAtRestart(r.other, restart);
        } else if (r.kind == K::fileBefore && !r.other.empty()) {
            CPath(r.other).remove();
        } else if (r.kind == K::tempFile && !pending.count(LowerCase(r.path)) && !named.count(r.path)) {
            CPath(r.path).remove();
        } else if (r.kind == K::withdrawn && !r.other.empty() && IsTemporaryName(r.path)) {
            // The earlier run's new file that was to replace ours.
            removeNowOrAtRestart(r.path, restart);
        } else if (r.kind == K::asideFolder) {
            clearAsideFolder(r.path, restart);
        }
    }
}

class CUndo {
public:
    explicit CUndo(const CRecords& records) : m_records(records) {}

    // Everything written down, undone newest first; what can't be undone
    // now or at the next start of Windows, in its order.
    CRecords run()
    {
        std::set<std::size_t> cancelled = cancelledPlacements(m_records);
        CRecords unsettled;
        for (std::size_t i = m_records.size(); i-- > 0;)
            if (!undo(i, cancelled.count(i) != 0))
                unsettled.insert(unsettled.begin(), m_records[i]);
        return unsettled;
    }

    bool restartNeeded = false;

private:
    bool undo(std::size_t i, bool cancelled)
    {
        const CJournalRecord& r = m_records[i];
        switch (r.kind) {
        case K::placed: return !r.flag || cancelled || removeNowOrAtRestart(r.path, restartNeeded);
        case K::movedAside: return putBack(r.path, r.other);
        case K::renamed: return putBack(r.path, r.other);
        case K::countRaised: {
            CSharedDllCount count(r.path);
            count.release(r.after);
            return true;
        }
        case K::countSet: {
            CSharedDllCount count(r.path);
            count.set(r.before);
            return true;
        }
        case K::bootRename: WithdrawBootRename(r.path, r.other); return true;
        case K::withdrawn: return MoveAtRestart(r.path, r.other);
        case K::tempFile:
        case K::newFile: return removeNowOrAtRestart(r.path, restartNeeded);
        case K::newFolder: RemoveDirectoryA(r.path.c_str()); return true;
        case K::asideFolder: return putBackAll(r.path, r.other);
        case K::fileBefore: return restoreFile(r.path, r.other);
        case K::keyBefore:
            // A snapshot cut short by a kill is dropped: the key stays as it is.
            if (r.top)
                RestoreRegistrySnapshot(m_records, i);
            return true;
        default: return true;
        }
    }

    // The file at to goes back to from (an older copy moved aside, a file
    // renamed): at once, or when Windows next starts if ours is held.
    bool putBack(const std::string& from, const std::string& to)
    {
        if (!CPath(to).exists())
            return true;
        CPath(from).remove();
        if (RetryWhileInUse([&] {
                return MoveFileExA(to.c_str(), from.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
            }))
            return true;
        if (!MoveAtRestart(to, from))
            return false;
        restartNeeded = true;
        return true;
    }

    // Every older copy still in a folder of them goes back where it came
    // from: also one whose own record a power cut lost, as its name says
    // where. Then the folder goes.
    bool putBackAll(const std::string& folder, const std::string& home)
    {
        bool done = true;
        for (const std::string& name : filesIn(folder))
            done = putBack(WithTrailingBackslash(home) + name, folder + "\\" + name) && done;
        if (!RemoveDirectoryA(folder.c_str()) && done)
            MoveAtRestart(folder, std::string());
        return done;
    }

    bool restoreFile(const std::string& path, const std::string& copy)
    {
        if (copy.empty())
            return removeNowOrAtRestart(path, restartNeeded);
        return putBack(path, copy);
    }

    const CRecords& m_records;
};

// What a killed uninstallation wrote down and may not have done yet, done
// again: each step leaves the same machine however often it runs. The log
// entries of files that still can't be deleted, to be kept.
CRecords finishUninstall(const CRecords& records, bool& restart)
{
    CRecords kept;
    for (const CJournalRecord& r : records) {
        if (r.kind == K::countSet) {
            CSharedDllCount count(r.path);
            count.set(r.after);
        } else if (r.kind == K::removed) {
            if (!removeNowOrAtRestart(r.path, restart) && !r.section.empty()) {
                CJournalRecord entry = record(K::logEntry);
                entry.section = r.section;
                entry.key = r.key;
                entry.value = r.value;
                kept.push_back(entry);
            }
        } else if (r.kind == K::renamed) {
            if (CPath(r.path).exists() && !CPath(r.other).exists())
                CPath(r.path).renameTo(r.other);
        } else if (r.kind == K::withdrawn) {
            WithdrawBootRename(r.path, r.other);
            if (!r.other.empty() && IsTemporaryName(r.path))
                CPath(r.path).remove();
        }
    }
    return kept;
}

std::string folderKey(std::string folder)
{
    while (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    return LowerCase(folder);
}

} // namespace

std::string CRunJournal::PathFor(const std::string& logPath)
{
    CPath path(logPath);
    path.setExt("jnl");
    return path.text();
}

CRunJournal::StartResult CRunJournal::Begin(const std::string& logPath, Mode mode)
{
    m_logPath = logPath;
    m_path = PathFor(logPath);
    m_mode = mode;
    m_newFolders.clear();
    m_namedTemps.clear();
    m_placed.clear();
    m_asideFolders.clear();
    switch (m_file.open(m_path)) {
    case CJournalFile::busy: return busy;
    case CJournalFile::failed: return failed;
    case CJournalFile::opened: break;
    }
    std::size_t damaged = 0;
    CRecords earlier = m_file.records(&damaged);
    if (damaged != 0)
        note("The journal of an earlier run held " + std::to_string(damaged) +
             " damaged lines, which were passed over.");
    if (!earlier.empty() && !settle(earlier, committed(earlier) || uninstalling(earlier))) {
        m_file.close();
        return unsettled;
    }
    // This run's records only: one run, one journal.
    CJournalRecord begin = record(K::begin);
    begin.mode = static_cast<char>(mode);
    if (!m_file.clear() || !m_file.append(begin) || !m_file.flush()) {
        m_file.close();
        return failed;
    }
    return started;
}

bool CRunJournal::settle(const CRecords& records, bool finishing)
{
    if (finishing) {
        CRecords all = records;
        if (uninstalling(records))
            for (const CJournalRecord& kept : finishUninstall(records, m_restartNeeded))
                all.push_back(kept);
        if (!fold(m_logPath, all)) {
            note("The install log could not be written: what an earlier run did stays in " + m_path + ".");
            return false;
        }
        cleanUp(records, {}, m_restartNeeded);
        return true;
    }
    CUndo undo(records);
    CRecords unsettled = undo.run();
    m_restartNeeded = m_restartNeeded || undo.restartNeeded;
    if (undo.restartNeeded)
        note("Some files are put back as they were when Windows next starts.");
    if (unsettled.empty())
        return true;
    // Only what is left, for a later run to try again.
    m_file.clear();
    m_file.append(records.front());
    for (const CJournalRecord& r : unsettled)
        m_file.append(r);
    m_file.flush();
    note("Not everything of an earlier run could be undone; the next run tries again.");
    return false;
}

void CRunJournal::note(const std::string& event) const
{
    WriteLogEvent(m_logPath, event);
}

void CRunJournal::write(const CJournalRecord& r)
{
    if (!m_file.isOpen())
        return;
    // A step that can't be written down can't be undone: it isn't taken.
    if (!m_file.append(r))
        throw CFileException(CFileException::causeFromOsError(GetLastError()), m_path);
}

void CRunJournal::writeDurable(const CJournalRecord& r)
{
    write(r);
    if (m_file.isOpen() && !m_file.flush())
        throw CFileException(CFileException::causeFromOsError(GetLastError()), m_path);
}

void CRunJournal::TempFile(const std::string& path)
{
    write(record(K::tempFile, path));
}

void CRunJournal::MovedAside(const std::string& path, const std::string& aside, bool keptForUninstall)
{
    CJournalRecord r = record(K::movedAside, path, aside);
    r.flag = keptForUninstall;
    // In a folder of older copies the name itself says where it goes back:
    // the folder's record, on the disk already, is enough after a power cut.
    CPath asidePath(aside);
    std::string home = LowerCase(CPath(path).folderText());
    auto folder = m_asideFolders.find(home);
    bool named = !keptForUninstall && folder != m_asideFolders.end() &&
                 LowerCase(asidePath.folderText()) == LowerCase(WithTrailingBackslash(folder->second)) &&
                 lstrcmpiA(asidePath.fileName().c_str(), CPath(path).fileName().c_str()) == 0;
    if (named)
        write(r);
    else
        writeDurable(r);
}

std::string CRunJournal::AsideFolder(const std::string& folder)
{
    std::string home = LowerCase(WithTrailingBackslash(folder));
    auto made = m_asideFolders.find(home);
    if (made != m_asideFolders.end())
        return made->second;
    CPath inside(WithTrailingBackslash(folder));
    std::string name = inside.freshTempName("old");
    if (name.empty())
        return std::string();
    std::string aside = WithTrailingBackslash(folder) + name;
    writeDurable(record(K::asideFolder, aside, WithTrailingBackslash(folder)));
    if (!CreateDirectoryA(aside.c_str(), nullptr))
        return std::string();
    m_asideFolders[home] = aside;
    return aside;
}

void CRunJournal::Placed(const std::string& path, bool placedNow, const std::string& section,
                         const std::string& key, const std::string& value)
{
    CJournalRecord r = record(K::placed, path);
    r.flag = placedNow;
    r.section = section;
    r.key = key;
    r.value = value;
    write(r);
    m_placed[LowerCase(path)] = {section, key};
}

void CRunJournal::TempNamed(const std::string& path)
{
    m_namedTemps.insert(path);
}

void CRunJournal::NotPlaced(const std::string& path)
{
    write(record(K::notPlaced, path));
}

void CRunJournal::PlacedFileRemoved(const std::string& path)
{
    auto placed = m_placed.find(LowerCase(path));
    if (placed == m_placed.end())
        return;
    NotPlaced(path);
    LogEntryGone(placed->second.first, placed->second.second);
    m_placed.erase(placed);
}

void CRunJournal::CountSet(const std::string& sharedPath, std::uint32_t before, std::uint32_t after)
{
    if (before == after)
        return;
    CJournalRecord r = record(K::countSet, sharedPath);
    r.before = before;
    r.after = after;
    writeDurable(r);
}

void CRunJournal::BootRename(const std::string& source, const std::string& target)
{
    write(record(K::bootRename, source, target));
}

void CRunJournal::Withdrawn(const std::string& source, const std::string& target)
{
    writeDurable(record(K::withdrawn, source, target));
}

void CRunJournal::NewFile(const std::string& path)
{
    write(record(K::newFile, path));
}

void CRunJournal::NewFolder(const std::string& path)
{
    write(record(K::newFolder, path));
    m_newFolders.insert(folderKey(path));
}

void CRunJournal::Renamed(const std::string& from, const std::string& to)
{
    writeDurable(record(K::renamed, from, to));
}

void CRunJournal::Removed(const std::string& path, const std::string& section, const std::string& key,
                          const std::string& value)
{
    CJournalRecord r = record(K::removed, path);
    r.section = section;
    r.key = key;
    r.value = value;
    writeDurable(r);
}

bool CRunJournal::IsNewFolder(const std::string& folder) const
{
    return m_newFolders.count(folderKey(folder)) != 0;
}

bool CRunJournal::CreateFolders(const std::string& folder)
{
    std::vector<std::string> missing;
    std::string level = folder;
    while (!level.empty() && level.back() == '\\')
        level.pop_back();
    // Down to a drive's root ("C:") or a share, which are never made here.
    for (; level.size() > 2 && !CPath(level).exists(); level = level.substr(0, level.rfind('\\'))) {
        missing.push_back(level);
        if (level.find('\\') == std::string::npos)
            break;
    }
    for (auto made = missing.rbegin(); made != missing.rend(); ++made)
        NewFolder(*made);
    return CPath(WithTrailingBackslash(folder)).createFolders();
}

void CRunJournal::FileBefore(const std::string& path)
{
    if (!m_file.isOpen())
        return;
    CPath file(path);
    if (!file.exists()) {
        write(record(K::fileBefore, path, ""));
        return;
    }
    std::string copy = file.folderText() + file.freshTempName(file.ext());
    write(record(K::fileBefore, path, copy));
    // A change that could not be undone is not made.
    if (!CopyFileA(path.c_str(), copy.c_str(), TRUE)) {
        DWORD error = GetLastError();
        throw CFileException(CFileException::causeFromOsError(error), path);
    }
}

void CRunJournal::KeyBefore(HKEY root, REGSAM view, const std::string& key)
{
    if (!m_file.isOpen())
        return;
    for (const CJournalRecord& r : SnapshotRegistryKey(root, view, key))
        write(r);
}

void CRunJournal::LogEntry(const std::string& section, const std::string& key, const std::string& value)
{
    CJournalRecord r = record(K::logEntry);
    r.section = section;
    r.key = key;
    r.value = value;
    write(r);
}

void CRunJournal::LogEntryGone(const std::string& section, const std::string& key)
{
    CJournalRecord r = record(K::logEntryGone);
    r.section = section;
    r.key = key;
    write(r);
}

void CRunJournal::close()
{
    m_file.remove();
    m_asideFolders.clear();
    m_newFolders.clear();
    m_namedTemps.clear();
    m_placed.clear();
}

bool CRunJournal::Commit()
{
    if (!m_file.isOpen())
        return true;
    CRecords records = m_file.records();
    // The commit mark first: a kill from here on is finished, not undone.
    bool marked = m_file.append(record(K::committed)) && m_file.flush();
    if (!marked || !fold(m_logPath, records)) {
        if (m_mode == uninstall) {
            // What was deleted stays deleted: the next run folds it.
            m_file.close();
            return false;
        }
        note("The install log could not be written: the installation is undone.");
        if (settle(records, false))
            close();
        else
            m_file.close();
        return false;
    }
    cleanUp(records, m_namedTemps, m_restartNeeded);
    close();
    return true;
}

void CRunJournal::RollBack()
{
    if (!m_file.isOpen())
        return;
    CRecords records = m_file.records();
    if (settle(records, false))
        close();
    else
        m_file.close();
}
