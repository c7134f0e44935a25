// Extraction of a 64 MiB zlib member through the archive (checksum, hooks,
// output file) against a bare inflate of the same stream from the same file
// into a file, in one run.
#include "archive/archive_crc.h"
#include "archive/entry_header.h"
#include "archive/multi_file.h"

#include "bench_util.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
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

struct Timing {
    double wall;
    double cpu;
};

// The median of each measure on its own.
Timing median(const std::vector<Timing>& times)
{
    std::vector<double> wall, cpu;
    for (const Timing& t : times) {
        wall.push_back(t.wall);
        cpu.push_back(t.cpu);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

template <typename F>
Timing timed(F f)
{
    auto start = std::chrono::steady_clock::now();
    std::clock_t cpuStart = std::clock();
    f();
    double cpu = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), cpu};
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

    // Each way once per round, the rounds interleaved so that a noisy
    // machine slows them alike; the median of the rounds is reported, of the
    // time on the clock and of the processor time the process was given
    // (which other programs on the machine disturb less). Every way writes
    // a new file, deleted untimed.
    const int rounds = 11;
    const std::string out = (dir / "out").string();
    const std::size_t offset = VolumeHeader::size + EntryHeader::size;
    std::vector<Timing> archive, bare, checked, small;
    for (int round = 0; round < rounds; ++round) {
        archive.push_back(timed([&] {
            CMultiFile reader;
            reader.open(volume);
            auto entry = reader.createEntry();
            reader.nextEntry(*entry);
            entry->outputPath = out;
            reader.extract(*entry);
        }));
        fs::remove(out);
        bare.push_back(timed([&] { bareInflate(volume, offset, out, false); }));
        fs::remove(out);
        checked.push_back(timed([&] { bareInflate(volume, offset, out, true); }));
        fs::remove(out);
        // The format's own buffers: 4096 bytes in, 4096 bytes out.
        small.push_back(timed([&] { bareInflate(volume, offset, out, true, 4096); }));
        fs::remove(out);
    }
    fs::remove_all(dir);

    const double mb = size / 1e6;
    std::printf("stream: %zu bytes for %zu (%.1f%%); median of %d interleaved rounds\n",
                packed.size(), size, 100.0 * packed.size() / size, rounds);
    std::printf("%-38s %16s  %16s\n", "", "clock", "processor");
    auto line = [&](const char* what, const std::vector<Timing>& times) {
        Timing m = median(times);
        std::printf("%-38s %5.0f MB/s %5.1f ms  %5.0f MB/s %5.1f ms\n", what, mb / m.wall,
                    1e3 * m.wall, mb / m.cpu, 1e3 * m.cpu);
        return m;
    };
    Timing a = line("extract through the archive", archive);
    Timing b = line("bare inflate (64 KiB buffers, no crc)", bare);
    Timing c = line("bare inflate + ArchiveCrc", checked);
    Timing d = line("  with 4096-byte buffers", small);
    auto against = [](const char* what, Timing x, Timing y) {
        std::printf("archive against %s: %+.1f%% on the clock, %+.1f%% in processor time\n", what,
                    100.0 * (x.wall - y.wall) / y.wall, 100.0 * (x.cpu - y.cpu) / y.cpu);
    };
    against("bare inflate (aim: within 10%)", a, b);
    against("inflate with the same checksum", a, c);
    against("that with 4096-byte buffers", a, d);
    return 0;
}
