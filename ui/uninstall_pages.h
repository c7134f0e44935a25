// Pages 1546 and 1550 of an uninstallation: the installed files, program
// items and folders go first, then the registrations.
#pragma once

#include "system/registry_place.h"
#include "ui/page.h"

#include <functional>
#include <string>

class CInstallApp;

// Deletes every file the log's group sections list (every group, selected
// or not). A shared file (destination -3) loses one reference and goes only
// when nobody counts on it any more. Each path is handed to show first.
// Missing files and failures are skipped.
void DeleteLoggedFiles(CInstallApp& app, const std::function<void(const std::string&)>& show,
                       const CRegistryPlace& place = CRegistryPlace::machine());

// Removes each folder of the installation (ids 0 and up) that is empty.
void RemoveEmptyFolders(CInstallApp& app);

// 1546: "Esborrant l'arxiu:" and the file being deleted.
class CUninstallFilesPage : public CPage {
public:
    // floppyFolder is where the dictionary backup goes ("a:" for the user).
    explicit CUninstallFilesPage(std::string floppyFolder = "a:",
                                 const CRegistryPlace& place = CRegistryPlace::machine())
        : CPage(IDD_PAGE_UNINSTALL_FILES, IDD_PAGE_UNREGISTERING, true),
          m_floppyFolder(std::move(floppyFolder)), m_place(place) {}

    int DoWork() override;

private:
    std::string m_floppyFolder;
    CRegistryPlace m_place;
};

// 1550: "Eliminant del registre...".
class CUnregisteringPage : public CPage {
public:
    explicit CUnregisteringPage(const CRegistryPlace& place = CRegistryPlace::machine())
        : CPage(IDD_PAGE_UNREGISTERING, IDD_PAGE_UNINSTALLED, false), m_place(place) {}

    int DoWork() override;

private:
    // Comes with the editor integration.
    void UndoEditorsAndProductRecord(CInstallApp& app);

    CRegistryPlace m_place;
};
