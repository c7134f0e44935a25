// Where a profile file's image meets the disk: reading the file, and the
// rewrite that keeps it whole at every moment.
#include "profile/profile_file.h"

#include <windows.h>

bool CProfileFile::load(const std::string& path)
{
    // A bare name lies in the Windows folder, as the platform has it.
    bool bare = path.find_first_of("\\/") == std::string::npos && !(path.size() >= 2 && path[1] == ':');
    std::string full = path;
    if (bare) {
        char folder[MAX_PATH] = {};
        GetWindowsDirectoryA(folder, MAX_PATH);
        full = std::string(folder) + "\\" + path;
    } else {
        char buffer[MAX_PATH] = {};
        DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, buffer, nullptr);
        if (n > 0 && n < MAX_PATH)
            full.assign(buffer, n);
    }
    reset(full);

    HANDLE file = CreateFileA(full.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        m_readable = GetLastError() == ERROR_FILE_NOT_FOUND;
        return m_readable;
    }
    std::string content;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart < 0x7FFFFFFF;
    if (ok) {
        content.resize(static_cast<std::size_t>(size.QuadPart));
        std::size_t done = 0;
        while (ok && done < content.size()) {
            DWORD got = 0;
            ok = ReadFile(file, &content[done], static_cast<DWORD>(content.size() - done), &got, nullptr) &&
                 got > 0;
            done += got;
        }
    }
    CloseHandle(file);
    if (!ok) {
        m_readable = false;
        return false;
    }
    readText(content);
    return true;
}

bool CProfileFile::save() const
{
    // An image of a file that couldn't be read would overwrite it with nothing.
    if (!m_readable || m_path.empty())
        return false;
    std::string content = bytes();
    std::string temporary = m_path + ".new";
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < content.size()) {
        DWORD wrote = 0;
        ok = WriteFile(file, content.data() + done, static_cast<DWORD>(content.size() - done), &wrote, nullptr) &&
             wrote > 0;
        done += wrote;
    }
    // On the disk before it takes the old file's place: a renamed file whose
    // contents are still in flight could come back empty after a power loss.
    ok = ok && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    ok = ok && MoveFileExA(temporary.c_str(), m_path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok)
        DeleteFileA(temporary.c_str());
    return ok;
}
