#include "system/registration.h"

#include "platform/path.h"
#include "platform/registry.h"

#include <cstdio>

const CRegistryPlace& CRegistryPlace::machine()
{
    static const CRegistryPlace place{HKEY_LOCAL_MACHINE,
                                      "Software\\Microsoft\\Windows\\CurrentVersion"};
    return place;
}

std::string AppPathFolder(const std::string& filePath)
{
    std::string folder = CPath(filePath).folderText();
    // "C:\" keeps its backslash: "C:" alone would mean the drive's current folder.
    bool driveRoot = folder.size() == 3 && folder[1] == ':';
    if (!driveRoot && folder.size() > 1 && folder.back() == '\\')
        folder.pop_back();
    return folder;
}

void RegisterAppPath(const std::string& filePath, const CRegistryPlace& place)
{
    std::string name = CPath(filePath).fileName();
    // Without a name the values would land on App Paths itself.
    if (name.empty())
        return;
    CRegKey key;
    if (!key.create(place.root, place.appPathsKey() + "\\" + name))
        return;
    key.writeString("", filePath);
    key.writeString("Path", AppPathFolder(filePath));
}

void UnregisterAppPath(const std::string& filePath, const CRegistryPlace& place)
{
    std::string name = CPath(filePath).fileName();
    // An empty name would aim at App Paths itself, which other programs share.
    if (name.empty())
        return;
    CRegKey::deleteKey(place.root, place.appPathsKey() + "\\" + name);
}

std::string UninstallCommand(const std::string& program)
{
    return "\"" + program + "\" /U";
}

void RegisterUninstall(const CUninstallEntry& entry, const std::string& keyName, const CRegistryPlace& place)
{
    if (keyName.empty())
        return;
    CRegKey key;
    if (!key.create(place.root, place.uninstallKey() + "\\" + keyName))
        return;
    key.writeString("DisplayName", entry.displayName);
    key.writeString("UninstallString", UninstallCommand(entry.program));
    key.writeString("QuietUninstallString", UninstallCommand(entry.program) + " /Q");
    key.writeString("InstallLocation", entry.folder);
    key.writeString("DisplayIcon", entry.program + ",0");
    key.writeDword("EstimatedSize", entry.estimatedSizeKb);
    key.writeString("InstallDate", entry.installDate);
    key.writeDword("Language", 1027);
    key.writeDword("NoModify", 1);
    key.writeDword("NoRepair", 1);
    if (!entry.version.empty()) {
        key.writeString("DisplayVersion", entry.version);
        unsigned major = 0, minor = 0;
        std::sscanf(entry.version.c_str(), "%u.%u", &major, &minor);
        key.writeDword("VersionMajor", major);
        key.writeDword("VersionMinor", minor);
    }
    const std::pair<const char*, const std::string*> optional[] = {
        {"Publisher", &entry.publisher}, {"URLInfoAbout", &entry.urlInfoAbout}, {"HelpLink", &entry.helpLink}};
    for (const auto& value : optional)
        if (!value.second->empty())
            key.writeString(value.first, *value.second);
}

void SetUninstallSize(const std::string& keyName, std::uint32_t kilobytes, const CRegistryPlace& place)
{
    CRegKey key;
    if (!keyName.empty() && key.open(place.root, place.uninstallKey() + "\\" + keyName))
        key.writeDword("EstimatedSize", kilobytes);
}

void UnregisterUninstall(const std::string& keyName, const CRegistryPlace& place)
{
    // An empty name would aim at the whole list of installed software.
    if (keyName.empty())
        return;
    CRegKey::deleteKey(place.root, place.uninstallKey() + "\\" + keyName);
}
