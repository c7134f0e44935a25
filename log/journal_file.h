// The journal of a run, a file beside the install log: one line appended
// for every step that changes the machine, each handed to the system before
// the step is taken (a killed process loses nothing), and flushed to the
// disk before a step that destroys something (a power cut loses nothing of
// that). The next run reads it back to finish or undo what the killed run
// left. Whoever has it open holds it: nobody else may write or delete it.
#pragma once

#include "log/journal_record.h"

#include <windows.h>

#include <string>
#include <vector>

class CJournalFile {
public:
    enum OpenResult { opened, busy, failed };

    CJournalFile() = default;
    ~CJournalFile() { close(); }
    CJournalFile(const CJournalFile&) = delete;
    CJournalFile& operator=(const CJournalFile&) = delete;

    // Opens the file, created when missing, and holds it: another run gets
    // busy. Readers may look.
    OpenResult open(const std::string& path);
    bool isOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    // The records of the open file, as ReadAll reads them.
    std::vector<CJournalRecord> records(std::size_t* damaged = nullptr) const;
    // Empties the open file; the next record is its first.
    bool clear();
    // One record at the end with one write; false when the system refused it.
    bool append(const CJournalRecord& record);
    // What was appended reaches the disk, not only the system.
    bool flush();
    void close();
    // Deletes the file and lets go of it: nobody can take it in between.
    void remove();

    // The records of every whole line of a file, in order; a last line cut
    // short by a kill is left out, and so is a line that holds no record
    // (counted in damaged). Empty when the file is missing.
    static std::vector<CJournalRecord> ReadAll(const std::string& path, std::size_t* damaged = nullptr);

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
    std::string m_path;
};
