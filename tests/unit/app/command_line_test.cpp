#include "app/command_line.h"

#include <gtest/gtest.h>

TEST(CommandLine, SwitchesSplitAtBlanksWithKeyRules)
{
    CSwitches s = ParseCommandLine("  /U   /B /PP:C:\\TEMP\\X.INI  ignored /Xvalue /  ");
    EXPECT_EQ(s.count("U"), 1u);
    EXPECT_EQ(s.at("U"), "");
    EXPECT_EQ(s.count("B"), 1u);
    EXPECT_EQ(s.at("PP"), "C:\\TEMP\\X.INI");
    // Without a colon the key is the single character after the slash.
    EXPECT_EQ(s.at("X"), "value");
    EXPECT_EQ(s.count("ignored"), 0u);
    EXPECT_EQ(s.count(""), 0u);
    EXPECT_EQ(s.size(), 4u);
}

TEST(CommandLine, QuotesAreOrdinaryCaseMattersLaterWins)
{
    CSwitches s = ParseCommandLine("/D:\"C:\\A B\" /u /D:C:\\LAST\\");
    // The quote starts an ordinary token; the blank still splits it.
    EXPECT_EQ(s.at("D"), "C:\\LAST\\");
    EXPECT_EQ(s.count("u"), 1u);
    EXPECT_EQ(s.count("U"), 0u);

    CSwitches q = ParseCommandLine("/D:\"C:\\A\"");
    EXPECT_EQ(q.at("D"), "\"C:\\A\"");
}

TEST(CommandLine, SourceFolderSwitchWithAndWithoutColon)
{
    EXPECT_EQ(ParseCommandLine("/D:C:\\DIST\\").at("D"), "C:\\DIST\\");
    EXPECT_EQ(ParseCommandLine("/DC:\\DIST\\").at("D"), "C:\\DIST\\");
    EXPECT_EQ(ParseCommandLine("/DC:\\DIST\\").count("DC"), 0u);
    EXPECT_EQ(ParseCommandLine("/D\\\\SERVER\\DIST\\").at("D"), "\\\\SERVER\\DIST\\");
    // Other keys keep the general rule: everything before the first colon.
    CSwitches s = ParseCommandLine("/PP:A:B /XY:Z /D1:Q");
    EXPECT_EQ(s.at("PP"), "A:B");
    EXPECT_EQ(s.at("XY"), "Z");
    EXPECT_EQ(s.at("D1"), "Q");
}
