#include "app/install_app.h"

#include "editors/detection.h"
#include "editors/product_record.h"
#include "errors/error_dialog.h"
#include "errors/x_exception.h"
#include "log/install_log.h"
#include "platform/dialog.h"
#include "platform/message_pump.h"
#include "platform/registry.h"
#include "platform/resource_string.h"
#include "resources/resource.h"
#include "system/status_report.h"
#include "ui/main_wnd.h"
#include "ui/page.h"
#include "ui/page_framework.h"

#include <cstdarg>
#include <cstdio>

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
    // Quiet is batch mode in which nothing waits for a person.
    if (switches.count("Q")) {
        quietMode = batchMode = true;
        // An error stops the run; what it said goes into the log.
        SetUnattendedErrorReport([this](const std::string& text) { LogEvent("%s", text.c_str()); });
    }
    if (switches.count("?"))
        helpAsked = true;
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

int CInstallApp::Ask(UINT textId, UINT captionId, UINT style, int quietAnswer)
{
    if (quietMode)
        return quietAnswer;
    HWND owner = mainWnd ? mainWnd->hwnd() : nullptr;
    return MessageBoxA(owner, LoadResourceString(textId).c_str(),
                       LoadResourceString(captionId).c_str(), style);
}

bool CInstallApp::StartupWarnings()
{
    bool anyEditor = false;
    for (const CEditor& editor : editors)
        anyEditor = anyEditor || editor.present;
    const UINT style = MB_OKCANCEL | MB_ICONINFORMATION;
    // Unattended, both warnings go on.
    if (!anyEditor && Ask(IDS_NO_EDITOR, IDS_STARTUP_CAPTION, style, IDOK) == IDCANCEL)
        return false;
    if (CRegKey::exists(HKEY_CURRENT_USER, kProductKey) &&
        Ask(IDS_OLD_VERSION, IDS_STARTUP_CAPTION, style, IDOK) == IDCANCEL)
        return false;
    return true;
}

bool CInstallApp::StartJournal()
{
    CJournalFile::OpenResult result = CJournalFile::busy;
    // A run that was killed is finished or undone before this one starts;
    // one that is still running keeps its journal.
    if (CRunJournal::Recover(logPath.text()))
        result = journal.Begin(logPath.text(),
                               uninstallMode ? CRunJournal::uninstall : CRunJournal::install);
    if (result == CJournalFile::opened)
        return true;
    Ask(result == CJournalFile::busy ? IDS_ANOTHER_RUN : IDS_NO_JOURNAL, IDS_STARTUP_CAPTION,
        MB_OK | MB_ICONSTOP, IDOK);
    return false;
}

void CInstallApp::FinishJournal()
{
    if (!journal.active())
        return;
    // What an uninstallation removed stays removed, also when it stopped.
    if (succeeded || uninstallMode)
        journal.Commit();
    else
        journal.RollBack();
}

void CInstallApp::Cancel()
{
    succeeded = false;
    cancelled = true;
}

int CInstallApp::ExitCode() const
{
    if (cancelled)
        return kExitCancelled;
    if (!succeeded)
        return kExitFailed;
    return restartNeeded ? kExitRestartNeeded : kExitSuccess;
}

bool CInstallApp::InitInstance()
{
    initFailureCode = kExitFailed;
    CreateContainers();
    LoadNames();
    SetPaths();
    CDialog::SetColours(RGB(192, 192, 192), RGB(0, 0, 0));
    ApplySwitches(commandLine());
    title = LoadResourceString(uninstallMode ? IDS_UNINSTALL_TITLE : IDS_TITLE);
    if (helpAsked) {
        // A person asked for it: shown and waited for, /Q or not; nothing
        // else is done.
        MessageBoxA(nullptr, LoadResourceString(IDS_USAGE).c_str(),
                    LoadResourceString(IDS_STARTUP_CAPTION).c_str(), MB_OK | MB_ICONINFORMATION);
        PostQuitMessage(0);
        return true;
    }

    // Unattended, nothing is shown: no main window, and the pages have
    // none either (they post their work to the thread).
    if (quietMode) {
        SetThreadMessageHandler(RunPostedPageWork);
        // A thread gets its message queue, which the posted work needs,
        // from its first look at it; no window makes it here.
        MSG none;
        PeekMessageA(&none, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    } else {
        mainWnd = std::make_unique<CMainWnd>();
        if (!mainWnd->Create(title, batchMode)) {
            mainWnd.reset();
            return false;
        }
        setMainWindow(mainWnd.get());
    }
    if (!StartJournal()) {
        succeeded = false;
        PostQuitMessage(0);
        return true;
    }

    if (uninstallMode) {
        // The group the installation used, and whether it made it.
        ReadProductRecord(*this);
        profilePath = logPath;
        showFirstPage(IDD_PAGE_UNINSTALL_CONFIRM);
        return true;
    }

    DetectEditors(*this);
    if (!StartupWarnings()) {
        // The run ends before any page: nothing was installed, so the
        // status report must not announce a finished installation.
        Cancel();
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

int CInstallApp::ExitInstance(int)
{
    if (helpAsked)
        return kExitSuccess;
    DestroyPages();
    if (mainWnd && mainWnd->exists())
        mainWnd->Destroy();

    FinishJournal();

    std::string reportName = CPath(mainFileName).name();
    std::string description = LoadResourceString(succeeded ? IDS_STATUS_DONE : IDS_STATUS_FAILED);
    if (!WriteStatusReport(reportName, "", displayName, "1.0", description, succeeded, "ENU",
                           nullptr))
        LogEvent("Could not write SMS status.");

    bool secondStage = uninstallMode && succeeded;
    FreeContainers();
    if (secondStage)
        StartSecondStage();
    return ExitCode();
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

    WriteLogEvent(logPath.text(), std::string(line, static_cast<std::size_t>(length)));
    return length;
}
