#include "platform/registry.h"

#include <vector>

bool CRegKey::open(HKEY root, const std::string& subKey, REGSAM view)
{
    close();
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_ALL_ACCESS | view, &key) != ERROR_SUCCESS)
        return false;
    m_key = key;
    return true;
}

bool CRegKey::create(HKEY root, const std::string& subKey, REGSAM view)
{
    close();
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS | view, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    m_key = key;
    return true;
}

void CRegKey::close()
{
    if (m_key)
        RegCloseKey(m_key);
    m_key = nullptr;
}

std::optional<std::string> CRegKey::readString(const std::string& name) const
{
    if (!m_key)
        return std::nullopt;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(m_key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    std::vector<char> data(size + 1, '\0');
    DWORD got = size;
    if (RegQueryValueExA(m_key, name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(data.data()), &got) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    // The stored text may or may not carry its terminator.
    return std::string(data.data());
}

bool CRegKey::writeString(const std::string& name, const std::string& value)
{
    return m_key && RegSetValueExA(m_key, name.c_str(), 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(value.c_str()),
                                   static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

std::optional<std::uint32_t> CRegKey::readDword(const std::string& name) const
{
    if (!m_key)
        return std::nullopt;
    DWORD type = 0, value = 0, size = sizeof value;
    if (RegQueryValueExA(m_key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return std::nullopt;
    return value;
}

bool CRegKey::writeDword(const std::string& name, std::uint32_t value)
{
    DWORD data = value;
    return m_key && RegSetValueExA(m_key, name.c_str(), 0, REG_DWORD,
                                   reinterpret_cast<const BYTE*>(&data), sizeof data) == ERROR_SUCCESS;
}

bool CRegKey::deleteValue(const std::string& name)
{
    return m_key && RegDeleteValueA(m_key, name.c_str()) == ERROR_SUCCESS;
}

bool CRegKey::deleteKey(HKEY root, const std::string& subKey, REGSAM view)
{
    std::string::size_type cut = subKey.rfind('\\');
    if (view == 0 || cut == std::string::npos)
        return RegDeleteKeyA(root, subKey.c_str()) == ERROR_SUCCESS;
    // Deleted through its parent opened in that view: the call that takes a
    // view is missing from older Windows.
    CRegKey parent;
    if (!parent.open(root, subKey.substr(0, cut), view))
        return false;
    return RegDeleteKeyA(parent.handle(), subKey.substr(cut + 1).c_str()) == ERROR_SUCCESS;
}

bool CRegKey::deleteTree(HKEY root, const std::string& subKey, REGSAM view)
{
    CRegKey key;
    if (key.open(root, subKey, view)) {
        char child[256];
        for (;;) {
            DWORD length = sizeof child;
            if (RegEnumKeyExA(key.handle(), 0, child, &length, nullptr, nullptr, nullptr, nullptr) !=
                    ERROR_SUCCESS ||
                !deleteTree(key.handle(), child, view))
                break;
        }
    }
    key.close();
    return deleteKey(root, subKey, view);
}

bool CRegKey::exists(HKEY root, const std::string& subKey, REGSAM view)
{
    CRegKey key;
    return key.open(root, subKey, view);
}

CRegString::CRegString(HKEY root, std::string subKey, std::string name)
    : m_root(root), m_subKey(std::move(subKey)), m_name(std::move(name))
{
    CRegKey key;
    if (key.open(m_root, m_subKey)) {
        if (auto value = key.readString(m_name)) {
            m_value = *value;
            m_present = true;
        }
    }
}

CRegString::~CRegString()
{
    if (!m_changed)
        return;
    CRegKey key;
    if (key.create(m_root, m_subKey))
        key.writeString(m_name, m_value);
}

CRegString& CRegString::operator=(const std::string& value)
{
    if (!m_present || value != m_value)
        m_changed = true;
    m_value = value;
    m_present = true;
    return *this;
}

bool CRegKey::isEmpty() const
{
    DWORD subkeys = 0, values = 0;
    return m_key &&
           RegQueryInfoKeyA(m_key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                            nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
           subkeys == 0 && values == 0;
}

std::optional<std::string> UserShellFolder(const char* name)
{
    CRegKey key;
    if (!key.open(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"))
        return std::nullopt;
    return key.readString(name);
}
