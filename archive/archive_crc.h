// The archive's own 32-bit checksum: the CRC-32 table of the reflected
// polynomial 0xEDB88320, but a register that moves by 6 bits per byte, keeps
// 24 of them and is never inverted. "abc" gives 0x3E105F31.
#pragma once

#include <cstddef>
#include <cstdint>

class ArchiveCrc {
public:
    // Continues the register crc over size bytes.
    static std::uint32_t update(std::uint32_t crc, const void* data, std::size_t size);
    // The plain byte-at-a-time rule, kept as the reference the fast path is tested against.
    static std::uint32_t updateBytewise(std::uint32_t crc, const void* data, std::size_t size);
    static std::uint32_t of(const void* data, std::size_t size) { return update(0, data, size); }
    // The 256-entry table T; built on first use, shared, never changed.
    static const std::uint32_t* table();
};
