// libFuzzer target over the download's reader. Whatever follows the program
// (a download cut short, changed, or not ours at all), and whatever its
// headers say, reading it must never crash, throw or read outside the file,
// and every part it hands out must lie inside the file. Half the inputs get a checksum that
// holds, so the table's own checks are reached too.
#include "archive/bundle.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include <zlib.h>

namespace {

void put32(std::vector<unsigned char>& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

// The smallest program its headers describe: one section up to 0x400.
std::vector<unsigned char> program()
{
    std::vector<unsigned char> b(0x400, 0);
    b[0] = 'M';
    b[1] = 'Z';
    put32(b, 0x3C, 0x40);
    b[0x40] = 'P';
    b[0x41] = 'E';
    b[0x46] = 1;
    b[0x54] = 240;
    b[0x58] = 0x0B;
    b[0x59] = 0x02;
    put32(b, 0x58 + 108, 16);
    put32(b, 0x58 + 240 + 16, 0x200);
    put32(b, 0x58 + 240 + 20, 0x200);
    return b;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    // Mostly what follows a program; now and then the headers themselves.
    std::vector<unsigned char> file = (data[0] & 2) ? std::vector<unsigned char>() : program();
    file.insert(file.end(), data + 1, data + size);
    if ((data[0] & 1) && file.size() >= CBundle::trailerSize)
        put32(file, file.size() - 4, static_cast<std::uint32_t>(crc32(0, file.data(), static_cast<uInt>(file.size() - 4))));
    static const std::string path = "bundle-fuzz-" + std::to_string(getpid()) + ".exe";
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    CBundle bundle;
    if (bundle.Read(path) == CBundle::whole) {
        for (const CBundlePart& part : bundle.parts()) {
            if (part.offset + std::uint64_t(part.length) > file.size())
                std::abort();
            if (bundle.ReadPart(part).size() != part.length)
                std::abort();
        }
    }
    return 0;
}
