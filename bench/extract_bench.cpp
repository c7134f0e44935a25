// Extraction of a 64 MiB zlib member through the archive (4096-byte buffers,
// checksum, hooks, output file) against a bare inflate of the same stream
// from the same file into a file, in one run.
#include "archive/archive_crc.h"
#include "archive/entry_header.h"
#include "archive/multi_file.h"

#include "bench_util.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <vector>
#include <zlib.h>

namespace fs = std::filesystem;

namespace {

// Program-like contents: text that compresses well, with stretches of noise.
std::vector<unsigned char> contents(std::size_t size)
{
    std::vector<unsigned char> out;
    out.reserve(size);
    std::mt19937 rng(7);
    const char* words[] = {"corrector ", "gramatical ", "catala ", "diccionari ", "\r\n", "verb ", "nom "};
    while (out.size() < size) {
        if (rng() % 400 == 0)
            for (int i = 0; i < 1000 && out.size() < size; ++i)
                out.push_back(static_cast<unsigned char>(rng()));
        for (const char* p = words[rng() % 7]; *p && out.size() < size; ++p)
            out.push_back(static_cast<unsigned char>(*p));
    }
    return out;
}

void bareInflate(const std::string& from, std::size_t offset, const std::string& to, bool checksum,
                 std::size_t bufferSize = 65536)
{
    std::uint32_t crc = 0;
    FILE* in = std::fopen(from.c_str(), "rb");
    FILE* out = std::fopen(to.c_str(), "wb");
    std::fseek(in, static_cast<long>(offset), SEEK_SET);
    z_stream s{};
    inflateInit(&s);
    std::vector<unsigned char> ib(bufferSize), ob(bufferSize);
    int r = Z_OK;
    while (r != Z_STREAM_END) {
        if (s.avail_in == 0) {
            s.avail_in = static_cast<uInt>(std::fread(ib.data(), 1, ib.size(), in));
            s.next_in = ib.data();
            if (s.avail_in == 0)
                throw std::runtime_error("stream cut short");
        }
        s.next_out = ob.data();
        s.avail_out = static_cast<uInt>(ob.size());
        r = inflate(&s, Z_NO_FLUSH);
        if (r != Z_OK && r != Z_STREAM_END)
            throw std::runtime_error("inflate failed");
        if (checksum)
            crc = ArchiveCrc::update(crc, ob.data(), ob.size() - s.avail_out);
        std::fwrite(ob.data(), 1, ob.size() - s.avail_out, out);
    }
    inflateEnd(&s);
    static volatile std::uint32_t sink;
    sink = crc;
    std::fclose(in);
    std::fclose(out);
}

} // namespace

int main()
{
    warnIfSanitized();
    const std::size_t size = 64u << 20;
    fs::path dir = fs::temp_directory_path() / "archive-extract-bench";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string volume = (dir / "BENCH.MFA").string();

    std::vector<unsigned char> data = contents(size);
    uLongf packedSize = compressBound(static_cast<uLong>(size));
    std::vector<unsigned char> packed(packedSize);
    compress2(packed.data(), &packedSize, data.data(), static_cast<uLong>(size), Z_DEFAULT_COMPRESSION);
    packed.resize(packedSize);

    EntryHeader h;
    h.setName("bench.bin");
    h.method = EntryHeader::methodZLib;
    h.unpackedSize = static_cast<std::uint32_t>(size);
    h.storedSize = static_cast<std::uint32_t>(packed.size());
    h.crc = ArchiveCrc::of(data.data(), size);
    {
        std::ofstream f(volume, std::ios::binary);
        unsigned char vh[VolumeHeader::size], eh[EntryHeader::size];
        VolumeHeader::write(vh);
        h.serialize(eh);
        f.write(reinterpret_cast<const char*>(vh), sizeof vh);
        f.write(reinterpret_cast<const char*>(eh), sizeof eh);
        f.write(reinterpret_cast<const char*>(packed.data()), static_cast<std::streamsize>(packed.size()));
    }

    int run = 0;
    double archive = bestOf(5, [&] {
        CMultiFile reader;
        reader.open(volume);
        auto entry = reader.createEntry();
        reader.nextEntry(*entry);
        entry->outputPath = (dir / ("out" + std::to_string(run++))).string();
        reader.extract(*entry);
        fs::remove(entry->outputPath);
    });
    double bare = bestOf(5, [&] {
        std::string out = (dir / "bare").string();
        bareInflate(volume, VolumeHeader::size + EntryHeader::size, out, false);
        fs::remove(out);
    });
    double checked = bestOf(5, [&] {
        std::string out = (dir / "bare").string();
        bareInflate(volume, VolumeHeader::size + EntryHeader::size, out, true);
        fs::remove(out);
    });
    // The format's own buffers: 4096 bytes in, 4096 bytes out.
    double small = bestOf(5, [&] {
        std::string out = (dir / "bare").string();
        bareInflate(volume, VolumeHeader::size + EntryHeader::size, out, true, 4096);
        fs::remove(out);
    });
    fs::remove_all(dir);

    const double mb = size / 1e6;
    std::printf("stream: %zu bytes for %zu (%.1f%%)\n", packed.size(), size, 100.0 * packed.size() / size);
    std::printf("extract through the archive %7.0f MB/s\n", mb / archive);
    std::printf("bare zlib inflate           %7.0f MB/s\n", mb / bare);
    std::printf("bare inflate + ArchiveCrc   %7.0f MB/s\n", mb / checked);
    std::printf("  with 4096-byte buffers    %7.0f MB/s\n", mb / small);
    std::printf("overhead of the archive: %+.1f%% against bare inflate (aim: under 10%%), "
                "%+.1f%% against inflate with the same checksum, "
                "%+.1f%% against that with the same 4096-byte buffers\n",
                100.0 * (archive - bare) / bare, 100.0 * (archive - checked) / checked,
                100.0 * (archive - small) / small);
    return 0;
}
