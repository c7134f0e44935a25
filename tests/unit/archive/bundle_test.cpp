#include "archive/bundle.h"

#include "archive/multi_file.h"
#include "platform/exception.h"
#include "platform/file.h"
#include "archive_fixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

void put32(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

// The smallest program the headers describe: one section of 0x200 bytes.
Bytes program()
{
    Bytes b(0x400, 0);
    b[0] = 'M';
    b[1] = 'Z';
    put32(b, 0x3C, 0x40);
    b[0x40] = 'P';
    b[0x41] = 'E';
    b[0x46] = 1;       // sections
    b[0x54] = 240;     // optional header size
    b[0x58] = 0x0B;    // PE32+
    b[0x59] = 0x02;
    put32(b, 0x58 + 108, 16);
    std::size_t section = 0x58 + 240;
    put32(b, section + 16, 0x200);
    put32(b, section + 20, 0x200);
    for (std::size_t i = 0x200; i < 0x400; ++i)
        b[i] = static_cast<unsigned char>(i * 7);
    return b;
}

Bytes load(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void save(const std::string& path, const Bytes& b)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(b.data()), b.size());
}

CBundle::Kind kindOf(const std::string& path, const Bytes& b)
{
    save(path, b);
    CBundle bundle;
    return bundle.Read(path);
}

// What signing does: the header checksum and the certificate table's entry
// change, and the table goes after everything, eight-byte aligned.
Bytes signedCopy(Bytes b)
{
    while (b.size() % 8)
        b.push_back(0);
    put32(b, 0x58 + 64, 0x12345);
    put32(b, 0x58 + 112 + 32, static_cast<std::uint32_t>(b.size()));
    put32(b, 0x58 + 112 + 36, 24);
    b.insert(b.end(), 24, 0xC5);
    return b;
}

class BundleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        save(dir / "program.exe", program());
        CBundleWriter writer(dir / "setup.exe", dir / "program.exe");
        writer.Add("install.ini", "[groups]\r\n", 10, 1000, 0x20);
        std::string volume(300, 'v');
        writer.Add("PROGRAMA.MFA", volume.data(), volume.size(), 2000, 0x21);
        writer.Finish();
        download = load(dir / "setup.exe");
    }

    CScratchFolder dir;
    Bytes download;
};

} // namespace

TEST_F(BundleTest, ReadsItsPartsAndOnlyThem)
{
    CBundle bundle;
    ASSERT_EQ(bundle.Read(dir / "setup.exe"), CBundle::whole);
    ASSERT_TRUE(bundle.active());
    ASSERT_EQ(bundle.parts().size(), 2u);
    const CBundlePart* profile = bundle.Find("INSTALL.INI");
    ASSERT_NE(profile, nullptr);
    EXPECT_EQ(profile->offset, 0x400u);
    EXPECT_EQ(bundle.ReadPart(*profile), "[groups]\r\n");
    const CBundlePart* volume = bundle.Find("programa.mfa");
    ASSERT_NE(volume, nullptr);
    EXPECT_EQ(volume->modified, 2000u);
    EXPECT_EQ(volume->attributes, 0x21u);
    EXPECT_EQ(bundle.Find("none"), nullptr);

    // A part reads as a file of its own: it ends where the part does, and
    // positions count from its start.
    CFile file;
    file.open(CFilePart{dir / "setup.exe", volume->offset, volume->length});
    EXPECT_EQ(file.length(), 300u);
    char buffer[400];
    EXPECT_EQ(file.read(buffer, sizeof buffer), 300u);
    EXPECT_EQ(file.seek(-10, CFile::fromEnd), 290u);
    EXPECT_EQ(file.read(buffer, sizeof buffer), 10u);
    EXPECT_EQ(file.seek(5, CFile::fromBegin), 5u);
    EXPECT_EQ(file.position(), 5u);
    EXPECT_THROW(file.openPart(dir / "setup.exe", download.size() - 4, 5), CFileException);

    // The program and a signed program alone carry no distribution.
    EXPECT_EQ(kindOf(dir / "plain.exe", program()), CBundle::plainProgram);
    EXPECT_EQ(kindOf(dir / "plain.exe", signedCopy(program())), CBundle::plainProgram);
    EXPECT_EQ(kindOf(dir / "plain.exe", Bytes{'M', 'Z'}), CBundle::plainProgram);
}

TEST_F(BundleTest, EveryDamageIsFoundAndSigningIsNone)
{
    EXPECT_EQ(kindOf(dir / "copy.exe", signedCopy(download)), CBundle::whole);
    CBundle bundle;
    bundle.Read(dir / "copy.exe");
    EXPECT_EQ(bundle.ReadPart(*bundle.Find("install.ini")), "[groups]\r\n");

    // Cut short: by one byte, by half, and a signed one by one byte.
    EXPECT_EQ(kindOf(dir / "copy.exe", Bytes(download.begin(), download.end() - 1)), CBundle::damaged);
    EXPECT_EQ(kindOf(dir / "copy.exe", Bytes(download.begin(), download.begin() + download.size() / 2 + 0x200)),
              CBundle::damaged);
    Bytes signedOne = signedCopy(download);
    EXPECT_EQ(kindOf(dir / "copy.exe", Bytes(signedOne.begin(), signedOne.end() - 1)), CBundle::damaged);

    // One byte changed anywhere: program, profile, volume, table, trailer.
    const CBundlePart* volume = nullptr;
    bundle.Read(dir / "setup.exe");
    volume = bundle.Find("PROGRAMA.MFA");
    for (std::size_t at : {std::size_t(0x250), std::size_t(0x402), std::size_t(volume->offset + 150),
                           download.size() - 40, download.size() - 20, download.size() - 1}) {
        Bytes changed = download;
        changed[at] ^= 0x01;
        EXPECT_EQ(kindOf(dir / "copy.exe", changed), CBundle::damaged) << "byte " << at;
        EXPECT_EQ(kindOf(dir / "copy.exe", signedCopy(changed)), CBundle::damaged) << "signed, byte " << at;
    }
    // Something appended after the trailer.
    Bytes longer = download;
    longer.push_back(1);
    EXPECT_EQ(kindOf(dir / "copy.exe", longer), CBundle::damaged);
}

TEST_F(BundleTest, ANameTooLongForTheTableIsRefused)
{
    CBundleWriter writer(dir / "other.exe", dir / "program.exe");
    EXPECT_THROW(writer.Add("SIXTEEN-LETTERS.", "x", 1, 0, 0), CFileException);
    // A signed program goes in without its signature: the download is
    // signed as a whole.
    save(dir / "signed.exe", signedCopy(program()));
    CBundleWriter fromSigned(dir / "again.exe", dir / "signed.exe");
    fromSigned.Add("install.ini", "x", 1, 0, 0);
    fromSigned.Finish();
    Bytes again = load(dir / "again.exe");
    EXPECT_EQ(Bytes(again.begin() + 0x58 + 112 + 32, again.begin() + 0x58 + 112 + 40), Bytes(8, 0));
    CBundle bundle;
    EXPECT_EQ(bundle.Read(dir / "again.exe"), CBundle::whole);
}

TEST(BundleHalves, ALargeDownloadIsCheckedWholeInBothHalves)
{
    // Large enough to be checked in two halves at once: a byte changed in
    // either half, or just either side of the middle, is found.
    CScratchFolder dir;
    save(dir / "program.exe", program());
    CBundleWriter writer(dir / "setup.exe", dir / "program.exe");
    std::string volume(6 << 20, 'v');
    for (std::size_t i = 0; i < volume.size(); i += 4093)
        volume[i] = static_cast<char>(i >> 12);
    writer.Add("PROGRAMA.MFA", volume.data(), volume.size(), 2000, 0x21);
    writer.Finish();
    Bytes download = load(dir / "setup.exe");
    EXPECT_EQ(kindOf(dir / "copy.exe", download), CBundle::whole);
    EXPECT_EQ(kindOf(dir / "copy.exe", signedCopy(download)), CBundle::whole);
    std::size_t middle = (download.size() - 4) - (download.size() - 4) / 2;
    for (std::size_t at : {std::size_t(0x402), middle - 1, middle, download.size() - 100}) {
        Bytes changed = download;
        changed[at] ^= 0x40;
        EXPECT_EQ(kindOf(dir / "copy.exe", changed), CBundle::damaged) << "byte " << at;
    }
}
