#include "log/registry_snapshot.h"

#include <algorithm>
#include <cstdio>

namespace {

using K = CJournalRecord;

const char* hiveName(HKEY root)
{
    return root == HKEY_LOCAL_MACHINE ? "HKLM" : "HKCU";
}

HKEY hiveOf(const std::string& name)
{
    return name == "HKLM" ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

std::wstring widen(const std::string& text, UINT codePage)
{
    if (text.empty())
        return std::wstring();
    int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
    return wide;
}

std::string utf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n,
                            nullptr, nullptr);
    return out;
}

std::string toHex(const BYTE* data, DWORD size)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(size * 2u);
    for (DWORD i = 0; i < size; ++i) {
        hex += digits[data[i] >> 4];
        hex += digits[data[i] & 0x0F];
    }
    return hex;
}

int hexValue(char c)
{
    return c <= '9' ? c - '0' : (c & ~0x20) - 'A' + 10;
}

// The journal's reader has made sure that the text is pairs of hex digits.
std::vector<BYTE> fromHex(const std::string& hex)
{
    std::vector<BYTE> data;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        data.push_back(static_cast<BYTE>(hexValue(hex[i]) * 16 + hexValue(hex[i + 1])));
    return data;
}

// The names of a key's subkeys (at most 255 characters each, as the
// registry has them).
std::vector<std::wstring> subkeysOf(HKEY handle)
{
    std::vector<std::wstring> names;
    for (DWORD i = 0;; ++i) {
        wchar_t child[256];
        DWORD childSize = 256;
        if (RegEnumKeyExW(handle, i, child, &childSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(child, childSize);
    }
    return names;
}

CJournalRecord keyRecord(HKEY root, REGSAM view, const std::wstring& key, bool exists, bool top)
{
    CJournalRecord r;
    r.kind = K::keyBefore;
    r.hive = hiveName(root);
    r.view = view;
    r.path = utf8(key);
    r.flag = exists;
    r.top = top;
    return r;
}

void snapshot(HKEY root, REGSAM view, const std::wstring& key, bool top, std::vector<CJournalRecord>& out)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | view, &handle) != ERROR_SUCCESS) {
        out.push_back(keyRecord(root, view, key, false, top));
        return;
    }
    out.push_back(keyRecord(root, view, key, true, top));
    DWORD longestName = 0, longestData = 0;
    RegQueryInfoKeyW(handle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     &longestName, &longestData, nullptr, nullptr);
    std::vector<wchar_t> name(longestName + 2);
    std::vector<BYTE> data(longestData + 2);
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = static_cast<DWORD>(name.size()), type = 0;
        DWORD dataSize = static_cast<DWORD>(data.size());
        LONG result = RegEnumValueW(handle, i, name.data(), &nameSize, nullptr, &type, data.data(), &dataSize);
        if (result == ERROR_MORE_DATA) {
            // Grown since it was measured: measure again and read it again.
            name.resize(name.size() * 2 + 256);
            data.resize(std::max<std::size_t>(data.size() * 2, dataSize + 2));
            --i;
            continue;
        }
        if (result != ERROR_SUCCESS)
            break;
        CJournalRecord r;
        r.kind = K::valueBefore;
        r.hive = hiveName(root);
        r.view = view;
        r.path = utf8(key);
        r.name = utf8(std::wstring(name.data(), nameSize));
        r.type = type;
        r.data = toHex(data.data(), dataSize);
        out.push_back(r);
    }
    std::vector<std::wstring> subkeys = subkeysOf(handle);
    RegCloseKey(handle);
    for (const std::wstring& subkey : subkeys)
        snapshot(root, view, key + L"\\" + subkey, false, out);
}

void deleteTree(HKEY root, const std::wstring& key, REGSAM view)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | view, &handle) == ERROR_SUCCESS) {
        std::vector<std::wstring> children = subkeysOf(handle);
        RegCloseKey(handle);
        for (const std::wstring& child : children)
            deleteTree(root, key + L"\\" + child, view);
    }
    // The key itself, through its parent in the right view.
    std::size_t cut = key.rfind(L'\\');
    if (cut == std::wstring::npos) {
        RegDeleteKeyW(root, key.c_str());
        return;
    }
    HKEY parent = nullptr;
    if (RegOpenKeyExW(root, key.substr(0, cut).c_str(), 0, KEY_ALL_ACCESS | view, &parent) == ERROR_SUCCESS) {
        using DeleteKeyEx = LONG(WINAPI*)(HKEY, LPCWSTR, REGSAM, DWORD);
        static const auto deleteKeyEx = reinterpret_cast<DeleteKeyEx>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA("advapi32.dll"), "RegDeleteKeyExW")));
        std::wstring name = key.substr(cut + 1);
        if (!deleteKeyEx || deleteKeyEx(parent, name.c_str(), view, 0) != ERROR_SUCCESS)
            RegDeleteKeyW(parent, name.c_str());
        RegCloseKey(parent);
    }
}

bool isSnapshotRecord(const CJournalRecord& r)
{
    return r.kind == K::keyBefore || r.kind == K::valueBefore;
}

} // namespace

std::vector<CJournalRecord> SnapshotRegistryKey(HKEY root, REGSAM view, const std::string& key)
{
    std::vector<CJournalRecord> records;
    std::wstring wide = widen(key, CP_ACP);
    snapshot(root, view, wide, true, records);
    CJournalRecord end;
    end.kind = K::snapshotEnd;
    end.hive = hiveName(root);
    end.view = view;
    end.path = utf8(wide);
    records.push_back(end);
    return records;
}

bool IsRegistrySnapshotStart(const CJournalRecord& record)
{
    return record.kind == K::keyBefore && record.top;
}

bool RestoreRegistrySnapshot(const std::vector<CJournalRecord>& records, std::size_t start)
{
    const CJournalRecord& top = records[start];
    std::size_t end = start + 1;
    while (end < records.size() && isSnapshotRecord(records[end]) && !IsRegistrySnapshotStart(records[end]))
        ++end;
    if (end == records.size() || records[end].kind != K::snapshotEnd || records[end].path != top.path ||
        records[end].hive != top.hive)
        return false;
    const REGSAM view = static_cast<REGSAM>(top.view);
    deleteTree(hiveOf(top.hive), widen(top.path, CP_UTF8), view);
    for (std::size_t i = start; i < end; ++i) {
        const CJournalRecord& r = records[i];
        HKEY root = hiveOf(r.hive);
        std::wstring key = widen(r.path, CP_UTF8);
        HKEY handle = nullptr;
        if (r.kind == K::keyBefore) {
            if (r.flag && RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                                          &handle, nullptr) == ERROR_SUCCESS)
                RegCloseKey(handle);
        } else if (RegOpenKeyExW(root, key.c_str(), 0, KEY_ALL_ACCESS | view, &handle) == ERROR_SUCCESS) {
            std::vector<BYTE> data = fromHex(r.data);
            RegSetValueExW(handle, widen(r.name, CP_UTF8).c_str(), 0, r.type,
                           data.empty() ? nullptr : data.data(), static_cast<DWORD>(data.size()));
            RegCloseKey(handle);
        }
    }
    return true;
}
