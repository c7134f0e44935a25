#include "editors/configuration.h"

#include "app/install_app.h"
#include "platform/path.h"
#include "platform/resource_string.h"
#include "ui/main_wnd.h"

namespace editor_config {

bool FolderExists(const std::string& folder)
{
    if (folder.empty())
        return false;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((WithTrailingBackslash(folder) + "*.*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    FindClose(find);
    return true;
}

bool CopyTemplate(const CInstallApp& app, const std::string& name, const std::string& folder)
{
    std::string source = app.InstallFolder() + "Config\\" + name;
    std::string target = WithTrailingBackslash(folder) + name;
    return CopyFileA(source.c_str(), target.c_str(), FALSE) != FALSE;
}

void ShowEditorMessage(UINT textId, UINT captionId, UINT flags)
{
    CInstallApp& app = CInstallApp::get();
    HWND owner = app.mainWnd ? app.mainWnd->hwnd() : nullptr;
    MessageBoxA(owner, LoadResourceString(textId).c_str(), LoadResourceString(captionId).c_str(),
                flags);
}

} // namespace editor_config

void RemoveCheckerProgram(const CInstallApp& app)
{
    // The stand-alone program serves these editors only; the others call
    // the checker's libraries themselves.
    for (int editor : {kEditorWP5, kEditorWP6, kEditorWord6, kEditorWord7, kEditorAmiPro})
        if (app.editorPresent[editor])
            return;
    std::string folder = app.InstallFolder();
    if (folder.empty())
        return;
    CPath(folder + "ovca40.exe").remove();
    CPath(folder + "wvcommca.dat").remove();
}

void ConfigureEditors(CInstallApp& app)
{
    if (app.editorPresent[kEditorWP5])
        ConfigureWordPerfect5(app);
    if (app.editorPresent[kEditorWP6])
        ConfigureWordPerfect6(app);
    if (app.editorPresent[kEditorWP8])
        ConfigureWordPerfect8(app);
    if (app.editorPresent[kEditorWord6])
        ConfigureWord6(app);
    if (app.editorPresent[kEditorWord7])
        ConfigureWord7(app);
    if (app.editorPresent[kEditorWord97])
        ConfigureWord97(app);
    if (app.editorPresent[kEditorWord2000])
        ConfigureWord2000(app);
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
