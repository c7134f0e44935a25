#include "system/registration.h"

#include "platform/path.h"
#include "platform/registry.h"

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

void RegisterUninstall(const std::string& uninstallCommand, const std::string& keyName,
                       const std::string& displayName, const CRegistryPlace& place)
{
    if (keyName.empty())
        return;
    CRegKey key;
    if (!key.create(place.root, place.uninstallKey() + "\\" + keyName))
        return;
    key.writeString("DisplayName", displayName);
    key.writeString("UninstallString", uninstallCommand);
}

void UnregisterUninstall(const std::string& keyName, const CRegistryPlace& place)
{
    // An empty name would aim at the whole list of installed software.
    if (keyName.empty())
        return;
    CRegKey::deleteKey(place.root, place.uninstallKey() + "\\" + keyName);
}
