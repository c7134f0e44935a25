#include "ui/uninstall_pages.h"

#include "app/install_app.h"
#include "log/uninstall.h"
#include "platform/message_pump.h"
#include "system/program_items.h"
#include "ui/dictionary_backup.h"

int CUninstallFilesPage::DoWork()
{
    CInstallApp& app = CInstallApp::get();
    CDictionaryBackup backup(app.InstallFolder(), m_floppyFolder);
    // Unattended, the user's dictionaries stay where they are.
    if (app.quietMode) {
        backup.DeleteHelpIndexes();
    } else if (!backup.Run(m_hwnd)) {
        MarkFailed();
        app.Cancel();
        return IDD_PAGE_FAILED;
    }
    // Out of the System folder before the product's files go.
    app.PrepareSecondStage();
    DeleteLoggedFiles(app, [this](const std::string& path) {
        if (m_hwnd) {
            SetDlgItemTextA(m_hwnd, IDC_CURRENT_FILE, path.c_str());
            UpdateWindow(m_hwnd);
        }
        PumpMessages();
    }, app.quietMode, m_place);
    // Cancelled half-way: what is left keeps its records and the uninstall
    // entry, so that running it again finishes the work.
    if (!app.succeeded)
        return IDD_PAGE_FAILED;
    RemoveProgramItems(app);
    RemoveEmptyFolders(app);
    // What could not be deleted keeps its record and the uninstall entry:
    // the run failed, and a later one tries again.
    if (app.filesLeft) {
        MarkFailed();
        app.Fail();
        return IDD_PAGE_FAILED;
    }
    // A cancel confirmed meanwhile has already turned the successor into 116.
    return next;
}

int CUnregisteringPage::DoWork()
{
    UndoRegistrations(CInstallApp::get(), m_place);
    return next;
}
