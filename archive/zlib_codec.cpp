#include "archive/zlib_codec.h"

#include "archive/span_file.h"
#include "errors/x_exception.h"
#include "platform/exception.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <zlib.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Adler-32 as zlib has it, a few times faster with SSE2 (every x86-64). Per
// block of n bytes after (a, b): a += sum of the bytes, b += n * a + sum of
// (n - i) * byte i; blocks of at most 5536 bytes keep every lane in 32 bits.
std::uint32_t adler32Of(std::uint32_t adler, const unsigned char* p, std::size_t n)
{
#if defined(__SSE2__)
    const std::uint32_t base = 65521;
    std::uint32_t a = adler & 0xFFFF, b = adler >> 16;
    const __m128i zero = _mm_setzero_si128();
    const __m128i weightsLow = _mm_setr_epi16(16, 15, 14, 13, 12, 11, 10, 9);
    const __m128i weightsHigh = _mm_setr_epi16(8, 7, 6, 5, 4, 3, 2, 1);
    auto total = [](__m128i x) {
        std::uint32_t lanes[4];
        _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes), x);
        return std::uint64_t(lanes[0]) + lanes[1] + lanes[2] + lanes[3];
    };
    while (n >= 16) {
        std::size_t vectors = std::min<std::size_t>(n / 16, 346);
        __m128i sum = zero, sums = zero, weighted = zero;
        for (std::size_t i = 0; i < vectors; ++i) {
            __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
            sums = _mm_add_epi32(sums, sum);   // a before each vector, 16 bytes apart
            sum = _mm_add_epi32(sum, _mm_sad_epu8(v, zero));
            weighted = _mm_add_epi32(weighted,
                                     _mm_madd_epi16(_mm_unpacklo_epi8(v, zero), weightsLow));
            weighted = _mm_add_epi32(weighted,
                                     _mm_madd_epi16(_mm_unpackhi_epi8(v, zero), weightsHigh));
        }
        std::uint64_t bytes = 16 * vectors;
        b = static_cast<std::uint32_t>((b + bytes * a + 16 * total(sums) + total(weighted)) % base);
        a = static_cast<std::uint32_t>((a + total(sum)) % base);
        p += bytes;
        n -= bytes;
    }
    for (std::size_t i = 0; i < n; ++i) {
        a = (a + p[i]) % base;
        b = (b + a) % base;
    }
    return a | b << 16;
#else
    return static_cast<std::uint32_t>(::adler32(adler, p, static_cast<uInt>(n)));
#endif
}

// The stream's Adler-32, summed here over what comes out (zlib's own sum is
// switched off) and compared at the end with the trailer: the four archive
// bytes before the stream's end, which may have begun in an earlier read.
class CAdlerCheck {
public:
    void add(const unsigned char* p, std::size_t n) { m_sum = adler32Of(m_sum, p, n); }

    // Before a new read replaces the n bytes of the last one.
    void keepTail(const unsigned char* buffer, std::size_t n)
    {
        for (std::size_t i = n > 4 ? n - 4 : 0; i < n; ++i) {
            std::memmove(m_earlier, m_earlier + 1, 3);
            m_earlier[3] = buffer[i];
        }
    }

    // At the stream's end, with the bytes of the current read used so far.
    bool matches(const unsigned char* buffer, std::size_t used) const
    {
        std::uint32_t trailer = 0;   // big-endian
        for (std::size_t back = 4; back > 0; --back)
            trailer = trailer << 8 |
                      (back <= used ? buffer[used - back] : m_earlier[4 - (back - used)]);
        return trailer == m_sum;
    }

private:
    std::uint32_t m_sum = 1;
    unsigned char m_earlier[4] = {};   // the last bytes of earlier reads, the latest last
};

} // namespace

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

void CZLibCodec::allocate(std::size_t in, std::size_t out)
{
    if (m_inSize != in) {
        m_in.reset(new unsigned char[in]);
        m_inSize = in;
    }
    if (m_outSize != out) {
        m_out.reset(new unsigned char[out]);
        m_outSize = out;
    }
}

void CZLibCodec::decode(std::uint32_t storedSize, std::uint32_t unpackedSize)
{
    allocate(std::max<std::size_t>(1, std::min<std::size_t>(storedSize, 65536)),
             std::max<std::size_t>(1, std::min<std::size_t>(unpackedSize, 262144)));
    z_stream& s = *m_stream;
    std::memset(&s, 0, sizeof s);
    s.opaque = this;
    check(inflateInit(&s));
    StreamGuard guard(s, true);
    check(inflateValidate(&s, 0));
    CAdlerCheck adler;

    std::uint32_t pulled = 0;     // archive bytes handed to the stream so far
    std::uint32_t produced = 0;   // decoded bytes so far
    std::size_t waiting = 0;      // decoded bytes in m_out not yet written
    std::size_t filled = 0;       // bytes of the last read in m_in
    s.next_in = m_in.get();
    s.avail_in = 0;

    // Never hands the stream more than the member's storedSize bytes.
    auto refill = [&] {
        if (s.avail_in != 0)
            return;
        adler.keepTail(m_in.get(), filled);
        filled = readBlock(m_in.get(), std::min<std::size_t>(storedSize - pulled, m_inSize));
        pulled += static_cast<std::uint32_t>(filled);
        s.next_in = m_in.get();
        s.avail_in = static_cast<uInt>(filled);
    };
    // A wrong sum is what zlib reports as an incorrect data check.
    auto checkTrailer = [&] {
        if (!adler.matches(m_in.get(), static_cast<std::size_t>(s.next_in - m_in.get())))
            check(Z_DATA_ERROR);
    };

    bool ended = false;
    while (produced < unpackedSize) {
        refill();
        if (waiting == m_outSize) {
            writeBlock(m_out.get(), waiting);
            waiting = 0;
        }
        // Never more than the header's size comes out.
        uInt room = static_cast<uInt>(std::min<std::size_t>(m_outSize - waiting, unpackedSize - produced));
        s.next_out = m_out.get() + waiting;
        s.avail_out = room;
        int result = inflate(&s, Z_NO_FLUSH);
        std::uint32_t made = room - s.avail_out;
        adler.add(m_out.get() + waiting, made);
        produced += made;
        waiting += made;
        if (result == Z_STREAM_END) {
            checkTrailer();
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
        if (result == Z_STREAM_END) {
            checkTrailer();
            ended = true;
        } else {
            check(result);
        }
    }
    if (ended && produced < unpackedSize)
        mismatch = true;

    if (waiting != 0)
        writeBlock(m_out.get(), waiting);
    check(guard.end());
}

void CZLibCodec::encode()
{
    allocate(4096, 4096);
    z_stream& s = *m_stream;
    std::memset(&s, 0, sizeof s);
    s.opaque = this;
    // As tight as zlib packs: a distribution is made once and read many
    // times. (A larger memory level made the sample's members larger.)
    check(deflateInit2(&s, Z_BEST_COMPRESSION, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY));
    StreamGuard guard(s, false);

    s.next_in = m_in.get();
    s.avail_in = 0;
    s.next_out = m_out.get();
    s.avail_out = static_cast<uInt>(m_outSize);
    bool inputEnded = false;
    int result = Z_OK;
    do {
        if (s.avail_in == 0 && !inputEnded) {
            std::size_t n = readBlock(m_in.get(), m_inSize);
            inputEnded = n == 0;
            s.next_in = m_in.get();
            s.avail_in = static_cast<uInt>(n);
        }
        if (s.avail_out == 0) {
            writeBlock(m_out.get(), m_outSize);
            s.next_out = m_out.get();
            s.avail_out = static_cast<uInt>(m_outSize);
        }
        result = deflate(&s, inputEnded ? Z_FINISH : Z_NO_FLUSH);
        check(result);
    } while (!inputEnded || result != Z_STREAM_END);

    std::size_t waiting = m_outSize - s.avail_out;
    if (waiting != 0)
        writeBlock(m_out.get(), waiting);
    check(guard.end());
}
