#include "app/command_line.h"

#include <gtest/gtest.h>

TEST(CommandLine, SwitchesInEitherCaseLaterWins)
{
    CCommandLine line = ParseCommandLine("  /u   /B /q /pp:C:\\TEMP\\X.INI /Log  /D:C:\\FIRST\\ /d=C:\\LAST\\ ");
    EXPECT_TRUE(line.refused.empty());
    EXPECT_EQ(line.switches.at("U"), "");
    EXPECT_EQ(line.switches.count("B"), 1u);
    EXPECT_EQ(line.switches.count("Q"), 1u);
    EXPECT_EQ(line.switches.at("PP"), "C:\\TEMP\\X.INI");
    EXPECT_EQ(line.switches.at("LOG"), "");
    EXPECT_EQ(line.switches.at("D"), "C:\\LAST\\");
    EXPECT_EQ(line.switches.size(), 6u);
}

TEST(CommandLine, QuotedValuesKeepTheirBlanks)
{
    CCommandLine line = ParseCommandLine("/D:\"C:\\Els meus discs\\\" /DIR=\"C:\\Programes\\Ortavel Catal\xE0\\\" "
                                         "\"/LOG=C:\\logs\\ov 1.txt\"");
    EXPECT_TRUE(line.refused.empty());
    EXPECT_EQ(line.switches.at("D"), "C:\\Els meus discs\\");
    EXPECT_EQ(line.switches.at("DIR"), "C:\\Programes\\Ortavel Catal\xE0\\");
    EXPECT_EQ(line.switches.at("LOG"), "C:\\logs\\ov 1.txt");
    // As a program that quotes for the C runtime writes a closing backslash.
    EXPECT_EQ(ParseCommandLine("\"/DIR=C:\\A B\\\\\"").switches.at("DIR"), "C:\\A B\\");
}

// What the program can't use is named, never passed over: an unknown
// switch, a value where none is taken, a missing value, a stray word.
TEST(CommandLine, WhatCantBeUsedIsRefused)
{
    struct {
        const char* line;
        const char* refused;
    } cases[] = {
        {"/S", "/S"},         {"/X", "/X"},           {"/Qx", "/Qx"},       {"/U:1", "/U:1"},
        {"/DIR", "/DIR"},     {"/DIR=", "/DIR="},     {"/D", "/D"},         {"/DIRECTORY", "/DIRECTORY"},
        {"/", "/"},           {"install", "install"}, {"-Q", "-Q"},         {"/VERYSILENT", "/VERYSILENT"},
    };
    for (const auto& c : cases) {
        CCommandLine line = ParseCommandLine(std::string("/Q ") + c.line);
        ASSERT_EQ(line.refused.size(), 1u) << c.line;
        EXPECT_EQ(line.refused[0], c.refused);
        EXPECT_EQ(line.switches.count("Q"), 1u);
    }
}

TEST(CommandLine, SourceFolderSwitchWithAndWithoutSeparator)
{
    EXPECT_EQ(ParseCommandLine("/D:C:\\DIST\\").switches.at("D"), "C:\\DIST\\");
    EXPECT_EQ(ParseCommandLine("/DC:\\DIST\\").switches.at("D"), "C:\\DIST\\");
    EXPECT_EQ(ParseCommandLine("/dc:\\dist\\").switches.at("D"), "c:\\dist\\");
    EXPECT_EQ(ParseCommandLine("/D\\\\SERVER\\DIST\\").switches.at("D"), "\\\\SERVER\\DIST\\");
    // The second uninstall stage's own command line.
    CCommandLine stage = ParseCommandLine("/U /PP:C:\\OVCA40\\INSTALL.INI");
    EXPECT_TRUE(stage.refused.empty());
    EXPECT_EQ(stage.switches.at("PP"), "C:\\OVCA40\\INSTALL.INI");
}
