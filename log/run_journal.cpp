#include "log/run_journal.h"

#include "errors/x_exception.h"
#include "log/registry_snapshot.h"
#include "platform/path.h"
#include "profile/profile_file.h"
#include "system/boot_rename.h"
#include "system/shared_dll_count.h"

#include <map>
#include <vector>
#include <set>

// The journal's records, one letter first:
//   B mode            the run began (I installation, U uninstallation)
//   T path            a temporary file is about to be made
//   A path aside      an older copy was moved aside
//   P path now section key value
//                     a file is (about to be) in place, with its log record
//   Q path            ... but it did not get there
//   C path added      a shared count was raised
//   R source target   a boot-time replacement was scheduled
//   N path            a file was made (a shell link)
//   D path            a folder was made
//   F path copy       a file is about to change; copy holds it ("" absent)
//   K / V             a registry key about to change (registry_snapshot.h)
//   S section key value / X section key
//                     an entry of the log set / taken out
//   Z                 committed: the log is to get the records

namespace {

bool is(const CJournalRecord& r, const char* kind, std::size_t fields)
{
    return r.size() >= fields && r[0] == kind;
}

// The P records that a Q took back, by their index.
std::set<std::size_t> cancelledPlacements(const std::vector<CJournalRecord>& records)
{
    std::set<std::size_t> cancelled;
    std::map<std::string, std::size_t> lastPlaced;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const CJournalRecord& r = records[i];
        if (is(r, "P", 6)) {
            lastPlaced[r[1]] = i;
        } else if (is(r, "Q", 2)) {
            auto found = lastPlaced.find(r[1]);
            if (found != lastPlaced.end()) {
                cancelled.insert(found->second);
                lastPlaced.erase(found);
            }
        }
    }
    return cancelled;
}

// The run's entries into the log, in the order they were written down, in
// one rewrite of the file; false when the log can't be read or written (the
// journal then stays for the next run to try again).
bool fold(const std::string& log, const std::vector<CJournalRecord>& records)
{
    CProfileFile image;
    if (!image.load(log))
        return false;
    std::set<std::size_t> cancelled = cancelledPlacements(records);
    bool changed = false;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const CJournalRecord& r = records[i];
        if (is(r, "P", 6) && !cancelled.count(i))
            changed = image.setValue(r[3], r[4], r[5]) || changed;
        else if (is(r, "S", 4))
            changed = image.setValue(r[1], r[2], r[3]) || changed;
        else if (is(r, "X", 3))
            changed = image.deleteKey(r[1], r[2]) || changed;
    }
    return !changed || image.save();
}

// After a commit: what was kept for an undo goes, and so does any temporary
// file that is not waiting for a boot-time replacement; named holds those
// known to have taken their final names (each removal of a name that isn't
// there is a lookup that Wine pays with a read of the whole folder).
void cleanUp(const std::vector<CJournalRecord>& records, const std::set<std::string>& named = {})
{
    std::set<std::string> pending;
    for (const CJournalRecord& r : records)
        if (is(r, "R", 3))
            pending.insert(r[1]);
    for (const CJournalRecord& r : records) {
        if (is(r, "A", 3)) {
            // An older copy that is still loaded goes when Windows restarts.
            if (!CPath(r[2]).remove())
                MoveFileExA(r[2].c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        } else if (is(r, "F", 3) && !r[2].empty()) {
            CPath(r[2]).remove();
        } else if (is(r, "T", 2) && !pending.count(r[1]) && !named.count(r[1])) {
            CPath(r[1]).remove();
        }
    }
}

void putBack(const std::string& path, const std::string& aside)
{
    if (!CPath(aside).exists())
        return;
    CPath(path).remove();
    MoveFileExA(aside.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

void restoreFile(const std::string& path, const std::string& copy)
{
    if (copy.empty())
        CPath(path).remove();
    else if (CPath(copy).exists())
        MoveFileExA(copy.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// Everything written down, undone newest first.
void undo(const std::vector<CJournalRecord>& records)
{
    std::set<std::size_t> cancelled = cancelledPlacements(records);
    for (std::size_t i = records.size(); i-- > 0;) {
        const CJournalRecord& r = records[i];
        if (is(r, "P", 6)) {
            if (r[2] == "1" && !cancelled.count(i))
                CPath(r[1]).remove();
        } else if (is(r, "A", 3)) {
            putBack(r[1], r[2]);
        } else if (is(r, "C", 3)) {
            CSharedDllCount count(r[1]);
            count.release(static_cast<std::uint32_t>(std::stoul("0" + r[2])));
        } else if (is(r, "R", 3)) {
            WithdrawBootRename(r[1], r[2]);
        } else if (is(r, "T", 2) || is(r, "N", 2)) {
            CPath(r[1]).remove();
        } else if (is(r, "D", 2)) {
            RemoveDirectoryA(r[1].c_str());
        } else if (is(r, "F", 3)) {
            restoreFile(r[1], r[2]);
        } else if (IsRegistrySnapshotStart(r)) {
            RestoreRegistrySnapshot(records, i);
        }
    }
}

bool committed(const std::vector<CJournalRecord>& records)
{
    for (const CJournalRecord& r : records)
        if (is(r, "Z", 1))
            return true;
    return false;
}

bool uninstalling(const std::vector<CJournalRecord>& records)
{
    return !records.empty() && is(records.front(), "B", 2) && records.front()[1] == "U";
}

} // namespace

std::string CRunJournal::PathFor(const std::string& logPath)
{
    CPath path(logPath);
    path.setExt("jnl");
    return path.text();
}

bool CRunJournal::Recover(const std::string& logPath)
{
    std::string path = PathFor(logPath);
    if (!CPath(path).exists())
        return true;
    CJournalFile probe;
    if (probe.open(path) == CJournalFile::busy)
        return false;
    probe.close();
    std::vector<CJournalRecord> records = CJournalFile::ReadAll(path);
    if (committed(records) || uninstalling(records)) {
        if (!fold(logPath, records))
            return true;  // tried again by the next run
        cleanUp(records);
    } else {
        undo(records);
    }
    CPath(path).remove();
    return true;
}

CJournalFile::OpenResult CRunJournal::Begin(const std::string& logPath, Mode mode)
{
    m_logPath = logPath;
    m_path = PathFor(logPath);
    m_mode = mode;
    CJournalFile::OpenResult result = m_file.open(m_path);
    if (result == CJournalFile::opened)
        write({"B", std::string(1, static_cast<char>(mode))});
    return result;
}

void CRunJournal::write(const CJournalRecord& record)
{
    if (!m_file.isOpen())
        return;
    // A step that can't be written down can't be undone: it isn't taken.
    if (!m_file.append(record))
        throw CFileException(CFileException::causeFromOsError(GetLastError()), m_path);
}

void CRunJournal::TempFile(const std::string& path)
{
    write({"T", path});
}

void CRunJournal::MovedAside(const std::string& path, const std::string& aside)
{
    write({"A", path, aside});
}

void CRunJournal::Placed(const std::string& path, bool placedNow, const std::string& section,
                         const std::string& key, const std::string& value)
{
    write({"P", path, placedNow ? "1" : "0", section, key, value});
}

void CRunJournal::TempNamed(const std::string& path)
{
    m_namedTemps.insert(path);
}

void CRunJournal::NotPlaced(const std::string& path)
{
    write({"Q", path});
}

void CRunJournal::CountRaised(const std::string& sharedPath, std::uint32_t added)
{
    if (added != 0)
        write({"C", sharedPath, std::to_string(added)});
}

void CRunJournal::BootRename(const std::string& source, const std::string& target)
{
    write({"R", source, target});
}

void CRunJournal::NewFile(const std::string& path)
{
    write({"N", path});
}

namespace {

std::string folderKey(std::string folder)
{
    while (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    return LowerCase(folder);
}

} // namespace

void CRunJournal::NewFolder(const std::string& path)
{
    write({"D", path});
    m_newFolders.insert(folderKey(path));
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
        write({"F", path, ""});
        return;
    }
    std::string copy = file.folderText() + file.freshTempName(file.ext());
    write({"F", path, copy});
    CopyFileA(path.c_str(), copy.c_str(), TRUE);
}

void CRunJournal::KeyBefore(HKEY root, REGSAM view, const std::string& key)
{
    if (!m_file.isOpen())
        return;
    for (const CJournalRecord& record : SnapshotRegistryKey(root, view, key))
        write(record);
}

void CRunJournal::LogEntry(const std::string& section, const std::string& key,
                           const std::string& value)
{
    write({"S", section, key, value});
}

void CRunJournal::LogEntryGone(const std::string& section, const std::string& key)
{
    write({"X", section, key});
}

void CRunJournal::Commit()
{
    if (!m_file.isOpen())
        return;
    write({"Z"});
    m_file.close();
    std::vector<CJournalRecord> records = CJournalFile::ReadAll(m_path);
    // A log that can't take the records keeps the journal for the next run.
    if (!fold(m_logPath, records))
        return;
    cleanUp(records, m_namedTemps);
    CPath(m_path).remove();
}

void CRunJournal::RollBack()
{
    if (!m_file.isOpen())
        return;
    m_file.close();
    undo(CJournalFile::ReadAll(m_path));
    CPath(m_path).remove();
}
