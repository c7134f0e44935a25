#include "archive/block_writer.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

// Blocks are written in the order they were handed over, all of them by the
// time finish returns, whole though the caller refills the buffer it gets
// back; a failure stops the writing and is reported once.
TEST(BlockWriter, WritesInOrderAndReportsAFailureOnce)
{
    CBlockWriter writer;
    std::string written;
    auto sink = [&](const unsigned char* data, std::size_t size) {
        if (size == 3)
            throw std::runtime_error("disk full");
        written.append(reinterpret_cast<const char*>(data), size);
    };
    CBlockWriter::Block block;
    std::string expected;
    for (int i = 0; i < 20; ++i) {
        block.assign(1000, static_cast<unsigned char>('a' + i));
        expected.append(1000, static_cast<char>('a' + i));
        writer.submit(sink, block);
        EXPECT_TRUE(block.empty());
    }
    writer.finish();
    EXPECT_EQ(written, expected);

    written.clear();
    writer.submit(sink, CBlockWriter::Block{'x'});
    writer.submit(sink, CBlockWriter::Block{'1', '2', '3'});
    writer.submit(sink, CBlockWriter::Block{'y'});
    EXPECT_THROW(writer.finish(), std::runtime_error);
    EXPECT_EQ(written.substr(0, 1), "x");
    EXPECT_EQ(written.find('y'), std::string::npos);  // dropped after the failure
    writer.finish();                                   // reported once

    writer.submit(sink, CBlockWriter::Block{'1', '2', '3'});
    writer.abandon();                                  // unwinding forgets it
    writer.submit(sink, CBlockWriter::Block{'z'});
    writer.finish();
    EXPECT_EQ(written.back(), 'z');
}
