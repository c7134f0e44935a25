// Page 104: the installation folder, with destination 0 and the typical
// selection set when it is confirmed.
#pragma once

#include "ui/page.h"

#include <functional>
#include <string>

class CInstallApp;

class CFolderPage : public CPage {
public:
    CFolderPage() : CPage(IDD_PAGE_FOLDER, IDD_PAGE_EDITORS, true) {}

    void OnNext() override;

    // The first letter from A to Z whose drive is a fixed disk; 0 when none.
    static char FirstFixedDrive(const std::function<UINT(char)>& driveType);
    // "X:\NAME\", or "X:\" for an empty name.
    static std::string DefaultFolder(char drive, const std::string& name);

    const std::string& folder() const { return m_folder; }

    // Makes folder the installation folder with every folder below it, when
    // it can be one; else the message that says why not.
    static UINT Choose(CInstallApp& app, const std::string& folder);

protected:
    // The folder: an earlier installation's, which can't be changed, or the
    // default one on the first fixed drive.
    void Prepare() override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    std::string m_folder;
    bool m_fixed = false;
    // /DIR asked for another folder than the earlier installation's.
    bool m_otherAsked = false;
};
