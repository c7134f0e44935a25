// Where the machine-wide registrations live. The program always uses the
// machine's own keys; a test names a scratch tree instead, so that it never
// touches what another program registered.
#pragma once

#include <windows.h>

#include <string>

struct CRegistryPlace {
    HKEY root;
    // The key that holds "App Paths", "Uninstall" and "SharedDLLs".
    std::string base;

    // HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion.
    static const CRegistryPlace& machine();

    std::string appPathsKey() const { return base + "\\App Paths"; }
    std::string uninstallKey() const { return base + "\\Uninstall"; }
    std::string sharedDllsKey() const { return base + "\\SharedDLLs"; }
};
