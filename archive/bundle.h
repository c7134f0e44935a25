// The one-file distribution: the installer program, then every file of the
// disks back to back (the profile, the licence, each archive in one volume,
// the plain files), then a table of them and a trailer. The trailer holds
// a checksum of the whole file, so a download cut short or changed is found
// before anything is done.
//
//   program | part | part | ... | table | trailer   [padding | certificate table]
//
// A signature goes after the trailer, where Windows expects the certificate
// table; as the signature's own hash does, the checksum leaves out the
// program header's checksum field and the certificate table's directory
// entry, which signing changes. All integers are little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CFile;

// One file of the distribution inside the download.
struct CBundlePart {
    static constexpr std::size_t size = 32;       // bytes of a table record
    static constexpr std::size_t nameSize = 16;   // the name field, NUL included

    std::string name;
    std::uint32_t offset = 0;                     // from the start of the download
    std::uint32_t length = 0;
    std::uint32_t modified = 0;                   // seconds since 1970 (UTC)
    std::uint32_t attributes = 0;                 // the Windows attribute bits
};

class CBundle {
public:
    static constexpr std::size_t trailerSize = 32;
    static constexpr char magic[9] = "MFADIST1";

    enum Kind {
        plainProgram,   // a program with nothing after it (its signature aside)
        whole,          // a download whose checksum holds
        damaged         // data after the program that is not a whole download
    };

    // Reads and checks the file: every byte goes through the checksum once.
    // A file that can't be read at all counts as a plain program.
    Kind Read(const std::string& path);

    bool active() const { return m_active; }
    const std::string& path() const { return m_path; }
    // The part of that name (case ignored), or null.
    const CBundlePart* Find(const std::string& name) const;
    const std::vector<CBundlePart>& parts() const { return m_parts; }
    // A part's bytes, for the small ones (the profile, the licence).
    std::string ReadPart(const CBundlePart& part) const;

private:
    std::string m_path;
    std::vector<CBundlePart> m_parts;
    bool m_active = false;
};

// Writes a download: the program first, then the parts, then finish().
class CBundleWriter {
public:
    // Creates path (replacing it) and copies the program into it.
    CBundleWriter(const std::string& path, const std::string& program);
    ~CBundleWriter();
    CBundleWriter(const CBundleWriter&) = delete;
    CBundleWriter& operator=(const CBundleWriter&) = delete;

    // Appends one part; names longer than 15 characters are refused
    // (CFileException badPath), as is a download past 4 GiB.
    void Add(const std::string& name, const void* data, std::size_t length, std::uint32_t modified,
             std::uint32_t attributes);
    // The table and the trailer, whose checksum covers all written before.
    void Finish();

private:
    std::string m_path;
    std::unique_ptr<CFile> m_file;
    std::vector<CBundlePart> m_parts;
    std::uint64_t m_length = 0;
    // From the program's headers: where it ends, and the fields the
    // checksum reads as zeros.
    std::uint64_t m_programEnd = 0, m_checksumField = 0, m_securityEntry = 0;
};
