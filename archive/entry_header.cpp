#include "archive/entry_header.h"

#include <cstring>

namespace {

std::uint16_t get16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t get32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void put16(unsigned char* p, std::uint16_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

void put32(unsigned char* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// Field offsets of the 346-byte header.
enum : std::size_t {
    offMagic = 0, offVersion = 4, offHeaderSize = 6, offModified = 8, offReserved1 = 12,
    offName = 16, offUnpacked = 276, offStored = 280, offCrc = 284, offReserved2 = 288,
    offMethod = 292, offParameter = 296, offDestination = 300, offAttributes = 302,
    offContinued = 304, offText = 306
};
static_assert(offText + EntryHeader::textSize == EntryHeader::size, "header layout");

} // namespace

constexpr char VolumeHeader::magic[5];

void VolumeHeader::write(unsigned char* out)
{
    std::memcpy(out, magic, 4);
    std::memset(out + 4, 0, 4);
}

void EntryHeader::parse(const unsigned char* in)
{
    std::memcpy(magic, in + offMagic, 4);
    version = get16(in + offVersion);
    headerSize = get16(in + offHeaderSize);
    modified = get32(in + offModified);
    reserved1 = get32(in + offReserved1);
    std::memcpy(name, in + offName, nameSize);
    unpackedSize = get32(in + offUnpacked);
    storedSize = get32(in + offStored);
    crc = get32(in + offCrc);
    reserved2 = get32(in + offReserved2);
    method = get32(in + offMethod);
    methodParameter = get32(in + offParameter);
    destination = static_cast<std::int16_t>(get16(in + offDestination));
    attributes = get16(in + offAttributes);
    continued = get16(in + offContinued);
    std::memcpy(text, in + offText, textSize);
}

void EntryHeader::serialize(unsigned char* out) const
{
    std::memcpy(out + offMagic, magic, 4);
    put16(out + offVersion, version);
    put16(out + offHeaderSize, headerSize);
    put32(out + offModified, modified);
    put32(out + offReserved1, reserved1);
    std::memcpy(out + offName, name, nameSize);
    put32(out + offUnpacked, unpackedSize);
    put32(out + offStored, storedSize);
    put32(out + offCrc, crc);
    put32(out + offReserved2, reserved2);
    put32(out + offMethod, method);
    put32(out + offParameter, methodParameter);
    put16(out + offDestination, static_cast<std::uint16_t>(destination));
    put16(out + offAttributes, attributes);
    put16(out + offContinued, continued);
    std::memcpy(out + offText, text, textSize);
}

std::string EntryHeader::fieldString(const char* field, std::size_t size)
{
    std::size_t n = 0;
    while (n < size && field[n] != '\0')
        ++n;
    return std::string(field, n);
}

void EntryHeader::setField(char* field, std::size_t size, const std::string& s)
{
    std::memset(field, 0, size);
    std::memcpy(field, s.data(), s.size() < size ? s.size() : size - 1);
}
