#include "platform/path.h"

#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <set>

TEST(Path, SplitsAndRebuildsWithOnePartReplaced)
{
    CPath p("C:\\DIST\\DISK01\\INSTALL.EXE");
    EXPECT_EQ(p.drive(), "C");
    EXPECT_EQ(p.folder(), "\\DIST\\DISK01\\");
    EXPECT_EQ(p.name(), "INSTALL");
    EXPECT_EQ(p.ext(), "EXE");
    p.setExt("ini");
    EXPECT_EQ(p.text(), "C:\\DIST\\DISK01\\INSTALL.ini");
    p.setFolder("\\OTHER");
    EXPECT_EQ(p.text(), "C:\\OTHER\\INSTALL.ini");
    p.setDrive("D");
    p.setFileName("A.B.C");
    EXPECT_EQ(p.name(), "A.B");
    EXPECT_EQ(p.ext(), "C");
    EXPECT_EQ(p.text(), "D:\\OTHER\\A.B.C");

    CPath folder("C:\\OVCA40\\");
    EXPECT_EQ(folder.fileName(), "");
    EXPECT_EQ(folder.folderText(), "C:\\OVCA40\\");
    CPath bare("README");
    EXPECT_EQ(bare.drive(), "");
    EXPECT_EQ(bare.text(), "README");
    EXPECT_EQ(WithTrailingBackslash("C:\\X"), "C:\\X\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\X\\"), "C:\\X\\");
    EXPECT_EQ(WithTrailingBackslash(""), "");
}

TEST(Path, SpecialFolders)
{
    char windows[MAX_PATH], system[MAX_PATH], temp[MAX_PATH], current[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    GetSystemWow64DirectoryA(system, MAX_PATH);  // this test runs on 64-bit Windows
    GetTempPathA(MAX_PATH, temp);
    GetCurrentDirectoryA(MAX_PATH, current);
    CPath p;
    p.setFileName("X.TXT");
    p.setSpecial(CPath::windowsFolder);
    EXPECT_EQ(p.text(), WithTrailingBackslash(windows) + "X.TXT");
    p.setSpecial(CPath::systemFolder);
    EXPECT_EQ(p.text(), WithTrailingBackslash(system) + "X.TXT");
    p.setSpecial(CPath::tempFolder);
    EXPECT_EQ(p.folderText(), WithTrailingBackslash(temp));
    p.setSpecial(CPath::currentFolder);
    EXPECT_EQ(p.folderText(), WithTrailingBackslash(current));
    p.setSpecial(CPath::programFolder);
    CPath self;
    self.setProgramFile();
    EXPECT_EQ(p.folderText(), self.folderText());
    EXPECT_EQ(p.fileName(), "X.TXT");
    EXPECT_EQ(self.ext(), "exe");
}

TEST(Path, FileOperationsOnRealFolders)
{
    CScratchFolder scratch;
    scratch.write("sub\\file.txt", "abc");

    EXPECT_TRUE(CPath(scratch / "sub\\file.txt").exists());
    EXPECT_TRUE(CPath(scratch / "sub").exists());      // folders count
    EXPECT_TRUE(CPath(scratch / "sub\\").exists());
    EXPECT_FALSE(CPath(scratch / "none.txt").exists());
    EXPECT_TRUE(CPath("C:\\").exists());

    // Read-only files are deleted too; a missing file is no error.
    std::string readOnly = scratch / "sub\\file.txt";
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(CPath(readOnly).remove());
    EXPECT_FALSE(CPath(readOnly).exists());
    EXPECT_TRUE(CPath(scratch / "never.txt").remove());

    scratch.write("a.txt", "1");
    EXPECT_TRUE(CPath(scratch / "a.txt").renameTo(scratch / "b.txt"));
    EXPECT_TRUE(CPath(scratch / "b.txt").exists());
    EXPECT_FALSE(CPath(scratch / "a.txt").exists());

    // Every missing parent is made; a file in the way fails.
    CPath deep(scratch / "x\\y\\z\\");
    EXPECT_TRUE(deep.createFolders());
    EXPECT_TRUE(CPath(scratch / "x\\y\\z").exists());
    EXPECT_TRUE(deep.createFolders());
    CPath blocked(scratch / "b.txt\\inner\\");
    EXPECT_FALSE(blocked.createFolders());
}

TEST(Path, DriveFactsAndFreshNames)
{
    CPath c("C:\\");
    EXPECT_EQ(c.driveType(), static_cast<UINT>(DRIVE_FIXED));
    ULARGE_INTEGER freeToCaller, total, totalFree;
    ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &freeToCaller, &total, &totalFree));
    std::uint64_t free = c.freeBytes();
    // Counted in 64 bits: close to what the platform's 64-bit call says.
    EXPECT_GT(free, 0u);
    std::uint64_t expected = totalFree.QuadPart;
    std::uint64_t slack = 64ull << 20;
    EXPECT_LT(free > expected ? free - expected : expected - free, slack);
    std::uint32_t cluster = c.clusterSize();
    EXPECT_GT(cluster, 0u);
    EXPECT_EQ(cluster & (cluster - 1), 0u);  // a power of two
    EXPECT_EQ(CPath("Q:\\").clusterSize(), 0u);
    EXPECT_EQ(CPath("Q:\\").freeBytes(), 0u);

    CScratchFolder scratch;
    CPath folder(scratch.path());
    std::set<std::string> names;
    for (int i = 0; i < 20; ++i) {
        std::string name = folder.freshTempName("DLL");
        ASSERT_EQ(name.size(), 12u);
        EXPECT_EQ(name.find_first_not_of("0123456789abcdef"), 8u);
        EXPECT_EQ(name.substr(8), ".DLL");
        scratch.write(name, "");
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 20u);
    // No draw may be taken at all: nothing can be found.
    EXPECT_EQ(folder.freshTempName("TMP", 0), "");
    // A caller that knows the names decides what is taken, not the disk.
    int asked = 0;
    std::string known = folder.freshTempName("TMP", [&](const CPath&) { return ++asked < 3; });
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(known.size(), 12u);
    asked = 0;
    EXPECT_EQ(folder.freshTempName("TMP", [&](const CPath&) { return ++asked > 0; }, 5), "");
    EXPECT_EQ(asked, 5);
}

TEST(Path, LowerCaseFoldsTheCodePagesLettersAsWindowsDoes)
{
    // In the system code page, whichever it is here.
    auto ansi = [](const wchar_t* text) {
        char bytes[64] = {};
        BOOL lossy = FALSE;
        int n = WideCharToMultiByte(CP_ACP, 0, text, -1, bytes, sizeof bytes, nullptr,
                                    GetACP() == CP_UTF8 ? nullptr : &lossy);
        return n > 0 && !lossy ? std::string(bytes) : std::string();
    };
    EXPECT_EQ(LowerCase(""), "");
    EXPECT_EQ(LowerCase("C:\\OVCA40\\Install.EXE"), "c:\\ovca40\\install.exe");
    std::string upper = ansi(L"C:\\PROGRAMARI \u00C0\u00C7\u00C9\u00CF\u00D2\u00DA\\F.TXT");
    if (upper.empty())
        GTEST_SKIP() << "the code page lacks the Catalan letters";
    EXPECT_EQ(LowerCase(upper), ansi(L"c:\\programari \u00E0\u00E7\u00E9\u00EF\u00F2\u00FA\\f.txt"));
    // The same as the window system's own folding.
    std::string byWindows = upper;
    CharLowerBuffA(&byWindows[0], static_cast<DWORD>(byWindows.size()));
    EXPECT_EQ(LowerCase(upper), byWindows);
}
