// The product's application path and uninstall entry in the registry.
// Registry failures are never reported: an operation the registry refuses
// simply has no effect.
#pragma once

#include "system/registry_place.h"

#include <string>

// App Paths\<name.ext>: the default value is the full path, "Path" its
// folder (without a trailing backslash unless it is a drive's root).
void RegisterAppPath(const std::string& filePath,
                     const CRegistryPlace& place = CRegistryPlace::machine());
// Deletes App Paths\<name.ext> of that path.
void UnregisterAppPath(const std::string& filePath,
                       const CRegistryPlace& place = CRegistryPlace::machine());

// Uninstall\<keyName>: "DisplayName" and "UninstallString".
void RegisterUninstall(const std::string& uninstallCommand, const std::string& keyName,
                       const std::string& displayName,
                       const CRegistryPlace& place = CRegistryPlace::machine());
// Deletes Uninstall\<keyName>.
void UnregisterUninstall(const std::string& keyName,
                         const CRegistryPlace& place = CRegistryPlace::machine());

// The folder text written as "Path": "C:\OVCA40\Manual.hlp" gives
// "C:\OVCA40", "C:\Manual.hlp" gives "C:\".
std::string AppPathFolder(const std::string& filePath);
