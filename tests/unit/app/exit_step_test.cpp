#include "app/install_app.h"

#include "system/status_report.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

namespace {

// Makes LoadLibrary find one of the stand-in status libraries.
class CStatusLibrary {
public:
    explicit CStatusLibrary(const char* folder) { SetDllDirectoryA(WindowsPathOf(folder).c_str()); }
    ~CStatusLibrary() { SetDllDirectoryA(nullptr); }
};

std::string firstEvent(const CPath& log)
{
    char keys[1024] = {};
    char value[256] = {};
    GetPrivateProfileStringA("Events", nullptr, "", keys, sizeof keys, log.text().c_str());
    if (!keys[0])
        return std::string();
    GetPrivateProfileStringA("Events", keys, "", value, sizeof value, log.text().c_str());
    return value;
}

} // namespace

TEST(ExitStep, StatusReportCarriesTheOutcomeOfTheRun)
{
    CScratchFolder scratch;
    std::string record = scratch / "status.txt";
    SetEnvironmentVariableA("STATUS_RECORD", record.c_str());
    CStatusLibrary library(STATUS_LIBRARY_DIR);

    for (bool succeeded : {true, false}) {
        CInstallApp app;
        app.LoadNames();
        app.logPath.set(scratch / (succeeded ? "ok.log" : "failed.log"));
        app.succeeded = succeeded;
        app.ExitInstance(0);
        std::string expected = std::string("Manual\n\nOrtavel 4.0 Catal\xE0\n1.0\nENU\n(null)\n") +
                               (succeeded ? "Instal\xB7laci\xF3 finalitzada.\n1\n"
                                          : "Instal\xB7laci\xF3 fallida.\n0\n");
        EXPECT_EQ(ReadWholeFile(record), expected);
        // Written: nothing to log.
        EXPECT_EQ(firstEvent(app.logPath), "");
        DeleteFileA(record.c_str());
    }
}

TEST(ExitStep, MissingStatusLibraryOrExportIsLogged)
{
    CScratchFolder scratch;
    {
        CStatusLibrary library(STATUS_LIBRARY_NOEXPORT_DIR);
        EXPECT_FALSE(WriteStatusReport("Manual", "", "P", "1.0", "D", true, "ENU", nullptr));
        // The library was unloaded again.
        EXPECT_EQ(GetModuleHandleA("ismif32.dll"), nullptr);

        CInstallApp app;
        app.logPath.set(scratch / "noexport.log");
        app.ExitInstance(0);
        EXPECT_EQ(firstEvent(app.logPath), "Could not write SMS status.");
    }
    EXPECT_FALSE(WriteStatusReport("Manual", "", "P", "1.0", "D", true, "ENU", nullptr));
}
