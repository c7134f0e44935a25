#include "system/status_report.h"

#include <windows.h>

namespace {

// The library's published interface.
using InstallStatusMifFn = BOOL(WINAPI*)(char* fileName, char* company, char* product,
                                         char* version, char* locale, char* serialNumber,
                                         char* description, BOOL success);

// The library takes writable texts; give it copies.
struct CText {
    explicit CText(const std::string& s) : text(s) {}
    char* get() { return &text[0]; }
    std::string text;
};

} // namespace

bool WriteStatusReport(const std::string& reportName, const std::string& manufacturer,
                       const std::string& product, const std::string& version,
                       const std::string& description, bool success, const std::string& locale,
                       const char* serialNumber)
{
    HMODULE library = LoadLibraryA("ismif32.dll");
    if (!library)
        return false;
    auto call = reinterpret_cast<InstallStatusMifFn>(GetProcAddress(library, "InstallStatusMIF"));
    BOOL written = FALSE;
    if (call) {
        CText name(reportName), company(manufacturer), productText(product),
            versionText(version), localeText(locale), descriptionText(description);
        std::string serial = serialNumber ? serialNumber : "";
        CText serialText(serial);
        written = call(name.get(), company.get(), productText.get(), versionText.get(),
                       localeText.get(), serialNumber ? serialText.get() : nullptr,
                       descriptionText.get(), success ? TRUE : FALSE);
    }
    FreeLibrary(library);
    return written != FALSE;
}
