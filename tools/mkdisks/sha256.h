// SHA-256, for the download's hash in the package manifest: the package
// manager checks the file it fetched against it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

class CSha256 {
public:
    CSha256();
    void update(const void* data, std::size_t length);
    // The digest; the object is spent afterwards.
    std::array<std::uint8_t, 32> finish();

    // 64 upper-case hexadecimal digits, as the manifest writes them.
    static std::string hex(const std::array<std::uint8_t, 32>& digest);
    // The digest of a whole file, read in pieces; CFileException when it
    // can't be read.
    static std::array<std::uint8_t, 32> ofFile(const std::string& path);

private:
    void block(const std::uint8_t* p);

    std::uint32_t m_state[8];
    std::uint8_t m_buffer[64];
    std::size_t m_buffered = 0;
    std::uint64_t m_length = 0;   // bytes so far
};
