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
#include "system/group_manager.h"
#include "system/status_report.h"
#include "ui/main_wnd.h"
#include "ui/page.h"
#include "ui/page_framework.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

CInstallApp::CInstallApp() = default;

CInstallApp::~CInstallApp()
{
    releaseSecondStage();
    FreeContainers();
}

void CInstallApp::releaseSecondStage()
{
    if (m_secondStageHold != INVALID_HANDLE_VALUE)
        CloseHandle(m_secondStageHold);
    m_secondStageHold = INVALID_HANDLE_VALUE;
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
    userFiles.clear();
    product = CProductInfo();
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
    CCommandLine line = ParseCommandLine(commandLine);
    switches = line.switches;
    refusedSwitches = line.refused;
    if (switches.count("U"))
        uninstallMode = true;
    if (switches.count("B"))
        batchMode = true;
    auto log = switches.find("LOG");
    if (log != switches.end()) {
        runLog.open(log->second.empty() ? CRunLog::DefaultPath() : log->second);
        Trace("Command line: " + commandLine);
    }
    // Quiet is batch mode in which nothing waits for a person, and so is a
    // run where nobody can see a window (a service's or a deployment tool's
    // system account).
    if (switches.count("Q") || !WindowStationVisible()) {
        quietMode = batchMode = true;
        // Nor the system's own boxes ("insert a disk in drive A:"), which
        // nobody would answer.
        SetErrorMode(SetErrorMode(0) | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
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

bool CInstallApp::OpenDownload()
{
    CPath self;
    self.setProgramFile();
    CBundle::Kind kind = download.Read(self.text());
    if (kind != CBundle::damaged) {
        if (kind == CBundle::whole)
            Trace("Installing from the download " + self.text() + ".");
        return true;
    }
    try {
        throw CInstallProfileException(kProfileDamaged);
    } catch (...) {
        ShowCurrentError(IDS_CANNOT_CONTINUE);
    }
    return false;
}

CFilePart CInstallApp::SourcePart(const std::string& name) const
{
    if (download.active()) {
        const CBundlePart* part = download.Find(name);
        if (part)
            return {download.path(), part->offset, part->length};
        // Not in the download: a missing file, as a disk would report it.
        throw CFileException(CFileException::fileNotFound, name);
    }
    return {sourceFolder.folderText() + name};
}

bool CInstallApp::SourceStatus(const std::string& name, CFile::Status& status) const
{
    if (!download.active())
        return CFile::getStatus(sourceFolder.folderText() + name, status);
    const CBundlePart* part = download.Find(name);
    if (!part)
        return false;
    status.size = part->length;
    status.modified = part->modified;
    status.attributes = part->attributes;
    return true;
}

std::string CInstallApp::InstallFolder() const
{
    auto zero = destinations.find(kDestInstallFolder);
    return zero == destinations.end() ? std::string() : WithTrailingBackslash(zero->second->path.text());
}

HWND CInstallApp::MainWindow() const
{
    return mainWnd ? mainWnd->hwnd() : nullptr;
}

int CInstallApp::Ask(UINT textId, UINT captionId, UINT style, int quietAnswer)
{
    std::string text = LoadResourceString(textId);
    if (quietMode) {
        // Nobody reads a box: the log says what it would have said.
        LogEvent("%s", text.c_str());
        Trace("Answered " + std::to_string(quietAnswer) + " without asking.");
        return quietAnswer;
    }
    Trace("Box: " + text);
    int answer = MessageBoxA(MainWindow(), text.c_str(), LoadResourceString(captionId).c_str(), style);
    Trace("Answered " + std::to_string(answer) + ".");
    return answer;
}

void CInstallApp::Trace(const std::string& step)
{
    runLog.line(step);
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
    if (ProductRecordExists() &&
        Ask(IDS_OLD_VERSION, IDS_STARTUP_CAPTION, style, IDOK) == IDCANCEL)
        return false;
    return true;
}

bool CInstallApp::StartJournal()
{
    // A run that was killed is finished or undone before this one starts;
    // one that is still running keeps its journal.
    CRunJournal::StartResult result =
        journal.Begin(logPath.text(), uninstallMode ? CRunJournal::uninstall : CRunJournal::install);
    if (journal.restartNeeded())
        NeedRestart();
    if (result == CRunJournal::started)
        return true;
    // The tools try a busy installer again later.
    if (result == CRunJournal::busy)
        EndWith(kExitBusy);
    UINT text = result == CRunJournal::busy ? IDS_ANOTHER_RUN
                : result == CRunJournal::unsettled ? IDS_EARLIER_RUN_UNSETTLED
                                                   : IDS_NO_JOURNAL;
    Ask(text, IDS_STARTUP_CAPTION, MB_OK | MB_ICONSTOP, IDOK);
    return false;
}

void CInstallApp::FinishJournal()
{
    // What an uninstallation removed stays removed, also when it stopped.
    if (journal.active() && (succeeded || uninstallMode)) {
        // A run whose record can't be kept did not succeed: an installation
        // was undone instead.
        if (!journal.Commit())
            Fail();
    } else if (journal.active()) {
        journal.RollBack();
    }
    // Also after a commit the registering page tried: an undo may have left
    // a file to the next start of Windows.
    if (journal.restartNeeded())
        NeedRestart();
}

void CInstallApp::Fail()
{
    succeeded = false;
}

void CInstallApp::Cancel()
{
    succeeded = false;
    cancelled = true;
}

void CInstallApp::NeedRestart()
{
    restartNeeded = true;
}

void CInstallApp::ChangedForGood()
{
    changedForGood = true;
}

void CInstallApp::EndWith(int code)
{
    endCode = code;
    if (code != kExitRestartStarted)
        succeeded = false;
}

int CInstallApp::ExitCode() const
{
    if (endCode != 0)
        return endCode;
    // A cancel after an uninstallation deleted something leaves the machine
    // changed: that is a failure, which a rerun finishes.
    if (cancelled && !changedForGood)
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
    if (!refusedSwitches.empty()) {
        // A command line the program can't use never starts the wizard:
        // what would run is not what was asked for.
        std::string refused;
        for (const std::string& token : refusedSwitches)
            refused += (refused.empty() ? "" : " ") + token;
        LogEvent("The command line holds what this program can't use: %s", refused.c_str());
        EndWith(kExitBadCommandLine);
        if (!quietMode)
            MessageBoxA(nullptr, LoadResourceString(IDS_USAGE).c_str(),
                        LoadResourceString(IDS_STARTUP_CAPTION).c_str(), MB_OK | MB_ICONEXCLAMATION);
        PostQuit(0);
        return true;
    }
    if (helpAsked) {
        // A person asked for it: shown and waited for, /Q or not; nothing
        // else is done.
        MessageBoxA(nullptr, LoadResourceString(IDS_USAGE).c_str(),
                    LoadResourceString(IDS_STARTUP_CAPTION).c_str(), MB_OK | MB_ICONINFORMATION);
        PostQuit(0);
        return true;
    }

    // A download cut short or changed is refused before anything is done.
    if (!uninstallMode && !OpenDownload()) {
        Fail();
        PostQuit(0);
        return true;
    }

    // Unattended, nothing is shown: no main window, and the pages have
    // none either (they post their work to the thread).
    if (quietMode) {
        SetThreadMessageHandler(RunPostedPageWork);
        UseWindowlessQueue();
    } else {
        mainWnd = std::make_unique<CMainWnd>();
        if (!mainWnd->Create(title, batchMode)) {
            mainWnd.reset();
            return false;
        }
        setMainWindow(mainWnd.get());
    }
    if (!StartJournal()) {
        Fail();
        PostQuit(0);
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
        PostQuit(0);
        return true;
    }
    ReadProductRecord(*this);
    itemsForEveryUser = ItemsForEveryUser();
    // Records removed by hand or by another account: the log still says
    // where the product's files are.
    if (earlierFolder.empty())
        earlierFolder = LoggedInstallFolder(logPath.text());
    showFirstPage(IDD_PAGE_LICENCE);
    return true;
}

void CInstallApp::showFirstPage(int pageId)
{
    try {
        ShowPage(pageId, false);
    } catch (...) {
        ShowCurrentError(IDS_CANNOT_CONTINUE);
        Fail();
        ShowPage(kEndOfRun, false);
    }
}

int CInstallApp::ExitInstance(int)
{
    int code = finishRun();
    Trace("Exit code: " + std::to_string(code));
    runLog.close();
    return code;
}

int CInstallApp::finishRun()
{
    if (helpAsked || !refusedSwitches.empty())
        return ExitCode();
    DestroyPages();
    if (mainWnd && mainWnd->exists())
        mainWnd->Destroy();

    // A finished uninstallation hands this program's file and folder to the
    // second stage: one that can't start leaves them, and the run failed.
    if (uninstallMode && succeeded && !StartSecondStage())
        Fail();
    if (!secondStage.empty() && !succeeded) {
        releaseSecondStage();
        CPath(secondStage).remove();
    }
    FinishJournal();

    std::string reportName = CPath(mainFileName).name();
    std::string description = LoadResourceString(succeeded ? IDS_STATUS_DONE : IDS_STATUS_FAILED);
    if (!WriteStatusReport(reportName, "", displayName, "1.0", description, succeeded, "ENU",
                           nullptr))
        LogEvent("Could not write SMS status.");

    FreeContainers();
    return ExitCode();
}


std::string CInstallApp::SecondStageCommand(const std::string& program) const
{
    // The installer's own profile, not the log that uninstall mode read: in
    // its short form, which a file that isn't there has only through its
    // folder; in quotation marks if blanks are left even so.
    CPath self;
    self.setProgramFile();
    std::string profile = CPath(self.folderText()).shortText();
    profile = WithTrailingBackslash(profile) + self.name() + ".ini";
    if (profile.find(' ') != std::string::npos)
        profile = "\"" + profile + "\"";
    // Quiet as the uninstallation was.
    return "\"" + program + "\" /U /PP:" + profile + (quietMode ? " /Q" : "");
}

bool CInstallApp::PrepareSecondStage()
{
    if (!secondStage.empty())
        return true;
    CPath stage;
    stage.setSpecial(CPath::systemFolder);
    stage.setFileName("uninsta.exe");
    if (!stage.exists())
        return false;
    CPath temp;
    temp.setSpecial(CPath::tempFolder);
    std::string name = temp.freshTempName("exe");
    if (name.empty())
        return false;
    // Written down first: a killed run's copy goes with the next run.
    journal.TempFile(temp.folderText() + name);
    if (!CopyFileA(stage.text().c_str(), (temp.folderText() + name).c_str(), TRUE))
        return false;
    secondStage = temp.folderText() + name;
    // The copy deletes itself: it goes when the last handle on it closes,
    // and the stage inherits one, so that is when the stage has ended.
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    m_secondStageHold = CreateFileA(secondStage.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                    &inherited, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    return true;
}

bool CInstallApp::StartSecondStage()
{
    if (secondStage.empty() && !PrepareSecondStage()) {
        LogEvent("The second stage uninsta.exe is not in the System folder.");
        return false;
    }
    std::string command = SecondStageCommand(secondStage);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = quietMode ? SW_HIDE : SW_SHOWNORMAL;
    PROCESS_INFORMATION process = {};
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    bool held = m_secondStageHold != INVALID_HANDLE_VALUE;
    if (!CreateProcessA(secondStage.c_str(), line.data(), nullptr, nullptr, held, 0, nullptr, nullptr,
                        &startup, &process)) {
        LogEvent("The second stage %s could not be started (error %lu).", secondStage.c_str(),
                 static_cast<unsigned long>(GetLastError()));
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // Without a hold to inherit, the copy goes when Windows next starts.
    if (!held)
        MoveFileExA(secondStage.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    releaseSecondStage();
    // Running: not a leftover for the commit to remove.
    journal.TempNamed(secondStage);
    if (!ownRecord.first.empty())
        journal.LogEntryGone(ownRecord.first, ownRecord.second);
    return true;
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

    std::string text(line, static_cast<std::size_t>(length));
    WriteLogEvent(logPath.text(), text);
    Trace(text);
    return length;
}
