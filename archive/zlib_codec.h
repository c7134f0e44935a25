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
    static constexpr std::size_t bufferSize = 4096;
    class StreamGuard;

    std::unique_ptr<z_stream_s> m_stream;
    unsigned char m_in[bufferSize];
    unsigned char m_out[bufferSize];
    const std::size_t m_inSize = bufferSize;
    const std::size_t m_outSize = bufferSize;
};
