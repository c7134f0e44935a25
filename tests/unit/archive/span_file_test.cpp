#include "archive/span_file.h"

#include "archive/archive_crc.h"
#include "archive_fixture.h"
#include "platform/exception.h"

#include <gtest/gtest.h>

namespace {

// Records the hooks; at the end of its first file it continues in a second.
class HookedFile : public CSpanFile {
public:
    std::string nextPath;
    int ends = 0;
    int blocks = 0;
    int retries = 0;
    int retriesAllowed = 0;
    bool endOfVolume() override
    {
        ++ends;
        if (nextPath.empty())
            return true;
        open(nextPath, modeRead);
        nextPath.clear();
        return false;
    }
    void blockDone() override { ++blocks; }

protected:
    bool retryDiskFull() override { return ++retries <= retriesAllowed; }
};

} // namespace

TEST(SpanFile, CountsReadsWithChecksumAndTicksEveryBlock)
{
    CScratchFolder dir;
    Bytes data = sampleContents(10000, 1);
    writeWholeFile(dir / "in", data);
    HookedFile f;
    f.blockSize = 4096;
    f.open(dir / "in", CFile::modeRead);
    Bytes buf(data.size() + 10);
    EXPECT_EQ(f.read(buf.data(), 100), 100u);
    EXPECT_EQ(f.read(buf.data() + 100, buf.size() - 100), data.size() - 100);
    buf.resize(data.size());
    EXPECT_EQ(buf, data);
    EXPECT_EQ(f.bytesRead, data.size());
    EXPECT_EQ(f.crc, ArchiveCrc::of(data.data(), data.size()));
    EXPECT_EQ(f.blocks, 2);   // at 4096 and 8192, not at the short end
    EXPECT_EQ(f.ends, 1);     // the short read met the end of the file

    // Raw reads leave the totals, the checksum and the hooks alone.
    f.seek(0, CFile::fromBegin);
    EXPECT_EQ(f.rawRead(buf.data(), 5000), 5000u);
    EXPECT_EQ(f.bytesRead, data.size());
    EXPECT_EQ(f.blocks, 2);
}

TEST(SpanFile, ReadContinuesInTheFileTheHookOpens)
{
    CScratchFolder dir;
    writeWholeFile(dir / "one", bytesOf("first-"));
    writeWholeFile(dir / "two", bytesOf("second"));
    HookedFile f;
    f.nextPath = dir / "two";
    f.open(dir / "one", CFile::modeRead);
    char buf[32];
    std::size_t n = f.read(buf, sizeof buf);
    EXPECT_EQ(std::string(buf, n), "first-second");
    EXPECT_EQ(f.ends, 2);
}

TEST(SpanFile, CapacityEndsTheRead)
{
    CScratchFolder dir;
    writeWholeFile(dir / "in", sampleContents(100, 2));
    HookedFile f;
    f.volumeCapacity = 30;
    f.open(dir / "in", CFile::modeRead);
    char buf[100];
    EXPECT_EQ(f.read(buf, sizeof buf), 30u);
    EXPECT_EQ(f.ends, 1);
    EXPECT_EQ(f.read(buf, sizeof buf), 0u);   // no room, no progress, no hang
}

TEST(SpanFile, WritesCountChecksumAndStopAtCapacity)
{
    CScratchFolder dir;
    HookedFile f;
    f.open(dir / "out", CFile::modeWrite);
    f.volumeCapacity = 10;
    f.write("0123456", 7);
    EXPECT_EQ(f.bytesWritten, 7u);
    EXPECT_EQ(f.ends, 0);
    try {
        f.write("789AB", 5);
        FAIL() << "wrote past the capacity";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.cause, CFileException::diskFull);
    }
    EXPECT_EQ(f.ends, 1);   // told once, when the capacity filled up
    EXPECT_EQ(f.bytesWritten, 10u);
    f.close();
    EXPECT_EQ(readWholeFile(dir / "out"), bytesOf("0123456789"));
    EXPECT_EQ(f.crc, ArchiveCrc::of("0123456789AB", 12));   // fed before the chunks
}

#ifndef _WIN32
// /dev/full answers every write with "no space left".
TEST(SpanFile, DiskFullAsksTheRetryHookThenFails)
{
    for (int allowed : {0, 2}) {
        HookedFile f;
        f.retriesAllowed = allowed;
        f.open("/dev/full", CFile::modeReadWrite);
        try {
            f.write("data", 4);
            FAIL() << "a write to a full disk succeeded";
        } catch (const CFileException& e) {
            EXPECT_EQ(e.cause, CFileException::diskFull);
        }
        EXPECT_EQ(f.retries, allowed + 1);
        EXPECT_EQ(f.bytesWritten, 0u);
    }
}
#endif
