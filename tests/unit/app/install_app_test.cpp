#include "app/install_app.h"

#include "platform/registry.h"
#include "tests/support/dialog_answerer.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

std::string windowsFolder()
{
    CPath p;
    p.setSpecial(CPath::windowsFolder);
    return p.folderText();
}

std::string systemFolder()
{
    CPath p;
    p.setSpecial(CPath::systemFolder);
    return p.folderText();
}

// Keeps the real product key out of the way of a test and puts it back.
class CProductKeyGuard {
public:
    CProductKeyGuard() { m_existed = CRegKey::exists(HKEY_CURRENT_USER, kProductKey); }
    ~CProductKeyGuard()
    {
        if (!m_existed)
            RemoveRegistryTree(HKEY_CURRENT_USER, kProductKey);
    }

private:
    bool m_existed = false;
};

} // namespace

TEST(InstallApp, PathsAndSourceFolderSwitch)
{
    CInstallApp app;
    app.SetPaths();
    CPath self;
    self.setProgramFile();
    EXPECT_EQ(app.profilePath.folderText(), self.folderText());
    EXPECT_EQ(app.profilePath.name(), self.name());
    EXPECT_EQ(app.profilePath.ext(), "ini");
    EXPECT_EQ(app.sourceFolder.text(), self.folderText());
    EXPECT_EQ(app.logPath.text(), windowsFolder() + "ovca40.log");
    EXPECT_TRUE(app.loggingEnabled);

    for (const char* line : {"/DC:\\DIST\\", "/D:C:\\DIST\\", "/D:C:\\DIST"}) {
        app.SetPaths();
        app.ApplySwitches(line);
        EXPECT_EQ(app.profilePath.text(), "C:\\DIST\\" + self.name() + ".ini") << line;
        EXPECT_EQ(app.sourceFolder.text(), "C:\\DIST\\") << line;
        EXPECT_FALSE(app.uninstallMode);
    }

    // Uninstall mode whatever the second stage's profile value says.
    app.ApplySwitches("/U /PP:C:\\ELSEWHERE\\X.INI /B");
    EXPECT_TRUE(app.uninstallMode);
    EXPECT_TRUE(app.batchMode);
    EXPECT_EQ(app.switches.at("PP"), "C:\\ELSEWHERE\\X.INI");
}

TEST(InstallApp, ContainersStartWithThePredefinedDestinations)
{
    CInstallApp app;
    app.CreateContainers();
    ASSERT_EQ(app.destinations.size(), 3u);
    EXPECT_EQ(app.destinations.at(kDestWindows)->path.text(), windowsFolder());
    EXPECT_EQ(app.destinations.at(kDestSystem)->path.text(), systemFolder());
    EXPECT_FALSE(app.destinations.at(kDestTemp)->path.text().empty());
    for (const auto& entry : app.destinations) {
        EXPECT_EQ(entry.second->parent, -1);
        EXPECT_TRUE(entry.second->name.empty());
    }
    app.LoadNames();
    EXPECT_EQ(app.groupName, "Ortavel 4.0 Catal\xE0");
    EXPECT_EQ(app.mainFileName, "Manual.hlp");
    EXPECT_EQ(app.displayName, "Ortavel 4.0 Catal\xE0");
}

TEST(InstallApp, StartupWarnings)
{
    CProductKeyGuard guard;
    RemoveRegistryTree(HKEY_CURRENT_USER, kProductKey);
    CInstallApp app;

    {
        // No editor found: Cancel ends the run.
        CDialogAnswerer answerer({CDialogAnswerer::Press(IDCANCEL)});
        EXPECT_FALSE(app.StartupWarnings());
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.seen()[0].caption, "Instal\xB7laci\xF3 de Ortavel");
        EXPECT_NE(answerer.seen()[0].allText().find(
                      "No s'ha detectat cap editor compatible amb el Ortavel.\n\nPremeu "
                      "''Acceptar'' per continuar la instal\xB7laci\xF3 manual."),
                  std::string::npos);
    }
    {
        // OK goes on to a manual installation; without the key no second box.
        CDialogAnswerer answerer({CDialogAnswerer::Press(IDOK)});
        EXPECT_TRUE(app.StartupWarnings());
        EXPECT_EQ(answerer.seen().size(), 1u);
    }

    // The product key present (whoever wrote it) brings the second warning.
    CRegKey key;
    ASSERT_TRUE(key.create(HKEY_CURRENT_USER, kProductKey));
    key.close();
    app.editors[kEditorWord97].present = true;
    {
        CDialogAnswerer answerer({CDialogAnswerer::Press(IDCANCEL)});
        EXPECT_FALSE(app.StartupWarnings());
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_NE(answerer.seen()[0].allText().find("Ortavel 3.0 est\xE0 instal\xB7lat"),
                  std::string::npos);
    }
    {
        CDialogAnswerer answerer({CDialogAnswerer::Press(IDOK)});
        EXPECT_TRUE(app.StartupWarnings());
        EXPECT_EQ(answerer.seen().size(), 1u);
    }
}

TEST(InstallApp, LogEventStampsAndBoundsLines)
{
    CScratchFolder scratch;
    CInstallApp app;
    app.logPath.set(scratch / "ovca40.log");

    EXPECT_EQ(app.LogEvent("Copied %d files to %s", 3, "C:\\OVCA40\\"), 28);
    std::string longText(700, 'x');
    EXPECT_EQ(app.LogEvent("%s", longText.c_str()), 511);

    char keys[4096] = {};
    DWORD length = GetPrivateProfileStringA("Events", nullptr, "", keys, sizeof keys,
                                            app.logPath.text().c_str());
    ASSERT_GT(length, 0u);
    std::regex stamp("^\\d\\d:\\d\\d:\\d\\d:\\d\\d\\d\\d$");
    int lines = 0;
    bool sawShort = false, sawLong = false;
    for (const char* k = keys; *k; k += strlen(k) + 1) {
        ++lines;
        EXPECT_TRUE(std::regex_match(k, stamp)) << k;
        char value[1024] = {};
        GetPrivateProfileStringA("Events", k, "", value, sizeof value, app.logPath.text().c_str());
        sawShort = sawShort || std::string(value) == "Copied 3 files to C:\\OVCA40\\";
        sawLong = sawLong || std::string(value) == std::string(511, 'x');
    }
    // Both lines are kept, even when written within the same tick.
    EXPECT_EQ(lines, 2);
    EXPECT_TRUE(sawShort);
    EXPECT_TRUE(sawLong);
}

class SecondStage : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_program = systemFolder() + "uninsta.exe";
        ASSERT_TRUE(CopyFileA(WindowsPathOf(UNINSTA_STANDIN).c_str(), m_program.c_str(), FALSE));
        m_app.logPath.set(m_scratch / "ovca40.log");
    }
    void TearDown() override { DeleteFileA(m_program.c_str()); }

    // Runs the exit step with a record file of its own; true when the
    // stand-in was started (checked after a later launch has been seen).
    std::string exitWith(bool uninstallMode, bool succeeded, const std::string& record,
                         int code = -1)
    {
        SetEnvironmentVariableA("UNINSTA_RECORD", record.c_str());
        m_app.uninstallMode = uninstallMode;
        m_app.succeeded = succeeded;
        m_app.secondStage.clear();
        EXPECT_EQ(m_app.ExitInstance(0), code >= 0 ? code : succeeded ? kExitSuccess : kExitFailed);
        return record;
    }

    CScratchFolder m_scratch;
    CInstallApp m_app;
    std::string m_program;
};

TEST_F(SecondStage, StartsOnlyAfterASuccessfulUninstallRun)
{
    std::string failed = exitWith(true, false, m_scratch / "failed.txt");
    std::string install = exitWith(false, true, m_scratch / "install.txt");
    std::string done = exitWith(true, true, m_scratch / "done.txt");

    ASSERT_TRUE(WaitUntil(20000, [&] { return !ReadWholeFile(done).empty(); }));
    std::string command = ReadWholeFile(done);
    // Run from a copy in the temporary folder: the System folder's copy
    // goes with the product's files.
    CPath temp;
    temp.setSpecial(CPath::tempFolder);
    EXPECT_EQ(command.rfind("\"" + temp.folderText(), 0), 0u) << command;
    EXPECT_NE(command.find(".exe\" /U /PP:"), std::string::npos) << command;
    CPath ownProfile;
    ownProfile.setProgramFile();
    ownProfile.setExt("ini");
    EXPECT_EQ(command, m_app.SecondStageCommand(m_app.secondStage));
    EXPECT_NE(command.find(ownProfile.name().substr(0, 6)), std::string::npos) << command;

    // Without a second stage the files it would remove stay: no success.
    DeleteFileA(m_program.c_str());
    exitWith(true, true, m_scratch / "none.txt", kExitFailed);

    // The earlier runs would have been started before the last one.
    EXPECT_TRUE(ReadWholeFile(failed).empty());
    EXPECT_TRUE(ReadWholeFile(install).empty());

    // Each exit step reported the missing status library in the log.
    char value[256] = {};
    char keys[4096] = {};
    GetPrivateProfileStringA("Events", nullptr, "", keys, sizeof keys, m_app.logPath.text().c_str());
    ASSERT_NE(keys[0], '\0');
    GetPrivateProfileStringA("Events", keys, "", value, sizeof value, m_app.logPath.text().c_str());
    EXPECT_STREQ(value, "Could not write SMS status.");
}

TEST(InstallApp, ASecondRunExtendsTheLog)
{
    CScratchFolder scratch;
    std::string log = scratch / "ovca40.log";
    {
        CInstallApp first;
        first.logPath.set(log);
        first.LogEvent("first run");
        WritePrivateProfileStringA("Base", "ORTAVEL.EXE", "0|1|0", log.c_str());
    }
    {
        CInstallApp second;
        second.logPath.set(log);
        second.LogEvent("second run");
    }
    std::string text = ReadWholeFile(log);
    EXPECT_NE(text.find("=first run"), std::string::npos) << text;
    EXPECT_NE(text.find("=second run"), std::string::npos) << text;
    EXPECT_NE(text.find("ORTAVEL.EXE=0|1|0"), std::string::npos) << text;
}
