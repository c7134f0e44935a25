#include "tests/support/scratch_folder.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

CScratchFolder::CScratchFolder()
{
    static std::random_device seed;
    static unsigned counter = 0;
    fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path p = base / ("install-test-" + std::to_string(seed() % 100000000u) + "-" +
                             std::to_string(counter++));
        std::error_code ec;
        if (fs::create_directory(p, ec)) {
            m_path = p.make_preferred().string() + static_cast<char>(fs::path::preferred_separator);
            return;
        }
    }
    throw std::runtime_error("no scratch folder");
}

CScratchFolder::~CScratchFolder()
{
    std::error_code ec;
    // Read-only members would stop the removal on Windows.
    for (auto& e : fs::recursive_directory_iterator(m_path, ec))
        fs::permissions(e.path(), fs::perms::owner_write, fs::perm_options::add, ec);
    fs::remove_all(m_path, ec);
}

void CScratchFolder::write(const std::string& relative, const std::string& bytes) const
{
    fs::path full = fs::path(m_path + relative).make_preferred();
    std::error_code ec;
    fs::create_directories(full.parent_path(), ec);
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
