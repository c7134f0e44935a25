#include "tests/unit/ui/page_test_support.h"

#include "ui/editors_page.h"

#include <gtest/gtest.h>

namespace {

const char* kProfile =
    "[destinations]\n0=OVCA40TEST\n"
    "[groups]\nBase=Programa||1|1|0\nWord97=Word 97|Macros per a Word 97|0|1|1\n"
    "WP8=WordPerfect 8.0||0|1|1\nAmipro=AmiPro 3.x||0|1|1\nExtra=Extres||0|1|1\n";

std::vector<std::string> lines(HWND list)
{
    std::vector<std::string> out;
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[128] = {};
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        out.push_back(text);
    }
    return out;
}

// Licence, reading and folder pages, up to the editor page.
bool walkToEditors(CTestRun& run, const CScratchFolder& target)
{
    ShowPage(IDD_PAGE_LICENCE, false);
    PressBar(IDD_PAGE_LICENCE, IDC_NEXT);
    if (!run.reached(IDD_PAGE_FOLDER))
        return false;
    SetDlgItemTextA(FindPage(IDD_PAGE_FOLDER)->hwnd(), IDC_FOLDER_EDIT, target.path().c_str());
    PressBar(IDD_PAGE_FOLDER, IDC_NEXT);
    return run.reached(IDD_PAGE_EDITORS);
}

} // namespace

TEST(EditorsPage, TicksDecideGroupsAndEditors)
{
    CTestRun run;
    run.dist.write("install.ini", kProfile);
    // Found on the machine; Word 2000 has no group in this profile.
    for (CEditorId id : {kEditorWord97, kEditorWP8, kEditorWord2000})
        run.app.editors[id].found = run.app.editors[id].present = true;
    CScratchFolder target;
    ASSERT_TRUE(walkToEditors(run, target));
    HWND page = FindPage(IDD_PAGE_EDITORS)->hwnd();
    HWND list = GetDlgItem(page, IDC_EDITOR_LIST);

    // Found editors only, sorted by their titles, all ticked.
    EXPECT_EQ(lines(list), (std::vector<std::string>{"Word 97", "WordPerfect 8.0"}));
    EXPECT_TRUE(run.app.groups.at("Word97")->checked);
    char description[128] = {};
    GetDlgItemTextA(page, IDC_EDITOR_DESCRIPTION, description, sizeof description);
    EXPECT_STREQ(description, "Macros per a Word 97");

    // Space on the current line unticks it; going on applies the ticks.
    SendMessageA(list, WM_CHAR, ' ', 1);
    EXPECT_FALSE(run.app.groups.at("Word97")->checked);
    PressBar(IDD_PAGE_EDITORS, IDC_NEXT);
    ASSERT_TRUE(run.reached(IDD_PAGE_GROUP));
    EXPECT_FALSE(run.app.groups.at("Word97")->selected);
    EXPECT_FALSE(run.app.editors[kEditorWord97].present);
    EXPECT_TRUE(run.app.groups.at("WP8")->selected);
    EXPECT_TRUE(run.app.editors[kEditorWP8].present);
    EXPECT_TRUE(run.app.groups.at("Base")->selected);
    EXPECT_FALSE(run.app.groups.at("Amipro")->selected);  // not found: never copied
    EXPECT_FALSE(run.app.editors[kEditorWord2000].present);  // no files to set it up with

    // Ticked again after going back: copied and set up after all.
    PressBar(IDD_PAGE_GROUP, IDC_BACK);
    ASSERT_TRUE(run.reached(IDD_PAGE_EDITORS));
    SendMessageA(list, WM_CHAR, ' ', 1);
    PressBar(IDD_PAGE_EDITORS, IDC_NEXT);
    ASSERT_TRUE(run.reached(IDD_PAGE_GROUP));
    EXPECT_TRUE(run.app.groups.at("Word97")->selected);
    EXPECT_TRUE(run.app.editors[kEditorWord97].present);

    // The manual list offers every editor but WordPerfect 8.0 and Word Pro,
    // unticked; going on without ticks clears the flags the button set.
    PressBar(IDD_PAGE_GROUP, IDC_BACK);
    ASSERT_TRUE(run.reached(IDD_PAGE_EDITORS));
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_EDITOR_MANUAL, BN_CLICKED), 0);
    EXPECT_EQ(lines(list), (std::vector<std::string>{"AmiPro 3.x", "Word 97"}));
    EXPECT_FALSE(run.app.groups.at("WP8")->checked);
    PressBar(IDD_PAGE_EDITORS, IDC_NEXT);
    ASSERT_TRUE(run.reached(IDD_PAGE_GROUP));
    EXPECT_FALSE(run.app.editors[kEditorWP8].present);
    EXPECT_FALSE(run.app.editors[kEditorAmiPro].present);
    EXPECT_FALSE(run.app.groups.at("Extra")->selected);
}

TEST(GroupPage, NewNameOrAnExistingGroup)
{
    CTestRun run;
    run.dist.write("install.ini", kProfile);
    CScratchFolder target;
    ASSERT_TRUE(walkToEditors(run, target));
    PressBar(IDD_PAGE_EDITORS, IDC_NEXT);
    ASSERT_TRUE(run.reached(IDD_PAGE_GROUP));
    HWND page = FindPage(IDD_PAGE_GROUP)->hwnd();
    char text[128] = {};
    GetDlgItemTextA(page, IDC_GROUP_NAME, text, sizeof text);
    EXPECT_STREQ(text, "Ortavel 4.0 Catal\xE0");
    EXPECT_EQ(IsDlgButtonChecked(page, IDC_GROUP_NEW), BST_CHECKED);

    // Choosing an existing group switches to it.
    HWND list = GetDlgItem(page, IDC_GROUP_LIST);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Eines"));
    SendMessageA(list, LB_SETCURSEL, SendMessageA(list, LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>("Eines")), 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_GROUP_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(IsDlgButtonChecked(page, IDC_GROUP_EXISTING), BST_CHECKED);
    PressBar(IDD_PAGE_GROUP, IDC_NEXT);
    ASSERT_TRUE(run.reached(IDD_PAGE_USER_DATA));
    EXPECT_EQ(run.app.groupName, "Eines");
}
