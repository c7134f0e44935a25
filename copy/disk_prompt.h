// Making a distribution file available: the source folder, a sibling folder
// named after the disk, or the prompt to insert the disk.
#pragma once

#include "platform/expandable_dialog.h"
#include "resources/resource.h"

#include <string>

class CInstallApp;

// The folder text of a sibling disk folder ("\DIST\DISK01" for disk 3 gives
// "\DIST\DISK03"), or empty when the folder's name doesn't end in a disk
// number. The drive is not part of folder.
std::string SiblingDiskFolder(const std::string& folder, int diskNumber);

// True when fileName can now be read from the app's source folder (which
// may have changed); false when the user cancelled the prompt.
bool EnsureSourceFile(CInstallApp& app, const std::string& fileName, int diskNumber);

// "Inseriu el Disc": asks for the disk that holds a file, or for the folder
// where it is.
class CDiskPrompt : public CExpandableDialog {
public:
    CDiskPrompt(CInstallApp& app, std::string filePath, int diskNumber)
        : CExpandableDialog(IDD_DISK_PROMPT), m_app(app), m_filePath(std::move(filePath)),
          m_diskNumber(diskNumber) {}

    // The prompt line for a disk, with its label or its number.
    static std::string PromptLine(const std::string& label, int diskNumber, const std::string& drive);

    const std::string& folder() const { return m_folder; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;

private:
    CInstallApp& m_app;
    std::string m_filePath;
    int m_diskNumber;
    std::string m_folder;
};
