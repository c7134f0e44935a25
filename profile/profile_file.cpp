#include "profile/profile_file.h"

#include "platform/code_page.h"

#include <algorithm>
#include <cstring>

namespace {

const std::size_t none = static_cast<std::size_t>(-1);

// The platform's blanks: tab to CR, and ^Z (a DOS end of file) and space.
bool isBlank(wchar_t c)
{
    return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20;
}

std::wstring trimmed(const std::wstring& text, std::size_t begin, std::size_t end)
{
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

std::wstring trimmed(const std::wstring& text)
{
    return trimmed(text, 0, text.size());
}

// The platform keeps names and values as C strings: a NUL read from the
// file ends them there.
std::wstring cutAtNul(std::wstring text)
{
    std::size_t nul = text.find(L'\0');
    if (nul != std::wstring::npos)
        text.resize(nul);
    return text;
}

// Names compare without regard to case, but only for the ASCII letters.
std::wstring folded(std::wstring name)
{
    for (wchar_t& c : name)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c + (L'a' - L'A'));
    return name;
}

std::wstring wide(const char* text, std::size_t size)
{
    return WideFromAnsi(text, size);
}

std::wstring wide(const std::string& text)
{
    return wide(text.data(), text.size());
}

std::string narrow(const std::wstring& text)
{
    return AnsiFromWide(text.data(), text.size());
}

// A value handed out as the platform does: one pair of matching quotes
// dropped, at most size - 1 characters. (When the value fills the buffer
// exactly the platform drops a last character all the same; so does this.)
void copyValue(wchar_t* buffer, const std::wstring& value, std::size_t size)
{
    const wchar_t* from = value.c_str();
    std::size_t length = value.size();
    bool quoted =
        length >= 2 && (from[0] == L'"' || from[0] == L'\'') && from[length - 1] == from[0];
    if (quoted) {
        ++from;
        --length;
    }
    std::size_t n = std::min(length, size - 1);
    std::copy(from, from + n, buffer);
    buffer[n] = L'\0';
    if (quoted && size >= length && n > 0)
        buffer[n - 1] = L'\0';
}

// Whether text can stand on one line of the file.
bool writable(const std::wstring& text)
{
    return text.find_first_of(std::wstring(L"\r\n\0", 3)) == std::wstring::npos;
}

} // namespace

void CProfileFile::reset(const std::string& path)
{
    m_path = path;
    m_raw.clear();
    m_readable = true;
    m_encoding = ansi;
    parse(std::wstring());
}

void CProfileFile::readText(const std::string& bytes)
{
    // The platform reads a byte-order mark as Unicode text, anything else in
    // the system code page.
    m_raw = bytes;
    const char* p = bytes.data();
    std::size_t n = bytes.size();
    m_readable = true;
    if (n >= 3 && std::memcmp(p, "\xEF\xBB\xBF", 3) == 0) {
        m_encoding = utf8;
        parse(WideFromUtf8(p + 3, n - 3));
    } else if (n >= 2 && (std::memcmp(p, "\xFF\xFE", 2) == 0 || std::memcmp(p, "\xFE\xFF", 2) == 0)) {
        m_encoding = p[0] == '\xFF' ? utf16le : utf16be;
        std::wstring text((n - 2) / 2, L'\0');
        for (std::size_t i = 0; i < text.size(); ++i) {
            auto lo = static_cast<unsigned char>(p[2 + 2 * i]);
            auto hi = static_cast<unsigned char>(p[3 + 2 * i]);
            text[i] = static_cast<wchar_t>(m_encoding == utf16le ? lo | hi << 8 : hi | lo << 8);
        }
        parse(text);
    } else {
        m_encoding = ansi;
        parse(wide(p, n));
    }
}

std::string CProfileFile::bytes() const
{
    std::wstring content = text();
    std::string out;
    switch (m_encoding) {
    case ansi: out = narrow(content); break;
    case utf8: out = "\xEF\xBB\xBF" + Utf8FromWide(content.data(), content.size()); break;
    case utf16le:
    case utf16be:
        out = m_encoding == utf16le ? "\xFF\xFE" : "\xFE\xFF";
        for (wchar_t c : content) {
            char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>((c >> 8) & 0xFF);
            out += m_encoding == utf16le ? lo : hi;
            out += m_encoding == utf16le ? hi : lo;
        }
        break;
    }
    return out;
}

void CProfileFile::addSection(std::wstring name)
{
    m_sectionIndex[folded(name)].push_back(m_sections.size());
    m_sections.push_back(Section());
    m_sections.back().name = std::move(name);
}

void CProfileFile::parse(const std::wstring& text)
{
    m_sections.clear();
    m_sectionIndex.clear();
    addSection(std::wstring());
    std::size_t previousKey = none;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t start = pos;
        while (pos < text.size() && text[pos] != L'\r' && text[pos] != L'\n')
            ++pos;
        std::size_t end = pos;
        while (pos < text.size() && (text[pos] == L'\r' || text[pos] == L'\n'))
            ++pos;
        Line line;
        line.text = text.substr(start, end - start);
        line.lineBreak = text.substr(end, pos - end);
        Section& section = m_sections.back();
        classify(line, previousKey == none ? nullptr : &section.lines[previousKey]);
        if (line.kind == header) {
            addSection(line.name);
            m_sections.back().lines.push_back(std::move(line));
            previousKey = none;
            continue;
        }
        section.lines.push_back(std::move(line));
        const Line& added = section.lines.back();
        if (added.kind == entry) {
            previousKey = section.lines.size() - 1;
            section.keys[folded(added.name)].push_back(previousKey);
        }
    }
}

void CProfileFile::classify(Line& line, const Line* previousKey) const
{
    const std::wstring& t = line.text;
    line.kind = blank;
    line.startsWithEquals = false;
    line.hasValue = false;
    line.name.clear();
    line.value.clear();
    std::size_t begin = 0, end = t.size();
    while (begin < end && isBlank(t[begin]))
        ++begin;
    while (end > begin && isBlank(t[end - 1]))
        --end;
    if (begin == end)
        return;

    if (t[begin] == L'[') {
        // Up to the last "]" on the line; without one the line is a key.
        std::size_t close = t.rfind(L']', end - 1);
        if (close != std::wstring::npos && close > begin) {
            line.kind = header;
            line.name = cutAtNul(trimmed(t, begin + 1, close));
            return;
        }
    }

    std::size_t nameEnd = end;
    std::size_t equals = t.find(L'=', begin);
    if (equals < end) {
        nameEnd = equals;
        while (nameEnd > begin && isBlank(t[nameEnd - 1]))
            --nameEnd;
        std::size_t valueBegin = equals + 1;
        while (valueBegin < end && isBlank(t[valueBegin]))
            ++valueBegin;
        line.hasValue = true;
        line.value = cutAtNul(t.substr(valueBegin, end - valueBegin));
    }
    line.startsWithEquals = nameEnd == begin;
    line.name = cutAtNul(t.substr(begin, nameEnd - begin));
    // A line that starts with "=" right after another nameless key is dropped.
    bool kept = !line.startsWithEquals || !previousKey || !previousKey->name.empty();
    line.kind = kept ? entry : ignored;
}

const CProfileFile::Section* CProfileFile::findSection(const std::wstring& name) const
{
    auto found = m_sectionIndex.find(folded(name));
    return found == m_sectionIndex.end() || found->second.empty()
               ? nullptr
               : &m_sections[found->second.front()];
}

const CProfileFile::Line* CProfileFile::findKey(const std::wstring& section,
                                                const std::wstring& key) const
{
    const Section* s = findSection(trimmed(section));
    if (!s)
        return nullptr;
    auto found = s->keys.find(folded(trimmed(key)));
    return found == s->keys.end() || found->second.empty() ? nullptr
                                                           : &s->lines[found->second.front()];
}

std::uint32_t CProfileFile::sectionList(wchar_t* buffer, std::uint32_t size) const
{
    if (size == 1) {
        buffer[0] = L'\0';
        return 0;
    }
    std::size_t room = size - 1;
    std::size_t at = 0;
    for (const Section& s : m_sections) {
        if (s.removed || s.name.empty())
            continue;
        std::size_t length = s.name.size() + 1;
        if (length >= room) {
            // Cut: the last name as far as it fits, then the closing NULs.
            std::copy(s.name.begin(), s.name.begin() + (room - 1), buffer + at);
            at += room - 1;
            buffer[at++] = L'\0';
            buffer[at] = L'\0';
            return size - 2;
        }
        std::copy(s.name.begin(), s.name.end(), buffer + at);
        at += length;
        buffer[at - 1] = L'\0';
        room -= length;
    }
    buffer[at] = L'\0';
    return static_cast<std::uint32_t>(at);
}

std::uint32_t CProfileFile::keyList(const std::wstring& section, wchar_t* buffer,
                                    std::uint32_t size) const
{
    // Listing takes the section name as it is given, not trimmed.
    const Section* s = findSection(section);
    if (!s) {
        buffer[0] = buffer[1] = L'\0';
        return 0;
    }
    std::size_t left = size;
    std::size_t at = 0;
    for (const Line& line : s->lines) {
        if (left <= 2)
            break;
        // Comments and lines without "=" are keys that are not listed.
        if (line.kind != entry || !line.hasValue || (!line.name.empty() && line.name[0] == L';'))
            continue;
        std::size_t n = std::min(line.name.size(), left - 2);
        std::copy(line.name.begin(), line.name.begin() + n, buffer + at);
        buffer[at + n] = L'\0';
        left -= n + 1;
        at += n + 1;
        if (left < 2)
            break;
    }
    buffer[at] = L'\0';
    if (left <= 1) {
        if (at > 0)
            buffer[at - 1] = L'\0';
        return size - 2;
    }
    return static_cast<std::uint32_t>(size - left);
}

std::uint32_t CProfileFile::getString(const char* section, const char* key,
                                      const char* defaultValue, char* buffer,
                                      std::uint32_t size) const
{
    if (!buffer || size == 0)
        return 0;
    // Two more than asked, for the closing NULs of a list in a tiny buffer.
    std::vector<wchar_t> out(size + 2, L'\0');
    std::wstring fallback =
        defaultValue ? wide(defaultValue, std::strlen(defaultValue)) : std::wstring();
    std::size_t got = 0;
    if (!section) {
        got = m_readable ? sectionList(out.data(), size) : 0;
    } else if (!key) {
        if (m_readable)
            got = keyList(wide(section, std::strlen(section)), out.data(), size);
        if (out[0] == L'\0') {
            copyValue(out.data(), fallback, size);
            got = std::wcslen(out.data());
        }
    } else {
        // Trailing blanks of the default go; a default of blanks keeps one.
        std::size_t last = fallback.find_last_not_of(L' ');
        if (!fallback.empty())
            fallback.resize(last == std::wstring::npos ? 1 : last + 1);
        if (!m_readable) {
            std::size_t n = std::min<std::size_t>(fallback.size(), size - 1);
            std::copy(fallback.begin(), fallback.begin() + n, out.begin());
            out[n] = L'\0';
        } else {
            const Line* line =
                findKey(wide(section, std::strlen(section)), wide(key, std::strlen(key)));
            copyValue(out.data(), line && line->hasValue ? line->value : fallback, size);
        }
        got = std::wcslen(out.data());
    }
    std::string text = AnsiFromWide(out.data(), got);
    std::size_t n = std::min<std::size_t>(text.size(), size - 1);
    std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n), buffer);
    buffer[n] = '\0';
    return static_cast<std::uint32_t>(n);
}

std::vector<std::string> CProfileFile::sectionNames() const
{
    std::vector<std::string> names;
    if (!m_readable)
        return names;
    for (const Section& s : m_sections)
        if (!s.removed && !s.name.empty())
            names.push_back(narrow(s.name));
    return names;
}

std::vector<std::string> CProfileFile::keyNames(const std::string& section) const
{
    std::vector<std::string> names;
    const Section* s = m_readable ? findSection(wide(section)) : nullptr;
    if (!s)
        return names;
    for (const Line& line : s->lines) {
        if (line.kind != entry || !line.hasValue || (!line.name.empty() && line.name[0] == L';'))
            continue;
        // A nameless key ends the list for whoever reads it.
        if (line.name.empty())
            break;
        names.push_back(narrow(line.name));
    }
    return names;
}

bool CProfileFile::value(const std::string& section, const std::string& key, std::string& out) const
{
    const Line* line = m_readable ? findKey(wide(section), wide(key)) : nullptr;
    if (!line || !line->hasValue)
        return false;
    std::vector<wchar_t> buffer(line->value.size() + 1);
    copyValue(buffer.data(), line->value, buffer.size());
    out = AnsiFromWide(buffer.data(), std::wcslen(buffer.data()));
    return true;
}

void CProfileFile::appendKey(Section& section, const std::wstring& key, const std::wstring& value)
{
    Line line;
    line.text = key + L"=" + value;
    classify(line, nullptr);
    std::vector<Line>& lines = section.lines;
    // After the section's last line that isn't blank, so that blank lines
    // stay between this section and the next.
    std::size_t last = lines.size();
    while (last > 0 && (lines[last - 1].kind == blank || lines[last - 1].kind == removed))
        --last;
    std::size_t at = last;
    if (last > 0) {
        // The line before keeps one break of its run, the new line the run.
        std::wstring& previous = lines[last - 1].lineBreak;
        std::size_t first =
            previous.compare(0, 2, L"\r\n") == 0 ? 2 : std::min<std::size_t>(previous.size(), 1);
        line.lineBreak = first ? previous : L"\r\n";
        previous = first ? previous.substr(0, first) : L"\r\n";
    } else {
        line.lineBreak = L"\r\n";
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
    section.keys[folded(key)].push_back(at);
}

bool CProfileFile::setValue(const std::string& sectionName, const std::string& keyName,
                            const std::string& valueText)
{
    std::wstring section = trimmed(wide(sectionName));
    std::wstring key = trimmed(wide(keyName));
    std::wstring value = wide(valueText);
    if (!m_readable || section.empty() || key.empty() || !writable(section) || !writable(key) ||
        !writable(value) || key.find(L'=') != std::wstring::npos || key[0] == L'[')
        return false;

    auto found = m_sectionIndex.find(folded(section));
    if (found == m_sectionIndex.end() || found->second.empty()) {
        // A new section at the end; the last line gets its line break first.
        for (auto s = m_sections.rbegin(); s != m_sections.rend(); ++s) {
            if (s->removed)
                continue;
            auto line = std::find_if(s->lines.rbegin(), s->lines.rend(),
                                     [](const Line& l) { return l.kind != removed; });
            if (line == s->lines.rend())
                continue;
            if (line->lineBreak.empty())
                line->lineBreak = L"\r\n";
            break;
        }
        Line line;
        line.text = L"[" + section + L"]";
        line.lineBreak = L"\r\n";
        classify(line, nullptr);
        addSection(line.name);
        m_sections.back().lines.push_back(std::move(line));
        appendKey(m_sections.back(), key, value);
        return true;
    }

    Section& s = m_sections[found->second.front()];
    auto existing = s.keys.find(folded(key));
    if (existing == s.keys.end() || existing->second.empty()) {
        appendKey(s, key, value);
        return true;
    }
    Line& line = s.lines[existing->second.front()];
    line.text = line.name + L"=" + value;
    classify(line, nullptr);
    return true;
}

void CProfileFile::reconsiderAfter(Section& section, std::size_t removedLine)
{
    // Whether a line starting with "=" counts depends on the key before it.
    const Line* previous = nullptr;
    for (std::size_t i = removedLine; i-- > 0;) {
        const Line& line = section.lines[i];
        if (line.kind == header)
            break;
        if (line.kind == entry) {
            previous = &line;
            break;
        }
    }
    for (std::size_t i = removedLine + 1; i < section.lines.size(); ++i) {
        Line& line = section.lines[i];
        if (line.kind == blank || line.kind == removed)
            continue;
        if (!line.startsWithEquals)
            break;
        bool kept = !previous || !previous->name.empty();
        std::vector<std::size_t>& same = section.keys[folded(line.name)];
        if (kept && line.kind == ignored) {
            line.kind = entry;
            same.insert(std::lower_bound(same.begin(), same.end(), i), i);
        } else if (!kept && line.kind == entry) {
            line.kind = ignored;
            same.erase(std::find(same.begin(), same.end(), i));
        }
        if (line.kind == entry)
            previous = &line;
    }
}

bool CProfileFile::deleteKey(const std::string& sectionName, const std::string& keyName)
{
    std::wstring section = trimmed(wide(sectionName));
    std::wstring key = trimmed(wide(keyName));
    if (!m_readable || section.empty() || key.empty())
        return false;
    auto found = m_sectionIndex.find(folded(section));
    if (found == m_sectionIndex.end())
        return false;
    bool any = false;
    for (std::size_t index : found->second) {
        Section& s = m_sections[index];
        auto lines = s.keys.find(folded(key));
        if (lines == s.keys.end())
            continue;
        std::vector<std::size_t> gone = std::move(lines->second);
        s.keys.erase(lines);
        for (std::size_t i : gone)
            s.lines[i].kind = removed;
        for (std::size_t i : gone)
            reconsiderAfter(s, i);
        any = any || !gone.empty();
    }
    return any;
}

bool CProfileFile::deleteSection(const std::string& sectionName)
{
    std::wstring section = trimmed(wide(sectionName));
    if (!m_readable || section.empty())
        return false;
    auto found = m_sectionIndex.find(folded(section));
    if (found == m_sectionIndex.end())
        return false;
    for (std::size_t index : found->second) {
        Section& s = m_sections[index];
        s.removed = true;
        s.lines.clear();
        s.keys.clear();
    }
    bool any = !found->second.empty();
    m_sectionIndex.erase(found);
    return any;
}

std::wstring CProfileFile::text() const
{
    std::wstring out;
    for (const Section& s : m_sections) {
        if (s.removed)
            continue;
        for (const Line& line : s.lines) {
            if (line.kind == removed)
                continue;
            out += line.text;
            out += line.lineBreak;
        }
    }
    return out;
}
