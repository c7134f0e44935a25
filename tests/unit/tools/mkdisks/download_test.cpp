// The one-file download beside the disks, its manifest, and the hash the
// manifest carries.
#include "archive/bundle.h"
#include "tools/mkdisks/disks.h"
#include "tools/mkdisks/inspect.h"
#include "tools/mkdisks/layout.h"
#include "tools/mkdisks/manifest.h"
#include "tools/mkdisks/sha256.h"

#include "tests/unit/archive/archive_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string sha256Of(const std::string& text, std::size_t piece)
{
    CSha256 sha;
    for (std::size_t at = 0; at < text.size(); at += piece)
        sha.update(text.data() + at, std::min(piece, text.size() - at));
    return CSha256::hex(sha.finish());
}

} // namespace

TEST(Sha256, StandardVectors)
{
    EXPECT_EQ(sha256Of("", 1), "E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855");
    EXPECT_EQ(sha256Of("abc", 1), "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD");
    const std::string message = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    for (std::size_t piece : {1, 7, 56, 64})
        EXPECT_EQ(sha256Of(message, piece), "248D6A61D20638B8E5C026930C3E6039A33CE45964FF2167F6ECEDD419DB06C1") << piece;
    // Pieces that straddle blocks on the way.
    EXPECT_EQ(sha256Of(std::string(1000000, 'a'), 997),
              "CDC76E5C9914FB9281A1C7E284D73E67F1809A48A497200E046D39CCC7112CD0");
}

namespace {

// The smallest program the download writer takes: PE32+ headers and one
// section of 0x200 bytes at 0x200. fill tells two programs apart.
Bytes minimalProgram(unsigned char fill)
{
    Bytes p(0x400, 0);
    auto put16 = [&](std::size_t at, unsigned v) { p[at] = v & 0xFF; p[at + 1] = v >> 8 & 0xFF; };
    p[0] = 'M';
    p[1] = 'Z';
    put16(0x3C, 0x40);
    std::memcpy(&p[0x40], "PE\0\0", 4);
    put16(0x44, 0x8664);
    put16(0x46, 1);            // sections
    put16(0x54, 240);          // optional header size
    put16(0x58, 0x20B);
    put16(0x58 + 108, 16);     // data directories
    put16(0x148 + 16, 0x200);  // section: raw size
    put16(0x148 + 20, 0x200);  //          raw offset
    std::fill(p.begin() + 0x200, p.end(), fill);
    return p;
}

const std::string kLayout = R"([distribution]
sources = src
installer = install.exe
licence = licencia.txt
time = 1999-05-01 12:00:00
capacity = 8192
version = 1.0.2
publisher = Edicions )" "\xC3\x80" R"(lfa
url-info = https://alfa.example/prova
)";

const std::string kDownload = R"(
[download]
file = Prova-1.0.2.exe
url = https://alfa.example/Prova-1.0.2.exe
package = Alfa.Prova
name = Prova 'Un' Catal)" "\xC3\xA0" R"(
license = Proprietari
description = Un producte de prova
architecture = x86
)";

const std::string kItems = R"(
[group Programa]
title = Programa

[archive PROGRAMA.MFA]
group = Programa
member = bin/prova.exe -> app
member = bin/dades.dat -> app
# the uninstall entry runs the installed copy
member = install.exe -> app

[file LLEGIU.TXT]
group = Programa
source = llegiu.txt
destination = app
attributes = readonly archive
time = 2001-02-03 04:05:06

[archive DADES.MFA]
group = Programa
member = dic/general.dic -> app
)";

// Archives that span several small disks, and a signed installer given on
// the command line.
struct Product {
    CScratchFolder dir;
    std::map<std::string, Bytes> files;
    BuildOptions options;

    Product()
    {
        auto add = [&](const std::string& name, Bytes data) {
            fs::create_directories(fs::path(dir / ("src/" + name)).parent_path());
            writeWholeFile(dir / ("src/" + name), data);
            files[name] = std::move(data);
        };
        add("bin/prova.exe", noiseContents(6000, 1));
        add("bin/dades.dat", noiseContents(20000, 2));
        add("dic/general.dic", noiseContents(9000, 3));
        add("llegiu.txt", bytesOf("Llegiu-me\r\n"));
        add("install.exe", minimalProgram(1));
        add("licencia.txt", bytesOf("Llic\xE8ncia\r\n"));
        writeWholeFile(dir / "signed.exe", minimalProgram(2));
        options.installer = dir / "signed.exe";
        options.quiet = true;
    }

    int build(const std::string& layout, const std::string& out)
    {
        writeWholeFile(dir / "layout.txt", bytesOf(layout));
        return buildDisks(readLayout(dir / "layout.txt"), out, options);
    }
};

std::map<std::string, std::string> profileSection(const std::string& ini, const std::string& name)
{
    std::map<std::string, std::string> out;
    std::istringstream in(ini);
    std::string current;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] == '[')
            current = line.substr(1, line.size() - 2);
        else if (current == name && line.find('=') != std::string::npos)
            out[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
    }
    return out;
}

std::map<std::string, Bytes> disksOf(const std::string& out)
{
    std::map<std::string, Bytes> files;
    for (const auto& e : fs::recursive_directory_iterator(out))
        if (e.is_regular_file() && e.path().parent_path().filename().string().compare(0, 4, "DISK") == 0)
            files[fs::relative(e.path(), out).string()] = readWholeFile(e.path().string());
    return files;
}

std::string textOf(const std::string& path)
{
    Bytes b = readWholeFile(path);
    return std::string(b.begin(), b.end());
}

} // namespace

TEST(Download, BuiltBesideTheDisksAndDescribed)
{
    Product product;
    const std::string out = product.dir / "out";
    const int disks = product.build(kLayout + kDownload + kItems, out);
    ASSERT_GE(disks, 4);

    // The download: the signed program, then the parts in the profile's order.
    const std::string path = out + "/Prova-1.0.2.exe";
    CBundle download;
    ASSERT_EQ(download.Read(path), CBundle::whole);
    std::vector<std::string> names;
    for (const auto& part : download.parts())
        names.push_back(part.name);
    EXPECT_EQ(names, (std::vector<std::string>{"install.ini", "licencia.txt", "PROGRAMA.MFA", "LLEGIU.TXT", "DADES.MFA"}));
    Bytes head = readWholeFile(path);
    head.resize(0x400);
    EXPECT_EQ(head, minimalProgram(2));

    // Its profile: one disk, sealed as the disks' one is.
    const std::string ini = download.ReadPart(*download.Find("install.ini"));
    EXPECT_EQ(profileSection(ini, "diskettes"), (std::map<std::string, std::string>{{"1", "|"}}));
    auto programa = profileSection(ini, "Programa");
    EXPECT_EQ(programa.size(), 3u);
    for (const auto& [name, record] : programa) {
        std::vector<std::string> fields;
        std::stringstream in(record);
        for (std::string f; std::getline(in, f, '|');)
            fields.push_back(f);
        ASSERT_GE(fields.size(), 4u) << name;
        EXPECT_EQ(fields[3], "1") << name << ": the disk";
    }
    ASSERT_EQ(ini.compare(0, 13, "[check]\r\ncrc="), 0);

    const CBundlePart* readme = download.Find("LLEGIU.TXT");
    ASSERT_TRUE(readme);
    EXPECT_EQ(bytesOf(download.ReadPart(*readme)), product.files["llegiu.txt"]);
    EXPECT_EQ(readme->modified, *parseTime("2001-02-03 04:05:06"));
    EXPECT_EQ(readme->attributes, 0x21u);

    // Each archive one volume, nothing continued, every member whole; the
    // installed installer is the signed one.
    std::map<std::string, Bytes> expected = {{"prova.exe", product.files["bin/prova.exe"]},
                                             {"dades.dat", product.files["bin/dades.dat"]},
                                             {"install.exe", minimalProgram(2)},
                                             {"general.dic", product.files["dic/general.dic"]}};
    int members = 0;
    for (const std::string archive : {"PROGRAMA.MFA", "DADES.MFA"}) {
        const std::string volume = product.dir / ("part-" + archive + "/" + archive);
        fs::create_directories(fs::path(volume).parent_path());
        writeWholeFile(volume, bytesOf(download.ReadPart(*download.Find(archive))));
        CVolumeChain chain;
        chain.open(volume);
        auto entry = chain.createEntry();
        while (chain.nextEntry(*entry)) {
            EXPECT_EQ(entry->header.continued, 0) << entry->name;
            entry->outputPath = product.dir / ("x-" + entry->name);
            chain.extract(*entry);
            EXPECT_EQ(readWholeFile(entry->outputPath), expected[entry->name]) << entry->name;
            ++members;
        }
        EXPECT_EQ(chain.volume, 1) << archive;
    }
    EXPECT_EQ(members, 4);

    // The disks are the same with or without the download.
    const std::string plain = product.dir / "plain";
    EXPECT_EQ(product.build(kLayout + kItems, plain), disks);
    EXPECT_EQ(disksOf(plain), disksOf(out));
    EXPECT_FALSE(fileExists(plain + "/Prova-1.0.2.exe"));

    // The manifest: UTF-8 without a mark, the quotes doubled, the hash of the download.
    const std::string version = textOf(out + "/manifest/Alfa.Prova.yaml");
    const std::string locale = textOf(out + "/manifest/Alfa.Prova.locale.ca-ES.yaml");
    const std::string installer = textOf(out + "/manifest/Alfa.Prova.installer.yaml");
    EXPECT_EQ(version, "PackageIdentifier: 'Alfa.Prova'\nPackageVersion: '1.0.2'\nDefaultLocale: 'ca-ES'\n"
                       "ManifestType: version\nManifestVersion: 1.6.0\n");
    for (const char* line : {"PackageLocale: 'ca-ES'\n", "Publisher: 'Edicions \xC3\x80lfa'\n",
                             "PackageName: 'Prova ''Un'' Catal\xC3\xA0'\n", "License: 'Proprietari'\n",
                             "ShortDescription: 'Un producte de prova'\n", "PackageUrl: 'https://alfa.example/prova'\n",
                             "ManifestType: defaultLocale\n"})
        EXPECT_NE(locale.find(line), std::string::npos) << line;
    const std::string hash = CSha256::hex(CSha256::ofFile(path));
    for (const std::string& line :
         {std::string("InstallerType: exe\n"), std::string("ProductCode: 'Prova ''Un'' Catal\xC3\xA0'\n"),
          std::string("  DisplayVersion: '1.0.2'\n"), std::string("- Architecture: x86\n"),
          std::string("  InstallerUrl: 'https://alfa.example/Prova-1.0.2.exe'\n"),
          std::string("  InstallerSha256: " + hash + "\n"), std::string("ManifestVersion: 1.6.0\n")})
        EXPECT_NE(installer.find(line), std::string::npos) << line;

    // Signed afterwards: a certificate table after the trailer, named by the
    // program's directory entry. The download stays whole and its manifest
    // is written again with the new hash; a plain program is refused.
    Bytes signedDownload = readWholeFile(path);
    const std::size_t entry = 0x58 + 112 + 4 * 8;
    const std::uint32_t at = static_cast<std::uint32_t>(signedDownload.size());
    for (int i = 0; i < 4; ++i) {
        signedDownload[entry + i] = static_cast<unsigned char>(at >> 8 * i);
        signedDownload[entry + 4 + i] = static_cast<unsigned char>(16 >> 8 * i);
    }
    signedDownload.resize(at + 16, 0x5A);
    writeWholeFile(path, signedDownload);
    ASSERT_EQ(download.Read(path), CBundle::whole);
    writeWholeFile(product.dir / "layout.txt", bytesOf(kLayout + kDownload + kItems));
    writeManifest(readLayout(product.dir / "layout.txt"), path, product.dir / "again");
    const std::string again = textOf(product.dir / "again/Alfa.Prova.installer.yaml");
    EXPECT_EQ(again.find(hash), std::string::npos);
    EXPECT_NE(again.find("  InstallerSha256: " + CSha256::hex(CSha256::ofFile(path)) + "\n"), std::string::npos);
    EXPECT_THROW(writeManifest(readLayout(product.dir / "layout.txt"), product.dir / "signed.exe", product.dir / "x"),
                 LayoutError);
}
