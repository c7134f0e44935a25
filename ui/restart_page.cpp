#include "ui/restart_page.h"

#include "app/install_app.h"
#include "platform/resource_string.h"
#include "ui/page_framework.h"
#include "resources/resource.h"

namespace {

// NT-based systems refuse a restart to a process that hasn't enabled its
// shutdown privilege; elsewhere there are no privileges and this does nothing.
void enableShutdownPrivilege()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return;
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid))
        AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    CloseHandle(token);
}

} // namespace

bool CRestartPage::RestartWindows()
{
    enableShutdownPrivilege();
    return ExitWindowsEx(EWX_REBOOT, 0) != FALSE;
}

void CRestartPage::OnRestart()
{
    if (m_restart && m_restart()) {
        // Windows is on its way down: the run ends, saying who restarted it.
        CInstallApp::get().EndWith(kExitRestartStarted);
        ShowPage(kEndOfRun, false);
        return;
    }
    std::string text = LoadResourceString(IDS_RESTART_FAILED);
    std::string caption = LoadResourceString(IDS_CAPTION);
    MessageBoxA(m_hwnd, text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

bool CRestartPage::OnCommand(int id, int code, HWND control)
{
    switch (id) {
    case IDC_RESTART:
        Guarded([this] { OnRestart(); });
        return true;
    case IDC_DONT_RESTART:
        Guarded([this] { OnNext(); });
        return true;
    default:
        return CPage::OnCommand(id, code, control);
    }
}
