#include "app/command_line.h"

#include <cctype>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// "/DC:\DIST\" names the source folder as "/D:C:\DIST\" does: a two-letter
// key of D and a drive letter is the D switch followed by a drive.
bool isDriveAfterD(const std::string& key)
{
    return key.size() == 2 && key[0] == 'D' && std::isalpha(static_cast<unsigned char>(key[1]));
}

} // namespace

CSwitches ParseCommandLine(const std::string& commandLine)
{
    CSwitches switches;
    std::size_t pos = 0;
    while (pos < commandLine.size()) {
        while (pos < commandLine.size() && isBlank(commandLine[pos]))
            ++pos;
        std::size_t end = pos;
        while (end < commandLine.size() && !isBlank(commandLine[end]))
            ++end;
        std::string token = commandLine.substr(pos, end - pos);
        pos = end;

        if (token.size() < 2 || token[0] != '/')
            continue;
        std::string key, value;
        std::size_t colon = token.find(':');
        if (colon != std::string::npos) {
            key = token.substr(1, colon - 1);
            value = token.substr(colon + 1);
            if (isDriveAfterD(key)) {
                key = "D";
                value = token.substr(2);
            }
        } else {
            key = token.substr(1, 1);
            value = token.substr(2);
        }
        switches[key] = value;
    }
    return switches;
}
