// The framework's file: one owning handle, binary I/O, and the few status
// calls the archive reader and the copy engine need. Portable: the Win32
// backend lives in file_win32.cpp, the POSIX one in file_posix.cpp. Every
// failure throws CFileException with its cause and the path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Where a file's bytes are read from: a whole file, or length bytes of one
// from offset (a part of the one-file distribution).
struct CFilePart {
    static constexpr std::uint64_t whole = ~std::uint64_t(0);
    std::string path;
    std::uint64_t offset = 0;
    std::uint64_t length = whole;
};

class CFile {
public:
    enum OpenMode {
        modeRead,        // existing file, read only; others may read and write it
        modeWrite,       // create or truncate, read and write, not shared
        modeCreateNew,   // create, failing when the file exists; read and write, not shared
        modeReadWrite    // existing file, read and write, not shared
    };
    enum SeekFrom { fromBegin, fromCurrent, fromEnd };

    // Last-write time and the Windows attribute bits of a file on disk.
    struct Status {
        std::uint64_t size = 0;
        std::uint32_t modified = 0;   // seconds since 1970-01-01 00:00 UTC
        unsigned attributes = 0;      // read-only 0x01, hidden 0x02, system 0x04, archive 0x20
    };
    enum Attribute : unsigned {
        attrReadOnly = 0x01, attrHidden = 0x02, attrSystem = 0x04, attrArchive = 0x20
    };

    CFile() = default;
    CFile(const std::string& path, OpenMode mode) { open(path, mode); }
    virtual ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Opens path; a file still open is closed first (errors ignored).
    void open(const std::string& path, OpenMode mode);
    // Opens length bytes of path from offset for reading, as a file of
    // their own: positions count from offset and reads end at its last
    // byte (the parts of the one-file distribution). endOfFile when the
    // file is shorter.
    void openPart(const std::string& path, std::uint64_t offset, std::uint64_t length);
    // Opens a whole file or a part of one for reading.
    void open(const CFilePart& part);
    bool isOpen() const { return m_handle != invalidHandle; }
    // Closes and reports a failure to flush; closing a closed file does nothing.
    void close();
    // Closes without reporting anything: for unwinding.
    void abortClose() noexcept;

    // Reads up to count bytes; fewer only at the end of the file.
    virtual std::size_t read(void* buffer, std::size_t count);
    // Writes all count bytes or throws (diskFull when the medium is full);
    // a failed write leaves the position where it was before the call.
    virtual void write(const void* buffer, std::size_t count);

    std::uint64_t seek(std::int64_t offset, SeekFrom from);
    std::uint64_t position() const;
    std::uint64_t length() const;
    // Where an open part begins in its file (0 for a whole file).
    std::uint64_t partOffset() const { return m_part.begin; }

    // The path the file was opened with (kept after close for messages).
    const std::string& path() const { return m_path; }

    // Gives this open file another name in the same folder, replacing
    // nothing; false (the file still open under its old name) when the
    // system can't or won't. Done through the handle: one call where a
    // rename by path opens the file again.
    bool renameOpen(const std::string& newPath);

    // Gives this open file its last-write time (as setTimeAndAttributes
    // does), without opening it again.
    void setModified(std::uint32_t modified);
    // Gives a closed file its attribute bits, touching it only when they
    // differ from what a newly written file has (the archive bit alone).
    static void setAttributes(const std::string& path, unsigned attributes);

    // Gives a closed file its last-write time (creation and access times stay)
    // and its attribute bits. On POSIX only the time and the read-only bit
    // (as the absence of write permission) have a meaning.
    static void setTimeAndAttributes(const std::string& path, std::uint32_t modified,
                                     unsigned attributes);
    // False when the file does not exist or can't be examined.
    static bool getStatus(const std::string& path, Status& status);

private:
    static constexpr std::intptr_t invalidHandle = -1;
    // The backend's calls on the whole file.
    std::size_t readRaw(void* buffer, std::size_t count);
    std::uint64_t seekRaw(std::int64_t offset, SeekFrom from);
    std::uint64_t positionRaw() const;
    std::uint64_t lengthRaw() const;
    // The stretch of the file an openPart opened; whole otherwise.
    struct Part {
        bool active = false;
        std::uint64_t begin = 0, end = 0;
        std::uint64_t at = 0;   // the file position, kept so a read asks nothing more
    };

    [[noreturn]] void fail(int cause) const;
    [[noreturn]] void failFromSystem() const;

    std::intptr_t m_handle = invalidHandle;   // HANDLE on Win32, descriptor on POSIX
    std::string m_path;
    Part m_part;
};
