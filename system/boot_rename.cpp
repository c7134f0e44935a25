#include "system/boot_rename.h"

#include "app/install_app.h"
#include "platform/path.h"
#include "system/ini_line_editor.h"

#include <windows.h>

bool MoveAtRestart(const std::string& source, const std::string& target)
{
    if (target.empty())
        return MoveFileExA(source.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
    // The old file is still there at start-up: without leave to replace it
    // the swap would be skipped and the new file never put in place.
    return MoveFileExA(source.c_str(), target.c_str(),
                       MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING) != FALSE;
}

std::string WininitPath()
{
    CPath path;
    path.setSpecial(CPath::windowsFolder);
    path.setFileName("wininit.ini");
    return path.text();
}

bool AddWininitRename(const std::string& wininit, const std::string& source,
                      const std::string& target)
{
    std::string key = target.empty() ? std::string("NUL") : CPath(target).shortText();
    CIniLineEditor editor(wininit);
    return editor.AddEntry("rename", key, CPath(source).shortText());
}

void ScheduleBootRename(const std::string& source, const std::string& target,
                        MoveAtRestartFn moveAtRestart, const std::string& wininit)
{
    if (moveAtRestart && moveAtRestart(source, target))
        return;
    // Refused (a system without the request, or without the rights): the
    // outcome of the edit is not reported.
    AddWininitRename(wininit, source, target);
}

bool ReplaceAtRestart(const std::string& source, const std::string& target)
{
    ScheduleBootRename(source, target, MoveAtRestart, WininitPath());
    // Only a replacement that is really pending asks for a restart.
    CInstallApp::get().restartNeeded = true;
    return true;
}
