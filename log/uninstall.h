// The steps of an uninstallation that the uninstall pages run, from the log
// read back as the profile: the logged files, then the program items and
// the folders, then the registrations and the editors' set-up.
#pragma once

#include "system/registry_place.h"

#include <functional>
#include <string>

class CInstallApp;

// The user's two dictionaries (terms to ignore, own words).
bool IsUserDictionary(const std::string& fileName);

enum class CRemoval { gone, atRestart, stays };

// Deletes a file of the installation, now or, when another program holds it
// open, at the next start of Windows (DeleteNowOrAtRestart).
CRemoval RemoveLoggedFile(const std::string& path);

// Whether path is this program's own file.
bool IsRunningProgram(const std::string& path);

// Deletes every file the log's group sections list (every group, selected
// or not). A shared file (destination -3) loses one reference and goes only
// when nobody counts on it any more; a file of the Windows or System folder
// that was there before the product goes never; a file that took the place
// of someone else's gives it back. Each path is handed to show first. What
// a record releases is written into the journal before it is released, and
// the record is taken out of the log when the run ends, so nothing is
// released twice. A file that can't be deleted keeps its record (a later
// run tries again), is named in the log's events and sets filesLeft; the
// dictionaries, when kept, keep their records, and so does the running
// uninstaller's own file until the second stage has started.
void DeleteLoggedFiles(CInstallApp& app, const std::function<void(const std::string&)>& show,
                       bool keepDictionaries = false,
                       const CRegistryPlace& place = CRegistryPlace::machine());

// Removes each folder of the installation (ids 0 and up) that is empty.
void RemoveEmptyFolders(CInstallApp& app);

// The installation folder if it is empty, the application path, the
// uninstall entry and the options file, then the editors' set-up and last the product record,
// which the editors' undo steps read.
void UndoRegistrations(CInstallApp& app, const CRegistryPlace& place = CRegistryPlace::machine());
