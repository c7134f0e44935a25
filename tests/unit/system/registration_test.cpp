#include "system/registration.h"

#include "platform/registry.h"
#include "tests/support/scratch.h"
#include "tests/support/registry_scratch.h"

#include <gtest/gtest.h>

#include <cstdio>

TEST(Registration, AppPathNamesTheFileAndItsFolder)
{
    CScratchRegistryPlace scratch;
    const CRegistryPlace& place = scratch.place();
    RegisterAppPath("C:\\OVCA40\\Manual.hlp", place);
    RegisterAppPath("D:\\Ortavel.exe", place);

    std::string manual = place.appPathsKey() + "\\Manual.hlp";
    CRawValue file = ReadRawValue(place.root, manual, "");
    EXPECT_TRUE(file.present);
    EXPECT_EQ(file.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(file.bytes, StoredText("C:\\OVCA40\\Manual.hlp"));
    CRawValue folder = ReadRawValue(place.root, manual, "Path");
    EXPECT_EQ(folder.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(folder.bytes, StoredText("C:\\OVCA40"));
    // A drive's root keeps its backslash.
    EXPECT_EQ(ReadRawValue(place.root, place.appPathsKey() + "\\Ortavel.exe", "Path").bytes,
              StoredText("D:\\"));

    UnregisterAppPath("C:\\ANYWHERE\\Manual.hlp", place);
    EXPECT_FALSE(KeyExists(place.root, manual));
    EXPECT_TRUE(KeyExists(place.root, place.appPathsKey() + "\\Ortavel.exe"));
    // A path without a name must not reach the shared App Paths key.
    UnregisterAppPath("C:\\OVCA40\\", place);
    RegisterAppPath("C:\\OVCA40\\", place);
    EXPECT_FALSE(ReadRawValue(place.root, place.appPathsKey(), "").present);
    EXPECT_TRUE(KeyExists(place.root, place.appPathsKey() + "\\Ortavel.exe"));
}

TEST(Registration, UninstallEntryIsOverwrittenAndRemovedAlone)
{
    CScratchRegistryPlace scratch;
    const CRegistryPlace& place = scratch.place();
    const std::string name = "Ortavel 4.0 Catal\xE0";
    RegisterUninstall("C:\\OLD\\install.exe /U", name, "Old name", place);
    RegisterUninstall("C:\\OVCA40\\install.exe /U", name, name, place);
    RegisterUninstall("C:\\OTHER\\setup.exe /U", "Other", "Other", place);

    std::string entry = place.uninstallKey() + "\\" + name;
    CRawValue shown = ReadRawValue(place.root, entry, "DisplayName");
    EXPECT_EQ(shown.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(shown.bytes, StoredText(name));
    CRawValue command = ReadRawValue(place.root, entry, "UninstallString");
    EXPECT_EQ(command.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(command.bytes, StoredText("C:\\OVCA40\\install.exe /U"));

    UnregisterUninstall(name, place);
    EXPECT_FALSE(KeyExists(place.root, entry));
    // The list of installed software and other entries stay.
    UnregisterUninstall("", place);
    EXPECT_TRUE(KeyExists(place.root, place.uninstallKey() + "\\Other"));
    // Removing what is already gone is no error and changes nothing.
    UnregisterUninstall(name, place);
    UnregisterAppPath("C:\\OVCA40\\Missing.exe", place);
    EXPECT_TRUE(KeyExists(place.root, place.uninstallKey() + "\\Other"));
}

TEST(Registration, ProgramRegistersUnderTheMachineKeys)
{
    // Names of this process only, removed again, so nothing real is touched.
    char unique[64];
    std::snprintf(unique, sizeof unique, "InstallTest%lu", GetCurrentProcessId());
    const std::string base = "Software\\Microsoft\\Windows\\CurrentVersion";
    const std::string appKey = base + "\\App Paths\\" + unique + ".exe";
    const std::string uninstallKey = base + "\\Uninstall\\" + unique;
    RemoveRegistryTree(HKEY_LOCAL_MACHINE, appKey);
    RemoveRegistryTree(HKEY_LOCAL_MACHINE, uninstallKey);

    RegisterAppPath(std::string("C:\\OVCA40\\") + unique + ".exe");
    RegisterUninstall("C:\\OVCA40\\install.exe /U", unique, unique);
    bool appWritten = ReadRawValue(HKEY_LOCAL_MACHINE, appKey, "Path").bytes ==
                      StoredText("C:\\OVCA40");
    bool uninstallWritten = ReadRawValue(HKEY_LOCAL_MACHINE, uninstallKey, "UninstallString")
                                .bytes == StoredText("C:\\OVCA40\\install.exe /U");
    UnregisterAppPath(std::string("C:\\OVCA40\\") + unique + ".exe");
    UnregisterUninstall(unique);
    bool appRemoved = !KeyExists(HKEY_LOCAL_MACHINE, appKey);
    bool uninstallRemoved = !KeyExists(HKEY_LOCAL_MACHINE, uninstallKey);
    RemoveRegistryTree(HKEY_LOCAL_MACHINE, appKey);
    RemoveRegistryTree(HKEY_LOCAL_MACHINE, uninstallKey);

    EXPECT_TRUE(appWritten);
    EXPECT_TRUE(uninstallWritten);
    EXPECT_TRUE(appRemoved);
    EXPECT_TRUE(uninstallRemoved);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, base + "\\Uninstall"));
}
