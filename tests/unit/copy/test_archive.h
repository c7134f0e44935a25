// Archive volumes for the copy engine's tests, made by the archive tests'
// writer: members stored or compressed with zlib, split over volumes of a
// given capacity as the distribution disks have them.
#pragma once

#include "tests/unit/archive/archive_fixture.h"

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

// The volumes' bytes; volume i goes into the file whose name has its last
// character raised by i.
inline std::vector<std::string> BuildVolumes(const std::vector<CTestMember>& members,
                                             std::size_t capacity = 1 << 30)
{
    std::vector<TestMember> written;
    for (const CTestMember& m : members) {
        TestMember t = m.compress ? zlibMember(m.name, bytesOf(m.data)) : storedMember(m.name, bytesOf(m.data));
        t.header.modified = m.modified;
        t.header.destination = m.destination;
        t.header.attributes = m.attributes;
        t.header.crc ^= m.badCrc ? 1u : 0u;
        written.push_back(std::move(t));
    }
    std::vector<std::string> volumes;
    for (const Bytes& v : archiveVolumes(written, cutsForCapacity(written, capacity)))
        volumes.emplace_back(v.begin(), v.end());
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
