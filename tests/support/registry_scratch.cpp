#include "tests/support/registry_scratch.h"

#include "tests/support/scratch.h"

#include <cstdio>

CScratchRegistryPlace::CScratchRegistryPlace()
{
    // One tree per process, so runs side by side can't see each other.
    char base[96];
    std::snprintf(base, sizeof base, "Software\\InstallTests\\System-%lu\\CurrentVersion",
                  GetCurrentProcessId());
    m_place.root = HKEY_CURRENT_USER;
    m_place.base = base;
    RemoveRegistryTree(HKEY_CURRENT_USER, m_place.base);
}

CScratchRegistryPlace::~CScratchRegistryPlace()
{
    std::string top = m_place.base.substr(0, m_place.base.rfind('\\'));
    RemoveRegistryTree(HKEY_CURRENT_USER, top);
    // The shared parent goes only when no other test still has a tree in it.
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\InstallTests");
}

CRawValue ReadRawValue(HKEY root, const std::string& key, const std::string& name)
{
    CRawValue raw;
    HKEY handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return raw;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(handle, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        std::string bytes(size, '\0');
        if (RegQueryValueExA(handle, name.c_str(), nullptr, &type,
                             reinterpret_cast<BYTE*>(&bytes[0]), &size) == ERROR_SUCCESS) {
            raw.present = true;
            raw.type = type;
            raw.bytes = bytes.substr(0, size);
        }
    }
    RegCloseKey(handle);
    return raw;
}

bool KeyExists(HKEY root, const std::string& key)
{
    HKEY handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}
