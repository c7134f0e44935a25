// Replacement of files in use at the next start of Windows: the platform's
// move-on-restart request, or where that is refused, an entry in the
// "rename" section of wininit.ini.
#pragma once

#include <windows.h>

#include <string>

// Schedules source to be moved over target when Windows next starts; with
// an empty target, source is deleted then. Sets the run's restartNeeded.
// Always true: how the request was recorded is not reported. Raises
// CXFileException when wininit.ini's new text can't get a temporary file.
bool ReplaceAtRestart(const std::string& source, const std::string& target);

// Deletes path. One that another program holds open is tried again for a
// moment (RetryWhileInUse), then deleted when Windows next starts through
// ReplaceAtRestart (so the run needs a restart), with an event in the log.
// False when it stays; a missing file is no failure.
bool DeleteNowOrAtRestart(const std::string& path);

// The platform's request: MoveFileExA with MOVEFILE_DELAY_UNTIL_REBOOT,
// replacing an existing target. False when the platform refuses it.
bool MoveAtRestart(const std::string& source, const std::string& target);
using MoveAtRestartFn = bool (*)(const std::string& source, const std::string& target);

// wininit.ini in the Windows folder.
std::string WininitPath();

// The wininit.ini entry for a swap: key = target (or "NUL" to delete),
// value = source, both in their short (8.3) forms, which is all the
// processing at start-up understands. True when the file holds it.
bool AddWininitRename(const std::string& wininit, const std::string& source,
                      const std::string& target);

// ReplaceAtRestart's two ways, given: the program passes MoveAtRestart and
// WininitPath().
void ScheduleBootRename(const std::string& source, const std::string& target,
                        MoveAtRestartFn moveAtRestart, const std::string& wininit);

// Takes back a replacement scheduled by ReplaceAtRestart: the pair of the
// move-on-restart list whose source is source, or the wininit.ini entry
// target = source. There is no call that withdraws one, so the list (the
// Session Manager's PendingFileRenameOperations) is edited.
void WithdrawBootRename(const std::string& source, const std::string& target);
// The same with the list's key given (a scratch key in the tests).
void WithdrawBootRename(const std::string& source, const std::string& target, HKEY root,
                        const std::string& sessionManagerKey, const std::string& wininit);
