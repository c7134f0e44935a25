// zlib streams from another producer (Python's zlib module with settings our
// encoder never uses) are read like our own, whole and across volumes.
#include "archive/archive_crc.h"
#include "archive/multi_file.h"

#include "archive_fixture.h"

#include <gtest/gtest.h>

#include "foreign_streams.inc"

TEST(ForeignStreams, ReadWholeAndAcrossVolumes)
{
    const Bytes expected(foreignContents, foreignContents + sizeof foreignContents);
    for (const ForeignStream& fs : foreignStreams) {
        CScratchFolder dir;
        TestMember m = zlibMember("x", expected);
        m.stored.assign(fs.data, fs.data + fs.size);
        m.header.storedSize = fs.size;
        std::vector<std::size_t> cuts;
        for (std::size_t at = EntryHeader::size + 1000; at < EntryHeader::size + fs.size; at += 3001)
            cuts.push_back(at);
        writeArchive(dir / "F.MF1", {m, storedMember("after", bytesOf("A"))}, cuts);
        ChainReader archive;
        archive.open(dir / "F.MF1");
        auto entry = archive.createEntry();
        ASSERT_TRUE(archive.nextEntry(*entry)) << fs.label;
        entry->outputPath = dir / "x";
        archive.extract(*entry);
        EXPECT_EQ(readWholeFile(dir / "x"), expected) << fs.label;
        ASSERT_TRUE(archive.nextEntry(*entry)) << fs.label;
        EXPECT_EQ(entry->name, "after") << fs.label;
    }
}
