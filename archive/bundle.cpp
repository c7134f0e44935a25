#include "archive/bundle.h"

#include "platform/exception.h"
#include "platform/file.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <system_error>
#include <thread>

#include <zlib.h>
#include <cctype>

namespace {

std::uint32_t le32(const unsigned char* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint16_t le16(const unsigned char* p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

void put32(unsigned char* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// What the program's headers say about the file: where the program's own
// bytes end, and the two fields a signature changes.
struct ProgramLayout {
    bool program = false;
    std::uint64_t end = 0;               // past the last section (and symbols)
    std::uint64_t checksumField = 0;     // offset of the 4-byte header checksum
    std::uint64_t securityEntry = 0;     // offset of the 8-byte directory entry, or 0
    std::uint32_t certOffset = 0, certLength = 0;
};

// The headers lie in the first 64 KiB; anything else is not a program.
constexpr std::size_t kHeadSize = 65536;

ProgramLayout programLayout(CFile& file, std::uint64_t fileLength)
{
    ProgramLayout layout;
    std::vector<unsigned char> head(static_cast<std::size_t>(std::min<std::uint64_t>(fileLength, kHeadSize)));
    file.seek(0, CFile::fromBegin);
    if (file.read(head.data(), head.size()) != head.size() || head.size() < 0x40 || head[0] != 'M' ||
        head[1] != 'Z')
        return layout;
    std::uint64_t pe = le32(&head[0x3C]);
    if (pe + 24 > head.size() || std::memcmp(&head[pe], "PE\0\0", 4) != 0)
        return layout;
    std::uint64_t coff = pe + 4;
    std::uint16_t sections = le16(&head[coff + 2]);
    std::uint32_t symbols = le32(&head[coff + 8]);
    std::uint32_t symbolCount = le32(&head[coff + 12]);
    std::uint16_t optionalSize = le16(&head[coff + 16]);
    std::uint64_t optional = coff + 20;
    if (optional + optionalSize + 40ull * sections > head.size())
        return layout;
    std::uint16_t magic = optionalSize >= 2 ? le16(&head[optional]) : 0;
    if (magic != 0x10B && magic != 0x20B)
        return layout;
    // The fixed part of the optional header, up to its first directory.
    std::uint64_t directories = optional + (magic == 0x20B ? 112 : 96);
    if (directories > optional + optionalSize)
        return layout;
    std::uint32_t directoryCount = le32(&head[directories - 4]);
    layout.checksumField = optional + 64;
    if (directoryCount > 4 && directories + 5 * 8 <= optional + optionalSize) {
        layout.securityEntry = directories + 4 * 8;
        layout.certOffset = le32(&head[layout.securityEntry]);
        layout.certLength = le32(&head[layout.securityEntry + 4]);
    }
    for (std::uint16_t i = 0; i < sections; ++i) {
        const unsigned char* section = &head[optional + optionalSize + 40ull * i];
        layout.end = std::max<std::uint64_t>(layout.end, std::uint64_t(le32(section + 20)) + le32(section + 16));
    }
    // An unstripped program keeps its symbols and their names after the sections.
    if (symbols != 0) {
        std::uint64_t names = symbols + 18ull * symbolCount;
        unsigned char size[4] = {};
        if (names + 4 <= fileLength) {
            file.seek(static_cast<std::int64_t>(names), CFile::fromBegin);
            file.read(size, 4);
        }
        layout.end = std::max(layout.end, names + le32(size));
    }
    layout.program = true;
    return layout;
}

// The CRC-32 of the file's bytes from `begin` to `end` (zlib's: faster than
// the archive's own, and every byte of the download passes through it before
// the run starts), the fields signing changes read as zeros.
std::uint32_t checksumOf(CFile& file, std::uint64_t begin, std::uint64_t end, const ProgramLayout& layout)
{
    std::vector<unsigned char> buffer(1 << 20);
    std::uint32_t crc = 0;
    file.seek(static_cast<std::int64_t>(begin), CFile::fromBegin);
    for (std::uint64_t at = begin; at < end;) {
        std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), end - at));
        if (file.read(buffer.data(), want) != want)
            throw CFileException(CFileException::endOfFile, file.path());
        auto blank = [&](std::uint64_t field, std::size_t size) {
            for (std::uint64_t i = field; field != 0 && i < field + size; ++i)
                if (i >= at && i < at + want)
                    buffer[static_cast<std::size_t>(i - at)] = 0;
        };
        blank(layout.checksumField, 4);
        blank(layout.securityEntry, 8);
        crc = static_cast<std::uint32_t>(crc32(crc, buffer.data(), static_cast<uInt>(want)));
        at += want;
    }
    return crc;
}

// The same from the start to `end` of a file open for reading only; a large
// one in two halves at once, the second on a thread and a handle of its
// own, joined by zlib's rule for the checksum of two stretches in a row.
std::uint32_t checksumInHalves(CFile& file, std::uint64_t end, const ProgramLayout& layout)
{
    const std::uint64_t kAlone = 4 << 20;
    std::uint64_t second = end / 2;
    // zlib's length of the second stretch is a long: 32 bits on Windows.
    if (end < kAlone || second > 0x7FFFFFFF)
        return checksumOf(file, 0, end, layout);
    std::uint64_t half = end - second;
    std::uint32_t secondCrc = 0;
    std::exception_ptr failed;
    std::thread helper;
    try {
        helper = std::thread([&] {
            try {
                CFile other(file.path(), CFile::modeRead);
                secondCrc = checksumOf(other, half, end, layout);
            } catch (...) {
                failed = std::current_exception();
            }
        });
    } catch (const std::system_error&) {
        // No thread to be had: the whole file in one pass.
        return checksumOf(file, 0, end, layout);
    }
    std::uint32_t firstCrc = 0;
    try {
        firstCrc = checksumOf(file, 0, half, layout);
    } catch (...) {
        helper.join();
        throw;
    }
    helper.join();
    if (failed)
        std::rethrow_exception(failed);
    return static_cast<std::uint32_t>(crc32_combine(firstCrc, secondCrc, static_cast<z_off_t>(second)));
}

bool allZero(const unsigned char* p, std::size_t n)
{
    return std::all_of(p, p + n, [](unsigned char c) { return c == 0; });
}

} // namespace

constexpr char CBundle::magic[9];

CBundle::Kind CBundle::Read(const std::string& path)
{
    m_path = path;
    m_parts.clear();
    m_active = false;
    CFile file;
    std::uint64_t length = 0;
    ProgramLayout layout;
    try {
        file.open(path, CFile::modeRead);
        length = file.length();
        layout = programLayout(file, length);
    } catch (const CFileException&) {
        return plainProgram;
    }
    if (!layout.program)
        return plainProgram;
    // A signature lies after everything else; where it begins, the data ends.
    std::uint64_t dataEnd = length;
    if (layout.certOffset != 0 && layout.certOffset >= layout.end)
        dataEnd = layout.certOffset;
    const std::uint64_t aligned = (layout.end + 7) / 8 * 8;
    // A signature cut short is a file cut short.
    if (dataEnd != length && std::uint64_t(layout.certOffset) + layout.certLength != length)
        return damaged;
    if (dataEnd <= aligned)
        return plainProgram;
    if (dataEnd < layout.end + trailerSize)
        return damaged;

    try {
        // Signing may pad the data to eight bytes before the signature.
        unsigned char tail[trailerSize + 8] = {};
        std::size_t tailSize = static_cast<std::size_t>(std::min<std::uint64_t>(sizeof tail, dataEnd - layout.end));
        file.seek(static_cast<std::int64_t>(dataEnd - tailSize), CFile::fromBegin);
        if (file.read(tail, tailSize) != tailSize)
            return damaged;
        std::uint64_t trailerAt = 0;
        for (std::size_t pad = 0; pad < 8 && pad + trailerSize <= tailSize; ++pad) {
            const unsigned char* t = tail + tailSize - pad - trailerSize;
            if (std::memcmp(t, magic, 8) == 0 && allZero(t + trailerSize, pad)) {
                trailerAt = dataEnd - pad - trailerSize;
                break;
            }
        }
        if (trailerAt == 0)
            return damaged;
        const unsigned char* t = tail + (trailerAt - (dataEnd - tailSize));
        std::uint32_t tableAt = le32(t + 8), count = le32(t + 12), programEnd = le32(t + 16),
                      trailerEnd = le32(t + 20), sealed = le32(t + 28);
        if (programEnd != layout.end || trailerEnd != trailerAt + trailerSize || tableAt < programEnd ||
            tableAt > trailerAt || (trailerAt - tableAt) / CBundlePart::size != count ||
            (trailerAt - tableAt) % CBundlePart::size != 0)
            return damaged;
        if (checksumInHalves(file, trailerAt + trailerSize - 4, layout) != sealed)
            return damaged;

        std::vector<unsigned char> table(static_cast<std::size_t>(trailerAt - tableAt));
        file.seek(tableAt, CFile::fromBegin);
        if (file.read(table.data(), table.size()) != table.size())
            return damaged;
        for (std::uint32_t i = 0; i < count; ++i) {
            const unsigned char* r = &table[i * CBundlePart::size];
            CBundlePart part;
            const char* name = reinterpret_cast<const char*>(r);
            part.name.assign(name, strnlen(name, CBundlePart::nameSize));
            part.offset = le32(r + 16);
            part.length = le32(r + 20);
            part.modified = le32(r + 24);
            part.attributes = le32(r + 28);
            if (part.name.empty() || part.name.size() >= CBundlePart::nameSize || part.offset < programEnd ||
                part.offset > tableAt || part.length > tableAt - part.offset)
                return damaged;
            m_parts.push_back(part);
        }
    } catch (const CFileException&) {
        m_parts.clear();
        return damaged;
    }
    m_active = true;
    return whole;
}

const CBundlePart* CBundle::Find(const std::string& name) const
{
    auto same = [](const std::string& a, const std::string& b) {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                   return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
               });
    };
    for (const CBundlePart& part : m_parts)
        if (same(part.name, name))
            return &part;
    return nullptr;
}

std::string CBundle::ReadPart(const CBundlePart& part) const
{
    CFile file;
    file.openPart(m_path, part.offset, part.length);
    std::string bytes(part.length, '\0');
    if (file.read(&bytes[0], bytes.size()) != bytes.size())
        throw CFileException(CFileException::endOfFile, m_path);
    return bytes;
}

CBundleWriter::CBundleWriter(const std::string& path, const std::string& program) : m_path(path)
{
    CFile source(program, CFile::modeRead);
    ProgramLayout layout = programLayout(source, source.length());
    if (!layout.program)
        throw CFileException(CFileException::invalidFile, program);
    // The program alone: a signature it carries would sit in the middle of
    // the download, which is signed as a whole.
    std::vector<unsigned char> bytes(static_cast<std::size_t>(layout.end));
    source.seek(0, CFile::fromBegin);
    if (source.read(bytes.data(), bytes.size()) != bytes.size())
        throw CFileException(CFileException::endOfFile, program);
    if (layout.securityEntry != 0)
        std::fill_n(&bytes[static_cast<std::size_t>(layout.securityEntry)], 8, 0);
    m_file = std::make_unique<CFile>(path, CFile::modeWrite);
    m_file->write(bytes.data(), bytes.size());
    m_length = bytes.size();
    m_programEnd = layout.end;
    m_checksumField = layout.checksumField;
    m_securityEntry = layout.securityEntry;
}

CBundleWriter::~CBundleWriter() = default;

void CBundleWriter::Add(const std::string& name, const void* data, std::size_t length, std::uint32_t modified,
                        std::uint32_t attributes)
{
    if (name.empty() || name.size() >= CBundlePart::nameSize)
        throw CFileException(CFileException::badPath, name);
    if (m_length + length > 0xFFFFFFFFull - 1024 * 1024)
        throw CFileException(CFileException::diskFull, m_path);
    m_file->write(data, length);
    m_parts.push_back({name, static_cast<std::uint32_t>(m_length), static_cast<std::uint32_t>(length), modified,
                       attributes});
    m_length += length;
}

void CBundleWriter::Finish()
{
    // The end lands on eight bytes, so that a signature needs no padding.
    static const unsigned char zeros[8] = {};
    std::size_t pad = static_cast<std::size_t>((8 - m_length % 8) % 8);
    m_file->write(zeros, pad);
    std::uint64_t tableAt = m_length + pad;
    std::vector<unsigned char> tail(m_parts.size() * CBundlePart::size + CBundle::trailerSize, 0);
    for (std::size_t i = 0; i < m_parts.size(); ++i) {
        unsigned char* r = &tail[i * CBundlePart::size];
        std::memcpy(r, m_parts[i].name.data(), m_parts[i].name.size());
        put32(r + 16, m_parts[i].offset);
        put32(r + 20, m_parts[i].length);
        put32(r + 24, m_parts[i].modified);
        put32(r + 28, m_parts[i].attributes);
    }
    unsigned char* t = &tail[m_parts.size() * CBundlePart::size];
    std::memcpy(t, CBundle::magic, 8);
    std::uint64_t trailerAt = tableAt + m_parts.size() * CBundlePart::size;
    ProgramLayout layout;
    layout.end = m_programEnd;
    layout.checksumField = m_checksumField;
    layout.securityEntry = m_securityEntry;
    put32(t + 8, static_cast<std::uint32_t>(tableAt));
    put32(t + 12, static_cast<std::uint32_t>(m_parts.size()));
    put32(t + 16, static_cast<std::uint32_t>(layout.end));
    put32(t + 20, static_cast<std::uint32_t>(trailerAt + CBundle::trailerSize));
    m_file->write(tail.data(), tail.size() - 4);
    m_file->close();
    CFile written(m_path, CFile::modeReadWrite);
    std::uint32_t crc = checksumOf(written, 0, trailerAt + CBundle::trailerSize - 4, layout);
    unsigned char sealed[4];
    put32(sealed, crc);
    written.seek(0, CFile::fromEnd);
    written.write(sealed, 4);
    written.close();
}
