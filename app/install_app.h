// The application object: the state of one run of the installer or, started
// with /U, the uninstaller. Every subsystem reads and writes these fields.
#pragma once

#include "app/command_line.h"
#include "app/user_info.h"
#include "editors/editor_table.h"
#include "platform/path.h"
#include "platform/win_app.h"
#include "profile/profile_model.h"

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

class CMainWnd;

// The product record of an installation, under HKEY_CURRENT_USER.
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

    // The command line of the second uninstall stage.
    std::string SecondStageCommand() const;

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
    CPath profilePath;
    CPath sourceFolder;
    CUserInfo userInfo;
    CPath logPath;
    bool loggingEnabled = false;
    bool succeeded = true;
    bool batchMode = false;
    bool restartNeeded = false;
    CEditorTable editors = EditorTable();
    bool previousInstall = false;

    CSwitches switches;
    std::unique_ptr<CMainWnd> mainWnd;

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
    void FreeContainers();
    bool StartSecondStage() const;

private:
    void showFirstPage(int pageId);
};
