#include "ui/registering_page.h"
#include "ui/restart_page.h"

#include "system/registration.h"
#include "tests/support/dialog_answerer.h"
#include "tests/unit/ui/page_test_support.h"
#include "tests/support/registry_scratch.h"

#include <gtest/gtest.h>

namespace {

// Stands in for the restart, which would end every program of the prefix.
struct CFakeRestart {
    static bool restart()
    {
        ++calls;
        return answer;
    }
    static int calls;
    static bool answer;
};
int CFakeRestart::calls = 0;
bool CFakeRestart::answer = false;

void press(int pageId, int button)
{
    HWND page = FindPage(pageId)->hwnd();
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, button)));
}

bool isDefaultButton(HWND button)
{
    return (GetWindowLongA(button, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON;
}

} // namespace

TEST(RestartPage, RefusedRestartSaysSoAndStaysThenDontRestartEndsTheRun)
{
    CTestRun run;
    CFakeRestart::calls = 0;
    CFakeRestart::answer = false;
    RegisterPage(std::make_unique<CRestartPage>(CFakeRestart::restart));
    ShowPage(IDD_PAGE_RESTART, false);
    ASSERT_TRUE(run.reached(IDD_PAGE_RESTART));
    HWND page = FindPage(IDD_PAGE_RESTART)->hwnd();
    CSeenDialog shown = SnapshotDialog(page);
    EXPECT_EQ(shown.caption, "Ortavel 4.0 Catal\xE0 IWSETUPNAME");
    EXPECT_EQ(shown.text(IDC_RESTART), "&Restart");
    EXPECT_EQ(shown.text(IDC_DONT_RESTART), "&Don't Restart");
    EXPECT_NE(shown.allText().find("you will need to restart your computer."), std::string::npos);
    EXPECT_TRUE(isDefaultButton(GetDlgItem(page, IDC_DONT_RESTART)));
    EXPECT_FALSE(isDefaultButton(GetDlgItem(page, IDC_RESTART)));

    {
        CDialogAnswerer answerer({CDialogAnswerer::Press(IDOK)});
        press(IDD_PAGE_RESTART, IDC_RESTART);
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_NE(answerer.seen()[0].allText().find(
                      "Windows no pot tancar les aplicacions . \n\nSi us plau, tanqueu les "
                      "aplicacions obertes, i torneu a repetir el proc\xE9s."),
                  std::string::npos);
    }
    EXPECT_EQ(CFakeRestart::calls, 1);
    EXPECT_EQ(run.currentId(), IDD_PAGE_RESTART);
    EXPECT_TRUE(IsWindowVisible(page));
    EXPECT_TRUE(run.app.mainWnd->exists());
    EXPECT_TRUE(run.app.succeeded);

    press(IDD_PAGE_RESTART, IDC_DONT_RESTART);
    EXPECT_TRUE(run.pumpUntil([&] { return !run.app.mainWnd->exists(); }));
    EXPECT_EQ(CFakeRestart::calls, 1);
    EXPECT_TRUE(run.app.succeeded);
}

// Accepted: Windows is on its way down; the run ends, and its code says that
// the program started the restart.
TEST(RestartPage, AnAcceptedRestartEndsTheRunWith1641)
{
    CTestRun run;
    CFakeRestart::calls = 0;
    CFakeRestart::answer = true;
    RegisterPage(std::make_unique<CRestartPage>(CFakeRestart::restart));
    ShowPage(IDD_PAGE_RESTART, false);
    ASSERT_TRUE(run.reached(IDD_PAGE_RESTART));
    {
        CDialogAnswerer answerer({});
        press(IDD_PAGE_RESTART, IDC_RESTART);
        EXPECT_TRUE(answerer.seen().empty());
    }
    EXPECT_TRUE(run.pumpUntil([&] { return !run.app.mainWnd->exists(); }));
    EXPECT_EQ(CFakeRestart::calls, 1);
    EXPECT_EQ(run.app.ExitCode(), kExitRestartStarted);
}

TEST(RegisteringPage, SuccessorFollowsSuccessAndRestart)
{
    EXPECT_EQ(CRegisteringPage::NextPageAfterRegistering(true, false), IDD_PAGE_DONE);
    EXPECT_EQ(CRegisteringPage::NextPageAfterRegistering(true, true), IDD_PAGE_RESTART);
    EXPECT_EQ(CRegisteringPage::NextPageAfterRegistering(false, false), IDD_PAGE_FAILED);
    EXPECT_EQ(CRegisteringPage::NextPageAfterRegistering(false, true), IDD_PAGE_FAILED);
}

namespace {

// Runs page 1549 with the installation folder C:\OVCA40\ and a scratch
// registry, up to the page it leads to.
// The page writes the product record under its real keys: take it away
// again so the other tests see a first installation.
struct CProductRecordCleanup {
    ~CProductRecordCleanup()
    {
        RemoveRegistryTree(HKEY_CURRENT_USER, kProductKey);
        RemoveRegistryTree(HKEY_LOCAL_MACHINE, kProductKey, KEY_WOW64_32KEY);
    }
};

int runRegisteringPage(CTestRun& run, const CRegistryPlace& place)
{
    CProductRecordCleanup cleanup;
    auto zero = std::make_unique<CDestination>();
    zero->id = kDestInstallFolder;
    zero->path.set("C:\\OVCA40\\");
    run.app.destinations[kDestInstallFolder] = std::move(zero);
    RegisterPage(std::make_unique<CRestartPage>(CFakeRestart::restart));
    RegisterPage(std::make_unique<CRegisteringPage>(place));
    ShowPage(IDD_PAGE_REGISTERING, false);
    run.pumpUntil([&] { return run.currentId() != IDD_PAGE_REGISTERING; });
    return run.currentId();
}

std::string ownFileName()
{
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return CPath(path).fileName();
}

} // namespace

TEST(RegisteringPage, RegistersTheProductAndOffersTheRestartWhenOneIsNeeded)
{
    CScratchRegistryPlace scratch;
    const CRegistryPlace& place = scratch.place();
    CTestRun run;
    run.app.restartNeeded = true;
    ASSERT_FALSE(run.app.mainFileName.empty());
    ASSERT_FALSE(run.app.displayName.empty());
    EXPECT_EQ(runRegisteringPage(run, place), IDD_PAGE_RESTART);
    EXPECT_TRUE(run.app.succeeded);

    std::string appKey = place.appPathsKey() + "\\" + run.app.mainFileName;
    EXPECT_EQ(ReadRawValue(place.root, appKey, "").bytes,
              StoredText("C:\\OVCA40\\" + run.app.mainFileName));
    EXPECT_EQ(ReadRawValue(place.root, appKey, "Path").bytes, StoredText("C:\\OVCA40"));
    std::string entry = place.uninstallKey() + "\\" + run.app.displayName;
    EXPECT_EQ(ReadRawValue(place.root, entry, "DisplayName").bytes,
              StoredText(run.app.displayName));
    EXPECT_EQ(ReadRawValue(place.root, entry, "UninstallString").bytes,
              StoredText("\"C:\\OVCA40\\" + ownFileName() + "\" /U"));
}

TEST(RegisteringPage, EndsOnTheDonePageOrTheFailurePage)
{
    {
        CScratchRegistryPlace scratch;
        CTestRun run;
        EXPECT_EQ(runRegisteringPage(run, scratch.place()), IDD_PAGE_DONE);
        EXPECT_TRUE(KeyExists(scratch.place().root,
                              scratch.place().uninstallKey() + "\\" + run.app.displayName));
    }
    {
        CScratchRegistryPlace scratch;
        CTestRun run;
        // An earlier step failed, and a restart was asked for before it did.
        run.app.succeeded = false;
        run.app.restartNeeded = true;
        EXPECT_EQ(runRegisteringPage(run, scratch.place()), IDD_PAGE_FAILED);
    }
}
