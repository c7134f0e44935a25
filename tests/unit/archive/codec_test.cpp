#include "archive/codec.h"
#include "archive/zlib_codec.h"

#include "archive/archive_crc.h"
#include "archive/entry_header.h"
#include "archive/span_file.h"
#include "archive_fixture.h"
#include "errors/x_exception.h"
#include "platform/exception.h"

#include <gtest/gtest.h>

#include <zlib.h>

TEST(Codec, FactoryKnowsStoredAndZLibOnly)
{
    EXPECT_NE(dynamic_cast<CStoredCodec*>(createCodec(2, 0).get()), nullptr);
    EXPECT_NE(dynamic_cast<CZLibCodec*>(createCodec(4, 77).get()), nullptr);
    for (std::uint32_t m : {0u, 1u, 3u, 5u, 0xFFFFFFFFu})
        EXPECT_EQ(createCodec(m, 0), nullptr) << m;
}

TEST(Codec, ZLibResultMapping)
{
    EXPECT_NO_THROW(CZLibCodec::check(Z_OK));
    EXPECT_NO_THROW(CZLibCodec::check(Z_STREAM_END));
    auto zcode = [](int result) {
        try {
            CZLibCodec::check(result);
        } catch (const CZLibException& e) {
            return e.code;
        }
        return -100;
    };
    EXPECT_EQ(zcode(Z_STREAM_ERROR), kZLibStreamError);
    EXPECT_EQ(zcode(Z_DATA_ERROR), kZLibDataError);
    EXPECT_EQ(zcode(Z_BUF_ERROR), kZLibBufferError);
    EXPECT_EQ(zcode(Z_NEED_DICT), kZLibOtherError);
    EXPECT_EQ(zcode(Z_VERSION_ERROR), kZLibOtherError);
    EXPECT_THROW(CZLibCodec::check(Z_MEM_ERROR), CMemoryException);
    EXPECT_THROW(CZLibCodec::check(Z_ERRNO), CFileException);
}

namespace {

// Encodes a file with a codec and decodes the result again, through span files.
Bytes roundTrip(std::uint32_t method, const Bytes& data, Bytes* encodedOut)
{
    CScratchFolder dir;
    writeWholeFile(dir / "plain", data);
    CSpanFile in, packed;
    in.open(dir / "plain", CFile::modeRead);
    packed.open(dir / "packed", CFile::modeWrite);
    createCodec(method, 0)->encodeRun(in, packed);
    EXPECT_EQ(in.crc, ArchiveCrc::of(data.data(), data.size()));
    EXPECT_EQ(in.bytesRead, data.size());
    std::uint32_t stored = packed.bytesWritten;
    packed.close();
    Bytes encoded = readWholeFile(dir / "packed");
    EXPECT_EQ(encoded.size(), stored);
    if (encodedOut)
        *encodedOut = encoded;

    CSpanFile source, out;
    source.open(dir / "packed", CFile::modeRead);
    out.open(dir / "unpacked", CFile::modeWrite);
    auto codec = createCodec(method, 0);
    codec->decodeRun(source, out, stored, static_cast<std::uint32_t>(data.size()));
    EXPECT_FALSE(codec->lengthMismatch());
    EXPECT_EQ(out.crc, ArchiveCrc::of(data.data(), data.size()));
    out.close();
    return readWholeFile(dir / "unpacked");
}

} // namespace

TEST(Codec, StoredRoundTrip)
{
    for (std::size_t size : {0, 1, 16383, 16384, 16385, 70000}) {
        Bytes data = noiseContents(size, static_cast<unsigned>(size));
        Bytes encoded;
        EXPECT_EQ(roundTrip(EntryHeader::methodStored, data, &encoded), data) << size;
        EXPECT_EQ(encoded, data);
    }
}

TEST(Codec, ZLibRoundTripIsAnOrdinaryZLibStream)
{
    for (std::size_t size : {0, 1, 4095, 4096, 4097, 100000}) {
        Bytes data = sampleContents(size, static_cast<unsigned>(size));
        Bytes encoded;
        EXPECT_EQ(roundTrip(EntryHeader::methodZLib, data, &encoded), data) << size;
        // zlib's own one-shot decoder reads what the codec wrote.
        Bytes check(size + 1);
        uLongf checkSize = static_cast<uLongf>(check.size());
        ASSERT_EQ(uncompress(check.data(), &checkSize, encoded.data(), static_cast<uLong>(encoded.size())), Z_OK);
        check.resize(checkSize);
        EXPECT_EQ(check, data);
        // Same input, same bytes: the disk builder relies on it.
        Bytes again;
        roundTrip(EntryHeader::methodZLib, data, &again);
        EXPECT_EQ(again, encoded);
    }
}
