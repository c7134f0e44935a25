// The application class: initialisation, the message loop and the exit step.
#pragma once

#include <windows.h>

#include <string>

class CWnd;

// Whether the process's window station is one a person sees; a service's or
// a deployment tool's system account runs in one that nobody does.
bool WindowStationVisible();

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The one application object of the process.
    static CWinApp* instance();

    // Runs initialisation, the loop and the exit step; the exit code.
    int Main(HINSTANCE instance, const char* commandLine);

    // Called from inside a catch block when an error escapes a window or
    // dialog handler; the message then counts as handled. Must not throw.
    virtual void OnHandlerException() noexcept {}

    HINSTANCE resourceInstance() const { return hInstance; }
    const std::string& commandLine() const { return cmdLine; }
    CWnd* mainWindow() const { return mainWnd; }
    void setMainWindow(CWnd* wnd) { mainWnd = wnd; }

protected:
    // False ends the process at once, without the loop or the exit step.
    virtual bool InitInstance() { return true; }
    // Runs the message loop until the quit message; its value is the result.
    virtual int Run();
    // The exit step: its result is the process exit code.
    virtual int ExitInstance(int loopResult) { return loopResult; }

    // The exit code when initialisation fails.
    int initFailureCode = 1;
    HINSTANCE hInstance = nullptr;
    std::string cmdLine;
    CWnd* mainWnd = nullptr;
};

// Runs one window or dialog handler for a window procedure. Nothing may
// unwind through the system's frames: an error that escapes is reported by
// the application object and the procedure answers onError.
template <class Result, class Handler>
Result RunHandler(Handler&& handler, Result onError) noexcept
{
    try {
        return handler();
    } catch (...) {
        if (CWinApp* app = CWinApp::instance())
            app->OnHandlerException();
        return onError;
    }
}
