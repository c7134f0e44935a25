#include "copy/copy_engine.h"

#include "app/install_app.h"
#include "errors/x_exception.h"
#include "tests/support/dialog_answerer.h"
#include "tests/support/scratch.h"
#include "platform/registry.h"
#include "profile/install_profile.h"
#include "resources/resource.h"
#include "tests/unit/copy/test_archive.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

// Stands in for the copy page.
class CFakeView : public CCopyView {
public:
    void ShowSource(const std::string& name) override { sources.push_back(name); }
    void ShowDestination(const std::string& path) override { destination = path; }
    void SetGaugeRange(std::uint32_t lo, std::uint32_t hi) override { lowest = lo, highest = hi; }
    void SetGaugePosition(std::uint32_t p) override
    {
        EXPECT_GE(p, position);  // progress never goes back
        position = p;
        ++ticks;
    }
    bool CancelRequested() const override { return cancelAfterTicks >= 0 && ticks >= cancelAfterTicks; }
    void ClearCancelRequest() override { cancelAfterTicks = -1; }
    bool ConfirmCancel() override
    {
        ++cancelQuestions;
        return confirm;
    }
    void FailTo() override { successor = IDD_PAGE_FAILED; }
    int Successor() const override { return successor; }
    void StartBillboards(std::uint32_t total) override { billboardTotal = total; }
    void ShowBillboardFor(std::uint32_t) override {}
    void EndBillboards() override { billboardsEnded = true; }

    std::vector<std::string> sources;
    std::string destination;
    std::uint32_t lowest = 0, highest = 0, position = 0, billboardTotal = 0;
    int ticks = 0;
    int cancelAfterTicks = -1;
    int cancelQuestions = 0;
    bool confirm = true;
    int successor = IDD_PAGE_REGISTERING;
    bool billboardsEnded = false;
};

class CopyEngine : public ::testing::Test {
protected:
    void SetUp() override
    {
        app.CreateContainers();
        app.LoadNames();
        app.logPath.set(scratch / "ovca40.log");
        app.loggingEnabled = true;
        app.sourceFolder.set(scratch / "DIST\\DISK01\\");
        CreateDirectoryA((scratch / "DIST").c_str(), nullptr);
        CreateDirectoryA((scratch / "DIST\\DISK01").c_str(), nullptr);
        addDestination(0, scratch / "target\\");
        addDestination(1, scratch / "target\\Dades\\");
        group = addGroup("Base", true);
        ASSERT_EQ(app.journal.Begin(app.logPath.text(), CRunJournal::install), CRunJournal::started);
    }

    void addDestination(std::int16_t id, const std::string& path)
    {
        auto d = std::make_unique<CDestination>();
        d->id = id;
        d->path.set(path);
        app.destinations[id] = std::move(d);
    }
    CFileGroup* addGroup(const std::string& name, bool selected)
    {
        auto g = std::make_unique<CFileGroup>();
        g->name = name;
        g->selected = selected;
        CFileGroup* raw = g.get();
        app.groups[name] = std::move(g);
        return raw;
    }
    CGroupFile& addFile(const std::string& name, int kind, std::int32_t size, int disk,
                        int destination, CFileGroup* of = nullptr)
    {
        auto f = std::make_unique<CGroupFile>();
        f->name = name;
        f->kind = static_cast<std::int16_t>(kind);
        f->size = size;
        f->disk = static_cast<std::int16_t>(disk);
        f->destination = static_cast<std::int16_t>(destination);
        f->group = of ? of : group;
        app.groupFiles.push_back(std::move(f));
        return *app.groupFiles.back();
    }
    // Writes the volumes of an archive into the disk folders DISK01, DISK02...
    void writeArchive(const std::string& name, const std::vector<CTestMember>& members,
                      std::size_t capacity, int firstDisk = 1)
    {
        std::vector<std::string> volumes = BuildVolumes(members, capacity);
        std::string fileName = name;
        for (std::size_t i = 0; i < volumes.size(); ++i) {
            char disk[32];
            std::snprintf(disk, sizeof disk, "DIST\\DISK%02d\\", firstDisk + static_cast<int>(i));
            scratch.write(disk + fileName, volumes[i]);
            fileName.back() = static_cast<char>(fileName.back() + 1);
        }
    }
    // The log's record once the run is committed.
    std::string record(const std::string& section, const std::string& key)
    {
        app.journal.Commit();
        char value[64] = {};
        GetPrivateProfileStringA(section.c_str(), key.c_str(), "", value, sizeof value,
                                 app.logPath.text().c_str());
        return value;
    }
    int filesIn(const std::string& folder)
    {
        int count = 0;
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE)
            return 0;
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ++count;
        } while (FindNextFileA(find, &data));
        FindClose(find);
        return count;
    }

    CScratchFolder scratch;
    CInstallApp app;
    CFileGroup* group = nullptr;
    CFakeView view;
};

} // namespace

TEST_F(CopyEngine, InstallsPlainFilesAndArchivesSpanningDisks)
{
    std::string exe = TestBytes(30000, 1), dic = TestBytes(200000, 2), help = TestBytes(9000, 3);
    std::string skipped = TestBytes(5000, 4), notes = TestBytes(12345, 5);
    scratch.write("DIST\\DISK01\\LLEGIU.TXT", notes);
    // The archive starts on disk 1 and runs on over disks 2 and 3.
    writeArchive("DADES.MF1",
                 {{"bin\\ORTAVEL.EXE", exe, 0, true, 0x21},
                  {"NOTUSED.BIN", skipped, -1, false},
                  {"dic/GENERAL.DIC", dic, 1, false},
                  {"C:MANUAL.HLP", help, 0, true}},
                 90000);
    ASSERT_FALSE(ReadWholeFile(scratch / "DIST\\DISK03\\DADES.MF3").empty());
    CFileGroup* other = addGroup("WP6", false);
    addFile("LLEGIU.TXT", 0, static_cast<std::int32_t>(notes.size()), 1, 0);
    addFile("WP6.DAT", 0, 100, 1, 0, other);  // not selected: never asked for
    addFile("DADES.MF1", 1, 0, 1, 0);
    app.groupFiles.back()->size = 250000;
    addFile("MISSING.TXT", 0, 777, 1, -1);  // not copied, only counted
    scratch.write("DIST\\DISK01\\MISSING.TXT", "");

    CDialogAnswerer answerer({});
    CCopyEngine engine(app, view);
    EXPECT_EQ(engine.CopyFiles(), IDD_PAGE_REGISTERING);
    EXPECT_TRUE(answerer.seen().empty());
    EXPECT_TRUE(app.succeeded);

    EXPECT_EQ(ReadWholeFile(scratch / "target\\LLEGIU.TXT"), notes);
    EXPECT_EQ(ReadWholeFile(scratch / "target\\ORTAVEL.EXE"), exe);
    EXPECT_EQ(ReadWholeFile(scratch / "target\\Dades\\GENERAL.DIC"), dic);
    EXPECT_EQ(ReadWholeFile(scratch / "target\\MANUAL.HLP"), help);
    EXPECT_FALSE(CPath(scratch / "target\\NOTUSED.BIN").exists());
    EXPECT_FALSE(CPath(scratch / "target\\WP6.DAT").exists());
    EXPECT_EQ(filesIn(scratch / "target\\"), 3);  // no temporary files left

    // Dated and with their attributes, as the archive says.
    CFile::Status status;
    ASSERT_TRUE(CFile::getStatus(scratch / "target\\ORTAVEL.EXE", status));
    EXPECT_EQ(status.modified, 946728000u);
    EXPECT_TRUE(status.attributes & CFile::attrReadOnly);

    EXPECT_EQ(record("Base", "ORTAVEL.EXE"), "0|1|0|0");
    EXPECT_EQ(record("Base", "GENERAL.DIC"), "1|1|0|0");
    EXPECT_EQ(record("Base", "LLEGIU.TXT"), "0|1|0|0");
    EXPECT_EQ(record("Base", "NOTUSED.BIN"), "");
    // The source folder followed the disks, and back to disk 1 for the last record.
    EXPECT_EQ(app.sourceFolder.folderText(), scratch / "DIST\\DISK01\\");

    std::uint32_t total = static_cast<std::uint32_t>(notes.size()) + 250000 + 777;
    EXPECT_EQ(view.lowest, 1u);
    EXPECT_EQ(view.highest, total);
    EXPECT_EQ(view.billboardTotal, total);
    EXPECT_TRUE(view.billboardsEnded);
    EXPECT_GT(view.ticks, 50);
    EXPECT_EQ(engine.done(), notes.size() + exe.size() + skipped.size() + dic.size() + help.size() + 777);
    EXPECT_EQ(view.sources, (std::vector<std::string>{"LLEGIU.TXT", "DADES.MF1", "MISSING.TXT"}));
    // The model was written back.
    EXPECT_NE(ReadWholeFile(app.logPath.text()).find("[destinations]"), std::string::npos);
}

TEST_F(CopyEngine, OlderCopiesAreReplacedAndNamesStayInTheirFolder)
{
    scratch.write("target\\ORTAVEL.EXE", "old");
    SetFileAttributesA((scratch / "target\\ORTAVEL.EXE").c_str(), FILE_ATTRIBUTE_READONLY);
    writeArchive("A.MF1", {{"ORTAVEL.EXE", "new", 0}, {"..\\..\\..\\ESCAPE.TXT", "x", 0},
                           {"sub/./NAME.TXT", "y", 1}}, 1 << 20);
    addFile("A.MF1", 1, 5, 1, 0);
    // Read by another program for a moment: waited for, not left to a restart.
    HANDLE reading = CreateFileA((scratch / "target\\ORTAVEL.EXE").c_str(), GENERIC_READ,
                                 FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reading, INVALID_HANDLE_VALUE);
    std::thread letGo([reading] {
        Sleep(150);
        CloseHandle(reading);
    });
    CDialogAnswerer answerer({});
    CCopyEngine engine(app, view);
    EXPECT_EQ(engine.CopyFiles(), IDD_PAGE_REGISTERING);
    letGo.join();
    EXPECT_EQ(ReadWholeFile(scratch / "target\\ORTAVEL.EXE"), "new");
    // It was someone else's: kept beside ours, named in the record, for the
    // uninstaller to put back.
    std::string value = record("Base", "ORTAVEL.EXE");
    ASSERT_EQ(value.size(), std::string("0|1|1|0|12345678.EXE").size()) << value;
    EXPECT_EQ(value.substr(0, 8), "0|1|1|0|");
    EXPECT_EQ(ReadWholeFile(scratch / ("target\\" + value.substr(8))), "old");
    EXPECT_FALSE(app.restartNeeded);
    EXPECT_EQ(ReadWholeFile(scratch / "target\\ESCAPE.TXT"), "x");
    EXPECT_FALSE(CPath(scratch / "ESCAPE.TXT").exists());
    EXPECT_EQ(ReadWholeFile(scratch / "target\\Dades\\NAME.TXT"), "y");
}

TEST_F(CopyEngine, ANameTwiceInAFolderTheRunMadeReplacesTheFirstCopy)
{
    // The run knows what it put in its own folders without asking the disk:
    // the second copy must still find the first as its older copy.
    writeArchive("A.MF1", {{"NAME.TXT", "first", 1}, {"sub\\NAME.TXT", "second", 1}}, 1 << 20);
    addFile("A.MF1", 1, 5, 1, 0);
    CDialogAnswerer answerer({});
    CCopyEngine engine(app, view);
    EXPECT_EQ(engine.CopyFiles(), IDD_PAGE_REGISTERING);
    EXPECT_EQ(ReadWholeFile(scratch / "target\\Dades\\NAME.TXT"), "second");
    EXPECT_EQ(record("Base", "NAME.TXT"), "1|1|1|0");
    EXPECT_EQ(filesIn(scratch / "target\\Dades\\"), 1);
}

TEST_F(CopyEngine, ABadMemberAsksAndStopsWithoutLeavingFiles)
{
    // Members of several blocks: the good one's last writes are still going
    // on while the bad one is decoded, and the bad one's checksum is known
    // once its writes are done, after the next member is decoded: that one
    // goes too, the archive stops at the bad member.
    writeArchive("A.MF1", {{"GOOD.TXT", TestBytes(300000, 7), 0, true},
                           {"BAD.TXT", TestBytes(300000, 8), 0, true, 0x20, 946728000, true},
                           {"AFTER.TXT", TestBytes(200000, 9), 0, true}}, 1 << 20);
    addFile("A.MF1", 1, 800000, 1, 0);
    addFile("NEXT.TXT", 0, 4, 1, 0);
    scratch.write("DIST\\DISK01\\NEXT.TXT", "next");
    CDialogAnswerer answerer({CDialogAnswerer::Press(IDCANCEL)});
    CCopyEngine engine(app, view);
    EXPECT_EQ(engine.CopyFiles(), IDD_PAGE_FAILED);
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].text(IDC_ERR_REFERENCE), "17.5 (CMultiFileException)");
    EXPECT_EQ(answerer.seen()[0].text(IDC_ERR_MESSAGE), "No es poden instal\xB7lar els arxius des de  'A.MF1':");
    EXPECT_FALSE(app.succeeded);
    EXPECT_EQ(ReadWholeFile(scratch / "target\\GOOD.TXT"), TestBytes(300000, 7));
    EXPECT_FALSE(CPath(scratch / "target\\BAD.TXT").exists());
    EXPECT_EQ(filesIn(scratch / "target\\"), 1);
    EXPECT_FALSE(CPath(scratch / "target\\NEXT.TXT").exists());
}

TEST_F(CopyEngine, ContinueAfterAnErrorGoesOnWithTheNextRecord)
{
    scratch.write("DIST\\DISK01\\LONG.TXT", "longer than said");
    scratch.write("DIST\\DISK01\\SHORT.TXT", "ab");
    scratch.write("DIST\\DISK01\\NEXT.TXT", "next");
    addFile("LONG.TXT", 0, 4, 1, 0);
    addFile("SHORT.TXT", 0, 4, 1, 0);
    addFile("ODD.DAT", 5, 4, 1, 0);  // made available, then left alone
    scratch.write("DIST\\DISK01\\ODD.DAT", "odd!");
    addFile("NEXT.TXT", 0, 4, 1, 0);
    CDialogAnswerer answerer({CDialogAnswerer::Press(IDOK), CDialogAnswerer::Press(IDOK)});
    CCopyEngine engine(app, view);
    EXPECT_EQ(engine.CopyFiles(), IDD_PAGE_REGISTERING);
    ASSERT_EQ(answerer.seen().size(), 2u);
    // A longer file would be a damaged one: refused like a shorter one.
    EXPECT_EQ(answerer.seen()[0].text(IDC_ERR_REFERENCE), "17.6 (CXFileException)");
    EXPECT_EQ(answerer.seen()[1].text(IDC_ERR_REFERENCE), "17.14 (CXFileException)");
    EXPECT_TRUE(app.succeeded);
    EXPECT_EQ(ReadWholeFile(scratch / "target\\NEXT.TXT"), "next");
    EXPECT_FALSE(CPath(scratch / "target\\LONG.TXT").exists());
    EXPECT_FALSE(CPath(scratch / "target\\ODD.DAT").exists());
    EXPECT_EQ(engine.done(), 4u);
}

TEST_F(CopyEngine, CancelInTheMiddleOfAMemberPlacesNothing)
{
    writeArchive("A.MF1", {{"FIRST.TXT", "first", 0}, {"BIG.DAT", TestBytes(400000, 9), 0, true},
                           {"LAST.TXT", "last", 0}}, 1 << 20);
    addFile("A.MF1", 1, 400009, 1, 0);
    view.cancelAfterTicks = 5;
    CDialogAnswerer answerer({});
    CCopyEngine engine(app, view);
    EXPECT_EQ(engine.CopyFiles(), IDD_PAGE_FAILED);
    EXPECT_TRUE(answerer.seen().empty());
    EXPECT_EQ(view.cancelQuestions, 1);
    EXPECT_EQ(view.successor, IDD_PAGE_FAILED);
    EXPECT_FALSE(app.succeeded);
    EXPECT_TRUE(CPath(scratch / "target\\FIRST.TXT").exists());
    EXPECT_FALSE(CPath(scratch / "target\\BIG.DAT").exists());
    EXPECT_FALSE(CPath(scratch / "target\\LAST.TXT").exists());
    EXPECT_EQ(filesIn(scratch / "target\\"), 1);
    EXPECT_EQ(record("Base", "BIG.DAT"), "");
}

TEST_F(CopyEngine, DeclinedCancelGoesOn)
{
    writeArchive("A.MF1", {{"BIG.DAT", TestBytes(100000, 9), 0}}, 1 << 20);
    addFile("A.MF1", 1, 100000, 1, 0);
    view.cancelAfterTicks = 3;
    view.confirm = false;
    CCopyEngine engine(app, view);
    EXPECT_EQ(engine.CopyFiles(), IDD_PAGE_REGISTERING);
    EXPECT_EQ(view.cancelQuestions, 1);
    EXPECT_TRUE(CPath(scratch / "target\\BIG.DAT").exists());
}

TEST_F(CopyEngine, AMissingDiskPromptsAndCancelStopsWithoutADialog)
{
    // Disk 2 is nowhere: its prompt is cancelled.
    addFile("ON2.TXT", 0, 3, 2, 0);
    CDialogAnswerer answerer({CDialogAnswerer::Press(IDCANCEL)});
    CCopyEngine engine(app, view);
    EXPECT_EQ(engine.CopyFiles(), IDD_PAGE_FAILED);
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].caption, "Inseriu el Disc");
    EXPECT_FALSE(app.succeeded);
}

TEST(CopyEngineNames, NamePartsAndTemporaryNames)
{
    EXPECT_EQ(CCopyEngine::NamePart("bin\\ORTAVEL.EXE"), "ORTAVEL.EXE");
    EXPECT_EQ(CCopyEngine::NamePart("a/b/c.txt"), "c.txt");
    EXPECT_EQ(CCopyEngine::NamePart("C:X.DLL"), "X.DLL");
    EXPECT_EQ(CCopyEngine::NamePart("..\\..\\WIN.INI"), "WIN.INI");
    EXPECT_EQ(CCopyEngine::NamePart(".."), "");
    EXPECT_EQ(CCopyEngine::NamePart("dir\\."), "");
    EXPECT_EQ(CCopyEngine::NamePart("dir\\"), "");

}

TEST_F(CopyEngine, ASharedLibraryLeavesTheSameNameInTheWindowsFolderAlone)
{
    CPath windowsCopy, systemCopy;
    windowsCopy.setSpecial(CPath::windowsFolder);
    systemCopy.setSpecial(CPath::systemFolder);
    std::string name = "ovtst" + std::to_string(GetCurrentProcessId() % 1000) + ".dll";
    windowsCopy.setFileName(name);
    systemCopy.setFileName(name);
    scratch.write("older.dll", "theirs");
    ASSERT_TRUE(CopyFileA((scratch / "older.dll").c_str(), windowsCopy.text().c_str(), FALSE));

    writeArchive("A.MF1", {{name, "new library", kDestSystem}}, 1 << 20);
    addFile("A.MF1", 1, 11, 1, 0);
    CCopyEngine engine(app, view);
    EXPECT_EQ(engine.CopyFiles(), IDD_PAGE_REGISTERING);

    // The new one went to the 32-bit programs' System folder and is counted
    // as shared where they keep their counts; the Windows folder's file of
    // the same name is another program's and stays as it was.
    EXPECT_NE(systemCopy.text().find("syswow64"), std::string::npos) << systemCopy.text();
    EXPECT_EQ(ReadWholeFile(systemCopy.text()), "new library");
    EXPECT_EQ(record("Base", name), "-3|1|0|0");
    EXPECT_EQ(ReadWholeFile(windowsCopy.text()), "theirs");
    CRegKey key;
    ASSERT_TRUE(key.open(HKEY_LOCAL_MACHINE,
                         "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", KEY_WOW64_32KEY));
    EXPECT_EQ(key.readDword(systemCopy.text()).value_or(0), 1u);
    key.deleteValue(systemCopy.text());
    systemCopy.remove();
    windowsCopy.remove();
}

// What an earlier installation left is settled: the user's own words stay
// (the shipped copy is not even read out), a file that moved to another
// folder leaves no copy in the old one, and a deletion an uninstallation
// left for the next start of Windows no longer hits the file placed anew.
TEST_F(CopyEngine, AnEarlierInstallationsFilesAreSettled)
{
    scratch.write("ovca40.log", "[Base]\r\nUSUARI.DIC=0|1|0|0\r\nMOVED.DLL=0|1|0|0\r\n");
    scratch.write("target\\USUARI.DIC", "les meves paraules");
    scratch.write("target\\MOVED.DLL", "old");
    scratch.write("target\\NOTES.TXT", "ours, going at the restart");
    ASSERT_TRUE(MoveAtRestart(scratch / "target\\NOTES.TXT", ""));
    app.userFiles.insert(UserFileKey("usuari.dic", 0));
    writeArchive("A.MF1", {{"USUARI.DIC", "", 0}, {"MOVED.DLL", "new", 1}, {"NOTES.TXT", "notes", 0}}, 1 << 20);
    addFile("A.MF1", 1, 8, 1, 0);
    CCopyEngine engine(app, view);
    EXPECT_EQ(engine.CopyFiles(), IDD_PAGE_REGISTERING);

    EXPECT_EQ(record("Base", "MOVED.DLL"), "1|1|0|0");
    EXPECT_EQ(record("Base", "USUARI.DIC"), "0|1|0|0");
    EXPECT_EQ(ReadWholeFile(scratch / "target\\USUARI.DIC"), "les meves paraules");
    EXPECT_EQ(ReadWholeFile(scratch / "target\\Dades\\MOVED.DLL"), "new");
    EXPECT_FALSE(CPath(scratch / "target\\MOVED.DLL").exists());
    EXPECT_EQ(filesIn(scratch / "target\\"), 2);
    bool stillPending = false;
    for (const CBootOperation& operation : PendingBootOperations())
        stillPending = stillPending || SamePath(operation.source, scratch / "target\\NOTES.TXT");
    EXPECT_FALSE(stillPending);
    EXPECT_EQ(ReadWholeFile(scratch / "target\\NOTES.TXT"), "notes");
}
