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
    bool& present = app.editorPresent[kEditorWP5];
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
    bool& present = app.editorPresent[kEditorWP8];
    std::string& server = app.wp8ServerPath;
    present = false;
    if (!ServerValue(kWp8ServerKey, server))
        return;
    present = CPath(server).exists();
    if (present)
        server = UpperCase(server);
}

void DetectWordPerfect6(CInstallApp& app)
{
    bool& present = app.editorPresent[kEditorWP6];
    std::string& server = app.wp6ServerPath;
    present = false;
    // Version 8 registers itself under the old keys too: a server that is
    // the version 8 program is not a version 6.
    bool usable = ServerValue(kWp60ServerKey, server) && !server.empty() &&
                  (server = UpperCase(server)) != app.wp8ServerPath;
    if (!usable) {
        if (!ServerValue(kWp61ServerKey, server))
            return;
        if (!server.empty()) {
            server = UpperCase(server);
            if (server == app.wp8ServerPath)
                return;
        }
    }
    present = CPath(server).exists();
}

void DetectWord6(CInstallApp& app)
{
    bool& present = app.editorPresent[kEditorWord6];
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
    bool& present = app.editorPresent[kEditorWord7];
    std::string& folder = app.word7Folder;
    present = false;
    folder.clear();
    app.word7StartupFolder.clear();
    CRegKey options;
    if (options.open(HKEY_CURRENT_USER, kWord7OptionsKey, editor_util::kEditorView)) {
        folder = options.readString("PROGRAMDIR").value_or("");
        app.word7StartupFolder = options.readString("STARTUP-PATH").value_or("");
    }
    if (folder.empty() || !CPath(folder + "\\winword.exe").exists())
        return;
    present = CPath(folder + "\\Startup").exists() || CPath(folder + "\\Inicio").exists();
    if (present)
        folder = UpperCase(folder);
}

void DetectWord97(CInstallApp& app)
{
    bool& present = app.editorPresent[kEditorWord97];
    std::string& program = app.word97Path;
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
    bool& present = app.editorPresent[kEditorWord2000];
    std::string& program = app.word2000Path;
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
    app.editorPresent[kEditorWordPro] = false;
    app.wordProPath.clear();
}

void DetectAmiPro(CInstallApp& app)
{
    bool& present = app.editorPresent[kEditorAmiPro];
    std::string& server = app.amiProServerPath;
    present = false;
    if (!ServerValue(kAmiProServerKey, server))
        return;
    if (!server.empty()) {
        server = UpperCase(server);
        if (server == app.wordProPath)
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
}
