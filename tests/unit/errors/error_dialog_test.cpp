#include "errors/error_dialog.h"
#include "errors/x_exception.h"
#include "platform/expandable_dialog.h"
#include "resources/resource.h"
#include "tests/support/dialog_answerer.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Action = CDialogAnswerer::Action;

// Notes the state of the dialog while it is open.
struct Observed {
    RECT shortRect = {};
    RECT fullRect = {};
    std::string toggleShort;
    std::string toggleFull;
    bool explanationEnabledShort = true;
    bool explanationEnabledFull = false;
    bool okEnabledShort = false;
    bool cancelVisible = true;
};

std::string text(HWND hwnd)
{
    char buffer[256] = {};
    GetWindowTextA(hwnd, buffer, sizeof buffer);
    return buffer;
}

Action observe(Observed& o, bool full)
{
    return [&o, full](HWND dialog) {
        HWND toggle = GetDlgItem(dialog, IDC_EXPAND_TOGGLE);
        HWND explanation = GetDlgItem(dialog, IDC_ERR_EXPLANATION);
        if (full) {
            GetWindowRect(dialog, &o.fullRect);
            o.toggleFull = text(toggle);
            o.explanationEnabledFull = IsWindowEnabled(explanation) != FALSE;
        } else {
            GetWindowRect(dialog, &o.shortRect);
            o.toggleShort = text(toggle);
            o.explanationEnabledShort = IsWindowEnabled(explanation) != FALSE;
            o.okEnabledShort = IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
            o.cancelVisible = IsWindowVisible(GetDlgItem(dialog, IDCANCEL)) != FALSE;
        }
    };
}

} // namespace

TEST(ErrorDialog, ShortFormExpandsAndCollapses)
{
    Observed o;
    Observed again;
    CDialogAnswerer answerer({CDialogAnswerer::Sequence({
        observe(o, false), CDialogAnswerer::Press(IDC_EXPAND_TOGGLE), observe(o, true),
        CDialogAnswerer::Press(IDC_EXPAND_TOGGLE), observe(again, false),
        CDialogAnswerer::Press(IDOK)})});
    showError(IDS_CANNOT_CONTINUE, CXFileException(CFileException::diskFull));

    ASSERT_EQ(answerer.seen().size(), 1u);
    const CSeenDialog& seen = answerer.seen()[0];
    EXPECT_EQ(seen.caption, "Errada");
    EXPECT_EQ(seen.text(IDC_ERR_MESSAGE), LoadResourceString(IDS_CANNOT_CONTINUE));
    EXPECT_EQ(seen.text(IDC_ERR_TITLE), "El disc est\xE0 ple");
    EXPECT_EQ(seen.text(IDC_ERR_EXPLANATION), LoadResourceString(IDS_ERR_DISK_FULL_TEXT));
    EXPECT_EQ(seen.text(IDC_ERR_REFERENCE), "9.13 (CXFileException)");
    EXPECT_EQ(seen.text(IDOK), "D'acord");

    EXPECT_EQ(o.toggleShort, "M\xE9s>>");
    EXPECT_EQ(o.toggleFull, "M\xE9s<<");
    EXPECT_EQ(again.toggleShort, "M\xE9s>>");
    EXPECT_FALSE(o.explanationEnabledShort);
    EXPECT_TRUE(o.explanationEnabledFull);
    EXPECT_FALSE(again.explanationEnabledShort);
    EXPECT_TRUE(o.okEnabledShort);
    EXPECT_FALSE(o.cancelVisible);
    EXPECT_LT(o.shortRect.bottom - o.shortRect.top, o.fullRect.bottom - o.fullRect.top);
    EXPECT_EQ(o.shortRect.top, o.fullRect.top);
    EXPECT_EQ(again.shortRect.bottom, o.shortRect.bottom);
}

TEST(ErrorDialog, AskErrorIsTrueOnlyForContinue)
{
    {
        CDialogAnswerer answerer({CDialogAnswerer::Press(IDOK)});
        EXPECT_TRUE(askError(IDS_CANNOT_INSTALL_FROM, CFileException(CFileException::fileNotFound), "DATA.MF1"));
        ASSERT_EQ(answerer.seen().size(), 1u);
        const CSeenDialog& seen = answerer.seen()[0];
        EXPECT_EQ(seen.text(IDOK), "Continuar.");
        EXPECT_EQ(seen.text(IDCANCEL), "Cancel\xB7lar.");
        EXPECT_EQ(seen.text(IDC_ERR_MESSAGE), "No es poden instal\xB7lar els arxius des de  'DATA.MF1':");
        EXPECT_EQ(seen.text(IDC_ERR_REFERENCE), "17.2 (CXFileException)");
    }
    for (Action other : {CDialogAnswerer::Press(IDCANCEL), CDialogAnswerer::Close(),
                         CDialogAnswerer::Press(IDC_EXPAND_TOGGLE)}) {
        // The toggle alone leaves the dialog open; the answerer closes it next.
        CDialogAnswerer answerer({CDialogAnswerer::Sequence({other, CDialogAnswerer::Close()})});
        EXPECT_FALSE(askError(IDS_CANNOT_INSTALL_FROM, CZLibException(kZLibDataError), "X"));
    }
}

TEST(ErrorDialog, LongMessagesAreCutToTheBuffer)
{
    std::string huge(2000, 'n');
    CDialogAnswerer answerer({CDialogAnswerer::Press(IDOK)});
    showError(IDS_CANNOT_INSTALL_FROM, CXUserException(), huge.c_str());
    ASSERT_EQ(answerer.seen().size(), 1u);
    std::string message = answerer.seen()[0].text(IDC_ERR_MESSAGE);
    EXPECT_EQ(message.size(), 511u);
    EXPECT_EQ(message.rfind("No es poden instal\xB7lar els arxius des de  'nnn", 0), 0u);
}
