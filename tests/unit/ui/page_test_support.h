// A run of the installer inside a test: the application object with its
// main window, and a pump that lets the pages do their work.
#pragma once

#include "app/install_app.h"
#include "tests/support/scratch.h"
#include "ui/main_wnd.h"
#include "ui/page.h"
#include "ui/page_framework.h"

#include <functional>

class CTestRun {
public:
    CTestRun()
    {
        app.CreateContainers();
        app.LoadNames();
        app.SetPaths();
        app.sourceFolder.set(dist.path());
        app.profilePath.set(dist / "install.ini");
        app.logPath.set(dist / "ovca40.log");
        app.mainWnd = std::make_unique<CMainWnd>();
        app.mainWnd->Create("Test", false);
        app.setMainWindow(app.mainWnd.get());
    }
    ~CTestRun()
    {
        DestroyPages();
        if (app.mainWnd)
            app.mainWnd->Destroy();
        // The main window's end posts a quit message; don't leave it behind.
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    // Lets messages through until the condition holds (or 10 s pass).
    bool pumpUntil(const std::function<bool()>& condition)
    {
        return WaitUntil(10000, [&] {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    ended = true;
                    continue;
                }
                // The work of a page without a window (quiet mode).
                if (!msg.hwnd && RunPostedPageWork(msg))
                    continue;
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            return condition();
        });
    }

    int currentId() const { return CurrentPage() ? CurrentPage()->pageId : 0; }
    bool reached(int id) { return pumpUntil([&] { return currentId() == id; }); }

    CScratchFolder dist;
    CInstallApp app;
    bool ended = false;
};

// Presses a button of a page's bar as the user would.
inline void PressBar(int pageId, int button)
{
    CPage* page = FindPage(pageId);
    HWND bar = page && page->bar() ? page->bar()->hwnd() : nullptr;
    SendMessageA(bar, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(bar, button)));
}
