#include "ui/registering_page.h"

#include "app/install_app.h"
#include "editors/configuration.h"
#include "editors/editor_util.h"
#include "editors/product_record.h"
#include "platform/path.h"
#include "system/program_items.h"
#include "system/registration.h"

#include <cstdio>

int CRegisteringPage::NextPageAfterRegistering(bool succeeded, bool restartNeeded)
{
    if (!succeeded)
        return IDD_PAGE_FAILED;
    return restartNeeded ? IDD_PAGE_RESTART : IDD_PAGE_DONE;
}

int CRegisteringPage::DoWork()
{
    CInstallApp& app = CInstallApp::get();
    KeepForUndo(app);
    RegisterWithWindows(app);
    WriteUserData(app);
    WriteOptionsFile(app);
    ConfigureEditors(app);
    // No item points at a file that a step above took away again, and the
    // size shown is that of what stays.
    DropItemsOfMissingFiles(app);
    SetUninstallSize(app.displayName, static_cast<std::uint32_t>((app.placedBytes + 1023) / 1024), m_place);
    WriteProductRecord(app);
    // From here on the installation stands, also if the machine goes off
    // before the last page is closed.
    if (app.succeeded && !app.journal.Commit())
        app.Fail();
    return NextPageAfterRegistering(app.succeeded, app.restartNeeded);
}

void CRegisteringPage::KeepForUndo(CInstallApp& app)
{
    // What this page writes besides the editors' own settings, which their
    // steps keep themselves.
    CRunJournal& journal = app.journal;
    std::string folder = app.InstallFolder();
    if (!folder.empty())
        journal.KeyBefore(m_place.root, 0, m_place.appPathsKey() + "\\" + CPath(folder + app.mainFileName).fileName());
    if (!app.displayName.empty())
        journal.KeyBefore(m_place.root, 0, m_place.uninstallKey() + "\\" + app.displayName);
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
        journal.KeyBefore(root, KEY_WOW64_32KEY, kCompanyKey);
    journal.FileBefore(OptionsFilePath());
}

void CRegisteringPage::RegisterWithWindows(CInstallApp& app)
{
    auto zero = app.destinations.find(kDestInstallFolder);
    // Without an installation folder there is nothing to point Windows at.
    if (zero == app.destinations.end() || zero->second->path.empty())
        return;
    std::string folder = WithTrailingBackslash(zero->second->path.text());
    RegisterAppPath(folder + app.mainFileName, m_place);
    CPath self;
    self.setProgramFile();
    CUninstallEntry entry;
    entry.displayName = app.displayName;
    // The uninstaller: this program, as the installation placed it. The
    // disks carry it as install.exe; a download of any name installs it
    // under that name too.
    entry.program = folder + (app.download.active() ? std::string("install.exe") : self.fileName());
    entry.folder = folder;
    entry.version = app.product.version;
    entry.publisher = app.product.publisher;
    entry.urlInfoAbout = app.product.urlInfoAbout;
    entry.helpLink = app.product.helpLink;
    entry.estimatedSizeKb = static_cast<std::uint32_t>((app.placedBytes + 1023) / 1024);
    SYSTEMTIME today;
    GetLocalTime(&today);
    char date[16];
    std::snprintf(date, sizeof date, "%04u%02u%02u", today.wYear, today.wMonth, today.wDay);
    entry.installDate = date;
    RegisterUninstall(entry, app.displayName, m_place);
}

void CRegisteringPage::WriteUserData(CInstallApp& app)
{
    // Only a run from the distribution (its profile beside the files, or
    // in the download) has user data to keep.
    CPath profile(app.sourceFolder.folderText() + app.profilePath.fileName());
    if (app.download.active() || profile.exists())
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
    ::ConfigureEditors(app, app.MainWindow());
}

void CRegisteringPage::WriteProductRecord(CInstallApp& app)
{
    ::WriteProductRecord(app);
}
