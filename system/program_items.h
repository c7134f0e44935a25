// The product's program items: one per installed target, made at the end of
// copying and removed again by the uninstallation. Nothing is reported and
// the run's success is never touched: a target that fails gets no item.
#pragma once

class CInstallApp;
class CShellGroupManager;

// For every target with an installed path, in the order of the container:
// an item in the group groupName, then waiting window messages run.
void CreateProgramItems(CInstallApp& app, CShellGroupManager& manager);
// The same with a manager for this Windows and this user.
void CreateProgramItems(CInstallApp& app);

// After a later step took a placed file away again (the stand-alone checker
// when no editor calls it): the item of every target whose file is not
// there goes, and so does the target's entry in the log.
void DropItemsOfMissingFiles(CInstallApp& app, CShellGroupManager& manager);
void DropItemsOfMissingFiles(CInstallApp& app);

// Deletes the item of every target with an installed path, then the group.
void RemoveProgramItems(CInstallApp& app, CShellGroupManager& manager);
void RemoveProgramItems(CInstallApp& app);
