#include "system/ini_line_editor.h"

#include "errors/x_exception.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Every name in the folder, so a test sees a temporary file left behind.
std::vector<std::string> folderContents(const CScratchFolder& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder / "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = data.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return names;
}

const std::vector<std::string> kOnlyWininit = {"wininit.ini"};

} // namespace

TEST(IniLineEditor, MissingFileIsCreatedWithSectionAndEntry)
{
    CScratchFolder folder;
    CIniLineEditor editor(folder / "wininit.ini");
    EXPECT_TRUE(editor.AddEntry("rename", "C:\\WINDOWS\\SYSTEM\\OVCAT32.DLL", "C:\\WINDOWS\\SYSTEM\\0A1B2C3D.DLL"));
    EXPECT_TRUE(editor.changed());
    EXPECT_EQ(ReadWholeFile(folder / "wininit.ini"),
              "[rename]\r\nC:\\WINDOWS\\SYSTEM\\OVCAT32.DLL=C:\\WINDOWS\\SYSTEM\\0A1B2C3D.DLL\r\n");
    EXPECT_EQ(folderContents(folder), kOnlyWininit);
}

TEST(IniLineEditor, LastLineWithoutBreakGetsOneBeforeTheNewSection)
{
    CScratchFolder folder;
    folder.write("wininit.ini", "[boot]\r\nshell=progman.exe");
    CIniLineEditor editor(folder / "wininit.ini");
    EXPECT_TRUE(editor.AddEntry("rename", "NUL", "C:\\TEMP\\OLD.TMP"));
    EXPECT_EQ(ReadWholeFile(folder / "wininit.ini"),
              "[boot]\r\nshell=progman.exe\r\n[rename]\r\nNUL=C:\\TEMP\\OLD.TMP\r\n");

    // Also when the section to extend is the last one.
    folder.write("wininit.ini", "[rename]\r\nNUL=C:\\A.TMP");
    EXPECT_TRUE(editor.AddEntry("rename", "NUL", "C:\\B.TMP"));
    EXPECT_EQ(ReadWholeFile(folder / "wininit.ini"), "[rename]\r\nNUL=C:\\A.TMP\r\nNUL=C:\\B.TMP\r\n");
    EXPECT_EQ(folderContents(folder), kOnlyWininit);
}

TEST(IniLineEditor, EntryEndsTheExistingSectionAndEveryOtherLineStays)
{
    CScratchFolder folder;
    const std::string before =
        "; made by another setup\n"
        "[386Enh]\n"
        "device=x.386\n"
        "  [ Rename ]  \n"
        "C:\\A.DLL=C:\\A.TMP\n"
        "\n"
        "weird line without equals\n"
        "[386Enh]\n"
        "device=y.386\n";
    folder.write("wininit.ini", before);
    CIniLineEditor editor(folder / "wininit.ini");
    // The header's name is what lies between its brackets, blanks and all,
    // so " Rename " is not our section: a new one is added at the end.
    EXPECT_TRUE(editor.AddEntry("rename", "C:\\B.DLL", "C:\\B.TMP"));
    EXPECT_EQ(ReadWholeFile(folder / "wininit.ini"),
              before + "[rename]\r\nC:\\B.DLL=C:\\B.TMP\r\n");

    const std::string second =
        "[386Enh]\n"
        "device=x.386\n"
        "[Rename]\n"
        "C:\\A.DLL=C:\\A.TMP\n"
        "NUL=C:\\OLD.TMP\n"
        "[boot]\n"
        "shell=progman.exe\n";
    folder.write("wininit.ini", second);
    EXPECT_TRUE(editor.AddEntry("rename", "C:\\B.DLL", "C:\\B.TMP"));
    EXPECT_EQ(ReadWholeFile(folder / "wininit.ini"),
              "[386Enh]\n"
              "device=x.386\n"
              "[Rename]\n"
              "C:\\A.DLL=C:\\A.TMP\n"
              "NUL=C:\\OLD.TMP\n"
              "C:\\B.DLL=C:\\B.TMP\r\n"
              "[boot]\n"
              "shell=progman.exe\n");
    EXPECT_EQ(folderContents(folder), kOnlyWininit);
}

TEST(IniLineEditor, IdenticalEntryIsNotAddedTwiceButDuplicateKeysAreKept)
{
    CScratchFolder folder;
    const std::string before = "[rename]\r\nc:\\ovca\\ovcat32.dll  =   C:\\OVCA\\0A1B2C3D.DLL\r\n[boot]\r\n";
    folder.write("wininit.ini", before);
    CIniLineEditor editor(folder / "wininit.ini");
    EXPECT_TRUE(editor.AddEntry("RENAME", "C:\\OVCA\\OVCAT32.DLL", "c:\\ovca\\0a1b2c3d.dll"));
    EXPECT_FALSE(editor.changed());
    EXPECT_EQ(ReadWholeFile(folder / "wininit.ini"), before);
    EXPECT_EQ(folderContents(folder), kOnlyWininit);

    // The same target from another source: both entries are kept, in order.
    EXPECT_TRUE(editor.AddEntry("rename", "C:\\OVCA\\OVCAT32.DLL", "C:\\OVCA\\99999999.DLL"));
    EXPECT_TRUE(editor.changed());
    EXPECT_EQ(ReadWholeFile(folder / "wininit.ini"),
              "[rename]\r\nc:\\ovca\\ovcat32.dll  =   C:\\OVCA\\0A1B2C3D.DLL\r\n"
              "C:\\OVCA\\OVCAT32.DLL=C:\\OVCA\\99999999.DLL\r\n[boot]\r\n");
    // A second request for the same pair adds nothing.
    std::string twice = ReadWholeFile(folder / "wininit.ini");
    EXPECT_TRUE(editor.AddEntry("rename", "C:\\OVCA\\OVCAT32.DLL", "C:\\OVCA\\99999999.DLL"));
    EXPECT_EQ(ReadWholeFile(folder / "wininit.ini"), twice);
    // The same pair outside the target section doesn't count.
    folder.write("wininit.ini", "[other]\r\nNUL=C:\\X.TMP\r\n");
    EXPECT_TRUE(editor.AddEntry("rename", "NUL", "C:\\X.TMP"));
    EXPECT_EQ(ReadWholeFile(folder / "wininit.ini"),
              "[other]\r\nNUL=C:\\X.TMP\r\n[rename]\r\nNUL=C:\\X.TMP\r\n");
}

TEST(IniLineEditor, FileThatCantBeReadIsLeftAsItWas)
{
    CScratchFolder folder;
    const std::string before = "[rename]\r\nNUL=C:\\A.TMP\r\n";
    folder.write("wininit.ini", before);
    {
        // Another process holds the file without sharing it.
        HANDLE held = CreateFileA((folder / "wininit.ini").c_str(), GENERIC_READ, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        CIniLineEditor editor(folder / "wininit.ini");
        EXPECT_FALSE(editor.AddEntry("rename", "NUL", "C:\\B.TMP"));
        CloseHandle(held);
    }
    EXPECT_EQ(ReadWholeFile(folder / "wininit.ini"), before);
    EXPECT_EQ(folderContents(folder), kOnlyWininit);
}

TEST(IniLineEditor, TemporaryFileThatCantBeCreatedIsAFileError)
{
    CScratchFolder folder;
    CIniLineEditor editor(folder / "missing\\wininit.ini");
    EXPECT_THROW(editor.AddEntry("rename", "NUL", "C:\\B.TMP"), CXFileException);
    EXPECT_TRUE(folderContents(folder).empty());
}

TEST(IniLineEditor, SwapByRenamesKeepsOneFileWithTheNewText)
{
    CScratchFolder folder;
    folder.write("wininit.ini", "old");
    folder.write("new.tmp", "new");
    EXPECT_TRUE(SwapInByRenames(folder / "new.tmp", folder / "wininit.ini"));
    EXPECT_EQ(ReadWholeFile(folder / "wininit.ini"), "new");
    EXPECT_EQ(folderContents(folder), kOnlyWininit);

    // Nothing to put in place: the old file is back where it was.
    EXPECT_FALSE(SwapInByRenames(folder / "gone.tmp", folder / "wininit.ini"));
    EXPECT_EQ(ReadWholeFile(folder / "wininit.ini"), "new");
    EXPECT_EQ(folderContents(folder), kOnlyWininit);
}
