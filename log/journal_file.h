// The journal of a run, a file beside the install log: one line appended
// for every step that changes the machine, each handed to the system before
// the step is taken (a killed process loses nothing; no flush to the disk is
// asked for). The next run reads it back to finish or undo what the killed
// run left.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// One line: fields that may hold any character; "|", "%" and line breaks
// are written as %XX.
using CJournalRecord = std::vector<std::string>;

std::string EncodeJournalRecord(const CJournalRecord& record);
CJournalRecord DecodeJournalRecord(const std::string& line);

class CJournalFile {
public:
    enum OpenResult { opened, busy, failed };

    CJournalFile() = default;
    ~CJournalFile() { close(); }
    CJournalFile(const CJournalFile&) = delete;
    CJournalFile& operator=(const CJournalFile&) = delete;

    // Opens the file for appending, created when missing. Nobody else may
    // write it meanwhile: busy when another run holds it.
    OpenResult open(const std::string& path);
    bool isOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    // One record with one write; false when the system refused it.
    bool append(const CJournalRecord& record);
    void close();

    // Every whole line of the file, in order; a last line cut short by a
    // kill is left out. Empty when the file is missing.
    static std::vector<CJournalRecord> ReadAll(const std::string& path);

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
};
