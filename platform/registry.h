// Registry key objects. Keys are opened with full access; a key that can't be
// opened so counts as absent, and a value of another type reads as absent.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

class CRegKey {
public:
    CRegKey() = default;
    ~CRegKey() { close(); }
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;
    CRegKey(CRegKey&& other) noexcept : m_key(other.m_key) { other.m_key = nullptr; }

    // view: 0 for the program's own view of the registry, KEY_WOW64_32KEY
    // for the keys of 32-bit programs (the only view on 32-bit Windows).
    bool open(HKEY root, const std::string& subKey, REGSAM view = 0);
    bool create(HKEY root, const std::string& subKey, REGSAM view = 0);
    void close();
    bool isOpen() const { return m_key != nullptr; }
    HKEY handle() const { return m_key; }

    std::optional<std::string> readString(const std::string& name) const;
    bool writeString(const std::string& name, const std::string& value);
    std::optional<std::uint32_t> readDword(const std::string& name) const;
    bool writeDword(const std::string& name, std::uint32_t value);
    bool deleteValue(const std::string& name);
    // Holds neither values nor subkeys.
    bool isEmpty() const;

    // Deletes a key that has no subkeys.
    static bool deleteKey(HKEY root, const std::string& subKey, REGSAM view = 0);
    // Deletes a key with everything below it (one call refuses a key that
    // still has subkeys on NT).
    static bool deleteTree(HKEY root, const std::string& subKey, REGSAM view = 0);
    static bool exists(HKEY root, const std::string& subKey, REGSAM view = 0);

private:
    HKEY m_key = nullptr;
};

// A string value bound to root, key and value name: read when made, written
// back when destroyed if it was changed (creating the key if need be).
class CRegString {
public:
    CRegString(HKEY root, std::string subKey, std::string name);
    ~CRegString();
    CRegString(const CRegString&) = delete;
    CRegString& operator=(const CRegString&) = delete;

    const std::string& value() const { return m_value; }
    bool present() const { return m_present; }
    CRegString& operator=(const std::string& value);
    operator const std::string&() const { return m_value; }

private:
    HKEY m_root;
    std::string m_subKey;
    std::string m_name;
    std::string m_value;
    bool m_present = false;
    bool m_changed = false;
};

// A folder of the user's shell ("Programs", "AppData"...) as the Shell
// Folders key gives it; none when the key or the value is missing.
std::optional<std::string> UserShellFolder(const char* name);
