// POSIX backend of CFile: used by the host build (mkdisks, unit tests, fuzzer).
#include "platform/file.h"

#include "platform/exception.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    fail(CFileException::causeFromErrno(errno));
}

void CFile::open(const std::string& path, OpenMode mode)
{
    abortClose();
    m_path = path;
    m_part = Part();
    int flags = O_CLOEXEC;
    switch (mode) {
    case modeRead: flags |= O_RDONLY; break;
    case modeWrite: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
    case modeCreateNew: flags |= O_RDWR | O_CREAT | O_EXCL; break;
    case modeReadWrite: flags |= O_RDWR; break;
    }
    int fd;
    do {
        fd = ::open(path.c_str(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        failFromSystem();
    // A folder opens fine for reading on POSIX but is no file to us.
    struct stat st;
    if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        fail(CFileException::accessDenied);
    }
    m_handle = fd;
}

bool CFile::renameOpen(const std::string& newPath)
{
    if (!isOpen())
        return false;
    // The rename of an open file is a rename of its name, replacing nothing.
    if (::access(newPath.c_str(), F_OK) == 0 || ::rename(m_path.c_str(), newPath.c_str()) != 0)
        return false;
    m_path = newPath;
    return true;
}

void CFile::close()
{
    if (!isOpen())
        return;
    int fd = static_cast<int>(m_handle);
    m_handle = invalidHandle;
    m_part = Part();
    if (::close(fd) != 0 && errno != EINTR)
        failFromSystem();
}

void CFile::abortClose() noexcept
{
    if (isOpen()) {
        ::close(static_cast<int>(m_handle));
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
        std::size_t step = count - done;
        if (step > SSIZE_MAX)
            step = SSIZE_MAX;
        ssize_t n = ::read(static_cast<int>(m_handle), p + done, step);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            failFromSystem();
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
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
        std::size_t step = count - done;
        if (step > SSIZE_MAX)
            step = SSIZE_MAX;
        ssize_t n = ::write(static_cast<int>(m_handle), p + done, step);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            int cause = n < 0 ? CFileException::causeFromErrno(errno) : CFileException::diskFull;
            if (done != 0)
                ::lseek(static_cast<int>(m_handle), -static_cast<off_t>(done), SEEK_CUR);
            fail(cause);
        }
        done += static_cast<std::size_t>(n);
    }
}

std::uint64_t CFile::seekRaw(std::int64_t offset, SeekFrom from)
{
    if (!isOpen())
        fail(CFileException::invalidFile);
    int whence = from == fromBegin ? SEEK_SET : from == fromCurrent ? SEEK_CUR : SEEK_END;
    off_t r = ::lseek(static_cast<int>(m_handle), static_cast<off_t>(offset), whence);
    if (r < 0)
        fail(errno == EINVAL ? CFileException::badSeek : CFileException::causeFromErrno(errno));
    return static_cast<std::uint64_t>(r);
}

std::uint64_t CFile::positionRaw() const
{
    if (!isOpen())
        fail(CFileException::invalidFile);
    off_t r = ::lseek(static_cast<int>(m_handle), 0, SEEK_CUR);
    if (r < 0)
        failFromSystem();
    return static_cast<std::uint64_t>(r);
}

std::uint64_t CFile::lengthRaw() const
{
    if (!isOpen())
        fail(CFileException::invalidFile);
    struct stat st;
    if (fstat(static_cast<int>(m_handle), &st) != 0)
        failFromSystem();
    return static_cast<std::uint64_t>(st.st_size);
}

namespace {

// Leaves the access time alone and sets the modification time.
void lastWriteOnly(struct timespec times[2], std::uint32_t modified)
{
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(modified);
    times[1].tv_nsec = 0;
}

} // namespace

void CFile::setModified(std::uint32_t modified)
{
    if (!isOpen())
        fail(CFileException::invalidFile);
    struct timespec times[2];
    lastWriteOnly(times, modified);
    if (futimens(static_cast<int>(m_handle), times) != 0)
        failFromSystem();
}

void CFile::setAttributes(const std::string& path, unsigned attributes)
{
    // Only the read-only bit means something here.
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        throw CFileException(CFileException::causeFromErrno(errno), path);
    mode_t mode = st.st_mode & 07777;
    mode_t wanted = (attributes & attrReadOnly) ? (mode & ~static_cast<mode_t>(0222))
                                                : (mode | S_IWUSR);
    if (wanted != mode && chmod(path.c_str(), wanted) != 0)
        throw CFileException(CFileException::causeFromErrno(errno), path);
}

void CFile::setTimeAndAttributes(const std::string& path, std::uint32_t modified,
                                 unsigned attributes)
{
    struct timespec times[2];
    lastWriteOnly(times, modified);
    if (utimensat(AT_FDCWD, path.c_str(), times, 0) != 0)
        throw CFileException(CFileException::causeFromErrno(errno), path);
    setAttributes(path, attributes);
}

bool CFile::getStatus(const std::string& path, Status& status)
{
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    status.size = static_cast<std::uint64_t>(st.st_size);
    if (st.st_mtime < 0)
        status.modified = 0;
    else if (static_cast<std::uint64_t>(st.st_mtime) > UINT32_MAX)
        status.modified = UINT32_MAX;
    else
        status.modified = static_cast<std::uint32_t>(st.st_mtime);
    status.attributes = (st.st_mode & S_IWUSR) ? 0u : static_cast<unsigned>(attrReadOnly);
    return true;
}
