// Pages 1546 and 1550 of an uninstallation: the installed files, program
// items and folders go first, then the registrations.
#pragma once

#include "system/registry_place.h"
#include "ui/page.h"

#include <string>

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
    CRegistryPlace m_place;
};
