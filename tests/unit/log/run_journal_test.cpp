#include "log/run_journal.h"

#include "platform/exception.h"
#include "platform/registry.h"
#include "system/boot_rename.h"
#include "system/shared_dll_count.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

namespace {

bool exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string entry(const std::string& log, const char* section, const char* key)
{
    char value[64] = {};
    GetPrivateProfileStringA(section, key, "<none>", value, sizeof value, log.c_str());
    return value;
}

// Another program's hold on a file, shared with nobody.
struct CHold {
    explicit CHold(const std::string& path)
        : handle(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr))
    {
    }
    ~CHold() { release(); }
    void release()
    {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
    }
    HANDLE handle;
};

const wchar_t kWideName[] = L"nom \x03A9";
const wchar_t kWideData[] = L"dades \x4E2D";

// What an installation does to one folder, step by step as the copy engine
// and the registering page write it down: a new folder with a new file, an
// older copy replaced, a temporary file left by a failed member, a shared
// count raised, a settings file and a registry key changed (one value of
// it named and holding text outside the code page).
struct CInstallSteps {
    explicit CInstallSteps(CScratchFolder& scratch) : scratch(scratch)
    {
        scratch.write("old.dll", "older");
        scratch.write("settings.ini", "[a]\r\nb=1\r\n");
        scratch.write("ovca40.log", "[Events]\r\n10:00:00:0001=first run\r\n[Base]\r\nkept.txt=0|1|0\r\n");
        CRegKey key;
        key.create(HKEY_CURRENT_USER, kKey + "\\Sub");
        key.writeString("v", "before");
        RegSetValueExW(key.handle(), kWideName, 0, REG_SZ, reinterpret_cast<const BYTE*>(kWideData),
                       sizeof kWideData);
        CSharedDllCount(shared()).set(5);
    }
    ~CInstallSteps()
    {
        CRegKey::deleteTree(HKEY_CURRENT_USER, kKey);
        CSharedDllCount(shared()).set(0);
    }

    void run(CRunJournal& journal)
    {
        ASSERT_EQ(journal.Begin(log(), CRunJournal::install), CRunJournal::started);
        ASSERT_TRUE(journal.CreateFolders(scratch / "New\\Deep\\"));
        // Every level it made, in any case, with or without the backslash;
        // not the folder that was there.
        EXPECT_TRUE(journal.IsNewFolder(scratch / "new\\DEEP"));
        EXPECT_TRUE(journal.IsNewFolder(scratch / "New\\"));
        EXPECT_FALSE(journal.IsNewFolder(scratch.path()));
        journal.TempFile(scratch / "New\\Deep\\1234abcd.txt");
        scratch.write("New\\Deep\\1234abcd.txt", "new");
        journal.Placed(scratch / "New\\Deep\\new.txt", true, "Base", "new.txt", "1|1|0|0");
        MoveFileA((scratch / "New\\Deep\\1234abcd.txt").c_str(), (scratch / "New\\Deep\\new.txt").c_str());
        journal.TempNamed(scratch / "New\\Deep\\1234abcd.txt");

        journal.TempFile(scratch / "99999999.dll");
        scratch.write("99999999.dll", "newer");
        journal.MovedAside(scratch / "old.dll", scratch / "aside.dll");
        MoveFileA((scratch / "old.dll").c_str(), (scratch / "aside.dll").c_str());
        journal.Placed(scratch / "old.dll", true, "Base", "old.dll", "0|1|1|0");
        MoveFileA((scratch / "99999999.dll").c_str(), (scratch / "old.dll").c_str());

        journal.TempFile(scratch / "deadbeef.tmp");
        scratch.write("deadbeef.tmp", "half");
        journal.CountSet(shared(), 5, 6);
        CSharedDllCount(shared()).set(6);

        journal.FileBefore(scratch / "settings.ini");
        scratch.write("settings.ini", "[a]\r\nb=2\r\n");
        journal.KeyBefore(HKEY_CURRENT_USER, 0, kKey);
        CRegKey key;
        key.open(HKEY_CURRENT_USER, kKey + "\\Sub");
        key.writeString("v", "after");
        key.writeString("w", "added");
        RegDeleteValueW(key.handle(), kWideName);
        CRegKey made;
        made.create(HKEY_CURRENT_USER, kKey + "\\Made");
        journal.LogEntry("destinations", "0", "OVCA40|-1|C:\\OVCA40\\");
        journal.LogEntryGone("Base", "kept.txt");
    }

    std::string log() const { return scratch / "ovca40.log"; }
    std::string journalPath() const { return CRunJournal::PathFor(log()); }
    std::string shared() const { return scratch / "shared.dll"; }
    std::string value(const std::string& subKey, const char* name) const
    {
        CRegKey key;
        key.open(HKEY_CURRENT_USER, kKey + subKey);
        return key.readString(name).value_or("<none>");
    }
    std::wstring wideValue() const
    {
        wchar_t data[64] = {};
        DWORD size = sizeof data;
        RegGetValueW(HKEY_CURRENT_USER, std::wstring(kKey.begin(), kKey.end()).append(L"\\Sub").c_str(),
                     kWideName, RRF_RT_REG_SZ, nullptr, data, &size);
        return data;
    }
    // The machine as it was before the run.
    void expectAsBefore() const
    {
        EXPECT_FALSE(exists(scratch / "New"));
        EXPECT_EQ(ReadWholeFile(scratch / "old.dll"), "older");
        EXPECT_FALSE(exists(scratch / "aside.dll"));
        EXPECT_FALSE(exists(scratch / "deadbeef.tmp"));
        EXPECT_EQ(CSharedDllCount(shared()).count(), 5u);
        EXPECT_EQ(ReadWholeFile(scratch / "settings.ini"), "[a]\r\nb=1\r\n");
        EXPECT_EQ(value("\\Sub", "v"), "before");
        EXPECT_EQ(value("\\Sub", "w"), "<none>");
        EXPECT_EQ(wideValue(), kWideData);
        EXPECT_FALSE(CRegKey::exists(HKEY_CURRENT_USER, kKey + "\\Made"));
        EXPECT_FALSE(exists(journalPath()));
    }

    CScratchFolder& scratch;
    const std::string kKey = "Software\\OVCA40 prova del diari";
};

} // namespace

// Undone newest first: the machine and the log are as they were, events
// included, and the journal is gone. A count is put back to the value it
// had, whatever happened to it meanwhile.
TEST(RunJournal, RollBackPutsEverythingBack)
{
    CScratchFolder scratch;
    CInstallSteps steps(scratch);
    CRunJournal journal;
    steps.run(journal);
    CSharedDllCount(steps.shared()).set(9);
    std::string logBefore = ReadWholeFile(steps.log());
    journal.RollBack();

    steps.expectAsBefore();
    EXPECT_EQ(ReadWholeFile(steps.log()), logBefore);
    EXPECT_FALSE(journal.restartNeeded());
}

// Committed: the records reach the log in one fold, what was kept for an
// undo goes, and a temporary file no replacement waits for goes too.
TEST(RunJournal, CommitFoldsTheRecordsAndCleansUp)
{
    CScratchFolder scratch;
    CInstallSteps steps(scratch);
    CRunJournal journal;
    steps.run(journal);
    EXPECT_TRUE(journal.Commit());

    EXPECT_EQ(entry(steps.log(), "Base", "new.txt"), "1|1|0|0");
    EXPECT_EQ(entry(steps.log(), "Base", "old.dll"), "0|1|1|0");
    EXPECT_EQ(entry(steps.log(), "Base", "kept.txt"), "<none>");
    EXPECT_EQ(entry(steps.log(), "destinations", "0"), "OVCA40|-1|C:\\OVCA40\\");
    EXPECT_EQ(entry(steps.log(), "Events", "10:00:00:0001"), "first run");
    EXPECT_EQ(ReadWholeFile(scratch / "old.dll"), "newer");
    EXPECT_FALSE(exists(scratch / "aside.dll"));
    EXPECT_FALSE(exists(scratch / "deadbeef.tmp"));
    EXPECT_EQ(CSharedDllCount(steps.shared()).count(), 6u);
    EXPECT_EQ(ReadWholeFile(scratch / "settings.ini"), "[a]\r\nb=2\r\n");
    EXPECT_EQ(steps.value("\\Sub", "v"), "after");
    EXPECT_FALSE(exists(steps.journalPath()));
}

// One run at a time for the whole life of a journal: a second run is turned
// away while the first works; the run after a killed one undoes it (an
// installation) or finishes it (a commit cut short), and appends nothing to
// what it found.
TEST(RunJournal, TheNextRunSettlesWhatAKilledRunLeft)
{
    CScratchFolder scratch;
    CInstallSteps steps(scratch);
    {
        CRunJournal running;
        steps.run(running);
        CRunJournal second;
        EXPECT_EQ(second.Begin(steps.log(), CRunJournal::install), CRunJournal::busy);
        EXPECT_TRUE(exists(scratch / "New\\Deep\\new.txt"));
    }  // killed: the journal stays behind, closed
    ASSERT_TRUE(exists(steps.journalPath()));
    {
        CRunJournal next;
        EXPECT_EQ(next.Begin(steps.log(), CRunJournal::install), CRunJournal::started);
        EXPECT_EQ(CJournalFile::ReadAll(steps.journalPath()).size(), 1u);
        next.RollBack();
    }
    steps.expectAsBefore();

    // A commit written down, then killed before the log had the records.
    {
        CRunJournal killed;
        ASSERT_EQ(killed.Begin(steps.log(), CRunJournal::install), CRunJournal::started);
        killed.LogEntry("Base", "late.txt", "0|1|0|0");
    }
    {
        CJournalRecord commit;
        commit.kind = CJournalRecord::committed;
        CJournalFile raw;
        ASSERT_EQ(raw.open(steps.journalPath()), CJournalFile::opened);
        raw.append(commit);
    }
    CRunJournal after;
    EXPECT_EQ(after.Begin(steps.log(), CRunJournal::install), CRunJournal::started);
    EXPECT_EQ(entry(steps.log(), "Base", "late.txt"), "0|1|0|0");
    after.RollBack();
    EXPECT_EQ(entry(steps.log(), "Base", "late.txt"), "0|1|0|0");
}

// A log another program holds: the commit waits a moment, then fails and
// the installation is undone; an earlier run's commit that can't reach the
// log keeps its journal and turns the next run away until the log is free.
TEST(RunJournal, ALogThatCantBeWrittenIsNoSuccess)
{
    CScratchFolder scratch;
    CInstallSteps steps(scratch);
    CRunJournal journal;
    steps.run(journal);
    std::string logBefore = ReadWholeFile(steps.log());
    {
        CHold viewer(steps.log());
        ASSERT_NE(viewer.handle, INVALID_HANDLE_VALUE);
        EXPECT_FALSE(journal.Commit());
    }
    steps.expectAsBefore();
    EXPECT_EQ(ReadWholeFile(steps.log()), logBefore);

    {
        CRunJournal uninstalling;
        ASSERT_EQ(uninstalling.Begin(steps.log(), CRunJournal::uninstall), CRunJournal::started);
        uninstalling.LogEntryGone("Base", "kept.txt");
        CHold viewer(steps.log());
        EXPECT_FALSE(uninstalling.Commit());
        CRunJournal next;
        EXPECT_EQ(next.Begin(steps.log(), CRunJournal::install), CRunJournal::unsettled);
    }
    ASSERT_TRUE(exists(steps.journalPath()));
    CRunJournal next;
    EXPECT_EQ(next.Begin(steps.log(), CRunJournal::install), CRunJournal::started);
    EXPECT_EQ(entry(steps.log(), "Base", "kept.txt"), "<none>");
    next.RollBack();
}

// An undo that meets a file another program holds hands the putting back
// to the next start of Windows instead of stranding the older copy.
TEST(RunJournal, AHeldFileIsPutBackWhenWindowsNextStarts)
{
    CScratchFolder scratch;
    CInstallSteps steps(scratch);
    CRunJournal journal;
    steps.run(journal);
    CHold wordProcessor(scratch / "old.dll");
    journal.RollBack();
    wordProcessor.release();

    EXPECT_TRUE(journal.restartNeeded());
    EXPECT_TRUE(exists(scratch / "aside.dll"));
    bool pending = false;
    WithdrawBootOperations([&](const CBootOperation& operation) {
        bool ours = SamePath(operation.source, scratch / "aside.dll");
        pending = pending || (ours && SamePath(operation.target, scratch / "old.dll"));
        return ours;
    });
    EXPECT_TRUE(pending);
    EXPECT_FALSE(exists(steps.journalPath()));
}

// No journal input stops a run: damaged lines are passed over (and named in
// the log's events), the rest is undone; a registry snapshot cut short by a
// kill leaves its key as it is.
TEST(RunJournal, DamagedRecordsArePassedOver)
{
    CScratchFolder scratch;
    CInstallSteps steps(scratch);
    {
        CRunJournal killed;
        steps.run(killed);
    }
    const std::string halfKey = "Software\\OVCA40 prova del diari a mitges";
    std::string text = ReadWholeFile(steps.journalPath());
    // Records of every kind with a field that can't be: each is dropped.
    for (const char* line : {"L|C:\\x.dll|five|6", "P|C:\\x.txt|2|Base|x.txt|0|1|0", "K|HKXX|0|Software\\X|1|1",
                             "V|HKCU|0|Software\\X|n|1|ZZ", "C|C:\\x.dll|-1", "B|Q", "?|x", "", "%%%|||"})
        text += std::string(line) + "\r\n";
    text += "K|HKCU|0|" + halfKey + "|1|1\r\n";
    scratch.write("ovca40.jnl", text);
    CRegKey half;
    half.create(HKEY_CURRENT_USER, halfKey);
    half.writeString("keep", "1");
    half.close();

    CRunJournal next;
    EXPECT_EQ(next.Begin(steps.log(), CRunJournal::install), CRunJournal::started);
    next.RollBack();
    steps.expectAsBefore();
    EXPECT_NE(ReadWholeFile(steps.log()).find("9 damaged lines"), std::string::npos);
    CRegKey kept;
    EXPECT_TRUE(kept.open(HKEY_CURRENT_USER, halfKey));
    EXPECT_EQ(kept.readString("keep").value_or(""), "1");
    kept.close();
    CRegKey::deleteTree(HKEY_CURRENT_USER, halfKey);
}

// An uninstallation writes what it will release before it releases it: a
// kill anywhere after that is finished by the next run, which releases
// nothing a second time.
TEST(RunJournal, AKilledUninstallationIsFinishedOnce)
{
    CScratchFolder scratch;
    CInstallSteps steps(scratch);
    scratch.write("gone.dll", "ours");
    for (int run = 0; run < 2; ++run) {
        CRunJournal killed;
        ASSERT_EQ(killed.Begin(steps.log(), CRunJournal::uninstall), CRunJournal::started);
        if (run == 0) {
            killed.CountSet(steps.shared(), 5, 4);
            killed.LogEntryGone("Base", "kept.txt");
            killed.Removed(scratch / "gone.dll", "Base", "kept.txt", "0|1|0");
        }
    }  // killed before anything was released
    CRunJournal next;
    EXPECT_EQ(next.Begin(steps.log(), CRunJournal::install), CRunJournal::started);
    next.RollBack();
    EXPECT_EQ(CSharedDllCount(steps.shared()).count(), 4u);
    EXPECT_FALSE(exists(scratch / "gone.dll"));
    EXPECT_EQ(entry(steps.log(), "Base", "kept.txt"), "<none>");
}

// A copy kept for an undo that can't be made stops the step before the
// change.
TEST(RunJournal, AChangeThatCantBeUndoneIsNotMade)
{
    CScratchFolder scratch;
    CInstallSteps steps(scratch);
    CRunJournal journal;
    ASSERT_EQ(journal.Begin(steps.log(), CRunJournal::install), CRunJournal::started);
    CHold locked(scratch / "settings.ini");
    EXPECT_THROW(journal.FileBefore(scratch / "settings.ini"), CFileException);
    locked.release();
    journal.RollBack();
    EXPECT_EQ(ReadWholeFile(scratch / "settings.ini"), "[a]\r\nb=1\r\n");
}

TEST(RunJournal, RecordsKeepEveryCharacter)
{
    CJournalRecord record;
    record.kind = CJournalRecord::placed;
    record.path = "C:\\a|b%c\r\nd";
    record.flag = true;
    record.section = "Catal\xE0";
    record.key = "k";
    std::string line = EncodeJournalRecord(record);
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
    auto back = DecodeJournalRecord(line);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->path, record.path);
    EXPECT_EQ(back->section, record.section);
    EXPECT_TRUE(back->flag);
}

// A power cut keeps only what reached the disk: the record of an older copy
// moved into the run's folder of them may be lost, the folder's own record
// is not, and the copy goes back by its name.
TEST(RunJournal, APowerCutLosesNoOlderCopy)
{
    CScratchFolder scratch;
    scratch.write("old.dll", "older");
    scratch.write("ovca40.log", "");
    std::string journalPath = CRunJournal::PathFor(scratch / "ovca40.log");
    std::string folder;
    {
        CRunJournal cut;
        ASSERT_EQ(cut.Begin(scratch / "ovca40.log", CRunJournal::install), CRunJournal::started);
        folder = cut.AsideFolder(scratch.path());
        ASSERT_FALSE(folder.empty());
        EXPECT_EQ(cut.AsideFolder(scratch.path()), folder);
        cut.MovedAside(scratch / "old.dll", folder + "\\old.dll");
        ASSERT_TRUE(MoveFileA((scratch / "old.dll").c_str(), (folder + "\\old.dll").c_str()));
        scratch.write("old.dll", "newer");
    }
    // What the system had not written yet: the last record.
    std::string text = ReadWholeFile(journalPath);
    text.erase(text.rfind("A|"));
    scratch.write("ovca40.jnl", text);

    CRunJournal next;
    EXPECT_EQ(next.Begin(scratch / "ovca40.log", CRunJournal::install), CRunJournal::started);
    next.RollBack();
    EXPECT_EQ(ReadWholeFile(scratch / "old.dll"), "older");
    EXPECT_FALSE(exists(folder));
}
