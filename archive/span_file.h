// A file that counts what passes through it: running totals, the archive
// checksum of every byte read or written, progress ticks every blockSize
// bytes read, and a volume capacity with a hook at the end of each volume.
#pragma once

#include "platform/file.h"

#include <cstddef>
#include <cstdint>

class CSpanFile : public CFile {
public:
    CSpanFile() = default;

    // Counted read: may cross into the next volume through endOfVolume.
    std::size_t read(void* buffer, std::size_t count) override;
    // Counted write in chunks that never pass volumeCapacity.
    void write(const void* buffer, std::size_t count) override;

    // Straight to the file: no totals, no checksum, no hooks.
    std::size_t rawRead(void* buffer, std::size_t count) { return CFile::read(buffer, count); }
    void rawWrite(const void* buffer, std::size_t count) { CFile::write(buffer, count); }

    // Called when a read finds the end of the volume file or the capacity is
    // used up; true stops the read there. Overrides may open the next volume
    // and return false to go on reading from it.
    virtual bool endOfVolume() { return true; }
    // Called after every blockSize bytes read.
    virtual void blockDone() {}

    std::uint32_t bytesRead = 0;
    std::uint32_t bytesWritten = 0;
    std::uint32_t crc = 0;                    // ArchiveCrc register
    bool checksumReads = true;                // false: crc sees only what is written
    bool checksumWrites = true;               // false: writeChunk's override keeps crc
    std::uint32_t blockSize = 0;              // 0: no ticks
    std::uint32_t volumeCapacity = 2147483647;

protected:
    // Asked when a write fails because the disk is full; true tries the same
    // chunk again. The installer never retries.
    virtual bool retryDiskFull() { return false; }
    // Where the counted write sends each chunk; an override may gather them.
    virtual void writeChunk(const void* buffer, std::size_t count) { writeThrough(buffer, count); }
    // The chunk to the file, asking the retry hook when the disk is full.
    void writeThrough(const void* buffer, std::size_t count);
};
