#include "platform/file.h"

#include "archive_fixture.h"
#include "platform/exception.h"

#include <gtest/gtest.h>

#include <functional>
#include <type_traits>

static_assert(!std::is_copy_constructible<CFile>::value, "a file handle has one owner");
static_assert(!std::is_copy_assignable<CFile>::value, "a file handle has one owner");

namespace {

int causeOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const CFileException& e) {
        return e.cause;
    }
    return -1;
}

} // namespace

TEST(File, WriteSeekReadAndShortReadAtEnd)
{
    CScratchFolder dir;
    const std::string p = dir / "a.bin";
    {
        CFile f(p, CFile::modeWrite);
        EXPECT_EQ(f.path(), p);
        f.write("0123456789", 10);
        EXPECT_EQ(f.position(), 10u);
        EXPECT_EQ(f.length(), 10u);
        f.close();
        EXPECT_FALSE(f.isOpen());
        EXPECT_EQ(f.path(), p);
    }
    CFile f(p, CFile::modeRead);
    char buf[16] = {};
    EXPECT_EQ(f.seek(4, CFile::fromBegin), 4u);
    EXPECT_EQ(f.read(buf, 3), 3u);
    EXPECT_EQ(std::string(buf, 3), "456");
    EXPECT_EQ(f.seek(-2, CFile::fromEnd), 8u);
    EXPECT_EQ(f.read(buf, sizeof buf), 2u);
    EXPECT_EQ(std::string(buf, 2), "89");
    EXPECT_EQ(f.read(buf, sizeof buf), 0u);
    EXPECT_EQ(f.seek(-1, CFile::fromCurrent), 9u);
}

TEST(File, OpenModes)
{
    CScratchFolder dir;
    const std::string p = dir / "b.bin";
    EXPECT_EQ(causeOf([&] { CFile f(p, CFile::modeRead); }), CFileException::fileNotFound);
    EXPECT_EQ(causeOf([&] { CFile f(p, CFile::modeReadWrite); }), CFileException::fileNotFound);
    int missingFolder = causeOf([&] { CFile f(dir / "no/such/folder.bin", CFile::modeWrite); });
    EXPECT_TRUE(missingFolder == CFileException::fileNotFound || missingFolder == CFileException::badPath)
        << missingFolder;

    { CFile f(p, CFile::modeCreateNew); f.write("new", 3); }
    // Exclusive creation refuses an existing file and leaves it alone.
    EXPECT_EQ(causeOf([&] { CFile f(p, CFile::modeCreateNew); }), CFileException::accessDenied);
    EXPECT_EQ(readWholeFile(p), bytesOf("new"));

    { CFile f(p, CFile::modeReadWrite); f.seek(0, CFile::fromEnd); f.write("er", 2); }
    EXPECT_EQ(readWholeFile(p), bytesOf("newer"));
    { CFile f(p, CFile::modeWrite); }
    EXPECT_TRUE(readWholeFile(p).empty());
}

TEST(File, ErrorsNameTheFileAndClosedFilesRefuseWork)
{
    CScratchFolder dir;
    const std::string p = dir / "missing.bin";
    try {
        CFile f(p, CFile::modeRead);
        FAIL() << "opened a missing file";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.cause, CFileException::fileNotFound);
        EXPECT_EQ(e.fileName, p);
    }
    CFile closed;
    char b;
    EXPECT_EQ(causeOf([&] { closed.read(&b, 1); }), CFileException::invalidFile);
    EXPECT_EQ(causeOf([&] { closed.write(&b, 1); }), CFileException::invalidFile);
    closed.close();   // nothing to do, no error
}

TEST(File, TimeAndAttributesOfAClosedFile)
{
    CScratchFolder dir;
    const std::string p = dir / "dated.txt";
    writeWholeFile(p, bytesOf("x"));
    CFile::setTimeAndAttributes(p, 915148800u, CFile::attrReadOnly | CFile::attrArchive);   // 1999-01-01
    CFile::Status st;
    ASSERT_TRUE(CFile::getStatus(p, st));
    EXPECT_EQ(st.modified, 915148800u);
    EXPECT_EQ(st.size, 1u);
    EXPECT_TRUE(st.attributes & CFile::attrReadOnly);

    CFile::setTimeAndAttributes(p, 4000000000u, 0);
    ASSERT_TRUE(CFile::getStatus(p, st));
    EXPECT_EQ(st.modified, 4000000000u);
    EXPECT_FALSE(st.attributes & CFile::attrReadOnly);
    // Writable again (the test may run as root, where the bit alone proves nothing).
    EXPECT_EQ(causeOf([&] { CFile f(p, CFile::modeReadWrite); }), -1);

    EXPECT_FALSE(CFile::getStatus(dir / "none", st));
    EXPECT_EQ(causeOf([&] { CFile::setTimeAndAttributes(dir / "none", 0, 0); }), CFileException::fileNotFound);
}
