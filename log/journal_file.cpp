#include "log/journal_file.h"

#include <cstdio>

namespace {

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

} // namespace

std::string EncodeJournalRecord(const CJournalRecord& record)
{
    std::string line;
    for (std::size_t i = 0; i < record.size(); ++i) {
        if (i != 0)
            line += '|';
        for (char c : record[i]) {
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

CJournalRecord DecodeJournalRecord(const std::string& line)
{
    CJournalRecord record(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c == '|') {
            record.emplace_back();
        } else if (c == '%' && i + 2 < line.size() && hexValue(line[i + 1]) >= 0 &&
                   hexValue(line[i + 2]) >= 0) {
            record.back() += static_cast<char>(hexValue(line[i + 1]) * 16 + hexValue(line[i + 2]));
            i += 2;
        } else {
            record.back() += c;
        }
    }
    return record;
}

CJournalFile::OpenResult CJournalFile::open(const std::string& path)
{
    close();
    // Readers may look; a second run may neither write nor delete it.
    m_handle = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_handle != INVALID_HANDLE_VALUE)
        return opened;
    DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ? busy : failed;
}

bool CJournalFile::append(const CJournalRecord& record)
{
    if (!isOpen())
        return false;
    std::string line = EncodeJournalRecord(record) + "\r\n";
    DWORD written = 0;
    return WriteFile(m_handle, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
           written == line.size();
}

void CJournalFile::close()
{
    if (m_handle != INVALID_HANDLE_VALUE)
        CloseHandle(m_handle);
    m_handle = INVALID_HANDLE_VALUE;
}

std::vector<CJournalRecord> CJournalFile::ReadAll(const std::string& path)
{
    std::vector<CJournalRecord> records;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return records;
    std::string text;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(file);
    std::size_t start = 0;
    for (std::size_t end = text.find("\r\n"); end != std::string::npos;
         end = text.find("\r\n", start)) {
        records.push_back(DecodeJournalRecord(text.substr(start, end - start)));
        start = end + 2;
    }
    return records;
}
