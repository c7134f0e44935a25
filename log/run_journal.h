// What one run changes on the machine, written down step by step in the
// journal beside the install log (ovca40.jnl), so that the run is all or
// nothing: an installation that fails, is cancelled or is killed is undone,
// by this run or by the next one, and one that succeeds has its records
// folded into the log in one rewrite. An uninstallation's handled records
// are folded out of the log, also when it was killed half-way, so that a
// second run releases nothing twice.
#pragma once

#include "log/journal_file.h"

#include <windows.h>

#include <set>
#include <string>
#include <vector>

class CRunJournal {
public:
    enum Mode : char { install = 'I', uninstall = 'U' };

    CRunJournal() = default;
    CRunJournal(const CRunJournal&) = delete;
    CRunJournal& operator=(const CRunJournal&) = delete;

    // The journal that goes with a log: its path with the extension "jnl".
    static std::string PathFor(const std::string& logPath);

    // Finishes what a run that was killed left in the journal beside
    // logPath: a committed or uninstalling run is folded into the log, an
    // installation is undone; then the journal goes. False when another run
    // holds the journal (it is working, not killed).
    static bool Recover(const std::string& logPath);

    // Starts this run's journal; busy when another run holds it.
    CJournalFile::OpenResult Begin(const std::string& logPath, Mode mode);
    bool active() const { return m_file.isOpen(); }
    Mode mode() const { return m_mode; }

    // Steps of an installation, each written before the step is taken (or,
    // for a record of the log, once the file is in place).
    void TempFile(const std::string& path);
    void MovedAside(const std::string& path, const std::string& aside);
    // The file is (about to be) at path with its log record; placedNow 0
    // when a boot-time replacement puts it there.
    void Placed(const std::string& path, bool placedNow, const std::string& section,
                const std::string& key, const std::string& value);
    // The temporary file took its final name: nothing to remove at the end.
    // Kept by this run only; a recovery removes every temporary name.
    void TempNamed(const std::string& path);
    // A placement that failed after Placed: no record, nothing to undo.
    void NotPlaced(const std::string& path);
    void CountRaised(const std::string& sharedPath, std::uint32_t added);
    void BootRename(const std::string& source, const std::string& target);
    // A file this run makes outside the copy (a shell link), a folder it
    // makes (taken away by an undo when empty).
    void NewFile(const std::string& path);
    void NewFolder(const std::string& path);
    // Makes a folder with every missing parent, each written down first;
    // false when it can't be made.
    bool CreateFolders(const std::string& folder);
    // Whether this run made the folder: it then holds only what the run put
    // there, and nothing needs looking for on the disk.
    bool IsNewFolder(const std::string& folder) const;
    // A file about to be changed: a copy is kept until the run is over.
    void FileBefore(const std::string& path);
    // A registry key, its values and its subkeys, about to be changed.
    void KeyBefore(HKEY root, REGSAM view, const std::string& key);
    // An entry of the log set (the model written back) or, in an
    // uninstallation, a handled record taken out of it.
    void LogEntry(const std::string& section, const std::string& key, const std::string& value);
    void LogEntryGone(const std::string& section, const std::string& key);

    // The run succeeded: the log gets this run's records, the copies kept
    // for an undo go, the journal goes.
    void Commit();
    // The installation failed: everything written down is undone, newest
    // first; the log keeps its records and its events.
    void RollBack();

    const std::string& path() const { return m_path; }

private:
    void write(const CJournalRecord& record);

    CJournalFile m_file;
    std::string m_path;
    std::string m_logPath;
    Mode m_mode = install;
    // Lower case, without the closing backslash.
    std::set<std::string> m_newFolders;
    std::set<std::string> m_namedTemps;
};
