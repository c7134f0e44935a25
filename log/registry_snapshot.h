// A registry key, with its values and subkeys, written into the run's
// journal before the run changes it, and put back from there by an undo.
#pragma once

#include "log/journal_file.h"

#include <windows.h>

#include <string>
#include <vector>

// The records: K hive view key exists top (one per key, the first with top
// "1") and V hive view key name type data (one per value, data in hex).
std::vector<CJournalRecord> SnapshotRegistryKey(HKEY root, REGSAM view, const std::string& key);

bool IsRegistrySnapshotStart(const CJournalRecord& record);
// Puts the key of the snapshot that starts at records[start] back as it
// was: removed when it was missing, else exactly its values and subkeys.
void RestoreRegistrySnapshot(const std::vector<CJournalRecord>& records, std::size_t start);
