#include "log/registry_snapshot.h"

#include "platform/registry.h"

#include <cstdio>

namespace {

const char* hiveName(HKEY root)
{
    return root == HKEY_LOCAL_MACHINE ? "HKLM" : "HKCU";
}

HKEY hiveOf(const std::string& name)
{
    return name == "HKLM" ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

std::string toHex(const BYTE* data, DWORD size)
{
    std::string hex;
    char two[3];
    for (DWORD i = 0; i < size; ++i) {
        std::snprintf(two, sizeof two, "%02X", data[i]);
        hex += two;
    }
    return hex;
}

std::vector<BYTE> fromHex(const std::string& hex)
{
    std::vector<BYTE> data;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        data.push_back(static_cast<BYTE>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return data;
}

void snapshot(HKEY root, REGSAM view, const std::string& key, bool top,
              std::vector<CJournalRecord>& out)
{
    const std::string hive = hiveName(root), viewText = std::to_string(view);
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | view, &handle) != ERROR_SUCCESS) {
        out.push_back({"K", hive, viewText, key, "0", top ? "1" : "0"});
        return;
    }
    out.push_back({"K", hive, viewText, key, "1", top ? "1" : "0"});
    std::vector<std::string> subkeys;
    for (DWORD i = 0;; ++i) {
        char name[16384];
        DWORD nameSize = sizeof name, type = 0, dataSize = 0;
        LONG r = RegEnumValueA(handle, i, name, &nameSize, nullptr, &type, nullptr, &dataSize);
        if (r != ERROR_SUCCESS && r != ERROR_MORE_DATA)
            break;
        std::vector<BYTE> data(dataSize + 1);
        nameSize = sizeof name;
        DWORD got = dataSize;
        if (RegEnumValueA(handle, i, name, &nameSize, nullptr, &type, data.data(), &got) !=
            ERROR_SUCCESS)
            continue;
        out.push_back({"V", hive, viewText, key, name, std::to_string(type), toHex(data.data(), got)});
    }
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameSize = sizeof name;
        if (RegEnumKeyExA(handle, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        subkeys.push_back(name);
    }
    RegCloseKey(handle);
    for (const std::string& subkey : subkeys)
        snapshot(root, view, key + "\\" + subkey, false, out);
}

bool isSnapshotRecord(const CJournalRecord& r)
{
    return (r.size() >= 6 && r[0] == "K") || (r.size() >= 7 && r[0] == "V");
}

} // namespace

std::vector<CJournalRecord> SnapshotRegistryKey(HKEY root, REGSAM view, const std::string& key)
{
    std::vector<CJournalRecord> records;
    snapshot(root, view, key, true, records);
    return records;
}

bool IsRegistrySnapshotStart(const CJournalRecord& record)
{
    return record.size() >= 6 && record[0] == "K" && record[5] == "1";
}

void RestoreRegistrySnapshot(const std::vector<CJournalRecord>& records, std::size_t start)
{
    const CJournalRecord& top = records[start];
    REGSAM view = static_cast<REGSAM>(std::stoul("0" + top[2]));
    CRegKey::deleteTree(hiveOf(top[1]), top[3], view);
    for (std::size_t i = start; i < records.size() && isSnapshotRecord(records[i]); ++i) {
        const CJournalRecord& r = records[i];
        if (i != start && IsRegistrySnapshotStart(r))
            break;
        HKEY root = hiveOf(r[1]);
        REGSAM keyView = static_cast<REGSAM>(std::stoul("0" + r[2]));
        CRegKey key;
        if (r[0] == "K") {
            if (r[4] == "1")
                key.create(root, r[3], keyView);
        } else if (key.open(root, r[3], keyView)) {
            std::vector<BYTE> data = fromHex(r[6]);
            RegSetValueExA(key.handle(), r[4].c_str(), 0,
                           static_cast<DWORD>(std::stoul("0" + r[5])),
                           data.empty() ? nullptr : data.data(), static_cast<DWORD>(data.size()));
        }
    }
}
