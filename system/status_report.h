// The installation status report of a software-distribution system, written
// through its optional library ismif32.dll.
#pragma once

#include <string>

// True when the report was written; false when the library or its export is
// missing or the call fails. Never raises.
bool WriteStatusReport(const std::string& reportName, const std::string& manufacturer,
                       const std::string& product, const std::string& version,
                       const std::string& description, bool success, const std::string& locale,
                       const char* serialNumber);
