// A registry place of the test's own under HKEY_CURRENT_USER, removed with
// everything in it, and a raw look at values as an administrator's tool
// would take it.
#pragma once

#include "system/registry_place.h"

#include <windows.h>

#include <string>

class CScratchRegistryPlace {
public:
    CScratchRegistryPlace();
    ~CScratchRegistryPlace();
    CScratchRegistryPlace(const CScratchRegistryPlace&) = delete;
    CScratchRegistryPlace& operator=(const CScratchRegistryPlace&) = delete;

    const CRegistryPlace& place() const { return m_place; }

private:
    CRegistryPlace m_place;
};

struct CRawValue {
    bool present = false;
    DWORD type = REG_NONE;
    std::string bytes;
};

// The value as stored, type and every byte; absent when the key or the value
// is missing.
CRawValue ReadRawValue(HKEY root, const std::string& key, const std::string& name);

bool KeyExists(HKEY root, const std::string& key);

// A REG_SZ value's bytes as RegSetValueEx should store them: the text and
// its terminating NUL.
inline std::string StoredText(const std::string& text)
{
    return text + '\0';
}
