// The log an administrator asks for with /LOG: a plain-text account of one
// run, appended to the file named (the temporary folder's ovca40-setup.txt
// when none is): the command line, every step taken, the text of every box
// with the answer given, and last the exit code. The install log in the
// Windows folder stays what it is.
#pragma once

#include <windows.h>

#include <string>

class CRunLog {
public:
    CRunLog() = default;
    ~CRunLog() { close(); }
    CRunLog(const CRunLog&) = delete;
    CRunLog& operator=(const CRunLog&) = delete;

    // Opens (or makes) the file for appending; false when it can't be.
    bool open(const std::string& path);
    bool isOpen() const { return m_file != INVALID_HANDLE_VALUE; }
    // One time-stamped line (line breaks inside become blanks), written
    // through at once: a killed run's log ends where the run did.
    void line(const std::string& text);
    void close();

    // Where "/LOG" without a file writes.
    static std::string DefaultPath();

private:
    HANDLE m_file = INVALID_HANDLE_VALUE;
};
