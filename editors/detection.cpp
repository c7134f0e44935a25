#include "editors/detection.h"

#include "app/install_app.h"
#include "editors/editor_util.h"
#include "platform/path.h"
#include "platform/registry.h"

#include <windows.h>

using editor_util::IniValue;
using editor_util::kWord2000RootKey;
using editor_util::kWord6Ini;
using editor_util::kWord6Section;
using editor_util::kWord7OptionsKey;
using editor_util::RegistryText;
using editor_util::UpperCase;

namespace {

const char kWp8ServerKey[] = "SOFTWARE\\Classes\\WP8Doc\\protocol\\StdFileEditing\\server";
const char kWp60ServerKey[] = "SOFTWARE\\Classes\\WPWin6.0\\protocol\\StdFileEditing\\server";
const char kWp61ServerKey[] = "SOFTWARE\\Classes\\WPWin6.1\\protocol\\StdFileEditing\\server";
const char kAmiProServerKey[] =
    "SOFTWARE\\Classes\\AmiProDocument\\protocol\\StdFileEditing\\server";
const char kWord97RootKey[] = "SOFTWARE\\Microsoft\\Office\\8.0\\Word\\InstallRoot";

// The default value of a server key; false when the key can't be opened with
// full access. A value that isn't a string reads as empty.
bool ServerValue(const char* subKey, std::string& value)
{
    value.clear();
    CRegKey key;
    if (!key.open(HKEY_LOCAL_MACHINE, subKey, editor_util::kEditorView))
        return false;
    value = key.readString("").value_or("");
    return true;
}

void DropTrailingBackslash(std::string& path)
{
    if (!path.empty() && path.back() == '\\')
        path.pop_back();
}

} // namespace

void DetectWordPerfect5(CInstallApp& app)
{
    bool& present = app.editors[kEditorWP5].present;
    present = false;
    std::string program = IniValue("App Server", "wpwp", "wpc.ini", 256);
    if (program.empty())
        return;
    // The value may go on after the program with ";" and its arguments.
    program = program.substr(0, program.find(';'));
    present = CPath(program).exists();
}

void DetectWordPerfect8(CInstallApp& app)
{
    bool& present = app.editors[kEditorWP8].present;
    std::string& server = app.editors[kEditorWP8].path;
    present = false;
    if (!ServerValue(kWp8ServerKey, server))
        return;
    present = CPath(server).exists();
    if (present)
        server = UpperCase(server);
}

void DetectWordPerfect6(CInstallApp& app)
{
    bool& present = app.editors[kEditorWP6].present;
    std::string& server = app.editors[kEditorWP6].path;
    const std::string& wp8Server = app.editors[kEditorWP8].path;
    present = false;
    // Version 8 registers itself under the old keys too: a server that is
    // the version 8 program is not a version 6.
    bool usable = ServerValue(kWp60ServerKey, server) && !server.empty() &&
                  (server = UpperCase(server)) != wp8Server;
    if (!usable) {
        if (!ServerValue(kWp61ServerKey, server))
            return;
        if (!server.empty()) {
            server = UpperCase(server);
            if (server == wp8Server)
                return;
        }
    }
    present = CPath(server).exists();
}

void DetectWord6(CInstallApp& app)
{
    bool& present = app.editors[kEditorWord6].present;
    present = false;
    std::string folder = IniValue(kWord6Section, "PROGRAMDIR", kWord6Ini, 256);
    if (folder.empty())
        return;
    DropTrailingBackslash(folder);
    if (!CPath(folder + "\\winword.exe").exists())
        return;
    std::string startup = IniValue(kWord6Section, "STARTUP-PATH", kWord6Ini, 260);
    DropTrailingBackslash(startup);
    if (!CPath(startup).exists())
        return;
    present = CPath(folder + "\\Inicio").exists() || CPath(folder + "\\Startup").exists();
}

void DetectWord7(CInstallApp& app)
{
    CEditor& word7 = app.editors[kEditorWord7];
    bool& present = word7.present;
    std::string& folder = word7.path;
    present = false;
    folder.clear();
    word7.startupFolder.clear();
    CRegKey options;
    if (options.open(HKEY_CURRENT_USER, kWord7OptionsKey, editor_util::kEditorView)) {
        folder = options.readString("PROGRAMDIR").value_or("");
        word7.startupFolder = options.readString("STARTUP-PATH").value_or("");
    }
    if (folder.empty() || !CPath(folder + "\\winword.exe").exists())
        return;
    present = CPath(folder + "\\Startup").exists() || CPath(folder + "\\Inicio").exists();
    if (present)
        folder = UpperCase(folder);
}

void DetectWord97(CInstallApp& app)
{
    bool& present = app.editors[kEditorWord97].present;
    std::string& program = app.editors[kEditorWord97].path;
    present = false;
    program = RegistryText(HKEY_LOCAL_MACHINE, kWord97RootKey, "Path");
    if (program.empty())
        return;
    // The folder is stored between two characters (quotes or a closing
    // backslash); a value too short to hold any leaves nothing of it.
    program = program.size() > 2 ? program.substr(1, program.size() - 2) : std::string();
    program += "\\winword.exe";
    present = CPath(program).exists();
    if (present)
        program = UpperCase(program);
}

void DetectWord2000(CInstallApp& app)
{
    bool& present = app.editors[kEditorWord2000].present;
    std::string& program = app.editors[kEditorWord2000].path;
    present = false;
    program = RegistryText(HKEY_LOCAL_MACHINE, kWord2000RootKey, "Path");
    if (program.empty())
        return;
    program.pop_back();  // the folder's closing backslash
    program += "\\winword.exe";
    present = CPath(program).exists();
    if (present)
        program = UpperCase(program);
}

void DetectWordPro(CInstallApp& app)
{
    // Detection never finds it: only a manual installation can name it.
    app.editors[kEditorWordPro].present = false;
    app.editors[kEditorWordPro].path.clear();
}

void DetectAmiPro(CInstallApp& app)
{
    bool& present = app.editors[kEditorAmiPro].present;
    std::string& server = app.editors[kEditorAmiPro].path;
    present = false;
    if (!ServerValue(kAmiProServerKey, server))
        return;
    if (!server.empty()) {
        server = UpperCase(server);
        if (server == app.editors[kEditorWordPro].path)
            return;
    }
    present = CPath(server).exists();
}

void DetectEditors(CInstallApp& app)
{
    // Version 8 before version 6 and Word Pro before Ami Pro: the later step
    // compares its path with the earlier one's.
    DetectWordPerfect8(app);
    DetectWordPerfect6(app);
    DetectWordPerfect5(app);
    DetectWord97(app);
    DetectWord2000(app);
    DetectWord7(app);
    DetectWord6(app);
    DetectWordPro(app);
    DetectAmiPro(app);
    for (CEditor& editor : app.editors)
        editor.found = editor.present;
}
