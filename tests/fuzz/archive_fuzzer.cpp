// libFuzzer target over the archive reader and extractor. An input is one
// archive: its volumes back to back, each after the separator "#VOLUME#".
// Whatever the bytes, the reader must end with one of its own errors (or
// none): never a crash, a hang, or memory touched out of bounds.
#include "archive/multi_file.h"
#include "platform/exception.h"

#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char kSeparator[] = "#VOLUME#";
const std::size_t kSeparatorSize = sizeof kSeparator - 1;

fs::path& scratchPath()
{
    static fs::path p = fs::temp_directory_path() / ("archive-fuzz-" + std::to_string(getpid()));
    return p;
}

void removeScratch()
{
    std::error_code ec;
    fs::remove_all(scratchPath(), ec);
}

const std::string& scratch()
{
    static const std::string dir = [] {
        fs::create_directories(scratchPath());
        std::atexit(removeScratch);   // libFuzzer ends its bounded run through exit()
        return scratchPath().string() + "/";
    }();
    return dir;
}

class FuzzChain : public CMultiFile {
public:
    bool endOfVolume() override
    {
        return moveToNextVolume([this](const std::string& folder, const std::string& name) {
            std::string next = folder + name;
            if (++moves > 16)
                return std::string();
            if (!fs::exists(next))
                throw CFileException(CFileException::fileNotFound, next);
            return next;
        });
    }
    int moves = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string& dir = scratch();
    // Split into volumes named F.MFA, F.MFB, ...
    std::vector<std::string> volumes;
    std::string name = dir + "F.MFA";
    std::size_t from = 0;
    for (;;) {
        const std::uint8_t* hit = nullptr;
        for (std::size_t i = from; i + kSeparatorSize <= size; ++i)
            if (std::memcmp(data + i, kSeparator, kSeparatorSize) == 0) {
                hit = data + i;
                break;
            }
        std::size_t to = hit ? static_cast<std::size_t>(hit - data) : size;
        std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char*>(data + from), static_cast<std::streamsize>(to - from));
        volumes.push_back(name);
        if (!hit || volumes.size() == 8)
            break;
        from = to + kSeparatorSize;
        name = CMultiFile::nextVolumeName(name);
    }

    try {
        FuzzChain archive;
        archive.open(volumes.front());
        auto entry = archive.createEntry();
        for (int n = 0; n < 64 && archive.nextEntry(*entry); ++n) {
            try {
                // Every third member is left alone, so the reader must pass over it itself.
                switch (n % 3) {
                case 0:
                    archive.test(*entry);
                    break;
                case 1:
                    entry->outputPath = dir + "out";
                    std::remove(entry->outputPath.c_str());
                    archive.extract(*entry);
                    break;
                default:
                    break;
                }
            } catch (const CException&) {
                // A damaged member: the reader may go on to the next header.
            }
        }
    } catch (const CException&) {
    }
    for (const auto& v : volumes)
        std::remove(v.c_str());
    std::string out = dir + "out";
    chmod(out.c_str(), 0600);
    std::remove(out.c_str());
    return 0;
}
