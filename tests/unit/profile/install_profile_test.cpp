#include "profile/install_profile.h"

#include "app/install_app.h"
#include "archive/archive_crc.h"
#include "errors/x_exception.h"
#include "log/install_log.h"
#include "log/run_journal.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

namespace {

class InstallProfile : public ::testing::Test {
protected:
    void SetUp() override { app.CreateContainers(); }

    void read(const std::string& text)
    {
        scratch.write("install.ini", text);
        ReadProfile(app, file());
    }
    std::string file() const { return scratch / "install.ini"; }

    std::vector<std::string> fileOrder() const
    {
        std::vector<std::string> names;
        for (const auto& r : app.groupFiles)
            names.push_back(r->name);
        return names;
    }

    CScratchFolder scratch;
    CInstallApp app;
};

const char* kProfile =
    "[destinations]\n"
    "5=Dades|6|\n"
    "6=OVCA40|0\n"
    "0=OVCA40||\n"
    "[groups]\n"
    "Base=Programa|El corrector|1|1|0\n"
    "Word97=Word 97|Macros|0|1|1\n"
    "Extra=Extres|No|0|0|0\n"
    "[Base]\n"
    "ORTAVEL.EXE=300000|0|1|1|0|main\n"
    "DATA.MF1=900000|1|12|-2|0\n"
    "HELP.HLP=70000|0|1|2|6\n"
    "LAST3.DAT=10|0|1|3|5\n"
    "[Word97]\n"
    "OVCA.DOT=2000|0|1|1|0\n"
    "[Extra]\n"
    "EXTRA.TXT=10|0|0|1|0\n"
    "[targets]\n"
    "Ortavel.exe=0|0|1|Ortavel|/x|ORTAVEL.ICO|\n"
    "ORTAVEL.EXE=2|9|0|Ortavel 4.0||ORTAVEL.EXE|\n"
    "manual.hlp=1|0|0|Manual\n"
    "[diskettes]\n"
    "1=Disc 1|x\n"
    "3=Disc 3\n"
    "-4=Bad\n"
    "99999=Huge\n";

} // namespace

TEST_F(InstallProfile, ReadsEverySectionIntoItsContainer)
{
    read(kProfile);

    ASSERT_EQ(app.destinations.size(), 6u);  // three predefined, three read
    EXPECT_EQ(app.destinations.at(5)->parent, 6);
    EXPECT_EQ(app.destinations.at(6)->name, "OVCA40");
    EXPECT_EQ(app.destinations.at(6)->parent, 0);
    EXPECT_EQ(app.destinations.at(0)->parent, 0);  // an empty field reads 0
    EXPECT_TRUE(app.destinations.at(0)->path.empty());

    ASSERT_EQ(app.groups.size(), 3u);
    const CFileGroup& word = *app.groups.at("Word97");
    EXPECT_EQ(word.title, "Word 97");
    EXPECT_EQ(word.description, "Macros");
    EXPECT_FALSE(word.inMinimum);
    EXPECT_TRUE(word.inTypical);
    EXPECT_TRUE(word.selectable);
    EXPECT_FALSE(word.selected);

    // Disk order; the record of disk -2 is disk 2's last one.
    EXPECT_EQ(fileOrder(), (std::vector<std::string>{"ORTAVEL.EXE", "EXTRA.TXT", "OVCA.DOT",
                                                     "HELP.HLP", "DATA.MF1", "LAST3.DAT"}));
    const CGroupFile& data = **std::next(app.groupFiles.begin(), 4);
    EXPECT_EQ(data.disk, 2);
    EXPECT_TRUE(data.lastOnDisk);
    EXPECT_EQ(data.kind, 1);
    EXPECT_EQ(data.count, 12);
    EXPECT_EQ(data.size, 900000);
    EXPECT_EQ(data.group, app.groups.at("Base").get());
    EXPECT_EQ(app.groupFiles.front()->text, "main");

    // Keys differing in case are one target: the later key's record replaces
    // the earlier, and the platform hands both keys the first value.
    ASSERT_EQ(app.targets.size(), 2u);
    const CTarget& exe = *app.targets.at("ortavel.exe");
    EXPECT_EQ(exe.name, "ORTAVEL.EXE");
    EXPECT_EQ(exe.iconIndex, 0);
    EXPECT_TRUE(exe.minimised);
    EXPECT_EQ(exe.title, "Ortavel");
    EXPECT_EQ(exe.arguments, "/x");
    EXPECT_EQ(exe.iconFile, "ORTAVEL.ICO");
    EXPECT_EQ(app.targets.at("manual.hlp")->arguments, "");

    // Nonsensical disk numbers are ignored; a gap holds an empty record.
    ASSERT_EQ(app.disks.size(), 4u);
    EXPECT_EQ(app.disks[1].label, "Disc 1");
    EXPECT_EQ(app.disks[1].extra, "x");
    EXPECT_EQ(app.disks[2].label, "");
    EXPECT_EQ(app.disks[3].label, "Disc 3");
}

TEST_F(InstallProfile, DestinationsResolveWhateverTheirOrder)
{
    read(kProfile);
    app.destinations.at(0)->path.set("C:\\PROG\\OVCA40\\");
    ResolveDestinations(app);
    EXPECT_EQ(app.destinations.at(6)->path.text(), "C:\\PROG\\OVCA40\\OVCA40\\");
    EXPECT_EQ(app.destinations.at(5)->path.text(), "C:\\PROG\\OVCA40\\OVCA40\\Dades\\");
}

TEST_F(InstallProfile, MissingOrBadDestinationsRaiseProfileErrors)
{
    scratch.write("none.ini", "[groups]\nA=a|b|1|1|1\n");
    try {
        ReadProfile(app, scratch / "none.ini");
        FAIL() << "no error for a profile without destinations";
    } catch (const CInstallProfileException& e) {
        EXPECT_EQ(e.code, kProfileNoDestinations);
    }
    EXPECT_THROW(ReadProfile(app, scratch / "missing.ini"), CInstallProfileException);

    // A parent that is never defined, and a cycle: code 1, never a loop.
    for (const char* text : {"[destinations]\n0=A|-1|C:\\A\\\n7=X|42\n",
                             "[destinations]\n0=A|-1|C:\\A\\\n7=X|8\n8=Y|7\n"}) {
        CInstallApp other;
        other.CreateContainers();
        scratch.write("bad.ini", text);
        ReadProfile(other, scratch / "bad.ini");
        try {
            ResolveDestinations(other);
            FAIL() << text;
        } catch (const CInstallProfileException& e) {
            EXPECT_EQ(e.code, kProfileUnresolvedFolder);
        }
    }
}

// A sealed profile is read only when it is the one mkdisks made; a cut or
// changed one is refused before anything is read, an unsealed one (an older
// distribution) is read as it is.
TEST_F(InstallProfile, ADamagedDistributionIsRefused)
{
    const std::string body = "[destinations]\r\n0=OVCA40|-1|\r\n[groups]\r\nBase=a|b|1|1|0\r\n";
    char seal[32];
    std::snprintf(seal, sizeof seal, "[check]\r\ncrc=%08X\r\n", ArchiveCrc::of(body.data(), body.size()));
    const std::string whole = seal + body;
    EXPECT_TRUE(ProfileIsWhole(whole));
    EXPECT_TRUE(ProfileIsWhole(body));
    std::string changed = whole;
    changed[changed.size() - 5] ^= 1;
    std::string badDigit = whole;
    badDigit[14] = 'g';
    for (const std::string& damaged : {whole.substr(0, whole.size() / 2), whole.substr(0, whole.size() - 1), changed,
                                       badDigit, whole.substr(0, 18)})
        EXPECT_FALSE(ProfileIsWhole(damaged)) << damaged;

    scratch.write("cut.ini", whole.substr(0, whole.size() - 10));
    try {
        ReadProfile(app, scratch / "cut.ini");
        FAIL() << "a cut profile was read";
    } catch (const CInstallProfileException& e) {
        EXPECT_EQ(e.code, kProfileDamaged);
    }
    EXPECT_TRUE(app.groups.empty());
    scratch.write("whole.ini", whole);
    ReadProfile(app, scratch / "whole.ini");
    EXPECT_EQ(app.groups.size(), 1u);
}

TEST_F(InstallProfile, BadRecordsNeverCrash)
{
    std::string longName(300, 'N');
    read("[destinations]\n0\n1=only name\n2=|abc|\n3=x|-1|C:\\X\\\n3=dup|0|\n"
         "[groups]\nG=\nH=t\nG=again|x|1|1|1\n"
         "[G]\nA.TXT=\nB.TXT=notanumber|9|x|y|z\nC.TXT=1|0|1|1|0|" + longName + "\nA.TXT=5|0|1|1|0\n"
         "[targets]\nT.EXE=\n"
         "[diskettes]\nx=letters\n");
    EXPECT_EQ(app.destinations.at(1)->parent, -1);  // fewer fields
    EXPECT_EQ(app.destinations.at(2)->parent, 0);   // "abc" reads as 0
    EXPECT_EQ(app.destinations.at(3)->path.text(), "C:\\X\\");  // first occurrence wins
    EXPECT_EQ(app.groups.at("G")->title, "");
    // A key repeated in a section is one file.
    EXPECT_EQ(fileOrder(), (std::vector<std::string>{"A.TXT", "B.TXT", "C.TXT"}));
    const CGroupFile& b = **std::next(app.groupFiles.begin());
    EXPECT_EQ(b.size, 0);
    EXPECT_EQ(b.kind, 9);
    const CGroupFile& c = **std::next(app.groupFiles.begin(), 2);
    EXPECT_EQ(c.text.size(), 254u - std::string("1|0|1|1|0|").size());
    ASSERT_EQ(app.disks.size(), 1u);  // "x" is disk 0
    EXPECT_EQ(app.disks[0].label, "letters");
}

TEST_F(InstallProfile, SelectionAndSpaceEstimate)
{
    read("[destinations]\n0=OVCA40\n[groups]\nA=a||0|1|0\nB=b||0|0|1\n"
         "[A]\nONE=10|0|1|1|0\nTHREE=10|1|3|1|0\n[B]\nBIG=100000|0|1|1|0\n");
    EXPECT_EQ(EstimateSpace(app, 4096), 0);
    SelectGroups(app);
    EXPECT_TRUE(app.groups.at("A")->selected);
    EXPECT_FALSE(app.groups.at("B")->selected);
    EXPECT_EQ(EstimateSpace(app, 4096), 4096 + 6154);
    EXPECT_EQ(EstimateSpace(app, 0), 20);

    // Large payloads don't wrap.
    app.groups.at("B")->selected = true;
    app.groupFiles.back()->size = 2000000000;
    app.groupFiles.front()->size = 2000000000;
    EXPECT_EQ(EstimateSpace(app, 0), 4000000010LL);
}

TEST_F(InstallProfile, WriteBackReadsAsTheSameModel)
{
    read(kProfile);
    app.destinations.at(0)->path.set("C:\\OVCA40\\");
    ResolveDestinations(app);
    SelectGroups(app);
    RecordInstalledTarget(app, "C:\\OVCA40\\Ortavel.EXE");
    RecordInstalledTarget(app, "C:\\OVCA40\\NOTATARGET.DLL");
    std::string log = scratch / "ovca40.log";
    CRunJournal journal;
    ASSERT_EQ(journal.Begin(log, CRunJournal::install), CRunJournal::started);
    WriteBackModel(app, journal);
    journal.Placed(scratch / "ORTAVEL.EXE", true, "Base", "ORTAVEL.EXE",
                   FileRecordValue(0, true, false, false));
    journal.Placed(scratch / "HELP.HLP", false, "Base", "HELP.HLP",
                   FileRecordValue(6, false, true, true));
    journal.Commit();

    std::string text = ReadWholeFile(log);
    EXPECT_EQ(text.find("-2="), std::string::npos);
    EXPECT_NE(text.find("6=OVCA40|0|C:\\OVCA40\\OVCA40\\"), std::string::npos) << text;
    EXPECT_NE(text.find("HELP.HLP=6|0|1|1"), std::string::npos);
    EXPECT_NE(text.find("ORTAVEL.EXE=0|1|0"), std::string::npos);
    EXPECT_EQ(text.find("manual.hlp"), std::string::npos);  // never installed

    CInstallApp back;
    back.CreateContainers();
    back.uninstallMode = true;
    ReadProfile(back, log);
    ASSERT_EQ(back.destinations.size(), app.destinations.size());
    for (const auto& entry : app.destinations) {
        const CDestination& d = *back.destinations.at(entry.first);
        EXPECT_EQ(d.path.text(), entry.second->path.text()) << entry.first;
        EXPECT_EQ(d.parent, entry.second->parent) << entry.first;
    }
    ASSERT_EQ(back.groups.size(), 3u);
    for (const auto& entry : app.groups) {
        const CFileGroup& g = *back.groups.at(entry.first);
        EXPECT_EQ(g.title, entry.second->title);
        EXPECT_EQ(g.inTypical, entry.second->inTypical);
        EXPECT_EQ(g.selectable, entry.second->selectable);
    }
    ASSERT_EQ(back.targets.size(), 1u);
    EXPECT_EQ(back.targets.at("ortavel.exe")->installedPath.text(), "C:\\OVCA40\\Ortavel.EXE");
    EXPECT_EQ(back.targets.at("ortavel.exe")->title, "Ortavel");
    EXPECT_TRUE(back.targets.at("ortavel.exe")->minimised);
    EXPECT_TRUE(back.groupFiles.empty());  // per-file records are not files to copy
}
