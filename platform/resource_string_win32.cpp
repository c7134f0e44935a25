#include "platform/resource_string.h"

#include "platform/win_app.h"

#include <windows.h>

std::string LoadResourceString(unsigned id)
{
    CWinApp* app = CWinApp::instance();
    HINSTANCE module = app && app->resourceInstance() ? app->resourceInstance()
                                                      : GetModuleHandleA(nullptr);
    // A string table entry holds at most 4097 characters.
    char buffer[4100];
    int length = LoadStringA(module, id, buffer, sizeof buffer);
    return length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : std::string();
}
