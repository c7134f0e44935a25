// Reading volumes, entry headers and extracting single-volume members.
#include "archive/multi_file.h"

#include "archive/archive_crc.h"
#include "archive_fixture.h"
#include "errors/x_exception.h"
#include "platform/exception.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {

// The error an operation raised, as "class code", or "none".
std::string errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const CMultiFileException& e) {
        return "multi " + std::to_string(e.code);
    } catch (const CZLibException& e) {
        return "zlib " + std::to_string(e.code);
    } catch (const CFileException& e) {
        return "file " + std::to_string(e.cause);
    } catch (const CUserException&) {
        return "cancel";
    }
    return "none";
}

// What errorOf gives for each error class and code.
std::string multi(int code) { return "multi " + std::to_string(code); }
std::string zlib(int code) { return "zlib " + std::to_string(code); }
std::string file(int cause) { return "file " + std::to_string(cause); }

class ArchiveTest : public ::testing::Test {
protected:
    CScratchFolder dir;
    std::string volume = dir / "DATA.MFA";

    // Reads every member into dir/<name>, returning the names read.
    std::vector<std::string> extractAll(CMultiFile& archive)
    {
        std::vector<std::string> names;
        auto entry = archive.createEntry();
        while (archive.nextEntry(*entry)) {
            names.push_back(entry->name);
            entry->outputPath = dir / ("out-" + entry->name);
            archive.extract(*entry);
        }
        return names;
    }
};

} // namespace

TEST_F(ArchiveTest, VolumeHeaderChecks)
{
    CMultiFile archive;
    EXPECT_EQ(errorOf([&] { archive.open(dir / "missing.mfa"); }), file(CFileException::fileNotFound));
    writeWholeFile(volume, bytesOf("mflh123"));
    EXPECT_EQ(errorOf([&] { archive.open(volume); }), file(CFileException::endOfFile));
    writeWholeFile(volume, bytesOf(std::string("MFLH\0\0\0\0", 8)));
    EXPECT_EQ(errorOf([&] { archive.open(volume); }), multi(kMultiFileNoVolumeHeader));
    // The reserved word is not looked at; an 8-byte volume holds no members.
    writeWholeFile(volume, bytesOf("mflhJUNK"));
    archive.open(volume);
    EXPECT_EQ(archive.firstEntryOffset, 8u);
    auto entry = archive.createEntry();
    EXPECT_FALSE(archive.nextEntry(*entry));
}

TEST_F(ArchiveTest, EntryHeaderMagicAndTrailingBytes)
{
    writeArchive(volume, {storedMember("a.txt", bytesOf("alpha"))});
    Bytes v = readWholeFile(volume);
    for (std::size_t trailing : {1, 100, 345}) {
        Bytes withTail = v;
        withTail.insert(withTail.end(), trailing, 'm');
        writeWholeFile(volume, withTail);
        CMultiFile archive;
        archive.open(volume);
        EXPECT_EQ(extractAll(archive), std::vector<std::string>{"a.txt"}) << trailing;
        std::remove((dir / "out-a.txt").c_str());
    }
    Bytes bad = v;
    bad[8] = 'M';
    writeWholeFile(volume, bad);
    CMultiFile archive;
    archive.open(volume);
    auto entry = archive.createEntry();
    EXPECT_EQ(errorOf([&] { archive.nextEntry(*entry); }), multi(kMultiFileNoEntryHeader));
}

TEST_F(ArchiveTest, HeaderFieldsAreReadAsWritten)
{
    TestMember m = storedMember("..\\sub\\file.dll", bytesOf("x"));
    m.header.version = 7;           // neither is checked
    m.header.headerSize = 1000;
    m.header.destination = -3;
    m.header.attributes = 0x0121;
    m.header.methodParameter = 99;
    m.header.setText("nota");
    writeArchive(volume, {m, storedMember("next", bytesOf("y"))});
    CMultiFile archive;
    archive.open(volume);
    auto entry = archive.createEntry();
    ASSERT_TRUE(archive.nextEntry(*entry));
    EXPECT_EQ(entry->name, "..\\sub\\file.dll");
    EXPECT_EQ(entry->text, "nota");
    EXPECT_EQ(entry->header.destination, -3);
    EXPECT_EQ(entry->header.attributes, 0x0121);
    EXPECT_EQ(entry->header.methodParameter, 99u);
    EXPECT_EQ(entry->header.version, 7);
    EXPECT_EQ(entry->headerOffset, 8u + 346u + 1u);
    ASSERT_TRUE(archive.nextEntry(*entry));   // read as 346 bytes all the same
    EXPECT_EQ(entry->name, "next");
}

TEST_F(ArchiveTest, NameAndTextWithoutNulStayInsideTheirFields)
{
    TestMember m = storedMember("", bytesOf("z"));
    std::memset(m.header.name, 'N', sizeof m.header.name);
    std::memset(m.header.text, 'T', sizeof m.header.text);
    writeArchive(volume, {m});
    CMultiFile archive;
    archive.open(volume);
    auto entry = archive.createEntry();
    ASSERT_TRUE(archive.nextEntry(*entry));
    EXPECT_EQ(entry->name, std::string(260, 'N'));
    EXPECT_EQ(entry->text, std::string(40, 'T'));
}

TEST_F(ArchiveTest, RepositionReadsTheRecordedOffset)
{
    writeArchive(volume, {storedMember("one", sampleContents(5000, 1)), storedMember("two", bytesOf("2")),
                          zlibMember("three", sampleContents(3000, 3))});
    CMultiFile archive;
    archive.open(volume);
    auto entry = archive.createEntry();
    std::vector<std::string> names;
    while (archive.nextEntry(*entry, true)) {
        names.push_back(entry->name);
        char b;
        archive.read(&b, 1);   // leave the data half read: the offset still holds
    }
    EXPECT_EQ(names, (std::vector<std::string>{"one", "two", "three"}));
}

TEST_F(ArchiveTest, ExtractionGivesContentsTimeAndReadOnlyBit)
{
    Bytes a = sampleContents(20000, 5), b = noiseContents(9000, 6);
    TestMember ma = zlibMember("a.dll", a), mb = storedMember("b.hlp", b);
    ma.header.modified = 915148800u;
    ma.header.attributes = 0x21;   // read-only, archive
    mb.header.modified = 1200000000u;
    writeArchive(volume, {ma, mb});
    CMultiFile archive;
    archive.open(volume);
    EXPECT_EQ(extractAll(archive), (std::vector<std::string>{"a.dll", "b.hlp"}));
    EXPECT_EQ(readWholeFile(dir / "out-a.dll"), a);
    EXPECT_EQ(readWholeFile(dir / "out-b.hlp"), b);
    CFile::Status st;
    ASSERT_TRUE(CFile::getStatus(dir / "out-a.dll", st));
    EXPECT_EQ(st.modified, 915148800u);
    EXPECT_TRUE(st.attributes & CFile::attrReadOnly);
    ASSERT_TRUE(CFile::getStatus(dir / "out-b.hlp", st));
    EXPECT_EQ(st.modified, 1200000000u);
    EXPECT_FALSE(st.attributes & CFile::attrReadOnly);
}

TEST_F(ArchiveTest, WritesBehindTheNextMemberCompleteWholeAndDated)
{
    // Members of several blocks: each one's last writes may still be going
    // on while the next is decoded; completed, each is whole and dated, and
    // a wrong checksum is reported then.
    Bytes a = noiseContents(300000, 7), b = sampleContents(500000, 8), c = sampleContents(400000, 9);
    TestMember ma = storedMember("a.bin", a), mb = zlibMember("b.bin", b), mc = zlibMember("c.bin", c);
    ma.header.modified = 915148800u;
    mb.header.modified = 1200000000u;
    mc.header.crc ^= 1;
    writeArchive(volume, {ma, mb, mc});
    CMultiFile archive;
    archive.open(volume);
    std::vector<std::unique_ptr<CMultiFileEntry>> entries;
    for (auto entry = archive.createEntry(); archive.nextEntry(*entry); entry = archive.createEntry()) {
        entry->outputPath = dir / ("out-" + entry->name);
        entry->keepOpen = entry->writeBehind = true;
        archive.extract(*entry);
        entries.push_back(std::move(entry));
    }
    ASSERT_EQ(entries.size(), 3u);
    for (auto& entry : entries) {
        if (entry->name == "c.bin")
            EXPECT_EQ(errorOf([&] { entry->completeWrites(); }), multi(kMultiFileBadCrc));
        else
            entry->completeWrites();
        EXPECT_FALSE(entry->writesInFlight());
        entry->close();
    }
    EXPECT_EQ(readWholeFile(dir / "out-c.bin"), c);
    EXPECT_EQ(readWholeFile(dir / "out-a.bin"), a);
    EXPECT_EQ(readWholeFile(dir / "out-b.bin"), b);
    CFile::Status st;
    ASSERT_TRUE(CFile::getStatus(dir / "out-a.bin", st));
    EXPECT_EQ(st.modified, 915148800u);
    ASSERT_TRUE(CFile::getStatus(dir / "out-b.bin", st));
    EXPECT_EQ(st.modified, 1200000000u);

    // An entry dropped with its writes in flight waits for them first.
    CMultiFile again;
    again.open(volume);
    {
        auto entry = again.createEntry();
        ASSERT_TRUE(again.nextEntry(*entry));
        entry->outputPath = dir / "dropped.bin";
        entry->keepOpen = entry->writeBehind = true;
        again.extract(*entry);
    }
    EXPECT_EQ(readWholeFile(dir / "dropped.bin"), a);
}

TEST_F(ArchiveTest, OutputIsCreatedExclusively)
{
    writeArchive(volume, {storedMember("a", bytesOf("new contents"))});
    writeWholeFile(dir / "taken", bytesOf("keep me"));
    CMultiFile archive;
    archive.open(volume);
    auto entry = archive.createEntry();
    ASSERT_TRUE(archive.nextEntry(*entry));
    entry->outputPath = dir / "taken";
    EXPECT_EQ(errorOf([&] { archive.extract(*entry); }), file(CFileException::accessDenied));
    EXPECT_EQ(readWholeFile(dir / "taken"), bytesOf("keep me"));
}

TEST_F(ArchiveTest, ZeroSizes)
{
    TestMember emptyStored = storedMember("s0", {});
    TestMember emptyZlib = zlibMember("z0", {});
    TestMember bareZlib = zlibMember("z0bare", {});   // no stream at all: nothing is read
    bareZlib.stored.clear();
    bareZlib.header.storedSize = 0;
    writeArchive(volume, {emptyStored, emptyZlib, bareZlib, storedMember("last", bytesOf("L"))});
    CMultiFile archive;
    archive.open(volume);
    EXPECT_EQ(extractAll(archive).size(), 4u);
    EXPECT_TRUE(readWholeFile(dir / "out-s0").empty());
    EXPECT_TRUE(readWholeFile(dir / "out-z0").empty());
    EXPECT_TRUE(readWholeFile(dir / "out-z0bare").empty());
    EXPECT_EQ(readWholeFile(dir / "out-last"), bytesOf("L"));
}

TEST_F(ArchiveTest, ChecksumZeroIsNotCheckedOtherwiseAMismatchFailsAfterTheFileIsDone)
{
    TestMember unchecked = storedMember("free", bytesOf("anything"));
    unchecked.header.crc = 0;
    TestMember wrong = zlibMember("wrong", sampleContents(5000, 9));
    wrong.header.crc ^= 1;
    wrong.header.modified = 1000000000u;
    writeArchive(volume, {unchecked, wrong, storedMember("after", bytesOf("ok"))});
    CMultiFile archive;
    archive.open(volume);
    auto entry = archive.createEntry();
    ASSERT_TRUE(archive.nextEntry(*entry));
    entry->outputPath = dir / "free";
    archive.extract(*entry);
    ASSERT_TRUE(archive.nextEntry(*entry));
    entry->outputPath = dir / "wrong";
    EXPECT_EQ(errorOf([&] { archive.extract(*entry); }), multi(kMultiFileBadCrc));
    EXPECT_FALSE(entry->isOpen());
    EXPECT_EQ(readWholeFile(dir / "wrong"), sampleContents(5000, 9));
    CFile::Status st;
    ASSERT_TRUE(CFile::getStatus(dir / "wrong", st));
    EXPECT_EQ(st.modified, 1000000000u);
    // The reader stands at the next member.
    ASSERT_TRUE(archive.nextEntry(*entry));
    EXPECT_EQ(entry->name, "after");
}

TEST_F(ArchiveTest, UnknownMethodFailsBeforeAnythingIsReadOrCreated)
{
    TestMember m = storedMember("m3", bytesOf("data"));
    m.header.method = 3;
    writeArchive(volume, {m});
    CMultiFile archive;
    archive.open(volume);
    auto entry = archive.createEntry();
    ASSERT_TRUE(archive.nextEntry(*entry));
    std::uint32_t before = archive.bytesRead;
    entry->outputPath = dir / "m3.out";
    EXPECT_EQ(errorOf([&] { archive.extract(*entry); }), multi(kMultiFileUnknownMethod));
    EXPECT_EQ(archive.bytesRead, before);
    EXPECT_FALSE(fileExists(dir / "m3.out"));
}

TEST_F(ArchiveTest, DataCutShortWithoutContinued)
{
    // The stored size claims more than the volume holds and no volume follows.
    TestMember stored = storedMember("s", sampleContents(3000, 1));
    stored.header.storedSize += 10;
    writeArchive(volume, {stored});
    {
        ChainReader archive;
        archive.open(volume);
        EXPECT_EQ(errorOf([&] { extractAll(archive); }), file(CFileException::endOfFile));
    }
    TestMember z = zlibMember("z", sampleContents(30000, 2));
    z.stored.resize(z.stored.size() / 2);
    writeArchive(volume, {z});
    ChainReader archive;
    archive.open(volume);
    EXPECT_EQ(errorOf([&] { extractAll(archive); }), zlib(kZLibBufferError));
}

TEST_F(ArchiveTest, GarbageZLibData)
{
    TestMember z = zlibMember("z", sampleContents(30000, 2));
    Bytes noise = noiseContents(z.stored.size(), 4);
    z.stored = noise;
    writeArchive(volume, {z});
    {
        CMultiFile archive;
        archive.open(volume);
        EXPECT_EQ(errorOf([&] { extractAll(archive); }), zlib(kZLibDataError));
    }
    // A stream whose Adler-32 trailer is wrong is caught even without a crc.
    TestMember t = zlibMember("t", sampleContents(30000, 2));
    t.stored.back() ^= 0x40;
    t.header.crc = 0;
    writeArchive(volume, {t});
    CMultiFile archive;
    archive.open(volume);
    EXPECT_EQ(errorOf([&] { extractAll(archive); }), zlib(kZLibDataError));
}

// The stream's Adler-32 trailer is checked by the codec itself, also when
// the archive's bytes reach the stream in several reads and the trailer is
// split between two of them; large members come out in several blocks.
TEST_F(ArchiveTest, TrailerCheckedWhereverTheReadsSplitIt)
{
    for (std::size_t split = 0; split < 4; ++split) {
        // Incompressible contents stored by zlib: the stream's length follows
        // the contents', so its trailer can be put across the 64 KiB mark.
        Bytes data = noiseContents(65000, 9);
        TestMember z = zlibMember("z", data, 0);
        while (z.stored.size() != 65536 + split) {
            data.push_back(static_cast<unsigned char>(data.size()));
            z = zlibMember("z", data, 0);
            ASSERT_LT(z.stored.size(), 65536u + 4);
        }
        z.header.crc = 0;
        TestMember before = z, after = z;
        before.header.setName("before");
        before.stored[before.stored.size() - 4] ^= 1;   // in the first read unless split is 4
        after.header.setName("after");
        after.stored.back() ^= 0x80;                     // always in the second read
        writeArchive(volume, {z, before, after});
        CMultiFile archive;
        archive.open(volume);
        auto entry = archive.createEntry();
        std::vector<std::string> errors;
        while (archive.nextEntry(*entry)) {
            entry->outputPath = dir / (entry->name + std::to_string(split));
            errors.push_back(errorOf([&] { archive.extract(*entry); }));
        }
        EXPECT_EQ(errors, (std::vector<std::string>{"none", "zlib 3", "zlib 3"})) << split;
        EXPECT_EQ(readWholeFile(dir / ("z" + std::to_string(split))), data);
    }

    Bytes big = sampleContents(700000, 12);
    writeArchive(volume, {zlibMember("big", big), storedMember("end", bytesOf("E"))});
    CMultiFile archive;
    archive.open(volume);
    EXPECT_EQ(extractAll(archive), (std::vector<std::string>{"big", "end"}));
    EXPECT_EQ(readWholeFile(dir / "out-big"), big);
}

TEST_F(ArchiveTest, UnpackedSizeThatLies)
{
    Bytes data = sampleContents(10000, 8);
    // Larger than the stream: the real contents come out, then the damage is reported.
    TestMember larger = zlibMember("larger", data);
    larger.header.unpackedSize += 100;
    // Smaller: nothing beyond the stated size is written; the checksum (or,
    // without one, the length check) refuses it.
    TestMember smaller = zlibMember("smaller", data);
    smaller.header.unpackedSize = 4000;
    TestMember smallerNoCrc = smaller;
    smallerNoCrc.header.setName("smaller0");
    smallerNoCrc.header.crc = 0;
    writeArchive(volume, {larger, smaller, smallerNoCrc, storedMember("end", bytesOf("E"))});
    CMultiFile archive;
    archive.open(volume);
    auto entry = archive.createEntry();
    std::vector<std::string> errors;
    while (archive.nextEntry(*entry)) {
        entry->outputPath = dir / entry->name;
        errors.push_back(errorOf([&] { archive.extract(*entry); }));
    }
    EXPECT_EQ(errors, (std::vector<std::string>{multi(kMultiFileDamaged), multi(kMultiFileBadCrc),
                                                multi(kMultiFileDamaged), "none"}));
    EXPECT_EQ(readWholeFile(dir / "larger"), data);
    EXPECT_EQ(readWholeFile(dir / "smaller").size(), 4000u);
    EXPECT_EQ(readWholeFile(dir / "smaller0").size(), 4000u);
}

// The fault this guards against: decoding stopped as soon as unpackedSize
// bytes were out, leaving the stream's trailer (or padding) unread whenever it
// lay in a part of the archive not yet fetched, and the next header misread.
TEST_F(ArchiveTest, NextHeaderFollowsTheWholeStoredDataWhateverTheCodecNeeded)
{
    for (std::uint32_t extra = 1; extra <= 4; ++extra) {
        // Incompressible data makes stored blocks, so its size is easy to steer.
        std::size_t size = 3 * 4096 + extra - 16;
        TestMember m = zlibMember("m", noiseContents(size, extra));
        while ((m.stored.size() % 4096) != extra)
            m = zlibMember("m", noiseContents(++size, extra));
        writeArchive(volume, {m, storedMember("after", bytesOf("A"))});
        CMultiFile archive;
        archive.open(volume);
        auto entry = archive.createEntry();
        ASSERT_TRUE(archive.nextEntry(*entry));
        entry->outputPath = dir / ("m" + std::to_string(extra));
        archive.extract(*entry);
        EXPECT_EQ(archive.position(), 8 + EntryHeader::size + m.stored.size()) << "extra " << extra;
        ASSERT_TRUE(archive.nextEntry(*entry));
        EXPECT_EQ(entry->name, "after");
    }
    // Padding after the stream, inside storedSize, is passed over too.
    TestMember padded = zlibMember("p", sampleContents(7000, 1));
    padded.stored.insert(padded.stored.end(), 4097, 0);
    padded.header.storedSize = static_cast<std::uint32_t>(padded.stored.size());
    writeArchive(volume, {padded, storedMember("after", bytesOf("B"))});
    CMultiFile archive;
    archive.open(volume);
    auto entry = archive.createEntry();
    ASSERT_TRUE(archive.nextEntry(*entry));
    entry->outputPath = dir / "p";
    archive.extract(*entry);
    EXPECT_EQ(archive.position(), 8 + EntryHeader::size + padded.stored.size());
    EXPECT_EQ(readWholeFile(dir / "p"), sampleContents(7000, 1));
    ASSERT_TRUE(archive.nextEntry(*entry));
    EXPECT_EQ(entry->name, "after");
}

TEST_F(ArchiveTest, MembersNotExtractedArePassedOver)
{
    writeArchive(volume, {zlibMember("skipped1", sampleContents(50000, 1)), storedMember("skipped2", noiseContents(9000, 2)),
                          storedMember("kept", bytesOf("K"))});
    for (bool explicitSkip : {false, true}) {
        CMultiFile archive;
        archive.open(volume);
        auto entry = archive.createEntry();
        std::vector<std::string> names;
        while (archive.nextEntry(*entry)) {
            names.push_back(entry->name);
            if (explicitSkip)
                archive.skip(*entry);
        }
        EXPECT_EQ(names, (std::vector<std::string>{"skipped1", "skipped2", "kept"}));
    }
}

namespace {

// Cancels from the progress tick, as the copy engine does.
class CancellingReader : public CMultiFile {
public:
    int ticks = 0;
    void blockDone() override
    {
        if (++ticks == 2)
            abort();
    }
};

} // namespace

TEST_F(ArchiveTest, CancelTakesEffectOnceTheMemberIsComplete)
{
    Bytes big = sampleContents(200000, 4);
    TestMember m = zlibMember("big", big);
    m.header.modified = 1111111111u;
    writeArchive(volume, {m, storedMember("next", bytesOf("N"))});
    CancellingReader archive;
    archive.open(volume);
    auto entry = archive.createEntry();
    ASSERT_TRUE(archive.nextEntry(*entry));
    entry->outputPath = dir / "big";
    EXPECT_EQ(errorOf([&] { archive.extract(*entry); }), "cancel");
    EXPECT_EQ(readWholeFile(dir / "big"), big);
    CFile::Status st;
    ASSERT_TRUE(CFile::getStatus(dir / "big", st));
    EXPECT_EQ(st.modified, 1111111111u);
    archive.abort();   // no codec running: nothing happens
    ASSERT_TRUE(archive.nextEntry(*entry));
    EXPECT_EQ(entry->name, "next");
}

TEST(VolumeNames, LastCharacterGoesUpByOne)
{
    EXPECT_EQ(CMultiFile::nextVolumeName("PROG.MFA"), "PROG.MFB");
    EXPECT_EQ(CMultiFile::nextVolumeName("DISK.Z09"), "DISK.Z0:");
    EXPECT_EQ(CMultiFile::nextVolumeName("A:\\DISK1\\X.1"), "A:\\DISK1\\X.2");
    EXPECT_THROW(CMultiFile::nextVolumeName(""), CFileException);
    EXPECT_THROW(CMultiFile::nextVolumeName("X\xFF"), CFileException);
}
