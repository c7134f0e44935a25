#include "app/install_app.h"

#include "editors/detection.h"
#include "editors/product_record.h"
#include "errors/error_dialog.h"
#include "errors/x_exception.h"
#include "platform/dialog.h"
#include "platform/registry.h"
#include "platform/resource_string.h"
#include "resources/resource.h"
#include "system/status_report.h"
#include "ui/main_wnd.h"
#include "ui/page.h"
#include "ui/page_framework.h"

#include <cstdarg>
#include <cstdio>
#include <ctime>

CInstallApp::CInstallApp() = default;

CInstallApp::~CInstallApp()
{
    FreeContainers();
}

CInstallApp& CInstallApp::get()
{
    return *static_cast<CInstallApp*>(CWinApp::instance());
}

void CInstallApp::CreateContainers()
{
    FreeContainers();
    // The Windows, System and temporary folders exist before any profile.
    const std::int16_t predefined[] = {kDestWindows, kDestSystem, kDestTemp};
    const int special[] = {CPath::windowsFolder, CPath::systemFolder, CPath::tempFolder};
    for (int i = 0; i < 3; ++i) {
        auto destination = std::make_unique<CDestination>();
        destination->id = predefined[i];
        destination->parent = -1;
        destination->path.setSpecial(special[i]);
        destinations[predefined[i]] = std::move(destination);
    }
    userInfo = CUserInfo();
}

void CInstallApp::FreeContainers()
{
    groupFiles.clear();
    targets.clear();
    groups.clear();
    destinations.clear();
    disks.clear();
}

void CInstallApp::LoadNames()
{
    groupName = LoadResourceString(IDS_GROUP_NAME);
    mainFileName = LoadResourceString(IDS_MAIN_FILE);
    displayName = LoadResourceString(IDS_DISPLAY_NAME);
}

void CInstallApp::SetPaths()
{
    profilePath.setProgramFile();
    profilePath.setExt("ini");
    sourceFolder = CPath();
    sourceFolder.setSpecial(CPath::programFolder);
    logPath = CPath();
    logPath.setSpecial(CPath::windowsFolder);
    logPath.setFileName("ovca40.log");
    loggingEnabled = true;
}

void CInstallApp::ApplySwitches(const std::string& commandLine)
{
    uninstallMode = false;
    switches = ParseCommandLine(commandLine);
    if (switches.count("U"))
        uninstallMode = true;
    if (switches.count("B"))
        batchMode = true;
    auto d = switches.find("D");
    if (d != switches.end() && !d->second.empty()) {
        // The value names a folder, with or without its closing backslash.
        CPath folder(WithTrailingBackslash(d->second));
        profilePath.setDrive(folder.drive());
        profilePath.setFolder(folder.folder());
        sourceFolder.setDrive(folder.drive());
        sourceFolder.setFolder(folder.folder());
    }
}

std::string CInstallApp::InstallFolder() const
{
    auto zero = destinations.find(kDestInstallFolder);
    return zero == destinations.end() ? std::string() : WithTrailingBackslash(zero->second->path.text());
}

bool CInstallApp::StartupWarnings()
{
    HWND owner = mainWnd ? mainWnd->hwnd() : nullptr;
    std::string caption = LoadResourceString(IDS_STARTUP_CAPTION);
    bool anyEditor = false;
    for (const CEditor& editor : editors)
        anyEditor = anyEditor || editor.present;
    if (!anyEditor &&
        MessageBoxA(owner, LoadResourceString(IDS_NO_EDITOR).c_str(), caption.c_str(),
                    MB_OKCANCEL | MB_ICONINFORMATION) == IDCANCEL)
        return false;
    if (CRegKey::exists(HKEY_CURRENT_USER, kProductKey) &&
        MessageBoxA(owner, LoadResourceString(IDS_OLD_VERSION).c_str(), caption.c_str(),
                    MB_OKCANCEL | MB_ICONINFORMATION) == IDCANCEL)
        return false;
    return true;
}

bool CInstallApp::InitInstance()
{
    CreateContainers();
    LoadNames();
    SetPaths();
    CDialog::SetColours(RGB(192, 192, 192), RGB(0, 0, 0));
    ApplySwitches(commandLine());
    title = LoadResourceString(uninstallMode ? IDS_UNINSTALL_TITLE : IDS_TITLE);

    mainWnd = std::make_unique<CMainWnd>();
    if (!mainWnd->Create(title, batchMode)) {
        mainWnd.reset();
        return false;
    }
    setMainWindow(mainWnd.get());

    if (uninstallMode) {
        profilePath = logPath;
        showFirstPage(IDD_PAGE_UNINSTALL_CONFIRM);
        return true;
    }

    DetectEditors(*this);
    if (!StartupWarnings()) {
        // The run ends before any page: nothing was installed, so the
        // status report must not announce a finished installation.
        succeeded = false;
        PostQuitMessage(0);
        return true;
    }
    ReadProductRecord(*this);
    showFirstPage(IDD_PAGE_LICENCE);
    return true;
}

void CInstallApp::showFirstPage(int pageId)
{
    try {
        ShowPage(pageId, false);
    } catch (...) {
        ShowCurrentError(IDS_CANNOT_CONTINUE);
        succeeded = false;
        ShowPage(kEndOfRun, false);
    }
}

int CInstallApp::ExitInstance(int loopResult)
{
    DestroyPages();
    if (mainWnd && mainWnd->exists())
        mainWnd->Destroy();

    std::string reportName = CPath(mainFileName).name();
    std::string description = LoadResourceString(succeeded ? IDS_STATUS_DONE : IDS_STATUS_FAILED);
    if (!WriteStatusReport(reportName, "", displayName, "1.0", description, succeeded, "ENU",
                           nullptr))
        LogEvent("Could not write SMS status.");

    bool secondStage = uninstallMode && succeeded;
    FreeContainers();
    if (secondStage)
        StartSecondStage();
    return loopResult;
}

std::string CInstallApp::SecondStageCommand() const
{
    CPath program;
    program.setSpecial(CPath::systemFolder);
    program.setFileName("uninsta.exe");
    // The installer's own profile, not the log that uninstall mode read.
    CPath ownProfile;
    ownProfile.setProgramFile();
    ownProfile.setExt("ini");
    return program.text() + " /U /PP:" + ownProfile.shortText();
}

bool CInstallApp::StartSecondStage() const
{
    std::string command = SecondStageCommand();
    return WinExec(command.c_str(), SW_SHOWNORMAL) > 31;
}

void CInstallApp::OnHandlerException() noexcept
{
    ShowCurrentError(IDS_CANNOT_CONTINUE);
}

int CInstallApp::LogEvent(const char* format, ...)
{
    char line[512];
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    // A longer line was cut to the buffer.
    if (length < 0)
        length = 0;
    else if (length > static_cast<int>(sizeof line) - 1)
        length = static_cast<int>(sizeof line) - 1;

    char clock[16] = "00:00:00";
    std::time_t now = std::time(nullptr);
    if (const std::tm* local = std::localtime(&now))
        std::strftime(clock, sizeof clock, "%H:%M:%S", local);
    // Lines written within the same tick would share a stamp and the later
    // one would replace the earlier; move on to the next free number.
    std::string file = logPath.text();
    char stamp[32];
    long tick = static_cast<long>(GetTickCount() % 1000);
    for (long n = tick; n <= 9999; ++n) {
        std::snprintf(stamp, sizeof stamp, "%s:%04ld", clock, n);
        char existing[2] = {};
        if (GetPrivateProfileStringA("Events", stamp, "", existing, sizeof existing, file.c_str()) == 0)
            break;
    }
    WritePrivateProfileStringA("Events", stamp, line, file.c_str());
    return length;
}
