#include "log/uninstall.h"

#include "app/install_app.h"
#include "system/boot_rename.h"
#include "system/shared_dll_count.h"
#include "tests/support/scratch.h"
#include "tests/support/registry_scratch.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

bool exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void addDestination(CInstallApp& app, std::int16_t id, const std::string& folder)
{
    auto destination = std::make_unique<CDestination>();
    destination->id = id;
    destination->path.set(folder);
    app.destinations[id] = std::move(destination);
}

void addGroup(CInstallApp& app, const std::string& name)
{
    auto group = std::make_unique<CFileGroup>();
    group->name = name;
    app.groups[name] = std::move(group);
}

} // namespace

// Shared files follow their count, missing files are passed over, and a
// folder that still holds a user's file stays with everything above it.
TEST(UninstallFiles, DeletesTheLoggedFilesAndEmptyFolders)
{
    CScratchFolder scratch;
    CScratchRegistryPlace registry;
    const std::string app0 = scratch / "OVCA40\\";
    const std::string data = app0 + "DADES\\";
    const std::string rules = data + "REGLES\\";
    const std::string user = scratch / "USER\\";
    const std::string system = scratch / "SYS\\";
    scratch.write("OVCA40\\ovca40.exe", "x");
    scratch.write("OVCA40\\DADES\\verbs.dic", "x");
    scratch.write("OVCA40\\DADES\\REGLES\\pronoms.rgl", "x");
    scratch.write("USER\\ovca40.tag", "x");
    scratch.write("USER\\mine.txt", "kept");
    scratch.write("SYS\\ovctl32.dll", "x");
    scratch.write("SYS\\common32.dll", "x");
    SetFileAttributesA((app0 + "ovca40.exe").c_str(), FILE_ATTRIBUTE_READONLY);
    scratch.write("ovca40.log",
                  "[Programa]\r\novca40.exe=0|1|0\r\ngone.dll=0|1|0\r\novctl32.dll=-3|1|0\r\n"
                  "common32.dll=-3|1|1\r\n..\\USER\\mine.txt=0|1|0\r\n"
                  "[Diccionaris]\r\nverbs.dic=1|1|0\r\npronoms.rgl=2|1|0\r\novca40.tag=3|1|0\r\n");

    CInstallApp app;
    app.CreateContainers();
    app.profilePath.set(scratch / "ovca40.log");
    addDestination(app, 0, app0);
    addDestination(app, 1, data);
    addDestination(app, 2, rules);
    addDestination(app, 3, user);
    app.destinations[kDestSystem]->path.set(system);
    addGroup(app, "Programa");
    addGroup(app, "Diccionaris");
    // Counted once by us; the other file by another product as well.
    CSharedDllCount(system + "ovctl32.dll", registry.place()).increment();
    {
        CSharedDllCount other(system + "common32.dll", registry.place());
        other.increment();
        other.increment();
    }

    std::vector<std::string> shown;
    DeleteLoggedFiles(app, [&](const std::string& path) { shown.push_back(path); }, false,
                      registry.place());
    RemoveEmptyFolders(app);

    EXPECT_EQ(shown.size(), 7u);
    EXPECT_FALSE(exists(app0 + "ovca40.exe"));  // read-only, still deleted
    EXPECT_FALSE(exists(system + "ovctl32.dll"));
    EXPECT_FALSE(ReadRawValue(registry.place().root, registry.place().sharedDllsKey(),
                              system + "ovctl32.dll").present);
    EXPECT_TRUE(exists(system + "common32.dll"));
    EXPECT_EQ(CSharedDllCount(system + "common32.dll", registry.place()).count(), 1u);
    EXPECT_FALSE(exists(app0));
    EXPECT_TRUE(exists(user + "mine.txt"));  // a record reaching out of its folder is refused
    EXPECT_FALSE(exists(user + "ovca40.tag"));
}

// A file another program holds for a moment is deleted once it is let go;
// one held throughout goes when Windows next starts, and the run says so.
TEST(UninstallFiles, AFileInUseIsTriedAgainThenLeftToTheRestart)
{
    CScratchFolder scratch;
    const std::string app0 = scratch / "OVCA40\\";
    scratch.write("OVCA40\\llegiu.txt", "x");
    scratch.write("OVCA40\\ovgram32.dll", "x");
    scratch.write("ovca40.log", "[Programa]\r\nllegiu.txt=0|1|0\r\novgram32.dll=0|1|0\r\n");
    auto hold = [](const std::string& path) {
        return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           0, nullptr);
    };
    HANDLE brief = hold(app0 + "llegiu.txt");
    HANDLE held = hold(app0 + "ovgram32.dll");
    ASSERT_NE(brief, INVALID_HANDLE_VALUE);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread letGo([brief] {
        Sleep(200);
        CloseHandle(brief);
    });

    CInstallApp app;
    app.CreateContainers();
    app.profilePath.set(scratch / "ovca40.log");
    app.logPath.set(scratch / "ovca40.log");
    addDestination(app, 0, app0);
    addGroup(app, "Programa");
    DeleteLoggedFiles(app, [](const std::string&) {});
    letGo.join();
    CloseHandle(held);

    EXPECT_FALSE(exists(app0 + "llegiu.txt"));
    EXPECT_TRUE(exists(app0 + "ovgram32.dll"));
    EXPECT_TRUE(app.restartNeeded);
    const wchar_t* sessionManager = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
    DWORD size = 0;
    RegGetValueW(HKEY_LOCAL_MACHINE, sessionManager, L"PendingFileRenameOperations",
                 RRF_RT_REG_MULTI_SZ, nullptr, nullptr, &size);
    std::wstring pending(size / sizeof(wchar_t) + 1, L'\0');
    RegGetValueW(HKEY_LOCAL_MACHINE, sessionManager, L"PendingFileRenameOperations",
                 RRF_RT_REG_MULTI_SZ, nullptr, &pending[0], &size);
    WithdrawBootRename(app0 + "ovgram32.dll", "");
    EXPECT_NE(pending.find(L"ovgram32.dll"), std::wstring::npos);
    EXPECT_EQ(pending.find(L"llegiu.txt"), std::wstring::npos);
    std::string log = ReadWholeFile(scratch / "ovca40.log");
    EXPECT_NE(log.find("deleted when Windows next starts: " + app0 + "ovgram32.dll"),
              std::string::npos);
}

// What was there before the product comes back, and what a run releases is
// in its journal before it is released.
TEST(UninstallFiles, WhatWasThereComesBackAndEveryStepIsWrittenFirst)
{
    CScratchFolder scratch;
    const std::string app0 = scratch / "OVCA40\\";
    scratch.write("OVCA40\\LLEGIU.TXT", "ours");
    scratch.write("OVCA40\\1234abcd.TXT", "the user's own");
    scratch.write("OVCA40\\gone.dll", "x");
    scratch.write("ovca40.log", "[Programa]\r\nLLEGIU.TXT=0|1|1|0|1234abcd.TXT\r\ngone.dll=0|1|0|0\r\n");
    CInstallApp app;
    app.CreateContainers();
    app.profilePath.set(scratch / "ovca40.log");
    app.logPath.set(scratch / "ovca40.log");
    addDestination(app, 0, app0);
    addGroup(app, "Programa");
    ASSERT_EQ(app.journal.Begin(app.logPath.text(), CRunJournal::uninstall), CRunJournal::started);
    DeleteLoggedFiles(app, [](const std::string&) {});
    auto records = CJournalFile::ReadAll(app.journal.path());
    EXPECT_TRUE(app.journal.Commit());

    EXPECT_EQ(ReadWholeFile(app0 + "LLEGIU.TXT"), "the user's own");
    EXPECT_FALSE(exists(app0 + "1234abcd.TXT"));
    EXPECT_FALSE(exists(app0 + "gone.dll"));
    EXPECT_FALSE(app.filesLeft);
    EXPECT_TRUE(app.changedForGood);
    std::string log = ReadWholeFile(scratch / "ovca40.log");
    EXPECT_EQ(log.find("gone.dll="), std::string::npos) << log;
    EXPECT_EQ(log.find("LLEGIU.TXT="), std::string::npos) << log;
    bool removal = false, putBack = false;
    for (const CJournalRecord& r : records) {
        removal = removal || (r.kind == CJournalRecord::removed && r.path == app0 + "gone.dll");
        putBack = putBack || (r.kind == CJournalRecord::renamed && r.other == app0 + "LLEGIU.TXT");
    }
    EXPECT_TRUE(removal);
    EXPECT_TRUE(putBack);
}
