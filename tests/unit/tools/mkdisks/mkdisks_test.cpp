// The disk builder: splitting, the layout reader, and a whole distribution
// built, read back bit for bit and built again to the same bytes.
#include "archive/archive_crc.h"
#include "tools/mkdisks/disks.h"
#include "tools/mkdisks/inspect.h"
#include "tools/mkdisks/layout.h"

#include "tests/unit/archive/archive_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const std::uint64_t H = EntryHeader::size;

// Checks the rules a reader depends on and returns the bytes per volume.
std::vector<std::uint64_t> checkPlan(const std::vector<std::uint32_t>& sizes, const std::vector<VolumePlan>& plan,
                                     std::uint64_t firstRoom, std::uint64_t fullRoom)
{
    std::vector<std::uint64_t> used;
    std::vector<std::uint64_t> seen(sizes.size(), 0);
    std::size_t nextHeader = 0;
    for (std::size_t v = 0; v < plan.size(); ++v) {
        std::uint64_t bytes = 0;
        for (const auto& p : plan[v]) {
            if (p.header) {
                EXPECT_EQ(p.member, nextHeader++);
                bytes += H;
            } else {
                EXPECT_EQ(p.from, seen[p.member]) << "data in order, nothing skipped";
                seen[p.member] = p.to;
                bytes += p.to - p.from;
            }
        }
        EXPECT_LE(bytes, v == 0 ? firstRoom : fullRoom) << "volume " << v;
        if (v + 1 < plan.size()) {
            // Every volume but the last ends inside a member's data, with a byte on each side.
            EXPECT_FALSE(plan[v].empty());
            if (plan[v].empty())
                continue;
            const auto& last = plan[v].back();
            EXPECT_FALSE(last.header) << "volume " << v << " ends with a header";
            EXPECT_GT(last.to, last.from);
            EXPECT_LT(last.to, sizes[last.member]) << "volume " << v << " ends between members";
        }
        used.push_back(bytes);
    }
    EXPECT_EQ(nextHeader, sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i)
        EXPECT_EQ(seen[i], sizes[i]) << "member " << i;
    return used;
}

} // namespace

TEST(SplitArchive, VolumesEndInsideMemberData)
{
    std::mt19937 rng(5);
    for (int round = 0; round < 300; ++round) {
        std::vector<std::uint32_t> sizes(1 + rng() % 12);
        for (auto& s : sizes) {
            int kind = rng() % 4;
            s = kind == 0 ? rng() % 2 : kind == 1 ? rng() % 400 : rng() % 20000;
        }
        std::uint64_t full = 1500 + rng() % 6000;
        std::uint64_t first = rng() % full;
        std::optional<std::vector<VolumePlan>> plan;
        try {
            plan = splitArchive(sizes, first, full);
            if (!plan)
                plan = splitArchive(sizes, full, full);
        } catch (const LayoutError&) {
            continue;   // too many tiny members for so small a volume
        }
        ASSERT_TRUE(plan.has_value());
        checkPlan(sizes, *plan, plan->front().empty() ? full : std::max(first, full), full);
    }
}

TEST(SplitArchive, FillsTheRoomAndRefusesATooSmallStart)
{
    std::vector<std::uint32_t> sizes = {10000, 10000};
    auto plan = splitArchive(sizes, 5000, 5000);
    ASSERT_TRUE(plan);
    auto used = checkPlan(sizes, *plan, 5000, 5000);
    EXPECT_EQ(used.front(), 5000u);
    EXPECT_FALSE(splitArchive(sizes, H, 5000));   // a header alone can't end a volume
    // Fits whole: one volume, nothing continued.
    EXPECT_EQ(splitArchive({1, 2, 0}, 3 * H + 3, 5000)->size(), 1u);
    // A member ending exactly where the room ends, with another to follow,
    // is cut one byte short so the next volume starts inside its data.
    plan = splitArchive({100, 50}, H + 100 + H + 10, 5000);
    ASSERT_TRUE(plan);
    checkPlan({100, 50}, *plan, H + 100 + H + 10, 5000);
}

TEST(LayoutReader, TimesAndCodePage)
{
    EXPECT_EQ(parseTime("1970-01-01 00:00:00"), 0u);
    EXPECT_EQ(parseTime("1999-01-01 00:00:00"), 915148800u);
    EXPECT_EQ(parseTime("2000-02-29"), 951782400u);
    EXPECT_EQ(parseTime("123"), 123u);
    EXPECT_FALSE(parseTime("1999-13-01"));
    EXPECT_FALSE(parseTime("yesterday"));
    EXPECT_EQ(toWindows1252("Instal\xC2\xB7laci\xC3\xB3"), std::string("Instal\xB7laci\xF3"));
    EXPECT_EQ(toWindows1252("\xE2\x82\xAC"), std::string("\x80"));
    EXPECT_FALSE(toWindows1252("\xE4\xB8\xAD"));   // no place in the code page
    EXPECT_FALSE(toWindows1252("\xC3"));           // cut in the middle of a character
}

namespace {

std::string layoutError(const std::string& text)
{
    CScratchFolder dir;
    writeWholeFile(dir / "layout.txt", bytesOf(text));
    writeWholeFile(dir / "a.txt", bytesOf("a"));
    writeWholeFile(dir / "install.exe", bytesOf("MZ"));
    writeWholeFile(dir / "licencia.txt", bytesOf("L"));
    try {
        Layout l = readLayout(dir / "layout.txt");
        BuildOptions o;
        o.quiet = true;
        buildDisks(l, dir / "out", o);
    } catch (const LayoutError& e) {
        std::string m = e.what();
        return m.substr(m.find("layout.txt") == std::string::npos ? 0 : m.find("layout.txt"));
    }
    return "none";
}

const std::string kHead = "[distribution]\ninstaller = install.exe\nlicence = licencia.txt\n[group G]\n";

} // namespace

TEST(LayoutReader, MistakesAreReportedWithTheirLine)
{
    EXPECT_EQ(layoutError(kHead + "[archive A.MFA]\ngroup = G\nmember = a.txt -> 0\n"), "none");
    EXPECT_EQ(layoutError(kHead + "colour = blue\n"), "layout.txt:5: unknown key 'colour' in [group G]");
    EXPECT_EQ(layoutError(kHead + "[archive A.MFA]\ngroup = G\nmember = a.txt\n"),
              "layout.txt:7: a member reads 'member = SOURCE -> DESTINATION [options]'");
    EXPECT_EQ(layoutError(kHead + "[archive A.MFA]\ngroup = G\nmember = a.txt -> 7\n"),
              "layout.txt:7: destination 7 is not described");
    EXPECT_EQ(layoutError(kHead + "[archive A.MFA]\ngroup = H\nmember = a.txt -> 0\n"),
              "layout.txt:5: 'A.MFA' needs 'group =' naming one of the [group] sections");
    EXPECT_EQ(layoutError(kHead + "title = a|b\n"), "layout.txt:5: 'a|b' holds '|', which separates the profile's fields");
    EXPECT_EQ(layoutError(kHead + "[file a.txt]\ngroup = G\n[file A.TXT]\ngroup = G\n"),
              "layout.txt:7: a second file named 'A.TXT' on the disks");
    EXPECT_EQ(layoutError(kHead + "[archive A.MF9]\ngroup = G\nmember = a.txt -> 0\n[wibble]\n"),
              "layout.txt:8: unknown section [wibble]; see tools/mkdisks/README.md");
    // Every installed name can be a key of the install log, or it is refused.
    auto member = [](const std::string& options) {
        return layoutError(kHead + "[archive A.MFA]\ngroup = G\nmember = a.txt -> 0 " + options + "\n");
    };
    EXPECT_EQ(member("as a=b.txt"), "layout.txt:7: the installed name 'a=b.txt' holds '=', which ends a key of the install log");
    EXPECT_EQ(member("as [a].txt"),
              "layout.txt:7: the installed name '[a].txt' starts with '[', which the install log reads as a section or a comment");
    EXPECT_EQ(member("as ;a.txt"),
              "layout.txt:7: the installed name ';a.txt' starts with ';', which the install log reads as a section or a comment");
    EXPECT_EQ(member("as a.txt."), "layout.txt:7: the installed name 'a.txt.' is no file name Windows keeps as it is");
    EXPECT_EQ(member("as NUL.txt"), "layout.txt:7: the installed name 'NUL.txt' is the name of a device");
    EXPECT_EQ(member("as sub/ok.txt"), "none");
    EXPECT_EQ(layoutError(kHead + "[archive A.MFA]\ngroup = G\nmember = a.txt -> 0\nmember = a.txt -> system as A.TXT\n"),
              "layout.txt:8: group G installs a second file named 'A.TXT' (line 7)");
    EXPECT_EQ(layoutError(kHead + "[archive A.MFA]\ngroup = G\nmember = a.txt -> none\nmember = a.txt -> 0\n"), "none");

    // The download's section: each key checked where it stands, what is
    // missing where the section begins.
    const std::string product = "[distribution]\nversion = 1.0\npublisher = Bramo\n";
    const std::string download = "[download]\nfile = P-1.0.exe\nurl = https://b.example/P-1.0.exe\n"
                                 "package = Bramo.P\nname = P 1.0\nlicense = Lliure\ndescription = Prova\n";
    EXPECT_EQ(layoutError(kHead + product + "[download]\nfile = P-1.0.zip\n"),
              "layout.txt:9: 'P-1.0.zip' is no plain Windows file name ending in .exe");
    EXPECT_EQ(layoutError(kHead + product + "[download]\npackage = Bramo\n"),
              "layout.txt:9: 'Bramo' is no package identifier: write Publisher.Name (letters, digits, '-')");
    EXPECT_EQ(layoutError(kHead + product + "[download]\nurl = b.example/P.exe\n"),
              "layout.txt:9: 'b.example/P.exe' is no web address: write https://...");
    EXPECT_EQ(layoutError(kHead + product + download + "architecture = arm64\n"),
              "layout.txt:15: 'arm64' is no architecture: write x64 or x86");
    EXPECT_EQ(layoutError(kHead + product + "[download]\nfile = P.exe\n"), "layout.txt:8: [download] needs 'url ='");
    EXPECT_EQ(layoutError(kHead + download), "layout.txt:5: [download] needs 'version =' and 'publisher =' in [distribution]");
    EXPECT_EQ(layoutError(kHead + product + download + download), "layout.txt:15: [download] is described twice (line 8)");
    // A part of the download is named in 15 characters.
    EXPECT_EQ(layoutError(kHead + product + download + "[file a-longer-name.txt]\ngroup = G\nsource = a.txt\n"),
              "layout.txt:15: 'a-longer-name.txt' is longer than the 15 characters of a name in the download");
}

namespace {

// A product of four groups over several disks: compressible and
// incompressible files, an empty one, shared and Windows-folder files.
struct Product {
    CScratchFolder dir;
    std::map<std::string, Bytes> files;

    Product()
    {
        auto add = [&](const std::string& name, Bytes data) {
            fs::create_directories(fs::path(dir / ("src/" + name)).parent_path());
            writeWholeFile(dir / ("src/" + name), data);
            files[name] = std::move(data);
        };
        add("bin/ovca40.dll", noiseContents(700000, 1));
        add("bin/ovca40.exe", sampleContents(900000, 2));
        add("bin/ovca40.hlp", noiseContents(1500000, 3));
        add("dic/general.dic", sampleContents(2500000, 4));
        add("dic/usuari.dic", {});
        add("sys/ctl3d32.dll", noiseContents(30000, 5));
        add("wp/ovwp6.dll", noiseContents(1600000, 6));
        add("llegiu.txt", bytesOf("Llegiu-me\r\n"));
        add("install.exe", bytesOf("MZ fake installer"));
        add("licencia.txt", bytesOf("Llic\xE8ncia d'\xFAs\r\n"));
        writeWholeFile(dir / "layout.txt", bytesOf(R"(# A realistic product over several disks.
[distribution]
sources = src
installer = install.exe
licence = licencia.txt
time = 1999-05-01 12:00:00

[license]
name = Usuari de prova
company = Bramo

[disk 1]
label = Ortavel 4.0 Catal)" "\xC3\xA0" R"( - Disc 1
[disk 2]
label = Ortavel 4.0 Catal)" "\xC3\xA0" R"( - Disc 2

[destination 1]
folder = Diccionaris
parent = 0

[group Programa]
title = Corrector
description = El corrector i la seva ajuda
minimum = yes
typical = yes

[group WP6]
title = WordPerfect 6.x
description = Connexi)" "\xC3\xB3" R"( amb WordPerfect
typical = no
selectable = yes

[archive PROGRAMA.MFA]
group = Programa
member = bin/ovca40.exe -> app
member = bin/ovca40.dll -> app readonly
member = bin/ovca40.hlp -> app time=2001-02-03T04:05:06
member = sys/ctl3d32.dll -> system
member = llegiu.txt -> none

[archive DICCIONA.MFA]
group = Programa
member = dic/general.dic -> 1 as GENERAL.DIC
member = dic/usuari.dic -> 1 stored userdata

[file LLEGIU.TXT]
group = Programa
source = llegiu.txt
destination = app
attributes = readonly

[archive WP6.MFA]
group = WP6
compress = no
member = wp/ovwp6.dll -> app

[target OVCA40.EXE]
title = Ortavel 4.0 Catal)" "\xC3\xA0" R"(
icon-file = ovca40.exe
)"));
    }

    int build(const std::string& out)
    {
        BuildOptions o;
        o.quiet = true;
        return buildDisks(readLayout(dir / "layout.txt"), out, o);
    }
};

std::map<std::string, std::string> profileSection(const std::string& ini, const std::string& name)
{
    std::map<std::string, std::string> out;
    std::istringstream in(ini);
    std::string line, current;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] == '[')
            current = line.substr(1, line.size() - 2);
        else if (current == name && line.find('=') != std::string::npos)
            out[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
    }
    return out;
}

} // namespace

TEST(MkDisks, RealisticDistributionRoundTrip)
{
    Product product;
    const std::string out = product.dir / "out";
    int disks = product.build(out);
    ASSERT_GE(disks, 3);

    // Every disk within the capacity, counting whole 512-byte clusters.
    for (int d = 1; d <= disks; ++d) {
        std::uint64_t used = 0;
        char name[16];
        std::snprintf(name, sizeof name, "DISK%02d", d);
        for (auto& e : fs::directory_iterator(fs::path(out) / name))
            used += (fs::file_size(e.path()) + 511) / 512 * 512;
        EXPECT_LE(used, 1457664u) << name;
    }

    std::string ini(reinterpret_cast<const char*>(readWholeFile(out + "/DISK01/install.ini").data()),
                    readWholeFile(out + "/DISK01/install.ini").size());
    auto programa = profileSection(ini, "Programa");
    EXPECT_EQ(programa["PROGRAMA.MFA"].substr(0, programa["PROGRAMA.MFA"].find('|')),
              std::to_string(900000 + 700000 + 1500000 + 30000 + 11));
    EXPECT_EQ(programa["LLEGIU.TXT"], "11|0|1|" + programa["LLEGIU.TXT"].substr(7, 1) + "|0|");
    EXPECT_EQ(profileSection(ini, "destinations")["1"], "Diccionaris|0|");
    EXPECT_EQ(profileSection(ini, "groups")["WP6"], "WordPerfect 6.x|Connexi\xF3 amb WordPerfect|0|0|1");
    EXPECT_EQ(profileSection(ini, "targets")["OVCA40.EXE"], "0|0|0|Ortavel 4.0 Catal\xE0||ovca40.exe|");
    EXPECT_EQ(profileSection(ini, "diskettes")["1"], "Ortavel 4.0 Catal\xE0 - Disc 1|");
    EXPECT_EQ(profileSection(ini, "diskettes").size(), static_cast<std::size_t>(disks));
    EXPECT_EQ(profileSection(ini, "license")["company"], "Bramo");
    // Sealed with the checksum of everything after the seal's line.
    ASSERT_EQ(ini.compare(0, 13, "[check]\r\ncrc="), 0);
    char seal[16];
    std::snprintf(seal, sizeof seal, "%08X", ArchiveCrc::of(ini.data() + 23, ini.size() - 23));
    EXPECT_EQ(ini.substr(13, 8), seal);
    // The user's own words: a later installation keeps them.
    EXPECT_EQ(profileSection(ini, "userdata"), (std::map<std::string, std::string>{{"usuari.dic", "1"}}));

    // Each archive: disk field negative exactly when it runs on to the next disk;
    // every member extracted through the volume chain, bit for bit.
    std::map<std::string, std::string> sources = {
        {"ovca40.exe", "bin/ovca40.exe"}, {"ovca40.dll", "bin/ovca40.dll"}, {"ovca40.hlp", "bin/ovca40.hlp"},
        {"ctl3d32.dll", "sys/ctl3d32.dll"}, {"llegiu.txt", "llegiu.txt"}, {"GENERAL.DIC", "dic/general.dic"},
        {"usuari.dic", "dic/usuari.dic"}, {"ovwp6.dll", "wp/ovwp6.dll"}};
    int extracted = 0;
    int spanning = 0;
    for (const auto& group : {"Programa", "WP6"}) {
        for (const auto& [file, record] : profileSection(ini, group)) {
            std::vector<std::string> fields;
            std::stringstream ss(record);
            for (std::string f; std::getline(ss, f, '|');)
                fields.push_back(f);
            int disk = std::stoi(fields[3]);
            char folder[16];
            std::snprintf(folder, sizeof folder, "DISK%02d", disk < 0 ? -disk : disk);
            std::string first = out + "/" + folder + "/" + file;
            ASSERT_TRUE(fileExists(first)) << first;
            if (fields[1] == "0") {
                EXPECT_EQ(readWholeFile(first), product.files["llegiu.txt"]);
                continue;
            }
            CVolumeChain archive;
            archive.open(first);
            auto entry = archive.createEntry();
            int members = 0;
            while (archive.nextEntry(*entry)) {
                entry->outputPath = product.dir / ("x-" + entry->name);
                archive.extract(*entry);
                EXPECT_EQ(readWholeFile(entry->outputPath), product.files[sources[entry->name]]) << entry->name;
                ++members;
                ++extracted;
            }
            EXPECT_EQ(std::to_string(members), fields[2]) << file;
            EXPECT_EQ(disk < 0, archive.volume > 1) << file;
            spanning += archive.volume > 1;
            std::ostringstream report;
            EXPECT_EQ(testArchive(first, report), 0) << report.str();
        }
    }
    EXPECT_EQ(extracted, 8);
    EXPECT_GE(spanning, 2);
    CFile::Status st;
    ASSERT_TRUE(CFile::getStatus(product.dir / "x-ovca40.hlp", st));
    EXPECT_EQ(st.modified, *parseTime("2001-02-03 04:05:06"));
    ASSERT_TRUE(CFile::getStatus(product.dir / "x-ovca40.dll", st));
    EXPECT_EQ(st.modified, *parseTime("1999-05-01 12:00:00"));
    EXPECT_TRUE(st.attributes & CFile::attrReadOnly);

    // Same input, same bytes.
    const std::string again = product.dir / "again";
    ASSERT_EQ(product.build(again), disks);
    int compared = 0;
    for (auto& e : fs::recursive_directory_iterator(out)) {
        if (!e.is_regular_file())
            continue;
        fs::path twin = fs::path(again) / fs::relative(e.path(), out);
        ASSERT_TRUE(fs::exists(twin)) << twin;
        EXPECT_EQ(readWholeFile(e.path().string()), readWholeFile(twin.string())) << twin;
        ++compared;
    }
    EXPECT_GE(compared, 8);
}

TEST(MkDisks, ListAndTestReportADamagedArchive)
{
    Product product;
    const std::string out = product.dir / "out";
    product.build(out);
    const std::string first = out + "/DISK01/PROGRAMA.MFA";
    std::ostringstream listing;
    EXPECT_EQ(listArchive(first, listing), 0);
    EXPECT_NE(listing.str().find("ovca40.dll              stored"), std::string::npos) << listing.str();
    EXPECT_NE(listing.str().find("5 members in"), std::string::npos) << listing.str();

    Bytes v = readWholeFile(first);
    v[8 + 346 + 1000] ^= 0x55;   // inside the first member's zlib data
    writeWholeFile(first, v);
    std::ostringstream report;
    EXPECT_EQ(testArchive(first, report), 1);
    EXPECT_NE(report.str().find("error at ovca40.exe: "), std::string::npos) << report.str();

    v[0] = 'X';
    writeWholeFile(first, v);
    std::ostringstream header;
    EXPECT_EQ(listArchive(first, header), 1);
    EXPECT_NE(header.str().find("no 'mflh' header"), std::string::npos) << header.str();
}
