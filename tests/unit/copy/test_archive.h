// Builds archive volumes for the copy engine's tests: members stored or
// compressed with zlib, split over volume files of a given capacity with the
// last character of the name counting up, as the distribution disks have them.
#pragma once

#include "archive/archive_crc.h"
#include "archive/entry_header.h"

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

struct CTestMember {
    std::string name;
    std::string data;
    std::int16_t destination = 0;
    bool compress = false;
    std::uint16_t attributes = 0x20;
    std::uint32_t modified = 946728000;  // 2000-01-01 12:00 UTC
    bool badCrc = false;
};

// The volumes' bytes: volume i is written as name with its last character
// raised by i. Members run on into the next volume with `continued` set.
inline std::vector<std::string> BuildVolumes(const std::vector<CTestMember>& members,
                                             std::size_t capacity = 1 << 30)
{
    std::vector<std::string> volumes(1);
    auto startVolume = [&](std::string& v) {
        unsigned char header[VolumeHeader::size];
        VolumeHeader::write(header);
        v.assign(reinterpret_cast<char*>(header), sizeof header);
    };
    startVolume(volumes[0]);
    for (const CTestMember& m : members) {
        std::string stored = m.data;
        if (m.compress) {
            uLongf length = compressBound(static_cast<uLong>(m.data.size()));
            stored.resize(length);
            compress2(reinterpret_cast<Bytef*>(&stored[0]), &length,
                      reinterpret_cast<const Bytef*>(m.data.data()), static_cast<uLong>(m.data.size()),
                      Z_DEFAULT_COMPRESSION);
            stored.resize(length);
        }
        EntryHeader h;
        h.setName(m.name);
        h.modified = m.modified;
        h.unpackedSize = static_cast<std::uint32_t>(m.data.size());
        h.storedSize = static_cast<std::uint32_t>(stored.size());
        h.crc = ArchiveCrc::of(m.data.data(), m.data.size()) ^ (m.badCrc ? 1u : 0u);
        h.method = m.compress ? EntryHeader::methodZLib : EntryHeader::methodStored;
        h.destination = m.destination;
        h.attributes = m.attributes;
        // A header never starts where it wouldn't fit: open a new volume.
        if (volumes.back().size() + EntryHeader::size >= capacity) {
            volumes.emplace_back();
            startVolume(volumes.back());
        }
        std::size_t room = capacity - volumes.back().size() - EntryHeader::size;
        h.continued = stored.size() > room ? 1 : 0;
        unsigned char raw[EntryHeader::size];
        h.serialize(raw);
        volumes.back().append(reinterpret_cast<char*>(raw), sizeof raw);
        std::size_t at = 0;
        while (at < stored.size()) {
            std::size_t space = capacity - volumes.back().size();
            if (space == 0) {
                volumes.emplace_back();
                startVolume(volumes.back());
                continue;
            }
            std::size_t take = std::min(space, stored.size() - at);
            volumes.back().append(stored, at, take);
            at += take;
        }
    }
    return volumes;
}

// Deterministic bytes that compress about as well as program files do.
inline std::string TestBytes(std::size_t size, unsigned seed)
{
    std::string data(size, '\0');
    std::uint32_t x = seed * 2654435761u + 1;
    for (std::size_t i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        data[i] = (i / 64) % 3 == 0 ? static_cast<char>(x >> 24) : static_cast<char>('a' + (i % 26));
    }
    return data;
}
