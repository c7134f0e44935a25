#include "archive/archive_crc.h"

#include <cstring>

namespace {

// One byte step is c' = M(c) ^ T[b] with the linear map
// M(c) = ((c >> 6) & 0xFFFFFF) ^ T[c & 0xFF], because T itself is linear.
// Sixteen steps are then M^16(c) ^ sum of M^(15-j)(T[b_j]): the register's
// four bytes and the sixteen input bytes each index a table of their own, and
// only four lookups per sixteen bytes wait on the previous register.
// Large buffers go four lanes at a time: four independent registers over
// four consecutive stretches of kLane bytes, joined at the end by moving each
// register on by M^kLane (the zeros the later stretches stand for).
const int kStride = 16;
const std::size_t kLane = 1024;

struct Tables {
    std::uint32_t t[256];
    std::uint32_t state[4][256];        // M^16 of a register byte in place i
    std::uint32_t input[kStride][256];  // M^(15-j) of T[b] for the byte in place j
    std::uint32_t lane[4][256];         // M^kLane of a register byte in place i

    Tables()
    {
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
            t[i] = c;
        }
        for (int place = 0; place < 4; ++place)
            for (std::uint32_t x = 0; x < 256; ++x)
                state[place][x] = power(x << (8 * place), kStride);
        for (int j = 0; j < kStride; ++j)
            for (std::uint32_t x = 0; x < 256; ++x)
                input[j][x] = power(t[x], kStride - 1 - j);
        // M^kLane of each of the register's 32 bits, and of a byte as the
        // sum of its bits' images: 32 walks of kLane steps, not 1024.
        std::uint32_t bit[32];
        for (int b = 0; b < 32; ++b)
            bit[b] = power(1u << b, static_cast<int>(kLane));
        for (int place = 0; place < 4; ++place)
            for (std::uint32_t x = 0; x < 256; ++x) {
                std::uint32_t image = 0;
                for (int b = 0; b < 8; ++b)
                    if (x >> b & 1)
                        image ^= bit[8 * place + b];
                lane[place][x] = image;
            }
    }

    std::uint32_t sixteenBytes(std::uint32_t c, std::uint64_t w, std::uint64_t v) const
    {
        return state[0][c & 0xFF] ^ state[1][(c >> 8) & 0xFF] ^ state[2][(c >> 16) & 0xFF] ^ state[3][c >> 24] ^
               input[0][w & 0xFF] ^ input[1][(w >> 8) & 0xFF] ^ input[2][(w >> 16) & 0xFF] ^
               input[3][(w >> 24) & 0xFF] ^ input[4][(w >> 32) & 0xFF] ^ input[5][(w >> 40) & 0xFF] ^
               input[6][(w >> 48) & 0xFF] ^ input[7][w >> 56] ^
               input[8][v & 0xFF] ^ input[9][(v >> 8) & 0xFF] ^ input[10][(v >> 16) & 0xFF] ^
               input[11][(v >> 24) & 0xFF] ^ input[12][(v >> 32) & 0xFF] ^ input[13][(v >> 40) & 0xFF] ^
               input[14][(v >> 48) & 0xFF] ^ input[15][v >> 56];
    }

    std::uint32_t skipLane(std::uint32_t c) const
    {
        return lane[0][c & 0xFF] ^ lane[1][(c >> 8) & 0xFF] ^ lane[2][(c >> 16) & 0xFF] ^ lane[3][c >> 24];
    }

    std::uint32_t step(std::uint32_t c) const { return ((c >> 6) & 0x00FFFFFFu) ^ t[c & 0xFF]; }

    std::uint32_t power(std::uint32_t c, int times) const
    {
        for (int k = 0; k < times; ++k)
            c = step(c);
        return c;
    }
};

// A function-local static is built exactly once even with several threads.
const Tables& tables()
{
    static const Tables instance;
    return instance;
}

} // namespace

const std::uint32_t* ArchiveCrc::table()
{
    return tables().t;
}

std::uint32_t ArchiveCrc::updateBytewise(std::uint32_t crc, const void* data, std::size_t size)
{
    const std::uint32_t* t = tables().t;
    auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i)
        crc = ((crc >> 6) & 0x00FFFFFFu) ^ t[(crc ^ p[i]) & 0xFF];
    return crc;
}

namespace {

// The eight bytes at p as a number whose lowest byte is p[0], on any host:
// one load (the compiler doesn't make one of a loop over the bytes, which
// halved the speed).
std::uint64_t load64(const unsigned char* p)
{
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    w = __builtin_bswap64(w);
#endif
    return w;
}

} // namespace

std::uint32_t ArchiveCrc::update(std::uint32_t crc, const void* data, std::size_t size)
{
    const Tables& tb = tables();
    auto* p = static_cast<const unsigned char*>(data);
    while (size >= 4 * kLane) {
        std::uint32_t a = crc, b = 0, c = 0, d = 0;
        for (std::size_t i = 0; i < kLane; i += kStride) {
            a = tb.sixteenBytes(a, load64(p + i), load64(p + i + 8));
            b = tb.sixteenBytes(b, load64(p + kLane + i), load64(p + kLane + i + 8));
            c = tb.sixteenBytes(c, load64(p + 2 * kLane + i), load64(p + 2 * kLane + i + 8));
            d = tb.sixteenBytes(d, load64(p + 3 * kLane + i), load64(p + 3 * kLane + i + 8));
        }
        crc = tb.skipLane(tb.skipLane(tb.skipLane(a) ^ b) ^ c) ^ d;
        p += 4 * kLane;
        size -= 4 * kLane;
    }
    while (size >= kStride) {
        crc = tb.sixteenBytes(crc, load64(p), load64(p + 8));
        p += kStride;
        size -= kStride;
    }
    return updateBytewise(crc, p, size);
}
