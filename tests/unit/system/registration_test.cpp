#include "system/registration.h"

#include "platform/registry.h"
#include "tests/support/scratch.h"
#include "tests/support/registry_scratch.h"

#include <gtest/gtest.h>

#include <cstring>

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

namespace {

CUninstallEntry entryAt(const std::string& folder, const std::string& name)
{
    CUninstallEntry entry;
    entry.displayName = name;
    entry.program = folder + "install.exe";
    entry.folder = folder;
    entry.estimatedSizeKb = 4321;
    entry.installDate = "20261209";
    return entry;
}

std::uint32_t dword(const CRawValue& value)
{
    std::uint32_t n = 0;
    if (value.type == REG_DWORD && value.bytes.size() == 4)
        std::memcpy(&n, value.bytes.data(), 4);
    return n;
}

} // namespace

// What a package manager or a detection rule reads: quoted commands that run
// the uninstaller whatever blanks its folder holds, a quiet one, and the
// distribution's version, publisher and links where it gives them.
TEST(Registration, UninstallEntryIsOverwrittenAndRemovedAlone)
{
    CScratchRegistryPlace scratch;
    const CRegistryPlace& place = scratch.place();
    const std::string name = "Ortavel 4.0 Catal\xE0";
    CUninstallEntry full = entryAt("C:\\Programes\\Ortavel Catal\xE0\\", name);
    full.version = "4.0.1";
    full.publisher = "Bramo";
    full.helpLink = "https://www.bramo.example/ortavel/ajuda";
    RegisterUninstall(entryAt("C:\\OLD\\", "Old name"), name, place);
    RegisterUninstall(full, name, place);
    RegisterUninstall(entryAt("C:\\OTHER\\", "Other"), "Other", place);

    std::string entry = place.uninstallKey() + "\\" + name;
    auto text = [&](const char* value) { return ReadRawValue(place.root, entry, value).bytes; };
    EXPECT_EQ(text("DisplayName"), StoredText(name));
    EXPECT_EQ(text("UninstallString"), StoredText("\"C:\\Programes\\Ortavel Catal\xE0\\install.exe\" /U"));
    EXPECT_EQ(text("QuietUninstallString"), StoredText("\"C:\\Programes\\Ortavel Catal\xE0\\install.exe\" /U /Q"));
    EXPECT_EQ(text("InstallLocation"), StoredText("C:\\Programes\\Ortavel Catal\xE0\\"));
    EXPECT_EQ(text("DisplayVersion"), StoredText("4.0.1"));
    EXPECT_EQ(text("Publisher"), StoredText("Bramo"));
    EXPECT_EQ(text("HelpLink"), StoredText("https://www.bramo.example/ortavel/ajuda"));
    EXPECT_FALSE(ReadRawValue(place.root, entry, "URLInfoAbout").present);
    EXPECT_EQ(text("InstallDate"), StoredText("20261209"));
    EXPECT_EQ(dword(ReadRawValue(place.root, entry, "VersionMajor")), 4u);
    EXPECT_EQ(dword(ReadRawValue(place.root, entry, "VersionMinor")), 0u);
    EXPECT_EQ(dword(ReadRawValue(place.root, entry, "EstimatedSize")), 4321u);
    EXPECT_EQ(dword(ReadRawValue(place.root, entry, "Language")), 1027u);
    EXPECT_EQ(dword(ReadRawValue(place.root, entry, "NoModify")), 1u);
    EXPECT_EQ(dword(ReadRawValue(place.root, entry, "NoRepair")), 1u);
    // A distribution that gives no version leaves it out.
    EXPECT_FALSE(ReadRawValue(place.root, place.uninstallKey() + "\\Other", "DisplayVersion").present);

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
    RegisterUninstall(entryAt("C:\\OVCA40\\", unique), unique);
    bool appWritten = ReadRawValue(HKEY_LOCAL_MACHINE, appKey, "Path").bytes ==
                      StoredText("C:\\OVCA40");
    bool uninstallWritten = ReadRawValue(HKEY_LOCAL_MACHINE, uninstallKey, "UninstallString")
                                .bytes == StoredText("\"C:\\OVCA40\\install.exe\" /U");
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
