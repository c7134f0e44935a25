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
    case IDD_PAGE_LICENCE: return std::make_unique<CLicencePage>();
    case IDD_PAGE_READING: return std::make_unique<CReadingPage>(app.uninstallMode);
    case IDD_PAGE_FOLDER: return std::make_unique<CFolderPage>();
    case IDD_PAGE_EDITORS: return std::make_unique<CEditorsPage>();
    // After an earlier installation its group and user data stand: the
    // editor page leads straight to copying.
    case IDD_PAGE_GROUP:
        if (app.previousInstall)
            return std::make_unique<CCopyPage>();
        return std::make_unique<CGroupPage>();
    case IDD_PAGE_USER_DATA: return std::make_unique<CUserDataPage>();
    case IDD_PAGE_COPY: return std::make_unique<CCopyPage>();
    case IDD_PAGE_REGISTERING: return std::make_unique<CRegisteringPage>();
    case IDD_PAGE_DONE: return std::make_unique<CDonePage>();
    case IDD_PAGE_RESTART: return std::make_unique<CRestartPage>();
    case IDD_PAGE_FAILED: return std::make_unique<CFailedPage>();
    case IDD_PAGE_UNINSTALL_CONFIRM: return std::make_unique<CUninstallConfirmPage>();
    case IDD_PAGE_UNINSTALL_FILES: return std::make_unique<CUninstallFilesPage>();
    case IDD_PAGE_UNREGISTERING: return std::make_unique<CUnregisteringPage>();
    case IDD_PAGE_UNINSTALLED: return std::make_unique<CUninstalledPage>();
    default: return nullptr;
    }
}
