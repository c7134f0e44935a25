// ArchiveCrc against zlib's crc32 over the same 64 MiB buffer, in one run.
#include "archive/archive_crc.h"

#include "bench_util.h"

#include <cstdint>
#include <random>
#include <vector>
#include <zlib.h>

int main()
{
    warnIfSanitized();
    const std::size_t size = 64u << 20;
    std::vector<unsigned char> buffer(size);
    std::mt19937 rng(1);
    for (auto& b : buffer)
        b = static_cast<unsigned char>(rng());

    volatile std::uint32_t sink = 0;
    double ours = bestOf(5, [&] { sink = sink + ArchiveCrc::update(0, buffer.data(), size); });
    double bytewise = bestOf(3, [&] { sink = sink + ArchiveCrc::updateBytewise(0, buffer.data(), size); });
    double zlibs = bestOf(5, [&] { sink = sink + static_cast<std::uint32_t>(crc32(0, buffer.data(), static_cast<uInt>(size))); });

    const double mb = size / 1e6;
    std::printf("ArchiveCrc          %8.0f MB/s\n", mb / ours);
    std::printf("ArchiveCrc bytewise %8.0f MB/s\n", mb / bytewise);
    std::printf("zlib crc32          %8.0f MB/s\n", mb / zlibs);
    std::printf("ArchiveCrc / zlib crc32 speed ratio: %.2f (aim: at least 0.5)\n", zlibs / ours);
    return 0;
}
