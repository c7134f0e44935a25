#include "log/journal_file.h"

namespace {

std::string readFrom(HANDLE file)
{
    std::string text;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    return text;
}

} // namespace

CJournalFile::OpenResult CJournalFile::open(const std::string& path)
{
    close();
    // Readers may look; a second run may neither write nor delete it. A
    // journal being deleted by the run before answers "access denied" for
    // a moment.
    for (int attempt = 0;; ++attempt) {
        m_handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ,
                               nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (m_handle != INVALID_HANDLE_VALUE)
            break;
        DWORD error = GetLastError();
        if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
            return busy;
        if (error != ERROR_ACCESS_DENIED || attempt == 5)
            return failed;
        Sleep(20);
    }
    m_path = path;
    return opened;
}

std::vector<CJournalRecord> CJournalFile::records(std::size_t* damaged) const
{
    if (!isOpen())
        return {};
    SetFilePointer(m_handle, 0, nullptr, FILE_BEGIN);
    std::string text = readFrom(m_handle);
    SetFilePointer(m_handle, 0, nullptr, FILE_END);
    return ParseJournal(text, damaged);
}

bool CJournalFile::clear()
{
    return isOpen() && SetFilePointer(m_handle, 0, nullptr, FILE_BEGIN) == 0 && SetEndOfFile(m_handle) &&
           FlushFileBuffers(m_handle);
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

bool CJournalFile::flush()
{
    return isOpen() && FlushFileBuffers(m_handle);
}

void CJournalFile::close()
{
    if (m_handle != INVALID_HANDLE_VALUE)
        CloseHandle(m_handle);
    m_handle = INVALID_HANDLE_VALUE;
}

void CJournalFile::remove()
{
    if (!isOpen())
        return;
    // Deleted when the handle closes (Windows Vista and later); elsewhere
    // an empty journal left for a moment means nothing to the next run.
    struct { BOOLEAN deleteFile; } disposition = {TRUE};
    using SetInformation = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);
    static const auto setInformation = reinterpret_cast<SetInformation>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetFileInformationByHandle")));
    const int fileDispositionInfo = 4;
    bool marked = setInformation &&
                  setInformation(m_handle, fileDispositionInfo, &disposition, sizeof disposition);
    if (!marked)
        clear();
    close();
    if (!marked)
        DeleteFileA(m_path.c_str());
}

std::vector<CJournalRecord> CJournalFile::ReadAll(const std::string& path, std::size_t* damaged)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        if (damaged)
            *damaged = 0;
        return {};
    }
    std::string text = readFrom(file);
    CloseHandle(file);
    return ParseJournal(text, damaged);
}
