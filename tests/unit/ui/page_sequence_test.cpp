#include "tests/unit/ui/page_test_support.h"

#include "errors/x_exception.h"
#include "tests/support/dialog_answerer.h"
#include "ui/folder_page.h"
#include "ui/licence_page.h"

#include <gtest/gtest.h>

namespace {

const char* kProfile =
    "[destinations]\n0=OVCA40TEST\n1=Dades|0\n"
    "[groups]\nBase=Programa||1|1|0\nWord97=Word 97||0|0|1\n"
    "[Base]\nORTAVEL.EXE=10|0|1|1|0\n";

std::string editText(HWND dialog, int id)
{
    char text[512] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

} // namespace

TEST(PageSequence, BackFromTheFolderPagePassesTheReadingPageWithoutReading)
{
    CTestRun run;
    run.dist.write("install.ini", kProfile);
    ShowPage(IDD_PAGE_LICENCE, false);
    ASSERT_TRUE(run.reached(IDD_PAGE_LICENCE));
    EXPECT_FALSE(IsWindowEnabled(FindPage(IDD_PAGE_LICENCE)->bar()->item(IDC_BACK)));

    PressBar(IDD_PAGE_LICENCE, IDC_NEXT);
    ASSERT_TRUE(run.reached(IDD_PAGE_FOLDER));
    EXPECT_EQ(FindPage(IDD_PAGE_READING)->prev, IDD_PAGE_LICENCE);
    EXPECT_EQ(FindPage(IDD_PAGE_FOLDER)->prev, IDD_PAGE_READING);
    EXPECT_EQ(run.app.groups.size(), 2u);
    EXPECT_FALSE(IsWindowVisible(FindPage(IDD_PAGE_LICENCE)->hwnd()));

    // The profile is gone now: reading it again would fail.
    DeleteFileA((run.dist / "install.ini").c_str());
    PressBar(IDD_PAGE_FOLDER, IDC_BACK);
    ASSERT_TRUE(run.reached(IDD_PAGE_LICENCE));
    EXPECT_TRUE(IsWindowVisible(FindPage(IDD_PAGE_LICENCE)->hwnd()));
    PressBar(IDD_PAGE_LICENCE, IDC_NEXT);
    ASSERT_TRUE(run.reached(IDD_PAGE_FOLDER));
    EXPECT_TRUE(run.app.succeeded);
    EXPECT_EQ(run.app.groups.size(), 2u);
}

TEST(PageSequence, CancelAsksOnTheLicencePageButNotOnTheUninstallConfirmation)
{
    {
        CTestRun run;
        ShowPage(IDD_PAGE_LICENCE, false);
        ASSERT_TRUE(run.reached(IDD_PAGE_LICENCE));
        {
            CDialogAnswerer answerer({CDialogAnswerer::Press(IDNO)});
            PressBar(IDD_PAGE_LICENCE, IDCANCEL);
            ASSERT_EQ(answerer.seen().size(), 1u);
            EXPECT_NE(answerer.seen()[0].allText().find("no s'ha instal\xB7lat. Voleu sortir?"),
                      std::string::npos);
        }
        EXPECT_EQ(run.currentId(), IDD_PAGE_LICENCE);
        EXPECT_TRUE(run.app.succeeded);
        {
            CDialogAnswerer answerer({CDialogAnswerer::Press(IDYES)});
            PressBar(IDD_PAGE_LICENCE, IDCANCEL);
            EXPECT_EQ(answerer.seen().size(), 1u);
        }
        EXPECT_TRUE(run.reached(IDD_PAGE_FAILED));
        EXPECT_FALSE(run.app.succeeded);
    }
    {
        CTestRun run;
        run.app.uninstallMode = true;
        ShowPage(IDD_PAGE_UNINSTALL_CONFIRM, false);
        ASSERT_TRUE(run.reached(IDD_PAGE_UNINSTALL_CONFIRM));
        CDialogAnswerer answerer({});
        PressBar(IDD_PAGE_UNINSTALL_CONFIRM, IDCANCEL);
        EXPECT_TRUE(answerer.seen().empty());
        ASSERT_TRUE(run.reached(IDD_PAGE_FAILED));
        EXPECT_FALSE(run.app.succeeded);
        HWND failed = FindPage(IDD_PAGE_FAILED)->hwnd();
        char caption[128] = {};
        GetWindowTextA(failed, caption, sizeof caption);
        EXPECT_STREQ(caption, "Desinstal\xB7laci\xF3 de Ortavel");
        EXPECT_EQ(editText(failed, IDC_PAGE_TEXT), "El Ortavel no s'ha desinstal\xB7lat.");
        // "D'acord" ends the run.
        SendMessageA(failed, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(run.pumpUntil([&] { return run.ended; }));
    }
}

namespace {

// Stands for the registration page: notes that the run got there.
class CArrivalPage : public CPage {
public:
    explicit CArrivalPage(int id) : CPage(id, kEndOfRun, false) {}
    int DoWork() override
    {
        reached = true;
        // Every page of the run so far, while the windows are still there.
        for (int id : {IDD_PAGE_LICENCE, IDD_PAGE_READING, IDD_PAGE_FOLDER, IDD_PAGE_COPY, pageId}) {
            RECT r = {-1, -1, -1, -1};
            CPage* page = FindPage(id);
            if (page)
                GetWindowRect(page->hwnd(), &r);
            rects.push_back(r);
            windows.push_back(page ? page->hwnd() : nullptr);
        }
        return kNoPage;
    }
    bool reached = false;
    std::vector<RECT> rects;
    std::vector<HWND> windows;
};

} // namespace

// Batch mode walks the pages sized to nothing; quiet mode walks them the
// same way without any window, main window included.
TEST(PageSequence, BatchAndQuietModesWalkByThemselvesAndUseTheDefaultFolder)
{
    for (bool quiet : {false, true}) {
        SCOPED_TRACE(quiet ? "quiet" : "batch");
        CTestRun run;
        if (quiet) {
            run.app.mainWnd->Destroy();
            ASSERT_TRUE(run.pumpUntil([&] { return run.ended; }));
            run.app.mainWnd.reset();
            run.app.setMainWindow(nullptr);
            run.ended = false;
            run.app.quietMode = true;
        }
        run.app.batchMode = true;
        run.dist.write("install.ini", kProfile);
        run.dist.write("ORTAVEL.EXE", "0123456789");
        std::string expected = CFolderPage::DefaultFolder('C', "OVCA40TEST");
        RemoveTree(expected);
        auto arrival = std::make_unique<CArrivalPage>(IDD_PAGE_REGISTERING);
        CArrivalPage* registering = arrival.get();
        RegisterPage(std::move(arrival));

        CDialogAnswerer answerer({});
        ShowPage(IDD_PAGE_LICENCE, false);
        ASSERT_TRUE(run.pumpUntil([&] { return run.ended; }));
        EXPECT_TRUE(answerer.seen().empty());
        EXPECT_TRUE(registering->reached);
        ASSERT_EQ(registering->rects.size(), 5u);
        for (std::size_t i = 0; i < registering->rects.size(); ++i) {
            const RECT& r = registering->rects[i];
            EXPECT_EQ(registering->windows[i] == nullptr, quiet);
            if (quiet)
                continue;
            EXPECT_EQ(r.right - r.left, 0);
            EXPECT_EQ(r.bottom - r.top, 0);
            EXPECT_EQ(r.left, 0);
        }
        EXPECT_EQ(run.app.destinations.at(0)->path.text(), "C:\\OVCA40TEST\\");
        EXPECT_EQ(run.app.destinations.at(1)->path.text(), "C:\\OVCA40TEST\\Dades\\");
        EXPECT_EQ(ReadWholeFile("C:\\OVCA40TEST\\ORTAVEL.EXE"), "0123456789");
        EXPECT_TRUE(run.app.groups.at("Base")->selected);
        EXPECT_FALSE(run.app.groups.at("Word97")->selected);
        EXPECT_TRUE(run.app.succeeded);
        RemoveTree("C:\\OVCA40TEST\\");
    }
}

TEST(PageSequence, AnErrorOfTheFolderPagesForwardStepLeadsToTheFailurePage)
{
    CTestRun run;
    // Destination 1 hangs from a parent that never exists.
    run.dist.write("install.ini", "[destinations]\n0=X\n1=Dades|7\n[groups]\n");
    ShowPage(IDD_PAGE_LICENCE, false);
    PressBar(IDD_PAGE_LICENCE, IDC_NEXT);
    ASSERT_TRUE(run.reached(IDD_PAGE_FOLDER));
    CScratchFolder target;
    SetDlgItemTextA(FindPage(IDD_PAGE_FOLDER)->hwnd(), IDC_FOLDER_EDIT, target.path().c_str());
    CDialogAnswerer answerer({CDialogAnswerer::Press(IDOK)});
    PressBar(IDD_PAGE_FOLDER, IDC_NEXT);
    ASSERT_TRUE(run.reached(IDD_PAGE_FAILED));
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].text(IDC_ERR_REFERENCE), "9.1 (CInstallProfileException)");
    EXPECT_FALSE(run.app.succeeded);
}

TEST(PageSequence, FolderThatCantBeCreatedKeepsThePage)
{
    CTestRun run;
    run.dist.write("install.ini", kProfile);
    run.dist.write("afile", "x");
    ShowPage(IDD_PAGE_LICENCE, false);
    PressBar(IDD_PAGE_LICENCE, IDC_NEXT);
    ASSERT_TRUE(run.reached(IDD_PAGE_FOLDER));
    HWND page = FindPage(IDD_PAGE_FOLDER)->hwnd();
    EXPECT_EQ(editText(page, IDC_FOLDER_EDIT), "C:\\OVCA40TEST\\");
    SetDlgItemTextA(page, IDC_FOLDER_EDIT, (run.dist / "afile\\inner").c_str());
    CDialogAnswerer answerer({CDialogAnswerer::Press(IDOK)});
    PressBar(IDD_PAGE_FOLDER, IDC_NEXT);
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_NE(answerer.seen()[0].allText().find("Errada 1040:"), std::string::npos);
    EXPECT_EQ(run.currentId(), IDD_PAGE_FOLDER);
    EXPECT_TRUE(run.app.succeeded);
}

namespace {

// A page whose work looks at its own bar while it runs.
class CProbePage : public CPage {
public:
    CProbePage() : CPage(IDD_PAGE_DONE, kEndOfRun, true) { prev = IDD_PAGE_LICENCE; }
    int DoWork() override
    {
        backEnabled = IsWindowEnabled(bar()->item(IDC_BACK)) != FALSE;
        nextEnabled = IsWindowEnabled(bar()->item(IDC_NEXT)) != FALSE;
        cancelEnabled = IsWindowEnabled(bar()->item(IDCANCEL)) != FALSE;
        ran = true;
        return kNoPage;
    }
    bool ran = false, backEnabled = true, nextEnabled = true, cancelEnabled = false;
};

} // namespace

TEST(PageSequence, NavigationIsDisabledWhileAPageWorks)
{
    CTestRun run;
    auto probe = std::make_unique<CProbePage>();
    CProbePage* page = probe.get();
    RegisterPage(std::move(probe));
    ShowPage(IDD_PAGE_DONE, false);
    ASSERT_TRUE(run.pumpUntil([&] { return page->ran; }));
    EXPECT_FALSE(page->backEnabled);
    EXPECT_FALSE(page->nextEnabled);
    EXPECT_TRUE(page->cancelEnabled);
    EXPECT_TRUE(IsWindowEnabled(page->bar()->item(IDC_BACK)));
    EXPECT_TRUE(IsWindowEnabled(page->bar()->item(IDC_NEXT)));
}

TEST(LicencePage, TextIsBoundedAndReadyForTheEditControl)
{
    CScratchFolder scratch;
    std::string text;
    EXPECT_FALSE(CLicencePage::ReadLicence({scratch / "none.txt"}, text));
    EXPECT_TRUE(text.empty());

    scratch.write("short.txt", "Llic\xE8ncia\nsegona\r\ntercera\n");
    ASSERT_TRUE(CLicencePage::ReadLicence({scratch / "short.txt"}, text));
    EXPECT_EQ(text, "Llic\xE8ncia\r\nsegona\r\ntercera\r\n");

    scratch.write("big.txt", std::string(20000, 'a'));
    ASSERT_TRUE(CLicencePage::ReadLicence({scratch / "big.txt"}, text));
    EXPECT_EQ(text.size(), CLicencePage::kBufferSize - 1);
    scratch.write("exact.txt", std::string(CLicencePage::kBufferSize, 'b'));
    ASSERT_TRUE(CLicencePage::ReadLicence({scratch / "exact.txt"}, text));
    EXPECT_EQ(text.size(), CLicencePage::kBufferSize - 1);
}

TEST(FolderPage, DefaultFolderOnTheFirstFixedDrive)
{
    auto types = [](char letter) -> UINT {
        return letter == 'A' ? DRIVE_REMOVABLE : letter >= 'D' ? DRIVE_FIXED : DRIVE_NO_ROOT_DIR;
    };
    EXPECT_EQ(CFolderPage::FirstFixedDrive(types), 'D');
    EXPECT_EQ(CFolderPage::FirstFixedDrive([](char) -> UINT { return DRIVE_CDROM; }), 0);
    EXPECT_EQ(CFolderPage::DefaultFolder('D', "OVCA40"), "D:\\OVCA40\\");
    EXPECT_EQ(CFolderPage::DefaultFolder('C', ""), "C:\\");
}
