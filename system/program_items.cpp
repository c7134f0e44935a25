#include "system/program_items.h"

#include "app/install_app.h"
#include "platform/exception.h"
#include "platform/message_pump.h"
#include "system/group_manager.h"

#include <windows.h>

namespace {

// The Program Manager road's position code for every item.
constexpr int kPositionCode = 5;

std::string iconPathOf(const CInstallApp& app, const CTarget& target)
{
    if (target.iconFile.empty())
        return std::string();
    auto installation = app.destinations.find(0);
    if (installation == app.destinations.end() || !installation->second)
        return std::string();
    return installation->second->path.folderText() + target.iconFile;
}

// Whether any program item is, or is to be, there. Without one, no group
// manager is made: it would load the shell (and the window system) into a
// run that has nothing for it.
bool hasItems(const CInstallApp& app)
{
    for (const auto& entry : app.targets)
        if (entry.second && !entry.second->installedPath.empty())
            return true;
    return false;
}

} // namespace

void CreateProgramItems(CInstallApp& app, CShellGroupManager& manager)
{
    bool first = true;
    for (const auto& entry : app.targets) {
        const CTarget* target = entry.second.get();
        if (!target || target->installedPath.empty())
            continue;
        if (first) {
            // A group that was there before is someone else's: the
            // uninstaller only takes our items out of it.
            bool existed = manager.GroupExists(app.groupName);
            app.groupCreated = app.groupCreated || !existed;
            if (!existed && manager.useShell())
                app.journal.NewFolder(manager.GroupFolder(app.groupName));
            first = false;
        }
        // A link is a file: an undo takes it away or puts the earlier one back.
        if (manager.useShell())
            app.journal.FileBefore(manager.LinkPath(app.groupName, target->title));
        int show = target->minimised ? SW_SHOWMINIMIZED : SW_SHOW;
        manager.AddItem(app.groupName, target->installedPath.text(), target->arguments,
                        target->title, iconPathOf(app, *target), target->iconIndex,
                        std::string(), show, kPositionCode);
        PumpMessages();
    }
}

void CreateProgramItems(CInstallApp& app)
{
    // Program items are a convenience: nothing about them may stop the run.
    if (!hasItems(app))
        return;
    try {
        CShellGroupManager manager(app.itemsForEveryUser);
        CreateProgramItems(app, manager);
    } catch (...) {
    }
}

void DropItemsOfMissingFiles(CInstallApp& app, CShellGroupManager& manager)
{
    for (const auto& entry : app.targets) {
        CTarget* target = entry.second.get();
        if (!target || target->installedPath.empty() || target->installedPath.exists())
            continue;
        if (manager.useShell())
            app.journal.FileBefore(manager.LinkPath(app.groupName, target->title));
        manager.DeleteItem(app.groupName, target->title);
        target->installedPath = CPath();
        app.journal.LogEntryGone("targets", entry.first);
    }
}

void DropItemsOfMissingFiles(CInstallApp& app)
{
    if (!hasItems(app))
        return;
    try {
        CShellGroupManager manager(app.itemsForEveryUser);
        DropItemsOfMissingFiles(app, manager);
    } catch (const CFileException&) {
        // A link that can't be kept for an undo is not touched: the run stops.
        throw;
    } catch (...) {
    }
}

void RemoveProgramItems(CInstallApp& app, CShellGroupManager& manager)
{
    for (const auto& entry : app.targets) {
        const CTarget* target = entry.second.get();
        if (!target || target->installedPath.empty())
            continue;
        manager.DeleteItem(app.groupName, target->title);
        PumpMessages();
    }
    if (app.groupCreated)
        manager.DeleteGroup(app.groupName);
}

void RemoveProgramItems(CInstallApp& app)
{
    if (!hasItems(app) && !app.groupCreated)
        return;
    try {
        CShellGroupManager manager(app.itemsForEveryUser);
        RemoveProgramItems(app, manager);
    } catch (...) {
    }
}
