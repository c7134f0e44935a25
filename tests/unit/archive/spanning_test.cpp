// Members that run on from one volume into the next.
#include "archive/multi_file.h"

#include "archive_fixture.h"
#include "errors/x_exception.h"
#include "platform/exception.h"

#include <gtest/gtest.h>

namespace {

struct Member {
    std::string name;
    Bytes contents;
};

class SpanningTest : public ::testing::Test {
protected:
    CScratchFolder dir;

    // Writes the members cut at the given stream offsets, reads them all back
    // through the chain and checks every byte; returns the volume moves.
    int roundTrip(const std::string& firstName, const std::vector<TestMember>& members,
                  const std::vector<Member>& expected, const std::vector<std::size_t>& cuts)
    {
        writeArchive(dir / firstName, members, cuts);
        try {
            return readBack(firstName, expected);
        } catch (const CException& e) {
            ADD_FAILURE() << firstName << ": " << e.className() << " " << describe(e);
            return -1;
        }
    }

    static std::string describe(const CException& e)
    {
        if (auto* x = dynamic_cast<const CXException*>(&e))
            return std::to_string(x->code);
        if (auto* f = dynamic_cast<const CFileException*>(&e))
            return std::to_string(f->cause) + " " + f->fileName;
        return "";
    }

    int readBack(const std::string& firstName, const std::vector<Member>& expected)
    {
        ChainReader archive;
        archive.open(dir / firstName);
        auto entry = archive.createEntry();
        std::size_t i = 0;
        while (archive.nextEntry(*entry)) {
            EXPECT_LT(i, expected.size());
            if (i >= expected.size())
                break;
            EXPECT_EQ(entry->name, expected[i].name);
            entry->outputPath = dir / (firstName + "-out" + std::to_string(i));
            archive.extract(*entry);
            EXPECT_EQ(readWholeFile(entry->outputPath), expected[i].contents) << expected[i].name;
            ++i;
        }
        EXPECT_EQ(i, expected.size());
        return archive.volumeMoves;
    }
};

const std::size_t H = EntryHeader::size;

} // namespace

TEST_F(SpanningTest, StoredMemberOverTwoAndThreeVolumes)
{
    Bytes a = noiseContents(10000, 1), b = noiseContents(30000, 2);
    std::vector<TestMember> members = {storedMember("a", a), storedMember("b", b), storedMember("c", bytesOf("c"))};
    // a spans volumes 1-2; b spans 2-3-4.
    std::size_t bStart = H + a.size() + H;
    EXPECT_EQ(roundTrip("S.MF1", members, {{"a", a}, {"b", b}, {"c", bytesOf("c")}},
                        {H + 5000, bStart + 100, bStart + 20000}),
              3);
}

TEST_F(SpanningTest, ZLibMemberOverThreeVolumes)
{
    Bytes a = sampleContents(300000, 3);
    TestMember m = zlibMember("a", a);
    std::size_t s = m.stored.size();
    EXPECT_EQ(roundTrip("Z.MF1", {m, zlibMember("b", sampleContents(1000, 4))},
                        {{"a", a}, {"b", sampleContents(1000, 4)}}, {H + s / 3, H + 2 * s / 3}),
              2);
}

TEST_F(SpanningTest, PartEndingExactlyAtTheVolumeEnd)
{
    // The cut falls on a 4096-byte block edge of the reads, and at the last
    // byte but one of the member: the read that wants more gets nothing,
    // moves on and finds the rest after the next volume's header.
    Bytes a = noiseContents(20000, 5);
    std::vector<TestMember> members = {storedMember("a", a), storedMember("b", bytesOf("bb"))};
    EXPECT_EQ(roundTrip("E.MF1", members, {{"a", a}, {"b", bytesOf("bb")}}, {H + 8192}), 1);
    EXPECT_EQ(roundTrip("F.MF1", members, {{"a", a}, {"b", bytesOf("bb")}}, {H + 19999}), 1);
    TestMember z = zlibMember("z", a);
    EXPECT_EQ(roundTrip("G.MF1", {z, storedMember("b", bytesOf("bb"))}, {{"z", a}, {"b", bytesOf("bb")}},
                        {H + 4096, H + z.stored.size() - 1}),
              2);
}

TEST_F(SpanningTest, TrailerInTheNextVolume)
{
    // Only the Adler-32 trailer (and with it the end of the member) lies in
    // the next volume: decoding must still fetch it before the next header.
    Bytes a = sampleContents(50000, 6);
    TestMember z = zlibMember("z", a);
    for (std::size_t back : {1, 2, 4}) {
        std::string first = "T" + std::to_string(back) + ".MF1";
        EXPECT_EQ(roundTrip(first, {z, storedMember("b", bytesOf("B"))}, {{"z", a}, {"b", bytesOf("B")}},
                            {H + z.stored.size() - back}),
                  1)
            << back;
    }
}

TEST_F(SpanningTest, SkippedMemberAcrossVolumes)
{
    Bytes a = noiseContents(30000, 7);
    writeArchive(dir / "K.MF1", {zlibMember("a", a), storedMember("b", bytesOf("kept"))}, {H + 100, H + 20000});
    ChainReader archive;
    archive.open(dir / "K.MF1");
    auto entry = archive.createEntry();
    ASSERT_TRUE(archive.nextEntry(*entry));
    archive.skip(*entry);
    EXPECT_EQ(archive.volumeMoves, 2);
    ASSERT_TRUE(archive.nextEntry(*entry));
    EXPECT_EQ(entry->name, "b");
    entry->outputPath = dir / "b";
    archive.extract(*entry);
    EXPECT_EQ(readWholeFile(dir / "b"), bytesOf("kept"));
    EXPECT_FALSE(archive.nextEntry(*entry));
}

TEST_F(SpanningTest, TheListEndsAtAVolumeEnd)
{
    // A cut between two members, or inside a header: the next volume is never
    // reached, so the member list ends there.
    std::vector<TestMember> members = {storedMember("a", bytesOf("aaaa")), storedMember("b", bytesOf("bbbb"))};
    for (std::size_t cut : {H + 4, H + 4 + 100}) {
        writeArchive(dir / "L.MF1", members, {cut});
        ChainReader archive;
        archive.open(dir / "L.MF1");
        auto entry = archive.createEntry();
        int n = 0;
        while (archive.nextEntry(*entry)) {
            entry->outputPath = dir / ("l" + std::to_string(cut) + "-" + std::to_string(n++));
            archive.extract(*entry);
        }
        EXPECT_EQ(n, 1);
        EXPECT_EQ(archive.volumeMoves, 0);
    }
}

TEST_F(SpanningTest, ContinuedMemberWithoutANextVolume)
{
    Bytes a = noiseContents(10000, 8);
    auto paths = writeArchive(dir / "M.MF1", {storedMember("a", a)}, {H + 5000});
    std::remove(paths[1].c_str());
    ChainReader archive;
    archive.open(dir / "M.MF1");
    auto entry = archive.createEntry();
    ASSERT_TRUE(archive.nextEntry(*entry));
    entry->outputPath = dir / "a";
    try {
        archive.extract(*entry);
        FAIL() << "a missing volume went unnoticed";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.cause, CFileException::fileNotFound);
        EXPECT_EQ(e.fileName, paths[1]);
    }
}

#ifndef _WIN32
// ':' is no file name character on Windows; the rule itself is tested there too.
TEST_F(SpanningTest, NineIsFollowedByColon)
{
    Bytes a = noiseContents(3000, 9);
    auto paths = writeArchive(dir / "N.MF9", {storedMember("a", a)}, {H + 1000});
    EXPECT_EQ(paths[1], dir / "N.MF:");
    EXPECT_EQ(roundTrip("N.MF9", {storedMember("a", a)}, {{"a", a}}, {H + 1000}), 1);
}
#endif

TEST_F(SpanningTest, BlockTicksFollowTheArchiveBytes)
{
    Bytes a = noiseContents(5 * 4096, 10);
    writeArchive(dir / "P.MF1", {storedMember("a", a)}, {H + 3 * 4096});
    ChainReader archive;
    archive.open(dir / "P.MF1");
    auto entry = archive.createEntry();
    ASSERT_TRUE(archive.nextEntry(*entry));
    entry->outputPath = dir / "a";
    archive.extract(*entry);
    EXPECT_EQ(archive.blocks, 5);
    EXPECT_EQ(archive.bytesRead, a.size());
}
