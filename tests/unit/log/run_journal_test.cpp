#include "log/run_journal.h"

#include "platform/registry.h"
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

// What an installation does to one folder, step by step as the copy engine
// and the registering page write it down: a new folder with a new file, an
// older copy replaced, a temporary file left by a failed member, a settings
// file and a registry key changed.
struct CInstallSteps {
    explicit CInstallSteps(CScratchFolder& scratch) : scratch(scratch)
    {
        scratch.write("old.dll", "older");
        scratch.write("settings.ini", "[a]\r\nb=1\r\n");
        scratch.write("ovca40.log", "[Events]\r\n10:00:00:0001=first run\r\n[Base]\r\nkept.txt=0|1|0\r\n");
        CRegKey key;
        key.create(HKEY_CURRENT_USER, kKey + "\\Sub");
        key.writeString("v", "before");
    }
    ~CInstallSteps() { CRegKey::deleteTree(HKEY_CURRENT_USER, kKey); }

    void run(CRunJournal& journal)
    {
        ASSERT_EQ(journal.Begin(log(), CRunJournal::install), CJournalFile::opened);
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

        journal.FileBefore(scratch / "settings.ini");
        scratch.write("settings.ini", "[a]\r\nb=2\r\n");
        journal.KeyBefore(HKEY_CURRENT_USER, 0, kKey);
        CRegKey key;
        key.open(HKEY_CURRENT_USER, kKey + "\\Sub");
        key.writeString("v", "after");
        key.writeString("w", "added");
        CRegKey made;
        made.create(HKEY_CURRENT_USER, kKey + "\\Made");
        journal.LogEntry("destinations", "0", "OVCA40|-1|C:\\OVCA40\\");
        journal.LogEntryGone("Base", "kept.txt");
    }

    std::string log() const { return scratch / "ovca40.log"; }
    std::string value(const std::string& subKey, const char* name) const
    {
        CRegKey key;
        key.open(HKEY_CURRENT_USER, kKey + subKey);
        return key.readString(name).value_or("<none>");
    }

    CScratchFolder& scratch;
    const std::string kKey = "Software\\OVCA40 prova del diari";
};

} // namespace

// Undone newest first: the machine and the log are as they were, events
// included, and the journal is gone.
TEST(RunJournal, RollBackPutsEverythingBack)
{
    CScratchFolder scratch;
    CInstallSteps steps(scratch);
    CRunJournal journal;
    steps.run(journal);
    std::string logBefore = ReadWholeFile(steps.log());
    journal.RollBack();

    EXPECT_FALSE(exists(scratch / "New"));
    EXPECT_EQ(ReadWholeFile(scratch / "old.dll"), "older");
    EXPECT_FALSE(exists(scratch / "aside.dll"));
    EXPECT_FALSE(exists(scratch / "deadbeef.tmp"));
    EXPECT_EQ(ReadWholeFile(scratch / "settings.ini"), "[a]\r\nb=1\r\n");
    EXPECT_EQ(steps.value("\\Sub", "v"), "before");
    EXPECT_EQ(steps.value("\\Sub", "w"), "<none>");
    EXPECT_FALSE(CRegKey::exists(HKEY_CURRENT_USER, steps.kKey + "\\Made"));
    EXPECT_EQ(ReadWholeFile(steps.log()), logBefore);
    EXPECT_FALSE(exists(CRunJournal::PathFor(steps.log())));
    // Nothing is left behind in the folder but what was there.
    EXPECT_FALSE(exists(scratch / "settings.ini.new"));
}

// Committed: the records reach the log in one fold, what was kept for an
// undo goes, and a temporary file no replacement waits for goes too.
TEST(RunJournal, CommitFoldsTheRecordsAndCleansUp)
{
    CScratchFolder scratch;
    CInstallSteps steps(scratch);
    CRunJournal journal;
    steps.run(journal);
    journal.Commit();

    EXPECT_EQ(entry(steps.log(), "Base", "new.txt"), "1|1|0|0");
    EXPECT_EQ(entry(steps.log(), "Base", "old.dll"), "0|1|1|0");
    EXPECT_EQ(entry(steps.log(), "Base", "kept.txt"), "<none>");
    EXPECT_EQ(entry(steps.log(), "destinations", "0"), "OVCA40|-1|C:\\OVCA40\\");
    EXPECT_EQ(entry(steps.log(), "Events", "10:00:00:0001"), "first run");
    EXPECT_EQ(ReadWholeFile(scratch / "old.dll"), "newer");
    EXPECT_FALSE(exists(scratch / "aside.dll"));
    EXPECT_FALSE(exists(scratch / "deadbeef.tmp"));
    EXPECT_EQ(ReadWholeFile(scratch / "settings.ini"), "[a]\r\nb=2\r\n");
    EXPECT_EQ(steps.value("\\Sub", "v"), "after");
    EXPECT_FALSE(exists(CRunJournal::PathFor(steps.log())));
}

// A run that was killed: the next run undoes an installation, but not while
// its journal is still held by a run that is going; a killed uninstallation
// (or a commit cut short) is finished instead.
TEST(RunJournal, RecoveryUndoesOrFinishesWhatAKilledRunLeft)
{
    CScratchFolder scratch;
    CInstallSteps steps(scratch);
    {
        CRunJournal running;
        steps.run(running);
        EXPECT_FALSE(CRunJournal::Recover(steps.log()));
        EXPECT_TRUE(exists(scratch / "New\\Deep\\new.txt"));
    }  // killed: the journal stays behind, closed
    ASSERT_TRUE(exists(CRunJournal::PathFor(steps.log())));
    EXPECT_TRUE(CRunJournal::Recover(steps.log()));
    EXPECT_FALSE(exists(scratch / "New"));
    EXPECT_EQ(ReadWholeFile(scratch / "old.dll"), "older");
    EXPECT_FALSE(exists(CRunJournal::PathFor(steps.log())));

    {
        CRunJournal uninstalling;
        ASSERT_EQ(uninstalling.Begin(steps.log(), CRunJournal::uninstall), CJournalFile::opened);
        uninstalling.LogEntryGone("Base", "kept.txt");
    }
    EXPECT_TRUE(CRunJournal::Recover(steps.log()));
    EXPECT_EQ(entry(steps.log(), "Base", "kept.txt"), "<none>");
    EXPECT_EQ(entry(steps.log(), "Events", "10:00:00:0001"), "first run");
}

TEST(RunJournal, RecordsKeepEveryCharacter)
{
    CJournalRecord record = {"P", "C:\\a|b%c\r\nd", "", "Catal\xE0"};
    EXPECT_EQ(DecodeJournalRecord(EncodeJournalRecord(record)), record);
    EXPECT_EQ(EncodeJournalRecord(record).find_first_of("\r\n"), std::string::npos);
}
