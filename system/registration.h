// The product's application path and uninstall entry in the registry.
// Registry failures are never reported: an operation the registry refuses
// simply has no effect.
#pragma once

#include "system/registry_place.h"

#include <cstdint>
#include <string>

// App Paths\<name.ext>: the default value is the full path, "Path" its
// folder (without a trailing backslash unless it is a drive's root).
void RegisterAppPath(const std::string& filePath,
                     const CRegistryPlace& place = CRegistryPlace::machine());
// Deletes App Paths\<name.ext> of that path.
void UnregisterAppPath(const std::string& filePath,
                       const CRegistryPlace& place = CRegistryPlace::machine());

// What the list of installed software, package managers and detection
// rules read of the product.
struct CUninstallEntry {
    std::string displayName;
    // The uninstaller (this program in the installation folder).
    std::string program;
    std::string folder;
    // From the distribution; left out when empty.
    std::string version;
    std::string publisher;
    std::string urlInfoAbout;
    std::string helpLink;
    std::uint32_t estimatedSizeKb = 0;
    std::string installDate;  // YYYYMMDD
};

// Uninstall\<keyName>: "DisplayName", "UninstallString" and
// "QuietUninstallString" (the program's path in quotation marks, so that a
// folder with blanks runs it and nothing else), "InstallLocation",
// "DisplayIcon", "EstimatedSize", "InstallDate", "Language" (1027, Catalan),
// "NoModify" and "NoRepair", and what the distribution gives: "DisplayVersion"
// with "VersionMajor" and "VersionMinor", "Publisher", "URLInfoAbout",
// "HelpLink".
void RegisterUninstall(const CUninstallEntry& entry, const std::string& keyName,
                       const CRegistryPlace& place = CRegistryPlace::machine());
// The entry's "EstimatedSize" once the files are as the run leaves them
// (a later step may take some away again); nothing without the entry.
void SetUninstallSize(const std::string& keyName, std::uint32_t kilobytes,
                      const CRegistryPlace& place = CRegistryPlace::machine());
// The command an uninstall entry runs: "\"program\" /U".
std::string UninstallCommand(const std::string& program);
// Deletes Uninstall\<keyName>.
void UnregisterUninstall(const std::string& keyName,
                         const CRegistryPlace& place = CRegistryPlace::machine());

// The folder text written as "Path": "C:\OVCA40\Manual.hlp" gives
// "C:\OVCA40", "C:\Manual.hlp" gives "C:\".
std::string AppPathFolder(const std::string& filePath);
