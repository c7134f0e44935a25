#include "platform/resource_string.h"

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
    const WCHAR* unit = loaded ? static_cast<const WCHAR*>(LockResource(loaded)) : nullptr;
    if (!unit)
        return std::string();
    const WCHAR* end = unit + SizeofResource(module, found) / sizeof(WCHAR);
    for (unsigned skip = id & 15; skip > 0 && unit < end; --skip)
        unit += 1 + static_cast<std::size_t>(*unit);
    if (unit >= end || *unit == 0 || static_cast<std::size_t>(end - unit - 1) < *unit)
        return std::string();
    int length = *unit++;
    int bytes = WideCharToMultiByte(CP_ACP, 0, unit, length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return std::string();
    std::string text(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, unit, length, &text[0], bytes, nullptr, nullptr);
    return text;
}
