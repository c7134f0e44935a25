// Page 1549: after copying, registers the product with Windows and leaves
// its settings, then names the last page of the run.
#pragma once

#include "system/registry_place.h"
#include "ui/page.h"

#include <string>

class CInstallApp;

class CRegisteringPage : public CPage {
public:
    // The program registers in the machine's own keys; a test names others.
    explicit CRegisteringPage(const CRegistryPlace& place = CRegistryPlace::machine())
        : CPage(IDD_PAGE_REGISTERING, IDD_PAGE_DONE, false), m_place(place) {}

    int DoWork() override;

    // IDD_PAGE_DONE when the run succeeded, IDD_PAGE_RESTART when it also
    // needs a restart, IDD_PAGE_FAILED when it failed.
    static int NextPageAfterRegistering(bool succeeded, bool restartNeeded);

private:
    // The steps of the work, in their fixed order.
    // The keys and files this page changes, written down for an undo.
    void KeepForUndo(CInstallApp& app);
    void RegisterWithWindows(CInstallApp& app);
    void WriteUserData(CInstallApp& app);
    void WriteOptionsFile(CInstallApp& app);
    void ConfigureEditors(CInstallApp& app);
    void WriteProductRecord(CInstallApp& app);

    CRegistryPlace m_place;
};
