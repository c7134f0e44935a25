// Page 114: reads the profile (the install log in uninstall mode), once.
#pragma once

#include "ui/page.h"

class CReadingPage : public CPage {
public:
    explicit CReadingPage(bool uninstallMode)
        : CPage(kPageReading, uninstallMode ? kPageUninstallFiles : kPageFolder, false) {}

    // Going back never passes this page again.
    bool ShouldShow() override { return !left; }
    int DoWork() override;
};
