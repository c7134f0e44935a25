#include "profile/profile_access.h"

#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <vector>

TEST(ProfileAccess, KeysPastTheFirstBufferInFileOrder)
{
    CScratchFolder scratch;
    std::string text = "[empty]\n[big]\n";
    std::vector<std::string> names;
    for (int i = 0; i < 120; ++i) {
        names.push_back("KEY_NUMBER_" + std::to_string(1000 - i));  // not sorted
        text += names.back() + "=v" + std::to_string(i) + "\n";
    }
    scratch.write("p.ini", text);
    std::string file = scratch / "p.ini";

    CProfileSection big("big", file);
    CProfileEntry entry;
    std::vector<std::string> seen;
    for (bool more = big.First(entry); more; more = big.Next(entry)) {
        EXPECT_EQ(entry.section, "big");
        EXPECT_EQ(entry.file, file);
        seen.push_back(entry.key);
    }
    EXPECT_EQ(seen, names);
    EXPECT_FALSE(big.Next(entry));

    CProfileSection empty("empty", file);
    EXPECT_FALSE(empty.First(entry));
    CProfileSection missing("missing", scratch / "none.ini");
    EXPECT_FALSE(missing.First(entry));
}

TEST(ProfileAccess, ValuesReadWithTheCurrentValueAsDefault)
{
    CScratchFolder scratch;
    std::string file = scratch / "p.ini";
    scratch.write("p.ini", "[s]\nempty=\nlong=" + std::string(300, 'x') + "\nword=hello\n");

    CProfileEntry word("", "s", "word", file, true);
    EXPECT_EQ(word.value, "hello");
    CProfileEntry absent("fallback", "s", "nothing", file, true);
    EXPECT_EQ(absent.value, "fallback");
    CProfileEntry notRead("keep", "s", "", file, true);
    EXPECT_EQ(notRead.value, "keep");

    CProfileEntry e("", "s", "empty", file, false);
    EXPECT_FALSE(e.Read());
    EXPECT_EQ(e.value, "");
    e.key = "long";
    EXPECT_TRUE(e.Read());
    EXPECT_EQ(e.value, std::string(254, 'x'));

    CProfileEntry w("written|1|2", "new section", "k", scratch / "sub.ini", false);
    EXPECT_TRUE(w.Write());
    CProfileEntry back("", "NEW SECTION", "K", scratch / "sub.ini", true);
    EXPECT_EQ(back.value, "written|1|2");
}

TEST(ProfileAccess, FieldsAndNumbers)
{
    std::string out = "stale";
    EXPECT_TRUE(ExtractField(out, "a||b", 0));
    EXPECT_EQ(out, "a");
    EXPECT_TRUE(ExtractField(out, "a||b", 1));
    EXPECT_EQ(out, "");
    EXPECT_TRUE(ExtractField(out, "a||b", 2));
    EXPECT_EQ(out, "b");
    EXPECT_FALSE(ExtractField(out, "a||b", 3));
    EXPECT_EQ(out, "");
    EXPECT_TRUE(ExtractField(out, "", 0));
    EXPECT_FALSE(ExtractField(out, "", 1));
    EXPECT_TRUE(ExtractField(out, " spaced |x", 0));
    EXPECT_EQ(out, " spaced ");

    std::int32_t n32 = 99;
    EXPECT_TRUE(FieldAsInt32(n32, "x| -12x", 1));
    EXPECT_EQ(n32, -12);
    EXPECT_TRUE(FieldAsInt32(n32, "letters", 0));
    EXPECT_EQ(n32, 0);
    n32 = 99;
    EXPECT_FALSE(FieldAsInt32(n32, "1|2", 2));
    EXPECT_EQ(n32, 99);  // numbers are left alone when the field is missing

    std::int16_t n16 = 0;
    EXPECT_TRUE(FieldAsInt16(n16, "70000", 0));
    EXPECT_EQ(n16, 4464);
    EXPECT_TRUE(FieldAsInt16(n16, "-2", 0));
    EXPECT_EQ(n16, -2);
    bool flag = false;
    EXPECT_TRUE(FieldAsBool(flag, "0|7", 1));
    EXPECT_TRUE(flag);
    EXPECT_TRUE(FieldAsBool(flag, "0|7", 0));
    EXPECT_FALSE(flag);

    EXPECT_EQ(ParseDecimal("+15"), 15);
    EXPECT_EQ(ParseDecimal("--5"), 0);
    EXPECT_EQ(ParseDecimal("\t 42abc"), 42);
    EXPECT_EQ(ParseDecimal("99999999999999999999"), 2147483647);
    EXPECT_EQ(ParseDecimal("-99999999999999999999"), -2147483647 - 1);
}
