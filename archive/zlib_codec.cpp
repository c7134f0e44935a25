#include "archive/zlib_codec.h"

#include "archive/span_file.h"
#include "errors/x_exception.h"
#include "platform/exception.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <zlib.h>

// Ends the stream if an error leaves the run early; the normal end is mapped.
class CZLibCodec::StreamGuard {
public:
    StreamGuard(z_stream& s, bool inflating) : m_stream(s), m_inflating(inflating) {}
    ~StreamGuard()
    {
        if (m_active)
            m_inflating ? inflateEnd(&m_stream) : deflateEnd(&m_stream);
    }
    int end()
    {
        m_active = false;
        return m_inflating ? inflateEnd(&m_stream) : deflateEnd(&m_stream);
    }
    StreamGuard(const StreamGuard&) = delete;
    StreamGuard& operator=(const StreamGuard&) = delete;

private:
    z_stream& m_stream;
    bool m_inflating;
    bool m_active = true;
};

CZLibCodec::CZLibCodec() : m_stream(new z_stream_s()) {}

CZLibCodec::~CZLibCodec() = default;

void CZLibCodec::check(int result)
{
    switch (result) {
    case Z_OK:
    case Z_STREAM_END: return;
    case Z_ERRNO: throw CFileException(CFileException::causeFromErrno(errno));
    case Z_STREAM_ERROR: throw CZLibException(kZLibStreamError);
    case Z_DATA_ERROR: throw CZLibException(kZLibDataError);
    case Z_MEM_ERROR: throw CMemoryException();
    case Z_BUF_ERROR: throw CZLibException(kZLibBufferError);
    default: throw CZLibException(kZLibOtherError);
    }
}

void CZLibCodec::decode(std::uint32_t storedSize, std::uint32_t unpackedSize)
{
    z_stream& s = *m_stream;
    std::memset(&s, 0, sizeof s);
    s.opaque = this;
    check(inflateInit(&s));
    StreamGuard guard(s, true);

    std::uint32_t pulled = 0;     // archive bytes handed to the stream so far
    std::uint32_t produced = 0;   // decoded bytes so far
    std::size_t waiting = 0;      // decoded bytes in m_out not yet written
    s.next_in = m_in;
    s.avail_in = 0;

    // Never hands the stream more than the member's storedSize bytes.
    auto refill = [&] {
        if (s.avail_in != 0)
            return;
        std::size_t n = readBlock(m_in, std::min<std::size_t>(storedSize - pulled, m_inSize));
        pulled += static_cast<std::uint32_t>(n);
        s.next_in = m_in;
        s.avail_in = static_cast<uInt>(n);
    };

    bool ended = false;
    while (produced < unpackedSize) {
        refill();
        if (waiting == m_outSize) {
            writeBlock(m_out, waiting);
            waiting = 0;
        }
        // Never more than the header's size comes out.
        uInt room = static_cast<uInt>(std::min<std::size_t>(m_outSize - waiting, unpackedSize - produced));
        s.next_out = m_out + waiting;
        s.avail_out = room;
        int result = inflate(&s, Z_NO_FLUSH);
        std::uint32_t made = room - s.avail_out;
        produced += made;
        waiting += made;
        if (result == Z_STREAM_END) {
            ended = true;
            break;
        }
        check(result);
    }

    // All the contents the header promised are out; go on to the stream's end
    // within the stored data, so the Adler-32 trailer is checked and a stream
    // that holds more than unpackedSize bytes is noticed (without writing them).
    while (!ended && (s.avail_in != 0 || pulled < storedSize)) {
        refill();
        unsigned char spare;
        s.next_out = &spare;
        s.avail_out = 1;
        int result = inflate(&s, Z_NO_FLUSH);
        if (s.avail_out == 0) {
            mismatch = true;
            break;
        }
        if (result == Z_STREAM_END)
            ended = true;
        else
            check(result);
    }
    if (ended && produced < unpackedSize)
        mismatch = true;

    if (waiting != 0)
        writeBlock(m_out, waiting);
    check(guard.end());
}

void CZLibCodec::encode()
{
    z_stream& s = *m_stream;
    std::memset(&s, 0, sizeof s);
    s.opaque = this;
    check(deflateInit2(&s, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY));
    StreamGuard guard(s, false);

    s.next_in = m_in;
    s.avail_in = 0;
    s.next_out = m_out;
    s.avail_out = static_cast<uInt>(m_outSize);
    bool inputEnded = false;
    int result = Z_OK;
    do {
        if (s.avail_in == 0 && !inputEnded) {
            std::size_t n = readBlock(m_in, m_inSize);
            inputEnded = n == 0;
            s.next_in = m_in;
            s.avail_in = static_cast<uInt>(n);
        }
        if (s.avail_out == 0) {
            writeBlock(m_out, m_outSize);
            s.next_out = m_out;
            s.avail_out = static_cast<uInt>(m_outSize);
        }
        result = deflate(&s, inputEnded ? Z_FINISH : Z_NO_FLUSH);
        check(result);
    } while (!inputEnded || result != Z_STREAM_END);

    std::size_t waiting = m_outSize - s.avail_out;
    if (waiting != 0)
        writeBlock(m_out, waiting);
    check(guard.end());
}
