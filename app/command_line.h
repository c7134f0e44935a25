// The installer's command line, as administrators and deployment tools type
// it: switches "/KEY", "/KEY:VALUE" or "/KEY=VALUE" in either case, a value
// in quotation marks keeping its blanks.
#pragma once

#include <map>
#include <string>
#include <vector>

// By upper-case key: U, B, Q, ?, D, PP, DIR and LOG.
using CSwitches = std::map<std::string, std::string>;

struct CCommandLine {
    CSwitches switches;
    // Every token the program can't use: an unknown switch, a switch with a
    // value it takes none for or without the one it needs, a stray word.
    std::vector<std::string> refused;
};

// Splits at blanks outside quotation marks (the marks themselves go). "/D"
// also takes its folder straight after the letter ("/DC:\DIST\"), as the
// second uninstall stage and older command lines write it. A later switch
// replaces an earlier one.
CCommandLine ParseCommandLine(const std::string& commandLine);
