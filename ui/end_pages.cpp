#include "ui/end_pages.h"

#include "app/install_app.h"
#include "platform/resource_string.h"
#include "resources/resource.h"

bool CFailedPage::OnInitDialog()
{
    CInstallApp& app = CInstallApp::get();
    if (app.uninstallMode) {
        SetWindowTextA(m_hwnd, LoadResourceString(IDS_UNINSTALL_FAILED_CAPTION).c_str());
        SetDlgItemTextA(m_hwnd, IDC_PAGE_TEXT, LoadResourceString(IDS_UNINSTALL_FAILED_TEXT).c_str());
    }
    // Unattended, nobody is there to close it: the run ends here.
    if (app.quietMode)
        PostMessageA(m_hwnd, kPageWorkMessage, 0, 0);
    return true;
}

bool CUninstalledPage::OnInitDialog()
{
    if (CInstallApp::get().restartNeeded)
        ShowWindow(GetDlgItem(m_hwnd, IDC_RESTART_NOTE), SW_SHOWNA);
    return CPage::OnInitDialog();
}
