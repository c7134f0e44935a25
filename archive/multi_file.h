// Reader of the multi-file archive: a chain of volume files, each starting
// with a VolumeHeader, holding members (an EntryHeader, then storedSize bytes
// of data) back to back. A member may run on into the next volume; moving
// there is the business of an endOfVolume override (the copy engine's asks
// for the next disk). The member list ends where a volume file ends.
#pragma once

#include "archive/entry_header.h"
#include "archive/span_file.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CBlockWriter;
class CCodec;
class CMultiFile;

// One member. During extraction the entry is itself the output file, so its
// crc and bytesWritten describe what was written.
class CMultiFileEntry : public CSpanFile {
public:
    CMultiFileEntry() = default;

    EntryHeader header;
    std::string name;            // the header's name field up to its NUL
    std::string text;            // the header's text field up to its NUL
    // Offset of the header to read next in the volume: firstEntryOffset at
    // the start, moved on by 346 + storedSize with every header read. It adds
    // up within one volume file only.
    std::uint32_t headerOffset = 0;
    std::string outputPath;      // where extract writes the member
    // extract leaves the output open once it is written, dated and
    // checked, for the caller to name and close (attributes are then the
    // caller's too).
    bool keepOpen = false;
    // With keepOpen: extract may return while the writer thread still
    // writes the member's last blocks, so that the next member is decoded
    // meanwhile. The caller then calls completeWrites before it closes,
    // names or reads the file.
    bool writeBehind = false;
    bool writesInFlight() const;
    // Waits for the member's writes, checks its checksum and dates the
    // file; raises a write's failure or a checksum mismatch. Does nothing
    // when nothing is in flight.
    void completeWrites();

    ~CMultiFileEntry() override;

protected:
    void writeChunk(const void* buffer, std::size_t count) override;

private:
    friend class CMultiFile;
    // While extract runs, the codec's smaller blocks are gathered into
    // larger writes; counters still see every block at once, the checksum
    // each gathered block as it is written. A member of more than one
    // gathered block has its writes, and its checksum, done by the writer
    // thread while the next block is decoded.
    void startGathering(CBlockWriter* writer);
    void flushGathered();
    void dropGathered() noexcept;
    void handOver();
    void writeGathered(const unsigned char* data, std::size_t size);

    std::vector<unsigned char> m_gathered;
    bool m_gathering = false;
    CBlockWriter* m_writer = nullptr;
    bool m_handedOver = false;
    std::uint64_t m_lastTicket = 0;
    // The first failed write of this member, from the writer thread; read
    // once its blocks are waited for.
    std::exception_ptr m_writeError;
    // Whether extract left the header's checksum and time to completeWrites.
    bool m_finishWhenWritten = false;
};

class CMultiFile : public CSpanFile {
public:
    CMultiFile();
    ~CMultiFile() override;

    // Opens a volume file for reading and checks its header; counters carry on,
    // so an endOfVolume override uses this to continue in the next volume.
    void open(const std::string& path) { open(CFilePart{path}); }
    void open(const CFilePart& part);
    // Opens a file that has no volume header (a plain file placed as a
    // made-up stored member by the copy engine).
    void openPlain(const std::string& path) { openPlain(CFilePart{path}); }
    void openPlain(const CFilePart& part);

    // Reads the next entry header into entry; false when the list has ended.
    // Without reposition, data of the previous member that nobody consumed is
    // passed over first, so the read starts at the next header.
    bool nextEntry(CMultiFileEntry& entry, bool reposition = false);
    std::unique_ptr<CMultiFileEntry> createEntry() const;

    // Decodes entry into entry.outputPath, which must not exist yet.
    void extract(CMultiFileEntry& entry);
    // Decodes entry and checks it as extract does, keeping nothing.
    void test(CMultiFileEntry& entry);
    // Passes over the entry's stored data, across volumes if need be.
    void skip(CMultiFileEntry& entry);
    // Asks the running codec to stop once the current member is complete.
    void abort();

    // The header of the member whose data is being read (by extract, skip or
    // the pass-over in nextEntry), else null: an endOfVolume override looks at
    // its `continued` field to know whether the data goes on.
    const EntryHeader* activeMember() const { return m_memberActive ? &m_member : nullptr; }
    // The next volume's file name: the last character raised by one.
    static std::string nextVolumeName(const std::string& fileName);

    std::uint32_t firstEntryOffset = VolumeHeader::size;

protected:
    // Where the next volume of a chain is: given the folder of the volume
    // just read (with its closing separator, or empty) and the next volume's
    // file name, its path; empty when there is none to go on with.
    using VolumeLocator =
        std::function<std::string(const std::string& folder, const std::string& nextName)>;
    // The walk every reader of a chain shares, for its endOfVolume override:
    // closes the volume and, when the member being read runs on, opens the
    // next one where locate finds it. What endOfVolume returns: true when
    // the data ends here.
    bool moveToNextVolume(const VolumeLocator& locate);

    // The codec factory; an override may add methods.
    virtual std::unique_ptr<CCodec> createCodec(std::uint32_t method, std::uint32_t parameter);

private:
    class ActiveMember;
    struct DecodeResult {
        bool aborted;
        bool lengthMismatch;
    };
    DecodeResult decodeMember(const EntryHeader& header, CSpanFile& output);
    // Without checksum, all but the checksum: that of a member whose last
    // writes go on is checked by completeWrites.
    static void checkDecoded(const EntryHeader& header, const CSpanFile& output, DecodeResult result,
                             bool checksum = true);
    std::uint32_t pendingData() const;
    void passOver(std::uint32_t count);

    CCodec* m_codec = nullptr;
    // Writes extracted members on a second thread; made with the first
    // member that needs it.
    std::unique_ptr<CBlockWriter> m_writer;
    // The member last read (or being extracted) and where its data lies:
    // it began when bytesRead was m_dataStart and is m_member.storedSize long.
    EntryHeader m_member;
    bool m_memberActive = false;
    std::uint32_t m_dataStart = 0;
};
