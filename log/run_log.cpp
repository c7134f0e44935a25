#include "log/run_log.h"

#include "platform/path.h"

#include <cstdio>

bool CRunLog::open(const std::string& path)
{
    close();
    CPath file(path);
    if (!file.folderText().empty())
        CPath(file.folderText()).createFolders();
    m_file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    return isOpen();
}

void CRunLog::line(const std::string& text)
{
    if (!isOpen())
        return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    char stamp[48];
    std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u.%03u  ", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    std::string out = stamp + text;
    for (char& c : out)
        if (c == '\r' || c == '\n')
            c = ' ';
    out += "\r\n";
    DWORD written = 0;
    WriteFile(m_file, out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
}

void CRunLog::close()
{
    if (m_file != INVALID_HANDLE_VALUE)
        CloseHandle(m_file);
    m_file = INVALID_HANDLE_VALUE;
}

std::string CRunLog::DefaultPath()
{
    CPath path;
    path.setSpecial(CPath::tempFolder);
    path.setFileName("ovca40-setup.txt");
    return path.text();
}
