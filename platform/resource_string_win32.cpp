#include "platform/resource_string.h"

#include "platform/code_page.h"
#include "platform/win_app.h"

#include <windows.h>

std::string LoadResourceString(unsigned id)
{
    CWinApp* app = CWinApp::instance();
    HINSTANCE module = app && app->resourceInstance() ? app->resourceInstance()
                                                      : GetModuleHandleA(nullptr);
    // Read from the string table itself rather than through LoadString,
    // which would load the window system into a run that opens no window.
    // The table comes in blocks of 16 strings, each its length in UTF-16
    // units and then the units.
    id &= 0xFFFF;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA((id >> 4) + 1), MAKEINTRESOURCEA(6));
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const WCHAR* table = loaded ? static_cast<const WCHAR*>(LockResource(loaded)) : nullptr;
    if (!table)
        return std::string();
    std::size_t units = SizeofResource(module, found) / sizeof(WCHAR), at = 0;
    for (unsigned skip = id & 15; skip > 0 && at < units; --skip)
        at += 1 + static_cast<std::size_t>(table[at]);
    if (at >= units || table[at] == 0 || units - at - 1 < table[at])
        return std::string();
    return AnsiFromWide(table + at + 1, table[at]);
}
