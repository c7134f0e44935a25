// What one run changes on the machine, written down step by step in the
// journal beside the install log (ovca40.jnl), so that the run is all or
// nothing: an installation that fails, is cancelled or is killed is undone,
// by this run or by the next one, and one that succeeds has its records
// folded into the log in one rewrite. An uninstallation writes what it will
// release before it releases it; its records are folded out of the log, also
// when it was killed half-way, so that a second run releases nothing twice.
//
// The journal is also the lock against a second run: it is held open from
// the start of a run to the end of its commit or undo, and what an earlier
// run left is read, settled and cleared under the same hold.
#pragma once

#include "log/journal_file.h"

#include <windows.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

class CRunJournal {
public:
    enum Mode : char { install = 'I', uninstall = 'U' };
    enum StartResult {
        started,
        // Another run holds the journal: it is working, not killed.
        busy,
        // The journal can't be made or written (no rights, a full disk).
        failed,
        // What an earlier run left can't be settled now (the log can't be
        // written); kept for a later run.
        unsettled,
    };

    CRunJournal() = default;
    CRunJournal(const CRunJournal&) = delete;
    CRunJournal& operator=(const CRunJournal&) = delete;

    // The journal that goes with a log: its path with the extension "jnl".
    static std::string PathFor(const std::string& logPath);

    // Takes the journal beside logPath for this run, after settling what an
    // earlier run left in it: a committed or uninstalling run is finished
    // and folded into the log, an installation is undone.
    StartResult Begin(const std::string& logPath, Mode mode);
    bool active() const { return m_file.isOpen(); }
    Mode mode() const { return m_mode; }
    // An undo, or an earlier run's settling, left a file to the next start
    // of Windows.
    bool restartNeeded() const { return m_restartNeeded; }

    // Steps of an installation, each written before the step is taken (or,
    // for a record of the log, once the file is in place).
    void TempFile(const std::string& path);
    // keptForUninstall: the older copy is someone else's file, kept beside
    // ours for the uninstaller to put back instead of deleted at commit.
    // Flushed to the disk first, unless the copy goes under its own name
    // into the folder's AsideFolder.
    void MovedAside(const std::string& path, const std::string& aside, bool keptForUninstall = false);
    // This run's folder of older copies inside folder, made (and written
    // down, on the disk) the first time: what is moved there under its own
    // name is put back by an undo even when its own record was lost to a
    // power cut, so those records need no flush each. Empty when it can't
    // be made.
    std::string AsideFolder(const std::string& folder);
    // The file is (about to be) at path with its log record; placedNow 0
    // when a boot-time replacement puts it there.
    void Placed(const std::string& path, bool placedNow, const std::string& section,
                const std::string& key, const std::string& value);
    // The temporary file took its final name: nothing to remove at the end.
    // Kept by this run only; a recovery removes every temporary name.
    void TempNamed(const std::string& path);
    // A placement that failed after Placed: no record, nothing to undo.
    void NotPlaced(const std::string& path);
    // A file this run placed was taken away again by a later step: neither
    // it nor an earlier run's record of it stays in the log.
    void PlacedFileRemoved(const std::string& path);
    // A shared count about to go from before to after: an undo puts back
    // before, the settling of a killed uninstallation sets after.
    void CountSet(const std::string& sharedPath, std::uint32_t before, std::uint32_t after);
    void BootRename(const std::string& source, const std::string& target);
    // An earlier run's operation for the next start of Windows, about to be
    // taken back (an undo schedules it again).
    void Withdrawn(const std::string& source, const std::string& target);
    // A file this run makes outside the copy (a shell link), a folder it
    // makes (taken away by an undo when empty).
    void NewFile(const std::string& path);
    void NewFolder(const std::string& path);
    // A file about to be renamed (undone by renaming it back).
    void Renamed(const std::string& from, const std::string& to);
    // Makes a folder with every missing parent, each written down first;
    // false when it can't be made.
    bool CreateFolders(const std::string& folder);
    // Whether this run made the folder: it then holds only what the run put
    // there, and nothing needs looking for on the disk.
    bool IsNewFolder(const std::string& folder) const;
    // A file about to be changed: a copy is kept until the run is over.
    // Raises the platform's file error, before anything is changed, when
    // the copy can't be made.
    void FileBefore(const std::string& path);
    // A registry key, its values and its subkeys, about to be changed.
    void KeyBefore(HKEY root, REGSAM view, const std::string& key);
    // An entry of the log set (the model written back) or, in an
    // uninstallation, a handled record taken out of it.
    void LogEntry(const std::string& section, const std::string& key, const std::string& value);
    void LogEntryGone(const std::string& section, const std::string& key);
    // The uninstaller is about to delete the file of that log record.
    void Removed(const std::string& path, const std::string& section, const std::string& key,
                 const std::string& value);

    // The run succeeded: the log gets this run's records (the log is waited
    // for while another program holds it), the copies kept for an undo go,
    // the journal goes. False when the log can't take the records: an
    // installation is then undone, an uninstallation's journal stays for
    // the next run.
    bool Commit();
    // The installation failed: everything written down is undone, newest
    // first; the log keeps its records and its events. Records that can't
    // be carried out now or at the next start of Windows stay in the
    // journal for a later run.
    void RollBack();

    const std::string& path() const { return m_path; }

private:
    void write(const CJournalRecord& record);
    // Written and flushed to the disk before a step that destroys
    // something: a power cut can't lose the record of it.
    void writeDurable(const CJournalRecord& record);
    // Finishes or undoes records of a run: true when nothing is left to do.
    bool settle(const std::vector<CJournalRecord>& records, bool finishing);
    // The journal emptied and closed, all under the hold, then deleted.
    void close();
    void note(const std::string& event) const;

    CJournalFile m_file;
    std::string m_path;
    std::string m_logPath;
    Mode m_mode = install;
    bool m_restartNeeded = false;
    // Lower case, without the closing backslash.
    std::set<std::string> m_newFolders;
    std::set<std::string> m_namedTemps;
    // By the lower-case folder (with its backslash) they serve.
    std::map<std::string, std::string> m_asideFolders;
    // This run's placements: the log's section and key of each path.
    std::map<std::string, std::pair<std::string, std::string>> m_placed;
};
