// `mkdisks list` and `mkdisks test`: reading an archive the way the
// installer does, through all its volumes.
#pragma once

#include "archive/multi_file.h"

#include <ostream>
#include <string>

class CException;

// Follows continued members into the next volume: beside the current one,
// or in the next disk's folder (DISK01 -> DISK02), as the installer finds it.
class CVolumeChain : public CMultiFile {
public:
    bool endOfVolume() override;
    int volume = 1;
};

// Both return 0 when the archive is sound, else print why and return 1.
int listArchive(const std::string& firstVolume, std::ostream& out);
int testArchive(const std::string& firstVolume, std::ostream& out);

// A readable reason for an archive or file error.
std::string describeError(const CException& error);
