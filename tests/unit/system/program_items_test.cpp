#include "system/group_manager.h"
#include "system/program_items.h"

#include "app/install_app.h"
#include "platform/com.h"
#include "platform/dde_conversation.h"
#include "platform/registry.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <shlobj.h>
#include <shlguid.h>

#include <algorithm>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// What a link file says, read back through the shell's own link object.

struct CLinkFacts {
    bool loaded = false;
    std::string path;
    std::string arguments;
    std::string workFolder;
    std::string iconPath;
    int iconIndex = -1;
    int show = -1;
    std::string description;
};

CLinkFacts readLink(const std::string& file)
{
    CLinkFacts facts;
    CComInit com;
    CComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.out())))
        return facts;
    CComPtr<IPersistFile> persist;
    if (FAILED(link->QueryInterface(IID_IPersistFile, persist.out())))
        return facts;
    wchar_t wide[MAX_PATH * 2] = {};
    MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH * 2);
    if (FAILED(persist->Load(wide, STGM_READ)))
        return facts;
    facts.loaded = true;
    char text[1024] = {};
    if (SUCCEEDED(link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH)))
        facts.path = text;
    text[0] = 0;
    if (SUCCEEDED(link->GetArguments(text, sizeof text)))
        facts.arguments = text;
    text[0] = 0;
    if (SUCCEEDED(link->GetWorkingDirectory(text, sizeof text)))
        facts.workFolder = text;
    text[0] = 0;
    if (SUCCEEDED(link->GetIconLocation(text, sizeof text, &facts.iconIndex)))
        facts.iconPath = text;
    text[0] = 0;
    if (SUCCEEDED(link->GetDescription(text, sizeof text)))
        facts.description = text;
    // The show command as the file keeps it: the header's field at offset 60.
    std::string bytes = ReadWholeFile(file);
    if (bytes.size() >= 64)
        facts.show = static_cast<unsigned char>(bytes[60]) | static_cast<unsigned char>(bytes[61]) << 8;
    return facts;
}

bool fileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool folderExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The names in a folder, without "." and "..".
std::vector<std::string> namesIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((WithTrailingBackslash(folder) + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

bool sameText(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

const char* const kGroup = "Ortavel 4.0 Catal\xE0";

} // namespace

// ---------------------------------------------------------------------------
// The Program Manager's commands.

TEST(DdeCommands, FollowTheProgramManagersTemplates)
{
    EXPECT_EQ(DdeCreateGroupCommand("Ortavel"), "[CreateGroup (\"Ortavel\")]");
    EXPECT_EQ(DdeCreateGroupCommand("Ortavel", "OVCA.GRP"),
              "[CreateGroup (\"Ortavel\", \"OVCA.GRP\")]");
    EXPECT_EQ(DdeDeleteGroupCommand("Ortavel"), "[DeleteGroup(\"Ortavel\")]");
    EXPECT_EQ(DdeReplaceItemCommand("Llegiu-me"), "[ReplaceItem (Llegiu-me)]");
    EXPECT_EQ(DdeDeleteItemCommand("Manual del Ortavel"), "[DeleteItem (Manual del Ortavel)]");
    EXPECT_EQ(DdeAddItemCommand("C:\\OVCA40\\install.exe /U", "Desinstal\xB7lar Ortavel",
                                "C:\\OVCA40\\install.exe", 0, 5, 0, "", "", 0),
              "[AddItem (C:\\OVCA40\\install.exe /U,\"Desinstal\xB7lar Ortavel\","
              "C:\\OVCA40\\install.exe,0,5,0,,,0)]");
    // Without an icon path the field stays empty.
    EXPECT_EQ(DdeAddItemCommand("C:\\OVCA40\\LLEGIU.TXT", "Llegiu-me", "", 3, 2, 1, "", "", 1),
              "[AddItem (C:\\OVCA40\\LLEGIU.TXT,\"Llegiu-me\",,3,2,1,,,1)]");
}

TEST(DdeCommands, QuoteAProgramPathWithBlanksOnly)
{
    EXPECT_EQ(DdeCommandLine("C:\\OVCA40\\ovca40.exe", ""), "C:\\OVCA40\\ovca40.exe");
    EXPECT_EQ(DdeCommandLine("C:\\OVCA40\\install.exe", "/U"), "C:\\OVCA40\\install.exe /U");
    EXPECT_EQ(DdeCommandLine("C:\\Program Files\\Ortavel\\ovca40.exe", ""),
              "\"C:\\Program Files\\Ortavel\\ovca40.exe\"");
    EXPECT_EQ(DdeCommandLine("C:\\Dir\tTab\\o.exe", "/x"), "\"C:\\Dir\tTab\\o.exe\" /x");
    // Characters of the command syntax in a folder name can't split the field.
    EXPECT_EQ(DdeCommandLine("C:\\Ortavel(2)\\o.exe", ""), "\"C:\\Ortavel(2)\\o.exe\"");
}

TEST(DdeCommands, NoTitleOrGroupCanEndTheCommandAndStartAnother)
{
    const std::string evil = "Evil\")][DeleteGroup(\"Accessoris";
    for (const std::string& command :
         {DdeCreateGroupCommand(evil), DdeDeleteGroupCommand(evil), DdeReplaceItemCommand(evil),
          DdeDeleteItemCommand(evil), DdeCreateGroupCommand("G", evil),
          DdeAddItemCommand("C:\\OVCA40\\o.exe", evil, "C:\\O[1]\\o.exe", 0, 5, 0, "", "", 0)}) {
        SCOPED_TRACE(command);
        EXPECT_TRUE(IsSingleDdeCommand(command));
        EXPECT_EQ(command.find("]["), std::string::npos);
    }
    EXPECT_EQ(DdeCreateGroupCommand(evil), "[CreateGroup (\"Evil'))(DeleteGroup('Accessoris\")]");
    // A comma or parenthesis would end the unquoted title early: such a title is quoted.
    EXPECT_EQ(DdeDeleteItemCommand("Ortavel (demo), 4"), "[DeleteItem (\"Ortavel (demo), 4\")]");
    EXPECT_EQ(DdeReplaceItemCommand("A)][ExitProgman(1"), "[ReplaceItem (\"A))(ExitProgman(1\")]");
}

TEST(DdeCommands, AreCheckedAsOneWholeCommand)
{
    EXPECT_TRUE(IsSingleDdeCommand("[CreateGroup (\"A [b]\")]"));
    EXPECT_FALSE(IsSingleDdeCommand("[CreateGroup (\"A\")][DeleteGroup(\"B\")]"));
    EXPECT_FALSE(IsSingleDdeCommand("[AddItem (C:\\o.exe /x[1],\"T\",,0,5,0,,,0)]"));
    EXPECT_FALSE(IsSingleDdeCommand("[CreateGroup (\"A)]"));
    EXPECT_FALSE(IsSingleDdeCommand("CreateGroup (A)"));
    EXPECT_FALSE(IsSingleDdeCommand(""));
}

TEST(DdeCommands, ThatWouldNotFitAreNotMadeAtAll)
{
    // "[CreateGroup (\"" and "\")]" take 18 characters: 493 more fill 511.
    EXPECT_EQ(DdeCreateGroupCommand(std::string(493, 'g')).size(), 511u);
    EXPECT_EQ(DdeCreateGroupCommand(std::string(494, 'g')), "");
    EXPECT_EQ(DdeAddItemCommand(std::string(600, 'c'), "T", "", 0, 5, 0, "", "", 0), "");

    // A manager sends nothing it can't make whole: no server is needed to see that.
    CGroupManager manager;
    EXPECT_FALSE(manager.CreateGroup(std::string(600, 'g')));
}

TEST(DdeCommands, GroupListSplitsAtLineEnds)
{
    EXPECT_EQ(SplitGroupList("Accessoris\r\nOrtavel 4.0\r\nJocs\r\n"),
              (std::vector<std::string>{"Accessoris", "Ortavel 4.0", "Jocs"}));
    EXPECT_EQ(SplitGroupList("A\nB\rC"), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_TRUE(SplitGroupList("\r\n").empty());
    EXPECT_TRUE(SplitGroupList("").empty());
}

// ---------------------------------------------------------------------------
// The road and where links go.

TEST(GroupRoad, ShellLinksAboveWindows3)
{
    EXPECT_FALSE(UsesShellLinks(3));
    EXPECT_FALSE(UsesShellLinks(2));
    EXPECT_TRUE(UsesShellLinks(4));
    EXPECT_TRUE(UsesShellLinks(6));
    EXPECT_FALSE(CShellGroupManager(3, "C:\\P\\").useShell());
    EXPECT_TRUE(CShellGroupManager(4, "C:\\P\\").useShell());
    // What this Windows reports decides for the default manager.
    EXPECT_EQ(CShellGroupManager().useShell(), WindowsMajorVersion() > 3);
}

TEST(GroupRoad, ProgramsFolderFromShellFoldersOrTheWindowsFolder)
{
    EXPECT_EQ(ProgramsFolderFrom(std::string("D:\\Perfil\\Programes"), "C:\\WINDOWS"),
              "D:\\Perfil\\Programes\\");
    EXPECT_EQ(ProgramsFolderFrom(std::nullopt, "C:\\WINDOWS"), "C:\\WINDOWS\\Start Menu\\Programs\\");
    EXPECT_EQ(ProgramsFolderFrom(std::string(), "C:\\WINDOWS\\"),
              "C:\\WINDOWS\\Start Menu\\Programs\\");

    // This user's, as the shell itself names it.
    char programs[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs), S_OK);
    EXPECT_TRUE(sameText(UserProgramsFolder(), WithTrailingBackslash(programs)));
}

TEST(GroupRoad, LinkFileNamesFromTitles)
{
    CShellGroupManager manager(4, "C:\\Menu\\Programes");
    EXPECT_EQ(manager.GroupFolder(kGroup), std::string("C:\\Menu\\Programes\\") + kGroup + "\\");
    EXPECT_EQ(manager.LinkPath(kGroup, "Llegiu-me"),
              std::string("C:\\Menu\\Programes\\") + kGroup + "\\Llegiu-me.lnk");
    // The title's last dot starts the extension that "lnk" replaces.
    EXPECT_EQ(manager.LinkPath(kGroup, kGroup),
              std::string("C:\\Menu\\Programes\\") + kGroup + "\\Ortavel 4.lnk");
    // Separators and drive colons can't lead a link out of its group.
    EXPECT_EQ(manager.LinkPath("G", "Perfil\\Escriptori"), "C:\\Menu\\Programes\\G\\Perfil_Escriptori.lnk");
    EXPECT_EQ(manager.LinkPath("G", "Ajuda: \"Ortavel\""), "C:\\Menu\\Programes\\G\\Ajuda_ _Ortavel_.lnk");
    EXPECT_EQ(manager.GroupFolder("..\\Startup"), "C:\\Menu\\Programes\\.._Startup\\");
    // No group of its own, no link: never into Programs itself.
    EXPECT_EQ(manager.GroupFolder(""), "");
    EXPECT_EQ(manager.GroupFolder(".."), "");
    EXPECT_EQ(manager.LinkPath("", "Llegiu-me"), "");
    EXPECT_EQ(manager.LinkPath("G", ""), "");
    EXPECT_EQ(manager.LinkPath("G", ".txt"), "");
}

// ---------------------------------------------------------------------------
// The shell road, for real.

class ShellLinks : public ::testing::Test {
protected:
    void SetUp() override
    {
        programs = scratch / "Menu Inici\\Programes\\";
        installed = scratch / "Ortavel Prog\\";
        scratch.write("Ortavel Prog\\ovca40.exe", "MZ");
        scratch.write("Ortavel Prog\\install.exe", "MZ");
        scratch.write("Ortavel Prog\\LLEGIU.TXT", "Llegiu-me");
    }

    CScratchFolder scratch;
    std::string programs;
    std::string installed;
};

TEST_F(ShellLinks, CarryTheItemsProgramArgumentsFolderIconShowAndTitle)
{
    CShellGroupManager manager(4, programs);
    ASSERT_TRUE(manager.AddItem(kGroup, installed + "install.exe", "/U",
                                "Desinstal\xB7lar Ortavel", installed + "install.exe", 1, "",
                                SW_SHOWMINIMIZED, 5));
    ASSERT_TRUE(manager.AddItem(kGroup, installed + "LLEGIU.TXT", "", "Llegiu-me", "", 0,
                                scratch.path(), SW_SHOW, 5));

    std::string group = programs + kGroup + "\\";
    EXPECT_EQ(namesIn(group),
              (std::vector<std::string>{"Desinstal\xB7lar Ortavel.lnk", "Llegiu-me.lnk"}));

    CLinkFacts remove = readLink(group + "Desinstal\xB7lar Ortavel.lnk");
    ASSERT_TRUE(remove.loaded);
    EXPECT_TRUE(sameText(remove.path, installed + "install.exe")) << remove.path;
    EXPECT_EQ(remove.arguments, "/U");
    // No working folder given: the program's own, as the Program Manager would.
    EXPECT_TRUE(sameText(WithTrailingBackslash(remove.workFolder), installed)) << remove.workFolder;
    EXPECT_TRUE(sameText(remove.iconPath, installed + "install.exe")) << remove.iconPath;
    EXPECT_EQ(remove.iconIndex, 1);
    EXPECT_EQ(remove.show, SW_SHOWMINNOACTIVE);
    EXPECT_EQ(remove.description, "Desinstal\xB7lar Ortavel");

    CLinkFacts readme = readLink(group + "Llegiu-me.lnk");
    ASSERT_TRUE(readme.loaded);
    EXPECT_TRUE(sameText(readme.path, installed + "LLEGIU.TXT")) << readme.path;
    EXPECT_EQ(readme.arguments, "");
    EXPECT_TRUE(sameText(WithTrailingBackslash(readme.workFolder), scratch.path()))
        << readme.workFolder;
    EXPECT_EQ(readme.iconPath, "");
    EXPECT_EQ(readme.show, SW_SHOWNORMAL);
    EXPECT_EQ(readme.description, "Llegiu-me");
}

TEST_F(ShellLinks, SameTitleOverwritesAndRemovalIsSilent)
{
    CShellGroupManager manager(4, programs);
    std::string group = programs + kGroup + "\\";
    ASSERT_TRUE(manager.AddItem(kGroup, installed + "ovca40.exe", "", kGroup, "", 0, "", SW_SHOW, 5));
    ASSERT_TRUE(manager.AddItem(kGroup, installed + "ovca40.exe", "/v", kGroup, "", 0, "", SW_SHOW, 5));
    ASSERT_EQ(namesIn(group), (std::vector<std::string>{"Ortavel 4.lnk"}));
    EXPECT_EQ(readLink(group + "Ortavel 4.lnk").arguments, "/v");

    // A read-only link goes too.
    SetFileAttributesA((group + "Ortavel 4.lnk").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(manager.DeleteItem(kGroup, kGroup));
    EXPECT_FALSE(fileExists(group + "Ortavel 4.lnk"));
    // One the shell is reading for a moment is made and goes once it is
    // let go.
    auto readForAMoment = [&] {
        HANDLE reading = CreateFileA((group + "Ortavel 4.lnk").c_str(), GENERIC_READ,
                                     FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(reading, INVALID_HANDLE_VALUE);
        return std::thread([reading] {
            Sleep(150);
            CloseHandle(reading);
        });
    };
    ASSERT_TRUE(manager.AddItem(kGroup, installed + "ovca40.exe", "", kGroup, "", 0, "", SW_SHOW, 5));
    std::thread letGo = readForAMoment();
    EXPECT_TRUE(manager.AddItem(kGroup, installed + "ovca40.exe", "/w", kGroup, "", 0, "", SW_SHOW, 5));
    letGo.join();
    EXPECT_EQ(readLink(group + "Ortavel 4.lnk").arguments, "/w");
    letGo = readForAMoment();
    EXPECT_TRUE(manager.DeleteItem(kGroup, kGroup));
    letGo.join();
    EXPECT_FALSE(fileExists(group + "Ortavel 4.lnk"));
    // Nothing left to remove: no complaint, nothing else touched.
    EXPECT_TRUE(manager.DeleteItem(kGroup, kGroup));
    EXPECT_TRUE(manager.DeleteItem("Cap grup", "Res"));

    // A group the user has put something else into stays.
    scratch.write(std::string("Menu Inici\\Programes\\") + kGroup + "\\Meu.txt", "x");
    EXPECT_FALSE(manager.DeleteGroup(kGroup));
    EXPECT_TRUE(folderExists(group));
    DeleteFileA((group + "Meu.txt").c_str());
    EXPECT_TRUE(manager.DeleteGroup(kGroup));
    EXPECT_FALSE(folderExists(group));
    EXPECT_TRUE(folderExists(programs));
    EXPECT_FALSE(manager.DeleteGroup(kGroup));
}

TEST_F(ShellLinks, ItemsThatCantBeMadeAreMissingWithoutHarm)
{
    // The Programs folder's place is a file: no group folder can be made there.
    scratch.write("Fitxer", "x");
    CShellGroupManager blocked(4, scratch / "Fitxer\\Programes");
    EXPECT_FALSE(blocked.AddItem(kGroup, installed + "ovca40.exe", "", "Ortavel", "", 0, "",
                                 SW_SHOW, 5));
    // No group name: nothing lands in Programs itself.
    CShellGroupManager manager(4, programs);
    EXPECT_FALSE(manager.AddItem("", installed + "ovca40.exe", "", "Ortavel", "", 0, "",
                                 SW_SHOW, 5));
    EXPECT_FALSE(manager.DeleteGroup(""));
    EXPECT_TRUE(namesIn(programs).empty());
    EXPECT_TRUE(fileExists(installed + "ovca40.exe"));
}

TEST_F(ShellLinks, InstalledTargetsGetItemsAndLoseThemAgain)
{
    CInstallApp app;
    app.CreateContainers();
    app.groupName = kGroup;
    auto installation = std::make_unique<CDestination>();
    installation->path.set(installed);
    app.destinations[0] = std::move(installation);
    auto target = [&](const char* key, const char* title, const char* arguments,
                      const char* iconFile, int iconIndex, bool minimised, const std::string& path) {
        auto t = std::make_unique<CTarget>();
        t->name = key;
        t->title = title;
        t->arguments = arguments;
        t->iconFile = iconFile;
        t->iconIndex = static_cast<std::int16_t>(iconIndex);
        t->minimised = minimised;
        t->installedPath.set(path);
        app.targets[key] = std::move(t);
    };
    target("install.exe", "Desinstal\xB7lar Ortavel", "/U", "install.exe", 0, true,
           installed + "install.exe");
    target("llegiu.txt", "Llegiu-me", "", "", 0, false, installed + "LLEGIU.TXT");
    target("manual.hlp", "Manual del Ortavel", "", "", 0, false, "");  // not installed

    CShellGroupManager manager(4, programs);
    CreateProgramItems(app, manager);
    std::string group = programs + kGroup + "\\";
    EXPECT_EQ(namesIn(group),
              (std::vector<std::string>{"Desinstal\xB7lar Ortavel.lnk", "Llegiu-me.lnk"}));
    CLinkFacts remove = readLink(group + "Desinstal\xB7lar Ortavel.lnk");
    EXPECT_TRUE(sameText(remove.iconPath, installed + "install.exe")) << remove.iconPath;
    EXPECT_EQ(remove.arguments, "/U");
    EXPECT_EQ(remove.show, SW_SHOWMINNOACTIVE);
    EXPECT_EQ(readLink(group + "Llegiu-me.lnk").show, SW_SHOWNORMAL);
    EXPECT_TRUE(app.succeeded);

    RemoveProgramItems(app, manager);
    EXPECT_FALSE(folderExists(group));
    EXPECT_TRUE(folderExists(programs));
}

// ---------------------------------------------------------------------------
// The Program Manager road, against the service the shell provides.

namespace {

bool progmanAnswers()
{
    CDdeConversation probe;
    return probe.Connect("PROGMAN", "PROGMAN");
}

// The windows the shell opens on a group it creates, closed again.
BOOL CALLBACK closeGroupWindow(HWND window, LPARAM name)
{
    char caption[512] = {};
    GetWindowTextA(window, caption, sizeof caption);
    if (std::string(caption).find(reinterpret_cast<const char*>(name)) != std::string::npos)
        PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

bool groupWindowOpen(const std::string& name)
{
    struct CSearch {
        const std::string* name;
        bool found;
    } search{&name, false};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<CSearch*>(data);
            char caption[512] = {};
            GetWindowTextA(window, caption, sizeof caption);
            if (IsWindowVisible(window) && std::string(caption).find(*s->name) != std::string::npos)
                s->found = true;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void closeGroupWindows(const std::string& name)
{
    WaitUntil(5000, [&] {
        EnumWindows(closeGroupWindow, reinterpret_cast<LPARAM>(name.c_str()));
        return !groupWindowOpen(name);
    });
}

std::string uniqueName(const char* stem)
{
    char name[64];
    std::snprintf(name, sizeof name, "%s %lu", stem, GetCurrentProcessId());
    return name;
}

std::string thisProgram()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

std::string systemProgram(const char* name)
{
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, sizeof folder);
    return WithTrailingBackslash(folder) + name;
}

class ProgramManager : public ::testing::Test {
protected:
    void SetUp() override
    {
        char folder[MAX_PATH] = {};
        ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, folder), S_OK);
        programs = WithTrailingBackslash(folder);
        // The shell registers its service once its desktop is up.
        ASSERT_TRUE(WaitUntil(20000, progmanAnswers)) << "no PROGMAN service";
        group = uniqueName("OVCA40 prova");
    }
    void TearDown() override
    {
        for (const std::string& name : made) {
            closeGroupWindows(name);
            RemoveTree(programs + name + "\\");
        }
    }

    std::string programs;
    std::string group;
    std::vector<std::string> made;
};

} // namespace

TEST(DdeConversation, WithoutAServerEveryCallFailsAtOnce)
{
    CDdeConversation conversation;
    EXPECT_FALSE(conversation.Connect("OVCA40 cap servei", "cap tema"));
    EXPECT_TRUE(conversation.initialised());
    EXPECT_FALSE(conversation.connected());
    EXPECT_FALSE(conversation.Execute("[CreateGroup (\"x\")]"));
    EXPECT_EQ(conversation.Request("Groups"), "");
    conversation.Uninitialise();
    EXPECT_FALSE(conversation.initialised());
}

TEST_F(ProgramManager, GroupsAndItemsComeAndGo)
{
    made.push_back(group);
    std::string folder = programs + group + "\\";
    std::string program = thisProgram();
    CShellGroupManager manager(3, "C:\\no s'usa\\");
    ASSERT_FALSE(manager.useShell());

    // Wine's shell takes the first field as a bare program path, so these
    // items have no arguments.
    manager.AddItem(group, program, "", "Prova", "", 0, "", SW_SHOW, 5);
    EXPECT_TRUE(manager.connected());
    // The shell keeps a group as a folder under the user's Programs.
    EXPECT_TRUE(WaitUntil(5000, [&] { return fileExists(folder + "Prova.lnk"); }));
    std::vector<std::string> groups = manager.GroupNames();
    EXPECT_NE(std::find(groups.begin(), groups.end(), group), groups.end());

    // A list box gets the same list.
    HWND list = CreateWindowA("LISTBOX", "", LBS_SORT, 0, 0, 100, 100, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(list, nullptr);
    manager.ListGroups(list);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), static_cast<LRESULT>(groups.size()));
    EXPECT_NE(SendMessageA(list, LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(group.c_str())),
              LB_ERR);
    DestroyWindow(list);

    // The same title again replaces the item.
    std::string other = systemProgram("notepad.exe");
    manager.AddItem(group, other, "", "Prova", "", 0, "", SW_SHOWMINIMIZED, 5);
    EXPECT_TRUE(WaitUntil(5000, [&] { return sameText(readLink(folder + "Prova.lnk").path, other); }));
    EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"Prova.lnk"}));

    // An item too long to add leaves the one of its title alone: once a
    // later item is there (commands run in order), it still is.
    EXPECT_FALSE(manager.AddItem(group, "C:\\" + std::string(600, 'p') + ".exe", "", "Prova", "",
                                 0, "", SW_SHOW, 5));
    manager.AddItem(group, other, "", "Altre", "", 0, "", SW_SHOW, 5);
    EXPECT_TRUE(WaitUntil(5000, [&] { return fileExists(folder + "Altre.lnk"); }));
    EXPECT_TRUE(fileExists(folder + "Prova.lnk"));
    manager.DeleteItem(group, "Altre");

    manager.DeleteItem(group, "Prova");
    EXPECT_TRUE(WaitUntil(5000, [&] { return !fileExists(folder + "Prova.lnk"); }));
    EXPECT_TRUE(folderExists(folder));
    manager.DeleteGroup(group);
    EXPECT_TRUE(WaitUntil(5000, [&] { return !folderExists(folder); }));
    groups = manager.GroupNames();
    EXPECT_EQ(std::find(groups.begin(), groups.end(), group), groups.end());
}

TEST_F(ProgramManager, ATitleWithBracketsAndQuotesRunsNoCommandOfItsOwn)
{
    std::string victim = uniqueName("OVCA40 victima");
    made.push_back(victim);
    made.push_back(group);
    CGroupManager manager;
    manager.CreateGroup(victim);
    ASSERT_TRUE(WaitUntil(5000, [&] { return folderExists(programs + victim); }));

    std::string evil = "x\")][DeleteGroup(\"" + victim + "\")][CreateGroup(\"y";
    manager.AddItem(group, thisProgram(), "", evil, "", 0, SW_SHOW, 5);
    manager.DeleteItem(group, evil);
    // Both commands are done once the group's folder holds no item again.
    EXPECT_TRUE(WaitUntil(5000, [&] { return folderExists(programs + group) &&
                                             namesIn(programs + group).empty(); }));
    EXPECT_TRUE(folderExists(programs + victim));
    EXPECT_FALSE(folderExists(programs + "y"));
    manager.DeleteGroup(victim);
    manager.DeleteGroup(group);
    EXPECT_TRUE(WaitUntil(5000, [&] { return !folderExists(programs + victim); }));
}
