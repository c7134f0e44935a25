#include "editors/configuration.h"

#include "app/install_app.h"
#include "platform/path.h"

#include <algorithm>

void RemoveCheckerProgram(CInstallApp& app)
{
    // The stand-alone program serves these editors only; the others call
    // the checker's libraries themselves.
    for (CEditorId editor : {kEditorWP5, kEditorWP6, kEditorWord6, kEditorWord7, kEditorAmiPro})
        if (app.editors[editor].present)
            return;
    std::string folder = app.InstallFolder();
    if (folder.empty())
        return;
    for (const char* name : {"ovca40.exe", "wvcommca.dat"}) {
        // Neither it nor its record stays; an undo puts back what was there.
        // One in use (its replacement waiting for a restart) stays as it is.
        CFile::Status status;
        bool there = CFile::getStatus(folder + name, status);
        if (CPath(folder + name).remove()) {
            app.journal.PlacedFileRemoved(folder + name);
            if (there)
                app.placedBytes -= std::min<std::uint64_t>(app.placedBytes, status.size);
        }
    }
}

void ConfigureEditors(CInstallApp& app, HWND owner)
{
    if (app.editors[kEditorWP5].present)
        ConfigureWordPerfect5(app);
    if (app.editors[kEditorWP6].present)
        ConfigureWordPerfect6(app);
    if (app.editors[kEditorWP8].present)
        ConfigureWordPerfect8(app, owner);
    if (app.editors[kEditorWord6].present)
        ConfigureWord6(app);
    if (app.editors[kEditorWord7].present)
        ConfigureWord7(app);
    if (app.editors[kEditorWord97].present)
        ConfigureWord97(app);
    if (app.editors[kEditorWord2000].present)
        ConfigureWord2000(app, owner);
    // Ami Pro and Word Pro need nothing beyond their copied files.
    RemoveCheckerProgram(app);
}

void UndoEditors()
{
    // WordPerfect 5.x and 6.x keep their entries; Ami Pro and Word Pro
    // have nothing to undo.
    UndoWordPerfect8();
    UndoWord6();
    UndoWord7();
    UndoWord97();
    UndoWord2000();
}
