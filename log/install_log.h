// The install log, ovca40.log in the Windows folder: a time-stamped list of
// the run's events, and the uninstall profile (one record per placed file in
// a section named after its group, and the model written back at the end of
// copying) that the uninstaller reads.
#pragma once

#include <string>

class CInstallApp;

// Writes line into the Events section under a fresh stamp "HH:MM:SS:nnnn"
// (the tick count modulo 1000, moved on to the next free number when that
// stamp is taken).
void WriteLogEvent(const std::string& logFile, const std::string& line);

// Writes destinations (ids 0 and up), groups and installed targets.
void WriteBackModel(const CInstallApp& app, const std::string& file);

// The log's record of one placed file: "destination|placedNow|existedBefore".
bool WriteFileRecord(const std::string& file, const std::string& group,
                     const std::string& placedName, int destination, bool placedNow,
                     bool existedBefore);
