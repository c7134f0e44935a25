// The use count of one shared file in the SharedDLLs key: raised once per
// installation that places the file, lowered once per uninstallation. The
// count is stored when the object is destroyed; a count of 0 removes the
// file's value. Registry failures are never reported.
#pragma once

#include "platform/registry.h"
#include "system/registry_place.h"

#include <cstdint>
#include <string>

class CSharedDllCount {
public:
    // Reads the count of the file (its full path names the value); 0 when
    // the value is missing or not a 32-bit number.
    explicit CSharedDllCount(const std::string& file,
                             const CRegistryPlace& place = CRegistryPlace::machine());
    ~CSharedDllCount();
    CSharedDllCount(const CSharedDllCount&) = delete;
    CSharedDllCount& operator=(const CSharedDllCount&) = delete;

    void increment();
    // Never goes below 0.
    void decrement();
    // Gives back what an installation added; never below 0.
    void release(std::uint32_t count);
    // Puts back a count as it was.
    void set(std::uint32_t count) { m_count = count; }
    bool inUse() const { return m_count != 0; }
    std::uint32_t count() const { return m_count; }

private:
    std::string m_file;
    std::uint32_t m_count = 0;
    CRegKey m_key;
    HKEY m_root;
    std::string m_keyName;
};
