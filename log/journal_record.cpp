#include "log/journal_record.h"

#include <cstdio>
#include <vector>

namespace {

using CFields = std::vector<std::string>;

bool needsEscape(char c)
{
    return c == '|' || c == '%' || c == '\r' || c == '\n';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::string join(const CFields& fields)
{
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i != 0)
            line += '|';
        for (char c : fields[i]) {
            if (needsEscape(c)) {
                char hex[4];
                std::snprintf(hex, sizeof hex, "%%%02X", static_cast<unsigned char>(c));
                line += hex;
            } else {
                line += c;
            }
        }
    }
    return line;
}

CFields split(const std::string& line)
{
    CFields fields(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c == '|') {
            fields.emplace_back();
        } else if (c == '%' && i + 2 < line.size() && hexValue(line[i + 1]) >= 0 &&
                   hexValue(line[i + 2]) >= 0) {
            fields.back() += static_cast<char>(hexValue(line[i + 1]) * 16 + hexValue(line[i + 2]));
            i += 2;
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

std::string number(std::uint32_t n)
{
    return std::to_string(n);
}

// A decimal number of 32 bits and nothing else.
bool readNumber(const std::string& text, std::uint32_t& out)
{
    if (text.empty() || text.size() > 10)
        return false;
    std::uint64_t n = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        n = n * 10 + static_cast<unsigned>(c - '0');
    }
    if (n > 0xFFFFFFFFull)
        return false;
    out = static_cast<std::uint32_t>(n);
    return true;
}

bool readFlag(const std::string& text, bool& out)
{
    if (text != "0" && text != "1")
        return false;
    out = text == "1";
    return true;
}

bool isHex(const std::string& text)
{
    if (text.size() % 2 != 0)
        return false;
    for (char c : text)
        if (hexValue(c) < 0)
            return false;
    return true;
}

bool isHive(const std::string& text)
{
    return text == "HKLM" || text == "HKCU";
}

// The fields of each kind after its letter, in the order they are written.
CFields fieldsOf(const CJournalRecord& r)
{
    using K = CJournalRecord;
    switch (r.kind) {
    case K::begin: return {std::string(1, r.mode)};
    case K::tempFile:
    case K::notPlaced:
    case K::newFile:
    case K::newFolder: return {r.path};
    case K::removed: return {r.path, r.section, r.key, r.value};
    case K::movedAside: return r.flag ? CFields{r.path, r.other, "1"} : CFields{r.path, r.other};
    case K::placed: return {r.path, r.flag ? "1" : "0", r.section, r.key, r.value};
    case K::countRaised: return {r.path, number(r.after)};
    case K::countSet: return {r.path, number(r.before), number(r.after)};
    case K::bootRename:
    case K::withdrawn:
    case K::fileBefore:
    case K::renamed:
    case K::asideFolder: return {r.path, r.other};
    case K::keyBefore: return {r.hive, number(r.view), r.path, r.flag ? "1" : "0", r.top ? "1" : "0"};
    case K::valueBefore: return {r.hive, number(r.view), r.path, r.name, number(r.type), r.data};
    case K::snapshotEnd: return {r.hive, number(r.view), r.path};
    case K::logEntry: return {r.section, r.key, r.value};
    case K::logEntryGone: return {r.section, r.key};
    case K::committed: return {};
    }
    return {};
}

// Fills the record's fields from f (f[0] is the letter); false when they
// are too few or one of them can't be what its kind needs.
bool readFields(CJournalRecord& r, const CFields& f)
{
    using K = CJournalRecord;
    auto at = [&](std::size_t n) -> const std::string& { return f[n]; };
    auto need = [&](std::size_t n) { return f.size() >= n + 1; };
    switch (r.kind) {
    case K::begin:
        if (!need(1) || (at(1) != "I" && at(1) != "U"))
            return false;
        r.mode = at(1)[0];
        return true;
    case K::tempFile:
    case K::notPlaced:
    case K::newFile:
    case K::newFolder:
    case K::removed:
        if (!need(1) || at(1).empty())
            return false;
        r.path = at(1);
        if (r.kind == K::removed && need(4)) {
            r.section = at(2);
            r.key = at(3);
            r.value = at(4);
        }
        return true;
    case K::movedAside:
        if (!need(2) || at(1).empty() || at(2).empty())
            return false;
        r.path = at(1);
        r.other = at(2);
        r.flag = f.size() > 3 && at(3) == "1";
        return true;
    case K::placed:
        if (!need(5) || at(1).empty() || !readFlag(at(2), r.flag))
            return false;
        r.path = at(1);
        r.section = at(3);
        r.key = at(4);
        r.value = at(5);
        return true;
    case K::countRaised:
        r.path = need(2) ? at(1) : std::string();
        return need(2) && !r.path.empty() && readNumber(at(2), r.after);
    case K::countSet:
        r.path = need(3) ? at(1) : std::string();
        return need(3) && !r.path.empty() && readNumber(at(2), r.before) && readNumber(at(3), r.after);
    case K::bootRename:
    case K::withdrawn:
    case K::fileBefore:
    case K::renamed:
    case K::asideFolder:
        if (!need(2) || at(1).empty())
            return false;
        r.path = at(1);
        r.other = at(2);
        // A rename and a folder of older copies need both ends.
        return (r.kind != K::renamed && r.kind != K::asideFolder) || !r.other.empty();
    case K::keyBefore:
        if (!need(5) || !isHive(at(1)) || !readNumber(at(2), r.view) || at(3).empty() ||
            !readFlag(at(4), r.flag) || !readFlag(at(5), r.top))
            return false;
        r.hive = at(1);
        r.path = at(3);
        return true;
    case K::valueBefore:
        if (!need(6) || !isHive(at(1)) || !readNumber(at(2), r.view) || at(3).empty() ||
            !readNumber(at(5), r.type) || !isHex(at(6)))
            return false;
        r.hive = at(1);
        r.path = at(3);
        r.name = at(4);
        r.data = at(6);
        return true;
    case K::snapshotEnd:
        if (!need(3) || !isHive(at(1)) || !readNumber(at(2), r.view) || at(3).empty())
            return false;
        r.hive = at(1);
        r.path = at(3);
        return true;
    case K::logEntry:
        if (!need(3) || at(1).empty() || at(2).empty())
            return false;
        r.section = at(1);
        r.key = at(2);
        r.value = at(3);
        return true;
    case K::logEntryGone:
        if (!need(2) || at(1).empty() || at(2).empty())
            return false;
        r.section = at(1);
        r.key = at(2);
        return true;
    case K::committed:
        return true;
    }
    return false;
}

bool isKind(char letter)
{
    for (char known : std::string("BTAPQCLRWNDOFGMKVESXZ"))
        if (letter == known)
            return true;
    return false;
}

} // namespace

std::string EncodeJournalRecord(const CJournalRecord& record)
{
    CFields fields = fieldsOf(record);
    fields.insert(fields.begin(), std::string(1, static_cast<char>(record.kind)));
    return join(fields);
}

std::vector<CJournalRecord> ParseJournal(const std::string& text, std::size_t* damaged)
{
    std::vector<CJournalRecord> records;
    if (damaged)
        *damaged = 0;
    std::size_t start = 0;
    for (std::size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start)) {
        if (auto record = DecodeJournalRecord(text.substr(start, end - start)))
            records.push_back(*record);
        else if (damaged)
            ++*damaged;
        start = end + 2;
    }
    return records;
}

std::optional<CJournalRecord> DecodeJournalRecord(const std::string& line)
{
    CFields fields = split(line);
    if (fields[0].size() != 1 || !isKind(fields[0][0]))
        return std::nullopt;
    CJournalRecord record;
    record.kind = static_cast<CJournalRecord::Kind>(fields[0][0]);
    if (!readFields(record, fields))
        return std::nullopt;
    return record;
}
