// Page 114: reads the profile (the install log in uninstall mode), once.
#pragma once

#include "ui/page.h"

class CReadingPage : public CPage {
public:
    explicit CReadingPage(bool uninstallMode)
        : CPage(IDD_PAGE_READING, uninstallMode ? IDD_PAGE_UNINSTALL_FILES : IDD_PAGE_FOLDER, false) {}

    // Going back never passes this page again.
    bool ShouldShow() override { return !left; }
    int DoWork() override;
};
