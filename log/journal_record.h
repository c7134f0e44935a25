// One step of a run as the journal beside the install log keeps it: a line
// of fields separated by "|" ("|", "%" and line breaks inside a field are
// written as %XX), the first field a letter naming the kind. This is the
// journal's one writer and one reader of those lines. It makes no Windows
// call, so it is also built for the host, where it is fuzzed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct CJournalRecord {
    enum Kind : char {
        begin = 'B',         // mode: the run began (I installation, U uninstallation)
        tempFile = 'T',      // path: a temporary file is about to be made
        movedAside = 'A',    // path, other: an older copy was moved aside; flag: kept
                             // for the uninstaller to put back, not deleted at commit
        placed = 'P',        // path, flag, section, key, value: a file is (about to be)
                             // in place, now (flag) or at the next start of Windows,
                             // with its record of the log
        notPlaced = 'Q',     // path: ... but it did not get there
        countRaised = 'C',   // path, after: a count raised by that much (journals of
                             // earlier versions only)
        countSet = 'L',      // path, before, after: a shared count goes from before to after
        bootRename = 'R',    // path, other: path goes to other ("" deletes it) when
                             // Windows next starts
        withdrawn = 'W',     // path, other: such an operation of an earlier run, taken back
        newFile = 'N',       // path: a file was made outside the copy (a shell link)
        newFolder = 'D',     // path: a folder was made
        asideFolder = 'O',   // path, other: a folder made in other for the older copies
                             // this run moves aside there, under their own names
        fileBefore = 'F',    // path, other: a file is about to change; other holds a
                             // copy of it ("" when it was absent)
        removed = 'G',       // path, section, key, value: the uninstaller deletes the
                             // file; the log keeps that record if it can't
        renamed = 'M',       // path, other: a file is renamed from path to other
        keyBefore = 'K',     // hive, view, path, flag, top: a registry key about to
                             // change (flag: it existed); top starts a snapshot
        valueBefore = 'V',   // hive, view, path, name, type, data: one of its values
        snapshotEnd = 'E',   // hive, view, path: the snapshot of that key is whole
        logEntry = 'S',      // section, key, value: an entry of the log set
        logEntryGone = 'X',  // section, key: an entry taken out of the log
        committed = 'Z',     // the run succeeded: the log is to get the records
    };

    Kind kind = begin;
    char mode = 'I';
    std::string path;
    std::string other;
    bool flag = false;
    bool top = false;
    std::string section;
    std::string key;
    std::string value;
    std::uint32_t before = 0;
    std::uint32_t after = 0;
    // A registry value or key: its hive ("HKLM" or "HKCU"), its registry
    // view, and for a value its name (UTF-8), type and data (hexadecimal
    // digits, two for each byte).
    std::string hive;
    std::uint32_t view = 0;
    std::string name;
    std::uint32_t type = 0;
    std::string data;
};

std::string EncodeJournalRecord(const CJournalRecord& record);
// The record a line holds; nothing for a line that is no record of this
// program's (damaged, cut, or of another kind).
std::optional<CJournalRecord> DecodeJournalRecord(const std::string& line);
// The records of a journal's text, line by line ("\r\n" ends each); a
// last line cut short by a kill is left out, and so is a line that holds
// no record (counted in damaged).
std::vector<CJournalRecord> ParseJournal(const std::string& text, std::size_t* damaged = nullptr);
