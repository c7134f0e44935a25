// Dialog 149: before the files go, the user may save the two dictionary
// files to a floppy disk. Either way the help index files and both
// dictionary files are deleted from the installation folder.
#pragma once

#include "platform/dialog.h"
#include "resources/resource.h"

#include <string>

class CDictionaryBackup : public CDialog {
public:
    // installFolder with its trailing backslash; floppyFolder is put in front
    // of the file names as it is ("a:" for the user).
    CDictionaryBackup(std::string installFolder, std::string floppyFolder)
        : CDialog(IDD_DICTIONARY_BACKUP), m_installFolder(std::move(installFolder)),
          m_floppyFolder(std::move(floppyFolder)) {}

    // True when the uninstallation may go on; raises a resource error when
    // the template can't be shown.
    bool Run(HWND owner);
    // The help index files alone, without asking (quiet mode).
    void DeleteHelpIndexes() const { deleteHelpIndexes(); }

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    void deleteHelpIndexes() const;
    void deleteDictionaries() const;
    // False when the user gave up a copy that failed.
    bool copyDictionaries();

    std::string m_installFolder;
    std::string m_floppyFolder;
    bool m_proceed = false;
};
