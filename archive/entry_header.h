// The on-disk records of the multi-file archive. All integers are
// little-endian; the reader always takes 346 bytes per entry header, whatever
// its version and headerSize say.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct VolumeHeader {
    static constexpr std::size_t size = 8;
    static constexpr char magic[5] = "mflh";
    // Fills 8 bytes: the magic and a zero reserved word.
    static void write(unsigned char* out);
    static bool isValid(const unsigned char* in) { return in[0] == 'm' && in[1] == 'f' && in[2] == 'l' && in[3] == 'h'; }
};

struct EntryHeader {
    static constexpr std::size_t size = 346;
    static constexpr std::size_t nameSize = 260;
    static constexpr std::size_t textSize = 40;

    enum Method : std::uint32_t { methodStored = 2, methodZLib = 4 };

    char magic[4] = {'m', 'f', 'e', 'n'};
    std::uint16_t version = 1;
    std::uint16_t headerSize = size;
    std::uint32_t modified = 0;
    std::uint32_t reserved1 = 0;
    char name[nameSize] = {};
    std::uint32_t unpackedSize = 0;
    std::uint32_t storedSize = 0;
    std::uint32_t crc = 0;
    std::uint32_t reserved2 = 0;
    std::uint32_t method = methodStored;
    std::uint32_t methodParameter = 0;
    std::int16_t destination = 0;
    std::uint16_t attributes = 0;
    std::uint16_t continued = 0;
    char text[textSize] = {};

    bool hasValidMagic() const { return magic[0] == 'm' && magic[1] == 'f' && magic[2] == 'e' && magic[3] == 'n'; }

    // The name and text fields up to their NUL, never past the field.
    std::string nameString() const { return fieldString(name, nameSize); }
    std::string textString() const { return fieldString(text, textSize); }
    // Copies s into the field, cut so that a NUL always fits.
    void setName(const std::string& s) { setField(name, nameSize, s); }
    void setText(const std::string& s) { setField(text, textSize, s); }

    void parse(const unsigned char* in);        // 346 bytes
    void serialize(unsigned char* out) const;   // 346 bytes

private:
    static std::string fieldString(const char* field, std::size_t size);
    static void setField(char* field, std::size_t size, const std::string& s);
};
