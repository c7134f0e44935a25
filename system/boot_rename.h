// Replacement of files in use at the next start of Windows: the platform's
// move-on-restart request, or where that is refused, an entry in the
// "rename" section of wininit.ini.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Schedules source to be moved over target when Windows next starts; with
// an empty target, source is deleted then. Sets the run's restartNeeded;
// false (and nothing pending) when the system refused the request. Raises
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

// ReplaceAtRestart's two ways, given: the program passes MoveAtRestart and,
// where Windows reads it (not on NT), WininitPath(); false when neither
// took the request.
bool ScheduleBootRename(const std::string& source, const std::string& target,
                        MoveAtRestartFn moveAtRestart, const std::string& wininit);

// One operation of the system's list for the next start of Windows (the
// Session Manager's PendingFileRenameOperations): source goes to target, or
// is deleted when target is empty. Both in the ANSI code page, without the
// list's "\\??\\" and "!" prefixes.
struct CBootOperation {
    std::string source;
    std::string target;
};

// The list, read with the wide call; the Session Manager key is given in
// the tests (a scratch key).
std::vector<CBootOperation> PendingBootOperations();
std::vector<CBootOperation> PendingBootOperations(HKEY root, const std::string& sessionManagerKey);

// Takes every operation that drop names out of the list, which is rewritten
// with the other programs' operations exactly as they were (wide texts);
// the operations taken out.
std::vector<CBootOperation> WithdrawBootOperations(const std::function<bool(const CBootOperation&)>& drop);
std::vector<CBootOperation> WithdrawBootOperations(const std::function<bool(const CBootOperation&)>& drop,
                                                   HKEY root, const std::string& sessionManagerKey);

// Whether two paths name one file (in any case, long or short form).
bool SamePath(const std::string& a, const std::string& b);

// Takes back a replacement scheduled by ReplaceAtRestart: the operation of
// the list whose source is source, or the wininit.ini entry target = source.
// There is no call that withdraws one, so the list is edited.
void WithdrawBootRename(const std::string& source, const std::string& target);
// The same with the list's key given (a scratch key in the tests).
void WithdrawBootRename(const std::string& source, const std::string& target, HKEY root,
                        const std::string& sessionManagerKey, const std::string& wininit);
