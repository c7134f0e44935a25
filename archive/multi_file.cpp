#include "archive/multi_file.h"

#include "archive/archive_crc.h"
#include "archive/block_writer.h"
#include "archive/codec.h"
#include "errors/x_exception.h"
#include "platform/exception.h"

#include <algorithm>

// Marks a member's data as being read, with its codec if it is decoded, for
// as long as the scope lasts.
class CMultiFile::ActiveMember {
public:
    ActiveMember(CMultiFile& archive, CCodec* codec) : m_archive(archive)
    {
        archive.m_memberActive = true;
        archive.m_codec = codec;
    }
    ~ActiveMember()
    {
        m_archive.m_memberActive = false;
        m_archive.m_codec = nullptr;
    }
    ActiveMember(const ActiveMember&) = delete;
    ActiveMember& operator=(const ActiveMember&) = delete;

private:
    CMultiFile& m_archive;
};

namespace {
const std::size_t kGatherSize = 65536;
}

void CMultiFileEntry::startGathering(CBlockWriter* writer)
{
    m_gathered.clear();
    m_gathered.reserve(kGatherSize);
    m_gathering = true;
    m_writer = writer;
    m_handedOver = false;
    m_writeError = nullptr;
    m_finishWhenWritten = false;
    checksumWrites = false;
}

void CMultiFileEntry::writeGathered(const unsigned char* data, std::size_t size)
{
    crc = ArchiveCrc::update(crc, data, size);
    writeThrough(data, size);
}

void CMultiFileEntry::handOver()
{
    m_handedOver = true;
    // A failed write is this member's: kept with it, and its later blocks
    // are not written.
    m_lastTicket = m_writer->submit(
        [this](const unsigned char* data, std::size_t size) {
            if (m_writeError)
                return;
            try {
                writeGathered(data, size);
            } catch (...) {
                m_writeError = std::current_exception();
            }
        },
        m_gathered);
    m_gathered.reserve(kGatherSize);
}

void CMultiFileEntry::writeChunk(const void* buffer, std::size_t count)
{
    if (!m_gathering) {
        writeThrough(buffer, count);
        return;
    }
    // A chunk as large as a gathered one goes out as it is, without a copy,
    // when there is no writer thread to hand it to.
    if (!m_writer && m_gathered.empty() && count >= kGatherSize) {
        writeGathered(static_cast<const unsigned char*>(buffer), count);
        return;
    }
    auto* p = static_cast<const unsigned char*>(buffer);
    m_gathered.insert(m_gathered.end(), p, p + count);
    if (m_gathered.size() < kGatherSize)
        return;
    if (m_writer) {
        handOver();
    } else {
        writeGathered(m_gathered.data(), m_gathered.size());
        m_gathered.clear();
    }
}

void CMultiFileEntry::flushGathered()
{
    // A member that fits one block is written here at once: handing it
    // over would cost more than it saves.
    if (m_handedOver) {
        if (!m_gathered.empty())
            handOver();
        m_gathering = false;
        // Left to go on while the next member is decoded.
        if (writeBehind && keepOpen)
            return;
        completeWrites();
    } else if (!m_gathered.empty()) {
        writeGathered(m_gathered.data(), m_gathered.size());
    }
    dropGathered();
}

bool CMultiFileEntry::writesInFlight() const
{
    return m_handedOver;
}

void CMultiFileEntry::completeWrites()
{
    if (!m_handedOver)
        return;
    m_writer->waitFor(m_lastTicket);
    std::exception_ptr error = m_writeError;
    bool finish = m_finishWhenWritten;
    m_finishWhenWritten = false;
    dropGathered();
    if (error)
        std::rethrow_exception(error);
    if (!finish)
        return;
    if (header.crc != 0 && header.crc != crc)
        throw CMultiFileException(kMultiFileBadCrc);
    setModified(header.modified);
}

void CMultiFileEntry::dropGathered() noexcept
{
    // The writer thread is done with the file before anyone closes it.
    if (m_handedOver)
        m_writer->waitFor(m_lastTicket);
    m_gathered.clear();
    m_gathering = false;
    m_handedOver = false;
    m_writer = nullptr;
    m_writeError = nullptr;
    checksumWrites = true;
}

CMultiFileEntry::~CMultiFileEntry()
{
    dropGathered();
}

CMultiFile::CMultiFile()
{
    blockSize = 4096;
    // Each member's contents are checked; a checksum of the packed bytes
    // read would cost a third as much again and nobody looks at it.
    checksumReads = false;
}

CMultiFile::~CMultiFile() = default;

void CMultiFile::open(const CFilePart& part)
{
    CFile::open(part);
    unsigned char header[VolumeHeader::size];
    if (rawRead(header, sizeof header) < sizeof header)
        throw CFileException(CFileException::endOfFile, part.path);
    if (!VolumeHeader::isValid(header))
        throw CMultiFileException(kMultiFileNoVolumeHeader);
    firstEntryOffset = static_cast<std::uint32_t>(position());
}

void CMultiFile::openPlain(const CFilePart& part)
{
    CFile::open(part);
    firstEntryOffset = 0;
}

std::unique_ptr<CMultiFileEntry> CMultiFile::createEntry() const
{
    return std::make_unique<CMultiFileEntry>();
}

std::unique_ptr<CCodec> CMultiFile::createCodec(std::uint32_t method, std::uint32_t parameter)
{
    return ::createCodec(method, parameter);
}

std::uint32_t CMultiFile::pendingData() const
{
    std::uint32_t consumed = bytesRead - m_dataStart;
    return consumed < m_member.storedSize ? m_member.storedSize - consumed : 0;
}

bool CMultiFile::nextEntry(CMultiFileEntry& entry, bool reposition)
{
    if (entry.headerOffset == 0)
        entry.headerOffset = firstEntryOffset;
    if (reposition) {
        if (!isOpen())
            return false;
        seek(entry.headerOffset, fromBegin);
    } else if (std::uint32_t rest = pendingData()) {
        // Data of the previous member that nobody read: the next header is behind it.
        ActiveMember active(*this, nullptr);
        passOver(rest);
    }
    m_member.storedSize = 0;
    if (!isOpen())
        return false;

    unsigned char raw[EntryHeader::size];
    if (rawRead(raw, sizeof raw) < sizeof raw)
        return false;
    EntryHeader header;
    header.parse(raw);
    if (!header.hasValidMagic())
        throw CMultiFileException(kMultiFileNoEntryHeader);

    entry.header = header;
    entry.name = header.nameString();
    entry.text = header.textString();
    entry.headerOffset += static_cast<std::uint32_t>(EntryHeader::size) + header.storedSize;
    m_member = header;
    m_dataStart = bytesRead;
    return true;
}

void CMultiFile::passOver(std::uint32_t count)
{
    while (count != 0 && isOpen()) {
        std::uint64_t here = position();
        std::uint64_t end = length();
        std::uint32_t step = static_cast<std::uint32_t>(std::min<std::uint64_t>(end > here ? end - here : 0, count));
        if (step != 0) {
            seek(step, fromCurrent);
            bytesRead += step;
            count -= step;
        }
        // The rest lies in the next volume, if the member runs on at all.
        if (count != 0 && endOfVolume())
            return;
    }
}

void CMultiFile::skip(CMultiFileEntry&)
{
    ActiveMember active(*this, nullptr);
    passOver(pendingData());
}

void CMultiFile::abort()
{
    if (m_codec)
        m_codec->abort();
}

namespace {

// An output that keeps nothing but its counters and checksum.
class CDiscardingOutput : public CSpanFile {
public:
    void write(const void* buffer, std::size_t count) override
    {
        crc = ArchiveCrc::update(crc, buffer, count);
        bytesWritten += static_cast<std::uint32_t>(count);
    }
};

} // namespace

CMultiFile::DecodeResult CMultiFile::decodeMember(const EntryHeader& h, CSpanFile& output)
{
    std::unique_ptr<CCodec> codec = createCodec(h.method, h.methodParameter);
    if (!codec)
        throw CMultiFileException(kMultiFileUnknownMethod);
    output.bytesWritten = 0;
    output.crc = 0;
    output.volumeCapacity = 0xFFFFFFFFu;   // a member may use its full 32-bit size
    m_member = h;
    m_dataStart = bytesRead;
    ActiveMember active(*this, codec.get());
    codec->decodeRun(*this, output, h.storedSize, h.unpackedSize);
    // Whatever the codec consumed, the next header lies storedSize bytes
    // after the start of this member's data.
    passOver(pendingData());
    return {codec->wasAborted(), codec->lengthMismatch()};
}

void CMultiFile::checkDecoded(const EntryHeader& h, const CSpanFile& output, DecodeResult result,
                              bool checksum)
{
    if (result.aborted)
        throw CUserException();
    if (checksum && h.crc != 0 && h.crc != output.crc)
        throw CMultiFileException(kMultiFileBadCrc);
    if (result.lengthMismatch)
        throw CMultiFileException(kMultiFileDamaged);
}

void CMultiFile::extract(CMultiFileEntry& entry)
{
    const EntryHeader& h = entry.header;
    // Asked before anything is created, so an unknown method leaves no file behind.
    if (!createCodec(h.method, h.methodParameter))
        throw CMultiFileException(kMultiFileUnknownMethod);

    // A fresh name is the caller's promise; never overwrite what is there.
    entry.open(entry.outputPath, modeCreateNew);
    DecodeResult result;
    try {
        if (!m_writer)
            m_writer = std::make_unique<CBlockWriter>();
        entry.startGathering(m_writer.get());
        result = decodeMember(h, entry);
        entry.flushGathered();
    } catch (...) {
        entry.dropGathered();
        entry.abortClose();
        throw;
    }
    // Dated through the open handle: one call less per member than
    // opening the file again; when the last writes are still going on, by
    // completeWrites, after them.
    try {
        bool inFlight = entry.writesInFlight();
        if (inFlight)
            entry.m_finishWhenWritten = true;
        else
            entry.setModified(h.modified);
        if (entry.keepOpen) {
            checkDecoded(h, entry, result, !inFlight);
            return;
        }
    } catch (...) {
        entry.dropGathered();
        entry.abortClose();
        throw;
    }
    entry.close();
    CFile::setAttributes(entry.outputPath, h.attributes & 0xFF);
    checkDecoded(h, entry, result);
}

void CMultiFile::test(CMultiFileEntry& entry)
{
    CDiscardingOutput sink;
    checkDecoded(entry.header, sink, decodeMember(entry.header, sink));
}

bool CMultiFile::moveToNextVolume(const VolumeLocator& locate)
{
    std::string current = path();
    close();
    const EntryHeader* member = activeMember();
    if (!member || !member->continued)
        return true;
    std::size_t cut = current.find_last_of("\\/");
    std::string folder = cut == std::string::npos ? std::string() : current.substr(0, cut + 1);
    std::string next = locate(folder, nextVolumeName(current.substr(folder.size())));
    if (next.empty())
        return true;
    open(next);
    return false;
}

std::string CMultiFile::nextVolumeName(const std::string& fileName)
{
    if (fileName.empty() || static_cast<unsigned char>(fileName.back()) == 0xFF)
        throw CFileException(CFileException::badPath, fileName);
    std::string next = fileName;
    next.back() = static_cast<char>(static_cast<unsigned char>(next.back()) + 1);
    return next;
}
