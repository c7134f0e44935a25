#include "inspect.h"

#include "archive/multi_file.h"
#include "errors/x_exception.h"
#include "platform/exception.h"

#include <cstdio>
#include <filesystem>
#include <iomanip>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

fs::path siblingFolder(const fs::path& folder)
{
    std::string n = folder.filename().string();
    if (n.size() < 3 || !isdigit(static_cast<unsigned char>(n[n.size() - 2])) ||
        !isdigit(static_cast<unsigned char>(n.back())))
        return {};
    int disk = std::stoi(n.substr(n.size() - 2)) + 1;
    char digits[8];
    std::snprintf(digits, sizeof digits, "%02d", disk);
    return folder.parent_path() / (n.substr(0, n.size() - 2) + digits);
}

const char* methodName(std::uint32_t method)
{
    return method == EntryHeader::methodStored ? "stored" : method == EntryHeader::methodZLib ? "zlib" : "?";
}

std::string attributeText(unsigned a)
{
    std::string s;
    s += (a & 0x01) ? 'R' : '-';
    s += (a & 0x02) ? 'H' : '-';
    s += (a & 0x04) ? 'S' : '-';
    s += (a & 0x20) ? 'A' : '-';
    return s;
}

template <typename Step>
int walk(const std::string& firstVolume, std::ostream& out, Step step)
{
    CVolumeChain archive;
    std::string current = "(volume header)";
    try {
        archive.open(firstVolume);
        auto entry = archive.createEntry();
        int members = 0;
        while (archive.nextEntry(*entry)) {
            current = entry->name;
            step(archive, *entry);
            ++members;
        }
        out << members << " members in " << archive.volume << " volume" << (archive.volume == 1 ? "" : "s") << "\n";
        return 0;
    } catch (const CException& e) {
        out << "error at " << current << ": " << describeError(e) << "\n";
    } catch (const std::exception& e) {
        out << "error at " << current << ": " << e.what() << "\n";
    }
    return 1;
}

} // namespace

bool CVolumeChain::endOfVolume()
{
    return moveToNextVolume([this](const std::string& folder, const std::string& name) {
        fs::path here = fs::path(folder).parent_path();
        fs::path beside = here / name;
        fs::path sibling = siblingFolder(here);
        ++volume;
        if (fs::exists(beside))
            return beside.string();
        if (!sibling.empty() && fs::exists(sibling / name))
            return (sibling / name).string();
        throw CFileException(CFileException::fileNotFound, beside.string());
    });
}

std::string describeError(const CException& error)
{
    static const char* const fileCauses[] = {"no error", "file error", "file not found", "bad path",
                                             "too many open files", "access denied", "invalid file",
                                             "cannot remove the current folder", "folder full", "bad seek",
                                             "hardware error", "sharing violation", "lock violation",
                                             "disk full", "unexpected end of file"};
    if (auto* f = dynamic_cast<const CFileException*>(&error)) {
        std::string cause = f->cause >= 0 && f->cause <= 14 ? fileCauses[f->cause] : "file error";
        return cause + (f->fileName.empty() ? "" : " (" + f->fileName + ")");
    }
    if (auto* m = dynamic_cast<const CMultiFileException*>(&error)) {
        switch (m->code) {
        case kMultiFileUnknownMethod: return "unknown compression method (error 1004)";
        case kMultiFileNoVolumeHeader: return "not an archive volume: no 'mflh' header (error 1005)";
        case kMultiFileNoEntryHeader: return "entry header damaged: no 'mfen' (error 1006)";
        case kMultiFileDamaged: return "decoded length differs from the header's unpacked size (error 1007)";
        case kMultiFileBadCrc: return "checksum mismatch (error 1008)";
        }
    }
    if (auto* z = dynamic_cast<const CZLibException*>(&error)) {
        switch (z->code) {
        case kZLibStreamError: return "zlib stream error (error 1010)";
        case kZLibDataError: return "zlib data damaged (error 1011)";
        case kZLibBufferError: return "zlib data cut short (error 1012)";
        default: return "zlib error (error 1009)";
        }
    }
    if (dynamic_cast<const CMemoryException*>(&error))
        return "out of memory";
    return error.className();
}

int listArchive(const std::string& firstVolume, std::ostream& out)
{
    out << std::left << std::setw(24) << "name" << std::setw(8) << "method" << std::right << std::setw(11)
        << "unpacked" << std::setw(11) << "stored" << std::setw(6) << "dest" << "  attr  crc       vol\n";
    return walk(firstVolume, out, [&](CVolumeChain& archive, CMultiFileEntry& e) {
        const EntryHeader& h = e.header;
        char crc[16];
        std::snprintf(crc, sizeof crc, "%08X", static_cast<unsigned>(h.crc));
        out << std::left << std::setw(24) << e.name << std::setw(8) << methodName(h.method) << std::right
            << std::setw(11) << h.unpackedSize << std::setw(11) << h.storedSize << std::setw(6) << h.destination
            << "  " << attributeText(h.attributes) << "  " << crc << "  " << archive.volume
            << (h.continued ? "+" : "") << "\n";
        archive.skip(e);
    });
}

int testArchive(const std::string& firstVolume, std::ostream& out)
{
    return walk(firstVolume, out, [&](CVolumeChain& archive, CMultiFileEntry& e) {
        archive.test(e);
        out << "ok  " << e.name << "\n";
    });
}
