#include "profile/profile_access.h"

#include "profile/profile_file.h"

#include <windows.h>

#include <cstring>
#include <limits>

CProfileEntry::CProfileEntry(std::string defaultValue, std::string section, std::string key,
                             std::string file, bool readNow)
    : section(std::move(section)), key(std::move(key)), file(std::move(file)),
      value(std::move(defaultValue))
{
    if (readNow && !this->section.empty() && !this->key.empty())
        Read();
}

namespace {

// One profile string, from the image when there is one, else from the platform.
DWORD profileString(const CProfileFile* image, const char* section, const char* key,
                    const char* defaultValue, char* buffer, DWORD size, const std::string& file)
{
    return image ? image->getString(section, key, defaultValue, buffer, size)
                 : GetPrivateProfileStringA(section, key, defaultValue, buffer, size, file.c_str());
}

} // namespace

bool CProfileEntry::Read()
{
    return readFrom(nullptr);
}

bool CProfileEntry::Read(const CProfileFile& image)
{
    return readFrom(&image);
}

bool CProfileEntry::readFrom(const CProfileFile* image)
{
    char buffer[256] = {};
    DWORD length = profileString(image, section.c_str(), key.c_str(), value.c_str(), buffer, 255,
                                 file);
    value.assign(buffer, length < 255 ? length : 254);
    return length > 0;
}

bool CProfileEntry::Write() const
{
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) !=
           FALSE;
}

CProfileSection::CProfileSection(std::string section, const CProfileFile& image)
    : section(std::move(section)), file(image.path()), m_image(&image)
{
}

bool CProfileSection::First(CProfileEntry& entry)
{
    m_names.reset();
    std::size_t size = 256;
    for (;;) {
        std::unique_ptr<char[]> buffer(new char[size]());
        DWORD length = profileString(m_image, section.c_str(), nullptr, "", buffer.get(),
                                     static_cast<DWORD>(size), file);
        // The platform answers size - 2 when the list didn't fit.
        if (length + 2 < size) {
            m_names = std::move(buffer);
            m_size = size;
            break;
        }
        size *= 2;
    }
    m_cursor = 0;
    return handOut(entry);
}

bool CProfileSection::Next(CProfileEntry& entry)
{
    if (!m_names)
        return false;
    return handOut(entry);
}

bool CProfileSection::handOut(CProfileEntry& entry)
{
    if (m_cursor >= m_size || m_names[m_cursor] == '\0') {
        m_names.reset();
        return false;
    }
    const char* name = m_names.get() + m_cursor;
    std::size_t length = strnlen(name, m_size - m_cursor);
    entry.section = section;
    entry.file = file;
    entry.key.assign(name, length);
    m_cursor += length + 1;
    return true;
}

bool ExtractField(std::string& out, const std::string& text, int n, char separator)
{
    std::size_t start = 0;
    for (int i = 0; i < n; ++i) {
        std::size_t bar = text.find(separator, start);
        if (bar == std::string::npos) {
            out.clear();
            return false;
        }
        start = bar + 1;
    }
    std::size_t end = text.find(separator, start);
    out = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    return true;
}

std::int32_t ParseDecimal(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    std::int64_t value = 0;
    const std::int64_t limit = std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > limit)
            value = limit;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<std::int32_t>::max())
        value = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value);
}

bool FieldAsInt32(std::int32_t& out, const std::string& text, int n, char separator)
{
    std::string field;
    if (!ExtractField(field, text, n, separator))
        return false;
    out = ParseDecimal(field);
    return true;
}

bool FieldAsInt16(std::int16_t& out, const std::string& text, int n, char separator)
{
    std::int32_t value = 0;
    if (!FieldAsInt32(value, text, n, separator))
        return false;
    // The low 16 bits, as a 16-bit field keeps them.
    out = static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint32_t>(value)));
    return true;
}

bool FieldAsBool(bool& out, const std::string& text, int n, char separator)
{
    std::int32_t value = 0;
    if (!FieldAsInt32(value, text, n, separator))
        return false;
    out = value != 0;
    return true;
}
