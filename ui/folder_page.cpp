#include "ui/folder_page.h"

#include "app/install_app.h"
#include "copy/folder_picker.h"
#include "platform/registry.h"
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
    // An earlier installation fixes the folder.
    CRegKey record;
    std::string rootPath;
    if (record.open(HKEY_CURRENT_USER, kProductKey))
        rootPath = record.readString("ROOT-PATH").value_or("");
    m_fixed = !rootPath.empty();
    if (m_fixed) {
        m_folder = WithTrailingBackslash(rootPath);
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

void CFolderPage::OnNext()
{
    CInstallApp& app = CInstallApp::get();
    // Without a window the folder stays the one prepared.
    if (m_hwnd)
        m_folder = WithTrailingBackslash(itemText(IDC_FOLDER_EDIT));
    if (m_folder.empty() || !app.journal.CreateFolders(m_folder)) {
        app.Ask(IDS_FOLDER_NOT_CREATED, IDS_CAPTION, MB_OK | MB_ICONEXCLAMATION, IDOK);
        // Unattended, nobody can choose another folder: the run fails.
        if (app.quietMode)
            FailRun();
        return;
    }
    auto& zero = app.destinations[kDestInstallFolder];
    if (!zero) {
        zero = std::make_unique<CDestination>();
        zero->id = kDestInstallFolder;
    }
    zero->path.set(m_folder);
    ResolveDestinations(app);
    ShowPage(next, false);
    SelectGroups(app);
}
