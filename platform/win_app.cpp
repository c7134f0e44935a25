#include "platform/win_app.h"

#include "platform/message_pump.h"

namespace {
CWinApp* g_app = nullptr;
}

bool WindowStationVisible()
{
    HWINSTA station = GetProcessWindowStation();
    USEROBJECTFLAGS flags = {};
    DWORD needed = 0;
    // Without an answer, take it that somebody may be there.
    if (!station || !GetUserObjectInformationA(station, UOI_FLAGS, &flags, sizeof flags, &needed))
        return true;
    return (flags.dwFlags & WSF_VISIBLE) != 0;
}

CWinApp::CWinApp()
{
    g_app = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

CWinApp* CWinApp::instance()
{
    return g_app;
}

int CWinApp::Main(HINSTANCE instance, const char* commandLine)
{
    hInstance = instance;
    cmdLine = commandLine ? commandLine : "";
    // Nothing ends the process through an exception: an error that escapes
    // the program's own handling ends the run as failed.
    try {
        if (!InitInstance())
            return initFailureCode;
    } catch (...) {
        return initFailureCode;
    }
    int result = Run();
    try {
        return ExitInstance(result);
    } catch (...) {
        return initFailureCode;
    }
}

int CWinApp::Run()
{
    return RunMessageLoop();
}
