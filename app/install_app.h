// The application object: the state of one run of the installer or, started
// with /U, the uninstaller. Every subsystem reads and writes these fields.
#pragma once

#include "app/command_line.h"
#include "app/user_info.h"
#include "archive/bundle.h"
#include "editors/editor_table.h"
#include "log/run_journal.h"
#include "log/run_log.h"
#include "platform/file.h"
#include "platform/path.h"
#include "platform/win_app.h"
#include "profile/profile_model.h"

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class CMainWnd;

// Exit codes, as software-distribution tools read them (Windows Installer's).
enum : int {
    kExitSuccess = 0,
    kExitCancelled = 1602,
    kExitFailed = 1603,
    // Another installation or uninstallation is going: the tools try again.
    kExitBusy = 1618,
    kExitBadCommandLine = 1639,
    // Done, and the program itself started the restart.
    kExitRestartStarted = 1641,
    kExitRestartNeeded = 3010,
};

// The product record of an installation, under HKEY_CURRENT_USER.
constexpr const char* kCompanyKey = "SOFTWARE\\Bramo";
constexpr const char* kProductKey = "SOFTWARE\\Bramo\\OVCA40DEMO";

class CInstallApp : public CWinApp {
public:
    CInstallApp();
    ~CInstallApp() override;

    // The one application object.
    static CInstallApp& get();

    bool InitInstance() override;
    int ExitInstance(int loopResult) override;
    void OnHandlerException() noexcept override;

    // Writes a time-stamped line into the Events section of the log; the
    // number of characters formatted.
    int LogEvent(const char* format, ...);

    // The command line of the second uninstall stage, started from program.
    std::string SecondStageCommand(const std::string& program) const;

    // Fields of the run, in declaration order.
    bool uninstallMode = false;
    std::string title;
    std::string groupName;
    std::string displayName;
    std::string mainFileName;
    std::map<std::int16_t, std::unique_ptr<CDestination>> destinations;
    std::map<std::string, std::unique_ptr<CFileGroup>> groups;
    std::map<std::string, std::unique_ptr<CTarget>> targets;
    std::list<std::unique_ptr<CGroupFile>> groupFiles;
    std::vector<CDisk> disks;
    // Files the user changes after installation (their own dictionaries),
    // as UserFileKey gives them: a later installation keeps them.
    std::set<std::string> userFiles;
    CProductInfo product;
    // Bytes of the files this run placed (and kept): the size the list of
    // installed software shows.
    std::uint64_t placedBytes = 0;
    CPath profilePath;
    CPath sourceFolder;
    // The program is itself the distribution (a download): the files of
    // the disks are read from it, and sourceFolder is not used.
    CBundle download;
    CUserInfo userInfo;
    CPath logPath;
    bool loggingEnabled = false;
    bool succeeded = true;
    bool batchMode = false;
    bool restartNeeded = false;
    CEditorTable editors = EditorTable();
    bool previousInstall = false;
    // The folder of an earlier installation (its product record's, else the
    // install log's): the product is installed once on a machine, so a new
    // installation goes there. Empty when there is none.
    std::string earlierFolder;

    // Beyond the fields above: /Q (batch mode in which nothing ever waits
    // for a person), a cancel by the user (as opposed to a failure), /?,
    // and the journal that makes the run all or nothing.
    bool quietMode = false;
    // The program group was made by this product (by this installation or
    // an earlier one the product record knows), so its uninstaller may
    // delete it.
    bool groupCreated = false;
    // The program items are every user's (the all-users Programs folder):
    // an administrator's installation is the machine's. The uninstaller
    // reads it from the product record.
    bool itemsForEveryUser = false;
    bool cancelled = false;
    bool changedForGood = false;
    int endCode = 0;
    bool helpAsked = false;
    // Also written by steps that otherwise only read the run's state.
    mutable CRunJournal journal;
    // Uninstalling: a logged file could not be deleted (its record stays).
    bool filesLeft = false;
    // Uninstalling: the log's record (section, key) of this program's own
    // file, left to the second stage; and the copy of the second stage, in
    // the temporary folder, that is started (the one in the System folder
    // goes with the product's files).
    std::pair<std::string, std::string> ownRecord;
    std::string secondStage;

    CSwitches switches;
    // What the command line held that the program can't use: the run does
    // nothing and ends with 1639.
    std::vector<std::string> refusedSwitches;
    // The administrator's log of the run (/LOG), when asked for.
    CRunLog runLog;
    std::unique_ptr<CMainWnd> mainWnd;

    // The main window, owner of the run's boxes; null without one (/Q).
    HWND MainWindow() const;

    // Checks whether the program carries the distribution; false (the
    // error shown or logged) when it carries a damaged one.
    bool OpenDownload();
    // Where a file of the distribution is read: in the download, or in the
    // source folder (CFileException when the download lacks it).
    CFilePart SourcePart(const std::string& name) const;
    // A distribution file's size, time and attributes; false when missing.
    bool SourceStatus(const std::string& name, CFile::Status& status) const;

    // The installation folder (destination 0) with its closing backslash;
    // empty while it is unknown.
    std::string InstallFolder() const;

    // Steps of start-up, each callable on its own.
    void CreateContainers();
    void LoadNames();
    void SetPaths();
    void ApplySwitches(const std::string& commandLine);
    // The two warnings; false when the user cancelled the run.
    bool StartupWarnings();
    // Finishes or undoes what a killed run left, then starts this run's
    // journal; false (after saying why) when the run can't go on.
    bool StartJournal();
    // The installation that got this far is kept, or undone when it failed.
    void FinishJournal();
    // The process's exit code: 0 done, 1602 cancelled by the user with the
    // machine as it was, 1603 failed, 3010 done and Windows must restart.
    int ExitCode() const;
    // The run's outcome is set through these alone. A step failed: the run
    // ends on the failure page.
    void Fail();
    // The user chose "Cancel·lar" somewhere: the run stops as failed.
    void Cancel();
    // A file waits for the next start of Windows.
    void NeedRestart();
    // Something was done that no undo takes back (an uninstallation deleted
    // a file): a cancel from here on is no longer "as it was".
    void ChangedForGood();
    // The run ends with a code of its own: 1618 another run is going, 1639
    // the command line can't be used, 1641 the program started the restart.
    void EndWith(int code);
    // A step of the run, into the administrator's log when there is one.
    void Trace(const std::string& step);
    // A message box, or in quiet mode the given answer without one.
    int Ask(UINT textId, UINT captionId, UINT style, int quietAnswer);
    void FreeContainers();
    // Copies the second stage out of the System folder before the files go;
    // false when there is none.
    bool PrepareSecondStage();
    // Starts the copy (hidden in quiet mode); its record of this program
    // goes, and the copy is deleted when Windows next starts. False (with
    // an event in the log) when it could not be started.
    bool StartSecondStage();

private:
    void showFirstPage(int pageId);
    void releaseSecondStage();
    // The exit step's work; the exit code.
    int finishRun();

    // Open on the second stage's copy, which goes when it closes.
    HANDLE m_secondStageHold = INVALID_HANDLE_VALUE;
};
