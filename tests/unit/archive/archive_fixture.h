// Helpers of the archive tests: an archive writer that can also write it
// wrong on purpose, and a reader that follows the volume chain the way the
// copy engine does, without disks.
#pragma once

#include "archive/entry_header.h"
#include "archive/multi_file.h"
#include "tests/support/scratch_folder.h"

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

Bytes bytesOf(const std::string& s);
// Deterministic contents that compress somewhat, like program files do.
Bytes sampleContents(std::size_t size, unsigned seed);
// Incompressible contents.
Bytes noiseContents(std::size_t size, unsigned seed);
// A zlib stream of data made by zlib's own one-shot compress2.
Bytes zlibCompress(const Bytes& data, int level = 6);

Bytes readWholeFile(const std::string& path);
void writeWholeFile(const std::string& path, const Bytes& data);
bool fileExists(const std::string& path);


// One member as written: the header is filled from the data unless a test
// sets a field on purpose afterwards.
struct TestMember {
    EntryHeader header;
    Bytes stored;
};

TestMember storedMember(const std::string& name, const Bytes& contents);
TestMember zlibMember(const std::string& name, const Bytes& contents, int level = 6);

// The volumes' bytes, each with its volume header; cuts as writeArchive has them.
std::vector<Bytes> archiveVolumes(std::vector<TestMember> members,
                                  const std::vector<std::size_t>& cuts = {});
// Where volumes of that capacity (header included) end, the way the disk
// builder splits: a member header that wouldn't fit starts the next volume.
std::vector<std::size_t> cutsForCapacity(const std::vector<TestMember>& members,
                                         std::size_t capacity);

// Writes members into volumes. cuts are offsets into the member stream (the
// bytes after the first volume header) where a new volume begins; the writer
// sets `continued` on the member whose data a cut falls into.
std::vector<std::string> writeArchive(const std::string& firstVolumePath,
                                      std::vector<TestMember> members,
                                      const std::vector<std::size_t>& cuts = {});

// Follows `continued` members into the next volume by the last-character rule.
class ChainReader : public CMultiFile {
public:
    bool endOfVolume() override;
    int volumeMoves = 0;
    int blocks = 0;
    void blockDone() override { ++blocks; }
};
