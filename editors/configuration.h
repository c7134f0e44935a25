// Setting up the word processors found (and left ticked) for the checker,
// after the files are copied, and undoing it when the product is removed.
// Nothing here fails the installation: a step that can't do its work leaves
// its editor unconfigured, and only three message boxes say so (no free
// WordPerfect 8.0 slot, Word 2000 not found or not written).
#pragma once

#include <windows.h>

class CInstallApp;

// Runs the configuration steps in their fixed order, each for an editor whose
// present flag is set, and last removes the stand-alone checker program when
// no editor that needs it is there. The product record is written after them.
// The steps' message boxes belong to owner.
void ConfigureEditors(CInstallApp& app, HWND owner);

// Undoes what can be undone, from what is found on the machine (the product
// record among it, which goes afterwards): the WordPerfect 8.0 extension slot
// and the Word templates.
void UndoEditors();

// The steps, in their order.
void ConfigureWordPerfect5(const CInstallApp& app);   // macro menu entry in wpwp.ini
void ConfigureWordPerfect6(const CInstallApp& app);   // writing-tools entry in wtapi.ini
void ConfigureWordPerfect8(CInstallApp& app, HWND owner);  // sets its choice, the slot
void ConfigureWord6(const CInstallApp& app);
void ConfigureWord7(const CInstallApp& app);
void ConfigureWord97(CInstallApp& app);
void ConfigureWord2000(CInstallApp& app, HWND owner);      // sets its choice, the folder
void RemoveCheckerProgram(CInstallApp& app);

void UndoWordPerfect8();
void UndoWord6();
void UndoWord7();
void UndoWord97();
void UndoWord2000();
