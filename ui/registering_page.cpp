#include "ui/registering_page.h"

#include "app/install_app.h"
#include "editors/configuration.h"
#include "editors/product_record.h"
#include "platform/path.h"
#include "system/registration.h"
#include "ui/main_wnd.h"

int CRegisteringPage::NextPageAfterRegistering(bool succeeded, bool restartNeeded)
{
    if (!succeeded)
        return IDD_PAGE_FAILED;
    return restartNeeded ? IDD_PAGE_RESTART : IDD_PAGE_DONE;
}

std::string CRegisteringPage::UninstallCommand(const std::string& installFolder)
{
    CPath self;
    self.setProgramFile();
    return WithTrailingBackslash(installFolder) + self.fileName() + " /U";
}

int CRegisteringPage::DoWork()
{
    CInstallApp& app = CInstallApp::get();
    RegisterWithWindows(app);
    WriteUserData(app);
    WriteOptionsFile(app);
    ConfigureEditors(app);
    WriteProductRecord(app);
    return NextPageAfterRegistering(app.succeeded, app.restartNeeded);
}

void CRegisteringPage::RegisterWithWindows(CInstallApp& app)
{
    auto zero = app.destinations.find(kDestInstallFolder);
    // Without an installation folder there is nothing to point Windows at.
    if (zero == app.destinations.end() || zero->second->path.empty())
        return;
    std::string folder = WithTrailingBackslash(zero->second->path.text());
    RegisterAppPath(folder + app.mainFileName, m_place);
    RegisterUninstall(UninstallCommand(folder), app.displayName, app.displayName, m_place);
}

void CRegisteringPage::WriteUserData(CInstallApp& app)
{
    // Only a run from the distribution (its profile beside the files) has
    // user data to keep.
    CPath profile(app.sourceFolder.folderText() + app.profilePath.fileName());
    if (profile.exists())
        app.userInfo.Write();
}

void CRegisteringPage::WriteOptionsFile(CInstallApp& app)
{
    auto zero = app.destinations.find(kDestInstallFolder);
    ::WriteOptionsFile(zero == app.destinations.end() ? std::string() : zero->second->path.text());
}

void CRegisteringPage::ConfigureEditors(CInstallApp& app)
{
    // The editors' message boxes stand over the main window, as the run's do.
    ::ConfigureEditors(app, app.mainWnd ? app.mainWnd->hwnd() : nullptr);
}

void CRegisteringPage::WriteProductRecord(CInstallApp& app)
{
    ::WriteProductRecord(app);
}
