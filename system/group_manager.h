// Program groups and their items: the Program Manager's DDE commands on
// Windows 3.x, shell links in the user's Start-menu Programs folder on later
// versions. Nothing here is ever reported to the user: an item that can't be
// made is simply missing.
#pragma once

#include "platform/com.h"
#include "platform/dde_conversation.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

// Commands are formatted into a buffer of this size and must stay below it.
constexpr std::size_t kDdeCommandSize = 512;

// The Program Manager's command texts. Each is empty when it would not fit,
// so that no cut command is ever sent. Titles and group names have their
// quotes and brackets replaced, so that no text of theirs can end the
// command and start another.
std::string DdeCreateGroupCommand(const std::string& group, const std::string& groupFile = "");
std::string DdeDeleteGroupCommand(const std::string& group);
std::string DdeReplaceItemCommand(const std::string& title);
std::string DdeDeleteItemCommand(const std::string& title);
std::string DdeAddItemCommand(const std::string& commandLine, const std::string& title,
                              const std::string& iconPath, int iconIndex, int xPosition,
                              int yPosition, const std::string& defaultFolder,
                              const std::string& hotKey, int minimise);
// The program, quoted when it holds a blank, a tab or a character of the
// command syntax, then a blank and the arguments when there are any.
std::string DdeCommandLine(const std::string& program, const std::string& arguments);
// True when text is one bracketed command: "[" first, "]" last, quotes
// paired, and no bracket outside quotes in between.
bool IsSingleDdeCommand(const std::string& text);
// The non-empty lines of the Program Manager's group list.
std::vector<std::string> SplitGroupList(const std::string& answer);

// Shell links above Windows 3.x.
bool UsesShellLinks(DWORD majorVersion);
// The "Programs" value of the user's shell folders when it has one, else
// the Windows folder's "Start Menu\Programs"; with its trailing backslash.
std::string ProgramsFolderFrom(const std::optional<std::string>& shellFoldersValue,
                               const std::string& windowsFolder);
// A group name or title as one file name: the characters a file name can't
// hold become "_".
std::string FileNamePart(const std::string& text);

// The major version that GetVersionExA reports.
DWORD WindowsMajorVersion();
// ProgramsFolderFrom with what the registry and Windows say.
std::string UserProgramsFolder();
// The all-users Programs folder; empty where Windows has none.
std::string CommonProgramsFolder();
// Whether this run's program items go to every user of the machine: an
// administrator's installation is the machine's.
bool ItemsForEveryUser();

// The Program Manager road.
class CGroupManager {
public:
    CGroupManager() = default;
    virtual ~CGroupManager();
    CGroupManager(const CGroupManager&) = delete;
    CGroupManager& operator=(const CGroupManager&) = delete;

    // Makes (or replaces) the item of that title in the group. The show
    // value (2 minimised, 5 normal) and the position code fill the
    // position and minimise fields. True when the server took the AddItem.
    virtual bool AddItem(const std::string& group, const std::string& program,
                         const std::string& arguments, const std::string& title,
                         const std::string& iconPath, int iconIndex, int show,
                         int positionCode);
    virtual bool DeleteItem(const std::string& group, const std::string& title);
    virtual bool DeleteGroup(const std::string& group);
    // Adds every group the Program Manager knows to the list box.
    virtual void ListGroups(HWND listBox);
    // The same list as texts.
    std::vector<std::string> GroupNames();

    // Connects to the Program Manager, starting it once per manager when
    // startIfMissing allows; true when connected.
    bool EnsureProgman(bool startIfMissing);
    // Creates the group or makes it the active one.
    bool CreateGroup(const std::string& name, const std::string& groupFile = "");
    void Disconnect();
    bool connected() const { return m_connected; }

protected:
    // Sends one command after checking it is a single, whole command.
    bool execute(const std::string& command);
    // The Program Manager's answer to a request for that item.
    std::string request(const char* item);

private:
    CDdeConversation m_dde;
    bool m_connected = false;
    bool m_startTried = false;
};

// Chooses the road per call: shell links when Windows is above 3.x.
class CShellGroupManager : public CGroupManager {
public:
    // Asks Windows for its version and the Programs folder: every user's
    // (ItemsForEveryUser) or this user's.
    explicit CShellGroupManager(bool everyUser = false);
    // The facts given: what tests and callers that know them use.
    CShellGroupManager(DWORD majorVersion, const std::string& programsFolder);
    ~CShellGroupManager() override;

    using CGroupManager::AddItem;
    // The link's working folder is workFolder, or the program's own folder
    // when none is given (where the Program Manager starts it too); show
    // 2 starts it minimised. The DDE road gets show and positionCode.
    virtual bool AddItem(const std::string& group, const std::string& program,
                         const std::string& arguments, const std::string& title,
                         const std::string& iconPath, int iconIndex,
                         const std::string& workFolder, int show, int positionCode);
    bool DeleteItem(const std::string& group, const std::string& title) override;
    bool DeleteGroup(const std::string& group) override;
    // The group is there already: its folder, or a group the Program
    // Manager lists.
    bool GroupExists(const std::string& group);

    bool useShell() const { return m_useShell; }
    const std::string& programsFolder() const { return m_programsFolder; }
    // The group's folder, with its trailing backslash; empty for a name
    // that makes no folder of its own (empty, or only dots and blanks).
    std::string GroupFolder(const std::string& group) const;
    // The link file of a title: the title as a file name whose extension
    // becomes "lnk", so a title with a dot loses its last dot and what
    // follows. Empty when the group or the title gives no name.
    std::string LinkPath(const std::string& group, const std::string& title) const;

private:
    bool addLink(const std::string& group, const std::string& program,
                 const std::string& arguments, const std::string& title,
                 const std::string& iconPath, int iconIndex, const std::string& workFolder,
                 int show);

    bool m_useShell;
    std::string m_programsFolder;
    // COM stays initialised from the first link to the manager's end.
    std::unique_ptr<CComInit> m_com;
};
