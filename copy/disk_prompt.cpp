#include "copy/disk_prompt.h"

#include "app/install_app.h"
#include "copy/folder_picker.h"
#include "platform/resource_string.h"
#include "resources/resource.h"

#include <cstdio>
#include <vector>

namespace {

// The prompt's texts hold a path: room for it beside the words.
constexpr std::size_t kPromptTextSize = 1024;

} // namespace

std::string SiblingDiskFolder(const std::string& folder, int diskNumber)
{
    std::string bare = folder;
    if (!bare.empty() && bare.back() == '\\')
        bare.pop_back();
    if (bare.size() <= 2)
        return std::string();
    std::size_t at = bare.size() - 2;
    // The last two characters read as a number from the first of them.
    int number = 0;
    for (std::size_t i = at; i < bare.size() && bare[i] >= '0' && bare[i] <= '9'; ++i)
        number = number * 10 + (bare[i] - '0');
    if (number == 0)
        return std::string();
    char digits[16];
    std::snprintf(digits, sizeof digits, "%02d", diskNumber);
    return bare.substr(0, at) + digits + "\\";
}

bool EnsureSourceFile(CInstallApp& app, const std::string& fileName, int diskNumber)
{
    // A download has no disks to ask for: a file it lacks is an error of
    // the reading.
    if (app.download.active())
        return true;
    CPath path(app.sourceFolder.folderText() + fileName);
    if (path.exists())
        return true;

    std::string sibling = SiblingDiskFolder(path.folder(), diskNumber);
    if (!sibling.empty()) {
        CPath candidate(path);
        candidate.setFolder(sibling);
        if (candidate.exists()) {
            app.sourceFolder.set(candidate.folderText());
            return true;
        }
    }

    if (app.quietMode) {
        app.LogEvent("Disk %d is missing: %s", diskNumber, path.text().c_str());
        return false;
    }
    CDiskPrompt prompt(app, path.text(), diskNumber);
    HWND owner = app.MainWindow();
    return prompt.DoModal(owner) == IDOK;
}

std::string CDiskPrompt::PromptLine(const std::string& label, int diskNumber,
                                    const std::string& drive)
{
    if (!label.empty())
        return FormatResourceString(kPromptTextSize, IDS_INSERT_DISK_LABEL, label.c_str(),
                                    drive.c_str());
    return FormatResourceString(kPromptTextSize, IDS_INSERT_DISK_NUMBER, diskNumber, drive.c_str());
}

bool CDiskPrompt::OnInitDialog()
{
    CExpandableDialog::OnInitDialog();
    std::string drive = m_app.sourceFolder.drive();
    std::string label;
    if (m_diskNumber >= 0 && static_cast<std::size_t>(m_diskNumber) < m_app.disks.size())
        label = m_app.disks[static_cast<std::size_t>(m_diskNumber)].label;
    SetDlgItemTextA(m_hwnd, IDC_PROMPT_LINE, PromptLine(label, m_diskNumber, drive).c_str());
    std::string explanation =
        FormatResourceString(kPromptTextSize, IDS_FILE_NOT_FOUND, m_filePath.c_str());
    SetDlgItemTextA(m_hwnd, IDC_PROMPT_EXPLANATION, explanation.c_str());
    m_folder = CPath(m_filePath).folderText();
    SetDlgItemTextA(m_hwnd, IDC_FOLDER_EDIT, m_folder.c_str());

    CentreOnOwner();
    return true;
}

void CDiskPrompt::OnOK()
{
    // File names are appended to folder texts directly: keep the backslash.
    m_folder = WithTrailingBackslash(itemText(IDC_FOLDER_EDIT));
    CPath candidate(m_folder + CPath(m_filePath).fileName());
    if (!m_folder.empty() && candidate.exists()) {
        m_app.sourceFolder.set(m_folder);
        EndDialog(m_hwnd, IDOK);
        return;
    }
    // Still missing: beep, flash and wait for the disk.
    FlashWindow(m_hwnd, TRUE);
    MessageBeep(MB_ICONASTERISK);
    FlashWindow(m_hwnd, FALSE);
}

bool CDiskPrompt::OnCommand(int id, int code, HWND control)
{
    if (id == IDC_PROMPT_BROWSE && code == BN_CLICKED) {
        m_folder = itemText(IDC_FOLDER_EDIT);
        if (RunPicker(m_hwnd, m_folder, false))
            SetDlgItemTextA(m_hwnd, IDC_FOLDER_EDIT, m_folder.c_str());
        return true;
    }
    return CExpandableDialog::OnCommand(id, code, control);
}
