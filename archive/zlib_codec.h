// Method 4: one zlib stream (RFC 1950: header, deflate data, Adler-32).
#pragma once

#include "archive/codec.h"

#include <cstddef>
#include <memory>

struct z_stream_s;

class CZLibCodec : public CCodec {
public:
    CZLibCodec();
    ~CZLibCodec() override;

    // Raises the archive's error for a zlib result; 0 and 1 pass.
    static void check(int result);

protected:
    void encode() override;
    void decode(std::uint32_t storedSize, std::uint32_t unpackedSize) override;

private:
    class StreamGuard;
    // Sized for each run: encoding uses 4096 bytes each way; decoding up to
    // 64 KiB in and 256 KiB out, as much as the member needs. Fewer, larger
    // inflate calls copy less into zlib's window, and each output block is
    // checksummed while it is still in the cache.
    void allocate(std::size_t in, std::size_t out);

    std::unique_ptr<z_stream_s> m_stream;
    std::unique_ptr<unsigned char[]> m_in;
    std::unique_ptr<unsigned char[]> m_out;
    std::size_t m_inSize = 0;
    std::size_t m_outSize = 0;
};
