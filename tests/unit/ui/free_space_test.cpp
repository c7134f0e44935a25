#include "ui/free_space_warning.h"

#include "tests/support/dialog_answerer.h"

#include <gtest/gtest.h>

TEST(FreeSpaceWarning, NamesTheDriveAndBothNumbers)
{
    CDialogAnswerer answerer({CDialogAnswerer::Press(IDOK), CDialogAnswerer::Press(IDCANCEL),
                              CDialogAnswerer::Close()});
    // More than 4 GiB free must not wrap into a shortage.
    CFreeSpaceWarning warning("D:\\OVCA40\\", 9437184, 6000000000ull);
    EXPECT_EQ(warning.Run(nullptr), IDOK);
    EXPECT_EQ(warning.Run(nullptr), IDCANCEL);
    EXPECT_EQ(warning.Run(nullptr), IDCANCEL);
    ASSERT_EQ(answerer.seen().size(), 3u);
    const CSeenDialog& seen = answerer.seen()[0];
    EXPECT_EQ(seen.caption, "Espai insuficient al disc");
    EXPECT_EQ(seen.text(IDC_SPACE_TEXT),
              "No hi ha suficient espai disponible a la unitat D: per instal\xB7lar el Ortavel Catal\xE0.");
    EXPECT_EQ(seen.text(IDC_SPACE_NEEDED), "9437184");
    EXPECT_EQ(seen.text(IDC_SPACE_AVAILABLE), "6000000000");

    EXPECT_EQ(CFreeSpaceWarning::DriveOf("C:\\X\\"), "C:");
    EXPECT_EQ(CFreeSpaceWarning::DriveOf("\\\\SERVER\\SHARE\\"), "\\\\SERVER\\SHARE\\");
}
