#include "system/group_manager.h"

#include "platform/system_function.h"

#include "platform/path.h"
#include "platform/registry.h"
#include "system/boot_rename.h"
#include "system/registration.h"

#include <shlobj.h>
#include <shlguid.h>

#include <cstdarg>
#include <cstdio>

namespace {

// The one service and topic of the Program Manager's command interface.
const char* const kProgman = "PROGMAN";

// Formats into the command buffer; empty when the command would not fit,
// since a cut command could mean anything.
std::string formatCommand(const char* format, ...)
{
    char buffer[kDdeCommandSize];
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof buffer)
        return std::string();
    return std::string(buffer, static_cast<std::size_t>(length));
}

// A name or title inside the command: a quote would end its field and a
// bracket could end the command, so quotes become apostrophes and brackets
// parentheses.
std::string commandText(const std::string& text)
{
    std::string out = text;
    for (char& c : out) {
        if (c == '"')
            c = '\'';
        else if (c == '[')
            c = '(';
        else if (c == ']')
            c = ')';
    }
    return out;
}

bool needsQuotes(const std::string& text, const char* specials)
{
    return text.find_first_of(specials) != std::string::npos;
}

// A path in a field of its own: quoted when a blank, a tab or a character
// of the command syntax would split it. Paths can't hold quotes.
std::string pathField(const std::string& path)
{
    std::string text = path;
    for (char& c : text)
        if (c == '"')
            c = '\'';
    if (needsQuotes(text, " \t,()[]"))
        return "\"" + text + "\"";
    return text;
}

// An item title in the unquoted field of ReplaceItem and DeleteItem: a
// comma or a parenthesis would end that field early, so such a title is
// quoted there.
std::string titleField(const std::string& title)
{
    std::string text = commandText(title);
    if (needsQuotes(text, ",()"))
        return "\"" + text + "\"";
    return text;
}

bool onlyDotsAndBlanks(const std::string& text)
{
    return text.find_first_not_of(". ") == std::string::npos;
}

std::wstring wideText(const std::string& text)
{
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &out[0], length);
    out.resize(static_cast<std::size_t>(length - 1));
    return out;
}

} // namespace

std::string DdeCreateGroupCommand(const std::string& group, const std::string& groupFile)
{
    if (groupFile.empty())
        return formatCommand("[CreateGroup (\"%s\")]", commandText(group).c_str());
    return formatCommand("[CreateGroup (\"%s\", \"%s\")]", commandText(group).c_str(),
                         commandText(groupFile).c_str());
}

std::string DdeDeleteGroupCommand(const std::string& group)
{
    return formatCommand("[DeleteGroup(\"%s\")]", commandText(group).c_str());
}

std::string DdeReplaceItemCommand(const std::string& title)
{
    return formatCommand("[ReplaceItem (%s)]", titleField(title).c_str());
}

std::string DdeDeleteItemCommand(const std::string& title)
{
    return formatCommand("[DeleteItem (%s)]", titleField(title).c_str());
}

std::string DdeAddItemCommand(const std::string& commandLine, const std::string& title,
                              const std::string& iconPath, int iconIndex, int xPosition,
                              int yPosition, const std::string& defaultFolder,
                              const std::string& hotKey, int minimise)
{
    std::string icon = iconPath.empty() ? std::string() : pathField(iconPath);
    std::string folder = defaultFolder.empty() ? std::string() : pathField(defaultFolder);
    return formatCommand("[AddItem (%s,\"%s\",%s,%d,%d,%d,%s,%s,%d)]", commandLine.c_str(),
                         commandText(title).c_str(), icon.c_str(), iconIndex, xPosition,
                         yPosition, folder.c_str(), hotKey.c_str(), minimise);
}

std::string DdeCommandLine(const std::string& program, const std::string& arguments)
{
    std::string command = pathField(program);
    if (!arguments.empty())
        command += " " + arguments;
    return command;
}

bool IsSingleDdeCommand(const std::string& text)
{
    if (text.size() < 2 || text.front() != '[' || text.back() != ']')
        return false;
    bool quoted = false;
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        char c = text[i];
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == '[' || c == ']'))
            return false;
        else if (c == '\0')
            return false;
    }
    return !quoted;
}

std::vector<std::string> SplitGroupList(const std::string& answer)
{
    std::vector<std::string> groups;
    std::size_t start = 0;
    while (start <= answer.size()) {
        std::size_t end = answer.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = answer.size();
        if (end > start)
            groups.push_back(answer.substr(start, end - start));
        start = end + 1;
    }
    return groups;
}

bool UsesShellLinks(DWORD majorVersion)
{
    return majorVersion > 3;
}

std::string ProgramsFolderFrom(const std::optional<std::string>& shellFoldersValue,
                               const std::string& windowsFolder)
{
    if (shellFoldersValue && !shellFoldersValue->empty())
        return WithTrailingBackslash(*shellFoldersValue);
    if (windowsFolder.empty())
        return std::string();
    return WithTrailingBackslash(windowsFolder) + "Start Menu\\Programs\\";
}

std::string FileNamePart(const std::string& text)
{
    std::string out = text;
    for (char& c : out) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || std::string("\\/:*?\"<>|").find(c) != std::string::npos)
            c = '_';
    }
    return out;
}

DWORD WindowsMajorVersion()
{
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    // A system that can't say is no Windows 3.x.
    if (!GetVersionExA(&info))
        return 4;
    return info.dwMajorVersion;
}

std::string UserProgramsFolder()
{
    CPath windows;
    windows.setSpecial(CPath::windowsFolder);
    return ProgramsFolderFrom(UserShellFolder("Programs"), windows.folderText());
}

std::string CommonProgramsFolder()
{
    using GetFolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
    const int commonPrograms = 0x0017;  // CSIDL_COMMON_PROGRAMS
    auto getFolderPath = SystemFunction<GetFolderPath>("shell32.dll", "SHGetFolderPathA");
    char folder[MAX_PATH] = {};
    if (!getFolderPath || getFolderPath(nullptr, commonPrograms, nullptr, 0, folder) != S_OK || !folder[0])
        return std::string();
    return WithTrailingBackslash(folder);
}

namespace {

// Whether the run has the administrators' rights: its token counts the
// Administrators group (not only as a group it may not use, as an
// administrator's unelevated run has it). The shell's IsUserAnAdmin asks
// the same, but would load the shell, and the window system with it, into
// a run that may need neither.
bool RunAsAdministrator()
{
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0,
                                  0, 0, &administrators))
        return false;
    BOOL member = FALSE;
    if (!CheckTokenMembership(nullptr, administrators, &member))
        member = FALSE;
    FreeSid(administrators);
    return member != FALSE;
}

// Whether the machine has an all-users Programs folder. The shell writes
// down where it is; only where it hasn't is the shell asked.
bool HasCommonProgramsFolder()
{
    CRegKey key;
    if (key.open(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders")) {
        std::optional<std::string> folder = key.readString("Common Programs");
        if (folder && !folder->empty())
            return true;
    }
    return !CommonProgramsFolder().empty();
}

} // namespace

bool ItemsForEveryUser()
{
    // An administrator installs for the machine (the program asks to run
    // elevated).
    return RunAsAdministrator() && HasCommonProgramsFolder();
}

// ---------------------------------------------------------------------------
// The Program Manager road.

CGroupManager::~CGroupManager()
{
    Disconnect();
}

bool CGroupManager::EnsureProgman(bool startIfMissing)
{
    while (!m_connected) {
        if (m_dde.Connect(kProgman, kProgman)) {
            m_connected = true;
            break;
        }
        // Started at most once per manager: a Program Manager that doesn't
        // answer must not be started again for every command.
        if (!startIfMissing || m_startTried)
            return false;
        m_startTried = true;
        startIfMissing = false;
        // WinExec returns once the new program waits for input, so it has
        // had the time to register its service.
        WinExec("progman.exe", SW_SHOW);
    }
    return true;
}

bool CGroupManager::execute(const std::string& command)
{
    if (command.empty() || !IsSingleDdeCommand(command))
        return false;
    return m_dde.Execute(command);
}

bool CGroupManager::CreateGroup(const std::string& name, const std::string& groupFile)
{
    EnsureProgman(true);
    return execute(DdeCreateGroupCommand(name, groupFile));
}

bool CGroupManager::DeleteGroup(const std::string& group)
{
    EnsureProgman(true);
    return execute(DdeDeleteGroupCommand(group));
}

bool CGroupManager::DeleteItem(const std::string& group, const std::string& title)
{
    // Creating the group makes it the one the item is deleted from.
    CreateGroup(group);
    return execute(DdeDeleteItemCommand(title));
}

bool CGroupManager::AddItem(const std::string& group, const std::string& program,
                            const std::string& arguments, const std::string& title,
                            const std::string& iconPath, int iconIndex, int show,
                            int positionCode)
{
    int yPosition = positionCode == 2 || positionCode == 6 ? 1 : 0;
    int minimise = show == SW_SHOWMINIMIZED ? 1 : 0;
    std::string add = DdeAddItemCommand(DdeCommandLine(program, arguments), title, iconPath,
                                        iconIndex, show, yPosition, std::string(), std::string(),
                                        minimise);
    // An item that can't be added must not take the existing one with it.
    if (add.empty())
        return false;
    CreateGroup(group);
    // The Program Manager drops an item of that title and puts the next one
    // added in its place.
    execute(DdeReplaceItemCommand(title));
    return execute(add);
}

std::string CGroupManager::request(const char* item)
{
    // Each request has a conversation of its own: a late acknowledgement
    // of one transaction can otherwise be taken for the answer to the next
    // (Wine's shell does this), and a closed conversation drops it.
    Disconnect();
    std::string answer;
    if (EnsureProgman(true))
        answer = m_dde.Request(item);
    Disconnect();
    return answer;
}

std::vector<std::string> CGroupManager::GroupNames()
{
    std::vector<std::string> groups = SplitGroupList(request("Progman"));
    // Some shells answer that item with an empty list and keep the real
    // one under "Groups".
    if (groups.empty())
        groups = SplitGroupList(request("Groups"));
    return groups;
}

void CGroupManager::ListGroups(HWND listBox)
{
    for (const std::string& group : GroupNames())
        SendMessageA(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(group.c_str()));
}

void CGroupManager::Disconnect()
{
    if (m_connected) {
        m_dde.Disconnect();
        m_connected = false;
    }
}

// ---------------------------------------------------------------------------
// The shell road.

CShellGroupManager::CShellGroupManager(bool everyUser)
    : CShellGroupManager(WindowsMajorVersion(), everyUser ? CommonProgramsFolder() : UserProgramsFolder())
{
}

CShellGroupManager::CShellGroupManager(DWORD majorVersion, const std::string& programsFolder)
    : m_useShell(UsesShellLinks(majorVersion)),
      m_programsFolder(WithTrailingBackslash(programsFolder))
{
}

CShellGroupManager::~CShellGroupManager() = default;

std::string CShellGroupManager::GroupFolder(const std::string& group) const
{
    std::string name = FileNamePart(group);
    // An empty group would put links into Programs itself, and deleting the
    // group would then take Programs away when it is empty.
    if (m_programsFolder.empty() || onlyDotsAndBlanks(name))
        return std::string();
    return m_programsFolder + name + "\\";
}

std::string CShellGroupManager::LinkPath(const std::string& group,
                                         const std::string& title) const
{
    std::string folder = GroupFolder(group);
    if (folder.empty())
        return std::string();
    CPath link(folder + FileNamePart(title));
    link.setExt("lnk");
    if (onlyDotsAndBlanks(link.name()))
        return std::string();
    return link.text();
}

bool CShellGroupManager::AddItem(const std::string& group, const std::string& program,
                                 const std::string& arguments, const std::string& title,
                                 const std::string& iconPath, int iconIndex,
                                 const std::string& workFolder, int show, int positionCode)
{
    if (!m_useShell)
        return CGroupManager::AddItem(group, program, arguments, title, iconPath, iconIndex,
                                      show, positionCode);
    return addLink(group, program, arguments, title, iconPath, iconIndex, workFolder, show);
}

bool CShellGroupManager::addLink(const std::string& group, const std::string& program,
                                 const std::string& arguments, const std::string& title,
                                 const std::string& iconPath, int iconIndex,
                                 const std::string& workFolder, int show)
{
    std::string folder = GroupFolder(group);
    std::string linkPath = LinkPath(group, title);
    if (folder.empty() || linkPath.empty())
        return false;
    // COM may already run in another mode; the link object works either way.
    if (!m_com)
        m_com = std::make_unique<CComInit>();

    CComPtr<IShellLinkA> link;
    HRESULT hrx = ComCreateInstance(CLSID_ShellLink, IID_IShellLinkA, link.out());
    if (FAILED(hrx))
        return false;
    CComPtr<IPersistFile> linkFile;
    if (FAILED(link->QueryInterface(IID_IPersistFile, linkFile.out())))
        return false;
    if (!CPath(folder).createFolders() && !CPath(folder).isFolder())
        return false;

    link->SetPath(program.c_str());
    link->SetArguments(arguments.c_str());
    link->SetDescription(title.c_str());
    link->SetWorkingDirectory((workFolder.empty() ? AppPathFolder(program) : workFolder).c_str());
    if (!iconPath.empty())
        link->SetIconLocation(iconPath.c_str(), iconIndex);
    // A link knows normal, maximised and minimised-without-focus starts.
    link->SetShowCmd(show == SW_SHOWMINIMIZED ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL);

    std::wstring widePath = wideText(linkPath);
    if (widePath.empty())
        return false;
    // The shell may be reading the shortcut this one replaces.
    return RetryWhileInUse([&] {
        HRESULT saved = linkFile->Save(widePath.c_str(), TRUE);
        if (saved == STG_E_SHAREVIOLATION || saved == STG_E_LOCKVIOLATION)
            SetLastError(ERROR_SHARING_VIOLATION);
        else if (FAILED(saved))
            SetLastError(HRESULT_FACILITY(saved) == FACILITY_WIN32 ? HRESULT_CODE(saved)
                                                                   : ERROR_GEN_FAILURE);
        return SUCCEEDED(saved);
    });
}

bool CShellGroupManager::DeleteItem(const std::string& group, const std::string& title)
{
    if (!m_useShell)
        return CGroupManager::DeleteItem(group, title);
    std::string linkPath = LinkPath(group, title);
    if (linkPath.empty())
        return false;
    // The shell may be reading the shortcut for its menu.
    return DeleteNowOrAtRestart(linkPath);
}

bool CShellGroupManager::GroupExists(const std::string& group)
{
    if (m_useShell) {
        std::string folder = GroupFolder(group);
        return !folder.empty() && CPath(folder).isFolder();
    }
    for (const std::string& name : GroupNames())
        if (lstrcmpiA(name.c_str(), group.c_str()) == 0)
            return true;
    return false;
}

bool CShellGroupManager::DeleteGroup(const std::string& group)
{
    if (!m_useShell)
        return CGroupManager::DeleteGroup(group);
    std::string folder = GroupFolder(group);
    if (folder.empty())
        return false;
    folder.pop_back();
    // Only an empty folder goes: whatever else the user keeps there stays.
    return RemoveDirectoryA(folder.c_str()) != FALSE;
}
