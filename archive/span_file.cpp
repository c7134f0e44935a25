#include "archive/span_file.h"

#include "archive/archive_crc.h"
#include "platform/exception.h"

#include <algorithm>

std::size_t CSpanFile::read(void* buffer, std::size_t count)
{
    auto* p = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        // An endOfVolume override may have closed the volume for good: the
        // data ends there.
        if (!isOpen())
            break;
        std::size_t room = volumeCapacity > bytesRead ? volumeCapacity - bytesRead : 0;
        if (room == 0) {
            // The capacity counts since the object was made: with no room left
            // no read could make progress, so stop whatever the hook says.
            endOfVolume();
            break;
        }
        // One read for as much as fits: a read per block cost a system
        // call every 4 KiB. The blocks it passed tick after it.
        std::size_t chunk = std::min(count - done, room);
        std::size_t n = rawRead(p + done, chunk);
        std::uint32_t before = bytesRead;
        done += n;
        bytesRead += static_cast<std::uint32_t>(n);
        if (blockSize != 0)
            for (std::uint32_t ticks = bytesRead / blockSize - before / blockSize; ticks != 0; --ticks)
                blockDone();
        if (volumeCapacity == bytesRead && endOfVolume())
            break;
        if (n < chunk && endOfVolume())
            break;
    }
    if (checksumReads)
        crc = ArchiveCrc::update(crc, p, done);
    return done;
}

void CSpanFile::write(const void* buffer, std::size_t count)
{
    auto* p = static_cast<const unsigned char*>(buffer);
    if (checksumWrites)
        crc = ArchiveCrc::update(crc, p, count);
    std::size_t done = 0;
    while (done < count) {
        std::size_t room = volumeCapacity > bytesWritten ? volumeCapacity - bytesWritten : 0;
        // The hook had its chance to start a new volume when the last one
        // filled up; if it didn't, the volume is full.
        if (room == 0)
            throw CFileException(CFileException::diskFull, path());
        std::size_t chunk = std::min(count - done, room);
        writeChunk(p + done, chunk);
        done += chunk;
        bytesWritten += static_cast<std::uint32_t>(chunk);
        if (bytesWritten == volumeCapacity)
            endOfVolume();
    }
}

void CSpanFile::writeThrough(const void* buffer, std::size_t count)
{
    // A failed write leaves the position where it was, so a retry writes the
    // whole chunk again over its partial first attempt.
    for (;;) {
        try {
            rawWrite(buffer, count);
            return;
        } catch (const CFileException& e) {
            if (e.cause != CFileException::diskFull || !retryDiskFull())
                throw;
        }
    }
}
