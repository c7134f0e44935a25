#include "ui/folder_page.h"

#include "app/install_app.h"
#include "copy/folder_picker.h"
#include "copy/install_folder.h"
#include "platform/resource_string.h"
#include "profile/install_profile.h"
#include "resources/resource.h"
#include "ui/page_framework.h"

#include <vector>

char CFolderPage::FirstFixedDrive(const std::function<UINT(char)>& driveType)
{
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        if (driveType(letter) == DRIVE_FIXED)
            return letter;
    return 0;
}

std::string CFolderPage::DefaultFolder(char drive, const std::string& name)
{
    std::string folder = std::string(1, drive) + ":\\";
    return name.empty() ? folder : folder + name + "\\";
}

void CFolderPage::Prepare()
{
    CInstallApp& app = CInstallApp::get();
    // The product is installed once on a machine: an earlier installation
    // fixes the folder, unless what it left can't be a folder at all.
    m_fixed = !app.earlierFolder.empty() &&
              CheckFolderText(app.earlierFolder) == CFolderCheck::ok;
    // The administrator's /DIR, where the product is not installed yet.
    auto asked = app.switches.find("DIR");
    m_otherAsked = false;
    if (asked != app.switches.end() && m_fixed)
        m_otherAsked = lstrcmpiA(WithTrailingBackslash(asked->second).c_str(),
                                 WithTrailingBackslash(app.earlierFolder).c_str()) != 0;
    if (!app.earlierFolder.empty()) {
        m_folder = WithTrailingBackslash(app.earlierFolder);
    } else if (asked != app.switches.end()) {
        m_folder = WithTrailingBackslash(asked->second);
    } else {
        char drive = FirstFixedDrive([](char letter) {
            char root[] = {letter, ':', '\\', '\0'};
            return GetDriveTypeA(root);
        });
        auto zero = app.destinations.find(kDestInstallFolder);
        std::string name = zero != app.destinations.end() ? zero->second->name : std::string();
        m_folder = DefaultFolder(drive ? drive : 'C', name);
    }
}

bool CFolderPage::OnInitDialog()
{
    Prepare();
    if (m_fixed) {
        EnableWindow(item(IDC_FOLDER_BROWSE), FALSE);
        SendMessageA(item(IDC_FOLDER_EDIT), EM_SETREADONLY, TRUE, 0);
    }
    SetDlgItemTextA(m_hwnd, IDC_FOLDER_EDIT, m_folder.c_str());
    return CPage::OnInitDialog();
}

bool CFolderPage::OnCommand(int id, int code, HWND control)
{
    if (id == IDC_FOLDER_BROWSE && code == BN_CLICKED) {
        m_folder = itemText(IDC_FOLDER_EDIT);
        if (RunPicker(m_hwnd, m_folder, true))
            SetDlgItemTextA(m_hwnd, IDC_FOLDER_EDIT, m_folder.c_str());
        return true;
    }
    return CPage::OnCommand(id, code, control);
}

UINT CFolderPage::Choose(CInstallApp& app, const std::string& folder)
{
    switch (CheckFolderText(folder)) {
    case CFolderCheck::notFull: return IDS_FOLDER_NOT_FULL;
    case CFolderCheck::tooLong: return IDS_FOLDER_TOO_LONG;
    case CFolderCheck::ok: break;
    }
    auto& zero = app.destinations[kDestInstallFolder];
    if (!zero) {
        zero = std::make_unique<CDestination>();
        zero->id = kDestInstallFolder;
    }
    zero->path.set(folder);
    // Every folder below it follows, also when the choice is made again.
    ResolveDestinations(app);
    for (const auto& entry : app.destinations)
        if (entry.first >= 0 && CheckFolderText(entry.second->path.text()) == CFolderCheck::tooLong)
            return IDS_FOLDER_TOO_LONG;
    // Nothing is made yet: the copy makes the folders, so a choice dropped
    // by going back leaves nothing on the disk.
    return FolderCanBeMade(folder) ? 0 : IDS_FOLDER_NOT_CREATED;
}

void CFolderPage::OnNext()
{
    CInstallApp& app = CInstallApp::get();
    // Without a window the folder stays the one prepared.
    if (m_hwnd)
        m_folder = WithTrailingBackslash(itemText(IDC_FOLDER_EDIT));
    if (m_otherAsked) {
        // Installed once on a machine: another folder is refused (said once).
        m_otherAsked = false;
        app.Ask(IDS_OTHER_FOLDER, IDS_CAPTION, MB_OK | MB_ICONEXCLAMATION, IDOK);
        if (app.quietMode) {
            FailRun();
            return;
        }
    }
    if (UINT problem = Choose(app, m_folder)) {
        app.Ask(problem, IDS_CAPTION, MB_OK | MB_ICONEXCLAMATION, IDOK);
        // Unattended, nobody can choose another folder: the run fails.
        if (app.quietMode)
            FailRun();
        return;
    }
    ShowPage(next, false);
    SelectGroups(app);
}
