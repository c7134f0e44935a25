// The thin layer over the platform's private-profile calls that every
// profile reader shares: a key enumerator, a value object and the "|" field
// functions. Nothing here throws.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class CProfileFile;

// One value of a profile file.
class CProfileEntry {
public:
    CProfileEntry() = default;
    // Reads at once when asked to and both section and key are given.
    CProfileEntry(std::string defaultValue, std::string section, std::string key, std::string file,
                  bool readNow);

    // Reads the value (at most 254 characters), the current value serving as
    // the default; true when the text read is not empty.
    bool Read();
    // The same read answered by an image of the file (loaded once) instead
    // of a platform call.
    bool Read(const CProfileFile& image);
    // Writes the value; true when the platform call succeeds.
    bool Write() const;

    std::string section;
    std::string key;
    std::string file;
    std::string value;

private:
    bool readFrom(const CProfileFile* image);
};

// The key names of one section, handed out in file order.
class CProfileSection {
public:
    explicit CProfileSection(std::string section, std::string file = std::string())
        : section(std::move(section)), file(std::move(file)) {}
    // The key names from an image of the file instead of the platform.
    CProfileSection(std::string section, const CProfileFile& image);

    bool First(CProfileEntry& entry);
    bool Next(CProfileEntry& entry);

    std::string section;
    std::string file;

private:
    bool handOut(CProfileEntry& entry);

    const CProfileFile* m_image = nullptr;
    std::unique_ptr<char[]> m_names;
    std::size_t m_size = 0;
    std::size_t m_cursor = 0;
};

// Field n (from 0) of text; false and an empty out when there is none.
bool ExtractField(std::string& out, const std::string& text, int n, char separator = '|');
// The same field as a number; out is set only when the field exists.
bool FieldAsInt32(std::int32_t& out, const std::string& text, int n, char separator = '|');
bool FieldAsInt16(std::int16_t& out, const std::string& text, int n, char separator = '|');
bool FieldAsBool(bool& out, const std::string& text, int n, char separator = '|');

// Decimal text to a number as the runtime's conversion reads it: blanks
// skipped, one sign, digits up to the first non-digit, 0 without digits;
// values beyond 32 bits are held at the nearest limit.
std::int32_t ParseDecimal(const std::string& text);
