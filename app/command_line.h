// The installer's command line: switches "/KEY:VALUE" or "/KVALUE".
#pragma once

#include <map>
#include <string>

using CSwitches = std::map<std::string, std::string>;

// Splits at blanks; quotation marks are ordinary characters. A token that
// doesn't begin with "/" and a "/" alone are ignored. With a ":" the key runs
// to the first ":", else it is the one character after the "/". Keys are
// case-sensitive; a later switch replaces an earlier one.
CSwitches ParseCommandLine(const std::string& commandLine);
