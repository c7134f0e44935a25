#include "archive_fixture.h"

#include "archive/archive_crc.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <zlib.h>

namespace fs = std::filesystem;

Bytes bytesOf(const std::string& s)
{
    return Bytes(s.begin(), s.end());
}

Bytes sampleContents(std::size_t size, unsigned seed)
{
    static const char* const words[] = {"corrector ", "gramatical ", "de ", "la ", "llengua ",
                                        "catalana ", "\r\n", "0x3E105F31 ", "diccionari ", "verb "};
    std::mt19937 rng(seed);
    Bytes out;
    out.reserve(size);
    while (out.size() < size) {
        const char* w = words[rng() % 10];
        for (const char* p = w; *p && out.size() < size; ++p)
            out.push_back(static_cast<unsigned char>(*p));
        if (rng() % 7 == 0 && out.size() < size)
            out.push_back(static_cast<unsigned char>(rng()));
    }
    return out;
}

Bytes noiseContents(std::size_t size, unsigned seed)
{
    std::mt19937 rng(seed);
    Bytes out(size);
    for (auto& b : out)
        b = static_cast<unsigned char>(rng());
    return out;
}

Bytes zlibCompress(const Bytes& data, int level)
{
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    Bytes out(size);
    if (compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), level) != Z_OK)
        throw std::runtime_error("compress2 failed");
    out.resize(size);
    return out;
}

Bytes readWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeWholeFile(const std::string& path, const Bytes& data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

bool fileExists(const std::string& path)
{
    std::error_code ec;
    return fs::exists(path, ec);
}

TestMember storedMember(const std::string& name, const Bytes& contents)
{
    TestMember m;
    m.header.setName(name);
    m.header.method = EntryHeader::methodStored;
    m.header.unpackedSize = static_cast<std::uint32_t>(contents.size());
    m.header.storedSize = static_cast<std::uint32_t>(contents.size());
    m.header.crc = ArchiveCrc::of(contents.data(), contents.size());
    m.header.modified = 946684800;   // 2000-01-01
    m.stored = contents;
    return m;
}

TestMember zlibMember(const std::string& name, const Bytes& contents, int level)
{
    TestMember m = storedMember(name, contents);
    m.header.method = EntryHeader::methodZLib;
    m.stored = zlibCompress(contents, level);
    m.header.storedSize = static_cast<std::uint32_t>(m.stored.size());
    return m;
}

std::vector<Bytes> archiveVolumes(std::vector<TestMember> members,
                                  const std::vector<std::size_t>& cuts)
{
    // Lay the stream out once to know which members a cut falls into.
    std::size_t at = 0;
    for (auto& m : members) {
        std::size_t dataStart = at + EntryHeader::size;
        std::size_t dataEnd = dataStart + m.stored.size();
        for (std::size_t cut : cuts)
            if (cut >= dataStart && cut < dataEnd)
                m.header.continued = 1;
        at = dataEnd;
    }
    Bytes stream;
    for (const auto& m : members) {
        unsigned char raw[EntryHeader::size];
        m.header.serialize(raw);
        stream.insert(stream.end(), raw, raw + sizeof raw);
        stream.insert(stream.end(), m.stored.begin(), m.stored.end());
    }
    std::vector<Bytes> volumes;
    std::size_t from = 0;
    std::vector<std::size_t> ends = cuts;
    ends.push_back(stream.size());
    for (std::size_t to : ends) {
        Bytes volume(VolumeHeader::size);
        VolumeHeader::write(volume.data());
        volume.insert(volume.end(), stream.begin() + static_cast<std::ptrdiff_t>(from),
                      stream.begin() + static_cast<std::ptrdiff_t>(to));
        volumes.push_back(std::move(volume));
        from = to;
    }
    return volumes;
}

std::vector<std::size_t> cutsForCapacity(const std::vector<TestMember>& members,
                                         std::size_t capacity)
{
    std::vector<std::size_t> cuts;
    std::size_t at = 0;                       // offset in the member stream
    std::size_t used = VolumeHeader::size;    // bytes of the current volume
    auto cut = [&] {
        cuts.push_back(at);
        used = VolumeHeader::size;
    };
    for (const auto& m : members) {
        // A header never starts where it wouldn't fit whole.
        if (used + EntryHeader::size >= capacity)
            cut();
        at += EntryHeader::size;
        used += EntryHeader::size;
        for (std::size_t left = m.stored.size(); left != 0;) {
            if (used == capacity)
                cut();
            std::size_t take = std::min(capacity - used, left);
            at += take;
            used += take;
            left -= take;
        }
    }
    return cuts;
}

std::vector<std::string> writeArchive(const std::string& firstVolumePath,
                                      std::vector<TestMember> members,
                                      const std::vector<std::size_t>& cuts)
{
    std::vector<std::string> paths;
    std::string path = firstVolumePath;
    for (const Bytes& volume : archiveVolumes(std::move(members), cuts)) {
        writeWholeFile(path, volume);
        paths.push_back(path);
        path = CMultiFile::nextVolumeName(path);
    }
    return paths;
}
bool ChainReader::endOfVolume()
{
    return moveToNextVolume([this](const std::string& folder, const std::string& name) {
        ++volumeMoves;
        return folder + name;
    });
}
