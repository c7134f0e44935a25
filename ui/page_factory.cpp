// The factory of the wizard's pages: each page class fixes its template, its
// successor and whether it has the button bar.
#include "app/install_app.h"
#include "ui/copy_page.h"
#include "ui/editors_page.h"
#include "ui/end_pages.h"
#include "ui/folder_page.h"
#include "ui/group_page.h"
#include "ui/licence_page.h"
#include "ui/page_framework.h"
#include "ui/reading_page.h"
#include "ui/registering_page.h"
#include "ui/restart_page.h"
#include "ui/uninstall_pages.h"
#include "ui/user_data_page.h"

std::unique_ptr<CPage> CreatePage(int id)
{
    CInstallApp& app = CInstallApp::get();
    switch (id) {
    case kPageLicence: return std::make_unique<CLicencePage>();
    case kPageReading: return std::make_unique<CReadingPage>(app.uninstallMode);
    case kPageFolder: return std::make_unique<CFolderPage>();
    case kPageEditors: return std::make_unique<CEditorsPage>();
    // After an earlier installation its group and user data stand: the
    // editor page leads straight to copying.
    case kPageGroup:
        if (app.previousInstall)
            return std::make_unique<CCopyPage>();
        return std::make_unique<CGroupPage>();
    case kPageUserData: return std::make_unique<CUserDataPage>();
    case kPageCopy: return std::make_unique<CCopyPage>();
    case kPageRegistering: return std::make_unique<CRegisteringPage>();
    case kPageDone: return std::make_unique<CDonePage>();
    case kPageRestart: return std::make_unique<CRestartPage>();
    case kPageFailed: return std::make_unique<CFailedPage>();
    case kPageUninstallConfirm: return std::make_unique<CUninstallConfirmPage>();
    case kPageUninstallFiles: return std::make_unique<CUninstallFilesPage>();
    case kPageUnregistering: return std::make_unique<CUnregisteringPage>();
    case kPageUninstalled: return std::make_unique<CUninstalledPage>();
    default: return nullptr;
    }
}
