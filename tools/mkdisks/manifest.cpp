#include "manifest.h"

#include "sha256.h"

#include "archive/bundle.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const char* const kManifestVersion = "1.6.0";

// A single-quoted YAML scalar: nothing inside is special but the quote.
std::string quoted(const std::string& text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

void writeText(const fs::path& path, const std::string& text)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << text;
    f.close();
    if (!f)
        throw LayoutError("cannot write " + path.string());
}

} // namespace

void writeManifest(const Layout& layout, const std::string& download, const std::string& folder)
{
    if (!layout.download)
        throw LayoutError(layout.file + ": has no [download] section");
    const LayoutDownload& d = *layout.download;
    // The hash of anything else would send every user a file that fails
    // the package manager's check, or the installer's.
    if (CBundle().Read(download) != CBundle::whole)
        throw LayoutError(download + " is no whole download made by mkdisks");
    const std::string sha256 = CSha256::hex(CSha256::ofFile(download));
    const std::string publisher = fromWindows1252(layout.publisher);
    const std::string url = fromWindows1252(layout.urlInfoAbout);

    std::ostringstream head;
    head << "PackageIdentifier: " << quoted(d.package) << "\n"
         << "PackageVersion: " << quoted(layout.version) << "\n";
    std::ostringstream tail;
    tail << "ManifestVersion: " << kManifestVersion << "\n";

    std::ostringstream version;
    version << head.str() << "DefaultLocale: " << quoted(d.locale) << "\n"
            << "ManifestType: version\n" << tail.str();

    std::ostringstream locale;
    locale << head.str() << "PackageLocale: " << quoted(d.locale) << "\n"
           << "Publisher: " << quoted(publisher) << "\n";
    if (!url.empty())
        locale << "PublisherUrl: " << quoted(url) << "\n";
    locale << "PackageName: " << quoted(d.name) << "\n";
    if (!url.empty())
        locale << "PackageUrl: " << quoted(url) << "\n";
    locale << "License: " << quoted(d.license) << "\n"
           << "ShortDescription: " << quoted(d.description) << "\n"
           << "ManifestType: defaultLocale\n" << tail.str();

    // The installer's own switches and exit codes; the uninstall entry is
    // keyed by its display name, which is therefore the product code.
    std::ostringstream installer;
    installer << head.str()
              << "InstallerType: exe\n"
                 "Scope: machine\n"
                 "ElevationRequirement: elevatesSelf\n"
                 "InstallModes:\n"
                 "- interactive\n"
                 "- silent\n"
                 "- silentWithProgress\n"
                 "InstallerSwitches:\n"
                 "  Silent: '/Q'\n"
                 "  SilentWithProgress: '/Q'\n"
                 "  InstallLocation: '/DIR=\"<INSTALLPATH>\"'\n"
                 "  Log: '/LOG=\"<LOGPATH>\"'\n"
                 "ExpectedReturnCodes:\n";
    const std::pair<int, const char*> codes[] = {
        {1602, "cancelledByUser"}, {1618, "installInProgress"}, {1641, "rebootInitiated"}, {3010, "rebootRequiredToFinish"}};
    for (const auto& code : codes)
        installer << "- InstallerReturnCode: " << code.first << "\n"
                  << "  ReturnResponse: " << code.second << "\n";
    installer << "UpgradeBehavior: install\n"
              << "ProductCode: " << quoted(d.name) << "\n"
              << "AppsAndFeaturesEntries:\n"
              << "- DisplayName: " << quoted(d.name) << "\n"
              << "  Publisher: " << quoted(publisher) << "\n"
              << "  DisplayVersion: " << quoted(layout.version) << "\n"
              << "  ProductCode: " << quoted(d.name) << "\n"
              << "Installers:\n"
              << "- Architecture: " << d.architecture << "\n"
              << "  InstallerUrl: " << quoted(d.url) << "\n"
              << "  InstallerSha256: " << sha256 << "\n"
              << "ManifestType: installer\n" << tail.str();

    fs::create_directories(folder);
    writeText(fs::path(folder) / (d.package + ".yaml"), version.str());
    writeText(fs::path(folder) / (d.package + ".locale." + d.locale + ".yaml"), locale.str());
    writeText(fs::path(folder) / (d.package + ".installer.yaml"), installer.str());
}
