// Win32 backend of CFile: the plain ANSI file API.
#include "platform/file.h"

#include "platform/exception.h"

#include <windows.h>
#include <vector>

namespace {

HANDLE toHandle(std::intptr_t h)
{
    return reinterpret_cast<HANDLE>(h);
}

// FILETIME counts 100 ns steps from 1601; our times count seconds from 1970.
const ULONGLONG kEpochDelta = 11644473600ULL;
const ULONGLONG kTicksPerSecond = 10000000ULL;

// The attribute bits a member may carry; folder, device and the like are never ours to set.
const unsigned kSettableAttributes = 0x01 | 0x02 | 0x04 | 0x20;

} // namespace

CFile::~CFile()
{
    abortClose();
}

void CFile::fail(int cause) const
{
    throw CFileException(cause, m_path);
}

void CFile::failFromSystem() const
{
    fail(CFileException::causeFromOsError(GetLastError()));
}

void CFile::open(const std::string& path, OpenMode mode)
{
    abortClose();
    m_path = path;
    m_part = Part();
    DWORD access = GENERIC_READ | GENERIC_WRITE;
    DWORD share = 0;
    DWORD disposition = OPEN_EXISTING;
    switch (mode) {
    case modeRead:
        access = GENERIC_READ;
        share = FILE_SHARE_READ | FILE_SHARE_WRITE;
        break;
    case modeWrite: disposition = CREATE_ALWAYS; break;
    case modeCreateNew:
        // A new file may take its final name through its own handle.
        access |= DELETE;
        disposition = CREATE_NEW;
        break;
    case modeReadWrite: break;
    }
    HANDLE h = CreateFileA(path.c_str(), access, share, nullptr, disposition,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        failFromSystem();
    m_handle = reinterpret_cast<std::intptr_t>(h);
}

bool CFile::renameOpen(const std::string& newPath)
{
    if (!isOpen())
        return false;
    // Asked for by name: Windows before Vista lacks the call, and the
    // headers this program builds with don't declare it.
    struct CRenameInfo {
        DWORD replaceIfExists;  // a BOOLEAN in a union with a DWORD
        HANDLE rootDirectory;
        DWORD fileNameLength;
        WCHAR fileName[1];
    };
    constexpr int kFileRenameInfo = 3;
    using SetInfo = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);
    static const auto setInfo = reinterpret_cast<SetInfo>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetFileInformationByHandle")));
    if (!setInfo)
        return false;
    int length = MultiByteToWideChar(CP_ACP, 0, newPath.c_str(), -1, nullptr, 0);
    if (length <= 1)
        return false;
    std::vector<unsigned char> buffer(sizeof(CRenameInfo) + length * sizeof(WCHAR));
    auto* info = reinterpret_cast<CRenameInfo*>(buffer.data());
    info->replaceIfExists = FALSE;
    info->rootDirectory = nullptr;
    info->fileNameLength = static_cast<DWORD>((length - 1) * sizeof(WCHAR));
    MultiByteToWideChar(CP_ACP, 0, newPath.c_str(), -1, info->fileName, length);
    if (!setInfo(toHandle(m_handle), kFileRenameInfo, info, static_cast<DWORD>(buffer.size())))
        return false;
    m_path = newPath;
    return true;
}

void CFile::close()
{
    if (!isOpen())
        return;
    HANDLE h = toHandle(m_handle);
    m_handle = invalidHandle;
    m_part = Part();
    if (!CloseHandle(h))
        failFromSystem();
}

void CFile::abortClose() noexcept
{
    if (isOpen()) {
        CloseHandle(toHandle(m_handle));
        m_handle = invalidHandle;
        m_part = Part();
    }
}

std::size_t CFile::readRaw(void* buffer, std::size_t count)
{
    if (!isOpen())
        fail(CFileException::invalidFile);
    auto* p = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        DWORD step = count - done > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count - done);
        DWORD n = 0;
        if (!ReadFile(toHandle(m_handle), p + done, step, &n, nullptr)) {
            if (GetLastError() == ERROR_HANDLE_EOF)
                break;
            failFromSystem();
        }
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

void CFile::write(const void* buffer, std::size_t count)
{
    if (!isOpen())
        fail(CFileException::invalidFile);
    auto* p = static_cast<const unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        DWORD step = count - done > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count - done);
        DWORD n = 0;
        BOOL ok = WriteFile(toHandle(m_handle), p + done, step, &n, nullptr);
        if (!ok || n == 0) {
            int cause = ok ? static_cast<int>(CFileException::diskFull)
                           : CFileException::causeFromOsError(GetLastError());
            done += n;
            if (done != 0) {
                LARGE_INTEGER back;
                back.QuadPart = -static_cast<LONGLONG>(done);
                SetFilePointerEx(toHandle(m_handle), back, nullptr, FILE_CURRENT);
            }
            fail(cause);
        }
        done += n;
    }
}

std::uint64_t CFile::seekRaw(std::int64_t offset, SeekFrom from)
{
    if (!isOpen())
        fail(CFileException::invalidFile);
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER result;
    DWORD method = from == fromBegin ? FILE_BEGIN : from == fromCurrent ? FILE_CURRENT : FILE_END;
    if (!SetFilePointerEx(toHandle(m_handle), distance, &result, method))
        failFromSystem();
    return static_cast<std::uint64_t>(result.QuadPart);
}

std::uint64_t CFile::positionRaw() const
{
    if (!isOpen())
        fail(CFileException::invalidFile);
    LARGE_INTEGER zero;
    zero.QuadPart = 0;
    LARGE_INTEGER result;
    if (!SetFilePointerEx(toHandle(m_handle), zero, &result, FILE_CURRENT))
        failFromSystem();
    return static_cast<std::uint64_t>(result.QuadPart);
}

std::uint64_t CFile::lengthRaw() const
{
    if (!isOpen())
        fail(CFileException::invalidFile);
    LARGE_INTEGER size;
    if (!GetFileSizeEx(toHandle(m_handle), &size))
        failFromSystem();
    return static_cast<std::uint64_t>(size.QuadPart);
}

namespace {

// Seconds since 1970 as the platform's file time.
FILETIME fileTimeOf(std::uint32_t modified)
{
    ULONGLONG ticks = (static_cast<ULONGLONG>(modified) + kEpochDelta) * kTicksPerSecond;
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(ticks);
    ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return ft;
}

} // namespace

void CFile::setModified(std::uint32_t modified)
{
    if (!isOpen())
        fail(CFileException::invalidFile);
    FILETIME ft = fileTimeOf(modified);
    if (!SetFileTime(toHandle(m_handle), nullptr, nullptr, &ft))
        failFromSystem();
}

void CFile::setAttributes(const std::string& path, unsigned attributes)
{
    DWORD bits = attributes & kSettableAttributes;
    // A file just written carries the archive bit and nothing else.
    if (bits == FILE_ATTRIBUTE_ARCHIVE)
        return;
    if (!SetFileAttributesA(path.c_str(), bits ? bits : FILE_ATTRIBUTE_NORMAL))
        throw CFileException(CFileException::causeFromOsError(GetLastError()), path);
}

void CFile::setTimeAndAttributes(const std::string& path, std::uint32_t modified,
                                 unsigned attributes)
{
    // A read-only file left by an earlier call would refuse the time; clear it first.
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        throw CFileException(CFileException::causeFromOsError(GetLastError()), path);
    FILETIME ft = fileTimeOf(modified);
    BOOL timed = SetFileTime(h, nullptr, nullptr, &ft);
    DWORD timeError = GetLastError();
    CloseHandle(h);
    if (!timed)
        throw CFileException(CFileException::causeFromOsError(timeError), path);

    DWORD bits = attributes & kSettableAttributes;
    if (!SetFileAttributesA(path.c_str(), bits ? bits : FILE_ATTRIBUTE_NORMAL))
        throw CFileException(CFileException::causeFromOsError(GetLastError()), path);
}

bool CFile::getStatus(const std::string& path, Status& status)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return false;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return false;
    status.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    ULONGLONG ticks = (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                      data.ftLastWriteTime.dwLowDateTime;
    ULONGLONG seconds = ticks / kTicksPerSecond;
    if (seconds < kEpochDelta)
        status.modified = 0;
    else if (seconds - kEpochDelta > 0xFFFFFFFFULL)
        status.modified = 0xFFFFFFFFu;
    else
        status.modified = static_cast<std::uint32_t>(seconds - kEpochDelta);
    status.attributes = data.dwFileAttributes & 0xFF;
    return true;
}
