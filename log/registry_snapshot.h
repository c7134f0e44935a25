// A registry key, with its values and subkeys, written into the run's
// journal before the run changes it, and put back from there by an undo.
// Other programs' keys pass through here: names and data are read and
// written with the wide calls and kept exactly (names as UTF-8, data as the
// bytes the registry holds).
#pragma once

#include "log/journal_record.h"

#include <windows.h>

#include <string>
#include <vector>

// The records: one keyBefore per key (the first with top set), one
// valueBefore per value, and last a snapshotEnd that says it is whole.
std::vector<CJournalRecord> SnapshotRegistryKey(HKEY root, REGSAM view, const std::string& key);

bool IsRegistrySnapshotStart(const CJournalRecord& record);
// Puts the key of the snapshot that starts at records[start] back as it
// was: removed when it was missing, else exactly its values and subkeys.
// A snapshot without its end (a run killed while it was written) is left
// alone, and so is the key: false then.
bool RestoreRegistrySnapshot(const std::vector<CJournalRecord>& records, std::size_t start);
