#include "app/user_info.h"

#include "app/install_app.h"
#include "platform/path.h"
#include "platform/registry.h"
#include "profile/profile_access.h"
#include "profile/profile_file.h"

#include <ctime>

bool CUserInfo::Read(const CProfileFile& profile)
{
    CRegKey key;
    if (key.open(HKEY_CURRENT_USER, kProductKey)) {
        // A value that is missing or of another type leaves the field alone.
        if (auto v = key.readString("USER"))
            name = *v;
        if (auto v = key.readString("COMPANY"))
            company = *v;
        if (auto v = key.readString("DATE"))
            date = *v;
        if (!name.empty())
            return true;
    }
    CProfileEntry entry("", "license", "name", profile.path(), false);
    bool found = entry.Read(profile);
    name = entry.value;
    entry.key = "company";
    entry.value.clear();
    found = entry.Read(profile) || found;
    company = entry.value;
    entry.key = "date";
    entry.value.clear();
    entry.Read(profile);
    date = entry.value;
    return found;
}

void CUserInfo::Write()
{
    char today[64] = {};
    std::time_t now = std::time(nullptr);
    if (const std::tm* local = std::localtime(&now))
        std::strftime(today, sizeof today, "%x", local);
    date = today;
    // Both records: the machine's is read when this user's is missing.
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        CRegKey key;
        if (!key.open(root, kProductKey, KEY_WOW64_32KEY))
            continue;
        key.writeString("USER", name);
        key.writeString("COMPANY", company);
        key.writeString("DATE", date);
    }
}

std::string OptionsFilePath()
{
    CPath path;
    path.setSpecial(CPath::windowsFolder);
    path.setFileName("ovca40.ini");
    return path.text();
}

void WriteOptionsFile(const std::string& installFolder)
{
    // Without a folder the platform keeps the file in the Windows folder.
    WritePrivateProfileStringA("Folder", "Path", installFolder.c_str(), "ovca40.ini");
    WritePrivateProfileStringA("Opciones", "Spanish", "si", "ovca40.ini");
}
