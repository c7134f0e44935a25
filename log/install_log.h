// The install log, ovca40.log in the Windows folder: a time-stamped list of
// the run's events, and the uninstall profile (one record per placed file in
// a section named after its group, and the model written back at the end of
// copying) that the uninstaller reads.
#pragma once

#include <cstdint>
#include <map>
#include <string>

class CInstallApp;
class CRunJournal;

// Writes line into the Events section under a fresh stamp "HH:MM:SS:nnnn"
// (the tick count modulo 1000, moved on to the next free number when that
// stamp is taken).
void WriteLogEvent(const std::string& logFile, const std::string& line);

// The model of the run as entries of the log, written down in the run's
// journal: destinations (ids 0 and up), groups and installed targets.
void WriteBackModel(const CInstallApp& app, CRunJournal& journal);

// The log's record of one placed file:
// "destination|placedNow|existedBefore|kept[|backup]". kept says that the
// file of the Windows or System folder was on the machine before this
// product first placed it, so that the uninstaller leaves it there; backup
// names the copy, beside it, of a file of another folder that was there
// before, which the uninstaller puts back (older readers take the first
// three fields only).
std::string FileRecordValue(int destination, bool placedNow, bool existedBefore, bool kept,
                            const std::string& backup = std::string());

struct CFileRecord {
    bool valid = false;
    std::int16_t destination = 0;
    bool placedNow = false;
    bool existedBefore = false;
    bool kept = false;
    std::string backup;
    std::string section;
};
// A record as FileRecordValue writes it, or with three fields as earlier
// versions did (kept is then existedBefore); not valid without a destination.
CFileRecord ParseFileRecord(const std::string& value);

// The installation folder the log names (destination 0) when it still lists
// files of the product; empty otherwise.
std::string LoggedInstallFolder(const std::string& logFile);

// The log's sections that are not a group's records.
bool IsModelSection(const std::string& section);

// The files an earlier installation placed, as the log records them.
class CInstalledFiles {
public:
    void Read(const std::string& logFile);
    // The record of that file name (any case) and destination, or null.
    const CFileRecord* Find(const std::string& name, int destination) const;
    // The record of that file name in a group's section, wherever it went.
    const CFileRecord* FindInGroup(const std::string& section, const std::string& name) const;

private:
    static std::string lowerKey(const std::string& name, int destination);
    std::map<std::string, CFileRecord> m_records;
    std::map<std::string, CFileRecord> m_byGroup;
};
