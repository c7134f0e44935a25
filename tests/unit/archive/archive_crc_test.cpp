#include "archive/archive_crc.h"

#include "archive_fixture.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

TEST(ArchiveCrc, KnownValues)
{
    EXPECT_EQ(ArchiveCrc::of("", 0), 0u);
    EXPECT_EQ(ArchiveCrc::of("abc", 3), 0x3E105F31u);
    // The table is the ordinary CRC-32 one.
    EXPECT_EQ(ArchiveCrc::table()[1], 0x77073096u);
    EXPECT_EQ(ArchiveCrc::table()[255], 0x2D02EF8Du);
}

TEST(ArchiveCrc, RegisterCarriesOverAcrossCalls)
{
    Bytes data = noiseContents(1000, 7);
    std::uint32_t whole = ArchiveCrc::of(data.data(), data.size());
    for (std::size_t split : {0, 1, 7, 8, 9, 500, 999, 1000}) {
        std::uint32_t c = ArchiveCrc::update(0, data.data(), split);
        c = ArchiveCrc::update(c, data.data() + split, data.size() - split);
        EXPECT_EQ(c, whole) << "split at " << split;
    }
}

// The several-bytes-per-step path must agree with the byte rule for every
// length and alignment, and from any starting register.
TEST(ArchiveCrc, FastPathMatchesByteRule)
{
    Bytes data = noiseContents(4096 + 64, 11);
    for (std::size_t offset = 0; offset < 9; ++offset)
        for (std::size_t len : {0, 1, 2, 7, 8, 15, 16, 17, 63, 64, 65, 1023, 4096}) {
            for (std::uint32_t start : {0u, 0xFFFFFFFFu, 0x12345678u}) {
                EXPECT_EQ(ArchiveCrc::update(start, data.data() + offset, len),
                          ArchiveCrc::updateBytewise(start, data.data() + offset, len))
                    << "offset " << offset << " length " << len << " start " << start;
            }
        }
}

TEST(ArchiveCrc, SharedTableIsBuiltOnceUnderConcurrentFirstUse)
{
    Bytes data = sampleContents(1 << 16, 3);
    std::uint32_t expected = ArchiveCrc::updateBytewise(0, data.data(), data.size());
    std::vector<std::uint32_t> results(8);
    std::vector<const std::uint32_t*> tables(8);
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([&, i] {
            results[i] = ArchiveCrc::of(data.data(), data.size());
            tables[i] = ArchiveCrc::table();
        });
    for (auto& t : threads)
        t.join();
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(results[i], expected);
        EXPECT_EQ(tables[i], tables[0]);
    }
}
