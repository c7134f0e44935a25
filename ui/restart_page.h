// Page 1558: the installation is complete but Windows must restart before
// the product can run; "&Restart" restarts it at once, "&Don't Restart"
// ends the run.
#pragma once

#include "ui/page.h"

class CRestartPage : public CPage {
public:
    // Asks Windows to restart; false when it refuses.
    using RestartFn = bool (*)();
    static bool RestartWindows();

    explicit CRestartPage(RestartFn restart = RestartWindows)
        : CPage(IDD_PAGE_RESTART, kEndOfRun, false), m_restart(restart) {}

    // "&Restart": on a refusal string 23 says why and the page stays.
    void OnRestart();

protected:
    bool OnCommand(int id, int code, HWND control) override;

private:
    RestartFn m_restart;
};
