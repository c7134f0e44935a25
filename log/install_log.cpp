#include "log/install_log.h"

#include "app/install_app.h"
#include "log/run_journal.h"
#include "profile/profile_access.h"
#include "profile/profile_file.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>
#include <ctime>

void WriteLogEvent(const std::string& logFile, const std::string& line)
{
    char clock[16] = "00:00:00";
    std::time_t now = std::time(nullptr);
    if (const std::tm* local = std::localtime(&now))
        std::strftime(clock, sizeof clock, "%H:%M:%S", local);
    // Lines written within the same tick would share a stamp and the later
    // one would replace the earlier; move on to the next free number.
    char stamp[32];
    long tick = static_cast<long>(GetTickCount() % 1000);
    for (long n = tick; n <= 9999; ++n) {
        std::snprintf(stamp, sizeof stamp, "%s:%04ld", clock, n);
        char existing[2] = {};
        if (GetPrivateProfileStringA("Events", stamp, "", existing, sizeof existing, logFile.c_str()) == 0)
            break;
    }
    // A value is one line: a line break would end it there.
    std::string oneLine = line;
    for (char& c : oneLine)
        if (c == '\r' || c == '\n')
            c = ' ';
    WritePrivateProfileStringA("Events", stamp, oneLine.c_str(), logFile.c_str());
}

void WriteBackModel(const CInstallApp& app, CRunJournal& journal)
{
    for (const auto& entry : app.destinations) {
        const CDestination& d = *entry.second;
        if (d.id < 0)
            continue;
        journal.LogEntry("destinations", std::to_string(d.id),
                         d.name + "|" + std::to_string(d.parent) + "|" + d.path.text());
    }
    for (const auto& entry : app.groups) {
        const CFileGroup& g = *entry.second;
        journal.LogEntry("groups", g.name,
                         g.title + "|" + g.description + "|" + (g.inMinimum ? "1" : "0") + "|" +
                             (g.inTypical ? "1" : "0") + "|" + (g.selectable ? "1" : "0"));
    }
    for (const auto& entry : app.targets) {
        const CTarget& t = *entry.second;
        if (t.installedPath.empty())
            continue;
        journal.LogEntry("targets", entry.first,
                         std::to_string(t.iconIndex) + "|" + std::to_string(t.reserved) + "|" +
                             (t.minimised ? "1" : "0") + "|" + t.title + "|" + t.arguments + "|" +
                             t.iconFile + "|" + t.installedPath.text());
    }
}

std::string FileRecordValue(int destination, bool placedNow, bool existedBefore, bool kept,
                            const std::string& backup)
{
    char value[48];
    std::snprintf(value, sizeof value, "%d|%d|%d|%d", destination, placedNow ? 1 : 0,
                  existedBefore ? 1 : 0, kept ? 1 : 0);
    return backup.empty() ? std::string(value) : value + ("|" + backup);
}

CFileRecord ParseFileRecord(const std::string& value)
{
    CFileRecord record;
    record.valid = FieldAsInt16(record.destination, value, 0);
    FieldAsBool(record.placedNow, value, 1);
    FieldAsBool(record.existedBefore, value, 2);
    // A record of three fields: what was there before is kept.
    record.kept = record.existedBefore;
    FieldAsBool(record.kept, value, 3);
    ExtractField(record.backup, value, 4);
    // Only a name beside the file: never a path elsewhere.
    if (record.backup.find_first_of("\\/:") != std::string::npos || record.backup == "." ||
        record.backup == "..")
        record.backup.clear();
    return record;
}

namespace {

// Every file record of the log, with its section and key; visit says
// whether to go on.
template <class Visit>
void forEachFileRecord(const CProfileFile& log, Visit visit)
{
    for (const std::string& section : log.sectionNames()) {
        if (IsModelSection(section))
            continue;
        for (const std::string& key : log.keyNames(section)) {
            std::string value;
            log.value(section, key, value);
            CFileRecord record = ParseFileRecord(value);
            if (!record.valid)
                continue;
            record.section = section;
            if (!visit(key, record))
                return;
        }
    }
}

} // namespace

std::string LoggedInstallFolder(const std::string& logFile)
{
    CProfileFile log;
    std::string destination;
    if (!log.load(logFile) || !log.value("destinations", "0", destination))
        return std::string();
    bool any = false;
    forEachFileRecord(log, [&](const std::string&, const CFileRecord&) { return !(any = true); });
    std::string folder;
    if (any)
        ExtractField(folder, destination, 2);
    return folder;
}

bool IsModelSection(const std::string& section)
{
    for (const char* model : {"Events", "destinations", "groups", "targets"})
        if (lstrcmpiA(section.c_str(), model) == 0)
            return true;
    return false;
}

void CInstalledFiles::Read(const std::string& logFile)
{
    m_records.clear();
    m_byGroup.clear();
    CProfileFile log;
    log.load(logFile);
    forEachFileRecord(log, [this](const std::string& key, const CFileRecord& record) {
        m_records.emplace(lowerKey(key, record.destination), record);
        m_byGroup.emplace(LowerCase(record.section) + "|" + LowerCase(key), record);
        return true;
    });
}

const CFileRecord* CInstalledFiles::Find(const std::string& name, int destination) const
{
    auto found = m_records.find(lowerKey(name, destination));
    return found == m_records.end() ? nullptr : &found->second;
}

const CFileRecord* CInstalledFiles::FindInGroup(const std::string& section,
                                               const std::string& name) const
{
    auto found = m_byGroup.find(LowerCase(section) + "|" + LowerCase(name));
    return found == m_byGroup.end() ? nullptr : &found->second;
}

std::string CInstalledFiles::lowerKey(const std::string& name, int destination)
{
    return std::to_string(destination) + "|" + LowerCase(name);
}
